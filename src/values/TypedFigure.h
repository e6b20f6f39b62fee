#pragma once
// The one place where typed numbers are read: the decimal text of an amount,
// rate, percent or coefficient (ReadTypedDecimal, ReadTypedUnits), and the
// rule by which an input that takes a figure reads what was typed (ReadFigure):
// the whole text or a refusal naming the input, never a part of the text.
// Every input is made with its FigureRule (shell/ui/TypedInput.h).
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

namespace kalvor {

enum class TypedDecimal { Empty, Number, Refused };
// The one rule for amounts, rates, percents and coefficients typed by the
// user: blanks around the text are dropped; an empty text is Empty (the value
// 0). Otherwise the text must be, in full, an optional sign, the whole part
// and, optionally, a decimal separator (a point or a comma, as Russians type
// it) followed by digits ("30000,50", "1.5", ",5", "7,"). The whole part may be
// written in groups of three digits after one blank or no-break space
// ("1 500,50", "12 345 678"), the way Russian numbers are printed. Anything
// else is Refused: letters, an exponent, a second separator ("12,3,4"), a
// misplaced blank ("1 50"), trailing characters ("12a"), and more than 15
// significant digits ("9007199254740993", "1,0000000000000001"), which a
// double would not keep as typed. The value is correctly rounded and always
// finite.
TypedDecimal ReadTypedDecimal(QStringView text, double& value);
// The same text as a count of units of the last of `decimals` places
// (kopecks for 2, thousandths for 3), rounded from its decimal digits to the
// nearest unit, an exact half going down (ceil(v x 10^decimals - 0.5) of the
// decimal value): "0,285" is 28 hundredths, "4666,265" 466626, "0,2851" 29,
// "-0,125" -13; never from the nearest binary value (4666.265 is
// 4666.26500000000033... in a double, which took it to 466627). An empty text
// is 0 units.
TypedDecimal ReadTypedUnits(QStringView text, int decimals, double& units);
// "Некорректное число в поле "<field>": <text>", the message of a refused
// amount, rate, percent or coefficient.
QString NumberRefusedText(const QString& field, QStringView text);

// The largest amount that a money field takes, in roubles: every kopeck count
// up to it is held exactly in a double.
constexpr double kMaxMoneyRoubles = 999999999999.99;
// Whether an amount of kopecks is a finite number within the money range.
bool IsMoneyInRange(double kopecks);

// ---------------------------------------------------------------- figures of inputs

enum class FigureKind {
    Whole, // a whole number within a range (days, a table's number, a code)
    Count, // a whole number from 0 (a count, an order's number)
    Percent, // a percent with the field's own places after the separator
    Money, // roubles and at most two places of kopecks
    Decimal, // a rate or coefficient with at most the field's own places
    HoursMinutes, // "hours,minutes" (minutes 0-59)
    Text, // any text of at most max characters (a name, an account, a place)
};

// What a figure is, which its range follows from. The named rules below set
// it, so that a rule chosen by its meaning can be told from one made by hand
// (a brace list keeps Unchosen, which the screens' walks refuse for money,
// percents and counts).
enum class FigureMeaning {
    Unchosen, // made by hand, no meaning chosen
    Amount, // money that cannot be negative, up to the most its field holds
    Signed, // money of either sign, where a negative value is a reversal or a correction
    Share, // a share of a whole: a percent of a pay or a row (0-100), a fraction of a full rate (0-1)
    Rate, // a percent or coefficient that is no share (a tax rate, an interest rate, a tariff)
    Multiplicity, // how many times a standard tax deduction is given, as the law allows
    Count, // a count or an order's number, from 0
    Number, // a number within a range (a code, a day, a month, a mark), hours, a text
};

struct FigureRule {
    FigureKind kind = FigureKind::Whole;
    int decimals = 0; // places after the separator the field keeps
    double min = 0;
    double max = 0; // min == max: no range beyond what the kind holds
    FigureMeaning meaning = FigureMeaning::Unchosen;
};

constexpr FigureRule WholeFigure(double min, double max)
{
    return {FigureKind::Whole, 0, min, max, FigureMeaning::Number};
}
constexpr FigureRule CountFigure(double max) { return {FigureKind::Count, 0, 0, max, FigureMeaning::Count}; }
// The most times a standard tax deduction is given, as a deduction's row
// keeps it: the child deduction is given once for each child and doubled for
// a single parent, so the law sets no smaller bound.
constexpr int kMaxDeductionMultiplicity = 15;
// How many times a deduction is given, 0 to kMaxDeductionMultiplicity (0 counts as once).
constexpr FigureRule MultiplicityFigure()
{
    return {FigureKind::Count, 0, 0, double(kMaxDeductionMultiplicity), FigureMeaning::Multiplicity};
}
// A share of a whole, from 0 to the whole: a percent of a pay or of a row
// (whole 100), or the part of a full rate an employee works, typed as a
// fraction of it (whole 1, "0.5" for half a rate).
constexpr FigureRule ShareFigure(int decimals, double whole = 100)
{
    return {FigureKind::Percent, decimals, 0, whole, FigureMeaning::Share};
}
// A percent that is a rate and no share of a sum (a tax rate, a loan's
// interest), from 0 to the most its meaning allows.
constexpr FigureRule RatePercentFigure(int decimals, double max)
{
    return {FigureKind::Percent, decimals, 0, max, FigureMeaning::Rate};
}
// A rate or coefficient (a tariff, a coefficient, a count of days with a fraction).
constexpr FigureRule DecimalFigure(int decimals, double min, double max)
{
    return {FigureKind::Decimal, decimals, min, max, FigureMeaning::Rate};
}
// Money within kMaxMoneyRoubles either way: only where a negative value means
// something (a reversal, a correction, a balance owed either way), said beside
// each use.
constexpr FigureRule SignedMoneyFigure() { return {FigureKind::Money, 2, 0, 0, FigureMeaning::Signed}; }
// Money from 0 to maxRoubles (an amount that cannot be negative), by default
// the most a money field keeps.
constexpr FigureRule AmountFigure(double maxRoubles = kMaxMoneyRoubles)
{
    return {FigureKind::Money, 2, 0, maxRoubles, FigureMeaning::Amount};
}
// Hours up to maxHours (and no minutes at maxHours); maxHours < 0: any hours.
constexpr FigureRule HoursFigure(int maxHours)
{
    return {FigureKind::HoursMinutes, 0, 0, double(maxHours), FigureMeaning::Number};
}

// Text of at most maxLength characters, blanks kept as typed.
constexpr FigureRule TextFigure(int maxLength)
{
    return {FigureKind::Text, 0, 0, double(maxLength), FigureMeaning::Number};
}

// A number that must name a record of a book (a shop, a pay kind, a
// recipient): the book as the messages name it, and whether the book holds a
// number. An input with a check refuses a number its book does not hold; 0
// (nothing typed) is no number and is left to the input's range. Where the
// input stands for one class of the book's records (a transfer's code is a
// transfer kind, not any pay kind), `kind` names the class as the messages
// say it ("видом перечисления в банк") and `isOfKind` tells a record of it:
// a number of the book outside the class is refused naming the class.
struct BookCheck {
    QString book;
    std::function<bool(long long)> holds;
    QString kind = {};
    std::function<bool(long long)> isOfKind = {};
    bool Checks() const { return bool(holds); }
};

// What a typed text gives its field.
struct FigureReading {
    bool read = false; // false: refused, the field keeps its value
    double units = 0; // the value in units of the field's last place (minutes for hours)
    QString refusal; // the message naming the field when refused
};

// Reads the whole text, blanks around it dropped, by the field's rule: a sign,
// digits (grouped by threes after a blank, "1 500"), and, where the field
// keeps places after the separator, a point or a comma and the fraction,
// taken to the field's last place by ReadTypedUnits (a field refuses more
// places than its own: "12,755" is no amount and no percent); a whole field refuses a
// fraction ("12,75"), an hours field minutes of 60 or more. The value must lie
// within the field's range. An empty text is 0. Anything else is refused with a message
// naming the field and quoting the text: letters, an exponent, a second
// separator, text after the number, more than 15 significant digits.
// A Text field refuses a text longer than its length and reads any other
// (units is then its length).
FigureReading ReadFigure(const QString& field, const FigureRule& rule, QStringView text);
// ReadFigure, then, for a whole number other than 0, the book's check: a
// number the book does not hold is refused naming the field and the book, one
// it holds outside the input's class naming the field and the class.
FigureReading ReadFigure(const QString& field, const FigureRule& rule, const BookCheck& book, QStringView text);
// The value ReadFigure reads from the text, in units of the rule's last
// place; `kept` when the text is refused. A stored line read from its row's
// cells takes each cell by its column's rule this way, so that a range is
// written once, where the column is declared.
double FigureUnitsOr(const FigureRule& rule, QStringView text, double kept);

// Whether a field of the rule holds a value of `units` of its last place (a
// stored amount in kopecks, a percent in hundredths): a finite number within
// the rule's range, and for money within the money range; the range a typed
// text is read against too. An import checks what a file brings by it, so that
// a file stores only what the field's input takes.
bool FigureHoldsUnits(const FigureRule& rule, double units);

// Hours typed "hours,minutes" (a point also separates), digits alone, where
// minutes of 60 or more carry into the hours ("7,75" is 8 h 15 min): the time
// in minutes, at most maxHours whole hours once carried (any minutes beside
// them); an empty text is 0. nullopt for any other text. The hours column of
// a grid that carries minutes reads its cells by it, and so does the reader of
// the rows it shows.
std::optional<int> ReadCarriedHours(QStringView text, int maxHours);

// The refusal of a taxpayer's number (ИНН) typed into the named field that is
// not of 10 digits (a firm's) or of 12 (a person's); empty for one that is
// and for an empty text.
QString InnRefusal(const QString& field, const QString& text);

} // namespace kalvor
