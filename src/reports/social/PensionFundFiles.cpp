#include "reports/social/PensionFundFiles.h"

#include "reports/social/ReportRun.h"
#include "values/Text8.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kalvor::reports {

namespace {

// The largest pack number the name's five digits hold.
constexpr int kLastPackNumber = 99999;

} // namespace

QByteArray PensionRegistrationNumber(const infobase::FirmInfo& firm)
{
    const QByteArray field = PaddedFirmText(firm, infobase::FirmInfo::firmPens);
    const QByteArray number = SqueezeBlanks(field.left(14));
    if (field[3] != '-' || field[7] != '-' || number.size() < 14)
        return "000-000-000000";
    return number;
}

QString PensionFundFileName(const infobase::FirmInfo& firm, int year, int orgPack, int deptCode, int deptPack)
{
    const QByteArray number = PensionRegistrationNumber(firm);
    return QString::asprintf("PFR-700-Y-%d-ORG-%s-%s-%s-DCK-%05d-DPT-%06d-DCK-%05d.XML", year,
                             number.left(3).constData(), number.mid(4, 3).constData(), number.mid(8, 6).constData(),
                             orgPack != 0 ? orgPack : 1, deptCode, deptPack);
}

bool HoldsAnotherReport(const QString& path, const ReportMarkers& markers)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return false;
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return true;
    const QByteArray bytes = file.readAll();
    for (const QByteArray& marker : markers)
        if (!bytes.contains(marker))
            return true;
    return false;
}

PackNumberChoice ChoosePackNumber(int typed, int first, const std::function<QString(int number)>& pathOf,
                                  const ReportMarkers& markers)
{
    if (typed != 0) {
        if (!HoldsAnotherReport(pathOf(typed), markers))
            return {typed, QString()};
        return {typed, QStringLiteral("Пачка %1 уже записана в файл %2 с другим отчетом. Укажите другой номер пачки "
                                      "или оставьте поле пустым: программа выберет свободный номер.")
                           .arg(typed)
                           .arg(QDir::toNativeSeparators(pathOf(typed)))};
    }
    for (int number = first; number <= kLastPackNumber; ++number)
        if (!HoldsAnotherReport(pathOf(number), markers))
            return {number, QString()};
    return {0, QStringLiteral("Нет свободного номера пачки")};
}

} // namespace kalvor::reports
