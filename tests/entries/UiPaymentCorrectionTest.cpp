// The two payment-correction screens on the demo base, opened from the
// buttons of their panels and driven by keys: Enter in the strip lists the
// month's sheets or notes with their total "К выдаче" (the child-care sheet
// and the additional vacation, paid with the month's pay, left out of it); an
// amount typed into "Сумма" is in the base once the screen is left with Esc;
// an empty selection is refused; a row whose employee is gone keeps the grid
// as it was. Screenshots of both forms go into the build folder.
#include "DemoEntryWorld.h"
#include "DemoFirm.h"
#include "entries/PaymentCorrection.h"
#include "entries/ui/CBulletViplatDlg.h"
#include "entries/ui/CBulletViplatView.h"
#include "entries/ui/COtpuskCorrectDlg.h"
#include "entries/ui/COtpuskCorrectView.h"
#include "grid/FldHlpGridCtrl.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/PayKinds.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/BaseService.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/CommandRegistry.h"
#include "support/ScreenText.h"
#include "support/StoredBase.h"
#include "values/RoundText.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#ifdef KALVOR_DATA_DIR

namespace {

using namespace entrytest;
namespace ib = kalvor::infobase;
namespace en = kalvor::entries;

// A base layer that reports the demo base as open, so that the panels'
// buttons are enabled.
class OpenDemoBase : public BaseService {
public:
    bool Exists(const QString&) override { return true; }
    BaseFailure Create(const QString&) override { return {}; }
    BaseFailure Open(const QString&) override { return {}; }
    QString StoredPassword() override { return {}; }
    bool IsOpen() const override { return true; }
    QString OpenName() const override { return kalvor::tools::DemoBaseName(); }
    void Close() override {}
};

class PaymentCorrectionScreens : public DemoEntryWorld {
protected:
    void SetUp() override
    {
        DemoEntryWorld::SetUp();
        doc->SetBase(&service);
        registry.AddPanel({4, QStringLiteral("Больничный лист"), MainPanelPayroll});
        registry.AddPanel({5, QStringLiteral("Расчет отпусков"), MainPanelPayroll});
        registry.SetEntryScreenPanel(4, 4);
        registry.SetEntryScreenPanel(5, 5);
        AddScreen(CBulletViplatView::kCommandId, CBulletViplatView::kEntryScreen,
                  [](CKalvorDoc* d) -> CCommonFormView* { return new CBulletViplatView(d); });
        AddScreen(COtpuskCorrectView::kCommandId, COtpuskCorrectView::kEntryScreen,
                  [](CKalvorDoc* d) -> CCommonFormView* { return new COtpuskCorrectView(d); });
        frame = std::make_unique<CMainFrame>(doc.get(), &registry);
        frame->resize(1240, 900);
        ASSERT_TRUE(ShowActive(frame.get()));
    }
    // The screen's command on its panel, as the program registers it.
    void AddScreen(int id, int panel, ViewFactory makeView)
    {
        CommandInfo command;
        command.id = id;
        command.panel = panel;
        command.makeView = std::move(makeView);
        registry.AddCommand(command);
    }
    void TearDown() override
    {
        frame.reset();
        doc->SetBase(nullptr);
        DemoEntryWorld::TearDown();
    }
    template <class View>
    View* OpenFromPanel(int command, int panel)
    {
        frame->ShowWorkPanel(panel);
        QPushButton* button = frame->PanelButton(command);
        EXPECT_NE(button, nullptr);
        if (!button)
            return nullptr;
        EXPECT_TRUE(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
        Settle();
        return qobject_cast<View*>(frame->CurrentView());
    }
    // Enter in the strip with that shop (empty: the whole firm).
    static void ApplyShop(CPaymentCorrectionView* view, const QString& shop)
    {
        QLineEdit* field = view->Strip()->Field(CWorkersFilterDlg::IdShop);
        field->setFocus();
        field->selectAll();
        QApplication::processEvents();
        if (shop.isEmpty())
            QTest::keyClick(field, Qt::Key_Delete);
        else
            TypeText(field, shop);
        PressKey(Qt::Key_Return);
        Settle();
    }
    // The grid rows of an employee, first row first.
    static std::vector<int> RowsOf(CFldHlpGridCtrl* grid, int tabN)
    {
        std::vector<int> rows;
        for (int row = 1; row < grid->GetRowCount(); ++row)
            if (grid->GetItemText(row, en::PaymentTabN) == QString::number(tabN))
                rows.push_back(row);
        return rows;
    }
    // The employee whose sheet or note starts that day.
    static int TabNStarting(CFldHlpGridCtrl* grid, const QString& start)
    {
        for (int row = 1; row < grid->GetRowCount(); ++row)
            if (grid->GetItemText(row, en::PaymentStart) == start)
                return grid->GetItemText(row, en::PaymentTabN).toInt();
        return 0;
    }
    // Esc in the grid gives the focus to the strip, whose Esc leaves the screen.
    void LeaveWithEsc(CFldHlpGridCtrl* grid)
    {
        grid->setFocus();
        QApplication::processEvents();
        PressKey(Qt::Key_Escape);
        PressKey(Qt::Key_Escape);
        Settle();
    }
    // The lines as the base holds them.
    template <class Line>
    std::vector<Line> StoredRun(ib::LineArray<Line> ib::CInfoBase::*lines, int tabN)
    {
        ib::CInfoBase stored;
        stored.workFolder = doc->infoBase.workFolder;
        stored.baseName = doc->infoBase.baseName;
        ib::OpenStoredBase(stored);
        ib::LoadAll(stored);
        const int slot = stored.list[std::size_t(stored.FindEmployee(tabN))].slot;
        std::vector<Line> run = (stored.*lines).run(slot);
        ib::CloseBase(stored);
        return run;
    }
    QString Payable(double kopecks) const
    {
        return kalvor::FormatFixed(kalvor::RoundPayout(kalvor::RoundByPayKind(kopecks, 904, *doc), *doc) / 100, 2);
    }

    OpenDemoBase service;
    MessageRecorder recorder;
};

} // namespace

TEST_F(PaymentCorrectionScreens, SickLeavePaymentsAreListedCorrectedAndSavedOnLeaving)
{
    auto* view = OpenFromPanel<CBulletViplatView>(1214, 4);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->FormId(), 458);
    EXPECT_EQ(doc->LastEntryScreen, 4u);
    EXPECT_EQ(view->controlAs<QGroupBox>(1225)->title(), QStringLiteral("Просмотр выплат по больничным"));
    auto* dlg = ScreenPart<CBulletViplatDlg>(view);
    ASSERT_NE(dlg, nullptr);
    CFldHlpGridCtrl* grid = dlg->Grid();
    EXPECT_EQ(dlg->control(1517), grid);
    ASSERT_NE(dlg->control(1515), nullptr);
    EXPECT_EQ(grid->GetItemText(0, 1), QStringLiteral("Табельный\nномер"));
    EXPECT_EQ(grid->GetItemText(0, 3), QStringLiteral("Конец"));
    EXPECT_EQ(grid->GetColumnWidth(0), 168) << "0.28 of the 600 points";
    EXPECT_EQ(grid->GetColumnWidth(4), 48);
    EXPECT_GT(grid->GetColumnWidth(6), 100) << "\"Сумма\" takes the rest of the width";
    EXPECT_GT(grid->GetRowHeight(0), 2 * grid->fontMetrics().height()) << "two lines of heading";

    ApplyShop(view, QString());
    EXPECT_TRUE(recorder.Texts().isEmpty());
    const int sick = TabNStarting(grid, QStringLiteral("28.03.11"));
    const int childCare = TabNStarting(grid, QStringLiteral("18.04.11"));
    ASSERT_NE(sick, 0);
    ASSERT_NE(childCare, 0);
    const int row = RowsOf(grid, sick).front();
    EXPECT_EQ(grid->GetItemText(row, 3), QStringLiteral("08.04.11"));
    EXPECT_EQ(grid->GetItemText(row, 5), QStringLiteral("1"));
    EXPECT_EQ(grid->GetItemText(row, 6), QStringLiteral("3429.48"));
    EXPECT_EQ(grid->GetItemText(RowsOf(grid, childCare).front(), 4), QStringLiteral("5"));
    EXPECT_EQ(grid->GetItemText(RowsOf(grid, childCare).front(), 5), QString());
    // Only the sheet paid in the inter-calculation period counts.
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("К выдаче")), Payable(kalvor::tools::DemoSickLeaveAmount));
    EXPECT_FALSE(grid->IsCellEditable(row, 5));
    EXPECT_TRUE(grid->IsCellEditable(row, 6));
    Screenshot(frame.get(), QStringLiteral("sick-leave-payments-458.png"));

    // A payment is never below 0: -1 is refused naming the column, and Esc
    // puts the stored amount back.
    TypeCell(grid, row, 6, QStringLiteral("-1"));
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral(
                                    "Значение поля \"Сумма\" должно быть от 0.00 до 999999999999.99: -1")});
    recorder.boxes.clear();
    ASSERT_NE(grid->GetEditor(), nullptr);
    QTest::keyClick(grid->GetEditor(), Qt::Key_Escape);
    Settle();
    EXPECT_EQ(grid->GetItemText(row, 6), QStringLiteral("3429.48"));
    TypeCell(grid, row, 6, QStringLiteral("3500.10"));
    EXPECT_EQ(grid->GetItemText(row, 6), QStringLiteral("3500.10"));
    LeaveWithEsc(grid);
    EXPECT_EQ(frame->CurrentView()->objectName(), QStringLiteral("CEmptyView"));
    EXPECT_EQ(frame->CurrentWorkPanel(), 4);
    const std::vector<ib::SickLeaveSheet> stored = StoredRun(&ib::CInfoBase::bln, sick);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_DOUBLE_EQ(stored[0].sum, 350'010);
    EXPECT_EQ(stored[0].dBegin, 28);
    EXPECT_TRUE(recorder.Texts().isEmpty());
}

// A sick-leave payment's "Сумма" of three decimals is held on every way
// out: Tab, a click on another row's amount and a click on the strip each say
// one box naming the column, the editor keeping the text with the focus; Esc
// puts the stored amount back without a box. Nothing is stored.
TEST_F(PaymentCorrectionScreens, ARefusedSickLeaveAmountIsHeldOnEveryWayOut)
{
    auto* view = OpenFromPanel<CBulletViplatView>(1214, 4);
    ASSERT_NE(view, nullptr);
    ApplyShop(view, QString());
    CFldHlpGridCtrl* grid = view->Dlg()->Grid();
    const int sick = TabNStarting(grid, QStringLiteral("28.03.11"));
    ASSERT_NE(sick, 0);
    const int row = RowsOf(grid, sick).front();
    const int other = row == 1 ? 2 : 1;
    ASSERT_LT(other, grid->GetRowCount());
    const QString stored = grid->GetItemText(row, 6);
    QRect cell, otherCell;
    ASSERT_TRUE(grid->GetCellRect(row, 6, cell));
    ASSERT_TRUE(grid->GetCellRect(other, 6, otherCell));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    Settle();
    ASSERT_NE(grid->GetEditor(), nullptr);
    const QStringList faults = HeldOnEveryWayOut(
        recorder, [grid]() -> QLineEdit* { return grid->GetEditor(); }, QStringLiteral("Сумма"),
        QStringLiteral("12,755"),
        {{QStringLiteral("a click on another row's amount"), ClickOn(grid->viewport(), otherCell.center())},
         {QStringLiteral("a click on the strip"), ClickOn(view->Strip()->Field(CWorkersFilterDlg::IdShop))}});
    EXPECT_TRUE(faults.isEmpty()) << faults.join(u'\n').toStdString();
    const std::size_t said = recorder.boxes.size();
    ASSERT_NE(grid->GetEditor(), nullptr);
    QTest::keyClick(grid->GetEditor(), Qt::Key_Escape);
    Settle();
    EXPECT_EQ(recorder.boxes.size(), said);
    EXPECT_EQ(grid->GetItemText(row, 6), stored);
    LeaveWithEsc(grid);
    const std::vector<ib::SickLeaveSheet> kept = StoredRun(&ib::CInfoBase::bln, sick);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_DOUBLE_EQ(kept[0].sum, kalvor::tools::DemoSickLeaveAmount);
}

TEST_F(PaymentCorrectionScreens, TheAdditionalVacationIsCorrectedInItsOwnNote)
{
    auto* view = OpenFromPanel<COtpuskCorrectView>(32806, 5);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->FormId(), 388);
    EXPECT_EQ(doc->LastEntryScreen, 5u);
    EXPECT_EQ(view->controlAs<QGroupBox>(1225)->title(), QStringLiteral("Корректировка отпускных выплат"));
    auto* dlg = ScreenPart<COtpuskCorrectDlg>(view);
    ASSERT_NE(dlg, nullptr);
    CFldHlpGridCtrl* grid = dlg->Grid();
    EXPECT_EQ(dlg->control(1351), grid);
    EXPECT_EQ(grid->GetItemText(0, 3), QStringLiteral("Длина"));

    ApplyShop(view, QString());
    const int tabN = TabNStarting(grid, QStringLiteral("11.04.11"));
    ASSERT_NE(tabN, 0);
    const std::vector<int> rows = RowsOf(grid, tabN);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1], rows[0] + 1);
    EXPECT_EQ(grid->GetItemText(rows[0], 3), QStringLiteral("14,00"));
    EXPECT_EQ(grid->GetItemText(rows[1], 2), QStringLiteral("25.04.11"));
    EXPECT_EQ(grid->GetItemText(rows[1], 4), QStringLiteral("1"));
    EXPECT_EQ(grid->GetItemText(rows[1], 5), QString());
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("К выдаче")), Payable(kalvor::tools::DemoVacationAmount));
    Screenshot(frame.get(), QStringLiteral("vacation-payments-388.png"));

    // The vacation payments take their amounts by the same rule as the sick sheets'.
    TypeCell(grid, rows[1], 6, QStringLiteral("-1"));
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral(
                                    "Значение поля \"Сумма\" должно быть от 0.00 до 999999999999.99: -1")});
    recorder.boxes.clear();
    ASSERT_NE(grid->GetEditor(), nullptr);
    QTest::keyClick(grid->GetEditor(), Qt::Key_Escape);
    Settle();
    TypeCell(grid, rows[1], 6, QStringLiteral("2390.77"));
    // Enter in the strip saves the grid before listing again; the total keeps
    // to the flagged note.
    ApplyShop(view, QString());
    EXPECT_EQ(grid->GetItemText(RowsOf(grid, tabN)[1], 6), QStringLiteral("2390.77"));
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("К выдаче")), Payable(kalvor::tools::DemoVacationAmount));
    const std::vector<ib::VacationNote> stored = StoredRun(&ib::CInfoBase::otp, tabN);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_DOUBLE_EQ(stored[0].sum, kalvor::tools::DemoVacationAmount);
    EXPECT_DOUBLE_EQ(stored[1].sum, 239'077);
    EXPECT_EQ(stored[1].dBegin, 25);
    EXPECT_TRUE(recorder.Texts().isEmpty());
}

TEST_F(PaymentCorrectionScreens, AnEmptySelectionAndAMissingEmployeeKeepTheGrid)
{
    auto* view = OpenFromPanel<COtpuskCorrectView>(32806, 5);
    ASSERT_NE(view, nullptr);
    CFldHlpGridCtrl* grid = view->Dlg()->Grid();
    // Shop 77 is not in the shop book: refused naming the book.
    ApplyShop(view, QStringLiteral("77"));
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("В поле \"Цех\" указан номер, которого нет в справочнике "
                                                           "\"Цех/Отдел\": 77")});
    EXPECT_EQ(grid->GetRowCount(), 1);
    EXPECT_EQ(QApplication::focusWidget(), view->Strip()->Field(CWorkersFilterDlg::IdShop));

    ApplyShop(view, QString());
    const int rowCount = grid->GetRowCount();
    const int tabN = TabNStarting(grid, QStringLiteral("11.04.11"));
    ASSERT_NE(tabN, 0);
    TypeCell(grid, RowsOf(grid, tabN)[0], 6, QStringLiteral("1.00"));
    doc->infoBase.EraseEmployeeEntry(doc->infoBase.FindEmployee(tabN));
    const std::vector<ib::VacationNote> lines = doc->infoBase.otp.lines;
    ApplyShop(view, QString());
    EXPECT_EQ(grid->GetRowCount(), rowCount) << "the save stopped, so the grid is not listed again";
    EXPECT_EQ(doc->infoBase.otp.lines, lines);
    // Leaving is not held by a row that cannot be saved.
    LeaveWithEsc(grid);
    EXPECT_EQ(frame->CurrentView()->objectName(), QStringLiteral("CEmptyView"));
    EXPECT_DOUBLE_EQ(StoredRun(&ib::CInfoBase::otp, tabN).front().sum, kalvor::tools::DemoVacationAmount);
}

#endif
