#pragma once
// LibreOffice and pdftotext for the tests that look at a printed form the way
// a user's office program shows it. Both are optional: a test skips its check
// when a program is missing.
#include <QString>
#include <QStringList>

namespace kalvor::testsupport {

// LibreOffice's program ("soffice", else "libreoffice"); empty when missing.
QString OfficeProgram();

// Converts `file` with LibreOffice into `format` ("pdf", or a filter such as
// "csv:Text - txt - csv (StarCalc):44,34,76") inside `outFolder` (the file's
// own folder when empty), with a profile of its own under that folder so
// that tests running side by side do not share one. `extraArguments` go
// before the conversion (an import filter, say). Returns the converted file's
// path; empty when LibreOffice is missing or made nothing.
QString ConvertWithOffice(const QString& file, const QString& format, const QString& outFolder = QString(),
                          const QStringList& extraArguments = {});

// True when pdftotext (poppler-utils) is installed.
bool PdfToTextAvailable();

// The text of the PDF in UTF-8, of one page when `page` is above 0; empty
// when pdftotext is missing. With `layout` the text keeps the page's columns,
// a row of a table on one line.
QString PdfText(const QString& pdf, int page = 0, bool layout = false);

// Puts a copy of `file` at `kept` (a name in the build folder, for a look),
// replacing an earlier one.
void KeepCopy(const QString& file, const QString& kept);

} // namespace kalvor::testsupport
