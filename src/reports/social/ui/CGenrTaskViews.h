#pragma once
// The task views of the report generator: each a small form with the
// selection strip (shop, brigade, profession, personnel number), its start
// button "Печать" and, for the reports that can be merged over bases, the
// button "Файл итогов" that saves the report's data file instead of printing.
// The run goes on a worker (RunGenrWorker); Esc returns to the generator's
// main panel. The pension-fund and 4-FSS views show the period they compute
// and their run's end line names it.
#include "reports/social/ReportRun.h"
#include "reports/social/ui/GenrWorker.h"
#include "shell/ui/CTaskFormView.h"

class CTypedEdit;
struct InputKind;

class CGenrTaskView : public CTaskFormView {
    Q_OBJECT
public:
    // Esc: the generator's main panel.
    void LeaveFunction() override;
    // Button 1041: asks for the data file's name in a save dialog and starts
    // the run with it; nothing when the dialog is cancelled.
    void OnDataFileButton();
    // A run that saves the report's data file under the path (1041 after its
    // dialog); an empty path prints as button 1040 does.
    void StartWithDataFile(const QString& path);

protected:
    // Which labels the strip takes: forms 414 and 419 have the plain words,
    // the others add "(по умолчанию ...)".
    enum class StripLabels { Plain, WithDefaults };
    CGenrTaskView(int formId, const QString& title, StripLabels labels, CKalvorDoc* doc, QWidget* parent);
    // The buttons and the progress place under the fields.
    void FinishForm(bool withDataFileButton);
    // The path of the file of the electronic report (control 1106).
    void AddExportPathField();

    kalvor::platform::TaskThread::Body MakeTaskBody() override;
    // The report's builder and what follows it.
    virtual kalvor::reports::GenrJob Job() const = 0;
    // The selection of the values just read; the pension-fund view adds its
    // pack and department numbers.
    virtual kalvor::reports::ReportSelection Selection() const;

    // The period fields of the pension-fund and 4-FSS views: the first month
    // (left out when the report always starts in January), the last month and
    // the year, filled with the offered period (OfferedReportPeriod).
    void AddPeriodFields(const kalvor::reports::ReportPeriodRules& rules);
    // Reads the period fields into the generator's parameters, so that the
    // run computes the period shown; false, after a message naming the field,
    // when a month or the year does not read, and after one saying why
    // (ReportPeriodRefusal) when the months run backwards, the last month
    // ends no quarter the report asks for or has not yet come; then nothing
    // is stored.
    bool ReadPeriodFields(const kalvor::reports::ReportPeriodRules& rules);

private:
    QString m_dataFilePath; // of the run being started
};

// The period fields' controls.
enum GenrPeriodControl : int { IdPeriodFirstMonth = 1110, IdPeriodLastMonth = 1111, IdPeriodYear = 1112 };

// 414: the pension-fund contributions report.
class CGenrOtchStVzPFView : public CGenrTaskView {
    Q_OBJECT
public:
    enum : int { CommandId = 32883, IdOrgPack = 1104, IdDeptCode = 1105, IdDeptPack = 1107 };
    explicit CGenrOtchStVzPFView(CKalvorDoc* doc, QWidget* parent = nullptr);
    void ShowFormHelp() override;

protected:
    bool ReadFormValues() override;
    kalvor::reports::GenrJob Job() const override;
    kalvor::reports::ReportSelection Selection() const override;

private:
    int m_orgPackNumber = 0;
    int m_deptCode = 0;
    int m_deptPackNumber = 0;
    QString m_exportPath;
};

// 419: the 4-FSS settlement, of 2010 or from 2011 by the period's year.
class CGenrRVedFSSView : public CGenrTaskView {
    Q_OBJECT
public:
    enum : int { CommandId = 32881 };
    explicit CGenrRVedFSSView(CKalvorDoc* doc, QWidget* parent = nullptr);

protected:
    bool ReadFormValues() override;
    kalvor::reports::GenrJob Job() const override;

private:
    QString m_exportPath;
};

// 417: the average headcount form.
class CGenrSSChislRabsView : public CGenrTaskView {
    Q_OBJECT
public:
    enum : int { CommandId = 32879 };
    explicit CGenrSSChislRabsView(CKalvorDoc* doc, QWidget* parent = nullptr);

protected:
    kalvor::reports::GenrJob Job() const override;
};

// 420: the occupational-injury report; the help of 1103 lists every employee.
class CGenrProfTravmOtchFSSView : public CGenrTaskView {
    Q_OBJECT
public:
    enum : int { CommandId = 32877 };
    explicit CGenrProfTravmOtchFSSView(CKalvorDoc* doc, QWidget* parent = nullptr);
    void ShowFormHelp() override;

protected:
    kalvor::reports::GenrJob Job() const override;
};

// 421: the individual social-tax cards.
class CGenrIndKartSochNalView : public CGenrTaskView {
    Q_OBJECT
public:
    enum : int { CommandId = 32875 };
    explicit CGenrIndKartSochNalView(CKalvorDoc* doc, QWidget* parent = nullptr);

protected:
    kalvor::reports::GenrJob Job() const override;
};

// 452: the earnings certificate of two calendar years. A line under the
// strip says which three years it prints (from the generator's report year),
// and that it will not print when one of them lies after the base's year.
class CGenrSpravZarp2GodaView : public CGenrTaskView {
    Q_OBJECT
public:
    enum : int { CommandId = 32885, IdYearsText = IdComputedPeriod };
    explicit CGenrSpravZarp2GodaView(CKalvorDoc* doc, QWidget* parent = nullptr);

protected:
    kalvor::reports::GenrJob Job() const override;
};

class CommandRegistry;
// The generator's commands on its main panel and in the menu "Главные
// панели/Генератор налоговых отчетов".
void RegisterReportGeneratorScreens(CommandRegistry& registry);
