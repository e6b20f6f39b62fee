#pragma once
// The name of a test's base. A base file lies in the test's own working
// folder, so the name a test gives is its own as it stands. A server keeps
// the bases of every test of the program side by side, and an earlier
// test's session may hold its base yet (a close whose release the server
// held leaves the lease to run out; a session stopped while the server hung
// ends only once the server answers): there the name is followed by the
// working folder's own name, so that each test's base is its own as its
// folder is, and no test waits on, or drops, a base an earlier one left.
#include "platform/Db.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

namespace kalvor::testsupport {

// `folder`: the test's own working folder (a temporary folder, whose name
// is letters, digits, "_" and "-", as a server's base name may be).
inline QString TestBaseName(const QString& folder, const QString& name)
{
    if (!db::ServerInUse())
        return name;
    return name + QLatin1Char('_') + QFileInfo(QDir::cleanPath(folder)).fileName();
}

} // namespace kalvor::testsupport
