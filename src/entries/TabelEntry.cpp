#include "entries/TabelEntry.h"

#include "payroll/AbsentDays.h"
#include "payroll/MonthWarnings.h"
#include "values/TypedFigure.h"
#include "values/Values.h"

#include <algorithm>

namespace kalvor::entries {

namespace ib = infobase;
using ib::TabelRecord;
using ib::u16;
using ib::u8;
using Kind = TabelFieldKind;

namespace {

// One accessor pair per record field (the packed fields are bit fields, so
// they are reached through functions rather than references).
#define TABEL_FIELD(member)                                                                                            \
    [](const TabelRecord& r) { return int(r.member); }, [](TabelRecord& r, int v) { r.member = decltype(r.member)(v); }

int GetKoeff(const TabelRecord& r) { return r.koeffHundredths(); }
void SetKoeff(TabelRecord& r, int v) { r.setKoeffHundredths(v); }

const std::array<TabelField, kTabelFieldCount> kFields = {{
    {1155, u"Рабочие дни", Kind::Days, 31, TABEL_FIELD(rabDn)},
    {1078, u"Рабочие часы", Kind::HoursLimited, 0, TABEL_FIELD(rabHr)},
    {1079, u"Вечерние часы", Kind::Hours, 0, TABEL_FIELD(vHr)},
    {1080, u"Ночные часы", Kind::HoursLimited, 0, TABEL_FIELD(nHr)},
    {1081, u"Праздничные дни", Kind::Days, 4, TABEL_FIELD(prDn)},
    {1083, u"Праздничные часы", Kind::Hours, 0, TABEL_FIELD(prHr)},
    {1082, u"(в том числе плановые)", Kind::Days, 4, TABEL_FIELD(prPlanDn)},
    {1084, u"(в том числе плановые)", Kind::Hours, 0, TABEL_FIELD(prPlanHr)},
    {1085, u"Выходные дни", Kind::Days, 15, TABEL_FIELD(vyhDn)},
    {1086, u"Выходные часы", Kind::Hours, 0, TABEL_FIELD(vyhHr)},
    {1087, u"Дни повышения квалификации", Kind::Days, 31, TABEL_FIELD(kvalDn)},
    {1088, u"Часы повышения квалификации", Kind::HoursLimited, 0, TABEL_FIELD(kvalHr)},
    {1089, u"Дни вынужденного простоя", Kind::Days, 31, TABEL_FIELD(prostDn)},
    {1090, u"Часы вынужденного простоя", Kind::HoursLimited, 0, TABEL_FIELD(prostHr)},
    {1091, u"Льготные дни учащихся", Kind::Days, 15, TABEL_FIELD(uchDn)},
    {1092, u"Льготные часы подростков", Kind::Hours, 0, TABEL_FIELD(uchHr)},
    {1093, u"Дни на другой работе", Kind::Days, 31, TABEL_FIELD(drRabDn)},
    {1094, u"Сверхурочные часы", Kind::HoursLimited, 0, TABEL_FIELD(sverhHr)},
    {1095, u"Дни в командировке", Kind::Days, 31, TABEL_FIELD(komDn)},
    {1096, u"(в т.ч.оплаченные вдвойне)", Kind::HoursLimited, 0, TABEL_FIELD(sverhDvaHr)},
    {1097, u"Дни выходного пособия", Kind::Days, 31, TABEL_FIELD(vyhPosobDn)},
    {1098, u"Коэффициент повышения ставок", Kind::Coefficient, 0, GetKoeff, SetKoeff},
    {1099, u"Дни за свой счет", Kind::Days, 31, TABEL_FIELD(bezsodDn)},
    {1100, u"Часы за свой счет", Kind::HoursLimited, 0, TABEL_FIELD(bezsodHr)},
    {1101, u"(в том числе выходные)", Kind::Days, 31, TABEL_FIELD(bezsodDnVyh)},
    {1102, u"(в том числе выходные)", Kind::HoursLimited, 0, TABEL_FIELD(bezsodHrVyh)},
}};

#undef TABEL_FIELD

const std::array<int, 13> kLeftColumn = {1155, 1079, 1081, 1082, 1085, 1087, 1089, 1091, 1093, 1095, 1097, 1099, 1101};
const std::array<int, 13> kRightColumn = {1078, 1080, 1083, 1084, 1086, 1088, 1090, 1092, 1094, 1096, 1098, 1100, 1102};

// The coefficient's tenths are a 16-bit field; typed with at most two places.
constexpr int kMaxCoefficientHundredths = 65535 * 10 + 9;
constexpr FigureRule kCoefficientRule = DecimalFigure(2, 0, kMaxCoefficientHundredths / 100.0);

// The value a text gives the field; false when the text is refused and the
// field keeps its value.
bool ParseFieldValue(QStringView text, const TabelField& field, int& value)
{
    const FigureReading reading = ReadFigure(QString::fromUtf16(field.label), TabelFieldRule(field), text);
    if (reading.read)
        value = int(reading.units);
    return reading.read;
}

} // namespace

const std::array<TabelField, kTabelFieldCount>& TabelFields() { return kFields; }
const std::array<int, 13>& TabelLeftColumn() { return kLeftColumn; }
const std::array<int, 13>& TabelRightColumn() { return kRightColumn; }

FigureRule TabelFieldRule(const TabelField& field)
{
    switch (field.kind) {
    case Kind::Days: return WholeFigure(0, field.maxDays);
    case Kind::HoursLimited: return HoursFigure(kTabelHoursLimit);
    case Kind::Hours: return HoursFigure(-1);
    case Kind::Coefficient: break;
    }
    return kCoefficientRule;
}

const TabelField* FindTabelField(int controlId)
{
    for (const TabelField& field : kFields)
        if (field.controlId == controlId)
            return &field;
    return nullptr;
}

QString FormatTabelField(const TabelRecord& record, const TabelField& field)
{
    const int value = field.get(record);
    if (value == 0)
        return QString();
    switch (field.kind) {
    case Kind::Days: return QString::number(value);
    case Kind::HoursLimited:
    case Kind::Hours: return FormatHoursMinutes(value);
    case Kind::Coefficient:
        return QString::asprintf("%u.%u%u", unsigned(record.koeff / 10), unsigned(record.koeff % 10),
                                 unsigned(record.koeffDigit));
    }
    return QString();
}

TabelTexts ShowTabelRecord(const TabelRecord& record)
{
    TabelTexts form;
    for (std::size_t i = 0; i < kFields.size(); ++i) form.texts[i] = FormatTabelField(record, kFields[i]);
    form.dbf = record.dbf != 0;
    return form;
}

bool ReadCoefficientHundredths(QStringView text, int& hundredths)
{
    const FigureReading reading = ReadFigure(QString(), kCoefficientRule, text);
    if (reading.read)
        hundredths = int(reading.units);
    return reading.read;
}

int RefusedCoefficient(const TabelTexts& form, QString* message)
{
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        int hundredths = 0;
        if (kFields[i].kind != Kind::Coefficient || ReadCoefficientHundredths(form.texts[i], hundredths))
            continue;
        *message = NumberRefusedText(QString::fromUtf16(kFields[i].label), form.texts[i]);
        return kFields[i].controlId;
    }
    return 0;
}

int ReadTabelField(QStringView text, TabelRecord& record, const TabelField& field)
{
    const int stored = field.get(record);
    int value = stored;
    if (!ParseFieldValue(text, field, value) || value == stored)
        return 0;
    field.set(record, value);
    return 1;
}

int ReadTabelRecord(const TabelTexts& form, TabelRecord& record)
{
    int changed = 0;
    for (std::size_t i = 0; i < kFields.size(); ++i) changed |= ReadTabelField(form.texts[i], record, kFields[i]);
    if (record.dbf != u16(form.dbf)) {
        record.dbf = form.dbf;
        changed = 1;
    }
    return changed;
}

int AppendFilledFields(const TabelTexts& form, TabelRecord& record)
{
    int changed = 0;
    for (std::size_t i = 0; i < kFields.size(); ++i)
        if (!form.texts[i].trimmed().isEmpty())
            changed |= ReadTabelField(form.texts[i], record, kFields[i]);
    if (form.dbf && record.dbf == 0) {
        record.dbf = 1;
        changed = 1;
    }
    return changed;
}

bool AnyFieldFilled(const TabelTexts& form)
{
    if (form.dbf)
        return true;
    for (const QString& text : form.texts)
        if (!text.trimmed().isEmpty())
            return true;
    return false;
}

int AppendFilledFieldsToGroup(const TabelTexts& form, ib::CInfoBase& base)
{
    int changed = 0;
    for (const ib::EmployeeListEntry& entry : base.list) {
        if (!entry.marked() || !base.holdsSlot(entry.slot))
            continue;
        changed += AppendFilledFields(form, base.tabelOf(entry.slot));
    }
    return changed;
}

bool FitWorkedDaysToCount(TabelRecord& record, int monthDays, const std::array<u16, 31>& scheduleDays, int firstDay,
                          int lastDay, const MonthDayFlags& away)
{
    monthDays = std::clamp(monthDays, 0, 31);
    auto employed = [&](int day) { return day >= firstDay && day <= lastDay; };
    auto present = [&](int day) { return employed(day) && !away[std::size_t(day)]; };
    int ticked = 0;
    for (int day = 1; day <= monthDays; ++day) ticked += DayMarked(record, day) ? 1 : 0;
    const int wanted = std::min(int(record.rabDn), monthDays);
    bool changed = false;
    auto clear = [&](auto&& takes) {
        for (int day = monthDays; day >= 1 && ticked > wanted; --day)
            if (takes(day) && SetDayMark(record, day, false)) {
                --ticked;
                changed = true;
            }
    };
    clear([&](int day) { return !employed(day); });
    clear([&](int day) { return employed(day) && !present(day); });
    clear([&](int day) { return present(day); });
    auto tick = [&](auto&& takes) {
        for (int day = 1; day <= monthDays && ticked < wanted; ++day)
            if (takes(day) && SetDayMark(record, day, true)) {
                ++ticked;
                changed = true;
            }
    };
    tick([&](int day) { return present(day) && scheduleDays[std::size_t(day - 1)] != 0; });
    tick([&](int day) { return present(day); });
    tick([&](int day) { return employed(day); });
    tick([&](int day) { return !employed(day); });
    return changed;
}

namespace {

// The ticked days of the month and the schedule's minutes of them.
std::pair<int, int> TickedTime(const TabelRecord& record, int monthDays, const std::array<u16, 31>& scheduleDays)
{
    int days = 0, minutes = 0;
    for (int day = 1; day <= std::clamp(monthDays, 0, 31); ++day)
        if (DayMarked(record, day)) {
            ++days;
            minutes += scheduleDays[std::size_t(day - 1)];
        }
    return {days, minutes};
}

} // namespace

bool FollowWorkedDays(TabelRecord& record, int monthDays, const std::array<u16, 31>& scheduleDays, bool withHours)
{
    const auto [days, minutes] = TickedTime(record, monthDays, scheduleDays);
    const TabelRecord before = record;
    record.rabDn = u8(days);
    if (withHours)
        record.rabHr = u16(std::min(minutes, 0xFFFF));
    return !(record == before);
}
namespace {

const std::array<u16, 31>& ScheduleDaysOf(const ib::CInfoBase& base, int slot)
{
    const int graph = base.attributesOf(slot).graph;
    return base.nearestSchedule(graph).months[ib::WorkSchedule::ReportingMonth].d;
}

// Hours follow the days for piece-rate and hourly workers (pay systems 1 and 2)
// and for whoever keeps hours.
bool KeepsHours(const ib::CInfoBase& base, int slot)
{
    return base.tabelOf(slot).rabHr != 0 || base.attributesOf(slot).sistOpl < 3;
}

int ReportingMonthLength(const ib::CInfoBase& base)
{
    const MonthKey month = base.config.reportingKey();
    return DaysInMonth(month.year(), month.month());
}

} // namespace

void FitSheetToTypedDays(ib::CInfoBase& base, int slot, bool hoursTyped)
{
    TabelRecord& record = base.tabelOf(slot);
    const int length = ReportingMonthLength(base);
    std::pair<int, int> employed{1, length};
    if (base.currentSlot == slot) {
        const MonthKey month = base.config.reportingKey();
        employed = EmployedDaysOfMonth(base.current.head, month.year(), month.month(), length);
    }
    const auto& schedule = ScheduleDaysOf(base, slot);
    const MonthKey month = base.config.reportingKey();
    const MonthDayFlags away =
        AbsentDays(base.bln.run(slot), base.otp.run(slot), base.firm, month.year(), month.month());
    FitWorkedDaysToCount(record, length, schedule, employed.first, employed.second, away);
    if (!hoursTyped && KeepsHours(base, slot)) {
        const u8 days = record.rabDn; // a count beyond the month stays as typed
        FollowWorkedDays(record, length, schedule, true);
        record.rabDn = days;
    }
}

bool FitSheetToTickedDays(ib::CInfoBase& base, int slot, const TabelRecord& before)
{
    const int length = ReportingMonthLength(base);
    const auto& schedule = ScheduleDaysOf(base, slot);
    // Hours typed apart from the schedule's hours of the ticked days (overtime,
    // a shorter day) stay as typed; the days follow all the same.
    const bool hoursFollowed = before.rabHr == 0 || before.rabHr == TickedTime(before, length, schedule).second;
    return FollowWorkedDays(base.tabelOf(slot), length, schedule,
                            KeepsHours(base, slot) && hoursFollowed);
}

} // namespace kalvor::entries
