// The main window: menus, navigation panels, quick buttons and the frame's
// keys, all read from the command registry, around the single task view.
#pragma once

#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CommandRegistry.h"

#include <QByteArray>
#include <QMainWindow>
#include <QMap>
#include <QPointer>

class CCommonFormView;
class CKalvorDoc;
class QAction;
class QButtonGroup;
class QStackedWidget;
class QToolBox;
class QVBoxLayout;
class QPushButton;
class QScrollArea;

// "Операция еще выполняется. Прервать ее?"
extern const char* const kStopWorkQuestion;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // The smallest size of the window: every label of the screens stays whole.
    static constexpr int kMinimumWidth = 860;
    static constexpr int kMinimumHeight = 560;

    CMainFrame(CKalvorDoc* doc, const CommandRegistry* registry, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CKalvorDoc* Document() const { return m_doc; }
    const CommandRegistry* Registry() const { return m_registry; }

    // Replaces the single task view by a new one made by the factory; the old
    // view is destroyed.
    CCommonFormView* SwitchView(const ViewFactory& make);
    template <class View>
    View* SwitchView()
    {
        return static_cast<View*>(SwitchView([](CKalvorDoc* d) -> CCommonFormView* { return new View(d); }));
    }
    CCommonFormView* CurrentView() const { return m_view; }
    // The scroll area the view stands in: a screen larger than the room the
    // window leaves it scrolls, and the focused field is scrolled into sight.
    QScrollArea* ViewArea() const { return m_viewArea; }

    // Shows working panel n (and its main panel); 255 hides every working panel.
    void ShowWorkPanel(int number);
    int CurrentWorkPanel() const { return m_workPanel; }
    void ShowMainPanel(int mainPanel);
    int CurrentMainPanel() const { return m_mainPanel; }
    // Leave the screen for the empty view and show a main panel.
    void OnMainPanelAddFunctions();
    void OnMainPanelTaxReports();

    // Runs a registered command as its menu item or panel button would. While
    // a refused input of the view holds, the command is refused with its box
    // and false returned. A command on the base while the view's worker runs asks first whether to
    // stop it (and is not run on "Нет"); an exception of the command is shown
    // and the program goes on.
    bool RunCommand(int id);
    // When the view's worker runs: asks kStopWorkQuestion ("Нет" the default)
    // and on "Да" stops the worker and waits for it. False when it still runs.
    bool ConfirmStopWork();
    // Before a screen opens or a command on the base runs: a write in doubt
    // settled (infobase::SettleBeforeInput); false, said, while the server
    // does not tell what became of a write whose memory went back.
    bool SettledBeforeInput();
    // Menu item, panel button and quick button of a command (null when absent).
    QAction* CommandAction(int id) const { return m_actions.value(id, nullptr); }
    QPushButton* PanelButton(int id) const { return m_panelButtons.value(id, nullptr); }

    // Rebuilds what depends on whether a base is open (enabled commands, title).
    void UpdateCommands();
    // The title: the program, the base, the firm's name and the reporting month.
    void UpdateTitle();

    // The frame's keys and the view operations they call.
    enum FrameKey {
        KeyFormHelp,
        KeyPrevPage,
        KeyNextPage,
        KeyNextElement,
        KeyPrevElement,
        KeyNextSubElement,
        KeyPrevSubElement,
        KeyInsertBefore,
        KeyInsertAfter,
        KeyDeleteElement,
        KeySelectElement,
    };
    // A key while a refused input of the view holds: help on the field is
    // shown; deleting what the screen shows gives the refused text up first
    // (its question comes after); any other key is refused with the field's
    // box and does nothing.
    void RunFrameKey(FrameKey key);

protected:
    // Closing the window (also "Выход"): during a run it asks, stops and waits
    // first; the open screen saves what was typed, and when it refuses, the
    // program is left without it only on "Да" to a question.
    void closeEvent(QCloseEvent* event) override;

private:
    // Asks whether to leave the program without what the screen refused; a
    // save of the screen cut with its outcome not known (not the write in
    // doubt before it, doubtBefore) is settled first and asks nothing when
    // the base holds it.
    bool LeaveUnsaved(const QByteArray& doubtBefore);
    void BuildMenus();
    // Each item of a menu (or of the bar) gets a mnemonic of its own within
    // the menu: a word's first letter not yet taken, else any letter; the
    // caption reads the same.
    static void GiveMnemonics(const QList<QAction*>& items);
    // Where the mnemonic of the caption stands; -1 when every letter is taken.
    static qsizetype MnemonicPlace(const QString& caption, const QString& used);
    bool PassesHeldRefusal(FrameKey key);
    // A cell editor of the screen holding the focus ends before a frame key
    // acts, as when it is left: its text is read (a refusal is said and then
    // holds), or given up as by Esc (`giveUp`, the key that gives the
    // screen's record up). True when a refusal holds after it.
    bool EndCellEditor(bool giveUp);
    // Whether the focus stands on a widget within the view (not the view)
    // that is shown and enabled.
    static bool FocusShownIn(const QWidget* view);
    void BuildPanels();
    void BuildFrameKeys();
    QAction* ActionFor(const CommandInfo& c);
    void OnFocusChanged(QWidget* now);

    CKalvorDoc* m_doc;
    const CommandRegistry* m_registry;
    QPointer<CCommonFormView> m_view;
    QScrollArea* m_viewArea = nullptr;
    QStackedWidget* m_mainPages = nullptr;
    QButtonGroup* m_mainButtons = nullptr;
    QMap<int, QToolBox*> m_toolBoxes; // main panel -> its working panels
    QMap<int, QPair<int, int>> m_panelPlaces; // working panel -> (main panel, page)
    QMap<int, QAction*> m_actions;
    QMap<int, QPushButton*> m_panelButtons;
    int m_mainPanel = -1;
    int m_workPanel = kHideAllPanels;
};
