// The firm's general data: each kind of field shown and read back, the
// holidays put in order and counted, the values their fields cannot hold
// refused, and the screen edited by keys and saved when it is left.
#include "masterdata/FirmGeneralData.h"
#include "masterdata/ui/CRefGenInfoView.h"

#include "infobase/InfoBaseDb.h"
#include "platform/DbTestHooks.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/TypedInput.h"
#include "support/StoredBase.h"
#include "support/TestFixture.h"

#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::masterdata;

namespace {

struct Stored {
    FirmInfo firm;
    InfoBaseConfig config;
    bool store(int id, const QString& text) { return StoreGenInfoField(id, text, firm, config); }
    QString text(int id) const { return GenInfoFieldText(id, firm, config); }
};

} // namespace

TEST(FirmGeneralData, WorkingDayLengthIsHoursDotMinutes)
{
    Stored s;
    EXPECT_TRUE(s.store(1079, "8.30"));
    EXPECT_EQ(s.firm.dnHr(), 8);
    EXPECT_EQ(s.firm.dnMin(), 30);
    EXPECT_EQ(s.text(1079), "8.30");
    EXPECT_TRUE(s.store(1079, "8.05"));
    EXPECT_EQ(s.firm.dnMin(), 5);
    EXPECT_EQ(s.text(1079), "8.05");
    EXPECT_FALSE(s.store(1079, "8.05"));
    // The other bits of the parameter word stay.
    s.firm.parWord |= 0x18;
    EXPECT_TRUE(s.store(1079, "7"));
    EXPECT_EQ(s.firm.parWord & 0x3F, 0x18);
    EXPECT_EQ(s.text(1079), "7.00");
    EXPECT_TRUE(s.store(1079, ""));
    EXPECT_EQ(s.text(1079), "");
    // Minutes above 59 or hours above 15 do not fit the word.
    EXPECT_FALSE(GenInfoFieldError(1079, "8.75").isEmpty());
    EXPECT_FALSE(GenInfoFieldError(1079, "16").isEmpty());
    EXPECT_TRUE(GenInfoFieldError(1079, "15.59").isEmpty());
}

TEST(FirmGeneralData, HolidaysAreSortedByMonthThenDayWithoutZerosAndRepeats)
{
    Stored s;
    const char* typed[12] = {"8.03", "", "1.01", "7.01", "1.1", "0.5", "23.02", "", "", "", "", "8.3"};
    for (int i = 0; i < 12; ++i) s.store(1081 + i, typed[i]);
    EXPECT_TRUE(CompactHolidays(s.firm));
    EXPECT_EQ(s.firm.feteKv, 4);
    EXPECT_EQ(s.text(1081), "1.01");
    EXPECT_EQ(s.text(1082), "7.01");
    EXPECT_EQ(s.text(1083), "23.02");
    EXPECT_EQ(s.text(1084), "8.03");
    for (int id = 1085; id <= 1092; ++id) EXPECT_EQ(s.text(id), "") << id;
    EXPECT_EQ(s.firm.feteMes[0], 2);
    EXPECT_EQ(s.firm.feteMes[1], 1);
    EXPECT_EQ(s.firm.feteMes[2], 1);
    EXPECT_EQ(s.firm.feteMes[3], 0);
    EXPECT_FALSE(CompactHolidays(s.firm)); // already in order
}

TEST(FirmGeneralData, LoanPercentHundredthsAndMoneyFields)
{
    Stored s;
    EXPECT_TRUE(s.store(1070, "12.5"));
    EXPECT_EQ(int(s.firm.procSsudWhole), 12);
    EXPECT_EQ(int(s.firm.procSsudHundredths), 50);
    EXPECT_EQ(s.text(1070), "12.50");
    EXPECT_TRUE(s.store(1070, "0.07"));
    EXPECT_EQ(s.text(1070), "0.07");
    // A text the field's rule refuses keeps the stored value, never 0.
    for (const char* refused : {"abc", "12.555", "128"}) {
        EXPECT_FALSE(s.store(1070, refused)) << refused;
        EXPECT_EQ(s.text(1070), "0.07") << refused;
    }
    EXPECT_TRUE(s.store(1070, ""));
    EXPECT_EQ(s.text(1070), "");

    EXPECT_TRUE(s.store(1063, "2.5"));
    EXPECT_EQ(s.firm.sbProcFirm, 250);
    EXPECT_EQ(s.text(1063), "2.50");
    EXPECT_FALSE(GenInfoFieldError(1064, "700").isEmpty()); // 70000 hundredths do not fit 16 bits

    EXPECT_TRUE(s.store(1023, "23400,5"));
    EXPECT_EQ(s.firm.blnMaxOgr, 2340050);
    EXPECT_FALSE(s.store(1023, "23400.005")); // a third decimal: refused, never rounded
    EXPECT_FALSE(s.store(1023, "-1"));
    EXPECT_EQ(s.text(1023), "23400.50");
    EXPECT_TRUE(s.store(1028, "4000"));
    EXPECT_EQ(s.firm.blnMinOgrDet2, 400000);
    // An amount is refused beyond the most its place keeps, and with a third
    // decimal, before anything is stored; the most is stored whole.
    EXPECT_EQ(GenInfoFieldError(1023, "1000000000000"),
              "Сумма в поле \"" + GenInfoFieldLabel(1023) + "\" больше допустимой: 1000000000000");
    EXPECT_FALSE(GenInfoFieldError(1023, "23400.005").isEmpty());
    EXPECT_FALSE(GenInfoFieldError(1023, "-1").isEmpty());
    EXPECT_TRUE(GenInfoFieldError(1023, "999999999999.99").isEmpty());
    EXPECT_TRUE(s.store(1023, "999999999999.99"));
    EXPECT_EQ(s.text(1023), "999999999999.99");
}

TEST(FirmGeneralData, FlagsAndNumbersWithTheirRanges)
{
    Stored s;
    s.config.okrugWord = 3; // okrugRas 3
    EXPECT_TRUE(s.store(1013, "1")); // 1 sets the month
    EXPECT_TRUE(s.config.korr(3));
    EXPECT_EQ(s.config.okrugRas(), 3);
    EXPECT_EQ(s.text(1013), "1");
    EXPECT_TRUE(s.store(1013, ""));
    EXPECT_FALSE(s.config.korr(3));

    EXPECT_TRUE(s.store(1080, "1"));
    EXPECT_TRUE(s.firm.nameOrder());
    EXPECT_TRUE(s.store(1080, "0"));
    EXPECT_FALSE(s.firm.nameOrder());
    // A flag is 1 or 0: any other text is refused by name, never read as its bit.
    for (int id : {1013, 1080})
        for (const char* text : {"2", "1x", "0,5"})
            EXPECT_FALSE(GenInfoFieldError(id, QString::fromUtf8(text)).isEmpty()) << id << text;
    // Whole numbers read in full: "12,75" and "40x" are refused, not stored as 12 and 40.
    EXPECT_EQ(GenInfoFieldError(1066, "12,75"), "В поле \"Районный процент\" вводится целое число: 12,75");
    EXPECT_EQ(GenInfoFieldError(1067, "40x"), "Некорректное число в поле \"Надбавка, %\": 40x");

    EXPECT_TRUE(s.store(1077, "4"));
    EXPECT_EQ(s.config.okrugVyp(), 4);
    EXPECT_TRUE(s.store(1076, "5"));
    EXPECT_EQ(s.config.okrugRas(), 5);
    for (int id : {1076, 1077}) {
        EXPECT_TRUE(GenInfoFieldError(id, "5").isEmpty());
        EXPECT_FALSE(GenInfoFieldError(id, "6").isEmpty()) << id;
    }
    EXPECT_FALSE(GenInfoFieldError(1067, "64").isEmpty());
    EXPECT_FALSE(GenInfoFieldError(1068, "16").isEmpty());
    EXPECT_FALSE(GenInfoFieldError(1069, "64").isEmpty());
    EXPECT_TRUE(GenInfoFieldError(1069, "63").isEmpty());
    EXPECT_EQ(GenInfoFieldError(1067, "70"), "Значение поля \"Надбавка, %\" должно быть от 0 до 63: 70");

    EXPECT_TRUE(s.store(1046, QString(200, QLatin1Char('x'))));
    EXPECT_EQ(s.firm.texts[FirmInfo::firmName].size(), kGenInfoTextLength);
}

namespace {

class GenInfoScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        doc.setWorkFolder(dir.path() + QLatin1Char('/'));
        base().baseName = QStringLiteral("geninfo");
        CreateSchemaBase(dir.path(), base().baseName);
        OpenBase(base());
        fx = BuildFixtureBase(base(), 8, 5);
        base().firm.parWord &= ~0x20u; // personnel-number order
        base().config.setSort(false);
        // Values in the precision the form keeps: holidays counted, whole kopecks.
        CompactHolidays(base().firm);
        base().firm.blnMaxOgr = std::round(base().firm.blnMaxOgr);
        SaveAll(base(), fx.records);
        LoadAll(base());
        frame = std::make_unique<CMainFrame>(&doc, &registry);
        frame->resize(1100, 800);
        ASSERT_TRUE(ShowActive(frame.get()));
        view = frame->SwitchView<CRefGenInfoView>();
        ASSERT_NE(view, nullptr);
    }
    void TearDown() override
    {
        frame.reset();
        CloseBase(base());
    }
    CInfoBase& base() { return doc.infoBase; }
    // The firm record, the configuration and the list as the base file holds them.
    struct Saved {
        FirmInfo firm;
        InfoBaseConfig config;
        std::vector<unsigned> listOrder;
    };
    Saved stored()
    {
        CInfoBase other;
        other.workFolder = base().workFolder;
        other.baseName = base().baseName;
        OpenStoredBase(other);
        LoadAll(other);
        Saved saved{other.firm, other.config, {}};
        for (const EmployeeListEntry& e : other.list) saved.listOrder.push_back(e.tabN());
        CloseBase(other);
        return saved;
    }
    std::vector<unsigned> listOrder()
    {
        std::vector<unsigned> order;
        for (const EmployeeListEntry& e : base().list) order.push_back(e.tabN());
        return order;
    }
    void typeInto(int id, const QString& text)
    {
        QLineEdit* edit = view->Field(id);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        TypeText(edit, text);
        QTest::keyClick(edit, Qt::Key_Tab);
        QApplication::processEvents();
    }
    QTemporaryDir dir;
    CKalvorDoc doc;
    CommandRegistry registry;
    FixtureBase fx;
    std::unique_ptr<CMainFrame> frame;
    CRefGenInfoView* view = nullptr;
};

} // namespace

TEST_F(GenInfoScreenTest, FieldsTypedByKeysAreSavedWhenTheScreenIsLeftAndTheListFollowsTheSortFlag)
{
    MessageRecorder boxes;
    EXPECT_EQ(view->Field(1046)->text(), base().firm.texts[FirmInfo::firmName]);
    const std::vector<unsigned> byNumber = listOrder();
    typeInto(1046, QStringLiteral("ООО Ромашка"));
    typeInto(1079, "8.30");
    typeInto(1081, "7.01");
    typeInto(1082, "1.01");
    for (int id = 1083; id <= 1092; ++id) typeInto(id, "");
    typeInto(1080, "1");
    QTest::keyClick(view, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(boxes.boxes.empty());

    const Saved saved = stored();
    EXPECT_EQ(saved.firm.texts[FirmInfo::firmName], QStringLiteral("ООО Ромашка"));
    EXPECT_EQ(saved.firm.dnHr(), 8);
    EXPECT_EQ(saved.firm.dnMin(), 30);
    EXPECT_EQ(saved.firm.fete[0], 1 * 256 + 1);
    EXPECT_EQ(saved.firm.fete[1], 7 * 256 + 1);
    EXPECT_EQ(saved.firm.feteMes[0], 2);
    EXPECT_TRUE(saved.config.sort());
    // The list in memory is now in name order, the order a new opening loads.
    EXPECT_EQ(listOrder(), saved.listOrder);
    EXPECT_NE(listOrder(), byNumber);
}

TEST_F(GenInfoScreenTest, AValueItsFieldCannotHoldIsRefusedAndKeepsTheFocus)
{
    MessageRecorder boxes;
    typeInto(1077, "7");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Значение поля \"Выплачиваемых\" должно быть от 0 до 5: 7");
    EXPECT_EQ(QApplication::focusWidget(), view->Field(1077));
    // Leaving is refused while the value stands; a good value lets it go.
    EXPECT_EQ(frame->SwitchView<CEmptyView>(), nullptr);
    typeInto(1077, "3");
    EXPECT_NE(frame->SwitchView<CEmptyView>(), nullptr);
    EXPECT_EQ(stored().config.okrugVyp(), 3);
}

// A holiday is typed as a day and a month; a typing slip is refused aloud and
// the holiday it would have cleared stays, since holidays move every month's
// norm of days and hours.
TEST_F(GenInfoScreenTest, AHolidayThatIsNoDayOfTheYearIsRefusedAndTheHolidayStays)
{
    const auto holidays = [this] {
        const auto fete = stored().firm.fete;
        return std::vector<unsigned>(fete.begin(), fete.end());
    };
    typeInto(1081, "7.01");
    EXPECT_NE(frame->SwitchView<CEmptyView>(), nullptr);
    const std::vector<unsigned> kept = holidays();
    ASSERT_NE(std::find(kept.begin(), kept.end(), 7u * 256 + 1), kept.end());
    for (const char* slip : {"10,01", "32.01", "31.02", "10.01.2030", "1.1abc"}) {
        view = frame->SwitchView<CRefGenInfoView>();
        const QString shown = view->Field(1081)->text();
        MessageRecorder boxes;
        typeInto(1081, QString::fromUtf8(slip));
        ASSERT_EQ(boxes.boxes.size(), 1u) << slip;
        EXPECT_EQ(boxes.boxes[0].text,
                  QStringLiteral("Некорректная дата в поле \"Праздники\": ") + QString::fromUtf8(slip));
        EXPECT_EQ(QApplication::focusWidget(), view->Field(1081)) << slip;
        EXPECT_EQ(view->Field(1081)->text(), QString::fromUtf8(slip)); // what was typed stays
        EXPECT_EQ(frame->SwitchView<CEmptyView>(), nullptr) << slip; // leaving is refused while it stands
        typeInto(1081, shown);
        EXPECT_NE(frame->SwitchView<CEmptyView>(), nullptr) << slip;
        EXPECT_EQ(holidays(), kept) << slip;
    }
}

TEST_F(GenInfoScreenTest, LeavingWithoutAChangeWritesNothingAndAFailedSaveIsShown)
{
    {
        MessageRecorder boxes;
        db::InjectFailureAfter(1); // any write would fail
        EXPECT_NE(frame->SwitchView<CEmptyView>(), nullptr);
        db::InjectFailureAfter(0);
        EXPECT_TRUE(boxes.boxes.empty());
    }
    view = frame->SwitchView<CRefGenInfoView>();
    typeInto(1066, "37");
    MessageRecorder boxes;
    db::InjectFailureAfter(1);
    EXPECT_NE(frame->SwitchView<CEmptyView>(), nullptr);
    db::InjectFailureAfter(0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].text.startsWith("ОБНАРУЖЕНА ОШИБКА")) << boxes.boxes[0].text.toStdString();
    EXPECT_NE(stored().firm.procRaj, 37); // nothing of the failed save reached the base
}

// The firm's record keeps no date of the bank agreement: its "Дата" is plain
// text, skipped by Tab, without the frame and the colour of an input.
TEST_F(GenInfoScreenTest, TheAgreementDateIsShownAsPlainText)
{
    QLineEdit* date = view->Field(1058);
    ASSERT_NE(date, nullptr);
    EXPECT_TRUE(date->text().isEmpty());
    EXPECT_TRUE(date->isReadOnly());
    EXPECT_FALSE(date->hasFrame());
    view->Field(1062)->setFocus();
    QTest::keyClick(view->Field(1062), Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), view->Field(1063));
    // Its place shows the group's background, not a field's.
    auto* group = qobject_cast<QWidget*>(date->parent());
    ASSERT_NE(group, nullptr);
    const QImage shown = group->grab().toImage();
    const QColor inside = shown.pixelColor(date->geometry().center());
    const QRect number = view->Field(1062)->geometry();
    const QColor field = shown.pixelColor(number.right() - 4, number.center().y());
    EXPECT_EQ(field, QColor(245, 235, 235));
    EXPECT_NE(inside, field);
    EXPECT_NE(inside, QColor(Qt::white));
}

// At 1024x768 every field but the holidays (white, in red) is drawn in the
// form's pink; Tab through the whole form scrolls the page only when the
// field it goes to is not wholly in sight, and then as far as shows it whole,
// so that a field in sight stays under the pointer.
TEST_F(GenInfoScreenTest, EveryFieldIsPinkAndTabScrollsOnlyToAFieldOutOfSight)
{
    frame->resize(1024, 768);
    Settle();
    auto* scroll = view->findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    QList<CTypedEdit*> fields;
    for (CTypedEdit* edit : view->findChildren<CTypedEdit*>())
        if (!edit->isReadOnly() && edit->Kind().name != QStringLiteral("Праздники"))
            fields << edit;
    ASSERT_GT(fields.size(), 40);
    for (CTypedEdit* edit : fields) {
        const QImage shown = edit->grab().toImage();
        EXPECT_EQ(shown.pixelColor(shown.width() - 4, shown.height() / 2), QColor(245, 235, 235))
            << edit->Kind().name.toStdString();
    }
    // Wholly in sight from top to bottom (a long text field may pass the
    // page's width, which scrolls on its own).
    const auto inSight = [scroll](const QWidget* field) {
        const int top = field->mapTo(scroll->viewport(), QPoint(0, 0)).y();
        return top >= 0 && top + field->height() <= scroll->viewport()->height();
    };
    view->Field(1046)->setFocus();
    Settle();
    int scrolled = 0;
    for (int step = 0; step < 120; ++step) {
        QWidget* from = QApplication::focusWidget();
        ASSERT_NE(from, nullptr);
        const int before = scroll->verticalScrollBar()->value();
        QTest::keyClick(from, Qt::Key_Tab);
        Settle();
        QWidget* to = QApplication::focusWidget();
        ASSERT_NE(to, nullptr);
        if (!view->isAncestorOf(to))
            break;
        const bool moved = scroll->verticalScrollBar()->value() != before;
        scrolled += moved ? 1 : 0;
        EXPECT_TRUE(inSight(to)) << step << " " << to->objectName().toStdString() << " at "
                                 << to->mapTo(scroll->viewport(), QPoint(0, 0)).y() << " of "
                                 << scroll->viewport()->height();
        // Back in sight before the Tab (the scroll undone): no scroll was needed.
        scroll->verticalScrollBar()->setValue(before);
        if (inSight(to)) {
            EXPECT_FALSE(moved) << step << " " << to->objectName().toStdString();
        }
        scroll->ensureWidgetVisible(to, 0, 0);
    }
    EXPECT_GT(scrolled, 0);
}

TEST_F(GenInfoScreenTest, Screenshot)
{
    QApplication::processEvents();
    const QString path = QDir::current().absoluteFilePath("general-data.png");
    EXPECT_TRUE(frame->grab().save(path));
}

#ifdef KALVOR_DATA_DIR
#include "grid/FldHlpGridCtrl.h"
#include "masterdata/ui/CStavkaCorrect.h"
#include "support/DemoDocument.h"

#include <QDir>
#include <QFile>

// The general-data form and the rate dialog of employee 110 on the demo base,
// saved as pictures in the build folder (screenshots/).
TEST(DemoReferenceScreens, GeneralDataAndRateDialogScreenshots)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    CKalvorDoc doc;
    ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, folder, testsupport::DemoRefFiles::None));
    QDir().mkpath(QStringLiteral("screenshots"));
    {
        CommandRegistry registry;
        CMainFrame frame(&doc, &registry);
        frame.resize(1240, 860);
        ASSERT_TRUE(ShowActive(&frame));
        auto* view = frame.SwitchView<CRefGenInfoView>();
        ASSERT_NE(view, nullptr);
        EXPECT_FALSE(view->Field(1046)->text().isEmpty());
        QApplication::processEvents();
        EXPECT_TRUE(frame.grab().save(QStringLiteral("screenshots/general-data.png")));
    }
    const EmployeeListEntry* employee = nullptr;
    for (const EmployeeListEntry& e : doc.infoBase.list)
        if (e.tabN() == 110)
            employee = &e;
    ASSERT_NE(employee, nullptr);
    LoadEmployee(doc.infoBase, employee->slot);
    CStavkaCorrect dialog(&doc, unsigned(employee->slot));
    ASSERT_TRUE(ShowActive(&dialog));
    EXPECT_FALSE(dialog.Grid()->GetItemText(1, 1).isEmpty()); // the rate of March 2011
    EXPECT_EQ(dialog.Grid()->GetItemText(1, 0), "Март");
    EXPECT_TRUE(dialog.grab().save(QStringLiteral("screenshots/rate-correction.png")));
    dialog.reject();
    CloseBase(doc.infoBase);
}
#endif
