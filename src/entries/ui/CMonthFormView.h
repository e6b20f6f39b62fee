// The view of the month's deduction screens that are fixed forms (writs of
// execution, loans and credits): the selection strip, the frame box 1225
// around the entry dialog at (25, 25), the group panel. The employee is
// taken by the number typed in the strip; F4/F3 pass over the employees with
// nothing of the screen's kind; the dated archive is never loaded.
#pragma once

#include "infobase/Records.h"
#include "shell/ui/CCommonFormView.h"

#include <functional>

class CMonthFormDlg;
class CTabelFilterDlg;
class QGroupBox;

// Enter in the strip of a month deduction screen: the dialog saves (a refusal
// keeps the employee), the typed number is read; a number that is not in the
// current list gives "Некорректный табельный номер" and keeps the employee
// shown. Refused while a group is open.
void ApplyTypedPersonnelNumber(CCommonFormView& view);
// F4 (+1) / F3 (-1): the dialog saves, then the next or previous employee of
// the list that has entries of the screen's kind is shown; nothing at the
// list's ends or while a group is open.
using HasEntries = std::function<bool(const kalvor::infobase::EmployeeAttributes&)>;
void StepToEmployeeWithEntries(CCommonFormView& view, int step, const HasEntries& hasEntries);

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
    void ApplySelection() override { ApplyTypedPersonnelNumber(*this); }
    void EnableEntry(bool enable) override;
    void TakeHelpValues(const QStringList& values) override;
    void OnHelpValueSet() override;
    void CancelGroup() override;
    bool CanLeave() override;
    bool LoadsDatedArchive() const override { return false; }

    CTabelFilterDlg* Strip() const { return m_filter; }
    CMonthFormDlg* FormDlg() const { return m_dlg; }
    QString Title() const;
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
