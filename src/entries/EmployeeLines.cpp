#include "entries/EmployeeLines.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"

namespace kalvor::entries {

void SaveLineArray(infobase::CInfoBase& base, infobase::LineKind kind, void (*save)(infobase::CInfoBase&))
{
    db::Transaction transaction(infobase::Db(base));
    infobase::SaveIndexes(base, kind);
    save(base);
    transaction.commit();
}

} // namespace kalvor::entries
