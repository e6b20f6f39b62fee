#include "print/WorkingFolder.h"

namespace kalvor::print {

QString TemplatePath(const QString& templateName)
{
    return platform::WithSeparator(WorkingFolder()) + QStringLiteral("Shablon/") + templateName +
           QStringLiteral(".rtf");
}

} // namespace kalvor::print
