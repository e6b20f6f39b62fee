// The employee record card by keys over a fixture base: F4 and F3 at both
// ends of the list, a tab change that saves the page's edits (and a refused
// value that keeps the page), a new personnel number that makes a new card,
// Alt+F10 deleting after the question, the property deduction's question, and
// the group's append of the main data's filled fields.
#include "EmployeeScreensWorld.h"

#include "masterdata/EmployeeCard.h"
#include "masterdata/ui/CWorkerUchKartGDDlg.h"
#include "masterdata/ui/CWorkerUchKartPage.h"
#include "masterdata/ui/CWorkerUchKartView.h"
#include "masterdata/ui/CWorkerUchkartExDDlg.h"
#include "payroll/FixtureBaseFile.h"
#include "platform/DbTestHooks.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/NullableDateEdit.h"
#include "support/RefusingTrigger.h"
#include "support/SlotArrays.h"

#include <QLabel>
#include <QTabBar>
#include <QTableWidget>

using namespace employeetest;
namespace md = kalvor::masterdata;

namespace {

class UiRecordCard : public World {
protected:
    void SetUp() override
    {
        World::SetUp();
        frame = std::make_unique<CMainFrame>(&doc, &registry);
        frame->resize(1200, 860);
        ASSERT_TRUE(ShowActive(frame.get()));
        view = frame->SwitchView<CWorkerUchKartView>();
        ASSERT_NE(view, nullptr);
        Settle();
    }

    QLineEdit* Field(int id) const { return view->Page()->controlAs<QLineEdit>(id); }
    void TypeInto(int id, const QString& text)
    {
        QLineEdit* field = Field(id);
        field->setFocus();
        field->selectAll();
        QApplication::processEvents();
        TypeKeys(text);
    }
    // Chooses a tab by the arrow keys of the focused tab bar.
    void StepTab(Qt::Key key)
    {
        view->Tabs()->setFocus();
        QApplication::processEvents();
        PressKey(key);
        Settle();
    }

    MessageRecorder boxes;
    CommandRegistry registry;
    std::unique_ptr<CMainFrame> frame;
    CWorkerUchKartView* view = nullptr;
};

} // namespace

TEST_F(UiRecordCard, F4AndF3StopAtBothEndsOfTheList)
{
    ApplyNumber(view->Strip(), tabN(0));
    EXPECT_EQ(view->m_tabN, unsigned(tabN(0)));
    EXPECT_EQ(Field(1077)->text(), record(0).head.fio);
    PressKey(Qt::Key_F3);
    EXPECT_EQ(view->m_tabN, unsigned(tabN(0)));
    for (int i = 1; i < base().employeeCount(); ++i) {
        PressKey(Qt::Key_F4);
        EXPECT_EQ(view->m_tabN, unsigned(tabN(i)));
    }
    const int last = base().employeeCount() - 1;
    EXPECT_EQ(Field(1077)->text(), record(last).head.fio);
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(tabN(last)));
    EXPECT_EQ(Field(1077)->text(), record(last).head.fio);
    PressKey(Qt::Key_F3);
    EXPECT_EQ(view->m_tabN, unsigned(tabN(last - 1)));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(UiRecordCard, ATabChangeSavesTheEditsAndARefusalKeepsThePage)
{
    ApplyNumber(view->Strip(), tabN(1));
    TypeInto(1004, QStringLiteral("12345.67"));
    StepTab(Qt::Key_Right);
    ASSERT_EQ(view->Page()->DialogId(), CWorkerUchkartExDDlg::IDD);
    EXPECT_EQ(base().current.head.oklad, 1'234'567);
    EXPECT_EQ(Column("konst", "oklad", 1), QStringList{QStringLiteral("1234567.00")});
    EXPECT_EQ(Field(1075)->text(), record(1).head.fio);
    StepTab(Qt::Key_Left);
    ASSERT_EQ(view->Page()->DialogId(), CWorkerUchKartGDDlg::IDD);
    EXPECT_EQ(Field(1004)->text(), QStringLiteral("12345.67"));
    // The second page visited and left unchanged marks nothing: its months
    // of imputed income, never set, stay unset.
    EXPECT_EQ(base().current.head.vmenMarker, 0);
    EXPECT_EQ(Column("konst", "vmenMarker", 1), QStringList{QStringLiteral("0")});

    // A schedule beyond 20 is refused: the page and its tab stay, the text too.
    TypeInto(1000, QStringLiteral("25"));
    StepTab(Qt::Key_Right);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].text.contains(QStringLiteral("График работы")));
    EXPECT_EQ(view->Page()->DialogId(), CWorkerUchKartGDDlg::IDD);
    EXPECT_EQ(view->Tabs()->currentIndex(), 0);
    EXPECT_EQ(Field(1000)->text(), QStringLiteral("25"));
    // F4 is refused the same way and stays on the employee.
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(tabN(1)));
}

// The insurance number's check number is checked as the passport page is
// left: 112-305-418 takes 91 (1*9 + 1*8 + 2*7 + 3*6 + 5*4 + 4*3 + 1*2 + 8*1),
// so 10 is refused naming the field, the page stays and nothing is stored;
// 91 is stored.
TEST_F(UiRecordCard, AWrongCheckNumberOfTheInsuranceNumberIsRefused)
{
    ApplyNumber(view->Strip(), tabN(1));
    const QString stored = base().current.head.strahPolis;
    StepTab(Qt::Key_Right);
    StepTab(Qt::Key_Right);
    ASSERT_EQ(view->Tabs()->currentIndex(), 2);
    TypeInto(1026, QStringLiteral("112-305-418 10"));
    StepTab(Qt::Key_Left);
    EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Неверное контрольное число в поле \"Страховой полис\": "
                                                        "112-305-418 10 (по цифрам номера - 91)")});
    EXPECT_EQ(view->Tabs()->currentIndex(), 2);
    EXPECT_EQ(base().current.head.strahPolis, stored);
    TypeInto(1026, QStringLiteral("112-305-418 91"));
    StepTab(Qt::Key_Left);
    EXPECT_EQ(view->Tabs()->currentIndex(), 1);
    EXPECT_EQ(base().current.head.strahPolis, QStringLiteral("112-305-418 91"));
    ib::LoadEmployee(base(), base().list[1].slot);
    EXPECT_EQ(base().current.head.strahPolis, QStringLiteral("112-305-418 91"));
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(UiRecordCard, AmountsTakeADecimalCommaAndUnreadAmountsAreRefusedByName)
{
    ApplyNumber(view->Strip(), tabN(1));
    const double salary = base().current.head.oklad;
    TypeInto(1024, QStringLiteral("0,5"));
    TypeInto(1005, QStringLiteral("12,345"));
    PressKey(Qt::Key_F4);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(view->m_tabN, unsigned(tabN(2)));
    EXPECT_EQ(Column("konst", "stavka", 1), QStringList{QStringLiteral("50.00")}); // half a rate: 50 %
    PressKey(Qt::Key_F3);
    EXPECT_EQ(Field(1024)->text(), QStringLiteral("0.50"));
    EXPECT_EQ(Field(1005)->text(), QStringLiteral("12.345"));

    // Text that does not read in full is named and keeps the stored amount.
    TypeInto(1004, QStringLiteral("30000,50,1"));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Некорректное число в поле \"Оклад\": 30000,50,1")});
    EXPECT_EQ(view->m_tabN, unsigned(tabN(1)));
    EXPECT_EQ(base().current.head.oklad, salary);
    EXPECT_EQ(Field(1004)->text(), QStringLiteral("30000,50,1"));
    TypeInto(1004, QStringLiteral("30000,50"));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Column("konst", "oklad", 1), QStringList{QStringLiteral("3000050.00")});

    // An amount below 0 and a rate above the full one (1.00) are refused
    // as the field is left, naming the field and never another book; the
    // employee keeps what he stored.
    PressKey(Qt::Key_F3);
    ASSERT_EQ(view->m_tabN, unsigned(tabN(1)));
    const struct {
        int field;
        const char* text;
        const char* refusal;
    } outOfRange[] = {
        {1004, "-1", "Значение поля \"Оклад\" должно быть от 0.00 до 999999999999.99: -1"},
        {1025, "-1", "Значение поля \"Плановый аванс\" должно быть от 0.00 до 999999999999.99: -1"},
        {1026, "-1", "Значение поля \"Персональная надбавка\" должно быть от 0.00 до 999999999999.99: -1"},
        {1024, "1,5", "Значение поля \"Ставка\" должно быть от 0.00 до 1.00: 1,5"},
        {1024, "-0,5", "Значение поля \"Ставка\" должно быть от 0.00 до 1.00: -0,5"},
    };
    const ib::EmployeeHead stored = base().current.head;
    for (const auto& c : outOfRange) {
        SCOPED_TRACE(c.text);
        const QString shown = Field(c.field)->text();
        boxes.boxes.clear();
        TypeInto(c.field, QString::fromUtf8(c.text));
        PressKey(Qt::Key_Tab);
        Settle();
        EXPECT_EQ(boxes.Texts(), QStringList{QString::fromUtf8(c.refusal)});
        EXPECT_EQ(QApplication::focusWidget(), Field(c.field));
        PressKey(Qt::Key_Escape);
        Settle();
        EXPECT_EQ(Field(c.field)->text(), shown);
    }
    boxes.boxes.clear();
    PressKey(Qt::Key_F4);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(u'|').toStdString();
    ib::LoadEmployee(base(), base().list[1].slot);
    EXPECT_EQ(base().current.head.oklad, stored.oklad);
    EXPECT_EQ(base().current.head.avans, stored.avans);
    EXPECT_EQ(base().current.head.nadbav, stored.nadbav);
    EXPECT_EQ(base().current.head.stavka, stored.stavka);
}

// The planned advance is asked about as it is left when it is larger than
// what the card, as typed, pays for the reporting month: an hourly worker
// ("Тарифник", schedule 1) at 100.000 an hour for the 176 planned hours of
// March 2026 by the schedule's week (22 weekdays of 8 hours: the base's
// schedule keeps the five-day week alone) earns 17,600.00; a salaried one
// his salary. "Нет" shows the advance shown
// before; "Да" takes it, and it is stored with the card.
TEST_F(UiRecordCard, APlannedAdvanceAboveWhatTheCardPaysForTheMonthIsAskedAbout)
{
    ApplyNumber(view->Strip(), tabN(1));
    const auto question = [](const char* reckoned, const char* advance, const char* earned) {
        return QStringList{
            QStringLiteral("Величина аванса %1 больше %2 по карточке работника (%3).\n"
                           "Непокрытая часть аванса останется долгом работника. Принять аванс?")
                .arg(QString::fromUtf8(advance), QString::fromUtf8(reckoned), QString::fromUtf8(earned))};
    };
    TypeInto(md::kPaySystemField, QStringLiteral("2"));
    TypeInto(md::kScheduleField, QStringLiteral("1"));
    TypeInto(1004, QStringLiteral("0"));
    TypeInto(1026, QStringLiteral("0"));
    TypeInto(1005, QStringLiteral("100"));
    const QString shown = Field(md::kPlannedAdvanceField)->text();
    boxes.boxes.clear();
    boxes.answer = IDNO;
    TypeInto(md::kPlannedAdvanceField, QStringLiteral("99999999"));
    PressKey(Qt::Key_Tab);
    Settle();
    EXPECT_EQ(boxes.Texts(),
              question("заработка за плановое время месяца по тарифу повременщика", "99999999.00", "17600.00"))
        << boxes.Texts().join(u'|').toStdString();
    EXPECT_EQ(Field(md::kPlannedAdvanceField)->text(), shown);
    boxes.boxes.clear();
    TypeInto(md::kPlannedAdvanceField, QStringLiteral("17600"));
    PressKey(Qt::Key_Tab);
    Settle();
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(u'|').toStdString();

    TypeInto(md::kPaySystemField, QStringLiteral("4"));
    TypeInto(1004, QStringLiteral("14000"));
    boxes.answer = IDYES;
    TypeInto(md::kPlannedAdvanceField, QStringLiteral("14000.01"));
    PressKey(Qt::Key_Tab);
    Settle();
    EXPECT_EQ(boxes.Texts(), question("оклада с надбавкой", "14000.01", "14000.00"));
    EXPECT_EQ(Field(md::kPlannedAdvanceField)->text(), QStringLiteral("14000.01"));
    PressKey(Qt::Key_F4);
    Settle();
    EXPECT_EQ(Column("konst", "avans", 1), QStringList{QStringLiteral("1400001.00")});
}

// A new card: "-40x" in "Оклад" is refused as the field is left, also when
// the focus goes to the strip (which greys the card): the card is editable
// again, the focus back in the field, the name typed kept; the amount mended,
// the card saves. With an amount refused, the program is still left after a
// question.
TEST_F(UiRecordCard, ARefusedAmountIsSaidWhenLeftAndTheCardStaysEditable)
{
    ApplyNumber(view->Strip(), 7777);
    ASSERT_EQ(view->m_tabN, 7777u);
    TypeInto(1077, QStringLiteral("Novikov Oleg Petrovich"));
    TypeInto(1004, QStringLiteral("-40x"));
    boxes.boxes.clear();
    PressKey(Qt::Key_Tab);
    Settle();
    const QStringList refused{QStringLiteral("Некорректное число в поле \"Оклад\": -40x")};
    EXPECT_EQ(boxes.Texts(), refused);
    EXPECT_EQ(QApplication::focusWidget(), Field(1004));
    EXPECT_EQ(Field(1004)->text(), QStringLiteral("-40x"));

    boxes.boxes.clear();
    view->Strip()->Field(CTabelFilterDlg::IdTabN)->setFocus();
    Settle();
    EXPECT_EQ(boxes.Texts(), refused);
    EXPECT_TRUE(view->Page()->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), Field(1004));
    EXPECT_EQ(Field(1077)->text(), QStringLiteral("Novikov Oleg Petrovich"));

    TypeInto(1004, QStringLiteral("40"));
    PressKey(Qt::Key_Tab);
    Settle();
    ASSERT_NE(frame->SwitchView<CEmptyView>(), nullptr);
    const int slot = base().list[std::size_t(base().FindEmployee(7777))].slot;
    EXPECT_EQ(base().shortNameOf(slot), QStringLiteral("Novikov O. P."));
    view = frame->SwitchView<CWorkerUchKartView>();
    ApplyNumber(view->Strip(), 7777);
    EXPECT_EQ(Field(1004)->text(), QStringLiteral("40.00"));

    // Closing the window with a refused amount says the refusal alone and
    // keeps the card; Esc gives the amount up, and the window then closes.
    TypeInto(1004, QStringLiteral("-40x"));
    boxes.boxes.clear();
    boxes.answer = IDNO;
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(boxes.Texts(), refused);
    EXPECT_TRUE(view->Page()->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), Field(1004));
    PressKey(Qt::Key_Escape);
    Settle();
    EXPECT_EQ(Field(1004)->text(), QStringLiteral("40.00"));
    boxes.answer = IDYES;
    EXPECT_TRUE(frame->close());
}

// Esc on the card asks before it abandons what was typed: a refused amount
// is given up first (its stored text back), "Нет" keeps every other text
// typed, "Да" shows the stored card again, editable, the focus in its
// first field, a value typed then taken; the card is then left without a
// word and nothing abandoned is stored.
TEST_F(UiRecordCard, EscapeAbandonsTheChangesAfterAQuestion)
{
    ApplyNumber(view->Strip(), tabN(1));
    const QString name = Field(1077)->text();
    const QString salary = Field(1004)->text();
    const double stored = base().current.head.oklad;
    TypeInto(1077, QStringLiteral("Changed Name"));
    TypeInto(1004, QStringLiteral("-40x"));
    boxes.boxes.clear();
    boxes.answer = IDNO;
    PressKey(Qt::Key_Escape);
    const QStringList question{QStringLiteral("Отменить изменения, внесенные в карточку?")};
    EXPECT_EQ(boxes.Texts(), question);
    EXPECT_EQ(Field(1077)->text(), QStringLiteral("Changed Name"));
    EXPECT_EQ(Field(1004)->text(), salary);
    EXPECT_EQ(QApplication::focusWidget(), Field(1004));

    boxes.boxes.clear();
    boxes.answer = IDYES;
    PressKey(Qt::Key_Escape);
    Settle();
    EXPECT_EQ(boxes.Texts(), question);
    EXPECT_EQ(Field(1077)->text(), name);
    EXPECT_EQ(Field(1004)->text(), salary);
    EXPECT_TRUE(view->Page()->isEnabled());
    EXPECT_TRUE(Field(1004)->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), Field(1077));
    boxes.boxes.clear();
    TypeInto(1024, QStringLiteral("0,75"));
    PressKey(Qt::Key_Tab);
    Settle();
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(Field(1024)->text(), QStringLiteral("0,75"));
    boxes.boxes.clear();
    ASSERT_NE(frame->SwitchView<CEmptyView>(), nullptr);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(base().current.head.oklad, stored);
    EXPECT_EQ(base().current.head.stavka, 75);
    EXPECT_EQ(Column("konst", "fio", 1), QStringList{record(1).head.fio});
}

// A card left for another screen with "-40x" in "Оклад" (the field not left
// before) says the refusal once for the attempt; the card stays, editable,
// the focus in the field, and takes the amount mended.
TEST_F(UiRecordCard, LeavingARefusedCardSaysItOnce)
{
    ApplyNumber(view->Strip(), tabN(1));
    TypeInto(1004, QStringLiteral("-40x"));
    boxes.boxes.clear();
    EXPECT_EQ(frame->SwitchView<CEmptyView>(), nullptr);
    Settle();
    EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Некорректное число в поле \"Оклад\": -40x")});
    EXPECT_EQ(frame->CurrentView(), view);
    EXPECT_TRUE(Field(1004)->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), Field(1004));
    TypeInto(1004, QStringLiteral("40"));
    boxes.boxes.clear();
    ASSERT_NE(frame->SwitchView<CEmptyView>(), nullptr);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(Column("konst", "oklad", 1), QStringList{QStringLiteral("4000.00")});
}

// The card's dates typed as digits and dots; a month field takes "5.2011"
// and refuses a thirteenth month.
TEST_F(UiRecordCard, DatesAreTypedAsDigitsAndDots)
{
    ApplyNumber(view->Strip(), tabN(0));
    const QDate reportingMonth(ib::FixtureBase::Year, ib::FixtureBase::Month, 1);
    CheckTypedDates(view->Page()->controlAs<NullableDateEdit>(1007), view->Page()->control(1021), reportingMonth);
    CheckTypedDates(view->Page()->controlAs<NullableDateEdit>(1009), view->Page()->control(1028), reportingMonth);

    auto* month = view->Page()->controlAs<NullableDateEdit>(1017);
    boxes.boxes.clear();
    for (const char* typed : {"5.2011", "05.11", "13.2011"}) {
        month->setFocus(Qt::TabFocusReason);
        TypeKeys(QString::fromUtf8(typed));
        PressKey(Qt::Key_Tab);
    }
    EXPECT_EQ(month->Date(), QDate(2011, 5, 1));
    EXPECT_EQ(month->text(), QStringLiteral("13.2011"));
    EXPECT_EQ(boxes.Texts(),
              QStringList(QStringLiteral("Некорректный месяц в поле \"Начало 1го периода инвал-ти\": 13.2011.\n"
                                         "Месяц вводится как ММ.ГГГГ или ММ.ГГ")));
}

// "20071985" typed into the birth date reads as 20.07.1985 (digits alone, cut
// the only way they can be); a text that is no date is refused aloud, stays
// selected, and keeps the card on its employee until it is mended, so the
// date typed next goes to the card it was typed on and to no other.
TEST_F(UiRecordCard, ADateThatDoesNotReadKeepsTheCardAndGoesToNoOtherEmployee)
{
    const QStringList secondBefore = Column("konst", "datR", 1);
    ApplyNumber(view->Strip(), tabN(0));
    auto* birth = view->Page()->controlAs<NullableDateEdit>(1007);
    auto typeDate = [&](const char* text) {
        birth->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        TypeKeys(QString::fromUtf8(text));
        PressKey(Qt::Key_Tab);
    };
    typeDate("20071985");
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(birth->text(), QStringLiteral("20.07.1985"));

    const QString refusal = QStringLiteral(
        "Некорректная дата в поле \"Дата рождения\": 2007198.\nДата вводится как ДД.ММ.ГГГГ или ДД.ММ.ГГ");
    typeDate("2007198");
    EXPECT_EQ(boxes.Texts(), QStringList{refusal});
    EXPECT_EQ(QApplication::focusWidget(), birth);
    EXPECT_EQ(birth->selectedText(), QStringLiteral("2007198"));
    // F4 and the strip are refused with the same words; the card stays.
    PressKey(Qt::Key_F4);
    EXPECT_EQ(boxes.Texts(), QStringList({refusal, refusal}));
    EXPECT_EQ(view->m_tabN, unsigned(tabN(0)));
    view->Strip()->Field(CTabelFilterDlg::IdTabN)->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(boxes.Texts(), QStringList({refusal, refusal, refusal}));
    EXPECT_EQ(view->m_tabN, unsigned(tabN(0)));
    EXPECT_EQ(QApplication::focusWidget(), birth);
    EXPECT_EQ(birth->selectedText(), QStringLiteral("2007198"));

    // A four-digit year that two year digits cannot keep names the years.
    boxes.boxes.clear();
    TypeKeys(QStringLiteral("10.01.1930"));
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(boxes.Texts(),
              QStringList(QStringLiteral(
                  "Некорректная дата в поле \"Дата рождения\": 10.01.1930.\nГод может быть от 1947 до 2046")));

    // The date typed now is the first employee's; the second's stays as it was.
    boxes.boxes.clear();
    TypeKeys(QStringLiteral("10.10.1980"));
    PressKey(Qt::Key_F4);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(view->m_tabN, unsigned(tabN(1)));
    EXPECT_EQ(Column("konst", "datR", 0), QStringList{QStringLiteral("1980-10-10")});
    EXPECT_EQ(Column("konst", "datR", 1), secondBefore);
}

TEST_F(UiRecordCard, ANewNumberMakesANewCard)
{
    const int count = base().employeeCount();
    boxes.answer = IDNO;
    ApplyNumber(view->Strip(), 7777);
    EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Создать новую запись?")});
    EXPECT_LT(base().FindEmployee(7777), 0);

    // Numbers a list entry cannot hold are refused before the question.
    boxes.boxes.clear();
    ApplyNumber(view->Strip(), 9000);
    EXPECT_EQ(boxes.Texts(),
              QStringList{QStringLiteral("Значение поля \"Табельный номер\" должно быть от 0 до 8191: 9000")});

    boxes.answer = IDYES;
    ApplyNumber(view->Strip(), 7777);
    const int index = base().FindEmployee(7777);
    ASSERT_GE(index, 0);
    EXPECT_EQ(index, count); // the largest number goes last
    EXPECT_EQ(base().otherList.front().tabN(), 7777);
    EXPECT_EQ(view->m_tabN, 7777u);
    EXPECT_TRUE(Field(1077)->text().isEmpty());

    // The name typed into the new card is saved with its short name by F3;
    // the card is saved, and told what the calculation still needs.
    TypeInto(1077, QStringLiteral("Novikov Oleg Petrovich"));
    boxes.boxes.clear();
    PressKey(Qt::Key_F3);
    const int slot = base().list[std::size_t(index)].slot;
    EXPECT_EQ(base().shortNameOf(slot), QStringLiteral("Novikov O. P."));
    EXPECT_EQ(view->m_tabN, unsigned(tabN(count - 1)));
    EXPECT_EQ(boxes.Texts(),
              QStringList{QStringLiteral("Карточка сохранена, но в ней не указано: дата рождения.\n"
                                         "Без этих данных расчет зарплаты работника не выполняется "
                                         "(дата рождения указывается на странице \"Паспортные данные\").")});
    // Said once: the card saved again says nothing more.
    boxes.boxes.clear();
    ApplyNumber(view->Strip(), 7777);
    PressKey(Qt::Key_F3);
    EXPECT_TRUE(boxes.boxes.empty());
}

// The coded fields of the main page show the name of their value beside
// them, and F1 offers the schedules described by their week.
TEST_F(UiRecordCard, CodedFieldsShowTheNamesOfTheirValues)
{
    ib::WorkSchedule& week = base().scheduleAt(1);
    week.rabDnNed = 0x1F; // Monday to Friday
    week.rdHr = 8;
    week.rdMin = 0;
    week.pRab = 0;
    ib::WorkSchedule& shifts = base().scheduleAt(2);
    shifts.rabDnNed = 0;
    shifts.pRab = 2;
    shifts.pVyh = 2;
    shifts.rdHr = 12;
    shifts.rdMin = 0;
    doc.refFiles.nalog[2].name = QStringLiteral("Основная ставка 13 %");
    ApplyNumber(view->Strip(), tabN(0));
    auto nameOf = [&](int id, const QString& typed) {
        TypeInto(id, typed);
        return qobject_cast<CWorkerUchKartPage*>(view->Page())->ValueName(id)->text();
    };
    EXPECT_EQ(nameOf(1003, QStringLiteral("4")), QStringLiteral("Окладник"));
    EXPECT_EQ(nameOf(1003, QStringLiteral("1")), QStringLiteral("Сдельщик"));
    EXPECT_EQ(nameOf(1016, QString()), QStringLiteral("Продолжает работать"));
    EXPECT_EQ(nameOf(1016, QStringLiteral("4")), QStringLiteral("Уволен и уже не работает"));
    EXPECT_EQ(nameOf(1002, QStringLiteral("4")), QStringLiteral("Рабочие"));
    EXPECT_EQ(nameOf(1000, QStringLiteral("1")), QStringLiteral("5-дневная неделя, день 8 ч"));
    EXPECT_EQ(nameOf(1000, QStringLiteral("2")), QStringLiteral("сменный: 2 раб. / 2 вых., день 12 ч"));
    EXPECT_EQ(nameOf(1000, QStringLiteral("25")), QStringLiteral("нет такого значения"));
    // A number being typed is named as it stands, a sign alone too, never a
    // schedule before the first ("-4" once crashed here).
    EXPECT_EQ(nameOf(1000, QStringLiteral("-4")), QStringLiteral("нет такого значения"));
    // Left, the schedule beyond 20 is refused and keeps the focus: mended first.
    TypeInto(1000, QStringLiteral("2"));
    EXPECT_EQ(nameOf(1020, QStringLiteral("3")), QStringLiteral("Основная ставка 13 %"));

    Field(1000)->setFocus();
    QApplication::processEvents();
    PressKey(Qt::Key_F1);
    ASSERT_NE(view->HelpList(), nullptr);
    QTableWidget* table = view->HelpList()->table();
    ASSERT_EQ(table->rowCount(), 20);
    EXPECT_EQ(table->item(1, 1)->text(), QStringLiteral("2"));
    EXPECT_EQ(table->item(1, 2)->text(), QStringLiteral("сменный: 2 раб. / 2 вых., день 12 ч"));
    // A schedule left as the empty base holds it works Monday to Friday
    // days of the firm's length, as the calculation takes it.
    ib::WorkSchedule& blank = base().scheduleAt(20);
    ASSERT_EQ(blank.rabDnNed, 0);
    ASSERT_EQ(blank.rdHr * 60 + blank.rdMin, 0);
    EXPECT_EQ(table->item(19, 2)->text(), QStringLiteral("5-дневная неделя, день %1 ч").arg(base().firm.dnHr()))
        << base().firm.dnMin();
    view->HelpList()->close();
    Settle();
}

// Alt+F10 deletes the card after the question; the card made next takes his
// slot and none of his advance, in memory and in the base.
TEST_F(UiRecordCard, AltF10DeletesAfterTheQuestion)
{
    const int number = tabN(3);
    const int slot = base().list[3].slot;
    const double advance = base().avOf(slot);
    ASSERT_GT(advance, 0);
    const QString question = QStringLiteral("Вы действительно хотите удалить учетную карточку\nработника %1 Таб.N %2")
                                 .arg(base().shortNameOf(slot))
                                 .arg(number);
    ApplyNumber(view->Strip(), number);
    view->Page()->setFocus();
    boxes.answer = IDNO;
    PressKey(Qt::Key_F10, Qt::AltModifier);
    EXPECT_EQ(boxes.Texts(), QStringList{question});
    EXPECT_GE(base().FindEmployee(number), 0);

    boxes.answer = IDYES;
    view->Page()->setFocus();
    PressKey(Qt::Key_F10, Qt::AltModifier);
    EXPECT_LT(base().FindEmployee(number), 0);
    QSqlQuery rows(ib::Db(base()));
    ASSERT_TRUE(rows.exec(QStringLiteral("SELECT COUNT(*) FROM dbo.konst WHERE tabN = %1").arg(number)));
    ASSERT_TRUE(rows.next());
    EXPECT_EQ(rows.value(0).toInt(), 0);
    EXPECT_TRUE(view->Strip()->Field(CTabelFilterDlg::IdTabN)->text().isEmpty());
    EXPECT_TRUE(Field(1077)->text().isEmpty());
    // Stepping finds the deleted number no more and does nothing.
    PressKey(Qt::Key_F4);
    EXPECT_TRUE(Field(1077)->text().isEmpty());
    // The emptied card takes no typing until a number is applied.
    EXPECT_FALSE(Field(1077)->isEnabled());
    EXPECT_FALSE(view->Tabs()->isEnabled());
    Field(1077)->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(Field(1077)->hasFocus());
    ApplyNumber(view->Strip(), tabN(0));
    EXPECT_TRUE(Field(1077)->isEnabled());
    EXPECT_EQ(Field(1077)->text(), record(0).head.fio);

    ApplyNumber(view->Strip(), 7777);
    const int made = base().FindEmployee(7777);
    ASSERT_GE(made, 0);
    ASSERT_EQ(base().list[std::size_t(made)].slot, slot);
    EXPECT_EQ(base().avOf(slot), 0);
    kalvor::PayrollDoc stored;
    payrolltest::ReloadStored(stored, base());
    EXPECT_EQ(stored.infoBase.avOf(slot), 0) << "his advance was " << advance;
    ib::CloseBase(stored.infoBase);
}

TEST_F(UiRecordCard, PropertyDeductionAsksBeforeChangingATotal)
{
    ApplyNumber(view->Strip(), tabN(2));
    StepTab(Qt::Key_Right);
    ASSERT_EQ(view->Page()->DialogId(), CWorkerUchkartExDDlg::IDD);
    TypeInto(1096, QStringLiteral("1000"));
    PressKey(Qt::Key_Tab);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(Field(1118)->text(), QStringLiteral("1000.00"));
    EXPECT_FALSE(view->Page()->controlAs<NullableDateEdit>(1082)->IsNull());

    boxes.answer = IDNO;
    TypeInto(1096, QStringLiteral("2000"));
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Имущественный вычет уже задан !\n\nИзменить значение?")});
    EXPECT_EQ(Field(1096)->text(), QStringLiteral("1000.00"));

    boxes.answer = IDYES;
    TypeInto(1096, QStringLiteral("2000"));
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(Field(1096)->text(), QStringLiteral("2000.00"));
    EXPECT_EQ(Field(1118)->text(), QStringLiteral("2000.00"));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(Column("konst", "imvichBeg", 2), QStringList{QStringLiteral("200000")});
    EXPECT_EQ(Column("konst", "imvichOst", 2), QStringList{QStringLiteral("200000")});
}

TEST_F(UiRecordCard, GroupAppendOfTheShopAloneKeepsEverythingElse)
{
    // The second member has a dated archive, which the append must keep.
    const int slot = base().list[4].slot;
    ib::LoadEmployee(base(), slot);
    base().warDat.entries[0].kod = 156;
    base().warDat.entries[0].sum = 500'000;
    base().warDat.entries[0].start = kalvor::PackedDate::make(2, 2, 26).value;
    base().warDat.warDatKv = 1;
    ib::SaveEmployeeFull(base(), slot);
    base().ClearCurrentRecord();
    const ib::EmployeeAttributes secondBefore = base().attributesOf(base().list[2].slot);
    const ib::EmployeeAttributes fourthBefore = base().attributesOf(base().list[4].slot);
    const ib::EmployeeRecord fourth = record(4);

    ApplyNumber(view->Strip(), tabN(0));
    view->TakeHelpValues({QString::number(tabN(2)), QString::number(tabN(4))});
    Settle();
    ASSERT_TRUE(view->Page()->m_groupMode);
    EXPECT_TRUE(Field(1077)->text().isEmpty());
    TypeInto(1001, QStringLiteral("3"));
    PressKey(Qt::Key_Return);
    Settle();
    EXPECT_FALSE(view->Page()->m_groupMode);
    for (int index : {2, 4}) {
        const int member = base().list[std::size_t(index)].slot;
        EXPECT_EQ(base().shopOf(member), 3);
        EXPECT_TRUE(base().attributesOf(member) == (index == 2 ? secondBefore : fourthBefore));
    }
    EXPECT_NE(base().shopOf(base().list[0].slot), 3);
    EXPECT_EQ(Column("warDat", "kod", 4), QStringList{QStringLiteral("156")});
    ib::LoadEmployee(base(), slot);
    EXPECT_TRUE(base().current.head == fourth.head);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(UiRecordCard, AFailedSaveKeepsTheEmployeeAndLeavingSaves)
{
    ApplyNumber(view->Strip(), tabN(1));
    TypeInto(1025, QStringLiteral("5000"));
    kalvor::db::InjectFailureAfter(1);
    PressKey(Qt::Key_F4);
    kalvor::db::InjectFailureAfter(0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].text.startsWith(QStringLiteral("ОБНАРУЖЕНА ОШИБКА")));
    EXPECT_EQ(view->m_tabN, unsigned(tabN(1)));
    EXPECT_NE(Column("konst", "avans", 1), QStringList{QStringLiteral("500000.00")});
    // The next F4 saves what the base refused and goes on.
    PressKey(Qt::Key_F4);
    EXPECT_EQ(Column("konst", "avans", 1), QStringList{QStringLiteral("500000.00")});
    EXPECT_EQ(view->m_tabN, unsigned(tabN(2)));

    // The base refuses his card (a trigger on his master row): the box names
    // him and gives the trigger's words in a few lines, without the
    // statement; his card stays on the screen, the base keeps his old one.
    const int slot = base().list[2].slot;
    const QString words = QStringLiteral("Карточка закрыта для изменений");
    {
        const kalvor::testsupport::RefusingTrigger refusal(ib::Db(base()), QStringLiteral("konst"), words,
                                                           QStringLiteral("NEW.rec = %1").arg(slot));
        ApplyNumber(view->Strip(), tabN(2));
        TypeInto(1025, QStringLiteral("7100"));
        PressKey(Qt::Key_F4);
    }
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text,
              QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nКарточка работника Таб.N %1 %2 не сохранена.\nБаза данных отказала "
                             "в записи: %3")
                  .arg(tabN(2))
                  .arg(base().shortNameOf(slot).trimmed(), words));
    EXPECT_TRUE(kalvor::testsupport::SaysNoStatement(boxes.boxes[1].text));
    EXPECT_EQ(view->m_tabN, unsigned(tabN(2)));
    EXPECT_NE(Column("konst", "avans", 2), QStringList{QStringLiteral("710000.00")});
    // Memory's lists are the ones the base holds.
    {
        kalvor::PayrollDoc stored;
        payrolltest::ReloadStored(stored, base());
        EXPECT_EQ(stored.infoBase.list, base().list);
        EXPECT_EQ(EveryShortName(stored.infoBase), EveryShortName(base()));
        EXPECT_EQ(EveryAttributes(stored.infoBase), EveryAttributes(base()));
        ib::CloseBase(stored.infoBase);
    }

    // The base refuses his list row, the last of the save's tables, after
    // his record's and the short names' rows were taken: nothing of the save
    // stays, his new advance neither, and the box names him.
    const auto storedShop = [&] {
        QSqlQuery q(ib::Db(base()));
        q.prepare(QStringLiteral("SELECT otd FROM dbo.comp WHERE num = ?"));
        q.addBindValue(slot);
        EXPECT_TRUE(q.exec() && q.next());
        return q.value(0).toInt();
    };
    const int shopBefore = storedShop();
    {
        const kalvor::testsupport::RefusingTrigger refusal(ib::Db(base()), QStringLiteral("comp"), words,
                                                           QStringLiteral("NEW.num = %1").arg(slot));
        TypeInto(1025, QStringLiteral("7200"));
        TypeInto(1001, QString::number(shopBefore == 3 ? 2 : 3));
        PressKey(Qt::Key_F4);
    }
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_TRUE(boxes.boxes[2].text.startsWith(QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nКарточка работника Таб.N %1")
                                                   .arg(tabN(2))))
        << boxes.boxes[2].text.toStdString();
    EXPECT_TRUE(boxes.boxes[2].text.endsWith(words)) << boxes.boxes[2].text.toStdString();
    EXPECT_EQ(view->m_tabN, unsigned(tabN(2)));
    EXPECT_NE(Column("konst", "avans", 2), QStringList{QStringLiteral("720000.00")});
    EXPECT_EQ(storedShop(), shopBefore);

    // Leaving for another screen saves what was typed on the page.
    TypeInto(1025, QStringLiteral("7000"));
    ASSERT_NE(frame->SwitchView<CEmptyView>(), nullptr);
    EXPECT_EQ(Column("konst", "avans", 2), QStringList{QStringLiteral("700000.00")});
}

TEST_F(UiRecordCard, AFullBaseRefusesANewCardAndAnEmptyBaseIsSaidSo)
{
    // Fill the free slots, then one more new number is refused.
    int number = 7000;
    while (base().employeeCount() < base().capacity())
        ASSERT_GT(kalvor::masterdata::CreateEmployeeCard(base(), ++number), 0);
    ApplyNumber(view->Strip(), 7999);
    EXPECT_EQ(boxes.Texts(),
              QStringList({QStringLiteral("Создать новую запись?"),
                           QStringLiteral("Невозможно создать новую запись.\nБаза данных переполнена.")}));
    EXPECT_LT(base().FindEmployee(7999), 0);

    // Deleting every card but one, and the last by Alt+F10.
    while (base().employeeCount() > 1) kalvor::masterdata::DeleteEmployeeCard(base(), 0);
    boxes.boxes.clear();
    ApplyNumber(view->Strip(), tabN(0));
    view->Page()->setFocus();
    PressKey(Qt::Key_F10, Qt::AltModifier);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text, QStringLiteral("База пуста"));
    EXPECT_EQ(base().employeeCount(), 0);
    EXPECT_TRUE(Field(1077)->text().isEmpty());
    EXPECT_TRUE(view->Strip()->Field(CTabelFilterDlg::IdTabN)->text().isEmpty());
}

TEST_F(UiRecordCard, F1ShowsThePickListsAndHintsOfThePages)
{
    ApplyNumber(view->Strip(), tabN(0));
    Field(1016)->setFocus();
    QApplication::processEvents();
    PressKey(Qt::Key_F1);
    CFieldHelpList* list = view->HelpList();
    ASSERT_NE(list, nullptr);
    QTableWidget* table = list->table();
    ASSERT_EQ(table->rowCount(), 6);
    EXPECT_EQ(table->item(3, 2)->text(), QStringLiteral("Принят на работу в текущем месяце"));
    table->setCurrentCell(3, 1);
    QTest::keyClick(table, Qt::Key_Return);
    Settle();
    EXPECT_EQ(Field(1016)->text(), QStringLiteral("3"));

    // The passport page's document kinds.
    StepTab(Qt::Key_Right);
    StepTab(Qt::Key_Right);
    ASSERT_EQ(view->Tabs()->currentIndex(), 2);
    Field(1031)->setFocus();
    QApplication::processEvents();
    PressKey(Qt::Key_F1);
    ASSERT_NE(view->HelpList(), nullptr);
    ASSERT_EQ(view->HelpList()->table()->rowCount(), 5);
    EXPECT_EQ(view->HelpList()->table()->item(4, 1)->text(), QStringLiteral("21"));
    view->HelpList()->close();
    Settle();
    // "Пол": М and Ж.
    Field(1028)->setFocus();
    QApplication::processEvents();
    PressKey(Qt::Key_F1);
    ASSERT_NE(view->HelpList(), nullptr);
    ASSERT_EQ(view->HelpList()->table()->rowCount(), 2);
    EXPECT_EQ(view->HelpList()->table()->item(0, 1)->text(), QStringLiteral("М"));
    EXPECT_EQ(view->HelpList()->table()->item(1, 1)->text(), QStringLiteral("Ж"));
    view->HelpList()->close();
    Settle();

    // A hint beside a field of the main page.
    StepTab(Qt::Key_Left);
    StepTab(Qt::Key_Left);
    ASSERT_EQ(view->Tabs()->currentIndex(), 0);
    Field(1019)->setFocus();
    QApplication::processEvents();
    PressKey(Qt::Key_F1);
    EXPECT_TRUE(view->HintShown());
}

// A new card filled field by field keeps its layout: every value a coded
// field can take (and a number outside its list) leaves every control of the
// page where it stood, so that a click by sight lands where it was aimed.
TEST_F(UiRecordCard, ANewCardKeepsItsLayoutWhileItIsFilled)
{
    frame->resize(1024, 768);
    Settle();
    boxes.answer = IDYES;
    ApplyNumber(view->Strip(), 7777);
    ASSERT_GE(base().FindEmployee(7777), 0);
    auto* page = qobject_cast<CWorkerUchKartPage*>(view->Page());
    ASSERT_NE(page, nullptr);
    // Every control of the page and its place in the window.
    const auto places = [&] {
        QMap<QString, QRect> out;
        for (QWidget* w : page->findChildren<QWidget*>())
            if (w->isVisible() && w->objectName().startsWith(QStringLiteral("control")))
                out.insert(w->objectName(), QRect(w->mapTo(frame.get(), QPoint()), w->size()));
        return out;
    };
    const QMap<QString, QRect> empty = places();
    ASSERT_EQ(empty.size(), 32); // 16 fields, 6 dates, 6 cost codes, 4 months
    const auto typed = [&](int id, const QString& text) {
        TypeInto(id, text);
        Settle();
        const QMap<QString, QRect> now = places();
        QStringList moved;
        for (auto it = empty.begin(); it != empty.end(); ++it)
            if (now.value(it.key()) != it.value())
                moved << it.key();
        return moved.join(u' ').toStdString();
    };
    EXPECT_EQ(typed(1077, QStringLiteral("Novikov Oleg")), "");
    for (const int id : kalvor::masterdata::kCodedFields) {
        QStringList values{QStringLiteral("99")};
        for (const QString& line : kalvor::masterdata::CodedFieldValues(id, doc)) values << line.section(u'|', 0, 0);
        for (const QString& value : values)
            EXPECT_EQ(typed(id, value.trimmed()), "") << id << " " << value.toStdString();
    }
    for (const int id : {1018, 1019, 1001, 1023, 1024, 1004, 1025, 1005, 1026, 1006})
        EXPECT_EQ(typed(id, QStringLiteral("12")), "") << id;
}
