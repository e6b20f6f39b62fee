// The main time sheet on the demo base, driven by keys: a personnel number
// typed in the strip, fields edited, F4/F3 (staying at the ends), the
// worked-days tab and back, days ticked, the view closed; the base then holds
// exactly the edits, and nothing is written when nothing changed. A marked
// group of three gets the filled fields; a refused save keeps the employee;
// screenshots of both tabs go into the build folder.
#include "DemoFirm.h"
#include "entries/TabelEntry.h"
#include "entries/ui/CTabelCorrectDlg.h"
#include "entries/ui/CTabelVvodDlg.h"
#include "entries/ui/CTabelVvodView.h"
#include "infobase/InfoBaseDb.h"
#include "masterdata/DemoScreenWorld.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/FieldHelp.h"
#include "support/SlotArrays.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabBar>

#include <gtest/gtest.h>

#ifdef KALVOR_DATA_DIR

using namespace employeetest;

namespace {

class TabelScreen : public DemoScreenWorld {
protected:
    CTabelVvodView* Open()
    {
        frame = std::make_unique<CMainFrame>(doc.get(), &registry);
        frame->resize(1240, 860);
        EXPECT_TRUE(ShowActive(frame.get()));
        auto* view = static_cast<CTabelVvodView*>(frame->SwitchView([this](CKalvorDoc* d) -> CCommonFormView* {
            return new CTabelVvodView(d, [this](CKalvorDoc*, unsigned slot, QWidget*) { rateSlots.push_back(slot); });
        }));
        Settle();
        return view;
    }
    void Apply(CTabelVvodView* view, int tabN) { DemoScreenWorld::Apply(view->Strip(), tabN); }
    // Replaces a field's text from the keyboard.
    static void Type(CTabelVvodView* view, int id, const QString& text)
    {
        QLineEdit* field = view->TabelDlg()->Field(id);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        TypeKeys(text);
    }
    static void ClickTab(CTabelVvodView* view, int tab)
    {
        QTabBar* tabs = view->TabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(tab).center());
        Settle();
    }
    static void Tick(CTabelVvodView* view, int day)
    {
        QCheckBox* box = view->CorrectDlg()->DayBox(day);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
    }
    // The days of April whose boxes the calendar page ticks.
    static std::vector<int> TickedBoxes(CTabelVvodView* view)
    {
        std::vector<int> days;
        for (int day = 1; day <= 30; ++day)
            if (view->CorrectDlg()->DayBox(day)->isChecked())
                days.push_back(day);
        return days;
    }
    ib::TabelRecord& Sheet(int tabN) { return doc->infoBase.tabelOf(Slot(tabN)); }
    // Counts the writes of dbo.tabel from here on.
    void CountTabelWrites()
    {
        QSqlQuery q(ib::Db(doc->infoBase));
        ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE dbo.tabelWrites (n INTEGER)")));
        ASSERT_TRUE(q.exec(QStringLiteral("CREATE TRIGGER dbo.tabelWritten AFTER DELETE ON tabel "
                                          "BEGIN INSERT INTO tabelWrites VALUES (1); END")));
    }
    int TabelWrites()
    {
        QSqlQuery q(ib::Db(doc->infoBase));
        return q.exec(QStringLiteral("SELECT count(*) FROM dbo.tabelWrites")) && q.next() ? q.value(0).toInt() : -1;
    }
    std::vector<unsigned> rateSlots;
};

} // namespace

TEST_F(TabelScreen, EditsStepsTabsAndClosingLeaveExactlyTheEditsInTheBase)
{
    MessageRecorder boxes;
    std::vector<ib::TabelRecord> expected = EveryTabel(doc->infoBase);
    CTabelVvodView* view = Open();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(doc->LastEntryScreen, 7u);
    EXPECT_FALSE(view->TabBar()->isEnabled());

    Apply(view, 135);
    EXPECT_EQ(view->m_tabN, 135u);
    EXPECT_EQ(view->Frame()->title(), QStringLiteral("Основной табель  [Белоусов Г. С.]"));
    EXPECT_EQ(view->TabelDlg()->Field(1079)->text(), QStringLiteral("24,0"));
    EXPECT_EQ(view->TabelDlg()->Field(1080)->text(), QStringLiteral("16,30"));
    EXPECT_EQ(view->TabelDlg()->Field(1098)->text(), QStringLiteral("1.00"));
    EXPECT_EQ(QApplication::focusWidget(), view->TabelDlg()->Field(1155));

    Type(view, 1079, QStringLiteral("30,15"));
    Type(view, 1098, QStringLiteral("1.5"));
    Type(view, 1085, QStringLiteral("0")); // days off: none (16 would be refused as the field is left)
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, 136u);
    EXPECT_EQ(doc->LastPersonnelNumber, 136u);
    EXPECT_EQ(view->Strip()->Field(CTabelFilterDlg::IdTabN)->text(), QStringLiteral("136"));
    ib::TabelRecord& belousov = expected[std::size_t(Slot(135) - 1)];
    belousov.vHr = 30 * 60 + 15;
    belousov.setKoeffHundredths(150);

    PressKey(Qt::Key_F3);
    EXPECT_EQ(view->m_tabN, 135u);
    EXPECT_EQ(view->TabelDlg()->Field(1079)->text(), QStringLiteral("30,15"));
    EXPECT_EQ(view->TabelDlg()->Field(1098)->text(), QStringLiteral("1.50"));
    EXPECT_EQ(view->TabelDlg()->Field(1085)->text(), QString());

    // The worked days: April 2011 begins on a Friday.
    ClickTab(view, 1);
    ASSERT_NE(view->CorrectDlg(), nullptr);
    EXPECT_EQ(view->CorrectDlg()->Frame()->title(), QStringLiteral("Отработанные дни  [Апрель]"));
    EXPECT_FALSE(view->CorrectDlg()->CellBox(3)->isVisibleTo(view));
    EXPECT_TRUE(view->CorrectDlg()->CellBox(4)->isVisibleTo(view));
    EXPECT_EQ(view->CorrectDlg()->DayLabel(4)->text(), QStringLiteral("1"));
    EXPECT_FALSE(view->CorrectDlg()->CellBox(34)->isVisibleTo(view));
    EXPECT_TRUE(view->CorrectDlg()->DayBox(1)->isChecked());
    EXPECT_FALSE(view->CorrectDlg()->DayBox(2)->isChecked()); // Saturday
    Tick(view, 2);
    Tick(view, 4);
    belousov.tabel12 = ib::u16((belousov.tabel12 | (1u << 2)) & ~(1u << 4));
    // His days and hours follow the calendar: still 21 days, and 168 - 8 =
    // 160 hours, the Saturday having no hours of the schedule.
    ASSERT_EQ(belousov.rabDn, 21);
    ASSERT_EQ(belousov.rabHr, 168 * 60);
    belousov.rabHr = 160 * 60;

    // Back to the fields and on: the ticks were saved with the tab change.
    ClickTab(view, 0);
    ASSERT_NE(view->TabelDlg(), nullptr);
    EXPECT_EQ(view->TabelDlg()->Field(1079)->text(), QStringLiteral("30,15"));
    EXPECT_EQ(Sheet(135).tabel12, belousov.tabel12);
    EXPECT_EQ(view->TabelDlg()->Field(1078)->text(), QStringLiteral("160,0"));

    // Days ticked just before the view closes are saved too.
    ClickTab(view, 1);
    Tick(view, 30);
    belousov.tabel22 = ib::u16(belousov.tabel22 | (1u << 14));
    belousov.rabDn = 22; // another Saturday: a day more, no hours more
    frame->SwitchView([](CKalvorDoc* d) -> CCommonFormView* { return new CEmptyView(d); });
    Settle();
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();

    Restart();
    EXPECT_EQ(EveryTabel(doc->infoBase), expected);
}

// Tab goes row by row, each day count to its hours; the worked-days calendar
// follows the working days typed; F1's prompt wraps whole words and leaves
// the field that Tab goes to uncovered.
TEST_F(TabelScreen, TabRowByRowTheCalendarFollowsTheDaysAndTheHintCoversNothing)
{
    MessageRecorder boxes;
    CTabelVvodView* view = Open();
    Apply(view, 135);
    CTabelVvodDlg* dlg = view->TabelDlg();
    ASSERT_EQ(QApplication::focusWidget(), dlg->Field(1155));
    for (int id : {1078, 1079, 1080, 1081}) {
        PressKey(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), dlg->Field(id)) << id;
    }

    // F1 on "Рабочие дни": the prompt is 310 wide and wider as one line.
    dlg->Field(1155)->setFocus();
    PressKey(Qt::Key_F1);
    QLabel* hint = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("CHintWnd") && w->isVisible())
            hint = qobject_cast<QLabel*>(w);
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->text(), QStringLiteral("Введите любое целое число в соответствии с назначением этого поля."));
    EXPECT_EQ(hint->width(), 310);
    const QFontMetrics metrics(hint->font());
    const QRect text = hint->contentsRect();
    EXPECT_GT(metrics.horizontalAdvance(hint->text()), text.width()); // it does need two lines
    EXPECT_GE(text.height(),
              metrics.boundingRect(QRect(0, 0, text.width(), 1000), Qt::TextWordWrap, hint->text()).height());
    const QLineEdit* next = dlg->Field(1078);
    const QRect nextRect(next->mapToGlobal(QPoint(0, 0)), next->size());
    EXPECT_FALSE(hint->geometry().intersects(nextRect));
    PressKey(Qt::Key_Escape);

    // 19 working days typed where the calendar ticks more: it keeps the first 19.
    std::vector<int> before;
    for (int day = 1; day <= 30; ++day)
        if (kalvor::DayMarked(Sheet(135), day))
            before.push_back(day);
    ASSERT_GT(before.size(), 19u);
    Type(view, 1155, QStringLiteral("19"));
    ClickTab(view, 1);
    ASSERT_NE(view->CorrectDlg(), nullptr);
    EXPECT_EQ(TickedBoxes(view), std::vector<int>(before.begin(), before.begin() + 19));
    EXPECT_EQ(Sheet(135).rabDn, 19);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
}

// 136 (paid by the hour, five-day week of 8 hours) hired on 15 April 2011:
// 11 working days typed mark 15, 18-22 and 25-29 April, not the first days
// of the month, and her hours follow, 88; two days cleared on the calendar
// leave 9 days and 72 hours.
TEST_F(TabelScreen, AHiresDaysAreMarkedFromHisHireAndTheCountFollowsTheCalendar)
{
    MessageRecorder boxes;
    ib::CInfoBase& base = doc->infoBase;
    ib::LoadEmployee(base, Slot(136));
    base.current.head.datPr1 = kalvor::PackedDate::make(15, 4, 2011).value;
    ib::SaveEmployee(base, Slot(136));
    CTabelVvodView* view = Open();
    ASSERT_NE(view, nullptr);
    Apply(view, 136);
    Type(view, 1155, QStringLiteral("11"));
    ClickTab(view, 1);
    ASSERT_NE(view->CorrectDlg(), nullptr);
    EXPECT_EQ(TickedBoxes(view), (std::vector<int>{15, 18, 19, 20, 21, 22, 25, 26, 27, 28, 29}));
    EXPECT_EQ(Sheet(136).rabDn, 11);

    EXPECT_EQ(Sheet(136).rabHr, 88 * 60);
    Tick(view, 28);
    Tick(view, 29);
    ClickTab(view, 0);
    ASSERT_NE(view->TabelDlg(), nullptr);
    EXPECT_EQ(view->TabelDlg()->Field(1155)->text(), QStringLiteral("9"));
    EXPECT_EQ(Sheet(136).rabDn, 9);
    EXPECT_EQ(view->TabelDlg()->Field(1078)->text(), QStringLiteral("72,0"));

    // Hours typed apart from the schedule's (13 of overtime over 72) stay as
    // typed when a day is ticked again, which would give 80; the days follow.
    Type(view, 1078, QStringLiteral("85,0"));
    ClickTab(view, 1);
    ASSERT_NE(view->CorrectDlg(), nullptr);
    Tick(view, 28);
    ClickTab(view, 0);
    ASSERT_NE(view->TabelDlg(), nullptr);
    EXPECT_EQ(view->TabelDlg()->Field(1155)->text(), QStringLiteral("10"));
    EXPECT_EQ(Sheet(136).rabHr, 85 * 60);
    EXPECT_EQ(view->TabelDlg()->Field(1078)->text(), QStringLiteral("85,0"));

    // Days and hours typed together: the calendar follows the 8 days, and the
    // 70 hours stay as typed (the schedule's hours of 8 days would be 64).
    Type(view, 1155, QStringLiteral("8"));
    Type(view, 1078, QStringLiteral("70,0"));
    ClickTab(view, 1);
    ASSERT_NE(view->CorrectDlg(), nullptr);
    EXPECT_EQ(TickedBoxes(view).size(), 8u);
    EXPECT_EQ(Sheet(136).rabDn, 8);
    EXPECT_EQ(Sheet(136).rabHr, 70 * 60);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(TabelScreen, NothingIsWrittenWhenNothingChangedAndTheEndsStay)
{
    MessageRecorder boxes;
    CountTabelWrites();
    CTabelVvodView* view = Open();
    const ib::CInfoBase& base = doc->infoBase;
    const int last = base.list.back().tabN();
    const int first = base.list.front().tabN();

    Apply(view, last);
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(last));
    Apply(view, first);
    PressKey(Qt::Key_F3);
    EXPECT_EQ(view->m_tabN, unsigned(first));
    PressKey(Qt::Key_F4);
    PressKey(Qt::Key_F4);
    PressKey(Qt::Key_F3);
    ClickTab(view, 1);
    PressKey(Qt::Key_F4);
    ClickTab(view, 0);
    frame->SwitchView([](CKalvorDoc* d) -> CCommonFormView* { return new CEmptyView(d); });
    Settle();
    EXPECT_EQ(TabelWrites(), 0);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(TabelScreen, AMarkedGroupOfThreeGetsTheFilledFields)
{
    MessageRecorder boxes;
    std::vector<ib::TabelRecord> expected = EveryTabel(doc->infoBase);
    CTabelVvodView* view = Open();
    Apply(view, 101);
    view->TakeHelpValues({QStringLiteral("135"), QStringLiteral("136"), QStringLiteral("137")});
    Settle();
    ASSERT_TRUE(view->TabelDlg()->m_groupMode);
    ASSERT_NE(view->GroupPanel(), nullptr);
    EXPECT_EQ(view->TabelDlg()->Field(1155)->text(), QString()); // an empty form

    Type(view, 1099, QStringLiteral("1"));
    Type(view, 1100, QStringLiteral("8,0"));
    Type(view, 1089, QStringLiteral("0")); // a typed 0 overwrites 137's idle day
    Type(view, 1098, QStringLiteral("1.3"));
    PressKey(Qt::Key_Return);
    Settle();
    EXPECT_FALSE(view->TabelDlg()->m_groupMode);
    EXPECT_EQ(view->GroupPanel(), nullptr);
    for (const ib::EmployeeListEntry& entry : doc->infoBase.list) EXPECT_EQ(entry.flags(), 0);
    for (int tabN : {135, 136, 137}) {
        ib::TabelRecord& t = expected[std::size_t(Slot(tabN) - 1)];
        t.bezsodDn = 1;
        t.bezsodHr = 8 * 60;
        t.prostDn = 0;
        t.setKoeffHundredths(130);
    }
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();

    // A group begun on the calendar tab copies nothing; Esc ends it.
    Apply(view, 101);
    ClickTab(view, 1);
    view->TakeHelpValues({QStringLiteral("102")});
    Settle();
    ASSERT_TRUE(view->CorrectDlg()->m_groupMode);
    PressKey(Qt::Key_Escape);
    EXPECT_FALSE(view->CorrectDlg()->m_groupMode);
    EXPECT_EQ(view->GroupPanel(), nullptr);

    Restart();
    EXPECT_EQ(EveryTabel(doc->infoBase), expected);
    EXPECT_EQ(Sheet(135).vHr, 24 * 60); // left empty on the form: kept
}

TEST_F(TabelScreen, RefusedSavesAndUnknownNumbersKeepTheEmployee)
{
    MessageRecorder boxes;
    CTabelVvodView* view = Open();
    Apply(view, 146);
    EXPECT_EQ(view->TabelDlg()->Field(1080)->text(), QStringLiteral("44,0"));

    // The base refuses the save: the message, the employee stays, and the
    // next step saves once the base takes it again.
    Type(view, 1155, QStringLiteral("7"));
    QSqlQuery q(ib::Db(doc->infoBase));
    ASSERT_TRUE(q.exec(QStringLiteral("ALTER TABLE dbo.tabel RENAME TO tabelAway")));
    PressKey(Qt::Key_F4);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].text.startsWith(QStringLiteral("ОБНАРУЖЕНА ОШИБКА:")));
    EXPECT_EQ(view->m_tabN, 146u);
    ASSERT_TRUE(q.exec(QStringLiteral("ALTER TABLE dbo.tabelAway RENAME TO tabel")));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, 147u);

    // A number that is not in the list, or 0: the message, and 147 stays shown.
    boxes.boxes.clear();
    Apply(view, 999);
    Apply(view, 0);
    EXPECT_EQ(boxes.Texts(), (QStringList{QStringLiteral("В поле \"Табельный номер\" указан номер, которого нет в "
                                                         "справочнике \"Список сотрудников\": 999"),
                                          QStringLiteral("Некорректный табельный номер")}));
    EXPECT_EQ(view->m_tabN, 147u);
    EXPECT_EQ(view->TabelDlg()->Field(1086)->text(), QStringLiteral("22,0"));
    Restart();
    EXPECT_EQ(Sheet(146).rabDn, 7);
}

// "12,75" in "Рабочие дни", then the strip taken for another employee: the
// days are refused once, and the field stays enabled with the focus (the strip
// once greyed it, so that it took no more typing and every later employee was
// refused with the same message). A corrected value is taken and the switch
// goes; Esc abandons what was typed after a question, and the screen stays
// editable with the stored values.
TEST_F(TabelScreen, ARefusedFieldStaysEditableWhenTheStripIsTakenAndTheSwitchGoesOnceItIsCorrected)
{
    MessageRecorder boxes;
    CTabelVvodView* view = Open();
    Apply(view, 146);
    QLineEdit* days = view->TabelDlg()->Field(1155);
    QLineEdit* number = view->Strip()->Field(CTabelFilterDlg::IdTabN);

    Type(view, 1155, QStringLiteral("12,75"));
    number->setFocus();
    Settle();
    ASSERT_EQ(boxes.boxes.size(), 1u) << boxes.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(boxes.boxes[0].text.contains(QStringLiteral("\"Рабочие дни\""))) << boxes.boxes[0].text.toStdString();
    EXPECT_TRUE(view->TabelDlg()->isEnabled());
    EXPECT_TRUE(days->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), days);
    EXPECT_EQ(days->text(), QStringLiteral("12,75"));
    EXPECT_EQ(view->m_tabN, 146u);

    // The field takes a corrected value; the switch then goes, and stores it.
    days->selectAll();
    TypeKeys(QStringLiteral("12"));
    boxes.boxes.clear();
    Apply(view, 147);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(view->m_tabN, 147u);
    EXPECT_EQ(Sheet(146).rabDn, 12);

    // Esc after a refused text gives it up: the stored days shown again
    // without a word, and Esc goes on as on an untouched sheet (to the
    // strip); the next switch goes. A change besides is asked about.
    const QString stored = days->text();
    Type(view, 1155, QStringLiteral("12,75"));
    PressKey(Qt::Key_Escape);
    Settle();
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(days->text(), stored);
    EXPECT_EQ(QApplication::focusWidget(), number);
    view->EnableEntry(true);
    Type(view, 1081, QStringLiteral("3"));
    Type(view, 1155, QStringLiteral("12,75"));
    PressKey(Qt::Key_Escape);
    Settle();
    ASSERT_EQ(boxes.Texts(), QStringList{QStringLiteral("Отменить изменения, внесенные в табель?")});
    EXPECT_EQ(days->text(), stored);
    EXPECT_TRUE(days->isEnabled());
    boxes.boxes.clear();
    Apply(view, 146);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(view->m_tabN, 146u);
    EXPECT_EQ(days->text(), QStringLiteral("12"));
}

TEST_F(TabelScreen, QuickOpenAndRateCorrectionForTheEmployeeShown)
{
    MessageRecorder boxes;
    CTabelVvodView* view = Open();
    auto* button = view->TabelDlg()->controlAs<QPushButton>(CTabelVvodDlg::IdCorrectRates);
    ASSERT_NE(button, nullptr);
    view->TabelDlg()->OnCorrectRates(); // nobody shown: nothing
    EXPECT_TRUE(rateSlots.empty());

    // The quick button's way in: the screen opens on the employee shown last.
    doc->LastPersonnelNumber = 129;
    doc->OpenWithLastEmployee = 1;
    view = Open();
    EXPECT_EQ(doc->OpenWithLastEmployee, 0);
    EXPECT_EQ(view->m_tabN, 129u);
    button = view->TabelDlg()->controlAs<QPushButton>(CTabelVvodDlg::IdCorrectRates);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(rateSlots, std::vector<unsigned>{unsigned(Slot(129))});
    EXPECT_EQ(view->TabelDlg()->Field(1098)->text(), QStringLiteral("1.20"));
    EXPECT_TRUE(view->TabelDlg()->DbfBox()->isChecked());
}

TEST_F(TabelScreen, FieldHelpGivesEachFieldItsPrompt)
{
    MessageRecorder boxes;
    CTabelVvodView* view = Open();
    Apply(view, 135);
    auto promptOf = [&](QWidget* field) {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_F1);
        auto* hint = view->findChild<CHintWnd*>();
        const QString text = hint ? hint->text() : QString();
        QTest::keyClick(field, Qt::Key_Shift);
        Settle();
        return text;
    };
    const QString longHours = QStringLiteral("Введите время в формате: ЧЧЧ.ММ");
    EXPECT_EQ(promptOf(view->TabelDlg()->Field(1078)), longHours);
    EXPECT_EQ(promptOf(view->TabelDlg()->Field(1080)), longHours); // night hours, up to 511
    EXPECT_EQ(promptOf(view->TabelDlg()->Field(1094)),
              QStringLiteral("Введите время в формате: ЧЧ.ММ нули не опускайте"));
    EXPECT_EQ(promptOf(view->TabelDlg()->Field(1098)),
              QStringLiteral("Введите данные в соответствии с назначением этого поля."));
    EXPECT_EQ(promptOf(view->TabelDlg()->Field(1155)),
              QStringLiteral("Введите любое целое число в соответствии с назначением этого поля."));
    const QString days = QStringLiteral("Укажите количество дней, которые нужно оплатить по соответствующим правилам");
    EXPECT_EQ(promptOf(view->TabelDlg()->Field(1095)), days);
    ClickTab(view, 1);
    EXPECT_EQ(promptOf(view->CorrectDlg()->DayBox(12)), days);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(TabelScreen, ScreenshotsOfBothTabs)
{
    MessageRecorder boxes;
    CTabelVvodView* view = Open();
    Apply(view, 146);
    Screenshot(frame.get(), QStringLiteral("time-sheet.png"));
    ClickTab(view, 1);
    Screenshot(frame.get(), QStringLiteral("time-sheet-days.png"));
    EXPECT_TRUE(boxes.boxes.empty());
}

#endif
