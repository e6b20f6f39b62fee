// "kod.dbf": the record of a kind byte by byte, the pay kinds written and read
// back, blocks of 131 records, a header count of 0, and the files refused.
#include "exchange/KodDbf.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/PayrollDocument.h"
#include "platform/CodePage.h"
#include "support/TestFixture.h"
#include "values/Clock.h"
#include "values/Messages.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;
using kalvor::exchange::KodDbfPath;
using kalvor::exchange::ReadKodDbf;
using kalvor::exchange::WriteKodDbf;

namespace {

const QDate kToday(2026, 3, 20);

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

int U16At(const QByteArray& bytes, int at) { return uchar(bytes[at]) | uchar(bytes[at + 1]) << 8; }

// A device that writes down the size of every write.
class RecordingDevice : public QBuffer {
public:
    std::vector<qint64> writes;

protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        writes.push_back(length);
        return QBuffer::writeData(data, length);
    }
};

// Kinds whose every field is one the file carries.
std::vector<PayKind> CarriedKinds(int count)
{
    std::vector<PayKind> kinds;
    for (int i = 1; i <= count; ++i) {
        PayKind kind;
        kind.kod = u16(i);
        kind.name = QStringLiteral("Вид %1 начислений").arg(i);
        kind.flags = u16((i * 0x0123) & 0x7FE3);
        kind.oblPodoh = u8(i % 2);
        kind.enOtp = u8(i % 4);
        kind.spzCh = u16(i * 7 % 10000);
        kind.spzSc = u16(i % 100);
        kind.spzAu = u16(9999 - i);
        kind.okrug = u8(i % 8);
        kind.kodDoh = u16(2000 + i);
        kind.kodSkid = u16(i % 1000);
        kind.sumSkidPodoh = i * 1001.0;
        kind.sumSkidSoc = i % 3 == 0 ? 0 : 50.0;
        kinds.push_back(kind);
    }
    return kinds;
}

class KodDbfTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        base().workFolder = folder;
        base().baseName = QStringLiteral("kinds");
        CreateSchemaBase(dir.path(), base().baseName);
        OpenBase(base());
        SaveAll(base(), BuildFixtureBase(base(), 2).records);
        ASSERT_TRUE(exchange::WriteKodDbfTemplate(folder));
        ASSERT_FALSE(exchange::WriteKodDbfTemplate(folder)); // never over an existing file
    }
    void TearDown() override { CloseBase(base()); }
    CInfoBase& base() { return doc.infoBase; }

    // The message of the TextError that fn throws; empty when none.
    template <class Fn>
    static QString ErrorOf(Fn fn)
    {
        try {
            fn();
        } catch (const TextError& error) {
            return error.message();
        }
        return QString();
    }

    std::vector<PayKind> storedKinds()
    {
        LoadEntree(base());
        return base().payKinds();
    }

    QTemporaryDir dir;
    QString folder;
    PayrollDoc doc;
    ScopedToday today{kToday};
};

} // namespace

namespace kalvor::infobase {
// Failures name the kind and its record, not its bytes.
void PrintTo(const PayKind& kind, std::ostream* out)
{
    *out << kind.kod << " \"" << kind.name.toStdString() << "\" " << exchange::KodDbfRecord(kind).toStdString()
         << " fond " << int(kind.fond) << " bln " << kind.enBln() << " ved " << int(kind.vedStlb) << '/'
         << int(kind.vedShap) << " mark " << kind.mark();
}
} // namespace kalvor::infobase

TEST(KodDbfRecord, FieldByField)
{
    PayKind kind;
    kind.kod = 5;
    kind.name = QStringLiteral("Оклад по дням отработанным");
    kind.flags = 0x4000 | 0x0001 | 0x0008 | 0x0020 | 0x0200;
    kind.oblPodoh = 1;
    kind.enOtp = 2;
    kind.spzCh = 20;
    kind.spzSc = 1;
    kind.spzAu = 3;
    kind.okrug = 4;
    kind.kodDoh = 2000;
    kind.kodSkid = 126;
    kind.sumSkidPodoh = 140'000;
    kind.sumSkidSoc = 1'234'567;
    const QByteArray expected = " " + codepage::toCp1251(QStringLiteral("Оклад по дням отрабо")) + "  5" + "5" + "1" +
                                "1" + "2" + "100" + "010000" + "0020" + "0001" + "0003" + "4" + "2000" + "126" +
                                "      1400.00" + "     12345.67";
    ASSERT_EQ(expected.size(), exchange::kKodDbfRecordSize);
    EXPECT_EQ(exchange::KodDbfRecord(kind), expected);

    // Read over the same kind, the long name stays whole; over none, the
    // record's twenty characters are the name.
    EXPECT_EQ(exchange::PayKindFromKodDbf(expected.constData(), kind), kind);
    PayKind fresh = kind;
    fresh.name = QStringLiteral("Оклад по дням отрабо");
    EXPECT_EQ(exchange::PayKindFromKodDbf(expected.constData(), PayKind{}), fresh);

    // The proportional sick-leave flag goes as a "2"; an amount rounds half up.
    PayKind proportional;
    proportional.enBlnProp = 1;
    proportional.sumSkidSoc = 0.5;
    const QByteArray record = exchange::KodDbfRecord(proportional);
    EXPECT_EQ(record[26], '2');
    EXPECT_EQ(record.mid(70), QByteArray("         0.01"));
}

TEST_F(KodDbfTest, ThePayKindsWrittenAndReadBackAreEqual)
{
    const std::vector<PayKind> kinds = base().payKinds();
    ASSERT_GT(kinds.size(), 5u);
    ASSERT_TRUE(WriteKodDbf(folder, base()));
    // What the file carries is changed in the base; the read gives it back
    // (names longer than the record's twenty characters stay whole).
    for (int number = 1; number <= int(kinds.size()); ++number) {
        PayKind& kind = base().payKindAt(number);
        kind.flags = 0;
        kind.oblPodoh = 0;
        kind.kodDoh = 0;
        kind.sumSkidPodoh = 1;
    }
    EXPECT_EQ(ReadKodDbf(folder, base()), int(kinds.size()));
    EXPECT_EQ(base().payKinds(), kinds);
    EXPECT_EQ(base().config.nEnt, kinds.size());
    EXPECT_EQ(storedKinds(), kinds);
}

TEST_F(KodDbfTest, ThreeHundredKindsGoInBlocksOf131AndComeBack)
{
    const std::vector<PayKind> kinds = CarriedKinds(300);
    RecordingDevice device;
    ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    ASSERT_TRUE(exchange::WriteKodDbfRecords(device, kinds));
    EXPECT_EQ(device.writes, (std::vector<qint64>{131 * 83, 131 * 83, 38 * 83 + 1}));

    base().setPayKinds(kinds);
    const QByteArray header = FileBytes(KodDbfPath(folder)).left(U16At(FileBytes(KodDbfPath(folder)), 8));
    ASSERT_TRUE(WriteKodDbf(folder, base()));
    const QByteArray file = FileBytes(KodDbfPath(folder));
    ASSERT_EQ(file.size(), header.size() + 300 * 83 + 1);
    EXPECT_EQ(file.left(4), header.left(4));
    EXPECT_EQ(file.mid(4, 4), QByteArray("\x2C\x01\x00\x00", 4));
    EXPECT_EQ(file.mid(8, header.size() - 8), header.mid(8));
    EXPECT_EQ(file.mid(header.size() + 299 * 83, 83), exchange::KodDbfRecord(kinds[299]));
    EXPECT_EQ(file.back(), '\x1A');

    base().setPayKinds({});
    EXPECT_EQ(ReadKodDbf(folder, base()), 300);
    EXPECT_EQ(base().payKinds(), kinds);
    EXPECT_EQ(storedKinds(), kinds);

    // Fewer kinds later: the file is cut to them.
    base().setPayKinds({kinds[0], kinds[1]});
    ASSERT_TRUE(WriteKodDbf(folder, base()));
    EXPECT_EQ(FileBytes(KodDbfPath(folder)).size(), header.size() + 2 * 83 + 1);
}

TEST_F(KodDbfTest, AHeaderCountOfZeroEmptiesTheKinds)
{
    ASSERT_FALSE(base().payKinds().empty());
    EXPECT_EQ(ReadKodDbf(folder, base()), 0);
    EXPECT_TRUE(base().payKinds().empty());
    EXPECT_EQ(base().config.nEnt, 0);
    EXPECT_TRUE(storedKinds().empty());
}

TEST_F(KodDbfTest, FilesThatAreNoKindsFileAreRefusedAndTheKindsStay)
{
    const std::vector<PayKind> kinds = base().payKinds();
    base().setPayKinds(CarriedKinds(5));
    ASSERT_TRUE(WriteKodDbf(folder, base()));
    base().setPayKinds(kinds);
    const QString path = KodDbfPath(folder);
    const QByteArray good = FileBytes(path);

    // Found in capitals too.
    ASSERT_TRUE(QFile::rename(path, folder + QStringLiteral("KOD.DBF")));
    EXPECT_EQ(KodDbfPath(folder), folder + QStringLiteral("KOD.DBF"));
    EXPECT_EQ(ReadKodDbf(folder, base()), 5);
    base().setPayKinds(kinds);
    ASSERT_TRUE(QFile::remove(folder + QStringLiteral("KOD.DBF")));

    const QString notFound = QStringLiteral("база данных KOD.DBF не найдена");
    const QString readError = QStringLiteral("Ошибка чтения файла");
    EXPECT_EQ(ErrorOf([&] { ReadKodDbf(folder, base()); }), notFound);
    EXPECT_EQ(ErrorOf([&] { WriteKodDbf(folder, base()); }), notFound);

    struct Broken {
        int at;
        QByteArray bytes;
        QString message;
    };
    const int first = U16At(good, 8); // the first record
    const QString refused = QStringLiteral("Файл не загружен: в нём недопустимые значения.\nФайл kod.dbf, запись ");
    const Broken cases[] = {
        {first + 57, QByteArray("        1e999"),
         refused + QStringLiteral("1, поле SKIDPODOH: недопустимое значение бесконечность")},
        {first + 83 + 70, QByteArray("        -5.00"),
         refused + QStringLiteral("2, поле SKIDSOC: недопустимое значение -5")},
        {first + 4 * 83 + 21, QByteArray("000"), refused + QStringLiteral("5, поле KOD: недопустимое значение 0")},
        {0, QByteArray(1, '\x83'), notFound}, // a dBASE file with memo fields
        {4, QByteArray("\xE8\x03", 2), readError}, // 1,000 records
        {10, QByteArray("\x50\x00", 2), readError}, // records of 80 bytes
        {8, QByteArray("\xFF\x7F", 2), readError}, // a header past the end of the file
        {4, QByteArray("\x09\x00", 2), readError}, // more records than the file holds
    };
    for (const Broken& c : cases) {
        QByteArray bytes = good;
        bytes.replace(c.at, c.bytes.size(), c.bytes);
        WriteBytes(path, bytes);
        EXPECT_EQ(ErrorOf([&] { ReadKodDbf(folder, base()); }), c.message) << c.at;
        EXPECT_EQ(base().payKinds(), kinds);
    }
    WriteBytes(path, good.left(9));
    EXPECT_EQ(ErrorOf([&] { ReadKodDbf(folder, base()); }), readError);
    EXPECT_EQ(ErrorOf([&] { WriteKodDbf(folder, base()); }), readError);
    EXPECT_EQ(FileBytes(path), good.left(9));
}

TEST_F(KodDbfTest, AStopKeepsTheKindsAndTheFile)
{
    const std::vector<PayKind> kinds = base().payKinds();
    base().setPayKinds(CarriedKinds(20));
    ASSERT_TRUE(WriteKodDbf(folder, base()));
    const QByteArray file = FileBytes(KodDbfPath(folder));
    base().setPayKinds(kinds);

    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(ReadKodDbf(folder, base(), stop.get_token()), -1);
    EXPECT_EQ(base().payKinds(), kinds);
    EXPECT_FALSE(WriteKodDbf(folder, base(), stop.get_token()));
    EXPECT_EQ(FileBytes(KodDbfPath(folder)), file);
    EXPECT_EQ(storedKinds(), kinds);
}
