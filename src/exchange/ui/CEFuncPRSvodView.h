// 1404 "Формирование свода" (form 429): the summary in an arbitrary
// breakdown. Seventeen level rows that the up and down buttons reorder, the
// period, two options, "Печать" for the text report and "Файл итогов" for a
// totals file that the merge combines later.
#pragma once

#include "exchange/SummaryWorkers.h"
#include "exchange/ui/CExchangeTaskView.h"
#include "print/ui/CPrnEditPrompt.h"

#include <vector>

class QGridLayout;
class QLabel;
class QLineEdit;

class CEFuncPRSvodView : public CExchangeTaskView {
    Q_OBJECT
public:
    enum {
        FormId = 429,
        CommandId = 1404,
        IdFirstMonth = 1406,
        IdFirstYear = 1407,
        IdLastMonth = 1408,
        IdLastYear = 1409,
        IdEmployeeLevelField = 1413,
        IdMonthField = 1414,
        IdMonthYearField = 1415,
        IdMonthDot = 1434,
        IdPayKindField = 1263,
        IdHireDateOption = 1264,
        IdDaysAndHoursOption = 1265,
        IdUpButton = 1416,
        IdDownButton = 1417,
    };

    explicit CEFuncPRSvodView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CEFuncPRSvodView() override;

    void ShowFormHelp() override;
    // 1413: the marked employees alone; 1263: the marked pay kinds alone;
    // either starts the text report at once.
    void TakeHelpValues(const QStringList& values) override;

    // Button 1040 and Enter: the text report.
    void OnStartButton() override;
    // The start of a run: the text report for an empty path, else the
    // totals file of that path.
    void StartSummary(const QString& path);

    // Buttons 1416 and 1417: the row of the focused value field moves one
    // place up or down; the field gets the focus back.
    void MoveFocusedRow(int step);
    // The level number at each position of the form, top to bottom.
    std::array<std::uint8_t, kalvor::exchange::kSummaryLevelCount> LevelOrder() const;
    // What the last start handed the worker.
    const kalvor::exchange::PRSvodParams& LastParams() const { return m_params; }

protected:
    bool ReadFormValues() override;
    kalvor::platform::TaskThread::Body MakeTaskBody() override;
    // The save dialog of "Файл итогов"; empty when cancelled.
    virtual QString ChooseTotalsFile();

private:
    struct LevelRow {
        int level;
        QLabel* label;
        QLineEdit* value;
        QLabel* dot; // the month row only
        QLineEdit* year; // the month row only
    };
    void BuildLevelRows();
    // Each level's condition that is a number reads whole by the level's
    // rule (the strip's levels: a number their book holds); the first that
    // does not is refused naming the level, and false returned.
    bool ReadConditions();
    // The filter number of a level's condition; 0 for none, "*" or a text
    // ReadConditions refuses.
    int ConditionValue(int level) const;
    QWidget* BuildPeriodRow();
    void PlaceRow(std::size_t position);
    void OnTotalsFileButton();
    int FocusedRow() const;
    void ShowPayKindList();
    void MarkChosenPayKinds(const QStringList& codes);

    std::vector<LevelRow> m_rows;
    QGridLayout* m_rowsLayout = nullptr;
    QString m_path; // the totals file of this start; empty for the report
    int m_markedPayKindsOnly = 0;
    kalvor::exchange::PRSvodParams m_params;
    kalvor::print::CPrnEditPrompt m_prompt;
};
