#pragma once
// The income-tax register of one reporting period: the walk over the selected
// employees that its calculation and its print form share, the month rows of
// one employee, and the register area that both keep in the document's report
// values.
//
// Register area, doubles of GenrValues:
//   0..324    income matrix: income code slot i (0..14), month m (0..11) at i * 12 + m
//   325       amount from the previous employer, roubles
//   326..364  thirteen triples (January..December, "Итого"): tax transferred
//             (roubles), transfer date (PackedDate), payment order number
//   365..377  thirteen withheld-tax sums (kopecks), the last the period total
#include "infobase/Records.h"
#include "payroll/PayrollDocument.h"
#include "reports/social/ReportRun.h"

#include <array>
#include <functional>
#include <stop_token>

namespace kalvor::reports {

inline constexpr int kRegisterMonths = 13; // January..December and the period total
inline constexpr int kRegisterTotalRow = 12;
inline constexpr int kIncomeCodeSlots = 15;
inline constexpr int kDeductionSlots = 10;

// The register area over the document's report values.
class RegisterArea {
public:
    static constexpr int kMatrixSize = 325;
    static constexpr int kPreviousEmployer = 325;
    static constexpr int kTransfers = 326;
    static constexpr int kWithheld = 365;

    explicit RegisterArea(infobase::KalvorDocData& doc) : m_values(doc.GenrValues.data()) {}

    double& matrix(int codeSlot, int month) { return m_values[codeSlot * 12 + month]; }
    void clearMatrix() { std::fill(m_values, m_values + kMatrixSize, 0.0); }
    double& previousEmployer() { return m_values[kPreviousEmployer]; }
    double& transferred(int month) { return m_values[kTransfers + 3 * month]; }
    double& transferDate(int month) { return m_values[kTransfers + 3 * month + 1]; }
    double& paymentOrder(int month) { return m_values[kTransfers + 3 * month + 2]; }
    double& withheld(int month) { return m_values[kWithheld + month]; }

private:
    double* m_values;
};

// The month rows of one employee: rows 0..11 January..December of the report
// year (months outside the employee's own period cleared), row 12 the period
// totals; the income and deduction codes of the year stay in row 0 and are
// copied into row 12.
struct RegisterMonths {
    std::array<infobase::IncomeMonthRow, kRegisterMonths> rows{};
    int start = 0; // month keys of the employee's own period
    int end = 0;
    double prePeriodBase = 0; // cumulative base of the month before the start

    const infobase::IncomeMonthRow& total() const { return rows[kRegisterTotalRow]; }
};

// The tax-table selector of the register: 1 for an odd table number, 2 for an even one.
int RegisterTaxSelector(int tabPodoh);

// The register's period from the generator's parameters; -2 when the first
// month lies after the last or the year after the base's year, else 0.
int RegisterPeriod(const infobase::InfoBaseConfig& config, ReportPeriod& period);

// The employee's own period within the report period (month keys): false
// when he was hired after its end or dismissed before its start.
bool EmployeeRegisterSpan(const infobase::EmployeeHead& head, const ReportPeriod& period, int& start, int& end);

// The current employee's month rows for his period (start, end set in
// `months`); firstRow is the number of his leading result entries. Returns 0
// or the negative code of the income arithmetic.
int EmployeeRegisterMonths(const PayrollDoc& doc, int year, int firstRow, RegisterMonths& months);

// One employee that the walk reaches: his period, and whether he has an
// income-tax table (only then the month rows are computed).
struct RegisterEmployee {
    const infobase::EmployeeListEntry* entry = nullptr;
    const RegisterMonths* months = nullptr; // null when tabPodoh is 0
};

// The walk of the register: selects the period into the swap file, then for
// each selected employee in list order reads his record into the document's
// current record, applies his dates, clears the income matrix and computes
// his month rows, and calls `visit`. A negative result of `visit` ends the
// walk with it. Returns 0, GenrStopped, -2 for a bad period or a negative
// code; a short read of the swap file throws TextError "Ошибка чтения файла".
using RegisterVisitor = std::function<int(const RegisterEmployee&)>;
int WalkRegisterEmployees(std::stop_token stop, const ReportSelection& selection, int markedCount, PayrollDoc& doc,
                          const RegisterVisitor& visit);

// Adds up the tax withheld from the selected employees, month by month, into
// the register area's withheld-tax sums (cleared first). Returns the result
// of the walk.
int CalcNalRegistr(std::stop_token stop, const ReportSelection& selection, int markedCount, PayrollDoc& doc);

// RoundWhole to whole roubles of an amount in kopecks, in kopecks.
double RoundRoubles(double kopecks);

// The property deduction that the register spreads over the months
// (kopecks): the deduction left at the start of the year less what is left
// now when the report year is the base's year; the deduction granted less
// what was left at the start of the year when the notice dates from the
// base's year or the year before; else 0. A difference below 0 (amounts
// entered out of order) counts as 0.
double PropertyDeductionAmount(const infobase::EmployeeHead& head, int reportYear, int baseYear);

} // namespace kalvor::reports
