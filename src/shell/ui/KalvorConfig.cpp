#include "shell/ui/KalvorConfig.h"

#include "platform/PrivateFiles.h"
#include "platform/SavedFile.h"
#include "platform/WorkingFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTextStream>

#include <cerrno>

namespace {

QString lookup(const QList<QPair<QString, QString>>& entries, const QString& key, bool* found)
{
    for (const auto& e : entries)
        if (e.first.compare(key, Qt::CaseInsensitive) == 0) {
            *found = true;
            return e.second;
        }
    *found = false;
    return {};
}

int readInt(const QString& text, bool found)
{
    if (!found)
        return KalvorConfig::kNoValue;
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : 0; // GetPrivateProfileInt gives 0 for text that is not a number
}

QString withSeparator(const QString& path)
{
    return kalvor::platform::WithSeparator(QDir::fromNativeSeparators(path.isEmpty() ? QDir::currentPath() : path));
}

} // namespace

QString KalvorConfig::DefaultFileName()
{
    QString settings = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(settings))
        settings = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(settings) + QStringLiteral("/kalvor/kalvor.ini");
}

QString KalvorConfig::FileToRead(const QString& fileName, const QString& formerFileName)
{
    if (QFileInfo::exists(fileName) || formerFileName.isEmpty() || !QFileInfo::exists(formerFileName))
        return fileName;
    return formerFileName;
}

QString KalvorConfig::FormerFileName()
{
    QFileInfo fi(QCoreApplication::applicationFilePath());
    QString name = fi.fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    return fi.absolutePath() + QLatin1Char('/') + name + QStringLiteral(".ini");
}

void KalvorConfig::Load(const QString& fileName)
{
    m_sections.clear();
    QFile f(fileName);
    if (f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&f);
        in.setEncoding(QStringConverter::Utf8);
        while (!in.atEnd()) {
            const QString line = in.readLine();
            const QString t = line.trimmed();
            if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) {
                m_sections.append({t.mid(1, t.size() - 2).trimmed(), {}});
                continue;
            }
            const int eq = t.indexOf(QLatin1Char('='));
            if (eq <= 0 || t.startsWith(QLatin1Char(';')) || m_sections.isEmpty())
                continue;
            m_sections.last().entries.append({t.left(eq).trimmed(), t.mid(eq + 1).trimmed()});
        }
    }
    auto section = [this](const char* name) -> QList<QPair<QString, QString>> {
        for (const auto& s : m_sections)
            if (s.name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return s.entries;
        return {};
    };
    const auto sql = section("SQL");
    const auto app = section("Application");
    bool found = false;
    server = lookup(sql, QStringLiteral("server"), &found);
    if (!found)
        server = QSysInfo::machineHostName();
    engine = lookup(sql, QStringLiteral("engine"), &found);
    if (!found)
        engine = QStringLiteral("KVR");
    base = lookup(sql, QStringLiteral("base"), &found);
    path = withSeparator(lookup(app, QStringLiteral("path"), &found));
    wndPosX = readInt(lookup(app, QStringLiteral("WndPosX"), &found), found);
    wndPosY = readInt(lookup(app, QStringLiteral("WndPosY"), &found), found);
    wndCX = readInt(lookup(app, QStringLiteral("WndCX"), &found), found);
    wndCY = readInt(lookup(app, QStringLiteral("WndCY"), &found), found);
    infinLoader = lookup(app, QStringLiteral("InfinLoader"), &found);
}

bool KalvorConfig::Save(const QString& fileName, QString* error) const
{
    QList<Section> sections = m_sections;
    auto set = [&sections](const QString& sec, const QString& key, const QString& value) {
        Section* target = nullptr;
        for (auto& s : sections)
            if (s.name.compare(sec, Qt::CaseInsensitive) == 0) {
                target = &s;
                break;
            }
        if (!target) {
            sections.append({sec, {}});
            target = &sections.last();
        }
        for (auto& e : target->entries)
            if (e.first.compare(key, Qt::CaseInsensitive) == 0) {
                e.second = value;
                return;
            }
        target->entries.append({key, value});
    };
    const QString sql = QStringLiteral("SQL");
    const QString app = QStringLiteral("Application");
    set(sql, QStringLiteral("server"), server);
    set(sql, QStringLiteral("engine"), engine);
    set(sql, QStringLiteral("base"), base);
    set(app, QStringLiteral("path"), withSeparator(path));
    set(app, QStringLiteral("WndPosX"), QString::number(wndPosX));
    set(app, QStringLiteral("WndPosY"), QString::number(wndPosY));
    set(app, QStringLiteral("WndCX"), QString::number(wndCX));
    set(app, QStringLiteral("WndCY"), QString::number(wndCY));

    const QString folder = QFileInfo(fileName).path();
    auto failed = [&](const QString& why) {
        if (error)
            *error = kalvor::platform::FileFailureText(QStringLiteral("Ошибка записи в файл"), fileName, why);
        return false;
    };
    if (!kalvor::platform::MakePrivateFolder(folder))
        return failed(kalvor::platform::FolderFailureText(errno, folder));
    QByteArray out;
    for (const auto& s : sections) {
        out += '[' + s.name.toUtf8() + "]\n";
        for (const auto& e : s.entries) out += e.first.toUtf8() + '=' + e.second.toUtf8() + '\n';
    }
    return kalvor::platform::WriteWholeFile(fileName, out, error);
}
