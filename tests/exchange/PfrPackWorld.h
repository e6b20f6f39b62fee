#pragma once
// What the tests of the pension-fund contribution records share: the pension
// parts of the contribution list with their 2011 tables, a small base of
// 2011 whose employees each test shapes, the export of one pack, and the
// comparison of a written file with its golden copy.
#include "exchange/PfrExport.h"
#include "exchange/PfrExportDriver.h"

#include "payroll/PayrollWorld.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "support/TestFixture.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#ifdef KALVOR_DATA_DIR
#include "support/DemoDocument.h"
#endif

namespace pfrtest {

using namespace kalvor;
using namespace kalvor::exchange;
using namespace payrolltest;

inline QByteArray Ansi(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }

inline QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The pension parts and their tables: the insurance part by table 3 (20 %)
// or, for the younger age group, table 4 (16 %); the funded part by table 5
// (4 %) or 6 (6 %). The insurance part's contribution rows are 990.
inline void PensionTables(PayrollDoc& doc, int year)
{
    doc.refFiles.sbor[4] = {QStringLiteral("Страховая часть"), 990, 3, 0};
    doc.refFiles.sbor[5] = {QStringLiteral("Накопительная часть"), 0, 5, 0};
    doc.refFiles.sborCount = std::max<int>(doc.refFiles.sborCount, 6);
    flatTable(doc, 2, year, 20, 0, true);
    flatTable(doc, 3, year, 16, 0, true);
    flatTable(doc, 4, year, 4, 0, true);
    flatTable(doc, 5, year, 6, 0, true);
}

// Compares a written file with its golden copy; on a difference the written
// bytes are left beside the test program for a look.
inline void ExpectGolden(const QByteArray& written, const char* name)
{
    const QString golden = QStringLiteral(KALVOR_SOURCE_DIR "/tests/exchange/golden/") + QString::fromUtf8(name);
    const QByteArray stored = FileBytes(golden);
    if (written == stored)
        return;
    QFile actual(QString::fromUtf8(name) + QStringLiteral(".actual"));
    if (actual.open(QIODevice::WriteOnly))
        actual.write(written);
    qsizetype at = 0;
    while (at < written.size() && at < stored.size() && written[at] == stored[at]) ++at;
    ADD_FAILURE() << name << " differs at byte " << at << ": "
                  << codepage::fromCp1251(written.mid(std::max<qsizetype>(at - 60, 0), 120)).toStdString();
}

// A base of `employees` fixture employees in December 2011 with the report
// year 2011 set, every record emptied for the test to shape.
class PfrPackWorld : public ::testing::Test {
protected:
    void OpenPackBase(int employees)
    {
        ASSERT_TRUE(dir.isValid());
        base().workFolder = dir.path() + QLatin1Char('/');
        base().baseName = QStringLiteral("pfr");
        CreateSchemaBase(dir.path(), base().baseName);
        OpenBase(base());
        fx = infobase::BuildFixtureBase(base(), employees, 5);
        infobase::BuildFixtureRefFiles(doc.refFiles);
        PensionTables(doc, 2011);
        base().config.tekMes = std::uint16_t(MonthKey(2011, 12).value());
        base().config.r_g = 111;
        base().config.r_m1 = 1;
        base().config.r_m2 = 12;
        dated.assign(fx.records.size(), infobase::WarDatBlock{});
        for (infobase::EmployeeRecord& rec : fx.records) {
            rec.head = infobase::EmployeeHead{};
            rec.rows = {};
            rec.waria.assign(rec.waria.size(), WariaEntry{});
            rec.warKv = 0;
        }
    }
    void SaveBase() { SaveAll(base(), fx.records, &dated); }
    void TearDown() override { CloseBase(base()); }

    infobase::CInfoBase& base() { return doc.infoBase; }
    int slotOf(int index) const { return doc.infoBase.list[std::size_t(index)].slot; }
    int tabN(int index) const { return doc.infoBase.list[std::size_t(index)].tabN(); }
    infobase::EmployeeRecord& record(int index) { return fx.records[std::size_t(slotOf(index) - 1)]; }
    infobase::EmployeeAttributes& attributes(int index) { return base().attributesOf(slotOf(index)); }
    static void Add(infobase::EmployeeRecord& rec, const WariaEntry& entry) { rec.waria[rec.warKv++] = entry; }
    void AddDated(int index, std::uint16_t start, std::uint16_t end, int month, int kod)
    {
        infobase::WarDatBlock& block = dated[std::size_t(slotOf(index) - 1)];
        infobase::WarDatEntry& e = block.entries[block.warDatKv++];
        e.start = start;
        e.end = end;
        e.mes = std::uint16_t(month);
        e.god = std::uint16_t(PackedDate(start).yearField());
        e.kod = std::uint16_t(kod);
    }

    PfrExportResult Export(int format, int kind = PfrYear)
    {
        PfrExportRun run;
        run.workFile = doc.TypWorkFile();
        run.outputFolder = base().workFolder;
        run.format = format;
        run.options.kind = std::uint8_t(kind);
        run.options.packNumber = std::int16_t(PfrDefaultPackNumber(0, format));
        return ExportPensionFund({}, run, doc);
    }
    QString out(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    QTemporaryDir dir;
    PayrollDoc doc;
    infobase::FixtureBase fx;
    std::vector<infobase::WarDatBlock> dated;
    ScopedToday today{QDate(2012, 1, 20)};
};

#ifdef KALVOR_DATA_DIR

// The demo base of 2011 in a working folder of its own, with the reference
// files of the build.
class PfrDemoWorld : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, folder));
    }
    void TearDown() override { infobase::CloseBase(doc.infoBase); }

    // The year's pack of 2011 in a format.
    PfrExportRun YearRun(int format)
    {
        PfrExportRun run;
        run.workFile = doc.TypWorkFile();
        run.outputFolder = folder;
        run.format = format;
        run.options.kind = PfrYear;
        run.options.packNumber = std::int16_t(PfrDefaultPackNumber(0, format));
        return run;
    }

    QTemporaryDir dir;
    QString folder;
    PayrollDoc doc;
    ScopedToday today{QDate(2012, 1, 20)};
};

#endif

} // namespace pfrtest
