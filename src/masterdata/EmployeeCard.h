#pragma once
// The employee's record card without its widgets: the number fields of the
// pages with the ranges they take, the main data written into one employee
// (whole, or only the filled fields for a group), the property deduction,
// and the making and removal of a card (the base's own operations).
#include "infobase/InfoBase.h"
#include "values/TypedFigure.h"
#include "values/Values.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>
#include <span>
#include <variant>
#include <vector>

namespace kalvor::infobase {
struct KalvorDocData;
}

namespace kalvor::masterdata {

namespace ib = kalvor::infobase;
using ib::u16;
using ib::u32;
using ib::u8;

// ------------------------------------------------------------------ number fields

// A number field of the extra-data and passport-data pages: its control, its
// label, which names it in the messages too, and the largest value it takes.
// An empty text is 0. (The main-data page's numbers stand in its table,
// kMainDataFields.)
struct CardNumberField {
    int id;
    const char* label;
    int maximum;
};
// The rule of a control of those pages; null for controls that are not numbers.
const CardNumberField* CardNumberRule(int id);
// The label of a number field of those pages.
QString CardNumberLabel(int id);
// Reads a number field of those pages: its value, or the refusal of a text
// that is no whole number (ReadFigure) or of a value outside 0..maximum
// (empty when the value is taken).
QString ReadCardNumber(int id, const QString& text, int* value);
// The card's numbers that name a record of a book: the shop ("Цех / отдел")
// and the profession.
inline constexpr int kCardShopField = 1001, kCardProfessionField = 1018;
// The books those numbers name, as the screen reads them.
struct CardBooks {
    BookCheck shop, profession;
};
// The book a number field of the card names; no check for the others.
BookCheck CardFieldBook(const CardBooks& books, int id);
// The most characters a text of the card keeps (the address of residence
// keeps more).
inline constexpr int kCardTextLength = 120;
inline constexpr int kCardAddressField = 1053, kCardAddressLength = 143;
// The property deduction's total on the additional-data page.
inline constexpr int kDeductionTotalField = 1096;
// The rule of an input of a page of the card (0 main data, 1 extra data, 2
// passport data) by its control: the main-data page's as its table gives
// it, the extra data's marks, the deduction's total, the numbers within
// their ranges, and a text of the length its place keeps for any other.
FigureRule CardFieldRule(int page, int id);

// ------------------------------------------------------------------ coded fields

// The coded fields of the main-data page: their value is a number whose name
// is shown beside it and whose list F1 offers.
inline constexpr int kStatusField = 1016, kScheduleField = 1000, kCategoryField = 1002, kTaxTableField = 1020,
                     kPaySystemField = 1003;
inline constexpr int kCodedFields[] = {kStatusField, kScheduleField, kCategoryField, kTaxTableField, kPaySystemField};

// The fixed values of a coded field (status, category, pay system), ended by
// a null pair; null for the others.
const PickPair* CodedFieldPairs(int id);
// The values of a coded field, one "code|name" a line: the fixed ones, the
// 20 work schedules described by their week, or the tax tables that have a name.
QStringList CodedFieldValues(int id, const ib::KalvorDocData& doc);
// The name of the value typed into a coded field: empty for an empty field
// (the status: "Продолжает работать"), "нет такого значения" for a number
// outside the list.
QString CodedFieldValueName(int id, const QString& text, const ib::KalvorDocData& doc);
// Every name that CodedFieldValueName can give for the field: that of each
// value, of an empty field and of a number outside the list.
QStringList CodedFieldNames(int id, const ib::KalvorDocData& doc);
// A work schedule in words: "5-дневная неделя, день 8 ч" or
// "сменный: 2 раб. / 2 вых., день 12 ч". Without days of the week it is
// Monday to Friday and without a day length the firm's day of
// defaultDayMinutes, as the calculation takes it; "не задан" when neither
// gives a day length.
QString ScheduleDescription(const ib::WorkSchedule& schedule, int defaultDayMinutes);

// What the calculation needs and a card lacks ("дата рождения"), joined by
// ", "; empty when nothing is missing. The sex is needed only for months
// before 2005, so its absence is not said here.
QString MissingCalculationData(const ib::EmployeeHead& head);

// ------------------------------------------------------------------ main data

// The short name kept beside the card: "%s %c. %c." of surname, first name and
// patronymic (of two words "%s %c.", of one the word, of none empty); further
// words are ignored.
QString ShortNameOfFullName(const QString& fio);

// The main-data page's values as typed: sixteen texts by control, the six
// dates as packed dates, the four invalidity months as month keys and the six
// cost codes as texts (code 0 main, 1-5 the extra ones).
struct MainDataFields {
    QString fio, status, schedule, profession, shop, brigade, category, taxTable, paySystem, unionTable;
    QString salary, rate, timeTariff, advance, pieceTariff, allowance;
    u16 datR = 0, datSevStag = 0, datPr1 = 0, datPr2 = 0, datUv1 = 0, datUv2 = 0;
    u16 invDat1Begin = 0, invDat1End = 0, invDat2Begin = 0, invDat2End = 0;
    std::array<QString, 6> costCodes;
};

// Where the page writes into one employee.
struct MainDataTarget {
    ib::EmployeeHead& head;
    ib::EmployeeAttributes& attr;
    ib::u8& shop;
    QString& shortName;
};
// Where the page reads one employee's values from.
struct MainDataSource {
    const ib::EmployeeHead& head;
    const ib::EmployeeAttributes& attr;
    int shop;
};

// Where a field of the main-data page is typed (MainDataFields) and where
// the employee keeps it; one of these per field.
namespace kept {
// The full name, kept whole; the short name follows it.
struct Name {
    QString MainDataFields::*typed;
};
// A whole number, read and written by functions: the attributes keep theirs
// in bit fields, the shop beside the card.
struct Number {
    QString MainDataFields::*typed;
    int (*read)(const MainDataSource&);
    void (*write)(const MainDataTarget&, int);
};
// Money or the rate, kept in units of its last place (kopecks, hundredths).
struct Units {
    QString MainDataFields::*typed;
    double ib::EmployeeHead::*field;
};
// A tariff, kept as roubles and thousandths.
struct Tariff {
    QString MainDataFields::*typed;
    ib::Tariff3 ib::EmployeeHead::*field;
};
// A date (a packed date) or a month (a month key), picked rather than typed.
struct Date {
    u16 MainDataFields::*picked;
    u16 ib::EmployeeHead::*field;
    bool monthOnly;
};
// A cost code of twelve digits: code 0 the main one, 1-5 the extra ones.
struct CostCode {
    std::size_t code;
};
} // namespace kept
using MainDataPlace = std::variant<kept::Name, kept::Number, kept::Units, kept::Tariff, kept::Date, kept::CostCode>;

// The column of a field that takes a line of both columns.
inline constexpr int kCardWholeLine = -1;

// A field of the main-data page: its control, its label (which names it in
// the messages too, without the mark "*" of a date the calculation needs),
// its column (0 left, 1 right, kCardWholeLine), its input's rule (none for a
// picked date), where it is typed and kept, and the heading of the group
// of fields it begins, if any.
struct MainDataField {
    int id;
    const char* label;
    int column;
    FigureRule rule;
    MainDataPlace place;
    const char* heading = nullptr;
};
// The page's fields in its order, which is also the order of its controls,
// of the tab key and of the check.
extern const std::span<const MainDataField> kMainDataFields;
// The text typed into the field; null for a picked date.
const QString* TypedText(const MainDataFields& fields, const MainDataField& field);
QString* TypedText(MainDataFields& fields, const MainDataField& field);

// The page's values of an employee (all zero for slot 0).
MainDataFields MainDataOf(const ib::EmployeeHead& head, const ib::EmployeeAttributes& attr, int shop);

// The first field of the page, in the page's order, whose value its rule
// refuses (a number out of its range or, for the shop and the profession, not
// in its book, refused as their inputs refuse it; an amount, tariff or code
// that does not read in full; a name too long): its control and the refusal;
// 0 and an empty text when every value is taken.
int CheckMainData(const MainDataFields& fields, const CardBooks& books, QString* refusal);

// The planned advance's field: an advance larger than what the card as typed
// can earn in the month is asked about when the field is left.
inline constexpr int kPlannedAdvanceField = 1025;
// The question asked before the typed planned advance is taken: one larger
// than what the card's values as typed (salary, allowance, tariffs, payment
// system, schedule; a text that does not read counts 0) can earn in the
// reporting month (MonthEarningsOf); empty when it is not larger or does not
// read.
QString PlannedAdvanceQuestion(const ib::KalvorDocData& doc, const MainDataFields& fields);

// Stores the values that differ from the employee's (the whole page), or with
// filledOnly only the values that are filled (not empty, not 0): the group's
// append. A changed name rebuilds the short name; in a group only the short
// name follows the name. Each value is read by its input's rule; a text the
// rule refuses keeps the stored value (CheckMainData names it before
// anything is stored). True when anything changed.
bool StoreMainData(const MainDataFields& fields, MainDataTarget target, bool filledOnly);

// ------------------------------------------------------------------ property deduction

// The largest amount of the deduction's 29-bit fields, in kopecks.
inline constexpr u32 kMaxDeductionKopecks = (1u << 29) - 1;

// The total typed into its field, read by the field's rule (CardFieldRule:
// money from 0 to what 29 bits of kopecks hold; empty is 0): the kopecks, or
// the refusal of a text the rule refuses (0 kopecks then).
QString ReadDeductionTotal(const QString& text, u32* kopecks);
// The total, balance and year amount take the amount (their top three bits
// kept). A start date is set to today when there is none and the amount is
// not 0; an amount of 0 clears it.
void SetDeductionAmount(ib::EmployeeHead& head, u32 kopecks, const QDate& today);
// "%.2f" roubles of the total; empty for 0.
QString DeductionTotalText(const ib::EmployeeHead& head);
// "%.2f" of the balance; "Исчерпан" when it is 0 and the further amount is
// not; else empty.
QString DeductionBalanceText(const ib::EmployeeHead& head);
// Whether the deduction is given in the reporting year: empty without a
// deduction or without an amount for the year; "По уведомлению на <year> год" when
// the notice (or, without one, the start date) is of that year; else "Не
// предоставляется: нет уведомления на <year> год" (the balance is kept for
// the year's notice).
QString DeductionYearText(const ib::EmployeeHead& head, int reportingYear);
// The 29-bit amount of a field.
inline u32 Amount29(u32 field) { return field & kMaxDeductionKopecks; }

// ------------------------------------------------------------------ service length

// The years, months and days of service from the start (a packed date, its
// year read against the reference date's year) to the reference date; all
// zero (shown empty) without a start or when it is not before the reference.
struct ServiceLength {
    bool shown = false;
    int years = 0, months = 0, days = 0;
};
ServiceLength ServiceLengthOf(u16 start, const QDate& reference);

// ------------------------------------------------------------------ passport number

// The passport number: held whole in memory (the base keeps it in two
// columns, the first six characters and the rest, and joins them on loading).
QString PassportNumberText(const ib::EmployeeHead& head);
bool StorePassportNumber(const QString& text, ib::EmployeeHead& head);

// ------------------------------------------------------------------ create and delete

// Makes a new card with personnel number tabN: the base's AddEmployeeToBase
// (the slot, or a negative refusal already shown).
int CreateEmployeeCard(ib::CInfoBase& base, int tabN);

// Deletes the card of the list entry at listIndex: the base's
// RemoveEmployeeFromBase of his personnel number.
void DeleteEmployeeCard(ib::CInfoBase& base, int listIndex);

} // namespace kalvor::masterdata
