// The report generator's parameters screen on the small base of
// Fss4Fixture.h: the stored values shown, the year and month ranges, the
// texts and choices stored when the screen is left and read back from the
// base, the employee list reloaded when its order changes, and the choices'
// pick list.
#include "reports/social/ui/CGenrParamView.h"

#include "Fss4Fixture.h"

#include "reports/social/GeneratorParameters.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/FieldHelp.h"

#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>

using namespace kalvor;
using namespace kalvor::reports;
using namespace kalvor::reports::testing;
using kalvor::infobase::FirmInfo;

namespace {

class UiGenrParams : public Fss4Fixture<CKalvorDoc> {
protected:
    UiGenrParams() : Fss4Fixture(2010) {}

    void SetUp() override
    {
        Fss4Fixture::SetUp();
        doc.infoBase.firm.texts[FirmInfo::firmFSS] = QStringLiteral("3501012345");
        frame = std::make_unique<CMainFrame>(&doc, &registry);
        frame->resize(1100, 760);
        ASSERT_TRUE(ShowActive(frame.get()));
        view = frame->SwitchView<CGenrParamView>();
        Settle();
    }
    void TearDown() override
    {
        frame.reset();
        Fss4Fixture::TearDown();
    }
    QLineEdit* Field(int id) const { return view->controlAs<QLineEdit>(id); }
    void Type(int id, const QString& text) const
    {
        QLineEdit* field = Field(id);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        TypeText(field, text);
    }
    // Leaves the screen with Esc, back to the generator's panel.
    void Leave()
    {
        QTest::keyClick(Field(CGenrParamView::IdYear), Qt::Key_Escape);
        Settle();
    }
    // The stored values as the base holds them.
    void Reload()
    {
        infobase::LoadConfig(doc.infoBase);
        infobase::LoadFirm(doc.infoBase);
    }

    MessageRecorder recorder;
    CommandRegistry registry;
    std::unique_ptr<CMainFrame> frame;
    CGenrParamView* view = nullptr;
};

TEST_F(UiGenrParams, ShowsTheStoredValuesAndStoresTheChangesOnLeaving)
{
    EXPECT_EQ(Field(CGenrParamView::IdYear)->text(), QStringLiteral("2010"));
    EXPECT_EQ(Field(CGenrParamView::IdFirstMonth)->text(), QStringLiteral("1"));
    EXPECT_EQ(Field(CGenrParamView::IdLastMonth)->text(), QStringLiteral("3"));
    EXPECT_EQ(Field(1112)->text(), QStringLiteral("3501012345"));
    EXPECT_EQ(Field(1060)->text(), QString());
    ASSERT_TRUE(frame->grab().save(QStringLiteral("genr-parameters-view.png")));

    Type(CGenrParamView::IdYear, QStringLiteral("2009"));
    Type(CGenrParamView::IdLastMonth, QString()); // empty: not set (13 is refused when left)
    Type(CGenrParamView::IdFirstMonth, QStringLiteral("4"));
    Type(1058, QStringLiteral("3502"));
    Type(1060, QStringLiteral("1"));
    Type(1059, QStringLiteral("0")); // cleared
    Leave();
    EXPECT_EQ(frame->CurrentMainPanel(), MainPanelTaxReports);
    EXPECT_TRUE(recorder.boxes.empty());

    doc.infoBase.config.r_g = 0;
    doc.infoBase.firm.texts[FirmInfo::KodOtdFSS].clear();
    Reload();
    EXPECT_EQ(doc.infoBase.config.r_g, 109);
    EXPECT_EQ(doc.infoBase.config.r_m1, 4);
    EXPECT_EQ(doc.infoBase.config.r_m2, 0);
    EXPECT_EQ(doc.infoBase.firm.texts[FirmInfo::KodOtdFSS], QStringLiteral("3502"));
    EXPECT_TRUE(doc.infoBase.firm.firmUprosh());
    EXPECT_FALSE(GeneratorChoiceSet(doc.infoBase.firm, GeneratorChoice::IncomeByAccrualDate));

    // Shown again: the month 0 empty.
    view = frame->SwitchView<CGenrParamView>();
    Settle();
    EXPECT_EQ(Field(CGenrParamView::IdYear)->text(), QStringLiteral("2009"));
    EXPECT_EQ(Field(CGenrParamView::IdLastMonth)->text(), QString());
    EXPECT_EQ(Field(1060)->text(), QStringLiteral("1"));
}

// At 1024x768 the screen opens at its top, the year in sight and taking what
// is typed, where it opened scrolled down past the year and the months.
TEST_F(UiGenrParams, OpensAtItsTopWithTheYearTakingTheKeys)
{
    frame->resize(1024, 768);
    Settle();
    view = frame->SwitchView<CGenrParamView>();
    Settle();
    auto* area = qobject_cast<QScrollArea*>(view->parentWidget() ? view->parentWidget()->parentWidget() : nullptr);
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->verticalScrollBar()->value(), 0);
    QLineEdit* year = Field(CGenrParamView::IdYear);
    EXPECT_TRUE(year->visibleRegion().boundingRect().contains(year->rect())) << year->visibleRegion().boundingRect().y();
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    QTest::keyClick(focused, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(focused, QStringLiteral("2009"));
    EXPECT_EQ(year->text(), QStringLiteral("2009"));
    QTest::keyClick(focused, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Field(CGenrParamView::IdFirstMonth));
    EXPECT_EQ(area->verticalScrollBar()->value(), 0);
}

// A year not set (a new base) shows the base's reporting year, never 1900,
// and stays not set when left as shown.
TEST_F(UiGenrParams, AYearNotSetShowsTheReportingYear)
{
    doc.infoBase.config.r_g = 0;
    infobase::SaveConfig(doc.infoBase);
    view = frame->SwitchView<CGenrParamView>();
    Settle();
    EXPECT_EQ(Field(CGenrParamView::IdYear)->text(), QStringLiteral("2010"));
    Leave();
    Reload();
    EXPECT_EQ(doc.infoBase.config.r_g, 0);
    EXPECT_TRUE(recorder.boxes.empty());
}

// The period's months in order, whichever is typed: a last month of 1
// after a first of 3 is refused as it is left, naming both fields; the field
// keeps its text selected with the focus, and the next key replaces it: 6
// is taken and stored with the 3.
TEST_F(UiGenrParams, AFirstMonthAfterTheLastIsRefusedNamingBoth)
{
    Type(CGenrParamView::IdFirstMonth, QStringLiteral("3"));
    Type(CGenrParamView::IdLastMonth, QStringLiteral("1"));
    QTest::keyClick(Field(CGenrParamView::IdLastMonth), Qt::Key_Tab);
    Settle();
    ASSERT_EQ(recorder.boxes.size(), 1u) << recorder.Texts().join(u'|').toStdString();
    EXPECT_EQ(recorder.boxes[0].text, QStringLiteral("Значение поля \"Первый месяц отчетного периода\" (3) больше "
                                                     "значения поля \"Последний месяц отчетного периода\" (1)"));
    QLineEdit* last = Field(CGenrParamView::IdLastMonth);
    EXPECT_EQ(QApplication::focusWidget(), last);
    EXPECT_EQ(last->selectedText(), QStringLiteral("1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_6);
    QTest::keyClick(last, Qt::Key_Tab);
    Settle();
    EXPECT_EQ(recorder.boxes.size(), 1u);
    // A first month after the last, typed into the first field, is refused too.
    Type(CGenrParamView::IdFirstMonth, QStringLiteral("7"));
    QTest::keyClick(Field(CGenrParamView::IdFirstMonth), Qt::Key_Tab);
    Settle();
    ASSERT_EQ(recorder.boxes.size(), 2u);
    EXPECT_EQ(recorder.boxes[1].text, QStringLiteral("Значение поля \"Первый месяц отчетного периода\" (7) больше "
                                                     "значения поля \"Последний месяц отчетного периода\" (6)"));
    QTest::keyClick(Field(CGenrParamView::IdFirstMonth), Qt::Key_Escape);
    Settle();
    EXPECT_EQ(Field(CGenrParamView::IdFirstMonth)->text(), QStringLiteral("3"));
    Leave();
    Reload();
    EXPECT_EQ(doc.infoBase.config.r_m1, 3);
    EXPECT_EQ(doc.infoBase.config.r_m2, 6);
}

// A year out of range is refused when left and keeps the focus; Esc gives
// it up (the stored year shown again, without a word) and keeps the focus;
// the next Esc leaves the screen: nothing is stored.
TEST_F(UiGenrParams, AYearOutOfRangeIsRefusedAndTheStoredOneKept)
{
    Type(CGenrParamView::IdYear, QStringLiteral("1990"));
    QTest::keyClick(Field(CGenrParamView::IdYear), Qt::Key_Tab);
    Settle();
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text,
              QStringLiteral("Значение поля \"Отчетный год\" должно быть от 1994 до 2155: 1990"));
    EXPECT_EQ(QApplication::focusWidget(), Field(CGenrParamView::IdYear));
    Leave();
    EXPECT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(frame->CurrentView(), view);
    EXPECT_EQ(QApplication::focusWidget(), Field(CGenrParamView::IdYear));
    Leave();
    EXPECT_EQ(recorder.boxes.size(), 1u);
    EXPECT_NE(frame->CurrentView(), view);
    Reload();
    EXPECT_EQ(doc.infoBase.config.r_g, 110);
    EXPECT_EQ(doc.infoBase.config.r_m2, 3);

    EXPECT_TRUE(ReportYearAccepted(0));
    EXPECT_TRUE(ReportYearAccepted(1994));
    EXPECT_TRUE(ReportYearAccepted(2026));
    EXPECT_TRUE(ReportYearAccepted(2155));
    EXPECT_FALSE(ReportYearAccepted(1993));
    EXPECT_FALSE(ReportYearAccepted(2156));
}

TEST_F(UiGenrParams, ANewListOrderReloadsTheEmployeeList)
{
    // The list in use is the one by personnel number.
    const std::vector<infobase::EmployeeListEntry> byNumber = doc.infoBase.list;
    Field(1062)->setFocus();
    QTest::keyClick(Field(1062), Qt::Key_F1);
    CFieldHelpList* help = view->HelpList();
    ASSERT_NE(help, nullptr);
    ASSERT_EQ(help->table()->rowCount(), 2);
    QTest::keyClick(help->table(), Qt::Key_Down);
    QTest::keyClick(help->table(), Qt::Key_Return);
    EXPECT_EQ(Field(1062)->text(), QStringLiteral("1"));
    Leave();
    EXPECT_TRUE(doc.infoBase.config.sort());
    EXPECT_TRUE(doc.infoBase.firm.nameOrder());
    // The list in use is now the base's list by name.
    const std::vector<infobase::EmployeeListEntry> reloaded = doc.infoBase.list;
    infobase::LoadSimp(doc.infoBase, 2);
    EXPECT_EQ(reloaded, doc.infoBase.list);
    EXPECT_NE(reloaded, byNumber);
}

} // namespace
