#include "reports/social/PensionXml.h"

#include "platform/CodePage.h"
#include "platform/SavedFile.h"
#include "platform/TaskThread.h"
#include "platform/WorkingFolder.h"
#include "reports/social/PensionContributions.h"
#include "values/Clock.h"
#include "values/Messages.h"
#include "values/RoundText.h"
#include "values/Text8.h"
#include "values/Values.h"

#include <QFile>

#include <cmath>

namespace kalvor::reports {

namespace {

// The report's element in the fund's pack.
constexpr char kOVPFReportElement[] = "РАСЧЕТ_ПО_СТРАХОВЫМ_ВЗНОСАМ_НА_ОПС_И_ОМС_ПЛАТЕЛЬЩИКАМИ_ПРОИЗВОДЯЩИМИ_ВЫПЛАТЫ_ФЛ";

} // namespace

using infobase::FirmInfo;
using namespace ovpf;

namespace {

// The document line by line: CR LF after each line, one TAB per level below
// the root. Names are the format's (UTF-8 here, windows-1251 in the file);
// values are windows-1251 bytes.
class XmlLines {
public:
    XmlLines() { out_ = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"; }

    void open(const char* name, const char* attributes = nullptr)
    {
        QByteArray tag = '<' + Name(name);
        if (attributes != nullptr)
            tag += ' ' + codepage::toCp1251(QString::fromUtf8(attributes));
        line(tag + '>');
        ++depth_;
    }
    void close(const char* name)
    {
        --depth_;
        line("</" + Name(name) + '>');
    }
    void leaf(const char* name, const QByteArray& value)
    {
        line('<' + Name(name) + '>' + Escaped(value) + "</" + Name(name) + '>');
    }
    void leaf(const char* name, const char* utf8Value) { leaf(name, codepage::toCp1251(QString::fromUtf8(utf8Value))); }
    const QByteArray& bytes() const { return out_; }

private:
    static QByteArray Name(const char* name) { return codepage::toCp1251(QString::fromUtf8(name)); }
    // Texts typed by the user may hold the characters that mark up XML.
    static QByteArray Escaped(QByteArray value)
    {
        return value.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
    }
    void line(const QByteArray& text) { out_ += QByteArray(depth_, '\t') + text + "\r\n"; }

    QByteArray out_;
    int depth_ = 0;
};

// "%.0f" of a value, without the minus sign of a negative zero.
QByteArray Amount(double value) { return FormatFixed8(value + 0.0, 0); }

QByteArray Upper(QByteArray text)
{
    codepage::upper1251(text.data(), text.size());
    return text;
}

// The first `width` characters of a firm text, squeezed.
QByteArray Squeezed(const FirmInfo& firm, FirmInfo::Text which, int width)
{
    return SqueezeBlanks(PaddedFirmText(firm, which).left(width));
}
QByteArray Field(const FirmInfo& firm, FirmInfo::Text which, int width)
{
    return PaddedFirmText(firm, which).left(width);
}

// "xxx-xxx-xxxxxx", or "000-000-000000" when the number has another form.
// A level of an address as a bit of a set of levels.
constexpr unsigned levelBit(PlaceLevel level) { return 1u << unsigned(level); }

constexpr unsigned kRegionLevel = levelBit(PlaceLevel::Region), kDistrictLevel = levelBit(PlaceLevel::District),
                   kSettlementLevel = levelBit(PlaceLevel::Settlement), kStreetLevel = levelBit(PlaceLevel::Street);

// The levels of the word as one of the official abbreviations of the kinds
// of places (upper case, without dots): a region, a district, a town or
// village, a street; 0 when it is none. "Г" is a town and a city of federal
// significance ("МОСКВА Г" as a region); "МКР" and "ТЕР" stand for a street
// as well as for a place of their own.
unsigned PlaceAbbreviationLevels(const QByteArray& word)
{
    static const QList<std::pair<QByteArray, unsigned>> kinds = [] {
        const std::vector<std::pair<unsigned, std::vector<const char*>>> groups = {
            {kRegionLevel, {"РЕСП", "КРАЙ", "ОБЛ", "АО", "АОБЛ"}},
            {kDistrictLevel, {"Р-Н"}},
            {kRegionLevel | kSettlementLevel, {"Г"}},
            {kSettlementLevel, {"ПГТ", "РП", "КП", "ДП", "П", "С", "Д", "Х", "СТ", "СТ-ЦА", "АУЛ"}},
            {kSettlementLevel | kStreetLevel, {"МКР", "ТЕР"}},
            {kStreetLevel,
             {"УЛ", "ПР-КТ", "ПР", "ПЕР", "Ш", "Б-Р", "ПЛ", "НАБ", "ПР-Д", "ПРОЕЗД", "ТУП", "АЛЛЕЯ", "ЛИНИЯ", "КВ-Л",
              "СПУСК", "ТРАКТ", "ПРОСЕК"}}};
        QList<std::pair<QByteArray, unsigned>> list;
        for (const auto& [levels, abbreviations] : groups)
            for (const char* abbreviation : abbreviations)
                list.push_back({codepage::toCp1251(QString::fromUtf8(abbreviation)), levels});
        return list;
    }();
    for (const auto& [abbreviation, levels] : kinds)
        if (abbreviation == word)
            return levels;
    return 0;
}

QByteArray WithoutDots(QByteArray word) { return word.replace('.', QByteArray()); }

void WritePlace(XmlLines& xml, const char* element, const NamedPlace& place)
{
    xml.open(element);
    xml.leaf("ГеографическоеНазвание", place.name);
    xml.leaf("Сокращение", place.abbreviation);
    xml.close(element);
}

void WriteAddress(XmlLines& xml, const FirmInfo& firm)
{
    xml.open("АдресРегистрации");
    xml.leaf("ТипАдреса", "РОССИЙСКИЙ");
    xml.leaf("Индекс", Field(firm, FirmInfo::adrInd, 6));
    xml.open("РоссийскийАдрес");
    struct Place {
        FirmInfo::Text text;
        int width;
        const char* element;
        const char* abbreviation = nullptr;
        PlaceLevel level = PlaceLevel::Street;
    };
    for (const Place& place : {Place{FirmInfo::adrObl, 44, "Регион", nullptr, PlaceLevel::Region},
                               Place{FirmInfo::adrRaion, 25, "Район", nullptr, PlaceLevel::District},
                               Place{FirmInfo::adrGorod, 25, nullptr, nullptr, PlaceLevel::Settlement},
                               Place{FirmInfo::adrUlica, 40, "Улица", nullptr, PlaceLevel::Street}}) {
        const QByteArray text = Upper(Squeezed(firm, place.text, place.width));
        if (text.isEmpty())
            continue;
        const NamedPlace named = SplitPlace(text, place.level);
        const char* element = place.element;
        if (element == nullptr) {
            const bool town = named.abbreviation == codepage::toCp1251(QStringLiteral("Г")) ||
                              named.abbreviation == codepage::toCp1251(QStringLiteral("ПГТ"));
            element = town ? "Город" : "НаселенныйПункт";
        }
        WritePlace(xml, element, named);
    }
    for (const Place& part : {Place{FirmInfo::adrDom, 3, "Дом", "Д"}, Place{FirmInfo::adrKorp, 3, "Корпус", "КОРП"},
                              Place{FirmInfo::adrKv, 4, "Квартира", "КВ"}}) {
        const QByteArray number = Upper(Squeezed(firm, part.text, part.width));
        if (number.isEmpty())
            continue;
        xml.open(part.element);
        xml.leaf("Сокращение", part.abbreviation);
        xml.leaf("Номер", number);
        xml.close(part.element);
    }
    xml.close("РоссийскийАдрес");
    xml.close("АдресРегистрации");
}

// A row group of Section 1: its line code and the four columns from value `first`.
void WriteSection1Line(XmlLines& xml, const char* element, int code, const GenrValueArray& v, int first)
{
    xml.open(element);
    xml.leaf("КодСтроки", QByteArray::number(code));
    xml.leaf("ОПСстраховаяЧасть", Amount(v[std::size_t(first)]));
    xml.leaf("ОПСнакопительнаяЧасть", Amount(v[std::size_t(first + 1)]));
    xml.leaf("СтраховыеВзносыФФОМС", Amount(v[std::size_t(first + 2)]));
    xml.leaf("СтраховыеВзносыТФОМС", Amount(v[std::size_t(first + 3)]));
    xml.close(element);
}

// Lines 110-114 or 140-144: since the start and the last three months.
void WriteSection1Months(XmlLines& xml, const char* element, int code, const GenrValueArray& v, int first)
{
    xml.open(element);
    WriteSection1Line(xml, "ВсегоСначалаРасчетногоПериода", code, v, first);
    WriteSection1Line(xml, "ПоследниеТриМесяца1", code + 1, v, first + 4);
    WriteSection1Line(xml, "ПоследниеТриМесяца2", code + 2, v, first + 8);
    WriteSection1Line(xml, "ПоследниеТриМесяца3", code + 3, v, first + 12);
    WriteSection1Line(xml, "ПоследниеТриМесяцаИтого", code + 4, v, first + kQuarterSum);
    xml.close(element);
}

void WriteSection1(XmlLines& xml, const GenrValueArray& v)
{
    xml.open("РасчетПоНачисленнымИуплаченнымСтраховымВзносам");
    WriteSection1Line(xml, "ОстатокЗадолженностиНаНачалоРасчетногоПериода", 100, v, kLine100);
    WriteSection1Months(xml, "НачисленоСначалаРасчетногоПериода", 110, v, kLine110);
    WriteSection1Line(xml, "ДоначисленоСначалаРасчетногоПериода", 120, v, kLine120);
    WriteSection1Line(xml, "ВсегоКуплате", 130, v, kLine130);
    WriteSection1Months(xml, "УплаченоСначалаРасчетногоПериода", 140, v, kLine140);
    WriteSection1Line(xml, "ОстатокЗадолженностиНаКонецРасчетногоПериода", 150, v, kLine150);
    xml.close("РасчетПоНачисленнымИуплаченнымСтраховымВзносам");
}

// The four amounts of a group: since the start and months 1-3.
void WriteSums(XmlLines& xml, const double* amounts)
{
    xml.leaf("СуммаВсегоСначалаРасчетногоПериода", Amount(amounts[0]));
    xml.leaf("СуммаПоследние1месяц", Amount(amounts[1]));
    xml.leaf("СуммаПоследние2месяц", Amount(amounts[2]));
    xml.leaf("СуммаПоследние3месяц", Amount(amounts[3]));
}

void WriteTariffGroup(XmlLines& xml, const QByteArray& element, int code, const GenrValueArray& v, int section,
                      int group)
{
    const QByteArray name = element;
    xml.open(name.constData());
    xml.leaf("КодСтроки", QByteArray::number(code));
    xml.open("РасчетСумм");
    WriteSums(xml, &v[std::size_t(TariffIndex(section, group))]);
    xml.close("РасчетСумм");
    xml.close(name.constData());
}

struct TariffSection {
    const char* inner;
    const char* accrual;
};
constexpr TariffSection kTariffSections[] = {
    {"РасчетПоТарифу", "НачисленоСтраховыхВзносовПоТарифу"},
    {"РасчетПоВыплатамРаботникамИнвалидам", "НачисленоСтраховыхВзносовВпользуРаботниковИнвалидов"},
    {"РасчетПоВыплатамРаботникамЕНВД", "НачисленоСтраховыхВзносовВпользуРаботниковЕНВД"},
};

// One tariff section: for all employees and each birth group in turn the
// payments, non-taxable amounts and amounts above the limit, then the bases,
// then the contributions accrued.
void WriteTariffSection(XmlLines& xml, const GenrValueArray& v, int section)
{
    const int base = section == 2 ? 150 : 100 * section;
    static const char* const groups[] = {"Всего", "1966старше", "1967моложе"};
    static const char* const kinds[] = {"ВыплатыИвознаграждения_", "НеПодлежащиеОбложениюПоЧ1Ч2Ст9_",
                                        "НеПодлежащиеОбложениюПоСт8_"};
    static const int kindCodes[] = {200, 210, 216};
    static const int kindRows[] = {RowPayments, RowNonTaxable, RowAboveLimit};
    xml.open(kTariffSections[section].inner);
    for (int group = 0; group < 3; ++group)
        for (int kind = 0; kind < 3; ++kind)
            WriteTariffGroup(xml, QByteArray(kinds[kind]) + groups[group], base + kindCodes[kind] + group, v, section,
                             kindRows[kind] + group);
    static const char* const bases[] = {"ОПС_1966старше", "ОПС_1967моложе", "ОМС"};
    static const int baseCodes[] = {220, 221, 230};
    for (int k = 0; k < 3; ++k)
        WriteTariffGroup(xml, QByteArray("БазаДляНачисленияСтраховыхВзносовНа") + bases[k], base + baseCodes[k], v,
                         section, RowPensionBaseOld + k);
    xml.close(kTariffSections[section].inner);

    static const char* const accrued[] = {"НаОПСстраховая", "НаОПСнакопительная", "ФФОМС", "ТФОМС"};
    xml.open(kTariffSections[section].accrual);
    for (int k = 0; k < 4; ++k)
        WriteTariffGroup(xml, QByteArray("Начислено") + accrued[k], base + 241 + k, v, section, RowAccrued + k);
    xml.close(kTariffSections[section].accrual);
}

void WriteTariffSections(XmlLines& xml, const GenrValueArray& v, const QByteArray& tariffCode)
{
    xml.open("РасчетСтраховыхВзносовПоУстановленномуТарифу");
    xml.leaf("КодТарифа", tariffCode);
    WriteTariffSection(xml, v, kGeneralTariff);
    xml.close("РасчетСтраховыхВзносовПоУстановленномуТарифу");

    const bool disabled = v[std::size_t(TariffIndex(kDisabledTariff, RowPayments))] != 0;
    const bool imputed = v[std::size_t(TariffIndex(kImputedTariff, RowPayments))] != 0;
    if (!disabled && !imputed)
        return;
    xml.open("РасчетСтраховыхВзносовПоПониженномуТарифу");
    if (disabled)
        WriteTariffSection(xml, v, kDisabledTariff);
    if (imputed)
        WriteTariffSection(xml, v, kImputedTariff);
    xml.close("РасчетСтраховыхВзносовПоПониженномуТарифу");
}

using PersonName = InvalName;

void WritePersonName(XmlLines& xml, const char* element, const PersonName& person)
{
    xml.open(element);
    xml.leaf("Фамилия", Upper(person.surname));
    xml.leaf("Имя", Upper(person.name));
    xml.leaf("Отчество", Upper(person.patronymic));
    xml.close(element);
}

// The certificate's date of issue as "dd.mm.yyyy"; empty when it holds none.
QByteArray IssueDate(const InvalRecord& record)
{
    return InvalIssueDate(record).toString(QStringLiteral("dd.MM.yyyy")).toLatin1();
}

QByteArray EndOfValidity(const std::array<char, 10>& field)
{
    QByteArray text(field.data(), qsizetype(field.size()));
    if (const qsizetype end = text.indexOf('\0'); end >= 0)
        text.truncate(end);
    return text.trimmed();
}

void WriteDisabledEmployees(XmlLines& xml, const std::vector<InvalRecord>& inval)
{
    xml.open("СведенияДляПримененияПониженногоТарифа");
    xml.leaf("КоличествоРаботниковИнвалидов", QByteArray::number(qsizetype(inval.size())));
    std::array<double, 4> totals{};
    int number = 0;
    for (const InvalRecord& record : inval) {
        const std::array<double, 4> amounts = {record.sinceYearStart, record.months[0], record.months[1],
                                               record.months[2]};
        std::array<double, 4> roubles{};
        for (std::size_t i = 0; i < 4; ++i) {
            roubles[i] = amounts[i] / 100;
            totals[i] += amounts[i];
        }
        xml.open("СведенияОработникеИнвалиде");
        xml.leaf("НомерПП", QByteArray::number(++number));
        WritePersonName(xml, "ФИО", SplitInvalName(record.fio));
        xml.leaf("ДатаВыдачиСправки", IssueDate(record));
        xml.leaf("ДатаОкончанияДействия", EndOfValidity(record.invEnd));
        xml.open("СуммыВыплатИвознаграждений");
        WriteSums(xml, roubles.data());
        xml.close("СуммыВыплатИвознаграждений");
        xml.close("СведенияОработникеИнвалиде");
    }
    for (double& total : totals) total /= 100;
    xml.open("ИтогоВыплат");
    WriteSums(xml, totals.data());
    xml.close("ИтогоВыплат");
    xml.close("СведенияДляПримененияПониженногоТарифа");
}

void WriteCodedLeaf(XmlLines& xml, const char* element, int code, const char* leaf, const QByteArray& value)
{
    xml.open(element);
    xml.leaf("КодСтроки", QByteArray::number(code));
    xml.leaf(leaf, value);
    xml.close(element);
}

// The share of an income, "%.5f" of part x 100 / whole.
QByteArray IncomeShare(double part, double whole) { return FormatFixed8(part * 100 / whole, 5); }

// The register entry's date: day, month and 2000 + year of a packed date.
QByteArray RegisterDate(double packed)
{
    const PackedDate date{static_cast<std::uint16_t>(static_cast<std::int64_t>(packed))};
    return QStringLiteral("%1.%2.%3")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(2000 + date.yearField())
        .toLatin1();
}

void WriteArticle57(XmlLines& xml, const GenrValueArray& v)
{
    const char* const element = "РасчетСоответствияУсловийНаПравоПримененияПониженногоТарифаПоСтатье57";
    xml.open(element);
    WriteCodedLeaf(xml, "СуммаДоходаПоСтатье248НКвсего", 430, "СуммаДохода", Amount(v[kIncome248]));
    WriteCodedLeaf(xml, "СуммаДоходаПоСтатье57ИзНих", 431, "СуммаДохода", Amount(v[kIncome57]));
    WriteCodedLeaf(xml, "ДоляДоходаПоСтатье57", 432, "ДоляДохода", IncomeShare(v[kIncome57], v[kIncome248]));
    WriteCodedLeaf(xml, "СредняяЧисленностьРаботников", 433, "КоличествоЗЛ", Amount(v[kHeadcount433]));
    xml.open("СведенияОвыпискеИзРеестраИТорганизаций");
    xml.leaf("КодСтроки", "434");
    xml.leaf("ДатаЗаписиВреестре", RegisterDate(v[kRegisterDate]));
    xml.leaf("НомерЗаписиВреестре", Amount(v[kRegisterNumber]));
    xml.close("СведенияОвыпискеИзРеестраИТорганизаций");
    xml.close(element);
}

void WriteArticle58(XmlLines& xml, const GenrValueArray& v)
{
    const char* const element = "РасчетСоответствияУсловийНаПравоПримененияПонижТарифаОтдКатегориямиПлательщиковУСН";
    xml.open(element);
    WriteCodedLeaf(xml, "СуммаДоходаПоСтатье346_15НКвсего", 435, "СуммаДохода", Amount(v[kIncome34615]));
    WriteCodedLeaf(xml, "СуммаДоходаПоСтатье58ИзНих", 436, "СуммаДохода", Amount(v[kIncome58]));
    WriteCodedLeaf(xml, "ДоляДоходаПоСтатье58", 437, "ДоляДохода", IncomeShare(v[kIncome58], v[kIncome34615]));
    xml.close(element);
}

void WriteReducedTariffReasons(XmlLines& xml, const GenrValueArray& v, const std::vector<InvalRecord>& inval, int year)
{
    const bool article57 = year >= 2011 && v[kIncome248] != 0;
    const bool article58 = year >= 2011 && v[kIncome34615] != 0;
    if (inval.empty() && !article57 && !article58)
        return;
    xml.open("ОснованияДляПримененияПониженногоТарифа");
    if (!inval.empty())
        WriteDisabledEmployees(xml, inval);
    if (article57)
        WriteArticle57(xml, v);
    if (article58)
        WriteArticle58(xml, v);
    xml.close("ОснованияДляПримененияПониженногоТарифа");
}

void WriteSection5(XmlLines& xml, const GenrValueArray& v)
{
    const char* const element = "СведенияОзадолженностиПоСтраховымВзносамНаОПСпоСостояниюНа31.12.2009";
    static const char* const groups[] = {"ОстатокЗадолженностиНаНачалоРасчетногоПериода", "УплаченоВотчетномПериоде",
                                         "ОстатокЗадолженностиНаКонецРасчетногоПериода"};
    xml.open(element);
    for (int j = 0; j < 3; ++j) {
        xml.open(groups[j]);
        xml.leaf("КодСтроки", QByteArray::number(510 + 10 * j));
        xml.leaf("ОПСстраховаяЧасть", Amount(v[std::size_t(kSection5 + 2 * j)]));
        xml.leaf("ОПСнакопительнаяЧасть", Amount(v[std::size_t(kSection5 + 2 * j + 1)]));
        xml.close(groups[j]);
    }
    xml.close(element);
}

// The person who confirms the data: the representative when one is named
// (2), else the head of the organisation (1).
void WriteSignatory(XmlLines& xml, const FirmInfo& firm)
{
    const bool representative = !Field(firm, FirmInfo::fioPredst, 46).trimmed().isEmpty();
    xml.leaf("ЛицоПодтверждающееСведения", representative ? "2" : "1");
    const QByteArray name = Upper(Squeezed(firm, representative ? FirmInfo::fioPredst : FirmInfo::fioShef, 46));
    const QList<QByteArray> words = name.split(' ');
    PersonName person;
    person.surname = words.value(0);
    person.name = words.value(1);
    person.patronymic = words.size() > 2 ? name.mid(words[0].size() + words[1].size() + 2) : QByteArray();
    WritePersonName(xml, "ФИОлицаПодтверждающегоСведения", person);
}

void WriteOrganisation(XmlLines& xml, const FirmInfo& firm, const ReportPeriod& period, const GenrValueArray& v)
{
    xml.leaf("НомерВпачке", "1");
    xml.leaf("РегистрационныйНомерПФР", PensionRegistrationNumber(firm));
    xml.leaf("НомерКорректировки", Amount(v[kCorrectionNumber]));
    xml.leaf("КодОтчетногоПериода", ReportingPeriodCode(period.lastMonth));
    xml.leaf("КалендарныйГод", QByteArray::number(period.year));
    xml.leaf("НаименованиеОрганизации", Upper(Squeezed(firm, FirmInfo::firmName, 56)));
    xml.leaf("РегистрационныйНомерТФОМС", Field(firm, FirmInfo::firmOMS, 15));
    xml.leaf("ИНН", "00" + Field(firm, FirmInfo::firmINN, 10));
    xml.leaf("КПП", Field(firm, FirmInfo::firmKPP, 9));
    xml.leaf("ОГРН", "00" + Field(firm, FirmInfo::firmOGRN, 13));
    xml.leaf("КодПоОКАТО", Field(firm, FirmInfo::firmOKATO, 11));
    xml.leaf("КодПоОКВЭД", Squeezed(firm, FirmInfo::firmOKVED, 8));
    xml.leaf("КодПоОКПО", Field(firm, FirmInfo::firmOKPO, 10));
    xml.leaf("КодПоОКОПФ", Field(firm, FirmInfo::firmOKOPF, 2));
    xml.leaf("КодПоОКФС", Field(firm, FirmInfo::firmOKFS, 2));
    xml.leaf("Телефон", Squeezed(firm, FirmInfo::adrPhone, 20));
    WriteAddress(xml, firm);
}

std::vector<InvalRecord> ReadInvalRecords()
{
    QFile file(InvalFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return InvalRecordsFromBytes(file.readAll());
}

QString FolderPrefix(const QString& folder)
{
    const QString chosen = folder.isEmpty() ? platform::WorkingFolder() : folder;
    if (chosen.isEmpty() || chosen.endsWith(u'/') || chosen.endsWith(u'\\'))
        return chosen;
    return chosen + u'/';
}

} // namespace

namespace {

// An abbreviation found at one end of a place's text: the place split there,
// and whether it stands as a word of its own (set off by a blank from the
// name) of the field's own level.
struct PlaceEnd {
    bool found = false;
    bool ownWordOfLevel = false;
    NamedPlace split;
};

// The abbreviation at the start: the first word, up to a dot or a blank, with
// a name after it. One followed by a hyphen ("С.-ПЕТЕРБУРГ") is part of the
// name.
PlaceEnd PlaceStart(const QByteArray& text, PlaceLevel level)
{
    const qsizetype firstBlank = text.indexOf(' ');
    const qsizetype firstDot = text.indexOf('.');
    const qsizetype head = firstDot >= 0 && (firstBlank < 0 || firstDot < firstBlank) ? firstDot : firstBlank;
    if (head <= 0)
        return {};
    const QByteArray word = WithoutDots(text.left(head));
    qsizetype after = head;
    while (after < text.size() && text[after] == '.') ++after;
    const unsigned levels = PlaceAbbreviationLevels(word);
    const QByteArray name = text.mid(after).trimmed();
    if (levels == 0 || name.isEmpty() || name.startsWith('-'))
        return {};
    const bool ownWord = after < text.size() && text[after] == ' ';
    return {true, ownWord && (levels & levelBit(level)) != 0, {name, word}};
}

// The abbreviation at the end: the last word, after a blank.
PlaceEnd PlaceFinish(const QByteArray& text, PlaceLevel level)
{
    const qsizetype lastBlank = text.lastIndexOf(' ');
    if (lastBlank <= 0)
        return {};
    const QByteArray word = WithoutDots(text.mid(lastBlank + 1));
    const unsigned levels = PlaceAbbreviationLevels(word);
    if (levels == 0)
        return {};
    return {true, (levels & levelBit(level)) != 0, {text.left(lastBlank).trimmed(), word}};
}

} // namespace

NamedPlace SplitPlace(const QByteArray& text, PlaceLevel level)
{
    const PlaceEnd start = PlaceStart(text, level);
    const PlaceEnd finish = PlaceFinish(text, level);
    // The start as it stands, unless only the end holds a word of the
    // field's own level set off by a blank ("П.ЛУМУМБЫ УЛ", "КРАЙ ЗЕМЛИ УЛ").
    if (start.found && !(finish.ownWordOfLevel && !start.ownWordOfLevel))
        return start.split;
    if (finish.found)
        return finish.split;
    return {text, {}};
}

QByteArray ReportingPeriodCode(int lastMonth)
{
    if (lastMonth <= 3)
        return "03";
    if (lastMonth <= 6)
        return "06";
    return lastMonth <= 9 ? "09" : "12";
}

int OVPFPageCount(const GenrValueArray& v, std::size_t invalCount)
{
    const int pages = v[std::size_t(TariffIndex(kDisabledTariff, RowPayments))] == 0 ? 3 : 5;
    return invalCount == 0 ? pages : pages + int((invalCount + 31) / 32) - 1;
}

QString OVPFXmlFileName(const ReportSelection& selection, const PayrollDoc& doc)
{
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config, kPensionReport.period);
    return PensionFundFileName(doc.infoBase.firm, period.year, selection.orgPackNumber, selection.deptCode,
                               selection.deptPackNumber);
}

QByteArray OVPFXmlBytes(const ReportSelection& selection, const PayrollDoc& doc, const std::vector<InvalRecord>& inval,
                        const QDate& today)
{
    const FirmInfo& firm = doc.infoBase.firm;
    const GenrValueArray& v = doc.GenrValues;
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config, kPensionReport.period);
    const QByteArray tariffCode = firm.firmUprosh() ? "05" : "01";
    const char* const report = kOVPFReportElement;

    XmlLines xml;
    xml.open("ФайлПФР");
    xml.leaf("ИмяФайла", OVPFXmlFileName(selection, doc).toLatin1());
    xml.open("ЗаголовокФайла");
    xml.leaf("ВерсияФормата", "07.00");
    xml.leaf("ТипФайла", "ВНЕШНИЙ");
    xml.open("ПрограммаПодготовкиДанных");
    xml.leaf("НазваниеПрограммы", "АРМ КАЛЬВОР");
    xml.leaf("Версия", "35.6");
    xml.close("ПрограммаПодготовкиДанных");
    xml.leaf("ИсточникДанных", "СТРАХОВАТЕЛЬ");
    xml.close("ЗаголовокФайла");
    xml.open("ПачкаВходящихДокументов", "Окружение=\"Единичный запрос\"");
    xml.open(report);
    WriteOrganisation(xml, firm, period, v);
    xml.leaf("КоличествоЗЛ", Amount(v[kInsuredPersons]));
    xml.leaf("СреднесписочнаяЧисленность", Amount(v[kAverageHeadcount]));
    xml.leaf("КодУстановленногоТарифа", tariffCode);
    xml.leaf("КоличествоСтраниц", QByteArray::number(OVPFPageCount(v, inval.size())));
    xml.leaf("КоличествоЛистовПриложения", "0");
    WriteSection1(xml, v);
    WriteTariffSections(xml, v, tariffCode);
    WriteReducedTariffReasons(xml, v, inval, period.year);
    WriteSection5(xml, v);
    WriteSignatory(xml, firm);
    xml.leaf("ДатаЗаполнения", today.toString(QStringLiteral("dd.MM.yyyy")).toLatin1());
    xml.close(report);
    xml.close("ПачкаВходящихДокументов");
    xml.close("ФайлПФР");
    return xml.bytes();
}

ReportMarkers OVPFMarkers(const PayrollDoc& doc)
{
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config, kPensionReport.period);
    const QByteArray code = ReportingPeriodCode(period.lastMonth);
    return {codepage::toCp1251(QStringLiteral("<%1>").arg(QString::fromUtf8(kOVPFReportElement))),
            codepage::toCp1251(QStringLiteral("<КодОтчетногоПериода>%1</КодОтчетногоПериода>")
                                   .arg(QString::fromLatin1(code)))};
}

int WriteOVPFXml(const ReportSelection& selection, const QString& folder, const PayrollDoc& doc, QString* writtenPath)
{
    ReportSelection chosen = selection;
    const auto pathOf = [&](int pack) {
        chosen.orgPackNumber = pack;
        return FolderPrefix(folder) + OVPFXmlFileName(chosen, doc);
    };
    const PackNumberChoice pack = ChoosePackNumber(selection.orgPackNumber, 1, pathOf, OVPFMarkers(doc));
    if (!pack.refusal.isEmpty())
        throw TextError(pack.refusal);
    const QString path = pathOf(pack.number);
    if (writtenPath != nullptr)
        *writtenPath = path;
    const QByteArray bytes = OVPFXmlBytes(chosen, doc, ReadInvalRecords(), Clock::today());
    return platform::WriteWholeFileKind(path, bytes);
}

} // namespace kalvor::reports
