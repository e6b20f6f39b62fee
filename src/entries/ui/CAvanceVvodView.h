#pragma once
// "Корректировка аванса" (form 374): the advances of the employees that the
// selection strip names, corrected in the grid of CAvanceVvodDlg and written
// to the base when the screen is left.
#include "shell/ui/CCommonFormView.h"

#include <functional>

class CAvanceVvodDlg;
class CWorkersFilterDlg;

class CAvanceVvodView : public CCommonFormView {
    Q_OBJECT
public:
    // The entry-screen number of the advance, also its working panel.
    static constexpr int kEntryScreen = 6;

    explicit CAvanceVvodView(CKalvorDoc* doc, QWidget* parent = nullptr);
    // Reads the grid back and, when an advance changed, saves the advances
    // of the base (dbo.AvZar1, overwriting) under the wait cursor.
    ~CAvanceVvodView() override;

    void OnInitialUpdate() override;
    void ShowFormHelp() override;
    // Enter in the strip: the check, the grid read back, the new selection.
    void ApplySelection() override;
    // Leaving saves the advances; an advance that does not read keeps the screen.
    bool CanLeave() override;
    void EnableEntry(bool enable) override;

    // Whom the screen shows of a list entry; a strip that passes nobody of
    // them is refused.
    std::function<bool(int listIndex)> Shown() const;

    CAvanceVvodDlg* Dlg() const { return m_dlg; }
    CWorkersFilterDlg* Strip() const { return m_filter; }

private:
    CAvanceVvodDlg* m_dlg = nullptr;
    CWorkersFilterDlg* m_filter = nullptr;
};
