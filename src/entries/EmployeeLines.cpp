#include "entries/EmployeeLines.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"

namespace kalvor::entries {

void SaveLineArray(infobase::CInfoBase& base, infobase::LineKind kind)
{
    db::Transaction transaction(infobase::Db(base));
    infobase::SaveLines(base, kind);
    transaction.commit();
}

} // namespace kalvor::entries
