#include "payroll/ui/RunMonthChange.h"

#include "infobase/BaseWrites.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/MonthChange.h"
#include "platform/Db.h"
#include "shell/ui/CArchProcDlg.h"
#include "shell/ui/CChgRepPerDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/WaitCursor.h"
#include "values/Messages.h"
#include "values/Values.h"

#include <QDir>

const char* const kMonthChangeFailedText = "Извините, переход на следующий месяц не выполнен. Попробуйте еще раз.";
const char* const kMonthChangeCancelledText = "Переход на следующий месяц отменен. Отчетный месяц не изменен.";
const char* const kMonthChangeNotKnownText =
    "Переход на следующий месяц прерван, когда запись уже была отправлена серверу базы данных. Изменен ли "
    "отчетный месяц, пока не известно: %1. Перед следующим переходом и расчетом отчетный месяц "
    "будет прочитан из базы заново.";

namespace {

// Offers the copy of the base and makes it, leaving its folder in copyFolder;
// false when the copy failed and the user chose not to go on without it.
bool OfferCopy(CKalvorDoc& doc, QWidget* parent, QString* copyFolder)
{
    if (KalvorMessageBox(QStringLiteral("Хотите ли Вы сделать копию Ваших данных за прошедший месяц ?"),
                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, QStringLiteral("Сделайте выбор"), parent) != IDYES)
        return true;
    // The copy is a snapshot of the base file made on the dialog's worker; the
    // tables in memory stay as they are, so nothing needs reloading afterwards.
    CArchProcDlg copy(&doc, parent);
    int copied = 0;
    {
        WaitCursor wait;
        copied = copy.DoModal();
    }
    if (copied >= 0) {
        if (copyFolder != nullptr)
            *copyFolder = QDir::toNativeSeparators(QDir::cleanPath(copy.Job().archiveFolder));
        return true;
    }
    // Why the copy failed goes between the question's two lines.
    const QString question =
        QStringLiteral("Извините, сжатие Вашей базы не может быть выполнено\n%1\nПродолжать?...").arg(copy.ErrorText());
    return KalvorMessageBox(question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, QString(), parent) == IDYES;
}

// Said when the user stopped the change and the server made it all the same.
QString MonthChangedDespiteStopText(int newMonthKey)
{
    return QStringLiteral("Отчетный месяц изменен на %1: переход был записан в базу данных до того, как "
                          "его остановили.")
        .arg(kalvor::MonthOfYearText(kalvor::MonthKey::of(newMonthKey)));
}

} // namespace

MonthMover PayrollMonthMover(kalvor::RunOutcome* outcome)
{
    return [outcome](int newMonthKey, const std::function<void()>& stepIt, kalvor::infobase::KalvorDocData& doc) {
        return kalvor::MoveEmployeesToNextMonth(newMonthKey, stepIt, doc, outcome);
    };
}

int RunMonthChange(CKalvorDoc& doc, int newMonthKey, const MonthMover& mover, QWidget* parent, QString* copyFolder,
                   bool* stopAnswered)
{
    if (!OfferCopy(doc, parent, copyFolder))
        return kMonthChangeAbandoned;

    int result = 0;
    try {
        CChgRepPerDlg progress(newMonthKey, &doc, mover, parent);
        result = progress.DoModal();
        if (stopAnswered != nullptr)
            *stopAnswered = progress.StopAnswered();
    } catch (const kalvor::db::DbError& e) {
        // A COMMIT cut whose end the server could not tell yet: memory stays
        // in the old month, and the base is read again before the next move.
        if (const kalvor::db::CommitInDoubt* doubt = e.commitInDoubt())
            throw kalvor::TextError(
                QString::fromUtf8(kMonthChangeNotKnownText).arg(kalvor::db::NotKnownReason(doubt->held)));
        // The move rolled back: the base and the memory are in the old month.
        // A stop the user asked for is said as such.
        if (e.code() == kalvor::db::E_DB_STOPPED)
            return kMonthChangeAbandoned;
        // A refusal names the month it refused and the employee refused
        // when it was his rows, and says the base's own line: trying again
        // would meet it again.
        if (kalvor::db::IsRefusal(e))
            throw kalvor::TextError(kalvor::RefusalText(
                e, QStringLiteral("Переход на %1 не записан в базу данных; отчетный месяц не изменен.")
                       .arg(kalvor::MonthOfYearText(kalvor::MonthKey::of(newMonthKey)))));
        // The server's failures met as they are (a lost connection) are said
        // as every screen says them.
        if (kalvor::SaidOfTheServerInRussianAlone(e))
            throw kalvor::TextError(kalvor::DbErrorText(e, QString::fromUtf8(kMonthChangeFailedText)));
        throw kalvor::TextError(QString::fromUtf8(kMonthChangeFailedText) + QStringLiteral("\n") +
                                kalvor::ComErrorText(e));
    }
    if (result == 1)
        throw kalvor::TextError(kMonthChangeFailedText);
    return result < 0 ? result : 0;
}

int ChangeReportingMonth(CKalvorDoc& doc, QWidget* parent, const MonthMover& mover)
{
    const int newKey = doc.infoBase.config.reportingKey().next().value();
    // Nothing (the copy's record of itself included) is written from memory
    // into a base that a change whose end was not known has moved on.
    try {
        if (const QString moved = kalvor::infobase::StoredBaseMismatch(doc.infoBase); !moved.isEmpty()) {
            KalvorMessageBox(moved, MB_OK | MB_ICONWARNING, QString(), parent);
            return -1;
        }
    } catch (const kalvor::db::DbError& e) {
        KalvorMessageBox(kalvor::DbErrorText(e), MB_OK | MB_ICONERROR, QString(), parent);
        return -1;
    }
    // Employees whose calculation failed are named before anything is asked.
    if (const kalvor::RunOutcome failed = kalvor::FailedCalculations(doc); !failed.notes.empty()) {
        KalvorMessageBox(kalvor::MonthChangeRefusalText(failed), MB_OK | MB_ICONWARNING, QString(), parent);
        return -1;
    }
    if (KalvorMessageBox(MonthChangeQuestion(newKey), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, QString(), parent) !=
        IDYES)
        return -1;
    int result = 0;
    QString copyFolder;
    kalvor::RunOutcome report;
    bool stopAnswered = false;
    doc.monthChangeNotes.clear(); // only this change's notes are said
    try {
        result = RunMonthChange(doc, newKey, mover ? mover : PayrollMonthMover(&report), parent, &copyFolder,
                                &stopAnswered);
    } catch (const kalvor::TextError& e) {
        KalvorMessageBox(e.message(), MB_OK | MB_ICONERROR, QString(), parent);
        return -1;
    } catch (const std::bad_alloc&) {
        KalvorMessageBox(QString::fromUtf8(kalvor::kMsgAllocFailed), MB_OK | MB_ICONERROR, QString(), parent);
        return -1;
    }
    if (result == kMonthChangeAbandoned) {
        KalvorMessageBox(QString::fromUtf8(kMonthChangeCancelledText), MB_OK | MB_ICONINFORMATION, QString(), parent);
        return -1;
    }
    const int errors = -result;
    doc.NotifyMonthChanged(); // the open screens show the new month
    QString outcome = QStringLiteral("Ошибочных  ситуаций:  %1").arg(errors);
    // A stop that came after the change's COMMIT had gone out does not undo
    // it: the user, told that the month would stay, learns that it did not.
    if (stopAnswered)
        outcome = MonthChangedDespiteStopText(newKey) + QLatin1Char('\n') + outcome;
    if (!copyFolder.isEmpty())
        outcome += QStringLiteral("\nКопия данных за прошедший месяц: %1").arg(copyFolder);
    // The employees it has to say something of, then what the change made by
    // rule and what the firm must see to.
    if (const QStringList notes = report.lines(); !notes.isEmpty())
        outcome += QStringLiteral("\n\n") + notes.join(QLatin1Char('\n'));
    for (const QString& note : doc.monthChangeNotes) outcome += QStringLiteral("\n\n") + note;
    KalvorMessageBox(outcome, doc.monthChangeNotes.isEmpty() ? MB_OK | MB_ICONINFORMATION : MB_OK | MB_ICONWARNING,
                     QString(), parent);
    return errors;
}
