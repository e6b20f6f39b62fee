#pragma once
// The program's message tables and error types (string exception, database
// error).
//
// A negative result -k of the calculation engine, a report builder or an
// exchange writer selects message k (1-based) of its table. The exchange
// table's first 42 messages are the report generator's messages.
#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <exception>

namespace kalvor {

// The calculation engine's 42 messages (UTF-8 literals).
extern const std::array<const char*, 42> CalcErrorTexts;
// The exchange functions' 67 messages (UTF-8 literals).
extern const std::array<const char*, 67> ExchangeErrorTexts;
// The report generator's 42 messages: messages 1-42 of ExchangeErrorTexts.
extern const std::array<const char*, 42> ReportErrorTexts;

// Message of code -k (or k) of each table; an empty string outside the table.
QString CalcErrorText(int code);
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

// A database error: code (shown as 8 hex digits), message, description and
// source, as the base layer reports it.
class DbError : public std::exception {
public:
    DbError(std::uint32_t code, QString message, QString description, QString source);
    std::uint32_t code() const { return code_; }
    const QString& message() const { return message_; }
    const QString& description() const { return description_; }
    const QString& source() const { return source_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    std::uint32_t code_;
    QString message_, description_, source_;
    QByteArray utf8_;
};
// The text of the database error box: "ОБНАРУЖЕНА ОШИБКА:\nError       : %08lX\n
// ErrorMessage: %s\nDescription : %s\nSource      : %s\n".
QString ComErrorText(const DbError& error);

// The worker results (TaskResult), the kinds of file failure (FileErrorKind)
// and their texts (FileErrorKindText) are the task-thread protocol's:
// platform/TaskThread.h.

} // namespace kalvor
