// The books whose numbers a typed input must name, as its BookCheck
// (values/TypedFigure.h): a number the book does not hold is refused naming
// the book. The checks read the books as they stand when the input is read.
#pragma once

#include "values/TypedFigure.h"

namespace kalvor::infobase {
class CInfoBase;
class CRefFiles;
} // namespace kalvor::infobase

// The pay kinds ("Оплаты/Удержания") by code.
kalvor::BookCheck PayKindBook(const kalvor::infobase::CInfoBase& base);
// A bank transfer's code: a pay kind of the book that takes the money off
// the pay (IsPayReducingCode: the transfers 903 and 906 of the rest, and the
// deductions sent to a bank as fixed amounts). An accrual is no transfer: the
// calculation would drop the row and leave the money to be paid in cash.
kalvor::BookCheck TransferKindBook(const kalvor::infobase::CInfoBase& base);
// A loan's deduction code: a pay kind of the book within the loans' codes
// (IsLoanCode).
kalvor::BookCheck LoanKindBook(const kalvor::infobase::CInfoBase& base);
// The shops ("Цех/Отдел") by number.
kalvor::BookCheck ShopBook(const kalvor::infobase::CInfoBase& base);
// The professions ("Профессии") by code.
kalvor::BookCheck ProfessionBook(const kalvor::infobase::CRefFiles& files);
// The employees of the base by personnel number ("Список сотрудников").
kalvor::BookCheck EmployeeList(const kalvor::infobase::CInfoBase& base);
// The transfer recipients ("Юридические лица") by number: a place of the
// book with a name.
kalvor::BookCheck RecipientBook(const kalvor::infobase::CRefFiles& files);
