// Calculation bases by selector: which kinds and deductions enter, the month
// windows of rows and archive, days and minutes, month counts and errors.
#include "PayrollWorld.h"

#include "payroll/Bases.h"
#include "payroll/PayKinds.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace payrolltest;

namespace {

struct BaseWorld {
    PayrollDoc doc;
    std::vector<AccrualRow> rows;
    BaseOptions options; // what the calculation pass would give

    BaseWorld()
    {
        setReportingMonth(doc, 2024, 3);
        PayKind vac = kind(30, {}, 1);
        vac.enOtp = 2;
        setKinds(doc, {kind(1, {"oblPodoh", "hr1"}, 1), kind(2, {"enKoefRS"}, 2), kind(17, {"oblPodoh"}, 1),
                       kind(45, {"oblPodoh"}, 1),
                       kind(600, {"oblPodoh"}, 1), vac, kind(7, {}, 5),
                       // Deductions flagged like accruals: the code decides what they do.
                       kind(800, {"oblPodoh", "hr1", "enKoefRS"}), kind(870, {"oblPodoh", "hr1", "enKoefRS"}),
                       kind(950, {"oblPodoh", "hr1", "enKoefRS"})});
    }
    struct Result {
        double sum;
        int count;
        double time;
    };
    Result base(int month, int monthsBack, int selector, int count = 0)
    {
        Result r{0, count, 0};
        r.sum = CalcBaseBySelectorWith(options, month, monthsBack, selector, r.count, r.time, rows.data(),
                                       int(rows.size()), doc);
        return r;
    }
};

} // namespace

TEST(CalcBaseBySelector, DeductionsUnderEachSelector)
{
    BaseWorld w;
    w.rows = {row(1, 100'000, 3), row(800, 10'000, 3), row(870, 20'000, 3), row(950, 40'000, 3)};
    EXPECT_EQ(w.base(0, 0, 0).sum, 100'000); // deductions ignored
    EXPECT_EQ(w.base(0, 0, 2).sum, 90'000); // oblPodoh: 800 subtracted, 870 and 950 ignored
    EXPECT_EQ(w.base(0, 0, -800).sum, 10'000); // one code, added
    EXPECT_EQ(w.base(0, 0, -1).sum, 100'000);
    for (int s = 16; s <= 19; ++s) EXPECT_EQ(w.base(0, 0, s).sum, 0) << s;
    EXPECT_EQ(w.base(0, 0, 8).sum, 90'000); // hr1
    EXPECT_EQ(w.base(0, 0, 7).sum, -10'000); // enKoefRS: only the deduction 800 has it
}

TEST(CalcBaseBySelector, DaysAndMinutesFollowTheSignAndSkipSomeCodes)
{
    BaseWorld w;
    w.rows = {row(1, 100'000, 3, 10, 80, 30), row(600, 50'000, 3, 2, 16, 0), row(1, -20'000, 3, 1, 8, 15),
              row(17, 5'000, 3, 4, 32, 0), row(45, 3'000, 3, 3, 24, 0)};
    const auto r = w.base(0, 0, 0);
    EXPECT_EQ(r.sum, 80'000 + 5'000 + 3'000); // 600 adds nothing
    EXPECT_EQ(r.count, 10 + 2 - 1); // 600 still counts its days, 17 and 45 do not
    EXPECT_EQ(r.time, (80 * 60 + 30) + 16 * 60 - (8 * 60 + 15));
    EXPECT_EQ(w.base(0, 0, -600).sum, 0);
}

TEST(CalcBaseBySelector, MonthWindowsOfRowsAndArchive)
{
    BaseWorld w;
    // Reporting month March 2024.
    w.rows = {row(1, 800, 8), row(1, 900, 9), row(1, 1'100, 11), row(1, 300, 3)};
    addArchive(w.doc, archive(1, 30'000, 2023, 3));
    addArchive(w.doc, archive(1, 20'000, 2024, 2));
    addArchive(w.doc, archive(1, 10'000, 2024, 1));
    EXPECT_EQ(w.base(9, 0, 0).sum, 900); // a row of month 9 is last year's September
    EXPECT_EQ(w.base(11, 0, 0).sum, 1'100); // and 11 last year's November
    EXPECT_EQ(w.base(8, 0, 0).sum, 0); // 8 is this year's August, the argument last year's
    EXPECT_EQ(w.base(3, 0, 0).sum, 30'000); // month 3 in March means March of last year
    EXPECT_EQ(w.base(0, 0, 0).sum, 300); // the reporting month
    EXPECT_EQ(w.base(0, 2, 0).sum, 30'000); // January and February
    EXPECT_EQ(w.base(-1, 1, 0).sum, 10'000); // one month ending two months before
    EXPECT_EQ(w.base(kBaseRowsOnly, 0, 0).sum, 3'100); // every row, no archive
    // Month count over March 2023 - February 2024: archive months 3, 2, 1 and
    // rows of months 9 and 11; August (ahead) and March (now) are outside.
    const auto c = w.base(0, 12, 0, -1);
    EXPECT_EQ(c.count, 0);
    EXPECT_EQ(c.time, 5);
}

TEST(CalcBaseBySelector, VacationWindowReachesAhead)
{
    BaseWorld w;
    w.rows = {row(1, 400, 4), row(1, 500, 5)};
    EXPECT_EQ(w.base(4, 0, 0).sum, 0); // April of last year
    w.options.vacationWindow = true;
    EXPECT_EQ(w.base(4, 0, 0).sum, 400);
    EXPECT_EQ(w.base(5, 0, 0).sum, 500);
}

TEST(CalcBaseBySelector, KindFlagsFundsAndMasks)
{
    BaseWorld w;
    w.rows = {row(1, 100, 3), row(2, 200, 3), row(30, 300, 3), row(7, 700, 3)};
    EXPECT_EQ(w.base(0, 0, 1).sum, 1'300); // every known kind
    w.options.fundFilter = 1;
    EXPECT_EQ(w.base(0, 0, 1).sum, 400); // fund 1 only
    w.options.fundFilter = 2;
    EXPECT_EQ(w.base(0, 0, 1).sum, 900);
    w.options.fundFilter = 0;
    EXPECT_EQ(w.base(0, 0, 4, 2).sum, 300); // enOtp 2
    EXPECT_EQ(w.base(0, 0, 4, 0).sum, 300); // enOtp 0, but code 7 never: 1 and 2
    EXPECT_EQ(w.base(0, 0, 7).sum, 200); // enKoefRS
    EXPECT_EQ(w.base(0, 0, 14).sum, 700); // fund bit 2 (fund 5)
    w.doc.infoBase.firm.masks[3][2] = 1;
    w.doc.infoBase.firm.masks[3][30] = 1;
    EXPECT_EQ(w.base(0, 0, 23).sum, 500);
    w.rows.push_back(row(999, 1, 3));
    EXPECT_EQ(w.base(0, 0, 23).sum, 500); // masks need no pay kind
    EXPECT_EQ(w.base(0, 0, 1).count, -5);
}

TEST(CalcBaseBySelector, SeveralCodesInOneWalkGiveEachCodesBase)
{
    BaseWorld w;
    // Reporting month March 2024: code 2 in the rows and the archive, 800 a
    // deduction (added under its own code), 600 adding nothing, 45 outside
    // the month asked for.
    w.rows = {row(2, 1'000, 3), row(800, 250, 3), row(600, 700, 3), row(2, 30, 3), row(45, 99, 2)};
    addArchive(w.doc, archive(2, 5'000, 2024, 3));
    addArchive(w.doc, archive(17, 400, 2024, 3));
    const std::vector<int> codes = {17, 2, 800, 600, 45, 999};
    std::vector<double> sums(codes.size(), -1);
    for (const int month : {0, 2}) {
        EXPECT_EQ(CalcBasesOfCodesWith(w.options, month, codes, sums, w.rows.data(), int(w.rows.size()), w.doc), 0);
        for (std::size_t i = 0; i < codes.size(); ++i)
            EXPECT_EQ(sums[i], w.base(month, 0, -codes[i]).sum) << month << " " << codes[i];
    }
    EXPECT_EQ(sums[4], 99); // month 2: only code 45
    CalcBasesOfCodesWith(w.options, 0, codes, sums, w.rows.data(), int(w.rows.size()), w.doc);
    EXPECT_EQ(sums, (std::vector<double>{400, 6'030, 250, 0, 0, 0}));
    // An entry without a month fails the walk as it fails each code's base.
    w.rows.push_back(row(1, 100, 0));
    EXPECT_EQ(CalcBasesOfCodesWith(w.options, 0, codes, sums, w.rows.data(), int(w.rows.size()), w.doc), -9);
    EXPECT_EQ(CalcBasesOfCodesWith(w.options, 0, {}, {}, w.rows.data(), int(w.rows.size()), w.doc), 0);
}

TEST(CalcBaseBySelector, Errors)
{
    BaseWorld w;
    w.rows = {row(1, 100, 0)};
    EXPECT_EQ(w.base(0, 0, 0).count, -9);
    EXPECT_EQ(w.base(kBaseRowsOnly, 0, 0).count, 0); // month 13 ignores the month
    w.rows.clear();
    addArchive(w.doc, archive(444, 1, 2024, 2));
    EXPECT_EQ(w.base(0, 1, 1).count, -4);
    EXPECT_EQ(w.base(0, 1, 0).count, 0);
    addArchive(w.doc, archive(1, 1, 0, 0));
    EXPECT_EQ(w.base(0, 1, 0).count, -8);
}

TEST(GetBitField, Ranges)
{
    EXPECT_EQ(GetBitField(0b1011'0110, 2, 3), 0b011);
    EXPECT_EQ(GetBitField(0xFF, 8, 1), 1);
    EXPECT_EQ(GetBitField(0xFF, 1, 8), 0xFF);
    EXPECT_EQ(GetBitField(0xFF, 0, 1), -1);
    EXPECT_EQ(GetBitField(0xFF, 9, 1), -1);
    EXPECT_EQ(GetBitField(0xFF, 2, 8), -1);
    EXPECT_EQ(GetBitField(0xFF, 3, 0), -1);
}
