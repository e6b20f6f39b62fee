#pragma once
// What the report editors share: a grid of fields, each tied to one of the
// document's report values, loaded when the editor opens and written back on
// "Сохранить"; "Сформировать отчет" saves and then writes the report's
// outputs, which each report names for itself.
#include "payroll/PayrollDocument.h"
#include "shell/ui/ControlMap.h"

#include <QDialog>
#include <QString>

#include <vector>

class QGridLayout;

namespace kalvor::reports {

// How an editor field shows and reads its report value.
enum class EditFieldFormat {
    Whole, // "%d"
    Money, // "%.2f", read with "%lf"
    Date, // a packed date in a date picker
};

// A field of an editor: its control, report value and format.
struct ReportEditField {
    int control;
    int index;
    EditFieldFormat format = EditFieldFormat::Whole;
};

class ReportEditDlg : public QDialog, public ControlMap {
    Q_OBJECT
public:
    enum : int { IdSave = 1, IdMake = 1569, IdClose = 2 };

    int DoModal() { return exec(); }

    // The text a whole field shows for a value: its whole part truncated
    // towards zero, an empty text for 0.
    static QString FieldText(double value);
    // The number "%d" reads from a field's text: leading blanks, a sign and
    // digits; 0 when the text starts with no number.
    static int FieldNumber(const QString& text);
    // The text a money field shows: "%.2f", an empty text for 0.
    static QString MoneyText(double value);
    // The number "%lf" reads from a money field: leading blanks, a sign,
    // digits and a decimal point; reading stops at anything else, so that
    // "12,50" gives 12. 0 when the text starts with no number.
    static double MoneyNumber(const QString& text);

protected:
    ReportEditDlg(PayrollDoc& doc, QWidget* parent);
    // Adds the field's control to the grid at the row and column.
    void AddField(QGridLayout* grid, const ReportEditField& field, int row, int column);
    // The three buttons under the fields; loads the fields.
    void Finish(QGridLayout* grid, int row);
    virtual void LoadValues();
    virtual void SaveValues();
    // Writes the report's XML file and print form from the saved values.
    virtual void WriteOutputs() = 0;

    PayrollDoc& m_doc;

private:
    void Save();
    void SaveAndMake();

    std::vector<ReportEditField> m_fields;
};

} // namespace kalvor::reports
