// 32889 "Экспорт проводок в бухгалтерские программы" (form 431): writes the
// month's postings for the chosen accounting program and shows them through
// the print command. Its buttons also open the settings of the export and
// the chart of accounts and transition tables for 1C.
#pragma once

#include "exchange/ui/CExchangeTaskView.h"
#include "print/ui/CPrnEditPrompt.h"

class CEFuncProvodExportView : public CExchangeTaskView {
    Q_OBJECT
public:
    enum {
        FormId = 431,
        CommandId = 32889,
        IdExportButton = 1040,
        IdSettingsButton = 1041,
        IdChartButton = 1042,
        IdTransitionButton = 1043,
        IdProgramField = 1437,
    };

    explicit CEFuncProvodExportView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CEFuncProvodExportView() override;

    // Field 1437: the accounting programs; the strip's fields as usual.
    void ShowFormHelp() override;

    // The program code the last start read.
    int Program() const { return m_program; }
    // The print command's confirmation; tests put a recorder in its place.
    void SetPrintPrompt(kalvor::print::PrintCommandPrompt* prompt) { m_printPrompt = prompt; }

    void OnSettings();
    void OnChartOfAccounts();
    void OnTransitionTables();

protected:
    bool ReadFormValues() override;
    kalvor::platform::TaskThread::Body MakeTaskBody() override;

private:
    QPushButton* AddButton(const QString& caption, int id, void (CEFuncProvodExportView::*handler)());

    int m_program = 0;
    kalvor::print::CPrnEditPrompt m_prompt;
    kalvor::print::PrintCommandPrompt* m_printPrompt = &m_prompt;
};

// The help lines of field 1437, "code|name".
QStringList AccountingProgramList();
