// The work-schedule book on the demo base, driven by keys through the frame:
// a wrong number refused, schedule 1 shown on the reporting month, its
// definition changed in "Описание графика", a month recalculated, a day typed
// with the totals following, paging over the 22 months and stepping over the
// schedules, manual totals kept, and what the base file holds afterwards.
#include "RefBookWorld.h"
#include "support/ScreenText.h"

#include "masterdata/ui/CRefSchedDefDlg.h"
#include "masterdata/ui/CRefSchedDlg.h"
#include "masterdata/ui/CRefSchedView.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTimer>

using namespace kalvor::infobase;
using masterdatatest::RefBookWorld;

namespace {

class ScheduleScreen : public RefBookWorld {
protected:
    CRefSchedView* OpenBook()
    {
        auto* view = Open<CRefSchedView>(1028);
        EXPECT_NE(view, nullptr);
        return view;
    }
    void Choose(CRefSchedView* view, const char* number)
    {
        view->NumberField()->setFocus();
        view->NumberField()->selectAll();
        QTest::keyClicks(view->NumberField(), QString::fromLatin1(number));
        QTest::keyClick(view->NumberField(), Qt::Key_Return);
    }
    // Types into a field and moves on with Tab.
    void Type(QLineEdit* field, const char* text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, QString::fromLatin1(text));
        QTest::keyClick(field, Qt::Key_Tab);
    }
    // Enter in the calendar with the definition dialog answered by `answer`.
    void Define(CRefSchedDlg* calendar, const std::function<void(CRefSchedDefDlg&)>& answer)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dlg = qobject_cast<CRefSchedDefDlg*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dlg);
            seen = true;
            answer(*dlg);
        });
        QTest::keyClick(calendar->Evening(), Qt::Key_Return);
        EXPECT_TRUE(seen);
        // The offscreen platform does not hand the activation back by itself.
        EXPECT_TRUE(ShowActive(frame.get()));
    }

    // The wrong numbers at Enter.
    void ExpectWrongNumbersRefused(CRefSchedView* view, CRefSchedDlg* calendar)
    {
        // Refused at Enter naming the field; "12x" was once schedule 12.
        for (const char* wrong : {"0", "21", "x", "12x", "1,5"}) {
            boxes.boxes.clear();
            Choose(view, wrong);
            ASSERT_EQ(boxes.boxes.size(), 1u) << wrong;
            EXPECT_TRUE(boxes.boxes[0].text.contains(QStringLiteral("\"График\"")) &&
                        boxes.boxes[0].text.endsWith(QString::fromLatin1(wrong)))
                << boxes.boxes[0].text.toStdString();
            EXPECT_FALSE(calendar->isEnabled()) << wrong;
            EXPECT_TRUE(view->NumberField()->hasFocus());
        }
    }
    // Schedule 1 chosen and shown on April 2011.
    void ExpectScheduleOneOnApril(CRefSchedView* view, CRefSchedDlg* calendar)
    {
        // Schedule 1 of the demo firm: Monday to Friday, 8 hours, on April 2011.
        Choose(view, "1");
        EXPECT_TRUE(calendar->isEnabled());
        EXPECT_EQ(ScreenTitle(calendar), QStringLiteral(" Апрель     2011 г. "));
        EXPECT_EQ(calendar->WorkDays()->text(), "21");
        EXPECT_EQ(calendar->WorkHours()->text(), "168,0");
        EXPECT_FALSE(calendar->WorkDays()->isEnabled());
        // 1 April 2011 was a Friday: the fifth column of the first row.
        EXPECT_FALSE(calendar->DayCell(3)->isVisible());
        EXPECT_TRUE(calendar->DayCell(4)->isVisible());
        EXPECT_EQ(calendar->DayLabel(4)->text(), "1");
        EXPECT_EQ(calendar->DayCell(4)->text(), "8,0");
        EXPECT_EQ(calendar->DayField(2)->text(), "");
    }
    // The schedule defined anew and the month recalculated.
    void DefineSevenHourDaysMondayToSaturday(CRefSchedView* view, CRefSchedDlg* calendar)
    {
        // The definition: 7-hour days, Monday to Saturday.
        Define(calendar, [](CRefSchedDefDlg& dlg) {
            EXPECT_EQ(dlg.DayLength()->text(), "8,0");
            EXPECT_TRUE(dlg.Automatic()->isChecked());
            EXPECT_TRUE(dlg.WeekDay(4)->isChecked());
            EXPECT_FALSE(dlg.WeekDay(5)->isChecked());
            dlg.DayLength()->setText(QStringLiteral("7,0"));
            dlg.WeekDay(5)->setChecked(true);
            QTest::keyClick(dlg.DayLength(), Qt::Key_Return); // "Определить график"
        });
        EXPECT_EQ(base().scheduleAt(1).rdHr, 7);
        // The month keeps its days until it is recalculated.
        EXPECT_EQ(calendar->WorkDays()->text(), "21");
        QTest::mouseClick(qobject_cast<QPushButton*>(view->control(CRefSchedView::IdRecalcMonth)), Qt::LeftButton);
        // 26 days of 7 hours, Saturday 30 April (before the 1 May holiday) an
        // hour shorter: 181 hours.
        EXPECT_EQ(calendar->WorkDays()->text(), "26");
        EXPECT_EQ(calendar->WorkHours()->text(), "181,0");
        EXPECT_EQ(calendar->DayField(2)->text(), "7,0");
    }
    // Days typed into the month, one refused.
    void TypeTheDaysOfTheMonth(CRefSchedDlg* calendar)
    {
        // Monday the 4th typed as 0: the totals follow when the cell is left.
        Type(calendar->DayField(4), "0");
        EXPECT_EQ(calendar->WorkDays()->text(), "25");
        EXPECT_EQ(calendar->WorkHours()->text(), "174,0");
        // More than 24 hours is refused naming the cell when it is left; the
        // day keeps its value, and the cell takes a valid one.
        boxes.boxes.clear();
        Type(calendar->DayField(5), "25,0");
        Settle();
        EXPECT_EQ(boxes.Texts().size(), 1);
        EXPECT_TRUE(boxes.Texts().value(0).contains(QStringLiteral("\"Часы за день\"")));
        EXPECT_TRUE(calendar->DayField(5)->hasFocus());
        EXPECT_EQ(calendar->WorkHours()->text(), "174,0");
        Type(calendar->DayField(5), "7,0");
        EXPECT_EQ(calendar->DayField(5)->text(), "7,0");
    }
    // Paging through the months.
    void PageThroughTheMonths(CRefSchedDlg* calendar)
    {
        // PgUp sixteen times stops at January 2010; PgDn stops at October 2011.
        for (int i = 0; i < 16; ++i) QTest::keyClick(calendar->Evening(), Qt::Key_PageUp);
        EXPECT_EQ(calendar->MonthIndex(), 0);
        EXPECT_EQ(ScreenTitle(calendar), QStringLiteral(" Январь     2010 г. "));
        for (int i = 0; i < 30; ++i) QTest::keyClick(calendar->Evening(), Qt::Key_PageDown);
        EXPECT_EQ(calendar->MonthIndex(), 21);
        EXPECT_EQ(ScreenTitle(calendar), QStringLiteral(" Октябрь     2011 г. "));
        // May 2011 begins on a Sunday: the 1st in the seventh column, the 31st in the sixth row.
        for (int i = 0; i < 5; ++i) QTest::keyClick(calendar->Evening(), Qt::Key_PageUp);
        EXPECT_EQ(ScreenTitle(calendar), QStringLiteral(" Май     2011 г. "));
        EXPECT_EQ(calendar->DayLabel(6)->text(), "1");
        EXPECT_EQ(calendar->DayLabel(36)->text(), "31");
        EXPECT_TRUE(calendar->DayCell(36)->isVisible());
    }
    // Stepping over the schedules.
    void StepOverTheSchedules(CRefSchedView* view, CRefSchedDlg* calendar)
    {
        // F4 and F3 step over the schedules; nothing below 1.
        QTest::keyClick(calendar->Evening(), Qt::Key_F4);
        EXPECT_EQ(view->NumberField()->text(), "2");
        EXPECT_EQ(view->CurrentSchedule(), 2);
        QTest::keyClick(calendar->Evening(), Qt::Key_F3);
        QTest::keyClick(calendar->Evening(), Qt::Key_F3);
        EXPECT_EQ(view->CurrentSchedule(), 1);
    }
    // Leaving the book and what the base file then holds.
    void LeaveAndExpectTheScheduleStored(CRefSchedDlg* calendar)
    {
        const QString shot = SaveShot(frame.get(), QStringLiteral("refsched-calendar.png"));
        EXPECT_TRUE(QFile::exists(shot));

        Leave(calendar->Evening());
        EXPECT_EQ(frame->CurrentView()->objectName(), "CEmptyView");
        EXPECT_EQ(frame->CurrentWorkPanel(), 0);
        auto stored = Stored();
        const WorkSchedule& s = stored->scheduleAt(1);
        EXPECT_EQ(s.rdHr, 7);
        EXPECT_EQ(s.rabDnNed, 0x3F);
        EXPECT_EQ(s.months[15].d[3], 0);
        EXPECT_EQ(s.months[15].d[4], 420);
        EXPECT_EQ(s.months[15].d[29], 360);
        EXPECT_EQ(s.months[15].rDn, 25);
        EXPECT_EQ(s.months[15].rMin, 174 * 60);
    }
};

TEST_F(ScheduleScreen, DefinesAScheduleTypesADayAndPagesThroughMonths)
{
    CRefSchedView* view = OpenBook();
    ASSERT_TRUE(view);
    CRefSchedDlg* calendar = view->Dialog();
    EXPECT_TRUE(view->NumberField()->hasFocus());
    EXPECT_FALSE(calendar->isEnabled());
    ASSERT_NO_FATAL_FAILURE(ExpectWrongNumbersRefused(view, calendar));
    ASSERT_NO_FATAL_FAILURE(ExpectScheduleOneOnApril(view, calendar));
    ASSERT_NO_FATAL_FAILURE(DefineSevenHourDaysMondayToSaturday(view, calendar));
    ASSERT_NO_FATAL_FAILURE(TypeTheDaysOfTheMonth(calendar));
    ASSERT_NO_FATAL_FAILURE(PageThroughTheMonths(calendar));
    ASSERT_NO_FATAL_FAILURE(StepOverTheSchedules(view, calendar));
    ASSERT_NO_FATAL_FAILURE(LeaveAndExpectTheScheduleStored(calendar));
}

TEST_F(ScheduleScreen, ManualTotalsStayAndARecalculationAloneWritesNothing)
{
    CRefSchedView* view = OpenBook();
    CRefSchedDlg* calendar = view->Dialog();
    Choose(view, "1");
    Define(calendar, [](CRefSchedDefDlg& dlg) {
        dlg.Automatic()->setChecked(false);
        QTest::mouseClick(qobject_cast<QPushButton*>(dlg.control(1)), Qt::LeftButton);
    });
    EXPECT_TRUE(calendar->WorkDays()->isEnabled());
    Type(calendar->WorkDays(), "19");
    Type(calendar->WorkHours(), "150,30");
    Type(calendar->DayField(4), "0");
    QTest::keyClick(calendar->Evening(), Qt::Key_PageDown);
    QTest::keyClick(calendar->Evening(), Qt::Key_PageUp);
    EXPECT_EQ(calendar->WorkDays()->text(), "19");
    EXPECT_EQ(calendar->WorkHours()->text(), "150,30");
    EXPECT_EQ(calendar->DayField(4)->text(), "");
    Leave(calendar->Evening());
    auto stored = Stored();
    EXPECT_EQ(stored->scheduleAt(1).ruchn, 1);
    EXPECT_EQ(stored->scheduleAt(1).months[15].rDn, 19);
    EXPECT_EQ(stored->scheduleAt(1).months[15].rMin, 150 * 60 + 30);

    // "Перерасчет графика" brings the default calendar back in memory only.
    view = OpenBook();
    calendar = view->Dialog();
    Choose(view, "1");
    QTest::mouseClick(qobject_cast<QPushButton*>(view->control(CRefSchedView::IdRecalcSchedule)), Qt::LeftButton);
    EXPECT_EQ(calendar->DayField(4)->text(), "8,0");
    EXPECT_EQ(calendar->WorkDays()->text(), "21");
    Leave(calendar->Evening());
    EXPECT_EQ(Stored()->scheduleAt(1).months[15].d[3], 0);
}

TEST_F(ScheduleScreen, ASaveTheBaseRefusesIsShownAndTheNextVisitSavesIt)
{
    CRefSchedView* view = OpenBook();
    Choose(view, "2");
    QSqlQuery(Db(base())).exec(QStringLiteral("ALTER TABLE dbo.graMes RENAME TO graMes_away"));
    Type(view->Dialog()->Evening(), "12,0");
    Leave(view->Dialog()->Evening());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.Texts().last().startsWith(QStringLiteral("ОБНАРУЖЕНА ОШИБКА:")));
    EXPECT_EQ(base().scheduleAt(2).months[15].vMin, 720);

    QSqlQuery(Db(base())).exec(QStringLiteral("ALTER TABLE dbo.graMes_away RENAME TO graMes"));
    view = OpenBook();
    Leave(view->NumberField());
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Stored()->scheduleAt(2).months[15].vMin, 720);
}

} // namespace
