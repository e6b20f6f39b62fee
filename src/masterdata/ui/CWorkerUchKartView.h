// "Учетная карточка работника" (form 330): the employee's record card with
// its three pages in a tab control (1075), the selection strip, stepping
// through the employees, new cards for new personnel numbers and deleting a
// card, and the group of marked employees of the main-data page.
#pragma once

#include "shell/ui/CCommonFormView.h"

class CTabelFilterDlg;
class QTabBar;
class QGroupBox;
class QVBoxLayout;

class CWorkerUchKartView : public CCommonFormView {
    Q_OBJECT
public:
    static constexpr int IDD = 330;
    enum { IdTabs = 1075 };

    explicit CWorkerUchKartView(CKalvorDoc* doc, QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    void ShowFormHelp() override;
    void NextElement() override;
    void PrevElement() override;
    void DeleteElement() override;
    void ApplySelection() override;
    void EnableEntry(bool enable) override;
    void TakeHelpValues(const QStringList& values) override;
    void OnHelpValueSet() override;
    void CancelGroup() override;
    // Leaving the card: an open group is cancelled, the page saves; a refusal keeps the card.
    bool CanLeave() override;

    QTabBar* Tabs() const { return m_tabs; }
    CFormChildDlg* Page() const { return m_entryDlg; }
    CTabelFilterDlg* Strip() const { return m_filter; }

    // A page saved the card of the slot: the first time a card made here is
    // saved other than by a change of tab, a missing birth date or sex
    // (without them the calculation fails) is said; the card stays saved.
    void CardSaved(quint32 slot);

private:
    // TCN_SELCHANGE: the page saves (a refusal keeps it and its tab), then the
    // page of the chosen tab replaces it and shows the employee.
    void OnTabSelChange(int tab);
    void CreatePage(int tab);
    // A new card for the typed number; its slot, or 0 when none was made.
    int CreateCard(int tabN);
    // The card emptied, as after a removal: read-only until a personnel
    // number is applied, the focus on the strip's number.
    void EmptyCard();
    void ShowMainPageHelp(int id);
    void ShowExtraPageHelp(int id);
    void ShowPassportPageHelp(int id);

    QTabBar* m_tabs = nullptr;
    QGroupBox* m_frame = nullptr;
    QVBoxLayout* m_pageLayout = nullptr;
    CTabelFilterDlg* m_filter = nullptr;
    int m_shownTab = 0;
    quint32 m_newCardSlot = 0; // the card made here and not yet saved on leaving it
    bool m_changingTab = false;
};
