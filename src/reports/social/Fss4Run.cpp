#include "reports/social/Fss4Run.h"

#include "payroll/Payroll.h"
#include "platform/CodePage.h"
#include "values/Text8.h"
#include "values/Values.h"

namespace kalvor::reports::fss4 {

using infobase::EmployeeListEntry;

SettlementRunBase::SettlementRunBase(const ReportSelection& selection, PayrollDoc& doc, int markedCount,
                                     std::stop_token stop)
    : selection_(selection)
    , doc_(doc)
    , values_(doc.GenrValues)
    , markedCount_(markedCount)
    , stop_(stop)
    , period_(ResolveReportPeriod(doc.infoBase.config, kFss4Report.period))
{}

int SettlementRunBase::prepareTables()
{
    const infobase::CRefFiles& ref = doc_.refFiles;
    if (ref.sborCount <= kInjuryKind || ref.sbor[kSocialKind].table < 1 || ref.sbor[kInjuryKind].table < 1)
        return -32;
    const int socialTable = ref.sbor[kSocialKind].table;
    const int variant = TaxVariantForMonth(socialTable, period_.lastMonthIndex(), doc_);
    if (variant < 0)
        return variant;
    socialScale_ = &ref.taxTableAt(socialTable).variants[std::size_t(variant)].scale;
    socialCode_ = ref.sbor[kSocialKind].code;
    injuryTable_ = ref.sbor[kInjuryKind].table;
    return 0;
}

bool SettlementRunBase::selects(const EmployeeListEntry& entry) const
{
    return SelectsReportEmployee(doc_.infoBase, entry, selection_, markedCount_);
}

void SettlementRunBase::readRecord(int slot) { records_.load(doc_.infoBase, slot); }

std::vector<SickLeaveSheetCase> SettlementRunBase::sheetCases(int slot) const
{
    infobase::CInfoBase& base = doc_.infoBase;
    const int count = infobase::LoadWarDat(base, slot, 0, 0, 0);
    return SickLeaveSheetCases(base.warDat, count, base.bln.run(slot), period_.year, base.config.reportingKey());
}

bool SettlementRunBase::readTaken(const EmployeeListEntry& entry)
{
    readRecord(entry.slot);
    return entry.tabN() == 0 || !SqueezeBlanks(codepage::toCp1251(doc_.infoBase.current.head.fio.left(50))).isEmpty();
}

bool SettlementRunBase::finalMonth(int month) const
{
    const int reportingMonth = doc_.infoBase.config.tekMes;
    return month == period_.lastMonth ||
           (reportingMonth < period_.end() && MonthKey(period_.year, month).value() == reportingMonth);
}

int SettlementRunBase::countMonths()
{
    for (const EmployeeListEntry& entry : doc_.infoBase.list) {
        if (!selects(entry))
            continue;
        if (stop_.stop_requested())
            return GenrStopped;
        if (readTaken(entry))
            CountFssMonths(doc_.infoBase.current.head, period_, counters_);
    }
    return GenrDone;
}

void SettlementRunBase::rollSlots()
{
    for (const auto& [first, width] : kRollingGroups) {
        for (int column = 0; column < width; ++column) {
            double* slot1 = &values_[std::size_t(first + column)];
            slot1[0] = slot1[width];
            slot1[width] = slot1[2 * width];
            slot1[2 * width] = 0;
        }
    }
    rollOwnSlots();
}

int SettlementRunBase::monthLoop()
{
    const int reportingMonth = doc_.infoBase.config.tekMes;
    const std::vector<EmployeeListEntry>& list = doc_.infoBase.list;
    beginMonths();
    for (int month = period_.firstMonth; month <= period_.lastMonth; ++month) {
        if (month - period_.firstMonth > 2)
            rollSlots();
        if (MonthKey(period_.year, month).value() > reportingMonth)
            continue;
        for (std::size_t position = 0; position < list.size(); ++position) {
            if (!selects(list[position]))
                continue;
            if (stop_.stop_requested())
                return GenrStopped;
            if (const int result = employeeMonth(position, list[position], month); result < 0)
                return result;
        }
        for (int index = kInjuryBefore; index <= kInjuryBefore + 3; ++index)
            values_[std::size_t(index)] = RoundWhole(values_[std::size_t(index)]);
    }
    return GenrDone;
}

int SettlementRunBase::run(const QString& dataFilePath, GenrRunDetail& detail)
{
    if (ReportPeriodRefusedByBuilder(period_, kFss4Report.period))
        return -2;
    values_.fill(0);
    if (const int result = beginRun(detail); result != GenrDone)
        return result;
    if (const int result = prepareTables(); result < 0)
        return result;
    infobase::CInfoBase& base = doc_.infoBase;
    if (!SelectPeriodToSwap(base, MonthIndex(period_.year, 1), period_.lastMonthIndex(),
                            selection_.toInfoBaseSelection(markedCount_), stop_))
        return GenrStopped;
    struct SwapCloser {
        infobase::CInfoBase& base;
        ~SwapCloser() { base.CloseSwapFile(); }
    } closer{base};

    if (const int result = countMonths(); result != GenrDone)
        return result;
    if (const int result = monthLoop(); result != GenrDone)
        return result;
    return finish(dataFilePath, detail);
}

} // namespace kalvor::reports::fss4
