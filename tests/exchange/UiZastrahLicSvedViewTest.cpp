// The insured persons export view on the demo base, driven by keys: Enter
// with an empty kind and format 4 writes the questionnaire pack under
// "ANKETA.TXT", a selection of nobody shows "нет данных", questionnaires in an
// XML format show their message, and the kind field takes only what the
// format can write.
#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"
#include "support/ScreenText.h"

#include "exchange/PfrExport.h"
#include "exchange/ui/CEFuncZastrahLicSvedView.h"
#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "shell/ui/CKalvorDoc.h"
#include "values/Messages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <memory>

#ifdef KALVOR_DATA_DIR

namespace ib = kalvor::infobase;

namespace {

class UiZastrahLicSved : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        doc = std::make_unique<CKalvorDoc>();
        ASSERT_NO_FATAL_FAILURE(
            kalvor::testsupport::OpenDemoDocument(*doc, folder, kalvor::testsupport::DemoRefFiles::None));
        view = std::make_unique<CEFuncZastrahLicSvedView>(doc.get());
        view->resize(900, 500);
        view->OnInitialUpdate();
        ASSERT_TRUE(ShowActive(view.get()));
    }
    void TearDown() override
    {
        view.reset();
        ib::CloseBase(doc->infoBase);
    }

    void Type(int id, const QString& text) { view->controlAs<QLineEdit>(id)->setText(text); }

    // Enter in the format field, then the end of the run.
    bool Run()
    {
        QWidget* focus = view->control(IdPfrFormatField);
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Return);
        return WaitFor([&] { return !view->Running() && view->control(IdStartButton)->isEnabled(); }, 30000);
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    std::unique_ptr<CEFuncZastrahLicSvedView> view;
    MessageRecorder recorder;
};

} // namespace

TEST_F(UiZastrahLicSved, EnterWithEmptyKindAndFormatFourWritesAnketa)
{
    Type(IdPfrFormatField, QStringLiteral("4"));
    ASSERT_TRUE(Run());
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    QFile pack(folder + QStringLiteral("ANKETA.TXT"));
    ASSERT_TRUE(pack.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = pack.readAll().split('\n');
    ASSERT_GT(lines.size(), 5);
    EXPECT_TRUE(lines[0].startsWith(kalvor::codepage::toCp1251(QString::fromUtf8("\"ЗГЛВ\",\"04.00\""))));
    const QByteArray types = kalvor::codepage::toCp1251(QString::fromUtf8("\"ТИПД\",\"АНКТ\","));
    EXPECT_TRUE(lines[3].startsWith(types));
    // One line per employee of the list, after the four head lines and before the last line end.
    EXPECT_EQ(lines[3], types + QByteArray::number(qsizetype(doc->infoBase.list.size())) + "\r");
    EXPECT_EQ(lines.size(), 4 + qsizetype(doc->infoBase.list.size()) + 1);
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("no_pensN.txt")));
    // The run ends naming what it wrote.
    EXPECT_TRUE(
        ScreenText(view.get(), QStringLiteral("outcome")).startsWith(QStringLiteral("Записан файл %1ANKETA.TXT").arg(folder)))
        << ScreenText(view.get(), QStringLiteral("outcome")).toStdString();
}

TEST_F(UiZastrahLicSved, NobodySelectedShowsNoDataAndCopiesNothing)
{
    Type(IdPfrFormatField, QStringLiteral("6"));
    Type(IdBrigadeField, QStringLiteral("99")); // a brigade without employees
    ASSERT_TRUE(Run());
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("нет данных")});
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("ANKETA.TXT")));
}

TEST_F(UiZastrahLicSved, QuestionnairesHaveNoXmlForm)
{
    // The format field left empty is format 0, an XML format.
    ASSERT_TRUE(Run());
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("Экспорт анкет в формате XML будет доступен позднее")});
    EXPECT_EQ(view->Params().format, 0);
    EXPECT_EQ(view->Params().kind, 0);
}

TEST_F(UiZastrahLicSved, FieldsOutOfRangeCountAsZero)
{
    Type(IdPfrFormatField, QStringLiteral("8"));
    Type(IdPfrPackField, QStringLiteral("100"));
    Type(IdPfrKindField, QStringLiteral("x"));
    ASSERT_TRUE(Run());
    EXPECT_EQ(view->Params().format, 0);
    EXPECT_EQ(view->Params().packNumber, 0);
    Type(IdPfrFormatField, QStringLiteral("5"));
    Type(IdPfrPackField, QStringLiteral("12"));
    Type(IdPfrKindField, QStringLiteral("1")); // format 5 has a record writer: the year's data
    ASSERT_TRUE(Run());
    EXPECT_EQ(view->Params().format, 5);
    EXPECT_EQ(view->Params().packNumber, 12);
    EXPECT_EQ(view->Params().kind, CEFuncZastrahLicSvedView::LargestKind(5) >= 1 ? 1 : 0);
}

TEST_F(UiZastrahLicSved, YearPacksOfTheContributionRecords)
{
    // The contribution kinds and tax tables of the working folder.
    doc->refFiles.setFolder(QStringLiteral(KALVOR_DATA_DIR "/"));
    ASSERT_TRUE(doc->refFiles.OpenAll());
    // Format 7, the year: the text pack under "Z2011_0.TXT".
    Type(IdPfrKindField, QStringLiteral("1"));
    Type(IdPfrFormatField, QStringLiteral("7"));
    ASSERT_TRUE(Run());
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    QFile pack(folder + QStringLiteral("Z2011_0.TXT"));
    ASSERT_TRUE(pack.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = pack.readAll().split('\n');
    ASSERT_GT(lines.size(), 5);
    EXPECT_TRUE(lines[0].startsWith(kalvor::codepage::toCp1251(QString::fromUtf8("\"ЗГЛВ\",\"03.00\""))));
    EXPECT_TRUE(lines[3].startsWith(kalvor::codepage::toCp1251(QString::fromUtf8("\"ТИПД\",\"ИНДС\","))));
    EXPECT_TRUE(lines[4].startsWith(kalvor::codepage::toCp1251(QString::fromUtf8("\"ИНДС\",1,\"ИСХД\""))));
    // Format 0, the year: the XML file in the working folder.
    Type(IdPfrFormatField, QStringLiteral("0"));
    ASSERT_TRUE(Run());
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    const QStringList xml = QDir(folder).entryList({QStringLiteral("PFR-700-Y-2011-*.XML")}, QDir::Files);
    ASSERT_EQ(xml.size(), 1);
    EXPECT_TRUE(ScreenText(view.get(), QStringLiteral("outcome"))
                    .startsWith(QStringLiteral("Записан файл %1%2").arg(folder, xml.front())))
        << ScreenText(view.get(), QStringLiteral("outcome")).toStdString();
    // A report year before 2010 has no СЗВ-6 record: the record's own message, not the questionnaires'.
    doc->infoBase.config.r_g = 109;
    ASSERT_TRUE(Run());
    EXPECT_EQ(recorder.Texts(), QStringList{kalvor::ExchangeErrorText(-34)});
}

#endif
