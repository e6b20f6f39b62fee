#pragma once
// The run that both forms of the 4-FSS settlement share: the employees of the
// period selected into the work file, the months of the fund counted over
// them, then month by month every selected employee's month added into the
// report values, the three month slots rolling forward when the period is
// longer than a quarter. Each form adds its own months and its own closing.
#include "reports/social/Fss4Common.h"
#include "reports/social/SelectedRecords.h"

#include <stop_token>

namespace kalvor::reports::fss4 {

class SettlementRunBase {
public:
    SettlementRunBase(const ReportSelection& selection, PayrollDoc& doc, int markedCount, std::stop_token stop);
    virtual ~SettlementRunBase() = default;

    // GenrDone, GenrStopped, GenrFileFailed or a negative error code.
    int run(const QString& dataFilePath, GenrRunDetail& detail);

protected:
    // Before anything is selected; a result other than GenrDone ends the run.
    virtual int beginRun(GenrRunDetail&) { return GenrDone; }
    // Before the first month, with the employee list in place.
    virtual void beginMonths() {}
    // One selected employee (at `position` in the list) in one month of the
    // period up to the base's month; a negative result ends the run.
    virtual int employeeMonth(std::size_t position, const infobase::EmployeeListEntry& entry, int month) = 0;
    // What the form keeps per month slot of its own, rolled with the values.
    virtual void rollOwnSlots() {}
    // The closing sums and the report data file.
    virtual int finish(const QString& dataFilePath, GenrRunDetail& detail) = 0;

    // Makes the employee's record of the work file the current record.
    void readRecord(int slot);
    // readRecord, then false for an employee with a personnel number but no
    // name, who counts nowhere.
    bool readTaken(const infobase::EmployeeListEntry& entry);
    // The employee's sick-leave sheets of the period's year, from his dated
    // archive in the base and the reporting month's sheets.
    std::vector<SickLeaveSheetCase> sheetCases(int slot) const;
    // The first of the employee's month rows of the current month.
    int firstRow(int slot) const { return doc_.infoBase.attributesOf(slot).kvProizv; }
    // The month slot (0-2) of the last three months; earlier months share 0.
    int slotOf(int month) const { return std::min(month - period_.firstMonth, 2); }
    bool lastThree(int month) const { return month > period_.lastMonth - 3; }
    // The employee's last month in the run: the period's last month, or the
    // base's month when the period reaches past it.
    bool finalMonth(int month) const;
    void add(int index, double amount) { values_[std::size_t(index)] += amount; }
    // A month's amount into the period value and into the month slot.
    void addMonthly(int period, int monthFirst, double amount, int month)
    {
        add(period, amount);
        add(monthFirst + slotOf(month), amount);
    }

    const ReportSelection& selection_;
    PayrollDoc& doc_;
    GenrValueArray& values_;
    int markedCount_;
    std::stop_token stop_;
    ReportPeriod period_;
    MonthCounted counters_{};
    const TaxScale* socialScale_ = nullptr;
    int socialCode_ = 0;
    int injuryTable_ = 0; // the tax table number of the insurance against accidents

private:
    SelectedRecords records_;
    int prepareTables();
    bool selects(const infobase::EmployeeListEntry& entry) const;
    int countMonths();
    int monthLoop();
    void rollSlots();
};

} // namespace kalvor::reports::fss4
