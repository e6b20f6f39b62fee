// The three dBASE table views of the additional functions: constant
// information (1441, form 436), accrued pay (1442, form 437) and archive data
// (1443, form 436). Each has the strip of shop, brigade and personnel number,
// the choice of the operation (write to a file, read into the base) and the
// button "Выполнить", which asks for the file and runs the view's worker.
#pragma once

#include "exchange/DbfWorkers.h"
#include "exchange/ui/CExchangeTaskView.h"

#include <array>

class QRadioButton;

// Control numbers of the dBASE forms.
enum DbfFormControl : int {
    IdDbfWrite = 1445, // radio "write to the file"
    IdDbfRead = 1446, // radio "read into the base"
};

class CEFuncDbfView : public CExchangeTaskView {
    Q_OBJECT
public:
    using ThreadProc = kalvor::platform::TaskOutcome (*)(kalvor::platform::TaskContext&,
                                                         const kalvor::exchange::DbfTaskParams&, kalvor::PayrollDoc&,
                                                         const kalvor::exchange::ExchangeMessenger&,
                                                         const kalvor::exchange::DbfProgress&);

    CEFuncDbfView(int formId, const QString& title, ThreadProc worker, CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CEFuncDbfView() override;

    // F1: on 1103 the employees of the strip's shop and brigade, several of
    // which can be marked; the shop list and the brigade hint as the frame has them.
    void ShowFormHelp() override;
    // Button 1040, Enter and the marked employees of the help: OnDbfRun.
    void OnStartButton() override;
    // Reads the form, asks for the file (an existing one to read, a name to
    // write to, "dbf" added when typed without) and starts the worker on it.
    void OnDbfRun();
    // Starts the worker on the file with the values read last.
    void StartDbfTask(const QString& path);

    int Operation() const;

protected:
    // The file dialog, in the working folder; empty when cancelled.
    virtual QString ChooseDbfFile(bool forRead);
    kalvor::platform::TaskThread::Body MakeTaskBody() override;
    void OnWorkerDone(int result, int detail, const QString& failure) override;
    void OnWorkerProgress(int position, int count) override;

private:
    ThreadProc m_threadProc;
    QString m_path;
    QRadioButton* m_write = nullptr;
};

// 1441 "dBASE:  постоянная информация".
class CEFuncDbfCInfView : public CEFuncDbfView {
    Q_OBJECT
public:
    explicit CEFuncDbfCInfView(CKalvorDoc* doc, QWidget* parent = nullptr);
};

// 1442 "dBASE:  начисленная зарплата".
class CEFuncDbfZarpView : public CEFuncDbfView {
    Q_OBJECT
public:
    explicit CEFuncDbfZarpView(CKalvorDoc* doc, QWidget* parent = nullptr);
};

// 1443 "dBASE:  архивные данные".
class CEFuncDbfArchView : public CEFuncDbfView {
    Q_OBJECT
public:
    explicit CEFuncDbfArchView(CKalvorDoc* doc, QWidget* parent = nullptr);
};
