// The selection fields of a task form (shop 1252, brigade 1253, profession
// code 1254) read as the workers take them.
#pragma once

#include <QString>

#include <array>

class ControlMap;
class QLineEdit;
class QWidget;

// The number of a selection field: digits only (blanks around them allowed),
// at most nine; an empty field reads as 0. False for anything else ("abc",
// "106x", "-5"), with *value 0.
bool ReadSelectionNumber(const QLineEdit* field, int* value);

// What an unreadable selection field is refused with: shop 1252 "Некорректный
// номер цеха", brigade 1253 "Некорректный номер бригады", profession 1254
// "Некорректный код профессии", personnel number 1103 "Некорректный
// табельный номер".
QString UnreadableSelectionText(int id);

// Checks the selection fields of the form (1252, 1253, 1254, 1103, those it
// has): the first that does not read (ReadSelectionNumber) is refused with
// its message in a box, then selected and given the focus. False then.
bool CheckSelectionFields(ControlMap& form, QWidget* owner);

// Reads fields 1252, 1253 and 1254 of the form with "%d" into the shop, the
// brigade and the profession code: a field that is empty, absent or does not
// begin with a number gives 0 ("12a" gives 12). No range check; the personnel
// number (1103) is not read.
void ReadFormSelection(const ControlMap& form, std::array<int, 3>& values);

// The same reading under the name the print and monthly-entry views use.
inline void ReadSelectionFields(const ControlMap& form, std::array<int, 3>& values) { ReadFormSelection(form, values); }
