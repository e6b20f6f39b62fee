#pragma once
// The working folder (the configuration's "path"): the folder of the reference
// files, the templates ("Shablon"), the work files and the console log. The
// application sets it once at start-up; until then it is the current folder.
#include <QString>

namespace kalvor::platform {

void SetWorkingFolder(const QString& folder);
QString WorkingFolder();

// The folder with a trailing "/" (an empty folder stays empty), ready for a
// file name to be appended.
QString WithSeparator(const QString& folder);

} // namespace kalvor::platform
