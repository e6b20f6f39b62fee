// The loans-and-credits dialog (dialog 355): four identical blocks of code,
// debt, "Количество месяцев", "Налог с процентов" and three repayment stages
// of months and monthly sums.
#pragma once

#include "entries/ui/CMonthFormDlg.h"

#include <array>

class QCheckBox;

class CCurnuSsudKredDlg : public CMonthFormDlg {
    Q_OBJECT
public:
    static constexpr int IDD = 355;
    // The controls of the four blocks, first loan first; the stage fields of
    // a loan follow its first one.
    static constexpr std::array<int, 4> IdCode{1276, 1246, 1256, 1266};
    static constexpr std::array<int, 4> IdDebt{1237, 1247, 1257, 1267};
    static constexpr std::array<int, 4> IdMonths{1238, 1248, 1258, 1268};
    static constexpr std::array<int, 4> IdTax{1239, 1249, 1259, 1269};
    static constexpr std::array<int, 4> IdStageMonths{1240, 1250, 1260, 1270};
    static constexpr std::array<int, 4> IdStageSums{1243, 1253, 1263, 1273};

    explicit CCurnuSsudKredDlg(CCommonFormView* view);

    QCheckBox* TaxBox(int loan) const;
    kalvor::entries::LoanForm FormValues() const;

protected:
    QString TitleFormat() const override { return QStringLiteral("Ссуды / Кредиты [%1]"); }
    void ShowBlock(const kalvor::infobase::EmployeeRecord& rec) override;
    // Reading the form always sets the modified flag (the months field
    // counts as changed on every reading), so that every save writes.
    bool ReadBlock(kalvor::infobase::EmployeeRecord& rec, bool filledOnly) const override;
    void CountBlock(const kalvor::infobase::EmployeeRecord& rec,
                    kalvor::infobase::EmployeeAttributes& attr) const override;
    kalvor::entries::DetailSaver Saver() const override;

private:
    void BuildBlock(int loan);
};
