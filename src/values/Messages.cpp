#include "values/Messages.h"

#include "platform/Db.h"

#include <QStringList>

namespace kalvor {

// A negative result -k selects text k of a table (entry k - 1).
constexpr std::array<const char*, 67> ExchangeErrorTexts = {
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
    "Некорректые даты приема на работу/увольнения.", // -42
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

namespace {

template <std::size_t N>
constexpr std::array<const char*, N> firstOf(const std::array<const char*, 67>& all)
{
    std::array<const char*, N> a{};
    for (std::size_t i = 0; i < N; ++i) a[i] = all[i];
    return a;
}

template <std::size_t N>
QString textOf(const std::array<const char*, N>& table, int code)
{
    const int k = code < 0 ? -code : code;
    if (k < 1 || k > static_cast<int>(N))
        return QString();
    return QString::fromUtf8(table[static_cast<std::size_t>(k - 1)]);
}

QByteArray utf8Of(const QString& s) { return s.toUtf8(); }

} // namespace

constexpr std::array<const char*, 42> ReportErrorTexts = firstOf<42>(ExchangeErrorTexts);

QString ExchangeErrorText(int code) { return textOf(ExchangeErrorTexts, code); }
QString ReportErrorText(int code) { return textOf(ReportErrorTexts, code); }

TextError::TextError(QString message) : message_(std::move(message)), utf8_(utf8Of(message_)) {}

TextError::TextError(const char* utf8Message) : TextError(QString::fromUtf8(utf8Message)) {}

TextError TextErrorWithPath(const char* utf8Message, const QString& path)
{
    return TextError(QString::fromUtf8(utf8Message) + QLatin1Char(' ') + path);
}

QString ComErrorText(const db::DbError& error)
{
    return QStringLiteral(
               "ОБНАРУЖЕНА ОШИБКА:\nError       : %1\nErrorMessage: %2\nDescription : %3\nSource      : %4\n")
        .arg(QStringLiteral("%1").arg(error.code(), 8, 16, QLatin1Char('0')).toUpper(), error.message(),
             error.description(), error.source());
}

QString RefusalText(const db::DbError& error, const QString& what)
{
    // Each part cut so that the whole stays a few lines under 400 characters.
    constexpr int kWhatMost = 110, kRefusedMost = 90, kWordsMost = 140;
    const auto cut = [](const QString& text, int most) {
        const QString line = text.simplified();
        return line.size() > most ? line.left(most - 1) + QChar(0x2026) : line;
    };
    QStringList lines{QStringLiteral("ОБНАРУЖЕНА ОШИБКА:")};
    if (!what.isEmpty())
        lines << cut(what, kWhatMost);
    if (!error.refused().isEmpty())
        lines << cut(error.refused(), kRefusedMost);
    if (lines.size() == 1)
        lines << QStringLiteral("Изменения не сохранены.");
    lines << QStringLiteral("База данных отказала в записи: ") + cut(db::EngineWords(error), kWordsMost);
    return lines.join(QLatin1Char('\n'));
}

QString DbErrorText(const db::DbError& error, const QString& what)
{
    return db::IsRefusal(error) ? RefusalText(error, what) : ComErrorText(error);
}

} // namespace kalvor
