// The print command and the 1C transfer file: the stored command, the cp866
// report, the console log; appending under the lock of the first 100 bytes.
#include "print/PrintOutput.h"
#include "platform/CodePage.h"
#include "platform/TaskThread.h"
#include "platform/WorkingFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

using namespace kalvor;
using namespace kalvor::print;

namespace {

QByteArray cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }

// Records what it was offered and answers with a preset command (or the one
// offered, when accepting), or declines.
struct RecordingPrompt : PrintCommandPrompt {
    std::optional<QString> ConfirmCommand(const QString& reportPath, const QString& command) override
    {
        offeredPaths << reportPath;
        offered << command;
        return accept ? std::optional<QString>(command) : answer;
    }
    QStringList offeredPaths, offered;
    std::optional<QString> answer;
    bool accept = false;
};

// A stand-in print script: its arguments one a line into "args.txt" beside
// it, a copy of the first into "printed.txt", and "printed" on its output.
bool WriteRecorder(const QString& path)
{
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        return false;
    script.write("#!/bin/sh\n"
                 "here=$(dirname \"$0\")\n"
                 "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$here/args.txt\"\n"
                 "cp \"$1\" \"$here/printed.txt\"\n"
                 "echo printed\n");
    return script.setPermissions(script.permissions() | QFile::ExeOwner);
}

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

// Whether a process that this one started runs with that word in its
// command line.
bool ChildRuns(const QByteArray& word)
{
    const QByteArray self = QByteArray::number(::getpid());
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QByteArray stat = ReadFile(QStringLiteral("/proc/%1/stat").arg(pid));
        // "pid (name) state parent ..."
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1] == self &&
            ReadFile(QStringLiteral("/proc/%1/cmdline").arg(pid)).contains(word))
            return true;
    }
    return false;
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
    static constexpr const char* kReportWords = "ПЛАТЕЖНАЯ ВЕДОМОСТЬ\r\n    1|   101 | Алексеев А.Д.\r\n";
    const QByteArray reportText = cp(kReportWords);
    // The report as the print command gets it, in cp866.
    const QByteArray reportOem = codepage::toCp866(QString::fromUtf8(kReportWords));
    PayrollDoc doc;
};

} // namespace

TEST_F(PrintOutput, TheConfirmedCommandIsStoredAndRunOnTheCp866Report)
{
    ASSERT_TRUE(WriteRecorder(folder + QStringLiteral("record.sh")));
    RecordingPrompt prompt;
    prompt.answer = QStringLiteral("%1record.sh %s").arg(folder);
    EXPECT_EQ(PrintTextFile(doc, report, prompt).outcome, PrintCommandResult::Printed);

    // First print on a new base: the default script by absolute path, then "%s".
    ASSERT_EQ(prompt.offered.size(), 1);
    EXPECT_EQ(prompt.offered[0], QDir(folder).absoluteFilePath(QStringLiteral("e.sh")) + QStringLiteral(" %s"));
    EXPECT_EQ(prompt.offeredPaths[0], report);
    EXPECT_EQ(doc.infoBase.config.dosStr, *prompt.answer);
    // The command got the report's path and saw the report in cp866; the
    // report stays converted.
    EXPECT_EQ(ReadFile(folder + QStringLiteral("args.txt")), QFile::encodeName(report) + '\n');
    EXPECT_EQ(ReadFile(folder + QStringLiteral("printed.txt")), reportOem);
    EXPECT_EQ(ReadFile(report), reportOem);
    EXPECT_EQ(ReadFile(folder + QStringLiteral("console.log")), "printed\n");
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("81A7F0C4.tmp")));

    // Next time the stored command is offered as it stands.
    prompt.answer = QStringLiteral("true");
    PrintTextFile(doc, report, prompt);
    EXPECT_EQ(prompt.offered[1], QStringLiteral("%1record.sh %s").arg(folder));
    // A longer command is kept to 119 characters.
    prompt.answer = QStringLiteral("true ") + QString(200, QLatin1Char('x'));
    PrintTextFile(doc, report, prompt);
    EXPECT_EQ(doc.infoBase.config.dosStr.size(), 119);
}

// The former built-in command of new bases offers the script of the working
// folder; a working folder and a report whose names hold blanks and quotes
// reach it whole, with or without "%s".
TEST_F(PrintOutput, TheFormerDefaultOffersTheScriptAndPathsWithBlanksAndQuotesPassWhole)
{
    const QString odd = folder + QStringLiteral("моя \"папка\" it's/");
    ASSERT_TRUE(QDir().mkpath(odd));
    platform::SetWorkingFolder(odd);
    ASSERT_TRUE(WriteRecorder(odd + QStringLiteral("e.sh")));
    const QString oddReport = odd + QStringLiteral("отчет \"1\" it's.typ");
    ASSERT_TRUE(WriteFile(oddReport, reportText));
    doc.infoBase.config.dosStr = QStringLiteral("kalvor-print %s");

    RecordingPrompt prompt;
    prompt.accept = true;
    EXPECT_EQ(PrintTextFile(doc, oddReport, prompt).outcome, PrintCommandResult::Printed);
    ASSERT_EQ(prompt.offered.size(), 1);
    EXPECT_EQ(
        prompt.offered[0],
        QStringLiteral("\"%1e.sh\" %s").arg(QString(odd).replace(QStringLiteral("\""), QStringLiteral("\"\"\""))));
    EXPECT_EQ(ReadFile(odd + QStringLiteral("args.txt")), QFile::encodeName(oddReport) + '\n');
    EXPECT_EQ(ReadFile(odd + QStringLiteral("printed.txt")), reportOem);

    // Without "%s" the path is the last argument; "%s" inside an argument is
    // replaced there.
    EXPECT_EQ(PrintCommandArguments(QStringLiteral("lp -o cpi=12"), oddReport),
              (QStringList{QStringLiteral("lp"), QStringLiteral("-o"), QStringLiteral("cpi=12"), oddReport}));
    EXPECT_EQ(PrintCommandArguments(QStringLiteral("\"my viewer\" --file=%s -"), oddReport),
              (QStringList{QStringLiteral("my viewer"), QStringLiteral("--file=") + oddReport, QStringLiteral("-")}));
    EXPECT_TRUE(PrintCommandArguments(QStringLiteral("  "), oddReport).isEmpty());
    // An argument written as "" stays, empty; three quotes inside quotes are one.
    EXPECT_EQ(PrintCommandArguments(QStringLiteral("lp -t \"\" -o \"a \"\"\"b\"\"\"\" %s \"\""), oddReport),
              (QStringList{QStringLiteral("lp"), QStringLiteral("-t"), QString(), QStringLiteral("-o"),
                           QStringLiteral("a \"b\""), oddReport, QString()}));
}

// A console log the program cannot write (a folder of that name, another
// user's file) leaves a good print good; a link at its name is replaced by
// the log, and the file it pointed to stays as it was.
TEST_F(PrintOutput, AConsoleLogThatCannotBeWrittenLeavesAGoodPrintGood)
{
    const QString log = folder + QStringLiteral("console.log");
    RecordingPrompt prompt;
    prompt.answer = QStringLiteral("echo printed");
    ASSERT_TRUE(QDir().mkdir(log));
    EXPECT_EQ(PrintTextFile(doc, report, prompt).outcome, PrintCommandResult::Printed);
    ASSERT_TRUE(QDir().rmdir(log));
    ASSERT_TRUE(WriteFile(log, "not yours\n"));
    ASSERT_EQ(::chown(QFile::encodeName(log).constData(), 65534, 65534), 0);
    EXPECT_EQ(PrintTextFile(doc, report, prompt).outcome, PrintCommandResult::Printed);
    EXPECT_EQ(ReadFile(log), "not yours\n");

    ASSERT_TRUE(QFile::remove(log));
    const QString elsewhere = folder + QStringLiteral("elsewhere.txt");
    ASSERT_TRUE(WriteFile(elsewhere, "kept\n"));
    ASSERT_TRUE(QFile::link(elsewhere, log));
    EXPECT_EQ(PrintTextFile(doc, report, prompt).outcome, PrintCommandResult::Printed);
    EXPECT_EQ(ReadFile(elsewhere), "kept\n");
    EXPECT_FALSE(QFileInfo(log).isSymLink());
    EXPECT_EQ(ReadFile(log), "printed " + QFile::encodeName(report) + '\n');
}

// A command that fails or cannot start is said with the command as run and
// the first lines of its output; the run's line names the report all the same.
TEST_F(PrintOutput, AFailingCommandIsSaidWithItsTextAndOutput)
{
    RecordingPrompt prompt;
    prompt.answer = QStringLiteral("sh -c \"echo нет принтера >&2; exit 3\"");
    const PrintCommandResult failed = PrintTextFile(doc, report, prompt);
    EXPECT_EQ(failed.outcome, PrintCommandResult::Failed);
    const QString said = QStringLiteral("Команда печати завершилась с кодом 3:\n"
                                        "sh -c \"echo нет принтера >&2; exit 3\" %1\n"
                                        "нет принтера")
                             .arg(report);
    EXPECT_EQ(failed.text, said);
    const platform::TaskOutcome outcome = PrintedReportOutcome(report, failed);
    EXPECT_EQ(outcome.result, platform::TASK_DONE);
    EXPECT_EQ(outcome.detail, platform::kDocumentNotShown);
    EXPECT_EQ(outcome.message, said + QStringLiteral("\nЗаписан файл ") + report);

    prompt.answer = QStringLiteral("kalvor-no-such-printer %s");
    EXPECT_EQ(PrintTextFile(doc, report, prompt).text,
              QStringLiteral("Не удалось запустить команду печати:\nkalvor-no-such-printer %1").arg(report));

    prompt.answer = QStringLiteral("true");
    EXPECT_EQ(PrintedReportOutcome(report, PrintTextFile(doc, report, prompt)).message,
              QStringLiteral("Записан файл %1, выполнена команда печати").arg(report));
    prompt.answer.reset();
    EXPECT_EQ(PrintedReportOutcome(report, PrintTextFile(doc, report, prompt)).message,
              QStringLiteral("Записан файл %1, печать отменена").arg(report));
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
    const QString line = QStringLiteral("Записан файл %1zavod.rtf, открыт в программе просмотра").arg(folder);
    for (int mode : {PaymentStatement, BudgetStatement, BankCashOrder}) {
        const platform::TaskOutcome outcome = ApplyPrintOutput(mode, StatementForm::Rtf, doc, report, prompt);
        EXPECT_EQ(outcome.result, platform::TASK_DONE);
        EXPECT_EQ(outcome.message, line);
    }
    EXPECT_TRUE(prompt.offered.isEmpty());
    EXPECT_EQ(ReadFile(report), reportText);
}

// A print command that never ends (a viewer kept in the foreground, a spooler
// that is gone) is ended by its worker's stop, which the view's and the
// program's closing set, within a slice; the run says it was stopped.
TEST_F(PrintOutput, APrintCommandStoppedByItsWorkerIsSaidAsStopped)
{
    RecordingPrompt prompt;
    prompt.answer = QStringLiteral("sh -c \"sleep 60\" %s");
    PrintCommandResult result;
    bool ended = false;
    auto task = std::make_unique<platform::TaskThread>();
    ASSERT_TRUE(task->start([&](platform::TaskContext&) {
        result = PrintTextFile(doc, report, prompt);
        ended = true;
        return platform::TaskOutcome();
    }));
    ASSERT_TRUE(QTest::qWaitFor([] { return ChildRuns("sleep"); }, 60000)); // the command runs
    QElapsedTimer closing;
    closing.start();
    task.reset(); // the view goes with the program: its worker is stopped and waited for
    EXPECT_LT(closing.elapsed(), 10000);
    ASSERT_TRUE(ended);
    EXPECT_EQ(result.outcome, PrintCommandResult::Failed);
    EXPECT_EQ(result.text, QStringLiteral("Команда печати остановлена:\nsh -c \"sleep 60\" ") + report);
    EXPECT_EQ(ReadFile(folder + QStringLiteral("console.log")), QStringLiteral("sh: остановлена\n").toUtf8());
}
