// The personal accounts: the text file against its golden file
// (tests/print/golden/personal-accounts.txt, windows-1251), its page fit, the
// figures against IncomeByMonths, the data document of the template
// variants, and the runs that fail. KALVOR_UPDATE_GOLDEN=1 rewrites the
// golden file (then check it again by eye).
//
// The golden file was checked by hand: 62 + 2 + 56 columns, the head with
// the pay sheet at column 64, "---" for code 600, the month line only for the
// hourly employee's code 151, the debt of 857.10 positive, the words of
// 1,234,567.89 on two lines on both sides and the words of 17,777.00 on two
// lines on the right only, the empty accounts of 108 and 109, no account for
// the dismissed 105.
#include "print/PersonalAccounts.h"
#include "PersonalAccountTestDoc.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/IncomeTax.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/TaskThread.h"
#include "platform/WorkingFolder.h"
#include "print/FormTexts.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::print;
using namespace kalvor::printtest;

namespace {

QByteArray cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class PersonalAccounts : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        platform::SetWorkingFolder(QStringLiteral(KALVOR_SOURCE_DIR "/data"));
    }
    void TearDown() override
    {
        doc.infoBase.CloseSwapFile();
        platform::SetWorkingFolder(QString());
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    }
    void build(int fillers)
    {
        employees = AccountEmployees(fillers);
        BuildAccountDoc(doc, employees, path("swap"));
    }
    QString path(const char* name) const { return dir.path() + QLatin1Char('/') + QLatin1String(name); }
    int print(int variant, const char* name = "kalvor.typ", QString* error = nullptr)
    {
        StatementPrintParams params;
        params.variant = std::uint8_t(variant);
        return PrintPersonalAccounts(doc, path(name), params, 0, error);
    }
    // The account of the employee in list position `index`, read from the swap file.
    PersonalAccount account(int index)
    {
        const EmployeeListEntry& entry = doc.infoBase.list[std::size_t(index)];
        EXPECT_TRUE(doc.infoBase.swap.readSlot(entry.slot, doc.infoBase.current));
        PersonalAccount result;
        EXPECT_EQ(BuildPersonalAccount(doc, entry, result), 0);
        return result;
    }

    QTemporaryDir dir;
    PayrollDoc doc;
    std::vector<AccountEmployee> employees;
};

// The accounts of the file: for each, its first and last line (0-based).
std::vector<std::pair<int, int>> AccountSpans(const QList<QByteArray>& lines)
{
    std::vector<std::pair<int, int>> spans;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(cp("Лицевой счет за")))
            spans.push_back({i, -1});
        else if (lines[i].startsWith(QByteArray(62, '=')) && !spans.empty())
            spans.back().second = i;
    }
    return spans;
}

} // namespace

TEST_F(PersonalAccounts, TextFileMatchesTheGoldenFileAndKeepsEveryAccountOnOnePage)
{
    build(14);
    ASSERT_EQ(print(AccountText), 0);
    const QByteArray text = ReadFile(path("kalvor.typ"));

    const QString golden = QStringLiteral(KALVOR_SOURCE_DIR "/tests/print/golden/personal-accounts.txt");
    if (qEnvironmentVariableIsSet("KALVOR_UPDATE_GOLDEN")) {
        QFile file(golden);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    const QByteArray expected = ReadFile(golden);
    const QList<QByteArray> lines = text.split('\n');
    const QList<QByteArray> expectedLines = expected.split('\n');
    for (int i = 0; i < std::min(lines.size(), expectedLines.size()); ++i)
        ASSERT_EQ(codepage::fromCp1251(lines[i]), codepage::fromCp1251(expectedLines[i])) << "line " << i + 1;
    ASSERT_EQ(text, expected);

    // Every line ends in "\r\n"; a line of an account is 62 characters, two
    // blanks and at most 56.
    ASSERT_TRUE(text.endsWith("\r\n"));
    for (int i = 0; i + 1 < lines.size(); ++i) {
        ASSERT_TRUE(lines[i].endsWith('\r')) << "line " << i + 1;
        const QByteArray line = lines[i].chopped(1);
        if (line.isEmpty())
            continue;
        EXPECT_GE(line.size(), 64) << "line " << i + 1;
        EXPECT_LE(line.size(), 120) << "line " << i + 1;
        if (!line.startsWith(cp("Лицевой"))) {
            EXPECT_EQ(line.mid(62, 2), "  ") << "line " << i + 1;
        }
    }

    // One account per employee but the dismissed 105, none split by a page.
    const std::vector<std::pair<int, int>> spans = AccountSpans(lines);
    EXPECT_EQ(spans.size(), employees.size() - 1);
    EXPECT_FALSE(text.contains(cp("Табель=105")));
    EXPECT_GT(spans.back().first / kAccountPageLines, 2) << "the fixture must fill more than three pages";
    for (const auto& [first, last] : spans) {
        ASSERT_GT(last, first);
        EXPECT_EQ(first / kAccountPageLines, last / kAccountPageLines) << "account at line " << first + 1;
    }
}

// Accounts without coded rows stand as the last ones of a page too: the
// empty account's 13 lines never reach into the next page.
TEST_F(PersonalAccounts, EmptyAccountsNeverCrossAPage)
{
    PersonalAccount empty;
    empty.month = 4;
    empty.year = 2011;
    empty.name = QByteArray(120, ' ');
    empty.position = QByteArray(22, ' ');
    AccountLine accrualTotal, deductionTotal;
    accrualTotal.kind = AccountLine::AccrualTotal;
    deductionTotal.kind = AccountLine::DeductionTotal;
    empty.lines = {accrualTotal, deductionTotal};
    empty.words = cp("Ноль рублей 00 копеек");
    empty.linesNeeded = 11;
    for (int start = 40; start <= 64; ++start) {
        SCOPED_TRACE(start);
        QByteArray out;
        int line = start;
        AppendPersonalAccountText(empty, out, line);
        const QList<QByteArray> lines = out.split('\n');
        const std::vector<std::pair<int, int>> spans = AccountSpans(lines);
        ASSERT_EQ(spans.size(), 1u);
        EXPECT_EQ(spans[0].second - spans[0].first, 12);
        EXPECT_EQ((start - 1 + spans[0].first) / kAccountPageLines, (start - 1 + spans[0].second) / kAccountPageLines);
        EXPECT_EQ(line, (start - 1 + int(lines.size()) - 1) % kAccountPageLines + 1);
    }
}

TEST_F(PersonalAccounts, FiguresFollowIncomeByMonths)
{
    EXPECT_EQ(TaxTableSelector(1), 1);
    EXPECT_EQ(TaxTableSelector(2), 2);
    EXPECT_EQ(TaxTableSelector(3), 1);
    EXPECT_EQ(TaxTableSelector(0), 0);
    EXPECT_EQ(TaxTableSelector(34), 2);
    EXPECT_EQ(TaxTableSelector(-2), 0);

    build(0);
    // 101: January to April 32,500 each and the April bonus of 8,125; the
    // deduction of 400 a month is given while the income stays within 40,000,
    // that is in January alone; the property deduction has an amount and is
    // not a benefit.
    const PersonalAccount salaried = account(0);
    EXPECT_DOUBLE_EQ(salaried.yearIncome, 13'812'500);
    EXPECT_DOUBLE_EQ(salaried.benefits, 40'000);
    std::array<IncomeMonthRow, 12> months{};
    ASSERT_EQ(IncomeByMonths(MonthKey(2011, 1).value(), MonthKey(2011, 4).value(), 0, 1, months.data(),
                             doc.infoBase.current.rows.data(), 4, doc),
              0);
    double income = 0, deductions = 0;
    for (int m = 0; m < 4; ++m) {
        income += months[std::size_t(m)].taxable;
        deductions += months[std::size_t(m)].deductions[0];
    }
    EXPECT_DOUBLE_EQ(salaried.yearIncome, income);
    EXPECT_DOUBLE_EQ(salaried.benefits, deductions);
    EXPECT_EQ(salaried.rateLabel, cp("Оклад"));
    EXPECT_EQ(salaried.rate, "32500.00");
    EXPECT_DOUBLE_EQ(salaried.payout, 4'062'500 - 1'822'600);

    // 102: the hourly rate, the carried-over sum counted in the accruals and
    // apart in the month line.
    const PersonalAccount hourly = account(1);
    EXPECT_EQ(hourly.rateLabel, cp("Тариф"));
    EXPECT_EQ(hourly.rate, "85.500");
    EXPECT_DOUBLE_EQ(hourly.accruals, 123'456 + 1'303'875 + 171'000);
    ASSERT_GE(hourly.lines.size(), 5u);
    EXPECT_EQ(hourly.lines[3].kind, AccountLine::MonthTotal);
    EXPECT_DOUBLE_EQ(hourly.lines[3].amount, 1'303'875 + 171'000);
    EXPECT_EQ(hourly.lines[4].kind, AccountLine::AccrualTotal);

    // 103: the piece rate; code 870 hidden, 950 hidden but the walk goes on to 970.
    const PersonalAccount piece = account(2);
    EXPECT_EQ(piece.rate, "123.456");
    QList<int> codes;
    for (const AccountLine& line : piece.lines) codes << (line.kind == AccountLine::Row ? line.code : -int(line.kind));
    EXPECT_EQ(codes, (QList<int>{5, 600, -AccountLine::AccrualTotal, 902, 970, -AccountLine::DeductionTotal}));
    EXPECT_DOUBLE_EQ(piece.accruals, 1'800'000);
    EXPECT_DOUBLE_EQ(piece.deductions, 234'000);

    // 104: deductions above accruals.
    EXPECT_DOUBLE_EQ(account(3).payout, -85'710);
    EXPECT_EQ(account(3).words, cp("Восемьсот пятьдесят семь рублей 10 копеек"));

    // 101 with a row of a later month (the debt of 3,300.00 recorded for May,
    // row 60): none of April's money, the amount to pay stays.
    const int slot = doc.infoBase.list[0].slot;
    EmployeeRecord rec;
    ASSERT_TRUE(doc.infoBase.swap.readSlot(slot, rec));
    rec.rows[60].kod = 915;
    rec.rows[60].sum = 330'000;
    rec.rows[60].mes = 5;
    doc.infoBase.swap.writeSlot(slot, rec);
    EXPECT_DOUBLE_EQ(account(0).payout, 4'062'500 - 1'822'600);
}

TEST_F(PersonalAccounts, TemplatesGetTheAccountsValuesInTheirOrder)
{
    build(0);
    CTree tree(kPersonalAccountTemplate, path("kalvor.typ"));
    AddPersonalAccountPage(tree, account(1));
    // Each element of the page with its values, in order.
    QStringList values;
    const QDomElement page = tree.DataDocument().documentElement().firstChildElement("doc").firstChildElement();
    ASSERT_EQ(page.tagName(), "page0");
    for (QDomElement child = page.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        if (!child.tagName().startsWith("row")) {
            values << child.tagName() + '=' + child.text();
            continue;
        }
        QStringList rowValues;
        for (QDomElement value = child.firstChildElement(); !value.isNull(); value = value.nextSiblingElement())
            rowValues << value.tagName() + '=' + value.text();
        values << child.tagName() + ": " + rowValues.join('|');
    }
    const QStringList expected{
        "par0=Апрель 2011 г.",
        "par1=2",
        "par2=102",
        "par3=Апрель 2011 г.",
        "par4=2",
        "par5=102",
        "par6=Белова Мария Ивановна",
        "par7=Белова Мария Ивановна",
        "par8=Оператор",
        "par9=Тариф",
        "par10=85.500",
        "par11=0.00",
        "par12=Оператор",
        "par13=Тариф",
        "par14=85.500",
        "par15=0.00",
        "row0: par16= 3|par17=151|par18=Долг за предприятием|par19=      1234.56|par20= |par21= |"
        "par22= 3|par23=Долг за предприятием|par24=      1234.56|par25= |par26= ",
        "row0: par16= 4|par17=  2|par18=Повременная оплата|par19=     13038.75|par20=19   |par21=152.30|"
        "par22= 4|par23=Повременная оплата|par24=     13038.75|par25=19   |par26=152.30",
        "row0: par16= 4|par17= 45|par18=Доплата за работу в ночное время|par19=      1710.00|par20= |par21= 40.05|"
        "par22= 4|par23=Доплата за работу в ночное время|par24=      1710.00|par25= |par26= 40.05",
        "row1: par27=  всего  за  месяц ............... |par28=     14748.75|"
        "par29=  всего  за  месяц ............... |par30=     14748.75",
        "row1: par27=  итого  начислено ............... |par28=     15983.31|"
        "par29=  итого  начислено ............... |par30=     15983.31",
        "row0: par16= 4|par17=810|par18=Профсоюзные взносы|par19=       147.49|par20= |par21= |"
        "par22= 4|par23=Профсоюзные взносы|par24=       147.49|par25= |par26= ",
        "row0: par16= 4|par17=902|par18=Налог на доходы|par19=      1917.00|par20= |par21= |"
        "par22= 4|par23=Налог на доходы|par24=      1917.00|par25= |par26= ",
        "row1: par27=  итого  удержано .......... |par28=      2064.49|"
        "par29=  итого  удержано .......... |par30=      2064.49",
        "par31= К     В Ы Д А Ч Е                 ",
        "par32=     13918.82",
        "par33= К     В Ы Д А Ч Е                 ",
        "par34=     13918.82",
        "par35=Тринадцать тысяч девятьсот восемнадцать рублей 82 копейки",
        "par36=Тринадцать тысяч девятьсот восемнадцать рублей 82 копейки",
        "par37=     14748.75",
        "par38=     14748.75"};
    EXPECT_EQ(values, expected);

    // The debt is negative in the document.
    AddPersonalAccountPage(tree, account(3));
    const QDomElement debtPage = page.nextSiblingElement();
    EXPECT_EQ(debtPage.firstChildElement("par31").text(), QString::fromUtf8(" З А Д О Л Ж Е Н Н О С Т Ь  "));
    EXPECT_EQ(debtPage.firstChildElement("par32").text(), "      -857.10");

    // The document's cells wrap what the text file cuts: the position and
    // the pay kinds' names are whole.
    AddPersonalAccountPage(tree, account(0));
    const QDomElement engineerPage = debtPage.nextSiblingElement();
    EXPECT_EQ(engineerPage.firstChildElement("par8").text(), QString::fromUtf8("Инженер-технолог 1 категории"));
    EXPECT_EQ(engineerPage.firstChildElement("par12").text(), QString::fromUtf8("Инженер-технолог 1 категории"));
}

TEST_F(PersonalAccounts, BothTemplatesMakeADocument)
{
    build(3);
    for (const int variant : {AccountPortrait, AccountLandscape}) {
        SCOPED_TRACE(variant);
        QFile::remove(path("kalvor.rtf"));
        QString error;
        ASSERT_EQ(print(variant, "kalvor.typ", &error), 0) << error.toStdString();
        const QByteArray rtf = ReadFile(path("kalvor.rtf"));
        EXPECT_EQ(rtf.count("\\pagebb"), qsizetype(employees.size() - 1));
        EXPECT_EQ(rtf.contains("\\landscape"), variant == AccountLandscape);
        EXPECT_FALSE(rtf.contains("bkmkstart par"));
    }
}

// A failing IncomeByMonths ends the run with its code; a short read of the
// work file ends it with a read error (it would print the previous
// employee's data); neither leaves a file. Unknown variants and missing
// templates are -23.
TEST_F(PersonalAccounts, FailedRunsLeaveNoFile)
{
    std::vector<AccountEmployee> broken = AccountEmployees(0);
    broken[2].record.waria[0].kod = 999; // not a pay kind
    broken[2].record.waria[0].god = 2011;
    broken[2].record.waria[0].mes = 2;
    broken[2].record.warKv = 1;
    BuildAccountDoc(doc, broken, path("swap"));
    for (const int variant : {AccountPortrait, AccountText}) {
        EXPECT_EQ(print(variant), -4);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"swap"});
    }

    build(0);
    doc.infoBase.CloseSwapFile();
    QFile swap(path("swap"));
    ASSERT_TRUE(swap.resize(SwapFile::SlotSize * 3 + 100));
    doc.infoBase.swap.open();
    for (const int variant : {AccountLandscape, AccountText}) {
        try {
            print(variant);
            ADD_FAILURE() << "no read error";
        } catch (const PrintFileError& error) {
            EXPECT_EQ(error.kind(), platform::FILE_ERROR_READ);
            EXPECT_STREQ(error.what(), "Ошибка чтения файла");
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"swap"});
    }

    QString error;
    EXPECT_EQ(print(3, "kalvor.typ", &error), kPrintFileFault);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(print(AccountText, "missing/kalvor.typ", &error), kPrintFileFault);
    platform::SetWorkingFolder(dir.path());
    EXPECT_EQ(print(AccountPortrait, "kalvor.typ", &error), kPrintFileFault);
    EXPECT_TRUE(error.contains("Shablon")) << error.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"swap"});
}

// Selection: a personnel number alone, else the shop; marked only.
TEST_F(PersonalAccounts, SelectionByNumberShopAndMarks)
{
    build(0);
    StatementPrintParams params;
    params.variant = AccountText;
    params.personnelNumber = 104;
    params.shop = 2; // ignored beside a personnel number
    ASSERT_EQ(PrintPersonalAccounts(doc, path("one.typ"), params, 0), 0);
    EXPECT_EQ(ReadFile(path("one.typ")).count(cp("Лицевой счет за")), 1);
    EXPECT_TRUE(ReadFile(path("one.typ")).contains(cp("Табель=104")));

    params.personnelNumber = 0;
    ASSERT_EQ(PrintPersonalAccounts(doc, path("shop.typ"), params, 0), 0);
    EXPECT_EQ(ReadFile(path("shop.typ")).count(cp("Лицевой счет за")), 1);
    EXPECT_TRUE(ReadFile(path("shop.typ")).contains(cp("Табель=102")));

    doc.infoBase.list[0].setFlag(0, true);
    doc.infoBase.list[6].setFlag(0, true);
    ASSERT_EQ(PrintPersonalAccounts(doc, path("marked.typ"), params, 1), 0);
    const QByteArray marked = ReadFile(path("marked.typ"));
    EXPECT_EQ(marked.count(cp("Лицевой счет за")), 2);
    EXPECT_TRUE(marked.contains(cp("Табель=101")) && marked.contains(cp("Табель=107")));
}
