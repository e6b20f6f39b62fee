#pragma once
// The two editors of the 4-FSS settlement: the figures the program cannot
// compute. "Редактирование отчета" 418 edits the debts at the start of the
// period, the payments and the first three payment orders of tables 1 and 7
// and the cases of table 2; 454 edits table 4.1. Both serve the 2010 and the
// 2011 form: they change the document's report values on every save, and
// "Сформировать отчет" saves and writes the XML file and the print form of
// the form that the period's year calls for.
#include "reports/social/ui/ReportEditDlg.h"

namespace kalvor::reports {

// What both editors share: the folders the outputs are written to.
class FssEditDlgBase : public ReportEditDlg {
    Q_OBJECT
protected:
    FssEditDlgBase(const QString& printPath, const QString& exportFolder, PayrollDoc& doc, QWidget* parent);
    void WriteOutputs() override;
    std::vector<FigureRelation> Relations(const GenrValueArray& values) const override;

private:
    QString m_printPath;
    QString m_exportFolder;
};

// 418: tables 1, 2 and 7. A save that changed a field recomputes the
// additional contributions of the last three months [256] and in all [260]
// in whole kopecks.
class CGenrRVedFSSEditDlg : public FssEditDlgBase {
    Q_OBJECT
public:
    CGenrRVedFSSEditDlg(const QString& printPath, const QString& exportFolder, PayrollDoc& doc,
                        QWidget* parent = nullptr);

protected:
    void SaveValues(GenrValueArray& values) override;
};

// 454: table 4.1.
class CGenrRVedFSSEditDlg2 : public FssEditDlgBase {
    Q_OBJECT
public:
    CGenrRVedFSSEditDlg2(const QString& printPath, const QString& exportFolder, PayrollDoc& doc,
                         QWidget* parent = nullptr);
};

} // namespace kalvor::reports
