#include "print/PrintOutput.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Console.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "values/Text8.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace kalvor::print {

namespace {

constexpr int kTransferLockLength = 100;
constexpr int kTransferBlockSize = 100;
constexpr int kLockRetryMs = 100;

// An open file descriptor closed when the holder goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

private:
    int m_fd;
};

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

} // namespace

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

void PrintTextFile(PayrollDoc& doc, const QString& reportPath, PrintCommandPrompt& prompt)
{
    QString& storedCommand = doc.infoBase.config.dosStr;
    const QString offered =
        storedCommand.isEmpty() ? QStringLiteral("%1 %2").arg(DefaultPrintScript(), reportPath) : storedCommand;
    const std::optional<QString> confirmed = prompt.ConfirmCommand(reportPath, offered);
    if (!confirmed)
        return;
    storedCommand = confirmed->left(kPrintCommandMaxLength);
    // A report that cannot be converted is printed as it stands; the command's
    // own output (in "console.log") tells what went wrong.
    ConvertTextFileToOem(reportPath);
    qputenv("KALVOR_OPENER", platform::DocumentOpener::Command().toLocal8Bit());
    platform::RunConsoleCommand(storedCommand);
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
    // No O_CREAT: the 1C side makes the file; a missing one is an error.
    FileDescriptor transfer(::open(QFile::encodeName(transferPath).constData(), O_RDWR | O_APPEND | O_CLOEXEC));
    if (!transfer.valid())
        throw TransferFileError(platform::FILE_ERROR_OPEN, transferPath);
    FileDescriptor report(::open(QFile::encodeName(reportPath).constData(), O_RDONLY | O_CLOEXEC));
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

platform::TaskOutcome ApplyPrintOutput(int mode, StatementForm form, PayrollDoc& doc, const QString& reportPath,
                                       PrintCommandPrompt& prompt, TransferFileTiming timing)
{
    const bool statement = mode == PaymentStatement || mode == BudgetStatement;
    if (mode == BankCashOrder || (statement && form == StatementForm::Rtf))
        return platform::TASK_DONE;
    if (mode == TransferOrders1C) {
        try {
            AppendToTransferFile(reportPath, doc, timing);
        } catch (const TransferFileError& error) {
            return {platform::TASK_FILE_ERROR, error.kind()};
        }
        return platform::TASK_DONE;
    }
    PrintTextFile(doc, reportPath, prompt);
    infobase::SaveConfig(doc.infoBase);
    return platform::TASK_DONE;
}

} // namespace kalvor::print
