#include "reports/social/GenrDataFile.h"

#include "platform/SavedFile.h"
#include "platform/TaskThread.h"
#include "values/ImportCheck.h"

namespace kalvor::reports {

using infobase::ByteReader;
using infobase::ByteWriter;

bool GenrDataHeader::periodValid() const
{
    return firstMonth >= 1 && firstMonth <= 12 && lastMonth >= 1 && lastMonth <= 12 && yearByte >= MinYearByte;
}

QByteArray GenrDataFileBytes(const GenrDataFile& file)
{
    const int tag = file.header.tag;
    const std::size_t valueCount = GenrDataFile::valueCount(tag);
    const QByteArray inval = GenrDataFile::carriesInval(tag) ? InvalRecordsToBytes(file.inval) : QByteArray();

    QByteArray bytes(qsizetype(GenrDataHeader::Size + valueCount * 8), '\0');
    ByteWriter w(bytes.data(), std::size_t(bytes.size()));
    w.u8v(file.header.tag);
    w.u8v(file.header.firstMonth);
    w.u8v(file.header.lastMonth);
    w.u8v(file.header.yearByte);
    for (std::size_t i = 0; i < valueCount; ++i) w.f64(i < file.values.size() ? file.values[i] : 0.0);
    return bytes + inval;
}

int WriteGenrDataFile(const QString& path, const GenrDataFile& file)
{
    return platform::WriteWholeFileKind(path, GenrDataFileBytes(file));
}

QString GenrReadStatusText(GenrReadStatus status)
{
    switch (status) {
    case GenrReadStatus::Done: return {};
    case GenrReadStatus::OpenFailed: return platform::FileErrorKindText(platform::FILE_ERROR_OPEN);
    case GenrReadStatus::ReadFailed: return platform::FileErrorKindText(platform::FILE_ERROR_READ);
    case GenrReadStatus::BadValue: return QStringLiteral("В файле недопустимые значения");
    case GenrReadStatus::Foreign: break;
    }
    return QStringLiteral("Файл не имеет отношения к выбранному Вами своду");
}

namespace {

// The values and the "inval" records against what the reports hold.
bool ValuesPass(const std::vector<double>& values, const std::vector<InvalRecord>& inval, ImportCheck& check)
{
    check.record(QStringLiteral("значений отчёта"));
    for (std::size_t i = 0; i < values.size(); ++i)
        check.number(values[i], -kMaxGenrValue, kMaxGenrValue, QString::number(i));
    for (std::size_t i = 0; i < inval.size(); ++i) {
        const InvalRecord& r = inval[i];
        check.record(QStringLiteral("inval %1").arg(i + 1));
        check.number(r.invGr, 0, 3, QStringLiteral("invGr"));
        check.money(r.sinceYearStart, QStringLiteral("sinceYearStart"), true);
        check.money(r.quarter, QStringLiteral("quarter"), true);
        for (double month : r.months) check.money(month, QStringLiteral("months"), true);
    }
    return check.passed();
}

} // namespace

GenrReadStatus ParseGenrDataFile(const QByteArray& bytes, int tag, const GenrDataHeader* first, GenrDataFile& file,
                                 const QString& name, QString* refusal)
{
    if (std::size_t(bytes.size()) < GenrDataHeader::Size)
        return GenrReadStatus::ReadFailed;
    ByteReader r(bytes.constData(), std::size_t(bytes.size()));
    GenrDataHeader header;
    header.tag = r.u8v();
    header.firstMonth = r.u8v();
    header.lastMonth = r.u8v();
    header.yearByte = r.u8v();
    if (header.tag != tag || !header.periodValid() || (first != nullptr && !header.samePeriod(*first)))
        return GenrReadStatus::Foreign;

    const std::size_t valueCount = GenrDataFile::valueCount(tag);
    const std::size_t valuesEnd = GenrDataHeader::Size + valueCount * 8;
    if (std::size_t(bytes.size()) < valuesEnd)
        return GenrReadStatus::ReadFailed;
    std::vector<double> values(valueCount);
    for (double& value : values) value = r.f64();

    // The records after the values; the files of the other tags end with
    // their values, and whatever follows there is not read.
    std::vector<InvalRecord> inval;
    if (GenrDataFile::carriesInval(tag)) {
        const QByteArray tail = bytes.mid(qsizetype(valuesEnd));
        if (tail.size() % qsizetype(InvalRecord::Size) != 0)
            return GenrReadStatus::ReadFailed;
        inval = InvalRecordsFromBytes(tail);
    }
    ImportCheck check(name);
    if (!ValuesPass(values, inval, check)) {
        if (refusal)
            *refusal = check.summary(QStringLiteral("Файл не загружен: в нём недопустимые значения."));
        return GenrReadStatus::BadValue;
    }
    file.header = header;
    file.values = std::move(values);
    file.inval = std::move(inval);
    return GenrReadStatus::Done;
}

} // namespace kalvor::reports
