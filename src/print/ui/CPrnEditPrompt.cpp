#include "print/ui/CPrnEditPrompt.h"

#include "platform/GuiBridge.h"
#include "shell/ui/CPrnEditDlg.h"
#include "shell/ui/KalvorMessageBox.h"

#include <QPointer>

namespace kalvor::print {

std::optional<QString> CPrnEditPrompt::ConfirmCommand(const QString& reportPath, const QString& command)
{
    QString edited;
    const QPointer<QWidget> parent(m_parent);
    const int answer = platform::GuiBridge::runBlocking([&]() {
        CPrnEditDlg dialog(reportPath, command, parent.data());
        const int result = dialog.DoModal();
        if (result == IDOK)
            edited = dialog.Command();
        return result;
    });
    if (answer != IDOK)
        return std::nullopt;
    return edited;
}

} // namespace kalvor::print
