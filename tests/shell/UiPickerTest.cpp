// Date and month pickers with "no date", driven by keys, and their helpers
// against packed values worked out by hand; the main window's title and
// information view, and its screenshot.
#include "UiTestSupport.h"

#include "shell/ui/BaseService.h"
#include "shell/ui/CInfoView.h"
#include "shell/ui/CKalvorApp.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CLoginDlg.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/NullableDateEdit.h"
#include "shell/ui/TypedInput.h"
#include "values/Clock.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

TEST(UiPicker, PackedDatesInAndOutWithNoDate)
{
    kalvor::ScopedToday today(QDate(2026, 12, 7));
    NullableDateEdit picker;
    picker.show();

    SetPickerFromPackedDate(&picker, 0);
    EXPECT_TRUE(picker.IsNull());
    EXPECT_EQ(picker.text(), QString());

    // 15.03.2011: 15 | 3 << 5 | 11 << 9 = 5743; "11" is not above "26", so 2011.
    SetPickerFromPackedDate(&picker, 5743);
    EXPECT_EQ(picker.Date(), QDate(2011, 3, 15));
    EXPECT_EQ(picker.text(), QStringLiteral("15.03.2011"));
    // 85 is above 26: 1985.
    SetPickerFromPackedDate(&picker, quint16(1 | 1 << 5 | 85 << 9));
    EXPECT_EQ(picker.Date(), QDate(1985, 1, 1));

    std::uint16_t field = 0;
    EXPECT_EQ(GetDateFromPicker(&picker, &field), 1);
    EXPECT_EQ(field, 1 | 1 << 5 | 85 << 9);
    EXPECT_EQ(GetDateFromPicker(&picker, &field), 0);

    // Delete on the whole date clears the picker; the field then reads 0.
    picker.selectAll();
    QTest::keyClick(&picker, Qt::Key_Delete);
    EXPECT_TRUE(picker.IsNull());
    EXPECT_EQ(picker.text(), QString());
    EXPECT_EQ(GetDateFromPicker(&picker, &field), 1);
    EXPECT_EQ(field, 0);
    // An arrow on an empty picker starts from the reporting month: without a
    // base, the current one.
    QTest::keyClick(&picker, Qt::Key_Up);
    EXPECT_EQ(picker.Date(), QDate(2026, 12, 1));
}

TEST(UiPicker, DateTextsAndMonthPickers)
{
    kalvor::ScopedToday today(QDate(2026, 12, 7));
    NullableDateEdit picker;
    ParseDateText(QStringLiteral("5.7.09"), &picker);
    EXPECT_EQ(picker.Date(), QDate(2009, 7, 5));
    ParseDateText(QStringLiteral("5.7.1999"), &picker);
    EXPECT_EQ(picker.Date(), QDate(1999, 7, 5));
    ParseDateText(QStringLiteral("0.7.09"), &picker);
    EXPECT_TRUE(picker.IsNull());
    ParseDateText(QStringLiteral("5.7.09"), &picker);
    ParseDateText(QStringLiteral("31.02.10"), &picker);
    EXPECT_TRUE(picker.IsNull());
    ParseDateText(QStringLiteral("завтра"), &picker);
    EXPECT_TRUE(picker.IsNull());

    // The picker's date goes into the text only when it is another date.
    QString text = QStringLiteral("05.07.09");
    ParseDateText(QStringLiteral("5.7.9"), &picker);
    EXPECT_EQ(ParseDateToDate(&text, &picker), 0);
    EXPECT_EQ(text, QStringLiteral("05.07.09"));
    picker.SetDate(QDate(2010, 11, 30));
    EXPECT_EQ(ParseDateToDate(&text, &picker), 1);
    EXPECT_EQ(text, QStringLiteral("30.11.10"));
    picker.SetNull();
    EXPECT_EQ(ParseDateToDate(&text, &picker), 1);
    EXPECT_EQ(text, QString());
    EXPECT_EQ(ParseDateToDate(&text, &picker), 0);

    // Month pickers: (year << 4) + month; month 0 is no date.
    NullableDateEdit month(nullptr, true);
    month.show();
    SetPickerFromMonthYear(&month, quint16(2024 * 16 + 3));
    EXPECT_EQ(month.text(), QStringLiteral("03.2024"));
    std::uint16_t key = 0;
    EXPECT_EQ(GetDateTimeFromPicker(&month, &key), 1);
    EXPECT_EQ(key, 2024 * 16 + 3);
    SetPickerFromMonthYear(&month, quint16(2024 * 16));
    EXPECT_TRUE(month.IsNull());
    EXPECT_EQ(GetDateTimeFromPicker(&month, &key), 1);
    EXPECT_EQ(key, 0);
}

// A field of full years holds 02.01.1900-31.12.2099: 01.01.1900, the old
// base's empty date, is refused with the years, never taken as no date, and
// so is a date of the year 2 typed as digits alone.
TEST(UiPicker, AFullYearFieldRefusesTheFirstOfJanuary1900)
{
    MessageRecorder boxes;
    QWidget form;
    NullableDateEdit field(&form);
    field.KeepFullYears();
    CTypedEdit next({QString(), kalvor::TextFigure(0)}, &form);
    field.move(0, 0);
    next.move(0, 40);
    ASSERT_TRUE(ShowActive(&form));
    field.SetDate(QDate(2011, 5, 10));
    field.setFocus();
    field.selectAll();
    TypeText(&field, QStringLiteral("01.01.1900"));
    QTest::keyClick(&field, Qt::Key_Tab);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Некорректная дата 01.01.1900.\nГод может быть от 1900 до 2099"));
    EXPECT_EQ(field.Date(), QDate(2011, 5, 10));
    EXPECT_EQ(field.text(), QStringLiteral("01.01.1900"));
    EXPECT_EQ(QApplication::focusWidget(), &field);

    // Digits alone with a four-digit year the field does not hold: never the year 2.
    TypeText(&field, QStringLiteral("10030002"));
    QTest::keyClick(&field, Qt::Key_Tab);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text, QStringLiteral("Некорректная дата 10030002.\nГод может быть от 1900 до 2099"));
    EXPECT_EQ(field.Date(), QDate(2011, 5, 10));

    TypeText(&field, QStringLiteral("02.01.1900"));
    QTest::keyClick(&field, Qt::Key_Tab);
    EXPECT_EQ(field.Date(), QDate(1900, 1, 2));
    EXPECT_EQ(QApplication::focusWidget(), &next);
    EXPECT_EQ(boxes.boxes.size(), 2u);
}

// A figure field refuses a text that does not read at Return as at the
// keypad's Enter: said, the text kept and selected, the focus kept; a hidden
// one is not read by its form's save.
TEST(UiPicker, AFigureFieldRefusesAtReturnAsAtEnter)
{
    MessageRecorder boxes;
    QWidget form;
    CTypedEdit hours({QStringLiteral("Часы"), kalvor::HoursFigure(24)}, &form);
    CTypedEdit next({QString(), kalvor::TextFigure(0)}, &form);
    next.move(0, 40);
    ASSERT_TRUE(ShowActive(&form));
    hours.setFocus();
    const std::pair<Qt::Key, QString> tries[] = {{Qt::Key_Return, QStringLiteral("7,60")},
                                                 {Qt::Key_Enter, QStringLiteral("8,75")}};
    for (const auto& [key, text] : tries) {
        SCOPED_TRACE(text.toStdString());
        const std::size_t said = boxes.boxes.size();
        hours.clear();
        TypeText(&hours, text);
        QTest::keyClick(&hours, key);
        ASSERT_EQ(boxes.boxes.size(), said + 1);
        EXPECT_EQ(hours.text(), text);
        EXPECT_EQ(hours.selectedText(), text);
        EXPECT_EQ(QApplication::focusWidget(), &hours);
    }
    hours.clear();
    TypeText(&hours, QStringLiteral("7,59"));
    QTest::keyClick(&hours, Qt::Key_Return);
    EXPECT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(hours.Reading().units, 7 * 60 + 59);

    // A form's save reads the inputs it shows: a hidden one's text that does
    // not read neither stops the save nor is said.
    CTypedEdit hidden({QStringLiteral("Минуты"), kalvor::HoursFigure(24)}, &form);
    hidden.setText(QStringLiteral("8,75"));
    hidden.hide();
    EXPECT_TRUE(ReadTypedInputs(&form));
    EXPECT_EQ(boxes.boxes.size(), 2u);
}

// The main window on a new base, saved into the build folder for a look.
TEST(UiScreenshot, MainWindowOnANewBase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    {
        QFile f(folder + QStringLiteral("kalvor.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("[Application]\npath=%1\n").arg(folder).toUtf8());
    }
    MakeWorkingFolderData(folder);
    MessageRecorder boxes;
    CKalvorApp app(folder + QStringLiteral("kalvor.ini"));
    app.SetLoginRunner([](CLoginDlg& dlg) {
        dlg.show();
        TypeText(dlg.BaseEdit(), QStringLiteral("demo"));
        QTest::keyClick(dlg.BaseEdit(), Qt::Key_Return);
        return dlg.result();
    });
    ASSERT_TRUE(app.InitInstance({}));
    CMainFrame* frame = app.MainFrame();
    frame->resize(1024, 700);
    ASSERT_TRUE(ShowActive(frame));
    QPushButton* create = frame->PanelButton(32771);
    ASSERT_NE(create, nullptr);
    create->setFocus();
    QTest::keyClick(create, Qt::Key_Space);
    ASSERT_TRUE(app.Base()->IsOpen());
    Settle();
    // The title and the information view name the firm and the reporting month.
    CKalvorDoc* doc = frame->Document();
    doc->infoBase.firm.texts[kalvor::infobase::FirmInfo::firmName] = QStringLiteral("ООО \"Ромашка\"");
    doc->infoBase.config.tekMes = kalvor::infobase::u16(kalvor::MonthKey(2011, 5).value());
    auto* info = frame->SwitchView<CInfoView>();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Kalvor - demo - ООО \"Ромашка\" - Май 2011"));
    QStringList shown;
    for (const QLabel* label : info->findChildren<QLabel*>()) shown << label->text().split(QLatin1Char('\n'));
    EXPECT_TRUE(shown.contains(QStringLiteral("Предприятие: ООО \"Ромашка\""))) << shown.join(u'|').toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Отчетный месяц: Май 2011"))) << shown.join(u'|').toStdString();
    const QString shot = QCoreApplication::applicationDirPath() + QStringLiteral("/kalvor-main-window.png");
    QFile::remove(shot);
    ASSERT_TRUE(frame->grab().save(shot));
    EXPECT_TRUE(QFile::exists(shot));
}

} // namespace
