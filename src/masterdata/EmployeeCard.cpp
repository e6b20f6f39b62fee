#include "masterdata/EmployeeCard.h"

#include "infobase/BaseEmployees.h"
#include "infobase/InfoBaseDb.h"
#include "infobase/KalvorDocData.h"
#include "payroll/IncomeTax.h"
#include "payroll/MonthEarnings.h"
#include "values/TypedFigure.h"
#include "values/Values.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <variant>

namespace kalvor::masterdata {

namespace {

// ------------------------------------------------------------------ number fields

const CardNumberField kNumberFields[] = {
    {1060, "Профессиональный разряд", 31},
    {1074, "Количество дней пребывания на территории РФ", 65535},
    {1055, "Вид договора", 3},
    {1057, "Группа инвал-сти", 3},
    {1466, "Дети", 65535},
};

const char* const kNoSuchValue = "нет такого значения";

// Any whole number an int holds.
constexpr FigureRule kAnyInt = WholeFigure(INT_MIN, INT_MAX);

// A whole number read in full (ReadFigure); a text that does not read is 0,
// which the card's checks refuse before anything is stored.
int ReadNumber(const QString& text)
{
    const FigureReading reading = ReadFigure(QString(), kAnyInt, text);
    return reading.read ? int(reading.units) : 0;
}

// A number field named by its label read in full: its value (0 for a text
// that does not read), or the refusal of a text that is no whole number or
// of a value outside the range of the rule.
QString ReadNumberField(const QString& label, const FigureRule& range, const QString& text, int* value)
{
    const FigureReading reading = ReadFigure(label, kAnyInt, text);
    *value = reading.read ? int(reading.units) : 0;
    if (!reading.read)
        return reading.refusal;
    if (*value >= range.min && *value <= range.max)
        return QString();
    return QStringLiteral("Недопустимое значение поля \"%1\": %2.\nДопустимы числа от %3 до %4.")
        .arg(label)
        .arg(*value)
        .arg(int(range.min))
        .arg(int(range.max));
}

QString TaxTableName(const ib::KalvorDocData& doc, int table)
{
    if (!ib::CRefFiles::holdsTaxTable(table))
        return {};
    return doc.refFiles.taxTableAt(table).name.trimmed();
}

// A value into a field of its own width when it differs; true when it did.
template <class Field, class Value>
bool StoreIfDifferent(Field& field, Value value)
{
    if (field == static_cast<Field>(value))
        return false;
    field = static_cast<Field>(value);
    return true;
}

// ------------------------------------------------------------------ coded fields

const PickPair kStatusPairs[] = {{"Продолжает работать", " "},
                                 {"Увольняется в текущем месяце", "1"},
                                 {"(значение аналогично пункту \"1\")", "2"},
                                 {"Принят на работу в текущем месяце", "3"},
                                 {"Уволен и уже не работает", "4"},
                                 {"Зарплата д.б. выдана в след. месяце", "5"},
                                 {nullptr, nullptr}};
const PickPair kCategoryPairs[] = {
    {"Руководство", "1"},     {"Специалисты", "2"},     {"Служащие", "3"},        {"Рабочие", "4"},
    {"М О П", "5"},           {"П С О", "6"},           {"Несп. сост.", "7"},     {"Учащиеся", "8"},
    {"Совместители", "9"},    {"10-я категория", "10"}, {"11-я категория", "11"}, {"12-я категория", "12"},
    {"13-я категория", "13"}, {"14-я категория", "14"}, {"15-я категория", "15"}, {nullptr, nullptr}};
const PickPair kPaySystemPairs[] = {
    {"Сдельщик", "1"}, {"Тарифник", "2"}, {"Тарифник с окладом", "3"}, {"Окладник", "4"}, {nullptr, nullptr}};

// ------------------------------------------------------------------ main data

// A tariff: roubles and thousandths, up to what its packed form keeps.
constexpr FigureRule kTariffRule = DecimalFigure(3, 0, PackedFixed3::kMaxRoubles + 0.999);
// A cost code: twelve digits.
constexpr FigureRule kCostCodeRule = WholeFigure(0, double(kPacked12DigitsMax));

using Typed = MainDataFields;
using Head = ib::EmployeeHead;
using Source = const MainDataSource&;
using Target = const MainDataTarget&;

// The fields of the main-data page, left (0) and right (1) column taking
// turns; the name takes the whole line, so that a long one shows whole.
const MainDataField kFields[] = {
    {1077, "Фамилия И.О.", kCardWholeLine, TextFigure(kCardTextLength), kept::Name{&Typed::fio}},
    {kStatusField, "Статус", 0, WholeFigure(0, 7),
     kept::Number{&Typed::status, [](Source s) { return int(s.attr.priznUv); },
                  [](Target t, int v) { t.attr.priznUv = u16(v); }}},
    {kCardProfessionField, "Профессия", 1, WholeFigure(0, 127),
     kept::Number{&Typed::profession, [](Source s) { return int(s.attr.prof); },
                  [](Target t, int v) { t.attr.prof = u16(v); }}},
    {kScheduleField, "График работы", 0, WholeFigure(0, 20),
     kept::Number{&Typed::schedule, [](Source s) { return int(s.attr.graph); },
                  [](Target t, int v) { t.attr.graph = u8(v); }}},
    {1019, "Бригада", 1, WholeFigure(0, 99),
     kept::Number{&Typed::brigade, [](Source s) { return int(s.attr.brig); },
                  [](Target t, int v) { t.attr.brig = ib::i8(v); }}},
    {kCardShopField, "Цех / отдел", 0, WholeFigure(0, 255),
     kept::Number{&Typed::shop, [](Source s) { return s.shop; }, [](Target t, int v) { t.shop = u8(v); }}},
    {kTaxTableField, "Таблица налогообложения", 1, WholeFigure(0, 20),
     kept::Number{&Typed::taxTable, [](Source s) { return int(s.head.tabPodoh); },
                  [](Target t, int v) { t.head.tabPodoh = ib::i8(v); }}},
    {kCategoryField, "Категория работника", 0, WholeFigure(0, 15),
     kept::Number{&Typed::category, [](Source s) { return int(s.attr.kateg); },
                  [](Target t, int v) { t.attr.kateg = u16(v); }}},
    {1023, "Таблица профвзносов", 1, WholeFigure(0, 20),
     kept::Number{&Typed::unionTable, [](Source s) { return int(s.attr.tabProf); },
                  [](Target t, int v) { t.attr.tabProf = u16(v); }}},
    {kPaySystemField, "Система оплаты", 0, WholeFigure(0, 7),
     kept::Number{&Typed::paySystem, [](Source s) { return int(s.attr.sistOpl); },
                  [](Target t, int v) { t.attr.sistOpl = u8(v); }}},
    // The part of a full rate the employee works, typed as a fraction of it
    // ("1.00" a full rate, "0.50" half) and kept in hundredths, a percent of
    // the full rate: the headcount and the sick-leave minimum count a
    // part-timer by it, and no employee counts for more than one full rate.
    {1024, "Ставка", 1, ShareFigure(2, 1), kept::Units{&Typed::rate, &Head::stavka}},
    {1004, "Оклад", 0, AmountFigure(), kept::Units{&Typed::salary, &Head::oklad}},
    {kPlannedAdvanceField, "Плановый аванс", 1, AmountFigure(), kept::Units{&Typed::advance, &Head::avans}},
    {1005, "Тариф повременщика", 0, kTariffRule, kept::Tariff{&Typed::timeTariff, &Head::tarifVrem}},
    {1026, "Персональная надбавка", 1, AmountFigure(), kept::Units{&Typed::allowance, &Head::nadbav}},
    {1006, "Тариф сдельщика", 0, kTariffRule, kept::Tariff{&Typed::pieceTariff, &Head::tarifSdel}},
    {1007,
     "Дата рождения *",
     0,
     {},
     kept::Date{&Typed::datR, &Head::datR, false},
     "Даты (* нужны для расчета зарплаты)"},
    {1021, "Начало северного стажа", 1, {}, kept::Date{&Typed::datSevStag, &Head::datSevStag, false}},
    {1008, "1я дата приема на работу", 0, {}, kept::Date{&Typed::datPr1, &Head::datPr1, false}},
    {1027, "2я дата приема на работу", 1, {}, kept::Date{&Typed::datPr2, &Head::datPr2, false}},
    {1009, "1я дата увольнения", 0, {}, kept::Date{&Typed::datUv1, &Head::datUv1, false}},
    {1028, "2я дата увольнения", 1, {}, kept::Date{&Typed::datUv2, &Head::datUv2, false}},
    {1010, "Основной ШПЗ", 0, kCostCodeRule, kept::CostCode{0}, "Шифры производственных затрат"},
    {1014, "1-й дополнит. ШПЗ", 1, kCostCodeRule, kept::CostCode{1}},
    {1011, "2-й дополнит. ШПЗ", 0, kCostCodeRule, kept::CostCode{2}},
    {1013, "3-й дополнит. ШПЗ", 1, kCostCodeRule, kept::CostCode{3}},
    {1012, "4-й дополнит. ШПЗ", 0, kCostCodeRule, kept::CostCode{4}},
    {1015, "5-й дополнит. ШПЗ", 1, kCostCodeRule, kept::CostCode{5}},
    {1017,
     "Начало 1го периода инвал-ти",
     0,
     {},
     kept::Date{&Typed::invDat1Begin, &Head::invDat1Begin, true},
     "Инвалидность"},
    {1029, "Начало 2го периода инвал-ти", 1, {}, kept::Date{&Typed::invDat2Begin, &Head::invDat2Begin, true}},
    {1022, "Оконч. 1го периода инвал-ти", 0, {}, kept::Date{&Typed::invDat1End, &Head::invDat1End, true}},
    {1030, "Оконч. 2го периода инвал-ти", 1, {}, kept::Date{&Typed::invDat2End, &Head::invDat2End, true}},
};

// Visits a place with one handler for each of its kinds.
template <class... Handlers>
struct Each : Handlers... {
    using Handlers::operator()...;
};

const MainDataField* MainDataFieldOf(int id)
{
    for (const MainDataField& field : kFields)
        if (field.id == id)
            return &field;
    return nullptr;
}

// A typed field read by its rule, in units of its last place; nothing when
// the text is refused (the stored value stays) or, in a group, when it is
// empty or 0.
std::optional<double> TypedUnits(const MainDataField& field, const QString& text, bool filledOnly)
{
    const FigureReading reading = ReadFigure(QString(), field.rule, text);
    if (!reading.read || (filledOnly && reading.units == 0))
        return std::nullopt;
    return reading.units;
}

// The refusal of what is typed into a field by its rule; a number past its
// range is refused before its book is asked.
QString TypedRefusal(const MainDataField& field, const QString& text, const CardBooks& books)
{
    const QString label = QString::fromUtf8(field.label);
    if (std::holds_alternative<kept::Number>(field.place)) {
        int value = 0;
        if (QString refusal = ReadNumberField(label, field.rule, text, &value); !refusal.isEmpty())
            return refusal;
    }
    return ReadFigure(label, field.rule, CardFieldBook(books, field.id), text).refusal;
}

// The name: in a group only the short name follows it; else a changed name
// is stored and rebuilds the short name.
bool StoreName(const QString& fio, Target t, bool filledOnly)
{
    if (filledOnly)
        return !fio.trimmed().isEmpty() && StoreIfDifferent(t.shortName, ShortNameOfFullName(fio));
    if (!StoreTextIfChanged(fio, t.head.fio, kCardTextLength + 1))
        return false;
    t.shortName = ShortNameOfFullName(t.head.fio);
    return true;
}

// A tariff read as thousandths of a rouble.
bool StoreTariff(double thousandths, ib::Tariff3& tariff)
{
    const ib::Tariff3 before = tariff;
    tariff.rub = u16(thousandths / 1000);
    tariff.thou = u16(std::int64_t(thousandths) % 1000);
    return tariff.rub != before.rub || tariff.thou != before.thou;
}

// A typed field's value into the employee when it differs; true when it did.
bool StoreTyped(const MainDataField& field, const QString& text, Target t, bool filledOnly)
{
    const std::optional<double> units = TypedUnits(field, text, filledOnly);
    if (!units)
        return false;
    return std::visit(Each{[&](const kept::Number& number) {
                               const int value = int(*units);
                               if (value == number.read({t.head, t.attr, t.shop}))
                                   return false;
                               number.write(t, value);
                               return true;
                           },
                           [&](const kept::Units& money) { return StoreIfDifferent(t.head.*money.field, *units); },
                           [&](const kept::Tariff& tariff) { return StoreTariff(*units, t.head.*tariff.field); },
                           [&](const kept::CostCode& cost) {
                               std::array<u16, 3>& code = t.head.spz[cost.code];
                               const std::array<u16, 3> before = code;
                               SetPacked12Digits(std::uint64_t(*units), code[0], code[1], code[2]);
                               return code != before;
                           },
                           [](const auto&) { return false; }},
                      field.place);
}

// A field's value into the employee; true when it changed.
bool StoreField(const MainDataField& field, const MainDataFields& f, Target t, bool filledOnly)
{
    if (const auto* name = std::get_if<kept::Name>(&field.place))
        return StoreName(f.*name->typed, t, filledOnly);
    if (const auto* date = std::get_if<kept::Date>(&field.place)) {
        const u16 value = f.*date->picked;
        return !(filledOnly && value == 0) && StoreIfDifferent(t.head.*date->field, value);
    }
    return StoreTyped(field, *TypedText(f, field), t, filledOnly);
}

// The text an employee's value shows in a typed field.
QString ShownText(const MainDataField& field, Source s)
{
    return std::visit(Each{[&](const kept::Name&) { return s.head.fio; },
                           [&](const kept::Number& number) { return FormatIntField(number.read(s)); },
                           [&](const kept::Units& money) { return FormatMoney(s.head.*money.field); },
                           [&](const kept::Tariff& tariff) {
                               const ib::Tariff3& t = s.head.*tariff.field;
                               return FormatPackedFixed3(PackedFixed3::make(t.rub, t.thou));
                           },
                           [&](const kept::CostCode& cost) {
                               const std::array<u16, 3>& code = s.head.spz[cost.code];
                               return FormatPacked12Digits(code[0], code[1], code[2]);
                           },
                           [](const kept::Date&) { return QString(); }},
                      field.place);
}

// The text typed into the field (of the page's values, or of a const view of
// them); null for a picked date.
template <class Fields>
auto* TextOf(Fields& fields, const MainDataField& field)
{
    using Text = decltype(&fields.fio);
    return std::visit(Each{[](const kept::Date&) -> Text { return nullptr; },
                           [&](const kept::CostCode& cost) -> Text { return &fields.costCodes[cost.code]; },
                           [&](const auto& typed) -> Text { return &(fields.*typed.typed); }},
                      field.place);
}

} // namespace

const std::span<const MainDataField> kMainDataFields{kFields};

// ------------------------------------------------------------------ number fields

const CardNumberField* CardNumberRule(int id)
{
    for (const CardNumberField& field : kNumberFields)
        if (field.id == id)
            return &field;
    return nullptr;
}

QString CardNumberLabel(int id)
{
    const CardNumberField* rule = CardNumberRule(id);
    return QString::fromUtf8(rule ? rule->label : "");
}

QString ReadCardNumber(int id, const QString& text, int* value)
{
    const CardNumberField* rule = CardNumberRule(id);
    return ReadNumberField(CardNumberLabel(id), rule ? WholeFigure(0, rule->maximum) : kAnyInt, text, value);
}

BookCheck CardFieldBook(const CardBooks& books, int id)
{
    switch (id) {
    case kCardShopField: return books.shop;
    case kCardProfessionField: return books.profession;
    default: return {};
    }
}

FigureRule CardFieldRule(int page, int id)
{
    constexpr int kImputedIncomeMonths[] = {1083, 1084, 1085, 1086, 1089, 1088, 1087, 1090, 1091, 1092, 1093, 1094};
    const auto among = [id](const auto& ids) { return std::find(std::begin(ids), std::end(ids), id) != std::end(ids); };
    if (page == 0)
        if (const MainDataField* field = MainDataFieldOf(id))
            return field->rule;
    if (page == 1 && (id == 1016 || id == 1117 || among(kImputedIncomeMonths)))
        return WholeFigure(0, 1); // a mark: 1 or nothing
    if (page == 1 && id == kDeductionTotalField)
        return AmountFigure(kMaxDeductionKopecks / 100.0); // 29 bits of kopecks
    if (page != 0)
        if (const CardNumberField* number = CardNumberRule(id))
            return WholeFigure(0, number->maximum);
    return TextFigure(page == 2 && id == kCardAddressField ? kCardAddressLength : kCardTextLength);
}

// ------------------------------------------------------------------ main data

const QString* TypedText(const MainDataFields& fields, const MainDataField& field) { return TextOf(fields, field); }

QString* TypedText(MainDataFields& fields, const MainDataField& field) { return TextOf(fields, field); }

MainDataFields MainDataOf(const ib::EmployeeHead& h, const ib::EmployeeAttributes& a, int shop)
{
    const MainDataSource source{h, a, shop};
    MainDataFields f;
    for (const MainDataField& field : kFields) {
        if (const auto* date = std::get_if<kept::Date>(&field.place))
            f.*date->picked = h.*date->field;
        else
            *TypedText(f, field) = ShownText(field, source);
    }
    return f;
}

namespace {

// The value typed into the page's field of the control, by the field's rule
// (units of its last place); 0 when it does not read.
double TypedValue(const MainDataFields& fields, int id)
{
    const MainDataField* field = MainDataFieldOf(id);
    const QString* text = field ? TypedText(fields, *field) : nullptr;
    return text ? FigureUnitsOr(field->rule, *text, 0) : 0;
}

} // namespace

QString PlannedAdvanceQuestion(const ib::KalvorDocData& doc, const MainDataFields& fields)
{
    const MainDataField* advanceField = MainDataFieldOf(kPlannedAdvanceField);
    const FigureReading advance = ReadFigure(QString(), advanceField->rule, fields.advance);
    if (!advance.read)
        return QString();
    // A tariff is typed in roubles and thousandths: a tenth of a kopeck.
    const CardPay card{TypedValue(fields, 1004),
                       TypedValue(fields, 1026),
                       TypedValue(fields, 1005) / 10,
                       TypedValue(fields, 1006) / 10,
                       int(TypedValue(fields, kPaySystemField)),
                       int(TypedValue(fields, kScheduleField))};
    return AdvanceAboveEarningsQuestion(advance.units, MonthEarningsOf(doc, card));
}

int CheckMainData(const MainDataFields& f, const CardBooks& books, QString* refusal)
{
    refusal->clear();
    for (const MainDataField& field : kFields) {
        const QString* text = TypedText(f, field);
        if (!text)
            continue;
        *refusal = TypedRefusal(field, *text, books);
        if (!refusal->isEmpty())
            return field.id;
    }
    return 0;
}

bool StoreMainData(const MainDataFields& f, MainDataTarget t, bool filledOnly)
{
    bool changed = false;
    for (const MainDataField& field : kFields) changed |= StoreField(field, f, t, filledOnly);
    return changed;
}

QString ShortNameOfFullName(const QString& fio) { return ib::ShortNameOf(fio); }

// ------------------------------------------------------------------ property deduction

QString ReadDeductionTotal(const QString& text, u32* kopecks)
{
    const FigureReading reading =
        ReadFigure(QStringLiteral("Общая сумма"), CardFieldRule(1, kDeductionTotalField), text);
    *kopecks = reading.read ? u32(reading.units) : 0;
    return reading.refusal;
}

void SetDeductionAmount(ib::EmployeeHead& head, u32 kopecks, const QDate& today)
{
    const u32 amount = kopecks & kMaxDeductionKopecks;
    for (u32* field : {&head.imvichBeg, &head.imvichOst, &head.imvichNY})
        *field = (*field & ~kMaxDeductionKopecks) | amount;
    if (amount != 0 && head.imvichDat == 0)
        head.imvichDat = PackedDate::fromQDate(today).value;
    if (amount == 0)
        head.imvichDat = 0;
}

QString DeductionTotalText(const ib::EmployeeHead& head) { return FormatMoney(Amount29(head.imvichBeg)); }

QString DeductionBalanceText(const ib::EmployeeHead& head)
{
    if (Amount29(head.imvichOst) != 0)
        return FormatMoney(Amount29(head.imvichOst));
    if (Amount29(head.imvichAmt2) != 0)
        return QStringLiteral("Исчерпан");
    return QString();
}

QString DeductionYearText(const ib::EmployeeHead& head, int reportingYear)
{
    if (Amount29(head.imvichBeg) == 0 || Amount29(head.imvichNY) == 0)
        return QString();
    if (kalvor::PropertyDeductionYear(head) == reportingYear)
        return QStringLiteral("По уведомлению на %1 год").arg(reportingYear);
    return QStringLiteral("Не предоставляется: нет уведомления на %1 год").arg(reportingYear);
}

// ------------------------------------------------------------------ service length

ServiceLength ServiceLengthOf(u16 start, const QDate& reference)
{
    ServiceLength length;
    const PackedDate packed(start);
    if (packed.isNull() || !reference.isValid())
        return length;
    const QDate from = packed.toQDate();
    if (!from.isValid() || from >= reference)
        return length;
    const YearsMonthsDays diff = DateDiff(from, reference);
    length.shown = true;
    length.years = diff.years;
    length.months = diff.months;
    length.days = diff.days;
    return length;
}

// ------------------------------------------------------------------ passport number

QString PassportNumberText(const ib::EmployeeHead& head) { return head.pspNom; }

bool StorePassportNumber(const QString& text, ib::EmployeeHead& head)
{
    return StoreTextIfChanged(text, head.pspNom, 121) != 0;
}

// ------------------------------------------------------------------ create and delete

int CreateEmployeeCard(ib::CInfoBase& base, int tabN) { return ib::AddEmployeeToBase(base, tabN); }

void DeleteEmployeeCard(ib::CInfoBase& base, int listIndex)
{
    ib::RemoveEmployeeFromBase(base, base.list.at(std::size_t(listIndex)).tabN());
}

// ------------------------------------------------------------------ coded fields

const PickPair* CodedFieldPairs(int id)
{
    switch (id) {
    case kStatusField: return kStatusPairs;
    case kCategoryField: return kCategoryPairs;
    case kPaySystemField: return kPaySystemPairs;
    default: return nullptr;
    }
}

QString ScheduleDescription(const ib::WorkSchedule& s, int defaultDayMinutes)
{
    // A schedule without its own day length works the firm's working day,
    // and one without working days of the week works Monday to Friday, as
    // the calculation takes them.
    const int dayMinutes = s.rdHr * 60 + s.rdMin != 0 ? s.rdHr * 60 + s.rdMin : defaultDayMinutes;
    if (dayMinutes == 0)
        return QStringLiteral("не задан");
    const QString day = dayMinutes % 60 != 0
                            ? QStringLiteral("день %1 ч %2 мин").arg(dayMinutes / 60).arg(dayMinutes % 60)
                            : QStringLiteral("день %1 ч").arg(dayMinutes / 60);
    if (s.pRab != 0)
        return QStringLiteral("сменный: %1 раб. / %2 вых., %3").arg(int(s.pRab)).arg(int(s.pVyh)).arg(day);
    int days = 0;
    for (int d = 0; d < 7; ++d) days += (s.rabDnNed >> d) & 1;
    return QStringLiteral("%1-дневная неделя, %2").arg(days != 0 ? days : 5).arg(day);
}

namespace {
int FirmDayMinutes(const ib::KalvorDocData& doc) { return doc.infoBase.firm.dnHr() * 60 + doc.infoBase.firm.dnMin(); }
} // namespace

QStringList CodedFieldValues(int id, const ib::KalvorDocData& doc)
{
    if (const PickPair* pairs = CodedFieldPairs(id))
        return BuildPickListFromPairs(pairs);
    QStringList lines;
    if (id == kScheduleField) {
        for (int g = 1; g <= ib::CInfoBase::ScheduleCount; ++g)
            lines << QStringLiteral("%1|%2").arg(g).arg(
                ScheduleDescription(doc.infoBase.scheduleAt(g), FirmDayMinutes(doc)));
    } else if (id == kTaxTableField) {
        for (int t = 1; t <= ib::CRefFiles::NalogCount; ++t)
            if (const QString name = TaxTableName(doc, t); !name.isEmpty())
                lines << QStringLiteral("%1|%2").arg(t).arg(name);
    }
    return lines;
}

QString CodedFieldValueName(int id, const QString& text, const ib::KalvorDocData& doc)
{
    const int value = ReadNumber(text);
    if (const PickPair* pairs = CodedFieldPairs(id)) {
        for (const PickPair* p = pairs; p->text; ++p)
            if (ReadNumber(QString::fromUtf8(p->code)) == value)
                return QString::fromUtf8(p->text);
    } else if (value == 0) {
        return {};
    } else if (id == kScheduleField && ib::CInfoBase::holdsSchedule(value)) {
        return ScheduleDescription(doc.infoBase.scheduleAt(value), FirmDayMinutes(doc));
    } else if (id == kTaxTableField) {
        if (const QString name = TaxTableName(doc, value); !name.isEmpty())
            return name;
    }
    return value == 0 ? QString() : QString::fromUtf8(kNoSuchValue);
}

QStringList CodedFieldNames(int id, const ib::KalvorDocData& doc)
{
    QStringList names{CodedFieldValueName(id, QString(), doc), QString::fromUtf8(kNoSuchValue)};
    for (const QString& line : CodedFieldValues(id, doc)) names << line.section(u'|', 1);
    return names;
}

QString MissingCalculationData(const ib::EmployeeHead& head)
{
    QStringList missing;
    if (head.datR == 0)
        missing << QStringLiteral("дата рождения");
    return missing.join(QStringLiteral(", "));
}

} // namespace kalvor::masterdata
