#include "shell/ui/CMainFrame.h"

#include "grid/GridCtrl.h"
#include "grid/InPlaceEdit.h"
#include "infobase/BaseWrites.h"
#include "platform/Db.h"
#include "platform/DbServerWork.h"
#include "shell/ui/BaseService.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CInfoView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TypedInput.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDockWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QToolBox>
#include <QVBoxLayout>

const char* const kStopWorkQuestion = "Операция еще выполняется. Прервать ее?";

CMainFrame::CMainFrame(CKalvorDoc* doc, const CommandRegistry* registry, QWidget* parent)
    : QMainWindow(parent), m_doc(doc), m_registry(registry)
{
    setObjectName(QStringLiteral("CMainFrame"));
    // The view fills the room left to it and never gets smaller than its
    // layout allows: what does not fit scrolls.
    m_viewArea = new QScrollArea(this);
    m_viewArea->setObjectName(QStringLiteral("viewArea"));
    m_viewArea->setFrameShape(QFrame::NoFrame);
    m_viewArea->setWidgetResizable(true);
    setCentralWidget(m_viewArea);
    BuildMenus();
    BuildPanels();
    BuildFrameKeys();
    statusBar()->showMessage(QString());
    // Below this the screens' labels would be cut.
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    SwitchView<CEmptyView>();
    ShowMainPanel(MainPanelBase);
    UpdateCommands();
    connect(m_doc, &CKalvorDoc::baseChosen, this, &CMainFrame::UpdateCommands);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
}

void CMainFrame::OnFocusChanged(QWidget* now)
{
    // A field reached by Tab or by a screen's own step is scrolled into sight;
    // the screen itself taking the focus scrolls nothing (a screen higher than
    // the room would be scrolled to its middle).
    if (now && m_view && now != m_view && m_view->isAncestorOf(now))
        m_viewArea->ensureWidgetVisible(now, 10, 10);
}

CMainFrame::~CMainFrame()
{
    // Deleting the view moves the focus: the frame no longer follows it.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    delete m_view;
}

QAction* CMainFrame::ActionFor(const CommandInfo& c)
{
    QAction* a = m_actions.value(c.id, nullptr);
    if (a)
        return a;
    a = new QAction(c.caption, this);
    a->setObjectName(QStringLiteral("command%1").arg(c.id));
    if (!c.key.isEmpty()) {
        a->setShortcut(c.key);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    const int id = c.id;
    connect(a, &QAction::triggered, this, [this, id] { RunCommand(id); });
    m_actions.insert(c.id, a);
    return a;
}

void CMainFrame::BuildMenus()
{
    QMenuBar* bar = menuBar();
    QMap<QString, QMenu*> menus; // full path -> menu
    for (const CommandInfo& c : m_registry->Commands()) {
        QAction* a = ActionFor(c);
        QStringList path = c.menuPath;
        // A panel's command without a path of its own stands in the menu as
        // on the panels: "Рабочие панели", the main panel, the working panel.
        if (path.isEmpty() && c.panel >= 0) {
            if (const WorkPanelInfo* p = m_registry->FindPanel(c.panel))
                path = QStringList{QStringLiteral("Рабочие панели"), m_registry->MainPanelCaption(p->mainPanel),
                                   p->caption};
        }
        if (path.isEmpty())
            continue;
        QMenu* parent = nullptr;
        QString key;
        for (const QString& part : path) {
            key += part + QChar(0x1F);
            QMenu* m = menus.value(key, nullptr);
            if (!m) {
                m = parent ? parent->addMenu(part) : bar->addMenu(part);
                connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
                menus.insert(key, m);
            }
            parent = m;
        }
        parent->addAction(a);
    }
    GiveMnemonics(bar->actions());
    for (QMenu* menu : std::as_const(menus)) GiveMnemonics(menu->actions());
}

void CMainFrame::GiveMnemonics(const QList<QAction*>& items)
{
    QString used;
    for (QAction* item : items) {
        if (item->isSeparator())
            continue;
        const QString caption = item->text();
        const qsizetype at = MnemonicPlace(caption, used);
        QString marked = caption;
        marked.replace(QLatin1Char('&'), QStringLiteral("&&"));
        if (at >= 0) {
            used += caption.at(at).toUpper();
            marked.insert(at + caption.left(at).count(QLatin1Char('&')), QLatin1Char('&'));
        }
        item->setText(marked);
    }
}

qsizetype CMainFrame::MnemonicPlace(const QString& caption, const QString& used)
{
    const auto free = [&](qsizetype i) { return caption.at(i).isLetterOrNumber() && !used.contains(caption.at(i).toUpper()); };
    // A word's first letter first, then any letter of the caption.
    for (qsizetype i = 0; i < caption.size(); ++i)
        if ((i == 0 || !caption.at(i - 1).isLetterOrNumber()) && free(i))
            return i;
    for (qsizetype i = 0; i < caption.size(); ++i)
        if (free(i))
            return i;
    return -1;
}

void CMainFrame::BuildPanels()
{
    auto* dock = new QDockWidget(this);
    dock->setObjectName(QStringLiteral("navigation"));
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setTitleBarWidget(new QWidget(dock));
    auto* nav = new QWidget(dock);
    auto* layout = new QVBoxLayout(nav);
    layout->setContentsMargins(4, 4, 4, 4);
    m_mainButtons = new QButtonGroup(this);
    m_mainButtons->setExclusive(true);
    m_mainPages = new QStackedWidget(nav);

    QToolBar* quick = nullptr;
    for (int m = 0; m < MainPanelCount; ++m) {
        auto* box = new QToolBox(m_mainPages);
        box->setObjectName(QStringLiteral("mainPanel%1").arg(m));
        int pages = 0;
        for (const WorkPanelInfo& p : m_registry->Panels()) {
            if (p.mainPanel != m)
                continue;
            auto* page = new QWidget(box);
            auto* pl = new QVBoxLayout(page);
            pl->setContentsMargins(2, 2, 2, 2);
            pl->setSpacing(2);
            int buttons = 0;
            for (const CommandInfo& c : m_registry->Commands()) {
                if (c.panel != p.number)
                    continue;
                auto* b = new QPushButton(c.caption, page);
                b->setObjectName(QStringLiteral("panelButton%1").arg(c.id));
                b->setStyleSheet(QStringLiteral("text-align: left; padding: 3px 6px;"));
                b->setAutoDefault(false);
                const int id = c.id;
                connect(b, &QPushButton::clicked, this, [this, id] { RunCommand(id); });
                pl->addWidget(b);
                m_panelButtons.insert(c.id, b);
                ++buttons;
            }
            if (buttons == 0 && !p.shownWhenEmpty) {
                delete page; // a panel whose screens are not built yet is not shown
                continue;
            }
            pl->addStretch(1);
            m_panelPlaces.insert(p.number, {m, box->addItem(page, p.caption)});
            ++pages;
        }
        m_mainPages->addWidget(box);
        m_toolBoxes.insert(m, box);
        // Opening a working panel by its heading makes it the current one.
        connect(box, &QToolBox::currentChanged, this, [this, m](int page) {
            for (auto it = m_panelPlaces.cbegin(); it != m_panelPlaces.cend(); ++it)
                if (it.value() == qMakePair(m, page))
                    m_workPanel = it.key();
        });
        auto* mb = new QPushButton(m_registry->MainPanelCaption(m), nav);
        mb->setObjectName(QStringLiteral("mainPanelButton%1").arg(m));
        mb->setCheckable(true);
        mb->setAutoDefault(false);
        // The chosen main panel in the program's light blue.
        mb->setStyleSheet(
            QStringLiteral("QPushButton { padding: 5px; } "
                           "QPushButton:checked { background: rgb(155, 215, 255); color: rgb(64, 0, 128); }"));
        QFont f = mb->font();
        f.setBold(true);
        mb->setFont(f);
        mb->setVisible(pages > 0);
        m_mainButtons->addButton(mb, m);
        layout->addWidget(mb);
    }
    connect(m_mainButtons, &QButtonGroup::idClicked, this, [this](int m) { ShowMainPanel(m); });
    layout->addSpacing(6);
    layout->addWidget(m_mainPages, 1);
    nav->setMinimumWidth(260);
    dock->setWidget(nav);
    addDockWidget(Qt::LeftDockWidgetArea, dock);

    for (const CommandInfo& c : m_registry->Commands()) {
        if (!c.quickButton)
            continue;
        if (!quick) {
            quick = addToolBar(QStringLiteral("quick"));
            quick->setObjectName(QStringLiteral("quickButtons"));
            quick->setMovable(false);
        }
        quick->addAction(ActionFor(c));
    }
}

void CMainFrame::BuildFrameKeys()
{
    struct K {
        FrameKey key;
        QKeySequence seq;
    };
    const K keys[] = {
        {KeyFormHelp, QKeySequence(Qt::Key_F1)},
        {KeyPrevPage, QKeySequence(Qt::Key_PageUp)},
        {KeyNextPage, QKeySequence(Qt::Key_PageDown)},
        {KeyNextElement, QKeySequence(Qt::Key_F4)},
        {KeyPrevElement, QKeySequence(Qt::Key_F3)},
        {KeyNextSubElement, QKeySequence(Qt::ALT | Qt::Key_F4)},
        {KeyPrevSubElement, QKeySequence(Qt::ALT | Qt::Key_F3)},
        {KeyInsertBefore, QKeySequence(Qt::Key_F7)},
        {KeyInsertAfter, QKeySequence(Qt::Key_F8)},
        {KeyDeleteElement, QKeySequence(Qt::ALT | Qt::Key_F10)},
        {KeySelectElement, QKeySequence(Qt::Key_F2)},
    };
    for (const K& k : keys) {
        auto* a = new QAction(this);
        a->setShortcut(k.seq);
        a->setShortcutContext(Qt::WindowShortcut);
        const FrameKey fk = k.key;
        connect(a, &QAction::triggered, this, [this, fk] { RunFrameKey(fk); });
        addAction(a);
    }
    // F10 opens the menu bar's first menu; the arrows go on from there.
    auto* menuKey = new QAction(this);
    menuKey->setObjectName(QStringLiteral("openMenuBar"));
    menuKey->setShortcut(QKeySequence(Qt::Key_F10));
    menuKey->setShortcutContext(Qt::WindowShortcut);
    connect(menuKey, &QAction::triggered, this, [this] {
        if (EndCellEditor(false) || (m_view && SayHeldRefusal(m_view)))
            return;
        const QList<QAction*> menus = menuBar()->actions();
        if (menus.isEmpty())
            return;
        menuBar()->setActiveAction(menus.first());
    });
    addAction(menuKey);
}

bool CMainFrame::PassesHeldRefusal(FrameKey key)
{
    switch (key) {
    case KeyFormHelp: return true;
    case KeyDeleteElement: GiveUpHeldRefusal(m_view); return true;
    default: return !SayHeldRefusal(m_view);
    }
}

bool CMainFrame::FocusShownIn(const QWidget* view)
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && focus != view && view->isAncestorOf(focus) && focus->isVisible() && focus->isEnabled();
}

bool CMainFrame::EndCellEditor(bool giveUp)
{
    auto* editor = qobject_cast<CInPlaceEdit*>(QApplication::focusWidget());
    CGridCtrl* grid = nullptr;
    for (QWidget* w = editor; w && !grid; w = w->parentWidget()) grid = qobject_cast<CGridCtrl*>(w);
    // A refused cell being corrected is the held refusal's (said by it).
    if (!grid || !m_view || !m_view->isAncestorOf(grid) || grid->RefusalPending())
        return false;
    if (giveUp) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(editor, &escape);
        return false;
    }
    grid->TakeFocusFromEditor();
    return grid->RefusalPending() || RefusalHeldIn(m_view);
}

void CMainFrame::RunFrameKey(FrameKey key)
{
    CCommonFormView* v = m_view;
    if (!v || EndCellEditor(key == KeyDeleteElement) || !PassesHeldRefusal(key))
        return;
    switch (key) {
    case KeyFormHelp: v->ShowFormHelp(); break;
    case KeyPrevPage: v->PrevPage(); break;
    case KeyNextPage: v->NextPage(); break;
    case KeyNextElement: v->NextElement(); break;
    case KeyPrevElement: v->PrevElement(); break;
    case KeyNextSubElement: v->NextSubElement(); break;
    case KeyPrevSubElement: v->PrevSubElement(); break;
    case KeyInsertBefore: v->InsertBefore(); break;
    case KeyInsertAfter: v->InsertAfter(); break;
    case KeyDeleteElement: v->DeleteElement(); break;
    case KeySelectElement: v->SelectElement(); break;
    }
}

CCommonFormView* CMainFrame::SwitchView(const ViewFactory& make)
{
    CCommonFormView* old = m_view;
    // A refused input that holds the focus is said again, and the screen stays.
    // What was typed is stored first; then a write in doubt is settled.
    if ((old && (SayHeldRefusal(old) || !old->CanLeave())) || !SettledBeforeInput())
        return nullptr;
    CCommonFormView* view = make(m_doc);
    if (!view)
        return nullptr;
    if (old) {
        // The old view may be the caller (its Esc handler): it goes once the
        // current event is done, hidden and out of the scroll area at once.
        m_viewArea->takeWidget();
        old->hide();
        old->setParent(nullptr);
        old->deleteLater();
    }
    m_viewArea->setWidget(view);
    m_view = view;
    view->show();
    view->OnInitialUpdate();
    if (!view->focusWidget())
        FocusFirstInput(view);
    UpdateTitle(); // the old view may have saved the firm's name
    return view;
}

void CMainFrame::ShowMainPanel(int mainPanel)
{
    if (mainPanel < 0 || mainPanel >= MainPanelCount)
        return;
    m_mainPanel = mainPanel;
    m_mainPages->setVisible(true);
    m_mainPages->setCurrentIndex(mainPanel);
    if (QAbstractButton* b = m_mainButtons->button(mainPanel))
        b->setChecked(true);
    QToolBox* box = m_toolBoxes.value(mainPanel);
    m_workPanel = kHideAllPanels;
    for (auto it = m_panelPlaces.cbegin(); it != m_panelPlaces.cend(); ++it)
        if (it.value().first == mainPanel && it.value().second == (box ? box->currentIndex() : -1))
            m_workPanel = it.key();
}

void CMainFrame::ShowWorkPanel(int number)
{
    if (number == kHideAllPanels || !m_panelPlaces.contains(number)) {
        m_mainPages->setVisible(false);
        m_workPanel = kHideAllPanels;
        return;
    }
    const auto place = m_panelPlaces.value(number);
    ShowMainPanel(place.first);
    m_toolBoxes.value(place.first)->setCurrentIndex(place.second);
    m_workPanel = number;
}

void CMainFrame::OnMainPanelAddFunctions()
{
    SwitchView<CEmptyView>();
    ShowMainPanel(MainPanelAddFunctions);
}

void CMainFrame::OnMainPanelTaxReports()
{
    SwitchView<CEmptyView>();
    ShowMainPanel(MainPanelTaxReports);
}

bool CMainFrame::SettledBeforeInput()
{
    // What the screen shows and takes is memory: a write in doubt is settled
    // first, so that a write the server made, brought into memory, never
    // replaces what is typed after it (BaseWrites.h).
    try {
        kalvor::infobase::SettleBeforeInput(m_doc->infoBase);
        return true;
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        return false;
    }
}

bool CMainFrame::ConfirmStopWork()
{
    CCommonFormView* view = m_view;
    if (!view || !view->IsWorking())
        return true;
    if (KalvorMessageBox(QString::fromUtf8(kStopWorkQuestion), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, QString(),
                         this) != IDYES)
        return false;
    view->StopWork();
    return true;
}

bool CMainFrame::RunCommand(int id)
{
    const CommandInfo* c = m_registry->Find(id);
    if (!c)
        return false;
    const bool baseOpen = m_doc->BaseOpen();
    if ((c->needsBase && !baseOpen) || (c->needsNoBase && baseOpen))
        return false;
    // A refused input of the screen holds: the command is refused with its box.
    if (m_view && SayHeldRefusal(m_view))
        return false;
    // A command on the base waits for no worker: the running one is stopped
    // first, or the command is not run. (Leaving the program asks in closeEvent.)
    if (c->needsBase && !ConfirmStopWork())
        return false;
    // Whatever a command throws is said; the program goes on.
    try {
        if (c->makeView) {
            if (c->quickOpen)
                m_doc->OpenWithLastEmployee = quint8(c->quickOpen);
            if (c->panel >= 0 && c->panel != kHideAllPanels && m_panelPlaces.contains(c->panel))
                ShowWorkPanel(c->panel);
            SwitchView(c->makeView);
        } else if (c->run) {
            // A text typed and not yet read (a lookup never left) is read as a
            // switch reads it: its refusal is the command's only box.
            if (c->takesScreenFirst && m_view && !m_view->CanLeave())
                return false;
            if (c->needsBase && !SettledBeforeInput())
                return false;
            c->run(*this);
            // The screen the command ends on shows the focus in one of its widgets.
            if (c->takesScreenFirst && m_view && !FocusShownIn(m_view))
                FocusFirstInput(m_view);
        }
    } catch (const std::exception& e) {
        ShowException(e, this);
    }
    UpdateTitle(); // the command may have changed the reporting month
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // A running worker is stopped first (when the user agrees); then the open
    // screen saves what was typed. A refusal asks whether to leave without
    // it: the program can always be left. A refused input says its refusal
    // once and keeps the focus (Esc gives its text up).
    const auto refusedOrKept = [this] {
        if (SayHeldRefusal(m_view))
            return true;
        const QByteArray doubtBefore = kalvor::infobase::WriteInDoubt(m_doc->infoBase);
        return !m_view->CanLeave() && (RefusalHeldIn(m_view) || !LeaveUnsaved(doubtBefore));
    };
    if (!ConfirmStopWork() || (m_view && refusedOrKept())) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

bool CMainFrame::LeaveUnsaved(const QByteArray& doubtBefore)
{
    // The screen's own save cut with its outcome not known (a write in doubt
    // that was not there before it) is settled first: one the base holds was
    // saved, and one the server does not tell of is said as not known.
    if (const QByteArray doubt = kalvor::infobase::WriteInDoubt(m_doc->infoBase);
        !doubt.isEmpty() && doubt != doubtBefore) {
        const kalvor::db::CommitOutcome outcome =
            kalvor::infobase::SettleWriteInDoubt(m_doc->infoBase).value_or(kalvor::db::CommitOutcome::RolledBack);
        switch (outcome) {
        case kalvor::db::CommitOutcome::Committed: return true;
        case kalvor::db::CommitOutcome::NotKnown:
        case kalvor::db::CommitOutcome::Held:
            return KalvorMessageBox(QStringLiteral("Сохранено ли введенное на экране, пока не известно: %1.\nВыйти из "
                                                   "программы?")
                                        .arg(kalvor::db::NotKnownReason(outcome == kalvor::db::CommitOutcome::Held)),
                                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, QString(), this) == IDYES;
        case kalvor::db::CommitOutcome::RolledBack: break;
        }
    }
    return KalvorMessageBox(QStringLiteral("Введенное на экране не сохранено.\nВыйти из программы без сохранения?"),
                            MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, QString(), this) == IDYES;
}

void CMainFrame::UpdateCommands()
{
    const bool baseOpen = m_doc->BaseOpen();
    for (const CommandInfo& c : m_registry->Commands()) {
        const bool on = (baseOpen ? !c.needsNoBase : !c.needsBase) && (!c.enabled || c.enabled());
        if (QAction* a = m_actions.value(c.id, nullptr))
            a->setEnabled(on);
        if (QPushButton* b = m_panelButtons.value(c.id, nullptr))
            b->setEnabled(on);
    }
    UpdateTitle();
}

void CMainFrame::UpdateTitle()
{
    // The base, the firm and the reporting month that every screen works on.
    QStringList parts{QStringLiteral("Kalvor")};
    for (const QString& part : {m_doc->infoBase.baseName, FirmNameOf(*m_doc), ReportingMonthOf(*m_doc)})
        if (!part.isEmpty())
            parts << part;
    setWindowTitle(parts.join(QStringLiteral(" - ")));
    if (auto* info = qobject_cast<CInfoView*>(m_view.data()))
        info->Refresh();
}
