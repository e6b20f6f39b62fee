// The frame as the keyboard drives it: commands from the registry on menus,
// panels and keys; view switching; the frame's keys reaching the view's
// operations; field help, marks and the group panel.
#include "UiTestSupport.h"

#include "grid/FldHlpGridCtrl.h"
#include "shell/ui/BaseService.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CFormChildDlg.h"
#include "shell/ui/CGroupDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CKeyDlg.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EntryGrid.h"
#include "shell/ui/TypedInput.h"
#include "support/InputKinds.h"
#include "support/TestFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBox>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// A base layer that is open or not, as the test says.
class StubBase : public BaseService {
public:
    bool open = true;
    bool Exists(const QString&) override { return true; }
    BaseFailure Create(const QString&) override { return {}; }
    BaseFailure Open(const QString&) override
    {
        open = true;
        return {};
    }
    QString StoredPassword() override { return {}; }
    bool IsOpen() const override { return open; }
    QString OpenName() const override { return QStringLiteral("demo"); }
    void Close() override { open = false; }
};

// An entry dialog with one field; Esc in group mode cancels the group.
class TestEntryDlg : public CFormChildDlg {
public:
    explicit TestEntryDlg(CCommonFormView* view) : CFormChildDlg(900, view)
    {
        auto* l = new QVBoxLayout(this);
        auto* e = new CTypedEdit({QString(), kalvor::TextFigure(0)}, this);
        l->addWidget(e);
        SetControl(1300, e);
        e->installEventFilter(this);
        grid = SetupEntryGrid(this, 1260, QRect(0, 0, 300, 100));
        grid->SetRowCount(3);
        grid->SetColumnCount(2);
        l->addWidget(grid);
    }
    CFldHlpGridCtrl* grid;
    bool eventFilter(QObject* o, QEvent* ev) override
    {
        if (ev->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(ev)->key() == Qt::Key_Escape && m_groupMode) {
            m_groupMode = false;
            View()->CancelGroup();
            return true;
        }
        return CFormChildDlg::eventFilter(o, ev);
    }
};

// A task view that records what the frame's keys and the field help call.
class TestView : public CCommonFormView {
public:
    explicit TestView(CKalvorDoc* doc) : CCommonFormView(777, doc)
    {
        setObjectName(QStringLiteral("TestView"));
        auto* l = new QVBoxLayout(this);
        strip = new CTabelFilterDlg(7, 2, this);
        m_strip = strip;
        entry = new TestEntryDlg(this);
        m_entryDlg = entry;
        grid = new QTableWidget(3, 2, this);
        SetControl(1251, grid);
        l->addWidget(strip);
        l->addWidget(entry);
        l->addWidget(grid);
        l->addStretch(1);
    }
    void ShowFormHelp() override
    {
        calls << "ShowFormHelp";
        if (m_focusedId >= 1103 && m_focusedId != 1300)
            strip->ShowFieldPickList();
    }
    void PrevPage() override { calls << "PrevPage"; }
    void NextPage() override { calls << "NextPage"; }
    void NextElement() override { calls << "NextElement"; }
    void PrevElement() override { calls << "PrevElement"; }
    void NextSubElement() override { calls << "NextSubElement"; }
    void PrevSubElement() override { calls << "PrevSubElement"; }
    void InsertBefore() override { calls << "InsertBefore"; }
    void InsertAfter() override { calls << "InsertAfter"; }
    void DeleteElement() override { calls << "DeleteElement"; }
    void SelectElement() override { calls << "SelectElement"; }
    void ApplySelection() override { calls << QStringLiteral("ApplySelection %1").arg(strip->PersonnelNumber()); }
    void EnableEntry(bool on) override { calls << (on ? "EnableEntry 1" : "EnableEntry 0"); }
    void OnHelpValueSet() override
    {
        calls << "OnHelpValueSet";
        if (m_focusedId == 1103)
            strip->PostApply();
    }
    void TakeHelpValues(const QStringList& values) override
    {
        taken = values;
        auto& base = Document()->infoBase;
        for (auto& e : base.list) e.setFlag(0, false);
        for (const QString& v : values) {
            const int i = base.FindEmployee(v.toInt());
            if (i >= 0)
                base.list[size_t(i)].setFlag(0, true);
        }
        OpenGroupPanel();
        entry->BeginGroup();
        entry->control(1300)->setFocus();
    }
    void CancelGroup() override
    {
        calls << "CancelGroup";
        for (auto& e : Document()->infoBase.list) e.setFlag(0, false);
        CloseGroupPanel();
        strip->Field(1103)->setFocus();
    }
    QStringList calls;
    QStringList taken;
    CTabelFilterDlg* strip;
    TestEntryDlg* entry;
    QTableWidget* grid;
};

class OtherView : public CCommonFormView {
public:
    explicit OtherView(CKalvorDoc* doc) : CCommonFormView(778, doc) { setObjectName(QStringLiteral("OtherView")); }
};

class UiFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc.SetBase(&base);
        doc.infoBase.baseName = QStringLiteral("demo");
        fixture = kalvor::infobase::BuildFixtureBase(doc.infoBase, 12);
        kalvor::infobase::BuildFixtureRefFiles(doc.refFiles);

        registry.AddPanel({0, QStringLiteral("Справочники"), MainPanelPayroll});
        registry.AddPanel({7, QStringLiteral("Табель"), MainPanelPayroll});
        registry.AddPanel({9, QStringLiteral("Панель без экранов"), MainPanelPayroll});
        CommandInfo a;
        a.id = 32833;
        a.caption = QStringLiteral("Ввод основного табеля");
        a.menuPath = {QStringLiteral("Рабочие панели"), QStringLiteral("Расчет зарплаты"), QStringLiteral("Табель")};
        a.panel = 7;
        a.key = QKeySequence(Qt::Key_F11);
        a.makeView = [](CKalvorDoc* d) { return new TestView(d); };
        registry.AddCommand(a);
        CommandInfo b;
        b.id = 1029;
        b.caption = QStringLiteral("Оплаты/Удержания");
        b.panel = 0;
        b.key = QKeySequence(Qt::Key_F12);
        b.makeView = [](CKalvorDoc* d) { return new OtherView(d); };
        registry.AddCommand(b);
        CommandInfo q;
        q.id = 10011;
        q.caption = QStringLiteral("Табель");
        q.quickButton = true;
        q.quickOpen = 1;
        q.makeView = [](CKalvorDoc* d) { return new TestView(d); };
        registry.AddCommand(q);
        registry.SetEntryScreenPanel(7, 7);
    }
    TestView* OpenTestView(CMainFrame& frame)
    {
        QTest::keyClick(&frame, Qt::Key_F11);
        Settle();
        return dynamic_cast<TestView*>(frame.CurrentView());
    }

    StubBase base;
    CKalvorDoc doc;
    kalvor::infobase::FixtureBase fixture;
    CommandRegistry registry;
};

TEST_F(UiFrame, RegisteredCommandsMakeTheMenusPanelsAndKeysAndSwitchViews)
{
    CMainFrame frame(&doc, &registry);
    frame.resize(1000, 700);
    ASSERT_TRUE(ShowActive(&frame));

    // Menus follow the registered paths; the unregistered panel is absent.
    // Each item is marked with its letter (the first free word's first).
    QStringList top;
    for (QAction* a : frame.menuBar()->actions()) top << a->text();
    EXPECT_EQ(top, QStringList{QStringLiteral("&Рабочие панели")});
    // A command without a path of its own stands under its panel's path.
    QMenu* work = frame.menuBar()->actions().first()->menu();
    ASSERT_EQ(work->actions().size(), 1);
    EXPECT_EQ(work->actions()[0]->text(), QStringLiteral("&Расчет зарплаты"));
    QStringList panels;
    for (QAction* a : work->actions()[0]->menu()->actions()) panels << a->text();
    EXPECT_EQ(panels, (QStringList{QStringLiteral("&Табель"), QStringLiteral("&Справочники")}));
    EXPECT_EQ(work->actions()[0]->menu()->actions()[1]->menu()->actions()[0]->text(),
              QStringLiteral("&Оплаты/Удержания"));
    EXPECT_NE(frame.PanelButton(32833), nullptr);
    auto* payroll = frame.findChild<QToolBox*>(QStringLiteral("mainPanel1"));
    ASSERT_NE(payroll, nullptr);
    ASSERT_EQ(payroll->count(), 2);
    EXPECT_EQ(payroll->itemText(0), QStringLiteral("Справочники"));
    EXPECT_EQ(payroll->itemText(1), QStringLiteral("Табель"));
    EXPECT_FALSE(frame.findChild<QPushButton*>(QStringLiteral("mainPanelButton4"))->isVisibleTo(&frame));
    EXPECT_TRUE(frame.findChild<QPushButton*>(QStringLiteral("mainPanelButton1"))->isVisibleTo(&frame));

    // Function keys of the registry switch the single view; the old one goes.
    EXPECT_EQ(frame.CurrentView()->objectName(), QStringLiteral("CEmptyView"));
    QPointer<CCommonFormView> first = OpenTestView(frame);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(frame.CurrentWorkPanel(), 7);
    QTest::keyClick(&frame, Qt::Key_F12);
    Settle();
    EXPECT_EQ(frame.CurrentView()->objectName(), QStringLiteral("OtherView"));
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(frame.CurrentWorkPanel(), 0);

    // The quick command marks the document to open on the last employee.
    doc.OpenWithLastEmployee = 0;
    frame.CommandAction(10011)->trigger();
    EXPECT_EQ(doc.OpenWithLastEmployee, 1);
    EXPECT_EQ(frame.CurrentView()->objectName(), QStringLiteral("TestView"));

    // Without an open base the screens cannot be reached.
    base.open = false;
    doc.NotifyBaseChosen();
    EXPECT_FALSE(frame.PanelButton(32833)->isEnabled());
    EXPECT_FALSE(frame.RunCommand(1029));
    base.open = true;
    doc.NotifyBaseChosen();
    EXPECT_TRUE(frame.PanelButton(32833)->isEnabled());

    // Panels: a numbered working panel, and 255 hides them all.
    frame.ShowWorkPanel(0);
    EXPECT_EQ(frame.CurrentMainPanel(), MainPanelPayroll);
    EXPECT_EQ(payroll->currentIndex(), 0);
    frame.ShowWorkPanel(kHideAllPanels);
    EXPECT_EQ(frame.CurrentWorkPanel(), kHideAllPanels);
    frame.OnMainPanelAddFunctions();
    Settle();
    EXPECT_EQ(frame.CurrentView()->objectName(), QStringLiteral("CEmptyView"));
    EXPECT_EQ(frame.CurrentMainPanel(), MainPanelAddFunctions);
}

TEST_F(UiFrame, FrameKeysReachTheViewEvenFromItsDialogs)
{
    CMainFrame frame(&doc, &registry);
    frame.resize(1000, 700);
    ASSERT_TRUE(ShowActive(&frame));
    TestView* view = OpenTestView(frame);
    ASSERT_NE(view, nullptr);
    QWidget* field = view->entry->control(1300);
    field->setFocus();
    view->calls.clear();
    const std::pair<QKeyCombination, const char*> keys[] = {
        {Qt::Key_F1, "ShowFormHelp"},
        {Qt::Key_PageUp, "PrevPage"},
        {Qt::Key_PageDown, "NextPage"},
        {Qt::Key_F4, "NextElement"},
        {Qt::Key_F3, "PrevElement"},
        {Qt::ALT | Qt::Key_F4, "NextSubElement"},
        {Qt::ALT | Qt::Key_F3, "PrevSubElement"},
        {Qt::Key_F7, "InsertBefore"},
        {Qt::Key_F8, "InsertAfter"},
        {Qt::ALT | Qt::Key_F10, "DeleteElement"},
        {Qt::Key_F2, "SelectElement"},
    };
    QStringList expected;
    for (const auto& [k, name] : keys) {
        QTest::keyClick(field, k.key(), k.keyboardModifiers());
        expected << QString::fromLatin1(name);
    }
    EXPECT_EQ(view->calls, expected);
    EXPECT_TRUE(frame.isVisible()); // Alt+F4 went to the view, not to closing
    EXPECT_EQ(view->m_focusedId, 1300);
}

TEST_F(UiFrame, StripHelpListWithMarksMakesAGroupAndEscCancelsIt)
{
    CMainFrame frame(&doc, &registry);
    frame.resize(1280, 700);
    ASSERT_TRUE(ShowActive(&frame));
    TestView* view = OpenTestView(frame);
    ASSERT_NE(view, nullptr);
    QLineEdit* tabN = view->strip->Field(1103);
    tabN->setFocus();
    Settle(); // the entry greys once the input left has been read
    EXPECT_TRUE(view->calls.contains(QStringLiteral("EnableEntry 0")));
    EXPECT_EQ(view->m_focusedId, 1103);

    // F1 in the personnel-number field: the employees of the list, markable.
    QTest::keyClick(tabN, Qt::Key_F1);
    CFieldHelpList* list = view->HelpList();
    ASSERT_NE(list, nullptr);
    QTableWidget* t = list->table();
    ASSERT_EQ(t->rowCount(), doc.infoBase.employeeCount());
    const auto& e0 = doc.infoBase.list[0];
    EXPECT_EQ(t->item(0, 1)->text(), QString::number(e0.tabN()));
    EXPECT_EQ(t->item(0, 2)->text(), doc.infoBase.shortNameOf(e0.slot));
    EXPECT_FALSE(t->item(0, 2)->text().isEmpty());
    // The list opens beside the field.
    EXPECT_EQ(list->geometry().top(), tabN->mapToGlobal(QPoint(0, 0)).y());
    EXPECT_EQ(list->geometry().left(), tabN->mapToGlobal(QPoint(tabN->width(), 0)).x());

    // Space marks the first line and moves down; Down skips one; Space marks the third.
    QTest::keyClick(t, Qt::Key_Space);
    QTest::keyClick(t, Qt::Key_Down);
    QTest::keyClick(t, Qt::Key_Space);
    EXPECT_EQ(t->item(0, 0)->text(), QStringLiteral("✓"));
    EXPECT_EQ(t->item(1, 0)->text(), QString());
    EXPECT_EQ(t->item(2, 0)->text(), QStringLiteral("✓"));
    QTest::keyClick(t, Qt::Key_Return);
    Settle();
    EXPECT_TRUE(view->HelpList() == nullptr);
    const QStringList expectedTaken{QString::number(doc.infoBase.list[0].tabN()),
                                    QString::number(doc.infoBase.list[2].tabN())};
    EXPECT_EQ(view->taken, expectedTaken);
    EXPECT_TRUE(doc.infoBase.list[0].marked());
    EXPECT_FALSE(doc.infoBase.list[1].marked());
    EXPECT_TRUE(doc.infoBase.list[2].marked());

    // The group panel stands under the form with its two texts.
    CGroupSelectedDlg* panel = view->GroupPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(qobject_cast<QLabel*>(panel->control(1))->text(),
              QStringLiteral("Выбрана группа  (Enter - сохранить данные,   Esc - отмена)"));
    EXPECT_EQ(panel->geometry().bottom(), view->height() - 1);
    EXPECT_TRUE(view->entry->m_groupMode);

    // Esc in the entry dialog cancels the group: marks cleared, panel gone.
    QTest::keyClick(view->entry->control(1300), Qt::Key_Escape);
    Settle();
    EXPECT_EQ(view->GroupPanel(), nullptr);
    EXPECT_FALSE(doc.infoBase.list[0].marked());
    EXPECT_FALSE(view->entry->m_groupMode);
    EXPECT_TRUE(tabN->hasFocus());

    // In the smallest window the list would cross its right edge: it stays
    // inside the window instead.
    frame.resize(CMainFrame::kMinimumWidth, CMainFrame::kMinimumHeight);
    Settle();
    QTest::keyClick(tabN, Qt::Key_F1);
    ASSERT_NE(view->HelpList(), nullptr);
    const QRect inside(frame.mapToGlobal(QPoint(0, 0)), frame.size());
    EXPECT_TRUE(inside.contains(view->HelpList()->geometry()))
        << view->HelpList()->geometry().x() << " " << view->HelpList()->geometry().right();
    QTest::keyClick(view->HelpList()->table(), Qt::Key_Escape);
    Settle();

    // A single choice types the number into the field and applies it.
    view->calls.clear();
    QTest::keyClick(tabN, Qt::Key_F1);
    list = view->HelpList();
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list->table(), Qt::Key_Down);
    QTest::keyClick(list->table(), Qt::Key_Return);
    Settle();
    const QString second = QString::number(doc.infoBase.list[1].tabN());
    EXPECT_EQ(tabN->text(), second);
    // F1 asked for the help; the choice set the value, and the number typed
    // into the personnel-number field was applied.
    const int set = int(view->calls.indexOf(QStringLiteral("OnHelpValueSet")));
    ASSERT_GE(set, 1);
    EXPECT_EQ(view->calls.first(), QStringLiteral("ShowFormHelp"));
    EXPECT_GT(view->calls.indexOf(QStringLiteral("ApplySelection ") + second), set);
}

TEST_F(UiFrame, HintsShopsAndProfessionsOfTheStrip)
{
    CMainFrame frame(&doc, &registry);
    frame.resize(1000, 700);
    ASSERT_TRUE(ShowActive(&frame));
    TestView* view = OpenTestView(frame);
    ASSERT_NE(view, nullptr);

    // The brigade field has a hint, not a list; a second request while it is
    // shown changes nothing; the next key closes it.
    QLineEdit* brigade = view->strip->Field(1253);
    brigade->setFocus();
    QTest::keyClick(brigade, Qt::Key_F1);
    auto* hint = view->findChild<CHintWnd*>();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->text(), QStringLiteral("Укажите номер бригады\nЭто должно быть число в пределах от 1 до 99"));
    EXPECT_EQ(hint->height(), 40);
    EXPECT_EQ(hint->width(), 300);
    // Not at its right, where Tab goes on to the profession: below it.
    EXPECT_EQ(hint->pos(), brigade->mapToGlobal(QPoint(0, brigade->height())));
    view->ShowFieldHint(QStringLiteral("другая"), 3, 220);
    EXPECT_EQ(view->findChildren<CHintWnd*>().size(), 1);
    QTest::keyClick(brigade, Qt::Key_5);
    Settle();
    EXPECT_EQ(view->findChild<CHintWnd*>(), nullptr);
    EXPECT_FALSE(view->HintShown());
    // Esc that closes the hint does nothing else: the screen stays.
    QTest::keyClick(brigade, Qt::Key_F1);
    ASSERT_TRUE(view->HintShown());
    QTest::keyClick(brigade, Qt::Key_Escape);
    Settle();
    EXPECT_FALSE(view->HintShown());
    EXPECT_EQ(frame.CurrentView(), view);

    // Shops: "%d|%s" of the base's shops; Enter types the code.
    QLineEdit* shop = view->strip->Field(1252);
    shop->setFocus();
    QTest::mouseDClick(shop, Qt::LeftButton);
    CFieldHelpList* list = view->HelpList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->table()->item(0, 1)->text(), QStringLiteral("1"));
    EXPECT_EQ(list->table()->item(0, 2)->text(), doc.infoBase.shopAt(1).name);
    QTest::keyClick(list->table(), Qt::Key_Down);
    QTest::keyClick(list->table(), Qt::Key_Down);
    QTest::keyClick(list->table(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(shop->text(), QStringLiteral("3"));
    // Marks are refused in a single-choice list.
    QTest::keyClick(shop, Qt::Key_F1);
    list = view->HelpList();
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list->table(), Qt::Key_Space);
    EXPECT_TRUE(list->MarkedCodes().isEmpty());
    QTest::keyClick(list->table(), Qt::Key_Escape);
    Settle();
    EXPECT_EQ(shop->text(), QStringLiteral("3"));

    // Professions: code and at most 26 characters of the name.
    QLineEdit* prof = view->strip->Field(1254);
    prof->setFocus();
    QTest::keyClick(prof, Qt::Key_F1);
    list = view->HelpList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->table()->rowCount(), int(doc.refFiles.profiCount));
    EXPECT_EQ(list->table()->item(0, 1)->text(), QString::number(doc.refFiles.profi[0].code));
    QTest::keyClick(list->table(), Qt::Key_Escape);

    // The strip's keys read as numbers; a field that holds no number is
    // refused with its message and keeps the focus, never read as "any".
    // Esc leaves for the entry screen's panel.
    {
        MessageRecorder boxes;
        const std::pair<const char*, QString> refusals[] = {
            {"x", QStringLiteral("Некорректное число в поле \"Бригада\": x")},
            {" 4-я", QStringLiteral("Некорректное число в поле \"Бригада\": 4-я")},
            {"-5", QStringLiteral("Значение поля \"Бригада\" должно быть от 0 до 99: -5")}};
        for (const auto& [bad, said] : refusals) {
            SCOPED_TRACE(bad);
            boxes.boxes.clear();
            brigade->setText(QString::fromUtf8(bad));
            shop->setFocus();
            EXPECT_FALSE(view->strip->CheckFields());
            EXPECT_EQ(boxes.Texts(), QStringList{said});
            EXPECT_TRUE(brigade->hasFocus());
        }
    }
    int s = -1, b = -1, p = -1;
    brigade->setText(QStringLiteral(" 4 "));
    EXPECT_TRUE(view->strip->CheckFields());
    view->strip->ReadFields(&s, &b, &p);
    EXPECT_EQ(s, 3);
    EXPECT_EQ(b, 4);
    EXPECT_EQ(p, 0);
    doc.LastEntryScreen = 7;
    frame.ShowWorkPanel(0);
    QTest::keyClick(shop, Qt::Key_Escape);
    Settle();
    EXPECT_EQ(frame.CurrentView()->objectName(), QStringLiteral("CEmptyView"));
    EXPECT_EQ(frame.CurrentWorkPanel(), 7);
}

TEST_F(UiFrame, HelpListInAGridGoesBesideTheCurrentCellAndFillsIt)
{
    CMainFrame frame(&doc, &registry);
    frame.resize(1000, 700);
    ASSERT_TRUE(ShowActive(&frame));
    TestView* view = OpenTestView(frame);
    ASSERT_NE(view, nullptr);
    QTableWidget* grid = view->grid;
    grid->setFocus();
    grid->setCurrentIndex(QModelIndex());
    EXPECT_EQ(view->m_focusedId, 1251);
    EXPECT_EQ(view->m_focusedGrid, grid);
    const QStringList lines = BuildPickListFromPairs(
        (const PickPair[]){{"Основной", "1"}, {"Дополнительный", "2"}, {"Не задан", " "}, {nullptr, nullptr}});
    EXPECT_EQ(lines, (QStringList{QStringLiteral("1|Основной"), QStringLiteral("2|Дополнительный"),
                                  QStringLiteral(" |Не задан")}));
    // No current cell: nothing shown, -1.
    EXPECT_EQ(view->ShowHelpList(lines, {3, false, 200, 100}), -1);
    EXPECT_EQ(view->HelpList(), nullptr);
    grid->setCurrentCell(1, 1);
    ASSERT_EQ(view->ShowHelpList(lines, {0, false, 200, 100}), 0);
    CFieldHelpList* list = view->HelpList();
    ASSERT_NE(list, nullptr);
    const QRect cell = grid->visualRect(grid->currentIndex());
    EXPECT_EQ(list->geometry().topLeft(), grid->viewport()->mapToGlobal(cell.bottomLeft() + QPoint(0, 1)));
    QTest::keyClick(list->table(), Qt::Key_Down);
    QTest::keyClick(list->table(), Qt::Key_Return);
    Settle();
    ASSERT_NE(grid->item(1, 1), nullptr);
    EXPECT_EQ(grid->item(1, 1)->text(), QStringLiteral("2"));
    EXPECT_EQ(view->m_gridRow, 1);
    EXPECT_EQ(view->m_gridCol, 1);
}

TEST_F(UiFrame, HelpListInTheEntryGridFollowsItsFocusCell)
{
    CMainFrame frame(&doc, &registry);
    frame.resize(1000, 700);
    ASSERT_TRUE(ShowActive(&frame));
    TestView* view = OpenTestView(frame);
    ASSERT_NE(view, nullptr);
    CFldHlpGridCtrl* grid = view->entry->grid;
    EXPECT_EQ(SetupEntryGrid(view->entry, 1260, QRect()), grid); // the same grid, emptied
    grid->SetRowCount(3);
    grid->SetColumnCount(2);
    EXPECT_FALSE(grid->GetColumnResize());
    grid->setFocus();
    EXPECT_EQ(view->m_focusedId, 1260);
    const QStringList lines{QStringLiteral("10|Десять"), QStringLiteral("20|Двадцать")};
    // No cell has the focus: no list.
    grid->SetFocusCell(-1, -1);
    EXPECT_EQ(view->ShowHelpList(lines, {3, false, 200, 100}), -1);
    grid->SetFocusCell(2, 1);
    ASSERT_EQ(view->ShowHelpList(lines, {3, false, 200, 100}), 0);
    QRect cell;
    ASSERT_TRUE(grid->GetCellRect(2, 1, cell));
    EXPECT_EQ(view->HelpList()->geometry().topLeft(), grid->viewport()->mapToGlobal(cell.topRight() + QPoint(1, 0)));
    QTest::keyClick(view->HelpList()->table(), Qt::Key_Down);
    QTest::keyClick(view->HelpList()->table(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(grid->GetItemText(2, 1), QStringLiteral("20"));
}

TEST_F(UiFrame, EmployeeFilterComparesShopBrigadeProfessionAndTheKeysTest)
{
    const auto& base = doc.infoBase;
    int matched = 0;
    for (int i = 0; i < base.employeeCount(); ++i) {
        const int slot = base.list[size_t(i)].slot;
        const int shop = base.shopOf(slot);
        const int brig = base.attributesOf(slot).brig;
        const int prof = base.attributesOf(slot).prof;
        EXPECT_EQ(EmployeeMatchesFilter(i, 0, 0, 0), 1);
        EXPECT_EQ(EmployeeMatchesFilter(i, shop, 0, 0), 1);
        EXPECT_EQ(EmployeeMatchesFilter(i, shop + 1, 0, 0), 0);
        EXPECT_EQ(EmployeeMatchesFilter(i, shop, brig + 1, 0), 0);
        EXPECT_EQ(EmployeeMatchesFilter(i, 0, 0, prof == 1 ? 2 : 1), 0);
        matched += EmployeeMatchesFilter(i, shop, brig, prof);
    }
    EXPECT_EQ(matched, base.employeeCount());
    EXPECT_EQ(EmployeeMatchesFilter(base.employeeCount(), 0, 0, 0), 0);
    // The selection keys take effect: "код ошибки равен 7" keeps the one
    // employee whose status word holds 7.
    const int slot1 = base.list[1].slot;
    doc.infoBase.attributesOf(slot1).err = 7;
    doc.selectionKeys.crit[17][0] = 7;
    EXPECT_EQ(EmployeeMatchesFilter(0, 0, 0, 0), 0);
    EXPECT_EQ(EmployeeMatchesFilter(1, 0, 0, 0), 1);
    doc.selectionKeys.crit[17][0] = -1;
    EXPECT_EQ(EmployeeMatchesFilter(0, 0, 0, 0), 1);
}

TEST_F(UiFrame, GroupQuestionAndSelectionKeysDialogs)
{
    struct Case {
        int control;
        int result;
    };
    for (const Case c : {Case{1571, 500}, Case{1383, 501}, Case{1061, 502}, Case{IDCANCEL, IDCANCEL}}) {
        CGroupDlg dlg;
        dlg.show();
        auto* b = qobject_cast<QPushButton*>(dlg.control(c.control));
        ASSERT_NE(b, nullptr);
        b->setFocus();
        QTest::keyClick(b, Qt::Key_Space);
        EXPECT_EQ(dlg.result(), c.result) << c.control;
    }
    {
        CGroupDlg dlg;
        dlg.show();
        QTest::keyClick(&dlg, Qt::Key_Escape);
        EXPECT_EQ(dlg.result(), IDCANCEL);
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Групповая операция"));
    }

    doc.selectionKeys.clear();
    MessageRecorder boxes;
    CKeyDlg keys(&doc);
    ASSERT_TRUE(ShowActive(&keys));
    EXPECT_EQ(keys.windowTitle(), QStringLiteral("Ключи выбора работников"));
    EXPECT_EQ(keys.Table()->verticalHeaderItem(17)->text(), QStringLiteral("код ошибки"));
    TypeText(keys.NameEdit(1), QStringLiteral("Ив"));
    keys.Table()->item(0, 0)->setText(QStringLiteral("2"));
    keys.Table()->item(12, 2)->setText(QStringLiteral("1489"));
    // A cell is typed into an input of its kind, named by its criterion.
    keys.Table()->editItem(keys.Table()->item(3, 1));
    const auto* cell = qobject_cast<const CTypedEdit*>(QApplication::focusWidget());
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->Kind().name, QStringLiteral("разряд"));
    EXPECT_TRUE(InputsWithoutKind(&keys).isEmpty());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    // Values that cannot be keys are refused, the focus on their cell, and
    // nothing is stored; Delete clears the cell.
    for (const char* bad : {"abc", "99999", "-5"}) {
        SCOPED_TRACE(bad);
        boxes.boxes.clear();
        keys.Table()->item(3, 1)->setText(QString::fromLatin1(bad));
        QTest::keyClick(keys.NameEdit(1), Qt::Key_Return);
        EXPECT_TRUE(keys.isVisible());
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_TRUE(boxes.boxes[0].text.startsWith(QStringLiteral("Некорректное значение ключа \"разряд\"")))
            << boxes.boxes[0].text.toStdString();
        EXPECT_EQ(keys.Table()->currentRow(), 3);
        EXPECT_EQ(keys.Table()->currentColumn(), 1);
        EXPECT_TRUE(doc.selectionKeys.name[1].isEmpty());
    }
    QTest::keyClick(keys.Table(), Qt::Key_Delete);
    EXPECT_EQ(keys.Table()->item(3, 1)->text(), QString());
    QTest::keyClick(keys.NameEdit(1), Qt::Key_Return);
    EXPECT_EQ(keys.result(), QDialog::Accepted);
    EXPECT_EQ(doc.selectionKeys.name[1], QStringLiteral("Ив"));
    EXPECT_TRUE(doc.selectionKeys.name[0].isEmpty());
    EXPECT_EQ(doc.selectionKeys.crit[0][0], 2);
    EXPECT_EQ(doc.selectionKeys.crit[0][1], -1);
    EXPECT_EQ(doc.selectionKeys.crit[12][2], 1489);
    EXPECT_EQ(doc.selectionKeys.crit[3][1], -1);
}

} // namespace
