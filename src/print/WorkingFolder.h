#pragma once
// Where the print side finds its templates: "Shablon" in the working folder.
#include "platform/WorkingFolder.h"

#include <QString>

namespace kalvor::print {

using platform::SetWorkingFolder;
using platform::WorkingFolder;

// The path of a template: working folder + "Shablon/" + name + ".rtf".
QString TemplatePath(const QString& templateName);

} // namespace kalvor::print
