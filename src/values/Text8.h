#pragma once
// Helpers for 8-bit (windows-1251) texts: blank-padded fields of packed records
// and reference files, blank squeezing, the OEM (cp866) conversion of text
// reports. Blanks are the space character (0x20).
#include <QByteArray>
#include <QString>

namespace kalvor {

// The text in windows-1251, cut to `width` bytes and padded with blanks; no
// terminator is written.
void StringToByteBuffer(const QString& text, char* field, int width);
// The field of `width` bytes as a string (trailing blanks kept); reading stops
// at a NUL byte.
QString ByteBufferToString(const char* field, int width);

// Copies `length` bytes of text to out, dropping leading blanks and reducing
// every run of blanks to one blank; writes no terminator. Returns the output
// length, less one when the last byte written is a blank (0 for a blank text).
// out must hold `length` bytes.
int SqueezeBlanks(const char* text, int length, char* out);
// The same after turning NUL bytes inside the field into blanks.
int SqueezeBlanksNul(const char* text, int length, char* out);
// Copies `length` bytes of text to out dropping every blank except one blank
// kept after a leading group of digits when more text follows ("45 03" stays
// "45 03", "IV - АБ" becomes "IV-АБ"); no terminator. Returns the length.
int SqueezeBlanksAfterDigits(char* out, const char* text, int length);
// QByteArray forms of the two squeezers (the counted result).
QByteArray SqueezeBlanks(const QByteArray& text);
QByteArray SqueezeBlanksAfterDigits(const QByteArray& text);

// Converts `length` bytes in place from windows-1251 to cp866 (same length).
void ConvertLineToOem(char* bytes, int length);
// Converts a text file in place from windows-1251 to cp866, written anew
// through platform::SavedFile, so a failure never loses the file as it was.
// Returns 0, or an error number (the file is then left unchanged).
int ConvertTextFileToOem(const QString& path);

} // namespace kalvor
