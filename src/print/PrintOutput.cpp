#include "print/PrintOutput.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CommandLine.h"
#include "platform/Console.h"
#include "platform/DocumentOpener.h"
#include "platform/FileDescriptor.h"
#include "platform/WorkingFolder.h"
#include "print/CTree.h"
#include "values/Text8.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace kalvor::print {

namespace {

constexpr int kTransferLockLength = 100;
constexpr int kTransferBlockSize = 100;
constexpr int kLockRetryMs = 100;

// Sets (F_WRLCK) or clears (F_UNLCK) the lock of the first 100 bytes.
bool SetTransferLock(int fd, short type)
{
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = kTransferLockLength;
    return ::fcntl(fd, F_SETLK, &lock) == 0;
}

// Tries the lock until it is had or the wait is over.
bool LockTransferFile(int fd, int waitMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (SetTransferLock(fd, F_WRLCK))
            return true;
        if (errno != EACCES && errno != EAGAIN && errno != EINTR)
            return false;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kLockRetryMs));
    }
}

// Copies the report to the end of the transfer file in blocks of 100 bytes.
void CopyInBlocks(int from, int to, const QString& reportPath, const QString& transferPath)
{
    char block[kTransferBlockSize];
    for (;;) {
        const ssize_t got = ::read(from, block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw TransferFileError(platform::FILE_ERROR_READ, reportPath);
        if (got == 0)
            return;
        if (::write(to, block, std::size_t(got)) != got)
            throw TransferFileError(platform::FILE_ERROR_WRITE, transferPath);
    }
}

// What "%s" in a print command stands for: the report's path.
constexpr QLatin1String kReportPlace("%s");
// The message of a print command that could not start, was stopped or ended
// with an exit code other than 0.
QString PrintCommandFailure(const QStringList& arguments, const platform::ConsoleRun& run)
{
    static const platform::ConsoleFailureWords words{
        QStringLiteral("Не удалось запустить команду печати:"), QStringLiteral("Команда печати остановлена:"),
        QStringLiteral("Команда печати завершилась аварийно:"), QStringLiteral("Команда печати завершилась с кодом %1:")};
    return platform::ConsoleFailureText(words, arguments, run);
}

} // namespace

AmountOfSlot DocumentPayAmounts(const PayrollDoc& doc)
{
    const infobase::CInfoBase& base = doc.infoBase;
    return [&base](int slot) { return base.holdsSlot(slot) ? base.zar1Of(slot) : 0.0; };
}

QString PrintOutputModeName(int mode)
{
    switch (mode) {
    case PaymentStatement: return QStringLiteral("Платежная ведомость");
    case CashOrders: return QStringLiteral("Кассовые ордеры");
    case SignedCashOrders: return QStringLiteral("Ордеры с подписью");
    case BudgetStatement: return QStringLiteral("Платежная ведомость (бюджет)");
    case TransferOrders1C: return QStringLiteral("Ордер для 1С");
    case BankCashOrder: return QStringLiteral("Банковский ордер");
    default: return QString();
    }
}

QString DefaultPrintScript()
{
    const QString folder = platform::WorkingFolder();
    return QFileInfo(QDir(folder.isEmpty() ? QDir::currentPath() : folder).filePath(QStringLiteral("e.sh")))
        .absoluteFilePath();
}

QString DefaultPrintCommand() { return platform::QuoteCommandArgument(DefaultPrintScript()) + QStringLiteral(" %s"); }

QString OfferedPrintCommand(const QString& stored)
{
    if (stored.trimmed().isEmpty() || stored.trimmed() == QLatin1String(kFormerDefaultPrintCommand))
        return DefaultPrintCommand();
    return stored;
}

QStringList PrintCommandArguments(const QString& command, const QString& reportPath)
{
    QStringList arguments = platform::SplitCommandLine(command);
    if (arguments.isEmpty())
        return arguments;
    bool placed = false;
    for (QString& argument : arguments) {
        if (argument.contains(kReportPlace)) {
            argument.replace(kReportPlace, reportPath);
            placed = true;
        }
    }
    if (!placed)
        arguments << reportPath;
    return arguments;
}

PrintCommandResult PrintTextFile(PayrollDoc& doc, const QString& reportPath, PrintCommandPrompt& prompt)
{
    QString& storedCommand = doc.infoBase.config.dosStr;
    const std::optional<QString> confirmed = prompt.ConfirmCommand(reportPath, OfferedPrintCommand(storedCommand));
    if (!confirmed)
        return {};
    storedCommand = confirmed->left(kPrintCommandMaxLength);
    // A report that cannot be converted is printed as it stands.
    ConvertTextFileToOem(reportPath);
    const QStringList arguments = PrintCommandArguments(storedCommand, reportPath);
    if (arguments.isEmpty())
        return {PrintCommandResult::Failed, QStringLiteral("Не задана команда печати.")};
    QProcessEnvironment opener;
    opener.insert(QStringLiteral("KALVOR_OPENER"), platform::DocumentOpener::Command());
    const platform::ConsoleRun run = platform::RunConsoleProgram(arguments, platform::WorkingFolder(), opener);
    if (platform::ConsoleRunSucceeded(run))
        return {PrintCommandResult::Printed, QString()};
    return {PrintCommandResult::Failed, PrintCommandFailure(arguments, run)};
}

platform::TaskOutcome PrintedReportOutcome(const QString& reportPath, const PrintCommandResult& printed)
{
    switch (printed.outcome) {
    case PrintCommandResult::Printed:
        return platform::TaskOutcome(platform::TASK_DONE, 0,
                                     platform::WrittenFileLine(reportPath, QStringLiteral("выполнена команда печати")));
    case PrintCommandResult::Failed:
        return platform::TaskOutcome(platform::TASK_DONE, platform::kDocumentNotShown,
                                     printed.text + QLatin1Char('\n') + platform::WrittenFileLine(reportPath));
    case PrintCommandResult::Declined: break;
    }
    return platform::TaskOutcome(platform::TASK_DONE, 0,
                                 platform::WrittenFileLine(reportPath, QStringLiteral("печать отменена")));
}

PrintFileError::PrintFileError(int kind)
    : std::runtime_error(platform::FileErrorKindText(kind).toStdString()), m_kind(kind)
{}

TransferFileError::TransferFileError(int kind, const QString& path)
    : std::runtime_error(QStringLiteral("%1 %2").arg(platform::FileErrorKindText(kind), path).toStdString())
    , m_kind(kind)
{}

QString TransferFilePath(const PayrollDoc& doc)
{
    const QString name = doc.infoBase.firm.texts[infobase::FirmInfo::file1C].trimmed();
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return name;
    return platform::WithSeparator(platform::WorkingFolder()) + name;
}

void AppendToTransferFile(const QString& reportPath, const PayrollDoc& doc, TransferFileTiming timing)
{
    const QString transferPath = TransferFilePath(doc);
    if (transferPath.isEmpty())
        throw TransferFileError(platform::FILE_ERROR_OPEN, transferPath);
    // No O_CREAT: the 1C side makes the file; a missing one is an error. The
    // file is shared with that program under its lock, so it is appended in
    // place (the one file not written anew through platform::SavedFile), but
    // never through a link at its name.
    platform::FileDescriptor transfer(
        ::open(QFile::encodeName(transferPath).constData(), O_RDWR | O_APPEND | O_CLOEXEC | O_NOFOLLOW));
    if (!transfer.valid())
        throw TransferFileError(platform::FILE_ERROR_OPEN, transferPath);
    platform::FileDescriptor report(::open(QFile::encodeName(reportPath).constData(), O_RDONLY | O_CLOEXEC));
    if (!report.valid())
        throw TransferFileError(platform::FILE_ERROR_OPEN, reportPath);
    if (!LockTransferFile(transfer.get(), timing.lockWaitMs))
        throw TransferFileError(platform::FILE_ERROR_LOCK, transferPath);
    try {
        CopyInBlocks(report.get(), transfer.get(), reportPath, transferPath);
    } catch (...) {
        SetTransferLock(transfer.get(), F_UNLCK);
        throw;
    }
    if (timing.holdMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(timing.holdMs));
    if (!SetTransferLock(transfer.get(), F_UNLCK))
        throw TransferFileError(platform::FILE_ERROR_LOCK, transferPath);
}

QString MonthFormPath(const PayrollDoc& doc, const char* form, int tabN)
{
    return doc.FormWorkFile(QString::fromLatin1(form), doc.infoBase.config.reportingKey(), tabN);
}

QString PaymentDocumentPath(const PayrollDoc& doc, int mode, const char* payment)
{
    static const char* const kinds[kPrintOutputModeCount] = {"Ved", "KO", "KOP", "VedB", "Order1C", "Bank"};
    const char* kind = kinds[mode >= 0 && mode < kPrintOutputModeCount ? std::size_t(mode) : 0];
    return doc.FormWorkFile(QStringLiteral("%1-%2").arg(QLatin1String(payment), QLatin1String(kind)),
                            doc.infoBase.config.reportingKey());
}

platform::TaskOutcome ApplyPrintOutput(int mode, StatementForm form, PayrollDoc& doc, const QString& reportPath,
                                       PrintCommandPrompt& prompt, TransferFileTiming timing, const QString& viewerText)
{
    const bool statement = mode == PaymentStatement || mode == BudgetStatement;
    if (mode == BankCashOrder || (statement && form == StatementForm::Rtf))
        return platform::ViewedDocumentOutcome(RtfOutputPath(reportPath), viewerText);
    if (mode == TransferOrders1C) {
        try {
            AppendToTransferFile(reportPath, doc, timing);
        } catch (const TransferFileError& error) {
            return {platform::TASK_FILE_ERROR, error.kind()};
        }
        return platform::TaskOutcome(
            platform::TASK_DONE, 0,
            platform::WrittenFileLine(
                reportPath, QStringLiteral("дописан в файл %1").arg(QDir::toNativeSeparators(TransferFilePath(doc)))));
    }
    const PrintCommandResult printed = PrintTextFile(doc, reportPath, prompt);
    infobase::SaveConfig(doc.infoBase);
    return PrintedReportOutcome(reportPath, printed);
}

bool IsStatementMode(int mode) { return mode == PaymentStatement || mode == BudgetStatement; }

int SheetOfPayee(int payee, int outputMode)
{
    if (IsStatementMode(outputMode))
        return payee / kStatementSheetLines + 2;
    return payee / kOrdersPerSheet + 1;
}

int CountOnSheets(int numbered, int outputMode, int firstSheet, int lastSheet)
{
    int counted = 0;
    for (int payee = 0; payee < numbered; ++payee) {
        const int sheet = SheetOfPayee(payee, outputMode);
        if (sheet >= firstSheet && (lastSheet == 0 || sheet <= lastSheet))
            ++counted;
    }
    return counted;
}

int CountPayeesOnSheets(const std::vector<double>& amounts, int outputMode, int firstSheet, int lastSheet)
{
    const auto payees = std::count_if(amounts.begin(), amounts.end(), [](double amount) { return amount > 0; });
    return CountOnSheets(int(payees), outputMode, firstSheet, lastSheet);
}

} // namespace kalvor::print
