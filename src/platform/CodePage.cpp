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

// The nearest character of another character for a page that cannot hold
// it: the quotation marks, dashes and letters of windows-1251 that cp866
// lacks, so that a text moved into the OEM page keeps its sense and its
// length ("«Север» — юг" becomes "\"Север\" - юг"). 0 when there is none.
char16_t nearestEquivalent(char16_t u)
{
    static const QHash<char16_t, char16_t> nearest = {
        {u'«', u'"'},  {u'»', u'"'},  {u'“', u'"'},  {u'”', u'"'},  {u'„', u'"'},  {u'‘', u'\''}, {u'’', u'\''},
        {u'‚', u','},  {u'‹', u'<'},  {u'›', u'>'},  {u'–', u'-'},  {u'—', u'-'},  {u'\u00AD', u'-'}, {u'¬', u'-'},
        {u'…', u'.'},  {u'•', u'·'},  {u'†', u'+'},  {u'‡', u'+'},  {u'±', u'+'},  {u'‰', u'%'},  {u'€', u'E'},
        {u'™', u'T'},  {u'©', u'c'},  {u'®', u'R'},  {u'¦', u'|'},  {u'§', u'S'},  {u'¶', u'P'},  {u'µ', u'u'},
        {u'Ђ', u'Д'},  {u'ђ', u'д'},  {u'Ѓ', u'Г'},  {u'ѓ', u'г'},  {u'Ґ', u'Г'},  {u'ґ', u'г'},  {u'Љ', u'Л'},
        {u'љ', u'л'},  {u'Њ', u'Н'},  {u'њ', u'н'},  {u'Ќ', u'К'},  {u'ќ', u'к'},  {u'Ћ', u'Ч'},  {u'ћ', u'ч'},
        {u'Џ', u'Ц'},  {u'џ', u'ц'},  {u'Ј', u'J'},  {u'ј', u'j'},  {u'І', u'I'},  {u'і', u'i'},  {u'Ѕ', u'S'},
        {u'ѕ', u's'},  {u'\u0098', u' '},
    };
    return nearest.value(u, 0);
}

// The byte of the character in the page, else of its nearest equivalent,
// else '?'.
unsigned char byteOf(const QHash<char16_t, unsigned char>& page, char16_t u)
{
    auto it = page.constFind(u);
    if (const char16_t nearest = nearestEquivalent(u); it == page.constEnd() && nearest != 0)
        it = page.constFind(nearest);
    return it != page.constEnd() ? it.value() : static_cast<unsigned char>('?');
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
            for (int b = 0; b < 256; ++b) page[p].toOther[b] = byteOf(other.fromUnicode, page[p].toUnicode[b]);
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
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        // A character outside the basic plane (two UTF-16 units) has no
        // place in either page: one '?' for it.
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += '?';
            ++i;
            continue;
        }
        out += u < 0x80 ? static_cast<char>(u) : static_cast<char>(byteOf(t.fromUnicode, u));
    }
    return out;
}

static void recode(const Table& t, char* bytes, qsizetype length)
{
    for (qsizetype i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(t.toOther[static_cast<unsigned char>(bytes[i])]);
}

void cp1251ToCp866(char* bytes, qsizetype length) { recode(table(Page::Cp1251), bytes, length); }

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

} // namespace kalvor::codepage
