// The postings for Турбо-бухгалтер: the three files converted from a golden
// summary record file, one line per record and summed by group, with both
// separators; an empty record file; the question answered Да and Нет; the
// files replaced whole and left as they were when the record file is missing.
#include "exchange/PostingsTurbo.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "support/StoredBase.h"
#include "support/TestFixture.h"
#include "values/Clock.h"
#include "values/Messages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::exchange;
using namespace kalvor::infobase;

namespace {

QByteArray Ansi(const QString& text) { return codepage::toCp1251(text); }

// Ten records: two accruals and two deductions under one account and
// analytics, an accrual of another sub-account, code 600 and a negative
// accrual under another account and analytics, a record written with blanks,
// and two deductions that cancel out.
const QByteArray kRecords = "2000 0001 0005 0001 000000030000.00"
                            "2000 0001 0005 0035 000000010000.00"
                            "2000 0001 0005 0902 000000005200.00"
                            "2000 0001 0005 0760 000000001000.00"
                            "2000 0002 0005 0001 000000002000.50"
                            "2600 0001 0007 0600 000000000300.00"
                            "2600 0001 0007 0001 -00000000100.00"
                            "  70    1   12  110       500.25   "
                            "0070 0001 0012 0950 000000000100.00"
                            "0070 0001 0012 0951 -00000000100.00";

const QByteArray kChartHeader =
    Ansi(QStringLiteral("-- Для использования данного плана счетов при составлении баланса\r\n"
                        "-- предприятия необходимо символы '000 000' заменить на реальные\r\n"
                        "-- коды строк баланса для отнесения остатков. Пример:\r\n\r\n"
                        "-- До:\r\n"
                        "-- 0026  000 000\r\n\r\n"
                        "-- После:\r\n"
                        "-- 0026  214  000\r\n\r\n"));

PayKind Kind(int code, const char* name)
{
    PayKind kind;
    kind.kod = u16(code);
    kind.name = QString::fromUtf8(name);
    return kind;
}

// Records what the export asks and says.
class RecordingConversation : public PostingsConversation {
public:
    explicit RecordingConversation(bool answer) : m_answer(answer) {}
    bool Ask(const QString& question) override
    {
        said << question;
        return m_answer;
    }
    void Tell(const QString& message) override { said << message; }
    QStringList said;

private:
    bool m_answer;
};

class TurboPostings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        doc.setWorkFolder(dir.path());
        CInfoBase& base = doc.infoBase;
        base.baseName = QStringLiteral("turbo");
        CreateSchemaBase(dir.path(), base.baseName);
        OpenBase(base);
        base.setPayKinds({Kind(1, "Оклад"), Kind(35, "Премия за перевыполнение плана"), Kind(110, "Больничный лист"),
                          Kind(760, "Алименты"), Kind(902, "Налог на доходы")});
        base.firm.turboWord = 0;
        base.firm.c1Word = 0;
    }
    void TearDown() override { CloseBase(doc.infoBase); }

    void WriteRecords(const QByteArray& bytes)
    {
        QFile file(doc.SummaryFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Read(const char* extension) const
    {
        QFile file(TurboFilePath(doc, QString::fromLatin1(extension)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }
    // The base path as the summed lines name it.
    QByteArray BaseText() const { return Ansi(QDir::toNativeSeparators(dir.path() + QStringLiteral("/turbo"))); }

    QTemporaryDir dir;
    PayrollDoc doc;
    ScopedToday today{QDate(2026, 3, 5)};
};

TEST_F(TurboPostings, GroupsSummedBySignAccountAndAnalytics)
{
    const TurboFiles files = ConvertSummaryToTurbo(kRecords, doc, QDate(2026, 3, 5));
    EXPECT_EQ(files.analytics, QByteArray("0005\r\n0007\r\n0012\r\n"));
    EXPECT_EQ(files.chart, kChartHeader + "2000_0001 000 000\r\n2000_0002 000 000\r\n2600_0001 000 000\r\n"
                                          "0070_0001 000 000\r\n");
    const QByteArray accruals = Ansi(QStringLiteral(" -- Начисления по з/п (база данных '")) + BaseText() + "')\r\n";
    const QByteArray deductions = Ansi(QStringLiteral(" -- Удержания из з/п (база данных '")) + BaseText() + "')\r\n";
    // The two deductions of account 70 cancel out: no line.
    const QByteArray expected = QByteArray("05.03.26\r\n") + ":         40000.00      70         2000_0001    {0005}" +
                                accruals + ":          6200.00    2000_0001      70         {0005}" + deductions +
                                ":          2000.50      70         2000_0002    {0005}" + accruals +
                                ":           200.00      70         2600_0001    {0007}" + accruals +
                                ":           500.25      70         0070_0001    {0012}" + accruals;
    EXPECT_EQ(codepage::fromCp1251(files.journal).toStdString(), codepage::fromCp1251(expected).toStdString());
}

TEST_F(TurboPostings, OneLinePerRecordWithThePayKindsName)
{
    doc.infoBase.firm.c1Word = 0x80; // c1TypProv
    doc.infoBase.firm.turboWord = 0x8000; // versTurboBuh: "." between account and sub-account
    const TurboFiles files = ConvertSummaryToTurbo(kRecords, doc, QDate(2026, 3, 5));
    EXPECT_EQ(files.analytics, QByteArray("0005\r\n0007\r\n0012\r\n"));
    EXPECT_EQ(files.chart, kChartHeader + "2000.0001 000 000\r\n2000.0002 000 000\r\n2600.0001 000 000\r\n"
                                          "0070.0001 000 000\r\n");
    // Codes without a pay kind take the name of place 995, blank here; code
    // 600 is posted as a deduction.
    const QByteArray blank(20, ' ');
    const QByteArray expected =
        QByteArray("05.03.26\r\n") + ":         30000.00      70         2000.0001    {0005} -- " +
        Ansi(QStringLiteral("Оклад")) + QByteArray(15, ' ') + "\r\n" +
        ":         10000.00      70         2000.0001    {0005} -- " + Ansi(QStringLiteral("Премия за перевыполн")) +
        "\r\n" + ":          5200.00    2000.0001      70         {0005} -- " +
        Ansi(QStringLiteral("Налог на доходы     ")) + "\r\n" +
        ":          1000.00    2000.0001      70         {0005} -- " + Ansi(QStringLiteral("Алименты            ")) +
        "\r\n" + ":          2000.50      70         2000.0002    {0005} -- " +
        Ansi(QStringLiteral("Оклад               ")) + "\r\n" +
        ":           300.00    2600.0001      70         {0007} -- " + blank + "\r\n" +
        ":          -100.00      70         2600.0001    {0007} -- " + Ansi(QStringLiteral("Оклад               ")) +
        "\r\n" + ":           500.25      70         0070.0001    {0012} -- " +
        Ansi(QStringLiteral("Больничный лист     ")) + "\r\n" +
        ":           100.00    0070.0001      70         {0012} -- " + blank + "\r\n" +
        ":          -100.00    0070.0001      70         {0012} -- " + blank + "\r\n";
    EXPECT_EQ(codepage::fromCp1251(files.journal).toStdString(), codepage::fromCp1251(expected).toStdString());

    // A book of 996 kinds: the 996th names the codes without a kind.
    std::vector<PayKind> kinds = doc.infoBase.payKinds();
    for (int code = 2000; kinds.size() < 995; ++code) kinds.push_back(Kind(code, "Вид 995-й и ранее"));
    kinds.push_back(Kind(4000, "Прочие выплаты"));
    kinds.push_back(Kind(5000, "Вид 997-й"));
    doc.infoBase.setPayKinds(kinds);
    QByteArray named = expected;
    named.replace(" -- " + blank, " -- " + Ansi(QStringLiteral("Прочие выплаты      ")));
    EXPECT_EQ(codepage::fromCp1251(ConvertSummaryToTurbo(kRecords, doc, QDate(2026, 3, 5)).journal).toStdString(),
              codepage::fromCp1251(named).toStdString());
}

TEST_F(TurboPostings, AnsweredYesWritesTheThreeFilesAndSavesTheFirm)
{
    WriteRecords(kRecords + "2000 0001"); // a short tail is no record
    doc.infoBase.firm.c1Ch70 = 68;
    RecordingConversation owner(true);
    ASSERT_EQ(ExportPostingsTurbo(doc, owner), 0);
    EXPECT_EQ(owner.said,
              (QStringList{QStringLiteral("Коммутация с Турбо-бухгалтером ?"), QStringLiteral("Порядок!")}));
    const TurboFiles files = ConvertSummaryToTurbo(kRecords, doc, QDate(2026, 3, 5));
    EXPECT_EQ(Read("sig"), files.analytics);
    EXPECT_EQ(Read("lis"), files.chart);
    EXPECT_EQ(Read("jur"), files.journal);
    EXPECT_TRUE(Read("jur").startsWith("05.03.26\r\n"));

    CInfoBase stored;
    stored.workFolder = doc.infoBase.workFolder;
    stored.baseName = doc.infoBase.baseName;
    OpenStoredBase(stored);
    EXPECT_EQ(stored.firm.c1Ch70, 68);
    CloseBase(stored);
}

TEST_F(TurboPostings, AnEmptyRecordFileWritesTheDateAndTheHeader)
{
    WriteRecords(QByteArray());
    RecordingConversation owner(true);
    ASSERT_EQ(ExportPostingsTurbo(doc, owner), 0);
    EXPECT_EQ(owner.said.last(), QStringLiteral("Порядок!"));
    EXPECT_EQ(Read("jur"), QByteArray("05.03.26\r\n"));
    EXPECT_EQ(Read("lis"), kChartHeader);
    EXPECT_EQ(Read("sig"), QByteArray());
}

TEST_F(TurboPostings, AnsweredNoWritesNothing)
{
    WriteRecords(kRecords);
    RecordingConversation owner(false);
    ASSERT_EQ(ExportPostingsTurbo(doc, owner), 0);
    EXPECT_EQ(owner.said, QStringList{QStringLiteral("Коммутация с Турбо-бухгалтером ?")});
    for (const char* extension : {"sig", "lis", "jur"}) EXPECT_EQ(Read(extension), QByteArray("(none)")) << extension;
}

TEST_F(TurboPostings, FilesAreReplacedWholeAndKeptWhenTheRecordsAreMissing)
{
    for (const char* extension : {"sig", "lis", "jur"}) {
        QFile old(TurboFilePath(doc, QString::fromLatin1(extension)));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(4000, 'x'));
    }
    RecordingConversation owner(true);
    try {
        ExportPostingsTurbo(doc, owner);
        ADD_FAILURE() << "no error for a missing record file";
    } catch (const TextError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("Ошибка при открытии файла %1").arg(doc.SummaryFile()));
    }
    EXPECT_EQ(Read("jur"), QByteArray(4000, 'x'));
    EXPECT_EQ(owner.said, QStringList{QStringLiteral("Коммутация с Турбо-бухгалтером ?")});

    WriteRecords("2000 0001 0005 0001 000000030000.00");
    ASSERT_EQ(ExportPostingsTurbo(doc, owner), 0);
    EXPECT_EQ(Read("sig"), QByteArray("0005\r\n"));
    EXPECT_EQ(Read("lis"), kChartHeader + "2000_0001 000 000\r\n");
    // No temporary file is left beside them.
    QStringList names = QDir(dir.path()).entryList({QStringLiteral("turbo.*")}, QDir::Files);
    names.removeIf([](const QString& name) { return name.startsWith(QStringLiteral("turbo.sqlite")); });
    EXPECT_EQ(names, (QStringList{QStringLiteral("turbo.fin"), QStringLiteral("turbo.jur"), QStringLiteral("turbo.lis"),
                                  QStringLiteral("turbo.sig")}));
}

} // namespace
