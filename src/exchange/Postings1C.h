#pragma once
// The month's payroll as postings for the 1C accounting program: one text
// file (windows-1251) of quoted fields. A header line carries the posting
// date; then one line per distinct combination of accounts, analytics values
// and pay kind, the amounts of all selected employees summed.
//
// Every posting has a row side (the account, subaccount and analytics value
// of the month rows) and a settings side (the pay settlement account and
// subaccount of the export's settings, "70" by default). Accruals debit the
// row side and credit the settings side; deductions the other way round; the
// tax shares of an accrual credit the account written in the tax's name.
// Which analytics each side carries comes from the chart of accounts
// "plan_1c.txt"; shop and brigade values may be translated through the
// transition tables "pereh_1c.txt".
#include "exchange/BestPostings.h"
#include "exchange/ChartOfAccounts1CFile.h"
#include "exchange/TransitionTables1CFile.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <compare>
#include <map>
#include <stop_token>
#include <tuple>
#include <vector>

class QIODevice;

namespace kalvor::exchange {

// The chart of accounts as the export holds it: the lines of "plan_1c.txt".
using Chart1C = std::vector<ChartLine>;

// Analytics kinds of a chart slot.
enum SubcontoKind {
    SubcontoNone = 0,
    SubcontoAnalytics = 1, // the month row's analytics value
    SubcontoShop = 2,
    SubcontoBrigade = 3,
    SubcontoPersonnelNumber = 4,
    SubcontoSlotNumber = 5, // the slot's own number
    SubcontoBudgetSplit = 6, // nothing; in the seventh slot it splits the income tax 84 / 16
};

// "DD.MM.YY" of the last day of the month; February has 29 days in the
// years divisible by four.
QByteArray LastDayText(int year, int month);

// Which of the analytics kinds 1-4 occur among a chart line's eight slots.
using SubcontoKindsPresent = std::array<bool, 4>;

// The index of the chart line of the account: the first line of that
// account; when the chart has several lines of the account, the first whose
// subaccount matches too. -1 when there is none. `present` (when given)
// tells the kinds 1-4 of the line found.
int FindPlanAccount(int account, int subaccount, const Chart1C& chart, SubcontoKindsPresent* present = nullptr);

// The value of one analytics slot of the kind, given the posting's value of
// that kind, the slot's option digit and its four-character number:
// option blank (or missing) 0; not a digit -1; option 1 or 2 of a shop or
// brigade slot the transition line of that number gives its field 1 or 2
// (the slot's own number when the value is 0 or no line has it); otherwise
// the value, or the slot's own number when the value is 0.
int PickSubcontoValue(int value, char option, int kind, QByteArrayView numberText, const TransitionLines& transitions);

// The values of analytics kinds 1-4 of one posting.
struct SubcontoValues {
    int analytics = 0;
    int shop = 0;
    int brigade = 0;
    int personnelNumber = 0;
    friend bool operator==(const SubcontoValues&, const SubcontoValues&) = default;
};

// The four analytics texts of one side: for each pair of slots (level 1 and
// level 2) "%d:%d" when both values are not 0, "%d" when one is, empty when
// neither is. The texts are not cut: the fields are quoted and of no fixed
// width.
using SubcontoTexts = std::array<QByteArray, 4>;
SubcontoTexts FormatSubconto(const ChartLine& line, const SubcontoValues& values, const TransitionLines& transitions);

// The key path of the postings: debit account, debit subaccount, analytics
// value, shop, brigade, personnel number (a value 0 where the account's
// chart line has no analytics of that kind).
struct PostingKey1C {
    int account = 0;
    int subaccount = 0;
    SubcontoValues values;

    friend auto operator<=>(const PostingKey1C& a, const PostingKey1C& b)
    {
        return std::tie(a.account, a.subaccount, a.values.analytics, a.values.shop, a.values.brigade,
                        a.values.personnelNumber) <=> std::tie(b.account, b.subaccount, b.values.analytics,
                                                               b.values.shop, b.values.brigade,
                                                               b.values.personnelNumber);
    }
    friend bool operator==(const PostingKey1C&, const PostingKey1C&) = default;
};

// The postings of a run summed by key path and code, both in ascending
// order. It grows as needed; a failed allocation is thrown as
// TextError("Программная ошибка работы с памятью").
class PostingsTree1C {
public:
    using Codes = std::map<int, double>;

    void AddPosting(const PostingKey1C& key, int code, double amount);
    const std::map<PostingKey1C, Codes>& paths() const { return m_paths; }

private:
    std::map<PostingKey1C, Codes> m_paths;
};

// What every posting line of a run takes besides the posting itself.
struct Postings1CSetup {
    Chart1C chart;
    TransitionLines transitions;
    QByteArray date; // "DD.MM.YY"
    int settingsAccount = 70;
    int settingsSubaccount = 0;
    bool joinAccruals = false; // accruals of one key path in one line "Зарплата"
    const PayrollDoc* doc = nullptr; // pay kinds and the tax names
};

// Accruals written under one code when the export joins them.
inline constexpr int kJoinedAccrualCode = 1;
// The tax shares of the tax of table number t in the tax reference are
// posted under code 1000 + t.
inline constexpr int kTaxShareCode = 1000;

// Writes the posting of one key path and code: one line, or two for an
// income tax (902) whose row account's chart line has kind 6 in its seventh
// slot (84 % and 16 % of the amount). A tax share of amount 0 writes nothing.
// Returns 0; a failed write throws TextError naming the file and why.
int Write1CPostings(const PostingKey1C& key, int code, double kopecks, const Postings1CSetup& setup, QIODevice& out);

// Writes the postings of the reporting month into `out`. Returns 0 when
// done, 1 when stopped, -32 for a tax computed by a scale without a scale
// number, or the negative result of TaxVariantForMonth. A missing
// "plan_1c.txt" or "pereh_1c.txt" throws TextError("Не найден файл <name>")
// before anything is written; a short read of the work file throws
// TextError("Ошибка чтения файла").
int ExportPostings1C(const PostingsSelection& selection, std::stop_token stop, QIODevice& out, PayrollDoc& doc);

} // namespace kalvor::exchange
