#pragma once
// The certificate of the earnings on which social-insurance contributions were
// charged, for the benefits of the social insurance: one page of the form
// "spravka_zarabotok_2goda" per selected employee, with the firm's
// registration data, the employee's identity document and address, the
// period of work and, for the two calendar years before the certificate's
// year and that year itself, the amount in figures and in words.
#include "payroll/PayrollDocument.h"
#include "reports/social/ReportRun.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <array>

#include <stop_token>

namespace kalvor::reports {

inline constexpr char kEarningsCertificateTemplate[] = "spravka_zarabotok_2goda";

// The three years of the certificate: the two years before its year and that
// year, the certificate's year being the generator's report year (its year of
// 0 being the base's year): 2009, 2010 and 2011 in 2011.
std::array<int, 3> CertificateYears(const infobase::InfoBaseConfig& config);

// What the certificate's screen says of its years: the three years, and,
// when one of them lies after the year of the base's reporting month, that
// the certificate will not be printed and which report year to set.
QString CertificateYearsText(const infobase::InfoBaseConfig& config);

// Why the certificate is not printed for the configured years: a year of it
// lies after the year of the base's reporting month, whose earnings nobody
// knows yet (a year printed as zero would say there were none). Empty when
// every year can be printed.
QString CertificateYearsRefusal(const infobase::InfoBaseConfig& config);

// The earnings of a year are taken at most up to 415,000 roubles, whatever the year.
inline constexpr double kCertificateCap = 41'500'000;

// The first month of one year's earnings in the arithmetic: the parts of
// "sbor" record 1 (the social insurance) that make up the month's sum.
struct CertificateMonth {
    double priorTaxable = 0; // E[1], the months before
    double priorDisabled = 0; // E[4]
    double monthTaxable = 0; // F[1], the month itself
    double monthDisabled = 0; // F[4]
};

// Carries the excess over the cap from month to month within a year.
class CertificateYear {
public:
    // The month's amount of the year so far (kopecks), capped.
    double addMonth(const CertificateMonth& month);

private:
    double excess_ = 0;
};

// The current employee's earnings of a year (kopecks): the amount after
// December. 0 for a foreign citizen staying temporarily. Returns 0 or the
// negative code of the contribution arithmetic.
int CertificateYearAmount(const PayrollDoc& doc, int year, int firstRow, double& amount);

// A year's amount as the form prints it: roubles, kopecks, words. A negative
// amount prints as 0.
struct AmountTexts {
    QByteArray roubles, kopecks, words;
};
AmountTexts CertificateAmountTexts(double kopecks);

// The date of issue, "%2d.%02d.%4d" (a day below 10 with a leading blank).
QByteArray CertificateDate(const QDate& date);

// The 40 values of the current employee's page.
QList<QByteArray> CertificatePageValues(const PayrollDoc& doc, int number, const QDate& today,
                                        const std::array<double, 3>& amounts, int firstYear);

// Prints the certificates of the selected employees (with a marked count
// above 0: those marked in the list), numbered from 1, beside the work file,
// and opens them. Returns GenrDone, GenrStopped (nothing printed),
// GenrPrintFailed, -2 for a bad period, GenrRefused (with the
// CertificateYearsRefusal text in the detail) when a year of the certificate
// lies after the base's year, or the code of the contribution arithmetic. A short read of the swap file throws TextError "Ошибка чтения
// файла".
int PrintSpravZarp2Goda(std::stop_token stop, const ReportSelection& selection, const QString& workFilePath,
                        int markedCount, PayrollDoc& doc, GenrRunDetail* detail = nullptr);

} // namespace kalvor::reports
