// The record card's rules without its screen, on a fixture base: the short
// name, the number fields refused above their ranges, the main data of a
// group written field by field, the property deduction, new cards in both
// list orders, deleted cards whose lines of every kind are spliced out, and
// database failures in the middle of both, which leave base and memory as
// they were.
#include "EmployeeScreensWorld.h"

#include "masterdata/EmployeeCard.h"
#include "platform/Db.h"
#include "platform/DbTestHooks.h"
#include "support/SlotArrays.h"
#include "support/StoredBase.h"

using namespace employeetest;
namespace md = kalvor::masterdata;
namespace db = kalvor::db;

namespace {

// What a create or delete may change, in memory and in the base.
struct CardState {
    std::vector<ib::EmployeeListEntry> list, otherList;
    int kolRab = 0;
    std::vector<QString> shortNames;
    std::vector<ib::EmployeeAttributes> attributes;
    std::vector<ib::u8> shops;
    std::vector<ib::u16> premIndex, altIndex, blnIndex, otpIndex;
    std::vector<ib::BonusLine> prem;
    std::vector<ib::AltTabelEntry> alt;
    std::vector<ib::SickLeaveSheet> bln;
    std::vector<ib::VacationNote> otp;
    friend bool operator==(const CardState&, const CardState&) = default;
};

CardState StateOf(const ib::CInfoBase& b)
{
    return {b.list,           b.otherList,      b.config.kolRab,  EveryShortName(b), EveryAttributes(b),
            EveryShopByte(b), b.prem.index,     b.altTabel.index, b.bln.index,       b.otp.index,
            b.prem.lines,     b.altTabel.lines, b.bln.lines,      b.otp.lines};
}

class EmployeeCard : public World {
protected:
    // The same base read afresh from its file.
    CardState StoredState()
    {
        ib::CInfoBase fresh;
        fresh.workFolder = base().workFolder;
        fresh.baseName = base().baseName;
        ib::OpenStoredBase(fresh);
        ib::LoadAll(fresh);
        CardState state = StateOf(fresh);
        if (base().nameOrder() != fresh.nameOrder())
            ADD_FAILURE() << "list order differs";
        return state;
    }
    int StoredCount(const char* sql)
    {
        QSqlQuery q(ib::Db(base()));
        EXPECT_TRUE(q.exec(QString::fromLatin1(sql)));
        return q.next() ? q.value(0).toInt() : -1;
    }
    // A personnel number that no employee has, between two that are taken.
    int FreeNumberInside()
    {
        for (int i = 0; i + 1 < base().employeeCount(); ++i)
            if (tabN(i + 1) - tabN(i) >= 2)
                return tabN(i) + 1;
        return 0;
    }
    // Gives the slot runs of every kind: n lines each, marked with the slot.
    void GiveLines(int slot, int n)
    {
        std::vector<ib::BonusLine> prem(static_cast<std::size_t>(n));
        std::vector<ib::AltTabelEntry> alt(static_cast<std::size_t>(n));
        std::vector<ib::SickLeaveSheet> bln(static_cast<std::size_t>(n));
        std::vector<ib::VacationNote> otp(static_cast<std::size_t>(n));
        for (int k = 0; k < n; ++k) {
            prem[std::size_t(k)].kod = ib::u16(slot * 10 + k);
            alt[std::size_t(k)].kod = ib::u16(slot * 10 + k);
            bln[std::size_t(k)].sum = slot * 1000 + k * 100;
            otp[std::size_t(k)].sum = slot * 1000 + k * 100;
        }
        ASSERT_TRUE(base().prem.replaceRun(slot, prem));
        ASSERT_TRUE(base().altTabel.replaceRun(slot, alt));
        ASSERT_TRUE(base().bln.replaceRun(slot, bln));
        ASSERT_TRUE(base().otp.replaceRun(slot, otp));
    }
    void SaveLines()
    {
        ib::SavePrem(base());
        for (int mass = 1; mass <= 3; ++mass) ib::SaveAltTabel(base(), mass);
        ib::SaveBln(base());
        ib::SaveOtp(base());
        for (ib::LineKind kind : {ib::LineKind::Prem, ib::LineKind::AltTabel, ib::LineKind::Bln, ib::LineKind::Otp})
            ib::SaveIndexes(base(), kind);
    }
};

template <class T>
void ExpectRunsKept(const ib::LineArray<T>& before, const ib::LineArray<T>& after, int deletedSlot, const char* kind)
{
    for (int slot = 1; slot <= after.slotCount(); ++slot)
        if (slot != deletedSlot) {
            EXPECT_EQ(after.run(slot), before.run(slot)) << kind << " slot " << slot;
        }
    // Runs lie back to back from line 0, and the freed tail is empty.
    int next = 0;
    for (int slot = 1; slot <= after.slotCount(); ++slot)
        if (after.count(slot) > 0) {
            EXPECT_EQ(after.first(slot), next) << kind << " slot " << slot;
            next = after.first(slot) + after.count(slot);
        }
    for (int line = next; line < after.lineCapacity(); ++line)
        EXPECT_TRUE(after.lines[std::size_t(line)] == T{}) << kind << " line " << line;
}

} // namespace

TEST(EmployeeCardRules, ShortNameOfOneToFourWords)
{
    EXPECT_EQ(md::ShortNameOfFullName(QStringLiteral("Иванов Петр Сидорович")), QStringLiteral("Иванов П. С."));
    EXPECT_EQ(md::ShortNameOfFullName(QStringLiteral("Иванов  Петр")), QStringLiteral("Иванов П."));
    EXPECT_EQ(md::ShortNameOfFullName(QStringLiteral("Иванов")), QStringLiteral("Иванов"));
    EXPECT_EQ(md::ShortNameOfFullName(QStringLiteral("Иванов Петр Сидорович Младший")), QStringLiteral("Иванов П. С."));
    EXPECT_EQ(md::ShortNameOfFullName(QStringLiteral("  ")), QString());
}

TEST(EmployeeCardRules, NumbersAboveTheirRangeAreRefusedNotCut)
{
    md::MainDataFields fields;
    QString refusal;
    fields.schedule = QStringLiteral("20");
    fields.brigade = QStringLiteral("99");
    fields.taxTable = QStringLiteral("20");
    fields.unionTable = QStringLiteral("20");
    EXPECT_EQ(md::CheckMainData(fields, {}, &refusal), 0);
    fields.schedule = QStringLiteral("40");
    EXPECT_EQ(md::CheckMainData(fields, {}, &refusal), 1000);
    EXPECT_TRUE(refusal.contains(QStringLiteral("График работы")));
    fields.schedule.clear();
    fields.brigade = QStringLiteral("300");
    EXPECT_EQ(md::CheckMainData(fields, {}, &refusal), 1019);
    fields.brigade = QStringLiteral("-1");
    EXPECT_EQ(md::CheckMainData(fields, {}, &refusal), 1019);
    fields.brigade.clear();
    fields.taxTable = QStringLiteral("21");
    EXPECT_EQ(md::CheckMainData(fields, {}, &refusal), 1020);
    fields.taxTable.clear();

    // The shop and the profession name a record of their books (shops 1-4,
    // professions 1-16 here): a number within the range the book does not
    // hold is refused naming the field and the book; 0 names nothing.
    const md::CardBooks books{{QStringLiteral("Цех/Отдел"), [](long long n) { return n >= 1 && n <= 4; }},
                              {QStringLiteral("Профессии"), [](long long n) { return n >= 1 && n <= 16; }}};
    fields.shop = QStringLiteral("4");
    fields.profession = QStringLiteral("16");
    EXPECT_EQ(md::CheckMainData(fields, books, &refusal), 0);
    fields.shop = QStringLiteral("9");
    EXPECT_EQ(md::CheckMainData(fields, books, &refusal), md::kCardShopField);
    EXPECT_EQ(refusal, QStringLiteral("В поле \"Цех / отдел\" указан номер, которого нет в справочнике \"Цех/Отдел\": 9"));
    fields.shop = QStringLiteral("0");
    fields.profession = QStringLiteral("99");
    EXPECT_EQ(md::CheckMainData(fields, books, &refusal), md::kCardProfessionField);
    EXPECT_EQ(refusal, QStringLiteral("В поле \"Профессия\" указан номер, которого нет в справочнике \"Профессии\": 99"));
    fields.profession = QStringLiteral("128"); // past the range first
    EXPECT_EQ(md::CheckMainData(fields, books, &refusal), md::kCardProfessionField);
    EXPECT_TRUE(refusal.contains(QStringLiteral("от 0 до 127"))) << refusal.toStdString();

    int value = 0;
    EXPECT_TRUE(md::ReadCardNumber(1055, QStringLiteral("3"), &value).isEmpty());
    EXPECT_FALSE(md::ReadCardNumber(1055, QStringLiteral("4"), &value).isEmpty());
    EXPECT_FALSE(md::ReadCardNumber(1057, QStringLiteral("5"), &value).isEmpty());
    // A text that is no whole number is refused by name, never read as its digits.
    for (const char* text : {"x", "2x", "2,5", "1e1"}) {
        const QString refusal = md::ReadCardNumber(1057, QString::fromUtf8(text), &value);
        EXPECT_TRUE(refusal.contains(QStringLiteral("\"Группа инвал-сти\"")) &&
                    refusal.endsWith(QString::fromUtf8(text)))
            << text << refusal.toStdString();
        EXPECT_EQ(value, 0);
    }
}

TEST(EmployeeCardRules, MainDataWholeAndFilledFieldsOnly)
{
    ib::EmployeeHead head;
    head.fio = QStringLiteral("Петров Иван Ильич");
    head.oklad = 2'500'000;
    ib::EmployeeAttributes attr;
    attr.graph = 17;
    attr.brig = 4;
    ib::u8 shop = 2;
    QString shortName = QStringLiteral("Петров И. И.");

    // A group page with only the shop filled changes the shop and nothing else.
    md::MainDataFields group;
    group.shop = QStringLiteral("3");
    const ib::EmployeeHead headBefore = head;
    const ib::EmployeeAttributes attrBefore = attr;
    EXPECT_TRUE(md::StoreMainData(group, {head, attr, shop, shortName}, true));
    EXPECT_EQ(shop, 3);
    EXPECT_TRUE(head == headBefore);
    EXPECT_TRUE(attr == attrBefore);
    EXPECT_EQ(shortName, QStringLiteral("Петров И. И."));
    // An empty group page writes nothing.
    EXPECT_FALSE(md::StoreMainData(md::MainDataFields{}, {head, attr, shop, shortName}, true));
    // A group name renames the short name only.
    group.fio = QStringLiteral("Сидоров Пётр");
    EXPECT_TRUE(md::StoreMainData(group, {head, attr, shop, shortName}, true));
    EXPECT_EQ(shortName, QStringLiteral("Сидоров П."));
    EXPECT_EQ(head.fio, QStringLiteral("Петров Иван Ильич"));

    // The whole page: shown and stored back unchanged, then a new schedule.
    md::MainDataFields page = md::MainDataOf(head, attr, shop);
    EXPECT_EQ(page.schedule, QStringLiteral("17"));
    EXPECT_EQ(page.salary, QStringLiteral("25000.00"));
    EXPECT_FALSE(md::StoreMainData(page, {head, attr, shop, shortName}, false));
    page.schedule = QStringLiteral("5");
    page.timeTariff = QStringLiteral("95.125");
    page.costCodes[0] = QStringLiteral("200100020003");
    EXPECT_TRUE(md::StoreMainData(page, {head, attr, shop, shortName}, false));
    EXPECT_EQ(attr.graph, 5);
    EXPECT_EQ(head.tarifVrem.rub, 95);
    EXPECT_EQ(head.tarifVrem.thou, 125);
    EXPECT_EQ(head.spz[0][0], 2001);
    EXPECT_EQ(md::MainDataOf(head, attr, shop).costCodes[0], QStringLiteral("200100020003"));

    // A text its input's rule refuses keeps the stored value, never 0.
    page.salary = QStringLiteral("25000,005");
    page.brigade = QStringLiteral("4x");
    page.pieceTariff = QStringLiteral("-1");
    page.costCodes[0] = QStringLiteral("1234567890123");
    EXPECT_FALSE(md::StoreMainData(page, {head, attr, shop, shortName}, false));
    EXPECT_EQ(head.oklad, 2'500'000);
    EXPECT_EQ(attr.brig, 4);
    EXPECT_EQ(head.spz[0][0], 2001);
}

TEST(EmployeeCardRules, PropertyDeductionAmountsAndTexts)
{
    ib::EmployeeHead head;
    head.imvichBeg = 0xE000'0000u; // top bits belong to others
    ib::u32 amount = 0;
    EXPECT_TRUE(md::ReadDeductionTotal(QStringLiteral("1000"), &amount).isEmpty());
    md::SetDeductionAmount(head, amount, QDate(2026, 3, 15));
    EXPECT_EQ(md::Amount29(head.imvichBeg), 100'000u);
    EXPECT_EQ(head.imvichBeg >> 29, 7u);
    EXPECT_EQ(md::Amount29(head.imvichOst), 100'000u);
    EXPECT_EQ(md::Amount29(head.imvichNY), 100'000u);
    EXPECT_EQ(head.imvichDat, kalvor::PackedDate::make(15, 3, 2026).value);
    EXPECT_EQ(md::DeductionBalanceText(head), QStringLiteral("1000.00"));

    // A change keeps the start date; 0 clears it.
    md::SetDeductionAmount(head, 250'000, QDate(2026, 5, 1));
    EXPECT_EQ(head.imvichDat, kalvor::PackedDate::make(15, 3, 2026).value);
    md::SetDeductionAmount(head, 0, QDate(2026, 5, 1));
    EXPECT_EQ(head.imvichDat, 0);
    EXPECT_EQ(md::DeductionTotalText(head), QString());

    // Read to the kopeck (a single-precision reading would lose two), and the 29-bit limit.
    EXPECT_TRUE(md::ReadDeductionTotal(QStringLiteral("1234567.89"), &amount).isEmpty());
    EXPECT_EQ(amount, 123'456'789u);
    EXPECT_TRUE(md::ReadDeductionTotal(QStringLiteral("5368709.11"), &amount).isEmpty());
    EXPECT_FALSE(md::ReadDeductionTotal(QStringLiteral("5368709.12"), &amount).isEmpty());
    EXPECT_FALSE(md::ReadDeductionTotal(QStringLiteral("-5"), &amount).isEmpty());

    head.imvichOst = 0;
    head.imvichAmt2 = 500;
    EXPECT_EQ(md::DeductionBalanceText(head), QStringLiteral("Исчерпан"));

    // The reporting year: the deduction is given on that year's notice only.
    ib::EmployeeHead flat;
    EXPECT_EQ(md::DeductionYearText(flat, 2012), QString());
    flat.imvichBeg = flat.imvichNY = flat.imvichOst = 166'500'000;
    flat.imvichDat = kalvor::PackedDate::make(1, 5, 2011).value;
    flat.imvichSprNom = QStringLiteral("1245");
    flat.imvichSprDat = QStringLiteral("25.4.11");
    EXPECT_EQ(md::DeductionYearText(flat, 2011), QStringLiteral("По уведомлению на 2011 год"));
    EXPECT_EQ(md::DeductionYearText(flat, 2012), QStringLiteral("Не предоставляется: нет уведомления на 2012 год"));
    flat.imvichSprNom = QStringLiteral("31");
    flat.imvichSprDat = QStringLiteral("16.1.12");
    EXPECT_EQ(md::DeductionYearText(flat, 2012), QStringLiteral("По уведомлению на 2012 год"));
}

TEST(EmployeeCardRules, ServiceLengthUpToTheReferenceDate)
{
    const md::ServiceLength length =
        md::ServiceLengthOf(kalvor::PackedDate::make(20, 11, 2019).value, QDate(2026, 3, 15));
    EXPECT_TRUE(length.shown);
    EXPECT_EQ(length.years, 6);
    EXPECT_EQ(length.months, 3);
    EXPECT_EQ(length.days, 23);
    EXPECT_FALSE(md::ServiceLengthOf(kalvor::PackedDate::make(1, 4, 2026).value, QDate(2026, 3, 15)).shown);
    EXPECT_FALSE(md::ServiceLengthOf(0, QDate(2026, 3, 15)).shown);
}

TEST_F(EmployeeCard, NewCardInNumberOrderGoesToItsPlaceAndFirstByName)
{
    const int number = FreeNumberInside();
    ASSERT_NE(number, 0);
    const int count = base().employeeCount();
    const int slot = md::CreateEmployeeCard(base(), number);
    ASSERT_GT(slot, 0);

    const int index = base().FindEmployee(number);
    ASSERT_GE(index, 1);
    EXPECT_EQ(base().list[std::size_t(index)].slot, slot);
    EXPECT_LT(tabN(index - 1), number);
    EXPECT_GT(tabN(index + 1), number);
    EXPECT_EQ(base().otherList.front().tabN(), number);
    EXPECT_EQ(base().employeeCount(), count + 1);
    EXPECT_EQ(base().config.kolRab, count + 1);
    EXPECT_EQ(StoredCount("SELECT kolRab FROM dbo.config"), count + 1);
    EXPECT_EQ(StoredCount("SELECT COUNT(*) FROM dbo.konst"), count + 1);
    EXPECT_EQ(base().currentSlot, slot);
    EXPECT_TRUE(base().attributesOf(slot) == ib::EmployeeAttributes{});
    EXPECT_EQ(base().shopOf(slot), 0);
    // Memory and base agree, both lists included.
    EXPECT_TRUE(StoredState() == StateOf(base()));
}

TEST_F(EmployeeCard, NewCardInNameOrderIsFirstAndAtItsPlaceByNumber)
{
    // A number no list holds (found in the list by number, before the swap).
    const int number = FreeNumberInside() ? FreeNumberInside() : 5000;
    base().firm.parWord |= 0x20;
    std::swap(base().list, base().otherList);
    ib::SaveFirm(base());
    const int slot = md::CreateEmployeeCard(base(), number);
    ASSERT_GT(slot, 0);
    EXPECT_EQ(base().list.front().tabN(), number);
    EXPECT_EQ(base().list.front().slot, slot);
    EXPECT_EQ(base().FindEmployee(number), 0);
    std::vector<int> numbers;
    for (const ib::EmployeeListEntry& entry : base().otherList) numbers.push_back(entry.tabN());
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    EXPECT_NE(std::find(numbers.begin(), numbers.end(), number), numbers.end());
    EXPECT_TRUE(StoredState() == StateOf(base()));
}

TEST_F(EmployeeCard, DeletingFirstMiddleAndLastRunsSplicesEveryKind)
{
    // Slots in order 1..capacity: runs of 2, 3 and 1 lines for three of them.
    std::vector<int> slotNumbers;
    for (const ib::EmployeeListEntry& entry : base().list) slotNumbers.push_back(entry.slot);
    std::sort(slotNumbers.begin(), slotNumbers.end());
    const int first = slotNumbers.front(), middle = slotNumbers[slotNumbers.size() / 2], last = slotNumbers.back();
    for (int slot : slotNumbers) GiveLines(slot, slot == middle ? 3 : slot == first ? 2 : 1);
    SaveLines();

    for (int deleted : {middle, first, last}) {
        struct {
            ib::LineArray<ib::BonusLine> prem;
            ib::LineArray<ib::AltTabelEntry> altTabel;
            ib::LineArray<ib::SickLeaveSheet> bln;
            ib::LineArray<ib::VacationNote> otp;
            int count;
        } const before{base().prem, base().altTabel, base().bln, base().otp, base().employeeCount()};
        const int index = base().FindEmployee([&] {
            for (const ib::EmployeeListEntry& e : base().list)
                if (e.slot == deleted)
                    return int(e.tabN());
            return 0;
        }());
        ASSERT_GE(index, 0);
        md::DeleteEmployeeCard(base(), index);
        SCOPED_TRACE(deleted);
        EXPECT_EQ(base().employeeCount(), before.count - 1);
        ExpectRunsKept(before.altTabel, base().altTabel, deleted, "altTabel");
        ExpectRunsKept(before.bln, base().bln, deleted, "bln");
        ExpectRunsKept(before.otp, base().otp, deleted, "otp");
        for (int slot = 1; slot <= base().capacity(); ++slot)
            if (slot != deleted) {
                EXPECT_EQ(base().prem.run(slot), before.prem.run(slot));
            }
        // The deleted slot keeps one empty bonus line and nothing else.
        EXPECT_EQ(base().prem.count(deleted), 1);
        EXPECT_TRUE(base().prem.run(deleted).front() == ib::BonusLine{});
        EXPECT_EQ(base().altTabel.count(deleted), 0);
        EXPECT_EQ(base().bln.count(deleted), 0);
        EXPECT_EQ(base().otp.count(deleted), 0);
        EXPECT_TRUE(base().shortNameOf(deleted).isEmpty());
        EXPECT_TRUE(StoredState() == StateOf(base()));
    }
    EXPECT_EQ(StoredCount("SELECT COUNT(*) FROM dbo.konst"), base().employeeCount());
}

TEST_F(EmployeeCard, FailureInACreateLeavesBaseAndMemoryAsTheyWere)
{
    const int number = FreeNumberInside() ? FreeNumberInside() : 5000;
    const CardState memory = StateOf(base());
    const CardState stored = StoredState();
    const int konstRows = StoredCount("SELECT COUNT(*) FROM dbo.konst");
    int failures = 0;
    for (int statement = 1;; ++statement) {
        db::InjectFailureAfter(statement);
        try {
            md::CreateEmployeeCard(base(), number);
        } catch (const db::DbError&) {
            db::InjectFailureAfter(0);
            ++failures;
            ASSERT_TRUE(StateOf(base()) == memory) << "statement " << statement;
            ASSERT_TRUE(StoredState() == stored) << "statement " << statement;
            ASSERT_EQ(StoredCount("SELECT COUNT(*) FROM dbo.konst"), konstRows);
            continue;
        }
        db::InjectFailureAfter(0);
        break;
    }
    EXPECT_GT(failures, 5);
    EXPECT_GE(base().FindEmployee(number), 0);
}

TEST_F(EmployeeCard, FailureInADeleteLeavesBaseAndMemoryAsTheyWere)
{
    GiveLines(base().list[2].slot, 2);
    SaveLines();
    const CardState memory = StateOf(base());
    const CardState stored = StoredState();
    const int number = tabN(2);
    int failures = 0;
    for (int statement = 1;; ++statement) {
        db::InjectFailureAfter(statement);
        try {
            md::DeleteEmployeeCard(base(), 2);
        } catch (const db::DbError&) {
            db::InjectFailureAfter(0);
            ++failures;
            ASSERT_TRUE(StateOf(base()) == memory) << "statement " << statement;
            ASSERT_TRUE(StoredState() == stored) << "statement " << statement;
            continue;
        }
        db::InjectFailureAfter(0);
        break;
    }
    EXPECT_GT(failures, 5);
    EXPECT_LT(base().FindEmployee(number), 0);
}
