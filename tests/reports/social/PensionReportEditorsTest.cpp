// The pension-fund report's editors and choice loop, driven offscreen: the
// loop runs on a worker thread as in the report view and its dialogs are
// answered on the user-interface thread by a script; the editors' "%d"
// loading and reading; screenshots of both editors.
#include "reports/social/ui/CGenrOVPFEditDlg.h"
#include "reports/social/ui/RunOVPFReport.h"
#include "reports/social/ui/SocialReportOutputs.h"
#include "shell/UiTestSupport.h"

#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "reports/social/PensionContributions.h"
#include "shell/ui/CRepEdit1Dlg.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/NullableDateEdit.h"
#include "shell/ui/TypedInput.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <thread>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;
using namespace kalvor::reports::ovpf;

namespace {

const QString kSourceData = QStringLiteral(KALVOR_SOURCE_DIR "/data");

void Type(QWidget* dialog, int control, const char* text)
{
    auto* field = qobject_cast<QLineEdit*>(dynamic_cast<ControlMap*>(dialog)->control(control));
    ASSERT_TRUE(field) << control;
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    TypeText(field, QString::fromUtf8(text));
}
QString Shown(QWidget* dialog, int control)
{
    return qobject_cast<QLineEdit*>(dynamic_cast<ControlMap*>(dialog)->control(control))->text();
}
void Click(QWidget* dialog, int control)
{
    auto* button = qobject_cast<QPushButton*>(dynamic_cast<ControlMap*>(dialog)->control(control));
    ASSERT_TRUE(button) << control;
    QTest::mouseClick(button, Qt::LeftButton);
}

class PensionReportLoop : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Shablon")));
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("xml")));
        for (const char* name : {"avans-rsv1-2010", "avans-rsv1-2011"}) {
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
        f.texts[FirmInfo::firmPens] = QStringLiteral("087-105-012345");
        doc.infoBase.config.tekMes = u16(MonthKey(2011, 4).value());
        doc.infoBase.config.r_g = 111;
        doc.infoBase.config.r_m1 = 1;
        doc.infoBase.config.r_m2 = 3;
        doc.GenrValues[kLine110] = 50'000;
        // Paid in the first quarter, all in its first month.
        doc.GenrValues[kLine140] = 30'000;
        doc.GenrValues[kLine140 + 4] = 30'000;
        doc.GenrValues[kLine140 + kQuarterSum] = 30'000;
    }
    void TearDown() override
    {
        SetMessageBoxHandler(previousBoxes);
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
        platform::SetWorkingFolder(QString());
    }

    // Runs the loop on a worker thread; each modal dialog that comes up is
    // handed to the next step of the script. Returns the number of steps
    // that were not used.
    std::size_t Run(std::deque<std::function<void(QWidget*)>> script)
    {
        return RunWithDialogScript(
            [&] { RunOVPFReport(typ(), ReportSelection{}, dir.filePath(QStringLiteral("xml")), doc); },
            std::move(script));
    }
    // A step that answers the choice dialog with the button of the control.
    static std::function<void(QWidget*)> Choose(int control)
    {
        return [control](QWidget* modal) {
            auto* choice = qobject_cast<CRepEdit1Dlg*>(modal);
            ASSERT_TRUE(choice);
            EXPECT_EQ(choice->controlAs<QPushButton>(1383)->text(), QStringLiteral("Редактировать раздел 1 и 5"));
            EXPECT_EQ(choice->controlAs<QPushButton>(1384)->text(), QStringLiteral("Редактировать раздел 4"));
            Click(modal, control);
        };
    }
    QString typ() const { return dir.filePath(QStringLiteral("base.typ")); }
    QStringList xmlFiles() const { return QDir(dir.filePath(QStringLiteral("xml"))).entryList(QDir::Files); }

    QTemporaryDir dir;
    PayrollDoc doc;
    QStringList boxes;
    MessageBoxHandler previousBoxes;
};

enum : int { ChooseSections15 = 1383, ChooseMake = 1040, ChooseSection4 = 1384 };

TEST_F(PensionReportLoop, EditsSection1AndSection4ThenWritesBothFilesOnce)
{
    ScopedToday today(QDate(2011, 4, 8));
    const std::size_t unused = Run({
        Choose(ChooseSections15),
        [this](QWidget* editor) {
            ASSERT_TRUE(qobject_cast<CGenrOVPFEditDlg*>(editor));
            EXPECT_EQ(Shown(editor, 1005), QString());
            Type(editor, 1005, "1000"); // line 100, insurance part
            Type(editor, 1017, "23000"); // line 141, first column
            Type(editor, 1021, "7000"); // line 142, first column
            Type(editor, 1014, "12"); // line 140, second column
            Type(editor, 1029, "12,75x"); // line 142, second column: no amount
            Type(editor, 1001, "2"); // the correction number
            Click(editor, OVPFEditDlgBase::IdSave);
            // Refused aloud, naming the field; nothing is saved and the text stays.
            ASSERT_EQ(boxes.size(), 1);
            EXPECT_EQ(boxes.takeFirst(),
                      QStringLiteral("Некорректное число в поле \"142 - 2 месяц, графа 2\": 12,75x"));
            EXPECT_EQ(doc.GenrValues[kLine100], 0);
            EXPECT_EQ(Shown(editor, 1029), QStringLiteral("12,75x"));
            Type(editor, 1029, "12");
            Click(editor, OVPFEditDlgBase::IdSave);
            // Saving keeps the editor open and recomputes lines 130, 144 and 150.
            EXPECT_TRUE(editor->isVisible());
            EXPECT_EQ(doc.GenrValues[kLine150], 21'000);
            EXPECT_EQ(doc.GenrValues[kLine140 + kQuarterSum], 30'000);
            EXPECT_EQ(doc.GenrValues[kLine140 + 9], 12);
            Click(editor, OVPFEditDlgBase::IdClose);
        },
        Choose(ChooseSection4),
        [](QWidget* editor) {
            ASSERT_TRUE(qobject_cast<CGenrOVPFEditDlg2*>(editor));
            auto* date = qobject_cast<NullableDateEdit*>(
                dynamic_cast<ControlMap*>(editor)->control(CGenrOVPFEditDlg2::IdRegisterDate));
            ASSERT_TRUE(date);
            EXPECT_TRUE(date->IsNull());
            date->SetDate(QDate(2011, 3, 15));
            Type(editor, 1014, "217");
            Click(editor, OVPFEditDlgBase::IdSave);
            Click(editor, OVPFEditDlgBase::IdClose);
        },
        Choose(ChooseMake),
    });
    EXPECT_EQ(unused, 0u);
    EXPECT_EQ(doc.GenrValues[kLine100], 1'000);
    EXPECT_EQ(doc.GenrValues[kCorrectionNumber], 2);
    EXPECT_EQ(doc.GenrValues[kRegisterDate], PackedDate::make(15, 3, 2011).value);
    EXPECT_EQ(doc.GenrValues[kRegisterNumber], 217);
    // The XML file and the print form, each once; no message.
    ASSERT_EQ(xmlFiles().size(), 1);
    QFile xml(dir.filePath(QStringLiteral("xml/") + xmlFiles().first()));
    ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
    EXPECT_TRUE(xml.readAll().contains("21000"));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("base.rtf"))));
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
}

// A refused text in either editor ("Редактировать раздел 1 и 5", "раздел 4")
// is held on every way out: Tab, a click on another field, on "Сохранить" and
// on "Закрыть" each say one box naming the field, the editor stays open and
// the field keeps the text with the focus; Esc gives the text up, silently,
// and leaves the editor. Nothing is saved.
TEST_F(PensionReportLoop, ARefusedFieldOfEitherEditorIsHeldOnEveryWayOut)
{
    const std::array<double, std::tuple_size_v<decltype(doc.GenrValues)>> before = doc.GenrValues;
    QStringList faults;
    const auto walk = [&faults](int fieldId, int otherId) {
        return [&faults, fieldId, otherId](QWidget* editor) {
            MessageRecorder recorder;
            auto* map = dynamic_cast<ControlMap*>(editor);
            ASSERT_TRUE(map);
            auto* field = map->controlAs<CTypedEdit>(fieldId);
            ASSERT_TRUE(field);
            const QString stored = field->text();
            const QString name = field->Kind().name;
            EXPECT_FALSE(name.isEmpty());
            faults << HeldOnEveryWayOut(recorder, [field] { return field; }, name, QStringLiteral("12x"),
                                        {{QStringLiteral("a click on another field"), ClickOn(map->control(otherId))},
                                         {QStringLiteral("a click on Сохранить"),
                                          ClickOn(map->control(OVPFEditDlgBase::IdSave))},
                                         {QStringLiteral("a click on Закрыть"),
                                          ClickOn(map->control(OVPFEditDlgBase::IdClose))}});
            EXPECT_TRUE(editor->isVisible());
            const std::size_t said = recorder.boxes.size();
            QPointer<QWidget> open = editor;
            QTest::keyClick(field, Qt::Key_Escape);
            Settle();
            EXPECT_EQ(recorder.boxes.size(), said);
            if (open && open->isVisible()) {
                EXPECT_EQ(field->text(), stored);
                Click(editor, OVPFEditDlgBase::IdClose);
            }
        };
    };
    const std::size_t unused = Run({Choose(ChooseSections15), walk(1005, 1021), Choose(ChooseSection4),
                                    walk(1014, 1001),
                                    [](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); }});
    EXPECT_EQ(unused, 0u);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(u'\n').toStdString();
    EXPECT_EQ(DoublesChanged(before, doc.GenrValues), "");
    EXPECT_TRUE(xmlFiles().isEmpty());
}

TEST_F(PensionReportLoop, CancelWritesNothing)
{
    EXPECT_EQ(Run({[](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); }}), 0u);
    EXPECT_TRUE(xmlFiles().isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("base.rtf"))));
}

// A folder that cannot take the XML file: the message, and the print form
// is made all the same.
TEST_F(PensionReportLoop, AFailedXmlFileIsReportedAndTheFormStillPrinted)
{
    QFile blocker(dir.filePath(QStringLiteral("xml-file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    std::atomic<bool> done = false;
    std::thread worker([&] {
        WriteOVPFOutputs(typ(), ReportSelection{}, blocker.fileName(), doc);
        done = true;
    });
    while (!done) QApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes.first() == QStringLiteral("Ошибка при открытии файла") ||
                boxes.first() == QStringLiteral("Ошибка записи в файл"))
        << boxes.first().toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("base.rtf"))));
}

// Without its template the form cannot be made: the print-file message, and
// the editor that asked for it stays open.
TEST_F(PensionReportLoop, AMissingTemplateIsReportedAsAPrintFileFailure)
{
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("Shablon/avans-rsv1-2011.rtf"))));
    CGenrOVPFEditDlg editor(ReportSelection{}, typ(), dir.filePath(QStringLiteral("xml")), doc);
    editor.show();
    Click(&editor, OVPFEditDlgBase::IdMake);
    EXPECT_EQ(boxes, QStringList{QStringLiteral("Сбой при попытке обращения к файлу печати")});
    EXPECT_EQ(xmlFiles().size(), 1);
    EXPECT_TRUE(editor.isVisible());
}

TEST_F(PensionReportLoop, EditorsShowValuesAsHeldAndReadNumbersAsTyped)
{
    // A whole field shows a whole value as it is; any other value to the
    // kopeck, never cut to its whole part.
    EXPECT_EQ(OVPFEditDlgBase::FieldText(0), QString());
    EXPECT_EQ(OVPFEditDlgBase::FieldText(-3), QStringLiteral("-3"));
    EXPECT_EQ(OVPFEditDlgBase::FieldText(0.9), QStringLiteral("0.90"));
    EXPECT_EQ(OVPFEditDlgBase::FieldText(-3.7), QStringLiteral("-3.70"));
    EXPECT_EQ(OVPFEditDlgBase::FieldText(12'345.99), QStringLiteral("12345.99"));
    EXPECT_EQ(OVPFEditDlgBase::FieldText(3'000'000'000.0), QStringLiteral("3000000000.00"));

    // Sections 1 and 5 hold amounts to the kopeck; the correction number is whole.
    doc.GenrValues[kSection5] = 1'250.6;
    doc.GenrValues[kLine120 + 3] = -3.7;
    CGenrOVPFEditDlg editor(ReportSelection{}, typ(), dir.path(), doc);
    editor.show();
    EXPECT_EQ(Shown(&editor, 1030), QStringLiteral("1250.60"));
    EXPECT_EQ(Shown(&editor, 1012), QStringLiteral("-3.70"));
    EXPECT_EQ(Shown(&editor, 1013), QStringLiteral("30000.00"));
    // A text that does not read is refused naming its field, one at a time,
    // and nothing is saved until every field reads.
    Type(&editor, 1030, "");
    Type(&editor, 1024, "abc");
    Type(&editor, 1012, "5,9x");
    Type(&editor, 1001, "2.5");
    Click(&editor, OVPFEditDlgBase::IdSave);
    EXPECT_EQ(boxes, QStringList{QStringLiteral("В поле \"Номер корректировки\" вводится целое число: 2.5")});
    Type(&editor, 1001, "2");
    Click(&editor, OVPFEditDlgBase::IdSave);
    EXPECT_EQ(boxes.last(), QStringLiteral("Некорректное число в поле \"120 Доначислено, графа 4\": 5,9x"));
    EXPECT_EQ(doc.GenrValues[kLine120 + 3], -3.7);
    Type(&editor, 1012, "5,9");
    Click(&editor, OVPFEditDlgBase::IdSave);
    EXPECT_EQ(
        boxes.last(),
        QStringLiteral("Некорректное число в поле \"510 Остаток задолженности на начало периода, графа 2\": abc"));
    EXPECT_EQ(doc.GenrValues[kSection5], 1'250.6);
    Type(&editor, 1024, "");
    boxes.clear();
    Click(&editor, OVPFEditDlgBase::IdSave);
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_EQ(doc.GenrValues[kSection5], 0);
    EXPECT_EQ(doc.GenrValues[kSection5 + 1], 0);
    EXPECT_EQ(doc.GenrValues[kCorrectionNumber], 2);
    EXPECT_EQ(doc.GenrValues[kLine120 + 3], 5.9);
    EXPECT_EQ(doc.GenrValues[kLine130 + 3], 5.9);
    ASSERT_TRUE(editor.grab().save(QStringLiteral("ovpf-editor-416.png")));

    // 456 loads the register date from its packed value and clears it.
    doc.GenrValues[kRegisterDate] = PackedDate::make(1, 2, 2010).value;
    doc.GenrValues[kIncome248] = 3'000'000;
    CGenrOVPFEditDlg2 editor2(ReportSelection{}, typ(), dir.path(), doc);
    editor2.show();
    auto* date = qobject_cast<NullableDateEdit*>(editor2.control(CGenrOVPFEditDlg2::IdRegisterDate));
    ASSERT_TRUE(date);
    EXPECT_EQ(date->Date(), QDate(2010, 2, 1));
    EXPECT_EQ(Shown(&editor2, 1001), QStringLiteral("3000000"));
    ASSERT_TRUE(editor2.grab().save(QStringLiteral("ovpf-editor-456.png")));
    date->SetNull();
    Click(&editor2, OVPFEditDlgBase::IdSave);
    EXPECT_EQ(doc.GenrValues[kRegisterDate], 0);
}

// The counts, numbers and incomes of both editors take what their forms
// print and nothing below 0: the correction's number fills three boxes, a
// headcount six. Each refusal names its field, and nothing is saved, so
// nothing refused is printed. "Закрыть" over a changed field asks before it
// gives the change up: "Нет" keeps the editor open with the text.
TEST_F(PensionReportLoop, CountsNumbersAndIncomesTakeOnlyWhatTheirFormsPrint)
{
    const auto before = doc.GenrValues;
    CGenrOVPFEditDlg editor(ReportSelection{}, typ(), dir.path(), doc);
    CGenrOVPFEditDlg2 editor2(ReportSelection{}, typ(), dir.path(), doc);
    const QString headcount = QStringLiteral("433 Сред/среднеспис численность сотрудников");
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
        {&editor, 1001, "-1", QStringLiteral("Значение поля \"Номер корректировки\" должно быть от 0 до 999: -1")},
        {&editor, 1001, "99999",
         QStringLiteral("Значение поля \"Номер корректировки\" должно быть от 0 до 999: 99999")},
        {&editor2, 1009, "-1", QStringLiteral("Значение поля \"%1\" должно быть от 0 до 999999: -1").arg(headcount)},
        {&editor2, 1009, "99999999",
         QStringLiteral("Значение поля \"%1\" должно быть от 0 до 999999: 99999999").arg(headcount)},
        {&editor2, 1014, "-1", QStringLiteral("Значение поля \"434 Номер записи\" должно быть от 0 до 2147483647: -1")},
        {&editor2, 1001, "-1",
         QStringLiteral("Значение поля \"430 Сумма дохода по статье 248\" должно быть от 0 до 2147483647: -1")},
        {&editor2, 1005, "-1",
         QStringLiteral("Значение поля \"431 Из них по статье 57\" должно быть от 0 до 2147483647: -1")},
        {&editor2, 1017, "-1",
         QStringLiteral("Значение поля \"435 Сумма доходов по статье 346.15\" должно быть от 0 до 2147483647: -1")},
        {&editor2, 1021, "-1",
         QStringLiteral("Значение поля \"436 Из них по статье 58\" должно быть от 0 до 2147483647: -1")},
        // Amounts accrued, paid or owed are never below 0; a balance (line 100) is.
        {&editor, 1009, "-7", amount("120 Доначислено, графа 1", "-7")},
        {&editor, 1017, "-1", amount("141 - 1 месяц, графа 1", "-1")},
        {&editor, 1014, "-1", amount("140 Уплачено с начала периода, графа 2", "-1")},
        {&editor, 1030, "-1", amount("510 Остаток задолженности на начало периода, графа 1", "-1")},
        {&editor, 1025, "-1", amount("520 Уплачено в отчетном периоде, графа 2", "-1")},
    };
    for (const auto& c : cases) {
        c.editor->show();
        // The field's own text goes back after its refusal: the lines that
        // add up to another keep agreeing with it.
        const QByteArray earlier = Shown(c.editor, c.field).toUtf8();
        Type(c.editor, c.field, c.text);
        boxes.clear();
        Click(c.editor, OVPFEditDlgBase::IdSave);
        EXPECT_EQ(boxes, QStringList{c.refusal}) << c.text;
        EXPECT_EQ(Shown(c.editor, c.field), QString::fromUtf8(c.text));
        EXPECT_EQ(DoublesChanged(before, doc.GenrValues), "") << c.text;
        Type(c.editor, c.field, earlier.constData());
    }
    // The largest the forms print are taken, and a balance below 0 (an overpayment).
    Type(&editor, 1005, "-5");
    Type(&editor, 1001, "999");
    Type(&editor2, 1009, "999999");
    boxes.clear();
    Click(&editor, OVPFEditDlgBase::IdSave);
    Click(&editor2, OVPFEditDlgBase::IdSave);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
    EXPECT_EQ(doc.GenrValues[kCorrectionNumber], 999);
    EXPECT_EQ(doc.GenrValues[kLine100], -5);
    EXPECT_EQ(doc.GenrValues[kHeadcount433], 999'999);

    // "Закрыть" over a text typed and not saved asks; the box's answer other
    // than "Да" keeps the editor and the text.
    Type(&editor2, 1009, "25");
    Click(&editor2, OVPFEditDlgBase::IdClose);
    EXPECT_EQ(boxes, QStringList{QStringLiteral("Отменить изменения, внесенные в отчет?")});
    EXPECT_TRUE(editor2.isVisible());
    EXPECT_EQ(Shown(&editor2, 1009), QStringLiteral("25"));
    EXPECT_EQ(doc.GenrValues[kHeadcount433], 999'999);
    SetMessageBoxHandler([this](const MessageBoxRequest& request) {
        boxes << request.text;
        return IDYES;
    });
    Click(&editor2, OVPFEditDlgBase::IdClose);
    EXPECT_FALSE(editor2.isVisible());
    EXPECT_EQ(doc.GenrValues[kHeadcount433], 999'999);
}

// The figures of both editors agree with each other or are refused naming
// both lines: the payments of the quarter's months are line 140 in a period
// of the first quarter and part of it in a longer one, line 520 (paid) is
// part of 510 (the debt) and 530 is 510 less 520, an "of which" income is never larger than its whole (a share of 500 %
// under article 57, of 900 % under article 58). Nothing refused is saved,
// and "Сформировать отчет" over it writes nothing.
TEST_F(PensionReportLoop, FiguresThatContradictEachOtherAreRefusedNamingBothLines)
{
    const QString paid = QStringLiteral("строка 140 «Уплачено с начала периода»");
    const struct {
        bool section4;
        int lastMonth;
        std::vector<std::pair<int, const char*>> typed;
        QString refusal;
    } cases[] = {
        {false,
         3,
         {{1017, "20000"}},
         QStringLiteral("Итог не равен сумме своих строк: строки 141-143 (страховая часть) — 20000.00, %1 "
                        "(страховая часть) — 30000.00.")
             .arg(paid)},
        {false,
         3,
         {{1017, "30000"}, {1029, "170219"}},
         QStringLiteral("Итог не равен сумме своих строк: строки 141-143 (накопительная часть) — 170219.00, %1 "
                        "(накопительная часть) — 0.00.")
             .arg(paid)},
        {false,
         6,
         {{1015, "400"}, {1019, "300"}, {1027, "200"}},
         QStringLiteral("Часть больше целого: строки 141-143 (ФФОМС) — 500.00, %1 (ФФОМС) — 400.00.").arg(paid)},
        {false,
         3,
         {{1030, "1000"}, {1022, "400"}, {1023, "700"}},
         QStringLiteral("Остаток на конец периода не равен остатку на начало за вычетом уплаченного: строка 510 за "
                        "вычетом строки 520 (страховая часть) — 600.00, строка 530 «Остаток задолженности на конец "
                        "периода» (страховая часть) — 700.00.")},
        // Paid more than the debt: the fault is 520, not the 530 below 0 it leaves.
        {false,
         3,
         {{1024, "1000"}, {1025, "5000"}},
         QStringLiteral("Уплачено больше задолженности на начало периода: строка 520 «Уплачено в отчетном периоде» "
                        "(накопительная часть) — 5000.00, строка 510 «Остаток задолженности на начало периода» "
                        "(накопительная часть) — 1000.00.")},
        {true,
         3,
         {{1001, "1000"}, {1005, "5000"}},
         QStringLiteral("Часть больше целого: строка 431 «Из них по статье 57» — 5000, строка 430 «Сумма дохода по "
                        "статье 248» — 1000.")},
        {true,
         3,
         {{1017, "1000"}, {1021, "9000"}},
         QStringLiteral("Часть больше целого: строка 436 «Из них по статье 58» — 9000, строка 435 «Сумма доходов по "
                        "статье 346.15» — 1000.")},
    };
    const QString xml = dir.filePath(QStringLiteral("xml"));
    for (const auto& c : cases) {
        doc.infoBase.config.r_m2 = u8(c.lastMonth);
        const GenrValueArray before = doc.GenrValues;
        std::unique_ptr<ReportEditDlg> editor;
        if (c.section4)
            editor = std::make_unique<CGenrOVPFEditDlg2>(ReportSelection{}, typ(), xml, doc);
        else
            editor = std::make_unique<CGenrOVPFEditDlg>(ReportSelection{}, typ(), xml, doc);
        editor->show();
        for (const auto& [field, text] : c.typed) Type(editor.get(), field, text);
        boxes.clear();
        Click(editor.get(), OVPFEditDlgBase::IdSave);
        EXPECT_EQ(boxes, QStringList{c.refusal});
        EXPECT_EQ(DoublesChanged(before, doc.GenrValues), "") << c.refusal.toStdString();
        Click(editor.get(), OVPFEditDlgBase::IdMake);
        EXPECT_EQ(boxes, (QStringList{c.refusal, c.refusal}));
        EXPECT_TRUE(xmlFiles().isEmpty()) << c.refusal.toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("base.rtf")))) << c.refusal.toStdString();
        EXPECT_TRUE(editor->isVisible());
    }
    // The parts made to agree are taken: 141-143 are 140 in the first quarter.
    CGenrOVPFEditDlg editor(ReportSelection{}, typ(), xml, doc);
    editor.show();
    Type(&editor, 1017, "20000");
    Type(&editor, 1021, "10000");
    boxes.clear();
    Click(&editor, OVPFEditDlgBase::IdSave);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
    EXPECT_EQ(doc.GenrValues[kLine140 + 8], 10'000);

    // Figures that disagree however they came (a merge of files of another
    // program) are not written: the box names both lines, and no file is made.
    doc.GenrValues[kIncome248] = 1'000;
    doc.GenrValues[kIncome57] = 5'000;
    std::atomic<bool> done = false;
    platform::TaskOutcome outcome;
    std::thread worker([&] {
        outcome = WriteOVPFOutputs(typ(), ReportSelection{}, xml, doc);
        done = true;
    });
    while (!done) QApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();
    const QString refusal = QStringLiteral("Часть больше целого: строка 431 «Из них по статье 57» — 5000, строка 430 "
                                           "«Сумма дохода по статье 248» — 1000.\nОтчет не сформирован.");
    EXPECT_EQ(boxes, QStringList{refusal});
    EXPECT_EQ(outcome.message, refusal);
    EXPECT_TRUE(xmlFiles().isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("base.rtf"))));
}

// Both editors opened on a computed report with kopecks and saved with
// nothing typed: every value keeps its bytes, and the file rounds the
// kopecks of line 140 (1,032.60 is 1,033 roubles).
TEST_F(PensionReportLoop, AnUntouchedSaveKeepsEveryValue)
{
    ScopedToday today(QDate(2011, 4, 8));
    GenrValueArray& v = doc.GenrValues;
    v[kCorrectionNumber] = 1;
    const double insurance[][2] = {
        {kLine100, 120.40},     {kLine110, 5'000.00},    {kLine120, 15.10},
        {kLine130, 5'135.50},   {kLine140, 1'032.60},    {kLine140 + 4, 300.00},
        {kLine140 + 8, 344.20}, {kLine140 + 12, 388.40}, {kLine140 + kQuarterSum, 1'032.60},
        {kLine150, 4'102.90},
    };
    for (const auto& [index, amount] : insurance) v[std::size_t(index)] = amount;
    // The funded part as a merge of two bases' files sums it: 0.20 + 1,032.40
    // is a double a hair above 1,032.60, which the field shows as 1,032.60.
    v[kLine140 + 1] = 0.2 + 1'032.4;
    v[kLine140 + 5] = 0.2 + 1'032.4;
    v[kLine140 + kQuarterSum + 1] = 0.2 + 1'032.4;
    v[kLine150 + 1] = -0.2 - 1'032.4;
    v[kSection5] = 1'250.60;
    v[kSection5 + 4] = 1'250.60;
    // The debt of section 5 in kopecks: 0.02 owed, 0.01 paid, 0.01 left.
    v[kSection5 + 1] = 0.02;
    v[kSection5 + 3] = 0.01;
    v[kSection5 + 5] = 0.01;
    v[kIncome248] = 3'000'000;
    v[kIncome57] = 2'100'000;
    v[kHeadcount433] = 48;
    v[kRegisterDate] = PackedDate::make(15, 3, 2011).value;
    v[kRegisterNumber] = 217;
    const GenrValueArray before = v;

    CGenrOVPFEditDlg editor(ReportSelection{}, typ(), dir.filePath(QStringLiteral("xml")), doc);
    editor.show();
    EXPECT_EQ(Shown(&editor, 1013), QStringLiteral("1032.60"));
    EXPECT_EQ(Shown(&editor, 1014), QStringLiteral("1032.60"));
    ASSERT_NE(v[kLine140 + 1], 1'032.6);
    Click(&editor, OVPFEditDlgBase::IdSave);
    EXPECT_EQ(DoublesChanged(before, v), "");
    CGenrOVPFEditDlg2 editor2(ReportSelection{}, typ(), dir.filePath(QStringLiteral("xml")), doc);
    editor2.show();
    Click(&editor2, OVPFEditDlgBase::IdSave);
    EXPECT_EQ(DoublesChanged(before, v), "");

    Click(&editor, OVPFEditDlgBase::IdMake);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
    ASSERT_EQ(xmlFiles().size(), 1);
    QFile file(dir.filePath(QStringLiteral("xml/") + xmlFiles().first()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString xml = codepage::fromCp1251(file.readAll());
    xml.replace(QRegularExpression(QStringLiteral(">\\s+<")), QStringLiteral(">\n<"));
    // Each line's insurance part in whole roubles, an exact half away from zero.
    for (const auto& [code, roubles] :
         {std::pair{130, "5136"}, std::pair{140, "1033"}, std::pair{141, "300"}, std::pair{142, "344"},
          std::pair{143, "388"}, std::pair{144, "1033"}, std::pair{150, "4103"}})
        EXPECT_TRUE(xml.contains(QStringLiteral("<КодСтроки>%1</КодСтроки>\n<ОПСстраховаяЧасть>%2</ОПСстраховаяЧасть>")
                                     .arg(code)
                                     .arg(QLatin1String(roubles))))
            << code;
}

} // namespace
