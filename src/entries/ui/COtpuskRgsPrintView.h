// "Печать реестра отпускных" (form 396): the vacation notes of the employees
// the strip names with the calculations of their pay, as text forms handed
// to the print command; field 1359 adds the note itself before each
// calculation.
#pragma once

#include "entries/ui/CEntryRegisterView.h"

class COtpuskRgsPrintView : public CEntryRegisterView {
    Q_OBJECT
public:
    static constexpr int kFormId = 396;
    static constexpr int kCommandId = 32807;
    static constexpr int kFirstPageField = 1359;

    explicit COtpuskRgsPrintView(CKalvorDoc* doc, QWidget* parent = nullptr);

protected:
    bool ReadFormValues() override;
    kalvor::platform::TaskThread::Body MakeTaskBody() override;

private:
    bool m_withNote = false;
};
