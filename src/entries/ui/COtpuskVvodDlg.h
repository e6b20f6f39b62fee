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
    // Reads the form, splices the non-empty notes into the vacation array and,
    // when a field changed, saves the index words and dbo.otp. 0 keeps the
    // employee: his notes no longer fit, or the base refused them (shown).
    int SaveRecord() override;
    void BeginGroup() override;
    int GroupAppend() override;
    void OnOK() override;
    void NextLine() override;
    void PrevLine() override;
    QWidget* FirstControl() const override;

    // Computes the current note; a failure is said only with messages.
    void ComputeNote(bool messages);

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

private:
    void BuildForm();
    void ShowNote(const kalvor::infobase::VacationNote& note);
    kalvor::entries::VacationNoteForm FormTexts() const;
    // Reads the form into the current note; the modified flag is set when a
    // value changed.
    void ReadNote();
    void ShowTitle();
    void ShowGrids(const kalvor::entries::VacationGrids& grids);
    // The employee's personnel number (0 without one).
    int ShownPersonnelNumber() const;

    NullableDateEdit* m_start = nullptr;
    QCheckBox* m_noteOnly = nullptr;
    QCheckBox* m_payEarly = nullptr;
    kalvor::entries::LineBuffer<kalvor::infobase::VacationNote, kalvor::entries::kVacationNotesShown> m_notes;
    int m_lastResult = 0;
};
