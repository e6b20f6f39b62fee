// The print command and the 1C transfer file: the stored command, the cp866
// report, the console log; appending under the lock of the first 100 bytes.
#include "print/PrintOutput.h"
#include "platform/CodePage.h"
#include "platform/WorkingFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kalvor;
using namespace kalvor::print;

namespace {

QByteArray cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }

// Records what it was offered and answers with a preset command, or declines.
struct RecordingPrompt : PrintCommandPrompt {
    std::optional<QString> ConfirmCommand(const QString& reportPath, const QString& command) override
    {
        offeredPaths << reportPath;
        offered << command;
        return answer;
    }
    QStringList offeredPaths, offered;
    std::optional<QString> answer;
};

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class PrintOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        platform::SetWorkingFolder(folder);
        report = folder + QStringLiteral("zavod.typ");
        ASSERT_TRUE(WriteFile(report, reportText));
    }
    void TearDown() override { platform::SetWorkingFolder(QString()); }

    QTemporaryDir dir;
    QString folder, report;
    const QByteArray reportText = cp("ПЛАТЕЖНАЯ ВЕДОМОСТЬ\r\n    1|   101 | Алексеев А.Д.\r\n");
    PayrollDoc doc;
};

} // namespace

TEST_F(PrintOutput, TheConfirmedCommandIsStoredAndRunOnTheCp866Report)
{
    RecordingPrompt prompt;
    const QString copy = folder + QStringLiteral("printed.txt");
    prompt.answer = QStringLiteral("cp %1 %2; echo printed").arg(report, copy);
    PrintTextFile(doc, report, prompt);

    // First print on a new base: the default script by absolute path, a blank, the report.
    ASSERT_EQ(prompt.offered.size(), 1);
    EXPECT_EQ(prompt.offered[0], QDir(folder).absoluteFilePath(QStringLiteral("e.sh")) + QLatin1Char(' ') + report);
    EXPECT_EQ(prompt.offeredPaths[0], report);
    EXPECT_EQ(doc.infoBase.config.dosStr, *prompt.answer);
    // The command saw the report in cp866; the report stays converted.
    const QByteArray oem = codepage::cp1251ToCp866(reportText);
    EXPECT_EQ(ReadFile(copy), oem);
    EXPECT_EQ(ReadFile(report), oem);
    EXPECT_EQ(ReadFile(folder + QStringLiteral("console.log")), "printed\n");
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("81A7F0C4.tmp")));

    // Next time the stored command is offered as it stands.
    prompt.answer = QStringLiteral("true");
    PrintTextFile(doc, report, prompt);
    EXPECT_EQ(prompt.offered[1], QStringLiteral("cp %1 %2; echo printed").arg(report, copy));
    // A longer command is kept to 119 characters.
    prompt.answer = QStringLiteral("true ") + QString(200, QLatin1Char('x'));
    PrintTextFile(doc, report, prompt);
    EXPECT_EQ(doc.infoBase.config.dosStr.size(), 119);
}

TEST_F(PrintOutput, CancelLeavesTheReportAndRunsNothing)
{
    RecordingPrompt prompt;
    doc.infoBase.config.dosStr = QStringLiteral("echo stored");
    PrintTextFile(doc, report, prompt);
    ASSERT_EQ(prompt.offered.size(), 1);
    EXPECT_EQ(prompt.offered[0], QStringLiteral("echo stored"));
    EXPECT_EQ(doc.infoBase.config.dosStr, QStringLiteral("echo stored"));
    EXPECT_EQ(ReadFile(report), reportText);
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("console.log")));
}

TEST_F(PrintOutput, TransferFileIsAppendedRunAfterRun)
{
    doc.infoBase.firm.texts[infobase::FirmInfo::file1C] = QStringLiteral("kassa1c.txt");
    const QString transfer = folder + QStringLiteral("kassa1c.txt");
    EXPECT_EQ(TransferFilePath(doc), transfer);
    // A missing transfer file is not made: an open error.
    try {
        AppendToTransferFile(report, doc, {0, 0});
        ADD_FAILURE() << "no error";
    } catch (const TransferFileError& error) {
        EXPECT_EQ(error.kind(), platform::FILE_ERROR_OPEN);
    }
    EXPECT_FALSE(QFile::exists(transfer));

    // A report longer than one block of 100 bytes, appended twice.
    QByteArray records;
    for (int i = 0; i < 7; ++i)
        records += cp("0,\"70 \",\"1  \",\"03.05.11\",101,\"Алексеев А.Д.\",\"Межрасчетные выплаты\",1000.50\r\n");
    ASSERT_TRUE(WriteFile(report, records));
    ASSERT_TRUE(WriteFile(transfer, "earlier\r\n"));
    AppendToTransferFile(report, doc, {0, 0});
    AppendToTransferFile(report, doc, {0, 0});
    EXPECT_EQ(ReadFile(transfer), "earlier\r\n" + records + records);

    // A missing report is an open error too, and the transfer file is kept.
    RecordingPrompt prompt;
    const platform::TaskOutcome outcome = ApplyPrintOutput(TransferOrders1C, StatementForm::Text, doc,
                                                           folder + QStringLiteral("none.typ"), prompt, {0, 0});
    EXPECT_EQ(outcome.result, platform::TASK_FILE_ERROR);
    EXPECT_EQ(outcome.detail, platform::FILE_ERROR_OPEN);
    EXPECT_EQ(ReadFile(transfer).size(), 9 + 2 * records.size());
}

TEST_F(PrintOutput, TransferFileLockedByAnotherProcessGivesTheLockError)
{
    doc.infoBase.firm.texts[infobase::FirmInfo::file1C] = QStringLiteral("kassa1c.txt");
    const QString transfer = folder + QStringLiteral("kassa1c.txt");
    ASSERT_TRUE(WriteFile(transfer, QByteArray()));
    const QByteArray transferName = QFile::encodeName(transfer);

    // The child locks the first 100 bytes as the 1C side would, says so
    // through the pipe and waits to be killed.
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = ::open(transferName.constData(), O_RDWR);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_len = 100;
        const char ok = fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0 ? '1' : '0';
        (void)!::write(pipeEnds[1], &ok, 1);
        for (;;) ::pause();
    }
    char locked = 0;
    ASSERT_EQ(::read(pipeEnds[0], &locked, 1), 1);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);

    RecordingPrompt prompt;
    const platform::TaskOutcome outcome =
        ApplyPrintOutput(TransferOrders1C, StatementForm::Text, doc, report, prompt, {300, 0});
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_EQ(locked, '1');
    EXPECT_EQ(outcome.result, platform::TASK_FILE_ERROR);
    EXPECT_EQ(outcome.detail, platform::FILE_ERROR_LOCK);
    EXPECT_EQ(ReadFile(transfer), QByteArray());

    // With the lock gone the same run appends.
    EXPECT_EQ(ApplyPrintOutput(TransferOrders1C, StatementForm::Text, doc, report, prompt, {300, 0}).result,
              platform::TASK_DONE);
    EXPECT_EQ(ReadFile(transfer), reportText);
    EXPECT_TRUE(prompt.offered.isEmpty());
}

TEST_F(PrintOutput, RtfFormsNeedNothingMore)
{
    RecordingPrompt prompt;
    for (int mode : {PaymentStatement, BudgetStatement, BankCashOrder})
        EXPECT_EQ(ApplyPrintOutput(mode, StatementForm::Rtf, doc, report, prompt).result, platform::TASK_DONE);
    EXPECT_TRUE(prompt.offered.isEmpty());
    EXPECT_EQ(ReadFile(report), reportText);
}
