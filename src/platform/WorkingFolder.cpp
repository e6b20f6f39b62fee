#include "platform/WorkingFolder.h"

#include <QDir>

#include <mutex>

namespace kalvor::platform {
namespace {
std::mutex g_folderMutex;
QString g_workingFolder;
} // namespace

void SetWorkingFolder(const QString& folder)
{
    std::lock_guard lock(g_folderMutex);
    g_workingFolder = folder;
}

QString WorkingFolder()
{
    std::lock_guard lock(g_folderMutex);
    return g_workingFolder.isEmpty() ? QDir::currentPath() : g_workingFolder;
}

QString WithSeparator(const QString& folder)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

} // namespace kalvor::platform
