#include "print/FormsFile.h"

#include "platform/WorkingFolder.h"
#include "values/Messages.h"
#include "values/RoundText.h"

#include <QFile>

namespace kalvor::print {

namespace {

// "#NN" at the start of a line.
bool OpensSection(const QByteArray& line, int section)
{
    return line.size() >= 3 && line[0] == '#' && line[1] == char('0' + section / 10 % 10) &&
           line[2] == char('0' + section % 10);
}

// The next piece of at most kFormsLineLength characters, as a C runtime's
// line reader gives it; false at the end of the file or on a read error.
bool ReadFormsLine(QFile& file, QByteArray& line)
{
    line = file.readLine(kFormsLineLength + 1);
    return !line.isEmpty();
}

// The piece with its line end, if it has one, turned into "\r\n".
void AppendWithCrLf(QByteArray& text, QByteArray line)
{
    if (!line.endsWith('\n')) {
        text += line;
        return;
    }
    line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    text += line;
    text += "\r\n";
}

bool IsTagBlank(char c) { return c == ' '; }

bool IsTagCharacter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

bool IsWholeWord(const QByteArray& text, qsizetype offset, qsizetype length)
{
    const qsizetype end = offset + length;
    return (offset == 0 || !IsTagCharacter(text[offset - 1])) && (end >= text.size() || !IsTagCharacter(text[end]));
}

} // namespace

QString FormsFilePath() { return platform::WithSeparator(platform::WorkingFolder()) + QStringLiteral("forms"); }

QByteArray ReadFormsSection(int section)
{
    QFile file(FormsFilePath());
    if (!file.open(QIODevice::ReadOnly))
        throw TextError(kMsgOpenFailed);
    QByteArray line;
    do {
        if (!ReadFormsLine(file, line))
            throw TextError(kMsgReadFailed);
    } while (!OpensSection(line, section));

    QByteArray text;
    while (true) {
        if (!ReadFormsLine(file, line))
            throw TextError(kMsgReadFailed);
        if (OpensSection(line, section + 1))
            return text;
        AppendWithCrLf(text, line);
        // A section must fit the buffer a form is built in.
        if (text.size() > kFormsSectionLimit)
            throw TextError(kMsgReadFailed);
    }
}

TagRoom FindTagRoom(const QByteArray& text, const QByteArray& tag, qsizetype from)
{
    TagRoom room;
    if (tag.isEmpty())
        return room;
    // A tag is a whole word: "SUM" is not found inside "SUM1".
    room.offset = text.indexOf(tag, from);
    while (room.offset >= 0 && !IsWholeWord(text, room.offset, tag.size()))
        room.offset = text.indexOf(tag, room.offset + 1);
    if (room.offset < 0)
        return room;
    qsizetype end = room.offset + tag.size();
    while (end < text.size() && IsTagBlank(text[end])) ++end;
    room.width = int(end - room.offset);
    return room;
}

qsizetype FillTag(QByteArray& text, const QByteArray& tag, const QByteArray& value, qsizetype from)
{
    const TagRoom room = FindTagRoom(text, tag, from);
    if (room.offset < 0)
        return from;
    // The whole room is rewritten, so that no letter of a longer tag stays
    // behind a short value and nothing after the room is touched.
    const QByteArray fitted = value.left(room.width).leftJustified(room.width, ' ');
    text.replace(room.offset, room.width, fitted);
    return room.offset + room.width;
}

AmountField FormatAmountField(double kopecks, int width)
{
    AmountField field;
    if (kopecks == 0) {
        field.roubles = QByteArray(width, ' ');
        field.kopecks = QByteArray(3, ' ');
        return field;
    }
    const QByteArray text = FormatFixed8(kopecks / 100.0, 2, width + 3);
    field.roubles = text.left(text.size() - 3);
    field.kopecks = text.right(3);
    return field;
}

} // namespace kalvor::print
