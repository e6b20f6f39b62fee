#include "infobase/BaseCheck.h"

#include "infobase/InfoBase.h"
#include "infobase/StoredTables.h"
#include "infobase/TableDef.h"
#include "platform/Db.h"
#include "platform/DbSchema.h"
#include "platform/RawStatement.h"

#include <QFile>

#include <map>
#include <vector>

namespace kalvor::infobase {

namespace {

const QString kSource = QStringLiteral("Kalvor.Base");

// The first bytes of every SQLite database file.
const QByteArray kDatabaseHeader("SQLite format 3\0", 16);

// The configuration values that a base cannot do without.
const QStringList kRequiredConfigValues = {QStringLiteral("kolMax"), QStringLiteral("kolRab"),
                                           QStringLiteral("tekMes")};

// "dbo.config.<column>", as a message names a value of the configuration.
QString configColumn(const QString& column) { return Qualified(ConfigTable().def().name) + QLatin1Char('.') + column; }

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
    db::RawStatement& q = db::RawStatementFor(db, QStringLiteral("SELECT %1, %2 FROM %3 %4")
                                                      .arg(types.join(QStringLiteral(", ")), ColumnList(config),
                                                           Qualified(config.name), WhereColumnSql(ConfigTable().def())));
    q.bind(0, kConfigRowId);
    if (!q.next())
        ThrowNoConfigRow();
    const int n = int(config.columns.size());
    std::vector<QVariant> row; // the storage classes, then the values
    for (int i = 0; i < 2 * n; ++i) row.push_back(q.value(i));
    q.reset();
    for (int i = 0; i < n; ++i) {
        const QString& column = config.columns[i];
        if (fitsColumn(row[std::size_t(i)].toString(), config.types[i], kRequiredConfigValues.contains(column)))
            continue;
        const QVariant& stored = row[std::size_t(n + i)];
        const QString value = stored.isNull() ? QStringLiteral("пусто") : QStringLiteral("«%1»").arg(stored.toString());
        const QString wanted =
            config.types[i] == QLatin1String("INTEGER") ? QStringLiteral("целого числа") : QStringLiteral("числа");
        ThrowDamaged(
            QStringLiteral("В настройках базы (%1) записано %2 вместо %3.").arg(configColumn(column), value, wanted));
    }
}

// The capacity, once checked.
int checkConfigValues(const QSqlDatabase& db)
{
    db::RawStatement& q = db::RawStatementFor(
        db, SelectColumnsSql(ConfigTable().def(), kRequiredConfigValues, WhereColumnSql(ConfigTable().def())));
    q.bind(0, kConfigRowId);
    q.next();
    const qint64 capacity = q.toInt64(0), count = q.toInt64(1), monthKey = q.toInt64(2);
    q.reset();
    if (capacity < 1 || capacity > CInfoBase::MaxCapacity)
        ThrowDamaged(QStringLiteral("Вместимость базы (%1) %2 вне пределов 1-%3.")
                         .arg(configColumn(kRequiredConfigValues[0]))
                         .arg(capacity)
                         .arg(CInfoBase::MaxCapacity));
    if (count < 0 || count > capacity)
        ThrowDamaged(QStringLiteral("Число работников (%1) %2 вне пределов 0-%3.")
                         .arg(configColumn(kRequiredConfigValues[1]))
                         .arg(count)
                         .arg(capacity));
    const MonthKey key = MonthKey::of(int(monthKey));
    const int month = key.month(), year = key.year();
    if (monthKey < 0 || monthKey > 0xFFFF || month < 1 || month > 12 || year < 1900)
        ThrowDamaged(QStringLiteral("Отчетный месяц (%1 = %2): месяц %3 года %4 невозможен.")
                         .arg(configColumn(kRequiredConfigValues[2]))
                         .arg(monthKey)
                         .arg(month)
                         .arg(year));
    return int(capacity);
}

// The master rows of the employees: no more than the capacity, each in a
// record slot 1..capacity.
void checkEmployeesFit(const QSqlDatabase& db, int capacity)
{
    const QString konst = Qualified(KonstTable().def().name);
    const qint64 count = db::RawStatementFor(db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(konst)).selectInt64();
    if (count > capacity)
        ThrowDamaged(
            QStringLiteral("В таблице %1 %2 работников, а вместимость базы %3.").arg(konst).arg(count).arg(capacity));
    const TableDef& master = KonstTable().def();
    const QString& slot = master.columns[1];
    db::RawStatement& outside = db::RawStatementFor(
        db, SelectColumnsSql(master, {slot, master.columns[2], QStringLiteral("fio")},
                             QStringLiteral("WHERE %1 <> 'integer' OR %2 < 1 OR %2 > ? LIMIT 1")
                                 .arg(db::StorageClassSql(db, slot, QStringLiteral("INTEGER")), slot)));
    outside.bind(0, capacity);
    if (!outside.next())
        return;
    const QString found = QStringLiteral("В таблице %1 у работника «%2» (таб. N %3) номер записи «%4» вне пределов 1-%5.")
                              .arg(konst, outside.toString(2), outside.toString(1), outside.toString(0))
                              .arg(capacity);
    outside.reset();
    ThrowDamaged(found);
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

void ThrowNoConfigRow()
{
    ThrowDamaged(QStringLiteral("Нет строки настроек базы (таблица %1).").arg(Qualified(ConfigTable().def().name)));
}

void CheckFilePages(const QSqlDatabase& db)
{
    const QString found = db::FilePageFaults(db);
    if (!found.isEmpty())
        ThrowDamaged(found);
}

void CheckSchemaTables(const QSqlDatabase& db)
{
    const std::map<QString, QStringList> tables = db::EveryTableColumns(db);
    for (const TableDef& t : SchemaTables()) {
        const auto found = tables.find(t.name.toLower());
        const QStringList present = found != tables.end() ? found->second : QStringList();
        if (present.isEmpty())
            ThrowDamaged(QStringLiteral("В базе нет таблицы %1.").arg(Qualified(t.name)));
        for (const QString& column : t.columns)
            if (!present.contains(column, Qt::CaseInsensitive))
                ThrowDamaged(QStringLiteral("В таблице %1 нет столбца %2.").arg(Qualified(t.name), column));
    }
}

void CheckConfiguration(const QSqlDatabase& db)
{
    checkConfigStorage(db, ConfigTable().def());
    checkEmployeesFit(db, checkConfigValues(db));
}

} // namespace kalvor::infobase
