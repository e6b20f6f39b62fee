// "Корректировка ставок" from the month's entry dialogs (time sheet, sick
// leave, vacations). The rate-correction dialog belongs to the employee
// screens; the program hands the entry screens a runner that opens it, so
// that monthly entries do not depend on them.
#pragma once

#include <functional>

class CKalvorDoc;
class QWidget;

// Runs the rate-correction dialog modally for the employee of that record slot.
using RateCorrectionRunner = std::function<void(CKalvorDoc* doc, unsigned slot, QWidget* parent)>;

// The button's handler that the entry dialogs share: with a shown employee
// (slot not 0) and a runner, the dialog runs; otherwise nothing happens.
inline void RunRateCorrection(const RateCorrectionRunner& runner, CKalvorDoc* doc, unsigned slot, QWidget* parent)
{
    if (slot != 0 && runner)
        runner(doc, slot, parent);
}
