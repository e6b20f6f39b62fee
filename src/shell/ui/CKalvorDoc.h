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
    // Tells every view that the base moved to another reporting month.
    void NotifyMonthChanged() { emit reportingMonthChanged(); }

    // Shortcut and navigation fields of the screens.
    quint32 LastPersonnelNumber = 0;
    quint8 OpenWithLastEmployee = 0; // 0 none, 1 open with the last employee, 2 open and recompute
    quint32 LastEntryScreen = 0; // 1 employees ... 8 calculation screens
    quint32 PrintPersonnelKey = 0; // personnel-number key of the print views

signals:
    void baseChosen();
    void reportingMonthChanged();

private:
    BaseService* m_base = nullptr;
};

// The single document; never null while the application runs.
CKalvorDoc* GetCurrentDocument();

// The firm's name of the open base; empty without a base or a name.
QString FirmNameOf(const CKalvorDoc& doc);
// The reporting month of the open base as "Апрель 2011"; empty without a base.
QString ReportingMonthOf(const CKalvorDoc& doc);

// 1 when the employee at that index of the current list meets the selection
// keys of the dialog "Ключи выбора работников" (MatchEmployeeCriteria) and
// every non-zero key (shop, brigade, profession) equals the employee's shop
// byte, brigade and profession (CInfoBase::EmployeeInGroup); else 0.
int EmployeeMatchesFilter(int listIndex, int shop, int brigade, int profession);
