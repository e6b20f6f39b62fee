#include "infobase/FirmParameters.h"

#include "infobase/InfoBaseDb.h"
#include "platform/DbTransaction.h"

namespace kalvor::infobase {

void StoreFirmParameters(CInfoBase& base)
{
    if (base.firm.nameOrder() != base.config.sort()) {
        base.config.setSort(base.firm.nameOrder());
        LoadSimp(base, base.config.sort() ? 2 : 1);
    }
    db::WriteTogether(Db(base), [&] {
        SaveFirm(base);
        SaveConfig(base);
    });
}

} // namespace kalvor::infobase
