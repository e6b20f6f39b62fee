#include "platform/CodePage.h"

#include <gtest/gtest.h>

using namespace kalvor::codepage;

namespace {

// The bytes recoded in place from windows-1251 into cp866.
QByteArray toOem(QByteArray bytes)
{
    cp1251ToCp866(bytes.data(), bytes.size());
    return bytes;
}

} // namespace

TEST(CodePage, EveryByteRoundTripsThroughUnicode)
{
    for (Page p : {Page::Cp1251, Page::Cp866}) {
        QByteArray all(256, 0);
        for (int b = 0; b < 256; ++b) all[b] = static_cast<char>(b);
        QByteArray back = encode(p, decode(p, all));
        EXPECT_EQ(back, all);
    }
}

TEST(CodePage, KnownLettersAndRecoding)
{
    const QString word = QStringLiteral("Расчет Ёлки ёж");
    QByteArray w1251 = toCp1251(word);
    EXPECT_EQ(static_cast<unsigned char>(w1251[0]), 0xD0); // Р
    EXPECT_EQ(static_cast<unsigned char>(w1251[7]), 0xA8); // Ё
    QByteArray w866 = toCp866(word);
    EXPECT_EQ(static_cast<unsigned char>(w866[0]), 0x90); // Р in cp866
    EXPECT_EQ(static_cast<unsigned char>(w866[7]), 0xF0); // Ё in cp866
    EXPECT_EQ(toOem(w1251), w866);
    EXPECT_EQ(fromCp866(w866), word);
    EXPECT_EQ(toCp1251(QStringLiteral("€")).at(0), static_cast<char>(0x88));
    EXPECT_EQ(toCp1251(QStringLiteral("中")), QByteArray("?"));
}

TEST(CodePage, CaseMapping1251)
{
    QByteArray w = toCp1251(QStringLiteral("иванов ёж abc Я"));
    upper1251(w.data(), w.size());
    EXPECT_EQ(fromCp1251(w), QStringLiteral("ИВАНОВ ЁЖ ABC Я"));
    for (char& c : w) c = static_cast<char>(lower1251(static_cast<unsigned char>(c)));
    EXPECT_EQ(fromCp1251(w), QStringLiteral("иванов ёж abc я"));
}

// Every character of windows-1251 has a place in the OEM page: those that
// cp866 lacks become their nearest equivalents, never '?', and the text keeps
// its length (the columns of a text report stay where they were).
TEST(CodePage, CharactersCp866LacksBecomeTheirNearestEquivalents)
{
    for (int b = 0; b < 256; ++b) {
        if (b == '?')
            continue;
        const QByteArray one(1, static_cast<char>(b));
        EXPECT_NE(toOem(one), QByteArray("?")) << "byte " << b;
    }
    const QString name = QStringLiteral("ООО «Северная механика» — цех №2, “Ђак” і…");
    const QByteArray plain = toCp866(QStringLiteral("ООО \"Северная механика\" - цех №2, \"Дак\" i."));
    EXPECT_EQ(toOem(toCp1251(name)), plain);
    EXPECT_EQ(toCp866(name), plain);
    EXPECT_EQ(plain.size(), name.size());
    // Windows-1251 holds them itself; a character of neither page stays '?'.
    EXPECT_EQ(fromCp1251(toCp1251(name)), name);
    EXPECT_EQ(toCp866(QStringLiteral("中")), QByteArray("?"));
    // One character outside the basic plane (two UTF-16 units) is one '?' in
    // both pages, so the columns stay where they were; a lone half stays one.
    const QString wide = QStringLiteral("Цех 😀 №2 𝔸");
    EXPECT_EQ(toCp866(wide), toCp866(QStringLiteral("Цех ? №2 ?")));
    EXPECT_EQ(toCp1251(wide), toCp1251(QStringLiteral("Цех ? №2 ?")));
    EXPECT_EQ(toCp1251(QString(QChar(0xD83D)) + QLatin1Char('a')), QByteArray("?a"));
}
