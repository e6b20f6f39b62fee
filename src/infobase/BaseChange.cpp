#include "infobase/BaseChange.h"

#include "infobase/BaseWrites.h"
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
        visit(BaseTable::Lists, list, b.list);
        visit(BaseTable::Lists, otherList, b.otherList);
        visit(BaseTable::Config, config, b.config);
        visit(BaseTable::Schedules, schedules, b.schedules_);
        visit(BaseTable::ShortNames, shortNames, b.shortNames_);
        visit(BaseTable::Attributes, attributes, b.attributes_);
        visit(BaseTable::ShopBytes, shopBytes, b.shopBytes_);
        visit(BaseTable::Tabel, tabel, b.tabel_);
        visit(BaseTable::Advances, av, b.av_);
        visit(BaseTable::Advances, zar1, b.zar1_);
        visit(BaseTable::Lines, altTabel, b.altTabel);
        visit(BaseTable::Lines, prem, b.prem);
        visit(BaseTable::Lines, bln, b.bln);
        visit(BaseTable::Lines, otp, b.otp);
        visit(BaseTable::CurrentEmployee, current, b.current);
        visit(BaseTable::CurrentEmployee, currentSlot, b.currentSlot);
        visit(BaseTable::CurrentEmployee, warDat, b.warDat);
    }
};

BaseChange::BaseChange(CInfoBase& base, BaseTable tables, InDoubt inDoubt)
    : base_(base), tables_(tables), inDoubt_(inDoubt), kept_(std::make_unique<Kept>()), transaction_(Db(base))
{
    kept_->forEach(base_, [tables](BaseTable table, auto& copy, const auto& live) {
        if (Names(tables, table))
            copy = live;
    });
}

BaseChange::~BaseChange() { putBack(); }

void BaseChange::putBack()
{
    if (!kept_)
        return;
    // The transaction rolls back as it goes; the memory goes back with it.
    kept_->forEach(base_, [](BaseTable, auto& copy, auto& live) {
        if (copy)
            live = std::move(*copy);
    });
    kept_.reset();
}

void BaseChange::commit()
{
    if (!kept_)
        return;
    // Cut in doubt, memory goes back at once, and the change is kept to bring
    // memory to it should the server have made it.
    InDoubtPutBack inDoubt{[this] { putBack(); }, nullptr};
    if (inDoubt_ == InDoubt::Follow)
        inDoubt.follow = [this] { return madeChange(); };
    CommitPuttingBackInDoubt(base_, inDoubt, [this] { transaction_.commit(); });
    kept_.reset();
}

std::function<void()> BaseChange::madeChange()
{
    // The tables as the change made them; the current record is left to the
    // screen that shows it.
    auto made = std::make_shared<Kept>();
    made->forEach(base_, [this](BaseTable table, auto& copy, const auto& live) {
        if (Names(tables_, table) && table != BaseTable::CurrentEmployee)
            copy = live;
    });
    return [made, &base = base_] {
        made->forEach(base, [](BaseTable, auto& copy, auto& live) {
            if (copy)
                live = std::move(*copy);
        });
    };
}

} // namespace kalvor::infobase
