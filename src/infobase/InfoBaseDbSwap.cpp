// Selection runs: the records of the selected employees written from the
// base into their slots of the swap work file.
#include "infobase/InfoBaseDbDetail.h"

#include <algorithm>

namespace kalvor::infobase {

using namespace detail;

namespace {

struct RunOptions {
    unsigned blocks = BAll;
    bool recreate = true; // the file is made anew; otherwise slots are updated in place
    bool markedOnly = false;
    int wariaFrom = 0, wariaTo = 0;
};

// Writes the chosen blocks of every selected employee into his slot. When the
// file is not re-created, the rest of each slot is kept as it was. Returns
// false (the file closed) when stopped. `picked` hears of every selected
// employee, in list order, before the slots are written.
bool runSelection(CInfoBase& base, const Selection& sel, std::stop_token stop, const RunOptions& opts,
                  const std::function<void(const EmployeeListEntry&)>& picked = {})
{
    std::vector<EmployeeListEntry> chosen;
    for (const EmployeeListEntry& e : base.list)
        if (Selected(base, e, sel, opts.markedOnly))
            chosen.push_back(e);
    if (picked)
        for (const EmployeeListEntry& e : chosen) picked(e);

    if (opts.recreate)
        base.CreateSwapFile();
    else
        base.OpenSwapFile();
    // Many employees: every table read once as a stream in slot order (the
    // file is indexed by slot, so the order of writing does not matter);
    // one employee: his rows alone.
    const bool bulk = chosen.size() > 1;
    std::unique_ptr<BulkEmployeeLoader> many;
    std::unique_ptr<EmployeeLoader> one;
    if (bulk) {
        std::sort(chosen.begin(), chosen.end(),
                  [](const EmployeeListEntry& a, const EmployeeListEntry& b) { return a.slot < b.slot; });
        many = std::make_unique<BulkEmployeeLoader>(Db(base), opts.blocks);
    } else {
        one = std::make_unique<EmployeeLoader>(Db(base), opts.blocks);
    }
    EmployeeRecord rec;
    for (const EmployeeListEntry& e : chosen) {
        if (stop.stop_requested()) {
            base.CloseSwapFile();
            return false;
        }
        if (opts.recreate || !base.swap.readSlot(e.slot, rec))
            rec.clear();
        if (bulk)
            many->load(e.slot, rec, opts.wariaFrom, opts.wariaTo);
        else
            one->load(e.slot, rec, opts.wariaFrom, opts.wariaTo);
        base.swap.writeSlot(e.slot, rec);
    }
    return true;
}

bool singleBlock(CInfoBase& base, const Selection& sel, std::stop_token stop, unsigned blocks, int from = 0, int to = 0)
{
    RunOptions opts;
    opts.blocks = blocks;
    opts.recreate = false;
    opts.wariaFrom = from;
    opts.wariaTo = to;
    return runSelection(base, sel, stop, opts);
}

} // namespace

bool SelectAllToSwap(CInfoBase& base, const Selection& selection, std::stop_token stop)
{
    return runSelection(base, selection, stop, RunOptions{});
}

bool SelectMonthToSwap(CInfoBase& base, std::stop_token stop, const Selection& selection)
{
    RunOptions opts;
    opts.blocks = BKonst | BPasport | BNalvich | BWaria | BRows;
    return runSelection(base, selection, stop, opts);
}

bool SelectKonstProizvToSwap(CInfoBase& base, std::stop_token stop, const Selection& selection,
                             std::vector<SelectedEmployee>* selected)
{
    RunOptions opts;
    opts.blocks = BKonst | BPasport | BRows;
    if (selected)
        selected->clear();
    return runSelection(base, selection, stop, opts, [&](const EmployeeListEntry& e) {
        if (!selected)
            return;
        const EmployeeAttributes& a = base.attributesOf(e.slot);
        SelectedEmployee s;
        s.slot = e.slot;
        s.shop = base.shopOf(e.slot);
        s.brigade = a.brig;
        s.profession = u8(a.prof);
        s.tabN = e.tabN();
        s.firstRow = a.kvProizv;
        selected->push_back(s);
    });
}

bool SelectKonstWariaToSwap(CInfoBase& base, int monthFrom, int monthTo, const Selection& selection,
                            std::stop_token stop)
{
    RunOptions opts;
    opts.blocks = BKonst | BPasport | BWaria | BRows;
    opts.markedOnly = selection.flag != 0;
    opts.wariaFrom = monthFrom;
    opts.wariaTo = monthTo;
    return runSelection(base, selection, stop, opts);
}

bool SelectPeriodToSwap(CInfoBase& base, int first, int last, const Selection& selection,
                        std::stop_token stop)
{
    RunOptions opts;
    opts.blocks = BKonst | BPasport | BNalvich | BWaria | BRows;
    opts.markedOnly = selection.flag != 0;
    opts.wariaFrom = first; // 0 and 0: the whole archive, as in the other runs
    opts.wariaTo = last;
    return runSelection(base, selection, stop, opts);
}

bool SelectKonstToSwap(CInfoBase& base, const Selection& s, std::stop_token stop)
{
    return singleBlock(base, s, stop, BKonst | BPasport);
}
bool SelectNalvichToSwap(CInfoBase& base, const Selection& s, std::stop_token stop)
{
    return singleBlock(base, s, stop, BNalvich);
}
bool SelectPostDoplToSwap(CInfoBase& base, const Selection& s, std::stop_token stop)
{
    return singleBlock(base, s, stop, BPostDopl);
}
bool SelectSberToSwap(CInfoBase& base, const Selection& s, std::stop_token stop)
{
    return singleBlock(base, s, stop, BSber);
}
bool SelectIspolToSwap(CInfoBase& base, const Selection& s, std::stop_token stop)
{
    return singleBlock(base, s, stop, BIspol);
}
bool SelectSsudToSwap(CInfoBase& base, const Selection& s, std::stop_token stop)
{
    return singleBlock(base, s, stop, BSsud);
}
bool SelectWariaToSwap(CInfoBase& base, int year, int month, const Selection& s, std::stop_token stop)
{
    return singleBlock(base, s, stop, BWaria, MonthIndex(year, month), 0x7FFFFFFF);
}
bool SelectProizvZarpToSwap(CInfoBase& base, const Selection& s, std::stop_token stop)
{
    return singleBlock(base, s, stop, BRows);
}

} // namespace kalvor::infobase
