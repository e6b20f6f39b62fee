#include "shell/ui/EntryViewBodies.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CFormChildDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TypedInput.h"
#include "shell/ui/WaitCursor.h"
#include "values/CScan.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace ib = kalvor::infobase;

namespace {

// Selects the text of the strip's field and gives it the focus, so that
// what is typed next replaces it.
void FocusStripField(CCommonFormView& view, int id)
{
    if (auto* strip = qobject_cast<CWorkersFilterDlg*>(view.m_strip.data()))
        if (QLineEdit* field = strip->Field(id)) {
            field->selectAll();
            field->setFocus();
        }
}

} // namespace

CTabelFilterDlg* TabelStripOf(const CCommonFormView& view)
{
    return qobject_cast<CTabelFilterDlg*>(view.m_strip.data());
}

bool RefuseWhileGroupOpen(CCommonFormView& view)
{
    if (!view.m_entryDlg || !view.m_entryDlg->m_groupMode)
        return false;
    KalvorMessageBox(QStringLiteral("Выбрана группа. Завершите групповую операцию:\n"
                                    "Enter - сохранить данные,   Esc - отмена."),
                     MB_OK | MB_ICONWARNING, QString(), &view);
    return true;
}

bool LoadEmployeeForView(CCommonFormView& view, int listIndex)
{
    CKalvorDoc* doc = view.Document();
    ib::CInfoBase& base = doc->infoBase;
    const ib::EmployeeListEntry entry = base.list[std::size_t(listIndex)];
    view.m_tabN = entry.tabN();
    doc->LastPersonnelNumber = entry.tabN();
    if (CTabelFilterDlg* strip = TabelStripOf(view))
        strip->SetPersonnelNumber(entry.tabN());
    bool loaded = true;
    {
        WaitCursor wait;
        try {
            ib::LoadEmployee(base, entry.slot);
            if (view.LoadsDatedArchive())
                ib::LoadWarDat(base, entry.slot, 0, 0, 0);
        } catch (const kalvor::db::DbError& error) {
            ShowComError(error);
            loaded = false;
        }
    }
    if (view.m_entryDlg)
        view.m_entryDlg->LoadRecord(loaded ? entry.slot : 0);
    return loaded;
}

void RefusePersonnelNumber(CCommonFormView& view)
{
    KalvorMessageBox(QStringLiteral("Некорректный табельный номер"), MB_OK | MB_ICONERROR, QString(), &view);
    FocusStripField(view, CTabelFilterDlg::IdTabN);
}

int ReadTypedPersonnelNumber(CCommonFormView& view, int* tabN)
{
    CTabelFilterDlg* strip = TabelStripOf(view);
    // A field of the strip that does not read, or a number its book lacks,
    // is refused naming the field or the book; an empty number names nobody.
    if (strip && !strip->CheckFields())
        return 0;
    const int number = strip ? int(strip->PersonnelNumber()) : 0;
    if (number == 0) {
        RefusePersonnelNumber(view);
        return 0;
    }
    *tabN = number;
    return 1;
}

bool SaveBeforeSwitch(CCommonFormView& view)
{
    CFormChildDlg* dlg = view.m_entryDlg;
    if (!dlg)
        return true;
    if (SayHeldRefusal(dlg))
        return false;
    const bool greyed = !dlg->isEnabled();
    dlg->setEnabled(true);
    if (dlg->SaveRecord()) {
        if (greyed)
            dlg->setEnabled(false);
        return true;
    }
    QWidget* refused = QApplication::focusWidget();
    view.EnableEntry(true);
    if (refused && dlg->isAncestorOf(refused)) {
        refused->setFocus(Qt::OtherFocusReason);
        if (auto* field = qobject_cast<QLineEdit*>(refused))
            field->selectAll();
    }
    return false;
}

void ApplySelectionBody(CCommonFormView& view)
{
    CFormChildDlg* dlg = view.m_entryDlg;
    int tabN = 0;
    if (!dlg || !TabelStripOf(view) || RefuseWhileGroupOpen(view) || !ReadTypedPersonnelNumber(view, &tabN))
        return;
    if (!SaveBeforeSwitch(view)) {
        // The entry kept its employee: the strip names him again, not the
        // number typed, so that it shows whose rows are shown.
        if (view.m_tabN != 0)
            TabelStripOf(view)->SetPersonnelNumber(view.m_tabN);
        return;
    }
    CKalvorDoc* doc = view.Document();
    doc->LastPersonnelNumber = quint32(tabN);
    const int index = doc->infoBase.FindEmployee(tabN);
    if (index < 0) {
        RefusePersonnelNumber(view);
        return;
    }
    if (LoadEmployeeForView(view, index))
        view.EnableEntry(true);
}

void CancelGroupBody(CCommonFormView& view)
{
    CKalvorDoc* doc = view.Document();
    for (ib::EmployeeListEntry& entry : doc->infoBase.list) entry.setFlag(0, false);
    view.CloseGroupPanel();
    if (view.m_entryDlg)
        view.m_entryDlg->LoadRecord(0);
    FocusStripField(view, CTabelFilterDlg::IdTabN);
}

void TakeHelpValuesBody(CCommonFormView& view, const QStringList& values)
{
    CFormChildDlg* dlg = view.m_entryDlg;
    if (!dlg || dlg->m_groupMode || !SaveBeforeSwitch(view))
        return;
    ib::CInfoBase& base = view.Document()->infoBase;
    for (ib::EmployeeListEntry& entry : base.list) entry.setFlag(0, false);
    for (const QString& value : values) {
        int tabN = 0;
        if (!kalvor::ScanInt(value, tabN))
            continue;
        const int index = base.FindEmployee(tabN);
        if (index >= 0)
            base.list[std::size_t(index)].setFlag(0, true);
    }
    view.OpenGroupPanel();
    view.EnableEntry(true);
    dlg->BeginGroup();
}

int CheckFilterHasEmployees(CCommonFormView& view, CWorkersFilterDlg& strip, int* shop, int* brigade, int* profession,
                            const std::function<bool(int listIndex)>& shown)
{
    if (!strip.CheckFields())
        return 0;
    int s = 0, b = 0, p = 0;
    strip.ReadFields(&s, &b, &p);
    const int count = view.Document()->infoBase.employeeCount();
    bool anybody = false;
    for (int i = 0; i < count && !anybody; ++i)
        anybody = EmployeeMatchesFilter(i, s, b, p) != 0 && (!shown || shown(i));
    if (!anybody) {
        KalvorMessageBox(QStringLiteral("Сотрудников не обнаружено"), MB_OK | MB_ICONERROR, QString(), &view);
        if (QLineEdit* field = strip.Field(CWorkersFilterDlg::IdShop)) {
            field->selectAll();
            field->setFocus();
        }
        return 0;
    }
    *shop = s;
    *brigade = b;
    *profession = p;
    return 1;
}

namespace {

// The selection of the strip shown in the entry dialog, the dialog saving
// first where asked.
void ShowWorkersSelection(CCommonFormView& view, CWorkersFilterDlg& strip, const std::function<bool(int)>& shown,
                          bool saveFirst)
{
    int shop = 0, brigade = 0, profession = 0;
    CFormChildDlg* dlg = view.m_entryDlg;
    if (!dlg || !CheckFilterHasEmployees(view, strip, &shop, &brigade, &profession, shown) ||
        (saveFirst && !SaveBeforeSwitch(view)))
        return;
    dlg->SetSelection(shop, brigade, profession);
    view.EnableEntry(true);
}

} // namespace

QVBoxLayout* LayOutStrip(CCommonFormView& view, QWidget* strip)
{
    auto* layout = new QVBoxLayout(&view);
    view.m_strip = strip;
    layout->addWidget(strip);
    return layout;
}

void LayOutEntryBox(CCommonFormView& view, QVBoxLayout* layout, QGroupBox* box, CFormChildDlg* dialog,
                    Qt::Alignment boxAlignment)
{
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->setContentsMargins(10, 25, 10, 25);
    view.m_entryDlg = dialog;
    boxLayout->addWidget(dialog);
    layout->addWidget(box, 0, boxAlignment);
    layout->addStretch(1);
    box->show();
    dialog->show();
    view.m_strip->show();
}

QGroupBox* LayOutWorkersStripScreen(CCommonFormView& view, CWorkersFilterDlg* strip, CFormChildDlg* dialog,
                                    const QString& caption, Qt::Alignment boxAlignment)
{
    QVBoxLayout* layout = LayOutStrip(view, strip);
    auto* box = new QGroupBox(caption, &view);
    LayOutEntryBox(view, layout, box, dialog, boxAlignment);
    strip->Field(CWorkersFilterDlg::IdShop)->setFocus();
    return box;
}

int SelectTypedEmployee(CCommonFormView& view)
{
    int tabN = 0;
    if (!ReadTypedPersonnelNumber(view, &tabN))
        return -1;
    CKalvorDoc* doc = view.Document();
    doc->LastPersonnelNumber = quint32(tabN);
    const int index = doc->infoBase.FindEmployee(tabN);
    if (index < 0)
        RefusePersonnelNumber(view);
    return index;
}

void StepToListEntry(CCommonFormView& view, int step, const std::function<bool(int listIndex)>& wanted)
{
    if (RefuseWhileGroupOpen(view) || view.m_tabN == 0 || SayHeldRefusal(&view))
        return;
    if (view.m_entryDlg && !view.m_entryDlg->SaveRecord())
        return;
    const ib::CInfoBase& base = view.Document()->infoBase;
    const int index = base.FindEmployee(int(view.m_tabN));
    if (index < 0)
        return;
    for (int next = index + step; next >= 0 && next < base.employeeCount(); next += step) {
        if (!wanted || wanted(next)) {
            LoadEmployeeForView(view, next);
            return;
        }
    }
}

bool ShowStripPickList(CCommonFormView& view)
{
    auto* strip = qobject_cast<CWorkersFilterDlg*>(view.m_strip.data());
    if (!strip || !view.m_focusedWnd || !strip->isAncestorOf(view.m_focusedWnd))
        return false;
    strip->ShowFieldPickList();
    return true;
}

bool LeaveEntryScreen(CCommonFormView& view)
{
    CFormChildDlg* dlg = view.m_entryDlg;
    if (!dlg)
        return true;
    if (dlg->m_groupMode) {
        dlg->m_groupMode = false;
        view.CancelGroup();
        return true;
    }
    return SaveBeforeSwitch(view);
}

int TakeLastEmployeeRequest(CKalvorDoc& doc, int* request)
{
    if (doc.LastPersonnelNumber == 0 || doc.OpenWithLastEmployee == 0)
        return -1;
    if (request)
        *request = doc.OpenWithLastEmployee;
    doc.OpenWithLastEmployee = 0;
    return doc.infoBase.FindEmployee(int(doc.LastPersonnelNumber));
}

void OpenOnLastEmployee(CCommonFormView& view)
{
    const int index = TakeLastEmployeeRequest(*view.Document());
    if (index >= 0 && LoadEmployeeForView(view, index)) {
        view.EnableEntry(true);
        return;
    }
    view.EnableEntry(false);
    if (CTabelFilterDlg* strip = TabelStripOf(view))
        strip->Field(CTabelFilterDlg::IdTabN)->setFocus();
}

void ApplyWorkersSelection(CCommonFormView& view, CWorkersFilterDlg& strip, const std::function<bool(int)>& shown)
{
    ShowWorkersSelection(view, strip, shown, true);
}

void OpenOnWorkersStrip(CCommonFormView& view, CWorkersFilterDlg& strip, const std::function<bool(int)>& shown)
{
    CKalvorDoc* doc = view.Document();
    if (doc->OpenWithLastEmployee == 0)
        return;
    doc->OpenWithLastEmployee = 0;
    ShowWorkersSelection(view, strip, shown, false);
}

void StoreShowingRefusal(const std::function<void()>& store)
{
    WaitCursor wait;
    try {
        store();
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
    }
}
