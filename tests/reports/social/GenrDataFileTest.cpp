// Report data files of each tag written and read back byte for byte, the
// header checks of the merges, and the "inval" records that follow a
// pension-fund file.
#include "reports/social/GenrDataFile.h"

#include "platform/CodePage.h"
#include "platform/WorkingFolder.h"
#include "support/GenrDataFileReader.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstring>

using namespace kalvor;
using namespace kalvor::reports;

namespace {

QByteArray doubleBytes(double value)
{
    QByteArray b(8, '\0');
    std::uint64_t bits;
    std::memcpy(&bits, &value, 8);
    for (int i = 0; i < 8; ++i) b[i] = char((bits >> (8 * i)) & 0xFF);
    return b;
}

template <std::size_t N>
void setText(std::array<char, N>& field, const QString& text)
{
    field.fill(' ');
    const QByteArray bytes = codepage::toCp1251(text);
    std::memcpy(field.data(), bytes.constData(), std::min<std::size_t>(N, std::size_t(bytes.size())));
}

InvalRecord disabledEmployee(double sinceYearStart)
{
    InvalRecord r;
    setText(r.fio, QStringLiteral("Зуева,Людмила,Ивановна"));
    setText(r.invSprSer, QStringLiteral("МСЭ-2009"));
    setText(r.invSprNom, QStringLiteral("0412785"));
    setText(r.invSprDat, QStringLiteral("16.02.09"));
    setText(r.invEnd, QStringLiteral("01.03.2012"));
    r.invGr = 3;
    r.sinceYearStart = sinceYearStart;
    r.months = {15'000, 15'000, 16'500};
    r.quarter = 46'500;
    return r;
}

GenrDataFile fileOf(int tag, int values)
{
    GenrDataFile f;
    f.header = {std::uint8_t(tag), 1, 3, 111};
    for (int i = 0; i < values; ++i) f.values.push_back(i * 1.5 + 0.25);
    return f;
}

class GenrDataFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QByteArray bytesOf(const QString& p) const
    {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir;
};

TEST_F(GenrDataFiles, HeadcountFileIsTwelveBytes)
{
    GenrDataFile f;
    f.header = {GENR_TAG_HEADCOUNT, 1, 12, 110};
    f.values = {1'300};
    ASSERT_EQ(WriteGenrDataFile(path("chisl"), f), 0);
    const QByteArray bytes = bytesOf(path("chisl"));
    EXPECT_EQ(bytes, QByteArray("\x0e\x01\x0c\x6e", 4) + doubleBytes(1'300));

    GenrDataFile back;
    ASSERT_EQ(ReadGenrDataFile(path("chisl"), GENR_TAG_HEADCOUNT, nullptr, back), GenrReadStatus::Done);
    EXPECT_EQ(back.header, f.header);
    EXPECT_EQ(back.values, f.values);
}

TEST_F(GenrDataFiles, FilesOf425ValuesAndTheInvalRecordsAfterThem)
{
    for (int tag : {GENR_TAG_FSS4, GENR_TAG_INJURY, GENR_TAG_PF}) {
        SCOPED_TRACE(tag);
        GenrDataFile f = fileOf(tag, 425);
        f.inval = {disabledEmployee(92'000), disabledEmployee(46'500)};
        ASSERT_EQ(WriteGenrDataFile(path("itog"), f), 0);
        const QByteArray bytes = bytesOf(path("itog"));
        // Tag 15 carries the two records; tag 17 whatever it is given; tag 10 none.
        const int records = tag == GENR_TAG_INJURY ? 0 : 2;
        ASSERT_EQ(bytes.size(), 3'404 + 128 * records);
        EXPECT_EQ(bytes.left(4), QByteArray("\x01\x03\x6f", 3).prepend(char(tag)));
        EXPECT_EQ(bytes.mid(4, 8), doubleBytes(0.25));
        EXPECT_EQ(bytes.mid(4 + 424 * 8, 8), doubleBytes(424 * 1.5 + 0.25));

        GenrDataFile back;
        ASSERT_EQ(ReadGenrDataFile(path("itog"), tag, &f.header, back), GenrReadStatus::Done);
        EXPECT_EQ(back.values, f.values);
        EXPECT_EQ(back.inval.size(), std::size_t(records));
        if (records != 0) {
            EXPECT_EQ(back.inval, f.inval);
        }
        EXPECT_EQ(GenrDataFileBytes(back), bytes);
    }
}

TEST_F(GenrDataFiles, InvalRecordLayout)
{
    const InvalRecord r = disabledEmployee(92'000);
    const QByteArray bytes = InvalRecordsToBytes({r});
    ASSERT_EQ(bytes.size(), 128);
    EXPECT_EQ(bytes[0], '\0');
    EXPECT_EQ(bytes.mid(1, 22), codepage::toCp1251(QStringLiteral("Зуева,Людмила,Ивановна")));
    EXPECT_EQ(bytes.mid(51, 8), codepage::toCp1251(QStringLiteral("МСЭ-2009")));
    EXPECT_EQ(bytes.mid(59, 10), QByteArray("0412785   "));
    EXPECT_EQ(bytes.mid(69, 8), QByteArray("16.02.09"));
    EXPECT_EQ(bytes.mid(77, 10), QByteArray("01.03.2012"));
    EXPECT_EQ(bytes[87], '\x03');
    EXPECT_EQ(bytes.mid(88, 8), doubleBytes(92'000));
    EXPECT_EQ(bytes.mid(96, 8), doubleBytes(46'500));
    EXPECT_EQ(bytes.mid(104, 8), doubleBytes(15'000));
    EXPECT_EQ(bytes.mid(120, 8), doubleBytes(16'500));

    // "inval" of the working folder written and read back.
    platform::SetWorkingFolder(dir.path());
    EXPECT_EQ(InvalFilePath(), dir.filePath(QStringLiteral("inval")));
    ASSERT_EQ(WriteInvalFile(InvalFilePath(), {r, r}), 0);
    std::vector<InvalRecord> back;
    ASSERT_EQ(ReadInvalFile(InvalFilePath(), back), 0);
    EXPECT_EQ(back, (std::vector<InvalRecord>{r, r}));
    platform::SetWorkingFolder(QString());
}

TEST_F(GenrDataFiles, EndOfValidity)
{
    kalvor::infobase::EmployeeHead head;
    const auto text = [&] {
        const auto t = InvalValidityText(head);
        return QByteArray(t.data(), 10);
    };
    const QByteArray unlimited = codepage::toCp1251(QStringLiteral("бессрочно")) + '\0';
    EXPECT_EQ(text(), unlimited);
    head.invDat1Begin = 2009 * 16 + 2;
    head.invDat1End = 2012 * 16 + 3;
    EXPECT_EQ(text(), QByteArray("01.03.2012"));
    head.invDat2Begin = 2012 * 16 + 3;
    EXPECT_EQ(text(), unlimited);
    head.invDat2End = 2013 * 16 + 11;
    EXPECT_EQ(text(), QByteArray("01.11.2013"));
}

TEST_F(GenrDataFiles, HeadersOfAnotherReportOrPeriodAreRefused)
{
    GenrDataFile f = fileOf(GENR_TAG_FSS4, 425);
    ASSERT_EQ(WriteGenrDataFile(path("fss"), f), 0);
    GenrDataFile back;
    EXPECT_EQ(ReadGenrDataFile(path("fss"), GENR_TAG_PF, nullptr, back), GenrReadStatus::Foreign);
    GenrDataHeader otherQuarter = f.header;
    otherQuarter.lastMonth = 6;
    EXPECT_EQ(ReadGenrDataFile(path("fss"), GENR_TAG_FSS4, &otherQuarter, back), GenrReadStatus::Foreign);
    GenrDataHeader otherYear = f.header;
    otherYear.yearByte = 110;
    EXPECT_EQ(ReadGenrDataFile(path("fss"), GENR_TAG_FSS4, &otherYear, back), GenrReadStatus::Foreign);
    EXPECT_EQ(GenrReadStatusText(GenrReadStatus::Foreign),
              QStringLiteral("Файл не имеет отношения к выбранному Вами своду"));

    // Months outside 1-12, years before 1994.
    for (const GenrDataHeader& bad :
         {GenrDataHeader{17, 0, 3, 111}, GenrDataHeader{17, 1, 13, 111}, GenrDataHeader{17, 1, 3, 93}}) {
        QByteArray bytes = GenrDataFileBytes(f);
        bytes[1] = char(bad.firstMonth);
        bytes[2] = char(bad.lastMonth);
        bytes[3] = char(bad.yearByte);
        EXPECT_EQ(ParseGenrDataFile(bytes, GENR_TAG_FSS4, nullptr, back), GenrReadStatus::Foreign);
    }
    // The years of the generator's parameters, 1994-2155, are read.
    for (const int yearByte : {94, 121, 126, 255}) {
        QByteArray bytes = GenrDataFileBytes(f);
        bytes[3] = char(yearByte);
        EXPECT_EQ(ParseGenrDataFile(bytes, GENR_TAG_FSS4, nullptr, back), GenrReadStatus::Done) << yearByte;
    }
    // Cut short in the values, or a part record after them.
    const QByteArray whole = GenrDataFileBytes(f);
    EXPECT_EQ(ParseGenrDataFile(whole.left(3'000), GENR_TAG_FSS4, nullptr, back), GenrReadStatus::ReadFailed);
    EXPECT_EQ(ParseGenrDataFile(whole + QByteArray(20, 'x'), GENR_TAG_FSS4, nullptr, back), GenrReadStatus::ReadFailed);
}

TEST_F(GenrDataFiles, AValueNoReportHoldsRefusesTheFile)
{
    GenrDataFile f = fileOf(GENR_TAG_PF, 425);
    f.inval = {disabledEmployee(10'000), disabledEmployee(20'000)};
    const std::size_t values = GenrDataHeader::Size, inval2 = values + 425 * 8 + InvalRecord::Size;
    const struct {
        std::size_t at;
        QByteArray bytes;
        const char* said;
    } cases[] = {
        {values + 17 * 8, doubleBytes(std::nan("")), "значений отчёта, поле 17: недопустимое значение не число"},
        {values + 424 * 8, doubleBytes(HUGE_VAL), "значений отчёта, поле 424: недопустимое значение бесконечность"},
        {values, doubleBytes(-1e15), "значений отчёта, поле 0: недопустимое значение -1e+15"},
        {inval2 + 87, QByteArray(1, char(9)), "inval 2, поле invGr: недопустимое значение 9"},
        {inval2 + 88, doubleBytes(-HUGE_VAL),
         "inval 2, поле sinceYearStart: недопустимое значение минус бесконечность"},
    };
    for (const auto& c : cases) {
        QByteArray bytes = GenrDataFileBytes(f);
        bytes.replace(qsizetype(c.at), c.bytes.size(), c.bytes);
        QFile bad(path("bad"));
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
        bad.write(bytes);
        bad.close();
        GenrDataFile back;
        QString refusal;
        EXPECT_EQ(ReadGenrDataFile(path("bad"), GENR_TAG_PF, nullptr, back, &refusal), GenrReadStatus::BadValue);
        EXPECT_EQ(refusal, QStringLiteral("Файл не загружен: в нём недопустимые значения.\nФайл bad, запись ") +
                               QString::fromUtf8(c.said));
        EXPECT_TRUE(back.values.empty());
        EXPECT_TRUE(back.inval.empty());
    }
}

} // namespace
