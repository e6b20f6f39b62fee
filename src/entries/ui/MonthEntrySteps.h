// What the month's entry views share beyond the employee screens: taking the
// employee by the number typed in the strip, and stepping over the employees
// who have nothing of the screen's kind.
#pragma once

#include "infobase/Records.h"

#include <functional>

class CCommonFormView;

// F4 (+1) / F3 (-1): the dialog saves, then the next or previous employee of
// the list that has entries of the screen's kind is shown; nothing at the
// list's ends or while a group is open.
using HasEntries = std::function<bool(const kalvor::infobase::EmployeeAttributes&)>;
void StepToEmployeeWithEntries(CCommonFormView& view, int step, const HasEntries& hasEntries);
