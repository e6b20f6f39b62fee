// The permanent payments of one employee (dialog 363): up to 21 rows of pay
// kind, kind of payment, amount, base, percent, time basis, period,
// correction, day cost, shop, validity dates and separate statement.
#pragma once

#include "masterdata/ui/CSlotBlockDlg.h"

class CWorkerPostviplDlg : public CSlotBlockDlg<kalvor::infobase::PostDoplEntry, 21> {
    Q_OBJECT
public:
    enum { IdGrid = 1245 };
    explicit CWorkerPostviplDlg(CCommonFormView* view);

protected:
    QStringList RowTexts(const kalvor::infobase::PostDoplEntry& entry) const override;
    kalvor::masterdata::RowRefusal ReadRow(const QStringList& cells,
                                           kalvor::infobase::PostDoplEntry& entry) const override;
};
