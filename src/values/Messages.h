#pragma once
// The program's message tables, the string exception and the text of the
// database error box.
//
// A negative result -k of a report builder or an exchange writer selects
// message k (1-based) of its table. The exchange table's first 42 messages are
// the report generator's messages. The calculation engine's table sits with its
// error codes in payroll/CalcErrors.h.
#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <exception>

namespace kalvor {

namespace db {
class DbError;
}

// The exchange functions' 67 messages (UTF-8 literals).
extern const std::array<const char*, 67> ExchangeErrorTexts;
// The report generator's 42 messages: messages 1-42 of ExchangeErrorTexts.
extern const std::array<const char*, 42> ReportErrorTexts;

// Message of code -k (or k) of each table; an empty string outside the table.
QString ExchangeErrorText(int code);
QString ReportErrorText(int code);

// Texts of the string exceptions.
inline constexpr const char* kMsgAllocFailed = "Ошибка при выделении памяти";
inline constexpr const char* kMsgOpenFailed = "Ошибка при открытии файла";
inline constexpr const char* kMsgReadFailed = "Ошибка чтения файла";
inline constexpr const char* kMsgWriteFailed = "Ошибка записи в файл";
inline constexpr const char* kMsgInterrupted = "Операция прервана";

// A string exception: a message shown to the user as it stands.
class TextError : public std::exception {
public:
    explicit TextError(QString message);
    explicit TextError(const char* utf8Message);
    const QString& message() const { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};
// "%s %s" of a message and a path ("Ошибка при открытии файла /x/swap").
TextError TextErrorWithPath(const char* utf8Message, const QString& path);

// The text of the database error box for an error of the database layer
// (db::DbError, platform/Db.h): "ОБНАРУЖЕНА ОШИБКА:\nError       : %08lX\n
// ErrorMessage: %s\nDescription : %s\nSource      : %s\n".
QString ComErrorText(const db::DbError& error);
// A refusal of the base in a few lines, under 400 characters: the header of
// the database error box, what the caller was doing when it names it (the
// employee's card, the book, the month's change), what was refused when the
// code that met the refusal named it (the employee, the table's content:
// DbError::refused; else, when neither is named, that the changes were not
// saved) and the engine's or server's own line (a trigger's text,
// db::EngineWords), never the statement.
QString RefusalText(const db::DbError& error, const QString& what = QString());
// The text of the database error box for any error: RefusalText for a
// refusal (db::IsRefusal), ComErrorText for the others.
QString DbErrorText(const db::DbError& error, const QString& what = QString());

// The worker results (TaskResult), the kinds of file failure (FileErrorKind)
// and their texts (FileErrorKindText) are the task-thread protocol's:
// platform/TaskThread.h.

} // namespace kalvor
