#pragma once
// The task views of the income-tax reports on the report generator's panel:
// the income-tax register, which after the choice dialog is calculated and
// printed per employee, and the register of income certificates, written as
// a text file and handed to the print command.
#include "reports/social/ui/CGenrTaskViews.h"

// The income-tax register.
class CGenrNalRegistrView : public CGenrTaskView {
    Q_OBJECT
public:
    enum : int { CommandId = 32886, FormId = 466 };
    explicit CGenrNalRegistrView(CKalvorDoc* doc, QWidget* parent = nullptr);

protected:
    kalvor::reports::GenrJob Job() const override;
};

// "Печать реестра доходов и подоходного налога".
class CGenrRegisterTextView : public CGenrTaskView {
    Q_OBJECT
public:
    enum : int { CommandId = 32887, FormId = 467 };
    explicit CGenrRegisterTextView(CKalvorDoc* doc, QWidget* parent = nullptr);

protected:
    kalvor::reports::GenrJob Job() const override;
};

class CommandRegistry;
// The two commands on the generator's panel and in its menu.
void RegisterIncomeTaxScreens(CommandRegistry& registry);
