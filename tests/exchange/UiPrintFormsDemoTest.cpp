// Form T-54 and the certificate of monthly earnings printed from their views
// on the demo base: Enter writes "<base>-T54-<year>-<month>.rtf" or
// "<base>-SpravkaMes-..." for the generator's period and hands it to the document
// viewer (here a script that notes what it was given); with LibreOffice
// installed the document is converted to PDF and read back. A reversed
// period is refused with its message.
#include "DemoFirm.h"
#include "PrintedPages.h"
#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"
#include "support/ScreenText.h"

#include "exchange/MonthlyEarningsCertificate.h"
#include "exchange/ui/CEFuncSpravZarpMonthView.h"
#include "exchange/ui/CEFuncT54FormView.h"
#include "infobase/InfoBaseDb.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "shell/ui/CKalvorDoc.h"
#include "support/OfficeConvert.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <memory>

#ifdef KALVOR_DATA_DIR

namespace ib = kalvor::infobase;
using namespace kalvor;

using namespace kalvor::testsupport;

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The text of the document converted to PDF; empty when LibreOffice or
// pdftotext is not installed. The PDF stays in the build folder under the
// given name for a look.
QString DocumentText(const QString& rtf, const QString& folder, const QString& keptName)
{
    if (OfficeProgram().isEmpty() || !PdfToTextAvailable())
        return QString();
    const QString pdf = ConvertWithOffice(rtf, QStringLiteral("pdf"), folder);
    KeepCopy(pdf, QCoreApplication::applicationDirPath() + QLatin1Char('/') + keptName);
    return PdfText(pdf).simplified();
}

class UiPrintFormsDemo : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        doc = std::make_unique<CKalvorDoc>();
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(*doc, folder));
        ASSERT_TRUE(QDir(folder).mkpath(QStringLiteral("Shablon")));
        for (const char* form : {"t54", kalvor::exchange::kEarningsCertificateTemplate})
            ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/Shablon/%1.rtf").arg(form),
                                    folder + QStringLiteral("Shablon/%1.rtf").arg(form)));
        platform::SetWorkingFolder(folder);
        // The viewer of these tests writes down the document it was given.
        QFile script(folder + QStringLiteral("viewer.sh"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s' \"$1\" > \"" + QFile::encodeName(Viewed()) + ".part\" && mv \"" +
                     QFile::encodeName(Viewed()) + ".part\" \"" + QFile::encodeName(Viewed()) + "\"\n");
        script.setPermissions(script.permissions() | QFile::ExeOwner);
        script.close();
        platform::DocumentOpener::SetCommand(script.fileName());
    }
    void TearDown() override
    {
        view.reset();
        ib::CloseBase(doc->infoBase);
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
        platform::SetWorkingFolder(QString());
    }
    QString Viewed() const { return folder + QStringLiteral("viewed.txt"); }
    // The demo's generator holds the period January to March 2011.
    QString Document(const char* form = "T54", const char* month = "2011-03") const
    {
        return folder + tools::DemoBaseName() +
               QStringLiteral("-%1-%2.rtf").arg(QLatin1String(form), QLatin1String(month));
    }

    void Show(CExchangeTaskView* taskView)
    {
        view.reset(taskView);
        view->resize(900, 500);
        view->OnInitialUpdate();
        ASSERT_TRUE(ShowActive(view.get()));
    }
    // Enter in the shop field, then the end of the run.
    bool RunWithShop(const QString& shop) { return RunWith(IdShopField, shop); }
    // Enter in a field of the strip, then the end of the run.
    bool RunWith(int fieldId, const QString& text)
    {
        auto* field = view->controlAs<QLineEdit>(fieldId);
        field->setText(text);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        return WaitFor([&] { return !view->Running() && view->control(IdStartButton)->isEnabled(); }, 120'000);
    }
    bool DocumentViewed(const QString& document)
    {
        return WaitFor([&] { return QFile::exists(Viewed()); }, 10'000) &&
               QString::fromUtf8(ReadFile(Viewed())) == QFileInfo(document).absoluteFilePath();
    }
    // The name of the first employee of a shop in the list.
    QString FirstOfShop(int shop)
    {
        for (const ib::EmployeeListEntry& entry : doc->infoBase.list)
            if (doc->infoBase.shopOf(entry.slot) == shop) {
                ib::LoadEmployee(doc->infoBase, entry.slot);
                return doc->infoBase.current.head.fio.trimmed();
            }
        return QString();
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    std::unique_ptr<CExchangeTaskView> view;
    MessageRecorder recorder;
    ScopedToday today{QDate(2011, 4, 29)};
};

} // namespace

TEST_F(UiPrintFormsDemo, T54PrintsOneShopAndOpensTheDocument)
{
    Show(new CEFuncT54FormView(doc.get()));
    ASSERT_TRUE(RunWithShop(QStringLiteral("1")));
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    ASSERT_TRUE(QFile::exists(Document()));
    EXPECT_TRUE(DocumentViewed(Document()));
    const QString name = FirstOfShop(1);
    ASSERT_FALSE(name.isEmpty());
    const QString text = DocumentText(Document(), folder, QStringLiteral("kalvor-t54-demo.pdf"));
    if (text.isEmpty())
        GTEST_SKIP() << "LibreOffice or pdftotext is not installed";
    EXPECT_TRUE(text.contains(QStringLiteral("ЛИЦЕВОЙ СЧЕТ")));
    EXPECT_TRUE(text.contains(QStringLiteral("Северная механика")));
    EXPECT_TRUE(text.contains(name)) << name.toStdString();
}

// The screen says which months the form computes (the generator holds 2011,
// January - March; the base is in April). Two employees printed one after
// the other for that period keep a document each, named after the employee,
// and each run's line names its own.
TEST_F(UiPrintFormsDemo, T54OfTwoEmployeesKeepsADocumentEach)
{
    Show(new CEFuncT54FormView(doc.get()));
    ASSERT_NE(view->controlAs<QLabel>(IdComputedPeriod), nullptr);
    EXPECT_EQ(view->controlAs<QLabel>(IdComputedPeriod)->text(),
              QStringLiteral("Отчетный период: январь - март 2011 г."));
    const int first = doc->infoBase.list[0].tabN(), second = doc->infoBase.list[1].tabN();
    QByteArray printed[2];
    for (const int tabN : {first, second}) {
        ASSERT_TRUE(RunWith(IdPersonnelNumberField, QString::number(tabN)));
        const QString document = Document("T54", QStringLiteral("2011-03-%1").arg(tabN).toLatin1().constData());
        EXPECT_EQ(ScreenText(view.get(), QStringLiteral("outcome")),
                  QStringLiteral("Записан файл %1, открыт в программе просмотра")
                      .arg(QFileInfo(document).absoluteFilePath()));
        printed[tabN == first ? 0 : 1] = ReadFile(document);
    }
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(printed[0].startsWith("{\\rtf"));
    EXPECT_TRUE(printed[1].startsWith("{\\rtf"));
    EXPECT_NE(printed[0], printed[1]);
    EXPECT_EQ(QDir(folder).entryList({QStringLiteral("*.rtf")}, QDir::Files).size(), 2);
}

// A viewer that cannot be started: the run says so in a box and in the
// view, naming the document it wrote.
TEST_F(UiPrintFormsDemo, T54WithAViewerThatCannotStartNamesItsDocument)
{
    platform::DocumentOpener::SetCommand(QStringLiteral("kalvor-no-such-viewer"));
    Show(new CEFuncT54FormView(doc.get()));
    ASSERT_TRUE(RunWithShop(QStringLiteral("1")));
    const QString said = QStringLiteral("Не найдена программа просмотра документов \"kalvor-no-such-viewer\".\n"
                                        "Документ сохранен в файле %1")
                             .arg(QFileInfo(Document()).absoluteFilePath());
    EXPECT_EQ(recorder.Texts(), QStringList{said});
    EXPECT_EQ(ScreenText(view.get(), QStringLiteral("outcome")), said);
    EXPECT_TRUE(ReadFile(Document()).startsWith("{\\rtf"));
}

TEST_F(UiPrintFormsDemo, CertificatesOfJanuaryToAprilForOneShop)
{
    // The period as the parameters of the additional functions set it.
    doc->infoBase.config.r_g = 111;
    doc->infoBase.config.r_m1 = 1;
    doc->infoBase.config.r_m2 = 4;
    ib::SaveConfig(doc->infoBase);
    Show(new CEFuncSpravZarpMonthView(doc.get()));
    ASSERT_NE(view->controlAs<QLabel>(IdComputedPeriod), nullptr);
    EXPECT_EQ(view->controlAs<QLabel>(IdComputedPeriod)->text(),
              QStringLiteral("Отчетный период: январь - апрель 2011 г."));
    ASSERT_TRUE(RunWithShop(QStringLiteral("1")));
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    ASSERT_TRUE(QFile::exists(Document("SpravkaMes", "2011-04")));
    EXPECT_TRUE(DocumentViewed(Document("SpravkaMes", "2011-04")));

    // The same run again, for its pages: one certificate per employee of the
    // shop (all of them were hired by April 2011), four months each.
    kalvor::exchange::T54Selection selection;
    selection.shop = 1;
    QDomDocument data;
    ASSERT_EQ(kalvor::exchange::PrintEarningsCertificate(selection, {}, doc->TypWorkFile(), 0, *doc, &data), 0);
    const std::vector<kalvortest::PrintedPage> pages = kalvortest::PagesOf(data);
    int shopEmployees = 0;
    for (const ib::EmployeeListEntry& entry : doc->infoBase.list)
        shopEmployees += doc->infoBase.shopOf(entry.slot) == 1 ? 1 : 0;
    ASSERT_GT(shopEmployees, 3);
    ASSERT_EQ(int(pages.size()), shopEmployees);
    for (int i = 0; i < shopEmployees; ++i) EXPECT_EQ(pages[std::size_t(i)].values[0], QString::number(i + 1));
    const kalvortest::PrintedPage& first = pages[0];
    EXPECT_EQ(first.values[1].trimmed(), FirstOfShop(1));
    EXPECT_EQ(first.rowNames(), QStringList(4, QStringLiteral("row0")));
    EXPECT_EQ(first.row("row0", 0)[0], QStringLiteral("Январь  "));
    EXPECT_NE(first.values[3].trimmed(), QStringLiteral("0.00"));
    EXPECT_EQ(ReadFile(Document("SpravkaMes", "2011-04")).count("\\pagebb"), shopEmployees);

    const QString text =
        DocumentText(Document("SpravkaMes", "2011-04"), folder, QStringLiteral("kalvor-earnings-certificate-demo.pdf"));
    if (text.isEmpty())
        GTEST_SKIP() << "LibreOffice or pdftotext is not installed";
    EXPECT_TRUE(text.contains(QStringLiteral("СПРАВКА")));
    EXPECT_TRUE(text.contains(first.values[1].trimmed()));
    EXPECT_TRUE(text.contains(first.values[4].simplified())) << first.values[4].toStdString();
}

TEST_F(UiPrintFormsDemo, EmployeesChosenInTheHelpOfThePersonnelNumberArePrintedAtOnce)
{
    Show(new CEFuncSpravZarpMonthView(doc.get()));
    QWidget* field = view->control(IdPersonnelNumberField);
    field->setFocus();
    QCoreApplication::processEvents();
    const int first = doc->infoBase.list[2].tabN(), second = doc->infoBase.list[5].tabN();
    view->TakeHelpValues({QStringLiteral("%1 one").arg(first), QStringLiteral("%1 two").arg(second)});
    ASSERT_TRUE(WaitFor([&] { return !view->Running() && view->control(IdStartButton)->isEnabled(); }, 120'000));
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(view->SelectedOnly(), 0);
    EXPECT_EQ(ReadFile(Document("SpravkaMes")).count("\\pagebb"), 2);
    EXPECT_TRUE(DocumentViewed(Document("SpravkaMes")));
}

TEST_F(UiPrintFormsDemo, ReversedPeriodIsRefused)
{
    doc->infoBase.config.r_m1 = 4;
    doc->infoBase.config.r_m2 = 2;
    Show(new CEFuncSpravZarpMonthView(doc.get()));
    ASSERT_TRUE(RunWithShop(QString()));
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("ошибка в датах отчетного периода")});
    EXPECT_TRUE(QDir(folder).entryList({QStringLiteral("*.rtf")}, QDir::Files).isEmpty());
}

#endif
