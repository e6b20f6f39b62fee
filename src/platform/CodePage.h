#pragma once
// Single-byte code pages of the program's files: windows-1251 (text for other
// programs and the 8-bit fields of packed records) and cp866 (the OEM code page
// of the print command and of the reference files).
//
// Conversions are table driven; the tables are built once from glibc iconv.
// A byte that a code page leaves undefined (0x98 in windows-1251) maps to the
// Unicode control character of the same number and back, so every byte
// survives a round trip. A character that a code page cannot hold becomes its
// nearest equivalent there (« » and the curly quotes a plain '"', the dashes
// '-', a Serbian or Ukrainian letter the nearest Russian or Latin one), so
// every character of windows-1251 has a place in cp866; any other becomes '?'.
#include <QByteArray>
#include <QString>

namespace kalvor::codepage {

enum class Page { Cp1251, Cp866 };

QString decode(Page page, const char* bytes, qsizetype length);
QString decode(Page page, const QByteArray& bytes);
QByteArray encode(Page page, const QString& text);

inline QString fromCp1251(const QByteArray& b) { return decode(Page::Cp1251, b); }
inline QString fromCp866(const QByteArray& b) { return decode(Page::Cp866, b); }
inline QByteArray toCp1251(const QString& s) { return encode(Page::Cp1251, s); }
inline QByteArray toCp866(const QString& s) { return encode(Page::Cp866, s); }

// Byte-to-byte recoding in place (the print command's text goes from the ANSI
// to the OEM page just before the command runs).
void cp1251ToCp866(char* bytes, qsizetype length);

// Case mapping of windows-1251 bytes (Latin and Cyrillic letters, including
// Ё/ё), independent of the C locale.
unsigned char upper1251(unsigned char c);
unsigned char lower1251(unsigned char c);
void upper1251(char* bytes, qsizetype length);

} // namespace kalvor::codepage
