#include "infobase/TableDef.h"

#include <stdexcept>

namespace kalvor::infobase {

QString Qualified(const QString& name) { return QStringLiteral("dbo.") + name; }

QString ColumnList(const TableDef& t, int skip) { return t.columns.mid(skip).join(QStringLiteral(", ")); }

QString InsertSql(const TableDef& t, int skip)
{
    QStringList marks;
    for (int i = skip; i < t.columns.size(); ++i) marks << QStringLiteral("?");
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(Qualified(t.name), ColumnList(t, skip), marks.join(QStringLiteral(", ")));
}

QString InsertOrUpdateSql(const TableDef& t, int keys, int rows)
{
    QStringList sets;
    for (qsizetype i = keys; i < t.columns.size(); ++i) sets << QStringLiteral("%1 = excluded.%1").arg(t.columns[i]);
    QString insert = InsertSql(t);
    const QString row = insert.mid(insert.lastIndexOf(QStringLiteral(" (")));
    for (int r = 1; r < rows; ++r) insert += QLatin1Char(',') + row;
    return QStringLiteral("%1 ON CONFLICT (%2) DO UPDATE %3")
        .arg(insert, t.columns.mid(0, keys).join(QStringLiteral(", ")),
             QStringLiteral("SET ") + sets.join(QStringLiteral(", ")));
}

QString SelectSql(const TableDef& t, const QString& tail)
{
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(ColumnList(t), Qualified(t.name));
    if (!tail.isEmpty())
        sql += QLatin1Char(' ') + tail;
    return sql;
}

int ColumnIndex(const TableDef& t, const QString& column) { return int(t.columns.indexOf(column)); }

namespace {

// The columns, each checked to be one of the table's.
const QStringList& declaredColumns(const TableDef& t, const QStringList& columns)
{
    for (const QString& c : columns) DeclaredColumn(t, c);
    return columns;
}

// The name of the column at that place in the table's list.
const QString& columnAt(const TableDef& t, int column)
{
    if (column < 0 || column >= t.columns.size())
        throw std::logic_error(QStringLiteral("no column %1 in table %2").arg(column).arg(t.name).toStdString());
    return t.columns[column];
}

} // namespace

QString DeclaredColumn(const TableDef& t, const QString& name)
{
    if (!t.columns.contains(name))
        throw std::logic_error(QStringLiteral("no column %1 in table %2").arg(name, t.name).toStdString());
    return name;
}

QString ColumnEqualsSql(const TableDef& t, int column) { return columnAt(t, column) + QStringLiteral(" = ?"); }

QString ColumnBetweenSql(const TableDef& t, int column)
{
    return columnAt(t, column) + QStringLiteral(" BETWEEN ? AND ?");
}

QString OrderBySql(const TableDef& t, const QStringList& columns)
{
    return QStringLiteral("ORDER BY ") + declaredColumns(t, columns).join(QStringLiteral(", "));
}

std::vector<int> SortPlaces(const QStringList& selected, const QStringList& columns)
{
    std::vector<int> places;
    for (const QString& c : columns) {
        const qsizetype place = selected.indexOf(c);
        if (place < 0)
            throw std::logic_error(
                QStringLiteral("no column %1 among %2").arg(c, selected.join(QStringLiteral(", "))).toStdString());
        places.push_back(int(place));
    }
    return places;
}

QString WhereColumnSql(const TableDef& t, int column) { return QStringLiteral("WHERE ") + ColumnEqualsSql(t, column); }

QString DeleteRowsSql(const TableDef& t, const QString& where)
{
    const QString sql = QStringLiteral("DELETE FROM %1").arg(Qualified(t.name));
    return where.isEmpty() ? sql : sql + QStringLiteral(" WHERE ") + where;
}

QString SelectColumnsSql(const TableDef& t, const QStringList& columns, const QString& tail)
{
    const QString sql = QStringLiteral("SELECT %1 FROM %2")
                            .arg(declaredColumns(t, columns).join(QStringLiteral(", ")), Qualified(t.name));
    return tail.isEmpty() ? sql : sql + QLatin1Char(' ') + tail;
}

QString UpdateColumnsSql(const TableDef& t, const QStringList& columns, const QString& where)
{
    QStringList sets;
    for (const QString& c : declaredColumns(t, columns)) sets << c + QStringLiteral(" = ?");
    return QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(Qualified(t.name), sets.join(QStringLiteral(", ")), where);
}

} // namespace kalvor::infobase
