// The selection fields of the strips (shop 1252, brigade 1253, profession
// code 1254, personnel number 1103), made with their kinds and read as the
// workers and the entry screens take them. Every strip of the program, a task
// form's (CTaskFormView) or an entry screen's (CWorkersFilterDlg,
// CTabelFilterDlg), makes its fields with these kinds, so that one reading
// holds for all of them.
#pragma once

#include "shell/ui/TypedInput.h"

#include <QString>

#include <array>
#include <functional>

class CKalvorDoc;
class ControlMap;
class QWidget;

// The kind of a strip field: the shop, a number of the shop book; the
// brigade, 0 to 99; the profession, a code of the profession book; the
// personnel number, an employee of the current list. `name` is the field as
// the messages name it. An empty field (or 0) selects everyone; a text that
// does not read whole, or a number its book lacks, is refused naming the field
// (or the book), never taken as everyone. Without a document no book is
// checked.
InputKind SelectionKind(int id, const QString& name, const CKalvorDoc* doc);
// The name a strip field goes by in its messages: "Цех", "Бригада",
// "Профессия", "Табельный номер".
QString SelectionFieldName(int id);

// The number a typed field of the form holds (a strip field's, or any whole
// field's), by its kind: 0 for an empty field, an absent one, or one whose
// text does not read (a form refuses such a field before anything runs:
// ReadTypedInputs).
int TypedValue(const ControlMap& form, int id);

// The focus came into a strip (`strip`: the strip or its field): `grey`
// greys the entry once the input just left has been read, and only if the
// focus is still in the strip and no refused input holds it. A refusal gives the focus back to the input
// left, and the entry then stays editable, so that it takes a corrected value.
void GreyEntryWhileStripHasFocus(QWidget* strip, std::function<void()> grey);

// The shop, brigade and profession of fields 1252, 1253 and 1254 (TypedValue).
void ReadFormSelection(const ControlMap& form, std::array<int, 3>& values);
// The same three read by their kinds first, as a pick list of employees
// filtered by them needs: the first that does not read, or names what its
// book lacks, is said and focused, and false returned (the list is not
// shown for everyone instead).
bool ReadSelectionKeys(const ControlMap& form, std::array<int, 3>& values);
