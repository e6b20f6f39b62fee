// Opening and creating an information base, as the start-up and the main
// panel need it. The start-up only talks to this interface; InfoBaseService
// (shell/ui/InfoBaseService.h) is the program's one implementation.
#pragma once

#include "infobase/InfoBaseDb.h"
#include "infobase/Password.h"
#include "platform/Db.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

// A failure of the base layer, shown with ShowComError; a plain one (the base
// is held by another opening, say) is shown as its message alone.
struct BaseFailure {
    bool failed = false;
    bool plain = false;
    quint32 code = 0;
    QString message;
    QString description;
    QString source;
    QString refused; // what a refusal refused, as db::DbError::refused names it

    kalvor::db::DbError ToDbError() const
    {
        return kalvor::db::DbError(code, message, description, source).naming(refused);
    }
    static BaseFailure Make(quint32 code, const QString& message, const QString& description, const QString& source)
    {
        return {true, false, code, message, description, source, QString()};
    }
    static BaseFailure Plain(const QString& message)
    {
        BaseFailure f = Make(0, message, QString(), QString());
        f.plain = true;
        return f;
    }
    static BaseFailure From(const kalvor::db::DbError& e)
    {
        BaseFailure f = Make(e.code(), e.message(), e.description(), e.source());
        f.refused = e.refused();
        return f;
    }
};

class BaseService {
public:
    virtual ~BaseService() = default;
    // True when a base of that name exists.
    virtual bool Exists(const QString& name) = 0;
    // The part of opening the base that may wait on a server, safe on a
    // worker thread while the user-interface thread keeps turning: the
    // connection of the thread that then opens it, and its lock. A failure
    // with the code E_DB_NOT_FOUND: the server answered that there is no such
    // base. Nothing to do for the base files of the working folder.
    virtual BaseFailure Reach(const QString& name)
    {
        Q_UNUSED(name);
        return {};
    }
    // Makes a new base of that name from the empty template; safe on a
    // worker thread.
    virtual BaseFailure Create(const QString& name) = 0;
    // Opens the base (connection, schema upgrade, firm data) and holds it
    // for this opening alone until Close; a base another opening holds is
    // refused with a plain failure and left untouched.
    virtual BaseFailure Open(const QString& name) = 0;
    // Makes the base of that name from a copy of a base file (an archive copy
    // of the month change); the base must not exist and nobody may hold it.
    // The copy goes under a temporary name and is renamed when complete. Safe
    // on a worker thread; `report` hears how far a copy taken onto a server is.
    virtual BaseFailure Restore(const QString& name, const QString& fromFile,
                                const kalvor::infobase::RowsCopiedReport& report = {})
    {
        Q_UNUSED(name);
        Q_UNUSED(fromFile);
        Q_UNUSED(report);
        return BaseFailure::Plain(QStringLiteral("Восстановление базы данных недоступно"));
    }
    // The password stored in the open base (its hash, or the plain text of a
    // base made before).
    virtual QString StoredPassword() = 0;
    // Whether the typed password is the open base's; a base that still keeps
    // it as plain text gets its hash instead.
    virtual bool AcceptPassword(const QString& typed)
    {
        return kalvor::infobase::PasswordMatches(StoredPassword(), typed);
    }
    virtual bool IsOpen() const = 0;
    virtual QString OpenName() const = 0;
    virtual void Close() = 0;
    // The names of the bases the server knows, in name order.
    virtual QStringList Names() { return {}; }
};
