// The pay and deduction kinds book without its screen: how typed texts go
// back into a kind, creating kinds in code order up to the full table,
// deleting, the group copy of a pattern into the marked kinds, and saving the
// table with the fixed flags cleared (and keeping it in memory when the base
// refuses the save).
#include "masterdata/PayKindBook.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/PayKinds.h"
#include "platform/Db.h"

#include "support/StoredBase.h"
#include <gtest/gtest.h>

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::masterdata;

namespace {

PayKind Kind(int code)
{
    PayKind k;
    k.kod = std::uint16_t(code);
    k.name = QStringLiteral("Вид %1").arg(code);
    return k;
}

// The kind's texts with some fields typed over.
PayKindTexts Typed(const PayKind& kind, std::initializer_list<std::pair<PayKindField, const char*>> typed)
{
    PayKindTexts texts = FillPayKindTexts(kind);
    for (const auto& [field, text] : typed) texts[std::size_t(field)] = QString::fromUtf8(text);
    return texts;
}

TEST(PayKindBook, BuiltInCodesAreTheEightySixFixedOnes)
{
    const auto& codes = BuiltInPayKindCodes();
    EXPECT_EQ(codes.size(), 86u);
    EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end()));
    // 169 and 170, the child-care allowances the calculation writes itself.
    for (int code : {1, 9, 16, 45, 89, 117, 163, 169, 170, 178, 197, 901, 921, 995})
        EXPECT_TRUE(IsBuiltInPayKindCode(code)) << code;
    // Codes the empty base brings besides them stay ordinary kinds.
    for (int code : {10, 53, 61, 62, 120, 164, 700, 910, 996}) EXPECT_FALSE(IsBuiltInPayKindCode(code)) << code;
    EXPECT_FALSE(PayKindNameEditable(0));
    EXPECT_FALSE(PayKindNameEditable(1));
    EXPECT_TRUE(PayKindNameEditable(120));
}

TEST(PayKindBook, FormShowsNumbersMoneyAndCostCode)
{
    PayKind k = Kind(650);
    k.fond = 1;
    k.setEnBln(3);
    k.okrug = 4;
    k.vedStlb = 12;
    k.sumSkidPodoh = 400000;
    k.spzCh = 70;
    k.spzSc = 1;
    k.spzAu = 9999;
    const PayKindTexts t = FillPayKindTexts(k);
    EXPECT_EQ(t[FieldKod], "650");
    EXPECT_EQ(t[FieldFond], "1");
    EXPECT_EQ(t[FieldEnOtp], "");
    EXPECT_EQ(t[FieldEnBln], "3");
    EXPECT_EQ(t[FieldOkrug], "4");
    EXPECT_EQ(t[FieldVedStlb], "12");
    EXPECT_EQ(t[FieldSumSkidPodoh], "4000.00");
    EXPECT_EQ(t[FieldSumSkidSoc], "");
    EXPECT_EQ(t[FieldSpz], "007000019999");
    EXPECT_EQ(FillPayKindTexts(PayKind{})[FieldSpz], "");

    // Reading the shown texts back changes nothing.
    PayKind again = k;
    EXPECT_EQ(ReadPayKindTexts(t, again), 0);
    EXPECT_EQ(again, k);
}

TEST(PayKindBook, RangesOfFundRoundingAndColumn)
{
    PayKind k = Kind(650);
    EXPECT_EQ(ReadPayKindTexts(Typed(k, {{FieldFond, "8"}, {FieldVedStlb, "15"}}), k), 0);
    EXPECT_EQ(k.fond, 0);
    EXPECT_EQ(k.vedStlb, 0);

    EXPECT_EQ(ReadPayKindTexts(Typed(k, {{FieldFond, "6"}, {FieldVedStlb, "8"}, {FieldOkrug, "7"}}), k), 1);
    EXPECT_EQ(k.fond, 6);
    EXPECT_EQ(k.vedStlb, 8); // an accrual may go to columns up to 14
    EXPECT_EQ(k.okrug, 7); // 7: the amount is not paid

    // Deductions stop at column 7: the field's rule says so for their kinds,
    // and a column it refuses keeps the stored one, never 0.
    PayKind deduction = Kind(750);
    EXPECT_EQ(PayKindFieldRule(FieldVedStlb, 750).max, 7);
    EXPECT_EQ(PayKindFieldRule(FieldVedStlb, 650).max, 14);
    ReadPayKindTexts(Typed(deduction, {{FieldVedStlb, "7"}}), deduction);
    EXPECT_EQ(deduction.vedStlb, 7);
    for (const char* refused : {"8", "-3"}) {
        EXPECT_EQ(ReadPayKindTexts(Typed(deduction, {{FieldVedStlb, refused}}), deduction), 0);
        EXPECT_EQ(deduction.vedStlb, 7) << refused;
    }

    // A rounding value beyond the 3-bit field keeps the stored one and leaves the column alone.
    k.vedStlb = 5;
    k.okrug = 3;
    EXPECT_EQ(ReadPayKindTexts(Typed(k, {{FieldOkrug, "9"}}), k), 0);
    EXPECT_EQ(k.okrug, 3);
    EXPECT_EQ(k.vedStlb, 5);
    ReadPayKindTexts(Typed(k, {{FieldOkrug, "15"}}), k);
    EXPECT_EQ(k.okrug, 3);
    EXPECT_EQ(k.vedStlb, 5);
}

TEST(PayKindBook, FlagsAndNumbersReadByTheirFieldsRules)
{
    PayKind k = Kind(120);
    const int changed = ReadPayKindTexts(Typed(k, {{FieldOblPodoh, "3"},
                                                   {FieldHr1, "2"},
                                                   {FieldVedShap, "1"},
                                                   {FieldEnOtp, "6"},
                                                   {FieldKodDoh, "2000"},
                                                   {FieldBudgOtp, "9"},
                                                   {FieldBudgBln, "12"},
                                                   {FieldKoefOtp, "x"},
                                                   {FieldKodSkid, "503abc"},
                                                   {FieldSumSkidPodoh, "1234.5"},
                                                   {FieldSumSkidSoc, "0.015"},
                                                   {FieldName, "Доплата за стаж"}}),
                                         k);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(k.oblPodoh, 0); // a flag is 0 or 1: 3 is refused, never its low bit
    EXPECT_EQ(k.hr1, 0);
    EXPECT_EQ(k.vedShap, 1);
    EXPECT_EQ(k.enOtp, 0); // 6 lies beyond 0-3: the stored value stays
    EXPECT_EQ(k.kodDoh, 2000);
    EXPECT_EQ(k.budgOtp, 9); // the 10th source of financing
    EXPECT_EQ(k.budgBln, 0); // 12 is no source (0-9): the stored value stays
    EXPECT_EQ(k.koefOtp, 0);
    EXPECT_EQ(k.kodSkid, 0); // "503abc" is no number: never its leading digits
    EXPECT_EQ(k.sumSkidPodoh, 123450);
    EXPECT_EQ(k.sumSkidSoc, 0); // a third decimal is no amount: never rounded
    EXPECT_EQ(k.name, QStringLiteral("Доплата за стаж"));
}

TEST(PayKindBook, CostCodeGroupsKeepTheirNeighbours)
{
    PayKind k = Kind(120);
    k.enOtp = 3;
    k.hr4 = 1;
    k.enBlnProp = 1;
    k.spzAuHi = 2;
    EXPECT_EQ(ReadPayKindTexts(
                  Typed(k, {{FieldSpz, "002600010042"}, {FieldEnBln, "2"}, {FieldEnOtp, "3"}, {FieldHr4, "1"}}), k),
              1);
    EXPECT_EQ(k.spzCh, 26);
    EXPECT_EQ(k.spzSc, 1);
    EXPECT_EQ(k.spzAu, 42);
    EXPECT_EQ(k.enOtp, 3);
    EXPECT_EQ(k.hr4, 1);
    EXPECT_EQ(k.spzAuHi, 2);
    // Thirteen digits do not fit: refused, the stored code stays.
    EXPECT_EQ(ReadPayKindTexts(Typed(k, {{FieldSpz, "1234567890123"}}), k), 0);
    EXPECT_EQ(k.spzCh, 26);
    EXPECT_EQ(k.spzAu, 42);
    EXPECT_EQ(k.spzAuHi, 2);
    EXPECT_EQ(ReadPayKindTexts(Typed(k, {{FieldSpz, ""}}), k), 1);
    EXPECT_EQ(k.spzCh + k.spzSc + k.spzAu, 0);
}

TEST(PayKindBook, SickLeaveAverageAndAverageBonusSettleTogether)
{
    PayKind k = Kind(120);
    // 2 with the average bonus set: handled as 0.
    ReadPayKindTexts(Typed(k, {{FieldEnBln, "2"}, {FieldEnSrPremBln, "1"}}), k);
    EXPECT_EQ(k.enBln(), 0);
    EXPECT_EQ(k.enSrPremBln, 1);
    // 1 alone: taken, the bonus flag cleared.
    ReadPayKindTexts(Typed(k, {{FieldEnBln, "1"}, {FieldEnSrPremBln, ""}}), k);
    EXPECT_EQ(k.enBln(), 1);
    EXPECT_EQ(k.enSrPremBln, 0);
    // 3: full flag with method selector 2; the bonus flag keeps its value.
    ReadPayKindTexts(Typed(k, {{FieldEnBln, "3"}}), k);
    EXPECT_EQ(k.enBln(), 3);
    EXPECT_EQ(k.enBlnFull, 1);
    EXPECT_EQ(k.enBlnAlg, 2);
    // 4 with the bonus typed: 0, and the stored bonus flag stays as it was.
    ReadPayKindTexts(Typed(k, {{FieldEnBln, "4"}, {FieldEnSrPremBln, "1"}}), k);
    EXPECT_EQ(k.enBln(), 0);
    EXPECT_EQ(k.enSrPremBln, 0);
    // Any other value changes neither field.
    k.setEnBln(2);
    EXPECT_EQ(ReadPayKindTexts(Typed(k, {{FieldEnBln, "7"}}), k), 0);
    EXPECT_EQ(k.enBln(), 2);

    // Kinds 163, 171 and 172 never count in the sick-leave average.
    for (int code : {163, 171, 172}) {
        PayKind fixed = Kind(code);
        ReadPayKindTexts(Typed(fixed, {{FieldEnBln, "1"}}), fixed);
        EXPECT_EQ(fixed.enBln(), 0) << code;
        ReadPayKindTexts(Typed(fixed, {{FieldEnBln, "4"}}), fixed);
        EXPECT_EQ(fixed.enBln(), 0) << code;
    }
}

TEST(PayKindBook, CreatesInCodeOrderUpToAFullTable)
{
    CInfoBase base;
    base.setPayKinds({Kind(1), Kind(101), Kind(163), Kind(901)});
    base.config.nEnt = 4;
    EXPECT_EQ(CreatePayKind(base, 150), 2);
    EXPECT_EQ(base.config.nEnt, 5);
    EXPECT_EQ(base.payKinds()[2].kod, 150);
    EXPECT_TRUE(base.payKinds()[2].name.isEmpty());
    EXPECT_EQ(base.payKinds()[3].kod, 163);
    EXPECT_EQ(CreatePayKind(base, 999), 5);
    EXPECT_EQ(PayKindPosition(base, 163), 3);
    EXPECT_EQ(PayKindPosition(base, 164), -1);

    std::vector<PayKind> full;
    for (int code = 1; code <= CInfoBase::MaxPayKinds; ++code)
        if (code != 500) // code 500 is free
            full.push_back(Kind(code));
    base.setPayKinds(std::move(full));
    EXPECT_EQ(CreatePayKind(base, 500), 499);
    EXPECT_EQ(base.config.nEnt, CInfoBase::MaxPayKinds);
    base.payKindAt(int(base.payKinds().size())).kod = 1000; // a table of 999 kinds without 999
    EXPECT_EQ(CreatePayKind(base, 999), kPayKindTableFull);
    EXPECT_EQ(int(base.payKinds().size()), CInfoBase::MaxPayKinds);
}

TEST(PayKindBook, DeletesOnlyKindsOfTheUser)
{
    CInfoBase base;
    base.setPayKinds({Kind(1), Kind(120), Kind(163), Kind(750)});
    base.config.nEnt = 4;
    EXPECT_FALSE(DeletePayKind(base, 1));
    EXPECT_FALSE(DeletePayKind(base, 163));
    EXPECT_FALSE(DeletePayKind(base, 121));
    EXPECT_TRUE(DeletePayKind(base, 120));
    ASSERT_EQ(base.payKinds().size(), 3u);
    EXPECT_EQ(base.config.nEnt, 3);
    EXPECT_EQ(base.payKinds()[1].kod, 163);
}

TEST(PayKindBook, GroupCopiesOnlyWhatThePatternFills)
{
    std::vector<PayKind> book = {Kind(701), Kind(702), Kind(703)};
    book[0].oblPodoh = 1;
    book[0].enSrZar = 1;
    book[0].fond = 5;
    book[0].okrug = 2;
    book[0].vedStlb = 6;
    book[0].enOtp = 2;
    book[0].hr4 = 1;
    book[0].kodDoh = 1400;
    book[1].kodDoh = 1500;
    CInfoBase base;
    base.setPayKinds(std::move(book));
    const std::vector<PayKind>& kinds = base.payKinds();
    EXPECT_EQ(MarkPayKindGroup(base, {QStringLiteral("701|Вид 701|Mark"), QStringLiteral("703"),
                                      QStringLiteral("704|Нет такого"), QStringLiteral("x")}),
              2);
    EXPECT_TRUE(kinds[0].grp && !kinds[1].grp && kinds[2].grp);

    // Only the income code typed: nothing else moves, no flag is cleared.
    PayKind pattern;
    pattern.kodDoh = 2000;
    EXPECT_EQ(CopyIntoPayKindGroup(base, pattern), 2);
    EXPECT_EQ(kinds[0].kodDoh, 2000);
    EXPECT_EQ(kinds[1].kodDoh, 1500);
    EXPECT_EQ(kinds[2].kodDoh, 2000);
    EXPECT_EQ(kinds[0].oblPodoh, 1);
    EXPECT_EQ(kinds[0].enSrZar, 1);
    EXPECT_EQ(kinds[0].fond, 5);
    EXPECT_EQ(kinds[0].okrug, 2);
    EXPECT_EQ(kinds[0].vedStlb, 6);
    EXPECT_EQ(kinds[0].enOtp, 2);

    // Flags are set; fund's low bits replaced; rounding and column go together;
    // the cost code brings the values beside it; the method selector stays.
    pattern = PayKind{};
    pattern.enAlim = 1;
    pattern.setEnBln(4);
    pattern.fond = 2;
    pattern.vedStlb = 3;
    pattern.spzSc = 77;
    EXPECT_EQ(CopyIntoPayKindGroup(base, pattern), 2);
    EXPECT_EQ(kinds[0].enAlim, 1);
    EXPECT_EQ(kinds[0].oblPodoh, 1);
    EXPECT_EQ(kinds[0].enBlnFull, 1);
    EXPECT_EQ(kinds[0].enBlnAlg, 0);
    EXPECT_EQ(kinds[0].fond, 6); // high bit of 5 kept, low bits from the pattern
    EXPECT_EQ(kinds[0].okrug, 0);
    EXPECT_EQ(kinds[0].vedStlb, 3);
    EXPECT_EQ(kinds[0].spzSc, 77);
    EXPECT_EQ(kinds[0].enOtp, 0);
    EXPECT_EQ(kinds[0].hr4, 0);
    EXPECT_EQ(kinds[1].enAlim, 0); // not marked

    // An empty pattern changes nothing.
    EXPECT_EQ(CopyIntoPayKindGroup(base, PayKind{}), 0);
    ClearPayKindGroup(base);
    EXPECT_FALSE(kinds[0].grp || kinds[2].grp);
}

TEST(PayKindBook, FixedFlagsOfTheSickLeaveKindsAreCleared)
{
    std::vector<PayKind> book = {Kind(120), Kind(163), Kind(171), Kind(172), Kind(178)};
    for (PayKind& k : book) {
        k.enSrZar = 1;
        k.enOtp = 3;
        k.setEnBln(3);
        k.enSrPremBln = 1;
        k.enKoefRS = 1;
    }
    CInfoBase base;
    base.setPayKinds(std::move(book));
    ClearFixedPayKindFlags(base);
    const std::vector<PayKind>& kinds = base.payKinds();
    EXPECT_EQ(kinds[0].enSrZar, 1);
    EXPECT_EQ(kinds[0].enBlnFull, 1);
    for (int i : {1, 2, 3}) {
        EXPECT_EQ(kinds[std::size_t(i)].enSrZar, 0);
        EXPECT_EQ(kinds[std::size_t(i)].enOtp, 0);
        EXPECT_EQ(kinds[std::size_t(i)].enBlnFull, 0);
        EXPECT_EQ(kinds[std::size_t(i)].enBlnAlg, 2); // only the counted-fully flag goes
        EXPECT_EQ(kinds[std::size_t(i)].enSrPremBln, 1);
        EXPECT_EQ(kinds[std::size_t(i)].enKoefRS, 1);
    }
    EXPECT_EQ(kinds[4].enSrZar + kinds[4].enSrPremBln + kinds[4].enKoefRS + kinds[4].enOtp + kinds[4].enBlnFull, 0);
}

TEST(PayKindBook, SavesTableAndCountOrKeepsThemWhenTheBaseRefuses)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CInfoBase base;
    base.workFolder = dir.path() + QLatin1Char('/');
    base.baseName = QStringLiteral("kinds");
    CreateSchemaBase(dir.path(), base.baseName);
    OpenBase(base);
    base.setPayKinds({Kind(120), Kind(178), Kind(750)});
    base.payKindAt(2).enSrZar = 1;
    base.payKindAt(3).kodDoh = 1010;
    SavePayKindBook(base);
    EXPECT_EQ(base.payKinds()[1].enSrZar, 0);

    CInfoBase stored;
    stored.workFolder = base.workFolder;
    stored.baseName = base.baseName;
    OpenStoredBase(stored);
    LoadEntree(stored);
    EXPECT_EQ(stored.config.nEnt, 3);
    EXPECT_EQ(stored.payKinds(), base.payKinds());

    // Without its table the base refuses; memory keeps the new kind.
    QSqlQuery(Db(base)).exec(QStringLiteral("ALTER TABLE dbo.entree RENAME TO entree_away"));
    CreatePayKind(base, 130);
    EXPECT_THROW(SavePayKindBook(base), db::DbError);
    EXPECT_EQ(base.payKinds().size(), 4u);
    EXPECT_EQ(base.config.nEnt, 4);
    QSqlQuery(Db(base)).exec(QStringLiteral("ALTER TABLE dbo.entree_away RENAME TO entree"));
    LoadConfig(stored);
    EXPECT_EQ(stored.config.nEnt, 3); // the count was not written without the table

    // A book of 19 kinds given out of order, two of them of code 309: the
    // book goes in code order, the two 309s in the order they came. Code 309
    // finds the first of them (number 9), though the search by halving
    // meets the second (place 9 of 0-18) first.
    PayKind monthly = Kind(309), quarterly = Kind(309);
    monthly.name = QStringLiteral("Премия за месяц");
    quarterly.name = QStringLiteral("Премия за квартал");
    std::vector<PayKind> book = {monthly};
    for (int code = 318; code >= 301; --code)
        if (code != 309)
            book.push_back(Kind(code));
    book.push_back(quarterly);
    PayrollDoc doc;
    doc.infoBase.workFolder = base.workFolder;
    doc.infoBase.baseName = base.baseName;
    CInfoBase& held = doc.infoBase;
    OpenStoredBase(held);
    held.setPayKinds(std::move(book));
    const auto codesAndNames = [](const CInfoBase& b) {
        QStringList lines;
        for (const PayKind& kind : b.payKinds()) lines << QStringLiteral("%1 %2").arg(kind.kod).arg(kind.name);
        return lines;
    };
    QStringList before309, after309;
    for (int code = 301; code <= 308; ++code) before309 << QStringLiteral("%1 Вид %1").arg(code);
    for (int code = 310; code <= 318; ++code) after309 << QStringLiteral("%1 Вид %1").arg(code);
    EXPECT_EQ(codesAndNames(held), QStringList(before309) << QStringLiteral("309 Премия за месяц")
                                                          << QStringLiteral("309 Премия за квартал") << after309);
    EXPECT_EQ(held.config.nEnt, 19);
    EXPECT_EQ(FindPayKindIn(held.payKinds().data(), 19, 309), 9);
    ASSERT_NE(PayKindOf(doc, 309), nullptr);
    EXPECT_EQ(PayKindOf(doc, 309)->name, QStringLiteral("Премия за месяц"));
    EXPECT_EQ(PayKindOf(doc, 309), &held.payKindAt(9));
    // The base holds one kind of a code: the book is refused whole and the
    // stored one stays.
    EXPECT_THROW(SavePayKindBook(held), db::DbError);
    LoadEntree(stored);
    EXPECT_EQ(codesAndNames(stored), (QStringList{QStringLiteral("120 Вид 120"), QStringLiteral("178 Вид 178"),
                                                  QStringLiteral("750 Вид 750")}));
    // A kind added goes after the kinds of its code; one erased closes the
    // gap and the next of its code is found.
    PayKind yearly = Kind(309);
    yearly.name = QStringLiteral("Премия за год");
    held.addPayKind(yearly);
    EXPECT_EQ(held.payKindAt(11).name, QStringLiteral("Премия за год"));
    EXPECT_EQ(held.payKindAt(12).kod, 310);
    EXPECT_EQ(PayKindOf(doc, 309), &held.payKindAt(9));
    held.erasePayKind(9);
    EXPECT_EQ(PayKindOf(doc, 309)->name, QStringLiteral("Премия за квартал"));
    EXPECT_EQ(PayKindOf(doc, 310), &held.payKindAt(11));
    // With one kind a code the book of 18 is stored and read back in its order.
    held.erasePayKind(10);
    SavePayKindBook(held);
    LoadEntree(stored);
    EXPECT_EQ(codesAndNames(stored), QStringList(before309) << QStringLiteral("309 Премия за квартал") << after309);
    EXPECT_EQ(stored.config.nEnt, 18);
    EXPECT_EQ(stored.indexedPayKind(309), 9);
    EXPECT_EQ(stored.indexedPayKind(318), 18);
    CloseBase(held);
    CloseBase(stored);
    CloseBase(base);
}

} // namespace
