#include "infobase/Password.h"

#include "infobase/InfoBaseDbDetail.h"
#include "infobase/StoredTables.h"
#include "platform/DbTransaction.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

namespace kalvor::infobase {

namespace {

const QString kScheme = QStringLiteral("pbkdf2-sha256");
// PBKDF2 rounds of a new hash; a stored hash names its own, which must lie
// near what the program writes: a count far above it would hold the login
// for minutes or hours (2^31 rounds take about 40 minutes), one far below it
// is no hash this program made.
constexpr int kRounds = 120000;
constexpr int kFewestRounds = 50000;
constexpr int kMostRounds = 10 * kRounds;
constexpr int kSaltBytes = 16;
constexpr int kKeyBytes = 32;

QByteArray derive(const QString& password, const QByteArray& salt, int rounds)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt, rounds, kKeyBytes);
}

// Compares in time independent of where the two first differ.
bool sameBytes(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

struct StoredHash {
    int rounds = 0;
    QByteArray salt;
    QByteArray key;
};

bool parse(const QString& stored, StoredHash& h)
{
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 4 || parts[0] != kScheme)
        return false;
    bool ok = false;
    h.rounds = parts[1].toInt(&ok);
    const auto salt = QByteArray::fromBase64Encoding(parts[2].toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    const auto key = QByteArray::fromBase64Encoding(parts[3].toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!ok || h.rounds < kFewestRounds || h.rounds > kMostRounds || !salt || !key || (*salt).isEmpty() ||
        (*key).size() != kKeyBytes)
        return false;
    h.salt = *salt;
    h.key = *key;
    return true;
}

} // namespace

QString HashPassword(const QString& password)
{
    if (password.isEmpty())
        return QString();
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), kSaltBytes / 4);
    return QStringLiteral("%1$%2$%3$%4")
        .arg(kScheme)
        .arg(kRounds)
        .arg(QString::fromLatin1(salt.toBase64()), QString::fromLatin1(derive(password, salt, kRounds).toBase64()));
}

bool IsPasswordHash(const QString& stored)
{
    StoredHash h;
    return parse(stored, h);
}

bool IsDamagedPasswordHash(const QString& stored)
{
    StoredHash h;
    return stored.startsWith(kScheme + QLatin1Char('$')) && !parse(stored, h);
}

bool PasswordMatches(const QString& stored, const QString& typed)
{
    StoredHash h;
    if (parse(stored, h))
        return sameBytes(derive(typed, h.salt, h.rounds), h.key);
    // A damaged hash matches nothing; a base made before keeps plain text.
    return !stored.startsWith(kScheme + QLatin1Char('$')) && sameBytes(stored.toUtf8(), typed.toUtf8());
}

void KeepPasswordHashed(CInfoBase& base, const QString& typed)
{
    if (base.config.parol.isEmpty() || IsPasswordHash(base.config.parol))
        return;
    const QString hash = HashPassword(typed);
    const QSqlDatabase db = Db(base);
    db::Transaction tr(db);
    InfoBaseConfig hashed = base.config;
    hashed.parol = hash;
    static const ColumnUpdate<InfoBaseConfig> parol = ConfigTable().update({QStringLiteral("parol")});
    parol.run(db, hashed, kConfigRowId);
    tr.commit();
    base.config.parol = hash;
}

} // namespace kalvor::infobase
