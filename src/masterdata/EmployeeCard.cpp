#include "masterdata/EmployeeCard.h"

#include "infobase/BaseEmployees.h"
#include "infobase/InfoBaseDb.h"
#include "infobase/KalvorDocData.h"
#include "payroll/IncomeTax.h"
#include "values/TypedFigure.h"
#include "values/Values.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <tuple>

namespace kalvor::masterdata {

namespace {

// ------------------------------------------------------------------ number fields

const CardNumberField kNumberFields[] = {
    {1016, 7, "Статус"},
    {1000, 20, "График работы"},
    {1018, 127, "Профессия"},
    {1001, 255, "Цех / отдел"},
    {1019, 99, "Бригада"},
    {1002, 15, "Категория работника"},
    {1020, 20, "Таблица налогообложения"},
    {1003, 7, "Система оплаты"},
    {1023, 20, "Таблица профвзносов"},
    {1060, 31, "Профессиональный разряд"},
    {1074, 65535, "Количество дней пребывания на территории РФ"},
    {1055, 3, "Вид договора"},
    {1057, 3, "Группа инвал-сти"},
    {1466, 65535, "Дети"},
};

const char* const kNoSuchValue = "нет такого значения";

// A tariff: roubles and thousandths, up to what its packed form keeps.
constexpr FigureRule kTariffRule = DecimalFigure(3, 0, PackedFixed3::kMaxRoubles + 0.999);

// The amounts and tariffs of the main-data page with their rules, in the
// order of their texts in MainDataFields' check. The rate ("Ставка") is the
// part of a full rate the employee works, typed as a fraction of it ("1.00" a
// full rate, "0.50" half) and kept in hundredths, a percent of the full rate:
// the headcount and the sick-leave minimum count a part-timer by it, and no
// employee counts for more than one full rate.
const std::tuple<int, const char*, FigureRule> kCardAmounts[] = {
    {1004, "Оклад", AmountFigure()},           {1024, "Ставка", ShareFigure(2, 1)},
    {1005, "Тариф повременщика", kTariffRule}, {1025, "Плановый аванс", AmountFigure()},
    {1006, "Тариф сдельщика", kTariffRule},    {1026, "Персональная надбавка", AmountFigure()}};

// Any whole number an int holds.
constexpr FigureRule kAnyInt = WholeFigure(INT_MIN, INT_MAX);

// A whole number read in full (ReadFigure); a text that does not read is 0,
// which the card's checks refuse before anything is stored.
int ReadNumber(const QString& text)
{
    const FigureReading reading = ReadFigure(QString(), kAnyInt, text);
    return reading.read ? int(reading.units) : 0;
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

// A field of the main-data page read by its input's rule (CardFieldRule), in
// units of its last place; nothing when the text is refused (the stored value
// stays) or, in a group, when it is empty or 0.
std::optional<double> MainDataUnits(int id, const QString& text, bool filledOnly)
{
    const FigureReading reading = ReadFigure(QString(), CardFieldRule(0, id), text);
    if (!reading.read || (filledOnly && reading.units == 0))
        return std::nullopt;
    return reading.units;
}

// The numbers of the page into the attributes, shop and tax table: each
// typed number goes into its field when it differs from the stored one (in a
// group only when it is filled).
bool StoreMainNumbers(const MainDataFields& f, MainDataTarget& t, bool filledOnly)
{
    ib::EmployeeAttributes& a = t.attr;
    bool changed = false;
    auto store = [&](int id, const QString& text, int stored, auto assign) {
        const std::optional<double> value = MainDataUnits(id, text, filledOnly);
        if (!value || int(*value) == stored)
            return;
        assign(int(*value));
        changed = true;
    };
    store(1016, f.status, a.priznUv, [&](int v) { a.priznUv = u16(v); });
    store(1000, f.schedule, a.graph, [&](int v) { a.graph = u8(v); });
    store(1018, f.profession, a.prof, [&](int v) { a.prof = u16(v); });
    store(1001, f.shop, t.shop, [&](int v) { t.shop = u8(v); });
    store(1019, f.brigade, a.brig, [&](int v) { a.brig = ib::i8(v); });
    store(1002, f.category, a.kateg, [&](int v) { a.kateg = u16(v); });
    store(1020, f.taxTable, t.head.tabPodoh, [&](int v) { t.head.tabPodoh = ib::i8(v); });
    store(1003, f.paySystem, a.sistOpl, [&](int v) { a.sistOpl = u8(v); });
    store(1023, f.unionTable, a.tabProf, [&](int v) { a.tabProf = u16(v); });
    return changed;
}

// A tariff read by its input's rule as thousandths of a rouble.
bool StoreTariff(int id, const QString& text, ib::Tariff3& tariff, bool filledOnly)
{
    const std::optional<double> thousandths = MainDataUnits(id, text, filledOnly);
    if (!thousandths)
        return false;
    const ib::Tariff3 before = tariff;
    tariff.rub = u16(*thousandths / 1000);
    tariff.thou = u16(std::int64_t(*thousandths) % 1000);
    return tariff.rub != before.rub || tariff.thou != before.thou;
}

// An amount read by its input's rule as kopecks.
bool StoreMoney(int id, const QString& text, double& field, bool filledOnly)
{
    const std::optional<double> kopecks = MainDataUnits(id, text, filledOnly);
    return kopecks && StoreIfDifferent(field, *kopecks);
}

bool StorePacked(u16 value, u16& field, bool filledOnly)
{
    if (filledOnly && value == 0)
        return false;
    return StoreIfDifferent(field, value);
}

bool StoreAmountsAndDates(const MainDataFields& f, ib::EmployeeHead& h, bool filledOnly)
{
    bool changed = false;
    changed |= StoreMoney(1004, f.salary, h.oklad, filledOnly);
    changed |= StoreMoney(1024, f.rate, h.stavka, filledOnly);
    changed |= StoreTariff(1005, f.timeTariff, h.tarifVrem, filledOnly);
    changed |= StoreMoney(1025, f.advance, h.avans, filledOnly);
    changed |= StoreTariff(1006, f.pieceTariff, h.tarifSdel, filledOnly);
    changed |= StoreMoney(1026, f.allowance, h.nadbav, filledOnly);
    const std::pair<u16, u16*> dates[] = {{f.datR, &h.datR},
                                          {f.datSevStag, &h.datSevStag},
                                          {f.datPr1, &h.datPr1},
                                          {f.datPr2, &h.datPr2},
                                          {f.datUv1, &h.datUv1},
                                          {f.datUv2, &h.datUv2},
                                          {f.invDat1Begin, &h.invDat1Begin},
                                          {f.invDat1End, &h.invDat1End},
                                          {f.invDat2Begin, &h.invDat2Begin},
                                          {f.invDat2End, &h.invDat2End}};
    for (const auto& [value, field] : dates) changed |= StorePacked(value, *field, filledOnly);
    for (std::size_t k = 0; k < f.costCodes.size(); ++k) {
        std::array<u16, 3>& code = h.spz[k];
        // The whole text by the field's rule ("1 500" is 1500, never 1).
        const std::optional<double> value = MainDataUnits(kCardCostCodeFields[k], f.costCodes[k], filledOnly);
        if (!value)
            continue;
        const std::array<u16, 3> before = code;
        SetPacked12Digits(std::uint64_t(*value), code[0], code[1], code[2]);
        changed |= code != before;
    }
    return changed;
}

} // namespace

// ------------------------------------------------------------------ number fields

const CardNumberField* CardNumberRule(int id)
{
    for (const CardNumberField& field : kNumberFields)
        if (field.id == id)
            return &field;
    return nullptr;
}

QString ReadCardNumber(int id, const QString& text, int* value)
{
    const CardNumberField* rule = CardNumberRule(id);
    const FigureReading reading = ReadFigure(QString::fromUtf8(rule ? rule->refusal : ""), kAnyInt, text);
    *value = reading.read ? int(reading.units) : 0;
    if (!reading.read)
        return reading.refusal;
    if (!rule || (*value >= 0 && *value <= rule->maximum))
        return QString();
    return QStringLiteral("Недопустимое значение поля \"%1\": %2.\nДопустимы числа от 0 до %3.")
        .arg(QString::fromUtf8(rule->refusal))
        .arg(*value)
        .arg(rule->maximum);
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
    if (page == 1 && (id == 1016 || id == 1117 || among(kImputedIncomeMonths)))
        return WholeFigure(0, 1); // a mark: 1 or nothing
    if (page == 1 && id == kDeductionTotalField)
        return AmountFigure(kMaxDeductionKopecks / 100.0); // 29 bits of kopecks
    if (const CardNumberField* number = CardNumberRule(id))
        return WholeFigure(0, number->maximum);
    if (page == 0 && among(kCardCostCodeFields))
        return WholeFigure(0, double(kPacked12DigitsMax));
    if (page == 0)
        for (const auto& [amount, label, rule] : kCardAmounts)
            if (amount == id)
                return rule;
    return TextFigure(page == 2 && id == kCardAddressField ? kCardAddressLength : kCardTextLength);
}

// ------------------------------------------------------------------ main data

MainDataFields MainDataOf(const ib::EmployeeHead& h, const ib::EmployeeAttributes& a, int shop)
{
    MainDataFields f;
    f.fio = h.fio;
    f.status = FormatIntField(a.priznUv);
    f.schedule = FormatIntField(a.graph);
    f.profession = FormatIntField(a.prof);
    f.shop = FormatIntField(shop);
    f.brigade = FormatIntField(a.brig);
    f.category = FormatIntField(a.kateg);
    f.taxTable = FormatIntField(h.tabPodoh);
    f.paySystem = FormatIntField(a.sistOpl);
    f.unionTable = FormatIntField(a.tabProf);
    f.salary = FormatMoney(h.oklad);
    f.rate = FormatMoney(h.stavka);
    f.timeTariff = FormatPackedFixed3(PackedFixed3::make(h.tarifVrem.rub, h.tarifVrem.thou));
    f.advance = FormatMoney(h.avans);
    f.pieceTariff = FormatPackedFixed3(PackedFixed3::make(h.tarifSdel.rub, h.tarifSdel.thou));
    f.allowance = FormatMoney(h.nadbav);
    f.datR = h.datR;
    f.datSevStag = h.datSevStag;
    f.datPr1 = h.datPr1;
    f.datPr2 = h.datPr2;
    f.datUv1 = h.datUv1;
    f.datUv2 = h.datUv2;
    f.invDat1Begin = h.invDat1Begin;
    f.invDat1End = h.invDat1End;
    f.invDat2Begin = h.invDat2Begin;
    f.invDat2End = h.invDat2End;
    for (std::size_t k = 0; k < f.costCodes.size(); ++k)
        f.costCodes[k] = FormatPacked12Digits(h.spz[k][0], h.spz[k][1], h.spz[k][2]);
    return f;
}

int CheckMainData(const MainDataFields& f, const CardBooks& books, QString* refusal)
{
    const std::pair<int, const QString*> numbers[] = {{1016, &f.status},   {1000, &f.schedule},  {1018, &f.profession},
                                                      {1001, &f.shop},     {1019, &f.brigade},   {1002, &f.category},
                                                      {1020, &f.taxTable}, {1003, &f.paySystem}, {1023, &f.unionTable}};
    for (const auto& [id, text] : numbers) {
        int value = 0;
        *refusal = ReadCardNumber(id, *text, &value);
        if (refusal->isEmpty())
            *refusal = ReadFigure(QString::fromUtf8(CardNumberRule(id)->refusal), CardFieldRule(0, id),
                                  CardFieldBook(books, id), *text)
                           .refusal;
        if (!refusal->isEmpty())
            return id;
    }
    // Amounts and tariffs that do not read in full keep the stored value and
    // are named, never cut at the first character that is no digit.
    const QString* texts[] = {&f.salary, &f.rate, &f.timeTariff, &f.advance, &f.pieceTariff, &f.allowance};
    for (std::size_t i = 0; i < std::size(kCardAmounts); ++i) {
        const auto& [id, label, rule] = kCardAmounts[i];
        const FigureReading reading = ReadFigure(QString::fromUtf8(label), rule, *texts[i]);
        if (!reading.read) {
            *refusal = reading.refusal;
            return id;
        }
    }
    return 0;
}

bool StoreMainData(const MainDataFields& f, MainDataTarget t, bool filledOnly)
{
    bool changed = false;
    if (filledOnly) {
        if (!f.fio.trimmed().isEmpty())
            changed |= StoreIfDifferent(t.shortName, ShortNameOfFullName(f.fio));
    } else if (StoreTextIfChanged(f.fio, t.head.fio, 121)) {
        t.shortName = ShortNameOfFullName(t.head.fio);
        changed = true;
    }
    changed |= StoreMainNumbers(f, t, filledOnly);
    changed |= StoreAmountsAndDates(f, t.head, filledOnly);
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
