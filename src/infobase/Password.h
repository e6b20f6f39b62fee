#pragma once
// The base's login password (dbo.config.parol) is kept as a salted, slow
// hash, never as the text typed: "pbkdf2-sha256$<rounds>$<salt>$<key>", salt
// and key in base64. A base made before keeps its password as plain text; it
// is read as before and replaced by its hash at the next successful login. An
// empty stored password means the base has none.
#include <QString>

namespace kalvor::infobase {

class CInfoBase;

// The stored form of a password typed by the user, with a new random salt;
// an empty password stays empty.
QString HashPassword(const QString& password);
// Whether the stored text is a hash made by HashPassword.
bool IsPasswordHash(const QString& stored);
// Whether the stored text has the form of a hash but is no sound one (a
// round count far from what the program writes, a broken salt or key): such
// a password is refused at once, never taken for plain text.
bool IsDamagedPasswordHash(const QString& stored);
// Whether the typed password is the stored one (hashed or, in a base made
// before, plain text); never for a damaged hash.
bool PasswordMatches(const QString& stored, const QString& typed);
// After a successful login: a password still stored as plain text is
// replaced by its hash in memory and in the base (one transaction).
void KeepPasswordHashed(CInfoBase& base, const QString& typed);

} // namespace kalvor::infobase
