#pragma once
// The print form of the income-tax register, "registr-ndfl-2011": one page
// per employee with his identity and tax status, his incomes by income code
// and month, the deductions, the tax base, the tax calculated, withheld and
// transferred, the property deduction, and a closing block signed by the
// chief accountant.
#include "reports/incometax/TaxRegister.h"

#include <QByteArray>
#include <QDate>
#include <QList>

#include <array>

namespace kalvor::reports {

inline constexpr char kTaxRegisterTemplate[] = "registr-ndfl-2011";

// The share of each month's tax transferred to the tax office that falls on
// one employee. A month whose withheld sum differs from the transferred
// amount by at most 5 roubles spreads the difference a rouble at a time over
// the employees in list order; otherwise each employee's tax is scaled by
// transferred / withheld.
class TransferShares {
public:
    explicit TransferShares(infobase::KalvorDocData& doc);
    // The employee's share (kopecks, whole roubles) of month k (0..11, 12 the
    // period) for the tax withheld from him in that month (kopecks).
    double share(int month, double withheld);
    double ratio(int month) const { return m_ratio[std::size_t(month)]; }

private:
    std::array<double, kRegisterMonths> m_difference{};
    std::array<double, kRegisterMonths> m_ratio{};
};

// The property deduction used in each month (kopecks): from the amount, each
// month from the notice on takes the month's growth of the cumulative base
// (the first such month the base since January) as far as the amount reaches.
std::array<double, 12> PropertyDeductionByMonth(const RegisterMonths& months, double amount,
                                                const infobase::EmployeeHead& head);

// One row of the page: the row region's name and its values.
struct RegisterRow {
    QByteArray name;
    QList<QByteArray> values;
};

// The values of one employee's page in the order of the template.
struct RegisterPage {
    QList<QByteArray> head; // values 1-19, then 20-24 when there is income
    QList<RegisterRow> rows;
    QList<QByteArray> closing;
};

// The taxpayer status: 2 for a non-resident foreigner (both flags, fewer
// than 183 days of stay, arrived not after the period's last month), else 1.
int TaxpayerStatus(const infobase::EmployeeHead& head, const ReportPeriod& period);

// What a page is built from besides the current employee's record.
struct RegisterPageInput {
    ReportPeriod period;
    int baseYear = 0;
    QDate today;
};

// The page of the current employee (months null: no income-tax table).
// Returns 0, or -31 when a standard deduction's code is not in the
// deduction reference list.
int BuildRegisterPage(PayrollDoc& doc, const RegisterMonths* months, const RegisterPageInput& input,
                      TransferShares& shares, RegisterPage& page);

// Fills the register form of the selected employees beside `outputPath` and
// opens it. Returns GenrDone, GenrStopped, GenrPrintFailed (detail->text
// says why), -2 for a bad period, -31 for an unknown deduction code, or the
// code of the income arithmetic. A short read of the swap file throws
// TextError "Ошибка чтения файла".
int PrintNalRegistr(std::stop_token stop, const ReportSelection& selection, const QString& outputPath, int markedCount,
                    PayrollDoc& doc, GenrRunDetail* detail = nullptr);

} // namespace kalvor::reports
