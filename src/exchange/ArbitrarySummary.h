#pragma once
// The summary in an arbitrary breakdown: the accruals and deductions of the
// selected employees added up over seventeen attributes (levels). The user
// puts the levels in any order, marks the grouping levels with "*", types
// filter values into others and leaves the rest empty.
//
// The engine (BuildArbitrarySummary) walks the employees of the swap work
// file and either groups the taken amounts in a tree and writes a text report
// (or, for the postings export, the record file "<base>.fin"), or appends one
// record per taken amount to a totals file (PRSvodFile) that the merge reads
// back later, possibly from several bases.
//
// Totals file, little-endian:
//   0   u8   17, the number of levels
//   1   17   level order: the level number at each position of the form,
//            plus 100 for a level that does not group
//   18  u16  "Печать дней и часов" (0 or 1)
//   20  u32  number of records, written when the file is complete
//   24  ...  records: the key of every grouping level in form order (i32;
//            the employee level carries the personnel number), then a
//            SummaryAmount (12 bytes)
#include "infobase/InfoBaseDb.h"
#include "payroll/PayrollDocument.h"
#include "values/TypedFigure.h"
#include "values/Values.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <stop_token>
#include <vector>

namespace kalvor::print {
class PrintCommandPrompt;
}
namespace kalvor::platform {
struct TaskOutcome;
}

namespace kalvor::exchange {

inline constexpr int kSummaryLevelCount = 17;

enum SummaryLevel : int {
    LevelAccount = 0,
    LevelCostItem = 1,
    LevelAnalytics = 2,
    LevelShop = 3,
    LevelBrigade = 4,
    LevelProfession = 5,
    LevelPaySystem = 6,
    LevelCategory = 7,
    LevelEmployee = 8,
    LevelSign = 9,
    LevelFund = 10,
    LevelTaxFlag = 11,
    LevelTrait1 = 12,
    LevelTrait2 = 13,
    LevelTrait3 = 14,
    LevelMonth = 15,
    LevelCode = 16,
};

// Level values besides a filter value.
inline constexpr int kGroupingLevel = 10000; // the field holds "*"
inline constexpr int kNoCondition = -1; // the field is empty
inline constexpr int kWrongEntry = 11111; // refused by the worker's form check

// The key of the sign level.
inline constexpr int kSignAccrual = '+';
inline constexpr int kSignDeduction = '-';

// Results of the engine.
enum SummaryResult : int {
    SUMMARY_DONE = 0,
    SUMMARY_STOPPED = 1, // stopped, or the report failed
    SUMMARY_STORE_EXHAUSTED = -1,
    SUMMARY_NO_DATA = -2,
    SUMMARY_FILE_FAILED = -33,
};

// The sum of one tree leaf or file record: whole roubles, the kopeck
// remainder in sign and magnitude (0-99, or 128 + m for a negative m), the
// day count as 100 x daysHundreds + days, and hours as minutes.
struct SummaryAmount {
    std::int32_t roubles = 0;
    std::uint8_t kopecks = 0;
    std::uint8_t days = 0;
    std::int16_t daysHundreds = 0;
    std::int32_t minutes = 0;

    static constexpr int Size = 12;

    // An amount of kopecks (rounded to whole kopecks through the rounding
    // helper) with its days and minutes.
    static SummaryAmount Of(double amountKopecks, int days, int minutes);
    // Adds: the kopecks summed signed and carried into the roubles by whole
    // hundreds (towards zero), the days carried into the hundreds at 100.
    void Add(const SummaryAmount& other);
    // The sign change of a deduction: roubles negated, 128 added to the
    // kopeck byte modulo 256.
    void Negate();
    std::int64_t TotalKopecks() const;
    int TotalDays() const { return 100 * daysHundreds + days; }

    void Write(char* out) const;
    static SummaryAmount Read(const char* in);
    friend bool operator==(const SummaryAmount&, const SummaryAmount&) = default;
};

// One node of the grouping tree: its level's key, the first node of the next
// grouping level (-1 at the last level, where `amount` is the sum), the next
// node of the same level (siblings in ascending key order, -1 at the end).
struct SummaryNode {
    std::int32_t key = 0;
    std::int32_t down = -1;
    std::int32_t next = -1;
    SummaryAmount amount;
};

// The grouping tree: nodes in one growing array, so that no node is
// allocated on its own; the first level's list starts at node 0.
class SummaryTree {
public:
    // Room for `nodes` nodes; false when even that cannot be had.
    bool Reserve(std::size_t nodes);
    void Clear() { m_nodes.clear(); }
    bool Empty() const { return m_nodes.empty(); }
    const std::vector<SummaryNode>& Nodes() const { return m_nodes; }

    // Puts one entry under its keys (one per grouping level, in form order):
    // 1 when a node was created, 0 when the amount was added to existing
    // nodes, -1 when no memory is left. Without grouping levels every amount
    // adds into node 0.
    int Insert(const std::int32_t* keys, int depth, const SummaryAmount& amount);

private:
    int NewNode(std::int32_t key);
    int FindOrInsert(int parent, std::int32_t key, bool* created);

    std::vector<SummaryNode> m_nodes;
};

// What the form gives the engine.
struct SummaryBlock {
    int periodStart = 0; // month indexes (MonthIndex), 0 when not given
    int periodEnd = 0;
    std::array<int, kSummaryLevelCount> levels{}; // by level number
    int fromHireDate = 0; // "С учетом даты поступления на работу"
    int daysAndHours = 0; // "Печать дней и часов"
    QString outputPath; // totals file; empty for the text report
    std::array<std::uint8_t, kSummaryLevelCount> order{}; // level number at each form position

    // The grouping levels in form order.
    std::vector<int> GroupingLevels() const;
    bool Grouping(int level) const { return levels[std::size_t(level)] == kGroupingLevel; }
    // A filter value (0-9999) on the level.
    bool Filtered(int level) const;
};

// The texts of form 429 as typed: the value field of each level (the month
// level has two: month and year), the period and the two options.
struct SummaryFormTexts {
    std::array<QString, kSummaryLevelCount> values;
    QString monthYear; // field 1415
    QString firstMonth, firstYear, lastMonth, lastYear; // 1406-1409
    QString fromHireDate, daysAndHours; // 1264, 1265
};

// The whole numbers a level's condition takes as its filter (the month has
// its own rule: TypedMonthValue).
FigureRule SummaryLevelRule(int level);
// Whether a level's condition text is a filter number to read by its rule:
// not empty and not "*" (the level in the head of the summary).
bool SummaryConditionIsNumber(const QString& text);

// A typed month and year as a month index (MonthIndex): empty month gives 0; a two-digit
// year goes through the program's year window, a longer one is kept.
int TypedMonthValue(const QString& month, const QString& year);

// The refusal of a text typed for a level (named `field`): empty for a star
// (group by the level), for nothing (no condition) and for a whole number
// within the level's range (the month: 1-12); else the message of ReadFigure.
QString SummaryLevelRefusal(int level, const QString& field, const QString& text);

// StartSummary's reading of the form: the level values with their ranges and
// special values, the period and the options. The order and the path are the
// caller's.
SummaryBlock ReadSummaryForm(const SummaryFormTexts& texts, bool selectedOnly, bool markedPayKindsOnly);

// The worker's check of the form: false for a period start without an end or
// the other way, a start later than the end, a period with a month filter, a
// period or month filter with a value or "*" on account, cost item or
// analytics, a wrong entry on any level.
bool SummaryFormValid(const SummaryBlock& block);

// Everything a run of the engine needs.
struct SummaryRun {
    SummaryBlock block;
    infobase::Selection strip; // what the selection run wrote into the swap file
    int currentMonth = 0; // the base's reporting month as a month index
    int markedEmployees = 0; // 0: the personnel-number filter applies instead
    int markedPayKinds = 0; // 0: the code filter applies instead
    std::stop_token stop;
    bool treeFilled = false; // TreeFilled: the tree is given, go straight to the report
    bool noPrint = false; // NoPrint: the record file "<base>.fin", no print command
    // The employee level's keys are personnel numbers (a merged tree): the
    // report shows the number without a name.
    bool employeeKeysAreNumbers = false;
};

// The fixed choices of the form's fields, as pick-list pairs (text, code)
// ending in a pair of nulls; the report names filter values by them.
extern const PickPair kPaySystemChoices[]; // 1255
extern const PickPair kCategoryChoices[]; // 1256
extern const PickPair kSignChoices[]; // 1257
extern const PickPair kNoYesChoices[]; // 1259-1262
extern const PickPair kHireDateChoices[]; // 1264
extern const PickPair kDaysAndHoursChoices[]; // 1265

// The amount's column head of the report (cut after 14 characters without
// days and hours).
QString SummaryAmountHead(bool daysAndHours);

// Puts one taken entry (keys by level number) into the tree, or appends its
// record to the totals file when `file` is given. Results as SummaryTree::Insert.
int WriteSummaryRecords(const std::array<std::int32_t, kSummaryLevelCount>& keys, const SummaryAmount& amount,
                        const SummaryBlock& block, SummaryTree& tree, QByteArray* file);

// The engine. Reads the employees of the swap work file (unless treeFilled)
// into the tree or the totals file, then writes the text report to its work
// file (SummaryReportPath; with noPrint, the record file) and hands it to
// the print command through the prompt (none: the report is only written),
// leaving how that ended in `printed` when given (PrintedReportOutcome).
// Throws TextError "Ошибка чтения файла" on a short read of a slot, and the
// report's TextError with message 23 of ExchangeErrorTexts.
int BuildArbitrarySummary(const SummaryRun& run, SummaryTree& tree, PayrollDoc& doc, print::PrintCommandPrompt* prompt,
                          platform::TaskOutcome* printed = nullptr);
// The work file of the summary's text report, "<base>-Svod-2011-09.typ".
QString SummaryReportPath(const PayrollDoc& doc);

// The text report of a filled tree as 8-bit bytes (windows-1251, CR LF).
QByteArray SummaryReportText(const SummaryRun& run, const SummaryTree& tree, PayrollDoc& doc);
// The record file of a filled tree: one 35-byte record per node of the last
// grouping level in walk order: account, sub-account, analytics and code as
// "%04d" each followed by a blank, then the amount in roubles as "%015.2f"
// (deductions carried with the sign the month rows give them).
QByteArray SummaryRecordFileBytes(const SummaryBlock& block, const SummaryTree& tree);

// The header of a totals file (24 bytes, count 0).
QByteArray SummaryFileHeader(const SummaryBlock& block);

} // namespace kalvor::exchange
