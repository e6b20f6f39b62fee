// "Печать лицевых счетов" (form 390): the month's personal accounts of the
// employees the selection names, in the print format of field 1352.
#pragma once

#include "print/ui/CPrintTaskView.h"

class CPrintLicschetView : public CPrintTaskView {
    Q_OBJECT
public:
    static constexpr int kFormId = 390;
    static constexpr int kPrintFormatField = 1352;

    explicit CPrintLicschetView(CKalvorDoc* doc, QWidget* parent = nullptr);

protected:
    bool ReadFormValues() override;
    kalvor::platform::TaskThread::Body MakeTaskBody() override;

private:
    int m_printFormat = 0;
};
