// The pay statements as LibreOffice renders them (skipped when it is not
// installed): the demo firm's month in both forms, with the firm, a name and
// the total on the sheets, and a long list whose sheets break where the
// forms' page sizes say. The demo firm's PDFs are kept in the build folder
// ("pay-statement-t53.pdf", "pay-statement-0504403.pdf") for a look;
// tools/render_pay_statements.sh makes them and their pictures.
#include "StatementTestDoc.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcEmployeeMonth.h"
#include "payroll/CalcOptions.h"
#include "payroll/CalcThread.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "print/PayStatement.h"
#include "support/DemoDocument.h"
#include "support/MonthRun.h"
#include "support/OfficeConvert.h"
#include "values/Clock.h"
#include "values/RoundText.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::print;

#ifdef KALVOR_DATA_DIR

using namespace kalvor::testsupport;

namespace {

// pdfinfo's report of the PDF ("Pages:", "Page size:").
QString PdfInfo(const QString& pdf)
{
    QProcess info;
    info.start(QStandardPaths::findExecutable(QStringLiteral("pdfinfo")), {pdf});
    info.waitForFinished(60'000);
    return QString::fromUtf8(info.readAllStandardOutput());
}

bool HasWord(const QString& text, int number)
{
    return text.contains(QRegularExpression(QStringLiteral("(^|\\s)%1(\\s|$)").arg(number)));
}

class PayStatementPdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (OfficeProgram().isEmpty() || !PdfToTextAvailable() ||
            QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
            GTEST_SKIP() << "LibreOffice or poppler-utils are not installed: the PDF forms are not checked";
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
    }
    void TearDown() override
    {
        platform::SetWorkingFolder(QString());
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    }

    // The statement of the document as PDF.
    QString print(const PayrollDoc& doc, const StatementPrintParams& params, int lineCount, const QString& name)
    {
        QString error;
        EXPECT_EQ(PrintPayStatement(params, doc, folder + name + QStringLiteral(".typ"), 0, lineCount, {}, &error), 0)
            << error.toStdString();
        return ConvertWithOffice(folder + name + QStringLiteral(".rtf"), QStringLiteral("pdf"));
    }

    QTemporaryDir dir;
    QString folder;
    ScopedToday today{QDate(2011, 4, 29)};
};

StatementPrintParams BudgetParams()
{
    StatementPrintParams params;
    params.outputMode = BudgetStatement;
    return params;
}

} // namespace

// 103 lines: T-53 has its title sheet, then sheets of 35 lines each opened by
// their header; 0504403 has 26 lines under its title, then 38 a sheet.
TEST_F(PayStatementPdf, SheetsBreakAtTheFormsPageSizes)
{
    platform::SetWorkingFolder(QStringLiteral(KALVOR_SOURCE_DIR "/data"));
    PayrollDoc doc;
    std::vector<printtest::StatementEmployee> employees;
    for (int i = 0; i < 103; ++i) employees.push_back({101 + i, 1, 0, 1'000.0 + i});
    printtest::BuildStatementDoc(doc, employees);
    for (int slot = 1; slot <= doc.infoBase.slotCount(); ++slot) doc.infoBase.zar1Of(slot) = doc.infoBase.avOf(slot);

    const QString t53 = print(doc, {}, 103, QStringLiteral("t53"));
    ASSERT_FALSE(t53.isEmpty());
    EXPECT_TRUE(PdfText(t53, 1).contains(QStringLiteral("ПЛАТЕЖНАЯ ВЕДОМОСТЬ")));
    EXPECT_FALSE(HasWord(PdfText(t53, 1), 101));
    for (int sheet = 2; sheet <= 4; ++sheet) {
        SCOPED_TRACE(sheet);
        const QString text = PdfText(t53, sheet);
        EXPECT_TRUE(text.contains(QStringLiteral("%1-я страница").arg(sheet)));
        const int first = 101 + (sheet - 2) * 35, last = std::min(first + 34, 203);
        EXPECT_TRUE(HasWord(text, first) && HasWord(text, last));
        EXPECT_FALSE(HasWord(text, first - 1) || HasWord(text, last + 1));
    }

    const QString budget = print(doc, BudgetParams(), 103, QStringLiteral("budget"));
    ASSERT_FALSE(budget.isEmpty());
    const int firsts[] = {101, 127, 165, 203};
    for (int sheet = 1; sheet <= 4; ++sheet) {
        SCOPED_TRACE(sheet);
        const QString text = PdfText(budget, sheet);
        if (sheet > 1) {
            EXPECT_TRUE(text.contains(QStringLiteral("с.%1").arg(sheet)));
        }
        const int first = firsts[sheet - 1], last = sheet < 4 ? firsts[sheet] - 1 : 203;
        EXPECT_TRUE(HasWord(text, first) && HasWord(text, last));
        EXPECT_FALSE(HasWord(text, first - 1) || HasWord(text, last + 1));
    }
}

// The demo firm's month computed by the engine, printed in both forms: the
// firm, an employee and the total stand on the sheets, on A4.
TEST_F(PayStatementPdf, DemoFirmsMonthInBothForms)
{
    PayrollDoc doc;
    ASSERT_NO_FATAL_FAILURE(OpenDemoDocument(doc, folder));
    ASSERT_TRUE(QDir(folder).mkpath(QStringLiteral("Shablon")));
    for (const char* form : {kPayStatementT53Template, kPayStatementBudgetTemplate})
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/Shablon/") + QLatin1String(form) + QStringLiteral(".rtf"),
                        folder + QStringLiteral("Shablon/") + QLatin1String(form) + QStringLiteral(".rtf")));
    platform::SetWorkingFolder(folder);

    CInfoBase& base = doc.infoBase;
    kalvor::testsupport::ComputeAndStoreMonth(doc);
    CloseBase(base);

    int lines = 0;
    double total = 0;
    QString someone; // the first employee on the list
    for (const EmployeeListEntry& entry : base.list) {
        const double amount = base.zar1Of(entry.slot);
        if (amount != 0 && someone.isEmpty())
            someone = base.shortNameOf(entry.slot);
        lines += amount != 0;
        total += amount;
    }
    ASSERT_GT(lines, 26);
    const QString sum = FormatFixed(total / 100, 2);

    const QString buildFolder = QStringLiteral(KALVOR_DATA_DIR "/../");
    for (const auto& [params, name] : {std::pair{StatementPrintParams{}, QStringLiteral("pay-statement-t53")},
                                       std::pair{BudgetParams(), QStringLiteral("pay-statement-0504403")}}) {
        SCOPED_TRACE(name.toStdString());
        const QString pdf = print(doc, params, lines, name);
        ASSERT_FALSE(pdf.isEmpty());
        QFile::remove(buildFolder + name + QStringLiteral(".pdf"));
        QFile::copy(pdf, buildFolder + name + QStringLiteral(".pdf"));
        const QString text = PdfText(pdf);
        EXPECT_TRUE(text.contains(QStringLiteral("ООО «Северная механика»")));
        EXPECT_TRUE(text.contains(someone)) << someone.toStdString();
        // T-53 writes the total's roubles and kopecks apart, 0504403 as one amount.
        if (params.outputMode == 0)
            EXPECT_TRUE(HasWord(text, int(total / 100))) << sum.toStdString();
        else
            EXPECT_TRUE(text.contains(sum)) << sum.toStdString();
        const QString info = PdfInfo(pdf);
        EXPECT_TRUE(info.contains(QRegularExpression(params.outputMode == 0 ? QStringLiteral("Pages:\\s+3\\n")
                                                                            : QStringLiteral("Pages:\\s+2\\n"))));
        EXPECT_TRUE(info.contains(QStringLiteral("(A4)")));
    }
}

#endif
