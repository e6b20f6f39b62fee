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
        return QStringLiteral("cp %1 %1.printed").arg(reportPath);
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
}

} // namespace
#endif
