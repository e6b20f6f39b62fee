// The demo base: the income-tax register of the first quarter of 2011 has a
// page for each employee the quarter reaches, and the register of income
// certificates of 2010 is written and handed to the print command.
#include "reports/incometax/IncomeRegisterText.h"
#include "reports/incometax/TaxRegisterForm.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "print/PrintOutput.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#ifdef KALVOR_DATA_DIR
#include "support/DemoDocument.h"
#include "support/MonthRun.h"

#include <array>
#include <map>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Answers the print command with a copy of the report beside it.
struct CopyingPrompt : print::PrintCommandPrompt {
    std::optional<QString> ConfirmCommand(const QString& reportPath, const QString&) override
    {
        offered = reportPath;
        return QStringLiteral("cp %s %s.printed");
    }
    QString offered;
};

class TaxRegisterDemo : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, folder));
        platform::SetWorkingFolder(QStringLiteral(KALVOR_DATA_DIR));
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
    }
    void TearDown() override
    {
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
        platform::SetWorkingFolder(QString());
        CloseBase(doc.infoBase);
    }

    QTemporaryDir dir;
    QString folder;
    PayrollDoc doc;
};

TEST_F(TaxRegisterDemo, FirstQuarterOf2011PrintsOnePagePerEmployee)
{
    ASSERT_EQ(CalcNalRegistr({}, ReportSelection{}, 0, doc), GenrDone);
    EXPECT_GT(RegisterArea(doc).withheld(12), 0);
    int reached = 0;
    ASSERT_EQ(WalkRegisterEmployees({}, ReportSelection{}, 0, doc,
                                    [&](const RegisterEmployee&) {
                                        ++reached;
                                        return 0;
                                    }),
              GenrDone);
    ASSERT_GT(reached, 1);
    EXPECT_LT(reached, int(doc.infoBase.list.size())); // hired in April 2011: no page

    GenrRunDetail detail;
    ASSERT_EQ(PrintNalRegistr({}, ReportSelection{}, doc.TypWorkFile(), 0, doc, &detail), GenrDone)
        << detail.text.toStdString();
    const QByteArray rtf = readAll(folder + QStringLiteral("demo.rtf"));
    EXPECT_EQ(rtf.count("\\pagebb"), reached);
    EXPECT_FALSE(rtf.contains("bkmkstart par"));
    // Kept in the test's folder for a look.
    QFile::remove(QStringLiteral("tax-register-demo.rtf"));
    QFile::copy(folder + QStringLiteral("demo.rtf"), QStringLiteral("tax-register-demo.rtf"));
}

// The tax withheld of every employee in every month of the first quarter,
// and of the firm in each month, is the stored 902 rows of the month; so is
// April's, computed and stored, in the register of January to April.
TEST_F(TaxRegisterDemo, TaxWithheldOfEachEmployeeAndMonthIsTheStoredRows)
{
    auto walk = [&](int lastMonth) {
        std::map<int, std::array<double, 12>> withheld; // by slot, kopecks
        const int result = WalkRegisterEmployees({}, ReportSelection{}, 0, doc, [&](const RegisterEmployee& e) {
            auto& months = withheld[e.entry->slot];
            for (int m = 0; m < lastMonth; ++m)
                months[std::size_t(m)] = e.months ? e.months->rows[std::size_t(m)].taxWithheld : 0;
            return 0;
        });
        EXPECT_EQ(result, GenrDone);
        return withheld;
    };
    const std::map<int, std::array<double, 12>> quarter = walk(3);
    ASSERT_GT(quarter.size(), 40u);
    CInfoBase& base = doc.infoBase;
    std::array<double, 3> firm{};
    for (const auto& [slot, months] : quarter) {
        LoadEmployee(base, slot);
        std::array<double, 3> stored{};
        for (int i = 0; i < base.current.warKv; ++i) {
            const WariaEntry& e = base.current.waria[std::size_t(i)];
            if (e.kod == 902 && e.god == 2011 && e.mes >= 1 && e.mes <= 3)
                stored[std::size_t(e.mes - 1)] += e.sum;
        }
        for (int m = 0; m < 3; ++m) {
            EXPECT_DOUBLE_EQ(months[std::size_t(m)], stored[std::size_t(m)]) << "slot " << slot << " month " << m + 1;
            firm[std::size_t(m)] += stored[std::size_t(m)];
        }
    }
    ASSERT_EQ(CalcNalRegistr({}, ReportSelection{}, 0, doc), GenrDone);
    for (int m = 1; m <= 3; ++m) {
        const std::map<int, double> byCode = testsupport::StoredMonthByCode(doc, m);
        EXPECT_GT(byCode.at(902), 0);
        EXPECT_DOUBLE_EQ(byCode.at(902), firm[std::size_t(m - 1)]) << m;
        EXPECT_DOUBLE_EQ(RegisterArea(doc).withheld(m - 1), byCode.at(902)) << m;
    }

    ASSERT_NO_FATAL_FAILURE(testsupport::ComputeAndStoreMonth(doc));
    const std::map<int, double> april = testsupport::StoredMonthByCode(doc, 4);
    doc.infoBase.config.r_m2 = 4;
    double aprilWalked = 0;
    for (const auto& [slot, months] : walk(4)) aprilWalked += months[3];
    EXPECT_DOUBLE_EQ(aprilWalked, april.at(902));
    ASSERT_EQ(CalcNalRegistr({}, ReportSelection{}, 0, doc), GenrDone);
    EXPECT_DOUBLE_EQ(RegisterArea(doc).withheld(3), april.at(902));
}

TEST_F(TaxRegisterDemo, RegisterOfIncomeCertificatesOf2010OpensThroughThePrintCommand)
{
    doc.infoBase.config.r_g = 110;
    doc.infoBase.config.r_m1 = 0;
    doc.infoBase.config.r_m2 = 0;
    ScopedToday today(QDate(2011, 4, 7));
    const QString path = doc.TypWorkFile();
    const int result = PrintRegisterText({}, ReportSelection{}, path, 0, doc);
    ASSERT_TRUE(result == 0 || result == -1) << result;
    const QByteArray text = readAll(path);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_TRUE(text.contains(codepage::toCp1251(QStringLiteral(" СВЕДЕНИЙ О ДОХОДАХ ФИЗИЧЕСКИХ ЛИЦ ЗА 2010 ГОД"))));
    EXPECT_TRUE(text.contains(codepage::toCp1251(QStringLiteral("в ИФНС "))));
    EXPECT_TRUE(text.contains(codepage::toCp1251(QStringLiteral("\r\nНалоговый агент: ООО «Северная механика»\r\n"))));
    // A stopped run leaves no register behind (the file is written whole or not at all).
    QFile::remove(path);
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(PrintRegisterText(stop.get_token(), ReportSelection{}, path, 0, doc), GenrStopped);
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_EQ(PrintRegisterText({}, ReportSelection{}, path, 0, doc), result);

    CopyingPrompt prompt;
    print::PrintTextFile(doc, path, prompt);
    EXPECT_EQ(prompt.offered, path);
    EXPECT_TRUE(QFile::exists(path + QStringLiteral(".printed")));
    // The print command reads the OEM page, which has no guillemets: the
    // firm's name keeps plain quotes there, not "?".
    EXPECT_TRUE(readAll(path).contains(
        codepage::toCp866(QStringLiteral("\r\nНалоговый агент: ООО \"Северная механика\"\r\n"))));
}

} // namespace
#endif
