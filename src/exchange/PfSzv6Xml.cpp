#include "exchange/PfSzv6Xml.h"

#include "infobase/InfoBaseDb.h"
#include "infobase/PayKindCodes.h"
#include "platform/CodePage.h"
#include "reports/social/PensionXml.h"
#include "values/Clock.h"
#include "values/RoundText.h"
#include "values/Text8.h"

#include <algorithm>

namespace kalvor::exchange {

using infobase::FirmInfo;

namespace {

// The earliest month a СЗВ-6 record covers: January 2010.
constexpr int kEarliestMonth = MonthKey(2010, 1).value();
constexpr int kReportYearByte2010 = 110; // report-year byte of 2010

QByteArray Cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }

bool BornAfter1966(const infobase::EmployeeHead& head) { return PackedDate(head.datR).fullYear() > 1966; }

// A foreigner staying temporarily (flag 9 without 10 and 12) pays no pension contribution.
bool PaysNoPension(const infobase::EmployeeHead& head) { return head.flag(9) && !head.flag(10) && !head.flag(12); }

// The contribution of one month of part k: the charge on the cumulated base
// through the month less the charge through the month before, the excess
// over the cap left out.
int MonthPartContribution(const PayrollDoc& doc, int part, bool young, const PfrPartFigures& f, double excess,
                          int lastMonth, double& contribution)
{
    const infobase::ContributionKind kind = PfrContributionKind(doc, kPfrInsuranceKind + part);
    const int table = kind.table + (young ? 1 : 0);
    if (table < 1)
        return -32;
    const int variant = TaxVariantForMonth(table, MonthKey::of(lastMonth).index(), doc);
    if (variant < 0)
        return variant;
    const TaxScale& scale = doc.refFiles.taxTableAt(table).variants[std::size_t(variant)].scale;
    const double v1 = f.c != 0 && excess != 0 ? excess : 0;
    const double v2 = f.a != 0 && excess != 0 ? excess : 0;
    const double through =
        RoundWhole(PensionInsuranceSplit(kind.code, scale, (f.a + f.b - v2) / 100, (f.c + f.d - v1) / 100, doc));
    const double before = RoundWhole(PensionInsuranceSplit(kind.code, scale, f.b / 100, f.d / 100, doc));
    contribution = through - before;
    return 0;
}

// The figures of pension part `part` in the table cumulated up to a month.
PfrPartFigures PartFigures(const reports::EmployeeContributions& table, int part)
{
    const infobase::ContributionRow& prior = table.prior(kPfrInsuranceKind + part);
    const infobase::ContributionRow& own = table.own(kPfrInsuranceKind + part);
    return PfrPartFiguresOf(prior.baseLessAllowance, own.baseLessAllowance, own.disabilityIncome,
                            prior.disabilityIncome);
}

// The amounts paid: the last month's contribution rows of the cumulated
// tables from January to each month of the firm's report period.
int PaidSums(const PayrollDoc& doc, int firstRow, int january, PfrPensionSums& out)
{
    const infobase::InfoBaseConfig& config = doc.infoBase.config;
    const int lastReportMonth = std::min<int>(config.r_m2, 12);
    for (int month = january; month < january + lastReportMonth; ++month) {
        reports::EmployeeContributions table;
        if (const int result = PfrContributions(doc, kPfrXmlKindCount, january, month, firstRow, 0, table); result < 0)
            return result;
        if (month >= january + config.r_m1 - 1) {
            out.insurancePaid += table.own(kPfrInsuranceKind).last;
            out.fundedPaid += table.own(kPfrFundedKind).last;
        }
    }
    return 0;
}

} // namespace

double PfrSzv6Cap(int reportYearByte) { return reportYearByte == kReportYearByte2010 ? 41'500'000.0 : 46'300'000.0; }

PfrPartFigures PfrPartFiguresOf(double prior, double current, double currentDisability, double priorDisability)
{
    PfrPartFigures f;
    if (prior + current > 0)
        f.a = prior < 0 ? prior + current : current;
    else if (prior > 0)
        f.a = -prior;
    f.b = prior > 0 ? prior : 0;
    f.c = currentDisability;
    f.d = priorDisability;
    return f;
}

double PfrCarriedExcess(const PfrPartFigures& part, double cap, double carried)
{
    const double total = part.a + part.b + part.c + part.d;
    if (part.a > 0 && total > cap)
        carried = (total - cap) - std::max(part.b - cap, 0.0);
    if (part.c > 0 && total > cap)
        carried = (total - cap) - std::max(part.b + part.d - cap, 0.0);
    return carried;
}

int PfrSzv6PensionSums(const PayrollDoc& doc, int firstRow, int firstMonth, int lastMonth, PfrPensionSums& out)
{
    const int january = MonthKey(MonthKey::of(firstMonth).year(), 1).value();
    if (const int result = PaidSums(doc, firstRow, january, out); result < 0)
        return result;
    const infobase::EmployeeHead& head = doc.infoBase.current.head;
    const bool young = BornAfter1966(head);
    const double cap = PfrSzv6Cap(static_cast<std::uint8_t>(doc.infoBase.config.r_g));
    double excess = 0;
    for (int month = january; month <= lastMonth; ++month) {
        reports::EmployeeContributions table;
        if (const int result = PfrContributions(doc, kPfrXmlKindCount, january, month, firstRow, 0, table); result < 0)
            return result;
        const bool exempt = PaysNoPension(head);
        const std::array<PfrPartFigures, 2> parts = {exempt ? PfrPartFigures{} : PartFigures(table, 0),
                                                     exempt ? PfrPartFigures{} : PartFigures(table, 1)};
        excess = PfrCarriedExcess(parts[young ? 1 : 0], cap, excess);
        for (int part = 0; part < 2; ++part) {
            double contribution = 0;
            if (const int result =
                    MonthPartContribution(doc, part, young, parts[std::size_t(part)], excess, lastMonth, contribution);
                result < 0)
                return result;
            if (month >= firstMonth)
                (part == 0 ? out.insuranceAccrued : out.fundedAccrued) += contribution;
        }
    }
    return 0;
}

// ------------------------------------------------------------ periods of service

const char* PfrPrivilegeCode(int kod)
{
    if (kod == kCodeBrigadeContract)
        return "ДОГОВОР";
    if (IsSickBenefitCode(kod) || IsInjuryBenefitCode(kod) || IsOtherSheetBenefitCode(kod))
        return "ВРНЕТРУД";
    switch (kod) {
    case kCodeMaternity:
    case kCodeMaternityNext: return "ДЕКРЕТ";
    case kCodeChildCareFirst:
    case kCodeChildCareSecond:
    case kCodeChildCareLater: return "ДЕТИ";
    case kCodeUnpaid: return "АДМИНИСТР";
    default: return nullptr;
    }
}

namespace {

// Walks the privileged entries over first..last; leaves the day after the
// last line in `current` and the last line number in `number`.
void WalkEntries(const QDate& last, const std::vector<PfrServiceEntry>& entries, std::vector<PfrServiceLine>& lines,
                 QDate& current, int& number)
{
    std::size_t index = 0;
    bool done = false;
    while (index < entries.size() && !done) {
        ++number;
        const PfrServiceEntry& entry = entries[index];
        if (entry.end < current) {
            number = std::max(number - 1, 0);
            ++index;
            continue;
        }
        PfrServiceLine line{number, current, QDate(), 0};
        if (entry.start > current) {
            line.end = entry.start.addDays(-1); // the same entry comes again after this ordinary line
        } else {
            line.end = entry.end;
            line.kod = entry.kod;
            done = entry.end.year() > last.year();
            ++index;
        }
        if (done || line.end >= last) {
            line.end = last;
            done = true;
        }
        lines.push_back(line);
        current = line.end.addDays(1);
        done = done || current > last;
    }
}

} // namespace

std::vector<PfrServiceLine> PfrServiceSweep(const QDate& first, const QDate& last,
                                            const std::vector<PfrServiceEntry>& entries, bool severalLines)
{
    std::vector<PfrServiceLine> lines;
    QDate current = first;
    int number = 0;
    if (severalLines) {
        std::vector<PfrServiceEntry> coded;
        std::copy_if(entries.begin(), entries.end(), std::back_inserter(coded), [](const PfrServiceEntry& entry) {
            return PfrPrivilegeCode(entry.kod) && entry.start.isValid() && entry.end.isValid();
        });
        WalkEntries(last, coded, lines, current, number);
    }
    if (current <= last)
        lines.push_back({number + 1, current, last, 0});
    return lines;
}

namespace {

// The first employment's bounds: false when it does not reach the period.
bool MainPeriod(const infobase::EmployeeHead& head, int year, int firstMonth, int lastMonth, PfrServicePeriods& out)
{
    bool employed = true;
    const QDate hired = PackedDate(head.datPr1).toQDate();
    if (hired.isValid()) {
        if (hired.year() > year || (hired.year() == year && hired.month() > lastMonth))
            employed = false;
        else if (hired.year() == year && hired.month() >= firstMonth)
            out.mainStart = hired;
    }
    const QDate dismissed = PackedDate(head.datUv1).toQDate();
    if (dismissed.isValid()) {
        if (dismissed.year() < year || (dismissed.year() == year && dismissed.month() < firstMonth))
            employed = false;
        else if (dismissed.year() == year && dismissed.month() <= lastMonth)
            out.mainEnd = dismissed;
    }
    return employed;
}

void SecondPeriod(const infobase::EmployeeHead& head, int year, int firstMonth, int lastMonth, PfrServicePeriods& out)
{
    const QDate hired = PackedDate(head.datPr2).toQDate();
    if (hired.isValid()) {
        if (hired.year() < year || (hired.year() == year && hired.month() < firstMonth)) {
            out.second = true;
        } else if (hired.year() == year && hired.month() <= lastMonth) {
            out.secondStart = hired;
            out.second = true;
        }
    }
    const QDate dismissed = PackedDate(head.datUv2).toQDate();
    if (!dismissed.isValid() || !out.second)
        return;
    if (dismissed.year() < year || (dismissed.year() == year && dismissed.month() < firstMonth))
        out.second = false;
    else if (dismissed.year() == year && dismissed.month() <= lastMonth)
        out.secondEnd = dismissed;
}

} // namespace

PfrServicePeriods PfrServiceBounds(const infobase::EmployeeHead& head, int year, int firstMonth, int lastMonth)
{
    PfrServicePeriods out;
    out.mainStart = out.secondStart = QDate(year, firstMonth, 1);
    out.mainEnd = out.secondEnd = QDate(year, lastMonth, PfrMonthLength(lastMonth));
    const bool employed = MainPeriod(head, year, firstMonth, lastMonth, out);
    SecondPeriod(head, year, firstMonth, lastMonth, out);
    if (!employed && out.second) {
        out.mainStart = out.secondStart;
        out.mainEnd = out.secondEnd;
        out.second = false;
    }
    return out;
}

PfrPlaceName PfrSplitPlaceName(const QByteArray& text, reports::PlaceLevel level)
{
    const reports::NamedPlace place = reports::SplitPlace(text, level);
    return {place.name, place.abbreviation};
}

// ------------------------------------------------------------ the record

namespace {

// What one call works with.
struct Szv6Record {
    PfrRecordCall& call;
    PayrollDoc& doc;
    int year = 0;
    int firstMonth = 0, lastMonth = 0; // month keys
    int firstRow = 0;

    const infobase::EmployeeHead& head() const { return doc.infoBase.current.head; }
    const FirmInfo& firm() const { return doc.infoBase.firm; }
    bool severalPeriods() const { return call.format == PfrSzv61 || call.format == PfrOoiN; }
};

QByteArray TwoDigitDate(const QDate& date, int year)
{
    return QString::asprintf("%02d.%02d.%d", date.day(), date.month(), year).toLatin1();
}

int QuarterOfKind(int kind)
{
    static constexpr int quarters[] = {2, 2, 1, 2, 0, 1, 2, 3, 4};
    return kind >= 0 && kind <= PfrLastKind ? quarters[kind] : 2;
}

void WriteFirmPart(PfrXmlLines& xml, const Szv6Record& r)
{
    const FirmInfo& firm = r.firm();
    xml.leaf("НомерВпачке", QByteArray::number(r.call.recordNumber));
    xml.leaf("ВидФормы", Cp(r.severalPeriods() ? "СЗВ-6-1" : "СЗВ-6-2"));
    xml.leaf("ТипСведений", Cp("ИСХОДНАЯ"));
    xml.leaf("РегистрационныйНомер", PfrFirmText(firm, FirmInfo::firmPens, 14));
    xml.leaf("НаименованиеКраткое", SqueezeBlanks(PfrFirmText(firm, FirmInfo::firmName, 56)));
    xml.open("НалоговыйНомер");
    xml.leaf("ИНН", "00" + PfrFirmText(firm, FirmInfo::firmINN, 10));
    xml.leaf("КПП", PfrFirmText(firm, FirmInfo::firmKPP, 9));
    xml.close("НалоговыйНомер");
    const bool ooi = r.call.format == PfrOoi1 || r.call.format == PfrOoiN;
    xml.leaf("КодКатегории", Cp(ooi ? "ООИ" : firm.firmUprosh() ? "УСЕН" : "НР"));
    xml.open("ОтчетныйПериод");
    xml.leaf("Квартал", QByteArray::number(QuarterOfKind(r.call.options->kind)));
    xml.leaf("Год", QByteArray::number(r.year));
    xml.close("ОтчетныйПериод");
}

// The insurance number; a blank or all-zero one also goes to the list.
void WriteInsuranceNumber(PfrXmlLines& xml, const Szv6Record& r)
{
    const PfrInsuranceNumber number = PfrInsuranceNumberOf(r.head().strahPolis);
    if (number.blank || number.allZero)
        r.call.noPension->write(PfrNoPensionLine(r.call.personnelNumber, r.head().fio));
    xml.leaf("СтраховойНомер", number.blank ? number.field : number.withCheck());
}

void WriteName(PfrXmlLines& xml, const Szv6Record& r)
{
    xml.open("ФИО");
    xml.leaf("Фамилия", PfrNameWord(r.head().fio, 0));
    xml.leaf("Имя", PfrNameWord(r.head().fio, 1));
    xml.leaf("Отчество", PfrNameWord(r.head().fio, 2));
    xml.close("ФИО");
}

void WritePlace(PfrXmlLines& xml, const char* element, reports::PlaceLevel level, const QByteArray& text)
{
    const PfrPlaceName place = PfrSplitPlaceName(text, level);
    xml.open(element);
    xml.leaf("ГеографическоеНазвание", place.name);
    xml.leaf("Сокращение", place.abbreviation);
    xml.close(element);
}

void WriteOptionalPlace(PfrXmlLines& xml, const char* element, reports::PlaceLevel level, const QByteArray& text)
{
    if (!text.isEmpty())
        WritePlace(xml, element, level, text);
}

void WriteNumbered(PfrXmlLines& xml, const char* element, const char* abbreviation, const QByteArray& number)
{
    if (number.isEmpty())
        return;
    xml.open(element);
    xml.leaf("Сокращение", Cp(abbreviation));
    xml.leaf("Номер", number);
    xml.close(element);
}

void WriteAddress(PfrXmlLines& xml, const Szv6Record& r)
{
    const infobase::EmployeeHead& head = r.head();
    const int region = PfrRegionCode(head);
    const QString regionName = PfrRegionName(region);
    xml.open("АдресЗЛ");
    xml.leaf("ТипАдреса", Cp("РОССИЙСКИЙ"));
    xml.leaf("Индекс", PfrSqueezed(head.propInd, 6));
    xml.open("РоссийскийАдрес");
    using reports::PlaceLevel;
    WritePlace(xml, "Регион", PlaceLevel::Region,
               regionName.isEmpty() ? PfrSqueezedUpper(head.propReg, 28) : codepage::toCp1251(regionName));
    WriteOptionalPlace(xml, "Район", PlaceLevel::District, PfrSqueezedUpper(head.propRaj, 25));
    if (region != 77)
        WriteOptionalPlace(xml, "Город", PlaceLevel::Settlement, PfrSqueezedUpper(head.propGorod, 30));
    WriteOptionalPlace(xml, "НаселенныйПункт", PlaceLevel::Settlement, PfrSqueezedUpper(head.propPunkt, 30));
    WriteOptionalPlace(xml, "Улица", PlaceLevel::Street, PfrSqueezedUpper(head.propUl, 50));
    WriteNumbered(xml, "Дом", "Д", PfrSqueezed(head.propDom, 10));
    WriteNumbered(xml, "Корпус", "КОРП", PfrSqueezed(head.propKorp, 9));
    WriteNumbered(xml, "Квартира", "КВ", PfrSqueezed(head.propKv, 4));
    xml.close("РоссийскийАдрес");
    xml.close("АдресЗЛ");
}

void WriteSums(PfrXmlLines& xml, const char* element, double accrued, double paid)
{
    xml.open(element);
    xml.leaf("Начислено", FormatFixed8(accrued / 100, 2));
    xml.leaf("Уплачено", FormatFixed8(paid / 100, 2));
    xml.close(element);
}

void WriteServiceLine(PfrXmlLines& xml, const Szv6Record& r, const PfrServiceLine& line)
{
    xml.open("СтажевыйПериод");
    xml.leaf("НомерСтроки", QByteArray::number(line.number));
    xml.leaf("ДатаНачалаПериода", TwoDigitDate(line.start, r.year));
    xml.leaf("ДатаКонцаПериода", TwoDigitDate(line.end, r.year));
    if (r.severalPeriods()) {
        xml.leaf("КоличествоЛьготныхСоставляющих", QByteArray(line.kod != 0 ? "1" : "0"));
        if (line.kod != 0) {
            xml.open("ЛьготныйСтаж");
            xml.leaf("НомерСтроки", QByteArray("1"));
            xml.open("ОсобенностиУчета");
            xml.leaf("ДекретДети", Cp(PfrPrivilegeCode(line.kod)));
            xml.close("ОсобенностиУчета");
            xml.close("ЛьготныйСтаж");
        }
    }
    xml.close("СтажевыйПериод");
}

// The dated entries of the months of first..last in the report year.
std::vector<PfrServiceEntry> DatedEntries(Szv6Record& r, const QDate& first, const QDate& last)
{
    infobase::CInfoBase& base = r.doc.infoBase;
    const int count = infobase::LoadWarDat(base, r.call.slot, first.month(), last.month(), r.year);
    std::vector<PfrServiceEntry> entries;
    for (int i = 0; i < count; ++i) {
        const infobase::WarDatEntry& entry = base.warDat.entries[std::size_t(i)];
        entries.push_back({PackedDate(entry.start).toQDate(), PackedDate(entry.end).toQDate(), entry.kod});
    }
    return entries;
}

void WriteServicePeriods(PfrXmlLines& xml, Szv6Record& r)
{
    const infobase::InfoBaseConfig& config = r.doc.infoBase.config;
    const int firstMonth = config.r_m1 != 0 ? MonthKey::of(r.firstMonth).month() : 1;
    const int lastMonth = config.r_m2 != 0 ? MonthKey::of(r.lastMonth).month() : 12;
    const PfrServicePeriods periods = PfrServiceBounds(r.head(), r.year, firstMonth, lastMonth);
    std::vector<std::pair<QDate, QDate>> sweeps = {{periods.mainStart, periods.mainEnd}};
    if (r.severalPeriods() && periods.second)
        sweeps.push_back({periods.secondStart, periods.secondEnd});
    for (const auto& [first, last] : sweeps) {
        const std::vector<PfrServiceEntry> entries =
            r.severalPeriods() ? DatedEntries(r, first, last) : std::vector<PfrServiceEntry>{};
        for (const PfrServiceLine& line : PfrServiceSweep(first, last, entries, r.severalPeriods()))
            WriteServiceLine(xml, r, line);
    }
}

void WriteRecord(Szv6Record& r, const PfrPensionSums& sums)
{
    static constexpr const char* element = "СВЕДЕНИЯ_О_СТРАХОВЫХ_ВЗНОСАХ_И_СТРАХОВОМ_СТАЖЕ_ЗЛ";
    PfrXmlLines xml(int(r.call.indentation.count('\t')));
    xml.open(element);
    WriteFirmPart(xml, r);
    WriteInsuranceNumber(xml, r);
    WriteName(xml, r);
    WriteAddress(xml, r);
    WriteSums(xml, "СуммаВзносовНаСтраховую", sums.insuranceAccrued, sums.insurancePaid);
    WriteSums(xml, "СуммаВзносовНаНакопительную", sums.fundedAccrued, sums.fundedPaid);
    xml.leaf("ДатаЗаполнения", Clock::today().toString(QStringLiteral("dd.MM.yyyy")).toLatin1());
    WriteServicePeriods(xml, r);
    xml.close(element);
    r.call.pack->write(xml.bytes());
}

void AddToTotals(PfrPackTotals& totals, const std::array<double, 3>& benefits, const PfrPensionSums& sums)
{
    for (std::size_t i = 0; i < benefits.size(); ++i) totals.earnings[i] += benefits[i];
    totals.insuranceAccrued += sums.insuranceAccrued;
    totals.fundedAccrued += sums.fundedAccrued;
    totals.insurancePaid += sums.insurancePaid;
    totals.fundedPaid += sums.fundedPaid;
}

} // namespace

int WritePfSzv6Xml(PfrRecordCall& call)
{
    Szv6Record r{call, *call.doc};
    const int kind = call.options->kind == PfrQuestionnaires ? int(PfrYear) : int(call.options->kind);
    const PfrKindMonths months = PfrMonthsOfKind(kind);
    r.year = PfrReportYear(r.doc.infoBase.config);
    r.firstMonth = MonthKey(r.year, months.first).value();
    r.lastMonth = MonthKey(r.year, months.last).value();
    if (r.firstMonth < kEarliestMonth)
        return -34;
    r.firstRow = PfrFirstPayRow(r.doc, call.slot);

    reports::EmployeeContributions period;
    const int monthRule = PfrByAccrualMonth(r.doc) ? 1 : 0;
    if (const int result =
            PfrContributions(r.doc, kPfrXmlKindCount, r.firstMonth, r.lastMonth, r.firstRow, monthRule, period);
        result < 0)
        return result;
    if (call.pass == 0)
        call.totals->earningsExtra +=
            period.prior(kPfrInsuranceKind).baseLessAllowance + period.own(kPfrInsuranceKind).baseLessAllowance;
    if (call.personnelNumber != 0 && PfrSqueezed(r.head().fio, 50).isEmpty())
        return 1;

    const std::array<double, 3> benefits = PfrBenefitSums(r.doc, r.firstRow, r.firstMonth, r.lastMonth);
    PfrPensionSums sums;
    if (const int result = PfrSzv6PensionSums(r.doc, r.firstRow, r.firstMonth, r.lastMonth, sums); result < 0)
        return result;
    if (call.pass == 0)
        AddToTotals(*call.totals, benefits, sums);
    else
        WriteRecord(r, sums);
    return 0;
}

reports::ReportMarkers PfSzv6PackMarkers(int kind, int format, const FirmInfo& firm)
{
    const bool several = format == PfrSzv61 || format == PfrOoiN;
    const bool ooi = format == PfrOoi1 || format == PfrOoiN;
    const auto leaf = [](const char* name, const QByteArray& value) {
        return '<' + Cp(name) + '>' + value + "</" + Cp(name) + '>';
    };
    return {Cp("<ВХОДЯЩАЯ_ОПИСЬ_ПО_СТРАХОВЫМ_ВЗНОСАМ>"), leaf("ВидФормы", Cp(several ? "СЗВ-6-1" : "СЗВ-6-2")),
            leaf("КодКатегории", Cp(ooi ? "ООИ" : firm.firmUprosh() ? "УСЕН" : "НР")),
            leaf("Квартал", QByteArray::number(PfrInventoryQuarter(kind))),
            leaf("Квартал", QByteArray::number(QuarterOfKind(kind)))};
}

} // namespace kalvor::exchange
