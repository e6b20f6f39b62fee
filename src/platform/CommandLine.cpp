#include "platform/CommandLine.h"

#include <algorithm>

namespace kalvor::platform {

QStringList SplitCommandLine(const QString& command)
{
    QStringList arguments;
    QString argument;
    bool quoted = false; // inside double quotes
    bool begun = false; // an argument has begun, if only with quotes
    int quotes = 0; // double quotes in a row just read
    for (const QChar c : command) {
        if (c == QLatin1Char('"')) {
            begun = true;
            // Three quotes in a row stand for one quote of the argument.
            if (++quotes == 3) {
                quotes = 0;
                argument += c;
            }
            continue;
        }
        if (quotes == 1)
            quoted = !quoted;
        quotes = 0;
        if (quoted || !c.isSpace()) {
            argument += c;
            begun = true;
        } else if (begun) {
            arguments << argument;
            argument.clear();
            begun = false;
        }
    }
    if (begun)
        arguments << argument;
    return arguments;
}

QString QuoteCommandArgument(const QString& argument)
{
    const bool plain = !argument.isEmpty() && !argument.contains(QLatin1Char('"')) &&
                       std::none_of(argument.begin(), argument.end(), [](QChar c) { return c.isSpace(); });
    if (plain)
        return argument;
    QString quoted = argument;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace kalvor::platform
