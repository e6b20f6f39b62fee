#include "platform/CodePage.h"

#include <QHash>
#include <iconv.h>
#include <mutex>

namespace kalvor::codepage {
namespace {

struct Table {
    char16_t toUnicode[256];
    QHash<char16_t, unsigned char> fromUnicode;
    unsigned char toOther[256]; // recoding into the other page of the pair
};

// Decodes one byte through iconv; undefined bytes keep their own number.
char16_t decodeByte(const char* charset, unsigned char byte)
{
    iconv_t cd = iconv_open("UTF-16LE", charset);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return byte;
    char in[1] = {static_cast<char>(byte)};
    char out[4] = {};
    char* pin = in;
    char* pout = out;
    size_t inLeft = 1, outLeft = sizeof out;
    size_t rc = iconv(cd, &pin, &inLeft, &pout, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || outLeft != 2)
        return byte;
    return static_cast<char16_t>(static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
}

struct Tables {
    Table page[2];
    Tables()
    {
        const char* names[2] = {"CP1251", "CP866"};
        for (int p = 0; p < 2; ++p) {
            for (int b = 0; b < 256; ++b) {
                char16_t u = decodeByte(names[p], static_cast<unsigned char>(b));
                page[p].toUnicode[b] = u;
                page[p].fromUnicode.insert(u, static_cast<unsigned char>(b));
            }
        }
        for (int p = 0; p < 2; ++p) {
            const Table& other = page[1 - p];
            for (int b = 0; b < 256; ++b) {
                auto it = other.fromUnicode.constFind(page[p].toUnicode[b]);
                page[p].toOther[b] = it != other.fromUnicode.constEnd() ? it.value() : '?';
            }
        }
    }
};

const Tables& tables()
{
    static const Tables t;
    return t;
}

const Table& table(Page p) { return tables().page[p == Page::Cp1251 ? 0 : 1]; }

} // namespace

QString decode(Page page, const char* bytes, qsizetype length)
{
    const Table& t = table(page);
    QString s(length, Qt::Uninitialized);
    QChar* d = s.data();
    for (qsizetype i = 0; i < length; ++i) d[i] = QChar(t.toUnicode[static_cast<unsigned char>(bytes[i])]);
    return s;
}

QString decode(Page page, const QByteArray& bytes) { return decode(page, bytes.constData(), bytes.size()); }

QByteArray encode(Page page, const QString& text)
{
    const Table& t = table(page);
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t u = text.at(i).unicode();
        if (u < 0x80) {
            out[i] = static_cast<char>(u);
            continue;
        }
        auto it = t.fromUnicode.constFind(u);
        out[i] = it != t.fromUnicode.constEnd() ? static_cast<char>(it.value()) : '?';
    }
    return out;
}

static void recode(const Table& t, char* bytes, qsizetype length)
{
    for (qsizetype i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(t.toOther[static_cast<unsigned char>(bytes[i])]);
}

void cp1251ToCp866(char* bytes, qsizetype length) { recode(table(Page::Cp1251), bytes, length); }
void cp866ToCp1251(char* bytes, qsizetype length) { recode(table(Page::Cp866), bytes, length); }

QByteArray cp1251ToCp866(QByteArray bytes)
{
    cp1251ToCp866(bytes.data(), bytes.size());
    return bytes;
}

QByteArray cp866ToCp1251(QByteArray bytes)
{
    cp866ToCp1251(bytes.data(), bytes.size());
    return bytes;
}

unsigned char upper1251(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return c - 32;
    if (c >= 0xE0) // а..я
        return c - 32;
    if (c == 0xB8) // ё
        return 0xA8;
    return c;
}

unsigned char lower1251(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return c + 32;
    if (c >= 0xC0 && c <= 0xDF) // А..Я
        return c + 32;
    if (c == 0xA8) // Ё
        return 0xB8;
    return c;
}

void upper1251(char* bytes, qsizetype length)
{
    for (qsizetype i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(upper1251(static_cast<unsigned char>(bytes[i])));
}

void lower1251(char* bytes, qsizetype length)
{
    for (qsizetype i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(lower1251(static_cast<unsigned char>(bytes[i])));
}

} // namespace kalvor::codepage
