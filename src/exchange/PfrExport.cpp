#include "exchange/PfrExport.h"

#include "exchange/PfrRecordParts.h"
#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/WorkingFolder.h"
#include "print/TextHelpers.h"
#include "reports/social/EmployeeContributions.h"
#include "reports/social/PensionFundFiles.h"
#include "values/Clock.h"
#include "values/Messages.h"
#include "values/RoundText.h"
#include "values/Text8.h"

#include <QDate>

#include <vector>

namespace kalvor::exchange {

using infobase::CInfoBase;
using infobase::EmployeeListEntry;
using infobase::FirmInfo;

namespace {

struct KindInfo {
    const char* name;
    int first;
    int last;
};

constexpr KindInfo kKinds[] = {
    {"Анкетные данные", 0, 0},           {"зарплата за год", 1, 12},
    {"зарплата за 1-е полугодие", 1, 6}, {"зарплата за 2-е полугодие", 7, 12},
    {"зарплата за 9 месяцев", 1, 9},     {"данные за 1-й квартал", 1, 3},
    {"данные за 2-й квартал", 4, 6},     {"данные за 3-й квартал", 7, 9},
    {"данные за 4-й квартал", 10, 12},
};

constexpr const char* kFormats[] = {
    "СЗВ-6-2(с одним периодом стажа)",
    "СЗВ-6-1(с несколькими периодами)",
    "ООИ(с одним периодом стажа)",
    "ООИ(с несколькими периодами)",
    "СЗВ-4-2(с одним периодом до 2010)",
    "СЗВ-4-1(с двумя периодами до 2010г)",
    "ОАЗИС 4.0",
    "ОАЗИС 3.0",
};

struct RegionName {
    int code;
    const char* name;
};

constexpr RegionName kRegions[] = {
    {2, "БАШКОРТОСТАН РЕСП"},   {4, "АЛТАЙ РЕСП"},         {10, "КАРЕЛИЯ РЕСП"},        {14, "САХА РЕСП"},
    {23, "КРАСНОДАРСКИЙ КРАЙ"}, {24, "КРАСНОЯРСКИЙ КРАЙ"}, {26, "СТАВРОПОЛЬСКИЙ КРАЙ"}, {32, "БРЯНСКАЯ ОБЛ"},
    {33, "ВЛАДИМИРСКАЯ ОБЛ"},   {35, "ВОЛОГОДСКАЯ ОБЛ"},   {36, "ВОРОНЕЖСКАЯ ОБЛ"},     {39, "КАЛИНИНГРАДСКАЯ ОБЛ"},
    {41, "КАМЧАТСКАЯ ОБЛ"},     {42, "КЕМЕРОВСКАЯ ОБЛ"},   {43, "КИРОВСКАЯ ОБЛ"},       {44, "КОСТРОМСКАЯ ОБЛ"},
    {48, "ЛИПЕЦКАЯ ОБЛ"},       {49, "МАГАДАНСКАЯ ОБЛ"},   {50, "МОСКОВСКАЯ ОБЛ"},      {57, "ОРЛОВСКАЯ ОБЛ"},
    {61, "РОСТОВСКАЯ ОБЛ"},     {69, "ТВЕРСКАЯ ОБЛ"},      {71, "ТУЛЬСКАЯ ОБЛ"},        {74, "ЧЕЛЯБИНСКАЯ ОБЛ"},
    {77, "МОСКВА Г"},           {78, "САНКТ-ПЕТЕРБУРГ Г"}, {89, "ЯМАЛО-НЕНЕЦКИЙ АО"},
};

QByteArray Cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }

// The firm name of the packs: the first 56 characters, blanks squeezed.
QByteArray SqueezedFirmName(const FirmInfo& firm) { return SqueezeBlanks(PfrFirmText(firm, FirmInfo::firmName, 56)); }

QByteArray DateWithSlashes(const QDate& date) { return date.toString(QStringLiteral("dd/MM/yyyy")).toLatin1(); }

} // namespace

PfrKindMonths PfrMonthsOfKind(int kind)
{
    if (kind < 0 || kind > PfrLastKind)
        return {};
    return {kKinds[kind].first, kKinds[kind].last};
}

QStringList PfrExportKindHelpLines()
{
    QStringList lines;
    for (int kind = 0; kind <= PfrLastKind; ++kind)
        lines << QStringLiteral("%1|%2").arg(kind).arg(QString::fromUtf8(kKinds[kind].name));
    return lines;
}

QStringList PfrFormatHelpLines()
{
    QStringList lines;
    for (int format = 0; format <= PfrLastFormat; ++format)
        lines << QStringLiteral("%1|%2").arg(format).arg(QString::fromUtf8(kFormats[format]));
    return lines;
}

int PfrInventoryQuarter(int kind) { return kind == PfrYear ? 4 : 1; }

int PfrDefaultPackNumber(int packNumber, int format)
{
    if (packNumber != 0)
        return packNumber;
    return format == PfrSzv61 ? 2 : 1;
}

QString PfrRegionName(int code)
{
    for (const RegionName& region : kRegions)
        if (region.code == code)
            return QString::fromUtf8(region.name);
    return QString();
}

int PfrReportYear(const infobase::InfoBaseConfig& config)
{
    const int stored = static_cast<std::uint8_t>(config.r_g);
    return stored != 0 ? 1900 + stored : config.reportingYear();
}

// ------------------------------------------------------------- period tests

PfrPeriodFacts PfrPeriodFactsOf(const infobase::EmployeeHead& head)
{
    PfrPeriodFacts facts;
    facts.hired = PackedDate(head.datPr1);
    facts.dismissed = PackedDate(head.datUv1);
    facts.hired2 = PackedDate(head.datPr2);
    facts.dismissed2 = PackedDate(head.datUv2);
    facts.disabilityBegin = {head.invDat1Begin, head.invDat2Begin};
    facts.disabilityEnd = {head.invDat1End, head.invDat2End};
    return facts;
}

namespace {

// Step 1: employed in the period by the first employment; narrows the months
// to those the employee worked.
bool EmployedByFirstPeriod(const PfrPeriodFacts& facts, int year, PfrEmployment& out)
{
    if (!facts.hired.isNull()) {
        const int hiredYear = facts.hired.fullYear();
        const int month = facts.hired.month();
        if (hiredYear > year || (hiredYear == year && month > out.lastMonth))
            return false;
        if (hiredYear == year && month >= out.firstMonth)
            out.firstMonth = month;
    }
    if (!facts.dismissed.isNull()) {
        const int leftYear = facts.dismissed.fullYear();
        const int month = facts.dismissed.month();
        if (leftYear < year || (leftYear == year && month < out.firstMonth))
            return false;
        if (leftYear == year && month <= out.lastMonth)
            out.lastMonth = month;
    }
    return true;
}

// Step 2: the second employment overlaps the period.
bool EmployedBySecondPeriod(const PfrPeriodFacts& facts, int year, PfrKindMonths period)
{
    if (facts.hired2.isNull())
        return false;
    const int hiredYear = facts.hired2.fullYear();
    if (hiredYear > year || (hiredYear == year && facts.hired2.month() > period.last))
        return false;
    if (facts.dismissed2.isNull())
        return true;
    const int leftYear = facts.dismissed2.fullYear();
    const int month = facts.dismissed2.month();
    return !(leftYear < year || (leftYear == year && month < period.first));
}

// Step 3: a disability period overlaps the period.
bool DisabledInPeriod(const PfrPeriodFacts& facts, int year, PfrKindMonths period)
{
    for (std::size_t i = 0; i < facts.disabilityBegin.size(); ++i) {
        const int begin = facts.disabilityBegin[i];
        const int end = facts.disabilityEnd[i];
        if (begin != 0 && begin <= MonthKey(year, period.last).value() && (end == 0 || end >= MonthKey(year, period.first).value()))
            return true;
    }
    return false;
}

} // namespace

PfrEmployment PfrEmploymentInPeriod(const PfrPeriodFacts& facts, int year, PfrKindMonths period)
{
    PfrEmployment out;
    out.firstMonth = period.first;
    out.lastMonth = period.last;
    out.employed = EmployedByFirstPeriod(facts, year, out);
    out.second = EmployedBySecondPeriod(facts, year, period);
    out.disabled = DisabledInPeriod(facts, year, period);
    if (!out.employed && out.second) {
        out.employed = true;
        out.second = false;
    }
    return out;
}

bool PfrTakesEmployee(const PfrEmployment& employment, bool contributions, bool datedArchive, int format)
{
    if (!employment.employed && !employment.second && !contributions)
        return false;
    const bool disabilityFormat = format == PfrOoi1 || format == PfrOoiN;
    if (employment.disabled != disabilityFormat)
        return false;
    if (format == PfrSzv62 || format == PfrOoi1)
        return !employment.second && !datedArchive;
    if (format == PfrSzv61 || format == PfrOoiN)
        return employment.second || datedArchive;
    return true;
}

// --------------------------------------------------------------- pack heads

QByteArray PfrRecordType(int kind, int format)
{
    if (kind == PfrQuestionnaires)
        return Cp("АНКТ");
    // The type of the records that the format's writer puts into the pack.
    return Cp(format == PfrSzv41 || format == PfrOazis4 ? "ИН42" : "ИНДС");
}

namespace {

QByteArray FirmNameForText(const FirmInfo& firm)
{
    QByteArray name = SqueezedFirmName(firm);
    name.replace('"', '\'');
    print::StrUpperN(name.data(), int(name.size()));
    return name;
}

QByteArray PackLine(int format, int packNumber, int reportYear, const PfrPackTotals& totals, const QDate& today)
{
    PfrTextLine line;
    line.text(Cp("ПАЧК")).number(packNumber);
    if (format == PfrOazis4 || format == PfrOazis3)
        return line.text(DateWithSlashes(today)).number(1).bytes();
    const double earnings = totals.earnings[0] + totals.earnings[1];
    line.text(Cp("ОПИСЬ")).text(Cp("ОП61")).text(DateWithSlashes(today)).number(1).number(reportYear);
    line.text(Cp("НР")).text(QByteArray()).text(QByteArray()).text(Cp("ИСХД")).text(QByteArray());
    line.number(0).number(reportYear).amount(earnings + totals.earningsExtra).amount(earnings);
    line.amount(totals.insuranceAccrued).amount(totals.fundedAccrued).number("0.00").number(0).number(0);
    return line.bytes();
}

} // namespace

QByteArray PfrTextHead(int format, int packNumber, int reportYear, const PfrPackTotals& totals,
                       const QByteArray& recordType, int recordCount, const FirmInfo& firm, const QDate& today)
{
    const bool oazis4 = format == PfrOazis4;
    PfrTextLine title;
    title.text(Cp("ЗГЛВ")).text(format == PfrOazis3 ? QByteArray("03.00") : QByteArray("04.00"));
    if (!oazis4)
        title.text(Cp("АРМ 'Кальвор'")).text(QByteArray("35.8"));

    PfrTextLine employer;
    employer.text(Cp("РБТД")).text(Cp("РБТД")).text(PfrFirmText(firm, FirmInfo::firmPens, 14));
    if (format == PfrSzv42 || format == PfrSzv41)
        employer.number(PfrFirmText(firm, FirmInfo::firmINN, 10)).number(PfrFirmText(firm, FirmInfo::firmKPP, 9));
    employer.text(FirmNameForText(firm));

    PfrTextLine kind;
    kind.text(Cp("ТИПД")).text(recordType).number(recordCount);
    return title.bytes() + employer.bytes() + PackLine(format, packNumber, reportYear, totals, today) + kind.bytes();
}

// ------------------------------------------------------------- XML envelope

QString PfrXmlFileName(const FirmInfo& firm, int reportYear, int packNumber)
{
    return reports::PensionFundFileName(firm, reportYear, packNumber);
}

namespace {

void WritePackCompiler(PfrXmlLines& xml, const FirmInfo& firm)
{
    xml.open("СоставительПачки");
    xml.open("НалоговыйНомер");
    xml.leaf("ИНН", "00" + PfrFirmText(firm, FirmInfo::firmINN, 10));
    xml.leaf("КПП", PfrFirmText(firm, FirmInfo::firmKPP, 9));
    xml.close("НалоговыйНомер");
    xml.leaf("КодЕГРЮЛ", PfrFirmText(firm, FirmInfo::firmOGRN, 13));
    xml.leaf("Форма", Cp("ОБЩЕСТВО С ОГРАНИЧЕННОЙ ОТВЕТСТВЕННОСТЬЮ"));
    xml.leaf("НаименованиеОрганизации", SqueezedFirmName(firm));
    xml.leaf("НаименованиеКраткое", SqueezedFirmName(firm));
    xml.leaf("РегистрационныйНомер", PfrFirmText(firm, FirmInfo::firmPens, 14));
    xml.close("СоставительПачки");
}

void WriteContributionSums(PfrXmlLines& xml, const char* name, double accrued, double paid)
{
    xml.open(name);
    xml.leaf("Начислено", FormatFixed8(accrued / 100.0, 2));
    xml.leaf("Уплачено", FormatFixed8(paid / 100.0, 2));
    xml.close(name);
}

} // namespace

QByteArray PfrXmlHead(int kind, int format, int packNumber, int reportYear, int recordCount,
                      const PfrPackTotals& totals, const FirmInfo& firm, const QDate& today)
{
    PfrXmlLines xml;
    xml.declaration();
    xml.open("ФайлПФР");
    xml.leaf("ИмяФайла", PfrXmlFileName(firm, reportYear, packNumber).toLatin1());
    xml.open("ЗаголовокФайла");
    xml.leaf("ВерсияФормата", QByteArray("07.00"));
    xml.leaf("ТипФайла", Cp("ВНЕШНИЙ"));
    xml.open("ПрограммаПодготовкиДанных");
    xml.leaf("НазваниеПрограммы", Cp("АРМ КАЛЬВОР"));
    xml.leaf("Версия", QByteArray("35.8"));
    xml.close("ПрограммаПодготовкиДанных");
    xml.leaf("ИсточникДанных", Cp("СТРАХОВАТЕЛЬ"));
    xml.close("ЗаголовокФайла");
    xml.open("ПачкаВходящихДокументов", Cp("Окружение=\"В составе файла\" Стадия=\"До обработки\""));
    xml.open("ВХОДЯЩАЯ_ОПИСЬ_ПО_СТРАХОВЫМ_ВЗНОСАМ");
    xml.leaf("НомерВпачке", QByteArray("1"));
    xml.leaf("ТипВходящейОписи", Cp("ОПИСЬ ПАЧКИ"));
    WritePackCompiler(xml, firm);
    xml.open("НомерПачки");
    xml.leaf("Основной", QByteArray::number(packNumber));
    xml.close("НомерПачки");
    xml.open("СоставДокументов");
    xml.leaf("Количество", QByteArray("1"));
    xml.open("НаличиеДокументов");
    xml.leaf("ТипДокумента", Cp("СВЕДЕНИЯ_О_СТРАХОВЫХ_ВЗНОСАХ_И_СТРАХОВОМ_СТАЖЕ_ЗЛ"));
    xml.leaf("Количество", QByteArray::number(recordCount));
    xml.close("НаличиеДокументов");
    xml.close("СоставДокументов");
    xml.leaf("ДатаСоставления", today.toString(QStringLiteral("dd.MM.yyyy")).toLatin1());
    xml.leaf("ТипСведений", Cp("ИСХОДНАЯ"));
    const bool ooi = format == PfrOoi1 || format == PfrOoiN;
    xml.leaf("КодКатегории", Cp(ooi ? "ООИ" : firm.firmUprosh() ? "УСЕН" : "НР"));
    xml.open("ОтчетныйПериод");
    xml.leaf("Квартал", QByteArray::number(PfrInventoryQuarter(kind)));
    xml.leaf("Год", QByteArray::number(reportYear));
    xml.close("ОтчетныйПериод");
    WriteContributionSums(xml, "СуммаВзносовНаСтраховую", totals.insuranceAccrued, totals.insurancePaid);
    WriteContributionSums(xml, "СуммаВзносовНаНакопительную", totals.fundedAccrued, totals.fundedPaid);
    xml.close("ВХОДЯЩАЯ_ОПИСЬ_ПО_СТРАХОВЫМ_ВЗНОСАМ");
    return xml.bytes();
}

QByteArray PfrXmlTail()
{
    PfrXmlLines xml(2);
    xml.close("ПачкаВходящихДокументов");
    xml.closeLast("ФайлПФР");
    return xml.bytes();
}

} // namespace kalvor::exchange
