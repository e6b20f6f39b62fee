// The vacation note forms of the demo firm: the golden text of a vacation
// with a start (two notes, the second one an additional vacation) and of a
// compensation on dismissal, made with the shipped "forms"; the whole firm;
// and the run's failures.
#include "print/VacationNoteForm.h"
#include "StatementTestDoc.h"
#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/WorkingFolder.h"
#include "print/FormsFile.h"
#include "support/DemoDocument.h"
#include "values/Clock.h"
#include "values/Messages.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::print;

#ifdef KALVOR_DATA_DIR

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class VacationNoteForms : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, folder));
        ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/forms"), folder + QStringLiteral("forms")));
        platform::SetWorkingFolder(folder);
    }
    void TearDown() override
    {
        CloseBase(doc.infoBase);
        platform::SetWorkingFolder(QString());
    }
    // The forms of one employee, with the notes.
    QByteArray formsOf(int personnelNumber)
    {
        StatementPrintParams params;
        params.personnelNumber = std::uint16_t(personnelNumber);
        EXPECT_EQ(WriteVacationNoteCalc(params, true, 0, doc, doc.TypWorkFile()), 0);
        return ReadFile(doc.TypWorkFile());
    }

    QTemporaryDir dir;
    QString folder;
    PayrollDoc doc;
    ScopedToday today{QDate(2011, 4, 20)};
};

TEST_F(VacationNoteForms, VacationWithAStartMatchesItsGoldenText)
{
    const QByteArray text = formsOf(112);
    printtest::ExpectGolden("vacation-note-112.txt", text);
    const QString shown = codepage::fromCp1251(text);
    // 14 days from 11 April end on 24 April; 3 more from 25 April on 27 April.
    EXPECT_TRUE(shown.contains(QStringLiteral("Отпуск с    11    апреля 2011  г. по    24    апреля 2011  г.")));
    EXPECT_TRUE(shown.contains(QStringLiteral("Отпуск с    25    апреля 2011  г. по    27    апреля 2011  г.")));
    EXPECT_TRUE(shown.contains(QStringLiteral(" 1. Сазонов Михаил Андреевич")));
    EXPECT_TRUE(shown.contains(QStringLiteral(" 2. Сазонов Михаил Андреевич")));
    // The twelve months April 2010 - March 2011: nine whole months of 29.4
    // days, and three with a vacation whose calendar days are left out: July
    // 2010 (14 days, 29.4 x 17 / 31), January 2011 (10-16 January, 29.4 x 24 /
    // 31) and March 2011 (21-25 March, 29.4 x 26 / 31): 328.14 days. Their
    // pay without the vacations, 290,398.40 roubles, gives 884.98 a day: 14
    // days make 12,389.72, three days 2,654.94; the first note is paid ahead,
    // its amount to pay being the one the engine stored.
    EXPECT_TRUE(shown.contains(QStringLiteral("290398.40")));
    EXPECT_TRUE(shown.contains(QStringLiteral("328.14")));
    EXPECT_TRUE(shown.contains(QStringLiteral("884.98")));
    EXPECT_TRUE(shown.contains(QStringLiteral("|   апрель |    14 |              12389.72|")));
    EXPECT_TRUE(shown.contains(QStringLiteral("|   апрель |     3 |               2654.94|")));
    EXPECT_TRUE(shown.contains(QStringLiteral("К выплате                                            11038.72")));
    EXPECT_FALSE(text.contains("SUM") || text.contains("YEAR") || text.contains("FIO"));
}

TEST_F(VacationNoteForms, CompensationWithoutAStartMatchesItsGoldenText)
{
    const QByteArray text = formsOf(126);
    printtest::ExpectGolden("vacation-note-126.txt", text);
    const QString shown = codepage::fromCp1251(text);
    EXPECT_TRUE(shown.contains(QStringLiteral("Дата увольнения    15    апреля 2011  г.")));
    EXPECT_TRUE(shown.contains(QStringLiteral("уволить  15     апреля 2011  г.")));
    // Nine days at 98,158.10 / 352.80 = 278.23 roubles.
    EXPECT_TRUE(shown.contains(QStringLiteral("|   апрель |     9 |               2504.07|")));
}

// A note paid with the month: its calculation says what the month's rows
// accrue, withhold and leave to pay. 110 Тихонов (salary 21,000.00, 21
// working days in April) goes on vacation from 18 April for 14 calendar
// days: 11 days at work, 21,000.00 x 11 / 21 = 11,000.00, and 14 days at
// the average of April 2010 - March 2011, 12 x 21,000.00 / (12 x 29.4) =
// 714.29 a day, 13 in April (9,285.77) and 1 in May (714.29), 10,000.06:
// 21,000.06 accrued. Withheld: the tax, 13 % of
// (84,000.06 - 400.00, the deduction on himself in January only) = 10,868
// less the 2,678 + 2,730 + 2,730 of January to March, 2,730.00, and the
// advance of 8,400.00: 11,130.00. To pay 9,870.06.
TEST_F(VacationNoteForms, NotePaidWithTheMonthShowsTheMonthsWithheldAndToPay)
{
    CInfoBase& base = doc.infoBase;
    const int slot = base.list[std::size_t(base.FindEmployee(110))].slot;
    VacationNote note;
    note.dBegin = 18;
    note.mBegin = 4;
    note.gBegin = 2011;
    note.dlin = 14;
    note.kalend = 1;
    note.alg = 1;
    ASSERT_TRUE(base.otp.replaceRun(slot, std::vector<VacationNote>{note}));
    const QString shown = codepage::fromCp1251(formsOf(110));
    EXPECT_TRUE(shown.contains(QStringLiteral("|   апрель |    13 |               9285.77|"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("|      май |     1 |                714.29|")));
    EXPECT_TRUE(shown.contains(QStringLiteral("Всего начислено                                      21000.06")));
    EXPECT_TRUE(shown.contains(QStringLiteral("Удержано                                             11130.00")));
    EXPECT_TRUE(shown.contains(QStringLiteral("К выплате                                             9870.06")));
}

TEST_F(VacationNoteForms, TheWholeFirmIsWrittenWithoutAnError)
{
    ASSERT_EQ(WriteVacationNoteCalc({}, true, 0, doc, doc.TypWorkFile()), 0);
    const QString shown = codepage::fromCp1251(ReadFile(doc.TypWorkFile()));
    EXPECT_EQ(shown.count(QStringLiteral("ЗАПИСКА-РАСЧЕТ")), 3);
    EXPECT_EQ(shown.count(QStringLiteral("о предоставлении отпуска работнику\r\n")), 2);
    // Without the notes only the calculations are written.
    ASSERT_EQ(WriteVacationNoteCalc({}, false, 0, doc, doc.TypWorkFile()), 0);
    EXPECT_FALSE(codepage::fromCp1251(ReadFile(doc.TypWorkFile())).contains(QStringLiteral("ПРИКАЗ")));
}

TEST_F(VacationNoteForms, FailuresOfTheRun)
{
    StatementPrintParams params;
    params.personnelNumber = 126;
    EXPECT_EQ(WriteVacationNoteCalc(params, true, 0, doc, folder + QStringLiteral("no/such/folder.typ")), -23);

    // Stopped before the forms: "Операция прервана", and no file.
    std::stop_source stop;
    stop.request_stop();
    const QString report = folder + QStringLiteral("stopped.typ");
    try {
        WriteVacationNoteCalc(params, true, 0, doc, report, stop.get_token());
        ADD_FAILURE() << "not stopped";
    } catch (const TextError& error) {
        EXPECT_EQ(error.message(), QString::fromUtf8(kMsgInterrupted));
    }
    EXPECT_FALSE(QFile::exists(report));

    // "forms" without the compensation sections.
    QFile forms(FormsFilePath());
    ASSERT_TRUE(forms.open(QIODevice::WriteOnly));
    forms.write("#10\nFIO\n#11\nFIO\n#12\n");
    forms.close();
    try {
        WriteVacationNoteCalc(params, true, 0, doc, report);
        ADD_FAILURE() << "no error";
    } catch (const TextError& error) {
        EXPECT_EQ(error.message(), QString::fromUtf8(kMsgReadFailed));
    }
    EXPECT_FALSE(QFile::exists(report));
}

} // namespace

#endif
