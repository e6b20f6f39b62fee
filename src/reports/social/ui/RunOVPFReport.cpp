#include "reports/social/ui/RunOVPFReport.h"

#include "platform/GuiBridge.h"
#include "platform/TaskThread.h"
#include "reports/social/PensionForm.h"
#include "reports/social/PensionXml.h"
#include "reports/social/ui/CGenrOVPFEditDlg.h"
#include "shell/ui/CRepEdit1Dlg.h"
#include "shell/ui/KalvorMessageBox.h"
#include "values/Messages.h"

namespace kalvor::reports {

namespace {

enum : int { ChoiceEditSections15 = 500, ChoiceMake = 501, ChoiceEditSection4 = 502 };
// "Сбой при попытке обращения к файлу печати" among the report errors.
constexpr int kPrintFileFailed = -23;

} // namespace

void WriteOVPFOutputs(const QString& printPath, const ReportSelection& selection, const QString& reportFolder,
                      PayrollDoc& doc)
{
    const int xmlError = WriteOVPFXml(selection, reportFolder, doc);
    if (xmlError != 0)
        KalvorMessageBox(platform::FileErrorKindText(xmlError), MB_OK | MB_ICONERROR);
    // A template that cannot be read throws; the editors call this from a
    // button, where the exception must not escape.
    int printed = 0;
    try {
        printed = PrintOVPF(printPath, doc);
    } catch (const TextError&) {
        printed = kPrintFileFailed;
    }
    if (printed < 0)
        KalvorMessageBox(ReportErrorText(kPrintFileFailed), MB_OK | MB_ICONERROR);
}

void RunOVPFReport(const QString& printPath, const ReportSelection& selection, const QString& reportFolder,
                   PayrollDoc& doc)
{
    for (;;) {
        const int choice = platform::GuiBridge::runBlocking([&] {
            CRepEdit1Dlg choices(printPath);
            return choices.DoModal();
        });
        if (choice == ChoiceEditSections15) {
            platform::GuiBridge::runBlocking([&] {
                CGenrOVPFEditDlg editor(selection, printPath, reportFolder, doc);
                return editor.DoModal();
            });
        } else if (choice == ChoiceEditSection4) {
            platform::GuiBridge::runBlocking([&] {
                CGenrOVPFEditDlg2 editor(selection, printPath, reportFolder, doc);
                return editor.DoModal();
            });
        } else if (choice == ChoiceMake) {
            WriteOVPFOutputs(printPath, selection, reportFolder, doc);
            return;
        } else if (choice == IDCANCEL) {
            return;
        }
    }
}

} // namespace kalvor::reports
