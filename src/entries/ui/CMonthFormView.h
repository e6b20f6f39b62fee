// The view of the month's deduction screens that are fixed forms (writs of
// execution, loans and credits): the selection strip, the frame box 1225
// around the entry dialog at (25, 25), the group panel. The employee is
// taken by the number typed in the strip; F4/F3 pass over the employees with
// nothing of the screen's kind; the dated archive is never loaded.
#pragma once

#include "entries/ui/MonthEntrySteps.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/EntryViewBodies.h"

class CMonthFormDlg;
class CTabelFilterDlg;
class QGroupBox;

class CMonthFormView : public CCommonFormView {
    Q_OBJECT
public:
    enum { IdTitle = 1225 };
    // The document's entry-screen number of the accruals and deductions.
    static constexpr int kEntryScreen = 2;

    CMonthFormView(int formId, const QString& title, CKalvorDoc* doc, QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    void NextElement() override;
    void PrevElement() override;
    void ApplySelection() override { ApplySelectionBody(*this); }
    void EnableEntry(bool enable) override;
    void TakeHelpValues(const QStringList& values) override;
    void OnHelpValueSet() override;
    void CancelGroup() override;
    bool CanLeave() override;
    bool LoadsDatedArchive() const override { return false; }

    CTabelFilterDlg* Strip() const { return m_filter; }
    CMonthFormDlg* FormDlg() const { return m_dlg; }
    void SetTitle(const QString& text);

protected:
    virtual CMonthFormDlg* CreateDialog() = 0;
    // Whether the employee has entries of the screen's kind (F4/F3 stop on him).
    virtual bool HasEntries(const kalvor::infobase::EmployeeAttributes& attr) const = 0;
    // True when the focused control is a field of the strip, whose pick lists are shown.
    bool ShowStripHelp();

private:
    CTabelFilterDlg* m_filter = nullptr;
    QGroupBox* m_title = nullptr;
    CMonthFormDlg* m_dlg = nullptr;
};
