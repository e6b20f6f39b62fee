#include "masterdata/ui/CWorkerUchKartGDDlg.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "shell/ui/BookChecks.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/NullableDateEdit.h"
#include "values/Values.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <iterator>

namespace ib = kalvor::infobase;
using kalvor::masterdata::MainDataFields;
using kalvor::masterdata::MainDataTarget;

namespace {

struct TextField {
    int id;
    const char* label;
    int column;
    QString MainDataFields::*member;
};

struct DateField {
    int id;
    const char* label;
    int column;
    ib::u16 MainDataFields::*member;
    bool monthOnly;
};

// The fields in the page's order, left column (0) and right column (1); the
// name takes the whole line, so that a long one shows whole.
const TextField kTextFields[] = {
    {1077, "Фамилия И.О.", CWorkerUchKartPage::kWholeLine, &MainDataFields::fio},
    {1016, "Статус", 0, &MainDataFields::status},
    {1018, "Профессия", 1, &MainDataFields::profession},
    {1000, "График работы", 0, &MainDataFields::schedule},
    {1019, "Бригада", 1, &MainDataFields::brigade},
    {1001, "Цех / отдел", 0, &MainDataFields::shop},
    {1020, "Таблица налогообложения", 1, &MainDataFields::taxTable},
    {1002, "Категория работника", 0, &MainDataFields::category},
    {1023, "Таблица профвзносов", 1, &MainDataFields::unionTable},
    {1003, "Система оплаты", 0, &MainDataFields::paySystem},
    {1024, "Ставка", 1, &MainDataFields::rate},
    {1004, "Оклад", 0, &MainDataFields::salary},
    {1025, "Плановый аванс", 1, &MainDataFields::advance},
    {1005, "Тариф повременщика", 0, &MainDataFields::timeTariff},
    {1026, "Персональная надбавка", 1, &MainDataFields::allowance},
    {1006, "Тариф сдельщика", 0, &MainDataFields::pieceTariff},
};

const DateField kDateFields[] = {
    {1007, "Дата рождения *", 0, &MainDataFields::datR, false},
    {1021, "Начало северного стажа", 1, &MainDataFields::datSevStag, false},
    {1008, "1я дата приема на работу", 0, &MainDataFields::datPr1, false},
    {1027, "2я дата приема на работу", 1, &MainDataFields::datPr2, false},
    {1009, "1я дата увольнения", 0, &MainDataFields::datUv1, false},
    {1028, "2я дата увольнения", 1, &MainDataFields::datUv2, false},
};

const DateField kMonthFields[] = {
    {1017, "Начало 1го периода инвал-ти", 0, &MainDataFields::invDat1Begin, true},
    {1029, "Начало 2го периода инвал-ти", 1, &MainDataFields::invDat2Begin, true},
    {1022, "Оконч. 1го периода инвал-ти", 0, &MainDataFields::invDat1End, true},
    {1030, "Оконч. 2го периода инвал-ти", 1, &MainDataFields::invDat2End, true},
};

// Cost-code fields: control, label, column, index of the code in the record.
struct CodeField {
    int id;
    const char* label;
    int column;
    int code;
};
const CodeField kCodeFields[] = {
    {1010, "Основной ШПЗ", 0, 0},      {1014, "1-й дополнит. ШПЗ", 1, 1}, {1011, "2-й дополнит. ШПЗ", 0, 2},
    {1013, "3-й дополнит. ШПЗ", 1, 3}, {1012, "4-й дополнит. ШПЗ", 0, 4}, {1015, "5-й дополнит. ШПЗ", 1, 5},
};

bool IsCodedField(int id)
{
    return std::find(std::begin(kalvor::masterdata::kCodedFields), std::end(kalvor::masterdata::kCodedFields), id) !=
           std::end(kalvor::masterdata::kCodedFields);
}

kalvor::FigureRule Rule(int id) { return kalvor::masterdata::CardFieldRule(0, id); }

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
    for (const TextField& field : kTextFields) {
        const QString label = QString::fromUtf8(field.label);
        if (!IsCodedField(field.id)) {
            AddEdit(field.id, label, field.column, Rule(field.id), field.id == 1077 ? 0 : 160, {},
                    kalvor::masterdata::CardFieldBook(Books(), field.id));
            continue;
        }
        QLineEdit* edit = AddCodedEdit(field.id, label, field.column, Rule(field.id), 50);
        SetPossibleNames(field.id, kalvor::masterdata::CodedFieldNames(field.id, *View()->Document()));
        connect(edit, &QLineEdit::textChanged, this, [this, id = field.id] { ShowValueName(id); });
    }
    AddHeading(QStringLiteral("Даты (* нужны для расчета зарплаты)"));
    for (const DateField& field : kDateFields) AddPicker(field.id, QString::fromUtf8(field.label), field.column);
    AddHeading(QStringLiteral("Шифры производственных затрат"));
    for (const CodeField& field : kCodeFields)
        AddEdit(field.id, QString::fromUtf8(field.label), field.column, Rule(field.id), 160)->setMaxLength(12);
    AddHeading(QStringLiteral("Инвалидность"));
    for (const DateField& field : kMonthFields) AddPicker(field.id, QString::fromUtf8(field.label), field.column, true);
    Form()->setRowStretch(Form()->rowCount(), 1);
}

void CWorkerUchKartGDDlg::ShowValueName(int id)
{
    QLabel* name = ValueName(id);
    name->setText(kalvor::masterdata::CodedFieldValueName(id, Edit(id)->text(), *View()->Document()));
    name->setToolTip(name->text());
}

void CWorkerUchKartGDDlg::ShowFields(const MainDataFields& fields)
{
    for (const TextField& field : kTextFields) Edit(field.id)->setText(fields.*field.member);
    // An unchanged text gives no signal: every name is shown anew.
    for (const int id : kalvor::masterdata::kCodedFields) ShowValueName(id);
    for (const DateField& field : kDateFields) SetPickerFromPackedDate(Picker(field.id), fields.*field.member);
    for (const DateField& field : kMonthFields) SetPickerFromMonthYear(Picker(field.id), fields.*field.member);
    for (const CodeField& field : kCodeFields) Edit(field.id)->setText(fields.costCodes[std::size_t(field.code)]);
}

MainDataFields CWorkerUchKartGDDlg::ReadFields() const
{
    MainDataFields fields;
    for (const TextField& field : kTextFields) fields.*field.member = Edit(field.id)->text();
    for (const DateField& field : kDateFields) fields.*field.member = PackedValueOf(Picker(field.id), false);
    for (const DateField& field : kMonthFields) fields.*field.member = PackedValueOf(Picker(field.id), true);
    for (const CodeField& field : kCodeFields) fields.costCodes[std::size_t(field.code)] = Edit(field.id)->text();
    return fields;
}

bool CWorkerUchKartGDDlg::CheckFields(const MainDataFields& fields)
{
    QString refusal;
    if (const int id = kalvor::masterdata::CheckMainData(fields, Books(), &refusal); id != 0) {
        RefuseField(id, refusal);
        return false;
    }
    return true;
}

kalvor::masterdata::CardBooks CWorkerUchKartGDDlg::Books() const
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
    ShowFields(kalvor::masterdata::MainDataOf(base.current.head, base.attributesOf(slot), base.shopOf(slot)));
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
    if (kalvor::masterdata::StoreMainData(fields, TargetOf(int(m_slot)), false))
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
        if (kalvor::masterdata::StoreMainData(fields, TargetOf(slot), true))
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
