#include "masterdata/FirmGeneralData.h"

#include "values/RoundText.h"
#include "values/TypedFigure.h"
#include "values/Values.h"

#include <algorithm>

namespace kalvor::masterdata {

using infobase::FirmInfo;
using infobase::i8;
using infobase::InfoBaseConfig;
using infobase::u16;
using infobase::u8;

namespace {

enum class Kind {
    Text, // a firm text
    Number, // a whole number, empty when 0, within [0, max]
    Hundredths, // 16-bit hundredths of a percent shown as "%.2f"
    MonthFlag, // one bit of the rate-rise months, "1" or empty
    Money, // kopecks
    LoanPercent, // whole percent and hundredths
    ParamBit, // a bit of the parameter word, "1" or empty
    DayLength, // hours and minutes of the working day
    Holiday, // day * 256 + month
    NoDate, // the agreement date: always empty, not stored
};

struct Field {
    int id;
    Kind kind;
    const char* label;
    int index = 0; // the firm text, the month, the parameter bit
    int max = 0; // largest number of a Number field
};

// Number fields whose place is not a plain member are told apart by id.
const std::vector<Field>& Fields()
{
    static const std::vector<Field> fields = {
        {1046, Kind::Text, "Фирма", FirmInfo::firmName},
        {1047, Kind::Text, "Банк", FirmInfo::firmBank},
        {1048, Kind::Text, "р/c", FirmInfo::firmRS},
        {1049, Kind::Text, "корр/c", FirmInfo::firmKS},
        {1050, Kind::Text, "БИК", FirmInfo::firmBIK},
        {1051, Kind::Text, "Код ОКАТО", FirmInfo::firmOKATO},
        {1052, Kind::Text, "Индекс", FirmInfo::adrInd},
        {1053, Kind::Number, "Код региона", 0, 255},
        {1054, Kind::Text, "Республика, край, область, округ", FirmInfo::adrObl},
        {1055, Kind::Text, "Район", FirmInfo::adrRaion},
        {1056, Kind::Text, "Населенный пункт", FirmInfo::adrGorod},
        {1057, Kind::Text, "Улица", FirmInfo::adrUlica},
        {1059, Kind::Text, "Дом", FirmInfo::adrDom},
        {1060, Kind::Text, "Корпус", FirmInfo::adrKorp},
        {1061, Kind::Text, "Квартира", FirmInfo::adrKv},
        {1062, Kind::Text, "№ договора", FirmInfo::sbNomDog},
        {1058, Kind::NoDate, "Дата"},
        {1063, Kind::Hundredths, "% с фирмы"},
        {1064, Kind::Hundredths, "% с раб."},
        {1009, Kind::Text, "Ф.И.О. руководителя", FirmInfo::fioShef},
        {1065, Kind::Text, "Статус руководителя", FirmInfo::statusShef},
        {1010, Kind::Text, "Ф.И.О. главного бухгалтера", FirmInfo::fioBuh},
        {1011, Kind::MonthFlag, "Ян.", 1},
        {1012, Kind::MonthFlag, "Фе.", 2},
        {1013, Kind::MonthFlag, "Ма.", 3},
        {1014, Kind::MonthFlag, "Ап.", 4},
        {1015, Kind::MonthFlag, "Ма.", 5},
        {1016, Kind::MonthFlag, "Ин.", 6},
        {1017, Kind::MonthFlag, "Ил.", 7},
        {1018, Kind::MonthFlag, "Ав.", 8},
        {1019, Kind::MonthFlag, "Се.", 9},
        {1020, Kind::MonthFlag, "Ок.", 10},
        {1021, Kind::MonthFlag, "Но.", 11},
        {1022, Kind::MonthFlag, "Де.", 12},
        {1066, Kind::Number, "Районный процент", 0, 127},
        {1067, Kind::Number, "Надбавка, %", 0, 63},
        {1068, Kind::Number, "Количество", 0, 15},
        {1069, Kind::Number, "Период", 0, 63},
        {1023, Kind::Money, "Макс. огран. б/л за год"},
        {1024, Kind::Money, "Огран. б/л при упрощенке"},
        {1025, Kind::Money, "Макс. огр. б/л при стаже раб. < 6 мес."},
        {1026, Kind::Money, "Производственная травма"},
        {1027, Kind::Money, "Мин. до 1,5 лет на 1-го реб."},
        {1028, Kind::Money, "Мин. до 1,5 лет на 2-го и посл. детей"},
        {1070, Kind::LoanPercent, "% по ссудам"},
        {1071, Kind::Number, "% оплаты простоя", 0, 255},
        {1072, Kind::Number, "% доплаты ночью", 0, 255},
        {1073, Kind::Number, "% доплаты вечером", 0, 255},
        {1074, Kind::ParamBit, "Профвзн.", 4},
        {1075, Kind::ParamBit, "Налоги", 3},
        {1076, Kind::Number, "Расчетных", 0, 5},
        {1077, Kind::Number, "Выплачиваемых", 0, 5},
        {1079, Kind::DayLength, "Продолжительность раб. дня"},
        {1078, Kind::Number, "Нал. табл. для дивидентов", 0, 255},
        {1080, Kind::ParamBit, "Сортировка", 5},
        {1081, Kind::Holiday, "Праздники", 0},
        {1082, Kind::Holiday, "", 1},
        {1083, Kind::Holiday, "", 2},
        {1084, Kind::Holiday, "", 3},
        {1085, Kind::Holiday, "", 4},
        {1086, Kind::Holiday, "", 5},
        {1087, Kind::Holiday, "", 6},
        {1088, Kind::Holiday, "", 7},
        {1089, Kind::Holiday, "", 8},
        {1090, Kind::Holiday, "", 9},
        {1091, Kind::Holiday, "", 10},
        {1092, Kind::Holiday, "", 11},
    };
    return fields;
}

const Field* FindField(int id)
{
    for (const Field& f : Fields())
        if (f.id == id)
            return &f;
    return nullptr;
}

QString NumberText(int value) { return value == 0 ? QString() : QString::number(value); }

// The rule of a flag's text: 1 sets it, 0 or nothing clears it.
constexpr FigureRule kFlagRule = WholeFigure(0, 1);

// The field's text read by the field's own rule (GenInfoFieldRule), in units
// of its last place; a text the rule refuses keeps the stored value.
int FieldUnitsOr(int id, const QString& text, int stored)
{
    return int(FigureUnitsOr(GenInfoFieldRule(id), text, stored));
}

// A holiday's word (day x 256 + month) read by the rule of typed days of the
// year (ReadTypedDayMonth); an empty text is 0, a text that is no day keeps
// the stored word.
u16 HolidayWordOr(const QString& text, u16 stored)
{
    const TypedDate typed = ReadTypedDayMonth(text);
    switch (typed.read) {
    case TypedDateRead::Date: return u16(typed.day * 256 + typed.month);
    case TypedDateRead::Empty: return 0;
    default: return stored;
    }
}

QString WholeHundredthsText(int whole, int hundredths)
{
    if (whole == 0 && hundredths == 0)
        return QString();
    return FormatFixed(whole + hundredths / 100.0, 2);
}

// The place of a Number field.
int NumberValue(int id, const FirmInfo& firm, const InfoBaseConfig& config)
{
    switch (id) {
    case 1053: return firm.adrKodRG;
    case 1066: return firm.procRaj;
    case 1067: return firm.procSev;
    case 1068: return firm.maxKvSevNad;
    case 1069: return firm.periodSevNad;
    case 1071: return firm.procProst;
    case 1072: return firm.procNgt;
    case 1073: return firm.procEvn;
    case 1076: return config.okrugRas();
    case 1077: return config.okrugVyp();
    case 1078: return firm.tabDiv;
    default: return 0;
    }
}

void SetNumberValue(int id, int v, FirmInfo& firm, InfoBaseConfig& config)
{
    switch (id) {
    case 1053: firm.adrKodRG = u8(v); break;
    case 1066: firm.procRaj = i8(v); break;
    case 1067: firm.procSev = u16(v & 63); break;
    case 1068: firm.maxKvSevNad = u16(v & 15); break;
    case 1069: firm.periodSevNad = u16(v & 63); break;
    case 1071: firm.procProst = u8(v); break;
    case 1072: firm.procNgt = u8(v); break;
    case 1073: firm.procEvn = u8(v); break;
    case 1076: config.okrugWord = u16((config.okrugWord & ~7u) | (v & 7)); break;
    case 1077: config.okrugVypWord = u16((config.okrugVypWord & ~7u) | (v & 7)); break;
    case 1078: firm.tabDiv = u8(v); break;
    default: break;
    }
}

// The member of a money field.
double FirmInfo::*MoneyMember(int id)
{
    switch (id) {
    case 1023: return &FirmInfo::blnMaxOgr;
    case 1024: return &FirmInfo::blnUprosh;
    case 1025: return &FirmInfo::blnMaxOgrBegRab;
    case 1026: return &FirmInfo::travmaMaxOgr;
    case 1027: return &FirmInfo::blnMinOgrDet1;
    default: return &FirmInfo::blnMinOgrDet2;
    }
}

u16& HundredthsPlace(int id, FirmInfo& firm) { return id == 1063 ? firm.sbProcFirm : firm.sbProcSotr; }

template <typename T>
bool StoreIfChanged(T& place, T value)
{
    if (place == value)
        return false;
    place = value;
    return true;
}

// The working day's length read by its rule as hundredths: hours, and the
// minutes as the two places after the separator. Minutes of 60 or more,
// which GenInfoFieldError refuses, keep the stored length.
bool StoreDayLength(const QString& text, FirmInfo& firm)
{
    const int units = FieldUnitsOr(1079, text, firm.dnHr() * 100 + firm.dnMin());
    const int hours = units / 100, minutes = units % 100;
    if (minutes > 59)
        return false;
    const u16 word = u16((firm.parWord & 0x3F) | ((hours & 15) << 6) | ((minutes & 63) << 10));
    return StoreIfChanged(firm.parWord, word);
}

bool StoreLoanPercent(const QString& text, FirmInfo& firm)
{
    const int units = FieldUnitsOr(1070, text, firm.procSsudWhole * 100 + firm.procSsudHundredths);
    const int whole = units / 100, hundredths = units % 100;
    bool changed = false;
    if (firm.procSsudWhole != unsigned(whole & 127)) {
        firm.procSsudWhole = u8(whole & 127);
        changed = true;
    }
    return StoreIfChanged(firm.procSsudHundredths, u8(hundredths)) || changed;
}

} // namespace

const std::vector<int>& GenInfoFieldIds()
{
    static const std::vector<int> ids = [] {
        std::vector<int> v;
        for (const Field& f : Fields()) v.push_back(f.id);
        return v;
    }();
    return ids;
}

QString GenInfoFieldLabel(int id)
{
    const Field* f = FindField(id);
    return f ? QString::fromUtf8(f->label) : QString();
}

QString GenInfoFieldText(int id, const FirmInfo& firm, const InfoBaseConfig& config)
{
    const Field* f = FindField(id);
    if (!f)
        return QString();
    switch (f->kind) {
    case Kind::Text: return firm.texts[size_t(f->index)];
    case Kind::Number: return NumberText(NumberValue(id, firm, config));
    case Kind::Hundredths: {
        const int v = id == 1063 ? firm.sbProcFirm : firm.sbProcSotr;
        return v == 0 ? QString() : FormatFixed(v / 100.0, 2);
    }
    case Kind::MonthFlag: return config.korr(f->index) ? QStringLiteral("1") : QString();
    case Kind::Money: return FormatMoney(firm.*MoneyMember(id));
    case Kind::LoanPercent: return WholeHundredthsText(firm.procSsudWhole, firm.procSsudHundredths);
    case Kind::ParamBit: return (firm.parWord >> f->index) & 1 ? QStringLiteral("1") : QString();
    case Kind::DayLength: return WholeHundredthsText(firm.dnHr(), firm.dnMin());
    case Kind::Holiday: {
        const int v = firm.fete[size_t(f->index)];
        return v == 0 ? QString() : QString::asprintf("%d.%.2d", v >> 8, v & 0x0F);
    }
    case Kind::NoDate: return QString();
    }
    return QString();
}

FigureRule GenInfoFieldRule(int id)
{
    const Field* f = FindField(id);
    switch (f ? f->kind : Kind::NoDate) {
    case Kind::Text: return TextFigure(kGenInfoTextLength);
    case Kind::Number: return WholeFigure(0, f->max);
    case Kind::MonthFlag:
    case Kind::ParamBit: return kFlagRule;
    case Kind::Hundredths: return ShareFigure(2); // a commission: a share of the transfer row
    case Kind::LoanPercent: return RatePercentFigure(2, 127.99); // an interest rate, seven bits of whole percent
    case Kind::DayLength: return DecimalFigure(2, 0, 15.59); // four bits of hours
    case Kind::Money: return AmountFigure();
    case Kind::Holiday: return TextFigure(kGenInfoTextLength); // "Д.М", read by GenInfoFieldError
    case Kind::NoDate: break;
    }
    return TextFigure(0);
}

bool IsGenInfoHoliday(int id)
{
    const Field* f = FindField(id);
    return f && f->kind == Kind::Holiday;
}

QString GenInfoFieldError(int id, const QString& text)
{
    const Field* f = FindField(id);
    if (!f)
        return QString();
    const QString label = GenInfoFieldLabel(id);
    const FigureReading reading = ReadFigure(label, GenInfoFieldRule(id), text);
    if (!reading.read)
        return reading.refusal;
    switch (f->kind) {
    case Kind::DayLength: {
        const int minutes = int(reading.units) % 100;
        return minutes > 59
                   ? QStringLiteral("Некорректное время в поле \"%1\" (часы.минуты): %2").arg(label, text.trimmed())
                   : QString();
    }
    case Kind::Holiday:
        // "Д.М" read whole, or refused: never a holiday cleared for a typing slip.
        if (ReadTypedDayMonth(text).read == TypedDateRead::NotADate)
            return DateRefusedText(label.isEmpty() ? QStringLiteral("Праздники") : label, text);
        return QString();
    default: return QString();
    }
}

bool StoreGenInfoField(int id, const QString& text, FirmInfo& firm, InfoBaseConfig& config)
{
    const Field* f = FindField(id);
    if (!f)
        return false;
    switch (f->kind) {
    case Kind::Text: return StoreIfChanged(firm.texts[size_t(f->index)], text.left(kGenInfoTextLength));
    case Kind::Number: {
        const int before = NumberValue(id, firm, config);
        SetNumberValue(id, FieldUnitsOr(id, text, before), firm, config);
        return NumberValue(id, firm, config) != before;
    }
    case Kind::Hundredths: {
        u16& place = HundredthsPlace(id, firm);
        return StoreIfChanged(place, u16(FieldUnitsOr(id, text, place)));
    }
    case Kind::MonthFlag: {
        const u16 bit = u16(1u << (3 + f->index));
        const bool set = FieldUnitsOr(id, text, config.korr(f->index) ? 1 : 0) == 1;
        return StoreIfChanged(config.okrugWord, set ? u16(config.okrugWord | bit) : u16(config.okrugWord & ~bit));
    }
    case Kind::Money: {
        double& place = firm.*MoneyMember(id);
        return StoreIfChanged(place, FigureUnitsOr(GenInfoFieldRule(id), text, place));
    }
    case Kind::LoanPercent: return StoreLoanPercent(text, firm);
    case Kind::ParamBit: {
        const u16 bit = u16(1u << f->index);
        const bool set = FieldUnitsOr(id, text, (firm.parWord >> f->index) & 1) == 1;
        return StoreIfChanged(firm.parWord, set ? u16(firm.parWord | bit) : u16(firm.parWord & ~bit));
    }
    case Kind::DayLength: return StoreDayLength(text, firm);
    case Kind::Holiday: {
        u16& place = firm.fete[size_t(f->index)];
        return StoreIfChanged(place, HolidayWordOr(text, place));
    }
    case Kind::NoDate: return false;
    }
    return false;
}

bool CompactHolidays(FirmInfo& firm)
{
    std::vector<u16> kept;
    for (u16 v : firm.fete)
        if (v != 0 && std::find(kept.begin(), kept.end(), v) == kept.end())
            kept.push_back(v);
    std::sort(kept.begin(), kept.end(), [](u16 a, u16 b) {
        const int monthA = a & 0x0F, monthB = b & 0x0F;
        return monthA != monthB ? monthA < monthB : (a >> 8) < (b >> 8);
    });
    std::array<u16, 12> fete{};
    std::array<u8, 12> perMonth{};
    for (std::size_t i = 0; i < kept.size(); ++i) {
        fete[i] = kept[i];
        const int month = kept[i] & 0x0F;
        if (month >= 1 && month <= 12)
            ++perMonth[size_t(month - 1)];
    }
    const bool changed = fete != firm.fete || firm.feteKv != kept.size() || perMonth != firm.feteMes;
    firm.fete = fete;
    firm.feteKv = u8(kept.size());
    firm.feteMes = perMonth;
    return changed;
}

} // namespace kalvor::masterdata
