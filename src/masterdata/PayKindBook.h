#pragma once
// The pay and deduction kinds book without its screen: the fields of one kind
// as the entry form shows them and the rules by which typed texts go back into
// the kind, creating and deleting kinds in the sorted table, the group copy of
// a template into the marked kinds, and saving the book.
//
// The table is the information base's pay-kind book (sorted by kod,
// config.nEnt entries, at most CInfoBase::MaxPayKinds).
#include "infobase/InfoBase.h"
#include "values/TypedFigure.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace kalvor::masterdata {

// The codes the calculation treats by number (86 of them, listed in
// infobase/PayKindCodes.h): their names cannot be edited without unlocking and
// the kinds cannot be deleted. Ascending.
const std::vector<int>& BuiltInPayKindCodes();
bool IsBuiltInPayKindCode(int code);

// The fields of the entry form in form order.
enum PayKindField : int {
    FieldKod,
    FieldName,
    FieldFond,
    FieldEnOtp,
    FieldBudgOtp,
    FieldKoefOtp,
    FieldEnBln,
    FieldBudgBln,
    FieldEnSrPremBln,
    FieldOblProf,
    FieldEnAlim,
    FieldEnKoefRS,
    FieldG11,
    FieldEnSrZar,
    FieldOkrug,
    FieldSpz,
    FieldHr1,
    FieldHr2,
    FieldHr3,
    FieldHr4,
    FieldOblPodoh,
    FieldKodDoh,
    FieldKodSkid,
    FieldSumSkidPodoh,
    FieldSumSkidSoc,
    FieldVedStlb,
    FieldVedShap,
    PayKindFieldCount
};

struct PayKindFieldInfo {
    int controlId; // the number of the form's edit control
    const char* label; // the text beside it
    FigureRule rule; // what it takes, within what the kind keeps
};
const PayKindFieldInfo& PayKindFieldOf(PayKindField field);
// What the field takes for the kind of that code: its rule, the statement
// column of a deduction (a code from 700) only up to 7.
FigureRule PayKindFieldRule(PayKindField field, int code);
// The field of a control number; -1 when the number is not one of the form's.
int PayKindFieldOfControl(int controlId);

// One text per field, as the form shows them.
using PayKindTexts = std::array<QString, PayKindFieldCount>;

// The texts of a kind: numbers "%d" (0 empty), the cost code as 12 digits
// (empty when all three groups are 0), the two amounts "%.2f" roubles (0 empty).
PayKindTexts FillPayKindTexts(const infobase::PayKind& kind);

// Reads typed texts back into the kind, each by its field's rule for the
// kind (PayKindFieldRule); a text the rule refuses keeps the stored value
// (enBln and enSrPremBln are settled together). 1 when anything changed.
int ReadPayKindTexts(const PayKindTexts& texts, infobase::PayKind& kind);

// Whether the name of a kind may be edited without unlocking it.
bool PayKindNameEditable(int code);

// ------------------------------------------------------------------ the table

// Result of CreatePayKind when the table already holds the most kinds.
inline constexpr int kPayKindTableFull = -2;

// Appends an all-zero kind of that code, counts it and sorts the table by
// code; returns its 0-based position, or kPayKindTableFull.
int CreatePayKind(infobase::CInfoBase& base, int code);
// Removes the kind of that code and closes the gap; false for a built-in code
// or a code that is not in the table.
bool DeletePayKind(infobase::CInfoBase& base, int code);
// 0-based position of the kind of that code, -1 when absent.
int PayKindPosition(const infobase::CInfoBase& base, int code);

// ------------------------------------------------------------------ group operation

// Clears every group mark, then marks the kinds whose codes lead the lines
// ("%u" of each line); returns how many kinds were marked.
int MarkPayKindGroup(infobase::CInfoBase& base, const QStringList& lines);
void ClearPayKindGroup(infobase::CInfoBase& base);
// Copies the non-empty fields of the template into every marked kind: a flag
// only when set (never cleared), the rest only when non-zero, the cost code
// with the values stored beside it, rounding and column together. Returns the
// number of kinds that changed.
int CopyIntoPayKindGroup(infobase::CInfoBase& base, const infobase::PayKind& pattern);

// ------------------------------------------------------------------ saving

// Clears what kinds 163, 171, 172 and 178 must never carry (average earnings,
// vacation average, the sick-leave average counted in full; for 178 also the
// average bonus and the regional coefficient).
void ClearFixedPayKindFlags(infobase::CInfoBase& base);
// Clears the fixed flags and writes the whole table and the count, both or
// neither. Throws db::DbError; the table in memory stays as it is then.
void SavePayKindBook(infobase::CInfoBase& base);

// ------------------------------------------------------------------ field help

// The value list of a field ("value|text" lines, value 0 as a blank); empty
// for fields without one.
QStringList PayKindFieldValueList(PayKindField field);
// The hint of a field without a value list.
QString PayKindFieldHint(PayKindField field);

} // namespace kalvor::masterdata
