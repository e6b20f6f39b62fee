#pragma once
// Every row of every table of a base as the texts of its values, in one
// order whatever the engine: for the tests that compare what two bases hold,
// or what one base holds before and after a failed write.
#include "infobase/StoredTables.h"
#include "infobase/TableDef.h"
#include "platform/Db.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>

#include <map>

namespace kalvor::testsupport {

// The text of a value as both engines give it back.
inline QString ValueText(const QVariant& v)
{
    if (v.isNull())
        return QStringLiteral("<null>");
    switch (v.typeId()) {
    case QMetaType::Double: return QString::number(v.toDouble(), 'g', 17);
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: return QString::number(v.toLongLong());
    case QMetaType::QByteArray: return QString::fromLatin1(v.toByteArray().toHex());
    default: return v.toString();
    }
}

// Every row of every table of the base's schema by table, each row its
// values' texts joined by "|", sorted.
inline std::map<QString, QStringList> TableRows(const QSqlDatabase& db)
{
    std::map<QString, QStringList> tables;
    for (const infobase::TableDef& t : infobase::SchemaTables()) {
        QStringList& rows = tables[t.name];
        db::Recordset q(db, infobase::SelectSql(t));
        q.exec();
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < t.columns.size(); ++i) values << ValueText(q.value(i));
            rows << values.join(QLatin1Char('|'));
        }
        rows.sort();
    }
    return tables;
}

} // namespace kalvor::testsupport
