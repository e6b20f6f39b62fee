#pragma once
// An empty database on the tests' server under the given name, made as the
// program makes the database of a new base: built under a temporary name of
// its own, then renamed. Throws DbError as the program's making does.
#include "platform/DbBases.h"

namespace kalvor::testsupport {

inline void MakeEmptyServerBase(const QString& database)
{
    db::TemporaryServerBase made(database);
    made.renameTo(database);
}

} // namespace kalvor::testsupport
