#include "print/TextHelpers.h"

#include "platform/CodePage.h"
#include "values/CScan.h"
#include "values/Text8.h"

#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace kalvor::print {
namespace {

// The words in windows-1251, made once from their Unicode spelling.
struct Words {
    QByteArray hundreds[10];
    QByteArray tens[10];
    QByteArray teens[10];
    QByteArray unitsMasculine[10];
    QByteArray unitsFeminine[10];
    QByteArray million, thousand, rouble, roubleZero, zero;
    QByteArray millionEnding[3], thousandEnding[3], roubleEnding[3], kopeck[3];

    Words()
    {
        auto w = [](const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); };
        const char* h[] = {"",        "сто",      "двести",  "триста",    "четыреста",
                           "пятьсот", "шестьсот", "семьсот", "восемьсот", "девятьсот"};
        const char* t[] = {"",          "",           "двадцать",  "тридцать",    "сорок",
                           "пятьдесят", "шестьдесят", "семьдесят", "восемьдесят", "девяносто"};
        const char* n[] = {"десять",     "одиннадцать", "двенадцать", "тринадцать",   "четырнадцать",
                           "пятнадцать", "шестнадцать", "семнадцать", "восемнадцать", "девятнадцать"};
        const char* u[] = {"", "один", "два", "три", "четыре", "пять", "шесть", "семь", "восемь", "девять"};
        for (int i = 0; i < 10; ++i) {
            hundreds[i] = w(h[i]);
            tens[i] = w(t[i]);
            teens[i] = w(n[i]);
            unitsMasculine[i] = unitsFeminine[i] = w(u[i]);
        }
        unitsFeminine[1] = w("одна");
        unitsFeminine[2] = w("две");
        million = w("миллион");
        thousand = w("тысяч");
        rouble = w("рубл");
        roubleZero = w("ноль рублей ");
        zero = w("ноль");
        const char* me[] = {"", "а", "ов"};
        const char* te[] = {"а", "и", ""};
        const char* re[] = {"ь ", "я ", "ей "};
        const char* ke[] = {" копейка", " копейки", " копеек"};
        for (int i = 0; i < 3; ++i) {
            millionEnding[i] = w(me[i]);
            thousandEnding[i] = w(te[i]);
            roubleEnding[i] = w(re[i]);
            kopeck[i] = w(ke[i]);
        }
    }
};

const Words& words()
{
    static const Words table;
    return table;
}

// Russian plural form of a count: 0 singular (1, 21), 1 few (2-4, 22-24),
// 2 many (0, 5-20, 25-30 ...; also any negative count).
int pluralForm(int number)
{
    const int d2 = number % 100;
    const int d1 = number % 10;
    if (d1 == 1 && d2 != 11)
        return 0;
    if (d1 >= 2 && d1 <= 4 && (d2 < 12 || d2 > 14))
        return 1;
    return 2;
}

char* put(char* position, const QByteArray& word)
{
    std::memcpy(position, word.constData(), static_cast<size_t>(word.size()));
    return position + word.size();
}

// Words of roubles in millions, thousands and units, as SumInWords and
// NumberInWords share them; returns the next free position.
char* writeGroups(int number, char* p)
{
    const Words& w = words();
    const int millions = number / 1000000;
    const int thousands = number / 1000 % 1000;
    const int units = number % 1000;
    if (millions != 0) {
        p = WriteHundredsInWords(millions, p, kMasculine);
        p = put(p, w.million + w.millionEnding[pluralForm(millions)]) + 1;
    }
    if (thousands != 0) {
        p = WriteHundredsInWords(thousands, p, kFeminine);
        p = put(p, w.thousand + w.thousandEnding[pluralForm(thousands)]) + 1;
    }
    return WriteHundredsInWords(units, p, kMasculine);
}

// The text of a digit field: the digits of |value|.
QByteArray digitsOf(int value)
{
    long long v = value;
    if (v < 0)
        v = -v;
    return QByteArray::number(v);
}

} // namespace

int IntToDigitsZero(int value, char* destination, int width)
{
    const QByteArray digits = digitsOf(value);
    const int length = static_cast<int>(digits.size());
    int written = std::max(width, length);
    int pad = written - length;
    char* p = destination;
    if (value < 0) {
        *p++ = '-';
        if (pad > 0)
            --pad;
        else
            ++written; // no leading zero to stand in for: the field grows
    }
    std::memset(p, '0', static_cast<size_t>(pad));
    std::memcpy(p + pad, digits.constData(), static_cast<size_t>(length));
    return written;
}

int IntToDigitsBlank(int value, char* destination, int width)
{
    const QByteArray digits = digitsOf(value);
    const int length = static_cast<int>(digits.size());
    if (length >= width) {
        std::memcpy(destination, digits.constData(), static_cast<size_t>(length));
        return length;
    }
    const bool sign = value < 0;
    const int blanks = width - length - (sign ? 1 : 0);
    std::memset(destination, ' ', static_cast<size_t>(blanks));
    char* p = destination + blanks;
    if (sign)
        *p++ = '-';
    std::memcpy(p, digits.constData(), static_cast<size_t>(length));
    return width;
}

int FieldToInt(const char* field, int length) { return AtoiC(field, std::max(length, 0)); }

double FieldToDouble(const char* field, int length)
{
    const QByteArray text(field, std::max(length, 0));
    const char* p = text.constData();
    const char* end = p + text.size();
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    double value = 0;
    std::from_chars(p, end, value);
    return negative ? -value : value;
}

char* WriteHundredsInWords(int number, char* position, char gender)
{
    if (number < 1 || number > 999)
        return position;
    const Words& w = words();
    char* p = position;
    const int h = number / 100;
    const int t = number / 10 % 10;
    const int u = number % 10;
    if (h != 0)
        p = put(p, w.hundreds[h]) + 1;
    if (t == 1)
        return put(p, w.teens[u]) + 1;
    if (t >= 2)
        p = put(p, w.tens[t]) + 1;
    if (u == 0)
        return p;
    const QByteArray& unit = gender == kMasculine ? w.unitsMasculine[u] : w.unitsFeminine[u];
    return put(p, unit) + 1;
}

int SumInWords(int roubles, int kopecks, char* buffer)
{
    // Built in a work area with room for any int, so that amounts outside the
    // supported range can never run past the caller's buffer.
    char work[192];
    std::memset(work, ' ', sizeof work);
    const Words& w = words();
    char* p = writeGroups(roubles, work);
    if (roubles == 0)
        p = put(p, w.roubleZero);
    else
        p = put(p, w.rouble + w.roubleEnding[pluralForm(roubles % 1000)]);
    p += IntToDigitsZero(kopecks, p, 2);
    p = put(p, w.kopeck[pluralForm(kopecks)]);
    int length = static_cast<int>(p - work);
    for (char& c : work) {
        if (c != ' ') {
            c = static_cast<char>(codepage::upper1251(static_cast<unsigned char>(c)));
            break;
        }
    }
    length = std::min(length, kWordBufferSize - 1);
    std::memset(buffer, ' ', kWordBufferSize);
    std::memcpy(buffer, work, static_cast<size_t>(length));
    buffer[length] = '\0';
    return length;
}

int NumberInWords(int number, char* buffer)
{
    std::memset(buffer, ' ', kWordBufferSize);
    if (number == 0) {
        put(buffer, words().zero);
        return static_cast<int>(words().zero.size());
    }
    return static_cast<int>(writeGroups(number, buffer) - buffer);
}

int SmallNumberInWords(int number, char* buffer)
{
    if (number < 1 || number > 999)
        return 0;
    return static_cast<int>(WriteHundredsInWords(number, buffer, kMasculine) - buffer) - 1;
}

int FormatFioInitials(const char* fullName, char* destination, int destinationSize)
{
    // Up to three words of at most 119 characters each, as they were read
    // into fixed buffers.
    QList<QByteArray> parts;
    const QByteArray text(fullName);
    qsizetype i = 0;
    auto isBlank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (parts.size() < 3 && i < text.size()) {
        while (i < text.size() && isBlank(text[i])) ++i;
        if (i == text.size())
            break;
        const qsizetype from = i;
        while (i < text.size() && !isBlank(text[i]) && i - from < 119) ++i;
        parts.append(text.mid(from, i - from));
    }
    if (parts.isEmpty() || destinationSize <= 0)
        return 0;

    QByteArray result = parts[0];
    if (parts.size() >= 2) {
        result += ' ';
        result += parts[1][0];
        result += '.';
    }
    if (parts.size() >= 3) {
        result += ' ';
        result += parts[2][0];
        result += '.';
    }
    result.truncate(destinationSize - 1);
    std::memcpy(destination, result.constData(), static_cast<size_t>(result.size()) + 1);
    return static_cast<int>(result.size());
}

QString AnsiToWideSingleBlanks(const char* text, int destinationSize)
{
    QByteArray cut(text);
    cut.truncate(std::max(destinationSize - 1, 0));
    return codepage::fromCp1251(SqueezeBlanks(cut));
}

int StrUpperN(char* text, int n)
{
    const int limit = n == 0 ? 9999 : n;
    int i = 0;
    for (; i < limit && text[i] != '\0'; ++i)
        text[i] = static_cast<char>(codepage::upper1251(static_cast<unsigned char>(text[i])));
    return i;
}

void CenterField(char* field, int width)
{
    if (width <= 0)
        return;
    std::replace(field, field + width, '\0', ' ');
    int first = 0;
    while (first < width && field[first] == ' ') ++first;
    if (first == width)
        return; // all blanks: nothing to centre
    int last = width - 1;
    while (field[last] == ' ') --last;
    const int length = last - first + 1;
    const int left = (width - length) / 2;
    std::memmove(field + left, field + first, static_cast<size_t>(length));
    std::memset(field, ' ', static_cast<size_t>(left));
    std::memset(field + left + length, ' ', static_cast<size_t>(width - left - length));
}

} // namespace kalvor::print
