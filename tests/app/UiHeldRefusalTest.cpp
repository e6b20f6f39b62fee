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
#include "grid/FldHlpGridCtrl.h"
#include "grid/GridCtrl.h"
#include "grid/InPlaceEdit.h"
#include "masterdata/ui/CStavkaCorrect.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/MonthChange.h"
#include "shell/ui/TypedInput.h"

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
    EXPECT_EQ(boxes.boxes.back().text, MonthChangeQuestion(NextMonthKey(int(month))));
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
// number), left by a click on the panel and on a quick button: the
// refusal's box, once, and the screen stays with the text in the lookup.
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
    for (QWidget* target : {static_cast<QWidget*>(other), quick}) {
        lookup->setFocus(Qt::TabFocusReason);
        lookup->selectAll();
        QTest::keyClicks(lookup, QStringLiteral("99"));
        const std::size_t said = boxes.boxes.size();
        QTest::mouseClick(target, Qt::LeftButton);
        Settle();
        ASSERT_EQ(boxes.boxes.size(), said + 1) << boxes.Texts().join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(boxes.boxes.back().text.contains(QStringLiteral("\"График\""))) << boxes.boxes.back().text.toStdString();
        ASSERT_EQ(frame.CurrentView(), view);
        EXPECT_EQ(lookup->text(), QStringLiteral("99"));
        EXPECT_EQ(QApplication::focusWidget(), lookup);
        lookup->clear();
        lookup->setModified(false);
    }
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
    EXPECT_EQ(boxes.Texts(), QStringList{MonthChangeQuestion(NextMonthKey(int(month)))});
    EXPECT_EQ(doc.infoBase.config.tekMes, month);
}

#endif
