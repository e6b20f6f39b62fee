#pragma once
// The two editors of the pension-fund report: the lines the program cannot
// compute. "Редактирование отчета" 416 edits the correction number, lines
// 100, 120 and 140-143 of Section 1 and Section 5; 456 edits Sections 4.3
// and 4.4 (Articles 57 and 58). Both change the document's report values on
// every save; "Сформировать отчет" saves and writes the XML file and the
// print form at once.
#include "payroll/PayrollDocument.h"
#include "reports/social/ReportRun.h"
#include "shell/ui/ControlMap.h"

#include <QDialog>
#include <QString>

#include <vector>

class QGridLayout;

namespace kalvor::reports {

// A number field of an editor: its control and report value.
struct OVPFEditField {
    int control;
    int index;
};

// What both editors share: loading with "%d", saving with "%d", the buttons.
class OVPFEditDlgBase : public QDialog, public ControlMap {
    Q_OBJECT
public:
    enum : int { IdSave = 1, IdMake = 1569, IdClose = 2 };

    int DoModal() { return exec(); }

    // The text a field shows for a value: its whole part truncated towards
    // zero, an empty text for 0.
    static QString FieldText(double value);
    // The number "%d" reads from a field's text: leading blanks, a sign and
    // digits; 0 when the text starts with no number.
    static int FieldNumber(const QString& text);

protected:
    OVPFEditDlgBase(const ReportSelection& selection, const QString& printPath, const QString& reportFolder,
                    PayrollDoc& doc, QWidget* parent);
    // Adds the number field to the grid at the row and column.
    void AddField(QGridLayout* grid, const OVPFEditField& field, int row, int column);
    // The three buttons under the fields; loads the fields.
    void Finish(QGridLayout* grid, int row);
    virtual void LoadValues();
    virtual void SaveValues();

    PayrollDoc& m_doc;

private:
    void Save();
    void SaveAndMake();

    ReportSelection m_selection;
    QString m_printPath;
    QString m_reportFolder;
    std::vector<OVPFEditField> m_fields;
};

// 416: the correction number, Section 1 and Section 5. Saving recomputes
// lines 130, the sum of 141-143 and 150.
class CGenrOVPFEditDlg : public OVPFEditDlgBase {
    Q_OBJECT
public:
    CGenrOVPFEditDlg(const ReportSelection& selection, const QString& printPath, const QString& reportFolder,
                     PayrollDoc& doc, QWidget* parent = nullptr);

protected:
    void SaveValues() override;
};

// 456: Sections 4.3 and 4.4, with the register date of line 434 in a date
// picker.
class CGenrOVPFEditDlg2 : public OVPFEditDlgBase {
    Q_OBJECT
public:
    enum : int { IdRegisterDate = 1478 };

    CGenrOVPFEditDlg2(const ReportSelection& selection, const QString& printPath, const QString& reportFolder,
                      PayrollDoc& doc, QWidget* parent = nullptr);

protected:
    void LoadValues() override;
    void SaveValues() override;
};

} // namespace kalvor::reports
