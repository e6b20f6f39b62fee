// The demo firm's month computed by the engine and printed as personal
// accounts in all three variants: one account per employee with a result.
// With LibreOffice installed both templates are rendered to PDF, which stay
// in the build folder for a look ("personal-accounts-1.pdf",
// "personal-accounts-1_1.pdf"; tools/render_personal_accounts.sh makes them
// and their pictures).
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcEmployeeMonth.h"
#include "payroll/CalcOptions.h"
#include "payroll/CalcThread.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "print/PersonalAccounts.h"
#include "support/DemoDocument.h"
#include "support/MonthRun.h"
#include "support/OfficeConvert.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::print;

#ifdef KALVOR_DATA_DIR

using namespace kalvor::testsupport;

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class DemoPersonalAccounts : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, folder));
        ASSERT_TRUE(QDir(folder).mkpath(QStringLiteral("Shablon")));
        for (const char* form : {kPersonalAccountTemplate, kPersonalAccountLandscapeTemplate})
            ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/Shablon/%1.rtf").arg(form),
                                    folder + QStringLiteral("Shablon/%1.rtf").arg(form)));
        platform::SetWorkingFolder(folder);
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        ComputeMonth();
        // The print thread writes the computed month into the work file.
        ASSERT_TRUE(SelectAllToSwap(base(), Selection{}));
        base().OpenSwapFile();
    }
    void TearDown() override
    {
        base().CloseSwapFile();
        CloseBase(base());
        platform::SetWorkingFolder(QString());
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    }
    CInfoBase& base() { return doc.infoBase; }

    void ComputeMonth() { kalvor::testsupport::ComputeAndStoreMonth(doc); }

    // The personnel numbers that get an account: every employee but those
    // dismissed earlier (sign 4) without a result.
    QList<int> EmployeesWithAccounts()
    {
        QList<int> numbers;
        EmployeeRecord record;
        for (const EmployeeListEntry& entry : base().list) {
            EXPECT_TRUE(base().swap.readSlot(entry.slot, record));
            bool result = false;
            for (const AccrualRow& row : record.rows)
                result = result || (row.sum != 0 && row.kod != 150 && row.kod != 921 && row.kod != 600);
            if (result || base().attributesOf(entry.slot).priznUv != 4)
                numbers << entry.tabN();
        }
        return numbers;
    }

    QTemporaryDir dir;
    QString folder;
    PayrollDoc doc;
    ScopedToday today{QDate(2011, 4, 29)};
};

} // namespace

TEST_F(DemoPersonalAccounts, EveryVariantPrintsOneAccountPerEmployeeWithAResult)
{
    const QList<int> numbers = EmployeesWithAccounts();
    ASSERT_GT(numbers.size(), 20);

    StatementPrintParams params;
    params.variant = AccountText;
    QString error;
    ASSERT_EQ(PrintPersonalAccounts(doc, folder + QStringLiteral("demo.typ"), params, 0, &error), 0)
        << error.toStdString();
    const QByteArray text = ReadFile(folder + QStringLiteral("demo.typ"));
    EXPECT_EQ(text.count(codepage::toCp1251(QStringLiteral("Лицевой счет за"))), numbers.size());
    for (const int number : numbers)
        EXPECT_TRUE(text.contains(codepage::toCp1251(QStringLiteral("Табель=%1\r\n").arg(number)))) << number;

    for (const int variant : {AccountPortrait, AccountLandscape}) {
        SCOPED_TRACE(variant);
        params.variant = std::uint8_t(variant);
        ASSERT_EQ(PrintPersonalAccounts(doc, folder + QStringLiteral("demo.typ"), params, 0, &error), 0)
            << error.toStdString();
        EXPECT_EQ(ReadFile(folder + QStringLiteral("demo.rtf")).count("\\pagebb"), numbers.size());
    }
}

// Both templates as LibreOffice renders them: one sheet per account, on A4,
// with the employee's name and the payout on it.
TEST_F(DemoPersonalAccounts, TemplatesRenderToPdf)
{
    if (OfficeProgram().isEmpty() || !PdfToTextAvailable())
        GTEST_SKIP() << "LibreOffice or poppler-utils are not installed: the PDF forms are not checked";
    const QString buildFolder = QStringLiteral(KALVOR_DATA_DIR "/../");
    const EmployeeListEntry& first = base().list.front();
    const QString name = base().shortNameOf(first.slot).section(QLatin1Char(' '), 0, 0);
    for (const char* form : {kPersonalAccountTemplate, kPersonalAccountLandscapeTemplate}) {
        SCOPED_TRACE(form);
        StatementPrintParams params;
        params.variant =
            std::uint8_t(QByteArray(form) == kPersonalAccountTemplate ? AccountPortrait : AccountLandscape);
        const QString stem = QStringLiteral("personal-accounts-%1").arg(form);
        ASSERT_EQ(PrintPersonalAccounts(doc, folder + stem + QStringLiteral(".typ"), params, 0), 0);

        const QString pdf = ConvertWithOffice(folder + stem + QStringLiteral(".rtf"), QStringLiteral("pdf"));
        ASSERT_FALSE(pdf.isEmpty());
        KeepCopy(pdf, buildFolder + stem + QStringLiteral(".pdf"));

        const QString pdfText = PdfText(pdf);
        EXPECT_TRUE(pdfText.contains(QStringLiteral("Лицевой счет за"))) << pdfText.left(400).toStdString();
        EXPECT_TRUE(pdfText.contains(QStringLiteral("Расчетный лист за")));
        EXPECT_TRUE(pdfText.contains(name)) << name.toStdString();
        // The letter-spaced payout caption comes out of the PDF without its blanks.
        const QString joined = QString(pdfText).remove(QRegularExpression(QStringLiteral("\\s")));
        EXPECT_TRUE(joined.contains(QStringLiteral("ВЫДАЧЕ")));
        // Long texts wrap in their cells, whole.
        EXPECT_TRUE(joined.contains(QStringLiteral("Налогнадоходыфизическихлиц")));
        EXPECT_TRUE(joined.contains(QStringLiteral("Должность:Инженерпоохранетруда")));
        EXPECT_EQ(pdfText.count(QLatin1Char('\f')), EmployeesWithAccounts().size());
    }
}

#endif
