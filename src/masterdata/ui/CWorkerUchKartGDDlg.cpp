#include "masterdata/ui/CWorkerUchKartGDDlg.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "shell/ui/BookChecks.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/NullableDateEdit.h"
#include "shell/ui/TypedInput.h"
#include "values/Values.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <iterator>

namespace ib = kalvor::infobase;
namespace md = kalvor::masterdata;
namespace kept = md::kept;
using md::MainDataFields;
using md::MainDataTarget;

namespace {

static_assert(md::kCardWholeLine == CWorkerUchKartPage::kWholeLine);

bool IsCodedField(int id)
{
    return std::find(std::begin(md::kCodedFields), std::end(md::kCodedFields), id) != std::end(md::kCodedFields);
}

// The book, which besides holds the number `stored` gives.
kalvor::BookCheck KeepingStored(kalvor::BookCheck book, std::function<long long()> stored)
{
    book.holds = [holds = std::move(book.holds), stored = std::move(stored)](long long number) {
        return number == stored() || holds(number);
    };
    return book;
}

ib::u16 PackedValueOf(const NullableDateEdit* picker, bool monthOnly)
{
    ib::u16 value = 0;
    if (monthOnly)
        GetDateTimeFromPicker(picker, &value);
    else
        GetDateFromPicker(picker, &value);
    return value;
}

} // namespace

CWorkerUchKartGDDlg::CWorkerUchKartGDDlg(CCommonFormView* view) : CWorkerUchKartPage(IDD, view)
{
    BuildForm();
    ShowFields(MainDataFields{});
}

void CWorkerUchKartGDDlg::BuildForm()
{
    for (const md::MainDataField& field : md::kMainDataFields) {
        if (field.heading)
            AddHeading(QString::fromUtf8(field.heading));
        AddField(field);
    }
    Form()->setRowStretch(Form()->rowCount(), 1);
}

void CWorkerUchKartGDDlg::AddField(const md::MainDataField& field)
{
    const QString label = QString::fromUtf8(field.label);
    if (const auto* date = std::get_if<kept::Date>(&field.place)) {
        AddPicker(field.id, label, field.column, date->monthOnly);
    } else if (std::holds_alternative<kept::CostCode>(field.place)) {
        AddEdit(field.id, label, field.column, field.rule, 160)->setMaxLength(12);
    } else if (IsCodedField(field.id)) {
        QLineEdit* edit = AddCodedEdit(field.id, label, field.column, field.rule, 50);
        SetPossibleNames(field.id, md::CodedFieldNames(field.id, *View()->Document()));
        connect(edit, &QLineEdit::textChanged, this, [this, id = field.id] { ShowValueName(id); });
    } else {
        QLineEdit* edit = AddEdit(field.id, label, field.column, field.rule, field.column == kWholeLine ? 0 : 160, {},
                                  md::CardFieldBook(Books(), field.id));
        if (field.id == md::kPlannedAdvanceField)
            connect(edit, &QLineEdit::editingFinished, this, &CWorkerUchKartGDDlg::AskAboutAdvance);
    }
}

void CWorkerUchKartGDDlg::AskAboutAdvance()
{
    auto* edit = qobject_cast<CTypedEdit*>(Edit(md::kPlannedAdvanceField));
    if (m_groupMode || !edit || edit->text() == m_advanceTaken || !edit->Reading().read)
        return;
    const QString question = md::PlannedAdvanceQuestion(*View()->Document(), ReadFields());
    if (!question.isEmpty() && KalvorMessageBox(question, MB_YESNO | MB_ICONQUESTION, QString(), this) != IDYES) {
        // Not taken: the field shows the advance it showed before.
        edit->setText(m_advanceTaken);
        return;
    }
    m_advanceTaken = edit->text();
}

void CWorkerUchKartGDDlg::ShowValueName(int id)
{
    QLabel* name = ValueName(id);
    name->setText(md::CodedFieldValueName(id, Edit(id)->text(), *View()->Document()));
    name->setToolTip(name->text());
}

void CWorkerUchKartGDDlg::ShowFields(const MainDataFields& fields)
{
    for (const md::MainDataField& field : md::kMainDataFields) {
        if (const QString* text = md::TypedText(fields, field)) {
            Edit(field.id)->setText(*text);
            continue;
        }
        const kept::Date& date = std::get<kept::Date>(field.place);
        if (date.monthOnly)
            SetPickerFromMonthYear(Picker(field.id), fields.*date.picked);
        else
            SetPickerFromPackedDate(Picker(field.id), fields.*date.picked);
    }
    m_advanceTaken = fields.advance;
    // An unchanged text gives no signal: every name is shown anew.
    for (const int id : md::kCodedFields) ShowValueName(id);
}

MainDataFields CWorkerUchKartGDDlg::ReadFields() const
{
    MainDataFields fields;
    for (const md::MainDataField& field : md::kMainDataFields) {
        if (QString* text = md::TypedText(fields, field)) {
            *text = Edit(field.id)->text();
        } else {
            const auto& date = std::get<kept::Date>(field.place);
            fields.*date.picked = PackedValueOf(Picker(field.id), date.monthOnly);
        }
    }
    return fields;
}

bool CWorkerUchKartGDDlg::CheckFields(const MainDataFields& fields)
{
    QString refusal;
    if (const int id = md::CheckMainData(fields, Books(), &refusal); id != 0) {
        RefuseField(id, refusal);
        return false;
    }
    return true;
}

md::CardBooks CWorkerUchKartGDDlg::Books() const
{
    const CKalvorDoc& doc = *View()->Document();
    const auto shown = [this](auto value) {
        return [this, value]() -> long long {
            const ib::CInfoBase& base = Base();
            return !m_groupMode && base.holdsSlot(int(m_slot)) ? value(base, int(m_slot)) : -1;
        };
    };
    return {KeepingStored(ShopBook(doc.infoBase),
                          shown([](const ib::CInfoBase& base, int slot) { return base.shopOf(slot); })),
            KeepingStored(ProfessionBook(doc.refFiles),
                          shown([](const ib::CInfoBase& base, int slot) { return base.attributesOf(slot).prof; }))};
}

MainDataTarget CWorkerUchKartGDDlg::TargetOf(int slot)
{
    ib::CInfoBase& base = Base();
    return {base.current.head, base.attributesOf(slot), base.shopOf(slot), base.shortNameOf(slot)};
}

void CWorkerUchKartGDDlg::LoadRecord(quint32 slot)
{
    m_slot = slot;
    ib::CInfoBase& base = Base();
    if (!base.holdsSlot(int(slot))) {
        ShowFields(MainDataFields{});
        return;
    }
    ShowFields(md::MainDataOf(base.current.head, base.attributesOf(slot), base.shopOf(slot)));
}

bool CWorkerUchKartGDDlg::SaveEmployee(int slot)
{
    ib::CInfoBase& base = Base();
    return SaveInBase([&] {
        ib::SaveEmployeeFull(base, slot);
        ib::SaveFio(base);
        ib::SaveComp(base);
    });
}

int CWorkerUchKartGDDlg::SaveRecord()
{
    if (m_slot == 0 || m_groupMode)
        return 1;
    if (!CommitFields())
        return 0;
    const MainDataFields fields = ReadFields();
    if (!CheckFields(fields))
        return 0;
    if (md::StoreMainData(fields, TargetOf(int(m_slot)), false))
        m_modified = true;
    // A save the base refused stays pending, so that the next try saves again.
    if (m_modified && !SaveEmployee(int(m_slot)))
        return 0;
    m_modified = false;
    CardSaved();
    return 1;
}

void CWorkerUchKartGDDlg::BeginGroup()
{
    m_groupMode = true;
    ShowFields(MainDataFields{});
}

int CWorkerUchKartGDDlg::GroupAppend()
{
    if (!CommitFields())
        return 0;
    const MainDataFields fields = ReadFields();
    if (!CheckFields(fields))
        return 0;
    ib::CInfoBase& base = Base();
    for (int i = 0; i < base.employeeCount(); ++i) {
        const ib::EmployeeListEntry entry = base.list[std::size_t(i)];
        if (!entry.marked())
            continue;
        const int slot = entry.slot;
        try {
            // The dated archive too: the save below writes it back.
            ib::LoadEmployee(base, slot);
            ib::LoadWarDat(base, slot, 0, 0, 0);
        } catch (const kalvor::db::DbError& error) {
            ShowComError(error);
            continue;
        }
        if (md::StoreMainData(fields, TargetOf(slot), true))
            SaveEmployee(slot);
    }
    m_slot = 0;
    m_groupMode = false;
    return 1;
}

void CWorkerUchKartGDDlg::OnOK()
{
    if (!m_groupMode)
        return;
    if (!GroupAppend())
        return;
    View()->CancelGroup();
}

void CWorkerUchKartGDDlg::OnCancel()
{
    if (m_groupMode) {
        m_groupMode = false;
        View()->CancelGroup();
        return;
    }
    CWorkerUchKartPage::OnCancel();
}
