// Opening and creating an information base, as the start-up and the main
// panel need it. The start-up only talks to this interface; InfoBaseService
// (shell/ui/InfoBaseService.h) is the program's one implementation.
#pragma once

#include "platform/Db.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

// A failure of the base layer, shown with ShowComError.
struct BaseFailure {
    bool failed = false;
    quint32 code = 0;
    QString message;
    QString description;
    QString source;

    kalvor::db::DbError ToDbError() const { return kalvor::db::DbError(code, message, description, source); }
    static BaseFailure Make(quint32 code, const QString& message, const QString& description,
                            const QString& source)
    {
        return {true, code, message, description, source};
    }
    static BaseFailure From(const kalvor::db::DbError& e)
    {
        return Make(e.code(), e.message(), e.description(), e.source());
    }
};

class BaseService {
public:
    virtual ~BaseService() = default;
    // True when a base of that name exists.
    virtual bool Exists(const QString& name) = 0;
    // Makes a new base of that name from the empty template.
    virtual BaseFailure Create(const QString& name) = 0;
    // Opens the base (connection, schema upgrade, firm data).
    virtual BaseFailure Open(const QString& name) = 0;
    // The password stored in the open base.
    virtual QString StoredPassword() = 0;
    virtual bool IsOpen() const = 0;
    virtual QString OpenName() const = 0;
    virtual void Close() = 0;
    // The names of the bases the server knows, in name order.
    virtual QStringList Names() { return {}; }
};
