// The writs-of-execution dialog (dialog 354): three identical blocks of kind,
// end date, postal-fee table, size, percent check, claimant and address.
#pragma once

#include "entries/ui/CMonthFormDlg.h"

#include <array>

class NullableDateEdit;
class QCheckBox;

class CCurnuIspListDlg : public CMonthFormDlg {
    Q_OBJECT
public:
    static constexpr int IDD = 354;
    // The controls of the three blocks, first writ first.
    static constexpr std::array<int, 3> IdKind{1232, 1238, 1242};
    static constexpr std::array<int, 3> IdDataEnd{1215, 1216, 1217};
    static constexpr std::array<int, 3> IdTable{1233, 1239, 1243};
    static constexpr std::array<int, 3> IdSize{1234, 1240, 1245};
    static constexpr std::array<int, 3> IdPercent{1235, 1237, 1244};
    static constexpr std::array<int, 3> IdFio{1236, 1241, 1246};
    static constexpr std::array<int, 3> IdAdr{1007, 1008, 1009};

    explicit CCurnuIspListDlg(CCommonFormView* view);

    NullableDateEdit* DatePicker(int writ) const;
    QCheckBox* PercentBox(int writ) const;
    // The texts, checks and dates of the form.
    kalvor::entries::WritForm FormValues() const;

protected:
    QString TitleFormat() const override { return QStringLiteral("Исполнительные листы [%1]"); }
    void ShowBlock(const kalvor::infobase::EmployeeRecord& rec) override;
    bool ReadBlock(kalvor::infobase::EmployeeRecord& rec, bool filledOnly) const override;
    void CountBlock(const kalvor::infobase::EmployeeRecord& rec,
                    kalvor::infobase::EmployeeAttributes& attr) const override;
    kalvor::entries::DetailSaver Saver() const override;

private:
    void BuildBlock(int writ);
};
