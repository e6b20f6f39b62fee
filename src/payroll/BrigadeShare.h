#pragma once
// The share of a brigade's bonus fund that falls to one member by the firm's
// labour-participation rules (КТУ). The month's calculation and the bonus
// statement share a fund through the same routine, so both give the same
// amounts.
//
// A variant of the rules (FirmInfo::ktu) is four rule words: bits 0-6 the
// percent of the fund the rule shares, bit 7 the rate, bit 8 the worked
// time, bits 9-10 and 11-12 the first and second coefficient (1 multiplies,
// 2 divides); bits 13-15 of the first word are the scale (the fund is given
// in kopecks, roubles, tens or hundreds of roubles), of the second word the
// formula (1: the brigade's time-rate earnings come off the fund first).
#include "payroll/PayrollDocument.h"

#include <memory>
#include <vector>

namespace kalvor {

// The members of each brigade and their measures, kept for one calculation
// run so that every member is read from the swap work file and measured once,
// however many members share the fund. Valid while the work file, the bonus
// lines, the time sheets and the schedules stay as they are (one run over the
// selected employees). The member being computed is always measured afresh,
// from the current record.
class BrigadeMeasures {
public:
    BrigadeMeasures();
    ~BrigadeMeasures();
    BrigadeMeasures(const BrigadeMeasures&) = delete;
    BrigadeMeasures& operator=(const BrigadeMeasures&) = delete;

    struct Brigades;
    Brigades& brigades() { return *brigades_; }

private:
    std::unique_ptr<Brigades> brigades_;
};

// The record recordSlots of every listed member of the brigades that the employees
// of `recordSlots` belong to (themselves among them), ascending: the records that
// the sharing of their funds reads from the swap work file.
std::vector<int> BrigadeMemberSlots(const infobase::CInfoBase& base, const std::vector<int>& recordSlots);

// The share in kopecks (whole kopecks) of the employee in record slot `slot`
// of the fund of bonus line `line`, a line of type 3-5 (rule variant
// type - 3; any other type shares nothing). The brigade is every listed
// employee with a line of the same type, code, amount and group key. A
// member's worked time is the month's time sheet, or, with a group key, the
// time of the line's base (mask selector) over the four months before the
// reporting month. 0 when the employee is no member of the brigade.
// The members' records are read from the swap file; the information base's
// current record is the same on return. Returns 0 or a negative
// CalcErrorTexts code (-1 a member without payment system, -12 without a
// day length, -16 without working days, -38 a record that cannot be read, or
// the base's own codes). With measures given, the brigade's members are
// measured from them.
int BrigadeBonusShare(PayrollDoc& doc, int slot, const infobase::BonusLine& line, double& share,
                      BrigadeMeasures* measures = nullptr);

} // namespace kalvor
