// The selection fields of a task form (shop 1252, brigade 1253, profession
// code 1254) read as the workers take them.
#pragma once

#include <array>

class ControlMap;

// Reads fields 1252, 1253 and 1254 of the form with "%d" into the shop, the
// brigade and the profession code: a field that is empty, absent or does not
// begin with a number gives 0 ("12a" gives 12). No range check; the personnel
// number (1103) is not read.
void ReadFormSelection(const ControlMap& form, std::array<int, 3>& values);

// The same reading under the name the print and monthly-entry views use.
inline void ReadSelectionFields(const ControlMap& form, std::array<int, 3>& values) { ReadFormSelection(form, values); }
