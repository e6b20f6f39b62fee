// "Корректировка ставок": the employee's salary or tariff rate of each of the
// twelve months before the reporting month, which the averages of vacations
// and sick leave use. Opened from the time-sheet, vacation and sick-leave entry
// dialogs on the current employee record (its slot, 1-based).
#pragma once

#include "shell/ui/ControlMap.h"

#include <QDialog>

class CFldHlpGridCtrl;
class CKalvorDoc;

class CStavkaCorrect : public QDialog, public ControlMap {
    Q_OBJECT
public:
    static constexpr int IDD = 331;
    static constexpr int IdGrid = 1307;

    CStavkaCorrect(CKalvorDoc* doc, unsigned slot, QWidget* parent = nullptr);

    CFldHlpGridCtrl* Grid() const { return m_grid; }
    // True when OK found a changed rate (and stored the employee).
    bool Changed() const { return m_changed; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SpreadColumns();
    void OnInitDialog();
    void SetUpGrid(bool salaried);
    void FillRows();

    CKalvorDoc* m_doc;
    unsigned m_slot;
    CFldHlpGridCtrl* m_grid;
    bool m_changed = false;
};
