#pragma once
// The register of income certificates that the firm hands the tax office with
// the certificates of a year: a 94-column text file (windows-1251, CR LF), one
// numbered line per certificate with the person's name and the totals of
// income, tax computed and tax withheld. Years before 2005 use the old layout;
// from 2005 on a rate column is added and a person gets a line per rate.
#include "payroll/PayrollDocument.h"
#include "reports/incometax/TaxRegister.h"

#include <QByteArray>
#include <QDate>

#include <stop_token>

namespace kalvor::reports {

// One person's certificate totals, kopecks.
struct CertificateTotals {
    bool nonResident = false; // rate 30 % in place of 13 %
    double mainIncome = 0, mainTax = 0, mainWithheld = 0; // 13 % (30 %)
    double income9 = 0, tax9 = 0; // 9 %
    double income35 = 0, tax35 = 0; // 35 %

    double income() const { return mainIncome + income9 + income35; }
    double tax() const { return mainTax + tax9 + tax35; }
};

// The non-resident test of the register: flag bits 9 and 2 and fewer than
// 183 days of stay.
bool RegisterNonResident(const infobase::EmployeeHead& head);

// The current employee's certificate totals from his month rows: the income
// of the period at the main rate, its base less the property deduction and
// the tax on it, the incomes at 9 % and 35 % with their tax, the tax withheld
// less the tax on those two incomes (everything rounded to whole roubles).
CertificateTotals CertificateTotalsOf(const infobase::EmployeeHead& head, const RegisterMonths& months,
                                      double propertyDeduction);

// Builds the register text from the totals of the persons in list order.
// `date` is the day of printing; `year` the report year.
struct RegisterPerson {
    QString name;
    CertificateTotals totals;
};
struct IncomeRegisterText {
    QByteArray text;
    int certificates = 0;
};
IncomeRegisterText BuildIncomeRegisterText(const infobase::FirmInfo& firm, int year, const QDate& date,
                                           const QList<RegisterPerson>& persons);

// Writes the register of the selected employees of the generator's period
// into `outputPath` (written in full or not at all). Returns 0 when at least
// one certificate is listed, -1 when none is, GenrStopped, -2 for a bad
// period, or a negative code of the income arithmetic. Throws TextError
// naming the file and why ("Ошибка записи в файл <path>") when it cannot be
// written and "Ошибка чтения файла" for a short read of the swap file.
int PrintRegisterText(std::stop_token stop, const ReportSelection& selection, const QString& outputPath,
                      int markedCount, PayrollDoc& doc);

} // namespace kalvor::reports
