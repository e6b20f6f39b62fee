#pragma once
// What a run over the employees (the month's calculation, the month change)
// did, by employee: the number computed, and a line for each employee that it
// skipped, warned about or could not compute, with his personnel number, his
// name and the reason. The run fills it in one place; its screen lists it at
// the run's end.
#include "infobase/InfoBase.h"
#include "platform/Db.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kalvor {

struct RunNote {
    enum Kind { Skipped, Warned, Failed };
    Kind kind = Warned;
    int tabN = 0;
    QString name;
    QString text;
};

struct RunOutcome {
    int computed = 0;
    std::vector<RunNote> notes; // in the order the run met them

    // A note about the employee of the record slot (his number and short name
    // from the base's list).
    void note(RunNote::Kind kind, const infobase::CInfoBase& base, int slot, const QString& text);
    // One line a note: "Таб.N 112 Петров П.П. - ошибка: Ошибка в датах болезни".
    QStringList lines() const;
    void clear() { *this = RunOutcome{}; }
};

// The base's refusal of an employee's calculated month, in two lines: what
// was not stored, then who and what the engine itself said (never the
// statement): "Результаты расчета работника не записаны в базу:\nТаб.N 112
// Петров П.П. - ошибка: <the engine's line>".
QString RefusedStoreLines(const infobase::CInfoBase& base, int slot, const db::DbError& e);

} // namespace kalvor
