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
// The shops ("Цех/Отдел") by number.
kalvor::BookCheck ShopBook(const kalvor::infobase::CInfoBase& base);
// The professions ("Профессии") by code.
kalvor::BookCheck ProfessionBook(const kalvor::infobase::CRefFiles& files);
// The employees of the base by personnel number ("Список сотрудников").
kalvor::BookCheck EmployeeList(const kalvor::infobase::CInfoBase& base);
// The transfer recipients ("Юридические лица") by number: a place of the
// book with a name.
kalvor::BookCheck RecipientBook(const kalvor::infobase::CRefFiles& files);
