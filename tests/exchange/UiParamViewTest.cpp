// Form 427 "Параметры работы генератора" on the demo base, driven by keys:
// the stored values shown, a change stored when the view is left, the year
// rule, the sort flag reloading the list in name order, and no write when
// nothing changed.
#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"

#include "exchange/ui/CEFuncParamView.h"
#include "infobase/InfoBaseDb.h"
#include "platform/WorkingFolder.h"
#include "reports/social/GeneratorParameters.h"
#include "shell/ui/CKalvorDoc.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

#ifdef KALVOR_DATA_DIR

namespace ib = kalvor::infobase;
using namespace kalvor;

namespace {

class UiParamView : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        doc = std::make_unique<CKalvorDoc>();
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(*doc, folder));
        platform::SetWorkingFolder(folder);
    }
    void TearDown() override
    {
        view.reset();
        ib::CloseBase(doc->infoBase);
        platform::SetWorkingFolder(QString());
    }
    void Open()
    {
        view = std::make_unique<CEFuncParamView>(doc.get());
        view->resize(900, 600);
        view->OnInitialUpdate();
        ASSERT_TRUE(ShowActive(view.get()));
    }
    QLineEdit* Field(int id) { return view->controlAs<QLineEdit>(id); }
    // Clears the field and types the text key by key.
    void Retype(int id, const QString& text)
    {
        QLineEdit* field = Field(id);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        TypeText(field, text);
    }
    // Leaves the view (the frame destroys it) and reads the stored values back.
    void LeaveAndReload()
    {
        view.reset();
        ib::LoadConfig(doc->infoBase);
        ib::LoadFirm(doc->infoBase);
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    std::unique_ptr<CEFuncParamView> view;
    MessageRecorder recorder;
};

} // namespace

TEST_F(UiParamView, StoredValuesAreShownAndAChangeIsStoredOnLeaving)
{
    auto& firm = doc->infoBase.firm;
    firm.minOblStav = 150'000.75;
    doc->infoBase.config.r_m1 = 0;
    Open();
    EXPECT_EQ(Field(CEFuncParamView::IdYear)->text(), QStringLiteral("2011"));
    EXPECT_EQ(Field(CEFuncParamView::IdFirstMonth)->text(), QString());
    EXPECT_EQ(Field(CEFuncParamView::IdTaxpayerNumber)->text(), firm.texts[ib::FirmInfo::firmINN]);
    // A threshold with kopecks shows its whole roubles, and stays as it is
    // when its field is not typed in.
    EXPECT_EQ(Field(CEFuncParamView::IdMinimalRateLimit)->text(), QStringLiteral("150000"));
    EXPECT_EQ(Field(CEFuncParamView::IdSorting)->text(), QString());

    Retype(CEFuncParamView::IdFirstMonth, QStringLiteral("2"));
    Retype(CEFuncParamView::IdLastMonth, QString()); // empty: 0 (13 is refused when left)
    Retype(CEFuncParamView::IdTaxInspection, QStringLiteral("3525"));
    Retype(CEFuncParamView::IdMaximalRateLimit, QStringLiteral("600000"));
    Retype(CEFuncParamView::IdIncomeDating, QStringLiteral("1"));
    LeaveAndReload();
    EXPECT_EQ(doc->infoBase.config.r_m1, 2);
    EXPECT_EQ(doc->infoBase.config.r_m2, 0);
    EXPECT_EQ(firm.texts[ib::FirmInfo::firmGNI], QStringLiteral("3525"));
    EXPECT_DOUBLE_EQ(firm.maxOblStav, 600'000);
    EXPECT_DOUBLE_EQ(firm.minOblStav, 150'000.75);
    EXPECT_EQ(firm.parWord & 1, 1);
    EXPECT_TRUE(recorder.Texts().isEmpty());
}

TEST_F(UiParamView, TheYearRule)
{
    Open();
    // 2030 is a year of today's reports: kept.
    Retype(CEFuncParamView::IdYear, QStringLiteral("2030"));
    LeaveAndReload();
    EXPECT_EQ(doc->infoBase.config.r_g, 130);
    // A year outside 1994-2155 is refused and the stored one kept.
    Open();
    EXPECT_EQ(Field(CEFuncParamView::IdYear)->text(), QStringLiteral("2030"));
    Retype(CEFuncParamView::IdYear, QStringLiteral("2200"));
    QTest::keyClick(Field(CEFuncParamView::IdYear), Qt::Key_Tab);
    QApplication::processEvents();
    ASSERT_EQ(recorder.Texts().size(), 1);
    EXPECT_EQ(recorder.Texts()[0], QStringLiteral("Значение поля \"Отчетный год\" должно быть от 1994 до 2155: 2200"));
    LeaveAndReload();
    EXPECT_EQ(doc->infoBase.config.r_g, 130);
    // An empty year is unset, and shows empty again.
    Open();
    Retype(CEFuncParamView::IdYear, QString());
    LeaveAndReload();
    EXPECT_EQ(doc->infoBase.config.r_g, 0);
    Open();
    EXPECT_EQ(Field(CEFuncParamView::IdYear)->text(), QString());
}

// The period's months in order on this screen too: a last month before the
// first is refused when left, naming both fields with their months, and
// holds the focus; the months stored are those typed in order.
TEST_F(UiParamView, APeriodsLastMonthBeforeItsFirstIsRefusedNamingBoth)
{
    Open();
    Retype(CEFuncParamView::IdFirstMonth, QStringLiteral("3"));
    QTest::keyClick(Field(CEFuncParamView::IdFirstMonth), Qt::Key_Tab);
    Retype(CEFuncParamView::IdLastMonth, QStringLiteral("1"));
    QTest::keyClick(Field(CEFuncParamView::IdLastMonth), Qt::Key_Tab);
    QApplication::processEvents();
    ASSERT_EQ(recorder.Texts().size(), 1) << recorder.Texts().join(u'|').toStdString();
    EXPECT_EQ(recorder.Texts()[0], QStringLiteral("Значение поля \"Первый месяц отчетного периода\" (3) больше "
                                                  "значения поля \"Последний месяц отчетного периода\" (1)"));
    EXPECT_EQ(QApplication::focusWidget(), Field(CEFuncParamView::IdLastMonth));
    Retype(CEFuncParamView::IdLastMonth, QStringLiteral("6"));
    QTest::keyClick(Field(CEFuncParamView::IdLastMonth), Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(recorder.Texts().size(), 1);
    LeaveAndReload();
    EXPECT_EQ(doc->infoBase.config.r_m1, 3);
    EXPECT_EQ(doc->infoBase.config.r_m2, 6);
}

TEST_F(UiParamView, TheSortFlagReloadsTheListInNameOrder)
{
    ASSERT_FALSE(doc->infoBase.config.sort());
    Open();
    Retype(CEFuncParamView::IdSorting, QStringLiteral("1"));
    view.reset();
    EXPECT_TRUE(doc->infoBase.firm.nameOrder());
    EXPECT_TRUE(doc->infoBase.config.sort());
    // The current list now runs by name.
    QStringList names;
    for (const ib::EmployeeListEntry& entry : doc->infoBase.list) {
        ib::LoadEmployee(doc->infoBase, entry.slot);
        names << doc->infoBase.current.head.fio.trimmed();
    }
    ASSERT_GT(names.size(), 2);
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(names, sorted);
    ib::LoadConfig(doc->infoBase);
    EXPECT_TRUE(doc->infoBase.config.sort());
}

TEST_F(UiParamView, NothingIsWrittenWithoutAChange)
{
    Open();
    // Changed behind the view: a save would store it.
    doc->infoBase.firm.texts[ib::FirmInfo::firmName] = QStringLiteral("Не сохранять");
    QTest::keyClick(Field(CEFuncParamView::IdYear), Qt::Key_Return);
    LeaveAndReload();
    EXPECT_NE(doc->infoBase.firm.texts[ib::FirmInfo::firmName], QStringLiteral("Не сохранять"));
}

#endif
