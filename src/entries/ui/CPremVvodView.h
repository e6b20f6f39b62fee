#pragma once
// "Корректировка премий" (form 371): the bonus lines of the employees that
// the selection strip names, corrected in the grid of CPremVvodDlg, lines
// inserted and deleted with F7, F8 and Alt+F10, and written to the base when
// the screen is left.
#include "shell/ui/CCommonFormView.h"

#include <functional>

class CPremVvodDlg;
class CWorkersFilterDlg;

class CPremVvodView : public CCommonFormView {
    Q_OBJECT
public:
    // The entry-screen number of the bonuses, also their working panel.
    static constexpr int kEntryScreen = 3;

    explicit CPremVvodView(CKalvorDoc* doc, QWidget* parent = nullptr);
    // Reads the grid back and, when a line changed, saves the 'p' index and
    // the bonus lines of the base (overwriting) under the wait cursor.
    ~CPremVvodView() override;

    void OnInitialUpdate() override;
    // The strip's help, or the help of the grid's focused column.
    void ShowFormHelp() override;
    void InsertBefore() override;
    void InsertAfter() override;
    void DeleteElement() override;
    // Enter in the strip: the check, the grid read back, the new selection.
    void ApplySelection() override;
    // Leaving saves the lines; a value that does not read keeps the screen.
    bool CanLeave() override;
    void EnableEntry(bool enable) override;

    // Whom the screen shows of a list entry: bonus lines, or a state other
    // than 4. A strip that passes nobody of them is refused.
    std::function<bool(int listIndex)> Shown() const;

    CPremVvodDlg* Dlg() const { return m_dlg; }
    CWorkersFilterDlg* Strip() const { return m_filter; }

    // The value lists of the grid's help.
    static QStringList KindLines();
    static QStringList MonthBasisLines();
    static QStringList PaymentPeriodLines();

private:
    void ShowGridHelp(int column);

    CPremVvodDlg* m_dlg = nullptr;
    CWorkersFilterDlg* m_filter = nullptr;
};
