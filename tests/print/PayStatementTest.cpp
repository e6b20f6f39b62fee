// The pay statement of forms T-53 and 0504403: the whole sequence of rows and
// values that the writer hands to the template engine, read back from the
// engine's data document, against the forms' tables; the page breaks, the
// page range, the selection and the totals; the shipped templates' value
// slotCounts against what each row receives; the writer's result.
#include "print/PayStatement.h"
#include "StatementTestDoc.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "print/FormTexts.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <map>

using namespace kalvor;
using namespace kalvor::print;
using namespace kalvor::printtest;

// Rows print as their text in the failure messages.
static void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

QString Row(int number, const QStringList& values = {})
{
    QString text = QStringLiteral("row%1").arg(number);
    if (!values.isEmpty())
        text += QStringLiteral(": ") + values.join(QLatin1Char('|'));
    return text;
}

void Rows(QStringList& out, int first, int last)
{
    for (int number = first; number <= last; ++number) out << Row(number);
}

// Every row of the document's one page as "rowN: value|value|...".
QStringList Sequence(const CTree& tree)
{
    QStringList rows;
    const QDomElement doc = tree.DataDocument().documentElement().firstChildElement(QStringLiteral("doc"));
    const QDomElement page = doc.firstChildElement();
    EXPECT_EQ(page.tagName(), QStringLiteral("page0"));
    EXPECT_TRUE(page.nextSiblingElement().isNull()) << "one page only";
    for (QDomElement row = page.firstChildElement(); !row.isNull(); row = row.nextSiblingElement()) {
        EXPECT_TRUE(row.tagName().startsWith(QStringLiteral("row"))) << row.tagName().toStdString();
        QStringList values;
        for (QDomElement value = row.firstChildElement(); !value.isNull(); value = value.nextSiblingElement())
            values << value.text();
        rows << Row(row.tagName().mid(3).toInt(), values);
    }
    return rows;
}

QStringList RowsNamed(const QStringList& sequence, int number)
{
    QStringList found;
    for (const QString& row : sequence)
        if (row == Row(number) || row.startsWith(Row(number) + QLatin1Char(':')))
            found << row;
    return found;
}

class PayStatement : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform::SetWorkingFolder(QStringLiteral(KALVOR_SOURCE_DIR "/data"));
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
    }
    void TearDown() override
    {
        platform::SetWorkingFolder(QString());
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    }

    // Employees with their amounts to pay (kopecks) in zar1.
    void build(const std::vector<StatementEmployee>& employees)
    {
        BuildStatementDoc(doc, employees);
        for (int slot = 1; slot <= doc.infoBase.slotCount(); ++slot)
            doc.infoBase.zar1Of(slot) = doc.infoBase.avOf(slot);
    }
    void buildNumbered(int count)
    {
        std::vector<StatementEmployee> employees;
        for (int i = 0; i < count; ++i) employees.push_back({101 + i, 1, 0, 1'000.0 + i});
        build(employees);
    }
    QString name(int slot) const { return doc.infoBase.shortNameOf(slot); }

    QStringList fill(const StatementPrintParams& params, int lineCount, int markedOnly = 0,
                     PayStatementOptions options = {})
    {
        CTree tree(PayStatementTemplate(params), dir.filePath(QStringLiteral("firm.typ")));
        FillPayStatement(tree, params, doc, markedOnly, lineCount, options);
        return Sequence(tree);
    }

    QTemporaryDir dir;
    PayrollDoc doc;
    ScopedToday today{QDate(2011, 4, 20)};
};

StatementPrintParams Budget()
{
    StatementPrintParams params;
    params.outputMode = BudgetStatement;
    return params;
}

// Amounts 10.60, 0 and 20.70: the totals are 31 roubles 30 kopecks, and the
// employee without an amount gets neither a line nor a number.
TEST_F(PayStatement, FormT53FollowsTheFormsTablesRowByRow)
{
    build({{101, 1, 0, 1060}, {102, 1, 0, 0}, {103, 1, 0, 2070}});
    QStringList expected;
    Rows(expected, 0, 5);
    expected << Row(6, {QStringLiteral("ООО «Северная механика» Вологодский машиностроительный"), ""}) << Row(7)
             << Row(8, {""}) << Row(9, {""});
    Rows(expected, 10, 11);
    expected << Row(12, QStringList(6)) << Row(13, {QStringLiteral("тридцать один")}) << Row(14)
             << Row(15, {"", "30", "31", "30"}) << Row(16)
             << Row(17, {QStringLiteral("Директор"), QStringLiteral("Воронцов Андрей Викторович")}) << Row(18)
             << Row(19, {QStringLiteral("Кудрявцева Ирина Николаевна")}) << Row(20) << Row(21, QStringList(3));
    Rows(expected, 22, 24);
    expected << Row(25, {"", "20.04.2011", "01.04.2011", "30.04.2011"});
    for (int blank = 0; blank < 26; ++blank) expected << Row(26);
    expected << Row(27, {"", QStringLiteral("2-я страница"), QStringLiteral("формы N Т-53")}) << Row(28) << Row(29)
             << Row(30, {"1", "101", name(1), "10.60", "", ""}) << Row(30, {"2", "103", name(3), "20.70", "", ""})
             << Row(31) << Row(32, {"2"});
    Rows(expected, 33, 41);
    expected << Row(42, {QStringLiteral("Кассир"), QStringLiteral("Зуева Л. И.")}) << Row(43) << Row(44)
             << Row(45, {QStringLiteral("Кудрявцева И. Н.")}) << Row(46) << Row(47, QStringList(3));
    EXPECT_EQ(fill({}, 2), expected);
    EXPECT_EQ(name(1), QStringLiteral("Алексеев А.Г."));
}

TEST_F(PayStatement, Form0504403FollowsTheFormsTablesRowByRow)
{
    build({{101, 1, 0, 1060}, {102, 1, 0, 0}, {103, 1, 0, 2070}});
    QStringList expected;
    expected << Row(0) << Row(1, QStringList(6)) << Row(2, {QStringLiteral("Тридцать один рубль 30 копеек")})
             << Row(3, {QStringLiteral("Воронцов А. В.")}) << Row(4) << Row(5, {QStringLiteral("Кудрявцева И. Н.")})
             << Row(6) << Row(7) << Row(8, {""}) << Row(9, {""}) << Row(10, {QStringLiteral("апрель"), "11", ""})
             << Row(11, {QStringLiteral("ООО «Северная механика» Вологодский машиностроительный"), ""}) << Row(12, {""})
             << Row(13) << Row(14) << Row(15, {"", "", "", "20.04.2011"});
    expected << Row(16, {"", "", ""}) << Row(17) << Row(18) << Row(19, {"1", name(1), "101", "10.60", ""})
             << Row(19, {"2", name(3), "103", "20.70", ""});
    expected << Row(20, {"31.30"});
    Rows(expected, 21, 25);
    expected << Row(26, {QStringLiteral("Зуева Л. И.")}) << Row(27) << Row(28)
             << Row(29, {QStringLiteral("Кассир"), QStringLiteral("Зуева Л. И.")}) << Row(30) << Row(31)
             << Row(32, {QStringLiteral("бухгалтер"), QStringLiteral("Кудрявцева И. Н.")}) << Row(33)
             << Row(34, QStringList(2));
    EXPECT_EQ(fill(Budget(), 2), expected);
}

// Five kopecks stand as "05" on both forms (a lone "5" would read as fifty); the words
// of T-53 end with the last letter, those of 0504403 with the kopeck word.
TEST_F(PayStatement, TotalsAndWordsOfEachForm)
{
    build({{101, 1, 0, 102}, {102, 1, 0, 203}});
    const QStringList t53 = fill({}, 2);
    EXPECT_EQ(RowsNamed(t53, 13), QStringList{Row(13, {QStringLiteral("три")})});
    EXPECT_EQ(RowsNamed(t53, 15), QStringList{Row(15, {"", "05", "3", "05"})});
    const QStringList budget = fill(Budget(), 2);
    EXPECT_EQ(RowsNamed(budget, 2), QStringList{Row(2, {QStringLiteral("Три рубля 05 копеек")})});
    EXPECT_EQ(RowsNamed(budget, 20), QStringList{Row(20, {"3.05"})});

    build({{101, 1, 0, 100'000'000}, {102, 1, 0, 2'300'101}});
    EXPECT_EQ(RowsNamed(fill({}, 2), 13),
              QStringList{Row(13, {QStringLiteral("один миллион двадцать три тысячи один")})});
    EXPECT_EQ(RowsNamed(fill(Budget(), 2), 2),
              QStringList{Row(2, {QStringLiteral("Один миллион двадцать три тысячи один рубль 01 копейка")})});

    build({{101, 1, 0, 0}});
    EXPECT_EQ(RowsNamed(fill({}, 0), 13), QStringList{Row(13, {QStringLiteral("ноль")})});
    EXPECT_EQ(RowsNamed(fill(Budget(), 0), 2), QStringList{Row(2, {QStringLiteral("Ноль рублей 00 копеек")})});
}

} // namespace

namespace {

// The header rows of the list and the serial numbers of the lines, in order:
// "H<page label>" for a header, the serial for a line, "C<sheets>" for the
// closing part.
QStringList ListShape(const QStringList& sequence, bool budget)
{
    QStringList shape;
    const QString header = Row(budget ? 16 : 27) + QLatin1Char(':');
    const QString line = Row(budget ? 19 : 30) + QLatin1Char(':');
    const QString closing = Row(budget ? 20 : 32) + QLatin1Char(':');
    for (const QString& row : sequence) {
        const QStringList values = row.section(QStringLiteral(": "), 1).split(QLatin1Char('|'));
        if (row.startsWith(header))
            shape << QLatin1Char('H') + values.value(budget ? 2 : 1);
        else if (row.startsWith(line))
            shape << values.value(0);
        else if (row.startsWith(closing))
            shape << QLatin1Char('C') + values.value(0);
    }
    return shape;
}

QStringList Serials(int first, int last)
{
    QStringList serials;
    for (int serial = first; serial <= last; ++serial) serials << QString::number(serial);
    return serials;
}

} // namespace

// T-53 breaks after every 35 lines, and a header follows a full page only
// when lines remain.
TEST_F(PayStatement, FormT53PagesHold35Lines)
{
    buildNumbered(71);
    QStringList expected = QStringList{QStringLiteral("H2-я страница")} + Serials(1, 35);
    expected << QStringLiteral("H3-я страница") << Serials(36, 70) << QStringLiteral("H4-я страница") << "71"
             << QStringLiteral("C4");
    EXPECT_EQ(ListShape(fill({}, 71), false), expected);

    buildNumbered(70);
    expected = QStringList{QStringLiteral("H2-я страница")} + Serials(1, 35);
    expected << QStringLiteral("H3-я страница") << Serials(36, 70) << QStringLiteral("C3");
    EXPECT_EQ(ListShape(fill({}, 70), false), expected);
}

// 0504403: 26 lines under the title, then 38 a sheet; the first header has
// no form name and no sheet number.
TEST_F(PayStatement, Form0504403PagesHold26Then38Lines)
{
    // Amounts of 10.00, 10.01 ... roubles: 103 of them make 1,082.53.
    buildNumbered(103);
    QStringList expected = QStringList{QStringLiteral("H")} + Serials(1, 26);
    expected << QStringLiteral("Hс.2") << Serials(27, 64) << QStringLiteral("Hс.3") << Serials(65, 102)
             << QStringLiteral("Hс.4") << "103" << QStringLiteral("C1082.53");
    const QStringList sequence = fill(Budget(), 103);
    EXPECT_EQ(ListShape(sequence, true), expected);
    EXPECT_EQ(RowsNamed(sequence, 16).at(1), Row(16, {"", QStringLiteral("Форма 0504403"), QStringLiteral("с.2")}));

    buildNumbered(26);
    EXPECT_EQ(ListShape(fill(Budget(), 26), true),
              QStringList{QStringLiteral("H")} + Serials(1, 26) + QStringList{QStringLiteral("C263.25")});
}

// A first page above 1 leaves out the title; the lines go on from
// (first page - 2) × 25 + 1, and those before it count toward the first
// printed sheet.
TEST_F(PayStatement, FirstPageAboveOneStartsWithTheListAndNumbersOn)
{
    buildNumbered(60);
    StatementPrintParams params;
    params.firstPage = 3;
    const QStringList t53 = fill(params, 35);
    EXPECT_EQ(t53.front(), Row(27, {"", QStringLiteral("3-я страница"), QStringLiteral("формы N Т-53")}));
    QStringList expected = QStringList{QStringLiteral("H3-я страница")} + Serials(26, 35);
    expected << QStringLiteral("H4-я страница") << Serials(36, 60) << QStringLiteral("C4");
    EXPECT_EQ(ListShape(t53, false), expected);
    EXPECT_EQ(RowsNamed(t53, 30).front(), Row(30, {"26", "126", name(26), "10.25", "", ""}));

    params.outputMode = BudgetStatement;
    const QStringList budget = fill(params, 35);
    EXPECT_EQ(budget.front(), Row(16, {"", QStringLiteral("Форма 0504403"), QStringLiteral("с.2")}));
    expected = QStringList{QStringLiteral("Hс.2")} + Serials(26, 38);
    expected << QStringLiteral("Hс.3") << Serials(39, 60) << QStringLiteral("C617.70");
    EXPECT_EQ(ListShape(budget, true), expected);
}

// A last page of 1 gives the title part alone.
TEST_F(PayStatement, LastPageOneGivesTheTitleAlone)
{
    buildNumbered(3);
    StatementPrintParams params;
    params.lastPage = 1;
    const QStringList t53 = fill(params, 0);
    EXPECT_EQ(t53.size(), 26 + 26);
    EXPECT_EQ(t53.back(), Row(26));
    EXPECT_EQ(RowsNamed(t53, 15), QStringList{Row(15, {"", "03", "30", "03"})});
    params.outputMode = BudgetStatement;
    const QStringList budget = fill(params, 0);
    EXPECT_EQ(budget.size(), 16);
    EXPECT_EQ(budget.back(), Row(15, {"", "", "", "20.04.2011"}));
}

// The personnel number decides over the marks; without it only the marked
// are listed and summed. The shop of the parameters filters both.
TEST_F(PayStatement, SelectionByPersonnelNumberMarksAndShop)
{
    build({{101, 1, 0, 1000}, {102, 1, 0, 2000}, {103, 1, 0, 3000}, {104, 2, 0, 4000}, {105, 1, 0, 5000}});
    doc.infoBase.list[0].setFlag(0, true);
    doc.infoBase.list[3].setFlag(2, true);
    doc.infoBase.list[4].setFlag(1, true);

    StatementPrintParams params;
    params.personnelNumber = 103;
    QStringList sequence = fill(params, 1, 1);
    EXPECT_EQ(RowsNamed(sequence, 30), QStringList{Row(30, {"1", "103", name(3), "30.00", "", ""})});
    EXPECT_EQ(RowsNamed(sequence, 15), QStringList{Row(15, {"", "00", "30", "00"})});

    sequence = fill({}, 3, 1);
    EXPECT_EQ(ListShape(sequence, false), (QStringList{QStringLiteral("H2-я страница"), "1", "2", "3", "C2"}));
    EXPECT_EQ(RowsNamed(sequence, 30).at(1), Row(30, {"2", "104", name(4), "40.00", "", ""}));
    EXPECT_EQ(RowsNamed(sequence, 15), QStringList{Row(15, {"", "00", "100", "00"})});

    params = {};
    params.shop = 1;
    params.outputMode = BudgetStatement;
    sequence = fill(params, 4, 1);
    EXPECT_EQ(ListShape(sequence, true), (QStringList{QStringLiteral("H"), "1", "2", QStringLiteral("C60.00")}));
    EXPECT_EQ(RowsNamed(sequence, 12), QStringList{Row(12, {QStringLiteral("Цех - Заводоуправление ")})});
}

// Nothing to pay: no line and no number, the totals unchanged. With both
// option flags such an employee uses up one of the counted lines.
TEST_F(PayStatement, ZeroAmountsGetNoLine)
{
    build({{101, 1, 0, 0}, {102, 1, 0, 500}, {103, 1, 0, 0}, {104, 1, 0, 600}});
    QStringList sequence = fill({}, 2);
    EXPECT_EQ(ListShape(sequence, false), (QStringList{QStringLiteral("H2-я страница"), "1", "2", "C2"}));
    EXPECT_EQ(RowsNamed(sequence, 30).at(1), Row(30, {"2", "104", name(4), "6.00", "", ""}));
    EXPECT_EQ(RowsNamed(sequence, 15), QStringList{Row(15, {"", "00", "11", "00"})});

    sequence = fill({}, 3, 0, {1, 1});
    EXPECT_EQ(ListShape(sequence, false), (QStringList{QStringLiteral("H2-я страница"), "1", "C2"}));
    EXPECT_EQ(ListShape(fill({}, 2, 0, {1, 0}), false), (QStringList{QStringLiteral("H2-я страница"), "1", "2", "C2"}));
    // A count that the employees cannot fill ends the list with them.
    EXPECT_EQ(ListShape(fill({}, 5), false), (QStringList{QStringLiteral("H2-я страница"), "1", "2", "C2"}));
}

// The period of T-53 ends on the month's last day: 29 February in a leap year.
TEST_F(PayStatement, PeriodEndsOnTheLastDayOfTheMonth)
{
    buildNumbered(1);
    doc.infoBase.config.tekMes = infobase::u16(2012 * 16 + 2);
    EXPECT_EQ(RowsNamed(fill({}, 1), 25), QStringList{Row(25, {"", "20.04.2011", "01.02.2012", "29.02.2012"})});
    doc.infoBase.config.tekMes = infobase::u16(2011 * 16 + 2);
    EXPECT_EQ(RowsNamed(fill({}, 1), 25), QStringList{Row(25, {"", "20.04.2011", "01.02.2011", "28.02.2011"})});
    doc.infoBase.config.tekMes = infobase::u16(2010 * 16 + 12);
    EXPECT_EQ(RowsNamed(fill({}, 1), 25), QStringList{Row(25, {"", "20.04.2011", "01.12.2010", "31.12.2010"})});
    EXPECT_EQ(RowsNamed(fill(Budget(), 1), 10), QStringList{Row(10, {QStringLiteral("декабрь"), "10", ""})});
}

// The unit line: the shop's name cut to 29, a comma, the brigade in three
// places; a brigade alone; a shop that does not exist gives no shop part.
// Firm texts lose their repeated blanks and are cut to their widths.
TEST_F(PayStatement, UnitAndFirmTexts)
{
    build({{101, 2, 7, 1000}});
    doc.infoBase.firm.texts[infobase::FirmInfo::firmName] =
        QStringLiteral("Акционерное   общество  «Вологодский   машиностроительный завод имени Ленина» ");
    doc.infoBase.firm.texts[infobase::FirmInfo::kassirFio] =
        QStringLiteral("Зуева Людмила Ивановна, старший кассир центральной кассы");
    StatementPrintParams params;
    params.shop = 2;
    params.brigade = 7;
    QStringList sequence = fill(params, 1);
    EXPECT_EQ(RowsNamed(sequence, 8),
              QStringList{Row(8, {QStringLiteral("Цех - Механосборочный цех № 2 (учас , Бригада -  7 ")})});
    EXPECT_EQ(RowsNamed(sequence, 6),
              QStringList{Row(6, {QStringLiteral("Акционерное общество «Вологодский машиностроительны"), ""})});
    EXPECT_EQ(RowsNamed(sequence, 42),
              QStringList{Row(42, {QStringLiteral("Кассир"), QStringLiteral("Зуева Людмила Ивановна, старши")})});

    params.shop = 0;
    EXPECT_EQ(RowsNamed(fill(params, 1), 8), QStringList{Row(8, {QStringLiteral("Бригада -  7 ")})});
    params.shop = 9;
    params.brigade = 0;
    EXPECT_EQ(RowsNamed(fill(params, 0), 8), QStringList{Row(8, {""})});
}

// Each row region of the shipped templates holds exactly as many value slotCounts
// as the writer gives the row, and the writer uses every region.
TEST_F(PayStatement, TemplatesHaveASlotForEveryValue)
{
    buildNumbered(103);
    for (const StatementPrintParams& params : {StatementPrintParams{}, Budget()}) {
        SCOPED_TRACE(PayStatementTemplate(params).toStdString());
        CTree tree(PayStatementTemplate(params), dir.filePath(QStringLiteral("firm.typ")));
        FillPayStatement(tree, params, doc, 0, 103, {});
        std::map<QString, int> slotCounts;
        const QList<QByteArray>& map = tree.BookmarkMap();
        for (qsizetype i = 0; i + 2 < map.size(); ++i)
            if (map[i].startsWith("row"))
                slotCounts[QString::fromLatin1(map[i])] = map[i + 2].toInt() - map[i + 1].toInt() + 1;
        std::map<QString, int> used;
        const QDomElement page =
            tree.DataDocument().documentElement().firstChildElement(QStringLiteral("doc")).firstChildElement();
        for (QDomElement row = page.firstChildElement(); !row.isNull(); row = row.nextSiblingElement()) {
            ASSERT_TRUE(slotCounts.count(row.tagName())) << row.tagName().toStdString();
            EXPECT_EQ(row.childNodes().size(), slotCounts[row.tagName()]) << row.tagName().toStdString();
            used[row.tagName()] = 1;
        }
        EXPECT_EQ(used.size(), slotCounts.size());
        EXPECT_EQ(slotCounts.size(), params.outputMode == 0 ? 48u : 35u);
    }
}

// 0 when the document is written; -23 with the engine's explanation when the
// template is missing or lacks a row, or the output cannot be written.
TEST_F(PayStatement, WriterResults)
{
    buildNumbered(3);
    QString error;
    EXPECT_EQ(PrintPayStatement({}, doc, dir.filePath(QStringLiteral("firm.typ")), 0, 3, {}, &error), 0);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    QFile written(dir.filePath(QStringLiteral("firm.rtf")));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray rtf = written.readAll();
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("{10.02}"));
    EXPECT_TRUE(rtf.contains("{\\'c4\\'e8\\'f0\\'e5\\'ea\\'f2\\'ee\\'f0}")); // "Директор"

    EXPECT_EQ(PrintPayStatement(Budget(), doc, dir.filePath(QStringLiteral("none/firm.typ")), 0, 3, {}, &error),
              kPrintFileFault);
    EXPECT_TRUE(error.contains(QStringLiteral("none/firm.rtf"))) << error.toStdString();

    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Shablon")));
    platform::SetWorkingFolder(dir.path());
    EXPECT_EQ(PrintPayStatement({}, doc, dir.filePath(QStringLiteral("firm.typ")), 0, 3, {}, &error), kPrintFileFault);
    EXPECT_TRUE(error.contains(QStringLiteral("pv-okud0301011.rtf"))) << error.toStdString();

    QFile bare(dir.filePath(QStringLiteral("Shablon/pv-okud0301011.rtf")));
    ASSERT_TRUE(bare.open(QIODevice::WriteOnly));
    bare.write("{\\rtf1\\ansi \\fet0\\sectd \\sbknone\r\n\\pard\\plain \\ql {\\*\\bkmkstart page0}{x}{\\par }\r\n"
               "\\pard\\plain \\ql {\\*\\bkmkend page0}{\\par }}\r\n");
    bare.close();
    EXPECT_EQ(PrintPayStatement({}, doc, dir.filePath(QStringLiteral("bare.typ")), 0, 3, {}, &error), kPrintFileFault);
    EXPECT_TRUE(error.contains(QStringLiteral("row0"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("bare.rtf"))));
}
