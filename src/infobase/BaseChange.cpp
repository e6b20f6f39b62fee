#include "infobase/BaseChange.h"

#include "infobase/InfoBaseDb.h"

#include <optional>

namespace kalvor::infobase {

// The copies of the named tables; a table not named stays empty.
struct BaseChange::Kept {
    std::optional<std::vector<EmployeeListEntry>> list, otherList;
    std::optional<InfoBaseConfig> config;
    std::optional<std::array<WorkSchedule, CInfoBase::ScheduleCount>> schedules;
    std::optional<std::vector<QString>> shortNames;
    std::optional<std::vector<EmployeeAttributes>> attributes;
    std::optional<std::vector<u8>> shopBytes;
    std::optional<std::vector<TabelRecord>> tabel;
    std::optional<std::vector<double>> av, zar1;
    std::optional<LineArray<AltTabelEntry>> altTabel;
    std::optional<LineArray<BonusLine>> prem;
    std::optional<LineArray<SickLeaveSheet>> bln;
    std::optional<LineArray<VacationNote>> otp;
    std::optional<EmployeeRecord> current;
    std::optional<int> currentSlot;
    std::optional<WarDatBlock> warDat;

    // Calls visit(table, copy, live) for every table of the base a copy is
    // kept of: the one list of what a change can put back.
    template <class Visit>
    void forEach(CInfoBase& b, Visit visit)
    {
        visit(ListTables, list, b.list);
        visit(ListTables, otherList, b.otherList);
        visit(ConfigTable, config, b.config);
        visit(ScheduleTables, schedules, b.schedules);
        visit(ShortNameTable, shortNames, b.shortNames);
        visit(AttributeTable, attributes, b.attributes);
        visit(ShopTable, shopBytes, b.shopBytes);
        visit(TabelTable, tabel, b.tabel);
        visit(AdvanceTables, av, b.av);
        visit(AdvanceTables, zar1, b.zar1);
        visit(LineTables, altTabel, b.altTabel);
        visit(LineTables, prem, b.prem);
        visit(LineTables, bln, b.bln);
        visit(LineTables, otp, b.otp);
        visit(CurrentEmployee, current, b.current);
        visit(CurrentEmployee, currentSlot, b.currentSlot);
        visit(CurrentEmployee, warDat, b.warDat);
    }
};

BaseChange::BaseChange(CInfoBase& base, unsigned tables)
    : base_(base), kept_(std::make_unique<Kept>()), transaction_(Db(base))
{
    kept_->forEach(base_, [tables](unsigned table, auto& copy, const auto& live) {
        if ((tables & table) != 0)
            copy = live;
    });
}

BaseChange::~BaseChange()
{
    if (!kept_)
        return;
    // The transaction rolls back as it goes; the memory goes back with it.
    kept_->forEach(base_, [](unsigned, auto& copy, auto& live) {
        if (copy)
            live = std::move(*copy);
    });
}

void BaseChange::commit()
{
    transaction_.commit();
    kept_.reset();
}

} // namespace kalvor::infobase
