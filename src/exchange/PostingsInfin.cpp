#include "exchange/PostingsInfin.h"

#include "infobase/EmployeeRecord.h"
#include "infobase/InfoBaseDb.h"
#include "infobase/PayKindCodes.h"
#include "infobase/SwapFile.h"
#include "payroll/Contributions.h"
#include "payroll/EntryMonths.h"
#include "payroll/IncomeTax.h"
#include "payroll/PayKinds.h"
#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/Console.h"
#include "values/Messages.h"
#include "values/RoundText.h"

#include "platform/SavedFile.h"
#include "platform/TaskThread.h"

#include <algorithm>
#include <set>
#include <vector>

namespace kalvor::exchange {

using infobase::AccrualRow;
using infobase::ContributionKind;
using infobase::EmployeeListEntry;

namespace {

constexpr int kCategoryCount = 4, kSubPeriods = 3, kSectionOneKinds = 8, kSectionTwoKinds = 15;
constexpr int kHighestSectionShop = 99;
// The month's rows of the record; later slots wait for future months.
constexpr int kMonthRows = ::kalvor::infobase::EmployeeRecord::MonthRowCount;
constexpr int kProductionAccount = 2000, kNonProductionAccount = 2600;
constexpr double kDisabledFactor = 0.6; // for each disability period covering the month
constexpr int kCodeCount = int(std::tuple_size_v<InfinCodeSums>);

// The vacation pay of the first, second and third following month.
constexpr int kFutureVacationCodes[kSubPeriods] = {kCodeVacationNextMonth, kCodeVacationSecondMonth,
                                                   kCodeVacationThirdMonth};

// One line kind of section 1. The kind account goes with the category
// (production, non-production); the credit is the cost account of the pay
// kind `creditCode`, or the fixed account when that is 0. Kinds without a
// future text are written for the month only.
struct SectionOneKind {
    const char* productionAccount;
    const char* otherAccount;
    int creditCode;
    const char* fixedCredit;
    int type; // categories 2 and 3
    const char* monthText; // %1: the category's text
    const char* futureText;
    std::array<int, 3> shareColumns; // columns of the share tables; -1 = none
};

// clang-format off
const SectionOneKind kSectionOne[kSectionOneKinds] = {
    {"2055", "2601",   0, "7000", 1, "Начисления по оплате труда %1ого персонала;",
                                     "Отпуск будущего периода %1ого персонала;", {-1, -1, -1}},
    {"2664", "2663", 110, nullptr, 0, "Больничный %1ого персонала за счет ср-в предприятия;", nullptr, {-1, -1, -1}},
    {"2056", "2056",   2, nullptr, 0, "Оплата по договору в %1ых подразделениях;", nullptr, {-1, -1, -1}},
    {"2610", "2610", 991, nullptr, 5, "Взносы в ПФР (ФБ+СП+НП) с оплаты %1ого персонала;",
                                      "Взносы в ПФР (ФБ+СП+НП) с отпуска буд.периода %1ого персонала;", {0, 1, 5}},
    {"2609", "2609", 992, nullptr, 2, "Взносы в ФСС с оплаты %1ого персонала;",
                                      "Взносы в ФСС с отпуска буд.периода %1ого персонала;", {2, -1, -1}},
    {"2611", "2611",   0, "6906", 4, "Взносы в ФСС (травматизм) с оплаты %1ого персонала;",
                                     "Взносы в ФСС (травматизм) с отпуска буд.периода %1ого персонала;",
                                     {kInfinTableColumn, -1, -1}},
    {"2613", "2613", 994, nullptr, 3, "Взносы в ФФОМС с оплаты %1ого персонала;",
                                      "Взносы в ФФОМС с отпуска буд.периода %1ого персонала;", {4, -1, -1}},
    {"2613", "2613", 993, nullptr, 8, "Взносы в ТФОМС с оплаты %1ого персонала;",
                                      "Взносы в ТФОМС с отпуска буд.периода %1ого персонала;", {3, -1, -1}},
};
// clang-format on
constexpr int kKindWages = 0, kKindSickPay = 1, kKindContract = 2, kKindPension = 3, kKindSocial = 4, kKindByTable = 5,
              kKindFederalMedical = 6, kKindTerritorialMedical = 7;

// One line kind of section 2: the codes summed (for the contribution kind,
// the codes of its base), debit, credit, the number written after 4 (0: the
// kind has none) and the text.
struct SectionTwoKind {
    std::vector<int> codes;
    const char* debit;
    const char* credit;
    int number;
    const char* text;
};

// clang-format off
const SectionTwoKind kSectionTwo[kSectionTwoKinds] = {
    {{24},             "9102", "7000",  9, "Выплаты за счет прибыли (оплата путевок);"},
    {{71},             "9102", "7000",  7, "Выплаты за счет прибыли (пособие по уходу на пенсию);"},
    {{15},             "9102", "7000",  6, "Выплаты за счет прибыли (премия юбилярам);"},
    {{23},             "9102", "7000", 17, "Выплаты за счет прибыли (дополнительный доход);"},
    {{68, 72, 75, 78}, "9102", "7000",  5, "Выплаты за счет прибыли (материальная помощь);"},
    {{25, 29},         "9102", "7000", 33, "Выплаты за счет прибыли (поликлинника);"},
    {{14, 92},         "9102", "7000",  8, "Выплаты за счет прибыли (особо важные);"},
    {{8, 66, 76},      "9102", "7000", 41, "Выплаты за счет прибыли (средняя зараб.плата);"},
    {{8, 14, 15, 23, 24, 25, 29, 66, 68, 71, 72, 75, 76, 78, 92},
                       "9102", "6906", 11, "Взносы в ФСС (травматизм) за счет прибыли;"},
    {{31, 153, 155, 156, 157, 158, 159, 195, 196, 197},
                       "6901", "7000",  0, "Начисления по больничному за счет ср-в ФСС;"},
    {{152, 160, 161, 164, 165},
                       "6901", "7000",  0, "Пособия из ср-в ФСС;"},
    {{902},            "7000", "6804",  0, "Подоходный налог;"},
    {{919},            "7000", "7606",  0, "Проф взносы;"},
    {{990},            "6902", "6907",  0, "Страх.ч.взносов в ПФР;"},
    {{995},            "6902", "6908",  0, "Накоп.ч.взносов в ПФР;"},
};
// clang-format on
constexpr int kKindMaterialHelp = 4, kKindProfitContribution = 8;

// The shop under which the export reports a shop number.
int ReportedShop(int shop) { return shop == 37 || shop == 39 || shop == 40 ? 1 : shop; }

// The first contribution of the "sbor" file computed by tax table (code 0).
const ContributionKind* TableContribution(const PayrollDoc& doc)
{
    const int count = std::min<int>(doc.refFiles.sborCount, infobase::CRefFiles::SborCapacity);
    for (int k = 0; k < count; ++k)
        if (doc.refFiles.sbor[std::size_t(k)].code == 0)
            return &doc.refFiles.sbor[std::size_t(k)];
    return nullptr;
}

// The factor of the current employee's disability periods covering the month.
double DisabilityFactor(const PayrollDoc& doc, MonthKey month)
{
    const infobase::EmployeeHead& head = doc.infoBase.current.head;
    double factor = 1;
    if (DisabilityPeriodCovers(head.invDat1Begin, head.invDat1End, month.value()))
        factor *= kDisabledFactor;
    if (DisabilityPeriodCovers(head.invDat2Begin, head.invDat2End, month.value()))
        factor *= kDisabledFactor;
    return factor;
}

// The base of a contribution row on the sums: codes 1-699 but 600 whose pay
// kind passes the row's selector.
double ContributionBase(const PayrollDoc& doc, const InfinCodeSums& sums, const ContributionKind& row)
{
    double base = 0;
    for (int code = 1; code < kFirstDeductionCode; ++code) {
        if (code == kCodeUnpaid || sums[std::size_t(code)] == 0)
            continue;
        const infobase::PayKind* kind = PayKindOf(doc, code);
        if (kind != nullptr && ContributionBaseAdmits(row.baseSelector, *kind, doc))
            base += sums[std::size_t(code)];
    }
    return base;
}

// The charge of the scale on a base in kopecks, the sign kept.
double SignedCharge(const infobase::TaxTable::Variant& variant, double base)
{
    if (base >= 0)
        return PercentCharge(variant.scale, base / 100, 0);
    return -PercentCharge(variant.scale, base / -100, 0);
}

} // namespace

QByteArray InfinAmountText(std::int64_t kopecks)
{
    const std::uint64_t magnitude = kopecks < 0 ? std::uint64_t(-kopecks) : std::uint64_t(kopecks);
    QByteArray text = kopecks < 0 ? QByteArray("-") : QByteArray();
    if (magnitude >= 100)
        text += QByteArray::number(qulonglong(magnitude / 100));
    text += ',';
    text += char('0' + magnitude % 100 / 10);
    text += char('0' + magnitude % 10);
    return text;
}

MonthKey InfinExportMonth(const PayrollDoc& doc)
{
    const infobase::InfoBaseConfig& config = doc.infoBase.config;
    if (config.r_g == 0 || config.r_m1 < 1 || config.r_m1 > 12)
        return config.reportingKey();
    return MonthKey(1900 + config.r_g, config.r_m1);
}

double ContributionByTaxTable(const PayrollDoc& doc, const InfinCodeSums& sums, const ContributionKind& row)
{
    const double base = ContributionBase(doc, sums, row);
    const int table = row.table;
    if (table < 1 || base == 0)
        return 0;
    const int variant = TaxVariantForMonth(table, ReportingMonthIndex(doc), doc);
    if (variant < 0)
        return 0;
    return SignedCharge(doc.refFiles.taxTableAt(table).variants[std::size_t(variant)], base);
}

int SplitContributionsInfin(const PayrollDoc& doc, const InfinCodeSums& sums, InfinShareTable& bases,
                            InfinShareTable& contributions)
{
    bases = {};
    contributions = {};
    // The bases of each column: the month, and the vacation pay of the next
    // three months within it.
    const int count = std::min<int>(doc.refFiles.sborCount, infobase::CRefFiles::SborCapacity);
    const ContributionKind* byTable = TableContribution(doc);
    for (int k = 0; k < count; ++k) {
        const ContributionKind& row = doc.refFiles.sbor[std::size_t(k)];
        if (row.code != 0 && !IsContributionCode(row.code))
            continue;
        if (row.code == 0 && &row != byTable)
            continue;
        const std::size_t column = row.code == 0 ? kInfinTableColumn : std::size_t(row.code - kFirstContributionCode);
        bases[0][column] = ContributionBase(doc, sums, row);
        for (int subPeriod = 0; subPeriod < kSubPeriods; ++subPeriod) {
            const auto code = std::size_t(kFutureVacationCodes[subPeriod]);
            InfinCodeSums vacation{};
            vacation[code] = sums[code];
            bases[std::size_t(subPeriod + 1)][column] = ContributionBase(doc, vacation, row);
        }
    }

    // The month's own contributions, shared in proportion to the bases.
    for (int code = kFirstContributionCode; code <= kLastContributionCode; ++code)
        if (PayKindOf(doc, code) != nullptr)
            contributions[0][std::size_t(code - kFirstContributionCode)] = sums[std::size_t(code)];
    for (std::size_t row = 1; row <= kSubPeriods; ++row)
        for (std::size_t column = 0; column < kInfinTableColumn; ++column)
            if (bases[0][column] != 0)
                contributions[row][column] = bases[row][column] * contributions[0][column] / bases[0][column];

    // The contribution by tax table, charged anew in each following month.
    if (byTable == nullptr)
        return 0;
    const int table = byTable->table;
    if (table < 1)
        return -32;
    const MonthKey reporting = doc.infoBase.config.reportingKey();
    for (int row = 1; row <= kSubPeriods; ++row) {
        const MonthKey month = reporting.plus(row);
        const int variant = TaxVariantForMonth(table, month.index(), doc);
        if (variant < 0)
            return variant;
        const auto& scale = doc.refFiles.taxTableAt(table).variants[std::size_t(variant)];
        contributions[std::size_t(row)][kInfinTableColumn] =
            SignedCharge(scale, bases[std::size_t(row)][kInfinTableColumn]) * DisabilityFactor(doc, month);
    }
    return 0;
}

namespace {

// One amount of an employee in the export month: an archive entry (with its
// place in the archive) or a month row (with its department).
struct InfinEntry {
    int code = 0;
    double amount = 0;
    int archiveIndex = -1; // -1 for a month row
    int department = 0;
};

// One run of the export.
class InfinRun {
public:
    InfinRun(std::stop_token stop, PayrollDoc& doc, const PostingsSelection& selection);
    // Fills the sums of both sections; 0, 1 when stopped, or a negative
    // result of the contribution split.
    int Collect();
    // The lines of both sections.
    QByteArray Lines() const;

private:
    bool Wanted(const EmployeeListEntry& entry) const;
    int FindShops();
    void ReadEmployee(int slot);
    std::vector<InfinEntry> MonthEntries() const;
    int AddSectionOne(const std::vector<InfinEntry>& entries, int slot);
    int AddShop(int category, std::size_t shopIndex, const InfinCodeSums& sums);
    void AddSectionTwo(const std::vector<InfinEntry>& entries);
    double ByTableCharge(const InfinCodeSums& sums) const;
    std::size_t SectionOneAt(int category, int subPeriod, int kind, std::size_t shopIndex) const;
    QByteArray SectionOneLine(int category, int subPeriod, int kind, int shop, std::int64_t kopecks) const;
    QByteArray SectionOneLines() const;
    QByteArray SectionTwoLines() const;
    QByteArray CreditAccount(const SectionOneKind& kind) const;

    std::stop_token m_stop;
    PayrollDoc& m_doc;
    infobase::CInfoBase& m_base;
    const PostingsSelection& m_selection;
    const MonthKey m_month;
    const ContributionKind* m_byTable;
    std::vector<int> m_shops; // section 1's shops, ascending
    std::set<int> m_otherShopSlots; // employees with rows of another shop
    std::vector<double> m_sectionOne;
    std::array<double, kSectionTwoKinds> m_sectionTwo{};
};

InfinRun::InfinRun(std::stop_token stop, PayrollDoc& doc, const PostingsSelection& selection)
    : m_stop(std::move(stop))
    , m_doc(doc)
    , m_base(doc.infoBase)
    , m_selection(selection)
    , m_month(InfinExportMonth(doc))
    , m_byTable(TableContribution(doc))
{}

bool InfinRun::Wanted(const EmployeeListEntry& entry) const
{
    if (!m_base.holdsSlot(entry.slot))
        return false;
    if (m_selection.personnelNumber != 0 && entry.tabN() != m_selection.personnelNumber)
        return false;
    return m_base.EmployeeInGroup(entry.slot, m_selection.shop, m_selection.brigade, m_selection.profession);
}

// The shops of section 1: those of every employee of the list and the
// departments of the selected employees' rows, 1-99. An employee with rows of
// another shop is noted, so that those rows are found under their shop.
int InfinRun::FindShops()
{
    // Every shop number a byte holds: the form allows shops up to 250.
    std::array<bool, 256> used{};
    for (const EmployeeListEntry& entry : m_base.list)
        if (m_base.holdsSlot(entry.slot))
            used[std::size_t(ReportedShop(m_base.shopOf(entry.slot)))] = true;
    std::array<AccrualRow, infobase::EmployeeRecord::RowCount> rows{};
    for (const EmployeeListEntry& entry : m_base.list) {
        if (!Wanted(entry))
            continue;
        if (!m_base.swap.readRows(entry.slot, rows.data(), int(rows.size())))
            throw TextError(infobase::ReadFileErrorText);
        const int shop = m_base.shopOf(entry.slot);
        for (const AccrualRow& row : rows) {
            if (row.otd == 0 || row.otd == shop)
                continue;
            used[std::size_t(ReportedShop(row.otd))] = true;
            m_otherShopSlots.insert(entry.slot);
        }
        if (m_stop.stop_requested())
            return 1;
    }
    for (int shop = 1; shop <= kHighestSectionShop; ++shop)
        if (used[std::size_t(shop)])
            m_shops.push_back(shop);
    m_sectionOne.assign(std::size_t(kCategoryCount * kSubPeriods * kSectionOneKinds) * m_shops.size(), 0);
    return 0;
}

void InfinRun::ReadEmployee(int slot)
{
    if (!m_base.swap.readSlot(slot, m_base.current))
        throw TextError(infobase::ReadFileErrorText);
}

// The employee's archive entries and month rows of the export month (none of
// the rows of later months) with a code and an amount of at least half a
// kopeck.
std::vector<InfinEntry> InfinRun::MonthEntries() const
{
    const infobase::EmployeeRecord& record = m_base.current;
    std::vector<InfinEntry> entries;
    const int archived = std::min<int>(record.warKv, int(record.waria.size()));
    for (int index = 0; index < archived; ++index) {
        const infobase::WariaEntry& entry = record.waria[std::size_t(index)];
        if (entry.kod != 0 && RoundWhole(entry.sum) != 0 && ArchiveEntryMonth(entry, true) == m_month.value())
            entries.push_back({entry.kod, entry.sum, index, 0});
    }
    if (m_base.config.reportingKey() != m_month)
        return entries;
    for (int i = 0; i < kMonthRows; ++i)
        if (const AccrualRow& row = record.rows[std::size_t(i)]; row.kod != 0 && RoundWhole(row.sum) != 0)
            entries.push_back({row.kod, row.sum, -1, row.otd});
    return entries;
}

// The place of a line's sum: by category, sub-period, kind and shop.
std::size_t InfinRun::SectionOneAt(int category, int subPeriod, int kind, std::size_t shopIndex) const
{
    const std::size_t line = std::size_t((category * kSubPeriods + subPeriod) * kSectionOneKinds + kind);
    return line * m_shops.size() + shopIndex;
}

double InfinRun::ByTableCharge(const InfinCodeSums& sums) const
{
    if (m_byTable == nullptr)
        return 0;
    return RoundWhole(ContributionByTaxTable(m_doc, sums, *m_byTable)) * DisabilityFactor(m_doc, m_month);
}

// Section 1 for the current employee: in each shop, the entries of the shop
// of his category.
int InfinRun::AddSectionOne(const std::vector<InfinEntry>& entries, int slot)
{
    const int account = m_base.current.head.spz[1][0] & 0x3FFF;
    if (account != kProductionAccount && account != kNonProductionAccount)
        return 0;
    const int category = account == kProductionAccount ? 0 : 1;
    const int ownShop = ReportedShop(m_base.shopOf(slot));
    for (std::size_t shopIndex = 0; shopIndex < m_shops.size(); ++shopIndex) {
        const int shop = m_shops[shopIndex];
        if (ownShop != shop && !m_otherShopSlots.contains(slot))
            continue;
        InfinCodeSums sums{};
        bool any = false;
        for (const InfinEntry& entry : entries) {
            if (entry.code >= kFirstDeductionCode && !IsContributionCode(entry.code))
                continue;
            const bool inShop = entry.archiveIndex >= 0 || entry.department == 0
                                    ? ownShop == shop
                                    : ReportedShop(entry.department) == shop;
            if (!inShop)
                continue;
            sums[std::size_t(entry.code)] += entry.amount;
            any = true;
        }
        if (!any)
            continue;
        if (const int result = AddShop(category, shopIndex, sums); result != 0)
            return result;
    }
    return 0;
}

// One employee's sums in one shop: the month's lines lose the contributions
// of the following months, which go to the lines of those months.
int InfinRun::AddShop(int category, std::size_t shopIndex, const InfinCodeSums& sums)
{
    InfinShareTable bases{}, shares{};
    if (const int result = SplitContributionsInfin(m_doc, sums, bases, shares); result != 0)
        return result;
    std::array<double, kSectionOneKinds> month{};
    for (int code = 1; code < kFirstDeductionCode; ++code) {
        const double amount = sums[std::size_t(code)];
        if (amount == 0)
            continue;
        if (IsSickPayBlockCode(code)) {
            month[kKindSickPay] += amount;
        } else if (code == kCodeBrigadeContract) {
            month[kKindContract] += amount;
        } else if (!IsFutureVacationCode(code)) {
            const infobase::PayKind* kind = PayKindOf(m_doc, code);
            if (kind != nullptr && kind->fond == 1)
                month[kKindWages] += amount;
        }
    }
    month[kKindPension] = sums[990] + sums[991] + sums[995];
    month[kKindByTable] = ByTableCharge(sums);
    for (int kind : {kKindSocial, kKindFederalMedical, kKindTerritorialMedical})
        month[std::size_t(kind)] = sums[std::size_t(kSectionOne[kind].creditCode)];

    for (int kind = 0; kind < kSectionOneKinds; ++kind) {
        double amount = month[std::size_t(kind)];
        for (int subPeriod = 0; subPeriod < kSubPeriods; ++subPeriod) {
            double share = 0;
            for (int column : kSectionOne[kind].shareColumns)
                if (column >= 0)
                    share += shares[std::size_t(subPeriod + 1)][std::size_t(column)];
            amount -= share;
            if (kind == kKindWages)
                share = sums[std::size_t(kFutureVacationCodes[subPeriod])];
            m_sectionOne[SectionOneAt(category + 2, subPeriod, kind, shopIndex)] += share;
        }
        m_sectionOne[SectionOneAt(category, 0, kind, shopIndex)] += amount;
    }
    return 0;
}

void InfinRun::AddSectionTwo(const std::vector<InfinEntry>& entries)
{
    for (int kind = 0; kind < kSectionTwoKinds; ++kind) {
        const std::vector<int>& codes = kSectionTwo[kind].codes;
        InfinCodeSums sums{};
        double total = 0;
        for (const InfinEntry& entry : entries) {
            if (kind == kKindMaterialHelp && entry.archiveIndex == 0)
                continue;
            if (std::find(codes.begin(), codes.end(), entry.code) == codes.end())
                continue;
            sums[std::size_t(entry.code)] += entry.amount;
            total += entry.amount;
        }
        m_sectionTwo[std::size_t(kind)] += kind == kKindProfitContribution ? ByTableCharge(sums) : total;
    }
}

int InfinRun::Collect()
{
    if (const int result = FindShops(); result != 0)
        return result;
    for (const EmployeeListEntry& entry : m_base.list) {
        if (!Wanted(entry))
            continue;
        ReadEmployee(entry.slot);
        const std::vector<InfinEntry> entries = MonthEntries();
        if (const int result = AddSectionOne(entries, entry.slot); result != 0)
            return result;
        AddSectionTwo(entries);
        if (m_stop.stop_requested())
            return 1;
    }
    return 0;
}

// The credit account of a kind: its fixed one, the four digits of the cost
// account of its pay kind, or empty when that code has no pay kind.
QByteArray InfinRun::CreditAccount(const SectionOneKind& kind) const
{
    if (kind.creditCode == 0)
        return kind.fixedCredit;
    const infobase::PayKind* payKind = PayKindOf(m_doc, kind.creditCode);
    return payKind != nullptr ? BestGroup(payKind->spzAu) : QByteArray();
}

// One line of section 1: for the month the category account, the credit,
// the kind account and the shop; for a following month "9701", the credit,
// the type, the month, the kind account, the shop and the category account.
QByteArray InfinRun::SectionOneLine(int category, int subPeriod, int kind, int shop, std::int64_t kopecks) const
{
    static const char* const kCategoryTexts[2] = {"производственн", "непроизводственн"};
    static const char* const kCategoryAccounts[2] = {"2000", "2600"};
    const SectionOneKind& line = kSectionOne[kind];
    const bool future = category >= 2;
    const int staff = category % 2;
    const QByteArray account = staff == 0 ? line.productionAccount : line.otherAccount;
    const QByteArray marker = kind == kKindFederalMedical ? "1" : kind == kKindTerritorialMedical ? "2" : "";
    const QString text = QString::fromUtf8(future ? line.futureText : line.monthText);
    QByteArray head;
    if (future) {
        const MonthKey month = m_month.plus(subPeriod + 1);
        head = "9701;" + CreditAccount(line) + ';' + QByteArray::number(line.type) + ';' +
               (month.month() < 10 ? "0" : "") + QByteArray::number(month.month()) + '.' +
               QByteArray::number(month.year()) + ';' + account + ';' + QByteArray::number(shop) + ';' +
               kCategoryAccounts[staff] + ';';
    } else {
        head = kCategoryAccounts[staff] + QByteArray(";") + CreditAccount(line) + ';' + account + ';' +
               QByteArray::number(shop) + ";;;;";
    }
    return head + ";;" + marker + ";;;;;;;" + InfinAmountText(kopecks) + ';' +
           codepage::toCp1251(text.arg(QString::fromUtf8(kCategoryTexts[staff]))) + "\r\n";
}

QByteArray InfinRun::SectionOneLines() const
{
    QByteArray lines;
    for (int category = 0; category < kCategoryCount; ++category) {
        const bool future = category >= 2;
        for (int subPeriod = 0; subPeriod < (future ? kSubPeriods : 1); ++subPeriod) {
            for (int kind = 0; kind < kSectionOneKinds; ++kind) {
                if ((future && kSectionOne[kind].futureText == nullptr) || CreditAccount(kSectionOne[kind]).isEmpty())
                    continue;
                for (std::size_t shopIndex = 0; shopIndex < m_shops.size(); ++shopIndex) {
                    const double sum = m_sectionOne[SectionOneAt(category, subPeriod, kind, shopIndex)];
                    const auto kopecks = std::int64_t(RoundThroughText(sum, 0));
                    if (kopecks != 0)
                        lines += SectionOneLine(category, subPeriod, kind, m_shops[shopIndex], kopecks);
                }
            }
        }
    }
    return lines;
}

QByteArray InfinRun::SectionTwoLines() const
{
    QByteArray lines;
    for (int kind = 0; kind < kSectionTwoKinds; ++kind) {
        const SectionTwoKind& line = kSectionTwo[kind];
        const auto kopecks = std::int64_t(RoundThroughText(m_sectionTwo[std::size_t(kind)], 0));
        if (kopecks == 0)
            continue;
        lines += line.debit + QByteArray(";") + line.credit + ';';
        lines += line.number != 0 ? "4;" + QByteArray::number(line.number) + ';' : QByteArray(";;");
        lines +=
            ";;;;;;;;;;;;" + InfinAmountText(kopecks) + ';' + codepage::toCp1251(QString::fromUtf8(line.text)) + "\r\n";
    }
    return lines;
}

QByteArray InfinRun::Lines() const { return SectionOneLines() + SectionTwoLines(); }

// Closes the swap work file however the run ends.
struct SwapCloser {
    infobase::CInfoBase& base;
    ~SwapCloser() { base.CloseSwapFile(); }
};

} // namespace

QString RunInfinLoader(const QString& loaderCommand, const QString& folder)
{
    const QStringList arguments = platform::SplitCommandLine(loaderCommand);
    if (arguments.isEmpty())
        return QString();
    // The loader finds "infin.txt" in its current folder.
    const platform::ConsoleRun run = platform::RunConsoleProgram(arguments, folder, {}, folder);
    if (platform::ConsoleRunSucceeded(run))
        return QString();
    static const platform::ConsoleFailureWords words{QStringLiteral("Не удалось запустить загрузчик ИНФИН:"),
                                                     QStringLiteral("Загрузчик ИНФИН остановлен:"),
                                                     QStringLiteral("Загрузчик ИНФИН завершился аварийно:"),
                                                     QStringLiteral("Загрузчик ИНФИН завершился с кодом %1:")};
    return platform::ConsoleFailureText(words, arguments, run);
}

int ExportPostingsInfin(std::stop_token stop, PayrollDoc& doc, const PostingsSelection& selection,
                        const QString& loaderCommand, QString* loaderFailure)
{
    infobase::Selection strip;
    strip.shop = selection.shop;
    strip.brigade = selection.brigade;
    strip.profession = selection.profession;
    strip.tabN = selection.personnelNumber;
    SwapCloser closer{doc.infoBase};
    try {
        if (!infobase::SelectAllToSwap(doc.infoBase, strip, stop))
            return 1;
    } catch (const infobase::InfoBaseError& error) {
        throw TextError(error.message());
    }

    InfinRun run(stop, doc, selection);
    if (const int result = run.Collect(); result != 0)
        return result;
    const QByteArray lines = run.Lines();

    const QString path = doc.infoBase.workFolder + QString::fromLatin1(kInfinFileName);
    if (QString written; !platform::WriteWholeFile(path, lines, &written))
        throw TextError(written);

    const QString failure = RunInfinLoader(loaderCommand, doc.infoBase.workFolder);
    if (loaderFailure != nullptr)
        *loaderFailure = failure;
    return 0;
}

} // namespace kalvor::exchange
