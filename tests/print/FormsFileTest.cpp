// The "forms" file: reading its sections, filling tags within their room,
// amount fields, and the day arithmetic of the vacation note.
#include "print/FormsFile.h"
#include "infobase/Records.h"
#include "platform/CodePage.h"
#include "platform/WorkingFolder.h"
#include "print/VacationNoteForm.h"
#include "values/Messages.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::print;

namespace {

class FormsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform::SetWorkingFolder(dir.path());
    }
    void TearDown() override { platform::SetWorkingFolder(QString()); }
    void writeForms(const QByteArray& bytes)
    {
        QFile file(FormsFilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // The message of the TextError that reading the section throws.
    QString failureOf(int section)
    {
        try {
            ReadFormsSection(section);
        } catch (const TextError& error) {
            return error.message();
        }
        return QString();
    }
    QTemporaryDir dir;
};

TEST_F(FormsFile, SectionsAreReadWithCrLfLineEnds)
{
    writeForms("heading\n#10\nfirst\n  second line\r\n#11\n#12\nlast\n#13\n");
    EXPECT_EQ(ReadFormsSection(10), QByteArray("first\r\n  second line\r\n"));
    // Back to back: an empty section.
    EXPECT_EQ(ReadFormsSection(11), QByteArray());
    EXPECT_EQ(ReadFormsSection(12), QByteArray("last\r\n"));
}

TEST_F(FormsFile, MissingFileSectionOrEndAreReadErrors)
{
    EXPECT_EQ(failureOf(10), QString::fromUtf8(kMsgOpenFailed));
    writeForms("#10\nnote\n#11\ncalculation\n");
    EXPECT_EQ(failureOf(12), QString::fromUtf8(kMsgReadFailed));
    // Section 11 is ended by the end of the file, not by "#12".
    EXPECT_EQ(failureOf(11), QString::fromUtf8(kMsgReadFailed));
    // A section that does not fit the form's buffer is refused.
    writeForms("#10\n" + QByteArray(1000, 'x').append('\n').repeated(70) + "#11\n");
    EXPECT_EQ(failureOf(10), QString::fromUtf8(kMsgReadFailed));
}

TEST_F(FormsFile, TheShippedFormsHoldTheVacationSections)
{
    QFile::copy(QStringLiteral(KALVOR_SOURCE_DIR "/data/forms"), FormsFilePath());
    for (int section : {10, 11, 12, 13}) {
        const QByteArray text = ReadFormsSection(section);
        EXPECT_TRUE(text.contains("FIO")) << section;
        EXPECT_FALSE(text.contains('#')) << section;
    }
    EXPECT_EQ(ReadFormsSection(11).count("YEAR"), 12);
}

TEST(FormTags, ValuesStayInsideTheTagsRoom)
{
    QByteArray text("|FIO      |TNUM|DMAKE   |\r\nSUM1 |SUM\r\n");
    // Short: the rest of the tag is blanked.
    FillTag(text, "FIO", "Li");
    EXPECT_EQ(text, QByteArray("|Li       |TNUM|DMAKE   |\r\nSUM1 |SUM\r\n"));
    // Exact: the border after the room stays.
    FillTag(text, "TNUM", "  17");
    EXPECT_EQ(text.left(16), QByteArray("|Li       |  17|"));
    // Too long: cut to the room, the border restored.
    FillTag(text, "DMAKE", "07.04.2011|extra");
    EXPECT_EQ(text.left(25), QByteArray("|Li       |  17|07.04.20|"));
    // The room takes the blanks after the tag; "SUM" is not found inside
    // "SUM1"; a tag that does not occur is passed over.
    const qsizetype after = FillTag(text, "SUM1", "1234567.89");
    EXPECT_EQ(text.mid(27), QByteArray("12345|SUM\r\n"));
    EXPECT_EQ(after, 32);
    EXPECT_EQ(FillTag(text, "NONE", "x", 5), 5);
    EXPECT_EQ(FindTagRoom(text, "SUM").offset, 33);
    EXPECT_EQ(FindTagRoom(QByteArray("SUM1 SUM2"), "SUM").offset, -1);
}

TEST(FormTags, AmountFieldsSplitRoublesAndKopecks)
{
    AmountField field = FormatAmountField(123456, 8);
    EXPECT_EQ(field.roubles, QByteArray("    1234"));
    EXPECT_EQ(field.kopecks, QByteArray(".56"));
    // Rounded as the program rounds: 0.995 rouble gives 1.00.
    field = FormatAmountField(99.5, 4);
    EXPECT_EQ(field.roubles + field.kopecks, QByteArray("   1.00"));
    field = FormatAmountField(-5, 4);
    EXPECT_EQ(field.roubles + field.kopecks, QByteArray("  -0.05"));
    field = FormatAmountField(0, 6);
    EXPECT_EQ(field.roubles, QByteArray(6, ' '));
    EXPECT_EQ(field.kopecks, QByteArray(3, ' '));
}

TEST(VacationDays, NextDayRollsMonthsYearsAndLeapFebruaries)
{
    auto next = [](CalendarDay date) {
        NextDay(date);
        return date;
    };
    EXPECT_EQ(next({31, 12, 2010}), (CalendarDay{1, 1, 2011}));
    EXPECT_EQ(next({30, 4, 2011}), (CalendarDay{1, 5, 2011}));
    EXPECT_EQ(next({15, 4, 2011}), (CalendarDay{16, 4, 2011}));
    EXPECT_EQ(next({28, 2, 2011}), (CalendarDay{1, 3, 2011}));
    EXPECT_EQ(next({28, 2, 2012}), (CalendarDay{29, 2, 2012}));
    EXPECT_EQ(next({29, 2, 2012}), (CalendarDay{1, 3, 2012}));
    EXPECT_EQ(next({28, 2, 2000}), (CalendarDay{29, 2, 2000}));
    // 2100 is not a leap year.
    EXPECT_EQ(next({28, 2, 2100}), (CalendarDay{1, 3, 2100}));
}

TEST(VacationDays, HolidaysMoveTheLastDay)
{
    infobase::FirmInfo firm;
    auto holiday = [](int day, int month) { return std::uint16_t(day * 256 + month); };
    firm.fete = {holiday(1, 5), holiday(9, 5), holiday(12, 6), holiday(4, 11)};
    // 14 days from 25 April end on 8 May; 1 May inside gives 9 May, a holiday
    // itself, which gives 10 May.
    CalendarDay last{8, 5, 2011};
    ExtendForHolidays({25, 4, 2011}, last, firm);
    EXPECT_EQ(last, (CalendarDay{10, 5, 2011}));
    // A holiday on the first or the last day counts as inside.
    last = {12, 6, 2011};
    ExtendForHolidays({1, 5, 2011}, last, firm);
    EXPECT_EQ(last, (CalendarDay{15, 6, 2011}));
    last = {12, 6, 2011};
    ExtendForHolidays({6, 6, 2011}, last, firm);
    EXPECT_EQ(last, (CalendarDay{13, 6, 2011}));
    // No holiday: unchanged; across a year end the same days count again.
    last = {20, 10, 2011};
    ExtendForHolidays({1, 10, 2011}, last, firm);
    EXPECT_EQ(last, (CalendarDay{20, 10, 2011}));
    last = {2, 5, 2012};
    ExtendForHolidays({1, 12, 2011}, last, firm);
    EXPECT_EQ(last, (CalendarDay{3, 5, 2012}));
}

} // namespace
