#include "reports/social/ui/ReportChoiceLoop.h"

#include "platform/GuiBridge.h"
#include "platform/TaskThread.h"
#include "shell/ui/CRepEdit1Dlg.h"
#include "shell/ui/KalvorMessageBox.h"
#include "values/Messages.h"

namespace kalvor::reports {

namespace {

enum : int { ChoiceFirstEditor = 500, ChoiceMake = 501, ChoiceSecondEditor = 502 };
// "Сбой при попытке обращения к файлу печати" among the report errors.
constexpr int kPrintFileFailed = -23;

} // namespace

void RunReportChoiceLoop(const QString& printPath, const ReportChoices& choices)
{
    for (;;) {
        const int choice = platform::GuiBridge::runBlocking([&] {
            CRepEdit1Dlg dialog(printPath);
            return dialog.DoModal();
        });
        if (choice == ChoiceFirstEditor) {
            platform::GuiBridge::runBlocking([&] {
                choices.firstEditor();
                return 0;
            });
        } else if (choice == ChoiceSecondEditor) {
            platform::GuiBridge::runBlocking([&] {
                choices.secondEditor();
                return 0;
            });
        } else if (choice == ChoiceMake) {
            choices.make();
            return;
        } else if (choice == IDCANCEL) {
            return;
        }
    }
}

void WriteXmlAndForm(const std::function<int()>& writeXml, const std::function<int()>& print)
{
    if (const int xmlError = writeXml(); xmlError != 0)
        KalvorMessageBox(platform::FileErrorKindText(xmlError), MB_OK | MB_ICONERROR);
    // A template that cannot be read throws; the editors call this from a
    // button, where the exception must not escape.
    int printed = 0;
    try {
        printed = print();
    } catch (const TextError&) {
        printed = kPrintFileFailed;
    }
    if (printed < 0)
        KalvorMessageBox(ReportErrorText(kPrintFileFailed), MB_OK | MB_ICONERROR);
}

} // namespace kalvor::reports
