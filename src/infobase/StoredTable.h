#pragma once
// One declaration per stored table: its name, its leading key columns, its
// constraints, and per column the name, the declared type and how the column
// is read into and bound from the in-memory row it maps to. The schema's
// table (TableDef), the statements' column lists, the loops that read and
// bind a row and the updates of some of its columns are all made from it, so
// a column is added in one place: one line of its table's declaration plus
// its member.
//
// The key columns (a slot number, a code, the master row's id) come first in
// the table and are read and bound by the loader or saver that knows them;
// the declared columns follow in order.
#include "infobase/InfoBaseDbDetail.h"
#include "platform/DbTransaction.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

namespace kalvor::infobase {

// Declared column types. A server writes them in its own words (Schema.cpp).
namespace sqltype {
inline constexpr const char* Integer = "INTEGER";
inline constexpr const char* Real = "REAL";
inline constexpr const char* Text = "TEXT";
inline constexpr const char* Blob = "BLOB";
// A row id that is never reused, even after the newest row was deleted.
inline constexpr const char* RowId = "INTEGER PRIMARY KEY AUTOINCREMENT";
} // namespace sqltype

struct KeyColumn {
    const char* name;
    const char* type = sqltype::Integer;
};

// One stored column, or the parts of one value kept in several adjacent
// columns of one type (read and bound together, so that no part depends on a
// column read before it).
template <class Row>
struct Column {
    QStringList names;
    QString type;
    void (*read)(Row&, detail::Reader&, int arg);
    void (*bind)(const Row&, detail::Binder&, int arg);
    int arg = 0; // the element of an array member, or the bits of a packed word
};

namespace column_detail {

// The member at the end of a path of member pointers: (row.*a).*b ...
template <auto... path, class Row>
decltype(auto) at(Row& row)
{
    return (row .* ... .* path);
}

template <class M>
constexpr const char* typeOf()
{
    if constexpr (std::is_same_v<M, QString>)
        return sqltype::Text;
    else if constexpr (std::is_floating_point_v<M>)
        return sqltype::Real;
    else
        return sqltype::Integer;
}

// A value of a column as its member keeps it: integers of up to 16 bits (and
// int) through int, wider ones through 64 bits, so an unsigned 32-bit word
// keeps its top bit.
template <class M>
void readValue(M& m, detail::Reader& r)
{
    if constexpr (std::is_same_v<M, QString>)
        m = r.s();
    else if constexpr (std::is_floating_point_v<M>)
        m = M(r.d());
    else if constexpr (sizeof(M) < 4 || std::is_same_v<M, int>)
        m = M(r.n());
    else
        m = M(r.l());
}

template <class M>
void bindValue(const M& m, detail::Binder& b)
{
    if constexpr (std::is_same_v<M, QString> || std::is_floating_point_v<M>)
        b << m;
    else if constexpr (sizeof(M) < 4 || std::is_same_v<M, int>)
        b << int(m);
    else
        b << qint64(m);
}

inline std::uint64_t lowMask(int width) { return width >= 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << width) - 1; }

} // namespace column_detail

// The columns of a table, in order, built one line per column.
template <class Row>
class Columns {
public:
    // One member (reached through nested members: field<&Rec::head, &Head::fio>).
    template <auto... path>
    Columns& field(const char* name)
    {
        using M = std::remove_cvref_t<decltype(column_detail::at<path...>(std::declval<Row&>()))>;
        return add(QString::fromLatin1(name), column_detail::typeOf<M>(),
                   [](Row& row, detail::Reader& r, int) { column_detail::readValue(column_detail::at<path...>(row), r); },
                   [](const Row& row, detail::Binder& b, int) {
                       column_detail::bindValue(column_detail::at<path...>(row), b);
                   });
    }

    // Every element of an array member, named stem<from>, stem<from + 1> ... (+ suffix).
    template <auto... path>
    Columns& array(const char* stem, int from = 1, const char* suffix = "")
    {
        using A = std::remove_cvref_t<decltype(column_detail::at<path...>(std::declval<Row&>()))>;
        using M = std::remove_cvref_t<decltype(std::declval<A&>()[0])>;
        for (int i = 0; i < int(std::tuple_size_v<A>); ++i)
            add(numbered(stem, from + i, suffix), column_detail::typeOf<M>(),
                [](Row& row, detail::Reader& r, int k) {
                    column_detail::readValue(column_detail::at<path...>(row)[std::size_t(k)], r);
                },
                [](const Row& row, detail::Binder& b, int k) {
                    column_detail::bindValue(column_detail::at<path...>(row)[std::size_t(k)], b);
                },
                i);
        return *this;
    }

    // `width` bits of a packed word from bit `shift`, kept as a small number;
    // reading sets those bits alone.
    template <auto... path>
    Columns& bits(const char* name, int shift, int width = 1)
    {
        return add(QString::fromLatin1(name), sqltype::Integer, &readBits<path...>, &bindBits<path...>,
                   shift | (width << 8));
    }

    // One-bit columns stem<from> ... of `count` bits of a packed word from bit `shift`.
    template <auto... path>
    Columns& bitRun(const char* stem, int count, int shift, int from = 1)
    {
        for (int i = 0; i < count; ++i)
            add(numbered(stem, from + i, ""), sqltype::Integer, &readBits<path...>, &bindBits<path...>,
                (shift + i) | (1 << 8));
        return *this;
    }

    // The bits of a packed word from bit `from` up, kept in place (the rest of
    // a word whose low bits have columns of their own).
    template <auto... path>
    Columns& bitsAbove(const char* name, int from)
    {
        return bitsMasked<path...>(name, unsigned(~column_detail::lowMask(from)));
    }

    // A PackedDate member kept as a date value 'YYYY-MM-DD' (NULL for no date).
    template <auto... path>
    Columns& packedDate(const char* name)
    {
        return add(
            QString::fromLatin1(name), sqltype::Text,
            [](Row& row, detail::Reader& r, int) {
                column_detail::at<path...>(row) = detail::PackedFromDateValue(r.v());
            },
            [](const Row& row, detail::Binder& b, int) { b << detail::DateValue(column_detail::at<path...>(row)); });
    }

    // A date kept as text, the old base's empty date loading as none.
    template <auto... path>
    Columns& textDate(const char* name)
    {
        return add(
            QString::fromLatin1(name), sqltype::Text,
            [](Row& row, detail::Reader& r, int) { column_detail::at<path...>(row) = detail::TextDateLoaded(r.s()); },
            [](const Row& row, detail::Binder& b, int) { b << column_detail::at<path...>(row); });
    }

    // The bits of a packed word that `mask` names, kept in place (the rest of
    // a word whose other bits have columns of their own).
    template <auto... path>
    Columns& bitsMasked(const char* name, unsigned mask)
    {
        return add(
            QString::fromLatin1(name), sqltype::Integer,
            [](Row& row, detail::Reader& r, int m) {
                auto& w = column_detail::at<path...>(row);
                const std::uint64_t keep = unsigned(m);
                w = std::remove_cvref_t<decltype(w)>((std::uint64_t(w) & ~keep) | (std::uint64_t(r.l()) & keep));
            },
            [](const Row& row, detail::Binder& b, int m) {
                b << qint64(std::uint64_t(column_detail::at<path...>(row)) & unsigned(m));
            },
            int(mask));
    }

    // Money kept in kopecks, stored in roubles.
    template <auto... path>
    Columns& roubles(const char* name)
    {
        return add(
            QString::fromLatin1(name), sqltype::Real,
            [](Row& row, detail::Reader& r, int) { column_detail::at<path...>(row) = detail::RoublesToKopecks(r.d()); },
            [](const Row& row, detail::Binder& b, int) { b << column_detail::at<path...>(row) / 100; });
    }

    // A column read and bound by functions of its own.
    Columns& add(QString name, const char* type, void (*read)(Row&, detail::Reader&, int),
                 void (*bind)(const Row&, detail::Binder&, int), int arg = 0)
    {
        return parts(QStringList{std::move(name)}, type, read, bind, arg);
    }

    // One value in adjacent columns of one type, named in their order: `read`
    // reads them all in that order, `bind` binds them all.
    Columns& parts(QStringList names, const char* type, void (*read)(Row&, detail::Reader&, int),
                   void (*bind)(const Row&, detail::Binder&, int), int arg = 0)
    {
        list_.push_back(Column<Row>{std::move(names), QString::fromLatin1(type), read, bind, arg});
        return *this;
    }

    const std::vector<Column<Row>>& list() const { return list_; }

private:
    static QString numbered(const char* stem, int n, const char* suffix)
    {
        return QString::fromLatin1(stem) + QString::number(n) + QString::fromLatin1(suffix);
    }
    template <auto... path>
    static void readBits(Row& row, detail::Reader& r, int arg)
    {
        auto& w = column_detail::at<path...>(row);
        const int shift = arg & 255;
        const std::uint64_t mask = column_detail::lowMask(arg >> 8) << shift;
        w = std::remove_cvref_t<decltype(w)>((std::uint64_t(w) & ~mask) | ((std::uint64_t(r.l()) << shift) & mask));
    }
    template <auto... path>
    static void bindBits(const Row& row, detail::Binder& b, int arg)
    {
        b << int((std::uint64_t(column_detail::at<path...>(row)) >> (arg & 255)) & column_detail::lowMask(arg >> 8));
    }

    std::vector<Column<Row>> list_;
};

// A column of a bit-field member, which no member pointer can name, under a
// column name of its own (the member may be nested: tarif.rub) or its own name.
#define KALVOR_BIT_FIELD_AS(name, member)                                                                              \
    add(QStringLiteral(name), ::kalvor::infobase::sqltype::Integer,                                                    \
        [](auto& row, ::kalvor::infobase::detail::Reader& r, int) { row.member = r.n(); },                             \
        [](const auto& row, ::kalvor::infobase::detail::Binder& b, int) { b << int(row.member); })
#define KALVOR_BIT_FIELD(member) KALVOR_BIT_FIELD_AS(#member, member)

// An update of some declared columns of a table, their values bound from a
// row by the declaration, in the rows whose key the caller gives.
template <class Row>
class ColumnUpdate {
public:
    ColumnUpdate(QString sql, std::vector<Column<Row>> columns) : sql_(std::move(sql)), columns_(std::move(columns)) {}
    // A batch of its own: on a server inside a save's transaction it goes
    // with the save's other batches, its answer read with theirs.
    void run(const QSqlDatabase& db, const Row& row, const QVariant& key) const
    {
        db::Batch batch(db);
        detail::Binder b(batch.add(sql_));
        for (const Column<Row>& c : columns_) c.bind(row, b, c.arg);
        b << key;
        batch.run();
    }

private:
    QString sql_;
    std::vector<Column<Row>> columns_;
};

// The declaration of one table whose declared columns map to a Row.
template <class Row>
class StoredTable {
public:
    StoredTable(const char* name, std::vector<KeyColumn> keys, Columns<Row> columns, const char* constraints)
        : columns_(std::move(columns).list())
    {
        def_.name = QString::fromLatin1(name);
        for (const KeyColumn& k : keys) {
            def_.columns << QString::fromLatin1(k.name);
            def_.types << QString::fromLatin1(k.type);
        }
        keyCount_ = int(keys.size());
        for (const Column<Row>& c : columns_)
            for (const QString& part : c.names) {
                def_.columns << part;
                def_.types << c.type;
            }
        def_.constraints = QString::fromLatin1(constraints);
    }

    const TableDef& def() const { return def_; }
    int keyCount() const { return keyCount_; }
    // Reads the declared columns from the reader's position (after the keys).
    void read(Row& row, detail::Reader& r) const
    {
        for (const Column<Row>& c : columns_) c.read(row, r, c.arg);
    }
    // Binds the declared columns after the keys the caller bound.
    void bind(const Row& row, detail::Binder& b) const
    {
        for (const Column<Row>& c : columns_) c.bind(row, b, c.arg);
    }

    // The update of the named declared columns (a value kept in several
    // columns is named by its first) of the rows whose key at place `key`
    // (0 the first) equals the value run() is given.
    ColumnUpdate<Row> update(const QStringList& names, int key = 0) const
    {
        std::vector<Column<Row>> chosen;
        QStringList set;
        for (const QString& name : names) {
            const Column<Row>& c = columnNamed(name);
            chosen.push_back(c);
            set << c.names;
        }
        return ColumnUpdate<Row>(UpdateColumnsSql(def_, set, ColumnEqualsSql(def_, key < keyCount_ ? key : -1)),
                                 std::move(chosen));
    }

private:
    const Column<Row>& columnNamed(const QString& name) const
    {
        for (const Column<Row>& c : columns_)
            if (c.names.first() == name)
                return c;
        throw std::logic_error(QStringLiteral("no column %1 in table %2").arg(name, def_.name).toStdString());
    }

    TableDef def_;
    std::vector<Column<Row>> columns_;
    int keyCount_ = 0;
};

} // namespace kalvor::infobase
