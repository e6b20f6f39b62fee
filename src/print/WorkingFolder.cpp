#include "print/WorkingFolder.h"

namespace kalvor::print {

QString TemplatePath(const QString& templateName)
{
    QString folder = WorkingFolder();
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + QStringLiteral("Shablon/") + templateName + QStringLiteral(".rtf");
}

} // namespace kalvor::print
