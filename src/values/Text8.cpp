#include "values/Text8.h"

#include "platform/CodePage.h"
#include "platform/SavedFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <vector>

namespace kalvor {

void StringToByteBuffer(const QString& text, char* field, int width)
{
    if (width <= 0)
        return;
    const QByteArray bytes = codepage::toCp1251(text);
    const int n = qMin<int>(static_cast<int>(bytes.size()), width);
    std::memcpy(field, bytes.constData(), static_cast<std::size_t>(n));
    std::memset(field + n, ' ', static_cast<std::size_t>(width - n));
}

QString ByteBufferToString(const char* field, int width)
{
    if (width <= 0)
        return QString();
    const void* nul = std::memchr(field, 0, static_cast<std::size_t>(width));
    const int n = nul ? static_cast<int>(static_cast<const char*>(nul) - field) : width;
    return codepage::decode(codepage::Page::Cp1251, field, n);
}

int SqueezeBlanks(const char* text, int length, char* out)
{
    int n = 0;
    bool afterBlank = true; // drops leading blanks
    for (int i = 0; i < length; ++i) {
        if (text[i] == ' ') {
            if (!afterBlank)
                out[n++] = ' ';
            afterBlank = true;
        } else {
            out[n++] = text[i];
            afterBlank = false;
        }
    }
    return n > 0 && out[n - 1] == ' ' ? n - 1 : n;
}

int SqueezeBlanksNul(const char* text, int length, char* out)
{
    if (length <= 0)
        return 0;
    std::vector<char> copy(text, text + length);
    for (char& c : copy)
        if (c == '\0')
            c = ' ';
    return SqueezeBlanks(copy.data(), length, out);
}

int SqueezeBlanksAfterDigits(char* out, const char* text, int length)
{
    int n = 0;
    int i = 0;
    while (i < length && text[i] == ' ') ++i;
    const int digitsStart = i;
    while (i < length && text[i] >= '0' && text[i] <= '9') out[n++] = text[i++];
    if (i > digitsStart) {
        int j = i;
        while (j < length && text[j] == ' ') ++j;
        if (j > i && j < length)
            out[n++] = ' ';
        i = j;
    }
    for (; i < length; ++i)
        if (text[i] != ' ')
            out[n++] = text[i];
    return n;
}

QByteArray SqueezeBlanks(const QByteArray& text)
{
    QByteArray out(text.size(), '\0');
    const int n = SqueezeBlanks(text.constData(), static_cast<int>(text.size()), out.data());
    out.truncate(n);
    return out;
}

QByteArray SqueezeBlanksAfterDigits(const QByteArray& text)
{
    QByteArray out(text.size(), '\0');
    const int n = SqueezeBlanksAfterDigits(out.data(), text.constData(), static_cast<int>(text.size()));
    out.truncate(n);
    return out;
}

void ConvertLineToOem(char* bytes, int length)
{
    if (length > 0)
        codepage::cp1251ToCp866(bytes, length);
}

int ConvertTextFileToOem(const QString& path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return ENOENT;
    QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return EIO;
    in.close();
    ConvertLineToOem(bytes.data(), int(bytes.size()));
    return platform::WriteWholeFile(path, bytes) ? 0 : EIO;
}

} // namespace kalvor
