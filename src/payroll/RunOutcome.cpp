#include "payroll/RunOutcome.h"

#include "platform/Db.h"

#include <algorithm>

namespace kalvor {

void RunOutcome::note(RunNote::Kind kind, const infobase::CInfoBase& base, int slot, const QString& text)
{
    RunNote n;
    n.kind = kind;
    n.text = text;
    const auto entry = std::find_if(base.list.begin(), base.list.end(),
                                    [slot](const infobase::EmployeeListEntry& e) { return e.slot == slot; });
    if (entry != base.list.end())
        n.tabN = entry->tabN();
    if (base.holdsSlot(slot))
        n.name = base.shortNameOf(slot);
    notes.push_back(std::move(n));
}

QStringList RunOutcome::lines() const
{
    QStringList out;
    for (const RunNote& n : notes) {
        const QString what = n.kind == RunNote::Failed    ? QStringLiteral("ошибка")
                             : n.kind == RunNote::Skipped ? QStringLiteral("не рассчитан")
                                                          : QStringLiteral("предупреждение");
        out << QStringLiteral("Таб.N %1 %2 - %3: %4").arg(n.tabN).arg(n.name.trimmed(), what, n.text);
    }
    return out;
}

QString RefusedStoreLines(const infobase::CInfoBase& base, int slot, const db::DbError& e)
{
    RunOutcome who;
    who.note(RunNote::Failed, base, slot, db::EngineWords(e).left(200));
    return QStringLiteral("Результаты расчета работника не записаны в базу:\n") + who.lines().join(QLatin1Char('\n'));
}

} // namespace kalvor
