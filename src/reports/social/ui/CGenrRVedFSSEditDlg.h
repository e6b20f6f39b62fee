#pragma once
// The two editors of the 4-FSS settlement: the figures the program cannot
// compute. "Редактирование отчета" 418 edits the debts at the start of the
// period, the payments and the first three payment orders of tables 1 and 7
// and the cases of table 2; 454 edits table 4.1. Both serve the 2010 and the
// 2011 form: they change the document's report values on every save, and
// "Сформировать отчет" saves and writes the XML file and the print form of
// the form that the period's year calls for.
#include "payroll/PayrollDocument.h"
#include "shell/ui/ControlMap.h"

#include <QDialog>
#include <QString>

#include <vector>

class QGridLayout;

namespace kalvor::reports {

// How an editor field shows and reads its report value.
enum class FssFieldFormat {
    Money, // "%.2f", read with "%lf"
    Whole, // "%d"
    Date, // a packed date in a date picker
};

struct FssEditField {
    int control;
    int index;
    FssFieldFormat format;
};

// What both editors share: the fields, loading and saving, the buttons.
class FssEditDlgBase : public QDialog, public ControlMap {
    Q_OBJECT
public:
    enum : int { IdSave = 1, IdMake = 1569, IdClose = 2 };

    int DoModal() { return exec(); }

    // The text a money field shows: "%.2f", an empty text for 0.
    static QString MoneyText(double value);
    // The number "%lf" reads from a money field: leading blanks, a sign,
    // digits and a decimal point; reading stops at anything else, so that
    // "12,50" gives 12. 0 when the text starts with no number.
    static double MoneyNumber(const QString& text);

protected:
    FssEditDlgBase(const QString& printPath, const QString& exportFolder, PayrollDoc& doc, QWidget* parent);
    // Adds the field's control to the grid at the row and column.
    void AddField(QGridLayout* grid, const FssEditField& field, int row, int column);
    // The three buttons under the fields; loads the fields.
    void Finish(QGridLayout* grid, int row);
    virtual void SaveValues();

    PayrollDoc& m_doc;

private:
    void LoadValues();
    void Save();
    void SaveAndMake();

    QString m_printPath;
    QString m_exportFolder;
    std::vector<FssEditField> m_fields;
};

// 418: tables 1, 2 and 7. Saving recomputes the additional contributions of
// the last three months [256] and in all [260].
class CGenrRVedFSSEditDlg : public FssEditDlgBase {
    Q_OBJECT
public:
    CGenrRVedFSSEditDlg(const QString& printPath, const QString& exportFolder, PayrollDoc& doc,
                        QWidget* parent = nullptr);

protected:
    void SaveValues() override;
};

// 454: table 4.1.
class CGenrRVedFSSEditDlg2 : public FssEditDlgBase {
    Q_OBJECT
public:
    CGenrRVedFSSEditDlg2(const QString& printPath, const QString& exportFolder, PayrollDoc& doc,
                         QWidget* parent = nullptr);
};

} // namespace kalvor::reports
