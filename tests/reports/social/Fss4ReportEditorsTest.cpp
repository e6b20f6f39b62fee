// The 4-FSS settlement's editors and choice loop, driven offscreen by keys:
// the loop runs on a worker thread as in the report view and its dialogs are
// answered on the user-interface thread by a script. A period of 2010 writes
// the 2010 pair of files, one of 2011 the 2011 pair; the editors' money,
// whole-number and date fields; screenshots of both editors.
#include "reports/social/ui/CGenrRVedFSSEditDlg.h"
#include "reports/social/ui/RunRVedFSSReport.h"
#include "reports/social/ui/SocialReportOutputs.h"
#include "shell/UiTestSupport.h"

#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "print/CTree.h"
#include "reports/social/PensionContributions.h"
#include "reports/social/SocialInsurance2010.h"
#include "shell/ui/CRepEdit1Dlg.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/NullableDateEdit.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <thread>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;
using namespace kalvor::reports::fss4;

namespace {

const QString kSourceData = QStringLiteral(KALVOR_SOURCE_DIR "/data");

ControlMap* Controls(QWidget* dialog) { return dynamic_cast<ControlMap*>(dialog); }

// Types the text into an edit field as the user would: focus, select all,
// delete, type.
void Type(QWidget* dialog, int control, const char* text)
{
    auto* field = qobject_cast<QLineEdit*>(Controls(dialog)->control(control));
    ASSERT_TRUE(field) << control;
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, QString::fromUtf8(text));
}
QString Shown(QWidget* dialog, int control)
{
    return qobject_cast<QLineEdit*>(Controls(dialog)->control(control))->text();
}
NullableDateEdit* Picker(QWidget* dialog, int control)
{
    return qobject_cast<NullableDateEdit*>(Controls(dialog)->control(control));
}
// Presses a button with the space bar.
void Press(QWidget* dialog, int control)
{
    auto* button = qobject_cast<QPushButton*>(Controls(dialog)->control(control));
    ASSERT_TRUE(button) << control;
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
}

enum : int { ChooseTables = 1383, ChooseMake = 1040, ChooseTable41 = 1384 };

class Fss4ReportLoop : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Shablon")));
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("xml")));
        for (const char* name : {"avans-fss4-2010", "avans-fss4-2011"}) {
            const QString file = QStringLiteral("Shablon/") + QString::fromLatin1(name) + QStringLiteral(".rtf");
            ASSERT_TRUE(QFile::copy(kSourceData + u'/' + file, dir.filePath(file)));
        }
        platform::SetWorkingFolder(dir.path());
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        previousBoxes = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
            boxes << request.text;
            return IDOK;
        });
        FirmInfo& f = doc.infoBase.firm;
        f.texts[FirmInfo::firmName] = QStringLiteral("ООО Ромашка");
        f.texts[FirmInfo::firmFSS] = QStringLiteral("3501012345");
        setYear(2010);
        doc.GenrValues[kAccrued] = 18'850;
        doc.GenrValues[kSickLeave + 1] = 17; // the days of table 2's line 1
    }
    void TearDown() override
    {
        SetMessageBoxHandler(previousBoxes);
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
        platform::SetWorkingFolder(QString());
    }
    void setYear(int year)
    {
        doc.infoBase.config.tekMes = u16(MonthKey(year, 4).value());
        doc.infoBase.config.r_g = u8(year - 1900);
        doc.infoBase.config.r_m1 = 1;
        doc.infoBase.config.r_m2 = 3;
    }

    // Runs the loop on a worker thread; each modal dialog that comes up is
    // handed to the next step of the script. Returns the number of steps
    // that were not used.
    std::size_t Run(std::deque<std::function<void(QWidget*)>> script)
    {
        return RunWithDialogScript([&] { outcome = RunRVedFSSReport(typ(), dir.filePath(QStringLiteral("xml")), doc); },
                                   std::move(script));
    }
    // A step that answers the choice dialog with the button of the control.
    // The editor buttons name the tables of the 4-FSS form that the editors
    // hold, never the sections of the pension-fund report.
    static std::function<void(QWidget*)> Choose(int control)
    {
        return [control](QWidget* modal) {
            auto* choice = qobject_cast<CRepEdit1Dlg*>(modal);
            ASSERT_TRUE(choice);
            EXPECT_EQ(choice->controlAs<QPushButton>(1383)->text(), QStringLiteral("Редактировать таблицы 1, 2 и 7"));
            EXPECT_EQ(choice->controlAs<QPushButton>(1384)->text(), QStringLiteral("Редактировать таблицу 4.1"));
            Press(modal, control);
        };
    }
    static std::function<void(QWidget*)> Cancel()
    {
        return [](QWidget* modal) {
            ASSERT_TRUE(qobject_cast<CRepEdit1Dlg*>(modal));
            QTest::keyClick(modal, Qt::Key_Escape);
        };
    }
    QString typ() const { return dir.filePath(QStringLiteral("base.typ")); }
    QStringList xmlFiles() const { return QDir(dir.filePath(QStringLiteral("xml"))).entryList(QDir::Files); }
    bool printed() const { return QFile::exists(dir.filePath(QStringLiteral("base.rtf"))); }
    double value(int index) const { return doc.GenrValues[std::size_t(index)]; }

    QTemporaryDir dir;
    PayrollDoc doc;
    QStringList boxes;
    MessageBoxHandler previousBoxes;
    platform::TaskOutcome outcome; // what the last run said
};

TEST_F(Fss4ReportLoop, EditsBothEditorsThenWrites2010FilesOnce)
{
    ScopedToday today(QDate(2010, 4, 8));
    const std::size_t unused = Run({
        Choose(ChooseTables),
        [this](QWidget* editor) {
            ASSERT_TRUE(qobject_cast<CGenrRVedFSSEditDlg*>(editor));
            EXPECT_EQ(Shown(editor, 1489), QString());
            Type(editor, 1489, "100"); // line 6, at the start of the period
            Type(editor, 1490, "12,50"); // a decimal comma: 12.50
            Type(editor, 1491, "30.25");
            Type(editor, 1479, "500");
            Picker(editor, 1486)->SetDate(QDate(2010, 3, 15));
            Type(editor, 1483, "17");
            Type(editor, 1480, "8000.50");
            Type(editor, 1052, "3");
            Type(editor, 1501, "40");
            Press(editor, FssEditDlgBase::IdSave);
            // Saving keeps the editor open and recomputes [256] and [260].
            EXPECT_TRUE(editor->isVisible());
            EXPECT_EQ(value(256), 42.75); // 12.50 + 30.25
            EXPECT_EQ(value(260), 142.75); // 100 + 42.75
            EXPECT_TRUE(xmlFiles().isEmpty());
            Press(editor, FssEditDlgBase::IdClose);
        },
        Choose(ChooseTable41),
        [this](QWidget* editor) {
            ASSERT_TRUE(qobject_cast<CGenrRVedFSSEditDlg2*>(editor));
            EXPECT_TRUE(Picker(editor, 1478)->IsNull());
            Type(editor, 1511, "48");
            Type(editor, 1512, "3000000.75"); // a whole field: refused aloud, nothing saved
            Press(editor, FssEditDlgBase::IdSave);
            ASSERT_EQ(boxes.size(), 1);
            EXPECT_EQ(boxes.takeFirst(),
                      QStringLiteral("В поле \"2. Сумма дохода по статье 248 НК\" вводится целое число: 3000000.75"));
            EXPECT_EQ(value(250), 0);
            Type(editor, 1512, "3000000");
            Picker(editor, 1478)->SetDate(QDate(2009, 12, 1));
            Type(editor, 1514, "217");
            Press(editor, FssEditDlgBase::IdSave);
            Press(editor, FssEditDlgBase::IdClose);
        },
        Choose(ChooseMake),
    });
    EXPECT_EQ(unused, 0u);
    EXPECT_EQ(value(255), 100);
    EXPECT_EQ(value(257), 12.5);
    EXPECT_EQ(value(258), 30.25);
    EXPECT_EQ(value(kPaidStart), 500);
    EXPECT_EQ(value(kPaymentOrders), PackedDate::make(15, 3, 2010).value);
    EXPECT_EQ(value(kPaymentOrders + 1), 17);
    EXPECT_EQ(value(kPaymentOrders + 2), 8'000.5);
    EXPECT_EQ(value(kSickLeave), 3);
    EXPECT_EQ(value(kInjuryPaidStart), 40);
    EXPECT_EQ(value(250), 48);
    EXPECT_EQ(value(251), 3'000'000);
    EXPECT_EQ(value(253), PackedDate::make(1, 12, 2009).value);
    EXPECT_EQ(value(254), 217);
    // The 2010 XML file and print form, each once; no message.
    ASSERT_EQ(xmlFiles(), QStringList{QStringLiteral("3501012345_2010_3.xml")});
    QFile xml(dir.filePath(QStringLiteral("xml/3501012345_2010_3.xml")));
    ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
    const QByteArray written = xml.readAll();
    EXPECT_TRUE(written.contains("<?F4FORM version=\"0.1\"?>"));
    EXPECT_TRUE(written.contains("<PAYM_ORDER NUM=\"17\" DT=\"2010-03-15\" SUM=\"8000.50\"/>"));
    EXPECT_TRUE(printed());
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
}

TEST_F(Fss4ReportLoop, YearOf2011WritesThe2011Pair)
{
    setYear(2011);
    EXPECT_EQ(Run({Choose(ChooseTable41), [](QWidget* editor) { Press(editor, FssEditDlgBase::IdClose); },
                   Choose(ChooseMake)}),
              0u);
    ASSERT_EQ(xmlFiles(), QStringList{QStringLiteral("3501012345_2011_03.xml")});
    QFile xml(dir.filePath(QStringLiteral("xml/3501012345_2011_03.xml")));
    ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
    EXPECT_TRUE(xml.readAll().contains("<?F4FORM version=\"0.3\"?>"));
    EXPECT_TRUE(printed());
    // The run names the file it wrote, and where.
    EXPECT_EQ(outcome.result, platform::TASK_DONE);
    EXPECT_EQ(outcome.message, QStringLiteral("Записан файл %1\nЗаписан файл %2, открыт в программе просмотра")
                                   .arg(dir.filePath(QStringLiteral("xml/3501012345_2011_03.xml")),
                                        kalvor::print::RtfOutputPath(typ())));
}

TEST_F(Fss4ReportLoop, CancelWritesNothing)
{
    for (int year : {2010, 2011}) {
        setYear(year);
        EXPECT_EQ(
            Run({Choose(ChooseTables), [](QWidget* editor) { Press(editor, FssEditDlgBase::IdClose); }, Cancel()}), 0u);
        EXPECT_TRUE(xmlFiles().isEmpty()) << year;
        EXPECT_FALSE(printed()) << year;
        EXPECT_TRUE(outcome.message.isEmpty()) << year;
    }
}

// "Сформировать отчет" in an editor writes the files while the choice is
// still open underneath; the loop goes on after the editor is closed.
TEST_F(Fss4ReportLoop, EditorMakesTheReportAndTheLoopGoesOn)
{
    EXPECT_EQ(Run({Choose(ChooseTables),
                   [this](QWidget* editor) {
                       Type(editor, 1493, "75.5");
                       Press(editor, FssEditDlgBase::IdMake);
                       EXPECT_EQ(value(267), 75.5);
                       EXPECT_EQ(xmlFiles().size(), 1);
                       EXPECT_TRUE(printed());
                       EXPECT_TRUE(editor->isVisible());
                       Press(editor, FssEditDlgBase::IdClose);
                   },
                   Cancel()}),
              0u);
    EXPECT_EQ(xmlFiles().size(), 1);
}

// A folder that cannot take the XML file: the message, and the print form
// is made all the same.
TEST_F(Fss4ReportLoop, AFailedXmlFileIsReportedAndTheFormStillPrinted)
{
    std::atomic<bool> done = false;
    std::thread worker([&] {
        WriteRVedFSSOutputs(typ(), dir.filePath(QStringLiteral("missing")), doc);
        done = true;
    });
    while (!done) QApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();
    EXPECT_EQ(boxes, QStringList{QStringLiteral("Ошибка при открытии файла")});
    EXPECT_TRUE(printed());
}

TEST_F(Fss4ReportLoop, FieldsShowAndReadTheirFormats)
{
    EXPECT_EQ(FssEditDlgBase::MoneyText(0), QString());
    EXPECT_EQ(FssEditDlgBase::MoneyText(1'250.5), QStringLiteral("1250.50"));
    EXPECT_EQ(FssEditDlgBase::MoneyText(0.005), QStringLiteral("0.01"));
    // Money to the kopeck, as the field reads it: a point or a comma and at
    // most two places; a third place or a text that does not read in full is
    // no number.
    EXPECT_EQ(FssEditDlgBase::MoneyNumber(QStringLiteral("12,50")), 12.5);
    EXPECT_EQ(FssEditDlgBase::MoneyNumber(QStringLiteral("1 500,50")), 1500.5);
    EXPECT_EQ(FssEditDlgBase::MoneyNumber(QStringLiteral(" -40.75 ")), -40.75);
    EXPECT_EQ(FssEditDlgBase::MoneyNumber(QString()), 0);
    for (const char* refused : {"  -40.75x", "сто", "12,3,4", "1e3", "1000000000000", "0,285"})
        EXPECT_EQ(FssEditDlgBase::MoneyNumber(QString::fromUtf8(refused)), std::nullopt) << refused;

    doc.GenrValues[267] = 1'250.5;
    doc.GenrValues[187] = 17.9;
    doc.GenrValues[186] = PackedDate::make(14, 1, 2010).value;
    doc.GenrValues[kSickLeave] = 4;
    CGenrRVedFSSEditDlg editor(typ(), dir.path(), doc);
    editor.show();
    EXPECT_EQ(Shown(&editor, 1493), QStringLiteral("1250.50"));
    EXPECT_EQ(Shown(&editor, 1483), QStringLiteral("17.90")); // no whole number: shown as held
    EXPECT_EQ(Shown(&editor, 1052), QStringLiteral("4"));
    EXPECT_EQ(Shown(&editor, 1480), QString());
    EXPECT_EQ(Picker(&editor, 1486)->Date(), QDate(2010, 1, 14));
    EXPECT_TRUE(Picker(&editor, 1487)->IsNull());
    ASSERT_TRUE(editor.grab().save(QStringLiteral("fss4-editor-418.png")));
    // The whole field shown holding kopecks reads kopecks typed into it, as it
    // shows them: no refusal once the field has read what was left in it
    // (its reading waits for the focus to move), the focus goes on.
    {
        ASSERT_TRUE(ShowActive(&editor));
        auto* heldKopecks = qobject_cast<QLineEdit*>(Controls(&editor)->control(1483));
        Type(&editor, 1483, "17.90");
        boxes.clear();
        QTest::keyClick(heldKopecks, Qt::Key_Tab);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !heldKopecks->isModified() || !boxes.isEmpty(); }, 5000));
        Settle();
        EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_NE(QApplication::focusWidget(), heldKopecks);
    }
    // An emptied field stores 0 and shows empty; a cleared date stores 0.
    Type(&editor, 1493, "");
    Picker(&editor, 1486)->SetNull();
    Press(&editor, FssEditDlgBase::IdSave);
    EXPECT_EQ(doc.GenrValues[267], 0);
    EXPECT_EQ(doc.GenrValues[186], 0);
    EXPECT_EQ(doc.GenrValues[187], 17.9); // not typed into: kept
    CGenrRVedFSSEditDlg again(typ(), dir.path(), doc);
    EXPECT_EQ(Shown(&again, 1493), QString());

    doc.GenrValues[252] = 12'345;
    CGenrRVedFSSEditDlg2 editor2(typ(), dir.path(), doc);
    editor2.show();
    EXPECT_EQ(Shown(&editor2, 1513), QStringLiteral("12345"));
    ASSERT_TRUE(editor2.grab().save(QStringLiteral("fss4-editor-454.png")));
}

// The counts, numbers and incomes of both editors take nothing below 0 and a
// headcount no more than its six boxes: each refusal names its field and
// nothing is saved, so nothing refused is printed. "Закрыть" over a changed
// field asks before it gives the change up.
TEST_F(Fss4ReportLoop, CountsNumbersAndIncomesTakeOnlyWhatTheirFormsPrint)
{
    const auto before = doc.GenrValues;
    CGenrRVedFSSEditDlg editor(typ(), dir.path(), doc);
    CGenrRVedFSSEditDlg2 editor2(typ(), dir.path(), doc);
    const auto below = [](const char* field, const char* most, const char* text) {
        return QStringLiteral("Значение поля \"%1\" должно быть от 0 до %2: %3")
            .arg(QString::fromUtf8(field), QString::fromUtf8(most), QString::fromUtf8(text));
    };
    const auto amount = [](const char* field, const char* text) {
        return QStringLiteral("Значение поля \"%1\" должно быть от 0.00 до 999999999999.99: %2")
            .arg(QString::fromUtf8(field), QString::fromUtf8(text));
    };
    const struct {
        ReportEditDlg* editor;
        int field;
        const char* text;
        QString refusal;
    } cases[] = {
        {&editor, 1483, "-1", below("Дата, № платеж.поруч, графа 2", "2147483647", "-1")},
        {&editor, 1485, "-1", below("Дата, № платеж.поруч, графа 2", "2147483647", "-1")},
        {&editor, 1507, "-1", below("Дата, № платеж.поруч, графа 2", "2147483647", "-1")},
        {&editor, 1052, "-1", below("Число случаев по временной нетрудоспособности (стр.1 гр.1)", "2147483647", "-1")},
        {&editor2, 1511, "-1", below("1. Сред/среднеспис численность сотрудников", "999999", "-1")},
        {&editor2, 1511, "99999999", below("1. Сред/среднеспис численность сотрудников", "999999", "99999999")},
        {&editor2, 1512, "-1", below("2. Сумма дохода по статье 248 НК", "2147483647", "-1")},
        {&editor2, 1513, "-1", below("3. Из них по статье 58", "2147483647", "-1")},
        {&editor2, 1514, "-1", below("Номер записи", "2147483647", "-1")},
        // No amount of the form's tables is below 0: a debt, what is accrued
        // or paid, a payment order's sum.
        {&editor, 1493, "-1", amount("1. Задолженность за страх-лем на начало расч. периода", "-1")},
        {&editor, 1495, "-7", amount("10. за счет превыш. расх.", "-7")},
        {&editor, 1480, "-1", amount("Дата, № платеж.поруч, графа 3", "-1")},
        {&editor, 1502, "-1", amount("Дата, № платеж.поруч, графа 3", "-1")},
        {&editor, 1500, "-1", amount("10. Зад-ть за террит. органом Фонда на начало расч. пер.", "-1")},
    };
    for (const auto& c : cases) {
        c.editor->show();
        Type(c.editor, c.field, c.text);
        boxes.clear();
        Press(c.editor, FssEditDlgBase::IdSave);
        EXPECT_EQ(boxes, QStringList{c.refusal}) << c.text;
        EXPECT_EQ(Shown(c.editor, c.field), QString::fromUtf8(c.text));
        EXPECT_EQ(DoublesChanged(before, doc.GenrValues), "") << c.text;
        Type(c.editor, c.field, "");
    }
    Type(&editor2, 1511, "999999");
    boxes.clear();
    Press(&editor2, FssEditDlgBase::IdSave);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
    EXPECT_EQ(doc.GenrValues[250], 999'999);

    // "Закрыть" over a text typed and not saved asks; an answer other than
    // "Да" keeps the editor and the text, "Да" gives the text up.
    Type(&editor, 1052, "3");
    Press(&editor, FssEditDlgBase::IdClose);
    EXPECT_EQ(boxes, QStringList{QStringLiteral("Отменить изменения, внесенные в отчет?")});
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(Shown(&editor, 1052), QStringLiteral("3"));
    SetMessageBoxHandler([this](const MessageBoxRequest& request) {
        boxes << request.text;
        return IDYES;
    });
    Press(&editor, FssEditDlgBase::IdClose);
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(doc.GenrValues[kSickLeave], 0);
}

// The figures of both editors agree with each other or are refused naming
// both lines: table 1's lines 13 and 14 are parts of line 12, and lines 10
// and 11 of line 9 (the fund's debt at the end, none while the insurer owes
// 18,850.00); the cases of table 2 are no more than their 17 days; line 3 of
// table 4.1 is part of line 2 (a share of 500 %); a payment order's sum
// comes with its date and number. Nothing refused is saved,
// and "Сформировать отчет" over it writes nothing.
TEST_F(Fss4ReportLoop, FiguresThatContradictEachOtherAreRefusedNamingBothLines)
{
    setYear(2011);
    const struct {
        bool table41;
        std::vector<std::pair<int, const char*>> typed;
        QString refusal;
    } cases[] = {
        {false,
         {{1496, "1000"}, {1497, "600"}, {1498, "500"}},
         QStringLiteral("Часть больше целого: таблица 1, строки 13 и 14 вместе — 1100.00, строка 12 «Задолженность за "
                        "территориальным органом Фонда на начало расчетного периода» — 1000.00.")},
        {false,
         {{1495, "100"}},
         QStringLiteral("Часть больше целого: таблица 1, строки 10 и 11 вместе — 100.00, строка 9 «Задолженность за "
                        "территориальным органом Фонда на конец отчетного периода» — 0.00.")},
        {false,
         {{1052, "18"}},
         QStringLiteral("Случаев больше, чем дней нетрудоспособности: число случаев (таблица 2, строка 1) — 18, "
                        "число дней (таблица 2, строка 1) — 17.")},
        {true,
         {{1512, "1000"}, {1513, "5000"}},
         QStringLiteral("Часть больше целого: таблица 4.1, строка 3 «Из них по статье 58» — 5000, строка 2 «Сумма "
                        "дохода по статье 248 НК» — 1000.")},
        // A payment order's sum without its date and number: no order a form could print.
        {false,
         {{1481, "100"}},
         QStringLiteral("Сумма платежного поручения без его даты и номера: сумма платежного поручения 2 (таблица 1) "
                        "— 100.00, дата и номер платежного поручения 2 (таблица 1) — нет.")},
        {false,
         {{1509, "01.03.2011"}, {1503, "100"}},
         QStringLiteral("Сумма платежного поручения без его даты и номера: сумма платежного поручения 2 (таблица 7) "
                        "— 100.00, дата и номер платежного поручения 2 (таблица 7) — нет.")},
    };
    for (const auto& c : cases) {
        const GenrValueArray before = doc.GenrValues;
        std::unique_ptr<ReportEditDlg> editor;
        if (c.table41)
            editor = std::make_unique<CGenrRVedFSSEditDlg2>(typ(), dir.filePath(QStringLiteral("xml")), doc);
        else
            editor = std::make_unique<CGenrRVedFSSEditDlg>(typ(), dir.filePath(QStringLiteral("xml")), doc);
        editor->show();
        for (const auto& [field, text] : c.typed) Type(editor.get(), field, text);
        boxes.clear();
        Press(editor.get(), FssEditDlgBase::IdSave);
        EXPECT_EQ(boxes, QStringList{c.refusal});
        EXPECT_EQ(DoublesChanged(before, doc.GenrValues), "") << c.refusal.toStdString();
        Press(editor.get(), FssEditDlgBase::IdMake);
        EXPECT_EQ(boxes, (QStringList{c.refusal, c.refusal}));
        EXPECT_TRUE(xmlFiles().isEmpty()) << c.refusal.toStdString();
        EXPECT_FALSE(printed()) << c.refusal.toStdString();
    }
    // The insurer having paid 19,000.00 against the 18,850.00 it owed, the
    // fund owes 150.00 at the end: lines 10 and 11 hold it.
    CGenrRVedFSSEditDlg editor(typ(), dir.filePath(QStringLiteral("xml")), doc);
    editor.show();
    Type(&editor, 1479, "19000");
    Type(&editor, 1495, "100");
    Type(&editor, 1494, "50");
    boxes.clear();
    Press(&editor, FssEditDlgBase::IdSave);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
    EXPECT_EQ(value(kDebtsStart), 100);

    // Cases beyond their days however they came are not written: the box
    // names both lines, and no file is made.
    doc.GenrValues[kSickLeave] = 20;
    std::atomic<bool> done = false;
    std::thread worker([&] {
        outcome = WriteRVedFSSOutputs(typ(), dir.filePath(QStringLiteral("xml")), doc);
        done = true;
    });
    while (!done) QApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();
    const QString refusal = QStringLiteral("Случаев больше, чем дней нетрудоспособности: число случаев (таблица 2, "
                                           "строка 1) — 20, число дней (таблица 2, строка 1) — 17.\nОтчет не "
                                           "сформирован.");
    EXPECT_EQ(boxes, QStringList{refusal});
    EXPECT_EQ(outcome.message, refusal);
    EXPECT_TRUE(xmlFiles().isEmpty());
    EXPECT_FALSE(printed());
}

// Both editors opened on amounts with kopecks, payment orders and dates and
// saved with nothing typed: every value keeps its bytes, [256] and [260]
// too, and the months merged from two bases' files keep their fractions of a
// kopeck (2,000.104 and 1,500.204 shown as 2000.10 and 1500.20).
TEST_F(Fss4ReportLoop, AnUntouchedSaveKeepsEveryValue)
{
    GenrValueArray& v = doc.GenrValues;
    for (const auto& [index, amount] :
         {std::pair{255, 100.01}, std::pair{257, 2'000.104}, std::pair{258, 1'500.204}, std::pair{259, 0.05},
          std::pair{256, 3'500.35}, std::pair{260, 3'600.36}, std::pair{262, 12.34}, std::pair{267, 1'032.60},
          std::pair{185, 8'000.51}, std::pair{188, 4'100.99}, std::pair{201, 40.40}, std::pair{204, 0.10}})
        v[std::size_t(index)] = amount;
    v[186] = PackedDate::make(14, 1, 2010).value;
    v[187] = 17;
    // Table 7's order of 0.10 with its date and number, as an order is.
    v[202] = PackedDate::make(15, 1, 2010).value;
    v[203] = 18;
    v[kSickLeave] = 4;
    v[250] = 48;
    v[251] = 3'000'000;
    v[252] = 1'250'000;
    v[253] = PackedDate::make(1, 12, 2009).value;
    v[254] = 217;
    const GenrValueArray before = v;

    CGenrRVedFSSEditDlg editor(typ(), dir.path(), doc);
    editor.show();
    EXPECT_EQ(Shown(&editor, 1493), QStringLiteral("1032.60"));
    Press(&editor, FssEditDlgBase::IdSave);
    EXPECT_EQ(DoublesChanged(before, v), "");
    CGenrRVedFSSEditDlg2 editor2(typ(), dir.path(), doc);
    editor2.show();
    Press(&editor2, FssEditDlgBase::IdSave);
    EXPECT_EQ(DoublesChanged(before, v), "");
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();

    // A typed amount recomputes both sums, each month rounded to the kopeck
    // first: 2,000.10 + 1,500.20 + 0.06 is 3,500.36 (the fractions added up
    // would make 3,500.368, a kopeck more); with 100.01, 3,600.37.
    EXPECT_EQ(Shown(&editor, 1490), QStringLiteral("2000.10"));
    Type(&editor, 1492, "0,06");
    Press(&editor, FssEditDlgBase::IdSave);
    EXPECT_EQ(v[256], 3'500.36);
    EXPECT_EQ(v[260], 3'600.37);
}

} // namespace
