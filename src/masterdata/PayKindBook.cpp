#include "masterdata/PayKindBook.h"

#include "masterdata/TypedFields.h"

#include "infobase/InfoBaseDb.h"
#include "infobase/PayKindCodes.h"
#include "payroll/PayKinds.h"
#include "platform/DbTransaction.h"
#include "values/CScan.h"
#include "values/Values.h"

#include <algorithm>

namespace kalvor::masterdata {

using infobase::CInfoBase;
using infobase::PayKind;

namespace {

constexpr double kWord = 65535; // a field kept in 16 bits
constexpr double kTwelveDigits = 999999999999;
constexpr FigureRule kFlag = WholeFigure(0, 1); // a flag: 0 or 1
// A source of financing of the averages: the budget (0) or the 2nd to the
// 10th source.
constexpr FigureRule kBudget = WholeFigure(0, 9);

constexpr std::array<PayKindFieldInfo, PayKindFieldCount> kFields = {{
    {1206, "Код оплаты или удержания", WholeFigure(0, 999)}, // shown, not typed (empty in a group)
    {1207, "Наименование", TextFigure(119)},
    {1208, "Из какого фонда финансируется этот вид оплаты", WholeFigure(0, 7)},
    {1209, "Входит ли в расчет отпуска вообще", WholeFigure(0, 3)},
    {1233, "В бюджет/небюдж при расчете отп.", kBudget},
    {1211, "Увелич.ли на коэф.при расчете отп.", kFlag},
    {1212, "Используется ли при расчете заработка для бюллетеня", WholeFigure(0, 4)},
    {1213, "В бюджет/небюдж при расчете блн.", kBudget},
    {1214, "При расчете средней премии для блн.", kFlag},
    {1215, "Профвзносы с этого вида оплаты", kFlag},
    {1216, "Алименты с этого вида оплаты", kFlag},
    {1217, "Используется ли эта оплата для расчета районных и северных надбавок", kFlag},
    {1218, "Резервное поле", kFlag},
    {1219, "Входит ли это начисление в средний заработок", kFlag},
    {1220, "Как следует округлять это начисление или удержание", WholeFigure(0, 7)},
    {1221, "ШПЗ либо ссылка на учетную карточку (по умолчанию осн.ШПЗ)", WholeFigure(0, kTwelveDigits)},
    {1222, "1-я характеристика", kFlag},
    {1223, "2-я характеристика", kFlag},
    {1224, "3-я характеристика", kFlag},
    {1225, "4-я характеристика", kFlag},
    {1226, "Облагается ли налогом", kFlag},
    {1227, "Код дохода", WholeFigure(0, kWord)},
    {1228, "Налоговые скидки: код", WholeFigure(0, kWord)},
    {1229, "Сумма:  подоходный", AmountFigure()},
    {1230, "социальный", AmountFigure()},
    {1231, "Столбец", WholeFigure(0, 14)},
    {1232, "Шапка", kFlag},
}};

// A field's text read by the field's rule for the kind (PayKindFieldRule), in
// units of its last place (kopecks for an amount); a text the rule refuses
// keeps the stored value.
int FieldUnitsOr(const PayKindTexts& t, PayKindField field, int code, int stored)
{
    return int(FigureUnitsOr(PayKindFieldRule(field, code), t[field], stored));
}

// An amount read by its field's rule into its place; 1 when it changed.
int StoreAmount(const PayKindTexts& t, PayKindField field, double& place)
{
    const double kopecks = FigureUnitsOr(PayKindFieldRule(field, 0), t[field], place);
    if (kopecks == place)
        return 0;
    place = kopecks;
    return 1;
}

// A flag (0 or 1) read by its rule.
template <class Set>
int StoreFlag(const PayKindTexts& t, PayKindField field, int stored, Set set)
{
    return StoreBits(stored, FieldUnitsOr(t, field, 0, stored), set);
}

// enBln and enSrPremBln settled together from their typed values.
int ReadSickLeaveAverage(int typedEnBln, int typedPrem, PayKind& kind)
{
    if (typedEnBln == kind.enBln() && typedPrem == kind.enSrPremBln)
        return 0;
    const bool fixedKind = IsFixedSickLeaveCode(kind.kod);
    switch (typedEnBln) {
    case 1:
    case 2:
        if (!fixedKind && typedPrem == 0) {
            kind.setEnBln(typedEnBln);
            kind.enSrPremBln = 0;
            return 1;
        }
        [[fallthrough]];
    case 0:
        kind.setEnBln(0);
        kind.enSrPremBln = typedPrem & 1;
        return 1;
    case 3:
    case 4: kind.setEnBln(fixedKind || typedPrem != 0 ? 0 : typedEnBln); return 1;
    default: return 0;
    }
}

int ReadNumbers(const PayKindTexts& t, PayKind& kind)
{
    const int code = kind.kod;
    auto read = [&](PayKindField field, int stored) { return FieldUnitsOr(t, field, code, stored); };
    int changed = 0;
    changed |= StoreIfChanged(kind.kod, read(FieldKod, kind.kod));
    changed |= StoreTextIfChanged(t[FieldName], kind.name, 120);
    changed |= StoreBits(kind.fond, read(FieldFond, kind.fond), [&](int v) { kind.fond = v; });
    changed |= StoreBits(kind.enOtp, read(FieldEnOtp, kind.enOtp), [&](int v) { kind.enOtp = v; });
    changed |= StoreIfChanged(kind.budgOtp, read(FieldBudgOtp, kind.budgOtp));
    changed |= StoreIfChanged(kind.koefOtp, read(FieldKoefOtp, kind.koefOtp));
    changed |= ReadSickLeaveAverage(read(FieldEnBln, kind.enBln()), read(FieldEnSrPremBln, kind.enSrPremBln), kind);
    changed |= StoreIfChanged(kind.budgBln, read(FieldBudgBln, kind.budgBln));
    changed |= StoreIfChanged(kind.kodDoh, read(FieldKodDoh, kind.kodDoh));
    changed |= StoreIfChanged(kind.kodSkid, read(FieldKodSkid, kind.kodSkid));
    return changed;
}

int ReadFlags(const PayKindTexts& t, PayKind& k)
{
    int changed = 0;
    changed |= StoreFlag(t, FieldOblProf, k.oblProf, [&](int v) { k.oblProf = v; });
    changed |= StoreFlag(t, FieldEnAlim, k.enAlim, [&](int v) { k.enAlim = v; });
    changed |= StoreFlag(t, FieldEnKoefRS, k.enKoefRS, [&](int v) { k.enKoefRS = v; });
    changed |= StoreFlag(t, FieldG11, k.g11, [&](int v) { k.g11 = v; });
    changed |= StoreFlag(t, FieldEnSrZar, k.enSrZar, [&](int v) { k.enSrZar = v; });
    changed |= StoreFlag(t, FieldHr1, k.hr1, [&](int v) { k.hr1 = v; });
    changed |= StoreFlag(t, FieldHr2, k.hr2, [&](int v) { k.hr2 = v; });
    changed |= StoreFlag(t, FieldHr3, k.hr3, [&](int v) { k.hr3 = v; });
    changed |= StoreFlag(t, FieldHr4, k.hr4, [&](int v) { k.hr4 = v; });
    changed |= StoreFlag(t, FieldOblPodoh, k.oblPodoh, [&](int v) { k.oblPodoh = v; });
    changed |= StoreFlag(t, FieldVedShap, k.vedShap, [&](int v) { k.vedShap = v; });
    return changed;
}

// Rounding, cost code, allowance amounts and the statement column.
int ReadRoundingCodeAndColumn(const PayKindTexts& t, PayKind& kind)
{
    int changed = 0;
    // Rounding and column share a byte: each within its own bits.
    changed |= StoreBits(kind.okrug, FieldUnitsOr(t, FieldOkrug, kind.kod, kind.okrug), [&](int v) { kind.okrug = v; });
    const double storedCode = double(Packed12DigitsValue(kind.spzCh, kind.spzSc, kind.spzAu));
    const double typedCode = FigureUnitsOr(PayKindFieldRule(FieldSpz, kind.kod), t[FieldSpz], storedCode);
    if (typedCode != storedCode) {
        std::uint16_t ch = kind.spzCh, sc = kind.spzSc, au = kind.spzAu;
        SetPacked12Digits(std::uint64_t(typedCode), ch, sc, au);
        kind.spzCh = ch & kDigitGroupMask;
        kind.spzSc = sc & kDigitGroupMask;
        kind.spzAu = au & kDigitGroupMask;
        changed = 1;
    }
    changed |= StoreAmount(t, FieldSumSkidPodoh, kind.sumSkidPodoh);
    changed |= StoreAmount(t, FieldSumSkidSoc, kind.sumSkidSoc);
    changed |= StoreIfChanged(kind.vedStlb, FieldUnitsOr(t, FieldVedStlb, kind.kod, kind.vedStlb));
    return changed;
}

} // namespace

const std::vector<int>& BuiltInPayKindCodes()
{
    static const std::vector<int> codes = [] {
        std::vector<int> c;
        for (const PayKindCodeRun& run : kBuiltInPayKindCodes)
            for (int code = run.first; code <= run.last; ++code) c.push_back(code);
        return c;
    }();
    return codes;
}

bool IsBuiltInPayKindCode(int code)
{
    const auto& codes = BuiltInPayKindCodes();
    return std::binary_search(codes.begin(), codes.end(), code);
}

const PayKindFieldInfo& PayKindFieldOf(PayKindField field) { return kFields[std::size_t(field)]; }

FigureRule PayKindFieldRule(PayKindField field, int code)
{
    // Accruals go to columns up to 14, deductions up to 7.
    if (field == FieldVedStlb && !IsAccrualCode(code))
        return WholeFigure(0, 7);
    return PayKindFieldOf(field).rule;
}

int PayKindFieldOfControl(int controlId)
{
    for (int f = 0; f < PayKindFieldCount; ++f)
        if (kFields[std::size_t(f)].controlId == controlId)
            return f;
    return -1;
}

PayKindTexts FillPayKindTexts(const PayKind& k)
{
    PayKindTexts t;
    t[FieldKod] = FormatIntField(k.kod);
    t[FieldName] = k.name;
    t[FieldFond] = FormatIntField(k.fond);
    t[FieldEnOtp] = FormatIntField(k.enOtp);
    t[FieldBudgOtp] = FormatIntField(k.budgOtp);
    t[FieldKoefOtp] = FormatIntField(k.koefOtp);
    t[FieldEnBln] = FormatIntField(k.enBln());
    t[FieldBudgBln] = FormatIntField(k.budgBln);
    t[FieldEnSrPremBln] = FormatIntField(k.enSrPremBln);
    t[FieldOblProf] = FormatIntField(k.oblProf);
    t[FieldEnAlim] = FormatIntField(k.enAlim);
    t[FieldEnKoefRS] = FormatIntField(k.enKoefRS);
    t[FieldG11] = FormatIntField(k.g11);
    t[FieldEnSrZar] = FormatIntField(k.enSrZar);
    t[FieldOkrug] = FormatIntField(k.okrug);
    t[FieldSpz] = FormatPacked12Digits(k.spzCh, k.spzSc, k.spzAu);
    t[FieldHr1] = FormatIntField(k.hr1);
    t[FieldHr2] = FormatIntField(k.hr2);
    t[FieldHr3] = FormatIntField(k.hr3);
    t[FieldHr4] = FormatIntField(k.hr4);
    t[FieldOblPodoh] = FormatIntField(k.oblPodoh);
    t[FieldKodDoh] = FormatIntField(k.kodDoh);
    t[FieldKodSkid] = FormatIntField(k.kodSkid);
    t[FieldSumSkidPodoh] = FormatMoney(k.sumSkidPodoh);
    t[FieldSumSkidSoc] = FormatMoney(k.sumSkidSoc);
    t[FieldVedStlb] = FormatIntField(k.vedStlb);
    t[FieldVedShap] = FormatIntField(k.vedShap);
    return t;
}

int ReadPayKindTexts(const PayKindTexts& texts, PayKind& kind)
{
    int changed = ReadNumbers(texts, kind);
    changed |= ReadFlags(texts, kind);
    changed |= ReadRoundingCodeAndColumn(texts, kind);
    return changed;
}

bool PayKindNameEditable(int code) { return code != 0 && !IsBuiltInPayKindCode(code); }

// ------------------------------------------------------------------ the table

int PayKindPosition(const CInfoBase& base, int code)
{
    const int found = FindPayKindIn(base.payKinds().data(), int(base.payKinds().size()), code);
    return found >= 0 ? found : -1;
}

int CreatePayKind(CInfoBase& base, int code)
{
    if (int(base.payKinds().size()) >= CInfoBase::MaxPayKinds)
        return kPayKindTableFull;
    PayKind kind;
    kind.kod = std::uint16_t(code);
    base.addPayKind(kind);
    return PayKindPosition(base, code);
}

bool DeletePayKind(CInfoBase& base, int code)
{
    if (IsBuiltInPayKindCode(code))
        return false;
    const int position = PayKindPosition(base, code);
    if (position < 0)
        return false;
    base.erasePayKind(infobase::NumberOfPlace(position));
    return true;
}

// ------------------------------------------------------------------ group operation

void ClearPayKindGroup(CInfoBase& base)
{
    for (int number = 1; number <= int(base.payKinds().size()); ++number) base.payKindAt(number).grp = 0;
}

int MarkPayKindGroup(CInfoBase& base, const QStringList& lines)
{
    ClearPayKindGroup(base);
    int marked = 0;
    for (const QString& line : lines) {
        std::int64_t code = 0;
        CScan scan(line);
        if (!scan.readInt64(code) || code < 1 || code > 0xFFFF)
            continue;
        const int position = PayKindPosition(base, int(code));
        if (position < 0)
            continue;
        PayKind& kind = base.payKindAt(infobase::NumberOfPlace(position));
        if (!kind.grp) {
            kind.grp = 1;
            ++marked;
        }
    }
    return marked;
}

namespace {

// The flags that a group copy only ever sets.
void CopySetFlags(const PayKind& p, PayKind& k)
{
    k.oblPodoh |= p.oblPodoh;
    k.vedShap |= p.vedShap;
    k.oblProf |= p.oblProf;
    k.enAlim |= p.enAlim;
    k.enKoefRS |= p.enKoefRS;
    k.hr1 |= p.hr1;
    k.hr2 |= p.hr2;
    k.enSrPremBln |= p.enSrPremBln;
    k.g11 |= p.g11;
    k.enSrZar |= p.enSrZar;
    k.hr3 |= p.hr3;
    k.enBlnFull |= p.enBlnFull;
    k.fond |= p.fond & 4;
}

void CopyNonZeroValues(const PayKind& p, PayKind& k)
{
    if (p.fond & 3)
        k.fond = (k.fond & 4) | (p.fond & 3);
    // The cost code travels with the values that its words hold beside it.
    if (p.spzCh != 0 || p.spzSc != 0 || p.spzAu != 0) {
        k.spzCh = p.spzCh;
        k.spzSc = p.spzSc;
        k.spzAu = p.spzAu;
        k.spzAuHi = p.spzAuHi;
        k.enOtp = p.enOtp;
        k.enBlnProp = p.enBlnProp;
        k.hr4 = p.hr4;
    }
    // Rounding and column share one byte.
    if (p.okrug != 0 || p.vedStlb != 0) {
        k.okrug = p.okrug;
        k.vedStlb = p.vedStlb;
    }
    auto copy = [](auto from, auto& to) {
        if (from != 0)
            to = from;
    };
    copy(p.kodDoh, k.kodDoh);
    copy(p.kodSkid, k.kodSkid);
    copy(p.sumSkidPodoh, k.sumSkidPodoh);
    copy(p.sumSkidSoc, k.sumSkidSoc);
    copy(p.budgOtp, k.budgOtp);
    copy(p.koefOtp, k.koefOtp);
    copy(p.budgBln, k.budgBln);
}

} // namespace

int CopyIntoPayKindGroup(CInfoBase& base, const PayKind& pattern)
{
    int changed = 0;
    for (int number = 1; number <= int(base.payKinds().size()); ++number) {
        PayKind& kind = base.payKindAt(number);
        if (!kind.grp)
            continue;
        const PayKind before = kind;
        CopySetFlags(pattern, kind);
        CopyNonZeroValues(pattern, kind);
        changed += before == kind ? 0 : 1;
    }
    return changed;
}

// ------------------------------------------------------------------ saving

void ClearFixedPayKindFlags(CInfoBase& base)
{
    for (int number = 1; number <= int(base.payKinds().size()); ++number) {
        PayKind& kind = base.payKindAt(number);
        if (IsFixedSickLeaveCode(kind.kod)) {
            kind.enSrZar = 0;
            kind.enOtp = 0;
            kind.enBlnFull = 0;
        } else if (kind.kod == kCodeDividends) {
            kind.enSrZar = 0;
            kind.enSrPremBln = 0;
            kind.enKoefRS = 0;
            kind.enOtp = 0;
            kind.enBlnFull = 0;
        }
    }
}

void SavePayKindBook(CInfoBase& base)
{
    ClearFixedPayKindFlags(base);
    base.config.nEnt = std::uint16_t(base.payKinds().size());
    db::WriteTogether(infobase::Db(base), [&] {
        infobase::SaveEntree(base);
        infobase::SaveConfigNEnt(base);
    });
}

// ------------------------------------------------------------------ field help

namespace {

constexpr PickPair kFondList[] = {{"Прочие фонды", " "},
                                  {"Фонд оплаты труда", "1"},
                                  {"Фонд накопления", "2"},
                                  {"Фонд потребления", "3"},
                                  {"Фонд социального страхования", "4"},
                                  {"Пенсионный фонд", "5"},
                                  {"Бюджетный фонд", "6"},
                                  {nullptr, nullptr}};
constexpr PickPair kVacationList[] = {{"Эта выплата не участвует в расчете", " "},
                                      {"Эта выплата учитывается полностью", "1"},
                                      {"Выплата учитывается пропорционально отработанному времени", "2"},
                                      {"Выплата учитывается в размере 1/12 за каждый месяц", "3"},
                                      {nullptr, nullptr}};
constexpr PickPair kBudgetList[] = {{"бюджет(источник по умолчанию", " "},
                                    {"2-й источник финансирования", "1"},
                                    {"3-й источник финансирования", "2"},
                                    {"4-й источник финансирования", "3"},
                                    {"5-й источник финансирования", "4"},
                                    {"6-й источник финансирования", "5"},
                                    {"7-й источник финансирования", "6"},
                                    {"8-й источник финансирования", "7"},
                                    {"9-й источник финансирования", "8"},
                                    {"10-й источник финансирования", "9"},
                                    {nullptr, nullptr}};
constexpr PickPair kYesNoList[] = {{"Нет", " "}, {"Да", "1"}, {nullptr, nullptr}};
constexpr PickPair kSickLeaveList[] = {{"Эта выплата не участвует в расчете", " "},
                                       {"Эта выплата учитывается полностью", "1"},
                                       {"Выплата учитывается пропорционально отработанному времени", "2"},
                                       {"Выплата учитывается только в расчете по-старому", "3"},
                                       {"Выплата учитывается только в расчете по-новому", "4"},
                                       {nullptr, nullptr}};
constexpr PickPair kUsedList[] = {
    {"Начисление не используется в расчете", " "}, {"Начисление участвует в расчете", "1"}, {nullptr, nullptr}};
constexpr PickPair kRoundingList[] = {{"Используется признак округления из общей информации о фирме", " "},
                                      {"Это начисление не округляется", "1"},
                                      {"В этом начислении отбрасываются копейки", "2"},
                                      {"Это начисление округляется до 10 копеек", "3"},
                                      {"Это начисление округляется до целых рублей", "4"},
                                      {"Это начисление округляется до 10 рублей", "5"},
                                      {"Это начисление округляется до 100 рублей", "6"},
                                      {"Это начисление не выплачивается", "7"},
                                      {nullptr, nullptr}};
constexpr PickPair kOutputFileList[] = {{"Начисление не будет послано в файл учета выработки", " "},
                                        {"Начисление будет передано в коммуникативный файл для учета выработки", "1"},
                                        {nullptr, nullptr}};
constexpr PickPair kAbsenceList[] = {{"Время по начислению считается временем присутствия", " "},
                                     {"Время по начислению считается временем отсутствия", "1"},
                                     {nullptr, nullptr}};

const PickPair* ValueTable(PayKindField field)
{
    switch (field) {
    case FieldFond: return kFondList;
    case FieldEnOtp: return kVacationList;
    case FieldBudgOtp:
    case FieldBudgBln: return kBudgetList;
    case FieldKoefOtp: return kYesNoList;
    case FieldEnBln: return kSickLeaveList;
    case FieldEnSrPremBln:
    case FieldOblProf:
    case FieldEnAlim:
    case FieldEnKoefRS:
    case FieldEnSrZar:
    case FieldOblPodoh: return kUsedList;
    case FieldOkrug: return kRoundingList;
    case FieldHr3: return kOutputFileList;
    case FieldHr4: return kAbsenceList;
    default: return nullptr;
    }
}

} // namespace

QStringList PayKindFieldValueList(PayKindField field) { return BuildPickListFromPairs(ValueTable(field)); }

QString PayKindFieldHint(PayKindField field)
{
    switch (field) {
    case FieldG11: return QStringLiteral("Это поле пока не используется в расчетах");
    case FieldSpz:
        return QStringLiteral(
            "Введите шифр производственных затрат.\nВ нашей программе он должен состоять из 12 цифр: первая "
            "(левая) четверка цифр определяет счет, средняя четверка цифр определяет субсчет, а правая четверка "
            "определяет код аналитического учета");
    case FieldHr1:
    case FieldHr2:
        return QStringLiteral("Эта характеристика начисления/удержания\nиспользуется для различных выборок.Плюс по 1-й "
                              "характеристике КАУ будет взят из 5-го ШПЗ сотрудника, а 2-й из 4-го.");
    case FieldSumSkidPodoh:
    case FieldSumSkidSoc: return QStringLiteral("Введите число в формате: РРРРРРР.КК Незначащие нули можно опустить.");
    case FieldVedStlb:
        return QStringLiteral(
            "Задает номер столбца расчетно-платежной ведомости\nв который попадает данное "
            "начисление(удержание).Для начислений допустимы номера от 1 до 14,а для удержаний от 1 до 7.");
    case FieldVedShap:
        return QStringLiteral(
            "Поставьте 1, чтобы наименование данного\nначисления(удержания) стало названиемсоответствующего "
            "столбца(см. поле \"Столбец\"расчетно-платежной ведомости");
    default: return QStringLiteral("Введите любое целое число в соответствии с назначением этого поля.");
    }
}

} // namespace kalvor::masterdata
