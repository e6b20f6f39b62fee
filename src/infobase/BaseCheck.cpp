#include "infobase/BaseCheck.h"

#include "infobase/InfoBase.h"
#include "infobase/Schema.h"
#include "infobase/StoredTables.h"
#include "platform/Db.h"

#include <QFile>

namespace kalvor::infobase {

namespace {

const QString kSource = QStringLiteral("Kalvor.Base");

// The first bytes of every SQLite database file.
const QByteArray kDatabaseHeader("SQLite format 3\0", 16);

// The configuration values that a base cannot do without.
const QStringList kRequiredConfigValues = {QStringLiteral("kolMax"), QStringLiteral("kolRab"),
                                           QStringLiteral("tekMes")};

// Whether a stored value of that storage class fits a column of that
// declared type: integers in INTEGER columns, numbers in REAL ones, anything
// in the others; NULL only where the column may be empty.
bool fitsColumn(const QString& storage, const QString& declared, bool required)
{
    if (storage == QLatin1String("null"))
        return !required;
    if (declared == QLatin1String("INTEGER"))
        return storage == QLatin1String("integer");
    if (declared == QLatin1String("REAL"))
        return storage == QLatin1String("real") || storage == QLatin1String("integer");
    return true;
}

// Reads the configuration row's values and the storage class of each;
// throws when there is no row or a value is not what its column holds.
void checkConfigStorage(const QSqlDatabase& db, const TableDef& config)
{
    QStringList types;
    for (int i = 0; i < config.columns.size(); ++i)
        types << db::StorageClassSql(db, config.columns[i], config.types[i]);
    db::Recordset q(db, QStringLiteral("SELECT %1, %2 FROM dbo.config WHERE id = 1")
                            .arg(types.join(QStringLiteral(", ")), ColumnList(config)));
    q.exec();
    if (!q.next())
        ThrowDamaged(QStringLiteral("Нет строки настроек базы (таблица dbo.config)."));
    const int n = int(config.columns.size());
    for (int i = 0; i < n; ++i) {
        const QString& column = config.columns[i];
        if (fitsColumn(q.toString(i), config.types[i], kRequiredConfigValues.contains(column)))
            continue;
        const QString value = q.isNull(n + i) ? QStringLiteral("пусто") : QStringLiteral("«%1»").arg(q.toString(n + i));
        const QString wanted =
            config.types[i] == QLatin1String("INTEGER") ? QStringLiteral("целого числа") : QStringLiteral("числа");
        ThrowDamaged(
            QStringLiteral("В настройках базы (dbo.config.%1) записано %2 вместо %3.").arg(column, value, wanted));
    }
}

void checkConfigValues(const QSqlDatabase& db)
{
    db::Recordset q(db, QStringLiteral("SELECT kolMax, kolRab, tekMes FROM dbo.config WHERE id = 1"));
    q.exec();
    q.next();
    const qint64 capacity = q.toInt64(0), count = q.toInt64(1), monthKey = q.toInt64(2);
    if (capacity < 1 || capacity > CInfoBase::MaxCapacity)
        ThrowDamaged(QStringLiteral("Вместимость базы (dbo.config.kolMax) %1 вне пределов 1-%2.")
                         .arg(capacity)
                         .arg(CInfoBase::MaxCapacity));
    if (count < 0 || count > capacity)
        ThrowDamaged(
            QStringLiteral("Число работников (dbo.config.kolRab) %1 вне пределов 0-%2.").arg(count).arg(capacity));
    const qint64 month = monthKey & 15, year = monthKey >> 4;
    if (monthKey < 0 || monthKey > 0xFFFF || month < 1 || month > 12 || year < 1900)
        ThrowDamaged(QStringLiteral("Отчетный месяц (dbo.config.tekMes = %1): месяц %2 года %3 невозможен.")
                         .arg(monthKey)
                         .arg(month)
                         .arg(year));
}

// The master rows of the employees: no more than the capacity, each in a
// record slot 1..capacity.
void checkEmployeesFit(const QSqlDatabase& db)
{
    db::Recordset cap(db, QStringLiteral("SELECT kolMax FROM dbo.config WHERE id = 1"));
    cap.exec();
    cap.next();
    const int capacity = cap.toInt(0);
    db::Recordset count(db, QStringLiteral("SELECT COUNT(*) FROM dbo.konst"));
    count.exec();
    count.next();
    if (count.toInt64(0) > capacity)
        ThrowDamaged(QStringLiteral("В таблице dbo.konst %1 работников, а вместимость базы %2.")
                         .arg(count.toInt64(0))
                         .arg(capacity));
    db::Recordset outside(db, QStringLiteral("SELECT rec, tabN, fio FROM dbo.konst "
                                             "WHERE %1 <> 'integer' OR rec < 1 OR rec > ? LIMIT 1")
                                  .arg(db::StorageClassSql(db, QStringLiteral("rec"), QStringLiteral("INTEGER"))));
    outside.bind(0, capacity);
    outside.exec();
    if (outside.next())
        ThrowDamaged(QStringLiteral("В таблице dbo.konst у работника «%1» (таб. N %2) номер записи «%3» "
                                    "вне пределов 1-%4.")
                         .arg(outside.toString(2), outside.toString(1), outside.toString(0))
                         .arg(capacity));
}

} // namespace

void RequireDatabaseFile(const QString& file)
{
    QFile f(file);
    auto refuse = [&](const QString& what) {
        throw db::DbError(db::E_DB_NOT_A_BASE, QStringLiteral("Файл не является базой данных программы."),
                          QStringLiteral("%1: %2").arg(file, what), kSource);
    };
    if (!f.open(QIODevice::ReadOnly))
        throw db::DbError(db::E_DB_FAIL, QStringLiteral("Ошибка при открытии файла"), file, kSource);
    if (f.size() == 0)
        refuse(QStringLiteral("файл пуст"));
    if (f.read(kDatabaseHeader.size()) != kDatabaseHeader)
        refuse(QStringLiteral("файл не является базой данных SQLite"));
}

void ThrowDamaged(const QString& what)
{
    throw db::DbError(db::E_DB_DAMAGED, QString::fromUtf8(db::kDamagedText), what, kSource);
}

void CheckFilePages(const QSqlDatabase& db)
{
    const QString found = db::FilePageFaults(db);
    if (!found.isEmpty())
        ThrowDamaged(found);
}

void CheckSchemaTables(const QSqlDatabase& db)
{
    for (const TableDef& t : SchemaTables()) {
        const QStringList present = db::TableColumns(db, t.name);
        if (present.isEmpty())
            ThrowDamaged(QStringLiteral("В базе нет таблицы dbo.%1.").arg(t.name));
        for (const QString& column : t.columns)
            if (!present.contains(column, Qt::CaseInsensitive))
                ThrowDamaged(QStringLiteral("В таблице dbo.%1 нет столбца %2.").arg(t.name, column));
    }
}

void CheckConfiguration(const QSqlDatabase& db)
{
    checkConfigStorage(db, ConfigTable().def());
    checkConfigValues(db);
    checkEmployeesFit(db);
}

} // namespace kalvor::infobase
