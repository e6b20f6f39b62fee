#include "DataSources.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DbSchema.h"
#include "platform/FileCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <functional>

namespace kalvor::tools {

using namespace infobase;

namespace {

// Where a value came from, for messages.
struct Where {
    QString file;
    int line = 0;
    [[noreturn]] void fail(const QString& what) const
    {
        throw SourceError(QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(what).toStdString());
    }
};

QString sourcePath(const QString& dir, const char* name) { return QDir(dir).filePath(QString::fromLatin1(name)); }

int toInt(const QString& s, const Where& w)
{
    bool ok = false;
    const int v = s.trimmed().toInt(&ok);
    if (!ok)
        w.fail(QStringLiteral("not a whole number: \"%1\"").arg(s));
    return v;
}

double toNumber(const QString& s, const Where& w)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(s.trimmed(), &ok);
    if (!ok)
        w.fail(QStringLiteral("not a number: \"%1\"").arg(s));
    return v;
}

// Roubles as written in a source into kopecks.
double kopecks(const QString& s, const Where& w) { return std::round(toNumber(s, w) * 100); }

// A percent such as "2.9" as whole percent and hundredths.
void percentParts(const QString& s, const Where& w, u8& whole, u8& hundredths)
{
    const double v = toNumber(s, w);
    const long h = std::lround(v * 100);
    if (v < 0 || h > 255 * 100 + 99 || std::fabs(v * 100 - double(h)) > 1e-6)
        w.fail(QStringLiteral("a percent takes at most two decimals: \"%1\"").arg(s));
    whole = u8(h / 100);
    hundredths = u8(h % 100);
}

// A text that must fit `width` bytes of windows-1251.
QString fitted(const QString& s, int width, const Where& w)
{
    const QString t = s.trimmed();
    const QByteArray b = codepage::toCp1251(t);
    if (b.size() > width)
        w.fail(QStringLiteral("\"%1\" is longer than %2 bytes").arg(t).arg(width));
    if (codepage::fromCp1251(b) != t)
        w.fail(QStringLiteral("\"%1\" has characters outside windows-1251").arg(t));
    return t;
}

QStringList fields(const SourceLine& l, const Where& w, int count)
{
    const QStringList f = l.text.split(QLatin1Char(';'));
    if (f.size() != count)
        w.fail(QStringLiteral("%1 fields expected, %2 found").arg(count).arg(f.size()));
    return f;
}

// "YYYY-MM"
void yearMonth(const QString& s, const Where& w, int& year, int& month)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{4})-(\\d{2})$"));
    const auto m = re.match(s.trimmed());
    if (!m.hasMatch())
        w.fail(QStringLiteral("month expected as YYYY-MM: \"%1\"").arg(s));
    year = m.captured(1).toInt();
    month = m.captured(2).toInt();
    if (month < 1 || month > 12 || year < 1990)
        w.fail(QStringLiteral("no such month: \"%1\"").arg(s));
}

// "H:MM" into minutes.
int hoursMinutes(const QString& s, const Where& w)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
    const auto m = re.match(s.trimmed());
    if (!m.hasMatch() || m.captured(2).toInt() > 59 || m.captured(1).toInt() > 24)
        w.fail(QStringLiteral("time expected as H:MM: \"%1\"").arg(s));
    return m.captured(1).toInt() * 60 + m.captured(2).toInt();
}

// Splits "key rest of the line".
std::pair<QString, QString> keyValue(const QString& text)
{
    const qsizetype sp = text.indexOf(QRegularExpression(QStringLiteral("\\s")));
    if (sp < 0)
        return {text.trimmed(), QString()};
    return {text.left(sp).trimmed(), text.mid(sp).trimmed()};
}

QStringList words(const QString& s) { return s.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts); }

// ------------------------------------------------------------------ nalog

void readNalog(const QString& path, CRefFiles& ref)
{
    int t = -1; // current table, 0-based
    int v = -1; // current variant of it
    int band = 0; // next band of the variant
    ref.nalog = {};
    for (const SourceLine& l : ReadSourceLines(path)) {
        const Where w{path, l.number};
        const auto [key, value] = keyValue(l.text);
        if (key == QLatin1String("table")) {
            ++t;
            v = -1;
            if (t >= CRefFiles::NalogCount)
                w.fail(QStringLiteral("more than %1 tables").arg(CRefFiles::NalogCount));
            if (toInt(value, w) != t + 1)
                w.fail(QStringLiteral("table %1 expected here").arg(t + 1));
            continue;
        }
        if (t < 0)
            w.fail(QStringLiteral("\"table\" expected first"));
        TaxTable& table = ref.nalog[std::size_t(t)];
        if (key == QLatin1String("name")) {
            table.name = fitted(value, TaxTable::NameWidth, w);
        } else if (key == QLatin1String("row")) {
            table.taxRowCode = u16(toInt(value, w));
        } else if (key == QLatin1String("selector")) {
            table.selector = u8(toInt(value, w));
        } else if (key == QLatin1String("scale")) {
            table.scaleNumber = u8(toInt(value, w));
        } else if (key == QLatin1String("variant")) {
            if (++v >= 2)
                w.fail(QStringLiteral("a table has at most two variants"));
            band = 0;
            const QStringList f = words(value);
            if (f.size() != 4)
                w.fail(QStringLiteral("variant: first month, last month, cumulative|monthly, rate"));
            TaxTable::Variant& var = table.variants[std::size_t(v)];
            int y = 0, m = 0;
            yearMonth(f[0], w, y, m);
            var.first = u16(TaxMonthNumber(y, m));
            if (f[1] == QLatin1String("open")) {
                var.last = 0;
            } else {
                yearMonth(f[1], w, y, m);
                var.last = u16(TaxMonthNumber(y, m));
                if (var.last < var.first)
                    w.fail(QStringLiteral("the variant ends before it begins"));
            }
            if (f[2] == QLatin1String("cumulative"))
                var.cumulative = 1;
            else if (f[2] == QLatin1String("monthly"))
                var.cumulative = 0;
            else
                w.fail(QStringLiteral("\"cumulative\" or \"monthly\" expected: \"%1\"").arg(f[2]));
            percentParts(f[3], w, var.ratePercent, var.rateHundredths);
        } else if (key == QLatin1String("band")) {
            if (v < 0)
                w.fail(QStringLiteral("a band belongs to a variant"));
            if (band >= 10)
                w.fail(QStringLiteral("a scale has at most 10 bands"));
            const QStringList f = words(value);
            if (f.size() != 3)
                w.fail(QStringLiteral("band: lower bound, fixed part, percent"));
            auto& scale = table.variants[std::size_t(v)].scale;
            TaxScaleBand& b = scale[std::size_t(band)];
            b.lower = toNumber(f[0], w);
            b.fixed = toNumber(f[1], w);
            percentParts(f[2], w, b.percent, b.hundredths);
            if (band > 0 && b.lower <= scale[std::size_t(band - 1)].lower)
                w.fail(QStringLiteral("bands must rise"));
            if (b.isEmpty())
                w.fail(QStringLiteral("an all-zero band would end the scale"));
            ++band;
        } else if (key == QLatin1String("disabled")) {
            if (v < 0 || band == 0)
                w.fail(QStringLiteral("the reduction for disabled employees follows a variant's first band"));
            const double reduction = toNumber(value, w);
            if (reduction < 0 || reduction > 100)
                w.fail(QStringLiteral("the reduction lies in 0-100 percentage points"));
            table.variants[std::size_t(v)].scale[0].further = reduction;
        } else {
            w.fail(QStringLiteral("unknown key \"%1\"").arg(key));
        }
    }
    // The file always holds its 20 tables; the count says so.
    ref.nalogCount = CRefFiles::NalogCount;
}

// ------------------------------------------------------------------ the books

template <class Rec, std::size_t N>
u16 readBook(const QString& path, std::array<Rec, N>& book, int nameWidth, bool withSalary)
{
    book = {};
    u16 count = 0;
    for (const SourceLine& l : ReadSourceLines(path)) {
        const Where w{path, l.number};
        const QStringList f = fields(l, w, withSalary ? 3 : 2);
        if (count >= N)
            w.fail(QStringLiteral("more than %1 records").arg(N));
        Rec& r = book[count];
        r.code = i16(toInt(f[0], w));
        if (r.code <= 0)
            w.fail(QStringLiteral("codes start at 1"));
        for (u16 i = 0; i < count; ++i)
            if (book[i].code == r.code)
                w.fail(QStringLiteral("code %1 is listed twice").arg(r.code));
        r.name = fitted(f[1], nameWidth, w);
        if constexpr (requires { r.salary; }) {
            if (withSalary)
                r.salary = kopecks(f[2], w);
        }
        ++count;
    }
    return count;
}

void readVichet(const QString& path, DeductionKindBook& book)
{
    book = {};
    for (const SourceLine& l : ReadSourceLines(path)) {
        const Where w{path, l.number};
        const QStringList f = fields(l, w, 4);
        if (book.count >= DeductionKindBook::Capacity)
            w.fail(QStringLiteral("more than %1 deductions").arg(DeductionKindBook::Capacity));
        DeductionKind& d = book.records[book.count];
        d.code = u16(toInt(f[0], w));
        for (int i = 0; i < book.count; ++i)
            if (book.records[std::size_t(i)].code == d.code)
                w.fail(QStringLiteral("code %1 is listed twice").arg(d.code));
        d.name = fitted(f[1], 20, w);
        d.monthly = kopecks(f[2], w);
        d.limit = kopecks(f[3], w);
        ++book.count;
    }
}

void readSbor(const QString& path, CRefFiles& ref)
{
    ref.sbor = {};
    ref.sborCount = 0;
    for (const SourceLine& l : ReadSourceLines(path)) {
        const Where w{path, l.number};
        const QStringList f = fields(l, w, 4);
        if (ref.sborCount >= CRefFiles::SborCapacity)
            w.fail(QStringLiteral("more than %1 contribution kinds").arg(CRefFiles::SborCapacity));
        ContributionKind& k = ref.sbor[ref.sborCount];
        k.name = fitted(f[0], 64, w);
        k.code = u16(toInt(f[1], w));
        const int table = toInt(f[2], w);
        if (table < 1 || table > CRefFiles::NalogCount)
            w.fail(QStringLiteral("tax tables are numbered 1 to 20"));
        k.table = i8(table);
        k.baseSelector = i8(toInt(f[3], w));
        ++ref.sborCount;
    }
}

void readBank(const QString& path, CRefFiles& ref)
{
    for (int number = 1; number <= CRefFiles::BankCount; ++number) ref.recipientAt(number) = {};
    int number = 0;
    for (const SourceLine& l : ReadSourceLines(path)) {
        const Where w{path, l.number};
        const QStringList f = fields(l, w, 8);
        if (number >= CRefFiles::BankCount)
            w.fail(QStringLiteral("more than %1 recipients").arg(CRefFiles::BankCount));
        TransferRecipient& t = ref.recipientAt(++number);
        QString* parts[8] = {&t.filial, &t.recipient, &t.account, &t.bank, &t.corrAccount, &t.bik, &t.inn, &t.kpp};
        for (int i = 0; i < 8; ++i) *parts[i] = fitted(f[i], TransferRecipient::Widths[i], w);
    }
}

void readCountry(const QString& path, CRefFiles& ref)
{
    ref.country.clear();
    for (const SourceLine& l : ReadSourceLines(path)) {
        const Where w{path, l.number};
        const QStringList f = fields(l, w, 2);
        static const QRegularExpression code(QStringLiteral("^\\d{3}$"));
        if (!code.match(f[0].trimmed()).hasMatch())
            w.fail(QStringLiteral("a country code has three digits"));
        ref.country.push_back({f[0].trimmed(), fitted(f[1], 50, w)});
    }
}

// "\e" and "\xNN" escapes of the printer sequences.
QByteArray unescape(const QString& s, const Where& w)
{
    QByteArray out;
    const QByteArray in = s.toLatin1();
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] != '\\') {
            out += in[i];
            continue;
        }
        if (i + 1 < in.size() && in[i + 1] == 'e') {
            out += '\x1b';
            ++i;
        } else if (i + 3 < in.size() && in[i + 1] == 'x') {
            bool ok = false;
            out += char(in.mid(i + 2, 2).toInt(&ok, 16));
            if (!ok)
                w.fail(QStringLiteral("bad \\x escape"));
            i += 3;
        } else if (i + 1 < in.size() && in[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else {
            w.fail(QStringLiteral("unknown escape"));
        }
    }
    return out;
}

void readLazer(const QString& path, QByteArray& bytes)
{
    bytes.clear();
    for (const SourceLine& l : ReadSourceLines(path)) {
        bytes += unescape(l.text.trimmed(), Where{path, l.number});
        bytes += '\0';
    }
}

void readPalitra(const QString& path, QByteArray& bytes)
{
    bytes.clear();
    for (const SourceLine& l : ReadSourceLines(path)) {
        const Where w{path, l.number};
        const QStringList f = words(l.text);
        if (f.size() != 3)
            w.fail(QStringLiteral("red green blue expected"));
        for (const QString& c : f) {
            const int v = toInt(c, w);
            if (v < 0 || v > 255)
                w.fail(QStringLiteral("a colour component lies in 0-255"));
            bytes += char(v);
        }
        bytes += '\0';
    }
}

void copyFile(const QString& from, const QString& to)
{
    if (!kalvor::platform::CopyFileReplacing(from, to))
        throw SourceError(QStringLiteral("cannot copy %1 to %2").arg(from, to).toStdString());
}

} // namespace

std::vector<SourceLine> ReadSourceLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw SourceError(QStringLiteral("%1: cannot open").arg(path).toStdString());
    const QString text = QString::fromUtf8(f.readAll());
    std::vector<SourceLine> lines;
    int n = 0;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        ++n;
        QString line = raw;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
            continue;
        lines.push_back({n, line});
    }
    return lines;
}

void ReadReferenceSources(const QString& srcDir, CRefFiles& ref)
{
    readNalog(sourcePath(srcDir, "nalog.txt"), ref);
    ref.profiCount = readBook(sourcePath(srcDir, "profi.txt"), ref.profi, 26, false);
    ref.postCount = readBook(sourcePath(srcDir, "post.txt"), ref.post, 26, true);
    ref.titleCount = readBook(sourcePath(srcDir, "title.txt"), ref.title, 17, true);
    readVichet(sourcePath(srcDir, "vichet.txt"), ref.vichet);
    readSbor(sourcePath(srcDir, "sbor.txt"), ref);
    readBank(sourcePath(srcDir, "bank.txt"), ref);
    readCountry(sourcePath(srcDir, "country.txt"), ref);
    readLazer(sourcePath(srcDir, "lazer.txt"), ref.lazer);
    readPalitra(sourcePath(srcDir, "palitra.txt"), ref.palitra);

    // Every contribution kind must name a table that exists, and codes 990 and
    // 995 the table after theirs too (employees born after 1966).
    for (int i = 0; i < ref.sborCount; ++i) {
        const ContributionKind& k = ref.sbor[std::size_t(i)];
        const int last = k.table + ((k.code == 990 || k.code == 995) ? 1 : 0);
        for (int t = k.table; t <= last; ++t)
            if (t > CRefFiles::NalogCount || !ref.nalog[std::size_t(t - 1)].variants[0].defined())
                throw SourceError(QStringLiteral("sbor.txt: contribution \"%1\" names table %2, which has no variant")
                                      .arg(k.name)
                                      .arg(t)
                                      .toStdString());
    }
}

void WriteReferenceFiles(const CRefFiles& ref, const QString& outDir)
{
    if (!QDir().mkpath(outDir))
        throw SourceError(QStringLiteral("cannot make %1").arg(outDir).toStdString());
    CRefFiles out = ref;
    out.setFolder(outDir);
    out.WriteNalog();
    out.WriteProfi();
    out.WritePost();
    out.WriteTitle();
    out.WriteVichet();
    out.WriteSbor();
    out.WriteBank();
    out.WriteOpaque();
    // The copies that restoring an archive brings back from.
    for (const QString& name : CRefFiles::FileNames()) copyFile(out.path(name), out.path(QLatin1Char('_') + name));

    // "country": 53-byte records back to back, as its reader takes them.
    QByteArray bytes;
    for (const CountryRecord& c : ref.country) {
        QByteArray rec(qsizetype(CountryRecord::Size), '\0');
        ByteWriter w(rec.data(), CountryRecord::Size);
        w.ansi(c.code, 3);
        w.ansi(c.name, 50);
        bytes += rec;
    }
    QSaveFile f(out.path(QStringLiteral("country")));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw SourceError(QStringLiteral("cannot write %1").arg(out.path(QStringLiteral("country"))).toStdString());
}

// ------------------------------------------------------------------ the empty base

namespace {

// Sets one pay-kind field by name.
void setPayKindField(PayKind& k, const QString& field, const QString& value, const Where& w)
{
    const bool bare = value.isNull();
    auto num = [&] { return bare ? 1.0 : toNumber(value, w); };
    auto bit = [&](const char* what) {
        const double v = num();
        if (v != 0 && v != 1)
            w.fail(QStringLiteral("%1 is 0 or 1").arg(QString::fromLatin1(what)));
        return u8(v);
    };
    const QByteArray f = field.toLatin1();
    if (f == "fond")
        k.fond = u8(num());
    else if (f == "enOtp")
        k.enOtp = u8(num());
    else if (f == "enBln")
        k.setEnBln(int(num()));
    else if (f == "enSrZar")
        k.enSrZar = bit("enSrZar");
    else if (f == "oblPodoh")
        k.oblPodoh = bit("oblPodoh");
    else if (f == "oblProf")
        k.oblProf = bit("oblProf");
    else if (f == "enAlim")
        k.enAlim = bit("enAlim");
    else if (f == "enKoefRS")
        k.enKoefRS = bit("enKoefRS");
    else if (f == "enSrPremBln")
        k.enSrPremBln = bit("enSrPremBln");
    else if (f == "hr1")
        k.hr1 = bit("hr1");
    else if (f == "hr2")
        k.hr2 = bit("hr2");
    else if (f == "hr3")
        k.hr3 = bit("hr3");
    else if (f == "hr4")
        k.hr4 = bit("hr4");
    else if (f == "kodDoh")
        k.kodDoh = u16(num());
    else if (f == "kodSkid")
        k.kodSkid = u16(num());
    else if (f == "sumSkidPodoh")
        k.sumSkidPodoh = std::round(num() * 100);
    else if (f == "sumSkidSoc")
        k.sumSkidSoc = std::round(num() * 100);
    else if (f == "okrug")
        k.okrug = u8(num());
    else if (f == "vedStlb")
        k.vedStlb = i8(num());
    else if (f == "vedShap")
        k.vedShap = bit("vedShap");
    else if (f == "mark")
        k.flags = bit("mark") ? u16(k.flags | 0x8000) : u16(k.flags & ~0x8000u);
    else if (f == "group") {
        const int g = int(num());
        if (g < 0 || g > 7)
            w.fail(QStringLiteral("a kind group lies in 0-7"));
        k.flags = u16((k.flags & ~0x4003u) | (g & 3) | ((g >> 2) << 14));
    } else if (f == "export") {
        k.flags = bit("export") ? u16(k.flags | 0x100) : u16(k.flags & ~0x100u);
    } else if (f == "pieceWork") {
        k.flags = bit("pieceWork") ? u16(k.flags | 0x2000) : u16(k.flags & ~0x2000u);
    } else {
        w.fail(QStringLiteral("unknown pay-kind field \"%1\"").arg(field));
    }
}

void readPayKinds(const QString& path, std::vector<PayKind>& kinds)
{
    QMap<QString, QStringList> profiles;
    kinds.clear();
    for (const SourceLine& l : ReadSourceLines(path)) {
        const Where w{path, l.number};
        if (l.text.startsWith(QLatin1String("profile"))) {
            const qsizetype eq = l.text.indexOf(QLatin1Char('='));
            if (eq < 0)
                w.fail(QStringLiteral("profile <name> = <attributes>"));
            profiles[l.text.mid(7, eq - 7).trimmed()] = words(l.text.mid(eq + 1));
            continue;
        }
        const QStringList f = fields(l, w, 3);
        PayKind k;
        const int code = toInt(f[0], w);
        if (code < 1 || code > 999)
            w.fail(QStringLiteral("pay-kind codes lie in 1-999"));
        k.kod = u16(code);
        k.name = f[1].trimmed();
        if (k.name.isEmpty() || k.name.size() > 120)
            w.fail(QStringLiteral("a name has 1 to 120 characters"));
        std::function<void(const QStringList&, int)> apply = [&](const QStringList& attrs, int depth) {
            for (const QString& a : attrs) {
                if (profiles.contains(a)) {
                    if (depth > 4)
                        w.fail(QStringLiteral("profiles nest too deep"));
                    apply(profiles.value(a), depth + 1);
                    continue;
                }
                const qsizetype eq = a.indexOf(QLatin1Char('='));
                setPayKindField(k, eq < 0 ? a : a.left(eq), eq < 0 ? QString() : a.mid(eq + 1), w);
            }
        };
        apply(words(f[2]), 0);
        for (const PayKind& other : kinds)
            if (other.kod == k.kod)
                w.fail(QStringLiteral("code %1 is listed twice").arg(code));
        kinds.push_back(k);
    }
    std::sort(kinds.begin(), kinds.end(), [](const PayKind& a, const PayKind& b) { return a.kod < b.kod; });
    for (int code : BuiltInPayKindCodes())
        if (std::none_of(kinds.begin(), kinds.end(), [code](const PayKind& k) { return k.kod == code; }))
            throw SourceError(QStringLiteral("%1: built-in code %2 has no kind").arg(path).arg(code).toStdString());
}

void readSchedules(const QString& path, std::array<WorkSchedule, CInfoBase::ScheduleCount>& schedules)
{
    schedules = {};
    WorkSchedule* s = nullptr;
    for (const SourceLine& l : ReadSourceLines(path)) {
        const Where w{path, l.number};
        const auto [key, value] = keyValue(l.text);
        if (key == QLatin1String("schedule")) {
            const int n = toInt(value, w);
            if (n < 1 || n > CInfoBase::ScheduleCount)
                w.fail(QStringLiteral("schedules are numbered 1 to 20"));
            s = &schedules[std::size_t(n - 1)];
            continue;
        }
        if (!s)
            w.fail(QStringLiteral("\"schedule\" expected first"));
        if (key == QLatin1String("week")) {
            static const QRegularExpression re(QStringLiteral("^[01]{7}$"));
            if (!re.match(value).hasMatch())
                w.fail(QStringLiteral("seven digits 0/1, Monday first"));
            u8 mask = 0;
            for (int d = 0; d < 7; ++d)
                if (value[d] == QLatin1Char('1'))
                    mask = u8(mask | (1u << d));
            s->rabDnNed = mask;
        } else if (key == QLatin1String("day")) {
            const int m = hoursMinutes(value, w);
            s->rdHr = u16(m / 60);
            s->rdMin = u16(m % 60);
        } else if (key == QLatin1String("fund")) {
            const double h = toNumber(value, w);
            if (h < 0 || h > 400)
                w.fail(QStringLiteral("the monthly fund lies in 0-400 hours"));
            s->mesFond = u16(std::lround(h * 10));
        } else if (key == QLatin1String("cycle")) {
            static const QRegularExpression re(QStringLiteral("^(\\d+)/(\\d+)\\s+(\\d{4})-(\\d{2})-(\\d{2})$"));
            const auto m = re.match(value);
            if (!m.hasMatch())
                w.fail(QStringLiteral("cycle: <working>/<off> YYYY-MM-DD"));
            const int work = m.captured(1).toInt(), off = m.captured(2).toInt();
            if (work < 1 || work > 15 || off < 1 || off > 31)
                w.fail(QStringLiteral("1-15 working days and 1-31 days off"));
            s->pRab = u16(work);
            s->pVyh = u16(off);
            s->begG = u8(m.captured(3).toInt() % 100);
            s->begM = u8(m.captured(4).toInt());
            s->begD = u8(m.captured(5).toInt());
        } else if (key == QLatin1String("manual")) {
            s->ruchn = u8(toInt(value, w) != 0);
        } else {
            w.fail(QStringLiteral("unknown key \"%1\"").arg(key));
        }
    }
}

void readConfig(const QString& path, CInfoBase& base)
{
    InfoBaseConfig& c = base.config;
    FirmInfo& firm = base.firm;
    struct Mrot {
        int key;
        double amount;
    };
    std::vector<Mrot> mrot;
    int holidays = 0;
    firm.fete = {};
    firm.feteMes = {};
    for (const SourceLine& l : ReadSourceLines(path)) {
        const Where w{path, l.number};
        const auto [key, value] = keyValue(l.text);
        if (key == QLatin1String("capacity")) {
            const int n = toInt(value, w);
            if (n < 1 || n > CInfoBase::MaxCapacity)
                w.fail(QStringLiteral("capacity lies in 1-%1").arg(CInfoBase::MaxCapacity));
            c.kolMax = u16(n);
        } else if (key == QLatin1String("month")) {
            int y = 0, m = 0;
            yearMonth(value, w, y, m);
            c.tekMes = u16(y * 16 + m);
        } else if (key == QLatin1String("rounding")) {
            const int r = toInt(value, w);
            if (r < 0 || r > 5)
                w.fail(QStringLiteral("rounding modes are 0-5"));
            c.okrugWord = u16((c.okrugWord & ~7u) | unsigned(r));
        } else if (key == QLatin1String("mrot")) {
            const QStringList f = words(value);
            if (f.size() != 2)
                w.fail(QStringLiteral("mrot: YYYY-MM amount"));
            int y = 0, m = 0;
            yearMonth(f[0], w, y, m);
            mrot.push_back({y * 16 + m, toNumber(f[1], w)});
        } else if (key == QLatin1String("holiday")) {
            static const QRegularExpression re(QStringLiteral("^(\\d{2})\\.(\\d{2})$"));
            const auto m = re.match(value);
            if (!m.hasMatch())
                w.fail(QStringLiteral("holiday: DD.MM"));
            const int d = m.captured(1).toInt(), mon = m.captured(2).toInt();
            if (mon < 1 || mon > 12 || d < 1 || d > 31)
                w.fail(QStringLiteral("no such day"));
            if (holidays >= int(firm.fete.size()))
                w.fail(QStringLiteral("at most 12 holidays"));
            firm.fete[std::size_t(holidays++)] = u16(d * 256 + mon);
            ++firm.feteMes[std::size_t(mon - 1)];
        } else if (key == QLatin1String("evening")) {
            firm.procEvn = u8(toInt(value, w));
        } else if (key == QLatin1String("night")) {
            firm.procNgt = u8(toInt(value, w));
        } else if (key == QLatin1String("dayLength")) {
            const int m = hoursMinutes(value, w);
            if (m / 60 > 15)
                w.fail(QStringLiteral("the default day is at most 15 hours"));
            firm.parWord = u16((firm.parWord & 0x3F) | ((m / 60) << 6) | ((m % 60) << 10));
        } else if (key == QLatin1String("sickMax")) {
            firm.blnMaxOgr = kopecks(value, w);
        } else if (key == QLatin1String("sickMinWage")) {
            firm.blnMaxOgrBegRab = kopecks(value, w);
        } else if (key == QLatin1String("injuryMax")) {
            firm.travmaMaxOgr = kopecks(value, w);
        } else if (key == QLatin1String("sickReduced")) {
            firm.blnMinProc = u8(toInt(value, w));
        } else if (key == QLatin1String("sickBonusMonths")) {
            firm.blnSrPremMes = u8(toInt(value, w));
        } else {
            w.fail(QStringLiteral("unknown key \"%1\"").arg(key));
        }
    }
    firm.feteKv = u8(holidays);
    // The minimum wage of each month of the reporting year and the year before.
    std::sort(mrot.begin(), mrot.end(), [](const Mrot& a, const Mrot& b) { return a.key < b.key; });
    const int year = c.reportingYear();
    for (int m = 1; m <= 12; ++m) {
        double now = 0, before = 0;
        for (const Mrot& r : mrot) {
            if (r.key <= year * 16 + m)
                now = r.amount;
            if (r.key <= (year - 1) * 16 + m)
                before = r.amount;
        }
        c.mrot[std::size_t(m - 1)] = now;
        c.mrotPrev[std::size_t(m - 1)] = before;
    }
}

} // namespace

void ReadBaseSources(const QString& srcDir, CInfoBase& base)
{
    readConfig(sourcePath(srcDir, "config.txt"), base);
    std::vector<PayKind> kinds;
    readPayKinds(sourcePath(srcDir, "paykinds.txt"), kinds);
    base.setPayKinds(std::move(kinds));
    std::array<WorkSchedule, CInfoBase::ScheduleCount> schedules;
    readSchedules(sourcePath(srcDir, "schedules.txt"), schedules);
    for (int number = 1; number <= CInfoBase::ScheduleCount; ++number)
        base.scheduleAt(number) = schedules[SlotPlace(number, schedules.size())];
}

void WriteEmptyTemplate(const QString& srcDir, const QString& outDir)
{
    if (!QDir().mkpath(outDir))
        throw SourceError(QStringLiteral("cannot make %1").arg(outDir).toStdString());
    const QString work = QDir(outDir).filePath(QStringLiteral(".empty-work/"));
    QDir(work).removeRecursively();
    if (!QDir().mkpath(work))
        throw SourceError(QStringLiteral("cannot make %1").arg(work).toStdString());

    // A base of the schema alone (the work folder has no template), then our settings.
    const QString name = QStringLiteral("empty");
    CreateSchemaBase(work, name);
    {
        CInfoBase base;
        base.workFolder = work;
        base.baseName = name;
        OpenBase(base);
        const QString printCommand = base.config.dosStr;
        ReadBaseSources(srcDir, base);
        base.config.kolRab = 0;
        base.config.dosStr = printCommand;
        base.AllocateTables(base.config.kolMax);
        SaveConfig(base);
        SaveFirm(base);
        SaveEntree(base);
        SaveConfigNEnt(base);
        SaveGraph(base);
        db::Checkpoint(Db(base));
        CloseBase(base);
    }
    // The template passes the program's own checks before it is shipped: a
    // base made from it in the work folder opens.
    const QString file = BaseFilePath(work, name);
    copyFile(file, TemplateFilePath(work));
    CreateBase(work, QStringLiteral("check"));
    const QString target = QDir(outDir).filePath(QStringLiteral("empty.bak"));
    copyFile(file, target);
    QDir(work).removeRecursively();
}

} // namespace kalvor::tools
