#include "shell/ui/BaseService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

namespace {

const QString kSource = QStringLiteral("Kalvor base");

BaseFailure failureFrom(const QSqlError& e, const QString& what)
{
    bool ok = false;
    const quint32 code = e.nativeErrorCode().toUInt(&ok);
    return BaseFailure::Make(ok ? code : 1u, what, e.text(), kSource);
}

bool validName(const QString& name)
{
    if (name.isEmpty() || name.size() > 128)
        return false;
    for (QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 32)
            return false;
    return name != QLatin1String(".") && name != QLatin1String("..");
}

} // namespace

SqliteBaseService::SqliteBaseService(const QString& folder)
    : m_folder(folder)
{
    if (!m_folder.isEmpty() && !m_folder.endsWith(QLatin1Char('/')))
        m_folder += QLatin1Char('/');
}

SqliteBaseService::~SqliteBaseService()
{
    Close();
}

QString SqliteBaseService::FileName(const QString& name) const
{
    return m_folder + name + QStringLiteral(".db");
}

bool SqliteBaseService::Exists(const QString& name)
{
    return validName(name) && QFileInfo(FileName(name)).isFile();
}

QStringList SqliteBaseService::Names()
{
    QStringList names;
    const QStringList files = QDir(m_folder.isEmpty() ? QStringLiteral(".") : m_folder)
                                  .entryList({QStringLiteral("*.db")}, QDir::Files, QDir::Name);
    for (const QString& f : files)
        names << f.left(f.size() - 3);
    return names;
}

BaseFailure SqliteBaseService::Create(const QString& name)
{
    if (!validName(name))
        return BaseFailure::Make(1, QStringLiteral("Недопустимое имя базы данных"), name, kSource);
    if (QFileInfo::exists(FileName(name)))
        return BaseFailure::Make(1, QStringLiteral("База данных уже существует"), name, kSource);
    // Built under a temporary name and renamed when complete, so that a
    // failure never leaves half a base under the real name.
    const QString temp = FileName(name) + QStringLiteral(".new");
    QFile::remove(temp);
    const QString conn = QStringLiteral("kalvor-create-") + QUuid::createUuid().toString();
    BaseFailure result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(temp);
        if (!db.open()) {
            result = failureFrom(db.lastError(), QStringLiteral("Ошибка при создании базы данных"));
        } else {
            QSqlQuery q(db);
            if (!db.transaction()
                || !q.exec(QStringLiteral("CREATE TABLE config (password VARCHAR(7) NOT NULL DEFAULT '')"))
                || !q.exec(QStringLiteral("INSERT INTO config (password) VALUES ('')"))
                || !db.commit())
                result = failureFrom(q.lastError().isValid() ? q.lastError() : db.lastError(),
                                     QStringLiteral("Ошибка при создании базы данных"));
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(conn);
    if (result.failed) {
        QFile::remove(temp);
        return result;
    }
    if (!QFile::rename(temp, FileName(name))) {
        QFile::remove(temp);
        return BaseFailure::Make(1, QStringLiteral("Ошибка записи в файл"), FileName(name), kSource);
    }
    return {};
}

BaseFailure SqliteBaseService::Open(const QString& name)
{
    Close();
    if (!Exists(name))
        return BaseFailure::Make(1, QStringLiteral("База данных не найдена."), name, kSource);
    m_connection = QStringLiteral("kalvor-") + QUuid::createUuid().toString();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(FileName(name));
    BaseFailure result;
    if (!db.open()) {
        result = failureFrom(db.lastError(), QStringLiteral("Ошибка при открытии базы данных"));
    } else {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT password FROM config")) || !q.next())
            result = failureFrom(q.lastError(), QStringLiteral("Ошибка при открытии базы данных"));
    }
    if (result.failed) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
        m_connection.clear();
        return result;
    }
    m_name = name;
    return {};
}

QString SqliteBaseService::StoredPassword()
{
    if (!IsOpen())
        return {};
    QSqlQuery q(QSqlDatabase::database(m_connection));
    if (q.exec(QStringLiteral("SELECT password FROM config")) && q.next())
        return q.value(0).toString();
    return {};
}

BaseFailure SqliteBaseService::SetStoredPassword(const QString& password)
{
    if (!IsOpen())
        return BaseFailure::Make(1, QStringLiteral("База данных не открыта"), {}, kSource);
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("UPDATE config SET password = ?"));
    q.addBindValue(password.left(7));
    if (!q.exec())
        return failureFrom(q.lastError(), QStringLiteral("Ошибка записи в базу данных"));
    return {};
}

bool SqliteBaseService::IsOpen() const
{
    return !m_connection.isEmpty();
}

void SqliteBaseService::Close()
{
    if (m_connection.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
    m_name.clear();
}
