#include "payroll/ui/RunMonthChange.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/MonthChange.h"
#include "platform/Db.h"
#include "values/Messages.h"
#include "shell/ui/CArchProcDlg.h"
#include "shell/ui/CChgRepPerDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/MonthChange.h"

#include <QApplication>

const char* const kMonthChangeFailedText = "Извините, переход на следующий месяц не выполнен. Поробуйте еще раз.";

int RunMonthChange(CKalvorDoc& doc, int newMonthKey, QWidget* parent)
{
    if (KalvorMessageBox(QStringLiteral("Хотите ли Вы сделать копию Ваших данных за прошедший месяц ?"),
                         MB_YESNO | MB_ICONQUESTION, QStringLiteral("Сделайте выбор"), parent)
        == IDYES) {
        // The copy is a snapshot of the base file; the tables in memory stay
        // as they are, so nothing needs reloading afterwards.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        int copied = 0;
        try {
            kalvor::infobase::SaveConfig(doc.infoBase);
            CArchProcDlg copy(&doc, parent);
            copied = copy.DoModal();
        } catch (...) {
            QApplication::restoreOverrideCursor();
            throw;
        }
        QApplication::restoreOverrideCursor();
        if (copied < 0
            && KalvorMessageBox(QStringLiteral("Извините, сжатие Вашей базы не может быть выполнено\nПродолжать?..."),
                                MB_YESNO | MB_ICONQUESTION, QString(), parent)
                   != IDYES)
            return 0;
    }

    int result = 0;
    try {
        CChgRepPerDlg progress(newMonthKey, &doc, parent);
        result = progress.DoModal();
    } catch (const kalvor::db::DbError& e) {
        // The move rolled back: the base and the memory are in the old month.
        throw kalvor::TextError(QString::fromUtf8(kMonthChangeFailedText) + QStringLiteral("\n\n")
                                + kalvor::ComErrorText(e));
    }
    if (result == 1)
        throw kalvor::TextError(kMonthChangeFailedText);
    return result < 0 ? result : 0;
}

void InstallMonthChange()
{
    SetMonthMover([](int newMonthKey, const std::function<void()>& stepIt, kalvor::infobase::KalvorDocData& doc) {
        return kalvor::MoveEmployeesToNextMonth(newMonthKey, stepIt, doc);
    });
    SetMonthChangeRunner(&RunMonthChange);
}
