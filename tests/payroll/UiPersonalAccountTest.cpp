// The personal account over a fixture base stored in a base file, driven by
// keys: the stored rows of a typed personnel number with their colours and
// totals, F3/F4 at both ends of the list, typed numbers that are no number or
// not in the list, Esc; the quick command 9999 recomputing one employee and
// showing exactly the rows the engine stored, and an employee the engine
// refuses: its message, its status word, and the rows that were stored.
#include "payroll/CalcErrors.h"
#include "payroll/MonthChange.h"
#include "payroll/MonthMoney.h"
#include "payroll/ui/CCalcLicSchetDlg.h"
#include "payroll/ui/CCalcLicSchetView.h"
#include "payroll/ui/PersonalAccount.h"
#include "support/ScreenText.h"

#include "grid/FldHlpGridCtrl.h"
#include "grid/GridCell.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/FixtureBaseFile.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/MonthChange.h"
#include "support/StoredBase.h"
#include "support/TestFixture.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <QLineEdit>
#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::infobase;

namespace {

constexpr int kEmployees = 12;
constexpr int kRefused = 3; // list index of the employee without a payment system

// The width of the text in one line in the grid's data font.
int OneLineWidth(CFldHlpGridCtrl* grid, const QString& text)
{
    return QFontMetrics(*grid->GetCell(1, 0)->GetFontObject()).horizontalAdvance(text);
}

class UiPersonalAccount : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        doc.setWorkFolder(dir.path() + QLatin1Char('/'));
        base().baseName = QStringLiteral("account");
        CreateSchemaBase(dir.path(), base().baseName);
        OpenBase(base());
        fx = BuildFixtureBase(base(), kEmployees, 7);
        BuildFixtureRefFiles(doc.refFiles);
        payrolltest::AddFixtureContributionTables(doc);
        base().attributesOf(base().list[kRefused].slot).sistOpl = 0;
        payrolltest::SaveFixtureToBase(base(), fx);
        LoadAll(base());

        // The frame's command and its two quick buttons.
        CommandInfo account;
        account.id = 32840;
        account.caption = QStringLiteral("Просмотр лицевых счетов");
        account.needsBase = false; // the fixture base is open without the shell's base service
        account.makeView = [](CKalvorDoc* d) -> CCommonFormView* { return new CCalcLicSchetView(d); };
        registry.AddCommand(account);
        account.id = 10014;
        account.quickOpen = 1;
        registry.AddCommand(account);
        account.id = 9999;
        account.quickOpen = 2;
        registry.AddCommand(account);
        frame = std::make_unique<CMainFrame>(&doc, &registry);
        frame->resize(1100, 720);
        ASSERT_TRUE(ShowActive(frame.get()));
    }
    void TearDown() override
    {
        frame.reset();
        CloseBase(base());
    }

    CInfoBase& base() { return doc.infoBase; }
    int tabN(int listIndex) const { return doc.infoBase.list[std::size_t(listIndex)].tabN(); }
    int slot(int listIndex) const { return doc.infoBase.list[std::size_t(listIndex)].slot; }

    CCalcLicSchetView* Open(int command)
    {
        EXPECT_TRUE(frame->RunCommand(command));
        Settle();
        return qobject_cast<CCalcLicSchetView*>(frame->CurrentView());
    }
    void Type(QWidget* w, const QString& text, Qt::Key end = Qt::Key_Return)
    {
        w->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            edit->selectAll();
        TypeText(w, text);
        QTest::keyClick(w, end);
        Settle();
    }
    static void PressFrameKey(Qt::Key key)
    {
        QTest::keyClick(QApplication::focusWidget(), key);
        Settle();
    }
    // Code and sum cells of every row shown.
    static QStringList Shown(CCalcLicSchetDlg* dlg)
    {
        QStringList rows;
        for (int row = 1; row < dlg->Grid()->GetRowCount(); ++row)
            rows << dlg->Grid()->GetItemText(row, 1) + QLatin1Char(' ') + dlg->Grid()->GetItemText(row, 3);
        return rows;
    }
    QStringList Expected(const std::array<AccrualRow, 66>& rows) const
    {
        QStringList out;
        for (const AccrualRow& r : rows)
            if (!r.isEmpty())
                out << PersonalAccountRowTexts(r, doc).value(1) + QLatin1Char(' ') +
                           PersonalAccountRowTexts(r, doc).value(3);
        return out;
    }
    // The fixture's computed rows of the slot: the screen lists them alone,
    // the month's input rows before them being in them already.
    std::array<AccrualRow, 66> ComputedRows(int listIndex) const
    {
        auto rows = fx.records[std::size_t(slot(listIndex) - 1)].rows;
        const int inputs = doc.infoBase.attributesOf(slot(listIndex)).kvProizv;
        EXPECT_GT(inputs, 0);
        std::fill(rows.begin(), rows.begin() + inputs, AccrualRow{});
        return rows;
    }
    // The rows of the slot as the base holds them now.
    std::array<AccrualRow, 66> StoredRows(int listIndex)
    {
        PayrollDoc other;
        other.setWorkFolder(base().workFolder);
        other.infoBase.baseName = base().baseName;
        OpenStoredBase(other.infoBase);
        LoadProizvZarpByMass(other.infoBase, slot(listIndex), 2, kResultRowsTable);
        const auto rows = other.infoBase.current.rows;
        return rows;
    }
    QTemporaryDir dir;
    CKalvorDoc doc;
    FixtureBase fx;
    CommandRegistry registry;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace

TEST_F(UiPersonalAccount, StepsThroughStoredRowsAndRefusesUnknownNumbers)
{
    MessageRecorder boxes;
    CCalcLicSchetView* view = Open(32840);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(doc.LastEntryScreen, 8u);
    CCalcLicSchetDlg* dlg = view->Dlg();
    QLineEdit* number = view->Strip()->Field(CTabelFilterDlg::IdTabN);
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("Начислено")), QString());

    Type(number, QString::number(tabN(0)));
    EXPECT_EQ(view->m_tabN, unsigned(tabN(0)));
    EXPECT_EQ(ScreenTitle(view), QStringLiteral("Лицевой счет [%1]").arg(base().shortNameOf(slot(0))));
    const auto rows0 = ComputedRows(0);
    ASSERT_FALSE(Expected(rows0).isEmpty());
    EXPECT_EQ(Shown(dlg), Expected(rows0));
    const MonthMoney totals = MonthMoneyOf(rows0.data(), int(rows0.size()));
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("Начислено")), FormatFixed(totals.accrued / 100, 2));
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("Удержано")), FormatFixed(totals.deducted / 100, 2));
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("К выдаче")), FormatFixed(totals.net() / 100, 2));
    // The names' column is the wide one; the hours' no wider than the sums'.
    EXPECT_GE(dlg->Grid()->GetColumnWidth(0), dlg->Grid()->width() / 2 - 2);
    EXPECT_LE(dlg->Grid()->GetColumnWidth(5), dlg->Grid()->GetColumnWidth(3));
    for (int row = 1; row < dlg->Grid()->GetRowCount(); ++row) {
        const bool deduction = dlg->Grid()->GetItemText(row, 1).toInt() >= 700;
        EXPECT_EQ(dlg->Grid()->GetCell(row, 5)->GetTextColour(),
                  deduction ? kPersonalAccountDeductionColour : GridCtrl::DefaultColour);
    }

    // F3 on the first employee does nothing; F4 shows the next one's stored rows.
    PressFrameKey(Qt::Key_F3);
    EXPECT_EQ(view->m_tabN, unsigned(tabN(0)));
    PressFrameKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(tabN(1)));
    EXPECT_EQ(doc.LastPersonnelNumber, unsigned(tabN(1)));
    EXPECT_EQ(number->text(), QString::number(tabN(1)));
    EXPECT_EQ(Shown(dlg), Expected(ComputedRows(1)));

    // On the last employee F4 does nothing; F3 goes back one.
    const int last = base().employeeCount() - 1;
    Type(number, QString::number(tabN(last)));
    EXPECT_EQ(view->m_tabN, unsigned(tabN(last)));
    PressFrameKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(tabN(last)));
    PressFrameKey(Qt::Key_F3);
    EXPECT_EQ(view->m_tabN, unsigned(tabN(last - 1)));
    const QStringList before = Shown(dlg);
    EXPECT_TRUE(boxes.boxes.empty());

    // A text that is no number, and a number that is not in the list: refused,
    // the field's text selected, nothing loaded.
    const std::pair<QString, QString> refusals[] = {
        {QStringLiteral("абв"), QStringLiteral("Некорректное число в поле \"Табельный номер\": абв")},
        {QStringLiteral("0"), QStringLiteral("Некорректный табельный номер")},
        {QStringLiteral("9999"), QStringLiteral("Значение поля \"Табельный номер\" должно быть от 0 до 8191: 9999")}};
    for (const auto& [typed, said] : refusals) {
        boxes.boxes.clear();
        Type(number, typed);
        ASSERT_EQ(boxes.Texts(), QStringList{said}) << typed.toStdString();
        EXPECT_TRUE(number->hasFocus());
        EXPECT_EQ(number->selectedText(), typed);
        EXPECT_EQ(view->m_tabN, unsigned(tabN(last - 1)));
        EXPECT_EQ(Shown(dlg), before);
    }

    // Esc in the grid empties it and goes back to the strip.
    Type(number, QString::number(tabN(0)));
    ASSERT_TRUE(dlg->Grid()->hasFocus());
    QTest::keyClick(dlg->Grid(), Qt::Key_Escape);
    EXPECT_EQ(dlg->Grid()->GetRowCount(), 1);
    EXPECT_TRUE(number->hasFocus());
}

// A row of a later month (the standing deductions' rest the run recorded
// as the next month's debt, 915 of 3,300.00) is listed with its month, but is
// none of the month's money: the totals are those of the month's rows, and
// the 3,300.00 is not among what was deducted.
TEST_F(UiPersonalAccount, ARowOfALaterMonthIsListedButNotCounted)
{
    AccrualRow debt;
    debt.kod = 915;
    debt.sum = 330'000;
    debt.mes = 12;
    debt.hrRest = 82;
    fx.records[std::size_t(slot(0) - 1)].rows[60] = debt;
    payrolltest::SaveFixtureToBase(base(), fx);
    LoadAll(base());
    CCalcLicSchetView* view = Open(32840);
    ASSERT_NE(view, nullptr);
    CCalcLicSchetDlg* dlg = view->Dlg();
    Type(view->Strip()->Field(CTabelFilterDlg::IdTabN), QString::number(tabN(0)));
    const auto rows = ComputedRows(0);
    EXPECT_EQ(Shown(dlg), Expected(rows));
    EXPECT_TRUE(Shown(dlg).contains(PersonalAccountRowTexts(debt, doc).value(1) + QLatin1Char(' ') +
                                    PersonalAccountRowTexts(debt, doc).value(3)));
    const MonthMoney month = MonthMoneyOf(rows.data(), 60);
    EXPECT_EQ(MonthMoneyOf(rows.data(), int(rows.size())).deducted - month.deducted, 330'000);
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("Удержано")), FormatFixed(month.deducted / 100, 2));
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("К выдаче")), FormatFixed(month.net() / 100, 2));
}

// A pay kind's name longer than its column stands whole: wrapped at its words
// from the left of the cell, the row as high as its lines, never cut at
// both ends as a centred line was.
TEST_F(UiPersonalAccount, ALongPayKindNameIsShownWhole)
{
    const auto rows0 = ComputedRows(0);
    const auto first = std::find_if(rows0.begin(), rows0.end(), [](const AccrualRow& r) { return !r.isEmpty(); });
    ASSERT_NE(first, rows0.end());
    const QString longName = QStringLiteral("Пособие по уходу за ребенком до 1,5 лет (первый ребенок)");
    for (int number = 1; number <= int(base().payKinds().size()); ++number)
        if (PayKind& kind = base().payKindAt(number); kind.kod == first->kod)
            kind.name = longName;
    CCalcLicSchetView* view = Open(32840);
    ASSERT_NE(view, nullptr);
    Type(view->Strip()->Field(CTabelFilterDlg::IdTabN), QString::number(tabN(0)));
    CFldHlpGridCtrl* grid = view->Dlg()->Grid();
    ASSERT_GT(grid->GetRowCount(), 1);
    EXPECT_EQ(grid->GetItemText(1, 0), longName);
    const int oneLine = grid->GetRowHeight(0);
    for (int row = 1; row < grid->GetRowCount(); ++row) {
        CGridCellBase* cell = grid->GetCell(row, 0);
        const quint32 format = cell->GetFormat();
        EXPECT_EQ(format & (GridCtrl::DT_CENTER | GridCtrl::DT_RIGHT | GridCtrl::DT_SINGLELINE), 0u) << row;
        EXPECT_NE(format & GridCtrl::DT_WORDBREAK, 0u) << row;
        // Every line of the wrapped name within the column, every line within the row.
        const int room = grid->GetColumnWidth(0) - 2 * int(cell->GetMargin());
        const QFontMetrics metrics(*cell->GetFontObject());
        const QRect needed =
            metrics.boundingRect(QRect(0, 0, room, 10'000), Qt::TextWordWrap, grid->GetItemText(row, 0));
        EXPECT_LE(needed.width(), room) << row;
        EXPECT_LE(needed.height() + 2 * int(cell->GetMargin()), grid->GetRowHeight(row)) << row;
        EXPECT_GE(grid->GetRowHeight(row), oneLine) << row;
    }
    EXPECT_GT(grid->GetRowHeight(1), oneLine); // the long name takes two lines
    EXPECT_GT(OneLineWidth(grid, longName), grid->GetColumnWidth(0)); // one line would not hold it
}

// The month changed while the account is open: it shows the employee's rows
// of the new month (none computed yet), not the old month's.
TEST_F(UiPersonalAccount, AChangeOfTheMonthShowsTheNewMonthsRows)
{
    MessageRecorder boxes;
    CCalcLicSchetView* view = Open(32840);
    ASSERT_NE(view, nullptr);
    Type(view->Strip()->Field(CTabelFilterDlg::IdTabN), QString::number(tabN(0)));
    ASSERT_FALSE(Shown(view->Dlg()).isEmpty());
    base().attributesOf(slot(kRefused)).err = 0; // never computed here
    MoveEmployeesToNextMonth(base().config.reportingKey().next().value(), {}, doc);
    doc.NotifyMonthChanged();
    EXPECT_EQ(view->m_tabN, unsigned(tabN(0)));
    EXPECT_EQ(Shown(view->Dlg()), Expected(StoredRows(0)));
    EXPECT_TRUE(Shown(view->Dlg()).isEmpty());
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(UiPersonalAccount, QuickCommand9999RecomputesOneEmployeeAndShowsWhatWasStored)
{
    MessageRecorder boxes;
    const int index = 2;
    const auto before = StoredRows(index);
    const auto otherBefore = StoredRows(index + 1);

    doc.LastPersonnelNumber = unsigned(tabN(index));
    CCalcLicSchetView* view = Open(9999);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(doc.OpenWithLastEmployee, 0);
    EXPECT_EQ(view->m_tabN, unsigned(tabN(index)));
    EXPECT_EQ(view->Strip()->Field(CTabelFilterDlg::IdTabN)->text(), QString::number(tabN(index)));
    // The engine's rows (tax, contributions, payout) are stored, and shown as stored.
    const auto stored = StoredRows(index);
    ASSERT_NE(Expected(stored), Expected(before));
    EXPECT_EQ(Shown(view->Dlg()), Expected(stored));
    const MonthMoney totals = MonthMoneyOf(stored.data(), int(stored.size()));
    EXPECT_EQ(ScreenText(view->Dlg(), QStringLiteral("К выдаче")), FormatFixed(totals.net() / 100, 2));
    EXPECT_FALSE(base().swap.isOpen());
    EXPECT_EQ(StoredRows(index + 1), otherBefore); // nobody else is computed

    // 10014 opens on the employee shown last without computing him.
    QSqlQuery trigger(Db(base()));
    ASSERT_TRUE(trigger.exec(QStringLiteral("CREATE TRIGGER dbo.no_rows BEFORE DELETE ON zarp "
                                            "BEGIN SELECT RAISE(ABORT, 'rows written'); END")));
    PressFrameKey(Qt::Key_F4);
    CCalcLicSchetView* again = Open(10014);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->m_tabN, unsigned(tabN(index + 1)));
    EXPECT_EQ(Shown(again->Dlg()), Expected(otherBefore));
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(UiPersonalAccount, AnEmployeeTheEngineRefusesShowsItsMessageAndKeepsItsCode)
{
    MessageRecorder boxes;
    const auto stored = StoredRows(kRefused);
    doc.LastPersonnelNumber = unsigned(tabN(kRefused));
    CCalcLicSchetView* view = Open(9999);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, CalcErrorText(-1));
    EXPECT_EQ(boxes.boxes[0].flags, MB_OK | MB_ICONWARNING);
    EXPECT_EQ(base().attributesOf(slot(kRefused)).err, 1);
    QSqlQuery q(Db(base()));
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT err FROM dbo.comp WHERE num = %1").arg(slot(kRefused))));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
    // A refused employee keeps no results of the month as current: his
    // computed rows of the month are gone from the base and the screen (those
    // of later months stay).
    const auto after = StoredRows(kRefused);
    for (std::size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i], i < 60 ? AccrualRow{} : stored[i]) << i;
    EXPECT_TRUE(Shown(view->Dlg()).empty());
    EXPECT_FALSE(base().swap.isOpen());
}
