#pragma once
// A second look at a base that a test's document holds open: the checks, the
// configuration and the firm of an opening, without the base's lock, which
// the document holds. Only for reading what the first opening stored.
#include "infobase/BaseCheck.h"
#include "infobase/InfoBaseDb.h"

namespace kalvor::infobase {

inline void OpenStoredBase(CInfoBase& base)
{
    const QSqlDatabase db = Db(base);
    CheckSchemaTables(db);
    CheckConfiguration(db);
    LoadConfig(base);
    LoadFirm(base);
}

} // namespace kalvor::infobase
