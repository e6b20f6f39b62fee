#pragma once
// "Просмотр ведомости на з/п": the pay sheet of the employees that the
// selection strip names (form 391), with the amounts to pay that the monthly
// calculation stored.
#include "shell/ui/CCommonFormView.h"

class CCalcPlatVedDlg;
class CWorkersFilterDlg;

class CCalcPlatVedView : public CCommonFormView {
    Q_OBJECT
public:
    explicit CCalcPlatVedView(CKalvorDoc* doc, QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    void ShowFormHelp() override;
    void ApplySelection() override;
    void EnableEntry(bool enable) override;

    CCalcPlatVedDlg* Dlg() const { return m_dlg; }
    CWorkersFilterDlg* Strip() const { return m_filter; }

private:
    CCalcPlatVedDlg* m_dlg = nullptr;
    CWorkersFilterDlg* m_filter = nullptr;
};
