#pragma once
// The calculation screen ("Расчет заработной платы"): the selection strip and
// the progress part; the month's pay of one employee or of every employee
// that the selection names is computed on a worker thread.
#include "shell/ui/CCommonFormView.h"

class CCalcZarpDlg;
class CTabelFilterDlg;
class QGroupBox;

class CCalcZarpView : public CCommonFormView {
    Q_OBJECT
public:
    enum { IdTitle = 1225 };

    explicit CCalcZarpView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CCalcZarpView() override;

    void OnInitialUpdate() override;
    void ApplySelection() override;
    void ShowFormHelp() override;
    void OnHelpValueSet() override;
    bool IsWorking() const override;
    // Stops the calculation; "Операция прервана" is said before it returns.
    void StopWork() override;

    // Reads the strip: false (after its message) when nobody matches the keys
    // or the typed personnel number is not one of them.
    bool ReadSelection(int* shop, int* brigade, int* profession, int* tabN);

    CCalcZarpDlg* CalcDlg() const { return m_dlg; }
    CTabelFilterDlg* Strip() const { return m_filter; }

private:
    QGroupBox* m_title = nullptr;
    CCalcZarpDlg* m_dlg = nullptr;
    CTabelFilterDlg* m_filter = nullptr;
};
