// Every command of the frame: the menus, the navigation panels, the quick
// buttons and the function keys are all built from this registry. Screens are
// registered by the program (src/app); a command that nobody registers is not
// shown anywhere.
#pragma once

#include <QKeySequence>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <vector>

class CCommonFormView;
class CKalvorDoc;
class CMainFrame;

// Main panel numbers (the frame shows one main panel at a time; its working
// panels are the groups of command buttons under it).
enum MainPanel : int {
    MainPanelBase = 0, // "Информационная база"
    MainPanelPayroll = 1, // "Расчет зарплаты"
    MainPanelSummaries = 2, // "Сводные ведомости"
    MainPanelTaxReports = 3, // "Генератор отчетов"
    MainPanelAddFunctions = 4, // "Дополнительные функции"
    MainPanelCount = 5,
};

// Working panel 255 hides every working panel.
inline constexpr int kHideAllPanels = 255;

using ViewFactory = std::function<CCommonFormView*(CKalvorDoc*)>;

struct CommandInfo {
    int id = 0;
    QString caption; // menu item and panel button text
    QStringList menuPath; // the menus above the item, top first; empty: the panel's path
        // ("Рабочие панели", main panel, working panel), or none
    int panel = -1; // working panel whose button it is; -1 = none
    QKeySequence key; // optional frame key
    int quickOpen = 0; // quick button: sets OpenWithLastEmployee (1 or 2) before opening
    bool quickButton = false;
    bool needsBase = true; // available only while a base is open
    bool needsNoBase = false; // available only while no base is open
    ViewFactory makeView; // a screen: the frame switches to it
    std::function<void(CMainFrame&)> run; // or an action
    bool takesScreenFirst = false; // the action changes what the open screen shows: the screen takes what
        // was typed first, as when it is left (CanLeave), and a refusal stops the action
    std::function<bool()> enabled; // optional rule on top of needsBase, asked when a menu opens
};

struct WorkPanelInfo {
    int number = 0;
    QString caption;
    int mainPanel = MainPanelPayroll;
    bool shownWhenEmpty = false; // shown with its caption before any of its screens is registered
};

class CommandRegistry {
public:
    CommandRegistry();

    // Captions of the five main panels.
    QString MainPanelCaption(int mainPanel) const;

    void AddPanel(const WorkPanelInfo& panel);
    void AddCommand(const CommandInfo& command);

    const std::vector<WorkPanelInfo>& Panels() const { return m_panels; }
    const std::vector<CommandInfo>& Commands() const { return m_commands; }
    const CommandInfo* Find(int id) const;
    const WorkPanelInfo* FindPanel(int number) const;

    // The working panel that the selection strip's Esc returns to for the
    // entry-screen code that the open screen wrote into the document.
    void SetEntryScreenPanel(int screenCode, int panel) { m_entryPanels[screenCode] = panel; }
    int EntryScreenPanel(int screenCode) const
    {
        const auto it = m_entryPanels.find(screenCode);
        return it == m_entryPanels.end() ? kHideAllPanels : it->second;
    }

private:
    QStringList m_mainCaptions;
    std::vector<WorkPanelInfo> m_panels;
    std::vector<CommandInfo> m_commands;
    std::map<int, int> m_entryPanels;
};
