#pragma once
// The work-schedule book (form 336, "Графики"): the schedule number with
// "Выбрать", "Перерасчет месяца" and "Перерасчет графика" under the calendar
// of the chosen schedule. PgUp/PgDn page through its 22 months, F3/F4 step
// through the schedules, Enter in the calendar opens the definition.
#include "masterdata/ui/CRefSchedDlg.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/TypedInput.h"

#include <QPointer>

class QPushButton;

class CRefSchedView : public CCommonFormView {
    Q_OBJECT
public:
    enum { FormId = 336, IdNumber = 1070, IdSelect = 1071, IdRecalcMonth = 1072, IdRecalcSchedule = 1073 };

    explicit CRefSchedView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CRefSchedView() override;

    void OnInitialUpdate() override;
    void ShowFormHelp() override;
    void PrevPage() override;
    void NextPage() override;
    void NextElement() override;
    void PrevElement() override;
    void EnableEntry(bool enable) override;
    // Leaving the book: the shown month is stored; a field that does not
    // read keeps the screen.
    bool CanLeave() override;

    void SelectSchedule();
    void RecalcMonth();
    void RecalcSchedule();

    CRefSchedDlg* Dialog() const { return m_dlg; }
    CTypedEdit* NumberField() const { return m_number; }
    int CurrentSchedule() const { return m_current; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void MoveMonth(int step);
    void MoveSchedule(int step);
    void FocusNumberField();

    QPointer<CRefSchedDlg> m_dlg;
    CTypedEdit* m_number = nullptr;
    QPushButton* m_select = nullptr;
    QPushButton* m_recalcMonth = nullptr;
    QPushButton* m_recalcSchedule = nullptr;
    int m_current = 0;
};
