#pragma once
// A command line as the print command and the document opener take it.
#include <QString>
#include <QStringList>

namespace kalvor::platform {

// The arguments of a command line: blanks between arguments, double quotes
// around an argument with blanks, a quote inside quotes written as three
// quotes (as QProcess::splitCommand reads them), and an argument written as
// "" kept as an empty argument.
QStringList SplitCommandLine(const QString& command);

// An argument written so that SplitCommandLine reads it back whole: as it
// stands when it has no blank and no double quote, otherwise in double
// quotes, each quote in it tripled.
QString QuoteCommandArgument(const QString& argument);

} // namespace kalvor::platform
