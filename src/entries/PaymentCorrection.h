// The payment correction of the month's sick-leave sheets and vacation
// notes: one grid row per line of the chosen employees with its amount, the
// total paid in the inter-calculation period, the way back from a grid row to
// its line, and the corrected amounts written into the line array.
#pragma once

#include "infobase/InfoBase.h"
#include "payroll/PayrollDocument.h"
#include "values/TypedFigure.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace kalvor::entries {

// The two line arrays that the correction screens list.
enum class PaymentLines { SickLeave, Vacation };

// The pay kind whose rounding the total "К выдаче" takes first.
inline constexpr int kPaymentRoundingKind = 904;

// The seven columns of a row: name, personnel number, start, end (sheets) or
// length (notes), kind, "м/р?", amount.
enum PaymentColumn {
    PaymentName,
    PaymentTabN,
    PaymentStart,
    PaymentFourth,
    PaymentKind,
    PaymentInterim,
    PaymentAmount,
    PaymentColumnCount
};
using PaymentRowTexts = std::array<QString, PaymentColumnCount>;
// What the amount column takes, of a sick sheet's and a vacation note's
// payment alike: an amount paid, never below 0; the rule the grid declares
// and ReadPaymentAmounts reads the amounts by.
inline constexpr FigureRule kPaymentAmountRule = AmountFigure();

// The heading row of the grid.
PaymentRowTexts PaymentHeadings(PaymentLines which);

struct PaymentListing {
    std::vector<PaymentRowTexts> rows;
    double total = 0; // kopecks paid in the inter-calculation period
};

// The rows of the employees at those list indexes, in that order, each
// employee's lines in their order, and the total of the lines flagged
// "Выплатить в м/р", each rounded by pay kind 904 and then by the payout
// rounding.
PaymentListing ListPaymentLines(const PayrollDoc& doc, PaymentLines which, const std::vector<int>& listIndexes);

// Whether reading the amounts back found a line for every row, and whether
// any amount changed.
struct PaymentReadBack {
    bool allFound = true;
    bool changed = false;
};
// Reads the rows' amount texts (roubles) into their lines' sums by the amount
// column's rule (kPaymentAmountRule). A row's line is found by the personnel
// numbers of the rows in grid order: the employee's first line plus the
// number of rows directly above that belong to him. A row without a line (its
// employee not in the list, or fewer lines than his rows) stops the reading
// before anything is written; a text that still shows the stored amount, or
// one the rule refuses, leaves it as it is.
PaymentReadBack ReadPaymentAmounts(infobase::CInfoBase& base, PaymentLines which, const QStringList& tabNTexts,
                                   const QStringList& amountTexts);

// The line table of the base (dbo.bln or dbo.otp) written, replacing the
// stored rows. Throws db::DbError.
void SavePaymentLines(infobase::CInfoBase& base, PaymentLines which);

} // namespace kalvor::entries
