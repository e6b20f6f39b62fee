#pragma once
// Storing the firm record and the configuration after their parameters were
// edited on a screen (the report generator's and the additional functions'
// parameters).
#include "infobase/InfoBase.h"

namespace kalvor::infobase {

// When the list-order flag of the firm (FirmInfo::nameOrder) differs from the
// order of the list loaded (the configuration's sort bit), the bit follows it
// and the current employee list is reloaded in that order; then the firm
// record (SaveFirm, mode 1) and the configuration are saved in one
// transaction. Throws db::DbError; nothing is written then.
void StoreFirmParameters(CInfoBase& base);

} // namespace kalvor::infobase
