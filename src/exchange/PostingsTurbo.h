#pragma once
// The postings of the month for the accounting program Турбо-бухгалтер: the
// summary's record file "<base>.fin" (35-byte records of account,
// sub-account, analytics, pay kind and amount) converted into three text
// files beside the base (windows-1251, CR LF): the analytics codes ("sig"),
// the chart of accounts ("lis") and the journal of postings ("jur"). Each
// posting is one record, or, unless the settings join accruals, the sum of
// the consecutive records of one analytics, account, sub-account and sign.
#include "payroll/PayrollDocument.h"

#include <QByteArray>
#include <QDate>
#include <QString>

namespace kalvor::exchange {

inline constexpr int kTurboRecordSize = 35;

// What the export asks of the user: the question before it and the closing
// message. The thread's messenger or a test's recorder.
class PostingsConversation {
public:
    virtual ~PostingsConversation() = default;
    // A question with Да and Нет (question icon); true for Да.
    virtual bool Ask(const QString& question) = 0;
    // A message without an icon.
    virtual void Tell(const QString& message) = 0;
};

// The three files of a conversion.
struct TurboFiles {
    QByteArray analytics; // "sig"
    QByteArray chart; // "lis"
    QByteArray journal; // "jur"
};

// The base's report path (FormatBaseFileName) without its extension, and a
// file beside it: "<base>.<extension>".
QString TurboBasePath(const PayrollDoc& doc);
QString TurboFilePath(const PayrollDoc& doc, const QString& extension);

// The conversion of the summary's records (file order, a short tail left
// out) dated `today`, with the separator and the joining of the firm's
// settings, the pay kinds' names and the base path of the document.
TurboFiles ConvertSummaryToTurbo(const QByteArray& records, const PayrollDoc& doc, const QDate& today);

// Asks "Коммутация с Турбо-бухгалтером ?"; on Да converts "<base>.fin" into
// the three files (each under a temporary name, renamed when all are
// written), says "Порядок!" and saves the firm record. Returns 0. Throws
// TextError "Ошибка при открытии файла <path>" when the record file cannot be
// read, and "Ошибка записи в файл <path>" with why when a file cannot be made
// or written; the files then stay as they were.
int ExportPostingsTurbo(PayrollDoc& doc, PostingsConversation& owner);

} // namespace kalvor::exchange
