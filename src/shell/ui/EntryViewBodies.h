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
class CKalvorDoc;
class CFormChildDlg;
class QGroupBox;
class QVBoxLayout;
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
// read by its kind with the rest of the strip (CheckFields): a text that does
// not read whole, or a number its book lacks (an employee not in the current
// list), is refused naming the field or the book (0). Empty:
// "Некорректный табельный номер", the field's text selected and focused, and
// 0. Otherwise the number goes to *tabN and 1 is returned. The record card,
// the archive with dates, the personal account and the bank-transfer view
// call it.
int ReadTypedPersonnelNumber(CCommonFormView& view, int* tabN);
// The entry dialog saves the shown record before the strip's choice is taken.
// The strip greys the dialog while it has the focus; a refused save leaves
// the entry enabled with the focus in the refused field, which takes a
// corrected value, so that the next switch can go. False when refused.
bool SaveBeforeSwitch(CCommonFormView& view);
// The refusal of a personnel number that cannot be shown ("Некорректный
// табельный номер", the strip's number field selected and focused).
void RefusePersonnelNumber(CCommonFormView& view);

// Enter in the strip: the personnel number typed in field 1103 is read
// (ReadTypedPersonnelNumber), the entry dialog saves (SaveBeforeSwitch: a
// refusal keeps the employee and the entry editable), then the employee is
// loaded and shown, and the entry is enabled. Refused while a group operation
// is open.
void ApplySelectionBody(CCommonFormView& view);

// Clears the group marks of every employee, closes the group panel, empties
// the entry dialog and gives the focus to the strip.
void CancelGroupBody(CCommonFormView& view);

// The employees chosen in the help list ("%d" personnel numbers) become the
// group: their entries are marked, the group panel opens under the entry
// dialog, the entry is enabled and the dialog begins the group. The employee
// shown is saved first (SaveBeforeSwitch); a refusal keeps him and opens no
// group.
void TakeHelpValuesBody(CCommonFormView& view, const QStringList& values);

// Reads the shop, brigade and profession of the strip by their kinds (a
// field that does not read, or names what its book lacks, is refused: 0);
// when no employee of the current list passes them (and, where given, is
// shown by the screen): "Сотрудников не обнаружено", focus to the shop field,
// 0. Otherwise the three keys and 1.
int CheckFilterHasEmployees(CCommonFormView& view, CWorkersFilterDlg& strip, int* shop, int* brigade, int* profession,
                            const std::function<bool(int listIndex)>& shown = {});

// The face of the screens that pick employees in a strip: a new vertical
// layout of the view with the strip on top; the view takes the strip as its own.
QVBoxLayout* LayOutStrip(CCommonFormView& view, QWidget* strip);
// The widest an entry dialog may be in the box of LayOutEntryBox: the screen
// then fits the room beside the frame's panel at 1024x768, a vertical scroll
// bar included. A grid wider than this narrows its columns or scrolls them.
inline constexpr int kEntryDialogRoom = 600;

// Under the strip of LayOutStrip: the entry dialog in the box (margins 10
// at the sides and 25 above and below, placed by `boxAlignment`), the rest of the height empty; the view takes the
// dialog as its own. The box, the dialog and the strip are shown at once (a
// layout would show them only later), so that the dialog has its size when an
// employee is loaded right away.
void LayOutEntryBox(CCommonFormView& view, QVBoxLayout* layout, QGroupBox* box, CFormChildDlg* dialog,
                    Qt::Alignment boxAlignment = {});

// F4 (+1) / F3 (-1): the entry dialog saves (a refusal keeps the employee),
// then the next or previous employee of the current list that `wanted` takes
// (any, without it) is loaded and shown. Nothing at the list's ends, without
// a current employee, or while a group is open (refused with a message).
void StepToListEntry(CCommonFormView& view, int step, const std::function<bool(int listIndex)>& wanted = {});

// F1 with the focus in the view's strip: the strip's pick list for the
// focused field, and true; false with the focus elsewhere.
bool ShowStripPickList(CCommonFormView& view);
// Leaving a screen with an entry dialog: an open group is ended and
// cancelled, otherwise the dialog saves (SaveBeforeSwitch); false when the
// save is refused, which keeps the screen with the refused field editable.
bool LeaveEntryScreen(CCommonFormView& view);

// Enables or disables an entry dialog with a grid; enabling focuses the grid.
template <class GridDialog>
void EnableGridEntry(GridDialog* dlg, bool enable)
{
    if (!dlg)
        return;
    dlg->setEnabled(enable);
    if (enable)
        dlg->Grid()->setFocus();
}

// Enter in the strip of a screen that shows the stored rows of one employee:
// the personnel number typed in field 1103 becomes the document's last one
// and the index of his list entry is returned; a number that is not in the
// list is refused ("Некорректный табельный номер") and -1 returned.
int SelectTypedEmployee(CCommonFormView& view);

// The quick command's request to open the screen on the document's last
// employee, taken once. Asked for and the employee in the current list: his
// list index, with the request (1 open, 2 open and recompute) in *request;
// otherwise -1. Without a last employee the request stays.
int TakeLastEmployeeRequest(CKalvorDoc& doc, int* request = nullptr);
// The end of opening a screen with the personnel-number strip: the last
// employee loaded and the entry enabled when the quick command asked for it;
// otherwise the entry disabled and the strip's number field focused.
void OpenOnLastEmployee(CCommonFormView& view);

// Enter in a strip by shop, brigade and profession: when somebody the screen
// shows passes the strip (CheckFilterHasEmployees), the entry dialog saves
// (SaveBeforeSwitch: a refusal keeps the selection shown), takes the new
// selection and the entry is enabled.
void ApplyWorkersSelection(CCommonFormView& view, CWorkersFilterDlg& strip, const std::function<bool(int)>& shown);
// The quick command opens such a screen on the strip as it stands (once):
// as Enter, without the save.
void OpenOnWorkersStrip(CCommonFormView& view, CWorkersFilterDlg& strip, const std::function<bool(int)>& shown);

// The face of the screens that list employees by shop, brigade and
// profession: the strip on top, the entry dialog in a box with the caption
// under it (placed by `boxAlignment`), the strip's shop field focused. The
// view takes the strip and the dialog as its own; the box is returned.
QGroupBox* LayOutWorkersStripScreen(CCommonFormView& view, CWorkersFilterDlg* strip, CFormChildDlg* dialog,
                                    const QString& caption, Qt::Alignment boxAlignment = {});

// True (after a message) when the view's entry dialog is in group mode, so
// that stepping to another employee or applying a number must wait.
bool RefuseWhileGroupOpen(CCommonFormView& view);

// Runs `store` under the wait cursor; a refused store is shown.
void StoreShowingRefusal(const std::function<void()>& store);

// As a line-entry screen closes: its dialog takes in the record on screen and,
// when anything was changed, `store` keeps the screen's lines.
template <class Dialog>
void StoreOnClose(Dialog* dlg, const std::function<void()>& store)
{
    if (!dlg)
        return;
    dlg->SaveRecord();
    if (dlg->m_modified)
        StoreShowingRefusal(store);
}
