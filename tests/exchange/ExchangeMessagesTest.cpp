// The exchange functions' message table and the two ways the workers pick
// from it; the reporter that every exchange worker ends through; the
// selection fields of a task form read as the workers take them.
#include "shell/UiTestSupport.h"

#include "exchange/ExchangeWorker.h"
#include "platform/Db.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/FormSelection.h"
#include "values/Messages.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QThread>

#include <stdexcept>

using kalvor::exchange::ExchangeCodeFamily;
using kalvor::exchange::ExchangeCodeText;
using kalvor::platform::TaskContext;
using kalvor::platform::TaskOutcome;
using kalvor::platform::TaskThread;
namespace kp = kalvor::platform;

namespace {

// The exchange functions' messages as the user reads them, code -k at k - 1.
const char* const kExpectedTexts[] = {
    "нет данных", // 1
    "ошибка в датах отчетного периода", // 2
    "В начислениях пред. месяцев отсутствуют нужные данные", // 3
    "В архиве обнаружен неизвестный код", // 4
    "В данных отчетного месяца обнаружен неизв. код", // 5
    "Ошибка в датах болезни", // 6
    "Недопустимая дата болезни", // 7
    "В архивной записи не указан месяц", // 8
    "В данных отчетного месяца не указан месяц", // 9
    "Недопустимая дата начала отпуска", // 10
    "Ошибка в определении вахтового графика", // 11
    "Не указана длина рабочего дня", // 12
    "Нет планового значения рабочих дней (часов)", // 13
    "Допущено смысловое несоответствие данных", // 14
    "В данных пред. месяцев нет рабочих дней (часов)", // 15
    "В месяце нет рабочих дней (часов)", // 16
    "Не найден график работы за пред. месяц", // 17
    "Ошибка в задании длины отпуска", // 18
    "Одинаковые коды перечислений с неопределенной суммой", // 19
    "Для этого б/л не м.б.задано кол-во дней/часов", // 20
    "Ошибка в датах действия таблицы налогов", // 21
    "Количество оплат и удержаний в з/п больше 28", // 22
    "Сбой при попытке обращения к файлу печати", // 23
    "Превышено число календарных дней в месяце", // 24
    "Не откорректирован табель учета каждого рабочего дня", // 25
    "Некорректно определена постоянная доплата", // 26
    "Некорректный статус работника", // 27
    "Слишком много отчислений", // 28
    "Неверно задан налоговый перод", // 29
    "Слишком много различных кодов дохода", // 30
    "Неизвестный код налоговой льготы", // 31
    "Не задан номер налоговой таблицы для отчисления", // 32
    "Не указана дата рождения или пол", // 33
    "Экспорт в данном формате возможен не ранее,чем с 2002г.", // 34
    "Не указана дата увольнения", // 35
    "Не указана дата приема на работу.", // 36
    "Неполные месяцы только при расчете компенсации.", // 37
    "ВНИМАНИЕ! критическая ситуация с архивом", // 38
    "Ошибка в датах нерезидента", // 39
    "Ошибочные установки доп-ых параметров иностранца.", // 40
    "Оклад не соответствует окладу из справочн.должностей", // 41
    "Некорректные даты приема на работу/увольнения.", // 42
    "некорректный табельный номер", // 43
    "не найден файл сдельных сумм", // 44
    "файл не является массивом сдельных сумм", // 45
    "не найден табельный номер", // 46
    "запись не найдена", // 47
    "нет данных", // 48
    "нет заголовка  SDEL.DBF", // 49
    "количество ненайденных записей = ", // 50
    "неверное расширение", // 51
    "нет заголовка  ARXIV.DBF", // 52
    "нет заголовка  ZARP.DBF", // 53
    "база данных dBASE не найдена", // 54
    "файл не имеет нужную структуру записи", // 55
    "файл с нужной информацией не найден", // 56
    "количество прочитанных записей = ", // 57
    "база данных переполнена", // 58
    "Для прерывания/возобновления", // 59
    "нажмите пробел.", // 60
    "Для завершения печати нажмите", // 61
    "клавишу  <ESC>.", // 62
    "база данных KOD.DBF не найдена", // 63
    "данные не относятся к текущему месяцу", // 64
    "не найден файл табельного учета", // 65
    "некорректное расширение в имени базы данных", // 66
    "ошибка при чтении / записи информациих", // 67
};

} // namespace

TEST(ExchangeMessages, TheTableHoldsTheSixtySevenTextsInOrder)
{
    ASSERT_EQ(kalvor::ExchangeErrorTexts.size(), std::size(kExpectedTexts));
    ASSERT_EQ(std::size(kExpectedTexts), 67u);
    for (std::size_t i = 0; i < std::size(kExpectedTexts); ++i)
        EXPECT_STREQ(kalvor::ExchangeErrorTexts[i], kExpectedTexts[i]) << "code -" << i + 1;
    // Two are followed by a count; 59-62 are two pairs of prompt lines.
    EXPECT_EQ(kalvor::ExchangeErrorText(-50), QStringLiteral("количество ненайденных записей = "));
    EXPECT_EQ(kalvor::ExchangeErrorText(-57), QStringLiteral("количество прочитанных записей = "));
    int endingInEquals = 0;
    for (const char* text : kalvor::ExchangeErrorTexts)
        endingInEquals += QString::fromUtf8(text).endsWith(QStringLiteral("= "));
    EXPECT_EQ(endingInEquals, 2);
}

TEST(ExchangeMessages, OneCodeGivesDifferentTextsInTheTwoFamilies)
{
    EXPECT_EQ(ExchangeCodeText(-3, ExchangeCodeFamily::WholeTable),
              QStringLiteral("В начислениях пред. месяцев отсутствуют нужные данные"));
    EXPECT_EQ(ExchangeCodeText(-3, ExchangeCodeFamily::FilePart),
              QStringLiteral("файл не является массивом сдельных сумм"));
    EXPECT_EQ(ExchangeCodeText(-1, ExchangeCodeFamily::FilePart), QStringLiteral("некорректный табельный номер"));
    EXPECT_EQ(ExchangeCodeText(-1, ExchangeCodeFamily::WholeTable), QStringLiteral("нет данных"));
    EXPECT_EQ(ExchangeCodeText(-67, ExchangeCodeFamily::WholeTable),
              QStringLiteral("ошибка при чтении / записи информациих"));
    EXPECT_EQ(ExchangeCodeText(-25, ExchangeCodeFamily::FilePart),
              QStringLiteral("ошибка при чтении / записи информациих"));
    // Past the end of the table.
    EXPECT_EQ(ExchangeCodeText(-26, ExchangeCodeFamily::FilePart), QStringLiteral("Прочая ошибка"));
    EXPECT_EQ(ExchangeCodeText(-68, ExchangeCodeFamily::WholeTable), QStringLiteral("Прочая ошибка"));
}

namespace {

// Records the boxes a worker asks for, and on which thread they are shown.
class RecordingMessenger : public kalvor::exchange::ExchangeMessenger {
public:
    void ShowError(const QString& text) const override
    {
        onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread();
        errors << text;
    }
    void ShowInformation(const QString& text) const override { errors << text; }
    void ShowDbError(const kalvor::db::DbError& error) const override
    {
        onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread();
        dbErrors << error.message();
    }
    void ShowMessage(const QString& text) const override { errors << text; }
    bool AskYesNo(const QString& text) const override
    {
        errors << text;
        return false;
    }
    mutable QStringList errors;
    mutable QStringList dbErrors;
    mutable bool onGuiThread = true;
};

struct ReporterRun {
    int result = -1;
    int detail = -1;
    QString failure;
};

ReporterRun RunReporter(const RecordingMessenger& messenger, ExchangeCodeFamily family,
                        kalvor::exchange::ExchangeWriter writer)
{
    TaskThread thread;
    ReporterRun run;
    bool ended = false;
    QObject::connect(&thread, &TaskThread::done, [&](int result, int detail, const QString& failure) {
        run = {result, detail, failure};
        ended = true;
    });
    thread.start(
        [&](TaskContext& context) { return kalvor::exchange::RunExchangeWorker(context, messenger, family, writer); });
    EXPECT_TRUE(WaitFor([&] { return ended; }));
    return run;
}

} // namespace

TEST(ExchangeReporter, FailuresAreShownOnceOnTheUserInterfaceThreadAndEndAsThePartSays)
{
    {
        RecordingMessenger messenger;
        const ReporterRun run =
            RunReporter(messenger, ExchangeCodeFamily::FilePart, [](TaskContext&) { return TaskOutcome(-3); });
        EXPECT_EQ(run.result, kp::TASK_DONE);
        EXPECT_EQ(messenger.errors, QStringList{QStringLiteral("файл не является массивом сдельных сумм")});
        EXPECT_TRUE(messenger.onGuiThread);
    }
    {
        RecordingMessenger messenger;
        const ReporterRun run = RunReporter(messenger, ExchangeCodeFamily::WholeTable, [](TaskContext&) -> TaskOutcome {
            throw kalvor::TextError(QStringLiteral("Ошибка чтения файла"));
        });
        EXPECT_EQ(run.result, kp::TASK_DONE);
        EXPECT_EQ(messenger.errors, QStringList{QStringLiteral("Ошибка чтения файла")});
    }
    {
        RecordingMessenger messenger;
        const ReporterRun run = RunReporter(messenger, ExchangeCodeFamily::WholeTable, [](TaskContext&) -> TaskOutcome {
            throw kalvor::db::DbError(0x80040E14u, QStringLiteral("no such table: dbo.konst"), QString(), QString());
        });
        EXPECT_EQ(run.result, kp::TASK_FAILED);
        EXPECT_TRUE(run.failure.isEmpty()); // nothing more for the view to show
        EXPECT_TRUE(messenger.errors.isEmpty());
        EXPECT_EQ(messenger.dbErrors, QStringList{QStringLiteral("no such table: dbo.konst")});
        EXPECT_TRUE(messenger.onGuiThread);
    }
    {
        RecordingMessenger messenger;
        const ReporterRun run = RunReporter(messenger, ExchangeCodeFamily::WholeTable, [](TaskContext&) -> TaskOutcome {
            throw std::runtime_error("unexpected");
        });
        EXPECT_EQ(run.result, kp::TASK_FAILED);
        EXPECT_TRUE(messenger.errors.isEmpty());
        EXPECT_TRUE(messenger.dbErrors.isEmpty());
    }
    {
        // Results of the protocol pass as they are.
        RecordingMessenger messenger;
        const ReporterRun run = RunReporter(messenger, ExchangeCodeFamily::FilePart, [](TaskContext&) {
            return TaskOutcome(kp::TASK_FILE_ERROR, kp::FILE_ERROR_OPEN);
        });
        EXPECT_EQ(run.result, kp::TASK_FILE_ERROR);
        EXPECT_EQ(run.detail, kp::FILE_ERROR_OPEN);
        EXPECT_TRUE(messenger.errors.isEmpty());
    }
}

TEST(ExchangeReporter, AStoppedRunDoesNotWaitForItsBox)
{
    RecordingMessenger messenger;
    TaskThread thread;
    bool ended = false;
    int result = -1;
    QObject::connect(&thread, &TaskThread::done, [&](int r, int, const QString&) {
        result = r;
        ended = true;
    });
    thread.start([&](TaskContext& context) {
        return kalvor::exchange::RunExchangeWorker(context, messenger, ExchangeCodeFamily::WholeTable,
                                                   [](TaskContext& ctx) {
                                                       while (!ctx.stopRequested()) QThread::msleep(1);
                                                       return TaskOutcome(-48);
                                                   });
    });
    thread.stopAndWait();
    ASSERT_TRUE(WaitFor([&] { return ended; }));
    EXPECT_EQ(result, kp::TASK_DONE);
    EXPECT_TRUE(messenger.errors.isEmpty()); // the box was cancelled with the run
}

// The strip's fields read by their kinds: the whole text or nothing, within
// the key's range and, where the field has a book, a number the book holds.
// "12a" was once read as brigade 12 and "abc" as every profession.
TEST(FormSelection, FieldsReadByTheirKindsAndNeverAPartOfTheText)
{
    CKalvorDoc doc;
    kalvor::infobase::BuildFixtureBase(doc.infoBase, 12);
    kalvor::infobase::BuildFixtureRefFiles(doc.refFiles);
    CCommonFormView form(444, nullptr);
    for (int id : {1252, 1253, 1254, 1103})
        form.SetControl(id, new CTypedEdit(SelectionKind(id, SelectionFieldName(id), &doc), &form));
    auto set = [&](int id, const char* text) { form.controlAs<CTypedEdit>(id)->setText(QString::fromUtf8(text)); };
    const int shop = doc.infoBase.shopAt(1).number;
    set(1252, QByteArray::number(shop).constData());
    set(1253, " 7 ");
    set(1254, "");
    std::array<int, 3> values{-1, -1, -1};
    ReadFormSelection(form, values);
    EXPECT_EQ(values, (std::array<int, 3>{shop, 7, 0}));

    struct Case {
        int id;
        const char* text;
        const char* said;
    };
    int freeShop = 1;
    while (doc.infoBase.shopNumbered(freeShop)) ++freeShop;
    const QByteArray unknownShop = QByteArray::number(freeShop);
    for (const Case c : {Case{1253, "12a", "Некорректное число в поле \"Бригада\": 12a"},
                         Case{1254, "abc", "Некорректное число в поле \"Профессия\": abc"},
                         Case{1253, "100", "Значение поля \"Бригада\" должно быть от 0 до 99"},
                         Case{1252, "300", "Значение поля \"Цех\" должно быть от 0 до 255"},
                         Case{1252, unknownShop.constData(), "справочнике \"Цех/Отдел\""},
                         Case{1103, "8000", "справочнике \"Список сотрудников\""}}) {
        SCOPED_TRACE(c.text);
        const CTypedEdit* field = form.controlAs<CTypedEdit>(c.id);
        const QString before = field->text();
        set(c.id, c.text);
        const kalvor::FigureReading reading = field->Reading();
        EXPECT_FALSE(reading.read);
        EXPECT_TRUE(reading.refusal.contains(QString::fromUtf8(c.said))) << reading.refusal.toStdString();
        EXPECT_EQ(TypedValue(form, c.id), 0); // and the strip refuses it before anything runs
        set(c.id, before.toUtf8().constData());
    }
}
