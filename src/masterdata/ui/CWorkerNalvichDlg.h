// The tax deductions of one employee (dialog 361): up to ten rows of kind,
// first and last month, monthly sum and multiplicity.
#pragma once

#include "masterdata/ui/CSlotBlockDlg.h"

class CWorkerNalvichDlg : public CSlotBlockDlg<kalvor::infobase::NalvichEntry, 10> {
    Q_OBJECT
public:
    enum { IdGrid = 1244 };
    explicit CWorkerNalvichDlg(CCommonFormView* view);

    // Column 1 of a row from the code in column 0.
    void RefreshKindName(int row);
    // An empty amount shows, greyed, what the calculation takes for the
    // row's code: the book's monthly amount times the multiplicity.
    void RefreshDefaultAmount(int row);
    void LoadRecord(quint32 slot) override;

protected:
    QStringList RowTexts(const kalvor::infobase::NalvichEntry& entry) const override;
    kalvor::masterdata::RowRefusal ReadRow(const QStringList& cells,
                                           kalvor::infobase::NalvichEntry& entry) const override;
    void OnGridEndEdit(int row, int col) override;

private:
    QString DefaultAmountOf(int row) const;
};
