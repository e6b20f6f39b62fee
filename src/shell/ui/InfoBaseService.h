// The base layer of the program: the document's information base (CInfoBase)
// kept in one SQLite file "<name>.sqlite" of the working folder.
#pragma once

#include "shell/ui/BaseService.h"

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
    // A new base from "empty.bak" of the working folder, or from the schema
    // when there is none.
    BaseFailure Create(const QString& name) override;
    // Names the base in the information base and opens it: connection,
    // schema upgrade, configuration and firm. A base open before is closed.
    BaseFailure Open(const QString& name) override;
    QString StoredPassword() override;
    // Whether this thread holds the connection to the information base's file.
    bool IsOpen() const override;
    QString OpenName() const override;
    void Close() override;
    // The "<name>.sqlite" files of the working folder, in name order.
    QStringList Names() override;

    const QString& Folder() const { return m_folder; }

private:
    kalvor::infobase::CInfoBase& m_infoBase;
    QString m_folder;
    QString m_openFile;
};
