// The vacation note's entry dialog (dialog 366): the fields of one of the
// employee's five notes, "Расчет отпуска" and "Корректировка ставок", and the
// four grids of the note computed on the spot (the accounting period, the
// averages, the accruals and deductions, the amount to pay).
#pragma once

#include "entries/VacationEntry.h"
#include "entries/ui/CLineEntryView.h"

#include <QLineEdit>

#include <array>

class NullableDateEdit;
class QCheckBox;
class QPushButton;

class COtpuskVvodDlg : public CLineEntryDlg {
    Q_OBJECT
public:
    static constexpr int IDD = 366;
    enum {
        IdStart = 1214,
        IdLength = 1223,
        IdKind = 1247,
        IdAlgorithm = 1248,
        IdDayBasis = 1249,
        IdBudget = 1218,
        IdNoteOnly = 1224,
        IdMonth = 1228,
        IdFund = 1226,
        IdPeriodDays = 1227,
        IdPayEarly = 1250,
        IdCompute = 1,
        IdCorrectRates = 4,
        IdPeriodGrid = 1240,
        IdAverageGrid = 1241,
        IdAccrualGrid = 1242,
        IdAmountGrid = 1243,
    };

    COtpuskVvodDlg(CCommonFormView* view, RateCorrectionRunner rateCorrection);

    // Slot 0 shows an empty note. Another takes the employee's notes, writes
    // him alone into the swap work file and computes note 1 without messages.
    void LoadRecord(quint32 slot) override;
    void BeginGroup() override;
    QWidget* FirstControl() const override;

    QLineEdit* Field(int id) const { return controlAs<QLineEdit>(id); }
    NullableDateEdit* StartPicker() const { return m_start; }
    int CurrentNote() const { return m_notes.current; }
    int NotesShown() const { return m_notes.shown; }
    const std::array<kalvor::infobase::VacationNote, kalvor::entries::kVacationNotesShown>& Notes() const
    {
        return m_notes.lines;
    }
    // The engine's result of the last computation (a row count or -k).
    int LastResult() const { return m_lastResult; }

protected:
    void ReadLine() override;
    // Notes without length and start date are dropped.
    bool StoreLines() override;
    // The index words of kind 'o' and dbo.otp.
    void SaveLineTables() override;
    int AppendFormToGroup(QStringList* refused) override;
    bool StepLine(int step) override;
    // Computes the current note; a failure is said only with messages.
    void ComputeLine(bool messages) override;
    void ShowTitle() override;

private:
    void BuildForm();
    void ShowNote(const kalvor::infobase::VacationNote& note);
    kalvor::entries::VacationNoteForm FormTexts() const;
    void ShowGrids(const kalvor::entries::VacationGrids& grids);
    // The employee's personnel number (0 without one).
    int ShownPersonnelNumber() const;

    NullableDateEdit* m_start = nullptr;
    QCheckBox* m_noteOnly = nullptr;
    QCheckBox* m_payEarly = nullptr;
    kalvor::entries::LineBuffer<kalvor::infobase::VacationNote, kalvor::entries::kVacationNotesShown> m_notes;
    int m_lastResult = 0;
};
