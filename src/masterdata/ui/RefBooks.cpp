#include "masterdata/ui/RefBooks.h"

#include "shell/ui/CMainFrame.h"

namespace {
constexpr int kReferencePanel = 0;
}

void LeaveReferenceBook(QWidget* view)
{
    auto* frame = qobject_cast<CMainFrame*>(view->window());
    if (!frame)
        return;
    frame->SwitchView<CEmptyView>();
    frame->ShowWorkPanel(kReferencePanel);
}

QString ReferenceBookStyleSheet()
{
    return QStringLiteral("QLabel { color: rgb(100, 103, 250); }"
                          "QLineEdit { background: rgb(208, 227, 254); }"
                          "QLineEdit:disabled { background: rgb(228, 236, 248); color: rgb(90, 90, 90); }");
}
