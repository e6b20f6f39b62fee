// The demo base's occupational-injury report, social-tax cards and earnings
// certificates printed and converted to PDF by LibreOffice (skipped when it is
// not installed); the PDFs are kept in the test's folder for a look.
#include "reports/social/EarningsCertificate.h"
#include "reports/social/InjuryReport.h"
#include "reports/social/SocialTaxCard.h"

#include "infobase/InfoBaseDb.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "support/OfficeConvert.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#ifdef KALVOR_DATA_DIR
#include "support/DemoDocument.h"

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;

using namespace kalvor::testsupport;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SocialFormsDemo : public ::testing::Test {
protected:
    void SetUp() override
    {
        office = OfficeProgram();
        if (office.isEmpty())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed; the PDF check is skipped";
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ASSERT_NO_FATAL_FAILURE(OpenDemoDocument(doc, folder));
        platform::SetWorkingFolder(QStringLiteral(KALVOR_DATA_DIR));
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
    }
    void TearDown() override
    {
        if (office.isEmpty())
            return;
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
        platform::SetWorkingFolder(QString());
        CloseBase(doc.infoBase);
    }
    // The printed form as PDF text with white space removed; the PDF is kept
    // as `keep` in the test's folder.
    QString converted(const QString& keep)
    {
        QFile::remove(folder + QStringLiteral("demo.pdf"));
        const QString pdf = ConvertWithOffice(folder + QStringLiteral("demo.rtf"), QStringLiteral("pdf"));
        EXPECT_TRUE(readAll(pdf).startsWith("%PDF"));
        KeepCopy(pdf, keep);
        return PdfText(pdf).remove(QRegularExpression(QStringLiteral("\\s")));
    }

    QString office, folder;
    QTemporaryDir dir;
    PayrollDoc doc;
};

TEST_F(SocialFormsDemo, CardsCertificatesAndInjuryReportConvertToPdf)
{
    ScopedToday today(QDate(2011, 4, 12));
    GenrRunDetail detail;
    ASSERT_EQ(GenrIndKartSochNal({}, ReportSelection{}, doc.TypWorkFile(), 0, doc, &detail), GenrDone)
        << detail.text.toStdString();
    QString text = converted(QStringLiteral("indv-2010-demo.pdf"));
    if (!text.isEmpty()) {
        EXPECT_TRUE(text.contains(QStringLiteral("ИНДИВИДУАЛЬНАЯКАРТОЧКА")));
        EXPECT_TRUE(text.contains(QStringLiteral("за2011год")));
    }

    // The certificate's three years end with the base's, 2011.
    doc.infoBase.config.r_g = 109;
    ASSERT_EQ(PrintSpravZarp2Goda({}, ReportSelection{}, doc.TypWorkFile(), 0, doc, &detail), GenrDone)
        << detail.text.toStdString();
    doc.infoBase.config.r_g = 111;
    text = converted(QStringLiteral("spravka-demo.pdf"));
    if (!text.isEmpty()) {
        EXPECT_TRUE(text.contains(QStringLiteral("СПРАВКА№1"))) << text.left(400).toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("12.04.2011")));
    }

    ASSERT_EQ(GenrProfTravmOtchFSS(QString(), {}, doc.TypWorkFile(), ReportSelection{}, 0, doc, &detail), GenrDone)
        << detail.text.toStdString();
    text = converted(QStringLiteral("travma-demo.pdf"));
    if (!text.isEmpty()) {
        EXPECT_TRUE(text.contains(QStringLiteral("за1квартал2011г."))) << text.left(400).toStdString();
    }
}

} // namespace
#endif
