// 1444 "dBASE:  начисления и удержания" (form 439): writes the base's pay
// kinds into "kod.dbf" of the working folder, or reads them from it.
#pragma once

#include "exchange/ui/CExchangeTaskView.h"

class QRadioButton;

class CEFuncDbfNUView : public CExchangeTaskView {
    Q_OBJECT
public:
    explicit CEFuncDbfNUView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CEFuncDbfNUView() override;

    // The form has no selection strip: no field help, no marked employees.
    void ShowFormHelp() override {}
    void TakeHelpValues(const QStringList& /*values*/) override {}

    int Operation() const;

protected:
    bool ReadFormValues() override { return true; }
    kalvor::platform::TaskThread::Body MakeTaskBody() override;
    void OnWorkerDone(int result, int detail, const QString& failure) override;

private:
    QRadioButton* m_write = nullptr;
};
