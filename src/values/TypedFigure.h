#pragma once
// The one rule by which a field that takes a figure reads what was typed: the
// whole text or a refusal naming the field, never a part of the text. Every
// screen declares its figure fields with a FigureRule (shell/ui/FigureFields.h
// says where) and reads them through ReadFigure.
#include <QString>
#include <QStringView>

#include <functional>

namespace kalvor {

enum class FigureKind {
    Whole, // a whole number within a range (days, a table's number, a code)
    Count, // a whole number from 0 (a count, an order's number)
    Percent, // a percent with the field's own places after the separator
    Money, // roubles and kopecks (ReadTypedUnits: the nearest kopeck)
    Decimal, // a rate or coefficient with at most the field's own places
    HoursMinutes, // "hours,minutes" (minutes 0-59)
    Text, // any text of at most max characters (a name, an account, a place)
};

struct FigureRule {
    FigureKind kind = FigureKind::Whole;
    int decimals = 0; // places after the separator the field keeps
    double min = 0;
    double max = 0; // min == max: no range beyond what the kind holds
};

constexpr FigureRule WholeFigure(double min, double max) { return {FigureKind::Whole, 0, min, max}; }
constexpr FigureRule CountFigure(double max) { return {FigureKind::Count, 0, 0, max}; }
constexpr FigureRule PercentFigure(int decimals, double max) { return {FigureKind::Percent, decimals, 0, max}; }
constexpr FigureRule DecimalFigure(int decimals, double min, double max)
{
    return {FigureKind::Decimal, decimals, min, max};
}
// Money within kMaxMoneyRoubles either way.
constexpr FigureRule MoneyFigure() { return {FigureKind::Money, 2, 0, 0}; }
// Hours up to maxHours (and no minutes at maxHours); maxHours < 0: any hours.
constexpr FigureRule HoursFigure(int maxHours) { return {FigureKind::HoursMinutes, 0, 0, double(maxHours)}; }

// Text of at most maxLength characters, blanks kept as typed.
constexpr FigureRule TextFigure(int maxLength) { return {FigureKind::Text, 0, 0, double(maxLength)}; }

// A number that must name a record of a book (a shop, a pay kind, a
// recipient): the book as the messages name it, and whether the book holds a
// number. An input with a check refuses a number its book does not hold; 0
// (nothing typed) is no number and is left to the input's range.
struct BookCheck {
    QString book;
    std::function<bool(long long)> holds;
    bool Checks() const { return bool(holds); }
};

// A figure field of a screen: its control, its name as the messages say it
// and its rule. A screen declares its figure fields in one list of these.
struct FigureField {
    int controlId;
    QString name;
    FigureRule rule;
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
// taken to the field's last place by ReadTypedUnits (a Decimal or Money
// field refuses more places than its own: "12,755" is no amount); a whole field refuses a
// fraction ("12,75"), an hours field minutes of 60 or more. The value must lie
// within the field's range. An empty text is 0. Anything else is refused with a message
// naming the field and quoting the text: letters, an exponent, a second
// separator, text after the number, more than 15 significant digits.
// A Text field refuses a text longer than its length and reads any other
// (units is then its length).
FigureReading ReadFigure(const QString& field, const FigureRule& rule, QStringView text);
// ReadFigure, then, for a whole number other than 0, the book's check: a
// number the book does not hold is refused naming the field and the book.
FigureReading ReadFigure(const QString& field, const FigureRule& rule, const BookCheck& book, QStringView text);

} // namespace kalvor
