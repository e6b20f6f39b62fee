#pragma once
// The demo firm's base made in a temporary working folder and opened in a
// document, as most tests over the demo data start. The steps assert: a
// caller checks HasFatalFailure() or wraps the call in
// ASSERT_NO_FATAL_FAILURE before going on.
#ifdef KALVOR_DATA_DIR

#include "DemoFirm.h"
#include "support/TestBaseName.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/PayrollDocument.h"
#include "platform/Db.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <map>
#include <vector>

#include <gtest/gtest.h>

namespace kalvor::testsupport {

// The demo base made once for the test program in a folder of its own (its
// months are computed, which takes a while); the path of its file, empty
// when it could not be made.
inline QString DemoBaseMadeOnce()
{
    static QTemporaryDir dir;
    static const QString file = [] {
        const QString folder = dir.path() + QLatin1Char('/');
        if (!dir.isValid() ||
            !QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/empty.bak"), folder + QStringLiteral("empty.bak")) ||
            !tools::MakeDemoBase(folder, QStringLiteral(KALVOR_DATA_DIR "/")))
            return QString();
        return infobase::BaseFilePath(folder, tools::DemoBaseName());
    }();
    return file;
}

// The demo base of a test working in `folder`: on a server, a base of the
// test's own (TestBaseName).
inline QString DemoBaseIn(const QString& folder)
{
    return TestBaseName(folder, tools::DemoBaseName());
}

// On a server, the demo base made there once for the test program, under
// the demo's own name, from the working folder `folder` of the first test
// that asks (it holds the empty base template): no test opens it, each
// test's demo is a copy of it. False when it could not be made.
inline bool DemoServerBaseMadeOnce(const QString& folder)
{
    static const bool made = [&] {
        infobase::DeleteBase(folder, tools::DemoBaseName()); // one that a killed run left
        return tools::MakeDemoBase(folder, QStringLiteral(KALVOR_DATA_DIR "/"));
    }();
    return made;
}

// Copies the server's database `from`, which no session uses, into a new
// one named `to`, as the server copies a template.
inline void CopyServerBase(const QString& from, const QString& to)
{
    const QString maintenance = db::ServerBaseLocator(QStringLiteral("postgres"));
    db::Execute(db::Connection::forThread(maintenance),
                QStringLiteral("CREATE DATABASE \"%1\" TEMPLATE \"%2\"").arg(to, from));
    db::Connection::closeForThread(maintenance);
}

// Puts the empty base template into `folder` (ending in a separator) and the
// demo base beside it (DemoBaseIn): a copy of the one made once, a base
// file or, on a server, a database of the test's own.
inline void MakeDemoFolder(const QString& folder)
{
    ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/empty.bak"), folder + QStringLiteral("empty.bak")));
    if (db::ServerInUse()) {
        ASSERT_TRUE(DemoServerBaseMadeOnce(folder));
        infobase::DeleteBase(folder, DemoBaseIn(folder)); // one that a killed run left
        CopyServerBase(tools::DemoBaseName(), DemoBaseIn(folder));
        return;
    }
    const QString made = DemoBaseMadeOnce();
    ASSERT_FALSE(made.isEmpty());
    ASSERT_TRUE(QFile::copy(made, infobase::BaseFilePath(folder, tools::DemoBaseName())));
}

// Which reference files of the data folder the document reads: all of them
// (tax tables, deductions, contributions), none, or only the tax tables and
// the contributions that the statutory reports need.
enum class DemoRefFiles { All, None, TaxTables };

// Opens and loads the demo base of `folder` in `doc`, the folder becoming the
// document's working folder.
inline void OpenDemoBase(PayrollDoc& doc, const QString& folder, DemoRefFiles refFiles = DemoRefFiles::All)
{
    doc.setWorkFolder(folder);
    if (refFiles != DemoRefFiles::None)
        doc.refFiles.setFolder(QStringLiteral(KALVOR_DATA_DIR "/"));
    if (refFiles == DemoRefFiles::All) {
        ASSERT_TRUE(doc.refFiles.OpenAll());
    }
    if (refFiles == DemoRefFiles::TaxTables) {
        ASSERT_TRUE(doc.refFiles.ReadNalog());
        ASSERT_TRUE(doc.refFiles.ReadSbor());
    }
    doc.infoBase.baseName = DemoBaseIn(folder);
    infobase::OpenBase(doc.infoBase);
    infobase::LoadAll(doc.infoBase);
}

// Makes the demo base in `folder` and opens it in `doc`.
inline void OpenDemoDocument(PayrollDoc& doc, const QString& folder, DemoRefFiles refFiles = DemoRefFiles::All)
{
    MakeDemoFolder(folder);
    if (!::testing::Test::HasFatalFailure())
        OpenDemoBase(doc, folder, refFiles);
}

// The demo's stored rows of one month of 2011 added up by pay-kind code
// (kopecks), read straight from the base: the archive's rows issued in the
// month (a row filed later against an earlier month counts where it was
// issued), or, for the base's own month, its computed rows.
inline std::map<int, double> StoredMonthByCode(PayrollDoc& doc, int month)
{
    infobase::CInfoBase& base = doc.infoBase;
    std::map<int, double> sums;
    const std::vector<infobase::EmployeeListEntry> list = base.list;
    for (const infobase::EmployeeListEntry& entry : list) {
        if (base.config.reportingYear() == 2011 && base.config.reportingMonth() == month) {
            infobase::LoadProizvZarpByMass(base, entry.slot, 2, infobase::kResultRowsTable);
            for (const infobase::AccrualRow& row : base.current.rows)
                if (row.kod != 0)
                    sums[row.kod] += row.sum;
            continue;
        }
        infobase::LoadEmployee(base, entry.slot);
        for (int i = 0; i < base.current.warKv; ++i) {
            const infobase::WariaEntry& e = base.current.waria[std::size_t(i)];
            const bool issuedLater = e.mesVyd != 0;
            if ((issuedLater ? e.godVyd : e.god) == 2011 && (issuedLater ? e.mesVyd : e.mes) == month)
                sums[e.kod] += e.sum;
        }
    }
    return sums;
}

// A test over the demo base opened in a temporary working folder, with the
// lookups most such tests make.
class DemoBaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_NO_FATAL_FAILURE(OpenDemoDocument(doc, dir.path() + QLatin1Char('/')));
    }
    void TearDown() override { infobase::CloseBase(base()); }

    infobase::CInfoBase& base() { return doc.infoBase; }
    int Slot(int tabN)
    {
        for (const infobase::EmployeeListEntry& e : base().list)
            if (int(e.tabN()) == tabN)
                return e.slot;
        ADD_FAILURE() << "no employee " << tabN;
        return 1;
    }
    // Kopecks of the employee's stored rows of a code.
    double StoredRows(int tabN, int code)
    {
        infobase::LoadEmployee(base(), Slot(tabN));
        double sum = 0;
        for (const infobase::AccrualRow& r : base().current.rows)
            if (r.kod == code)
                sum += r.sum;
        return sum;
    }

    QTemporaryDir dir;
    PayrollDoc doc;
};

} // namespace kalvor::testsupport

#endif
