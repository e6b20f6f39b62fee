// Loaders and savers of the configuration, the firm record, the reference
// tables, the per-slot tables, the line tables and the employee lists.
#include "infobase/BaseCheck.h"
#include "infobase/InfoBaseDbDetail.h"
#include "infobase/StoredTables.h"
#include "values/Clock.h"

#include <algorithm>

namespace kalvor::infobase {

using namespace detail;

namespace {

const TableDef& T(const char* name) { return Table(QString::fromLatin1(name)); }

// Empties the table (or the rows that `where` names) and inserts the rows that
// `insertAll` binds, one batch (on a server one round trip): on any failure
// the table keeps its previous rows.
void replaceTable(const QSqlDatabase& db, const char* table, const std::function<void(BatchRows&)>& insertAll,
                  const QString& where = QString(), const QVariant& whereValue = QVariant())
{
    db::Batch batch(db);
    if (where.isEmpty()) {
        batch.add(QStringLiteral("DELETE FROM %1").arg(Qualified(QString::fromLatin1(table))));
    } else {
        batch.add(QStringLiteral("DELETE FROM %1 WHERE %2").arg(Qualified(QString::fromLatin1(table)), where));
        batch.bind(0, whereValue);
    }
    BatchRows rows{batch, TableInsertSql(table)};
    insertAll(rows);
    batch.run();
}

// Runs `fn` on every row of a SELECT of the whole table.
void eachRow(const QSqlDatabase& db, const char* table, const QString& tail, const std::function<void(Reader&)>& fn,
             const QVariant& arg = QVariant())
{
    db::Recordset q(db, SelectSql(T(table), tail));
    if (arg.isValid())
        q.bind(0, arg);
    q.exec();
    while (q.next()) {
        Reader r(q);
        fn(r);
    }
}

int bit(unsigned word, int pos, int width = 1) { return int((word >> pos) & ((1u << width) - 1)); }

bool validSlot(const CInfoBase& base, int num) { return num >= 1 && num <= base.capacity(); }

// "«Иванов И. И.» (запись 5)", or "запись 5" while the slot has no name.
QString employeeOfSlot(const CInfoBase& base, int slot)
{
    const QString name = validSlot(base, slot) ? base.shortNames[std::size_t(slot - 1)].trimmed() : QString();
    return name.isEmpty() ? QStringLiteral("запись %1").arg(slot)
                          : QStringLiteral("«%1» (запись %2)").arg(name).arg(slot);
}

} // namespace

// ---------------------------------------------------------------- configuration

void LoadConfig(CInfoBase& base)
{
    const QSqlDatabase db = Db(base);
    db::Recordset q(db, SelectSql(T("config"), QStringLiteral("WHERE id = 1")));
    q.exec();
    InfoBaseConfig c;
    if (!q.next())
        ThrowDamaged(QStringLiteral("Нет строки настроек базы (таблица dbo.config)."));
    Reader r(q, 1);
    c.kolMax = u16(std::clamp(r.n(), 0, CInfoBase::MaxCapacity));
    c.kolRab = i16(r.n());
    c.parol = r.s();
    c.tekMes = u16(r.n());
    c.nEnt = u16(r.n());
    unsigned w = unsigned(r.n() & 7);
    w |= unsigned(r.n() & 1) << 3;
    for (int m = 1; m <= 12; ++m) w |= unsigned(r.n() & 1) << (3 + m);
    c.okrugWord = u16(w);
    const int vyp = r.n() & 7;
    c.okrugVypWord = u16(vyp | (r.n() & ~7));
    for (double& m : c.mrot) m = r.d();
    for (double& m : c.mrotPrev) m = r.d();
    c.dosStr = r.s();
    c.r_g = u8(r.n());
    c.r_m1 = u8(r.n());
    c.r_m2 = u8(r.n());
    const int kolRab = c.kolRab;
    base.config = c;
    base.AllocateTables(c.kolMax);
    base.config.kolRab = i16(kolRab);
    // Two-digit years are read around this base's reporting year from now on.
    Clock::setReferenceYear(&base, base.config.reportingYear());
}

void SaveConfig(CInfoBase& base)
{
    const QSqlDatabase db = Db(base);
    const InfoBaseConfig& c = base.config;
    db::Transaction tr(db);
    db::Execute(db, QStringLiteral("DELETE FROM dbo.config"));
    db::Recordset ins(db, InsertSql(T("config")));
    Binder b(ins);
    b << 1 << int(c.kolMax) << int(c.kolRab) << c.parol << int(c.tekMes) << int(c.nEnt) << c.okrugRas()
      << int(c.sort());
    for (int m = 1; m <= 12; ++m) b << bit(c.okrugWord, 3 + m);
    b << c.okrugVyp() << int(c.okrugVypWord & ~7u);
    for (double m : c.mrot) b << m;
    for (double m : c.mrotPrev) b << m;
    b << c.dosStr << int(c.r_g) << int(c.r_m1) << int(c.r_m2);
    ins.exec();
    // dbo.color is kept as it stands: the program holds nothing of it in memory.
    tr.commit();
    Clock::setReferenceYear(&base, c.reportingYear());
}

void SaveConfigCounters(CInfoBase& base)
{
    const QSqlDatabase db = Db(base);
    db::Transaction tr(db);
    db::Recordset(db, QStringLiteral("UPDATE dbo.config SET kolMax = ?, kolRab = ?, sort = ? WHERE id = 1"))
        .run(int(base.config.kolMax), int(base.config.kolRab), int(base.config.sort()));
    tr.commit();
}

void SaveConfigNEnt(CInfoBase& base)
{
    const QSqlDatabase db = Db(base);
    db::Transaction tr(db);
    db::Recordset(db, QStringLiteral("UPDATE dbo.config SET nEnt = ? WHERE id = 1")).run(int(base.config.nEnt));
    tr.commit();
}

// ---------------------------------------------------------------- firm

void LoadFirm(CInfoBase& base)
{
    const QSqlDatabase db = Db(base);
    FirmInfo f;
    eachRow(db, "infFirm", QStringLiteral("WHERE id = 1"), [&](Reader& r) {
        r.n();
        for (QString& t : f.texts) t = r.s();
        f.adrKodRG = u8(r.n());
    });
    eachRow(db, "infPar", QStringLiteral("WHERE id = 1"), [&](Reader& r) {
        r.n();
        unsigned w = unsigned(r.n() & 1);
        w |= unsigned(r.n() & 1) << 3;
        w |= unsigned(r.n() & 1) << 4;
        w |= unsigned(r.n() & 1) << 5;
        w |= unsigned(r.n() & 15) << 6;
        w |= unsigned(r.n() & 63) << 10;
        w |= unsigned(r.n()) & 6u;
        f.parWord = u16(w);
        f.procRaj = i8(r.n());
        f.procSev = u16(r.n());
        f.maxKvSevNad = u16(r.n());
        f.periodSevNad = u16(r.n());
        f.procProst = u8(r.n());
        f.procNgt = u8(r.n());
        f.procEvn = u8(r.n());
        f.tabDiv = u8(r.n());
        f.procSsudWhole = u8(r.n());
        f.procSsudHundredths = u8(r.n());
        f.procPens = u16(r.n());
        f.sbProcFirm = u16(r.n());
        f.sbProcSotr = u16(r.n());
        for (double* d : {&f.blnMaxOgr, &f.blnUprosh, &f.blnMaxOgrBegRab, &f.travmaMaxOgr, &f.dekrMaxOgr,
                          &f.blnMaxOgrDet1, &f.blnMinOgrDet1, &f.blnMaxOgrDet2, &f.blnMinOgrDet2})
            *d = r.d();
        f.blnSrPremMes = u8(r.n());
        f.blnMinProc = u8(r.n());
        for (u16& x : f.fete) x = u16(r.n());
        f.feteKv = u8(r.n());
        for (u8& x : f.feteMes) x = u8(r.n());
        f.minOblStav = r.d();
        f.maxOblStav = r.d();
        const int uprosh = r.n();
        f.uproshWord = u16((uprosh ? 0x1000 : 0) | (r.n() & ~0x1000));
        const int obosob = r.n();
        f.obosobWord = u16((obosob & 1) | (r.n() & ~1));
        f.c1Ch70 = u16(r.n());
        const int typ = r.n(), sub = r.n(), rest = r.n();
        f.c1Word = u16(((typ & 1) << 7) | ((sub & 15) << 8) | (rest & ~0x0F80));
        const int turbo = r.n();
        f.turboWord = u16(((turbo & 1) << 15) | (r.n() & 0x7FFF));
        f.tabGrp2 = i8(r.n());
        f.procDop = i8(r.n());
    });
    eachRow(db, "mask", QString(), [&](Reader& r) {
        const int kod = r.n();
        for (auto& m : f.masks) {
            const int v = r.n();
            if (kod >= 0 && kod < 1000)
                m[std::size_t(kod)] = u8(v);
        }
    });
    eachRow(db, "ktu", QString(), [&](Reader& r) {
        const int num = r.n();
        if (num < 1 || num > 12)
            return;
        const int rule = (num - 1) % 4;
        unsigned w = unsigned(r.n() & 127);
        w |= unsigned(r.n() & 1) << 7;
        w |= unsigned(r.n() & 1) << 8;
        w |= unsigned(r.n() & 3) << 9;
        w |= unsigned(r.n() & 3) << 11;
        const int mashtab = r.n(), formula = r.n();
        w |= unsigned((rule == 1 ? formula : mashtab) & 7) << 13;
        f.ktu[std::size_t((num - 1) / 4)][std::size_t(rule)] = u16(w);
    });
    eachRow(db, "stag", QString(), [&](Reader& r) {
        const int num = r.n();
        if (num < 1 || num > 15)
            return;
        SeniorityRule& s = f.stag[std::size_t(num - 1)];
        s.kod = u16(r.n());
        for (i16* x : {&s.vozMin, &s.vozMax, &s.rabMin, &s.rabMax, &s.sevMin, &s.sevMax}) *x = i16(r.n());
        for (i8* x : {&s.otdMin, &s.otdMax, &s.brigMin, &s.brigMax}) *x = i8(r.n());
        s.profMin = u16(r.n());
        s.profMax = u8(r.n());
        s.kategMin = u16(r.n());
        s.kategMax = u16(r.n());
        s.kak = u16(r.n());
        s.sum = r.d();
    });
    base.firm = f;
}

void SaveFirm(CInfoBase& base, int /*mode*/)
{
    const QSqlDatabase db = Db(base);
    const FirmInfo& f = base.firm;
    db::Transaction tr(db);
    replaceTable(db, "infFirm", [&](BatchRows& ins) {
        Binder b(ins);
        b << 1;
        for (const QString& t : f.texts) b << t;
        b << int(f.adrKodRG);
        ins.exec();
    });
    replaceTable(db, "infPar", [&](BatchRows& ins) {
        Binder b(ins);
        const unsigned w = f.parWord;
        b << 1 << bit(w, 0) << bit(w, 3) << bit(w, 4) << bit(w, 5) << bit(w, 6, 4) << bit(w, 10, 6) << int(w & 6u)
          << int(f.procRaj) << int(f.procSev) << int(f.maxKvSevNad) << int(f.periodSevNad) << int(f.procProst)
          << int(f.procNgt) << int(f.procEvn) << int(f.tabDiv) << int(f.procSsudWhole) << int(f.procSsudHundredths)
          << int(f.procPens) << int(f.sbProcFirm) << int(f.sbProcSotr);
        for (double d : {f.blnMaxOgr, f.blnUprosh, f.blnMaxOgrBegRab, f.travmaMaxOgr, f.dekrMaxOgr, f.blnMaxOgrDet1,
                         f.blnMinOgrDet1, f.blnMaxOgrDet2, f.blnMinOgrDet2})
            b << d;
        b << int(f.blnSrPremMes) << int(f.blnMinProc);
        for (u16 x : f.fete) b << int(x);
        b << int(f.feteKv);
        for (u8 x : f.feteMes) b << int(x);
        b << f.minOblStav << f.maxOblStav << bit(f.uproshWord, 12) << int(f.uproshWord & ~0x1000u)
          << bit(f.obosobWord, 0) << int(f.obosobWord & ~1u) << int(f.c1Ch70) << bit(f.c1Word, 7) << bit(f.c1Word, 8, 4)
          << int(f.c1Word & ~0x0F80u) << bit(f.turboWord, 15) << int(f.turboWord & 0x7FFFu) << int(f.tabGrp2)
          << int(f.procDop);
        ins.exec();
    });
    replaceTable(db, "mask", [&](BatchRows& ins) {
        for (int kod = 0; kod < 1000; ++kod) {
            bool any = false;
            for (const auto& m : f.masks) any = any || m[std::size_t(kod)] != 0;
            if (!any)
                continue;
            Binder b(ins);
            b << kod;
            for (const auto& m : f.masks) b << int(m[std::size_t(kod)]);
            ins.exec();
        }
    });
    replaceTable(db, "ktu", [&](BatchRows& ins) {
        for (int v = 0; v < 3; ++v)
            for (int rule = 0; rule < 4; ++rule) {
                const unsigned w = f.ktu[std::size_t(v)][std::size_t(rule)];
                const int top = bit(w, 13, 3);
                Binder b(ins);
                b << v * 4 + rule + 1 << bit(w, 0, 7) << bit(w, 7) << bit(w, 8) << bit(w, 9, 2) << bit(w, 11, 2)
                  << (rule == 1 ? 0 : top) << (rule == 1 ? top : 0);
                ins.exec();
            }
    });
    replaceTable(db, "stag", [&](BatchRows& ins) {
        for (int i = 0; i < 15; ++i) {
            const SeniorityRule& s = f.stag[std::size_t(i)];
            Binder b(ins);
            b << i + 1 << int(s.kod) << int(s.vozMin) << int(s.vozMax) << int(s.rabMin) << int(s.rabMax)
              << int(s.sevMin) << int(s.sevMax) << int(s.otdMin) << int(s.otdMax) << int(s.brigMin) << int(s.brigMax)
              << int(s.profMin) << int(s.profMax) << int(s.kategMin) << int(s.kategMax) << int(s.kak) << s.sum;
            ins.exec();
        }
    });
    tr.commit();
}

// ---------------------------------------------------------------- pay kinds, shops, schedules

void LoadEntree(CInfoBase& base)
{
    base.payKinds.clear();
    eachRow(Db(base), "entree", QStringLiteral("ORDER BY kod"), [&](Reader& r) {
        if (int(base.payKinds.size()) >= CInfoBase::MaxPayKinds)
            return;
        PayKind p;
        p.kod = u16(r.n());
        p.name = r.s();
        p.flags = u16(r.n());
        p.dates[0] = u16(r.n());
        p.dates[1] = u16(r.n());
        p.fond = u8(r.n());
        p.enOtp = u8(r.n());
        p.budgOtp = u16(r.n());
        p.koefOtp = u16(r.n());
        p.budgBln = u16(r.n());
        p.enBlnFull = u8(r.n());
        p.enBlnProp = u8(r.n());
        p.enBlnAlg = u8(r.n());
        p.enSrPremBln = u8(r.n());
        p.oblProf = u8(r.n());
        p.enAlim = u8(r.n());
        p.enKoefRS = u8(r.n());
        p.g11 = u8(r.n());
        p.enSrZar = u8(r.n());
        p.hr1 = u8(r.n());
        p.hr2 = u8(r.n());
        p.hr3 = u8(r.n());
        p.hr4 = u8(r.n());
        p.oblPodoh = u8(r.n());
        p.vedShap = u8(r.n());
        p.grp = u8(r.n());
        p.okrug = u8(r.n());
        p.vedStlb = i8(r.n());
        p.kodDoh = u16(r.n());
        p.kodSkid = u16(r.n());
        p.sumSkidPodoh = r.d();
        p.sumSkidSoc = r.d();
        p.spzCh = u16(r.n());
        p.spzSc = u16(r.n());
        p.spzAu = u16(r.n());
        p.spzAuHi = u16(r.n());
        base.payKinds.push_back(p);
    });
    base.config.nEnt = u16(base.payKinds.size());
    base.IndexPayKinds();
}

void SaveEntree(CInfoBase& base)
{
    std::vector<PayKind> kinds = base.payKinds;
    std::stable_sort(kinds.begin(), kinds.end(), [](const PayKind& a, const PayKind& b) { return a.kod < b.kod; });
    replaceTable(Db(base), "entree", [&](BatchRows& ins) {
        for (const PayKind& p : kinds) {
            Binder b(ins);
            b << int(p.kod) << p.name << int(p.flags) << int(p.dates[0]) << int(p.dates[1]) << int(p.fond)
              << int(p.enOtp) << int(p.budgOtp) << int(p.koefOtp) << int(p.budgBln) << int(p.enBlnFull)
              << int(p.enBlnProp) << int(p.enBlnAlg) << int(p.enSrPremBln) << int(p.oblProf) << int(p.enAlim)
              << int(p.enKoefRS) << int(p.g11) << int(p.enSrZar) << int(p.hr1) << int(p.hr2) << int(p.hr3) << int(p.hr4)
              << int(p.oblPodoh) << int(p.vedShap) << int(p.grp) << int(p.okrug) << int(p.vedStlb) << int(p.kodDoh)
              << int(p.kodSkid) << p.sumSkidPodoh << p.sumSkidSoc << int(p.spzCh) << int(p.spzSc) << int(p.spzAu)
              << int(p.spzAuHi);
            ins.exec();
        }
    });
}

void LoadCeh(CInfoBase& base)
{
    for (ShopRecord& s : base.shops) s = ShopRecord{};
    eachRow(Db(base), "ceh", QString(), [&](Reader& r) {
        const int num = r.n();
        if (num < 1 || num > CInfoBase::ShopCount)
            return;
        ShopRecord& s = base.shops[std::size_t(num - 1)];
        s.number = u8(r.n());
        s.name = r.s();
    });
}

void SaveCeh(CInfoBase& base)
{
    replaceTable(Db(base), "ceh", [&](BatchRows& ins) {
        for (int i = 0; i < CInfoBase::ShopCount; ++i) {
            const ShopRecord& s = base.shops[std::size_t(i)];
            if (s.number == 0 && s.name.isEmpty())
                continue;
            Binder b(ins);
            b << i + 1 << int(s.number) << s.name;
            ins.exec();
        }
    });
}

void LoadGraph(CInfoBase& base)
{
    const QSqlDatabase db = Db(base);
    for (WorkSchedule& w : base.schedules) w = WorkSchedule{};
    eachRow(db, "graph", QString(), [&](Reader& r) {
        const int num = r.n();
        if (num < 1 || num > CInfoBase::ScheduleCount)
            return;
        WorkSchedule& w = base.schedules[std::size_t(num - 1)];
        unsigned days = 0;
        for (int d = 0; d < 7; ++d) days |= unsigned(r.n() & 1) << d;
        w.rabDnNed = u8(days);
        w.ruchn = u8(r.n());
        w.rdHr = u16(r.n());
        w.rdMin = u16(r.n());
        w.pVyh = u16(r.n());
        w.pRab = u16(r.n());
        w.mesFond = u16(r.n());
        w.begD = u8(r.n());
        w.begM = u8(r.n());
        w.begG = u8(r.n());
    });
    eachRow(db, "graMes", QString(), [&](Reader& r) {
        const int g = r.n(), k = r.n();
        if (g < 1 || g > CInfoBase::ScheduleCount || k < 0 || k >= 22)
            return;
        ScheduleMonth& m = base.schedules[std::size_t(g - 1)].months[std::size_t(k)];
        m.rDn = i8(r.n());
        m.rMin = u16(r.n());
        for (u16& d : m.d) d = u16(r.n());
        m.vMin = u16(r.n());
        m.nMin = u16(r.n());
    });
}

void SaveGraph(CInfoBase& base)
{
    const QSqlDatabase db = Db(base);
    db::Transaction tr(db);
    replaceTable(db, "graph", [&](BatchRows& ins) {
        for (int i = 0; i < CInfoBase::ScheduleCount; ++i) {
            const WorkSchedule& w = base.schedules[std::size_t(i)];
            Binder b(ins);
            b << i + 1;
            for (int d = 0; d < 7; ++d) b << bit(w.rabDnNed, d);
            b << int(w.ruchn) << int(w.rdHr) << int(w.rdMin) << int(w.pVyh) << int(w.pRab) << int(w.mesFond)
              << int(w.begD) << int(w.begM) << int(w.begG);
            ins.exec();
        }
    });
    replaceTable(db, "graMes", [&](BatchRows& ins) {
        for (int i = 0; i < CInfoBase::ScheduleCount; ++i)
            for (int k = 0; k < 22; ++k) {
                const ScheduleMonth& m = base.schedules[std::size_t(i)].months[std::size_t(k)];
                if (m == ScheduleMonth{})
                    continue;
                Binder b(ins);
                b << i + 1 << k << int(m.rDn) << int(m.rMin);
                for (u16 d : m.d) b << int(d);
                b << int(m.vMin) << int(m.nMin);
                ins.exec();
            }
    });
    tr.commit();
}

// ---------------------------------------------------------------- per-slot tables

void LoadTabel(CInfoBase& base)
{
    std::fill(base.tabel.begin(), base.tabel.end(), TabelRecord{});
    eachRow(Db(base), "tabel", QString(), [&](Reader& r) {
        const int num = r.n();
        if (validSlot(base, num))
            TabelTable().read(base.tabel[std::size_t(num - 1)], r);
    });
}

void SaveTabel(CInfoBase& base, int /*mode*/)
{
    replaceTable(Db(base), "tabel", [&](BatchRows& ins) {
        for (int i = 0; i < base.capacity(); ++i) {
            Binder b(ins);
            b << i + 1;
            TabelTable().bind(base.tabel[std::size_t(i)], b);
        }
    });
}

namespace {

std::vector<u16>* indexOf(CInfoBase& base, QChar kind)
{
    switch (kind.toLatin1()) {
    case 't': return &base.altTabel.index;
    case 'p': return &base.prem.index;
    case 'b': return &base.bln.index;
    case 'o': return &base.otp.index;
    }
    return nullptr;
}

// The line array that an index word of that kind points into.
int lineCapacityOf(const CInfoBase& base, QChar kind)
{
    switch (kind.toLatin1()) {
    case 't': return base.altTabel.lineCapacity();
    case 'p': return base.prem.lineCapacity();
    case 'b': return base.bln.lineCapacity();
    case 'o': return base.otp.lineCapacity();
    }
    return 0;
}

// An index word's run must lie inside its line array: the screens and the
// calculation index the lines by it.
void checkLineRun(const CInfoBase& base, QChar kind, int slot, int first, int count)
{
    const int lines = lineCapacityOf(base, kind);
    if (first >= 0 && count >= 0 && count <= LineIndexEntry::MaxCount && first <= LineIndexEntry::MaxFirst &&
        first + count <= lines)
        return;
    ThrowDamaged(QStringLiteral("Таблица dbo.indexes, вид «%1», работник %2: строки с %3 по %4 "
                                "вне массива из %5 строк.")
                     .arg(kind)
                     .arg(employeeOfSlot(base, slot))
                     .arg(first)
                     .arg(qint64(first) + count - 1)
                     .arg(lines));
}

// The runs of one kind must follow the slots' order without overlapping:
// every splice of the entry screens moves the later runs by that order.
void checkRunOrder(const CInfoBase& base, QChar kind, const std::vector<u16>& idx)
{
    int end = 0;
    for (int slot = 1; slot <= int(idx.size()); ++slot) {
        const u16 w = idx[std::size_t(slot - 1)];
        const int first = LineIndexEntry::first(w), count = LineIndexEntry::count(w);
        if (count == 0)
            continue;
        if (first < end)
            ThrowDamaged(QStringLiteral("Таблица dbo.indexes, вид «%1», работник %2: строки с %3 по %4 "
                                        "заходят на строки работника с меньшим номером записи.")
                             .arg(kind)
                             .arg(employeeOfSlot(base, slot))
                             .arg(first)
                             .arg(first + count - 1));
        end = first + count;
    }
}

} // namespace

void LoadIndexes(CInfoBase& base)
{
    for (auto* idx : {&base.altTabel.index, &base.prem.index, &base.bln.index, &base.otp.index})
        std::fill(idx->begin(), idx->end(), u16(0));
    eachRow(Db(base), "indexes", QString(), [&](Reader& r) {
        const QString vid = r.s();
        const int nom = r.n(), first = r.n(), kol = r.n();
        std::vector<u16>* idx = vid.isEmpty() ? nullptr : indexOf(base, vid[0]);
        if (!idx || !validSlot(base, nom))
            return;
        if (kol != 0)
            checkLineRun(base, vid[0], nom, first, kol);
        (*idx)[std::size_t(nom - 1)] = kol != 0 ? LineIndexEntry::make(first, kol) : u16(0);
    });
    for (const char letter : {'t', 'p', 'b', 'o'}) {
        const QChar kind = QChar::fromLatin1(letter);
        checkRunOrder(base, kind, *indexOf(base, kind));
    }
}

void SaveIndexes(CInfoBase& base, LineKind kind, int /*mode*/)
{
    const QString vid(QChar::fromLatin1(char(kind)));
    const std::vector<u16>& idx = *indexOf(base, vid[0]);
    replaceTable(
        Db(base), "indexes",
        [&](BatchRows& ins) {
            for (int i = 0; i < base.capacity(); ++i) {
                Binder b(ins);
                const u16 w = idx[std::size_t(i)];
                b << vid << i + 1 << LineIndexEntry::first(w) << LineIndexEntry::count(w);
                ins.exec();
            }
        },
        QStringLiteral("vid = ?"), vid);
}

void LoadAltTabel(CInfoBase& base)
{
    std::fill(base.altTabel.lines.begin(), base.altTabel.lines.end(), AltTabelEntry{});
    const int cap = base.capacity();
    eachRow(Db(base), "altTabel", QString(), [&](Reader& r) {
        const int mass = r.n(), num = r.n();
        if (mass < 1 || mass > 3 || num < 1 || num > cap)
            return;
        AltTabelEntry& e = base.altTabel.lines[std::size_t((mass - 1) * cap + num - 1)];
        e.kod = u16(r.n());
        e.dn = u16(r.n());
        e.min = u16(r.n());
        e.mes = u16(r.n());
        e.hr = u8(r.n());
        e.sumOklad = RoublesToKopecks(r.d());
        e.tarif.rub = u16(r.n());
        e.tarif.thou = u16(r.n());
        e.procOpl = u8(r.n());
        e.otd = u8(r.n());
        e.storno = u8(r.n());
        e.spzCh = u16(r.n());
        e.spzSc = u16(r.n());
        e.spzAu = u16(r.n());
    });
}

void SaveAltTabel(CInfoBase& base, int mass, int /*mode*/)
{
    if (mass < 1 || mass > 3)
        return;
    const int cap = base.capacity();
    replaceTable(
        Db(base), "altTabel",
        [&](BatchRows& ins) {
            for (int i = 0; i < cap; ++i) {
                const AltTabelEntry& e = base.altTabel.lines[std::size_t((mass - 1) * cap + i)];
                if (e == AltTabelEntry{})
                    continue;
                Binder b(ins);
                b << mass << i + 1 << int(e.kod) << int(e.dn) << int(e.min) << int(e.mes) << int(e.hr)
                  << e.sumOklad / 100 << int(e.tarif.rub) << int(e.tarif.thou) << int(e.procOpl) << int(e.otd)
                  << int(e.storno) << int(e.spzCh) << int(e.spzSc) << int(e.spzAu);
                ins.exec();
            }
        },
        QStringLiteral("mass = ?"), mass);
}

void LoadFio(CInfoBase& base)
{
    std::fill(base.shortNames.begin(), base.shortNames.end(), QString());
    eachRow(Db(base), "fio", QString(), [&](Reader& r) {
        const int num = r.n();
        if (validSlot(base, num))
            base.shortNames[std::size_t(num - 1)] = r.s();
    });
}

void SaveFio(CInfoBase& base, int /*mode*/)
{
    replaceTable(Db(base), "fio", [&](BatchRows& ins) {
        for (int i = 0; i < base.capacity(); ++i) {
            Binder b(ins);
            b << i + 1 << base.shortNames[std::size_t(i)];
            ins.exec();
        }
    });
}

void LoadComp(CInfoBase& base)
{
    std::fill(base.attributes.begin(), base.attributes.end(), EmployeeAttributes{});
    std::fill(base.shopBytes.begin(), base.shopBytes.end(), u8(0));
    eachRow(Db(base), "comp", QString(), [&](Reader& r) {
        const int num = r.n();
        if (!validSlot(base, num))
            return;
        base.shopBytes[std::size_t(num)] = u8(r.n());
        EmployeeAttributes& a = base.attributes[std::size_t(num - 1)];
        a.prof = u16(r.n());
        a.razr = u16(r.n());
        a.word0Rest = u16(r.n());
        a.brig = i8(r.n());
        a.sistOpl = u8(r.n());
        a.graph = u8(r.n());
        a.kateg = u16(r.n());
        a.err = u16(r.n());
        a.kvSdel = u16(r.n());
        a.tabProf = u16(r.n());
        a.priznUv = u16(r.n());
        a.kvProizv = u16(r.n());
        a.word3Rest = u16(r.n());
        a.priznAlim = u16(r.n());
        a.priznIspl = u16(r.n());
        a.priznBank = u16(r.n());
        a.priznSsud = u16(r.n());
        a.kvDBF = u16(r.n());
    });
}

void SaveComp(CInfoBase& base, int /*mode*/)
{
    replaceTable(Db(base), "comp", [&](BatchRows& ins) {
        for (int i = 0; i < base.capacity(); ++i) {
            const EmployeeAttributes& a = base.attributes[std::size_t(i)];
            Binder b(ins);
            b << i + 1 << int(base.shopBytes[std::size_t(i + 1)]) << int(a.prof) << int(a.razr) << int(a.word0Rest)
              << int(a.brig) << int(a.sistOpl) << int(a.graph) << int(a.kateg) << int(a.err) << int(a.kvSdel)
              << int(a.tabProf) << int(a.priznUv) << int(a.kvProizv) << int(a.word3Rest) << int(a.priznAlim)
              << int(a.priznIspl) << int(a.priznBank) << int(a.priznSsud) << int(a.kvDBF);
            ins.exec();
        }
    });
}

void LoadPrem(CInfoBase& base)
{
    std::fill(base.prem.lines.begin(), base.prem.lines.end(), BonusLine{});
    eachRow(Db(base), "prem", QString(), [&](Reader& r) {
        const int num = r.n();
        if (num < 1 || num > base.prem.lineCapacity())
            return;
        BonusLine& l = base.prem.lines[std::size_t(num - 1)];
        l.sum = RoublesToKopecks(r.d());
        l.mrp = u16(r.n());
        l.nalog = u16(r.n());
        l.procent = u16(r.n());
        l.ceh = u16(r.n());
        l.mask = u16(r.n());
        l.kod = u16(r.n());
        l.spzCh = u16(r.n());
        l.mes = u16(r.n());
        l.spzSc = u16(r.n());
        l.spzAu = u16(r.n());
    });
}

void SavePrem(CInfoBase& base, int /*mode*/)
{
    replaceTable(Db(base), "prem", [&](BatchRows& ins) {
        for (int i = 0; i < base.prem.lineCapacity(); ++i) {
            const BonusLine& l = base.prem.lines[std::size_t(i)];
            if (l == BonusLine{})
                continue;
            Binder b(ins);
            b << i + 1 << l.sum / 100 << int(l.mrp) << int(l.nalog) << int(l.procent) << int(l.ceh) << int(l.mask)
              << int(l.kod) << int(l.spzCh) << int(l.mes) << int(l.spzSc) << int(l.spzAu);
            ins.exec();
        }
    });
}

void LoadBln(CInfoBase& base)
{
    std::fill(base.bln.lines.begin(), base.bln.lines.end(), SickLeaveSheet{});
    eachRow(Db(base), "bln", QString(), [&](Reader& r) {
        const int num = r.n();
        if (num < 1 || num > base.bln.lineCapacity())
            return;
        SickLeaveSheet& s = base.bln.lines[std::size_t(num - 1)];
        s.dBegin = u8(r.n());
        s.mBegin = u8(r.n());
        s.gBegin = u16(r.n());
        s.dEnd = u8(r.n());
        s.mEnd = u8(r.n());
        s.gEnd = u16(r.n());
        s.sum = RoublesToKopecks(r.d());
        s.oklad = RoublesToKopecks(r.d());
        for (u8* x : {&s.vid, &s.alg, &s.firstMes, &s.procent}) *x = u8(r.n());
        s.dn = u16(r.n());
        s.mrp = u8(r.n());
        s.contin = u8(r.n());
        s.k1 = u8(r.n());
        s.k2 = u8(r.n());
        s.vr = u16(r.n());
        s.infl = u8(r.n());
        s.budg = u8(r.n());
        s.fromMinimumMonthlyEarnings = u16(r.n());
        s.firstYear = u16(r.n());
        s.secondYear = u16(r.n());
        s.from12Months = u16(r.n());
        s.timeRest = u16(r.n());
    });
}

void SaveBln(CInfoBase& base, int /*mode*/)
{
    replaceTable(Db(base), "bln", [&](BatchRows& ins) {
        for (int i = 0; i < base.bln.lineCapacity(); ++i) {
            const SickLeaveSheet& s = base.bln.lines[std::size_t(i)];
            if (s == SickLeaveSheet{})
                continue;
            Binder b(ins);
            b << i + 1 << int(s.dBegin) << int(s.mBegin) << int(s.gBegin) << int(s.dEnd) << int(s.mEnd) << int(s.gEnd)
              << s.sum / 100 << s.oklad / 100 << int(s.vid) << int(s.alg) << int(s.firstMes) << int(s.procent)
              << int(s.dn) << int(s.mrp) << int(s.contin) << int(s.k1) << int(s.k2) << int(s.vr) << int(s.infl)
              << int(s.budg) << int(s.fromMinimumMonthlyEarnings) << int(s.firstYear) << int(s.secondYear)
              << int(s.from12Months) << int(s.timeRest);
            ins.exec();
        }
    });
}

namespace {

// Whole days and hundredths as one number of days (the hundredths may be
// any 7-bit value) and back.
double daysValue(int whole, int hundredths) { return whole + hundredths / 100.0; }
void splitDays(double v, int& whole, int& hundredths)
{
    const long long total = std::llround(v * 100);
    long long w = total / 100;
    if (total % 100 < 0)
        --w;
    whole = int(w);
    hundredths = int(total - w * 100);
}

} // namespace

void LoadOtp(CInfoBase& base)
{
    std::fill(base.otp.lines.begin(), base.otp.lines.end(), VacationNote{});
    eachRow(Db(base), "otp", QString(), [&](Reader& r) {
        const int num = r.n();
        if (num < 1 || num > base.otp.lineCapacity())
            return;
        VacationNote& v = base.otp.lines[std::size_t(num - 1)];
        v.dBegin = u16(r.n());
        v.mBegin = u16(r.n());
        v.gBegin = u16(r.n());
        int whole = 0, hundredths = 0;
        splitDays(r.d(), whole, hundredths);
        v.dlin = u16(whole);
        v.dlinHundredths = u8(hundredths);
        v.sum = RoublesToKopecks(r.d());
        v.vid = u16(r.n());
        v.kalend = u16(r.n());
        v.alg = u8(r.n());
        v.mes = u16(r.n());
        v.tolkOtp = u8(r.n());
        v.fond = u16(std::llround(r.d() * 100));
        v.mrp = u16(r.n());
        v.budg = u16(r.n());
        splitDays(r.d(), whole, hundredths);
        v.dn = i8(whole);
        v.dnHundredths = u8(hundredths);
    });
}

void SaveOtp(CInfoBase& base, int /*mode*/)
{
    replaceTable(Db(base), "otp", [&](BatchRows& ins) {
        for (int i = 0; i < base.otp.lineCapacity(); ++i) {
            const VacationNote& v = base.otp.lines[std::size_t(i)];
            if (v == VacationNote{})
                continue;
            Binder b(ins);
            b << i + 1 << int(v.dBegin) << int(v.mBegin) << int(v.gBegin) << daysValue(v.dlin, v.dlinHundredths)
              << v.sum / 100 << int(v.vid) << int(v.kalend) << int(v.alg) << int(v.mes) << int(v.tolkOtp)
              << v.fond / 100.0 << int(v.mrp) << int(v.budg) << daysValue(v.dn, v.dnHundredths);
            ins.exec();
        }
    });
}

void LoadAvZar1(CInfoBase& base)
{
    std::fill(base.av.begin(), base.av.end(), 0.0);
    std::fill(base.zar1.begin(), base.zar1.end(), 0.0);
    eachRow(Db(base), "AvZar1", QString(), [&](Reader& r) {
        const int num = r.n();
        if (!validSlot(base, num))
            return;
        base.av[std::size_t(num - 1)] = r.d();
        base.zar1[std::size_t(num - 1)] = r.d();
    });
}

void SaveAvZar1(CInfoBase& base, int /*mode*/)
{
    replaceTable(Db(base), "AvZar1", [&](BatchRows& ins) {
        for (int i = 0; i < base.capacity(); ++i) {
            Binder b(ins);
            b << i + 1 << base.av[std::size_t(i)] << base.zar1[std::size_t(i)];
            ins.exec();
        }
    });
}

// ---------------------------------------------------------------- employee lists

namespace {

// One of the two stored employee lists. Every entry must name a record slot
// of the base (1..capacity) and the list must fit the capacity: the month
// change and the calculation index the per-slot tables by them.
std::vector<EmployeeListEntry> readList(const CInfoBase& base, const QSqlDatabase& db, int mass)
{
    std::vector<EmployeeListEntry> l;
    eachRow(
        db, "simp", QStringLiteral("WHERE mass = ? ORDER BY num"),
        [&](Reader& r) {
            r.n();
            r.n();
            EmployeeListEntry e;
            const int tabN = r.n(), priz = r.n();
            const QVariant slot = r.v();
            bool isNumber = false;
            const qint64 slotNumber = slot.toLongLong(&isNumber);
            if (!isNumber || slotNumber < 1 || slotNumber > base.capacity())
                ThrowDamaged(QStringLiteral("Таблица dbo.simp (список %1): у работника с табельным номером %2 "
                                            "номер записи «%3» вне пределов 1-%4.")
                                 .arg(mass)
                                 .arg(tabN)
                                 .arg(slot.toString())
                                 .arg(base.capacity()));
            if (int(l.size()) >= base.capacity())
                ThrowDamaged(QStringLiteral("Таблица dbo.simp (список %1): работников больше, чем вместимость базы %2.")
                                 .arg(mass)
                                 .arg(base.capacity()));
            e.key = u16((tabN << 3) | (priz & 7));
            e.slot = u16(slotNumber);
            l.push_back(e);
        },
        mass);
    return l;
}

void writeList(const QSqlDatabase& db, int mass, const std::vector<EmployeeListEntry>& l)
{
    replaceTable(
        db, "simp",
        [&](BatchRows& ins) {
            for (std::size_t i = 0; i < l.size(); ++i) {
                Binder b(ins);
                b << mass << int(i + 1) << int(l[i].tabN()) << int(l[i].flags()) << int(l[i].slot);
                ins.exec();
            }
        },
        QStringLiteral("mass = ?"), mass);
}

} // namespace

void LoadSimp(CInfoBase& base, int mass)
{
    base.list = readList(base, Db(base), mass);
    base.config.kolRab = i16(base.list.size());
}

void SaveSimp(CInfoBase& base, int mass, int /*mode*/) { writeList(Db(base), mass, base.list); }

int RemoveEmployeeEntry(CInfoBase& base, int index)
{
    if (index < 0 || index >= int(base.list.size()))
        return -1;
    const QSqlDatabase db = Db(base);
    const int currentMass = base.nameOrder() ? 2 : 1;
    const int otherMass = 3 - currentMass;
    const u16 slot = base.list[std::size_t(index)].slot;
    std::vector<EmployeeListEntry> other = readList(base, db, otherMass);
    other.erase(
        std::remove_if(other.begin(), other.end(), [slot](const EmployeeListEntry& e) { return e.slot == slot; }),
        other.end());
    std::vector<EmployeeListEntry> current = base.list;
    current.erase(current.begin() + index);

    db::Transaction tr(db);
    writeList(db, currentMass, current);
    writeList(db, otherMass, other);
    db::Recordset(db, QStringLiteral("UPDATE dbo.config SET kolRab = ? WHERE id = 1")).run(int(current.size()));
    tr.commit();

    base.otherList = std::move(other);
    return base.EraseEmployeeEntry(index);
}

QString ShortNameOf(const QString& fio)
{
    const QStringList parts = fio.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return QString();
    QString s = parts[0];
    if (parts.size() > 1)
        s += QLatin1Char(' ') + parts[1].left(1) + QLatin1Char('.');
    if (parts.size() > 2)
        s += QLatin1Char(' ') + parts[2].left(1) + QLatin1Char('.');
    return s;
}

bool RebuildLists(CInfoBase& base, bool force)
{
    const QSqlDatabase db = Db(base);
    if (!force) {
        db::Recordset q(db, QStringLiteral("SELECT COUNT(*), COUNT(DISTINCT tabN) FROM dbo.konst "
                                           "WHERE fio IS NOT NULL AND fio <> ''"));
        q.exec();
        if (q.next() && q.toInt(0) == q.toInt(1))
            return false;
    }
    db::Transaction tr(db);
    // Master rows without a name go, with every row of theirs.
    {
        db::Recordset q(db, QStringLiteral("SELECT id FROM dbo.konst WHERE fio IS NULL OR fio = ''"));
        q.exec();
        std::vector<qint64> ids;
        while (q.next()) ids.push_back(q.toInt64(0));
        for (qint64 id : ids) {
            for (const char* t :
                 {"pasport", "nalvich", "postDopl", "sber", "ispol", "ssud", "waria", "warDat", "proizv", "zarp"})
                db::Recordset(db, QStringLiteral("DELETE FROM dbo.%1 WHERE id_konst = ?").arg(QString::fromLatin1(t)))
                    .run(id);
            db::Recordset(db, QStringLiteral("DELETE FROM dbo.konst WHERE id = ?")).run(id);
        }
    }
    std::vector<EmployeeListEntry> byNumber;
    std::vector<QString> names(std::size_t(base.capacity()));
    {
        db::Recordset q(db, QStringLiteral("SELECT rec, tabN, fio FROM dbo.konst ORDER BY tabN, rec"));
        q.exec();
        int lastTabN = -1;
        while (q.next()) {
            const int rec = q.toInt(0), tabN = q.toInt(1);
            if (rec < 1 || rec > base.capacity() || tabN == lastTabN)
                continue; // a repeated number keeps the first
            lastTabN = tabN;
            EmployeeListEntry e;
            e.setTabN(u16(tabN));
            e.slot = u16(rec);
            byNumber.push_back(e);
            names[std::size_t(rec - 1)] = ShortNameOf(q.toString(2));
        }
    }
    base.shortNames = names;
    std::vector<EmployeeListEntry> byName = byNumber;
    base.SortList(byName, true);
    writeList(db, 1, byNumber);
    writeList(db, 2, byName);
    replaceTable(db, "fio", [&](BatchRows& ins) {
        for (int i = 0; i < base.capacity(); ++i) {
            Binder b(ins);
            b << i + 1 << names[std::size_t(i)];
            ins.exec();
        }
    });
    db::Recordset(db, QStringLiteral("UPDATE dbo.config SET kolRab = ? WHERE id = 1")).run(int(byNumber.size()));
    tr.commit();

    base.list = base.nameOrder() ? byName : byNumber;
    base.otherList = base.nameOrder() ? byNumber : byName;
    base.config.kolRab = i16(base.list.size());
    return true;
}

} // namespace kalvor::infobase
