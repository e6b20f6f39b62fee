// The panel "Информация о выработке": writing the output file (1446, form
// 440), reading its sums back (1448, form 443) and viewing its records
// (1447, form 442).
#pragma once

#include "exchange/OutputFile.h"
#include "exchange/ui/CExchangeTaskView.h"

class CGridCtrl;

// The write and read views: the strip 1252, 1253, 1103; a file dialog at each
// start; the worker's progress shows the employee at hand.
class CEFuncVirabFileView : public CExchangeTaskView {
    Q_OBJECT
public:
    using ThreadProc = kalvor::platform::TaskOutcome (*)(kalvor::platform::TaskContext&,
                                                         const kalvor::exchange::VirabTaskParams&, kalvor::PayrollDoc&,
                                                         const kalvor::exchange::ExchangeMessenger&,
                                                         const std::function<void(int, int)>&);

    CEFuncVirabFileView(int formId, const QString& title, const QString& startCaption, ThreadProc worker,
                        CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CEFuncVirabFileView() override;

    void ShowFormHelp() override;
    void OnStartButton() override;
    const QString& FileName() const { return m_fileName; }

protected:
    kalvor::platform::TaskThread::Body MakeTaskBody() override;
    void OnWorkerDone(int result, int detail, const QString& failure) override;
    // The file dialog of a start; empty when cancelled.
    virtual QString ChooseOutputFile();

private:
    ThreadProc m_threadProc;
    QString m_fileName;
};

class CEFuncVirabWriteView : public CEFuncVirabFileView {
    Q_OBJECT
public:
    enum { FormId = 440, CommandId = 1446 };
    explicit CEFuncVirabWriteView(CKalvorDoc* doc, QWidget* parent = nullptr);
};

class CEFuncVirabReadView : public CEFuncVirabFileView {
    Q_OBJECT
public:
    enum { FormId = 443, CommandId = 1448 };
    explicit CEFuncVirabReadView(CKalvorDoc* doc, QWidget* parent = nullptr);
};

// The viewer: one record of any output file by its personnel number, the
// next and previous records; it changes nothing on disk.
class CEFuncVirabView : public CCommonFormView {
    Q_OBJECT
public:
    enum {
        FormId = 442,
        CommandId = 1447,
        IdFileField = 1254,
        IdBrowse = 1449,
        IdShow = 1040,
        IdNext = 32778,
        IdPrevious = 32779,
        IdGrid = 1450,
    };
    explicit CEFuncVirabView(CKalvorDoc* doc, QWidget* parent = nullptr);

    void ShowFormHelp() override;
    void NextElement() override; // F4: the next record
    void PrevElement() override; // F3: the previous record
    // Button 1040: the record of the personnel number in field 1103.
    void OnShow();
    CGridCtrl* Grid() const { return m_grid; }

protected:
    virtual QString ChooseViewedFile();
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The record `step` places after the one of field 1103 (0: that one).
    void ShowRecordAt(int step);
    void ShowRecord(const QByteArray& record);
    void SetText(int id, const QString& text);
    void OnBrowse();

    CGridCtrl* m_grid = nullptr;
};
