// The record card on the demo base, with a screenshot of each page in the
// build folder (screenshots/): the main data of 105 Широков, his property
// deduction on the extra page, the length of service of the reserve officer
// 131 Шубин (in the reserve), and the passport page of the foreigner 145 Назаров.
#include "EmployeeScreensWorld.h"
#include "support/DemoDocument.h"

#include "masterdata/ui/CWorkerUchKartView.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTabBar>

using namespace employeetest;

#ifdef KALVOR_DATA_DIR

namespace {

class DemoRecordCard : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const QString folder = dir.path() + QLatin1Char('/');
        ASSERT_NO_FATAL_FAILURE(kalvor::testsupport::OpenDemoDocument(doc, folder));
        frame = std::make_unique<CMainFrame>(&doc, &registry);
        frame->resize(1240, 900);
        ASSERT_TRUE(ShowActive(frame.get()));
        view = frame->SwitchView<CWorkerUchKartView>();
        ASSERT_NE(view, nullptr);
        Settle();
    }
    void TearDown() override
    {
        frame.reset();
        ib::CloseBase(doc.infoBase);
    }
    void Show(int number, int tab)
    {
        QLineEdit* field = view->Strip()->Field(CTabelFilterDlg::IdTabN);
        field->setFocus();
        field->selectAll();
        TypeKeys(QString::number(number));
        PressKey(Qt::Key_Return);
        view->Tabs()->setCurrentIndex(tab);
        Settle();
    }
    QString Text(int id) const { return view->Page()->controlAs<QLineEdit>(id)->text(); }
    void Screenshot(const QString& name)
    {
        const QString shots = QStringLiteral(KALVOR_DATA_DIR "/../screenshots");
        QDir().mkpath(shots);
        EXPECT_TRUE(frame->grab().save(shots + QLatin1Char('/') + name));
    }

    kalvor::ScopedToday today{QDate(2011, 4, 30)};
    QTemporaryDir dir;
    CKalvorDoc doc;
    CommandRegistry registry;
    std::unique_ptr<CMainFrame> frame;
    CWorkerUchKartView* view = nullptr;
    MessageRecorder boxes;
};

} // namespace

TEST_F(DemoRecordCard, EachPageShowsTheDemoEmployees)
{
    Show(105, 0);
    EXPECT_EQ(Text(1077), QStringLiteral("Широков Денис Олегович"));
    EXPECT_EQ(Text(1004), QStringLiteral("24000.00"));
    EXPECT_EQ(Text(1001), QStringLiteral("1"));
    Screenshot(QStringLiteral("record-card-main.png"));

    view->Tabs()->setCurrentIndex(1);
    Settle();
    EXPECT_EQ(Text(1096), QStringLiteral("1850000.00"));
    EXPECT_EQ(Text(1118), QStringLiteral("1850000.00"));
    EXPECT_EQ(Text(1032), QStringLiteral("1245"));
    Screenshot(QStringLiteral("record-card-extra.png"));

    Show(131, 1);
    EXPECT_FALSE(view->Page()->controlAs<QCheckBox>(1062)->isChecked()); // in the reserve
    EXPECT_EQ(Text(1068), QStringLiteral("прапорщик запаса"));
    EXPECT_EQ(QStringList({Text(1064), Text(1065), Text(1066)}),
              QStringList({QStringLiteral("11"), QStringLiteral("8"), QStringLiteral("29")}));
    Screenshot(QStringLiteral("record-card-serviceman.png"));

    Show(145, 2);
    EXPECT_EQ(Text(1031), QStringLiteral("10"));
    EXPECT_EQ(Text(1058), QStringLiteral("AA"));
    EXPECT_EQ(Text(1038), QStringLiteral("Самарканд"));
    Screenshot(QStringLiteral("record-card-passport.png"));
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
}

#endif
