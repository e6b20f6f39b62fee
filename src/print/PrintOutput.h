#pragma once
// What becomes of a finished text report (a statement, cash orders, a
// register): the parameter block of the statement threads, the payment
// document kinds, the print command and the 1C transfer file.
//
// Text reports are 8-bit windows-1251 files, by default the run's work file
// (KalvorDocData::TypWorkFile). PrintTextFile lets the user confirm or edit
// the print command and runs it on the report; AppendToTransferFile appends
// the report to the file from which the 1C accounting program takes its cash
// orders. ApplyPrintOutput is the one rule by which every statement thread
// hands its report on after writing it.
#include "payroll/PayrollDocument.h"
#include "platform/TaskThread.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

namespace kalvor::print {

// The payment document kinds of the statement views ("Вид платежного
// документа"): what the thread writes and what follows it.
enum PrintOutputMode : int {
    PaymentStatement = 0, // "Платежная ведомость"
    CashOrders = 1, // "Кассовые ордеры"
    SignedCashOrders = 2, // "Ордеры с подписью"
    BudgetStatement = 3, // "Платежная ведомость (бюджет)"
    TransferOrders1C = 4, // "Ордер для 1С"
    BankCashOrder = 5, // "Банковский ордер"
};
inline constexpr int kPrintOutputModeCount = 6;

// An amount per record slot (kopecks) that a writer prints.
using AmountOfSlot = std::function<double(int slot)>;
// The document's own amounts to pay (CInfoBase::zar1) as the pay statement
// thread left them; 0 for a slot the base does not hold.
AmountOfSlot DocumentPayAmounts(const PayrollDoc& doc);

// The name of a mode 0-5 as the views offer it; empty for any other value.
QString PrintOutputModeName(int mode);

// Whether the mode writes a statement (modes 0 and 3) rather than orders.
bool IsStatementMode(int mode);

// Employees of a statement sheet: 25 lines; cash orders: two a sheet.
inline constexpr int kStatementSheetLines = 25;
inline constexpr int kOrdersPerSheet = 2;

// The sheet of the n-th employee with something to pay (from 0): n / 25 + 2
// for a statement (modes 0 and 3; its title is sheet 1), n / 2 + 1 for orders.
int SheetOfPayee(int payee, int outputMode);

// How many of `numbered` employees (numbered from 0 in list order) lie on
// the sheets from first to last (no upper limit for a last sheet of 0).
int CountOnSheets(int numbered, int outputMode, int firstSheet, int lastSheet);

// How many of the amounts above 0 (in list order) lie on the sheets from
// first to last (no upper limit for a last sheet of 0).
int CountPayeesOnSheets(const std::vector<double>& amounts, int outputMode, int firstSheet, int lastSheet);

// The work file of a form or report of the base's reporting month, named
// after it (KalvorDocData::FormWorkFile): "<base>-Svod-2011-09.typ"; a form of
// one employee carries his personnel number ("<base>-LS-2011-09-110.typ").
QString MonthFormPath(const PayrollDoc& doc, const char* form, int tabN = 0);
// The work file of a payment document of the reporting month: what is paid
// ("Avans", "Bol" ...) and the document kind of the mode ("<base>-Avans-KO-
// 2011-09.typ", the bank orders' RTF document "<base>-Avans-Bank-2011-09.rtf"),
// so that no document overwrites another.
QString PaymentDocumentPath(const PayrollDoc& doc, int mode, const char* payment);

// The parameter block that the print views hand to the writers, in order.
// Each writer says which fields it reads.
struct StatementPrintParams {
    std::uint8_t outputMode = PaymentStatement; // PrintOutputMode
    std::uint8_t shop = 0; // 0 = all shops
    std::int8_t brigade = 0; // 0 = all brigades
    std::int16_t profession = 0; // 0 = all professions
    std::int16_t firstPage = 0; // 0 or 1: from the title page
    std::int16_t lastPage = 0; // 0: to the end
    std::uint16_t personnelNumber = 0; // 0: all employees
    std::uint8_t variant = 0; // text statements: the cut line between pages
    std::uint16_t payKind = 0; // bonus statement: 0 = all kinds
};

// The user's confirmation of the print command. PrintTextFile asks it with
// the report's path and the command it proposes; the answer is the command to
// run (possibly edited), or nothing when the user declined. The user-interface
// library provides the dialog; tests pass a recorder.
class PrintCommandPrompt {
public:
    virtual ~PrintCommandPrompt() = default;
    virtual std::optional<QString> ConfirmCommand(const QString& reportPath, const QString& command) = 0;
};

// Longest print command kept in the base settings (120 with the terminator).
inline constexpr int kPrintCommandMaxLength = 119;

// The default print script: "e.sh" of the working folder, by absolute path.
QString DefaultPrintScript();

// The print command that a base stored before the program shipped its own
// script. It names no program that exists, so it is read as no command at
// all: the default is offered in its place (the stored text changes only
// when the user confirms a command).
inline constexpr const char* kFormerDefaultPrintCommand = "kalvor-print %s";

// The default print command: the default script, then "%s" for the report.
QString DefaultPrintCommand();

// The command offered for the stored one: the stored command, or the default
// when none is stored (empty or the former default).
QString OfferedPrintCommand(const QString& stored);

// The program and arguments of a print command for the report: the command
// is split by platform::SplitCommandLine (blanks between arguments, double
// quotes around an argument with blanks, a quote inside as three quotes, ""
// an empty argument);
// then "%s" in any argument stands for the report's path, which is never
// split again; a command without "%s" gets the path as its last argument.
// Empty for a command without a program.
QStringList PrintCommandArguments(const QString& command, const QString& reportPath);

// How a print command run ended.
struct PrintCommandResult {
    enum Outcome { Declined, Printed, Failed };
    Outcome outcome = Declined;
    // Failed: the message (what failed, the command as run and the first
    // lines of its output).
    QString text;
};

// Offers the stored print command (OfferedPrintCommand) through the prompt.
// On confirmation the command is stored in the base settings (in memory; the
// caller saves them), the report is converted in place to cp866 and the
// command is run without a command interpreter (PrintCommandArguments); its
// output goes to "console.log", and the command finds the document opener's
// command in the environment variable KALVOR_OPENER. An exit code other than
// 0, a command that cannot start, and one ended by the stop event of the
// calling worker (a stop, the view's or the program's closing) are Failed
// with their message. Declined, nothing happens at all.
PrintCommandResult PrintTextFile(PayrollDoc& doc, const QString& reportPath, PrintCommandPrompt& prompt);

// The end of a run that wrote the text report and ran the print command on
// it: the written file's line saying how the print command ended; a failed
// command's message (in a box too, kDocumentNotShown) with the file's line.
platform::TaskOutcome PrintedReportOutcome(const QString& reportPath, const PrintCommandResult& printed);

// A failure of the 1C transfer file; kind() is a platform::FileErrorKind.
class TransferFileError : public std::runtime_error {
public:
    TransferFileError(int kind, const QString& path);
    int kind() const { return m_kind; }

private:
    int m_kind;
};

// A file failure inside a writer (the swap work file, a print file) that
// ends its run; kind() is a platform::FileErrorKind, and the text is that
// kind's message ("Ошибка чтения файла" ...). The thread reports it as
// TASK_FILE_ERROR with the kind.
class PrintFileError : public std::runtime_error {
public:
    explicit PrintFileError(int kind);
    int kind() const { return m_kind; }

private:
    int m_kind;
};

// How long AppendToTransferFile waits for the lock of the transfer file and
// how long it keeps it after the copy (so that the 1C side sees a settled file).
struct TransferFileTiming {
    int lockWaitMs = 10'000;
    int holdMs = 3'000;
};

// The transfer file of the firm record (file1C); a bare name lies in the
// working folder. Empty when none is set.
QString TransferFilePath(const PayrollDoc& doc);

// Appends the report to the transfer file under a lock of its first 100
// bytes. The transfer file must exist already. Throws TransferFileError:
// FILE_ERROR_OPEN (either file cannot be opened), FILE_ERROR_LOCK (the lock
// cannot be had within the wait, or released), FILE_ERROR_WRITE (short write),
// FILE_ERROR_READ (the report cannot be read).
// The lock is advisory: it holds only against programs that ask for it.
void AppendToTransferFile(const QString& reportPath, const PayrollDoc& doc, TransferFileTiming timing = {});

// What modes 0 and 3 of a statement thread produced: the RTF pay statement,
// already open in the viewer, or a text statement in the work file.
enum class StatementForm { Rtf, Text };

// What a statement thread does after its writer has written the report:
// modes 1, 2 and above 5 (cash orders) print the report (PrintTextFile) and
// save the base settings, so that an edited command is kept; mode 4 appends
// it to the transfer file; mode 5 (an RTF form) does nothing more, nor do
// modes 0 and 3 for the RTF statement, while a text statement of modes 0 and
// 3 is printed like the cash orders. The outcome is the thread's result:
// TASK_DONE with the line naming the file written and how it was handed on
// (an RTF form: its viewer, from viewerText, the writer's text of a viewer
// that did not start), or TASK_FILE_ERROR with the transfer file's
// FileErrorKind.
platform::TaskOutcome ApplyPrintOutput(int mode, StatementForm form, PayrollDoc& doc, const QString& reportPath,
                                       PrintCommandPrompt& prompt, TransferFileTiming timing = {},
                                       const QString& viewerText = QString());

} // namespace kalvor::print
