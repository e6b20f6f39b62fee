// A refusal held on a screen of the demo base at 1024x768, with the
// program's real boxes: every command of the frame honours it (the frame's
// keys, the menu, the panels, the quick buttons): it is refused with the
// field's box, one box, and does nothing else; deleting the card gives the
// refused text up first and asks after. A click on a button that saves,
// switches or closes does not act, a key meant for another widget is
// swallowed, a dialog's window X keeps the refused text, and a lookup left
// by the panel or the toolbar refuses its number. The menu bar is reached by
// keys alone.
#include "DemoFrameTest.h"

#include "entries/LabourParticipationRules.h"
#include "entries/PaymentCorrection.h"
#include "entries/ui/CAvancePrintVedView.h"
#include "entries/ui/CBulletViplatDlg.h"
#include "entries/ui/CBulletViplatView.h"
#include "entries/ui/CCurnuPerSBDlg.h"
#include "entries/ui/CCurnuPerSBView.h"
#include "entries/ui/CPremKtuView.h"
#include "grid/FldHlpGridCtrl.h"
#include "grid/GridCtrl.h"
#include "grid/InPlaceEdit.h"
#include "masterdata/ui/CStavkaCorrect.h"
#include "reports/social/ui/CGenrOVPFEditDlg.h"
#include "reports/social/ui/CGenrRVedFSSEditDlg.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/MonthChange.h"
#include "shell/ui/TaskView.h"
#include "shell/ui/TypedInput.h"

#include <QDir>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolBar>

#ifdef KALVOR_DATA_DIR

namespace {

constexpr int kCardCommand = 1042; // "Учетная карточка работника"
constexpr int kArchiveCommand = 1044; // "Архив", on the card's panel
constexpr int kArchiveQuickButton = 10002;
constexpr int kKtuCommand = 32822; // "Механизм КТУ"
constexpr int kSchedulesCommand = 1028; // "Графики"
constexpr int kMonthChangeCommand = 32773;
constexpr int kCalculationPanel = 8; // "Расчет зарплаты"
constexpr int kAdvanceStatementCommand = 1258; // "Печать ведомости" of the advance
constexpr int kTransfersCommand = 1228; // "Перечисления в банки"

CTypedEdit* FieldNamed(QWidget* within, const QString& name)
{
    for (CTypedEdit* field : within->findChildren<CTypedEdit*>())
        if (field->isVisible() && field->Kind().name == name)
            return field;
    return nullptr;
}

// What a person does while the refusal holds.
enum class Way {
    AltF10,
    F2,
    F4,
    F7,
    F8,
    PgUp,
    PgDn,
    MenuCommand,
    PanelClick,
    PanelButtonClicked,
    QuickButtonClick,
    KeyToStrip,
    WindowX
};
const std::pair<Way, const char*> kCardWays[] = {{Way::AltF10, "Alt+F10"},
                                                 {Way::F2, "F2"},
                                                 {Way::F4, "F4"},
                                                 {Way::F7, "F7"},
                                                 {Way::F8, "F8"},
                                                 {Way::PgUp, "PgUp"},
                                                 {Way::PgDn, "PgDn"},
                                                 {Way::MenuCommand, "a menu command"},
                                                 {Way::PanelClick, "a click on the panel"},
                                                 {Way::PanelButtonClicked, "the panel's button"},
                                                 {Way::QuickButtonClick, "a click on a quick button"},
                                                 {Way::KeyToStrip, "a key sent to the strip"},
                                                 {Way::WindowX, "the window's X"}};

class UiHeldRefusal : public DemoFrameTest {
protected:
    // Types the text into the field and leaves it by Tab: one box, and the
    // field holds the text with the focus.
    void Refuse(CTypedEdit& field, const QString& text)
    {
        field.setFocus(Qt::TabFocusReason);
        field.selectAll();
        QTest::keyClicks(&field, text);
        const std::size_t said = boxes.boxes.size();
        QTest::keyClick(&field, Qt::Key_Tab);
        Settle();
        ASSERT_EQ(boxes.boxes.size(), said + 1) << boxes.Texts().join(QLatin1Char('|')).toStdString();
        ASSERT_EQ(QApplication::focusWidget(), &field);
        ASSERT_EQ(field.text(), text);
    }
    void Take(CMainFrame& frame, Way way, QWidget* focus)
    {
        switch (way) {
        case Way::AltF10: QTest::keyClick(focus, Qt::Key_F10, Qt::AltModifier); break;
        case Way::F2: QTest::keyClick(focus, Qt::Key_F2); break;
        case Way::F4: QTest::keyClick(focus, Qt::Key_F4); break;
        case Way::F7: QTest::keyClick(focus, Qt::Key_F7); break;
        case Way::F8: QTest::keyClick(focus, Qt::Key_F8); break;
        case Way::PgUp: QTest::keyClick(focus, Qt::Key_PageUp); break;
        case Way::PgDn: QTest::keyClick(focus, Qt::Key_PageDown); break;
        case Way::MenuCommand: frame.CommandAction(kArchiveCommand)->trigger(); break;
        case Way::PanelClick: QTest::mouseClick(frame.PanelButton(kArchiveCommand), Qt::LeftButton); break;
        case Way::PanelButtonClicked: frame.PanelButton(kArchiveCommand)->click(); break;
        case Way::QuickButtonClick:
            QTest::mouseClick(QuickButton(frame, kArchiveQuickButton), Qt::LeftButton);
            break;
        case Way::KeyToStrip: QTest::keyClick(StripNumber(frame), Qt::Key_7); break;
        case Way::WindowX: frame.close(); break;
        }
        Settle();
    }
    static QWidget* QuickButton(CMainFrame& frame, int command)
    {
        auto* bar = frame.findChild<QToolBar*>(QStringLiteral("quickButtons"));
        return bar ? bar->widgetForAction(frame.CommandAction(command)) : nullptr;
    }
    static CTypedEdit* StripNumber(CMainFrame& frame)
    {
        auto* strip = qobject_cast<CWorkersFilterDlg*>(frame.CurrentView()->m_strip.data());
        return strip ? strip->Field(CTabelFilterDlg::IdTabN) : nullptr;
    }
    int Employees() const { return doc.infoBase.employeeCount(); }
};

} // namespace

// The card of 110 with "12x" held in "Оклад": Alt+F10 gives the text up
// first and asks whether to delete the card (the only box; "Нет" keeps it);
// every other way out says the refusal once and does nothing: no other
// screen, no other employee, no text in the strip, the window stays, and
// the field keeps its text with the focus.
TEST_F(UiHeldRefusal, EveryCommandOverTheCardsHeldRefusalSaysOneBoxOrGivesTheTextUpFirst)
{
    CMainFrame frame(&doc, &registry);
    QTimer closer;
    ASSERT_TRUE(ShowAt1024x768(frame, closer, &CloseModalDialogs, 50));
    CCommonFormView* view = OpenForEntry(frame, kCardCommand, 110);
    ASSERT_NE(view, nullptr);
    CTypedEdit* salary = FieldNamed(view, QStringLiteral("Оклад"));
    ASSERT_NE(salary, nullptr);
    const QString stored = salary->text();
    const QString stripText = StripNumber(frame)->text();
    const int employees = Employees();
    boxes.answer = IDNO;
    for (const auto& [way, name] : kCardWays) {
        SCOPED_TRACE(name);
        ASSERT_NO_FATAL_FAILURE(Refuse(*salary, QStringLiteral("12x")));
        const QString refusal = boxes.boxes.back().text;
        ASSERT_TRUE(refusal.contains(QStringLiteral("\"Оклад\""))) << refusal.toStdString();
        const std::size_t said = boxes.boxes.size();
        Take(frame, way, salary);
        ASSERT_EQ(boxes.boxes.size(), said + 1) << boxes.Texts().join(QLatin1Char('|')).toStdString();
        ASSERT_TRUE(frame.isVisible());
        ASSERT_EQ(frame.CurrentView(), view);
        EXPECT_EQ(view->m_tabN, 110u);
        EXPECT_EQ(StripNumber(frame)->text(), stripText);
        EXPECT_EQ(Employees(), employees);
        if (way == Way::AltF10) {
            EXPECT_TRUE(boxes.boxes.back().text.startsWith(
                QStringLiteral("Вы действительно хотите удалить учетную карточку")))
                << boxes.boxes.back().text.toStdString();
            EXPECT_EQ(salary->text(), stored);
            continue;
        }
        EXPECT_EQ(boxes.boxes.back().text, refusal);
        EXPECT_EQ(salary->text(), QStringLiteral("12x"));
        EXPECT_EQ(QApplication::focusWidget(), salary);
        // Esc gives the text up; the next attempt holds it again.
        QTest::keyClick(salary, Qt::Key_Escape);
        EXPECT_EQ(salary->text(), stored);
    }
    EXPECT_NE(frame.SwitchView<CEmptyView>(), nullptr);
}

// "Механизм КТУ" with "12x" held in the first variant's "Процент суммы": the
// month change from the panel (a click, and its button's own click) and from
// the menu says the refusal's box alone, asks no question, and leaves the
// reporting month as it was. Esc then puts the stored value back and keeps
// the screen, and the month change asks its question.
TEST_F(UiHeldRefusal, TheMonthChangeOverAHeldRefusalSaysTheRefusalAloneAndChangesNothing)
{
    CMainFrame frame(&doc, &registry);
    QTimer closer;
    ASSERT_TRUE(ShowAt1024x768(frame, closer, &CloseModalDialogs, 50));
    ASSERT_TRUE(frame.RunCommand(kKtuCommand));
    Settle();
    CCommonFormView* view = frame.CurrentView();
    int id = 0;
    for (const kalvor::KtuField& field : kalvor::KtuFields())
        if (field.variant == 0 && field.rule == 0 && field.measure == kalvor::KtuMeasure::Percent)
            id = field.controlId;
    auto* percent = view->findChild<CTypedEdit*>(QStringLiteral("field%1").arg(id));
    ASSERT_NE(percent, nullptr);
    const QString stored = percent->text();
    const unsigned month = doc.infoBase.config.tekMes;
    boxes.answer = IDNO;
    ASSERT_NO_FATAL_FAILURE(Refuse(*percent, QStringLiteral("12x")));
    const QString refusal = boxes.boxes.back().text;
    frame.ShowWorkPanel(kCalculationPanel);
    QPushButton* button = frame.PanelButton(kMonthChangeCommand);
    ASSERT_TRUE(button && button->isVisible());
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::size_t said = boxes.boxes.size();
        if (attempt == 0)
            QTest::mouseClick(button, Qt::LeftButton);
        else if (attempt == 1)
            button->click();
        else
            frame.CommandAction(kMonthChangeCommand)->trigger();
        Settle();
        ASSERT_EQ(boxes.boxes.size(), said + 1) << attempt << boxes.Texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(boxes.boxes.back().text, refusal) << attempt;
        EXPECT_EQ(doc.infoBase.config.tekMes, month);
        EXPECT_EQ(frame.CurrentView(), view);
        EXPECT_EQ(QApplication::focusWidget(), percent);
    }
    const std::size_t said = boxes.boxes.size();
    QTest::keyClick(percent, Qt::Key_Escape);
    Settle();
    EXPECT_EQ(boxes.boxes.size(), said);
    EXPECT_EQ(percent->text(), stored);
    EXPECT_EQ(frame.CurrentView(), view);
    EXPECT_EQ(QApplication::focusWidget(), percent);
    button->click();
    Settle();
    ASSERT_EQ(boxes.boxes.size(), said + 1);
    EXPECT_EQ(boxes.boxes.back().text, MonthChangeQuestion(kalvor::MonthKey::of(int(month)).next().value()));
    EXPECT_EQ(doc.infoBase.config.tekMes, month);
}

// The rate-correction dialog of 110 with "12x" in "Март": its window's X,
// "Отмена" and "ОК" each say the refusal once; the dialog stays open with
// the editor on the refused text; the rate stored stays. Esc then gives the
// text up and the X closes it.
TEST_F(UiHeldRefusal, TheRateCorrectionDialogKeepsARefusedRateOnItsWindowsX)
{
    CMainFrame frame(&doc, &registry);
    QTimer closer;
    ASSERT_TRUE(ShowAt1024x768(frame, closer, &CloseModalDialogs, 50));
    const int index = doc.infoBase.FindEmployee(110);
    ASSERT_GE(index, 0);
    const auto rates = doc.infoBase.current.rates;
    CStavkaCorrect dialog(&doc, doc.infoBase.list[std::size_t(index)].slot, &frame);
    ASSERT_TRUE(ShowActive(&dialog));
    CGridCtrl* grid = dialog.Grid();
    int row = -1;
    for (int r = 1; r < grid->GetRowCount(); ++r)
        if (grid->GetItemText(r, 0).startsWith(QStringLiteral("Март")))
            row = r;
    ASSERT_GT(row, 0);
    const QString stored = grid->GetItemText(row, 1);
    grid->setFocus();
    grid->SetFocusCell(row, 1);
    grid->OnEditCell(row, 1, QPoint(-1, -1), GridCtrl::VK_LBUTTON | CInPlaceEdit::ClickedChar);
    ASSERT_NE(grid->GetEditor(), nullptr);
    QTest::keyClicks(grid->GetEditor(), QStringLiteral("12x"));
    QTest::keyClick(grid->GetEditor(), Qt::Key_Tab);
    Settle();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    const QString refusal = boxes.boxes.back().text;
    auto* ok = dialog.controlAs<QPushButton>(1);
    auto* cancel = dialog.controlAs<QPushButton>(2);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::size_t said = boxes.boxes.size();
        if (attempt == 0)
            EXPECT_FALSE(dialog.close());
        else
            QTest::mouseClick(attempt == 1 ? cancel : ok, Qt::LeftButton);
        Settle();
        EXPECT_EQ(boxes.boxes.size(), said + 1) << attempt << boxes.Texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(boxes.boxes.back().text, refusal);
        ASSERT_TRUE(dialog.isVisible()) << attempt;
        ASSERT_NE(grid->GetEditor(), nullptr) << attempt;
        EXPECT_EQ(grid->GetEditor()->text(), QStringLiteral("12x"));
        EXPECT_EQ(grid->GetItemText(row, 1), stored);
    }
    EXPECT_FALSE(dialog.Changed());
    QTest::keyClick(grid->GetEditor(), Qt::Key_Escape);
    Settle();
    EXPECT_EQ(grid->GetItemText(row, 1), stored);
    EXPECT_TRUE(dialog.close());
    EXPECT_EQ(boxes.boxes.size(), 4u);
    EXPECT_FALSE(dialog.Changed());
    EXPECT_EQ(doc.infoBase.current.rates[0].rate, rates[0].rate);
}

// The schedules' lookup "График" holding "99" (past the book's last
// number), left by a click on the panel and on a quick button, or never left
// as the panel's "Изменение отчетного месяца" is clicked: the refusal's box,
// once, no question, the month as it was, and the screen stays with the
// text in the lookup.
TEST_F(UiHeldRefusal, ALookupHoldingANumberOutOfItsRangeRefusesItWhenLeftByThePanelOrTheToolbar)
{
    CMainFrame frame(&doc, &registry);
    QTimer closer;
    ASSERT_TRUE(ShowAt1024x768(frame, closer, &CloseModalDialogs, 50));
    ASSERT_TRUE(frame.RunCommand(kSchedulesCommand));
    Settle();
    CCommonFormView* view = frame.CurrentView();
    CTypedEdit* lookup = FieldNamed(view, QStringLiteral("График"));
    ASSERT_NE(lookup, nullptr);
    QPushButton* other = nullptr;
    for (QPushButton* button : frame.findChildren<QPushButton*>(QRegularExpression(QStringLiteral("^panelButton"))))
        if (button->isVisible() && button != frame.PanelButton(kSchedulesCommand) && !other)
            other = button;
    ASSERT_NE(other, nullptr);
    QWidget* quick = QuickButton(frame, kArchiveQuickButton);
    ASSERT_NE(quick, nullptr);
    const unsigned month = doc.infoBase.config.tekMes;
    for (QWidget* target : {static_cast<QWidget*>(other), quick, static_cast<QWidget*>(nullptr)}) {
        lookup->setFocus(Qt::TabFocusReason);
        lookup->selectAll();
        QTest::keyClicks(lookup, QStringLiteral("99"));
        if (!target) {
            frame.ShowWorkPanel(kCalculationPanel);
            target = frame.PanelButton(kMonthChangeCommand);
            ASSERT_TRUE(target && target->isVisible());
        }
        const std::size_t said = boxes.boxes.size();
        boxes.answer = IDYES;
        QTest::mouseClick(target, Qt::LeftButton);
        Settle();
        ASSERT_EQ(boxes.boxes.size(), said + 1) << boxes.Texts().join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(boxes.boxes.back().text.contains(QStringLiteral("\"График\""))) << boxes.boxes.back().text.toStdString();
        EXPECT_EQ(doc.infoBase.config.tekMes, month);
        ASSERT_EQ(frame.CurrentView(), view);
        EXPECT_EQ(lookup->text(), QStringLiteral("99"));
        EXPECT_EQ(QApplication::focusWidget(), lookup);
        lookup->clear();
        lookup->setModified(false);
    }
}

// ------------------------------------- the screens opened from other screens

namespace {

// A way out that must leave the screen as it was: after the act, `stays`
// holds (the screen, its employee, its window), else a fault is noted.
WayOut Kept(WayOut way, const std::function<bool()>& stays, QStringList& faults)
{
    return {way.name, [act = way.act, name = way.name, stays, &faults] {
                act();
                Settle();
                if (!stays())
                    faults << QStringLiteral("%1 acted").arg(name);
            }};
}

// A key sent to another input of the screen while the refusal holds: it is
// swallowed, and the other input keeps its text.
WayOut KeyTo(QLineEdit* other, QStringList& faults)
{
    return {QStringLiteral("a key sent to another input"), [other = QPointer<QLineEdit>(other), &faults] {
                if (!other)
                    return;
                const QString before = other->text();
                QTest::keyClick(other, Qt::Key_7);
                if (other->text() != before)
                    faults << QStringLiteral("the other input took the key: \"%1\"").arg(other->text());
            }};
}

class UiHeldScreens : public UiHeldRefusal {
protected:
    // The frame's own ways out of a screen: a click on another command's
    // panel button, on a quick button, and the menu's command.
    std::vector<WayOut> FrameWays(CMainFrame& frame, int ownCommand)
    {
        QPushButton* other = nullptr;
        for (QPushButton* button : frame.findChildren<QPushButton*>(QRegularExpression(QStringLiteral("^panelButton"))))
            if (button->isVisible() && button->isEnabled() && button != frame.PanelButton(ownCommand) && !other)
                other = button;
        std::vector<WayOut> ways;
        if (other)
            ways.push_back({QStringLiteral("a click on another panel button"), ClickOn(other)});
        ways.push_back({QStringLiteral("a click on a quick button"), ClickOn(QuickButton(frame, kArchiveQuickButton))});
        ways.push_back({QStringLiteral("a menu command"), [&frame] { frame.CommandAction(kCardCommand)->trigger(); }});
        return ways;
    }
    // The refused text held on Tab and on every way, each kept from acting
    // by `stays`; then Esc, which says nothing, gives the text up and does
    // nothing else: the screen stays. The faults found.
    QStringList HoldThenEsc(const QString& where, const std::function<QLineEdit*()>& input, const QString& name,
                            const QString& text, std::vector<WayOut> ways, const std::function<bool()>& stays)
    {
        QStringList faults;
        for (WayOut& way : ways) way = Kept(std::move(way), stays, faults);
        faults << HeldOnEveryWayOut(boxes, input, name, text, ways);
        QLineEdit* held = input();
        if (held) {
            const std::size_t said = boxes.boxes.size();
            QTest::keyClick(held, Qt::Key_Escape);
            Settle();
            if (boxes.boxes.size() != said)
                faults << QStringLiteral("Esc says %1").arg(boxes.Texts().mid(int(said)).join(QLatin1Char('|')));
            if (!stays())
                faults << QStringLiteral("Esc on the refused text goes on to the screen");
        }
        for (QString& fault : faults) fault.prepend(where + QStringLiteral(": "));
        return faults;
    }
    // Whether the frame still shows the view.
    static std::function<bool()> OnScreen(CMainFrame& frame, CCommonFormView* view)
    {
        return [&frame, view] { return frame.CurrentView() == view; };
    }
    // The cell's editor opened as a click opens it.
    static void EditCell(CFldHlpGridCtrl* grid, int row, int col)
    {
        grid->setFocus();
        grid->SetFocusCell(row, col);
        grid->OnEditCell(row, col, QPoint(-1, -1), GridCtrl::VK_LBUTTON | CInPlaceEdit::ClickedChar);
        Settle();
    }
    // "Механизм КТУ": fields of the second and the third variant, each named itself.
    void HoldOnKtuVariants(CMainFrame& frame, QStringList& faults)
    {
        const kalvor::KtuVariants stored = doc.infoBase.firm.ktu;
        const struct {
            int field, other;
            const char* name;
        } fields[] = {{1273, 1275, "Масштаб (2-й вариант КТУ)"},
                      {1290, 1259, "1-й КТУ, правило 3 (2-й вариант КТУ)"},
                      {1295, 1273, "Масштаб (3-й вариант КТУ)"},
                      {1316, 1297, "2-й КТУ, правило 4 (3-й вариант КТУ)"}};
        for (const auto& f : fields) {
            ASSERT_TRUE(frame.RunCommand(kKtuCommand));
            Settle();
            auto* view = qobject_cast<CPremKtuView*>(frame.CurrentView());
            ASSERT_NE(view, nullptr);
            QLineEdit* field = view->Field(f.field);
            ASSERT_NE(field, nullptr);
            const QString before = field->text();
            std::vector<WayOut> ways{{QStringLiteral("a click on another field"), ClickOn(view->Field(f.other))},
                                     KeyTo(view->Field(f.other), faults)};
            for (WayOut& way : FrameWays(frame, kKtuCommand)) ways.push_back(std::move(way));
            faults << HoldThenEsc(QStringLiteral("Механизм КТУ"), [field] { return field; }, QString::fromUtf8(f.name),
                                  QStringLiteral("12x"), ways, OnScreen(frame, view));
            EXPECT_EQ(field->text(), before) << f.name;
            EXPECT_EQ(QApplication::focusWidget(), field) << f.name;
            ASSERT_NE(frame.SwitchView<CEmptyView>(), nullptr);
            Settle();
        }
        EXPECT_EQ(doc.infoBase.firm.ktu, stored);
    }
    // The advance statement: the first sheet's number; nothing is printed.
    void HoldOnAdvanceStatement(CMainFrame& frame, QStringList& faults)
    {
        ASSERT_TRUE(frame.RunCommand(kAdvanceStatementCommand));
        Settle();
        auto* view = qobject_cast<CAvancePrintVedView*>(frame.CurrentView());
        ASSERT_NE(view, nullptr);
        auto* field = view->controlAs<CTypedEdit>(IdFirstSheetField);
        auto* other = view->controlAs<QLineEdit>(IdShopField);
        ASSERT_TRUE(field && other);
        const QString before = field->text();
        std::vector<WayOut> ways{{QStringLiteral("a click on another field"), ClickOn(other)},
                                 {QStringLiteral("a click on the start button"), ClickOn(view->control(IdStartButton))},
                                 KeyTo(other, faults)};
        for (WayOut& way : FrameWays(frame, kAdvanceStatementCommand)) ways.push_back(std::move(way));
        faults << HoldThenEsc(QStringLiteral("Печать ведомости"), [field]() -> QLineEdit* { return field; },
                              field->Kind().name, QStringLiteral("12x"), ways,
                              [&frame, view] { return frame.CurrentView() == view && !view->Running(); });
        EXPECT_EQ(field->text(), before);
        EXPECT_FALSE(QFile::exists(doc.FormWorkFile(QStringLiteral("Avans-Ved"), doc.infoBase.config.reportingKey())));
        ASSERT_NE(frame.SwitchView<CEmptyView>(), nullptr);
        Settle();
    }
    // The sick-leave payments: a sheet's "Сумма"; a click on another row's
    // amount and on the strip.
    void HoldOnSickLeavePayments(CMainFrame& frame, QStringList& faults)
    {
        const auto open = [&]() -> CBulletViplatView* {
            frame.RunCommand(CBulletViplatView::kCommandId);
            Settle();
            auto* view = qobject_cast<CBulletViplatView*>(frame.CurrentView());
            if (!view)
                return nullptr;
            QLineEdit* shop = view->Strip()->Field(CWorkersFilterDlg::IdShop);
            shop->setFocus();
            shop->selectAll();
            QTest::keyClick(shop, Qt::Key_Delete);
            QTest::keyClick(shop, Qt::Key_Return);
            Settle();
            return view;
        };
        CBulletViplatView* view = open();
        ASSERT_NE(view, nullptr);
        CFldHlpGridCtrl* grid = view->Dlg()->Grid();
        ASSERT_GE(grid->GetRowCount(), 3);
        const int col = kalvor::entries::PaymentAmount;
        int row = 1;
        while (row < grid->GetRowCount() && !grid->IsCellEditable(row, col)) ++row;
        ASSERT_LT(row, grid->GetRowCount());
        const QString stored = grid->GetItemText(row, col);
        QRect other;
        ASSERT_TRUE(grid->GetCellRect(row + 1 < grid->GetRowCount() ? row + 1 : row - 1, col, other));
        EditCell(grid, row, col);
        ASSERT_NE(grid->GetEditor(), nullptr);
        QLineEdit* strip = view->Strip()->Field(CWorkersFilterDlg::IdShop);
        std::vector<WayOut> ways{{QStringLiteral("a click on another row's amount"), ClickOn(grid->viewport(), other.center())},
                                 {QStringLiteral("a click on the strip"), ClickOn(strip)},
                                 KeyTo(strip, faults)};
        for (WayOut& way : FrameWays(frame, CBulletViplatView::kCommandId)) ways.push_back(std::move(way));
        faults << HoldThenEsc(QStringLiteral("Просмотр выплат по больничным"),
                              [grid]() -> QLineEdit* { return grid->GetEditor(); }, QStringLiteral("Сумма"),
                              QStringLiteral("12,755"), ways, OnScreen(frame, view));
        EXPECT_EQ(grid->GetEditor(), nullptr);
        EXPECT_EQ(grid->GetItemText(row, col), stored);
        ASSERT_NE(frame.SwitchView<CEmptyView>(), nullptr);
        Settle();
        view = open();
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->Dlg()->Grid()->GetItemText(row, col), stored);
        ASSERT_NE(frame.SwitchView<CEmptyView>(), nullptr);
        Settle();
    }
    // The transfers of 137: the second transfer's "Сумма"; a click on the
    // first's, on "Добавить" and on the strip.
    void HoldOnTransfers(CMainFrame& frame, QStringList& faults)
    {
        constexpr int kTwoBanks = 137;
        auto* view = qobject_cast<CCurnuPerSBView*>(OpenForEntry(frame, kTransfersCommand, kTwoBanks));
        ASSERT_NE(view, nullptr);
        CCurnuPerSBDlg* dlg = view->Dlg();
        CFldHlpGridCtrl* grid = dlg->Grid();
        ASSERT_EQ(grid->GetRowCount(), 3);
        const QString stored = grid->GetItemText(2, 1);
        QRect other;
        ASSERT_TRUE(grid->GetCellRect(1, 1, other));
        EditCell(grid, 2, 1);
        ASSERT_NE(grid->GetEditor(), nullptr);
        QLineEdit* strip = StripNumber(frame);
        std::vector<WayOut> ways{
            {QStringLiteral("a click on the other row's amount"), ClickOn(grid->viewport(), other.center())},
            {QStringLiteral("a click on Добавить"), ClickOn(dlg->control(CCurnuPerSBDlg::IdAdd))},
            {QStringLiteral("a click on the strip"), ClickOn(strip)},
            KeyTo(strip, faults)};
        for (WayOut& way : FrameWays(frame, kTransfersCommand)) ways.push_back(std::move(way));
        faults << HoldThenEsc(QStringLiteral("Перечисления в банки"),
                              [grid]() -> QLineEdit* { return grid->GetEditor(); }, QStringLiteral("Сумма"),
                              QStringLiteral("12,755"), ways, [&frame, view, grid] {
                                  return frame.CurrentView() == view && view->m_tabN == unsigned(kTwoBanks) &&
                                         grid->GetRowCount() == 3;
                              });
        EXPECT_EQ(grid->GetEditor(), nullptr);
        EXPECT_EQ(grid->GetItemText(2, 1), stored);
        ASSERT_NE(frame.SwitchView<CEmptyView>(), nullptr);
        Settle();
        view = qobject_cast<CCurnuPerSBView*>(OpenForEntry(frame, kTransfersCommand, kTwoBanks));
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->Dlg()->Grid()->GetItemText(2, 1), stored);
        ASSERT_NE(frame.SwitchView<CEmptyView>(), nullptr);
    }
};

} // namespace

// "Механизм КТУ"'s second and third variants, the advance statement's form,
// the sick-leave payments' grid and the transfers' grid, on the frame at
// 1024x768 with real boxes: a refused text left by Tab, by a click on
// another field or cell, on the screen's buttons, on the panel, the quick
// button and the menu, and by a key sent to another input says one box
// naming the field each time, nothing acts, and the input keeps the text
// with the focus; Esc then gives it up alone (the screen stays), and the
// screen left and opened again shows what was stored before.
TEST_F(UiHeldScreens, TheScreensOfTheirOwnPanelsHoldARefusedTextOnEveryWayOut)
{
    CMainFrame frame(&doc, &registry);
    QTimer closer;
    ASSERT_TRUE(ShowAt1024x768(frame, closer, &CloseModalDialogs, 50));
    QStringList faults;
    ASSERT_NO_FATAL_FAILURE(HoldOnKtuVariants(frame, faults));
    ASSERT_NO_FATAL_FAILURE(HoldOnAdvanceStatement(frame, faults));
    ASSERT_NO_FATAL_FAILURE(HoldOnSickLeavePayments(frame, faults));
    ASSERT_NO_FATAL_FAILURE(HoldOnTransfers(frame, faults));
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

// The transfers of 137 with the second transfer's "Сумма" open in its
// editor: the frame's keys F2, F3, F4, F7, F8, Alt+F3, Alt+F4 and F10 reach
// the frame from the editor. "12,755" typed and not yet read is read by the
// first of them and refused once; each after it says the held refusal once;
// nothing acts and the editor keeps the text with the focus. Esc gives it
// up; "15" typed is read by F3, which goes on to the employee before, and 137
// shown again has 15.00.
TEST_F(UiHeldScreens, TheFrameKeysReachTheFrameFromAnOpenCellEditor)
{
    CMainFrame frame(&doc, &registry);
    QTimer closer;
    ASSERT_TRUE(ShowAt1024x768(frame, closer, &CloseModalDialogs, 50));
    constexpr int kTwoBanks = 137;
    auto* view = qobject_cast<CCurnuPerSBView*>(OpenForEntry(frame, kTransfersCommand, kTwoBanks));
    ASSERT_NE(view, nullptr);
    CFldHlpGridCtrl* grid = view->Dlg()->Grid();
    ASSERT_EQ(grid->GetRowCount(), 3);
    const QString stored = grid->GetItemText(2, 1);
    EditCell(grid, 2, 1);
    ASSERT_NE(grid->GetEditor(), nullptr);
    QTest::keyClick(grid->GetEditor(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(grid->GetEditor(), QStringLiteral("12,755"));
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_F2, Qt::NoModifier}, {Qt::Key_F3, Qt::NoModifier},  {Qt::Key_F4, Qt::NoModifier},
        {Qt::Key_F7, Qt::NoModifier}, {Qt::Key_F8, Qt::NoModifier},  {Qt::Key_F3, Qt::AltModifier},
        {Qt::Key_F4, Qt::AltModifier}, {Qt::Key_F10, Qt::NoModifier}};
    for (const auto& [key, modifiers] : keys) {
        SCOPED_TRACE(QKeySequence(int(key) | int(modifiers)).toString().toStdString());
        const std::size_t said = boxes.boxes.size();
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        Settle();
        ASSERT_EQ(boxes.boxes.size(), said + 1) << boxes.Texts().join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(boxes.boxes.back().text.contains(QStringLiteral("\"Сумма\""))) << boxes.boxes.back().text.toStdString();
        ASSERT_EQ(frame.CurrentView(), view);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_EQ(view->m_tabN, unsigned(kTwoBanks));
        EXPECT_EQ(grid->GetRowCount(), 3);
        ASSERT_NE(grid->GetEditor(), nullptr);
        EXPECT_EQ(grid->GetEditor()->text(), QStringLiteral("12,755"));
        EXPECT_EQ(QApplication::focusWidget(), grid->GetEditor());
    }
    QTest::keyClick(grid->GetEditor(), Qt::Key_Escape);
    Settle();
    EXPECT_EQ(grid->GetItemText(2, 1), stored);
    EditCell(grid, 2, 1);
    ASSERT_NE(grid->GetEditor(), nullptr);
    QTest::keyClick(grid->GetEditor(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(grid->GetEditor(), QStringLiteral("15"));
    const std::size_t said = boxes.boxes.size();
    QTest::keyClick(grid->GetEditor(), Qt::Key_F3);
    Settle();
    EXPECT_EQ(boxes.boxes.size(), said) << boxes.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_NE(view->m_tabN, unsigned(kTwoBanks));
    ASSERT_NE(frame.SwitchView<CEmptyView>(), nullptr);
    Settle();
    view = qobject_cast<CCurnuPerSBView*>(OpenForEntry(frame, kTransfersCommand, kTwoBanks));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Dlg()->Grid()->GetItemText(2, 1), QStringLiteral("15.00"));
}

// The social reports' section editors ("Редактировать раздел 1 и 5",
// "раздел 4" of the pension-fund report, and both of the 4-FSS settlement)
// with real boxes: a refused text left by Tab, a click on another field, on
// "Сохранить", "Сформировать отчет" and "Закрыть", a key sent to another
// field and the window's X says one box naming the field each time; the
// editor stays open, nothing is saved and no file is written. Esc gives the
// text up alone (the editor stays); the next Esc closes it.
TEST_F(UiHeldScreens, TheReportSectionEditorsHoldARefusedTextOnEveryWayOut)
{
    using namespace kalvor::reports;
    const QString exportFolder = folder + QStringLiteral("xml");
    ASSERT_TRUE(QDir().mkpath(exportFolder));
    const QString printPath = folder + QStringLiteral("report.typ");
    const auto values = doc.GenrValues;
    const std::function<std::unique_ptr<ReportEditDlg>()> editors[] = {
        [&] { return std::make_unique<CGenrOVPFEditDlg>(ReportSelection{}, printPath, exportFolder, doc); },
        [&] { return std::make_unique<CGenrOVPFEditDlg2>(ReportSelection{}, printPath, exportFolder, doc); },
        [&] { return std::make_unique<CGenrRVedFSSEditDlg>(printPath, exportFolder, doc); },
        [&] { return std::make_unique<CGenrRVedFSSEditDlg2>(printPath, exportFolder, doc); }};
    const struct {
        int field, other;
        const char* text;
    } cases[] = {{1005, 1021, "12x"}, {1014, 1001, "12x"}, {1490, 1489, "12,755"}, {1512, 1511, "12,5"}};
    QStringList faults;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        std::unique_ptr<ReportEditDlg> editor = editors[i]();
        ASSERT_TRUE(ShowActive(editor.get()));
        auto* field = editor->controlAs<CTypedEdit>(c.field);
        auto* other = editor->controlAs<QLineEdit>(c.other);
        ASSERT_TRUE(field && other);
        const QString before = field->text();
        ReportEditDlg* open = editor.get();
        std::vector<WayOut> ways{{QStringLiteral("a click on another field"), ClickOn(other)},
                                 {QStringLiteral("a click on Сохранить"), ClickOn(editor->control(ReportEditDlg::IdSave))},
                                 {QStringLiteral("a click on Сформировать отчет"),
                                  ClickOn(editor->control(ReportEditDlg::IdMake))},
                                 {QStringLiteral("a click on Закрыть"), ClickOn(editor->control(ReportEditDlg::IdClose))},
                                 KeyTo(other, faults),
                                 {QStringLiteral("the window's X"), [open] { open->close(); }}};
        faults << HoldThenEsc(QString::fromLatin1(editor->metaObject()->className()), [field]() -> QLineEdit* { return field; },
                              field->Kind().name, QString::fromUtf8(c.text), ways,
                              [open] { return open->isVisible(); });
        EXPECT_FALSE(field->Kind().name.isEmpty());
        EXPECT_EQ(field->text(), before) << c.field;
        EXPECT_EQ(QApplication::focusWidget(), field) << c.field;
        const std::size_t said = boxes.boxes.size();
        QTest::keyClick(field, Qt::Key_Escape);
        Settle();
        EXPECT_FALSE(editor->isVisible()) << c.field;
        EXPECT_EQ(boxes.boxes.size(), said);
    }
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(DoublesChanged(values, doc.GenrValues), "");
    EXPECT_TRUE(QDir(exportFolder).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("report.rtf")));
}

// ------------------------------------------------------ the menu bar by keys

namespace {

// The menu's own mnemonic letter: the one after a single "&"; null when none.
QChar Mnemonic(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) != QLatin1Char('&'))
            return text.at(i + 1);
        ++i;
    }
    return QChar();
}

// The text a menu shows: the single "&" gone, "&&" shown as "&".
QString Shown(QString text)
{
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    return text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

// Every menu of the tree under the bar's actions, each with its actions.
void CollectMenus(const QList<QAction*>& items, QList<QList<QAction*>>& menus)
{
    menus << items;
    for (QAction* item : items)
        if (item->menu())
            CollectMenus(item->menu()->actions(), menus);
}

// Alt and the letter, as a Russian keyboard sends it: the letter's key and text.
void AltLetter(QWidget* to, QChar letter)
{
    QTest::sendKeyEvent(QTest::Click, to, Qt::Key(letter.toUpper().unicode()), QString(letter.toLower()),
                        Qt::AltModifier);
}

} // namespace

// Each top menu and each item of every menu has a letter of its own in its
// menu (Alt+letter on the bar, the letter in an open menu), a letter of its
// caption, and the captions read as registered.
TEST_F(UiHeldRefusal, EveryMenuAndItemHasAMnemonicOfItsOwnWithinItsMenu)
{
    CMainFrame frame(&doc, &registry);
    QList<QList<QAction*>> menus;
    CollectMenus(frame.menuBar()->actions(), menus);
    ASSERT_GE(menus.size(), 5);
    QStringList faults;
    for (const QList<QAction*>& menu : menus) {
        QString used;
        for (QAction* item : menu) {
            if (item->isSeparator())
                continue;
            const QChar letter = Mnemonic(item->text());
            if (letter.isNull() || !letter.isLetterOrNumber())
                faults << QStringLiteral("\"%1\" has no mnemonic").arg(item->text());
            else if (used.contains(letter.toUpper()))
                faults << QStringLiteral("\"%1\": %2 is taken in its menu").arg(item->text(), letter);
            used += letter.toUpper();
        }
    }
    for (const CommandInfo& command : registry.Commands())
        if (QAction* action = frame.CommandAction(command.id))
            if (Shown(action->text()) != command.caption)
                faults << QStringLiteral("\"%1\" shows \"%2\"").arg(command.caption, Shown(action->text()));
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Shown(frame.CommandAction(kMonthChangeCommand)->text()), QStringLiteral("Изменение отчетного месяца"));
}

// F10 opens the first menu and Right goes on to each of the others; Alt and
// a top menu's letter opens that menu; "Сервис" → "Изменение отчетного
// месяца" runs by its letters alone (its question is asked; "Нет").
TEST_F(UiHeldRefusal, EveryTopMenuIsReachedByF10AndByItsLetterAndTheMonthChangeRunsByKeys)
{
    CMainFrame frame(&doc, &registry);
    QTimer closer;
    ASSERT_TRUE(ShowAt1024x768(frame, closer, &CloseModalDialogs, 50));
    const QList<QAction*> top = frame.menuBar()->actions();
    ASSERT_GE(top.size(), 3);
    const auto leaveMenus = [&] {
        for (int i = 0; i < 6 && (QApplication::activePopupWidget() || frame.menuBar()->hasFocus()); ++i) {
            QWidget* at = QApplication::activePopupWidget() ? QApplication::activePopupWidget() : frame.menuBar();
            QTest::keyClick(at, Qt::Key_Escape);
            Settle();
        }
    };
    // The top menu each menu of the tree is under.
    QMap<QWidget*, int> topOf;
    for (int i = 0; i < top.size(); ++i) {
        QList<QList<QAction*>> menus;
        CollectMenus({top[i]}, menus);
        for (const QList<QAction*>& items : menus)
            for (QAction* item : items)
                if (item->menu())
                    topOf.insert(item->menu(), i);
    }
    for (int i = 0; i < top.size(); ++i) {
        // F10, then Right as a person presses it: into a submenu where the
        // item under the cursor has one, else on to the next menu.
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &frame, Qt::Key_F10);
        Settle();
        EXPECT_EQ(QApplication::activePopupWidget(), top[0]->menu());
        for (int step = 0; step < 40 && topOf.value(QApplication::activePopupWidget(), -1) != i; ++step) {
            ASSERT_NE(QApplication::activePopupWidget(), nullptr) << i;
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right);
            Settle();
        }
        EXPECT_EQ(topOf.value(QApplication::activePopupWidget(), -1), i) << Shown(top[i]->text()).toStdString();
        leaveMenus();
        ASSERT_EQ(QApplication::activePopupWidget(), nullptr);

        AltLetter(QApplication::focusWidget() ? QApplication::focusWidget() : &frame, Mnemonic(top[i]->text()));
        Settle();
        EXPECT_EQ(QApplication::activePopupWidget(), top[i]->menu()) << Shown(top[i]->text()).toStdString();
        leaveMenus();
    }

    QAction* service = nullptr;
    for (QAction* menu : top)
        if (Shown(menu->text()) == QStringLiteral("Сервис"))
            service = menu;
    ASSERT_NE(service, nullptr);
    QAction* change = frame.CommandAction(kMonthChangeCommand);
    ASSERT_TRUE(service->menu()->actions().contains(change));
    const unsigned month = doc.infoBase.config.tekMes;
    boxes.answer = IDNO;
    AltLetter(QApplication::focusWidget() ? QApplication::focusWidget() : &frame, Mnemonic(service->text()));
    Settle();
    ASSERT_EQ(QApplication::activePopupWidget(), service->menu());
    TypeText(service->menu(), QString(Mnemonic(change->text())));
    ASSERT_TRUE(WaitFor([&] { return !boxes.boxes.empty(); }, 2000));
    Settle();
    EXPECT_EQ(boxes.Texts(), QStringList{MonthChangeQuestion(kalvor::MonthKey::of(int(month)).next().value())});
    EXPECT_EQ(doc.infoBase.config.tekMes, month);
}

// A command that ends on a screen leaves the focus on a widget of it that
// shows it, never on the screen itself: a print form and the calculation
// opened from the menu, the calculation after its run, and the month change
// from the panel, answered "Да" throughout.
TEST_F(UiHeldRefusal, ACommandThatEndsOnAScreenLeavesTheFocusOnAWidgetOfIt)
{
    constexpr int kCalculationCommand = 32837, kPayStatementCommand = 32843;
    CMainFrame frame(&doc, &registry);
    QTimer answer;
    ASSERT_TRUE(ShowAt1024x768(frame, answer, [] {}, 50));
    const auto focusShown = [&frame](const char* after) {
        QWidget* focus = QApplication::focusWidget();
        CCommonFormView* view = frame.CurrentView();
        EXPECT_TRUE(focus && view && focus != view && view->isAncestorOf(focus) && focus->isVisible() &&
                    focus->isEnabled() && (focus->focusPolicy() & Qt::TabFocus))
            << after << ": " << (focus ? focus->metaObject()->className() : "no widget");
    };
    for (const int command : {kPayStatementCommand, kCalculationCommand}) {
        frame.CommandAction(command)->trigger();
        Settle();
        focusShown(command == kCalculationCommand ? "the calculation opened" : "a print form opened");
    }
    CCommonFormView* calculation = frame.CurrentView();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return !calculation->IsWorking(); }, 120'000));
    Settle();
    focusShown("the calculation's run");
    const unsigned month = doc.infoBase.config.tekMes;
    boxes.answer = IDYES;
    frame.ShowWorkPanel(kCalculationPanel);
    QTest::mouseClick(frame.PanelButton(kMonthChangeCommand), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return doc.infoBase.config.tekMes != month; }, 120'000));
    Settle();
    ASSERT_EQ(frame.CurrentView(), calculation);
    focusShown("the month change");
}

#endif
