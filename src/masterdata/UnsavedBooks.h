#pragma once
// Reference books save their tables when their screen is left. When that save
// fails (a database error), the table in memory keeps the user's changes, and
// the next screen of the same book on the same base starts out modified, so
// that leaving it again saves them.
#include "infobase/InfoBase.h"

namespace kalvor::masterdata {

enum class RefBook { PayKinds, Schedules, Masks, TaxScales, Recipients };

// Notes that the book's save on this base failed.
void RememberUnsavedBook(const infobase::CInfoBase& base, RefBook book);
// Whether a save is owed for the book on this base; the note is taken away.
bool TakeUnsavedBook(const infobase::CInfoBase& base, RefBook book);

} // namespace kalvor::masterdata
