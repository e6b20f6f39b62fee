#include "reports/social/ui/ReportChoiceLoop.h"

#include "platform/GuiBridge.h"
#include "platform/TaskThread.h"
#include "print/CTree.h"
#include "shell/ui/CRepEdit1Dlg.h"
#include "shell/ui/KalvorMessageBox.h"
#include "values/Messages.h"

#include <QStringList>

namespace kalvor::reports {

namespace {

enum : int { ChoiceFirstEditor = 500, ChoiceMake = 501, ChoiceSecondEditor = 502 };
// "Сбой при попытке обращения к файлу печати" among the report errors.
constexpr int kPrintFileFailed = -23;

} // namespace

platform::TaskOutcome RunReportChoiceLoop(const QString& printPath, const ReportChoices& choices)
{
    QString path = printPath;
    for (;;) {
        const int choice = platform::GuiBridge::runBlocking([&] {
            CRepEdit1Dlg dialog(path, {choices.firstEditorCaption, choices.secondEditorCaption});
            const int result = dialog.DoModal();
            if (result != IDCANCEL)
                path = dialog.PrintFilePath();
            return result;
        });
        if (choice == ChoiceFirstEditor) {
            platform::GuiBridge::runBlocking([&] {
                choices.firstEditor(path);
                return 0;
            });
        } else if (choice == ChoiceSecondEditor) {
            platform::GuiBridge::runBlocking([&] {
                choices.secondEditor(path);
                return 0;
            });
        } else if (choice == ChoiceMake) {
            return choices.make(path);
        } else if (choice == IDCANCEL) {
            return platform::TaskOutcome();
        }
    }
}

platform::TaskOutcome WriteXmlAndForm(const QString& printPath,
                                      const std::function<int(QString* writtenPath)>& writeXml,
                                      const std::function<int(QString* viewerText)>& print)
{
    QStringList said;
    QString written;
    // A file that may not be written (a pack number taken by another
    // report) is refused with its reason.
    int xmlError = 0;
    QString refusal;
    try {
        xmlError = writeXml(&written);
    } catch (const TextError& error) {
        refusal = error.message();
    }
    if (!refusal.isEmpty()) {
        KalvorMessageBox(refusal, MB_OK | MB_ICONERROR);
        said << refusal;
    } else if (xmlError != 0) {
        KalvorMessageBox(platform::FileErrorKindText(xmlError), MB_OK | MB_ICONERROR);
    } else if (!written.isEmpty()) {
        said << platform::WrittenFileLine(written);
    }
    // A template that cannot be read throws; the editors call this from a
    // button, where the exception must not escape.
    int printed = 0;
    QString viewerText;
    try {
        printed = print(&viewerText);
    } catch (const TextError&) {
        printed = kPrintFileFailed;
    }
    if (printed < 0) {
        KalvorMessageBox(ReportErrorText(kPrintFileFailed), MB_OK | MB_ICONERROR);
        return platform::TaskOutcome(platform::TASK_DONE, 0, said.join(QLatin1Char('\n')));
    }
    const platform::TaskOutcome form = platform::ViewedDocumentOutcome(print::RtfOutputPath(printPath), viewerText);
    said << form.message;
    return platform::TaskOutcome(platform::TASK_DONE, form.detail, said.join(QLatin1Char('\n')));
}

} // namespace kalvor::reports
