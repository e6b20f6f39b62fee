// The sick-leave sheet's entry dialog (dialog 347): the fields of one of the
// employee's ten sheets, "Расчет больничного", "Сохранение до 1.5 лет" and
// "Корректировка ставок", and the three grids of the benefit computed on the
// spot (the earnings of the accounting period, the average, the benefit by
// month).
#pragma once

#include "entries/SickLeaveEntry.h"
#include "entries/ui/CLineEntryView.h"

#include <QLineEdit>

class NullableDateEdit;
class QCheckBox;

class CBulletVvodDlg : public CLineBufferDlg<kalvor::infobase::SickLeaveSheet, kalvor::entries::kSickLeaveSheetsShown,
                                             kalvor::entries::SickLeaveSheetForm> {
    Q_OBJECT
public:
    static constexpr int IDD = 347;
    enum {
        IdEnd = 1215,
        IdKind = 1216,
        IdAlgorithm = 1217,
        IdBudget = 1218,
        IdFirstMonth = 1219,
        IdPercent = 1220,
        IdTime = 1221,
        IdPayEarly = 1222,
        IdContinues = 1224,
        IdFromMinimum = 1465,
        IdFirstYear = 1468,
        IdSecondYear = 1469,
        IdFrom12Months = 1470,
        IdKeepChildCare = 3,
        IdEarningsGrid = 1240,
        IdPeriodGrid = 1242,
    };

    CBulletVvodDlg(CCommonFormView* view, RateCorrectionRunner rateCorrection);

    // Slot 0 shows an empty sheet. Another takes the employee's computed rows
    // and sheets and computes sheet 1 without messages.
    void LoadRecord(quint32 slot) override;
    // A sheet whose dates the calculation refuses is not kept: the screen
    // says so and keeps the sheets as typed for the dates to be mended.
    int SaveRecord() override;
    void BeginGroup() override;
    // "Сохранение до 1.5 лет".
    void OnKeepChildCare();

    NullableDateEdit* Picker(int id) const;
    int CurrentSheet() const { return m_lines.current; }
    const kalvor::infobase::SickLeaveSheet& Sheet(int i) const { return m_lines.lines[std::size_t(i)]; }
    double KeptAmount() const { return m_keptAmount; }

protected:
    void ReadLine() override;
    kalvor::entries::SickLeaveSheetForm FormTexts() const override;
    // Computes the current sheet; a failure is said only with messages.
    void ComputeLine(bool messages) override;

private:
    void BuildForm();
    void ShowSheet(const kalvor::infobase::SickLeaveSheet& sheet);
    void ShowGrids(const kalvor::entries::SickLeaveGrids& grids);
    int ReportingYear() const;

    kalvor::entries::ComputedRows m_rows;
    double m_keptAmount = 0; // the child-care allowance of the last successful computation
};
