// The entry-view operations that the employee screens and the month's entry
// screens share: applying the personnel number typed in the selection strip,
// marking a group of employees from the help list, cancelling the group, and
// the check that the strip's keys select somebody.
//
// Pick lists are QStringList values, owned by the screen that shows them.
#pragma once

#include <QStringList>

#include <functional>

class CCommonFormView;
class CFormChildDlg;
class QGroupBox;
class CTabelFilterDlg;
class CWorkersFilterDlg;

// The view's selection strip with the personnel-number field; null when it has another.
CTabelFilterDlg* TabelStripOf(const CCommonFormView& view);

// Loads the employee of an entry of the current list for the view: the entry's
// personnel number becomes the view's and the document's last one and goes into
// the strip; the record (with its dated archive) is loaded under the wait
// cursor (unless the view does without it), and the entry dialog shows it. A database failure is shown and leaves
// the dialog empty, so that a half-loaded record is never saved back. True when
// the employee was loaded.
bool LoadEmployeeForView(CCommonFormView& view, int listIndex);

// The personnel number typed in field 1103 of the view's selection strip,
// read as "%d" (a text that is no number reads 0). Not 0: the number goes to
// *tabN and 1 is returned. 0: "Некорректный табельный номер", the field's text
// selected and focused, and 0. The record card, the archive with dates, the
// personal account and the bank-transfer view call it.
int ReadTypedPersonnelNumber(CCommonFormView& view, int* tabN);
// The refusal of a personnel number that cannot be shown ("Некорректный
// табельный номер", the strip's number field selected and focused).
void RefusePersonnelNumber(CCommonFormView& view);

// Enter in the strip: the entry dialog saves (a refusal keeps the employee);
// the personnel number typed in field 1103 is looked up and its employee
// loaded and shown, and the entry is enabled. A number that is not in the list
// is refused with "Некорректный табельный номер". Refused while a group
// operation is open.
void ApplySelectionBody(CCommonFormView& view);

// Clears the group marks of every employee, closes the group panel, empties
// the entry dialog and gives the focus to the strip.
void CancelGroupBody(CCommonFormView& view);

// The employees chosen in the help list ("%d" personnel numbers) become the
// group: their entries are marked, the group panel opens under the entry
// dialog, the entry is enabled and the dialog begins the group. The employee
// shown is saved first; a refusal keeps him and opens no group.
void TakeHelpValuesBody(CCommonFormView& view, const QStringList& values);

// Reads the shop, brigade and profession of the strip; when no employee of
// the current list passes them (and, where given, is shown by the screen):
// "Сотрудников не обнаружено", focus to the shop field, 0. Otherwise the
// three keys and 1.
int CheckFilterHasEmployees(CCommonFormView& view, CWorkersFilterDlg& strip, int* shop, int* brigade, int* profession,
                            const std::function<bool(int listIndex)>& shown = {});

// The face of the screens that list employees by shop, brigade and
// profession: the strip on top, the entry dialog in a box with the caption
// under it (placed by `boxAlignment`), the strip's shop field focused. The
// view takes the strip and the dialog as its own; the box is returned.
QGroupBox* LayOutWorkersStripScreen(CCommonFormView& view, CWorkersFilterDlg* strip, CFormChildDlg* dialog,
                                    const QString& caption, Qt::Alignment boxAlignment = {});

// True (after a message) when the view's entry dialog is in group mode, so
// that stepping to another employee or applying a number must wait.
bool RefuseWhileGroupOpen(CCommonFormView& view);
