#pragma once
// Text and number helpers of the print forms and reports: digit fields,
// amounts and counts in Russian words, names with initials and a few string
// conversions. All of them work on 8-bit windows-1251 text; fixed-width
// fields are not NUL-terminated unless a helper says so.
#include <QByteArray>
#include <QString>

namespace kalvor::print {

// Gender letters of WriteHundredsInWords: "м" and "ж" in windows-1251.
inline constexpr char kMasculine = '\xEC';
inline constexpr char kFeminine = '\xE6';

// Size of the word buffer that SumInWords and NumberInWords need: the
// longest amount in words is 119 characters, followed by the terminator.
inline constexpr int kWordBufferSize = 120;

// Decimal digits of |value| padded on the left with "0" to the width; a
// negative value puts "-" in place of the leftmost leading zero (-12 in width
// 5 gives "-0012"), or before the digits when there is no leading zero. Longer
// numbers make the field longer. Returns the characters written.
int IntToDigitsZero(int value, char* destination, int width);

// Right-aligned in the width: blanks, "-" for a negative value, the digits.
// When the digits alone fill the width the sign is left out. Returns the
// characters written.
int IntToDigitsBlank(int value, char* destination, int width);

// The number at the start of a fixed-width field (as atoi/atof read it; the
// decimal point is "."). The field is not modified and nothing past its
// length is read.
int FieldToInt(const char* field, int length);
double FieldToDouble(const char* field, int length);

// Writes 1..999 in words at the position, each word followed by one position
// left as it was (a blank of the pre-filled buffer). "м" for the masculine
// forms (один, два), any other letter for the feminine (одна, две). Returns
// the next free position; numbers outside 1..999 write nothing.
char* WriteHundredsInWords(int number, char* position, char gender);

// The amount in words: "Одна тысяча двести тридцать четыре рубля 05 копеек".
// Roubles 0..999 999 999, kopecks 0..99. The buffer (kWordBufferSize bytes)
// is blank-filled first; the text is NUL-terminated. Returns its length.
int SumInWords(int roubles, int kopecks, char* buffer);

// The number in words, without currency and without capital letter:
// "одна тысяча два " (the blank after the last word is counted), "ноль" for
// 0. The buffer (kWordBufferSize bytes) is blank-filled first; no terminator.
int NumberInWords(int number, char* buffer);

// 1..999 in masculine words into a buffer the caller has blank-filled;
// returns the characters up to the end of the last word (0 for 0 and for
// numbers above 999).
int SmallNumberInWords(int number, char* buffer);

// "Фамилия И. О." from a NUL-terminated "Фамилия Имя Отчество": "Фамилия И."
// without a patronymic, the surname alone without a name, nothing (result 0)
// without a surname. Cut to destinationSize - 1 characters and terminated.
// Returns the length written.
int FormatFioInitials(const char* fullName, char* destination, int destinationSize);

// The 8-bit text cut to destinationSize - 1 characters, its words joined by
// single blanks (no blank at either end), as a wide string.
QString AnsiToWideSingleBlanks(const char* text, int destinationSize);

// Upper-cases windows-1251 text in place up to its terminator or n characters
// (n = 0: up to 9999). Returns the number of characters passed over.
int StrUpperN(char* text, int n);

// NUL bytes of the field become blanks, and its non-blank part is centred:
// (width - length) / 2 blanks on the left, the rest on the right. A field
// without any non-blank character stays all blanks.
void CenterField(char* field, int width);

} // namespace kalvor::print
