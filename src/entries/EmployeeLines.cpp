#include "entries/EmployeeLines.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"

namespace kalvor::entries {

void SaveLineArray(infobase::CInfoBase& base, infobase::LineKind kind, void (*save)(infobase::CInfoBase&, int))
{
    db::Transaction transaction(infobase::Db(base));
    infobase::SaveIndexes(base, kind, infobase::SaveModeOverwrite);
    save(base, infobase::SaveModeOverwrite);
    transaction.commit();
}

} // namespace kalvor::entries
