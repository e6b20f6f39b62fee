#include "reports/social/CountryList.h"

#include "platform/CodePage.h"
#include "platform/WorkingFolder.h"

#include <QFile>

namespace kalvor::reports {

namespace {

// The first three bytes of a code, blank-padded.
QByteArray CodeBytes(const QByteArray& code) { return code.left(3).leftJustified(3, ' '); }

// A name field up to its zero byte, at most 50 bytes.
QByteArray NameOfRecord(const char* record)
{
    QByteArray name(record + 3, kCountryNameWidth);
    if (const qsizetype end = name.indexOf('\0'); end >= 0)
        name.truncate(end);
    return name;
}

} // namespace

QString CountryFilePath() { return platform::WithSeparator(platform::WorkingFolder()) + QStringLiteral("country"); }

QByteArray FindCountryName(const QString& path, const QByteArray& code)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray wanted = CodeBytes(code);
    QByteArray found;
    char record[kCountryRecordSize];
    while (file.read(record, kCountryRecordSize) == kCountryRecordSize) {
        if (QByteArray::fromRawData(record, 3) == wanted)
            found = NameOfRecord(record);
    }
    return found;
}

QByteArray CitizenshipText(const QByteArray& code)
{
    const QByteArray padded = CodeBytes(code);
    if (padded == "643" || padded == "   ")
        return codepage::toCp1251(QStringLiteral("РФ"));
    return FindCountryName(CountryFilePath(), padded);
}

QByteArray CitizenshipText(const QString& code) { return CitizenshipText(codepage::toCp1251(code)); }

} // namespace kalvor::reports
