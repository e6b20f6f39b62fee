#pragma once
// Little-endian byte writer and reader for the fixed-layout records that go to
// files (the swap work file, the 8-bit employee record, the reference files).
// Every record is written field by field through these two classes; nothing is
// written by casting a struct.
#include <QString>

#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace kalvor::infobase {

using u8 = std::uint8_t;
using i8 = std::int8_t;
using u16 = std::uint16_t;
using i16 = std::int16_t;
using u32 = std::uint32_t;
using i32 = std::int32_t;

// Writes into a caller's buffer of known size; writing past its end throws,
// so a layout that outgrows its record is caught by the first round trip.
class ByteWriter {
public:
    ByteWriter(char* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t pos() const { return pos_; }
    void seek(std::size_t p)
    {
        check(p, 0);
        pos_ = p;
    }
    void skip(std::size_t n) { zeros(n); }

    void u8v(u8 v) { put(&v, 1); }
    void i8v(i8 v) { u8v(static_cast<u8>(v)); }
    void u16v(u16 v) { putLE(v, 2); }
    void i16v(i16 v) { u16v(static_cast<u16>(v)); }
    void u32v(u32 v) { putLE(v, 4); }
    void i32v(i32 v) { u32v(static_cast<u32>(v)); }
    void f64(double v)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        putLE(bits, 8);
    }
    void bytes(const char* src, std::size_t n) { put(src, n); }
    void zeros(std::size_t n)
    {
        check(pos_, n);
        std::memset(data_ + pos_, 0, n);
        pos_ += n;
    }

    // UTF-16 text in a field of `width` code units, NUL padded (a text that
    // fills the field has no terminator).
    void wide(const QString& s, std::size_t width);
    // 8-bit windows-1251 text cut to `width` bytes and blank padded, no terminator.
    void ansi(const QString& s, std::size_t width);
    // 8-bit text NUL padded: at most width - 1 bytes, the rest NULs.
    void ansiNul(const QString& s, std::size_t width);

private:
    void check(std::size_t p, std::size_t n) const
    {
        if (p + n > size_)
            throw std::out_of_range("record layout exceeds its buffer");
    }
    void put(const void* src, std::size_t n)
    {
        check(pos_, n);
        std::memcpy(data_ + pos_, src, n);
        pos_ += n;
    }
    void putLE(std::uint64_t v, std::size_t n)
    {
        check(pos_, n);
        for (std::size_t i = 0; i < n; ++i) data_[pos_ + i] = char((v >> (8 * i)) & 0xFF);
        pos_ += n;
    }

    char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

class ByteReader {
public:
    ByteReader(const char* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t pos() const { return pos_; }
    void seek(std::size_t p)
    {
        check(p, 0);
        pos_ = p;
    }
    void skip(std::size_t n)
    {
        check(pos_, n);
        pos_ += n;
    }

    u8 u8v()
    {
        check(pos_, 1);
        return static_cast<u8>(data_[pos_++]);
    }
    i8 i8v() { return static_cast<i8>(u8v()); }
    u16 u16v() { return u16(getLE(2)); }
    i16 i16v() { return static_cast<i16>(u16v()); }
    u32 u32v() { return u32(getLE(4)); }
    i32 i32v() { return static_cast<i32>(u32v()); }
    double f64()
    {
        const std::uint64_t bits = getLE(8);
        double v;
        std::memcpy(&v, &bits, 8);
        return v;
    }
    void bytes(char* dst, std::size_t n)
    {
        check(pos_, n);
        std::memcpy(dst, data_ + pos_, n);
        pos_ += n;
    }

    // Reverse of ByteWriter::wide: the text up to the first NUL.
    QString wide(std::size_t width);
    // Reverse of ByteWriter::ansi: trailing blanks and NULs dropped.
    QString ansi(std::size_t width);

private:
    void check(std::size_t p, std::size_t n) const
    {
        if (p + n > size_)
            throw std::out_of_range("record layout exceeds its buffer");
    }

    std::uint64_t getLE(std::size_t n)
    {
        check(pos_, n);
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < n; ++i) v |= std::uint64_t(static_cast<u8>(data_[pos_ + i])) << (8 * i);
        pos_ += n;
        return v;
    }

    const char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Cuts a text to the number of characters a field can hold.
inline QString fitText(const QString& s, int width) { return s.size() > width ? s.left(width) : s; }

} // namespace kalvor::infobase
