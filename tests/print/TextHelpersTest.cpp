#include "print/TextHelpers.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace kalvor;
using namespace kalvor::print;

namespace {

QByteArray cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }
QString uni(const char* bytes, int length) { return codepage::fromCp1251(QByteArray(bytes, length)); }

// The amount in words as text, with the buffer's tail checked to be blanks
// and the terminator in place.
QString sum(int roubles, int kopecks)
{
    char buffer[kWordBufferSize + 8];
    std::memset(buffer, 'X', sizeof buffer);
    const int length = SumInWords(roubles, kopecks, buffer);
    EXPECT_EQ(buffer[length], '\0');
    EXPECT_EQ(std::strlen(buffer), static_cast<size_t>(length));
    for (int i = length + 1; i < kWordBufferSize; ++i) EXPECT_EQ(buffer[i], ' ') << "position " << i;
    return uni(buffer, length);
}

} // namespace

TEST(DigitFields, ZeroPaddedAndBlankPadded)
{
    char f[16];
    std::memset(f, '#', sizeof f);
    EXPECT_EQ(IntToDigitsZero(-12, f, 5), 5);
    EXPECT_EQ(std::string(f, 6), "-0012#");
    EXPECT_EQ(IntToDigitsZero(7, f, 3), 3);
    EXPECT_EQ(std::string(f, 3), "007");
    EXPECT_EQ(IntToDigitsZero(4321, f, 3), 4);
    EXPECT_EQ(std::string(f, 4), "4321");
    EXPECT_EQ(IntToDigitsZero(0, f, 2), 2);
    EXPECT_EQ(std::string(f, 2), "00");
    // No leading zero to replace: the sign is kept and the field grows
    // instead of the first digit being overwritten.
    EXPECT_EQ(IntToDigitsZero(-123, f, 3), 4);
    EXPECT_EQ(std::string(f, 4), "-123");

    std::memset(f, '#', sizeof f);
    EXPECT_EQ(IntToDigitsBlank(-12, f, 5), 5);
    EXPECT_EQ(std::string(f, 6), "  -12#");
    EXPECT_EQ(IntToDigitsBlank(-123, f, 3), 3);
    EXPECT_EQ(std::string(f, 3), "123");
    EXPECT_EQ(IntToDigitsBlank(45, f, 4), 4);
    EXPECT_EQ(std::string(f, 4), "  45");
    EXPECT_EQ(IntToDigitsBlank(123456, f, 4), 6);
    EXPECT_EQ(std::string(f, 6), "123456");
}

TEST(DigitFields, FieldsReadBackWithoutTouchingTheirNeighbours)
{
    const char record[] = "0042991 12.50x";
    EXPECT_EQ(FieldToInt(record, 4), 42);
    EXPECT_EQ(FieldToInt(record + 4, 3), 991);
    EXPECT_EQ(FieldToInt(record + 7, 3), 12);
    EXPECT_EQ(FieldToInt("  -7 ", 5), -7);
    EXPECT_EQ(FieldToInt("abc", 3), 0);
    EXPECT_DOUBLE_EQ(FieldToDouble(record + 7, 6), 12.5);
    EXPECT_DOUBLE_EQ(FieldToDouble(record + 7, 4), 12.0);
    EXPECT_DOUBLE_EQ(FieldToDouble(" -0.25", 6), -0.25);
    EXPECT_EQ(std::string(record), "0042991 12.50x");
}

TEST(AmountsInWords, EveryFormOfTheNumber)
{
    // The examples of the amount-in-words rules.
    EXPECT_EQ(sum(1234, 5), QStringLiteral("Одна тысяча двести тридцать четыре рубля 05 копеек"));
    EXPECT_EQ(sum(0, 0), QStringLiteral("Ноль рублей 00 копеек"));
    EXPECT_EQ(sum(1, 1), QStringLiteral("Один рубль 01 копейка"));
    EXPECT_EQ(sum(11, 11), QStringLiteral("Одиннадцать рублей 11 копеек"));
    EXPECT_EQ(sum(2000000, 0), QStringLiteral("Два миллиона рублей 00 копеек"));
    EXPECT_EQ(sum(5000, 0), QStringLiteral("Пять тысяч рублей 00 копеек"));
    EXPECT_EQ(sum(22, 3), QStringLiteral("Двадцать два рубля 03 копейки"));
    // 1, 2-4, 5-20, 21, 111, thousands, millions, zero kopecks.
    EXPECT_EQ(sum(2, 0), QStringLiteral("Два рубля 00 копеек"));
    EXPECT_EQ(sum(4, 4), QStringLiteral("Четыре рубля 04 копейки"));
    EXPECT_EQ(sum(5, 21), QStringLiteral("Пять рублей 21 копейка"));
    EXPECT_EQ(sum(14, 14), QStringLiteral("Четырнадцать рублей 14 копеек"));
    EXPECT_EQ(sum(20, 12), QStringLiteral("Двадцать рублей 12 копеек"));
    EXPECT_EQ(sum(21, 0), QStringLiteral("Двадцать один рубль 00 копеек"));
    EXPECT_EQ(sum(111, 50), QStringLiteral("Сто одиннадцать рублей 50 копеек"));
    EXPECT_EQ(sum(1000, 0), QStringLiteral("Одна тысяча рублей 00 копеек"));
    EXPECT_EQ(sum(2001, 0), QStringLiteral("Две тысячи один рубль 00 копеек"));
    EXPECT_EQ(sum(11000, 0), QStringLiteral("Одиннадцать тысяч рублей 00 копеек"));
    EXPECT_EQ(sum(21000, 0), QStringLiteral("Двадцать одна тысяча рублей 00 копеек"));
    EXPECT_EQ(sum(1000000, 0), QStringLiteral("Один миллион рублей 00 копеек"));
    EXPECT_EQ(sum(5012345, 99), QStringLiteral("Пять миллионов двенадцать тысяч триста сорок пять рублей 99 копеек"));
    EXPECT_EQ(sum(0, 1), QStringLiteral("Ноль рублей 01 копейка"));
}

TEST(AmountsInWords, HundredsOfMillionsKeepSingleBlanksToTheEnd)
{
    // The longest amount runs to 119 characters: every separating position
    // must be a blank, also beyond the hundredth character.
    EXPECT_EQ(sum(888888888, 88),
              QStringLiteral("Восемьсот восемьдесят восемь миллионов восемьсот восемьдесят восемь тысяч "
                             "восемьсот восемьдесят восемь рублей 88 копеек"));
    EXPECT_EQ(sum(888888888, 88).size(), 119);
    EXPECT_EQ(sum(777777777, 77), QStringLiteral("Семьсот семьдесят семь миллионов семьсот семьдесят семь тысяч "
                                                 "семьсот семьдесят семь рублей 77 копеек"));
    EXPECT_EQ(sum(100000000, 0), QStringLiteral("Сто миллионов рублей 00 копеек"));
}

TEST(NumbersInWords, CountsAndPlainNumbers)
{
    char buffer[kWordBufferSize];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(NumberInWords(0, buffer), 4);
    EXPECT_EQ(uni(buffer, 4), QStringLiteral("ноль"));

    std::memset(buffer, 'X', sizeof buffer);
    const int n = NumberInWords(1002, buffer);
    EXPECT_EQ(uni(buffer, n), QStringLiteral("одна тысяча два "));
    EXPECT_EQ(buffer[kWordBufferSize - 1], ' ');

    std::memset(buffer, 'X', sizeof buffer);
    const int m = NumberInWords(888888888, buffer);
    EXPECT_EQ(uni(buffer, m),
              QStringLiteral("восемьсот восемьдесят восемь миллионов восемьсот восемьдесят восемь тысяч "
                             "восемьсот восемьдесят восемь "));

    std::memset(buffer, ' ', sizeof buffer);
    EXPECT_EQ(SmallNumberInWords(0, buffer), 0);
    EXPECT_EQ(SmallNumberInWords(1000, buffer), 0);
    const int s = SmallNumberInWords(121, buffer);
    EXPECT_EQ(uni(buffer, s), QStringLiteral("сто двадцать один"));
    std::memset(buffer, ' ', sizeof buffer);
    EXPECT_EQ(uni(buffer, SmallNumberInWords(12, buffer)), QStringLiteral("двенадцать"));

    std::memset(buffer, ' ', sizeof buffer);
    char* end = WriteHundredsInWords(302, buffer, kFeminine);
    EXPECT_EQ(uni(buffer, static_cast<int>(end - buffer)), QStringLiteral("триста две "));
    EXPECT_EQ(WriteHundredsInWords(0, buffer, kMasculine), buffer);
}

TEST(NamesAndStrings, InitialsBlanksCaseAndCentring)
{
    char out[64];
    const QByteArray full = cp("Иванов  Иван Иванович");
    EXPECT_EQ(FormatFioInitials(full.constData(), out, sizeof out), 12);
    EXPECT_EQ(codepage::fromCp1251(out), QStringLiteral("Иванов И. И."));
    const QByteArray two = cp("Петров Петр");
    FormatFioInitials(two.constData(), out, sizeof out);
    EXPECT_EQ(codepage::fromCp1251(out), QStringLiteral("Петров П."));
    const QByteArray one = cp(" Сидоров ");
    FormatFioInitials(one.constData(), out, sizeof out);
    EXPECT_EQ(codepage::fromCp1251(out), QStringLiteral("Сидоров"));
    std::strcpy(out, "kept");
    EXPECT_EQ(FormatFioInitials("   ", out, sizeof out), 0);
    EXPECT_STREQ(out, "kept");
    EXPECT_EQ(FormatFioInitials(full.constData(), out, 8), 7);
    EXPECT_EQ(codepage::fromCp1251(out), QStringLiteral("Иванов "));

    const QByteArray words = cp("  один   два  три  ");
    EXPECT_EQ(AnsiToWideSingleBlanks(words.constData(), 100), QStringLiteral("один два три"));
    EXPECT_EQ(AnsiToWideSingleBlanks(words.constData(), 8), QStringLiteral("один"));

    QByteArray name = cp("иванов");
    EXPECT_EQ(StrUpperN(name.data(), 3), 3);
    EXPECT_EQ(codepage::fromCp1251(name), QStringLiteral("ИВАнов"));
    EXPECT_EQ(StrUpperN(name.data(), 0), 6);
    EXPECT_EQ(codepage::fromCp1251(name), QStringLiteral("ИВАНОВ"));
    char empty[1] = {0};
    EXPECT_EQ(StrUpperN(empty, 0), 0);

    char field[8];
    std::memcpy(field, "ab\0\0\0\0", 6);
    CenterField(field, 6);
    EXPECT_EQ(std::string(field, 6), "  ab  ");
    std::memcpy(field, "abc   ", 6);
    CenterField(field, 6);
    EXPECT_EQ(std::string(field, 6), " abc  ");
    std::memcpy(field, "    \0 ", 6);
    CenterField(field, 6);
    EXPECT_EQ(std::string(field, 6), "      ");
}
