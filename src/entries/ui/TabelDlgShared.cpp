#include "entries/ui/TabelDlgShared.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"

#include <QApplication>
#include <QGroupBox>

bool SaveTabelShowingErrors(kalvor::infobase::CInfoBase& base)
{
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        kalvor::infobase::SaveTabel(base);
        QApplication::restoreOverrideCursor();
        return true;
    } catch (const kalvor::db::DbError& error) {
        QApplication::restoreOverrideCursor();
        ShowComError(error);
        return false;
    }
}

void ShowEmployeeInTabelFrame(CCommonFormView& view, unsigned slot)
{
    const auto& base = view.Document()->infoBase;
    auto* frame = view.controlAs<QGroupBox>(1225);
    if (!frame || !base.holdsSlot(int(slot)))
        return;
    frame->setTitle(QStringLiteral("Основной табель  [%1]").arg(base.shortNameOf(int(slot)).trimmed()));
}

void PaintTabelDialog(QWidget& dialog)
{
    dialog.setAutoFillBackground(true);
    QPalette palette = dialog.palette();
    palette.setColor(QPalette::Window, kTabelDialogBack);
    palette.setColor(QPalette::Base, kTabelDialogBack);
    palette.setColor(QPalette::WindowText, kTabelLabelText);
    dialog.setPalette(palette);
}
