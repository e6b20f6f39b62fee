// The base layer of the program: the document's information base (CInfoBase)
// kept in one SQLite file "<name>.sqlite" of the working folder, or in a
// database of the configured server.
#pragma once

#include "platform/BaseLock.h"
#include "shell/ui/BaseService.h"

#include <QObject>

#include <memory>

class QThread;
namespace kalvor::infobase {
class CInfoBase;
}

class InfoBaseService : public BaseService {
public:
    // `infoBase` is the document's, and outlives the service; `folder` is the
    // working folder that holds the base files.
    InfoBaseService(kalvor::infobase::CInfoBase& infoBase, const QString& folder);
    ~InfoBaseService() override;

    bool Exists(const QString& name) override;
    // A server's base: the connection of the thread that made this service,
    // opened here and handed over, then the base's lock (kept for the
    // opening). Done once for a name whose lock this service holds.
    BaseFailure Reach(const QString& name) override;
    // A new base from "empty.bak" of the working folder, which must be there.
    BaseFailure Create(const QString& name) override;
    // Names the base in the information base and opens it: connection,
    // schema upgrade, configuration and firm. A base open before is closed.
    BaseFailure Open(const QString& name) override;
    BaseFailure Restore(const QString& name, const QString& fromFile,
                        const kalvor::infobase::RowsCopiedReport& report = {}) override;
    QString StoredPassword() override;
    bool AcceptPassword(const QString& typed) override;
    // Whether this service holds the information base: opened by Open under
    // its name, its lock held, not closed since (whatever became of the
    // thread's connection to it, which the next use opens anew).
    bool IsOpen() const override;
    QString OpenName() const override;
    void Close() override;
    // The "<name>.sqlite" files of the working folder, in name order (none
    // when the bases are on a server).
    QStringList Names() override;


private:
    BaseFailure RestoreOnServer(const QString& name, const QString& fromFile,
                                const kalvor::infobase::RowsCopiedReport& report);
    kalvor::infobase::CInfoBase& m_infoBase;
    QString m_folder;
    // Takes the lock of the base of that name into `lock` (the one this
    // service or its information base holds when it is that base's); a plain failure when another
    // opening holds it, nothing of this service touched.
    BaseFailure TakeLock(const QString& name, kalvor::platform::BaseLock& lock);
    // A server's base open under that name: a message box when its lock was
    // lost to another workstation (a server restart outlasting the lease).
    void TellWhenHeldElsewhere(const QString& name);

    // The thread that opens the bases (the user-interface thread).
    QThread* m_owner;
    QString m_openFile;
    // The lock of a base this service makes or restores; an opening hands it
    // to the information base, which holds its own lock while open.
    kalvor::platform::BaseLock m_lock;
    // Lives on m_owner: the notices of a lost lock are shown there, and none
    // once the service is gone.
    std::unique_ptr<QObject> m_notices;
};

// "База данных %1 уже открыта другим пользователем."
QString BaseHeldText(const QString& name);
