#include "reports/social/InvalRecord.h"

#include "platform/SavedFile.h"
#include "reports/social/SocialFormTexts.h"

#include "platform/CodePage.h"
#include "platform/TaskThread.h"
#include "platform/WorkingFolder.h"
#include "reports/social/PeriodTotals.h"
#include "values/Values.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace kalvor::reports {

using infobase::ByteReader;
using infobase::ByteWriter;

void InvalRecord::write(ByteWriter& w) const
{
    w.u8v(reserved);
    w.bytes(fio.data(), fio.size());
    w.bytes(invSprSer.data(), invSprSer.size());
    w.bytes(invSprNom.data(), invSprNom.size());
    w.bytes(invSprDat.data(), invSprDat.size());
    w.bytes(invEnd.data(), invEnd.size());
    w.u8v(invGr);
    w.f64(sinceYearStart);
    w.f64(quarter);
    for (double month : months) w.f64(month);
}

InvalRecord InvalRecord::read(ByteReader& r)
{
    InvalRecord rec;
    rec.reserved = r.u8v();
    r.bytes(rec.fio.data(), rec.fio.size());
    r.bytes(rec.invSprSer.data(), rec.invSprSer.size());
    r.bytes(rec.invSprNom.data(), rec.invSprNom.size());
    r.bytes(rec.invSprDat.data(), rec.invSprDat.size());
    r.bytes(rec.invEnd.data(), rec.invEnd.size());
    rec.invGr = r.u8v();
    rec.sinceYearStart = r.f64();
    rec.quarter = r.f64();
    for (double& month : rec.months) month = r.f64();
    return rec;
}

static_assert(1 + 50 + 8 + 10 + 8 + 10 + 1 + 5 * 8 == InvalRecord::Size);

std::array<char, 10> InvalValidityText(const infobase::EmployeeHead& head)
{
    std::array<char, 10> text{};
    int endMonth = 0;
    if (head.invDat2End != 0)
        endMonth = head.invDat2End;
    else if (head.invDat2Begin == 0)
        endMonth = head.invDat1End;
    QByteArray bytes;
    if (endMonth != 0)
        bytes = QStringLiteral("01.%1.%2")
                    .arg(MonthKey::of(endMonth).month(), 2, 10, QLatin1Char('0'))
                    .arg(MonthKey::of(endMonth).year(), 4, 10, QLatin1Char('0'))
                    .toLatin1();
    else
        bytes = codepage::toCp1251(QStringLiteral("бессрочно"));
    std::memcpy(text.data(), bytes.constData(), std::min<std::size_t>(text.size(), std::size_t(bytes.size())));
    return text;
}

QString InvalFilePath() { return platform::WithSeparator(platform::WorkingFolder()) + QStringLiteral("inval"); }

QByteArray InvalRecordsToBytes(const std::vector<InvalRecord>& records)
{
    QByteArray bytes(qsizetype(records.size() * InvalRecord::Size), '\0');
    ByteWriter w(bytes.data(), std::size_t(bytes.size()));
    for (const InvalRecord& rec : records) rec.write(w);
    return bytes;
}

std::vector<InvalRecord> InvalRecordsFromBytes(const QByteArray& bytes)
{
    std::vector<InvalRecord> records;
    const std::size_t count = std::size_t(bytes.size()) / InvalRecord::Size;
    ByteReader r(bytes.constData(), count * InvalRecord::Size);
    for (std::size_t i = 0; i < count; ++i) records.push_back(InvalRecord::read(r));
    return records;
}

int ReadInvalFile(const QString& path, std::vector<InvalRecord>& records)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return platform::FILE_ERROR_OPEN;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.size() % qsizetype(InvalRecord::Size) != 0)
        return platform::FILE_ERROR_READ;
    records = InvalRecordsFromBytes(bytes);
    return 0;
}

int WriteInvalFile(const QString& path, const std::vector<InvalRecord>& records)
{
    return platform::WriteWholeFileKind(path, InvalRecordsToBytes(records));
}

namespace {

// The text into a fixed field of the record, windows-1251, blank-padded.
template <std::size_t N>
void CopyPadded(std::array<char, N>& field, const QString& text)
{
    const QByteArray bytes = codepage::toCp1251(text).leftJustified(qsizetype(N), ' ', true);
    std::memcpy(field.data(), bytes.constData(), N);
}

} // namespace

QDate InvalIssueDate(const InvalRecord& record)
{
    QByteArray field(record.invSprDat.data(), qsizetype(record.invSprDat.size()));
    return ReadDateText(QString::fromLatin1(field.replace('\0', ' ')));
}

void FillInvalIdentity(const infobase::EmployeeHead& head, InvalRecord& record)
{
    const QByteArray name = codepage::toCp1251(head.fio).leftJustified(infobase::FirmInfo::TextWidth, ' ', true);
    JoinAddressWords(record.fio.data(), name.constData());
    CopyPadded(record.invSprSer, head.invSprSer);
    CopyPadded(record.invSprNom, head.invSprNom);
    CopyPadded(record.invSprDat, ShortDateText(head.invSprDat));
    record.invEnd = InvalValidityText(head);
    record.invGr = std::uint8_t((head.flags >> 6) & 3);
}

InvalName SplitInvalName(const std::array<char, 50>& field)
{
    QByteArray text(field.data(), qsizetype(field.size()));
    if (const qsizetype end = text.indexOf('\0'); end >= 0)
        text.truncate(end);
    InvalName person;
    const qsizetype first = text.indexOf(',');
    person.surname = (first < 0 ? text : text.left(first)).trimmed();
    if (first < 0)
        return person;
    const qsizetype second = text.indexOf(',', first + 1);
    person.name = (second < 0 ? text.mid(first + 1) : text.mid(first + 1, second - first - 1)).trimmed();
    if (second < 0)
        return person;
    const QByteArray rest = text.mid(second + 1);
    const qsizetype blank = rest.indexOf(' ');
    person.patronymic = blank < 0 ? rest : rest.left(blank);
    return person;
}

} // namespace kalvor::reports
