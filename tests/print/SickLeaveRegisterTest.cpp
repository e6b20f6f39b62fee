// The register of sick-leave sheets on the demo firm: a sheet in days, one
// in hours and one of a part-timer, as regions and values of the form's data
// document; the demo firm's own register written and, with LibreOffice
// installed, rendered to PDF.
#include "print/SickLeaveRegister.h"
#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "print/CTree.h"
#include "support/DemoDocument.h"
#include "support/OfficeConvert.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::print;

#ifdef KALVOR_DATA_DIR

using namespace kalvor::testsupport;

namespace {

// A page of the data document: its own values, then each row region with its
// values, in the order added.
struct PageValues {
    QStringList head;
    QList<QPair<QString, QStringList>> rows;
    QStringList regions() const
    {
        QStringList names;
        for (const auto& row : rows) names << row.first;
        return names;
    }
    QStringList row(const QString& name, int occurrence = 0) const
    {
        for (const auto& row : rows)
            if (row.first == name && occurrence-- == 0)
                return row.second;
        return {};
    }
};

QStringList ValuesOf(const QDomElement& node)
{
    QStringList values;
    for (QDomElement e = node.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        if (e.tagName().startsWith(QLatin1String("par")))
            values << codepage::fromCp1251(codepage::toCp1251(e.text()));
    return values;
}

QList<PageValues> Pages(const CTree& tree)
{
    QList<PageValues> pages;
    const QDomElement doc = tree.DataDocument().documentElement().firstChildElement(QStringLiteral("doc"));
    for (QDomElement page = doc.firstChildElement(QStringLiteral("page0")); !page.isNull();
         page = page.nextSiblingElement(QStringLiteral("page0"))) {
        PageValues values;
        values.head = ValuesOf(page);
        for (QDomElement row = page.firstChildElement(); !row.isNull(); row = row.nextSiblingElement())
            if (row.tagName().startsWith(QLatin1String("row")))
                values.rows.append({row.tagName(), ValuesOf(row)});
        pages.append(values);
    }
    return pages;
}

class SickLeaveRegister : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, folder));
        ASSERT_TRUE(QDir(folder).mkpath(QStringLiteral("Shablon")));
        ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_SOURCE_DIR "/data/Shablon/bln-reestr.rtf"),
                                folder + QStringLiteral("Shablon/bln-reestr.rtf")));
        platform::SetWorkingFolder(folder);
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
    }
    void TearDown() override
    {
        CloseBase(base());
        platform::SetWorkingFolder(QString());
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    }
    CInfoBase& base() { return doc.infoBase; }
    int slotOf(int personnelNumber) { return base().list[std::size_t(base().FindEmployee(personnelNumber))].slot; }
    // A sheet of April 4-8, 2011 for the employee.
    void addSheet(int personnelNumber, int kind, int algorithm)
    {
        SickLeaveSheet sheet;
        sheet.dBegin = 4;
        sheet.mBegin = 4;
        sheet.gBegin = 2011;
        sheet.dEnd = 8;
        sheet.mEnd = 4;
        sheet.gEnd = 2011;
        sheet.vid = std::uint8_t(kind);
        sheet.alg = std::uint8_t(algorithm);
        sheet.procent = 80;
        ASSERT_TRUE(base().bln.replaceRun(slotOf(personnelNumber), std::vector<SickLeaveSheet>{sheet}));
    }
    QList<PageValues> register_(std::uint16_t personnelNumber)
    {
        StatementPrintParams params;
        params.personnelNumber = personnelNumber;
        CTree tree(kSickLeaveRegisterTemplate, folder + QStringLiteral("register.typ"));
        FillSickLeaveRegister(tree, doc, params, 0);
        return Pages(tree);
    }

    QTemporaryDir dir;
    QString folder;
    PayrollDoc doc;
    ScopedToday today{QDate(2011, 4, 20)};
};

TEST_F(SickLeaveRegister, SheetInDaysFillsTheDailyRegions)
{
    // Пахомов, ill from 28 March to 8 April.
    const QList<PageValues> pages = register_(122);
    ASSERT_EQ(pages.size(), 1);
    const PageValues& page = pages[0];
    ASSERT_EQ(page.head.size(), 18);
    EXPECT_EQ(page.head[1], QStringLiteral("апрель 2011"));
    EXPECT_EQ(page.head[4], QStringLiteral("122"));
    EXPECT_EQ(page.head[7], QStringLiteral("основное"));
    EXPECT_EQ(page.head[11], QStringLiteral("28.03.2011"));
    EXPECT_EQ(page.head[12], QStringLiteral("08.04.2011"));
    EXPECT_EQ(page.head[13], QStringLiteral("12"));
    EXPECT_EQ(page.head[15], QStringLiteral("2 года"));
    EXPECT_EQ(page.regions(),
              (QStringList{"row0", "row2", "row3", "row3", "row5", "row5", "row5", "row5", "row6", "row8", "row10",
                           "row11", "row12", "row13", "row14", "row15", "row16", "row17"}));
    EXPECT_EQ(page.row("row2"), QStringList{QStringLiteral("дней")});
    EXPECT_EQ(page.row("row3", 0).mid(0, 2), (QStringList{"28.03.2011", "31.03.2011"}));
    EXPECT_EQ(page.row("row3", 1).mid(0, 2), (QStringList{"01.04.2011", "08.04.2011"}));
    EXPECT_EQ(page.row("row5", 0)[0], QStringLiteral("Сумма за 2009 год"));
    EXPECT_EQ(page.row("row5", 2)[0], QStringLiteral("ВСЕГО"));
    EXPECT_EQ(page.row("row5", 3)[0], QStringLiteral("К расчету"));
    EXPECT_TRUE(page.row("row6")[1].startsWith(QStringLiteral("дневное пособие после ограничения ")));
    // The benefit the engine computes: 3,429.48 roubles, in figures and words.
    EXPECT_EQ(page.row("row14"), QStringList{"3429.48"});
    EXPECT_EQ(page.row("row15")[0], QStringLiteral("   3429.48"));
    EXPECT_TRUE(page.row("row15")[2].startsWith(QStringLiteral("Три тысячи четыреста двадцать девять рублей")));
    EXPECT_EQ(page.row("row8").size(), 10);
    EXPECT_EQ(page.row("row8").last(), QStringLiteral("3429.48"));
}

TEST_F(SickLeaveRegister, SheetInHoursAndPartTimer)
{
    // An injury computed by hours.
    const int hourly = base().list[0].tabN();
    addSheet(hourly, 1, 1);
    PageValues page = register_(std::uint16_t(hourly)).value(0);
    EXPECT_EQ(page.row("row1").size(), 1);
    EXPECT_EQ(page.row("row2"), QStringList{QStringLiteral("раб-х часов")});
    EXPECT_TRUE(page.row("row7").value(0).endsWith(QStringLiteral(" часов.минут")));
    EXPECT_TRUE(page.row("row7").value(1).startsWith(QStringLiteral("часовое пособие после ограничения ")));
    EXPECT_EQ(page.row("row9").size(), 10);
    EXPECT_TRUE(page.row("row0").isEmpty() && page.row("row6").isEmpty() && page.row("row8").isEmpty());

    // A part-timer's sheet of illness in days, paid from the second source.
    const int partTimer = base().list[1].tabN();
    base().attributesOf(slotOf(partTimer)).kateg = 9;
    addSheet(partTimer, 0, 0);
    base().bln.lines[std::size_t(base().bln.first(slotOf(partTimer)))].budg = 2;
    page = register_(std::uint16_t(partTimer)).value(0);
    EXPECT_EQ(page.head.value(7), QStringLiteral("по совместительству"));
    EXPECT_TRUE(page.head.value(3).endsWith(QStringLiteral(" (2-й источник финансирования)")));
    EXPECT_EQ(page.row("row3").value(0), QStringLiteral("04.04.2011"));
    EXPECT_EQ(page.row("row3").value(3), QStringLiteral("80"));
}

TEST_F(SickLeaveRegister, TheNormIsTakenFromTheEmployeesOwnSchedule)
{
    // Пахомов's sick days of April 2011 are the 1st to the 8th: Friday the
    // 1st and Monday to Friday the 4th to the 8th, six days of a five-day
    // week. His card names schedule 2, a five-day week; schedule 3, the next
    // in the book, is a six-day week, which would add Saturday the 2nd.
    base().scheduleAt(2) = base().scheduleAt(1);
    WorkSchedule& sixDays = base().scheduleAt(3) = base().scheduleAt(1);
    sixDays.rabDnNed = 0x3F; // Monday to Saturday
    sixDays.months = {};
    base().attributesOf(slotOf(122)).graph = 2;
    EXPECT_EQ(register_(122).value(0).row("row6").value(0), QStringLiteral("6 дней"));
}

TEST_F(SickLeaveRegister, DemoFirmsRegisterIsWrittenAndRendered)
{
    const QString output = folder + QStringLiteral("register.typ");
    QString error;
    ASSERT_EQ(PrintSickLeaveRegister(doc, output, {}, 0, &error), 0) << error.toStdString();
    const QString rtf = folder + QStringLiteral("register.rtf");
    ASSERT_TRUE(QFile::exists(rtf));
    const QByteArray bytes = [&] {
        QFile file(rtf);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    // The name as the form writes it, windows-1251 in RTF escapes.
    EXPECT_TRUE(bytes.contains("\\'cf\\'e0\\'f5\\'ee\\'ec\\'ee\\'e2")); // "Пахомов"
    if (OfficeProgram().isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed: the register is not rendered";
    const QString pdf = ConvertWithOffice(rtf, QStringLiteral("pdf"));
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
    if (!qEnvironmentVariableIsEmpty("KALVOR_KEEP_PDF"))
        QFile::copy(pdf, QStringLiteral(KALVOR_DATA_DIR "/../bln-reestr.pdf"));
}

} // namespace

#endif
