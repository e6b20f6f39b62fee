#include "shell/ui/GridCommands.h"

#include "grid/GridCtrl.h"
#include "platform/DocumentOpener.h"
#include "platform/SavedFile.h"
#include "platform/WorkingFolder.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/KalvorMessageBox.h"

#include <QApplication>
#include <QPrinter>

namespace {

// Command numbers of the framework's Edit and File menus.
constexpr int kEditCut = 0xE123;
constexpr int kEditCopy = 0xE122;
constexpr int kEditPaste = 0xE125;
constexpr int kEditSelectAll = 0xE12A;
constexpr int kFilePrint = 0xE107;

CommandInfo GridCommand(int id, const QString& caption, const QString& menu, void (CGridCtrl::*action)(),
                        bool (CGridCtrl::*enabled)() const)
{
    CommandInfo c;
    c.id = id;
    c.caption = caption;
    c.menuPath = {menu};
    c.needsBase = false;
    c.run = [action](CMainFrame&) {
        if (CGridCtrl* grid = FocusedGrid())
            (grid->*action)();
    };
    c.enabled = [enabled] {
        const CGridCtrl* grid = FocusedGrid();
        return grid && (grid->*enabled)();
    };
    return c;
}

} // namespace

CGridCtrl* FocusedGrid()
{
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (auto* grid = qobject_cast<CGridCtrl*>(w))
            return grid;
    return nullptr;
}

bool PrintGridToPdf(CGridCtrl* grid, const QString& path)
{
    kalvor::platform::SavedFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file.temporaryName());
    return grid->PrintGrid(&printer) && file.commit();
}

void RegisterGridCommands(CommandRegistry& registry)
{
    const QString edit = QStringLiteral("Правка");
    registry.AddCommand(
        GridCommand(kEditCut, QStringLiteral("Вырезать"), edit, &CGridCtrl::OnEditCut, &CGridCtrl::CanEditCut));
    registry.AddCommand(
        GridCommand(kEditCopy, QStringLiteral("Копировать"), edit, &CGridCtrl::OnEditCopy, &CGridCtrl::CanEditCopy));
    registry.AddCommand(
        GridCommand(kEditPaste, QStringLiteral("Вставить"), edit, &CGridCtrl::OnEditPaste, &CGridCtrl::CanEditPaste));
    registry.AddCommand(GridCommand(kEditSelectAll, QStringLiteral("Выделить все"), edit, &CGridCtrl::OnEditSelectAll,
                                    &CGridCtrl::CanEditSelectAll));

    CommandInfo print;
    print.id = kFilePrint;
    print.caption = QStringLiteral("Печать");
    print.menuPath = {QStringLiteral("Файл")};
    print.needsBase = false;
    print.run = [](CMainFrame&) {
        CGridCtrl* grid = FocusedGrid();
        if (!grid)
            return;
        const QString path =
            kalvor::platform::WithSeparator(kalvor::platform::WorkingFolder()) + QStringLiteral("grid.pdf");
        const QString message = PrintGridToPdf(grid, path) ? kalvor::platform::DocumentOpener::Open(path)
                                                           : QStringLiteral("Ошибка при открытии файла\n%1").arg(path);
        if (!message.isEmpty())
            KalvorMessageBox(message, MB_OK | MB_ICONERROR);
    };
    print.enabled = [] { return FocusedGrid() != nullptr; };
    registry.AddCommand(print);
}
