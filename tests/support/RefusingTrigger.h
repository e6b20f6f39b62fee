#pragma once
// A trigger that makes the base refuse the rows a test names, saying its own
// words, as a firm's administrator may add one: RAISE(ABORT) on a base file,
// a PL/pgSQL exception on a server. Made on the connection given, dropped
// with the object.
#include "platform/Db.h"

#include <QString>

namespace kalvor::testsupport {

class RefusingTrigger {
public:
    // Refuses every row inserted into or updated in dbo.<table> for which
    // `condition` (an SQL condition on NEW; empty: every row) holds.
    RefusingTrigger(const QSqlDatabase& db, const QString& table, const QString& words,
                    const QString& condition = QString())
        : db_(db), table_(table)
    {
        const QString when = condition.isEmpty() ? QStringLiteral("1 = 1") : condition;
        if (db::IsServer(db_)) {
            db::Execute(db_, QStringLiteral("CREATE FUNCTION dbo.refuse_%1() RETURNS trigger LANGUAGE plpgsql AS $$ "
                                            "BEGIN IF %2 THEN RAISE EXCEPTION '%3'; END IF; RETURN NEW; END $$")
                                 .arg(table_, when, words));
            db::Execute(db_, QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE INSERT OR UPDATE ON dbo.%1 "
                                            "FOR EACH ROW EXECUTE FUNCTION dbo.refuse_%1()")
                                 .arg(table_));
            return;
        }
        for (const char* event : {"INSERT", "UPDATE"})
            db::Execute(db_, QStringLiteral("CREATE TRIGGER dbo.refuse_%1_%2 BEFORE %2 ON %1 WHEN %3 "
                                            "BEGIN SELECT RAISE(ABORT, '%4'); END")
                                 .arg(table_, QLatin1String(event), when, words));
    }
    ~RefusingTrigger()
    {
        try {
            if (db::IsServer(db_)) {
                db::Execute(db_, QStringLiteral("DROP TRIGGER refuse_%1 ON dbo.%1").arg(table_));
                db::Execute(db_, QStringLiteral("DROP FUNCTION dbo.refuse_%1()").arg(table_));
                return;
            }
            for (const char* event : {"INSERT", "UPDATE"})
                db::Execute(db_, QStringLiteral("DROP TRIGGER dbo.refuse_%1_%2").arg(table_, QLatin1String(event)));
        } catch (const db::DbError&) {
            // The base went with the test.
        }
    }
    RefusingTrigger(const RefusingTrigger&) = delete;
    RefusingTrigger& operator=(const RefusingTrigger&) = delete;

private:
    QSqlDatabase db_;
    QString table_;
};

// Whether a box's text says a refusal as it should: under 400 characters,
// none of a statement's words or the driver's.
inline bool SaysNoStatement(const QString& text)
{
    if (text.size() >= 400)
        return false;
    for (const char* word : {"INSERT", "UPDATE", "SELECT", "DELETE", "QPSQL", "QSQLITE", "Unable", "dbo."})
        if (text.contains(QString::fromLatin1(word)))
            return false;
    return true;
}

} // namespace kalvor::testsupport
