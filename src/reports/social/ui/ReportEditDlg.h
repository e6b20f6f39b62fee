#pragma once
// What the report editors share: a grid of fields, each tied to one of the
// document's report values, loaded when the editor opens and written back on
// "Сохранить"; "Сформировать отчет" saves and then writes the report's
// outputs, which each report names for itself. A field whose text does not
// read is refused aloud and nothing is saved; so are figures that break a
// relation of the report's lines (FigureRelations.h). A field shows its value
// as the report holds it, and a field left as it was shown keeps its value as
// it is, so that a save with nothing typed changes no value at all.
#include "payroll/PayrollDocument.h"
#include "reports/social/FigureRelations.h"
#include "shell/ui/ControlMap.h"
#include "values/TypedFigure.h"

#include <QDialog>
#include <QString>

#include <initializer_list>
#include <optional>
#include <vector>

class QGridLayout;

namespace kalvor::reports {

// How an editor field shows and reads its report value.
enum class EditFieldFormat {
    Whole, // a whole number: shown "%d", typed as an integer only
    Money, // roubles: shown "%.2f", typed to the kopeck
    Date, // a packed date in a date picker
};

// The most a whole field of a form's boxes or cells takes (INT_MAX: any
// number an int holds).
inline constexpr int kAnyWhole = 2147483647;
// A headcount fills six boxes of the forms, a correction's number three.
inline constexpr int kMostHeadcount = 999999;
inline constexpr int kMostCorrectionNumber = 999;

// A field of an editor: its control, report value and format, and what it
// is: a field that is never below 0 (a headcount, a number of a record, an
// order or a correction, a count of cases, an income, an amount accrued, paid
// or owed) takes from 0 to the most its form prints; a balance, an amount of
// either sign.
struct ReportEditField {
    int control;
    int index;
    EditFieldFormat format = EditFieldFormat::Whole;
    bool fromZero = false;
    int most = kAnyWhole;
};
// A count or a number that the form prints in `most`'s digits at most, and an
// income (roubles, from 0).
constexpr ReportEditField CountField(int control, int index, int most) { return {control, index, EditFieldFormat::Whole, true, most}; }
constexpr ReportEditField IncomeField(int control, int index, EditFieldFormat format = EditFieldFormat::Whole)
{
    return {control, index, format, true};
}
// An amount accrued, paid or owed, to the kopeck: never below 0.
constexpr ReportEditField AmountField(int control, int index) { return {control, index, EditFieldFormat::Money, true}; }
// A balance to the kopeck: a debt when above 0, an overpayment when below.
constexpr ReportEditField BalanceField(int control, int index) { return {control, index, EditFieldFormat::Money}; }

class ReportEditDlg : public QDialog, public ControlMap {
    Q_OBJECT
public:
    enum : int { IdSave = 1, IdMake = 1569, IdClose = 2 };

    int DoModal() { return exec(); }
    // "Закрыть", Esc and the window's X: over fields changed since they were
    // loaded or saved, asks whether to give the changes up; "Нет" keeps the
    // editor open with what was typed.
    void reject() override;

    // The text a whole field shows for a value: "%d", an empty text for 0.
    // A value that is no whole number (or beyond int) shows as it is, to the
    // kopeck, and is refused if the field is typed into and left so.
    static QString FieldText(double value);
    // The text a money field shows: "%.2f", an empty text for 0.
    static QString MoneyText(double value);
    // The roubles typed into a money field, read by the field's rule (money,
    // values/TypedFigure.h): a point or a comma before at most two places of
    // kopecks, "12,50" is 12.50; an empty text is 0. A text that does not
    // read in full ("-40.75x", "сто"), a third decimal ("0,285") or an amount
    // beyond kMaxMoneyRoubles is no number.
    static std::optional<double> MoneyNumber(const QString& text);

protected:
    ReportEditDlg(PayrollDoc& doc, QWidget* parent);
    // Adds the field's control to the grid at the row and column.
    void AddField(QGridLayout* grid, const ReportEditField& field, int row, int column);
    // The three buttons under the fields; loads the fields and notes what
    // each shows.
    void Finish(QGridLayout* grid, int row);
    virtual void LoadValues();
    // Writes every field changed since loading into its value of `values`
    // (the report values as the save would leave them); the fields have been
    // read (FieldsRead) before. A field as it was shown keeps its value.
    virtual void SaveValues(GenrValueArray& values);
    // The relations of the report's lines over the values as a save would
    // leave them; the editor holds to those whose focus is one of its fields.
    virtual std::vector<FigureRelation> Relations(const GenrValueArray& values) const = 0;
    // Writes the report's XML file and print form from the saved values.
    virtual void WriteOutputs() = 0;
    // True when a field has been changed since the values were loaded.
    bool AnyFieldChanged() const;
    // The sum of amounts in roubles worked in whole kopecks, as the reports
    // work their totals; a zero sum is +0.
    static double SumByKopecks(std::initializer_list<double> roubles);

    PayrollDoc& m_doc;

private:
    // A field with the place of its control in the grid.
    struct PlacedField {
        ReportEditField field;
        int row;
        int column;
        QString shown; // the text (a date: its packed value) as loaded
    };
    // The field's text, a date field's packed value as text.
    QString FieldState(const ReportEditField& field) const;
    bool FieldChanged(const PlacedField& placed) const { return FieldState(placed.field) != placed.shown; }
    // A money field, or a whole field that was shown holding kopecks (a merged
    // or computed value): both read to the kopeck.
    static bool HoldsKopecks(const PlacedField& placed)
    {
        return placed.field.format == EditFieldFormat::Money || placed.shown.contains(QLatin1Char('.'));
    }
    // True when every field reads by its kind; else says which does not (named
    // by its line's label), selects its text and is false, and nothing is
    // saved: every report value keeps its value.
    bool FieldsRead();
    // True when the values hold every relation of the editor's own fields;
    // else says the first broken one, naming both its lines, selects the
    // field of its focus and is false.
    bool FiguresAgree(const GenrValueArray& values);
    // The label of the field's line (of the line above for a continuation),
    // with its column when the line holds several fields.
    QString FieldName(const PlacedField& placed) const;
    // Each whole and money field named and given its rule once the form is
    // laid out: read when it is left, a refusal said at once.
    void KindFieldsByTheirValues();
    // What the field reads by: a whole number or, holding kopecks, money,
    // within the field's range.
    static FigureRule FieldRule(const ReportEditField& field, bool kopecks);
    bool Save();
    void SaveAndMake();

    QGridLayout* m_grid = nullptr;
    std::vector<PlacedField> m_fields;
};

} // namespace kalvor::reports
