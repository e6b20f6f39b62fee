#pragma once
// "Просмотр лицевых счетов": the personal account of one employee at a time
// (form 385): the month's rows that the calculation stored, with F3/F4 to the
// previous and next employee. Opened by the quick command 9999, it computes
// the employee shown last before it shows him.
#include "shell/ui/CCommonFormView.h"

class CCalcLicSchetDlg;
class CTabelFilterDlg;
class QGroupBox;

class CCalcLicSchetView : public CCommonFormView {
    Q_OBJECT
public:
    enum { IdTitle = 1225 };

    explicit CCalcLicSchetView(CKalvorDoc* doc, QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    void ShowFormHelp() override;
    void NextElement() override { StepTo(+1); }
    void PrevElement() override { StepTo(-1); }
    void ApplySelection() override;
    void EnableEntry(bool enable) override;

    CCalcLicSchetDlg* Dlg() const { return m_dlg; }
    CTabelFilterDlg* Strip() const { return m_filter; }
    void SetTitle(const QString& text);

private:
    // The quick command 9999: the employee is computed and stored first; a
    // failure is shown with the engine's message.
    void Recompute(int tabN);
    // Loads the stored rows of the employee of a list entry and shows them;
    // a database failure is shown and leaves the screen as it was.
    bool ShowStoredRows(int listIndex);
    void StepTo(int step);
    // After a change of the reporting month: the shown employee's rows of the
    // new month (none until he is computed).
    void ShowNewMonth();

    CCalcLicSchetDlg* m_dlg = nullptr;
    CTabelFilterDlg* m_filter = nullptr;
    QGroupBox* m_title = nullptr;
};
