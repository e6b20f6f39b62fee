#include "infobase/Bytes.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <bit>

namespace kalvor::infobase {

void ByteWriter::wide(const QString& s, std::size_t width)
{
    const std::size_t n = std::min<std::size_t>(std::size_t(s.size()), width);
    if constexpr (std::endian::native == std::endian::little) {
        // The string's code units are already the field's bytes.
        bytes(reinterpret_cast<const char*>(s.constData()), n * 2);
    } else {
        for (std::size_t i = 0; i < n; ++i) u16v(s.at(qsizetype(i)).unicode());
    }
    zeros((width - n) * 2);
}

void ByteWriter::ansi(const QString& s, std::size_t width)
{
    const QByteArray b = codepage::toCp1251(s);
    const std::size_t n = std::min<std::size_t>(std::size_t(b.size()), width);
    bytes(b.constData(), n);
    for (std::size_t i = n; i < width; ++i) u8v(' ');
}

void ByteWriter::ansiNul(const QString& s, std::size_t width)
{
    if (width == 0)
        return;
    const QByteArray b = codepage::toCp1251(s);
    const std::size_t n = std::min<std::size_t>(std::size_t(b.size()), width - 1);
    bytes(b.constData(), n);
    zeros(width - n);
}

QString ByteReader::wide(std::size_t width)
{
    check(pos_, width * 2);
    const char* p = data_ + pos_;
    pos_ += width * 2;
    std::size_t n = 0;
    while (n < width && (p[2 * n] != 0 || p[2 * n + 1] != 0)) ++n;
    QString s(qsizetype(n), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(s.data());
    for (std::size_t i = 0; i < n; ++i)
        out[i] = char16_t(static_cast<u8>(p[2 * i]) | (static_cast<u8>(p[2 * i + 1]) << 8));
    return s;
}

QString ByteReader::ansi(std::size_t width)
{
    QByteArray b(qsizetype(width), '\0');
    bytes(b.data(), width);
    const int nul = b.indexOf('\0');
    if (nul >= 0)
        b.truncate(nul);
    while (!b.isEmpty() && b.back() == ' ') b.chop(1);
    return codepage::fromCp1251(b);
}

} // namespace kalvor::infobase
