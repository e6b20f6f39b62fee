#pragma once
// The certificate of monthly earnings: for every employee that the selection
// names, one page of the RTF template "spravka_zarabotok" with the earnings of
// each month of the generator's report period, the total in figures and in
// words and the signatures of the head and the chief accountant. It shares
// the selection, the employee loop and the worker steps of form T-54.
//
// A month's earnings are the base of the first contribution kind (the first
// "sbor" record) that the contribution arithmetic works out for that single
// month, with the firm's by-accrual-month switch choosing the month in which
// an amount counts: the month's earnings subject to contributions.
#include "exchange/T54Form.h"

#include <QByteArray>
#include <QDomDocument>
#include <QList>
#include <QString>

#include <array>
#include <stop_token>

namespace kalvor::exchange {

inline constexpr char kEarningsCertificateTemplate[] = "spravka_zarabotok";

// The amounts of one certificate, kopecks, index month 1-12; 0 for a month
// outside the period.
using CertificateMonths = std::array<double, 13>;

// The "row0" values of a certificate: for i from 1 to the smaller of 6 and
// the last month, the name and amount of month i and of month i + 6; a month
// with an amount of 0 gives a single blank for each.
QList<QList<QByteArray>> CertificateMonthRows(const CertificateMonths& months, int lastMonth);

// The total "%10.2f" and the total in words, from the whole roubles and the
// kopecks of that text.
struct CertificateTotalTexts {
    QByteArray figures, words;
};
CertificateTotalTexts CertificateTotal(double kopecks);

// Prints the certificates. Returns 0 when the document was generated, 1 when
// stopped, -2 when the period is reversed or lies after the reporting year,
// or the negative code of the contribution arithmetic (no document in these
// cases). Throws TextError "Ошибка чтения файла" when an employee's slot
// cannot be read, and the template engine's TextError. When data is given it
// receives a copy of the pages and rows that were printed; viewerText, when
// given, why the viewer did not show the document (empty when it did).
int PrintEarningsCertificate(const T54Selection& selection, std::stop_token stop, const QString& outputPath,
                             int markedCount, PayrollDoc& doc, QDomDocument* data = nullptr,
                             QString* viewerText = nullptr);

// The worker of the view: the steps of the T-54 worker around
// PrintEarningsCertificate.
platform::TaskOutcome SpravZarpMonthThreadProc(platform::TaskContext& context, const platform::TaskThreadParams& params,
                                               PayrollDoc& doc, const ExchangeMessenger& messenger);

} // namespace kalvor::exchange
