// Writs of execution, loans and bank transfers of one employee: each field's
// read rule and range, the counts kept with the attributes after each kind of
// edit, the group's filled-fields-only reading, the compaction and matching of
// transfers, and the store on a fixture base file (read back after reopening;
// a refused write leaves the base as it was).
#include "entries/MonthlyDeductions.h"
#include "infobase/InfoBaseDb.h"
#include "support/StoredBase.h"
#include "support/TestFixture.h"
#include "values/Values.h"

#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace en = kalvor::entries;
namespace ib = kalvor::infobase;

namespace {

en::WritFields Writ(const char* kind, const char* table, const char* size, bool percent = false)
{
    en::WritFields fields;
    fields.kind = QString::fromUtf8(kind);
    fields.table = QString::fromUtf8(table);
    fields.size = QString::fromUtf8(size);
    fields.percent = percent;
    return fields;
}

en::LoanFields Loan(const char* code, const char* debt, const char* months = "")
{
    en::LoanFields fields;
    fields.code = QString::fromUtf8(code);
    fields.debt = QString::fromUtf8(debt);
    fields.months = QString::fromUtf8(months);
    return fields;
}

ib::SberRow Transfer(int kod, double sum, int bank = 0, const char* ls = "")
{
    ib::SberRow row;
    row.kod = ib::u16(kod);
    row.sum = sum;
    row.bank = ib::u8(bank);
    row.ls = QString::fromUtf8(ls);
    return row;
}

} // namespace

TEST(Writs, EachFieldIsReadByItsRuleAndTheTableClearsTheFlagByte)
{
    ib::IspolBlock block;
    block.writs[0].flagByte = 0x5A;
    block.writs[0].tabPsbor = 17;
    block.writs[1].sum = 70000;
    en::WritForm form = en::ShowWrits(block);
    EXPECT_EQ(form[0].table, QStringLiteral("17"));
    EXPECT_EQ(form[0].kind, QString());

    // The same table keeps the byte; nothing else changed, nothing to write.
    form[0].kind.clear();
    EXPECT_FALSE(en::ReadWrits(form, block));
    EXPECT_EQ(block.writs[0].flagByte, 0x5A);

    form[0] = Writ("4", "21", "1 234,56");
    form[0].fio = QString(130, QLatin1Char('x'));
    form[0].dataEnd = kalvor::PackedDate::fromQDate(QDate(2031, 5, 31)).value;
    form[1] = Writ("2", "3", "12,755");
    EXPECT_TRUE(en::ReadWrits(form, block));
    const ib::IspolBlock::Writ& first = block.writs[0];
    EXPECT_EQ(first.vid, 0); // 4 is no kind: the kind stays
    EXPECT_EQ(first.tabPsbor, 17); // 21 is no table: the table stays, never 0
    EXPECT_EQ(first.flagByte, 0x5A); // and so does its byte
    EXPECT_EQ(first.sum, 123456);
    EXPECT_EQ(first.priznUd, 0);
    EXPECT_EQ(first.fio.size(), 119);
    EXPECT_EQ(kalvor::PackedDate(first.dataEnd).toQDate(), QDate(2031, 5, 31));
    EXPECT_EQ(block.writs[1].vid, 2);
    EXPECT_EQ(block.writs[1].tabPsbor, 3);
    EXPECT_EQ(block.writs[1].sum, 70000); // a third place is refused: the size stays

    const en::WritForm shown = en::ShowWrits(block);
    EXPECT_EQ(shown[0].size, QStringLiteral("1234.56"));
    EXPECT_EQ(shown[0].kind, QString());
    EXPECT_FALSE(shown[0].percent);
    EXPECT_FALSE(en::ReadWrits(shown, block)); // shown and read back: unchanged
    en::WritForm table = shown;
    table[0].table = QStringLiteral("5");
    EXPECT_TRUE(en::ReadWrits(table, block));
    EXPECT_EQ(block.writs[0].tabPsbor, 5);
    EXPECT_EQ(block.writs[0].flagByte, 0); // a new table clears the byte
    // A size below 0 is refused: the stored size stays.
    table[1].size = QStringLiteral("-700");
    EXPECT_FALSE(en::ReadWrits(table, block));
    EXPECT_EQ(block.writs[1].sum, 70000);
    // In percent the size is a share of the pay, 0 to 100: 150 is refused,
    // and the fixed sum stored stays a fixed sum; 99,5 is taken as a percent.
    table[0].percent = true;
    table[0].size = QStringLiteral("150");
    EXPECT_FALSE(en::ReadWrits(table, block));
    EXPECT_EQ(block.writs[0].sum, 123456);
    EXPECT_EQ(block.writs[0].priznUd, 0);
    table[0].size = QStringLiteral("99,5");
    EXPECT_TRUE(en::ReadWrits(table, block));
    EXPECT_EQ(block.writs[0].sum, 9950);
    EXPECT_EQ(block.writs[0].priznUd, 1);
}

TEST(Writs, CountsFollowEachKindOfEdit)
{
    ib::IspolBlock block;
    ib::EmployeeAttributes attr;
    attr.priznBank = 3;
    en::WritForm form;
    en::ReadWrits(form, block);
    en::CountWrits(block, attr);
    EXPECT_EQ(attr.priznAlim, 0);
    EXPECT_EQ(attr.priznIspl, 0);

    form[0] = Writ("1", "", "25", true);
    form[2] = Writ("3", "", "1500");
    en::ReadWrits(form, block);
    en::CountWrits(block, attr);
    EXPECT_EQ(attr.priznAlim, 1);
    EXPECT_EQ(attr.priznIspl, 1);

    // A size without a kind still counts (as a writ of another kind).
    form[1] = Writ("", "", "700");
    en::ReadWrits(form, block);
    en::CountWrits(block, attr);
    EXPECT_EQ(attr.priznAlim, 1);
    EXPECT_EQ(attr.priznIspl, 2);

    // Two alimony writs; the third emptied.
    form[1] = Writ("1", "", "10", true);
    form[2] = Writ("", "", "");
    en::ReadWrits(form, block);
    en::CountWrits(block, attr);
    EXPECT_EQ(attr.priznAlim, 2);
    EXPECT_EQ(attr.priznIspl, 0);
    EXPECT_EQ(attr.priznBank, 3); // the neighbours stay
}

TEST(Writs, TheGroupReadsOnlyTheFilledFields)
{
    ib::IspolBlock member;
    member.writs[0].vid = 1;
    member.writs[0].sum = 2500;
    member.writs[0].priznUd = 1;
    member.writs[0].fio = QStringLiteral("Комарова Н. С.");
    member.writs[0].dataEnd = 0x3E3F;

    en::WritForm form;
    form[0].adr = QStringLiteral("г. Вологда");
    form[1] = Writ("3", "", "800");
    EXPECT_TRUE(en::ReadWrits(form, member, true));
    EXPECT_EQ(member.writs[0].vid, 1);
    EXPECT_EQ(member.writs[0].sum, 2500);
    EXPECT_EQ(member.writs[0].priznUd, 1); // an unchecked box leaves the percent
    EXPECT_EQ(member.writs[0].dataEnd, 0x3E3F); // no date leaves the date
    EXPECT_EQ(member.writs[0].fio, QStringLiteral("Комарова Н. С."));
    EXPECT_EQ(member.writs[0].adr, QStringLiteral("г. Вологда"));
    EXPECT_EQ(member.writs[1].vid, 3);
    EXPECT_EQ(member.writs[1].sum, 80000);
    EXPECT_FALSE(en::ReadWrits(en::WritForm{}, member, true)); // an empty form changes nothing
}

TEST(Loans, EachFieldIsReadByItsRangeAndTheMonthsNeverReachTheTaxBit)
{
    ib::SsudBlock block;
    en::LoanForm form;
    form[0] = Loan("700", "27000", "128");
    form[0].tax = true;
    form[0].stageMonths = {QStringLiteral("256"), QStringLiteral("9"), QStringLiteral("0")};
    form[0].stageSums = {QStringLiteral("3000"), QStringLiteral("2999,99"), QStringLiteral("0,005")};
    form[1] = Loan("996", "", "127");
    form[2] = Loan("701", "1.5", "1");
    form[3] = Loan("995", "");
    EXPECT_TRUE(en::ReadLoans(form, block));
    const ib::SsudBlock::Loan& first = block.loans[0];
    EXPECT_EQ(first.kod, 0);
    EXPECT_EQ(first.sumDolg, 2700000);
    EXPECT_EQ(first.kvMes, 0); // 128 does not fit seven bits
    EXPECT_EQ(first.nalog, 1);
    EXPECT_EQ(first.mes, (std::array<ib::u8, 3>{0, 9, 0}));
    EXPECT_EQ(first.sum[0], 300000);
    EXPECT_EQ(first.sum[1], 299999);
    EXPECT_EQ(first.sum[2], 0); // a third place is refused: nothing stored
    EXPECT_EQ(block.loans[1].kod, 0);
    EXPECT_EQ(block.loans[1].kvMes, 127);
    EXPECT_EQ(block.loans[1].nalog, 0);
    EXPECT_EQ(block.loans[2].kod, 701);
    EXPECT_EQ(block.loans[2].sumDolg, 150);
    EXPECT_EQ(block.loans[3].kod, 995);

    const en::LoanForm shown = en::ShowLoans(block);
    EXPECT_EQ(shown[0].code, QString());
    EXPECT_EQ(shown[0].debt, QStringLiteral("27000.00"));
    EXPECT_EQ(shown[0].months, QString());
    EXPECT_EQ(shown[0].stageMonths[1], QStringLiteral("9"));
    EXPECT_EQ(shown[0].stageSums[1], QStringLiteral("2999.99"));
    EXPECT_EQ(shown[2].debt, QStringLiteral("1.50"));

    // The form read back as shown changes nothing, so saving writes nothing.
    const ib::SsudBlock before = block;
    EXPECT_FALSE(en::ReadLoans(shown, block));
    EXPECT_EQ(block, before);
    // A pay kind's code that is no loan's keeps the stored code, never 0.
    en::LoanForm other = shown;
    other[3].code = QStringLiteral("4");
    EXPECT_FALSE(en::ReadLoans(other, block));
    EXPECT_EQ(block.loans[3].kod, 995);
    // A debt or a stage's sum below 0 is refused: the stored sums stay.
    other = shown;
    other[0].debt = QStringLiteral("-27000");
    other[0].stageSums[1] = QStringLiteral("-0,01");
    other[2].debt = QStringLiteral("0");
    EXPECT_TRUE(en::ReadLoans(other, block));
    EXPECT_EQ(block.loans[0].sumDolg, 2700000);
    EXPECT_EQ(block.loans[0].sum[1], 299999);
    EXPECT_EQ(block.loans[2].sumDolg, 0);
}

TEST(Loans, LoansKeepTheirPlacesAndTheCountFollowsTheNonEmptyOnes)
{
    ib::SsudBlock block;
    ib::EmployeeAttributes attr;
    attr.priznAlim = 1;
    en::LoanForm form;
    form[0] = Loan("760", "27000", "1");
    form[1] = Loan("761", "5000");
    form[2] = Loan("762", "12000");
    en::ReadLoans(form, block);
    en::CountLoans(block, attr);
    EXPECT_EQ(attr.priznSsud, 3);

    form[1] = en::LoanFields{};
    en::ReadLoans(form, block);
    en::CountLoans(block, attr);
    EXPECT_EQ(attr.priznSsud, 2);
    EXPECT_TRUE(en::LoanIsEmpty(block.loans[1]));
    EXPECT_EQ(block.loans[2].kod, 762); // the third stays in its place
    EXPECT_EQ(attr.priznAlim, 1);

    // Only a stage sum, or only the tax check, makes a loan.
    form[3].stageSums[2] = QStringLiteral("100");
    form[1].tax = true;
    en::ReadLoans(form, block);
    en::CountLoans(block, attr);
    EXPECT_EQ(attr.priznSsud, 4);

    // The group: empty texts leave the member's loans.
    ib::SsudBlock member = block;
    en::LoanForm group;
    group[2].stageMonths[0] = QStringLiteral("6");
    en::ReadLoans(group, member, true);
    EXPECT_EQ(member.loans[2].kod, 762);
    EXPECT_EQ(member.loans[2].sumDolg, 1200000);
    EXPECT_EQ(member.loans[2].mes[0], 6);
    EXPECT_EQ(member.loans[1].nalog, 1);
}

TEST(Transfers, CellsAreReadByTheirRangesAndShownBack)
{
    const ib::SberRow row = en::ReadSberRow({"996", "1500.5", "256", "Доп. офис", "40817810", "Иванов И. И."});
    EXPECT_EQ(row.kod, 0);
    EXPECT_EQ(row.sum, 150050);
    EXPECT_EQ(row.bank, 0);
    EXPECT_EQ(row.filial, QStringLiteral("Доп. офис"));
    EXPECT_EQ(en::ReadSberRow({"0", "", "255"}).kod, 0);
    EXPECT_EQ(en::ReadSberRow({"995", "", "255"}).kod, 995);
    EXPECT_EQ(en::ReadSberRow({"995", "", "255"}).bank, 255);
    EXPECT_EQ(en::ReadSberRow({"", "", "", QString(200, QLatin1Char('7'))}).filial.size(), 119);
    EXPECT_EQ(en::ShowSberRow(Transfer(903, 0, 1, "4230")), QStringList({"903", "", "1", "", "4230", ""}));
    EXPECT_EQ(en::ShowSberRow(Transfer(0, 250000)), QStringList({"", "2500.00", "", "", "", ""}));
}

TEST(Transfers, EmptyRowsDisappearAndTheOthersCloseUpInOrder)
{
    ib::EmployeeRecord rec;
    ib::EmployeeAttributes attr;
    for (int i = 0; i < 5; ++i) rec.sber[std::size_t(i)] = Transfer(900 + i, 100);
    attr.priznBank = 5;
    attr.priznSsud = 2;
    en::PlaceTransfers(rec, attr, {ib::SberRow{}, Transfer(903, 500), ib::SberRow{}, Transfer(0, 0, 4)});
    EXPECT_EQ(attr.priznBank, 2);
    EXPECT_EQ(attr.priznSsud, 2);
    EXPECT_EQ(rec.sber[0], Transfer(903, 500));
    EXPECT_EQ(rec.sber[1], Transfer(0, 0, 4));
    for (std::size_t i = 2; i < rec.sber.size(); ++i) EXPECT_TRUE(rec.sber[i].isEmpty()) << i;
    EXPECT_EQ(en::TransferRows(rec, attr), en::SberRows({Transfer(903, 500), Transfer(0, 0, 4)}));

    // Twenty at most.
    en::PlaceTransfers(rec, attr, en::SberRows(25, Transfer(8, 1)));
    EXPECT_EQ(attr.priznBank, 20);
}

TEST(Transfers, MatchingTakesTheCodeAmountDestinationAndTexts)
{
    const en::SberRows rows = {Transfer(903, 0, 1, "111"), Transfer(903, 0, 2, "111"), Transfer(903, 0, 2, "111")};
    EXPECT_EQ(en::FirstMatchingTransfer(rows, Transfer(903, 0, 2, "111")), 1);
    EXPECT_EQ(en::FirstMatchingTransfer(rows, Transfer(903, 0, 2, "112")), -1);
    EXPECT_EQ(en::FirstMatchingTransfer(rows, Transfer(903, 1, 1, "111")), -1);
    ib::SberRow other = rows[0];
    other.last = 7; // the word the screen does not show does not matter
    EXPECT_TRUE(en::TransfersMatch(rows[0], other));
    other.fio = QStringLiteral("x");
    EXPECT_FALSE(en::TransfersMatch(rows[0], other));
}

TEST(MonthlyDeductionsStore, BlocksAndCountsAreReadBackAndARefusalLeavesTheBase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ib::CInfoBase base;
    base.workFolder = dir.path() + QLatin1Char('/');
    base.baseName = QStringLiteral("deductions");
    ib::CreateSchemaBase(base.workFolder, base.baseName);
    ib::OpenBase(base);
    ib::FixtureBase fx = ib::BuildFixtureBase(base, 6, 3);
    const int slot = base.list[2].slot;
    ib::EmployeeRecord& rec = fx.records[std::size_t(slot - 1)];
    rec.ispol = {};
    rec.ssud = {};
    rec.sber = {};
    base.attributesOf(slot).priznAlim = 0;
    base.attributesOf(slot).priznIspl = 0;
    base.attributesOf(slot).priznSsud = 0;
    base.attributesOf(slot).priznBank = 0;
    ib::SaveAll(base, fx.records);
    ib::LoadEmployee(base, slot);
    ib::EmployeeAttributes& attr = base.attributesOf(slot);

    en::WritForm writs;
    writs[1] = Writ("3", "5", "1200");
    writs[1].fio = QStringLiteral("ООО «Вектор»");
    en::ReadWrits(writs, base.current.ispol);
    en::CountWrits(base.current.ispol, attr);
    en::StoreEmployeeDetail(base, slot, &ib::SaveIspol);
    en::LoanForm loans;
    loans[2] = Loan("760", "9000", "1");
    en::ReadLoans(loans, base.current.ssud);
    en::CountLoans(base.current.ssud, attr);
    en::StoreEmployeeDetail(base, slot, &ib::SaveSsud);
    en::PlaceTransfers(base.current, attr, {Transfer(903, 150000, 2, "40817")});
    en::StoreEmployeeDetail(base, slot, &ib::SaveSber);

    // The base refuses the attributes: the writs written before them go back too.
    const ib::EmployeeRecord stored = base.current;
    QSqlQuery q(ib::Db(base));
    ASSERT_TRUE(q.exec(QStringLiteral("ALTER TABLE dbo.comp RENAME TO compAway")));
    base.current.ispol.writs[0].vid = 1;
    base.current.ispol.writs[0].sum = 100;
    EXPECT_ANY_THROW(en::StoreEmployeeDetail(base, slot, &ib::SaveIspol));
    ASSERT_TRUE(q.exec(QStringLiteral("ALTER TABLE dbo.compAway RENAME TO comp")));
    ib::CloseBase(base);

    ib::CInfoBase again;
    again.workFolder = base.workFolder;
    again.baseName = base.baseName;
    ib::OpenStoredBase(again);
    ib::LoadAll(again);
    ib::LoadEmployee(again, slot);
    const ib::EmployeeAttributes& read = again.attributesOf(slot);
    EXPECT_EQ(read.priznAlim, 0);
    EXPECT_EQ(read.priznIspl, 1);
    EXPECT_EQ(read.priznSsud, 1);
    EXPECT_EQ(read.priznBank, 1);
    EXPECT_EQ(again.current.ispol, stored.ispol);
    EXPECT_EQ(again.current.ssud, stored.ssud);
    EXPECT_EQ(again.current.sber, stored.sber);
    EXPECT_EQ(again.current.ssud.loans[2].sumDolg, 900000);
    EXPECT_EQ(again.current.ispol.writs[1].fio, QStringLiteral("ООО «Вектор»"));
    ib::CloseBase(again);
}
