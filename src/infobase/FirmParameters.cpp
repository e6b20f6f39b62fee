#include "infobase/FirmParameters.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"

namespace kalvor::infobase {

void StoreFirmParameters(CInfoBase& base)
{
    if (base.firm.nameOrder() != base.config.sort()) {
        base.config.setSort(base.firm.nameOrder());
        LoadSimp(base, base.config.sort() ? 2 : 1);
    }
    db::Transaction transaction(Db(base));
    SaveFirm(base);
    SaveConfig(base);
    transaction.commit();
}

} // namespace kalvor::infobase
