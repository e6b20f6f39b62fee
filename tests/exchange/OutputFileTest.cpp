// The output file "sdel.dbf": a new file made from the template with its
// records in personnel-number order, the count and the end mark, byte for
// byte; a second write that overwrites one record and inserts another; the
// reading of new sums for two shops into the pay entries row by row, with
// its caps and zero drops; missing records, a file of another kind and a
// missing template; the workers' messages.
#include "exchange/OutputFile.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/Db.h"
#include "support/SlotArrays.h"
#include "support/TestFixture.h"
#include "values/Messages.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstring>

using namespace kalvor;
using namespace kalvor::exchange;
using namespace kalvor::infobase;

namespace {

AccrualRow Row(int code, double roubles, int shop = 0)
{
    AccrualRow row;
    row.kod = u16(code);
    row.sum = roubles * 100;
    row.mes = 3;
    row.otd = u8(shop);
    return row;
}

// Three employees, 101 to 103, with known data; pay kinds 4 and 16 go to
// the output file.
class OutputFileRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        doc.setWorkFolder(folder);
        CInfoBase& base = doc.infoBase;
        base.baseName = QStringLiteral("sdel");
        CreateSchemaBase(folder, base.baseName);
        OpenBase(base);
        FixtureBase fx = BuildFixtureBase(base, 3, 3);
        for (int number = 1; number <= int(base.payKinds().size()); ++number)
            if (auto& kind = base.payKindAt(number); kind.kod == 4 || kind.kod == 16)
                kind.flags = u16(kind.flags | kPieceWorkPayKindFlag);
        const char16_t* names[] = {u"Орлов А. В.", u"Кузнецова Е. П.", u"Ли Ю."};
        for (int i = 0; i < 3; ++i) {
            EmployeeListEntry& entry = base.list[std::size_t(i)];
            entry.setTabN(u16(101 + i));
            const std::size_t at = std::size_t(entry.slot - 1);
            EmployeeRecord& rec = fx.records[at];
            rec.head.tarifVrem = {};
            rec.head.tarifVrem.rub = u16(150 + i);
            rec.head.tarifVrem.thou = 250;
            rec.head.tarifSdel = {};
            rec.head.tarifSdel.rub = u16(98);
            rec.head.tarifSdel.thou = u16(5 + i);
            rec.rows = {};
            rec.rows[0] = Row(4, 1'000, 0); // piece-work entry of the own shop
            rec.rows[1] = Row(1, 20'000);
            rec.rows[2] = Row(4, 12'345.67 + i);
            rec.rows[3] = Row(35, 1'500); // not for the output file
            rec.rows[4] = Row(16, 250.50, 7);
            base.shortNameOf(entry.slot) = QString::fromUtf16(names[i]);
            base.shopOf(entry.slot) = u8(1 + i);
            EmployeeAttributes& attr = base.attributesOf(entry.slot);
            attr.brig = i8(4 + i);
            attr.prof = u16(12 + i);
            attr.razr = u16(3 + i);
            attr.kateg = u16(4);
            attr.sistOpl = u16(1);
            attr.kvProizv = 2;
            attr.kvSdel = 1;
            TabelRecord& tabel = base.tabelOf(entry.slot);
            tabel.rabDn = u8(20 + i);
            tabel.rabHr = u16(160 * 60 + 15 * i);
            tabel.vHr = u16(8 * 60 + 15);
            tabel.nHr = u16(0);
        }
        SaveAll(base, fx.records);
        ASSERT_TRUE(WriteOutputTemplate(folder));
        templateBytes = ReadFile(folder + QStringLiteral("sdel.dbf"));
    }
    void TearDown() override { CloseBase(doc.infoBase); }

    static QByteArray ReadFile(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return file.readAll();
    }
    int Run(int mode, const QString& file, OutputSelection selection = {}, int marked = 0)
    {
        OutputFileOutcome unused;
        return ExchangeOutputFile({}, selection, mode, file, marked, {}, doc, unused);
    }
    int HeaderLength() const { return qFromLittleEndian<qint16>(templateBytes.constData() + 8); }
    // The record as written for employee 101 + index with its slots.
    static QByteArray Record(int index, const QByteArray& slotBytes, int slotCount)
    {
        const QByteArray name = codepage::toCp866(index == 0   ? QStringLiteral("Орлов А. В.")
                                                  : index == 1 ? QStringLiteral("Кузнецова Е. П.")
                                                               : QStringLiteral("Ли Ю."));
        QByteArray record =
            "  " + QByteArray::number(101 + index) + " " + QByteArray::number(1 + index) + " " +
            QByteArray::number(4 + index) + name.leftJustified(17, ' ') + "  " + QByteArray::number(12 + index) +
            QByteArray::number(3 + index) + "41" + QByteArray(" ") + QByteArray::number(150 + index) + ".250" +
            "  98.00" + QByteArray::number(5 + index) + QByteArray::number(20 + index) + "160." +
            QByteArray::number(15 * index).rightJustified(2, '0') + "  8.15" + "  0.00" + QByteArray(10, '0') +
            QByteArray::number(slotCount).rightJustified(2, '0') + "00" + slotBytes;
        return record.leftJustified(kVirabRecordSize, '0');
    }

    QTemporaryDir dir;
    QString folder;
    KalvorDocData doc;
    QByteArray templateBytes;
};

TEST_F(OutputFileRun, TemplateDescribesTheRecord)
{
    ASSERT_GE(templateBytes.size(), 32);
    EXPECT_EQ(templateBytes[0], 3);
    EXPECT_EQ(qFromLittleEndian<quint32>(templateBytes.constData() + 4), 0u);
    EXPECT_EQ(qFromLittleEndian<quint16>(templateBytes.constData() + 10), kVirabRecordSize);
    // Found whatever the case of its name.
    ASSERT_TRUE(QFile::rename(folder + "sdel.dbf", folder + "SDEL.DBF"));
    EXPECT_EQ(FindOutputTemplate(folder), folder + "SDEL.DBF");
    EXPECT_FALSE(WriteOutputTemplate(folder));
}

TEST_F(OutputFileRun, NewFileThenOverwriteAndInsert)
{
    const QString path = folder + QStringLiteral("out.dbf");
    // 103 and 101 only, with the list out of personnel-number order.
    auto& list = doc.infoBase.list;
    std::swap(list[0], list[2]);
    list[0].setFlag(0, true);
    list[2].setFlag(0, true);
    ASSERT_EQ(Run(OutputFileWrite, path, {}, 2), OUTPUT_FILE_DONE);
    const auto slotText = [](int index) {
        return "00  4" + QByteArray::number(12'345.67 + index, 'f', 2).rightJustified(10, ' ') + " 7 16    250.50";
    };
    QByteArray bytes = ReadFile(path);
    const int header = HeaderLength();
    QByteArray expected = templateBytes.left(header);
    expected[4] = 2;
    expected += Record(0, slotText(0), 2) + Record(2, slotText(2), 2) + '\x1A';
    EXPECT_EQ(bytes, expected);

    // 102 goes between them; 101's record is written again with other days.
    std::swap(list[0], list[2]);
    for (auto& entry : list) entry.setFlag(0, false);
    doc.infoBase.tabelOf(list[1].slot).rabDn = 19;
    doc.infoBase.tabelOf(list[0].slot).rabDn = 7;
    ASSERT_EQ(Run(OutputFileWrite, path, {0, 0, 102}), OUTPUT_FILE_DONE);
    ASSERT_EQ(Run(OutputFileWrite, path, {0, 0, 101}), OUTPUT_FILE_DONE);
    QByteArray second = Record(1, slotText(1), 2);
    second.replace(49, 2, "19");
    QByteArray first = Record(0, slotText(0), 2);
    first.replace(49, 2, " 7");
    expected = templateBytes.left(header);
    expected[4] = 3;
    expected += first + second + Record(2, slotText(2), 2) + '\x1A';
    EXPECT_EQ(ReadFile(path), expected);
}

TEST_F(OutputFileRun, ThirtySlotsAtMostAndTheCutNamed)
{
    CInfoBase& base = doc.infoBase;
    const int slot = base.list[0].slot;
    LoadEmployee(base, slot);
    for (int i = 2; i < 40; ++i) base.current.rows[std::size_t(i)] = Row(4, i);
    SaveProizvZarpByRec(base, slot, 1);
    OutputFileOutcome outcome;
    const QString path = folder + QStringLiteral("many.dbf");
    ASSERT_EQ(ExchangeOutputFile({}, {0, 0, 101}, OutputFileWrite, path, 0, {}, doc, outcome), OUTPUT_FILE_DONE);
    EXPECT_EQ(outcome.cut, QStringList{QStringLiteral("101 Орлов А. В.")});
    const QByteArray record = ReadFile(path).mid(HeaderLength(), kVirabRecordSize);
    EXPECT_EQ(record.mid(79, 2), "30");
    EXPECT_EQ(record.right(15), "00  4     31.00");
}

TEST_F(OutputFileRun, ReadReplacesThePieceWorkBlockRowByRow)
{
    const QString path = folder + QStringLiteral("read.dbf");
    ASSERT_EQ(Run(OutputFileWrite, path, {0, 0, 101}), OUTPUT_FILE_DONE);
    ASSERT_EQ(Run(OutputFileWrite, path, {0, 0, 103}), OUTPUT_FILE_DONE);
    QByteArray bytes = ReadFile(path);
    const int at = HeaderLength();
    // 101: days and time from the other program, three new slots after the two written:
    // own shop 700.00, shop 2 300.00, shop 2 a zero sum.
    bytes.replace(at + 49, 8, "18150.45");
    bytes.replace(at + 81, 2, "03");
    bytes.replace(at + 83 + 2 * 15, 45, "00  4    700.00 2  4    300.00 2 16      0.00");
    // 103: a count of 35 is taken as 28 (slots 2 to 29 of zeros drop again).
    bytes.replace(at + kVirabRecordSize + 81, 2, "35");
    bytes.replace(at + kVirabRecordSize + 79, 2, "05"); // 5 + 28 is past the record: refused
    QFile edited(path);
    ASSERT_TRUE(edited.open(QIODevice::WriteOnly));
    edited.write(bytes);
    edited.close();

    OutputFileOutcome outcome;
    ASSERT_EQ(ExchangeOutputFile({}, {}, OutputFileRead, path, 0, {}, doc, outcome), OUTPUT_FILE_DONE);
    EXPECT_EQ(outcome.notFound, 2); // 102 has no record, 103's slots lie outside the record

    CInfoBase& base = doc.infoBase;
    const int slot = base.list[0].slot;
    base.current.clear();
    LoadEmployee(base, slot);
    const auto& rows = base.current.rows;
    EXPECT_EQ(rows[0].kod, 4);
    EXPECT_EQ(rows[0].sum, 70'000);
    EXPECT_EQ(rows[0].otd, 0);
    EXPECT_EQ(rows[0].mes, 3);
    EXPECT_EQ(rows[1].kod, 4);
    EXPECT_EQ(rows[1].sum, 30'000);
    EXPECT_EQ(rows[1].otd, 2);
    EXPECT_EQ(rows[2].kod, 1); // the rest of the block
    EXPECT_EQ(rows[3].kod, 4); // the month's rows after the block
    EXPECT_EQ(rows[3].sum, 1'234'567);
    EXPECT_EQ(rows[4].kod, 35);
    EXPECT_EQ(rows[5].kod, 16);
    EXPECT_EQ(rows[6].kod, 0);
    // The counters and the time sheet were saved with the rows.
    LoadComp(base);
    LoadTabel(base);
    EXPECT_EQ(base.attributesOf(slot).kvSdel, 2);
    EXPECT_EQ(base.attributesOf(slot).kvProizv, 3);
    EXPECT_EQ(base.tabelOf(slot).rabDn, 18);
    EXPECT_EQ(base.tabelOf(slot).rabHr, 150 * 60 + 45);
}

TEST_F(OutputFileRun, ARecordWithAnImpossibleValueIsRefusedWhole)
{
    const QString path = folder + QStringLiteral("hostile.dbf");
    ASSERT_EQ(Run(OutputFileWrite, path), OUTPUT_FILE_DONE);
    QByteArray bytes = ReadFile(path);
    const int at = HeaderLength();
    const struct {
        int offset;
        const char* bytes;
    } edits[] = {
        // 101: a new slot of an infinite sum; 102: one of a pay kind the base lacks;
        // 103: 45 worked days and a new slot of a sum beyond any amount.
        {81, "01"},
        {83 + 2 * 15, "00  4     1e999"},
        {kVirabRecordSize + 81, "01"},
        {kVirabRecordSize + 83 + 2 * 15, "00 77     10.00"},
        {2 * kVirabRecordSize + 49, "45"},
        {2 * kVirabRecordSize + 81, "01"},
        {2 * kVirabRecordSize + 83 + 2 * 15, "00  4     -1e20"},
    };
    for (const auto& edit : edits) bytes.replace(at + edit.offset, qsizetype(std::strlen(edit.bytes)), edit.bytes);
    QFile edited(path);
    ASSERT_TRUE(edited.open(QIODevice::WriteOnly));
    edited.write(bytes);
    edited.close();

    CInfoBase& base = doc.infoBase;
    std::vector<std::array<AccrualRow, EmployeeRecord::RowCount>> rowsBefore;
    for (const EmployeeListEntry& entry : base.list) {
        LoadEmployee(base, entry.slot);
        rowsBefore.push_back(base.current.rows);
    }
    const std::vector<TabelRecord> tabelBefore = EveryTabel(base);
    OutputFileOutcome outcome;
    ASSERT_EQ(ExchangeOutputFile({}, {}, OutputFileRead, path, 0, {}, doc, outcome), OUTPUT_FILE_DONE);
    EXPECT_EQ(outcome.notFound, 0);
    EXPECT_EQ(outcome.refused,
              QStringLiteral("Записи с недопустимыми значениями не загружены:\n"
                             "Файл hostile.dbf, запись 1 (табельный номер 101), поле SUM03: недопустимое значение "
                             "бесконечность\n"
                             "Файл hostile.dbf, запись 2 (табельный номер 102), поле KOD03: недопустимое значение 77\n"
                             "Файл hostile.dbf, запись 3 (табельный номер 103), поле RABDN: недопустимое значение 45"));

    LoadTabel(base);
    EXPECT_EQ(EveryTabel(base), tabelBefore);
    for (std::size_t i = 0; i < base.list.size(); ++i) {
        LoadEmployee(base, base.list[i].slot);
        EXPECT_EQ(base.current.rows, rowsBefore[i]) << i;
    }
}

TEST_F(OutputFileRun, RefusedFilesAndSelections)
{
    const QString path = folder + QStringLiteral("bad.dbf");
    EXPECT_EQ(Run(OutputFileRead, path), OUTPUT_FILE_MISSING);
    EXPECT_EQ(Run(OutputFileWrite, QString()), OUTPUT_FILE_MISSING);
    EXPECT_EQ(Run(OutputFileWrite, path, {0, 0, 999}), OUTPUT_FILE_NO_EMPLOYEE);
    EXPECT_EQ(Run(OutputFileWrite, path, {77, 0, 0}), OUTPUT_FILE_NO_DATA);
    QFile other(path);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write(QByteArray(40, '\x30'));
    other.close();
    EXPECT_EQ(Run(OutputFileRead, path), OUTPUT_FILE_NOT_OUTPUT);
    EXPECT_EQ(Run(OutputFileWrite, path), OUTPUT_FILE_NOT_OUTPUT);
    EXPECT_EQ(ReadFile(path), QByteArray(40, '\x30')); // left as it was
    ASSERT_TRUE(QFile::remove(folder + QStringLiteral("sdel.dbf")));
    EXPECT_EQ(Run(OutputFileWrite, folder + QStringLiteral("new.dbf")), OUTPUT_FILE_NO_TEMPLATE);
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("new.dbf")));
}

// The messages the workers show.
class RecordingMessenger : public ExchangeMessenger {
public:
    void ShowError(const QString& text) const override { shown << text; }
    void ShowInformation(const QString& text) const override { shown << text; }
    void ShowDbError(const db::DbError&) const override { shown << QStringLiteral("db"); }
    void ShowMessage(const QString& text) const override { shown << text; }
    bool AskYesNo(const QString& text) const override
    {
        shown << text;
        return false;
    }
    mutable QStringList shown;
};

QStringList RunWorker(KalvorDocData& doc, const VirabTaskParams& params, bool read)
{
    RecordingMessenger messenger;
    platform::TaskThread thread;
    thread.start([&](platform::TaskContext& context) {
        return read ? VirabReadThreadProc(context, params, doc, messenger, {})
                    : VirabWriteThreadProc(context, params, doc, messenger, {});
    });
    QElapsedTimer timer;
    timer.start();
    while (thread.isRunning() && timer.elapsed() < 30'000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return messenger.shown;
}

TEST_F(OutputFileRun, WorkersShowTheirMessages)
{
    VirabTaskParams params;
    params.fileName = folder + QStringLiteral("w.dbf");
    params.personnelNumber = 101;
    EXPECT_TRUE(RunWorker(doc, params, false).isEmpty());
    params.personnelNumber = 0;
    EXPECT_EQ(RunWorker(doc, params, true), QStringList{QStringLiteral("количество ненайденных записей = 2")});
    params.fileName = folder + QStringLiteral("none.dbf");
    EXPECT_EQ(RunWorker(doc, params, true), QStringList{QStringLiteral("не найден файл сдельных сумм")});
    QFile::remove(folder + QStringLiteral("sdel.dbf"));
    EXPECT_EQ(RunWorker(doc, params, false), QStringList{QStringLiteral("нет заголовка  SDEL.DBF")});
}

} // namespace
