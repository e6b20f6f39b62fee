#include "exchange/KodDbf.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DbTransaction.h"
#include "platform/SavedFile.h"
#include "values/CScan.h"
#include "values/Clock.h"
#include "values/ImportCheck.h"
#include "values/Messages.h"
#include "values/RoundText.h"
#include "values/Text8.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <map>

namespace kalvor::exchange {

using infobase::PayKind;
using infobase::u16;
using infobase::u8;

namespace {

const QString kFileName = QStringLiteral("kod.dbf");
constexpr int kHeaderMinimum = 12; // up to the record length at offset 10
constexpr char kFileEnd = 0x1A;

// Record offsets.
enum KodDbfOffset : int {
    OffName = 1,
    OffCode = 21,
    OffGroup = 24,
    OffIncomeTax = 25,
    OffSickLeave = 26,
    OffEnOtp = 27,
    OffFlags5 = 28,
    OffFlags8 = 31,
    OffSpzCh = 37,
    OffSpzSc = 41,
    OffSpzAu = 45,
    OffRounding = 49,
    OffIncomeCode = 50,
    OffDeductionCode = 54,
    OffFirstAmount = 57,
    OffSecondAmount = 70,
};
constexpr int kNameWidth = 20;
constexpr int kAmountWidth = 13;
// The flag bits the file carries: 0-1, 3, 5-13 and 14.
constexpr u16 kCarriedFlags = 0x7FEB;

[[noreturn]] void Fail(const char* message) { throw TextError(message); }

// ------------------------------------------------------------------ record fields

char Digit(int value) { return char('0' + value); }
int DigitAt(const char* record, int offset)
{
    const char c = record[offset];
    return c >= '0' && c <= '9' ? c - '0' : 0;
}
int FlagBit(u16 flags, int bit) { return (flags >> bit) & 1; }

// The value's last `width` digits, zero padded.
QByteArray ZeroPadded(int value, int width)
{
    return QByteArray::number(value).rightJustified(width, '0').right(width);
}

void Put(QByteArray& record, int offset, const QByteArray& text) { record.replace(offset, text.size(), text); }

int NumberAt(const char* record, int offset, int width) { return AtoiC(record + offset, width); }

double KopecksAt(const char* record, int offset)
{
    return RoundThroughText(AtofC(record + offset, kAmountWidth) * 100, 0);
}

QByteArray Amount(double kopecks) { return FormatFixed8(kopecks / 100, 2, kAmountWidth).left(kAmountWidth); }

QString WithoutTrailingBlanks(QString text)
{
    while (text.endsWith(QLatin1Char(' '))) text.chop(1);
    return text;
}

// The name of a record, trailing blanks dropped.
QString NameAt(const char* record) { return WithoutTrailingBlanks(ByteBufferToString(record + OffName, kNameWidth)); }

// The part of a name that the record holds.
QString NameHead(const QString& name)
{
    return WithoutTrailingBlanks(codepage::fromCp1251(codepage::toCp1251(name).left(kNameWidth)));
}

u16 FlagsFromRecord(const char* record, u16 previous)
{
    u16 flags = u16(previous & ~kCarriedFlags);
    const int group = DigitAt(record, OffGroup);
    flags |= u16(group & 3);
    flags |= u16(((group >> 2) & 1) << 14);
    for (int bit = 5; bit <= 7; ++bit) flags |= u16((DigitAt(record, OffFlags5 + bit - 5) & 1) << bit);
    for (int bit = 8; bit <= 13; ++bit) flags |= u16((DigitAt(record, OffFlags8 + bit - 8) & 1) << bit);
    return flags;
}

// ------------------------------------------------------------------ the file's header

struct KodDbfHeader {
    QByteArray bytes; // the whole header, as the file has it
    int recordCount = 0;
};

quint32 U32At(const QByteArray& bytes, int at)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | uchar(bytes[at + i]);
    return value;
}
int U16At(const QByteArray& bytes, int at) { return uchar(bytes[at]) | uchar(bytes[at + 1]) << 8; }

// Opens the kinds file and reads its header; the checks of WriteKodDbf.
KodDbfHeader OpenKodDbf(const QString& folder, QFile& file)
{
    file.setFileName(KodDbfPath(folder));
    if (!file.exists())
        Fail("база данных KOD.DBF не найдена");
    if (!file.open(QIODevice::ReadOnly))
        Fail("Ошибка при открытии файла");
    KodDbfHeader header;
    header.bytes = file.read(kHeaderMinimum);
    if (header.bytes.isEmpty() || header.bytes[0] != char(3))
        Fail("база данных KOD.DBF не найдена");
    if (header.bytes.size() < kHeaderMinimum)
        Fail("Ошибка чтения файла");
    const int headerLength = U16At(header.bytes, 8);
    header.recordCount = int(U32At(header.bytes, 4) & 0xFFFF);
    if (headerLength < kHeaderMinimum || headerLength > file.size() || header.recordCount > kKodDbfMaxRecords ||
        U16At(header.bytes, 10) != kKodDbfRecordSize)
        Fail("Ошибка чтения файла");
    header.bytes += file.read(headerLength - kHeaderMinimum);
    if (header.bytes.size() != headerLength)
        Fail("Ошибка чтения файла");
    return header;
}

// The base's kinds by code, for what the file does not carry.
std::map<int, const PayKind*> KindsByCode(const infobase::CInfoBase& base)
{
    std::map<int, const PayKind*> kinds;
    for (const PayKind& kind : base.payKinds()) kinds.emplace(kind.kod, &kind);
    return kinds;
}

// Replaces the base's kinds, in memory and in the base together.
void ReplacePayKinds(infobase::CInfoBase& base, std::vector<PayKind> kinds)
{
    std::vector<PayKind> previous = base.payKinds();
    const u16 previousCount = base.config.nEnt;
    try {
        base.setPayKinds(std::move(kinds));
        db::WriteTogether(infobase::Db(base), [&] {
            infobase::SaveConfigNEnt(base);
            infobase::SaveEntree(base);
        });
    } catch (...) {
        base.setPayKinds(std::move(previous));
        base.config.nEnt = previousCount;
        throw;
    }
}

} // namespace

QString KodDbfPath(const QString& folder) { return dbf::FindTableFile(folder, kFileName); }

QByteArray KodDbfRecord(const PayKind& kind)
{
    QByteArray record(kKodDbfRecordSize, '0');
    record[0] = ' ';
    QByteArray name(kNameWidth, ' ');
    StringToByteBuffer(kind.name, name.data(), kNameWidth);
    Put(record, OffName, name);
    Put(record, OffCode, QByteArray::number(kind.kod % 1000).rightJustified(3, ' '));
    record[OffGroup] = Digit(4 * FlagBit(kind.flags, 14) + (kind.flags & 3));
    record[OffIncomeTax] = Digit(kind.oblPodoh);
    record[OffSickLeave] = Digit(FlagBit(kind.flags, 3) ? 1 : kind.enBlnProp ? 2 : 0);
    record[OffEnOtp] = Digit(kind.enOtp);
    for (int bit = 5; bit <= 7; ++bit) record[OffFlags5 + bit - 5] = Digit(FlagBit(kind.flags, bit));
    for (int bit = 8; bit <= 13; ++bit) record[OffFlags8 + bit - 8] = Digit(FlagBit(kind.flags, bit));
    Put(record, OffSpzCh, ZeroPadded(kind.spzCh, 4));
    Put(record, OffSpzSc, ZeroPadded(kind.spzSc, 4));
    Put(record, OffSpzAu, ZeroPadded(kind.spzAu, 4));
    record[OffRounding] = Digit(kind.okrug);
    Put(record, OffIncomeCode, ZeroPadded(kind.kodDoh, 4));
    Put(record, OffDeductionCode, ZeroPadded(kind.kodSkid, 3));
    Put(record, OffFirstAmount, Amount(kind.sumSkidPodoh));
    Put(record, OffSecondAmount, Amount(kind.sumSkidSoc));
    return record;
}

PayKind PayKindFromKodDbf(const char* record, const PayKind& previous)
{
    PayKind kind = previous;
    kind.kod = u16(NumberAt(record, OffCode, 3));
    const QString name = NameAt(record);
    if (name != NameHead(previous.name))
        kind.name = name;
    kind.flags = FlagsFromRecord(record, previous.flags);
    kind.oblPodoh = u8(DigitAt(record, OffIncomeTax) & 1);
    switch (DigitAt(record, OffSickLeave)) {
    case 1: kind.flags |= 0x0008; break;
    case 2: kind.enBlnProp = 1; break;
    default: kind.enBlnProp = 0; break;
    }
    kind.enOtp = u8(DigitAt(record, OffEnOtp) & 3);
    kind.spzCh = u16(NumberAt(record, OffSpzCh, 4) & 0x3FFF);
    kind.spzSc = u16(NumberAt(record, OffSpzSc, 4) & 0x3FFF);
    kind.spzAu = u16(NumberAt(record, OffSpzAu, 4) & 0x3FFF);
    kind.okrug = u8(DigitAt(record, OffRounding) & 7);
    kind.kodDoh = u16(NumberAt(record, OffIncomeCode, 4));
    kind.kodSkid = u16(NumberAt(record, OffDeductionCode, 3));
    kind.sumSkidPodoh = KopecksAt(record, OffFirstAmount);
    kind.sumSkidSoc = KopecksAt(record, OffSecondAmount);
    return kind;
}

std::vector<dbf::DbfField> KodDbfFields()
{
    auto character = [](const char* name, int length) { return dbf::DbfField{name, 'C', length, 0, 0}; };
    std::vector<dbf::DbfField> fields = {
        character("NAIM", kNameWidth), character("KOD", 3), character("GRUPPA", 1),
        character("PODOH", 1),         character("BLN", 1), character("ENOTP", 1),
    };
    for (int bit = 5; bit <= 13; ++bit)
        fields.push_back(character(QByteArray("PR" + QByteArray::number(bit)).constData(), 1));
    for (const char* name : {"SPZCH", "SPZSC", "SPZAU"}) fields.push_back(character(name, 4));
    fields.push_back(character("OKRUG", 1));
    fields.push_back(character("KODDOH", 4));
    fields.push_back(character("KODSKID", 3));
    fields.push_back(dbf::DbfField{"SKIDPODOH", 'N', kAmountWidth, 2, 0});
    fields.push_back(dbf::DbfField{"SKIDSOC", 'N', kAmountWidth, 2, 0});
    return fields;
}

bool WriteKodDbfTemplate(const QString& folder)
{
    if (QFileInfo::exists(KodDbfPath(folder)))
        return false;
    dbf::DbfTable::create(KodDbfFields()).write(KodDbfPath(folder), Clock::today());
    return true;
}

bool WriteKodDbfRecords(QIODevice& out, const std::vector<PayKind>& kinds, std::stop_token stop)
{
    QByteArray block;
    block.reserve(kKodDbfBlockRecords * kKodDbfRecordSize + 1);
    auto writeBlock = [&out, &block] {
        if (out.write(block) != block.size())
            throw TextError(platform::WriteFailureOf(out));
        block.clear();
    };
    for (const PayKind& kind : kinds) {
        if (stop.stop_requested())
            return false;
        block += KodDbfRecord(kind);
        if (block.size() == kKodDbfBlockRecords * kKodDbfRecordSize)
            writeBlock();
    }
    block += kFileEnd;
    writeBlock();
    return true;
}

bool WriteKodDbf(const QString& folder, const infobase::CInfoBase& base, std::stop_token stop)
{
    QFile file;
    KodDbfHeader header = OpenKodDbf(folder, file);
    file.close();
    const quint32 count = quint32(base.payKinds().size());
    for (int i = 0; i < 4; ++i) header.bytes[4 + i] = char((count >> (8 * i)) & 0xFF);

    platform::SavedFile copy(file.fileName());
    if (!copy.open(QIODevice::WriteOnly) || copy.write(header.bytes) != header.bytes.size())
        throw TextError(copy.failureText());
    if (!WriteKodDbfRecords(copy, base.payKinds(), stop))
        return false; // the copy is dropped; the file stays as it was
    if (!copy.commit())
        throw TextError(copy.failureText());
    return true;
}

namespace {

// The numbers of the read kinds against the fields that keep them: a code of
// 1-999, codes of income and deduction of four and three digits, amounts not
// below zero within the money range. The file replaces every kind, so one
// refused value refuses the file.
void CheckReadKinds(const std::vector<PayKind>& kinds, const QString& file)
{
    ImportCheck check(file);
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const PayKind& kind = kinds[i];
        check.record(QString::number(i + 1));
        check.number(kind.kod, 1, infobase::CInfoBase::MaxPayKinds, QStringLiteral("KOD"));
        check.number(kind.kodDoh, 0, 9999, QStringLiteral("KODDOH"));
        check.number(kind.kodSkid, 0, 999, QStringLiteral("KODSKID"));
        check.money(kind.sumSkidPodoh, QStringLiteral("SKIDPODOH"));
        check.money(kind.sumSkidSoc, QStringLiteral("SKIDSOC"));
    }
    if (!check.passed())
        throw TextError(check.summary(QStringLiteral("Файл не загружен: в нём недопустимые значения.")));
}

} // namespace

int ReadKodDbf(const QString& folder, infobase::CInfoBase& base, std::stop_token stop)
{
    QFile file;
    const KodDbfHeader header = OpenKodDbf(folder, file);
    const std::map<int, const PayKind*> previous = KindsByCode(base);
    std::vector<PayKind> kinds;
    kinds.reserve(std::size_t(header.recordCount));
    for (int read = 0; read < header.recordCount; read += kKodDbfBlockRecords) {
        const int records = std::min(kKodDbfBlockRecords, header.recordCount - read);
        const QByteArray block = file.read(qint64(records) * kKodDbfRecordSize);
        if (block.size() != records * kKodDbfRecordSize)
            Fail("Ошибка чтения файла");
        for (int i = 0; i < records; ++i) {
            if (stop.stop_requested())
                return -1;
            const char* record = block.constData() + i * kKodDbfRecordSize;
            const auto same = previous.find(NumberAt(record, OffCode, 3));
            kinds.push_back(PayKindFromKodDbf(record, same == previous.end() ? PayKind{} : *same->second));
        }
    }
    CheckReadKinds(kinds, QFileInfo(file.fileName()).fileName());
    const int count = int(kinds.size());
    ReplacePayKinds(base, std::move(kinds));
    return count;
}

} // namespace kalvor::exchange
