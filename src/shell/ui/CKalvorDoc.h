// The single document: the information base with the fields that the screens
// share (its data part lives with the information base), and the base layer
// that opens it.
#pragma once

#include "infobase/KalvorDocData.h"

#include <QObject>
#include <QString>

class BaseService;

class CKalvorDoc : public QObject, public kalvor::infobase::KalvorDocData {
    Q_OBJECT
public:
    CKalvorDoc();
    ~CKalvorDoc() override;

    BaseService* Base() const { return m_base; }
    void SetBase(BaseService* base) { m_base = base; }
    bool BaseOpen() const;

    // Tells every view that a base was chosen (or opened, or closed).
    void NotifyBaseChosen() { emit baseChosen(); }

signals:
    void baseChosen();

private:
    BaseService* m_base = nullptr;
};

// The single document; never null while the application runs.
CKalvorDoc* GetCurrentDocument();

// 1 when the employee at that index of the current list meets the selection
// keys of the dialog "Ключи выбора работников" (MatchEmployeeCriteria) and
// every non-zero key (shop, brigade, profession) equals the employee's shop
// byte, brigade and profession (CInfoBase::EmployeeInGroup); else 0.
int EmployeeMatchesFilter(int listIndex, int shop, int brigade, int profession);
