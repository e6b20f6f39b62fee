#pragma once
// The length-of-service book without its screen: the texts of one rule as its
// grid row shows them, and the 15 rules rebuilt from the grid's rows, each
// value read within its column's range, sorted by code with empty rules last.
#include "infobase/Records.h"
#include "values/TypedFigure.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace kalvor::masterdata {

constexpr int kSeniorityRuleCount = 15;
constexpr int kSeniorityColumnCount = 17;

using SeniorityRules = std::array<infobase::SeniorityRule, kSeniorityRuleCount>;

// The 17 cells of a rule: numbers "%d" (0 empty), "Величина" as roubles with
// two decimals (0 empty).
QStringList SeniorityRuleTexts(const infobase::SeniorityRule& rule);

// A grid row read back, each cell by its column's rule (SeniorityColumnRules;
// a cell the rule refuses reads 0), "Величина" as roubles into kopecks. A row
// whose code is 0 or does not read gives an empty rule.
infobase::SeniorityRule ReadSeniorityRule(const QStringList& cells);
// What a typed cell of each of the seventeen columns takes: the ranges the
// rule's fields keep (the code a 16-bit number, ages and lengths of service
// 0-32767, shop and brigade 0-127, profession 0-127 and 0-255, category
// 0-15, "Что" 0-1), the amount as money that is not negative (an
// addition in roubles or a percent). The code is besides a pay kind of the
// book, which the screen's column checks.
std::vector<FigureRule> SeniorityColumnRules();

// The rules of the grid's rows, row i giving rule i (rows beyond the 15th are
// ignored), sorted by code with the empty rules after all others.
SeniorityRules BuildSeniorityRules(const std::vector<QStringList>& rows);

} // namespace kalvor::masterdata
