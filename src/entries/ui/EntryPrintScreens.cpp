#include "entries/ui/EntryPrintScreens.h"

#include "entries/ui/CBulletPlatVedView.h"
#include "entries/ui/CBulletRgsPrintView.h"
#include "entries/ui/CBulletVvodView.h"
#include "entries/ui/COtpuskPlatVedView.h"
#include "entries/ui/COtpuskRgsPrintView.h"
#include "entries/ui/COtpuskVvodView.h"
#include "shell/ui/CommandRegistry.h"

namespace {

void AddPrintScreen(CommandRegistry& registry, int id, const QString& caption, int panel, ViewFactory makeView)
{
    CommandInfo command;
    command.id = id;
    command.caption = caption;
    command.panel = panel;
    command.makeView = std::move(makeView);
    registry.AddCommand(command);
}

} // namespace

void RegisterSickVacationPrintScreens(CommandRegistry& registry)
{
    AddPrintScreen(registry, CBulletRgsPrintView::kCommandId, QStringLiteral("Печать реестра больничных листов"),
                   CBulletVvodView::kEntryScreen,
                   [](CKalvorDoc* d) -> CCommonFormView* { return new CBulletRgsPrintView(d); });
    AddPrintScreen(registry, CBulletPlatVedView::kCommandId, QStringLiteral("Печать ведомости"),
                   CBulletVvodView::kEntryScreen,
                   [](CKalvorDoc* d) -> CCommonFormView* { return new CBulletPlatVedView(d); });
    AddPrintScreen(registry, COtpuskRgsPrintView::kCommandId, QStringLiteral("Печать реестра отпускных"),
                   COtpuskVvodView::kEntryScreen,
                   [](CKalvorDoc* d) -> CCommonFormView* { return new COtpuskRgsPrintView(d); });
    AddPrintScreen(registry, COtpuskPlatVedView::kCommandId, QStringLiteral("Печать платежной ведомости"),
                   COtpuskVvodView::kEntryScreen,
                   [](CKalvorDoc* d) -> CCommonFormView* { return new COtpuskPlatVedView(d); });
}
