#include "platform/Dbf.h"

#include "platform/Db.h"
#include "platform/SavedFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace kalvor::dbf {

namespace {

constexpr char kHeaderEnd = 0x0D;
constexpr char kFileEnd = 0x1A;
const QString kSource = QStringLiteral("Kalvor dBASE");

[[noreturn]] void Fail(const QString& message, const QString& description)
{
    throw db::DbError(db::E_DB_FAIL, message, description, kSource);
}

[[noreturn]] void FailBadFile(const QString& path, const QString& why)
{
    Fail(QStringLiteral("Ошибка чтения файла"),
         QStringLiteral("Файл %1 не является таблицей dBASE III: %2").arg(QDir::toNativeSeparators(path), why));
}

unsigned U16At(const QByteArray& bytes, int at)
{
    return unsigned(uchar(bytes[at])) | unsigned(uchar(bytes[at + 1])) << 8;
}

quint32 U32At(const QByteArray& bytes, int at)
{
    return quint32(U16At(bytes, at)) | quint32(U16At(bytes, at + 2)) << 16;
}

void PutU16(char* at, unsigned value)
{
    at[0] = char(value & 0xFF);
    at[1] = char((value >> 8) & 0xFF);
}

void PutU32(char* at, quint32 value)
{
    PutU16(at, value & 0xFFFF);
    PutU16(at + 2, value >> 16);
}

bool IsBlank(QByteArrayView bytes)
{
    for (char c : bytes)
        if (c != ' ' && c != '\0')
            return false;
    return true;
}

QByteArray TrimTrailing(QByteArrayView bytes)
{
    qsizetype end = bytes.size();
    while (end > 0 && (bytes[end - 1] == ' ' || bytes[end - 1] == '\0')) --end;
    return bytes.first(end).toByteArray();
}

// "yyyymmdd" as "dd.mm.yyyy"; a value that is not eight digits stays as stored.
QByteArray DateText(QByteArrayView stored)
{
    const QByteArray text = stored.toByteArray().trimmed();
    if (text.size() != 8)
        return text;
    return text.mid(6, 2) + '.' + text.mid(4, 2) + '.' + text.left(4);
}

// The field descriptors between the header and its terminator.
std::vector<DbfField> ReadDescriptors(const QByteArray& bytes, int headerLength, const QString& path)
{
    std::vector<DbfField> fields;
    int offset = 0;
    int at = DbfTable::HeaderSize;
    while (at < headerLength && bytes[at] != kHeaderEnd) {
        if (at + DbfTable::DescriptorSize > headerLength)
            FailBadFile(path, QStringLiteral("описание полей не завершено"));
        DbfField field;
        const char* name = bytes.constData() + at;
        field.name = QByteArray(name, qsizetype(strnlen(name, DbfTable::MaxNameLength + 1)));
        field.type = bytes[at + 11];
        field.length = uchar(bytes[at + 16]);
        field.decimals = uchar(bytes[at + 17]);
        field.offset = offset;
        if (field.length == 0)
            FailBadFile(path, QStringLiteral("поле нулевой длины"));
        offset += field.length;
        fields.push_back(field);
        at += DbfTable::DescriptorSize;
    }
    if (fields.empty())
        FailBadFile(path, QStringLiteral("нет описаний полей"));
    return fields;
}

} // namespace

DbfTable DbfTable::create(const std::vector<DbfField>& fields)
{
    DbfTable table;
    for (DbfField field : fields) {
        field.name = field.name.toUpper();
        if (field.name.isEmpty() || field.name.size() > MaxNameLength)
            Fail(QStringLiteral("Ошибка в описании таблицы"),
                 QStringLiteral("Недопустимое имя поля \"%1\"").arg(QString::fromLatin1(field.name)));
        if (table.fieldIndex(field.name) >= 0)
            Fail(QStringLiteral("Ошибка в описании таблицы"),
                 QStringLiteral("Поле \"%1\" описано дважды").arg(QString::fromLatin1(field.name)));
        if (field.length < 1 || field.length > MaxCharLength)
            Fail(QStringLiteral("Ошибка в описании таблицы"),
                 QStringLiteral("Недопустимая длина поля \"%1\"").arg(QString::fromLatin1(field.name)));
        field.offset = table.recordLength_ - 1;
        table.recordLength_ += field.length;
        table.fields_.push_back(field);
    }
    if (table.fields_.empty())
        Fail(QStringLiteral("Ошибка в описании таблицы"), QStringLiteral("Таблица без полей"));
    return table;
}

DbfTable DbfTable::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("Ошибка при открытии файла"),
             QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (bytes.size() < HeaderSize + 1)
        FailBadFile(path, QStringLiteral("файл короче заголовка"));
    // dBASE III to 5 (with or without memo) and FoxPro tables share the layout read here.
    const unsigned char version = uchar(bytes[0]);
    const int level = version & 7;
    if ((level < 3 || level > 5) && version != 0x30 && version != 0x31)
        FailBadFile(path, QStringLiteral("неизвестная версия %1").arg(version));

    const quint32 count = U32At(bytes, 4);
    const int headerLength = int(U16At(bytes, 8));
    const int recordLength = int(U16At(bytes, 10));
    if (headerLength <= HeaderSize || headerLength > bytes.size())
        FailBadFile(path, QStringLiteral("неверная длина заголовка"));

    DbfTable table;
    table.fields_ = ReadDescriptors(bytes, headerLength, path);
    const DbfField& last = table.fields_.back();
    if (recordLength != 1 + last.offset + last.length)
        FailBadFile(path, QStringLiteral("длина записи не совпадает с описанием полей"));
    table.recordLength_ = recordLength;
    if (qint64(headerLength) + qint64(count) * recordLength > bytes.size())
        FailBadFile(path, QStringLiteral("файл короче, чем указано в заголовке (%1 записей)").arg(count));

    table.records_.reserve(count);
    for (quint32 i = 0; i < count; ++i)
        table.records_.push_back(bytes.mid(headerLength + qsizetype(i) * recordLength, recordLength));
    return table;
}

void DbfTable::write(const QString& path, const QDate& updated) const
{
    QByteArray bytes(headerLength(), '\0');
    char* header = bytes.data();
    header[0] = char(Version);
    header[1] = char(updated.year() - 1900);
    header[2] = char(updated.month());
    header[3] = char(updated.day());
    PutU32(header + 4, quint32(records_.size()));
    PutU16(header + 8, unsigned(headerLength()));
    PutU16(header + 10, unsigned(recordLength_));
    header[29] = char(LanguageCp1251);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        char* descriptor = header + HeaderSize + DescriptorSize * int(i);
        const DbfField& field = fields_[i];
        std::memcpy(descriptor, field.name.constData(), std::size_t(field.name.size()));
        descriptor[11] = field.type;
        descriptor[16] = char(field.length);
        descriptor[17] = char(field.decimals);
    }
    bytes[headerLength() - 1] = kHeaderEnd;
    bytes.reserve(bytes.size() + qsizetype(records_.size()) * recordLength_ + 1);
    for (const QByteArray& record : records_) bytes += record;
    bytes += kFileEnd;

    QString failure;
    if (!platform::WriteWholeFile(path, bytes, &failure)) {
        // The file's line is the message, why it failed the description.
        const qsizetype reason = failure.indexOf(QLatin1Char('\n'));
        Fail(failure.left(reason), reason < 0 ? QString() : failure.mid(reason + 1));
    }
}

int DbfTable::fieldIndex(QByteArrayView name) const
{
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QByteArray DbfTable::rawValue(int record, int field) const
{
    const DbfField& f = fields_[std::size_t(field)];
    return records_[std::size_t(record)].mid(1 + f.offset, f.length);
}

QByteArray DbfTable::value(int record, int field) const
{
    const QByteArray stored = rawValue(record, field);
    if (IsBlank(stored))
        return QByteArray();
    switch (fields_[std::size_t(field)].type) {
    case 'C': return TrimTrailing(stored);
    case 'D': return DateText(stored);
    default: // N, F, L and the rest: the stored text without its padding
        return stored.trimmed();
    }
}

bool DbfTable::valueEquals(int record, int field, QByteArrayView text) const
{
    const DbfField& f = fields_[std::size_t(field)];
    if (f.type != 'C')
        return value(record, field) == text;
    QByteArrayView stored = QByteArrayView(records_[std::size_t(record)]).sliced(1 + f.offset, f.length);
    while (!stored.isEmpty() && (stored.back() == ' ' || stored.back() == '\0')) stored.chop(1);
    return stored == text;
}

int DbfTable::appendBlankRecord()
{
    records_.push_back(QByteArray(recordLength_, ' '));
    return int(records_.size()) - 1;
}

void DbfTable::setValue(int record, int field, QByteArrayView text)
{
    const DbfField& f = fields_[std::size_t(field)];
    char* at = records_[std::size_t(record)].data() + 1 + f.offset;
    const qsizetype length = std::min<qsizetype>(text.size(), f.length);
    if (length > 0) // an empty value may have no data at all
        std::memcpy(at, text.data(), std::size_t(length));
    std::memset(at + length, ' ', std::size_t(f.length - length));
}

QString FindTableFile(const QString& folder, const QString& fileName)
{
    const QDir dir(folder);
    if (fileName.isEmpty() || QFileInfo::exists(dir.filePath(fileName)))
        return dir.filePath(fileName);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : entries)
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return dir.filePath(fileName);
}

} // namespace kalvor::dbf
