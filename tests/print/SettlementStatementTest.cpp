// The settlement statements of forms T-51, T-49 and 0504401: the whole
// sequence of pages, rows and values that the writer hands to the template
// engine, read back from the engine's data document, against the forms'
// layouts; albums and passes, column titles, page breaks, selections, the
// column question and the writer's results; the shipped templates' value
// slots against what each row receives.
#include "print/SettlementStatement.h"
#include "PersonalAccountTestDoc.h"
#include "StatementTestDoc.h"
#include "platform/DocumentOpener.h"
#include "platform/GuiBridge.h"
#include "platform/WorkingFolder.h"
#include "print/FormTexts.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <thread>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::print;
using namespace kalvor::printtest;

static void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

QString Node(const QString& name, const QStringList& values = {})
{
    return values.isEmpty() ? name : name + QStringLiteral(": ") + values.join(QLatin1Char('|'));
}
QString Row(int number, const QStringList& values = {}) { return Node(QStringLiteral("row%1").arg(number), values); }
QString Page(const QStringList& values = {}) { return Node(QStringLiteral("page0"), values); }
void Rows(QStringList& out, int first, int last)
{
    for (int number = first; number <= last; ++number) out << Row(number);
}

QStringList ValuesOf(const QDomElement& node)
{
    QStringList values;
    for (QDomElement v = node.firstChildElement(); !v.isNull(); v = v.nextSiblingElement())
        if (v.tagName().startsWith(QStringLiteral("par")))
            values << v.text();
    return values;
}

// Every page as "page0[: values]" followed by its rows as "rowN[: values]".
QStringList Sequence(const CTree& tree)
{
    QStringList out;
    const QDomElement doc = tree.DataDocument().documentElement().firstChildElement(QStringLiteral("doc"));
    for (QDomElement page = doc.firstChildElement(); !page.isNull(); page = page.nextSiblingElement()) {
        out << Node(page.tagName(), ValuesOf(page));
        for (QDomElement row = page.firstChildElement(); !row.isNull(); row = row.nextSiblingElement())
            if (row.tagName().startsWith(QStringLiteral("row")))
                out << Node(row.tagName(), ValuesOf(row));
    }
    return out;
}

QStringList Named(const QStringList& sequence, const QString& prefix)
{
    QStringList found;
    for (const QString& node : sequence)
        if (node == prefix || node.startsWith(prefix + QLatin1Char(':')))
            found << node;
    return found;
}

PayKind Kind(int code, const char* name, int column, bool titled)
{
    PayKind kind;
    kind.kod = u16(code);
    kind.name = QString::fromUtf8(name);
    kind.vedStlb = i8(column);
    kind.vedShap = titled ? 1 : 0;
    return kind;
}

// Columns: accruals 1 (kinds 1 titled, 2 not), 2 (20), 3 (45), 4 (50, not
// titled), 6 (60); deductions 1 (902, not titled), 2 (810), 3 (901).
std::vector<PayKind> Kinds()
{
    return {Kind(1, "Оклад по дням", 1, true),
            Kind(2, "Повременная оплата", 1, false),
            Kind(20, "Премия ежемесячная", 2, true),
            Kind(45, "Доплата за работу в ночное время", 3, true),
            Kind(50, "Материальная помощь", 4, false),
            Kind(60, "Оплата больничного листа", 6, true),
            Kind(151, "Долг за предприятием", 0, false),
            Kind(810, "Профсоюзные взносы", 2, true),
            Kind(901, "Аванс", 3, true),
            Kind(902, "Налог на доходы", 1, false)};
}

// A month row of an exact amount in kopecks.
AccrualRow Raw(int code, double kopecks)
{
    AccrualRow row = MonthRow(code, 0);
    row.sum = kopecks;
    return row;
}

struct Person {
    int number;
    int system; // sistOpl
    int profession;
    std::vector<AccrualRow> rows;
};

class SettlementStatement : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform::SetWorkingFolder(QStringLiteral(KALVOR_SOURCE_DIR "/data"));
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        previousHook = SetSettlementQuestionHook([this](const QString& text) {
            questions << text;
            return answer;
        });
    }
    void TearDown() override
    {
        SetSettlementQuestionHook(previousHook);
        doc.infoBase.swap.close();
        platform::SetWorkingFolder(QString());
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    }

    // The five people of the worked example: salaried, hourly with a
    // carried-over sum and sick pay, piece-rate in debt, one without a
    // result, one whose net is below a kopeck. The time worked is the time
    // that the basic pay paid for: 101's time sheet still shows 21 days, his
    // salary paid 13 (a vacation took the rest); 102's tariff 152 hours.
    static std::vector<Person> Example()
    {
        return {{101,
                 4,
                 3,
                 {MonthRow(1, 30'000, 13), MonthRow(20, 5'000), MonthRow(50, 100), MonthRow(810, 350),
                  MonthRow(901, 10'000), MonthRow(902, 4'550)}},
                {102,
                 2,
                 5,
                 {MonthRow(151, 1'234.56), MonthRow(2, 13'038.75, 19, 152, 30), MonthRow(60, 2'000, 5), MonthRow(902, 1'917)}},
                {103, 0, 3, {MonthRow(1, 500), MonthRow(901, 5'000), MonthRow(902, 2'000)}},
                {104, 4, 3, {MonthRow(1, 0), MonthRow(995, 100)}},
                {105, 4, 3, {MonthRow(1, 1'000), Raw(902, 99'999.6)}}};
    }

    void build(const std::vector<Person>& people)
    {
        std::vector<StatementEmployee> list;
        for (const Person& p : people) list.push_back({p.number, 1, 0, 0});
        BuildStatementDoc(doc, list);
        CInfoBase& base = doc.infoBase;
        base.setPayKinds(Kinds());
        doc.refFiles.profi[0] = {3, QStringLiteral("Токарь")};
        doc.refFiles.profi[1] = {5, QStringLiteral("Водитель погрузчика цеха 2")};
        doc.refFiles.profiCount = 2;
        base.swap.setPath(dir.filePath(QStringLiteral("swap")));
        base.swap.create();
        for (std::size_t i = 0; i < people.size(); ++i) {
            const Person& p = people[i];
            const int slot = int(i) + 1;
            EmployeeAttributes& attributes = base.attributesOf(slot);
            attributes.sistOpl = u8(p.system);
            attributes.prof = u16(p.profession);
            EmployeeRecord record;
            for (std::size_t r = 0; r < p.rows.size(); ++r) record.rows[r] = p.rows[r];
            record.head.oklad = p.number == 101 ? 3'000'000 : 0;
            record.head.tarifVrem.rub = 85;
            record.head.tarifVrem.thou = 500;
            record.head.tarifSdel.rub = 123;
            record.head.tarifSdel.thou = 456;
            base.swap.writeSlot(slot, record);
        }
        TabelRecord& first = base.tabelOf(1);
        first.rabDn = 21;
        first.prDn = 1;
        first.vyhDn = 2;
        TabelRecord& second = base.tabelOf(2);
        second.rabDn = 19;
        second.rabHr = 152 * 60 + 30;
        second.prHr = 8 * 60;
        second.vyhDn = 1;
    }
    QString name(int slot) const { return doc.infoBase.shortNameOf(slot); }

    QStringList fill(int kind, const StatementPrintParams& given = {}, int markedOnly = 0)
    {
        StatementPrintParams params = given;
        params.variant = u8(kind);
        const SettlementPlan plan = PlanSettlementStatement(kind, doc);
        CTree tree(plan.templateName(), dir.filePath(QStringLiteral("firm.typ")));
        FillSettlementStatement(tree, params, doc, markedOnly, plan);
        return Sequence(tree);
    }

    QTemporaryDir dir;
    PayrollDoc doc;
    ScopedToday today{QDate(2011, 4, 20)};
    QStringList questions;
    int answer = kSettlementAnswerYes;
    SettlementQuestionHook previousHook;
};

const QString kFirm = QStringLiteral("ООО «Северная механика» Вологодский машиностроительный");

// Album 1 of T-51 for the worked example: one pass, the head, four employee
// rows (104 has no result), the totals and the closing rows.
TEST_F(SettlementStatement, FormT51Album1FollowsTheLayout)
{
    build(Example());
    QStringList expected;
    expected << Page({""});
    Rows(expected, 0, 2);
    expected << Row(3, {kFirm, ""}) << Row(4, {""}) << Row(5, {""}) << Row(6) << Row(7) << Row(8)
             << Row(9, {"", "20.04.11", "01.04.11", "30.04.11"}) << Row(10, QStringList(6)) << Row(11)
             << Row(12, {QStringLiteral("Подоходный налог"), QStringLiteral("Профсоюзные взносы"),
                         QStringLiteral("Аванс"), ""})
             << Row(13, {QStringLiteral("Оклад по дням"), QStringLiteral("Премия ежемесячная"),
                         QStringLiteral("Доплата за работу в "), "", "", QStringLiteral("Оплата больничного л")})
             << Row(14);
    expected << Row(15, {"1",
                         "101",
                         name(1),
                         QStringLiteral("Токарь"),
                         "30000.00",
                         QStringLiteral("13д"),
                         QStringLiteral(" 3д"),
                         "30000.00",
                         "5000.00",
                         "",
                         "100.00",
                         "",
                         "",
                         "35100.00",
                         "4550.00",
                         "350.00",
                         "10000.00",
                         "",
                         "14900.00",
                         "",
                         "",
                         "20200.00"});
    expected << Row(15, {"2",       "102",      name(2),   QStringLiteral("Водитель погрузчика цеха"),
                         "85.500",  "152",      "  8",     "13038.75",
                         "",        "",         "",        "",
                         "2000.00", "15038.75", "1917.00", "",
                         "",        "",         "1917.00", "1234.56",
                         "",        "14356.31"});
    expected << Row(15, {"3",       "103",    name(3),   QStringLiteral("Токарь"),
                         "123.456", "",       "",        "500.00",
                         "",        "",       "",        "",
                         "",        "500.00", "2000.00", "",
                         "5000.00", "",       "7000.00", "",
                         "6500.00", ""});
    expected << Row(15, {"4",    "105",     name(5),   QStringLiteral("Токарь"),
                         "0.00", "",        "",        "1000.00",
                         "",     "",        "",        "",
                         "",     "1000.00", "1000.00", "",
                         "",     "",        "1000.00", "",
                         "",     ""});
    expected << Row(16, {"44538.75", "5000.00", "", "100.00", "", "2000.00", "51638.75", "9467.00", "350.00",
                         "15000.00", "", "24817.00", "1234.56", "6500.00", "34556.31"})
             << Row(17) << Row(18, {QStringLiteral("бухгалтер"), QStringLiteral("Кудрявцева И. Н.")}) << Row(19);
    EXPECT_EQ(fill(SettlementT51), expected);
    // Kind 2 is form T-51 too.
    EXPECT_EQ(fill(SettlementT51Too), expected);
}

// T-49 in album 1: the head with the firm's officers, the time columns of
// A salary prints as money, to the kopeck; a tariff keeps its thousandths
// of a rouble: 101's salary of 99,999,999.99 is "99999999.99", never
// "99999999.990", beside 102's time tariff of 85.500.
TEST_F(SettlementStatement, ASalaryPrintsToTheKopeckAndATariffToItsThousandths)
{
    build(Example());
    EmployeeRecord record;
    ASSERT_TRUE(doc.infoBase.swap.readSlot(1, record));
    record.head.oklad = 9'999'999'999;
    doc.infoBase.swap.writeSlot(1, record);
    const QStringList rows = Named(fill(SettlementT51), QStringLiteral("row15"));
    ASSERT_GE(rows.size(), 2);
    EXPECT_TRUE(rows[0].contains(QStringLiteral("|99999999.99|"))) << rows[0].toStdString();
    EXPECT_TRUE(rows[1].contains(QStringLiteral("|85.500|"))) << rows[1].toStdString();
}

// days off and holidays apart, the name at the end of the row.
TEST_F(SettlementStatement, FormT49Album1FollowsTheLayout)
{
    build(Example());
    doc.infoBase.shopAt(1) = {1, QStringLiteral("Заводоуправление")};
    StatementPrintParams params;
    params.shop = 1;
    params.brigade = 2;
    for (int slot = 1; slot <= 5; ++slot) doc.infoBase.attributesOf(slot).brig = 2;
    QStringList expected;
    expected << Page({""});
    Rows(expected, 0, 2);
    expected << Row(3, {kFirm, ""}) << Row(4) << Row(5, {QStringLiteral("Цех - Заводоуправление , Бригада -  2 ")})
             << Row(6) << Row(7) << Row(8, QStringList(6)) << Row(9, {""}) << Row(10) << Row(11, QStringList(4))
             << Row(12) << Row(13, {QStringLiteral("Директор"), QStringLiteral("Воронцов Андрей Викторович")})
             << Row(14) << Row(15, {QStringLiteral("Кудрявцева Ирина Николаевна")}) << Row(16)
             << Row(17, QStringList(3)) << Row(18) << Row(19) << Row(20, {"", "20.04.11", "01.04.11", "30.04.11"})
             << Row(21, QStringList(6)) << Row(22)
             << Row(23, {QStringLiteral("налог на доходы"), QStringLiteral("Профсоюзные взносы"),
                         QStringLiteral("Аванс"), ""})
             << Row(24, {QStringLiteral("Оклад по дням"), QStringLiteral("Премия ежемесячная"),
                         QStringLiteral("Доплата за работу в "), "", "", QStringLiteral("Оплата больничного л")})
             << Row(25);
    const QStringList sequence = fill(SettlementT49, params);
    EXPECT_EQ(sequence.mid(0, expected.size()), expected);
    const QStringList employees = Named(sequence, QStringLiteral("row26"));
    ASSERT_EQ(employees.size(), 4);
    EXPECT_EQ(employees[1], Row(26, {"2",        "102",      QStringLiteral("Водитель погрузчика цеха"),
                                     "85.500",   "152",      QStringLiteral(" 1д"),
                                     "  8",      "13038.75", "",
                                     "",         "",         "",
                                     "2000.00",  "15038.75", "1917.00",
                                     "",         "",         "",
                                     "1917.00",  "1234.56",  "",
                                     "14356.31", name(2)}));
    QStringList closing;
    closing << Row(27, {"44538.75", "5000.00", "", "100.00", "", "2000.00", "51638.75", "9467.00", "350.00", "15000.00",
                        "", "24817.00", "1234.56", "6500.00", "34556.31"})
            << Row(28) << Row(29) << Row(30, {QStringLiteral("Кассир"), QStringLiteral("Зуева Л. И.")}) << Row(31)
            << Row(32) << Row(33) << Row(34, {QStringLiteral("Кудрявцева И. Н.")}) << Row(35) << Row(36) << Row(37);
    EXPECT_EQ(sequence.mid(sequence.size() - closing.size()), closing);
}

// Form 0504401: its own month table (February 2012 has 29 days), the
// column-6 days, no rate or time values, the totals as to-pay only.
TEST_F(SettlementStatement, Form0504401FollowsTheLayout)
{
    build(Example());
    doc.infoBase.config.tekMes = u16(2012 * 16 + 2);
    QStringList expected;
    expected << Page() << Row(0, {""})
             << Row(1, {"01", QStringLiteral("февраля"), "12", "29", QStringLiteral("февраля"), "12",
                        QStringLiteral("февраль"), "12"})
             << Row(2) << Row(3, {"", ""}) << Row(4, {kFirm, ""})
             << Row(5, {QStringLiteral("Воронцов Андрей Викторович"), ""}) << Row(6)
             << Row(7, {QStringLiteral("Кудрявцева Ирина Николаевна")}) << Row(8) << Row(9, QStringList(4))
             << Row(10, QStringList(3)) << Row(11)
             << Row(12, {QStringLiteral("Оклад по дням"), QStringLiteral("Премия ежемесячная"),
                         QStringLiteral("Доплата за работу в "), "", "", QStringLiteral("Оплата больничного л"),
                         QStringLiteral("пособия по уходу за ребенком"), QStringLiteral("заработная плата"),
                         QStringLiteral("Профсоюзные взносы"), QStringLiteral("Аванс"), "", ""})
             << Row(13) << Row(14);
    const QStringList sequence = fill(SettlementBudget);
    EXPECT_EQ(sequence.mid(0, expected.size()), expected);
    const QStringList employees = Named(sequence, QStringLiteral("row15"));
    ASSERT_EQ(employees.size(), 4);
    EXPECT_EQ(employees[1], Row(15, {"2",        "102", QStringLiteral("Водитель погрузчика цеха"),
                                     "13038.75", "",    "",
                                     "",         "",    "5",
                                     "2000.00",  "",    "15038.75",
                                     "1917.00",  "",    "",
                                     "",         "",    "1917.00",
                                     "14356.31", "",    name(2)}));
    QStringList closing;
    closing << Row(16, {"34556.31"}) << Row(17) << Row(18, {"34556.31", "34556.31", "34556.31"}) << Row(19)
            << Row(20, {QStringLiteral("бухгалтер"), QStringLiteral("Кудрявцева И. Н."), QStringLiteral("Кассир"),
                        QStringLiteral("Зуева Л. И.")})
            << Row(21) << Row(22) << Row(23, {"", "", QStringLiteral("Зуева Л. И.")}) << Row(24) << Row(25);
    EXPECT_EQ(sequence.mid(sequence.size() - closing.size()), closing);
    // February of a year that is not divisible by 4 has 28 days.
    doc.infoBase.config.tekMes = u16(2011 * 16 + 2);
    EXPECT_EQ(Named(fill(SettlementBudget), QStringLiteral("row1")).value(0),
              Row(1, {"01", QStringLiteral("февраля"), "11", "28", QStringLiteral("февраля"), "11",
                      QStringLiteral("февраль"), "11"}));
}

// A titled accrual kind in column 8 makes T-51 and T-49 album 2: the left
// part in pass 0, the right part in pass 1 with the rows offset, the part
// texts on later pages, the filler rows after pass 0.
TEST_F(SettlementStatement, Album2WritesTwoPassesWithTheirOffsets)
{
    build(Example());
    std::vector<PayKind> kinds = doc.infoBase.payKinds();
    kinds.insert(kinds.begin() + 6, Kind(70, "Компенсация за питание", 8, true));
    doc.infoBase.setPayKinds(std::move(kinds));
    const SettlementPlan plan = PlanSettlementStatement(SettlementT51, doc);
    EXPECT_EQ(plan.album, 2);
    EXPECT_EQ(plan.templateName(), QByteArray("t-51-albom2"));
    EXPECT_EQ(plan.accrualColumns, 14);
    EXPECT_EQ(plan.deductionColumns, 7);

    const QStringList t51 = fill(SettlementT51);
    QStringList left;
    left << Page();
    Rows(left, 0, 2);
    left << Row(3, {kFirm}) << Row(4) << Row(5, {""}) << Row(6) << Row(7) << Row(9) << Row(10, QStringList(3))
         << Row(11) << Row(12);
    QStringList accrualTitles{QStringLiteral("Оклад по дням"),
                              QStringLiteral("Премия ежемесячная"),
                              QStringLiteral("Доплата за работу в "),
                              "",
                              "",
                              QStringLiteral("Оплата больничного л"),
                              "",
                              QStringLiteral("Компенсация за питан"),
                              "",
                              "",
                              "",
                              "",
                              "",
                              QStringLiteral("другие доходы в виде соц. и мат.благ")};
    left << Row(13, accrualTitles) << Row(14);
    EXPECT_EQ(t51.mid(0, left.size()), left);
    const int second = int(t51.indexOf(Page(), 1));
    ASSERT_GT(second, 0);
    QStringList leftEnd;
    leftEnd << Row(16, {"44538.75", "5000.00", "", "100.00", "", "2000.00", "", "", "", "", "", "", "", "", "51638.75"})
            << Row(17) << Row(18) << Row(39);
    // One page of four rows: filled up to 19 rows with row39.
    for (int filler = 4; filler < 19; ++filler) leftEnd << Row(39);
    EXPECT_EQ(t51.mid(second - leftEnd.size(), leftEnd.size()), leftEnd);
    EXPECT_EQ(Named(t51.mid(0, second), QStringLiteral("row15")).value(0), Row(15, {"1",
                                                                                    "101",
                                                                                    name(1),
                                                                                    QStringLiteral("Токарь"),
                                                                                    "30000.00",
                                                                                    QStringLiteral("13д"),
                                                                                    QStringLiteral(" 3д"),
                                                                                    "30000.00",
                                                                                    "5000.00",
                                                                                    "",
                                                                                    "100.00",
                                                                                    "",
                                                                                    "",
                                                                                    "",
                                                                                    "",
                                                                                    "",
                                                                                    "",
                                                                                    "",
                                                                                    "",
                                                                                    "",
                                                                                    "",
                                                                                    "35100.00"}));

    QStringList right;
    right << Page();
    Rows(right, 19, 26);
    right << Row(27) << Row(28, {"", "20.04.11", "01.04.11", "30.04.11"}) << Row(29, QStringList(3)) << Row(30)
          << Row(31, {QStringLiteral("Подоходный налог"), QStringLiteral("Профсоюзные взносы"), QStringLiteral("Аванс"),
                      "", "", "", ""})
          << Row(32) << Row(33)
          << Row(34, {"4550.00", "350.00", "10000.00", "", "", "", "", "14900.00", "", "", "20200.00"});
    EXPECT_EQ(t51.mid(second, right.size()), right);
    QStringList rightEnd;
    rightEnd << Row(35, {"9467.00", "350.00", "15000.00", "", "", "", "", "24817.00", "1234.56", "6500.00", "34556.31"})
             << Row(36) << Row(37, {QStringLiteral("бухгалтер"), QStringLiteral("Кудрявцева И. Н.")}) << Row(39);
    EXPECT_EQ(t51.mid(t51.size() - rightEnd.size()), rightEnd);

    // T-49: pass 1 rows from 34; the checker's name only in pass 1; pass 0
    // filled up to 11 rows with row68.
    const QStringList t49 = fill(SettlementT49);
    const int t49Second = int(t49.indexOf(Page(), 1));
    ASSERT_GT(t49Second, 0);
    EXPECT_EQ(Named(t49.mid(0, t49Second), QStringLiteral("row68")).size(), 11 - 4);
    EXPECT_EQ(Named(t49.mid(0, t49Second), QStringLiteral("row32")), QStringList{Row(32)});
    EXPECT_EQ(Named(t49, QStringLiteral("row66")), QStringList{Row(66, {QStringLiteral("Кудрявцева И. Н.")})});
    EXPECT_EQ(Named(t49, QStringLiteral("row60")).value(2),
              Row(60, {"2000.00", "", "5000.00", "", "", "", "", "7000.00", "", "6500.00", "", name(3)}));
    EXPECT_EQ(t49.last(), Row(67));
}

// 23 employees fill T-51's first page exactly: a page with only its head
// follows, then the totals; 24 put one row on the second page.
TEST_F(SettlementStatement, PageThatTheLastEmployeeFillsIsFollowedByAHeadOnlyPage)
{
    std::vector<Person> people;
    for (int i = 0; i < 24; ++i) people.push_back({201 + i, 4, 3, {MonthRow(1, 1'000 + i)}});
    build(people);
    doc.infoBase.list.pop_back();
    QStringList sequence = fill(SettlementT51);
    ASSERT_EQ(sequence.count(Page({""})), 1);
    const int second = int(sequence.indexOf(Page()));
    ASSERT_GT(second, 0);
    EXPECT_EQ(Named(sequence.mid(0, second), QStringLiteral("row15")).size(), 23);
    QStringList pageHead;
    pageHead << Page() << Row(10, {QStringLiteral("страница"), "2", "", "", "", ""}) << Row(11)
             << Row(12, {QStringLiteral("Подоходный налог"), QStringLiteral("Профсоюзные взносы"),
                         QStringLiteral("Аванс"), ""});
    EXPECT_EQ(sequence.mid(second, pageHead.size()), pageHead);
    EXPECT_TRUE(sequence[second + 6].startsWith(Row(16) + QLatin1Char(':')));

    build(people);
    sequence = fill(SettlementT51);
    const int next = int(sequence.indexOf(Page()));
    EXPECT_EQ(sequence[next + 6].left(12), QStringLiteral("row15: 24|22"));
}

// The personnel number picks one employee whatever the shop, brigade and
// profession say; marked only overrides all of them.
TEST_F(SettlementStatement, PersonnelNumberAndMarkedSelections)
{
    build(Example());
    auto numbers = [](const QStringList& sequence) {
        QStringList out;
        for (const QString& row : Named(sequence, QStringLiteral("row15"))) out << row.section(QLatin1Char('|'), 1, 1);
        return out;
    };
    StatementPrintParams params;
    params.personnelNumber = 103;
    params.shop = 7;
    params.brigade = 3;
    params.profession = 9;
    EXPECT_EQ(numbers(fill(SettlementT51, params)), QStringList{"103"});
    doc.infoBase.list[1].setFlag(0, true);
    doc.infoBase.list[4].setFlag(2, true);
    EXPECT_EQ(numbers(fill(SettlementT51, params, 2)), (QStringList{"102", "105"}));
    params.personnelNumber = 0;
    EXPECT_EQ(numbers(fill(SettlementT51, params)), QStringList{});
    params = {};
    params.profession = 5;
    EXPECT_EQ(numbers(fill(SettlementT51, params)), QStringList{"102"});
}

// Form 0504401 with an accrual kind in column 8: the question with the
// largest columns; Yes prints columns 1-7 only, No and a stop print nothing.
TEST_F(SettlementStatement, ColumnQuestionOfForm0504401)
{
    build(Example());
    std::vector<PayKind> kinds = doc.infoBase.payKinds();
    kinds.insert(kinds.begin() + 6, Kind(70, "Компенсация за питание", 8, true));
    kinds.push_back(Kind(940, "Не в ведомость", 6, true));
    doc.infoBase.setPayKinds(std::move(kinds));
    const QString output = dir.filePath(QStringLiteral("firm.typ"));
    StatementPrintParams params;
    params.variant = SettlementBudget;

    EXPECT_EQ(PrintSettlementStatement(params, doc, output, 0), kSettlementDone);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0], QStringLiteral("ВНИМАНИЕ! Не все начисления/удержания попадут в ведомость!Сейчас: "
                                           "начислений-8, удержаний-6 (допустимо 7 и 5).Продолжить ?"));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("firm.rtf"))));

    QFile::remove(dir.filePath(QStringLiteral("firm.rtf")));
    answer = 7; // Нет
    EXPECT_EQ(PrintSettlementStatement(params, doc, output, 0), kSettlementDeclined);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("firm.rtf"))));

    // A stop while the worker waits for the answer cancels the question.
    std::stop_source stop;
    stop.request_stop();
    SetSettlementQuestionHook([&](const QString& text) {
        questions << text;
        return platform::GuiBridge::runBlocking([] { return kSettlementAnswerYes; }, stop.get_token());
    });
    int result = 0;
    std::thread worker([&] { result = PrintSettlementStatement(params, doc, output, 0); });
    worker.join();
    EXPECT_EQ(result, kSettlementDeclined);
    EXPECT_EQ(questions.size(), 3);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("firm.rtf"))));

    // Columns up to 7 and 5 ask nothing; T-51 never asks.
    kinds = Kinds();
    doc.infoBase.setPayKinds(kinds);
    EXPECT_FALSE(PlanSettlementStatement(SettlementBudget, doc).ask);
    kinds.push_back(Kind(903, "Алименты", 5, true));
    kinds.insert(kinds.begin() + 6, Kind(70, "Компенсация за питание", 7, true));
    doc.infoBase.setPayKinds(std::move(kinds));
    EXPECT_FALSE(PlanSettlementStatement(SettlementBudget, doc).ask);
    EXPECT_EQ(PlanSettlementStatement(SettlementT51, doc).album, 2);
}

// A kind whose column is beyond the form's count adds to no column and no
// column total, but the amount to pay is still the month's (100 + 7 + 40);
// a kind without vedShap fills its column but gives no title and no largest
// column; a column read as negative counts as the largest.
TEST_F(SettlementStatement, ColumnsBeyondTheCountAndUntitledKinds)
{
    build({{101, 4, 3, {MonthRow(1, 100, 21), MonthRow(50, 7), MonthRow(80, 40)}}});
    std::vector<PayKind> kinds = doc.infoBase.payKinds();
    kinds.insert(kinds.begin() + 6, Kind(80, "Вне колонок", 9, false));
    doc.infoBase.setPayKinds(std::move(kinds));
    EXPECT_EQ(PlanSettlementStatement(SettlementT51, doc).album, 1);
    EXPECT_EQ(Named(fill(SettlementT51), QStringLiteral("row15")).value(0), Row(15, {"1",
                                                                                     "101",
                                                                                     name(1),
                                                                                     QStringLiteral("Токарь"),
                                                                                     "30000.00",
                                                                                     QStringLiteral("21д"),
                                                                                     QStringLiteral(" 3д"),
                                                                                     "100.00",
                                                                                     "",
                                                                                     "",
                                                                                     "7.00",
                                                                                     "",
                                                                                     "",
                                                                                     "107.00",
                                                                                     "",
                                                                                     "",
                                                                                     "",
                                                                                     "",
                                                                                     "",
                                                                                     "",
                                                                                     "",
                                                                                     "147.00"}));
    doc.infoBase.payKindAt(7).vedStlb = -3;
    doc.infoBase.payKindAt(7).vedShap = 1;
    const SettlementPlan plan = PlanSettlementStatement(SettlementT51, doc);
    EXPECT_EQ(plan.album, 2);
    EXPECT_EQ(plan.largestAccrual, -3);
}

// The profession cell: the book's name cut to its last whole word within
// 26 characters; a name beginning with "00" and a name without a word end
// print empty, an unknown code prints its digits, and an employee without a
// profession (the salaried staff, code 0) prints an empty cell.
TEST_F(SettlementStatement, ProfessionColumn)
{
    const std::pair<int, QString> cases[] = {
        {0, QString()}, {3, QStringLiteral("Токарь")}, {5, QStringLiteral("Водитель погрузчика цеха")}, {7, QString()},
        {8, QString()}, {9, QStringLiteral("9")}};
    std::vector<Person> people;
    for (const auto& [code, text] : cases) people.push_back({101 + int(people.size()), 4, code, {MonthRow(1, 100)}});
    build(people);
    doc.refFiles.profi[2] = {7, QStringLiteral("00 Прочие")};
    doc.refFiles.profi[3] = {8, QStringLiteral("Электрогазосварщикмонтажник")};
    doc.refFiles.profiCount = 4;
    const QStringList rows = Named(fill(SettlementT51), QStringLiteral("row15"));
    ASSERT_EQ(rows.size(), qsizetype(std::size(cases)));
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(rows[qsizetype(i)].split(QLatin1Char('|')).value(3), cases[i].second) << "code " << cases[i].first;
}

// Every row region of the shipped templates holds exactly as many value
// slots as the writer gives the row, in every form and album.
TEST_F(SettlementStatement, TemplatesHaveASlotForEveryValue)
{
    build(Example());
    auto check = [&](int kind) {
        const SettlementPlan plan = PlanSettlementStatement(kind, doc);
        SCOPED_TRACE(plan.templateName().toStdString());
        StatementPrintParams params;
        CTree tree(plan.templateName(), dir.filePath(QStringLiteral("firm.typ")));
        FillSettlementStatement(tree, params, doc, 0, plan);
        std::map<QString, int> slotCounts;
        const QList<QByteArray>& map = tree.BookmarkMap();
        for (qsizetype i = 0; i + 2 < map.size(); ++i)
            if (map[i].startsWith("row"))
                slotCounts[QString::fromLatin1(map[i])] = map[i + 2].toInt() - map[i + 1].toInt() + 1;
        const QDomElement docNode = tree.DataDocument().documentElement().firstChildElement(QStringLiteral("doc"));
        for (QDomElement page = docNode.firstChildElement(); !page.isNull(); page = page.nextSiblingElement())
            for (QDomElement row = page.firstChildElement(); !row.isNull(); row = row.nextSiblingElement())
                if (row.tagName().startsWith(QStringLiteral("row"))) {
                    ASSERT_TRUE(slotCounts.count(row.tagName())) << row.tagName().toStdString();
                    EXPECT_EQ(ValuesOf(row).size(), slotCounts[row.tagName()]) << row.tagName().toStdString();
                }
        EXPECT_EQ(tree.Generate(), CTree::GenerateDone) << tree.ErrorText().toStdString();
    };
    for (int kind : {SettlementT51, SettlementT49, SettlementBudget}) check(kind);
    std::vector<PayKind> kinds = doc.infoBase.payKinds();
    kinds.insert(kinds.begin() + 6, Kind(70, "Компенсация за питание", 8, true));
    doc.infoBase.setPayKinds(std::move(kinds));
    for (int kind : {SettlementT51, SettlementT49}) check(kind);
}

// -23 with a reason for a missing template and for a kind above 3; a slot
// that cannot be read whole ends the run with a read error and no document.
TEST_F(SettlementStatement, WriterResults)
{
    build(Example());
    const QString output = dir.filePath(QStringLiteral("firm.typ"));
    StatementPrintParams params;
    params.variant = SettlementT51Too;
    QString error;
    EXPECT_EQ(PrintSettlementStatement(params, doc, output, 0, &error), kSettlementDone) << error.toStdString();
    EXPECT_EQ(params.variant, SettlementT51);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("firm.rtf"))));

    params.variant = 4;
    EXPECT_EQ(PrintSettlementStatement(params, doc, output, 0, &error), kPrintFileFault);
    EXPECT_EQ(error, QStringLiteral("Неизвестный вид ведомости: 4"));

    platform::SetWorkingFolder(dir.path());
    params.variant = SettlementT49;
    EXPECT_EQ(PrintSettlementStatement(params, doc, output, 0, &error), kPrintFileFault);
    EXPECT_FALSE(error.isEmpty());

    platform::SetWorkingFolder(QStringLiteral(KALVOR_SOURCE_DIR "/data"));
    QFile::remove(dir.filePath(QStringLiteral("firm.rtf")));
    QFile::resize(dir.filePath(QStringLiteral("swap")), 2 * SwapFile::SlotSize + 100);
    EXPECT_THROW(PrintSettlementStatement(params, doc, output, 0), PrintFileError);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("firm.rtf"))));
    EXPECT_EQ(doc.infoBase.currentSlot, 0);
}

} // namespace
