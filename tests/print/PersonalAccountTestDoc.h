#pragma once
// A document for the personal account tests: the statement test firm with
// pay kinds, two deduction kinds and employees whose month records lie in a
// swap work file. Reporting month April 2011.
#include "infobase/EmployeeRecord.h"
#include "payroll/PayrollDocument.h"

#include <QString>

#include <vector>

namespace kalvor::printtest {

struct AccountEmployee {
    int personnelNumber = 0;
    int shop = 1;
    int paymentSystem = 4; // sistOpl
    int dismissalSign = 0; // priznUv
    int pieceWorkRows = 0; // kvProizv
    infobase::EmployeeRecord record;
};

// A month row of April 2011 (amount in roubles).
infobase::AccrualRow MonthRow(int code, double roubles, int days = 0, int hours = 0, int minutes = 0, int month = 4);

// The fixture's employees: salaried, hourly, piece-rate, a debt, a dismissed
// one without an account, long words, words of 56 characters, an empty
// account, a walk without codes, then `fillers` more of 2 to 9 rows each.
std::vector<AccountEmployee> AccountEmployees(int fillers);

// Builds the document and writes every record into its slot of the swap
// file at swapPath, which stays open.
void BuildAccountDoc(PayrollDoc& doc, const std::vector<AccountEmployee>& employees, const QString& swapPath);

} // namespace kalvor::printtest
