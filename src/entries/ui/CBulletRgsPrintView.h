// "Печать реестра больничных" (form 451): the register of the sick-leave
// sheets of the employees the strip names, as the RTF form "bln-reestr"
// opened in the viewer.
#pragma once

#include "entries/ui/CEntryRegisterView.h"

class CBulletRgsPrintView : public CEntryRegisterView {
    Q_OBJECT
public:
    static constexpr int kFormId = 451;
    static constexpr int kCommandId = 1215;

    explicit CBulletRgsPrintView(CKalvorDoc* doc, QWidget* parent = nullptr);

protected:
    kalvor::platform::TaskThread::Body MakeTaskBody() override;
};
