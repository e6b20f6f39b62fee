#include "values/Text8.h"
#include "values/Messages.h"
#include "values/RecordFile.h"

#include "platform/CodePage.h"
#include "platform/Db.h"
#include "platform/DbServerWork.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kalvor;

namespace {
QByteArray cp1251(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }
} // namespace

TEST(ByteBuffers, PaddedWindows1251Fields)
{
    char field[10];
    std::memset(field, 'x', sizeof field);
    StringToByteBuffer(QStringLiteral("Цех №1"), field, 8);
    EXPECT_EQ(QByteArray(field, 10), cp1251("Цех №1") + "  xx"); // blank padded, no terminator
    EXPECT_EQ(ByteBufferToString(field, 8), QStringLiteral("Цех №1  "));
    StringToByteBuffer(QStringLiteral("Бухгалтерия"), field, 5);
    EXPECT_EQ(QByteArray(field, 5), cp1251("Бухга"));
    const char withNul[6] = {'A', 'B', '\0', 'C', ' ', ' '};
    EXPECT_EQ(ByteBufferToString(withNul, 6), QStringLiteral("AB"));
}

TEST(SqueezeBlanks, RunsLeadingAndTrailingBlanks)
{
    char out[64];
    const char firm[] = "  ООО   \"Ромашка\"  и К ";
    const QByteArray in = cp1251(firm);
    const int n = SqueezeBlanks(in.constData(), static_cast<int>(in.size()), out);
    EXPECT_EQ(QByteArray(out, n), cp1251("ООО \"Ромашка\" и К"));
    EXPECT_EQ(SqueezeBlanks("     ", 5, out), 0);
    EXPECT_EQ(SqueezeBlanks("ab", 2, out), 2);
    // A 56-character cut of a blank-padded name.
    QByteArray padded = QByteArray("Иванов  Иван") + QByteArray(50, ' ');
    EXPECT_EQ(SqueezeBlanks(padded.left(56)), QByteArray("Иванов Иван"));
    const char withNul[8] = {'A', '\0', '\0', 'B', ' ', '\0', ' ', ' '};
    const int m = SqueezeBlanksNul(withNul, 8, out);
    EXPECT_EQ(QByteArray(out, m), QByteArray("A B"));
}

TEST(SqueezeBlanks, OneBlankAfterLeadingDigits)
{
    EXPECT_EQ(SqueezeBlanksAfterDigits(QByteArray("45 03     ")), QByteArray("45 03"));
    EXPECT_EQ(SqueezeBlanksAfterDigits(QByteArray("  45   03 1")), QByteArray("45 031"));
    EXPECT_EQ(SqueezeBlanksAfterDigits(cp1251("IV - АБ ")), cp1251("IV-АБ"));
    EXPECT_EQ(SqueezeBlanksAfterDigits(QByteArray("4503")), QByteArray("4503"));
    EXPECT_EQ(SqueezeBlanksAfterDigits(QByteArray("45   ")), QByteArray("45"));
    EXPECT_EQ(SqueezeBlanksAfterDigits(QByteArray("    ")), QByteArray());
    char out[16];
    EXPECT_EQ(SqueezeBlanksAfterDigits(out, "12 AB", 5), 5);
}

TEST(OemText, LineAndFileConversion)
{
    QByteArray line = cp1251("Итого: 100,00\r\n");
    ConvertLineToOem(line.data(), static_cast<int>(line.size()));
    EXPECT_EQ(line, codepage::toCp866(QStringLiteral("Итого: 100,00\r\n")));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("kalvor.typ"));
    const QString row = QStringLiteral("Ведомость  Цех 1  Иванов И.И.  1234.56\r\n");
    QByteArray text;
    for (int i = 0; i < 300; ++i) // several reads of 1,023 bytes, lines cut between them
        text += codepage::toCp1251(row);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    EXPECT_EQ(ConvertTextFileToOem(path), 0);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), codepage::toCp866(row.repeated(300)));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("81A7F0C4.tmp"))));

    EXPECT_NE(ConvertTextFileToOem(dir.filePath(QStringLiteral("missing.typ"))), 0);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing.typ"))));
}

namespace {

// A record area of 533-byte records sorted by the 4-character number after the
// deletion flag.
QByteArray recordFile(const QList<int>& numbers, int header)
{
    QByteArray bytes(header, 'H');
    for (int n : numbers) {
        QByteArray rec(kOutputFileRecordSize, ' ');
        const QByteArray num = QByteArray::number(n).rightJustified(4, ' ');
        rec.replace(1, 4, num);
        rec[kOutputFileRecordSize - 1] = static_cast<char>('a' + n % 26);
        bytes += rec;
    }
    return bytes;
}

} // namespace

TEST(RecordFile, FindRecordInFile)
{
    QByteArray bytes = recordFile({3, 10, 42, 500, 9999}, 66);
    QBuffer buf(&bytes);
    ASSERT_TRUE(buf.open(QIODevice::ReadWrite));
    auto r = FindRecordInFile(42, 5, 66, buf);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.index, 2);
    r = FindRecordInFile(3, 5, 66, buf);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.index, 0);
    r = FindRecordInFile(1, 5, 66, buf); // belongs first: not confused with "found at 0"
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.index, 0);
    r = FindRecordInFile(11, 5, 66, buf);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.index, 2);
    r = FindRecordInFile(10000, 5, 66, buf);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.index, 5);
    r = FindRecordInFile(7, 0, 66, buf);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.index, 0);
    EXPECT_THROW(FindRecordInFile(10000, 6, 66, buf), TextError); // a record past the end
}

TEST(RecordFile, MoveFileTailOpensAndClosesRoom)
{
    // Enough records that the tail spans several 8,000-byte chunks.
    QList<int> numbers;
    for (int i = 1; i <= 40; ++i) numbers << i * 10;
    const int header = 98;
    const QByteArray original = recordFile(numbers, header);
    QByteArray bytes = original;
    QBuffer buf(&bytes);
    ASSERT_TRUE(buf.open(QIODevice::ReadWrite));
    const qint64 at = header + 3 * kOutputFileRecordSize;
    MoveFileTail(at, at + kOutputFileRecordSize, buf);
    ASSERT_EQ(bytes.size(), original.size() + kOutputFileRecordSize);
    EXPECT_EQ(bytes.mid(at + kOutputFileRecordSize), original.mid(at));
    EXPECT_EQ(bytes.left(at + kOutputFileRecordSize), original.left(at + kOutputFileRecordSize));
    EXPECT_EQ(RecordNumberInFile(4, header, buf), 40); // the old fourth record moved up

    MoveFileTail(at + kOutputFileRecordSize, at, buf); // and back down
    EXPECT_EQ(bytes.left(original.size()), original);
}

TEST(Messages, TablesAndErrors)
{
    EXPECT_EQ(ExchangeErrorText(-43), QStringLiteral("некорректный табельный номер"));
    EXPECT_EQ(ExchangeErrorText(42 + 7), QStringLiteral("нет заголовка  SDEL.DBF"));
    EXPECT_EQ(ExchangeErrorText(-50), QStringLiteral("количество ненайденных записей = "));
    EXPECT_EQ(ExchangeErrorText(-67), QStringLiteral("ошибка при чтении / записи информациих"));
    EXPECT_EQ(ExchangeErrorText(0), QString());
    EXPECT_EQ(ReportErrorText(-2), QStringLiteral("ошибка в датах отчетного периода"));
    EXPECT_EQ(ReportErrorText(-32), QStringLiteral("Не задан номер налоговой таблицы для отчисления"));
    EXPECT_EQ(ReportErrorText(-43), QString());
    for (std::size_t i = 0; i < ReportErrorTexts.size(); ++i) EXPECT_STREQ(ReportErrorTexts[i], ExchangeErrorTexts[i]);
    EXPECT_EQ(ReportErrorText(-20), QStringLiteral("Для этого б/л не м.б.задано кол-во дней/часов"));

    // The error box of the database layer's error: eight upper-case hex digits.
    const db::DbError dbe(0x80040E14u, QStringLiteral("IDispatch error"), QStringLiteral("no such table: dbo.konst"),
                          QStringLiteral("SQLite"));
    EXPECT_EQ(ComErrorText(dbe),
              QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nError       : 80040E14\nErrorMessage: IDispatch error\n"
                             "Description : no such table: dbo.konst\nSource      : SQLite\n"));
    EXPECT_EQ(ComErrorText(db::DbError(5, QStringLiteral("Ошибка"), QString(), QStringLiteral("Kalvor.Base"))),
              QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nError       : 00000005\nErrorMessage: Ошибка\n"
                             "Description : \nSource      : Kalvor.Base\n"));
    // A base file that cannot be used is said in Russian alone, naming the
    // file, without the codes.
    EXPECT_EQ(DbErrorText(db::DbError(db::E_DB_DAMAGED, QStringLiteral("База данных повреждена."),
                                      QStringLiteral("/base/firm.sqlite: В таблице версий dbo.version нет номера "
                                                     "шага схемы."),
                                      QStringLiteral("Kalvor.Base"))),
              QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nБаза данных повреждена.\n/base/firm.sqlite: В таблице версий "
                             "dbo.version нет номера шага схемы."));
    EXPECT_EQ(DbErrorText(db::DbError(db::E_DB_VERSION,
                                      QStringLiteral("База данных создана более новой версией "
                                                     "программы"),
                                      QStringLiteral("/base/firm.sqlite: шаг схемы 90"), QStringLiteral("Kalvor"))),
              QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nБаза данных создана более новой версией программы\n"
                             "/base/firm.sqlite: шаг схемы 90"));
    const TextError te = TextErrorWithPath(kMsgOpenFailed, QStringLiteral("/base/swap"));
    EXPECT_EQ(te.message(), QStringLiteral("Ошибка при открытии файла /base/swap"));
    EXPECT_STREQ(te.what(), "Ошибка при открытии файла /base/swap");
}

// The server's failures that the user meets as they are say the same on
// every path that shows a database error: in Russian alone, without the
// codes, with what the caller was doing when it names it (a screen's save,
// the month change) and without it where nothing was named (the login); a
// COMMIT cut with its outcome not known is never said to be unsaved. Other
// errors keep the box with the codes.
TEST(Messages, TheServersFailuresAreSaidInRussianAloneOnEveryPath)
{
    const QString card = QStringLiteral("Карточка работника Таб.N 1008 Николаев А. А.");
    const QString notSaved = card + QStringLiteral(" не сохранена.");
    const QString lost = QString::fromUtf8(db::kConnectionLostText);
    const QString noServer = QStringLiteral("Нет связи с сервером базы данных 127.0.0.1:54064");
    const QString login = QStringLiteral("Сервер базы данных 127.0.0.1:54064 отказал во входе. Проверьте имя "
                                         "пользователя и пароль этого сервера в файле ~/.pgpass (строка "
                                         "\"сервер:порт:база:пользователь:пароль\").");
    const QString held = QString::fromUtf8(db::kCommitsHeldText).arg(QStringLiteral("127.0.0.1:54064"));
    const db::DbError inDoubt =
        db::DbError(db::E_DB_CONNECTION_LOST, lost, QStringLiteral("server closed"), QStringLiteral("Kalvor.Db"))
            .inDoubt({QStringLiteral("card"), QByteArray("1234")});
    const QString doubt = QString::fromUtf8(db::kCommitNotKnownText);
    // The server answers that it holds the COMMIT for a standby: not a cut line.
    const db::DbError heldInDoubt =
        db::DbError(db::E_DB_CONNECTION_LOST, lost, QStringLiteral("server closed"), QStringLiteral("Kalvor.Db"))
            .inDoubt({QStringLiteral("card"), QByteArray("1234"), true});
    const QString header = QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\n");
    struct Row {
        const char* path;
        db::DbError error;
        QString what;
        QString said;
    };
    const auto error = [](std::uint32_t code, const QString& message) {
        return db::DbError(code, message, QStringLiteral("127.0.0.1:54064: card"), QStringLiteral("Kalvor.Db"));
    };
    const std::vector<Row> rows = {
        {"a card's save, the line lost", error(db::E_DB_CONNECTION_LOST, lost),
         SaveFailedWhat(error(db::E_DB_CONNECTION_LOST, lost), card, notSaved),
         header + notSaved + QLatin1Char('\n') + lost},
        {"a card's save, its commit in doubt", inDoubt, SaveFailedWhat(inDoubt, card, notSaved),
         header + card + QStringLiteral(".\n") + doubt},
        {"a card's save, its commit held by the server", heldInDoubt, SaveFailedWhat(heldInDoubt, card, notSaved),
         header + card +
             QStringLiteral(".\nСервер базы данных получил запись, но не подтверждает ее: он ждет ответа резервного "
                            "сервера, который не отвечает. Сохранены ли изменения, пока не известно.")},
        {"a card's save, the server holding commits", error(db::E_DB_COMMITS_HELD, held),
         SaveFailedWhat(error(db::E_DB_COMMITS_HELD, held), card, notSaved),
         header + notSaved + QLatin1Char('\n') + held},
        {"a screen opened, the server out of reach", error(db::E_DB_NO_SERVER, noServer), QString(), header + noServer},
        {"the login refused through an address", error(db::E_DB_LOGIN, login), QString(), header + login},
        {"the month change, the line lost", error(db::E_DB_CONNECTION_LOST, lost),
         QStringLiteral("Извините, переход на следующий месяц не выполнен. Попробуйте еще раз."),
         header + QStringLiteral("Извините, переход на следующий месяц не выполнен. Попробуйте еще раз.\n") + lost},
        {"another server error", error(db::E_DB_FAIL, QStringLiteral("Ошибка сервера базы данных 127.0.0.1:54064")),
         notSaved,
         header + QStringLiteral("Error       : 80004005\nErrorMessage: Ошибка сервера базы данных "
                                 "127.0.0.1:54064\nDescription : 127.0.0.1:54064: card\nSource      : Kalvor.Db\n")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(DbErrorText(row.error, row.what), row.said);
        EXPECT_EQ(SaidOfTheServerInRussianAlone(row.error), row.error.code() != db::E_DB_FAIL);
    }
}
