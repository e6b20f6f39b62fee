#pragma once
// Expense cash orders (form KO-2, "РАСХОДНЫЙ  КАССОВЫЙ  ОРДЕР"): one order per
// row of a payment statement, instead of the statement.
//
// The five writers choose their rows and amounts as the statements do and
// hand each order to the output of the parameters' mode:
//   1      the text form with the number and date left as dotted blanks;
//   2, >5  the text form with the order number;
//   4      one record line per order for the 1C accounting program (the
//          thread then appends the file to the 1C transfer file);
//   5      an RTF document from the template "kassa-order-bank-2008", one
//          template page per order.
// Orders are numbered 1, 2 ... over the rows whose amount is not 0. The text
// form holds two orders a page: orders 2k - 1 and 2k stand on page k, and
// the page range of the parameters prints orders 2 × first page - 1 to
// 2 × last page (no limit when the last page is 0). The text modes head each
// odd order with its page number unless the cut-line flag is set.
//
// Text output is windows-1251 with "\r\n", written under a temporary name
// and renamed when complete. The employee of each order is loaded from the
// base (LoadEmployee) for his name and identity document.
#include "payroll/PayrollDocument.h"
#include "print/CTree.h"
#include "print/PrintOutput.h"

#include <QByteArray>
#include <QString>

namespace kalvor::print {

inline constexpr char kBankCashOrderTemplate[] = "kassa-order-bank-2008";

// The writers. Result 0, or -23 ("Сбой при попытке обращения к файлу
// печати") when the output cannot be created or the RTF document cannot be
// made; the bonus writer also the bonus calculation's codes (-1, -5, -12,
// -16), before any order is written, and kNothingToPrint (TextStatements.h)
// when no order falls on the sheets asked for. A failed write of the text file throws
// TextError naming the file and why. The bank form (mode 5), once written,
// leaves in errorText why the viewer did not show it (empty when it did).
//   advance:  the advances (CInfoBase::av), rounded by pay kind 904 and the payout rounding;
//   bonus:    the bonus calculation's amounts (CalcBonusAmounts with its selector);
//   pay:      the amounts payOf gives, without one the document's (DocumentPayAmounts);
//   sick pay: the sick-leave sheets to pay in the month, rounded as the advances;
//   vacation: the vacation notes to pay in the month, rounded as the advances.
int PrintAdvanceCashOrders(const StatementPrintParams& params, PayrollDoc& doc, const QString& path, int markedOnly,
                           QString* errorText = nullptr);
int PrintBonusCashOrders(const StatementPrintParams& params, PayrollDoc& doc, const QString& path, int selector,
                         QString* errorText = nullptr);
int PrintPayCashOrders(const StatementPrintParams& params, PayrollDoc& doc, const QString& path, int markedOnly,
                       QString* errorText = nullptr, const AmountOfSlot& payOf = {});
int PrintSickPayCashOrders(const StatementPrintParams& params, PayrollDoc& doc, const QString& path, int markedOnly,
                           QString* errorText = nullptr);
int PrintVacationCashOrders(const StatementPrintParams& params, PayrollDoc& doc, const QString& path, int markedOnly,
                            QString* errorText = nullptr);

// One order of the text form, appended to out: the cut line, the firm and
// the form's codes, the title with the number (mode 2 and above) or dots
// (mode 1), the account box with the amount, the recipient with his
// personnel number, the amount in words, the signatures, the identity
// document and the cashier, and the closing cut line. The signature places
// name the director (statusShef and fioShef), the chief accountant (fioBuh)
// and the cashier (kassirFio) of the firm record. The receipt line
// " Получил" is always the dotted one with "руб........коп.".
void WriteCashOrderText(QByteArray& out, int number, double amount, const infobase::EmployeeRecord& employee,
                        int personnelNumber, int mode, const PayrollDoc& doc);

// One order as a page of the template "kassa-order-bank-2008". The values in
// the order of the template's slots:
//   par0-4   the order number, today's day (two digits), the month's name in
//            the genitive, the year's last two digits, the order number;
//   par5     the firm's name;
//   par6-8   the debit and credit account groups "40" and "20", the amount "%.2f";
//   par9     the recipient's full name;
//   par10-12 the amount in words, its roubles and kopecks (of "%10.2f");
//   par13-15 the director's position and name, the chief accountant's name;
//   par16-17 "паспорт РФ" and the passport's series, number, date and issuer;
//   par18    the cashier's name.
void WriteCashOrderText(CTree& tree, int number, double amount, const infobase::EmployeeRecord& employee,
                        const PayrollDoc& doc);

// The record line of one order for the 1C accounting program, appended to out:
//   0,"70 ","<s>  ","dd.mm.yy",<personnel number>,"<name>","Межрасчетные выплаты","<document>",<amount>
// where "70 " is account 70 (settlements with the staff), <s> the firm's
// sub-account of account 70 (FirmInfo::c1Sub70) cut with its blanks to three
// characters, dd.mm.yy today, <name> the employee's full name and <document>
// his identity document: kind code, series, number and date of issue, then
// the issuer cut to 69 characters, joined by commas. Texts have their blanks
// squeezed and every double quote doubled; the amount is in roubles "%.2f".
void WriteCashOrderRecord(const infobase::EmployeeRecord& employee, const PayrollDoc& doc, double amount,
                          QByteArray& out, int personnelNumber);

} // namespace kalvor::print
