#include "values/Messages.h"

#include "platform/Db.h"

#include <QStringList>

#include <algorithm>
#include <array>

namespace kalvor {

namespace {

template <std::size_t N>
constexpr std::array<const char*, N> firstOf(const std::array<const char*, 67>& all)
{
    std::array<const char*, N> a{};
    for (std::size_t i = 0; i < N; ++i) a[i] = all[i];
    return a;
}

template <std::size_t N>
QString textOf(const std::array<const char*, N>& table, int code)
{
    const int k = code < 0 ? -code : code;
    if (k < 1 || k > static_cast<int>(N))
        return QString();
    return QString::fromUtf8(table[static_cast<std::size_t>(k - 1)]);
}

QByteArray utf8Of(const QString& s) { return s.toUtf8(); }

} // namespace

constexpr std::array<const char*, 42> ReportErrorTexts = firstOf<42>(ExchangeErrorTexts);

QString ExchangeErrorText(int code) { return textOf(ExchangeErrorTexts, code); }
QString ReportErrorText(int code) { return textOf(ReportErrorTexts, code); }

TextError::TextError(QString message) : message_(std::move(message)), utf8_(utf8Of(message_)) {}

TextError::TextError(const char* utf8Message) : TextError(QString::fromUtf8(utf8Message)) {}

TextError TextErrorWithPath(const char* utf8Message, const QString& path)
{
    return TextError(QString::fromUtf8(utf8Message) + QLatin1Char(' ') + path);
}

QString ComErrorText(const db::DbError& error)
{
    return QStringLiteral(
               "ОБНАРУЖЕНА ОШИБКА:\nError       : %1\nErrorMessage: %2\nDescription : %3\nSource      : %4\n")
        .arg(QStringLiteral("%1").arg(error.code(), 8, 16, QLatin1Char('0')).toUpper(), error.message(),
             error.description(), error.source());
}

QString RefusalText(const db::DbError& error, const QString& what)
{
    // Each part cut so that the whole stays a few lines under 400 characters.
    constexpr int kWhatMost = 110, kRefusedMost = 90, kWordsMost = 140;
    const auto cut = [](const QString& text, int most) {
        const QString line = text.simplified();
        return line.size() > most ? line.left(most - 1) + QChar(0x2026) : line;
    };
    QStringList lines{QStringLiteral("ОБНАРУЖЕНА ОШИБКА:")};
    if (!what.isEmpty())
        lines << cut(what, kWhatMost);
    if (!error.refused().isEmpty())
        lines << cut(error.refused(), kRefusedMost);
    if (lines.size() == 1)
        lines << QStringLiteral("Изменения не сохранены.");
    lines << QStringLiteral("База данных отказала в записи: ") + cut(db::EngineWords(error), kWordsMost);
    return lines.join(QLatin1Char('\n'));
}

namespace {

// An error said in Russian alone, without the codes: the header, what the
// caller was doing (when given), the error's message, and the detail (when
// given).
QString RussianAloneText(const db::DbError& error, const QString& what, const QString& detail)
{
    QStringList lines{QStringLiteral("ОБНАРУЖЕНА ОШИБКА:")};
    if (!what.isEmpty())
        lines << what.simplified();
    lines << error.message();
    if (!detail.isEmpty())
        lines << detail;
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QString SaveFailedWhat(const db::DbError& error, const QString& subject, const QString& notSaved)
{
    return error.commitInDoubt() ? subject + QLatin1Char('.') : notSaved;
}

bool SaidOfTheServerInRussianAlone(const db::DbError& error)
{
    // The server's failures that the user meets as they are: the line lost,
    // the server out of reach or silent, the login refused or without the
    // right to the base, the server holding COMMITs.
    static constexpr std::array kCodes{db::E_DB_CONNECTION_LOST, db::E_DB_NO_SERVER, db::E_DB_LOGIN, db::E_DB_NO_RIGHT,
                                       db::E_DB_COMMITS_HELD};
    return error.commitInDoubt() || std::find(kCodes.begin(), kCodes.end(), error.code()) != kCodes.end();
}

QString DbErrorText(const db::DbError& error, const QString& what)
{
    // The server's failures met as they are and a base file that cannot be
    // used are said in Russian alone: the first with what the caller was
    // doing, the second with the file and what was found in it.
    if (SaidOfTheServerInRussianAlone(error))
        return RussianAloneText(error, what, QString());
    if (db::IsBaseFileError(error))
        return RussianAloneText(error, QString(), error.description());
    // A base held by another user is said in Russian alone, as a refusal is.
    return db::IsRefusal(error) || db::IsBusy(error) ? RefusalText(error, what) : ComErrorText(error);
}

} // namespace kalvor
