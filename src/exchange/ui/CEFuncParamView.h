// 1403 "Параметры работы генератора" (form 427): the eleven base-wide
// parameters of the reports and the exchange functions. The view shows the
// stored values and, when it is left (the frame switches to another screen
// or the program closes), stores the changed ones and saves the firm record
// and the configuration; nothing is written when nothing changed.
#pragma once

#include "exchange/ui/CExchangeTaskView.h"
#include "shell/ui/PeriodMonths.h"
#include "values/TypedFigure.h"

#include <vector>

class CTypedEdit;
struct InputKind;

class CEFuncParamView : public CExchangeTaskView {
    Q_OBJECT
public:
    enum { FormId = 427, CommandId = 1403 };
    enum Field : int {
        IdYear = 1382,
        IdFirstMonth = 1383,
        IdLastMonth = 1384,
        IdTaxInspection = 1385,
        IdTaxpayerNumber = 1108,
        IdReasonCode = 1109,
        IdPensionFundNumber = 1111,
        IdMinimalRateLimit = 1110,
        IdMaximalRateLimit = 1112,
        IdIncomeDating = 1059,
        IdSorting = 1062,
    };
    // The years a report may be made for.

    explicit CEFuncParamView(CKalvorDoc* doc, QWidget* parent = nullptr);
    // Stores what was changed (StoreChanges).
    ~CEFuncParamView() override;

    void ShowFormHelp() override;
    // Leaving stores what was changed, before the next screen reads it.
    bool CanLeave() override;
    // Enter starts nothing here; Esc leaves the function.
    bool OnCommand(int id) override;

    // Compares the fields with the stored values and stores what differs; a
    // year outside 1994..2155 is refused with a message and the
    // stored one kept. When anything changed, the firm record and the
    // configuration are saved (a changed sort order reloads the employee list
    // first). True when something was saved.
    bool StoreChanges();

protected:
    kalvor::platform::TaskThread::Body MakeTaskBody() override;

private:
    // An input of the form made with its kind, in the next row under its label.
    void AddInput(int id, InputKind kind, int width = 80);
    CTypedEdit* Typed(int id) const;
    void ShowStoredValues();
    bool StoreNumbers();
    bool StoreTexts();
    bool StoreFlags();
    void SaveToBase();

    PeriodMonths m_months; // the period's months, in order
};
