// The reference files and the empty-base template that the build makes from
// data/src: read back through the program's own readers, they must hold the
// rules of 2010 and 2011 (tax and contribution rates, caps, deductions), and a
// base made from the template must open with nothing in it but the settings,
// the standard pay kinds and the schedules.
#include "infobase/InfoBaseDb.h"
#include "infobase/RefFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <set>

using namespace kalvor::infobase;

#ifdef KALVOR_DATA_DIR

namespace {

QString dataDir() { return QStringLiteral(KALVOR_DATA_DIR "/"); }

// Month number of the tax tables.
int taxMonth(int year, int month) { return (year - 1900) * 12 + month; }

double rate(const TaxTable::Variant& v) { return v.ratePercent + v.rateHundredths / 100.0; }
double rate(const TaxScaleBand& b) { return b.percent + b.hundredths / 100.0; }

// The variant of a table that holds in a month; nullptr when none or both do.
const TaxTable::Variant* variantFor(const TaxTable& t, int year, int month)
{
    const int m = taxMonth(year, month);
    const TaxTable::Variant* found = nullptr;
    for (const TaxTable::Variant& v : t.variants) {
        if (!v.defined() || (v.first != 0 && m < v.first) || (v.last != 0 && m > v.last))
            continue;
        if (found)
            return nullptr;
        found = &v;
    }
    return found;
}

// Charge in roubles of a cumulative base (roubles) by a variant's scale: the
// last band whose lower bound the base reaches, its fixed part plus its
// percent of the excess.
double charge(const TaxTable::Variant& v, double base)
{
    const TaxScaleBand* band = nullptr;
    for (const TaxScaleBand& b : v.scale) {
        if (b.isEmpty() || b.lower > base)
            break;
        band = &b;
    }
    return band ? band->fixed + rate(*band) * (base - band->lower) / 100 : 0;
}

class RefData : public ::testing::Test {
protected:
    void SetUp() override
    {
        ref.setFolder(dataDir());
        ASSERT_TRUE(ref.OpenAll()) << "reference files missing in " << qPrintable(dataDir());
    }
    const TaxTable& table(int number) const { return ref.nalog[std::size_t(number - 1)]; }
    // The table of a contribution kind for an employee of age group g (0 born
    // before 1967, 1 after 1966).
    const TaxTable& contributionTable(int kind, int g = 0) const
    {
        const ContributionKind& k = ref.sbor[std::size_t(kind)];
        return table(k.table + ((k.code == 990 || k.code == 995) ? g : 0));
    }
    const DeductionKind* deduction(int code) const
    {
        for (int i = 0; i < ref.vichet.count; ++i)
            if (ref.vichet.records[std::size_t(i)].code == code)
                return &ref.vichet.records[std::size_t(i)];
        return nullptr;
    }
    CRefFiles ref;
};

} // namespace

TEST_F(RefData, IncomeTaxTablesHoldTheRatesOf2010And2011)
{
    // Table 1 residents, 2 non-residents (the table after the employee's own),
    // 3 and 4 the 35 % and 9 % incomes; all flat, the same in both years.
    const double rates[] = {13, 30, 35, 9};
    for (int t = 1; t <= 4; ++t) {
        for (int year : {2010, 2011}) {
            for (int month : {1, 6, 12}) {
                const TaxTable::Variant* v = variantFor(table(t), year, month);
                ASSERT_NE(v, nullptr) << "table " << t << " " << year << "-" << month;
                EXPECT_DOUBLE_EQ(rate(*v), rates[t - 1]);
                EXPECT_DOUBLE_EQ(rate(v->scale[0]), rates[t - 1]);
                EXPECT_EQ(v->scale[0].lower, 0);
                EXPECT_TRUE(v->scale[1].isEmpty());
            }
        }
        EXPECT_EQ(table(t).taxRowCode, 902);
    }
    // Residents' tax grows from January: 13 % of 250,000 roubles is 32,500.
    EXPECT_EQ(variantFor(table(1), 2011, 4)->cumulative, 1);
    EXPECT_DOUBLE_EQ(charge(*variantFor(table(1), 2011, 4), 250'000), 32'500);
    // The 2010 variant ends with December 2010, the 2011 one stays open.
    EXPECT_EQ(table(1).variants[0].last, taxMonth(2010, 12));
    EXPECT_EQ(table(1).variants[1].first, taxMonth(2011, 1));
    EXPECT_EQ(table(1).variants[1].last, 0);
    EXPECT_EQ(variantFor(table(1), 2009, 12), nullptr);
    EXPECT_EQ(ref.nalogCount, CRefFiles::NalogCount);
}

TEST_F(RefData, ContributionsHoldTheRatesAndCapsOf2010And2011)
{
    ASSERT_EQ(ref.sborCount, 7);
    // Kinds 0-3: pension, social insurance, federal and territorial medical.
    EXPECT_EQ(ref.sbor[0].code, 990);
    EXPECT_EQ(ref.sbor[1].code, 992);
    EXPECT_EQ(ref.sbor[2].code, 994);
    EXPECT_EQ(ref.sbor[3].code, 993);
    EXPECT_EQ(ref.sbor[6].code, 995);
    struct Expect {
        int kind;
        double rate2010, rate2011;
    };
    for (const Expect& e : {Expect{0, 20, 26}, Expect{1, 2.9, 2.9}, Expect{2, 1.1, 3.1}, Expect{3, 2.0, 2.0}}) {
        for (int g : {0, 1}) {
            const TaxTable& t = contributionTable(e.kind, g);
            const TaxTable::Variant* v10 = variantFor(t, 2010, 7);
            const TaxTable::Variant* v11 = variantFor(t, 2011, 7);
            ASSERT_TRUE(v10 && v11) << "kind " << e.kind;
            EXPECT_DOUBLE_EQ(rate(*v10), e.rate2010) << "kind " << e.kind;
            EXPECT_DOUBLE_EQ(rate(v10->scale[0]), e.rate2010) << "kind " << e.kind;
            EXPECT_DOUBLE_EQ(rate(*v11), e.rate2011) << "kind " << e.kind;
            EXPECT_DOUBLE_EQ(rate(v11->scale[0]), e.rate2011) << "kind " << e.kind;
            EXPECT_EQ(v10->cumulative, 1);
            // Nothing is charged on the part of the year's base above the cap:
            // 415,000 roubles in 2010, 463,000 in 2011.
            EXPECT_NEAR(charge(*v10, 415'000), 415'000 * e.rate2010 / 100, 1e-6);
            EXPECT_NEAR(charge(*v10, 600'000), 415'000 * e.rate2010 / 100, 1e-6);
            EXPECT_NEAR(charge(*v11, 463'000), 463'000 * e.rate2011 / 100, 1e-6);
            EXPECT_NEAR(charge(*v11, 500'000), 463'000 * e.rate2011 / 100, 1e-6);
            EXPECT_NEAR(charge(*v11, 100'000), 100'000 * e.rate2011 / 100, 1e-6);
        }
    }
    // Insurance and funded parts of the pension contribution by age group:
    // born before 1967 all goes to the insurance part; after 1966, 6 % is funded.
    EXPECT_DOUBLE_EQ(rate(*variantFor(contributionTable(4, 0), 2010, 3)), 20);
    EXPECT_DOUBLE_EQ(rate(*variantFor(table(ref.sbor[4].table + 1), 2010, 3)), 14);
    EXPECT_DOUBLE_EQ(rate(*variantFor(table(ref.sbor[4].table + 1), 2011, 3)), 20);
    EXPECT_DOUBLE_EQ(rate(*variantFor(table(ref.sbor[5].table), 2011, 3)), 0);
    EXPECT_DOUBLE_EQ(rate(*variantFor(table(ref.sbor[5].table + 1), 2011, 3)), 6);
    // Accident insurance (class I), no cap.
    EXPECT_DOUBLE_EQ(rate(*variantFor(contributionTable(6, 1), 2011, 3)), 0.2);
    EXPECT_NEAR(charge(*variantFor(contributionTable(6, 1), 2011, 3), 600'000), 1'200, 1e-6);
    // Contribution rows of their own only for the kinds with a code.
    EXPECT_EQ(ref.sbor[4].code, 0);
    EXPECT_EQ(ref.sbor[5].code, 0);
}

TEST_F(RefData, StandardDeductionsOf2010And2011)
{
    struct Expect {
        int code;
        double monthly, limit; // roubles
    };
    const Expect expected[] = {
        {103, 400, 40'000}, // on oneself, both years
        {108, 1'000, 280'000}, // per child, 2010
        {114, 1'000, 280'000}, // first child, 2011
        {115, 1'000, 280'000}, // second child
        {116, 3'000, 280'000}, // third child
        {117, 3'000, 280'000}, // disabled child
    };
    for (const Expect& e : expected) {
        const DeductionKind* d = deduction(e.code);
        ASSERT_NE(d, nullptr) << e.code;
        EXPECT_DOUBLE_EQ(d->monthly, e.monthly * 100) << e.code;
        EXPECT_DOUBLE_EQ(d->limit, e.limit * 100) << e.code;
        EXPECT_FALSE(d->name.isEmpty());
    }
    EXPECT_LE(ref.vichet.count, DeductionKindBook::Capacity);
}

TEST_F(RefData, BooksCopiesAndCountries)
{
    EXPECT_GT(ref.profiCount, 10);
    EXPECT_GT(ref.postCount, 10);
    EXPECT_GT(ref.titleCount, 3);
    EXPECT_EQ(ref.post[0].name, QStringLiteral("Директор"));
    EXPECT_FALSE(ref.recipientAt(1).recipient.isEmpty());
    EXPECT_EQ(ref.recipientAt(1).bik.size(), 9);
    EXPECT_FALSE(ref.lazer.isEmpty());
    EXPECT_EQ(ref.palitra.size() % 4, 0);
    // Each of the nine files has its copy with a leading underscore, byte for byte.
    for (const QString& name : CRefFiles::FileNames()) {
        QFile a(dataDir() + name), b(dataDir() + QLatin1Char('_') + name);
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly)) << qPrintable(name);
        EXPECT_EQ(a.readAll(), b.readAll()) << qPrintable(name);
    }
    // "country": 53-byte records.
    EXPECT_EQ(QFile(dataDir() + QStringLiteral("country")).size() % 53, 0);
}

namespace {

// The firm-wide figures of the template: minimum wages, the sick-leave caps, holidays.
void ExpectTemplateFirmFigures(const CInfoBase& base)
{
    // Minimum monthly wage: 4,330 roubles, 4,611 from June 2011.
    EXPECT_EQ(base.config.mrot[4], 4'330);
    EXPECT_EQ(base.config.mrot[5], 4'611);
    EXPECT_EQ(base.config.mrotPrev[11], 4'330);
    // Sick-leave benefit: earnings counted up to 415,000 roubles a year; the
    // least benefit from the minimum wage of 4,330.
    EXPECT_EQ(base.firm.blnMaxOgr, 41'500'000);
    EXPECT_EQ(base.firm.blnMaxOgrBegRab, 433'000);
    // Twelve public holidays, two of them in May.
    EXPECT_EQ(base.firm.feteKv, 12);
    EXPECT_EQ(base.firm.feteMes[4], 2);
}

// The pay kinds: the built-in ones and those the calculation reaches by number.
void ExpectTemplatePayKindCodes(const CInfoBase& base)
{
    // The 86 built-in kinds, each named, sorted by code.
    const std::set<int> builtIn = {
        1,   2,   3,   4,   5,   6,   7,   8,   9,   16,  17,  18,  19,  21,  22,  25,  35,  39,  40,  41,  45,  71,
        75,  82,  83,  85,  86,  87,  88,  89,  101, 102, 103, 104, 110, 111, 112, 113, 114, 115, 116, 117, 150, 151,
        154, 155, 156, 157, 158, 159, 163, 165, 166, 167, 168, 169, 170, 171, 172, 178, 195, 196, 197, 901, 902, 903,
        904, 905, 906, 907, 908, 909, 911, 912, 913, 914, 915, 919, 920, 921, 990, 991, 992, 993, 994, 995};
    ASSERT_EQ(builtIn.size(), 86u);
    // Besides them, the codes that the calculation writes or reads by number:
    // a month that reaches one of them without its kind stops on "unknown
    // code". Time-sheet rows (53, 61, 62, 64-66, 72), the loan interest (79)
    // and the other 35 % income (84), vacation pay by kind and month (90, 91,
    // 95-98, 689), the benefit top-up (153), income at a former employer
    // (401), unpaid time (600), the employee's pension contributions (922,
    // 923) and the bank's commissions (935-937); the sick-leave codes of the
    // financing sources 1-4 (561-584, 641-654, 661-684) and of the other
    // sheets' benefit (695-697).
    std::set<int> engine = {53, 61,  62,  64,  65,  66,  72,  79,  84,  90,  91,  95,  96, 97,
                            98, 153, 401, 600, 689, 922, 923, 935, 936, 937, 695, 696, 697};
    for (int family : {560, 570, 580, 640, 650, 660, 670, 680})
        for (int source = 1; source <= 4; ++source) engine.insert(family + source);
    std::set<int> expected = builtIn;
    expected.insert(engine.begin(), engine.end());
    ASSERT_EQ(expected.size(), builtIn.size() + engine.size());
    ASSERT_EQ(base.payKinds().size(), expected.size());
    EXPECT_EQ(base.config.nEnt, expected.size());
    std::set<int> got;
    for (std::size_t i = 0; i < base.payKinds().size(); ++i) {
        const PayKind& k = base.payKinds()[i];
        got.insert(k.kod);
        EXPECT_FALSE(k.name.trimmed().isEmpty()) << k.kod;
        if (i > 0) {
            EXPECT_LT(base.payKinds()[i - 1].kod, k.kod);
        }
    }
    EXPECT_EQ(got, expected);
}

// What a few kinds carry: tax, averages, fund, statement columns.
void ExpectTemplatePayKindAttributes(const CInfoBase& base)
{
    // Salary is taxed, enters the averages and the contribution base (wages fund);
    // the sick-leave benefit is paid from the social insurance fund.
    const auto kind = [&base](int code) {
        return *std::find_if(base.payKinds().begin(), base.payKinds().end(),
                             [code](const PayKind& k) { return k.kod == code; });
    };
    EXPECT_EQ(kind(4).oblPodoh, 1);
    EXPECT_EQ(kind(4).enSrZar, 1);
    EXPECT_EQ(kind(4).fond, 1);
    EXPECT_EQ(kind(4).kodDoh, 2000);
    EXPECT_EQ(kind(156).fond, 4);
    EXPECT_EQ(kind(75).sumSkidPodoh, 400'000);
    // The employer's first sick days of the other sheets are taxed like those
    // of an illness and, a benefit, stay out of the contribution base (fund
    // 2, not the social insurance fund's); the loan interest is taxed in the
    // 35 % group; the unpaid-time marker is neither taxed nor shown on the
    // pay sheet.
    EXPECT_EQ(kind(116).fond, 2);
    EXPECT_EQ(kind(116).oblPodoh, 1);
    EXPECT_EQ(kind(79).oblPodoh, 1);
    EXPECT_EQ(kind(79).kodDoh, 2610);
    EXPECT_EQ(kind(600).oblPodoh, 0);
    EXPECT_EQ(kind(600).vedStlb, 0);
    EXPECT_EQ(kind(600).hr4, 1);
    // The settlement statement's columns fit album 1 (six accrual and four
    // deduction columns), each headed by its first marked kind.
    EXPECT_EQ(kind(922).vedStlb, 4);
    EXPECT_EQ(kind(8).vedStlb, 2);
    EXPECT_EQ(kind(8).vedShap, 1);
    EXPECT_EQ(kind(7).vedShap, 0);
    EXPECT_EQ(kind(902).vedStlb, 1);
    EXPECT_TRUE(kind(8).mark());
}

// The schedules, and no employee data in any table.
void ExpectTemplateSchedulesAndNoEmployees(const CInfoBase& base)
{
    // Schedule 1: Monday to Friday, 8 hours; schedule 2: two days on, two off.
    EXPECT_EQ(base.scheduleAt(1).rabDnNed, 0x1F);
    EXPECT_EQ(base.scheduleAt(1).rdHr, 8);
    EXPECT_EQ(base.scheduleAt(2).pRab, 2);
    EXPECT_EQ(base.scheduleAt(2).pVyh, 2);
    EXPECT_NE(base.scheduleAt(2).begM, 0);

    // No employee data anywhere.
    for (const char* t : {"simp", "fio",   "comp",   "tabel",   "AvZar1",  "indexes",  "altTabel", "prem",
                          "bln",  "otp",   "konst",  "pasport", "nalvich", "postDopl", "sber",     "ispol",
                          "ssud", "waria", "warDat", "proizv",  "zarp",    "ceh",      "graMes"}) {
        QSqlQuery q(Db(base));
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT COUNT(*) FROM dbo.%1").arg(QLatin1String(t)))) << t;
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toInt(), 0) << t;
    }
}

} // namespace

TEST(RefDataTemplate, NewBaseFromTheTemplateHoldsOnlyTheStandardPayKinds)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    ASSERT_TRUE(QFile::copy(dataDir() + QStringLiteral("empty.bak"), folder + QStringLiteral("empty.bak")));
    CreateBase(folder, QStringLiteral("new"));

    CInfoBase base;
    base.workFolder = folder;
    base.baseName = QStringLiteral("new");
    OpenBase(base);
    LoadAll(base);
    EXPECT_EQ(base.config.kolMax, 1000);
    EXPECT_EQ(base.config.kolRab, 0);
    EXPECT_EQ(base.config.reportingYear(), 2011);
    EXPECT_TRUE(base.list.empty());
    ExpectTemplateFirmFigures(base);
    ExpectTemplatePayKindCodes(base);
    ExpectTemplatePayKindAttributes(base);
    ExpectTemplateSchedulesAndNoEmployees(base);
    CloseBase(base);
}

#endif
