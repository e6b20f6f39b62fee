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

class COtpuskVvodDlg : public CLineBufferDlg<kalvor::infobase::VacationNote, kalvor::entries::kVacationNotesShown,
                                             kalvor::entries::VacationNoteForm> {
    Q_OBJECT
public:
    static constexpr int IDD = 366;
    enum {
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
        IdPeriodGrid = 1240,
        IdAccrualGrid = 1242,
        IdAmountGrid = 1243,
    };

    COtpuskVvodDlg(CCommonFormView* view, RateCorrectionRunner rateCorrection);

    // Slot 0 shows an empty note. Another takes the employee's notes, writes
    // him alone into the swap work file and computes note 1 without messages.
    void LoadRecord(quint32 slot) override;
    void BeginGroup() override;

    NullableDateEdit* StartPicker() const { return m_start; }
    int CurrentNote() const { return m_lines.current; }
    const std::array<kalvor::infobase::VacationNote, kalvor::entries::kVacationNotesShown>& Notes() const
    {
        return m_lines.lines;
    }

protected:
    void ReadLine() override;
    kalvor::entries::VacationNoteForm FormTexts() const override;
    // Computes the current note; a failure is said only with messages.
    void ComputeLine(bool messages) override;

private:
    void BuildForm();
    void ShowNote(const kalvor::infobase::VacationNote& note);
    void ShowGrids(const kalvor::entries::VacationGrids& grids);
    // The employee's personnel number (0 without one).
    int ShownPersonnelNumber() const;

    NullableDateEdit* m_start = nullptr;
    QCheckBox* m_noteOnly = nullptr;
    QCheckBox* m_payEarly = nullptr;
};
