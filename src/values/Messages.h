#pragma once
// The program's message tables, the string exception and the text of the
// database error box.
//
// A negative result -k of a report builder or an exchange writer selects
// message k (1-based) of its table. The exchange table's first 42 messages are
// the report generator's messages. The calculation engine's table sits with its
// error codes in payroll/CalcErrors.h.
#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <exception>

namespace kalvor {

namespace db {
class DbError;
}

// The exchange functions' 67 messages (UTF-8 literals); a negative result -k
// selects text k (entry k - 1).
inline constexpr std::array<const char*, 67> ExchangeErrorTexts = {
    "нет данных", // -1
    "ошибка в датах отчетного периода", // -2
    "В начислениях пред. месяцев отсутствуют нужные данные", // -3
    "В архиве обнаружен неизвестный код", // -4
    "В данных отчетного месяца обнаружен неизв. код", // -5
    "Ошибка в датах болезни", // -6
    "Недопустимая дата болезни", // -7
    "В архивной записи не указан месяц", // -8
    "В данных отчетного месяца не указан месяц", // -9
    "Недопустимая дата начала отпуска", // -10
    "Ошибка в определении вахтового графика", // -11
    "Не указана длина рабочего дня", // -12
    "Нет планового значения рабочих дней (часов)", // -13
    "Допущено смысловое несоответствие данных", // -14
    "В данных пред. месяцев нет рабочих дней (часов)", // -15
    "В месяце нет рабочих дней (часов)", // -16
    "Не найден график работы за пред. месяц", // -17
    "Ошибка в задании длины отпуска", // -18
    "Одинаковые коды перечислений с неопределенной суммой", // -19
    "Для этого б/л не м.б.задано кол-во дней/часов", // -20
    "Ошибка в датах действия таблицы налогов", // -21
    "Количество оплат и удержаний в з/п больше 28", // -22
    "Сбой при попытке обращения к файлу печати", // -23
    "Превышено число календарных дней в месяце", // -24
    "Не откорректирован табель учета каждого рабочего дня", // -25
    "Некорректно определена постоянная доплата", // -26
    "Некорректный статус работника", // -27
    "Слишком много отчислений", // -28
    "Неверно задан налоговый перод", // -29
    "Слишком много различных кодов дохода", // -30
    "Неизвестный код налоговой льготы", // -31
    "Не задан номер налоговой таблицы для отчисления", // -32
    "Не указана дата рождения или пол", // -33
    "Экспорт в данном формате возможен не ранее,чем с 2002г.", // -34
    "Не указана дата увольнения", // -35
    "Не указана дата приема на работу.", // -36
    "Неполные месяцы только при расчете компенсации.", // -37
    "ВНИМАНИЕ! критическая ситуация с архивом", // -38
    "Ошибка в датах нерезидента", // -39
    "Ошибочные установки доп-ых параметров иностранца.", // -40
    "Оклад не соответствует окладу из справочн.должностей", // -41
    "Некорректные даты приема на работу/увольнения.", // -42
    "некорректный табельный номер", // -43
    "не найден файл сдельных сумм", // -44
    "файл не является массивом сдельных сумм", // -45
    "не найден табельный номер", // -46
    "запись не найдена", // -47
    "нет данных", // -48
    "нет заголовка  SDEL.DBF", // -49
    "количество ненайденных записей = ", // -50
    "неверное расширение", // -51
    "нет заголовка  ARXIV.DBF", // -52
    "нет заголовка  ZARP.DBF", // -53
    "база данных dBASE не найдена", // -54
    "файл не имеет нужную структуру записи", // -55
    "файл с нужной информацией не найден", // -56
    "количество прочитанных записей = ", // -57
    "база данных переполнена", // -58
    "Для прерывания/возобновления", // -59
    "нажмите пробел.", // -60
    "Для завершения печати нажмите", // -61
    "клавишу  <ESC>.", // -62
    "база данных KOD.DBF не найдена", // -63
    "данные не относятся к текущему месяцу", // -64
    "не найден файл табельного учета", // -65
    "некорректное расширение в имени базы данных", // -66
    "ошибка при чтении / записи информациих", // -67
};
// The report generator's 42 messages: messages 1-42 of ExchangeErrorTexts.
extern const std::array<const char*, 42> ReportErrorTexts;

// Message of code -k (or k) of each table; an empty string outside the table.
QString ExchangeErrorText(int code);
QString ReportErrorText(int code);

// Texts of the string exceptions.
inline constexpr const char* kMsgAllocFailed = "Ошибка при выделении памяти";
inline constexpr const char* kMsgOpenFailed = "Ошибка при открытии файла";
inline constexpr const char* kMsgReadFailed = "Ошибка чтения файла";
inline constexpr const char* kMsgWriteFailed = "Ошибка записи в файл";
inline constexpr const char* kMsgInterrupted = "Операция прервана";

// A string exception: a message shown to the user as it stands.
class TextError : public std::exception {
public:
    explicit TextError(QString message);
    explicit TextError(const char* utf8Message);
    const QString& message() const { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};
// "%s %s" of a message and a path ("Ошибка при открытии файла /x/swap").
TextError TextErrorWithPath(const char* utf8Message, const QString& path);

// The text of the database error box for an error of the database layer
// (db::DbError, platform/Db.h): "ОБНАРУЖЕНА ОШИБКА:\nError       : %08lX\n
// ErrorMessage: %s\nDescription : %s\nSource      : %s\n".
QString ComErrorText(const db::DbError& error);
// A refusal of the base in a few lines, under 400 characters: the header of
// the database error box, what the caller was doing when it names it (the
// employee's card, the book, the month's change), what was refused when the
// code that met the refusal named it (the employee, the table's content:
// DbError::refused; else, when neither is named, that the changes were not
// saved) and the engine's or server's own line (a trigger's text,
// db::EngineWords), never the statement.
QString RefusalText(const db::DbError& error, const QString& what = QString());
// What a failed save says above its error: `notSaved` ("Карточка работника
// ... не сохранена.") when nothing of the save stayed, the `subject` alone
// ("Карточка работника ...") when its COMMIT was cut with its outcome not
// known (DbError::commitInDoubt): the error's own line then says that it is
// not known whether the save was made, and the base may well hold it.
QString SaveFailedWhat(const db::DbError& error, const QString& subject, const QString& notSaved);
// Whether the error is one of the server's failures that the user meets as
// it is, said in Russian alone on every path: a lost connection
// (db::E_DB_CONNECTION_LOST), a server out of reach or silent
// (db::E_DB_NO_SERVER), a refused login (db::E_DB_LOGIN), a login without
// the right to the base (db::E_DB_NO_RIGHT), a server that holds COMMITs
// (db::E_DB_COMMITS_HELD) and a COMMIT cut with its outcome not known
// (DbError::commitInDoubt).
bool SaidOfTheServerInRussianAlone(const db::DbError& error);
// The text of the database error box for any error: RefusalText for a
// refusal (db::IsRefusal) and for a base another user holds (db::IsBusy,
// its line the program's own Russian words); the server's failures met as
// they are (SaidOfTheServerInRussianAlone) in Russian alone, its header, `what` when
// given and the error's message; a base file that cannot be used
// (db::IsBaseFileError) in Russian alone without the codes: the header,
// what is wrong (the error's message) and the file with what was found in
// it (its description, "<file>: файл пуст"); ComErrorText for the others
// (the server's other errors among them).
QString DbErrorText(const db::DbError& error, const QString& what = QString());

// The worker results (TaskResult), the kinds of file failure (FileErrorKind)
// and their texts (FileErrorKindText) are the task-thread protocol's:
// platform/TaskThread.h.

} // namespace kalvor
