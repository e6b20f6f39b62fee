#pragma once
// The screens of the income-tax register: the choice dialog of a register
// run (500 edit, 501 make the register, cancel) and the editor of what the
// program cannot compute (dialog 464 "Редактирование данных"): the income
// from the previous employer and, for each month and the period, the tax
// transferred to the tax office with the transfer's date and payment order.
#include "payroll/PayrollDocument.h"
#include "platform/TaskThread.h"
#include "reports/social/ReportRun.h"
#include "shell/ui/ControlMap.h"

#include <QDialog>

#include <array>

namespace kalvor::reports {

// The choice dialog of the register, shown once per run.
class CRepEdit3Dlg : public QDialog, public ControlMap {
    Q_OBJECT
public:
    enum : int { ChoiceEdit = 500, ChoiceMake = 501 };
    explicit CRepEdit3Dlg(QWidget* parent = nullptr);
    // 500, 501 or IDCANCEL.
    int DoModal() { return exec(); }

public slots:
    void reject() override;
};

class CGenrNalRegEditDlg : public QDialog, public ControlMap {
    Q_OBJECT
public:
    enum : int {
        IdPreviousEmployer = 1001,
        IdMake = 1, // "Сформировать отчет"
        IdClose = 2,
    };
    // Controls of the thirteen lines, January..December and "Итого" (which has no date).
    static constexpr std::array<int, 13> kAmountIds{1005, 1009, 1013, 1017, 1021, 1031, 1030,
                                                    1022, 1023, 1027, 1033, 1035, 1037};
    static constexpr std::array<int, 12> kDateIds{1478, 1479, 1480, 1481, 1482, 1483,
                                                  1484, 1485, 1486, 1487, 1488, 1489};
    static constexpr std::array<int, 13> kOrderIds{1006, 1010, 1014, 1018, 1029, 1032, 1024,
                                                   1025, 1026, 1028, 1034, 1036, 1038};

    // The register run's parameters, with which "Сформировать отчет" makes it.
    CGenrNalRegEditDlg(const ReportSelection& selection, int markedCount, const QString& outputPath, PayrollDoc& doc,
                       QWidget* parent = nullptr);
    int DoModal() { return exec(); }
    // What the last "Сформировать отчет" said (the line naming the register's
    // file), empty when the register was not made.
    const platform::TaskOutcome& Made() const { return m_made; }

    // Stores the fields into the register area; an amount or a payment
    // order's number that does not read (ReadFigure) is refused naming its
    // line, and then nothing is stored and the result is false.
    bool StoreValues();

private:
    void LoadValues();
    void MakeRegister();

    ReportSelection m_selection;
    int m_markedCount;
    QString m_outputPath;
    PayrollDoc& m_doc;
    platform::TaskOutcome m_made;
};

// The register run after the builder's walk: the choice dialog once; 500
// opens the editor, 501 calculates and prints the register. Runs on the
// worker thread; the dialogs are shown on the user-interface thread. Returns
// the line naming the register's file when it was made.
platform::TaskOutcome RunNalRegReport(const QString& outputPath, const ReportSelection& selection, int markedCount,
                                      PayrollDoc& doc, std::stop_token stop);

// Calculates and prints the register, showing a failure in a message box;
// the line naming the register's document when it was written.
platform::TaskOutcome MakeNalRegistr(std::stop_token stop, const ReportSelection& selection, int markedCount,
                                     const QString& outputPath, PayrollDoc& doc);

} // namespace kalvor::reports
