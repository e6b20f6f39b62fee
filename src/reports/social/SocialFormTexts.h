#pragma once
// Texts that the injury report, the social-tax card and the earnings
// certificate put on their forms: squeezed firm texts, numbers with a leading
// zero, dates with points, genitive month names. All 8-bit windows-1251.
#include "infobase/Records.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace kalvor::reports {

// A number below 10 with a leading "0", as "%s%d" with a "0" prefix writes it.
QByteArray TwoDigitNumber(int number);

// "дд.мм.гггг" with the day and month as two digits.
QByteArray DateWithPoints(int day, int month, int year);

// The month's name in the genitive ("января"); empty outside 1-12.
QByteArray GenitiveMonthName(int month);

// The first `width` characters of the firm text (blank-padded as the 8-bit
// firm record holds it), leading blanks dropped, each run of blanks made one
// and a trailing blank dropped.
QByteArray SqueezedFirmText(const infobase::FirmInfo& firm, infobase::FirmInfo::Text which, int width);
// The same squeeze over the first `width` characters of any text.
QByteArray SqueezedText(const QString& text, int width);

// The text cut or blank-padded to exactly `width` 8-bit characters ("%.Ns" of
// a blank-padded field).
QByteArray FixedText(const QString& text, int width);

// The words of a name: the surname, the first name and the patronymic, cut
// at the first, second and third blank of the field (at most 50 characters).
struct NameParts {
    QByteArray surname, name, patronymic;
};
NameParts SplitFullName(const QString& fio);

// One region of a print form as its writer adds it: a page, or a row of the
// last page added, with its values in bookmark order.
struct FormRegion {
    QByteArray name;
    bool row = false;
    QList<QByteArray> values;
};

// Fills the template's regions in order through the template engine, writes
// the document beside the work file and opens it. Returns the engine's
// result (print::CTree::GenerateResult); errorText receives its explanation.
int GenerateFormRegions(const QByteArray& templateName, const QString& workFilePath, const QList<FormRegion>& regions,
                        QString* errorText);

// Every character of the text as a value of its own: the one-character
// boxes of the printed forms.
QList<QByteArray> OneCharCells(const QByteArray& text);

// The firm's telephone in the 15 boxes of the title pages: the first 20
// characters squeezed, right-aligned; a longer number loses its dashes from
// the right until it fits, and at most 15 characters are kept.
QList<QByteArray> PhoneCells(const infobase::FirmInfo& firm);

// A text field of a fixed width (NUL bytes read as blanks), squeezed.
QByteArray SqueezedField(const char* field, int width);

} // namespace kalvor::reports
