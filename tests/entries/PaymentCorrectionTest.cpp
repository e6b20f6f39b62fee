// The payment correction of sheets and notes on a fixture base: the rows'
// texts, the total "К выдаче" worked by hand through the rounding of kind 904
// and the payout rounding (lines without "Выплатить в м/р" left out), the way
// from a grid row to its line, a corrected third note stored and read back,
// and a row whose employee is gone stopping the reading with nothing changed.
#include "entries/PaymentCorrection.h"
#include "infobase/InfoBaseDb.h"
#include "support/StoredBase.h"
#include "support/TestFixture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace en = kalvor::entries;
namespace ib = kalvor::infobase;

namespace {

ib::VacationNote Note(int day, double sum, bool interim, int days = 14, int hundredths = 0)
{
    ib::VacationNote note;
    note.dBegin = ib::u16(day);
    note.mBegin = 3;
    note.gBegin = 2026;
    note.dlin = ib::u16(days);
    note.dlinHundredths = ib::u8(hundredths);
    note.sum = sum;
    note.mrp = interim ? 1 : 0;
    return note;
}

ib::SickLeaveSheet Sheet(double sum, int mrp)
{
    ib::SickLeaveSheet sheet;
    sheet.dBegin = 28;
    sheet.mBegin = 2;
    sheet.gBegin = 2026;
    sheet.dEnd = 8;
    sheet.mEnd = 3;
    sheet.gEnd = 2026;
    sheet.vid = 10;
    sheet.mrp = ib::u8(mrp);
    sheet.sum = sum;
    return sheet;
}

// Six fixture employees; the first has three notes, the second one, the
// third two, and only the first a sick-leave sheet. Pay kind 904 rounds to
// 10 kopecks, halves up; the payout is cut to whole roubles.
class PaymentCorrection : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        base().workFolder = dir.path() + QLatin1Char('/');
        base().baseName = QStringLiteral("pay");
        ib::CreateSchemaBase(base().workFolder, base().baseName);
        ib::OpenBase(base());
        fx = ib::BuildFixtureBase(base(), 6, 7);
        for (int slot = 1; slot <= base().otp.slotCount(); ++slot) base().otp.removeRun(slot);
        for (int slot = 1; slot <= base().bln.slotCount(); ++slot) base().bln.removeRun(slot);
        ASSERT_TRUE(base().otp.replaceRun(SlotAt(0), std::vector<ib::VacationNote>{Note(2, 123456, true),
                                                                                   Note(16, 5055, false, 3, 5),
                                                                                   Note(19, 78990, true, 10, 50)}));
        ASSERT_TRUE(base().otp.replaceRun(SlotAt(1), std::vector<ib::VacationNote>{Note(9, 19995, true)}));
        ASSERT_TRUE(
            base().otp.replaceRun(SlotAt(2), std::vector<ib::VacationNote>{Note(1, 700, true), Note(3, 0, false)}));
        ASSERT_TRUE(base().bln.replaceRun(SlotAt(0), std::vector<ib::SickLeaveSheet>{Sheet(4321.4, 255)}));
        SetRounding(3, 2);
        ib::SaveAll(base(), fx.records);
    }
    void TearDown() override { ib::CloseBase(base()); }

    ib::CInfoBase& base() { return doc.infoBase; }
    int SlotAt(int listIndex) const { return doc.infoBase.list[std::size_t(listIndex)].slot; }
    QString TabNAt(int listIndex) const { return QString::number(doc.infoBase.list[std::size_t(listIndex)].tabN()); }
    // The okrug field of kind 904 (added when the fixture lacks it) and the payout mode.
    void SetRounding(int kindField, int payoutMode)
    {
        const auto& kinds = base().payKinds();
        const auto is904 = [](const ib::PayKind& kind) { return kind.kod == 904; };
        if (std::none_of(kinds.begin(), kinds.end(), is904)) {
            ib::PayKind kind;
            kind.kod = 904;
            base().addPayKind(kind);
        }
        const auto at = std::find_if(kinds.begin(), kinds.end(), is904);
        base().payKindAt(ib::NumberOfPlace(int(at - kinds.begin()))).okrug = ib::u8(kindField);
        base().config.okrugVypWord = ib::u16(payoutMode);
    }
    QStringList Column(const en::PaymentListing& listing, int column) const
    {
        QStringList texts;
        for (const en::PaymentRowTexts& row : listing.rows) texts << row[std::size_t(column)];
        return texts;
    }

    QTemporaryDir dir;
    kalvor::PayrollDoc doc;
    ib::FixtureBase fx;
};

} // namespace

TEST_F(PaymentCorrection, NotesGiveOneRowEachAndTheTotalTakesOnlyInterimLines)
{
    const en::PaymentListing listing = en::ListPaymentLines(doc, en::PaymentLines::Vacation, {0, 1, 2, 3});
    ASSERT_EQ(listing.rows.size(), 6u);
    EXPECT_EQ(Column(listing, en::PaymentTabN),
              QStringList({TabNAt(0), TabNAt(0), TabNAt(0), TabNAt(1), TabNAt(2), TabNAt(2)}));
    EXPECT_EQ(listing.rows[0][en::PaymentName], base().shortNameOf(SlotAt(0)));
    EXPECT_EQ(Column(listing, en::PaymentStart),
              QStringList({"02.03.26", "16.03.26", "19.03.26", "09.03.26", "01.03.26", "03.03.26"}));
    EXPECT_EQ(Column(listing, en::PaymentFourth), QStringList({"14,00", "3,05", "10,50", "14,00", "14,00", "14,00"}));
    EXPECT_EQ(Column(listing, en::PaymentInterim), QStringList({"1", "", "1", "1", "1", ""}));
    EXPECT_EQ(Column(listing, en::PaymentAmount), QStringList({"1234.56", "50.55", "789.90", "199.95", "7.00", ""}));
    // 1234.56 -> 1234.60 -> 1234; 789.90 -> 789; 199.95 -> 200.00 -> 200;
    // 7.00 -> 7; the 50.55 of a note without the flag stays out.
    EXPECT_DOUBLE_EQ(listing.total, 123400 + 78900 + 20000 + 700);

    // Whole kopecks and no payout cut: the amounts themselves.
    SetRounding(1, 0);
    EXPECT_DOUBLE_EQ(en::ListPaymentLines(doc, en::PaymentLines::Vacation, {0, 1, 2}).total,
                     123456 + 78990 + 19995 + 700);
    // Kind 904 set to zero: nothing to pay.
    SetRounding(7, 0);
    EXPECT_DOUBLE_EQ(en::ListPaymentLines(doc, en::PaymentLines::Vacation, {0, 1, 2}).total, 0);
}

TEST_F(PaymentCorrection, SheetsShowTheirEndDateAndKind)
{
    const en::PaymentListing listing = en::ListPaymentLines(doc, en::PaymentLines::SickLeave, {0, 1, 2});
    ASSERT_EQ(listing.rows.size(), 1u);
    const en::PaymentRowTexts& row = listing.rows[0];
    EXPECT_EQ(row[en::PaymentTabN], TabNAt(0));
    EXPECT_EQ(row[en::PaymentStart], QStringLiteral("28.02.26"));
    EXPECT_EQ(row[en::PaymentFourth], QStringLiteral("08.03.26"));
    EXPECT_EQ(row[en::PaymentKind], QStringLiteral("10"));
    EXPECT_EQ(row[en::PaymentInterim], QStringLiteral("1")) << "the sheet's flag is 255";
    EXPECT_EQ(row[en::PaymentAmount], QStringLiteral("43.21"));
    EXPECT_DOUBLE_EQ(listing.total, 4300); // 43.21 -> 43.20 -> 43
    EXPECT_EQ(en::PaymentHeadings(en::PaymentLines::SickLeave)[en::PaymentFourth], QStringLiteral("Конец"));
    EXPECT_EQ(en::PaymentHeadings(en::PaymentLines::Vacation)[en::PaymentFourth], QStringLiteral("Длина"));
}

TEST_F(PaymentCorrection, RowsFindTheirEmployeesLinesInOrder)
{
    const auto sums = [&](int listIndex) {
        std::vector<double> kopecks;
        for (const ib::VacationNote& note : base().otp.run(SlotAt(listIndex))) kopecks.push_back(note.sum);
        return kopecks;
    };
    const QStringList numbers{TabNAt(0), TabNAt(0), TabNAt(0), TabNAt(1), TabNAt(2), TabNAt(2)};
    const en::PaymentReadBack read =
        en::ReadPaymentAmounts(base(), en::PaymentLines::Vacation, numbers, {"1", "2", "3", "4", "5", "6"});
    EXPECT_TRUE(read.allFound);
    EXPECT_EQ(sums(0), (std::vector<double>{100, 200, 300}));
    EXPECT_EQ(sums(1), (std::vector<double>{400}));
    EXPECT_EQ(sums(2), (std::vector<double>{500, 600}));
    // A fourth row of the first employee has no line of his own, nor has a
    // row of a number nobody has: nothing is read.
    const std::vector<ib::VacationNote> lines = base().otp.lines;
    const QStringList tooMany{TabNAt(0), TabNAt(0), TabNAt(0), TabNAt(0)};
    EXPECT_FALSE(en::ReadPaymentAmounts(base(), en::PaymentLines::Vacation, tooMany, {"7", "8", "9", "10"}).allFound);
    EXPECT_FALSE(
        en::ReadPaymentAmounts(base(), en::PaymentLines::Vacation, {QStringLiteral("8000"), QString()}, {"7", "8"})
            .allFound);
    EXPECT_EQ(base().otp.lines, lines);
}

TEST_F(PaymentCorrection, EditingTheThirdRowChangesTheThirdNoteInTheBase)
{
    const QStringList numbers{TabNAt(0), TabNAt(0), TabNAt(0), TabNAt(1)};
    const std::vector<ib::VacationNote> before = base().otp.run(SlotAt(0));
    const en::PaymentReadBack read =
        en::ReadPaymentAmounts(base(), en::PaymentLines::Vacation, numbers, {"1234.56", "50.55", "800.25", "199.95"});
    EXPECT_TRUE(read.allFound);
    EXPECT_TRUE(read.changed);
    std::vector<ib::VacationNote> expected = before;
    expected[2].sum = 80025;
    EXPECT_EQ(base().otp.run(SlotAt(0)), expected);
    en::SavePaymentLines(base(), en::PaymentLines::Vacation);

    ib::CInfoBase again;
    again.workFolder = base().workFolder;
    again.baseName = base().baseName;
    ib::OpenStoredBase(again);
    ib::LoadAll(again);
    EXPECT_EQ(again.otp.run(SlotAt(0)), expected);
    EXPECT_EQ(again.otp.run(SlotAt(1)), base().otp.run(SlotAt(1)));
    ib::CloseBase(again);
}

TEST_F(PaymentCorrection, ATextThatStillShowsTheAmountKeepsItsKopeckFractions)
{
    ASSERT_TRUE(base().bln.replaceRun(SlotAt(0), std::vector<ib::SickLeaveSheet>{Sheet(4321.4, 255)}));
    const QStringList numbers{TabNAt(0)};
    EXPECT_FALSE(en::ReadPaymentAmounts(base(), en::PaymentLines::SickLeave, numbers, {"43.21"}).changed);
    EXPECT_DOUBLE_EQ(base().bln.run(SlotAt(0))[0].sum, 4321.4);
    EXPECT_TRUE(en::ReadPaymentAmounts(base(), en::PaymentLines::SickLeave, numbers, {""}).changed);
    EXPECT_DOUBLE_EQ(base().bln.run(SlotAt(0))[0].sum, 0);
    // More places than the column's two are refused, as the column refuses
    // them when typed: the amount stays.
    EXPECT_FALSE(en::ReadPaymentAmounts(base(), en::PaymentLines::SickLeave, numbers, {"12.3456"}).changed);
    EXPECT_DOUBLE_EQ(base().bln.run(SlotAt(0))[0].sum, 0);
    EXPECT_TRUE(en::ReadPaymentAmounts(base(), en::PaymentLines::SickLeave, numbers, {"1 012,35"}).changed);
    EXPECT_DOUBLE_EQ(base().bln.run(SlotAt(0))[0].sum, 101235) << "typed roubles in kopecks";
}

TEST_F(PaymentCorrection, ARowWhoseEmployeeIsGoneStopsTheReadingWithNothingChanged)
{
    const QStringList numbers{TabNAt(0), TabNAt(0), TabNAt(0), TabNAt(1), TabNAt(2), TabNAt(2)};
    const std::vector<ib::VacationNote> lines = base().otp.lines;
    base().EraseEmployeeEntry(1);
    const en::PaymentReadBack read =
        en::ReadPaymentAmounts(base(), en::PaymentLines::Vacation, numbers, {"1", "2", "3", "4", "5", "6"});
    EXPECT_FALSE(read.allFound);
    EXPECT_FALSE(read.changed);
    EXPECT_EQ(base().otp.lines, lines) << "not even the rows above the missing one are taken";
}
