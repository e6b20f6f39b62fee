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

class CBulletVvodDlg : public CLineEntryDlg {
    Q_OBJECT
public:
    static constexpr int IDD = 347;
    enum {
        IdStart = 1214,
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
        IdCompute = 1,
        IdKeepChildCare = 3,
        IdCorrectRates = 4,
        IdEarningsGrid = 1240,
        IdAverageGrid = 1241,
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
    QWidget* FirstControl() const override;
    // "Сохранение до 1.5 лет".
    void OnKeepChildCare();

    QLineEdit* Field(int id) const { return controlAs<QLineEdit>(id); }
    NullableDateEdit* Picker(int id) const;
    int CurrentSheet() const { return m_sheets.current; }
    const kalvor::infobase::SickLeaveSheet& Sheet(int i) const { return m_sheets.lines[std::size_t(i)]; }
    int LastResult() const { return m_lastResult; }
    double KeptAmount() const { return m_keptAmount; }

protected:
    void ReadLine() override;
    // Sheets without a start or an end day are dropped.
    bool StoreLines() override;
    // The index words of kind 'b' and dbo.bln.
    void SaveLineTables() override;
    int AppendFormToGroup(QStringList* refused) override;
    bool StepLine(int step) override;
    // Computes the current sheet; a failure is said only with messages.
    void ComputeLine(bool messages) override;
    void ShowTitle() override;

private:
    void BuildForm();
    void ShowSheet(const kalvor::infobase::SickLeaveSheet& sheet);
    kalvor::entries::SickLeaveSheetForm FormTexts() const;
    void ShowGrids(const kalvor::entries::SickLeaveGrids& grids);
    int ReportingYear() const;

    kalvor::entries::LineBuffer<kalvor::infobase::SickLeaveSheet, kalvor::entries::kSickLeaveSheetsShown> m_sheets;
    kalvor::entries::ComputedRows m_rows;
    double m_keptAmount = 0; // the child-care allowance of the last successful computation
    int m_lastResult = 0;
};
