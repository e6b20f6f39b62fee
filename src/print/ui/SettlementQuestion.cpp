#include "print/ui/SettlementQuestion.h"

#include "platform/GuiBridge.h"
#include "print/SettlementStatement.h"
#include "shell/ui/KalvorMessageBox.h"

namespace kalvor::print {

static_assert(kSettlementAnswerYes == IDYES);

void InstallSettlementQuestion()
{
    SetSettlementQuestionHook([](const QString& text) {
        return platform::GuiBridge::runBlocking(
            [&text]() { return KalvorMessageBox(text, MB_YESNO | MB_ICONWARNING); });
    });
}

} // namespace kalvor::print
