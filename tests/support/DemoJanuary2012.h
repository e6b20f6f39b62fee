#pragma once
// The demo firm taken from April 2011 to January 2012 by the program's own
// calculation and month change, nothing new entered, for the tests of what
// is printed of the closed year 2011 from the next January. The steps assert:
// a caller checks HasFatalFailure() or wraps the call in
// ASSERT_NO_FATAL_FAILURE before going on.
#ifdef KALVOR_DATA_DIR

#include "support/DemoDocument.h"
#include "support/MonthRun.h"

#include "payroll/MonthChange.h"
#include "platform/Db.h"

namespace kalvor::testsupport {

// Computes and stores each month of the open demo base from April to
// December 2011 and moves it on, into January 2012.
inline void TakeDemoToJanuary2012(PayrollDoc& doc)
{
    for (int month = 4; month <= 12; ++month) {
        ASSERT_EQ(doc.infoBase.config.reportingKey(), MonthKey(2011, month));
        ASSERT_NO_FATAL_FAILURE(ComputeAndStoreMonth(doc));
        const MonthKey next = month == 12 ? MonthKey(2012, 1) : MonthKey(2011, month + 1);
        ASSERT_EQ(MoveEmployeesToNextMonth(next.value(), {}, doc), 1) << month; // no error situation
    }
}

// The demo base in January 2012, made once for the test program in a folder
// of its own (nine months are computed); the path of its file, empty when it
// could not be made.
inline QString DemoJanuary2012MadeOnce()
{
    static QTemporaryDir dir;
    static const QString file = [] {
        const QString folder = dir.path() + QLatin1Char('/');
        if (!dir.isValid())
            return QString();
        PayrollDoc doc;
        OpenDemoDocument(doc, folder);
        if (!::testing::Test::HasFatalFailure())
            TakeDemoToJanuary2012(doc);
        infobase::CloseBase(doc.infoBase);
        if (::testing::Test::HasFatalFailure())
            return QString();
        return infobase::BaseFilePath(folder, tools::DemoBaseName());
    }();
    return file;
}

// Makes the demo base of January 2012 in `folder` (a copy of the one made
// once, or, on a server, the base made and taken on there) and opens it in
// `doc`.
inline void OpenDemoJanuary2012(PayrollDoc& doc, const QString& folder)
{
    if (db::ServerInUse()) {
        OpenDemoDocument(doc, folder);
        if (!::testing::Test::HasFatalFailure())
            TakeDemoToJanuary2012(doc);
        return;
    }
    ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/empty.bak"), folder + QStringLiteral("empty.bak")));
    const QString made = DemoJanuary2012MadeOnce();
    ASSERT_FALSE(made.isEmpty());
    ASSERT_TRUE(QFile::copy(made, infobase::BaseFilePath(folder, tools::DemoBaseName())));
    OpenDemoBase(doc, folder);
}

} // namespace kalvor::testsupport

#endif
