#include "infobase/RefFiles.h"

#include "infobase/SwapFile.h"
#include "platform/SavedFile.h"

#include <QFile>
#include <QFileInfo>

#include <functional>

namespace kalvor::infobase {

namespace {

QString withPath(const char* text, const QString& path)
{
    return QStringLiteral("%1 %2").arg(QString::fromUtf8(text), path);
}

// Reads the whole file; false when it does not exist. A folder or another
// thing that is not a plain file in its place, or a file that cannot be read,
// throws the read error.
bool load(const QString& path, QByteArray& bytes)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    if (!info.isFile())
        throw InfoBaseError(withPath(ReadFileErrorText, path));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw InfoBaseError(withPath(OpenFileErrorText, path));
    bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw InfoBaseError(withPath(ReadFileErrorText, path));
    return true;
}

// Reads a file of exactly `size` bytes through `parse`.
bool loadFixed(const QString& path, std::size_t size, const std::function<void(ByteReader&)>& parse)
{
    QByteArray bytes;
    if (!load(path, bytes))
        return false;
    if (std::size_t(bytes.size()) != size)
        throw InfoBaseError(withPath(ReadFileErrorText, path));
    ByteReader r(bytes.constData(), size);
    parse(r);
    return true;
}

void save(const QString& path, std::size_t size, const std::function<void(ByteWriter&)>& fill)
{
    QByteArray bytes(qsizetype(size), '\0');
    ByteWriter w(bytes.data(), size);
    fill(w);
    QString failure;
    if (!platform::WriteWholeFile(path, bytes, &failure))
        throw InfoBaseError(failure);
}

template <class Rec, class ReadFn>
void readBook(ByteReader& r, Rec* recs, int capacity, ReadFn readOne)
{
    for (int i = 0; i < capacity; ++i) recs[i] = readOne(r);
}

u16 clampCount(u16 count, int capacity) { return count > capacity ? u16(capacity) : count; }

} // namespace

QStringList CRefFiles::FileNames()
{
    return {QStringLiteral("nalog"),  QStringLiteral("profi"), QStringLiteral("post"),
            QStringLiteral("title"),  QStringLiteral("sbor"),  QStringLiteral("lazer"),
            QStringLiteral("vichet"), QStringLiteral("bank"),  QStringLiteral("palitra")};
}

bool CRefFiles::OpenAll()
{
    CloseAll();
    const std::pair<const char*, std::function<bool()>> readers[] = {
        {"nalog", [this] { return ReadNalog(); }},
        {"profi", [this] { return ReadProfi(); }},
        {"post", [this] { return ReadPost(); }},
        {"title", [this] { return ReadTitle(); }},
        {"sbor", [this] { return ReadSbor(); }},
        {"vichet", [this] { return ReadVichet(); }},
        {"bank", [this] { return ReadBank(); }},
        {"lazer", [this] { return load(path(QStringLiteral("lazer")), lazer); }},
        {"palitra", [this] { return load(path(QStringLiteral("palitra")), palitra); }},
    };
    for (const auto& [name, read] : readers) {
        const QString file = QString::fromLatin1(name);
        try {
            if (!read())
                problems_[file] = withPath("Не найден файл справочника", path(file));
        } catch (const InfoBaseError& e) {
            problems_[file] = e.message();
        }
    }
    try {
        ReadCountry();
    } catch (const InfoBaseError&) {
        country.clear(); // the list of countries is looked up only by some reports
    }
    return problems_.empty();
}

void CRefFiles::CloseAll() { *this = CRefFiles(folder_); }

QString CRefFiles::Problem(const QString& name) const
{
    const auto it = problems_.find(name);
    return it == problems_.end() ? QString() : it->second;
}

QStringList CRefFiles::Problems(const QStringList& names) const
{
    QStringList lines;
    for (const QString& name : FileNames())
        if ((names.isEmpty() || names.contains(name)) && !Problem(name).isEmpty())
            lines << Problem(name);
    return lines;
}

// ---------------------------------------------------------------------------
bool CRefFiles::ReadNalog()
{
    return loadFixed(path(QStringLiteral("nalog")), 2 + NalogCount * TaxTable::Size, [this](ByteReader& r) {
        nalogCount = clampCount(r.u16v(), NalogCount);
        for (TaxTable& t : nalog) t = TaxTable::read(r);
    });
}

void CRefFiles::WriteNalog() const
{
    save(path(QStringLiteral("nalog")), 2 + NalogCount * TaxTable::Size, [this](ByteWriter& w) {
        w.u16v(nalogCount);
        for (const TaxTable& t : nalog) t.write(w);
    });
}

bool CRefFiles::ReadProfi()
{
    return loadFixed(path(QStringLiteral("profi")), 2 + BookCapacity * ProfessionRecord::Size, [this](ByteReader& r) {
        profiCount = clampCount(r.u16v(), BookCapacity);
        readBook(r, profi.data(), BookCapacity, [](ByteReader& rr) {
            ProfessionRecord p;
            p.code = rr.i16v();
            p.name = rr.ansi(26);
            return p;
        });
    });
}

void CRefFiles::WriteProfi() const
{
    save(path(QStringLiteral("profi")), 2 + BookCapacity * ProfessionRecord::Size, [this](ByteWriter& w) {
        w.u16v(profiCount);
        for (const ProfessionRecord& p : profi) {
            w.i16v(p.code);
            w.ansi(p.name, 26);
        }
    });
}

bool CRefFiles::ReadPost()
{
    return loadFixed(path(QStringLiteral("post")), 2 + BookCapacity * PositionRecord::Size, [this](ByteReader& r) {
        postCount = clampCount(r.u16v(), BookCapacity);
        readBook(r, post.data(), BookCapacity, [](ByteReader& rr) {
            PositionRecord p;
            p.code = rr.i16v();
            p.name = rr.ansi(26);
            p.salary = rr.f64();
            return p;
        });
    });
}

void CRefFiles::WritePost() const
{
    save(path(QStringLiteral("post")), 2 + BookCapacity * PositionRecord::Size, [this](ByteWriter& w) {
        w.u16v(postCount);
        for (const PositionRecord& p : post) {
            w.i16v(p.code);
            w.ansi(p.name, 26);
            w.f64(p.salary);
        }
    });
}

bool CRefFiles::ReadTitle()
{
    return loadFixed(path(QStringLiteral("title")), 2 + BookCapacity * RankRecord::Size, [this](ByteReader& r) {
        titleCount = clampCount(r.u16v(), BookCapacity);
        readBook(r, title.data(), BookCapacity, [](ByteReader& rr) {
            RankRecord p;
            p.code = rr.i16v();
            p.name = rr.ansi(17);
            p.salary = rr.f64();
            return p;
        });
    });
}

void CRefFiles::WriteTitle() const
{
    save(path(QStringLiteral("title")), 2 + BookCapacity * RankRecord::Size, [this](ByteWriter& w) {
        w.u16v(titleCount);
        for (const RankRecord& p : title) {
            w.i16v(p.code);
            w.ansi(p.name, 17);
            w.f64(p.salary);
        }
    });
}

bool CRefFiles::ReadVichet()
{
    const int cap = DeductionKindBook::Capacity;
    return loadFixed(path(QStringLiteral("vichet")), 1 + cap * DeductionKind::Size, [this, cap](ByteReader& r) {
        vichet.count = u8(clampCount(r.u8v(), cap));
        for (DeductionKind& d : vichet.records) {
            d.code = r.u16v();
            d.name = r.ansi(20);
            d.monthly = r.f64();
            d.limit = r.f64();
            r.skip(2);
        }
    });
}

void CRefFiles::WriteVichet() const
{
    const int cap = DeductionKindBook::Capacity;
    save(path(QStringLiteral("vichet")), 1 + cap * DeductionKind::Size, [this](ByteWriter& w) {
        w.u8v(vichet.count);
        for (const DeductionKind& d : vichet.records) {
            w.u16v(d.code);
            w.ansi(d.name, 20);
            w.f64(d.monthly);
            w.f64(d.limit);
            w.zeros(2);
        }
    });
}

bool CRefFiles::ReadSbor()
{
    return loadFixed(path(QStringLiteral("sbor")), 2 + SborCapacity * ContributionKind::Size, [this](ByteReader& r) {
        sborCount = clampCount(r.u16v(), SborCapacity);
        for (ContributionKind& k : sbor) k = ContributionKind::read(r);
    });
}

void CRefFiles::WriteSbor() const
{
    save(path(QStringLiteral("sbor")), 2 + SborCapacity * ContributionKind::Size, [this](ByteWriter& w) {
        w.u16v(sborCount);
        for (const ContributionKind& k : sbor) k.write(w);
    });
}

bool CRefFiles::ReadBank()
{
    return loadFixed(path(QStringLiteral("bank")), 2 + BankCount * TransferRecipient::Size, [this](ByteReader& r) {
        r.u16v(); // always 148
        for (TransferRecipient& t : recipients_) t = TransferRecipient::read(r);
    });
}

void CRefFiles::WriteBank() const
{
    save(path(QStringLiteral("bank")), 2 + BankCount * TransferRecipient::Size, [this](ByteWriter& w) {
        w.u16v(BankCount);
        for (const TransferRecipient& t : recipients_) t.write(w);
    });
}

void CRefFiles::WriteOpaque() const
{
    for (const auto& [name, bytes] :
         {std::pair{QStringLiteral("lazer"), &lazer}, std::pair{QStringLiteral("palitra"), &palitra}}) {
        const QByteArray& b = *bytes;
        save(path(name), std::size_t(b.size()), [&b](ByteWriter& w) { w.bytes(b.constData(), std::size_t(b.size())); });
    }
}

bool CRefFiles::ReadCountry()
{
    QByteArray bytes;
    country.clear();
    if (!load(path(QStringLiteral("country")), bytes))
        return false;
    // Records of 53 bytes; line ends between them are allowed and skipped.
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        while (pos < bytes.size() && (bytes[pos] == '\r' || bytes[pos] == '\n')) ++pos;
        if (bytes.size() - pos < qsizetype(CountryRecord::Size))
            break;
        ByteReader r(bytes.constData() + pos, CountryRecord::Size);
        CountryRecord c;
        c.code = r.ansi(3).trimmed();
        c.name = r.ansi(50);
        country.push_back(c);
        pos += qsizetype(CountryRecord::Size);
    }
    return true;
}

// ---------------------------------------------------------------------------
namespace {
template <class R>
bool byCodeEmptyLast(const R& a, const R& b)
{
    if (a.isEmpty() != b.isEmpty())
        return b.isEmpty();
    return a.code < b.code;
}
} // namespace

bool CompareNalogRecords(const TaxScaleBand& a, const TaxScaleBand& b)
{
    if (a.isEmpty() != b.isEmpty())
        return b.isEmpty();
    return a.lower < b.lower;
}
bool CompareProfiRecords(const ProfessionRecord& a, const ProfessionRecord& b) { return byCodeEmptyLast(a, b); }
bool ComparePostRecords(const PositionRecord& a, const PositionRecord& b) { return byCodeEmptyLast(a, b); }
bool CompareTitleRecords(const RankRecord& a, const RankRecord& b) { return byCodeEmptyLast(a, b); }
bool CompareVichetRecords(const DeductionKind& a, const DeductionKind& b) { return byCodeEmptyLast(a, b); }

} // namespace kalvor::infobase
