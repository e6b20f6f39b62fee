// The two transfer-file views on working panel 14: the upload (1518, form 461)
// writes the chosen employees into a transfer file, the download (1519, form
// 466) reads such a file into the base and saves the tables it touched. Both
// have the file name, the strip of shop, brigade, personnel number and
// profession, and one start button.
#pragma once

#include "exchange/TransferWorkers.h"
#include "exchange/ui/CExchangeTaskView.h"

class CommandRegistry;

enum SymvFormatControl : int {
    IdTransferFileField = 1255, // "Имя промежуточного файла"
};

class CSymvFormatView : public CExchangeTaskView {
    Q_OBJECT
public:
    using ThreadProc = kalvor::platform::TaskOutcome (*)(kalvor::platform::TaskContext&,
                                                         const kalvor::exchange::TransferTaskParams&,
                                                         kalvor::PayrollDoc&,
                                                         const kalvor::exchange::ExchangeMessenger&);

    CSymvFormatView(int formId, const QString& title, const QString& button, ThreadProc worker, CKalvorDoc* doc,
                    QWidget* parent = nullptr);
    ~CSymvFormatView() override;

    // F1: the path hint on 1255; the strip's help on the other fields.
    void ShowFormHelp() override;

protected:
    // The strip and the file name; the personnel number is kept in the
    // document as the last one used.
    bool ReadFormValues() override;
    kalvor::platform::TaskThread::Body MakeTaskBody() override;
    // The run's end as the time-sheet reading view has it (OnCopyBaseWorkerDone).
    void OnWorkerDone(int result, int detail, const QString& failure) override;

private:
    ThreadProc m_threadProc;
    QString m_fileName;
};

// 1518 "Выгрузка информации о сотрудниках".
class CSymvFormatUploadView : public CSymvFormatView {
    Q_OBJECT
public:
    explicit CSymvFormatUploadView(CKalvorDoc* doc, QWidget* parent = nullptr);
};

// 1519 "Загрузка информации о сотрудниках".
class CSymvFormatDownloadView : public CSymvFormatView {
    Q_OBJECT
public:
    explicit CSymvFormatDownloadView(CKalvorDoc* doc, QWidget* parent = nullptr);
};

// The two commands on working panel 14.
void RegisterTransferScreens(CommandRegistry& registry);
