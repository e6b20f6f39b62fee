#include "infobase/KalvorDocData.h"

#include "platform/WorkingFolder.h"

namespace kalvor::infobase {

KalvorDocData::KalvorDocData() = default;

void KalvorDocData::setWorkFolder(const QString& folder)
{
    const QString f = platform::WithSeparator(folder);
    infoBase.workFolder = f;
    infoBase.swap.setPath(infoBase.swapPath());
    refFiles.setFolder(f);
}

} // namespace kalvor::infobase
