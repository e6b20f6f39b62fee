// Opening and creating an information base, as the start-up and the main
// panel need it. The information base replaces the least implementation below
// with the full one; the start-up only talks to this interface.
#pragma once

#include "shell/Messages.h"

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

    kalvor::DbError ToDbError() const { return kalvor::DbError(code, message, description, source); }
    static BaseFailure Make(quint32 code, const QString& message, const QString& description,
                            const QString& source)
    {
        return {true, code, message, description, source};
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
    // Re-registers the server under the computer's current name when that
    // name has changed; true when it did, and the program must then stop.
    virtual bool ReregisterServer() { return false; }
    virtual bool IsOpen() const = 0;
    virtual QString OpenName() const = 0;
    virtual void Close() = 0;
    // The names of the bases the server knows, in name order.
    virtual QStringList Names() { return {}; }
};

// Least stand-in: a SQLite file "<name>.db" in the working folder that keeps
// only a one-row table "config" with the password. The information base's own
// service (schema, loaders, savers) replaces it.
class SqliteBaseService : public BaseService {
public:
    explicit SqliteBaseService(const QString& folder);
    ~SqliteBaseService() override;

    bool Exists(const QString& name) override;
    BaseFailure Create(const QString& name) override;
    BaseFailure Open(const QString& name) override;
    QString StoredPassword() override;
    bool IsOpen() const override;
    QString OpenName() const override { return m_name; }
    void Close() override;
    QStringList Names() override;

    QString FileName(const QString& name) const;
    // Writes a new password into the open base (used to prepare tests and by
    // a later password-change dialog).
    BaseFailure SetStoredPassword(const QString& password);

private:
    QString m_folder;
    QString m_connection;
    QString m_name;
};
