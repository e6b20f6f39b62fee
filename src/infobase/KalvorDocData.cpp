#include "infobase/KalvorDocData.h"

namespace kalvor::infobase {

KalvorDocData::KalvorDocData() = default;

void KalvorDocData::setWorkFolder(const QString& folder)
{
    QString f = folder;
    if (!f.isEmpty() && !f.endsWith(QLatin1Char('/'))) f += QLatin1Char('/');
    infoBase.workFolder = f;
    infoBase.swap.setPath(infoBase.swapPath());
    refFiles.setFolder(f);
}

} // namespace kalvor::infobase
