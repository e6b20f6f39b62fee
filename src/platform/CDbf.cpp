#include "platform/CDbf.h"

#include "platform/CodePage.h"
#include "platform/Db.h"

#include <QDir>
#include <QFileInfo>

namespace kalvor::dbf {

namespace {

const QString kSource = QStringLiteral("Kalvor dBASE");

[[noreturn]] void Fail(const QString& message, const QString& description)
{
    throw db::DbError(db::E_DB_FAIL, message, description, kSource);
}

// Reads the tokens of one statement: keywords, names, punctuation and quoted
// values. Every mismatch is a syntax error naming the statement.
class StatementReader {
public:
    explicit StatementReader(const QByteArray& text) : m_text(text) {}

    bool atEnd()
    {
        skipBlanks();
        return m_at >= m_text.size();
    }
    // The keyword in any case, followed by a character that cannot continue it.
    bool tryKeyword(QByteArrayView keyword)
    {
        skipBlanks();
        const QByteArrayView rest = QByteArrayView(m_text).sliced(m_at);
        if (rest.size() < keyword.size() || rest.first(keyword.size()).compare(keyword, Qt::CaseInsensitive) != 0)
            return false;
        if (rest.size() > keyword.size() && isNameChar(rest[keyword.size()]))
            return false;
        m_at += keyword.size();
        return true;
    }
    void keyword(QByteArrayView keyword)
    {
        if (!tryKeyword(keyword))
            syntaxError();
    }
    bool tryPunct(char c)
    {
        skipBlanks();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }
    void punct(char c)
    {
        if (!tryPunct(c))
            syntaxError();
    }
    // A bare name or one in brackets; the table names may hold points.
    QByteArray name()
    {
        skipBlanks();
        if (tryPunct('[')) {
            const qsizetype end = m_text.indexOf(']', m_at);
            if (end < 0 || end == m_at)
                syntaxError();
            const QByteArray text = m_text.mid(m_at, end - m_at);
            m_at = end + 1;
            return text;
        }
        const qsizetype start = m_at;
        while (m_at < m_text.size() &&
               (isNameChar(m_text[m_at]) || m_text[m_at] == '.' || m_text[m_at] == '-' || uchar(m_text[m_at]) >= 0x80))
            ++m_at;
        if (m_at == start)
            syntaxError();
        return m_text.mid(start, m_at - start);
    }
    int number()
    {
        skipBlanks();
        int value = 0;
        const qsizetype start = m_at;
        while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9' && value < 100000)
            value = value * 10 + (m_text[m_at++] - '0');
        if (m_at == start)
            syntaxError();
        return value;
    }
    // A value between single quotes; two quotes inside stand for one.
    QByteArray quoted()
    {
        punct('\'');
        QByteArray value;
        while (m_at < m_text.size()) {
            const char c = m_text[m_at++];
            if (c != '\'') {
                value += c;
            } else if (m_at < m_text.size() && m_text[m_at] == '\'') {
                value += '\'';
                ++m_at;
            } else {
                return value;
            }
        }
        syntaxError();
    }
    [[noreturn]] void syntaxError() const
    {
        Fail(QStringLiteral("Синтаксическая ошибка в инструкции SQL"), codepage::fromCp1251(m_text.left(300)));
    }

private:
    static bool isNameChar(char c)
    {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    }
    void skipBlanks()
    {
        while (m_at < m_text.size() &&
               (m_text[m_at] == ' ' || m_text[m_at] == '\t' || m_text[m_at] == '\r' || m_text[m_at] == '\n'))
            ++m_at;
    }

    QByteArray m_text;
    qsizetype m_at = 0;
};

// The file name of a table: ".dbf" added when the name lacks it.
QString TableFileName(QString name)
{
    if (!name.endsWith(QStringLiteral(".dbf"), Qt::CaseInsensitive))
        name += QStringLiteral(".dbf");
    return name;
}

// The file name of a table named in a statement.
QString TableFileName(const QByteArray& name) { return TableFileName(codepage::fromCp1251(name)); }

std::vector<QByteArray> NameList(StatementReader& reader)
{
    std::vector<QByteArray> names;
    reader.punct('(');
    do names.push_back(reader.name());
    while (reader.tryPunct(','));
    reader.punct(')');
    return names;
}

} // namespace

CDbf::CDbf(const QString& folder) : m_folder(folder)
{
    if (!QFileInfo(folder).isDir())
        Fail(QStringLiteral("Не найден путь к таблицам dBASE"), QDir::toNativeSeparators(folder));
}

CDbf::~CDbf() = default;

void CDbf::Open(const QByteArray& statement)
{
    if (m_result)
        Fail(QStringLiteral("Операция недопустима, пока набор записей открыт"),
             codepage::fromCp1251(statement.left(300)));
    StatementReader reader(statement);
    if (reader.tryKeyword("CREATE")) {
        reader.keyword("TABLE");
        const QString table = TableFileName(reader.name());
        std::vector<QByteArray> names;
        std::vector<int> widths;
        reader.punct('(');
        do {
            names.push_back(reader.name());
            reader.keyword("VARCHAR");
            reader.punct('(');
            widths.push_back(reader.number());
            reader.punct(')');
        } while (reader.tryPunct(','));
        reader.punct(')');
        if (!reader.atEnd())
            reader.syntaxError();
        Create(table, names, widths);
    } else if (reader.tryKeyword("INSERT")) {
        reader.keyword("INTO");
        const QString table = TableFileName(reader.name());
        const std::vector<QByteArray> columns = NameList(reader);
        reader.keyword("VALUES");
        std::vector<QByteArray> values;
        reader.punct('(');
        do values.push_back(reader.quoted());
        while (reader.tryPunct(','));
        reader.punct(')');
        if (!reader.atEnd())
            reader.syntaxError();
        if (values.size() != columns.size())
            Fail(QStringLiteral("Число значений не совпадает с числом полей"),
                 codepage::fromCp1251(statement.left(300)));
        Insert(table, columns, values);
    } else if (reader.tryKeyword("SELECT")) {
        reader.punct('*');
        reader.keyword("FROM");
        const QString table = TableFileName(reader.name());
        QByteArray column, value;
        const bool filtered = reader.tryKeyword("WHERE");
        if (filtered) {
            column = reader.name();
            reader.punct('=');
            value = reader.quoted();
        }
        if (!reader.atEnd())
            reader.syntaxError();
        Select(table, column, value, filtered);
    } else {
        reader.syntaxError();
    }
}

int CDbf::Close()
{
    m_result = nullptr;
    m_rows.clear();
    m_position = 0;
    m_fieldsTaken = false;
    return 0;
}

int CDbf::MoveNext()
{
    if (m_result && m_position < m_rows.size())
        ++m_position;
    return 0;
}

bool CDbf::IsEof() const
{
    if (!m_result)
        Fail(QStringLiteral("Набор записей закрыт"), QStringLiteral("Нет открытого результата запроса SELECT"));
    return m_position >= m_rows.size();
}

int CDbf::GetFields()
{
    m_fieldsTaken = m_result != nullptr;
    return 0;
}

int CDbf::GetFieldCount() const { return m_fieldsTaken ? m_result->table.fieldCount() : 0; }

QByteArray CDbf::GetFieldValue(int index) const
{
    RequireRow();
    if (!m_fieldsTaken || index < 0 || index >= m_result->table.fieldCount())
        Fail(QStringLiteral("Элемент не найден в коллекции"), QStringLiteral("Номер поля %1").arg(index));
    return m_result->table.value(m_rows[m_position], index);
}

void CDbf::Commit(const QDate& updated)
{
    for (auto& [key, table] : m_tables) {
        if (!table.changed)
            continue;
        table.table.write(table.path, updated);
        table.changed = false;
    }
}

bool CDbf::HasTable(const QString& tableName) const
{
    const QString fileName = TableFileName(tableName);
    return m_tables.count(fileName.toLower()) != 0 || QFileInfo::exists(PathOf(fileName));
}

QString CDbf::PathOf(const QString& tableName) const { return FindTableFile(m_folder, tableName); }

int CDbf::RecordCount(const QString& tableName) { return Load(TableFileName(tableName)).table.recordCount(); }

QString CDbf::TableFile(const QString& tableName) const { return PathOf(TableFileName(tableName)); }

CDbf::Table& CDbf::Load(const QString& tableName)
{
    const QString key = tableName.toLower();
    auto found = m_tables.find(key);
    if (found != m_tables.end())
        return found->second;
    const QString path = PathOf(tableName);
    if (!QFileInfo::exists(path))
        Fail(QStringLiteral("Таблица не найдена"),
             QStringLiteral("Нет таблицы %1").arg(QDir::toNativeSeparators(path)));
    return m_tables.emplace(key, Table{path, DbfTable::read(path), false}).first->second;
}

void CDbf::Create(const QString& tableName, const std::vector<QByteArray>& names, const std::vector<int>& widths)
{
    if (HasTable(tableName))
        Fail(QStringLiteral("Таблица уже существует"), QDir::toNativeSeparators(PathOf(tableName)));
    std::vector<DbfField> fields;
    for (std::size_t i = 0; i < names.size(); ++i) {
        DbfField field;
        field.name = names[i];
        field.type = 'C';
        field.length = widths[i];
        fields.push_back(field);
    }
    m_tables.emplace(tableName.toLower(), Table{PathOf(tableName), DbfTable::create(fields), true});
}

void CDbf::Insert(const QString& tableName, const std::vector<QByteArray>& columns,
                  const std::vector<QByteArray>& values)
{
    Table& table = Load(tableName);
    std::vector<int> fields;
    for (const QByteArray& column : columns) {
        const int field = table.table.fieldIndex(column);
        if (field < 0)
            Fail(QStringLiteral("Неизвестное поле"),
                 QStringLiteral("В таблице %1 нет поля %2").arg(tableName, QString::fromLatin1(column)));
        fields.push_back(field);
    }
    const int record = table.table.appendBlankRecord();
    for (std::size_t i = 0; i < fields.size(); ++i) table.table.setValue(record, fields[i], values[i]);
    table.changed = true;
}

void CDbf::Select(const QString& tableName, const QByteArray& column, const QByteArray& value, bool filtered)
{
    const Table& table = Load(tableName);
    const int field = filtered ? table.table.fieldIndex(column) : -1;
    if (filtered && field < 0)
        Fail(QStringLiteral("Неизвестное поле"),
             QStringLiteral("В таблице %1 нет поля %2").arg(tableName, QString::fromLatin1(column)));
    std::vector<int> rows;
    for (int record = 0; record < table.table.recordCount(); ++record) {
        if (table.table.isDeleted(record))
            continue;
        if (filtered && !table.table.valueEquals(record, field, value))
            continue;
        rows.push_back(record);
    }
    m_result = &table;
    m_rows = std::move(rows);
    m_position = 0;
    m_fieldsTaken = false;
}

void CDbf::RequireRow() const
{
    if (!m_result || m_position >= m_rows.size())
        Fail(QStringLiteral("Нет текущей записи"), QStringLiteral("Набор записей в конце или закрыт"));
}

} // namespace kalvor::dbf
