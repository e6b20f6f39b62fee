#include "masterdata/ui/CWorkerUchkartExDDlg.h"

#include "masterdata/TypedFields.h"

#include "infobase/InfoBaseDb.h"
#include "masterdata/EmployeeCard.h"
#include "masterdata/TypedFields.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/NullableDateEdit.h"
#include "shell/ui/TypedInput.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace ib = kalvor::infobase;
namespace md = kalvor::masterdata;

namespace {

// Check boxes that show one bit of the record's flags word.
struct FlagBox {
    int id;
    const char* label;
    int column;
    int bit;
};
const FlagBox kFlagBoxes[] = {
    {1099, "Сохранять альтерантивный табель", 0, 8},
    {1062, "Сотрудник-военнослужащий", 0, 0},
    {1069, "Сотрудник-инностранец", 0, 9},
    {1080, "Считать СВ", 1, 12},
    {1071, "Вид на жительство", 1, 10},
    {1073, "Нерезидент", 1, 2},
    {1095, "Относится к обособленному подразделению", 1, 11},
};

constexpr int kStatusBit = 3;
constexpr int kAverageKindBit = 1;

// Pickers of packed dates of the record.
struct DatePicker {
    int id;
    const char* label;
    int column;
    ib::u16 ib::EmployeeHead::*member;
};
const DatePicker kDatePickers[] = {
    {1067, "Дата начала стажа", 0, &ib::EmployeeHead::officerDatStag},
    {1072, "Получение", 1, &ib::EmployeeHead::inostrDatVidGit},
    {1103, "Дата прибытия в страну", 1, &ib::EmployeeHead::inostrDatPr},
    {1079, "Дата отъезда из в страны", 1, &ib::EmployeeHead::inostrDatOt},
    {1082, "Дата начала", 0, &ib::EmployeeHead::imvichDat},
};

bool StoreBit(ib::u32& word, int bit, bool on)
{
    const ib::u32 value = on ? (word | (1u << bit)) : (word & ~(1u << bit));
    if (value == word)
        return false;
    word = value;
    return true;
}

// The number the field's kind read (the page's fields have refused any
// other text before anything is stored); 0 for an empty text.
int ReadInt(const QLineEdit* field)
{
    const auto* typed = qobject_cast<const CTypedEdit*>(field);
    return typed ? int(typed->UnitsOr(0)) : 0;
}

kalvor::FigureRule Rule(int id) { return kalvor::masterdata::CardFieldRule(1, id); }

} // namespace

CWorkerUchkartExDDlg::CWorkerUchkartExDDlg(CCommonFormView* view) : CWorkerUchKartPage(IDD, view) { BuildForm(); }

CWorkerUchkartExDDlg::~CWorkerUchkartExDDlg()
{
    for (QObject* child : children()) disconnect(child, nullptr, this, nullptr);
}

void CWorkerUchkartExDDlg::BuildForm()
{
    AddShown(1075, QStringLiteral("Работник"), kWholeLine);
    AddShown(1076, QStringLiteral("Табель N"), 1, 100);
    AddEdit(1016, QStringLiteral("Статус"), 0, Rule(1016), 60);
    AddEdit(1060, md::CardNumberLabel(1060), 1, Rule(1060), 60);
    AddEdit(1117, QStringLiteral("Исчисление среднего заработка"), 0, Rule(1117), 60);
    AddEdit(1074, md::CardNumberLabel(1074), 1, Rule(1074), 80);
    for (const FlagBox& box : kFlagBoxes) AddCheck(box.id, QString::fromUtf8(box.label), box.column);
    AddHeading(QStringLiteral("Военная служба"));
    AddPicker(1063, QStringLiteral("Стаж на дату"), 0);
    AddEdit(1068, QStringLiteral("Звание"), kWholeLine, Rule(1068));
    AddShown(1064, QStringLiteral("Лет"), 0, 60);
    AddShown(1065, QStringLiteral("Мес."), 1, 60);
    AddShown(1066, QStringLiteral("Дн."), 0, 60);
    for (const DatePicker& picker : kDatePickers)
        if (picker.id != 1082)
            AddPicker(picker.id, QString::fromUtf8(picker.label), picker.column);
    AddHeading(QStringLiteral("Вмененный доход"));
    AddCheck(1081, QStringLiteral("Сотрудник-вмененщик"), 0);
    static const char* const months[] = {"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                                         "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
    for (int m = 0; m < 12; ++m)
        AddEdit(kMonthIds[m], QString::fromUtf8(months[m]), m < 6 ? 0 : 1, Rule(kMonthIds[m]), 40)->setMaxLength(3);
    AddHeading(QStringLiteral("Имущественный вычет"));
    AddEdit(1096, QStringLiteral("Общая сумма"), 0, Rule(1096), 160);
    AddShown(1118, QStringLiteral("Текущий остаток"), 1, 160);
    AddPicker(1082, QStringLiteral("Дата начала"), 0);
    AddShown(1119, QStringLiteral("В отчетном году"), kWholeLine);
    AddHeading(QStringLiteral("Уведомление"));
    AddEdit(1032, QStringLiteral("Номер"), 0, Rule(1032));
    AddEdit(1097, QStringLiteral("Код выдавшего нал.органа"), 1, Rule(1097));
    AddPicker(1098, QStringLiteral("Дата выдачи"), 0);
    Form()->setRowStretch(Form()->rowCount(), 1);

    connect(Edit(1096), &QLineEdit::editingFinished, this, &CWorkerUchkartExDDlg::OnDeductionTotalKillFocus);
    for (int id : {1063, 1067})
        connect(Picker(id), &NullableDateEdit::dateChanged, this, [this, id] { OnDateChange(id); });
}

void CWorkerUchkartExDDlg::LoadRecord(quint32 slot)
{
    m_slot = slot;
    const ib::CInfoBase& base = Base();
    const bool shown = base.holdsSlot(int(slot));
    const ib::EmployeeHead head = shown ? base.current.head : ib::EmployeeHead{};
    const ib::EmployeeAttributes attr = shown ? base.attributesOf(slot) : ib::EmployeeAttributes{};
    Edit(1075)->setText(head.fio);
    Edit(1076)->setText(shown ? QString::number(PersonnelNumberOfSlot(slot)) : QString());
    Edit(1016)->setText(head.flag(kStatusBit) ? QStringLiteral("1") : QString());
    Edit(1117)->setText(head.flag(kAverageKindBit) ? QStringLiteral("1") : QString());
    Edit(1060)->setText(kalvor::FormatIntField(attr.razr));
    Edit(1074)->setText(kalvor::FormatIntField(head.inostrDnPrRF));
    for (const FlagBox& box : kFlagBoxes) Check(box.id)->setChecked(head.flag(box.bit));
    Edit(1068)->setText(head.officerTitle);
    Picker(1063)->SetDate(kalvor::Clock::today());
    for (const DatePicker& picker : kDatePickers) SetPickerFromPackedDate(Picker(picker.id), head.*picker.member);
    const bool monthsValid = head.vmenMarker == 123;
    Check(1081)->setChecked(monthsValid && (head.vmenWord & 1));
    for (int m = 0; m < 12; ++m)
        Edit(kMonthIds[m])->setText(monthsValid && (head.vmenWord >> (m + 1)) & 1 ? QStringLiteral("1") : QString());
    Edit(1032)->setText(head.imvichSprNom);
    Edit(1097)->setText(head.imvichSprKodNO);
    ParseDateText(head.imvichSprDat, Picker(1098));
    ShowDeduction();
    ShowServiceLength();
    m_modified = false;
}

void CWorkerUchkartExDDlg::ShowServiceLength()
{
    ib::u16 start = 0;
    GetDateFromPicker(Picker(1067), &start);
    const md::ServiceLength length = md::ServiceLengthOf(start, Picker(1063)->Date());
    Edit(1064)->setText(length.shown ? QString::number(length.years) : QString());
    Edit(1065)->setText(length.shown ? QString::number(length.months) : QString());
    Edit(1066)->setText(length.shown ? QString::number(length.days) : QString());
}

void CWorkerUchkartExDDlg::ShowDeduction()
{
    const ib::EmployeeHead& head = Base().current.head;
    const bool shown = m_slot != 0;
    Edit(1096)->setText(shown ? md::DeductionTotalText(head) : QString());
    Edit(1118)->setText(shown ? md::DeductionBalanceText(head) : QString());
    Edit(1119)->setText(shown ? md::DeductionYearText(head, Base().config.reportingYear()) : QString());
    SetPickerFromPackedDate(Picker(1082), shown ? head.imvichDat : 0);
}

void CWorkerUchkartExDDlg::OnDateChange(int id)
{
    if (id == 1063 || id == 1067)
        ShowServiceLength();
}

void CWorkerUchkartExDDlg::OnDeductionTotalKillFocus()
{
    if (m_slot == 0 || m_inDeductionQuestion)
        return;
    ib::EmployeeHead& head = Base().current.head;
    ib::u32 amount = 0;
    const QString refusal = md::ReadDeductionTotal(Edit(1096)->text(), &amount);
    if (!refusal.isEmpty()) {
        ShowDeduction();
        RefuseField(1096, refusal);
        return;
    }
    const ib::u32 old = md::Amount29(head.imvichBeg);
    if (amount == old) {
        ShowDeduction();
        return;
    }
    if (old != 0) {
        m_inDeductionQuestion = true;
        const int answer = KalvorMessageBox(QStringLiteral("Имущественный вычет уже задан !\n\nИзменить значение?"),
                                            MB_YESNO | MB_ICONQUESTION, QString(), this);
        m_inDeductionQuestion = false;
        if (answer != IDYES) {
            ShowDeduction();
            return;
        }
    }
    md::SetDeductionAmount(head, amount, kalvor::Clock::today());
    m_modified = true;
    ShowDeduction();
}

bool CWorkerUchkartExDDlg::StoreFlags(ib::EmployeeHead& head)
{
    bool changed = StoreBit(head.flags, kStatusBit, ReadInt(Edit(1016)) & 1);
    for (const FlagBox& box : kFlagBoxes) changed |= StoreBit(head.flags, box.bit, Check(box.id)->isChecked());
    changed |= StoreBit(head.flags, kAverageKindBit, ReadInt(Edit(1117)) & 1);
    changed |= kalvor::StoreTextIfChanged(Edit(1068)->text(), head.officerTitle, 121) != 0;
    for (const DatePicker& picker : kDatePickers)
        changed |= GetDateFromPicker(Picker(picker.id), &(head.*picker.member)) != 0;
    changed |= kalvor::StoreTextIfChanged(Edit(1032)->text(), head.imvichSprNom, 121) != 0;
    changed |= kalvor::StoreTextIfChanged(Edit(1097)->text(), head.imvichSprKodNO, 121) != 0;
    changed |= ParseDateToDate(&head.imvichSprDat, Picker(1098)) != 0;
    return changed;
}

bool CWorkerUchkartExDDlg::StoreNumbers(ib::EmployeeHead& head, bool* gradeChanged)
{
    int grade = 0, days = 0;
    for (const auto& [id, value] : {std::pair<int, int*>{1060, &grade}, std::pair<int, int*>{1074, &days}}) {
        const QString refusal = md::ReadCardNumber(id, Edit(id)->text(), value);
        if (!refusal.isEmpty()) {
            RefuseField(id, refusal);
            return false;
        }
    }
    ib::EmployeeAttributes& attr = Base().attributesOf(m_slot);
    *gradeChanged = attr.razr != grade || m_attributesPending;
    attr.razr = ib::u16(grade);
    if (head.inostrDnPrRF != days) {
        head.inostrDnPrRF = ib::u16(days);
        m_modified = true;
    }
    m_modified |= *gradeChanged;
    return true;
}

bool CWorkerUchkartExDDlg::StoreImputedIncome(ib::EmployeeHead& head)
{
    ib::u16 word = Check(1081)->isChecked() ? 1 : 0;
    for (int m = 0; m < 12; ++m) {
        if (ReadInt(Edit(kMonthIds[m])) == 1)
            word = ib::u16(word | (1u << (m + 1)));
    }
    // A record whose months were never set shows none; left so, it stays
    // unset, and a visit of the page marks nothing.
    if (head.vmenMarker != 123 && word == 0)
        return false;
    bool changed = head.vmenMarker != 123;
    head.vmenMarker = 123;
    changed |= head.vmenWord != word;
    head.vmenWord = word;
    return changed;
}

bool CWorkerUchkartExDDlg::StoreDeduction(ib::EmployeeHead& head)
{
    ib::u32 amount = 0;
    const QString refusal = md::ReadDeductionTotal(Edit(1096)->text(), &amount);
    if (!refusal.isEmpty()) {
        RefuseField(1096, refusal);
        return false;
    }
    if (amount != md::Amount29(head.imvichBeg)) {
        head.imvichBeg = (head.imvichBeg & ~md::kMaxDeductionKopecks) | amount;
        m_modified = true;
    }
    return true;
}

int CWorkerUchkartExDDlg::SaveRecord()
{
    if (m_slot == 0)
        return 1;
    if (!CommitFields())
        return 0;
    ib::CInfoBase& base = Base();
    ib::EmployeeHead& head = base.current.head;
    bool gradeChanged = false;
    if (!StoreNumbers(head, &gradeChanged) || !StoreDeduction(head))
        return 0;
    // A grade that the base refused stays pending with the rest.
    m_attributesPending = gradeChanged;
    m_modified |= StoreFlags(head);
    m_modified |= StoreImputedIncome(head);
    if (m_modified && !SaveInBase([&] {
            ib::SaveEmployeeFull(base, int(m_slot));
            if (gradeChanged)
                ib::SaveComp(base);
        }))
        return 0;
    m_modified = false;
    m_attributesPending = false;
    CardSaved();
    return 1;
}
