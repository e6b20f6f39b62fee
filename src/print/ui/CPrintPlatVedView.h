// "Печать платежной ведомости" (form 393): the pay statement or its cash
// orders for the month. The form and its start are shared with the
// statement views of the advance, bonuses, sick pay and vacations, whose
// forms leave out some of the fields (PaymentFormFields) and whose workers
// differ (MakeTaskBody).
#pragma once

#include "print/PrintOutput.h"
#include "print/ui/CPrintTaskView.h"
#include "print/ui/CPrnEditPrompt.h"

#include <cstdint>

// Control numbers of the payment form.
enum PaymentFormControl : int {
    IdOutputModeField = 1355,
    IdFirstSheetField = 1255,
    IdLastSheetField = 1256,
    IdWithoutPauseBox = 1356,
    IdNewEmployeesBox = 1357,
    IdPayKindField = 1257,
    IdSubAccountField = 1358,
    IdTransferFileField = 1262,
    IdCashierPositionField = 1258,
    IdCashierNameField = 1259,
    IdAccountantField = 1260,
    IdCostCodeField = 1261,
};

// The fields a payment form has besides the kind, the selection strip and
// the sheets, which every one has.
enum PaymentFormField : unsigned {
    PaymentFormOptionBoxes = 1u << 0, // 1356, 1357
    PaymentFormPayKind = 1u << 1, // 1257
    PaymentFormTransfer = 1u << 2, // 1358, 1262
    PaymentFormSignatures = 1u << 3, // 1258, 1259, 1260
    PaymentFormCostCode = 1u << 4, // 1261
    PaymentFormAll = 0x1F,
    // The two options as number fields (with the help list "Нет" / "Да")
    // instead of check boxes.
    PaymentFormOptionNumbers = 1u << 5,
    // The signatures without the accountant's name (1260).
    PaymentFormCashierOnly = 1u << 6,
};

// The payment form as a start reads it.
struct PaymentFormValues {
    int outputMode = 0; // 0-5; a value outside is 0
    int firstSheet = 0; // 0-999
    int lastSheet = 0; // any; 0 = to the end
    int withoutPause = 0;
    int newEmployeesOnly = 0;
    int payKind = 0; // empty or "*": every kind
    std::uint64_t costCode = 0;
};

class CPrintPlatVedView : public CPrintTaskView {
    Q_OBJECT
public:
    static constexpr int kFormId = 393;

    explicit CPrintPlatVedView(CKalvorDoc* doc, QWidget* parent = nullptr);

    // The form shows the stored settings, then takes its colours.
    void OnInitialUpdate() override;
    void ShowFormHelp() override;

    const PaymentFormValues& FormValues() const { return m_form; }

protected:
    CPrintPlatVedView(int formId, unsigned fields, const QString& caption, CKalvorDoc* doc, QWidget* parent);

    // The strip with the form's ranges, the payment fields, and the settings
    // of the firm record (cashier, accountant, sub-account, transfer file).
    bool ReadFormValues() override;
    kalvor::platform::TaskThread::Body MakeTaskBody() override;

    // The dialog of the print command that the worker asks on this thread.
    kalvor::print::CPrnEditPrompt m_prompt;

private:
    void BuildForm(const QString& caption);
    // The pay kind field: a code of the pay-kind book, empty for every kind.
    InputKind PayKindFieldKind() const;
    void ShowSettings();
    void StoreSettings();

    unsigned m_fields;
    PaymentFormValues m_form;
};

// The pick list of the payment document kinds: blank "Платежная ведомость",
// 1 "Кассовые ордеры" ... 5 "Банковский ордер", as code|name lines.
QStringList PaymentKindLines();
