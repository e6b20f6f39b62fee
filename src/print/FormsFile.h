#pragma once
// The text file "forms" of the working folder and the filling of its tags.
//
// "forms" holds the wording of the text forms: windows-1251 lines of at most
// 400 characters, in sections opened by a line "#NN" (two digits, 00-99). A
// section runs to the line that opens the next one. Inside a section, tag
// words (capital Latin letters and digits, "FIO", "SUM1") mark the places of
// the values; the room of a tag is the tag itself and the blanks after it on
// its line, and a value is written into that room and never past it.
#include <QByteArray>
#include <QString>

namespace kalvor::print {

// Longest line of "forms", and the largest section that a form takes.
inline constexpr int kFormsLineLength = 400;
inline constexpr int kFormsSectionLimit = 64 * 1024;

// The path of "forms" in the working folder.
QString FormsFilePath();

// The text of section `section` (0-99) with every line ended by "\r\n".
// Throws TextError "Ошибка при открытии файла" when "forms" cannot be opened,
// "Ошибка чтения файла" when the section is not there, the file ends before
// the next section's line, or the section is longer than kFormsSectionLimit.
QByteArray ReadFormsSection(int section);

// Where a tag stands, as a whole word, from `from` on: its offset and the width of its room,
// or offset -1 when the tag does not occur.
struct TagRoom {
    qsizetype offset = -1;
    int width = 0;
};
TagRoom FindTagRoom(const QByteArray& text, const QByteArray& tag, qsizetype from = 0);

// Writes the value over the tag's first occurrence from `from` on: the room
// is blanked and the value written from its start, cut to the room. A tag that
// does not occur is passed over. Returns the offset after the room (or `from`
// when the tag is absent), for a tag that is filled once per row.
qsizetype FillTag(QByteArray& text, const QByteArray& tag, const QByteArray& value, qsizetype from = 0);

// An amount in kopecks split into a rouble field (right-aligned in `width`)
// and a kopeck field of three characters (".05"), as "%*.2f" of width + 3
// shows it. An amount of 0 leaves both blank.
struct AmountField {
    QByteArray roubles;
    QByteArray kopecks;
};
AmountField FormatAmountField(double kopecks, int width);

} // namespace kalvor::print
