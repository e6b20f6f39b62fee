// "Ввод основного табеля" (form 377): the selection strip, the frame box
// "Основной табель" with the tabs "Основной табель" (the time-sheet fields)
// and "Корректировка табеля" (the worked days), and the group panel.
#pragma once

#include "entries/ui/RateCorrection.h"
#include "shell/ui/CCommonFormView.h"

class CTabelCorrectDlg;
class CTabelFilterDlg;
class CTabelVvodDlg;
class QGroupBox;
class QTabBar;
class QVBoxLayout;

class CTabelVvodView : public CCommonFormView {
    Q_OBJECT
public:
    static constexpr int IDD = 377;
    enum { IdTab = 1075, IdFrame = 1225 };
    // The document's entry-screen number of the time sheets.
    static constexpr int kEntryScreen = 7;

    CTabelVvodView(CKalvorDoc* doc, RateCorrectionRunner rateCorrection, QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    void ShowFormHelp() override;
    void NextElement() override;
    void PrevElement() override;
    void ApplySelection() override;
    void EnableEntry(bool enable) override;
    void TakeHelpValues(const QStringList& values) override;
    void OnHelpValueSet() override;
    void CancelGroup() override;
    // Leaving the screen: an open group is cancelled, the shown record saved;
    // a save the base refused keeps the screen.
    bool CanLeave() override;

    // Tab 0 the time-sheet fields, tab 1 the worked days. The shown record is
    // saved first; a refused save keeps the tab.
    void OnTabChange(int tab);

    QTabBar* TabBar() const { return m_tabs; }
    CTabelFilterDlg* Strip() const { return m_filter; }
    QGroupBox* Frame() const { return m_frame; }
    CTabelVvodDlg* TabelDlg() const;
    CTabelCorrectDlg* CorrectDlg() const;

private:
    CFormChildDlg* CreateTabDialog(int tab);
    // The prompt of a control of the form, by the field help's table.
    static QString PromptFor(int controlId);

    RateCorrectionRunner m_rateCorrection;
    CTabelFilterDlg* m_filter = nullptr;
    QGroupBox* m_frame = nullptr;
    QTabBar* m_tabs = nullptr;
    QVBoxLayout* m_tabPage = nullptr;
    int m_activeTab = 0;
};
