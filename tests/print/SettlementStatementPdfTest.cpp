// The settlement statements as LibreOffice renders them (skipped when it is
// not installed): the demo firm's month computed by the engine and printed
// in forms T-51, T-49 and 0504401, with the firm, an employee and the amount
// to pay on the sheets, on A4 landscape. The PDFs are kept in the build
// folder ("settlement-t51.pdf", "settlement-t49.pdf", "settlement-0504401.pdf")
// for a look; tools/render_settlement_statements.sh makes them and their pictures.
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcEmployeeMonth.h"
#include "payroll/CalcOptions.h"
#include "payroll/CalcThread.h"
#include "payroll/PayKinds.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "print/SettlementStatement.h"
#include "support/DemoDocument.h"
#include "support/MonthRun.h"
#include "support/OfficeConvert.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <functional>
#include <map>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::print;

#ifdef KALVOR_DATA_DIR

using namespace kalvor::testsupport;

namespace {

// The to-pay total that the writer hands to the totals row of the form.
QString ToPayTotal(PayrollDoc& doc, int kind)
{
    const SettlementPlan plan = PlanSettlementStatement(kind, doc);
    CTree tree(plan.templateName(), QStringLiteral("unused.typ"));
    FillSettlementStatement(tree, StatementPrintParams{}, doc, 0, plan);
    const QString totals = QStringLiteral("row%1").arg(kind == SettlementT49 ? 27 : 16);
    QString last;
    const QDomElement page = tree.DataDocument().documentElement().firstChildElement(QStringLiteral("doc"));
    for (QDomElement p = page.firstChildElement(); !p.isNull(); p = p.nextSiblingElement())
        for (QDomElement row = p.firstChildElement(totals); !row.isNull(); row = row.nextSiblingElement(totals))
            last = row.lastChildElement().text();
    return last;
}

// Every value that the writer hands to the form, in order.
QStringList AllValues(PayrollDoc& doc, int kind)
{
    const SettlementPlan plan = PlanSettlementStatement(kind, doc);
    CTree tree(plan.templateName(), QStringLiteral("unused.typ"));
    FillSettlementStatement(tree, StatementPrintParams{}, doc, 0, plan);
    QStringList values;
    std::function<void(const QDomElement&)> walk = [&](const QDomElement& node) {
        for (QDomElement e = node.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            if (e.tagName().startsWith(QLatin1String("par")))
                values << e.text();
            else
                walk(e);
        }
    };
    walk(tree.DataDocument().documentElement());
    return values;
}

// The employee rows of form T-51 by personnel number: every value of each row.
std::map<QString, QStringList> T51EmployeeRows(PayrollDoc& doc)
{
    const SettlementPlan plan = PlanSettlementStatement(SettlementT51, doc);
    CTree tree(plan.templateName(), QStringLiteral("unused.typ"));
    FillSettlementStatement(tree, StatementPrintParams{}, doc, 0, plan);
    std::map<QString, QStringList> rows;
    const QDomElement pages = tree.DataDocument().documentElement().firstChildElement(QStringLiteral("doc"));
    for (QDomElement page = pages.firstChildElement(); !page.isNull(); page = page.nextSiblingElement())
        for (QDomElement row = page.firstChildElement(QStringLiteral("row15")); !row.isNull();
             row = row.nextSiblingElement(QStringLiteral("row15"))) {
            QStringList values;
            for (QDomElement v = row.firstChildElement(); !v.isNull(); v = v.nextSiblingElement()) values << v.text();
            rows[values.value(1)] = values;
        }
    return rows;
}

QString Tool(const char* name, const QStringList& arguments)
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(QString::fromLatin1(name)), arguments);
    process.waitForFinished(60'000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The month computed and stored, then the employees written anew into the
// swap file with their results, as the statement thread does; the base closed.
void ComputeMonthIntoSwapFile(PayrollDoc& doc)
{
    CInfoBase& base = doc.infoBase;
    ASSERT_NO_FATAL_FAILURE(kalvor::testsupport::ComputeAndStoreMonth(doc));
    LoadAll(base);
    ASSERT_TRUE(SelectAllToSwap(base, Selection{}));
    base.OpenSwapFile();
    CloseBase(base);
}

} // namespace

// The demo firm's loan repayments (kind 760) stand in the fourth deduction
// column of form T-51's one-part layout: Калинин (117) repays one month's
// instalment of 3,000.00 in April, the loan of 134 its first stage's 2,000.00.
// Without a column the layout prints, the same rows lose exactly that much.
TEST(SettlementStatementDemo, LoanRepaymentsHaveAColumnOfTheLayout)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ScopedToday today{QDate(2011, 4, 29)};
    PayrollDoc doc;
    ASSERT_NO_FATAL_FAILURE(OpenDemoDocument(doc, dir.path() + QLatin1Char('/')));
    CInfoBase& base = doc.infoBase;
    ASSERT_NO_FATAL_FAILURE(ComputeMonthIntoSwapFile(doc));

    platform::SetWorkingFolder(QStringLiteral(KALVOR_SOURCE_DIR "/data"));
    const SettlementPlan plan = PlanSettlementStatement(SettlementT51, doc);
    ASSERT_EQ(plan.album, 1);
    // Every deduction kind with a column has one of the four columns.
    for (const PayKind& kind : base.payKinds()) {
        if (kind.kod >= 700 && kind.vedStlb != 0) {
            EXPECT_LE(kind.vedStlb, 4) << kind.kod;
        }
    }
    const std::map<QString, QStringList> shown = T51EmployeeRows(doc);
    const int loanKind = FindPayKind(doc, 760);
    ASSERT_GE(loanKind, 0);
    base.payKindAt(infobase::NumberOfPlace(loanKind)).vedStlb = 0;
    const std::map<QString, QStringList> without = T51EmployeeRows(doc);
    base.CloseSwapFile();
    platform::SetWorkingFolder(QString());

    // Values 14-17 are the deduction columns, 18 the deductions in all, 21 the amount to pay.
    auto amount = [](const QStringList& row, int i) { return row.value(i).toDouble(); };
    for (const auto& [tabN, loan] : {std::pair{QStringLiteral("117"), 3000.0}, {QStringLiteral("134"), 2000.0}}) {
        SCOPED_TRACE(tabN.toStdString());
        ASSERT_EQ(shown.count(tabN), 1u);
        const QStringList& with = shown.at(tabN);
        const QStringList& less = without.at(tabN);
        EXPECT_NEAR(amount(with, 17) - amount(less, 17), loan, 0.001);
        EXPECT_NEAR(amount(with, 18) - amount(less, 18), loan, 0.001);
        EXPECT_NEAR(amount(less, 21), amount(with, 21), 0.001); // the amount to pay is the month's either way
    }
}

// April computed with 112 Сазонов, then his status set to 4 ("Уволен и уже не
// работает") and his bonus lines taken off, and the month computed again: form
// T-51 no longer lists him (his salary of 25,000.00 and his April accruals of
// 29,568.47 stood there as current), everyone else stays, and the to-pay
// total changes by exactly what the first run's form had him to be paid.
TEST(SettlementStatementDemo, AnEmployeeTakenOutByARerunIsNoLongerListed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ScopedToday today{QDate(2011, 4, 29)};
    PayrollDoc doc;
    ASSERT_NO_FATAL_FAILURE(OpenDemoDocument(doc, dir.path() + QLatin1Char('/')));
    CInfoBase& base = doc.infoBase;
    ASSERT_NO_FATAL_FAILURE(ComputeMonthIntoSwapFile(doc));
    const int slot = base.list[std::size_t(base.FindEmployee(112))].slot;
    platform::SetWorkingFolder(QStringLiteral(KALVOR_SOURCE_DIR "/data"));
    const std::map<QString, QStringList> before = T51EmployeeRows(doc);
    const QString totalBefore = ToPayTotal(doc, SettlementT51);
    base.CloseSwapFile();

    base.attributesOf(slot).priznUv = 4;
    base.prem.removeRun(slot);
    ASSERT_NO_FATAL_FAILURE(ComputeMonthIntoSwapFile(doc));
    const std::map<QString, QStringList> after = T51EmployeeRows(doc);
    const QString totalAfter = ToPayTotal(doc, SettlementT51);
    base.CloseSwapFile();
    platform::SetWorkingFolder(QString());

    ASSERT_EQ(before.count(QStringLiteral("112")), 1u);
    EXPECT_EQ(after.count(QStringLiteral("112")), 0u);
    EXPECT_EQ(after.size(), before.size() - 1);
    // Value 21 of a row is the amount to pay.
    const double paidBefore = before.at(QStringLiteral("112")).value(21).toDouble();
    EXPECT_NEAR(totalBefore.toDouble() - totalAfter.toDouble(), paidBefore, 0.001);
}

TEST(SettlementStatementPdf, DemoFirmsMonthInEachForm)
{
    if (OfficeProgram().isEmpty() || !PdfToTextAvailable() ||
        QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        GTEST_SKIP() << "LibreOffice or poppler-utils are not installed: the PDF forms are not checked";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    ScopedToday today{QDate(2011, 4, 29)};
    platform::DocumentOpener::SetCommand(QStringLiteral("true"));
    PayrollDoc doc;
    ASSERT_NO_FATAL_FAILURE(OpenDemoDocument(doc, folder));
    ASSERT_TRUE(QDir(folder).mkpath(QStringLiteral("Shablon")));
    for (const char* form : {"t-51-albom1", "t-49-albom1", kSettlementBudgetTemplate})
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/Shablon/") + QLatin1String(form) + QStringLiteral(".rtf"),
                        folder + QStringLiteral("Shablon/") + QLatin1String(form) + QStringLiteral(".rtf")));
    platform::SetWorkingFolder(folder);

    CInfoBase& base = doc.infoBase;
    ASSERT_NO_FATAL_FAILURE(ComputeMonthIntoSwapFile(doc));
    const QString someone = base.shortNameOf(base.list.front().slot);

    const QString buildFolder = QStringLiteral(KALVOR_DATA_DIR "/../");
    const std::pair<int, QString> forms[] = {{SettlementT51, QStringLiteral("settlement-t51")},
                                             {SettlementT49, QStringLiteral("settlement-t49")},
                                             {SettlementBudget, QStringLiteral("settlement-0504401")}};
    for (const auto& [kind, name] : forms) {
        SCOPED_TRACE(name.toStdString());
        StatementPrintParams statement;
        statement.variant = std::uint8_t(kind);
        QString error;
        ASSERT_EQ(PrintSettlementStatement(statement, doc, folder + name + QStringLiteral(".typ"), 0, &error),
                  kSettlementDone)
            << error.toStdString();
        const QString pdf = ConvertWithOffice(folder + name + QStringLiteral(".rtf"), QStringLiteral("pdf"));
        ASSERT_FALSE(pdf.isEmpty());
        KeepCopy(pdf, buildFolder + name + QStringLiteral(".pdf"));
        const QString text = PdfText(pdf);
        EXPECT_TRUE(text.contains(QStringLiteral("ООО «Северная механика»")));
        EXPECT_TRUE(text.contains(someone)) << someone.toStdString();
        EXPECT_TRUE(text.contains(kind == SettlementBudget ? QStringLiteral("0504401") : QStringLiteral("РАСЧЕТ")));
        // The demo kinds name their columns: forms T-51 and T-49 come out as
        // album 1, and form 0504401 takes them without asking.
        const SettlementPlan plan = PlanSettlementStatement(kind, doc);
        EXPECT_EQ(plan.album, 1);
        EXPECT_FALSE(plan.ask);
        const QStringList values = AllValues(doc, kind);
        for (const char* title : {"Премия ежемесячная", "Районный коэффициент", "Аванс", "Алименты"})
            EXPECT_TRUE(values.contains(QString::fromUtf8(title))) << title;
        const QString total = ToPayTotal(doc, kind);
        EXPECT_FALSE(total.isEmpty());
        EXPECT_TRUE(text.contains(total)) << total.toStdString();
        if (kind == SettlementT51) {
            // Every amount of form T-51 stands whole on one line of its cell
            // (a cell too narrow breaks "24380.95" into "24380.9" and "5").
            const QStringList words = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
            const QRegularExpression amount(QStringLiteral("^\\d+\\.\\d{2,3}$"));
            int amounts = 0;
            for (const QString& value : values)
                if (amount.match(value).hasMatch()) {
                    ++amounts;
                    EXPECT_TRUE(words.contains(value)) << value.toStdString();
                }
            EXPECT_GT(amounts, 300);
        }
        const QString info = Tool("pdfinfo", {pdf});
        EXPECT_TRUE(info.contains(QStringLiteral("841.89 x 595"))) << info.toStdString();
    }
    base.CloseSwapFile();
    platform::SetWorkingFolder(QString());
    platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
}

#endif
