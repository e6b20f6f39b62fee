#pragma once
// The two editors of the pension-fund report: the lines the program cannot
// compute. "Редактирование отчета" 416 edits the correction number, lines
// 100, 120 and 140-143 of Section 1 and Section 5; 456 edits Sections 4.3
// and 4.4 (Articles 57 and 58). Both change the document's report values on
// every save; "Сформировать отчет" saves and writes the XML file and the
// print form at once.
#include "reports/social/ReportRun.h"
#include "reports/social/ui/ReportEditDlg.h"

namespace kalvor::reports {

// What both editors share: the selection and folders the outputs are
// written for.
class OVPFEditDlgBase : public ReportEditDlg {
    Q_OBJECT
protected:
    OVPFEditDlgBase(const ReportSelection& selection, const QString& printPath, const QString& reportFolder,
                    PayrollDoc& doc, QWidget* parent);
    void WriteOutputs() override;
    std::vector<FigureRelation> Relations(const GenrValueArray& values) const override;

private:
    ReportSelection m_selection;
    QString m_printPath;
    QString m_reportFolder;
};

// 416: the correction number, Section 1 and Section 5, amounts to the
// kopeck as the report holds them. A save that changed a field recomputes
// lines 130, the sum of 141-143 and 150 in whole kopecks.
class CGenrOVPFEditDlg : public OVPFEditDlgBase {
    Q_OBJECT
public:
    CGenrOVPFEditDlg(const ReportSelection& selection, const QString& printPath, const QString& reportFolder,
                     PayrollDoc& doc, QWidget* parent = nullptr);

protected:
    void SaveValues(GenrValueArray& values) override;
};

// 456: Sections 4.3 and 4.4, with the register date of line 434 in a date
// picker.
class CGenrOVPFEditDlg2 : public OVPFEditDlgBase {
    Q_OBJECT
public:
    enum : int { IdRegisterDate = 1478 };

    CGenrOVPFEditDlg2(const ReportSelection& selection, const QString& printPath, const QString& reportFolder,
                      PayrollDoc& doc, QWidget* parent = nullptr);
};

} // namespace kalvor::reports
