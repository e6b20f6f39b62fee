#pragma once
// Opens a finished document (an RTF print form) in the user's viewer.
//
// The viewer is a command line kept as a setting (LibreOffice by default); the
// document's absolute path is added as its last argument and the program is
// started detached, so the program never waits for it. A missing or failing
// viewer is reported back as a message text: showing it is the caller's job.
#include <QString>

namespace kalvor::platform {

class DocumentOpener {
public:
    // The command used when nothing else was configured.
    static QString DefaultCommand();

    // The configured command: a program name or path, optionally followed by
    // arguments ("libreoffice --writer"). Quoting follows the usual shell
    // rules for blanks inside an argument.
    static QString Command();
    // Replaces the command (the tests give a viewer that opens nothing).
    static void SetCommand(const QString& command);

    // Starts the viewer on the document. Returns an empty string when the
    // viewer was started, otherwise the message to show to the user.
    static QString Open(const QString& documentPath);
};

} // namespace kalvor::platform
