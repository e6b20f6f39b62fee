#include "masterdata/ui/RefBooks.h"

#include "masterdata/ui/CRefOplUdView.h"
#include "masterdata/ui/CRefSchedView.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"

namespace {
constexpr int kReferencePanel = 0;
}

void RegisterPayKindAndScheduleBooks(CommandRegistry& registry)
{
    CommandInfo schedules;
    schedules.id = 1028;
    schedules.caption = QStringLiteral("Графики");
    schedules.panel = kReferencePanel;
    schedules.makeView = [](CKalvorDoc* doc) -> CCommonFormView* { return new CRefSchedView(doc); };
    registry.AddCommand(schedules);

    CommandInfo payKinds;
    payKinds.id = 1029;
    payKinds.caption = QStringLiteral("Оплаты/Удержания");
    payKinds.panel = kReferencePanel;
    payKinds.makeView = [](CKalvorDoc* doc) -> CCommonFormView* { return new CRefOplUdView(doc); };
    registry.AddCommand(payKinds);
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
