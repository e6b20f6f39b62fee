#include "infobase/Records.h"

namespace kalvor::infobase {

// ---------------------------------------------------------------------------
void EmployeeAttributes::write(ByteWriter& w) const
{
    w.u16v(u16(word0Rest | (razr << 4) | (prof << 9)));
    w.i8v(brig);
    w.u8v(u8(sistOpl | (graph << 3)));
    w.u16v(u16(kateg | (err << 4) | (kvSdel << 10)));
    w.u16v(u16(tabProf | (priznUv << 5) | (kvProizv << 8) | (word3Rest << 13)));
    w.u16v(u16(priznAlim | (priznIspl << 2) | (priznBank << 4) | (priznSsud << 9) | (kvDBF << 12)));
}

EmployeeAttributes EmployeeAttributes::read(ByteReader& r)
{
    EmployeeAttributes a;
    u16 w = r.u16v();
    a.word0Rest = w & 15;
    a.razr = (w >> 4) & 31;
    a.prof = w >> 9;
    a.brig = r.i8v();
    u8 b = r.u8v();
    a.sistOpl = b & 7;
    a.graph = b >> 3;
    w = r.u16v();
    a.kateg = w & 15;
    a.err = (w >> 4) & 63;
    a.kvSdel = w >> 10;
    w = r.u16v();
    a.tabProf = w & 31;
    a.priznUv = (w >> 5) & 7;
    a.kvProizv = (w >> 8) & 31;
    a.word3Rest = w >> 13;
    w = r.u16v();
    a.priznAlim = w & 3;
    a.priznIspl = (w >> 2) & 3;
    a.priznBank = (w >> 4) & 31;
    a.priznSsud = (w >> 9) & 7;
    a.kvDBF = w >> 12;
    return a;
}

// ---------------------------------------------------------------------------
bool AccrualRow::isEmpty() const { return *this == AccrualRow{}; }

void AccrualRow::write(ByteWriter& w) const
{
    w.u16v(kod);
    w.f64(sum);
    w.u16v(u16(min | (dn << 6) | (mes << 12)));
    w.u16v(u16(hr | (hrRest << 9)));
    w.u8v(otd);
    w.u16v(u16(spzCh | (spzChHi << 14)));
    w.u16v(u16(spzSc | (spzScHi << 14)));
    w.u16v(u16(spzAu | (spzAuHi << 14)));
}

AccrualRow AccrualRow::read(ByteReader& r)
{
    AccrualRow a;
    a.kod = r.u16v();
    a.sum = r.f64();
    u16 w = r.u16v();
    a.min = w & 63;
    a.dn = (w >> 6) & 63;
    a.mes = w >> 12;
    w = r.u16v();
    a.hr = w & 511;
    a.hrRest = w >> 9;
    a.otd = r.u8v();
    w = r.u16v();
    a.spzCh = w & 0x3FFF;
    a.spzChHi = w >> 14;
    w = r.u16v();
    a.spzSc = w & 0x3FFF;
    a.spzScHi = w >> 14;
    w = r.u16v();
    a.spzAu = w & 0x3FFF;
    a.spzAuHi = w >> 14;
    return a;
}

// ---------------------------------------------------------------------------
void TabelRecord::write(ByteWriter& w) const
{
    w.u8v(rabDn);
    for (u16 v : {rabHr, vHr, nHr, sverhHr, uchHr}) w.u16v(v);
    w.u16v(u16(drRabDn | (kvalDn << 5) | (komDn << 10) | (dbf << 15)));
    w.u16v(u16(prostDn | (vyhPosobDn << 5) | (koeffDigit << 10)));
    w.u16v(koeff);
    w.u8v(u8(prDn | (prPlanDn << 4)));
    w.u8v(u8(vyhDn | (uchDn << 4)));
    for (u16 v : {sverhDvaHr, prHr, prPlanHr, vyhHr, prostHr, kvalHr, tabel12, tabel22, bezsodDn, bezsodHr, bezsodDnVyh,
                  bezsodHrVyh})
        w.u16v(v);
}

TabelRecord TabelRecord::read(ByteReader& r)
{
    TabelRecord t;
    t.rabDn = r.u8v();
    t.rabHr = r.u16v();
    t.vHr = r.u16v();
    t.nHr = r.u16v();
    t.sverhHr = r.u16v();
    t.uchHr = r.u16v();
    u16 w = r.u16v();
    t.drRabDn = w & 31;
    t.kvalDn = (w >> 5) & 31;
    t.komDn = (w >> 10) & 31;
    t.dbf = w >> 15;
    w = r.u16v();
    t.prostDn = w & 31;
    t.vyhPosobDn = (w >> 5) & 31;
    t.koeffDigit = w >> 10;
    t.koeff = r.u16v();
    u8 b = r.u8v();
    t.prDn = b & 15;
    t.prPlanDn = b >> 4;
    b = r.u8v();
    t.vyhDn = b & 15;
    t.uchDn = b >> 4;
    t.sverhDvaHr = r.u16v();
    t.prHr = r.u16v();
    t.prPlanHr = r.u16v();
    t.vyhHr = r.u16v();
    t.prostHr = r.u16v();
    t.kvalHr = r.u16v();
    t.tabel12 = r.u16v();
    t.tabel22 = r.u16v();
    t.bezsodDn = r.u16v();
    t.bezsodHr = r.u16v();
    t.bezsodDnVyh = r.u16v();
    t.bezsodHrVyh = r.u16v();
    return t;
}

// ---------------------------------------------------------------------------
void AltTabelEntry::write(ByteWriter& w) const
{
    w.u16v(kod);
    w.u16v(u16(dn | (min << 6) | (mes << 12)));
    w.u8v(hr);
    w.f64(sumOklad);
    tarif.write(w);
    w.u8v(procOpl);
    w.u8v(otd);
    w.u8v(storno);
    w.u16v(spzCh);
    w.u16v(spzSc);
    w.u16v(spzAu);
}

AltTabelEntry AltTabelEntry::read(ByteReader& r)
{
    AltTabelEntry e;
    e.kod = r.u16v();
    u16 w = r.u16v();
    e.dn = w & 63;
    e.min = (w >> 6) & 63;
    e.mes = w >> 12;
    e.hr = r.u8v();
    e.sumOklad = r.f64();
    e.tarif = Tariff3::read(r);
    e.procOpl = r.u8v();
    e.otd = r.u8v();
    e.storno = r.u8v();
    e.spzCh = r.u16v();
    e.spzSc = r.u16v();
    e.spzAu = r.u16v();
    return e;
}

// ---------------------------------------------------------------------------
void BonusLine::write(ByteWriter& w) const
{
    w.f64(sum);
    w.u16v(u16(mrp | (nalog << 2) | (procent << 3) | (ceh << 6) | (mask << 13)));
    w.u16v(kod);
    w.u16v(u16(spzCh | (mes << 14)));
    w.u16v(spzSc);
    w.u16v(spzAu);
}

BonusLine BonusLine::read(ByteReader& r)
{
    BonusLine b;
    b.sum = r.f64();
    u16 w = r.u16v();
    b.mrp = w & 3;
    b.nalog = (w >> 2) & 1;
    b.procent = (w >> 3) & 7;
    b.ceh = (w >> 6) & 127;
    b.mask = w >> 13;
    b.kod = r.u16v();
    w = r.u16v();
    b.spzCh = w & 0x3FFF;
    b.mes = w >> 14;
    b.spzSc = r.u16v();
    b.spzAu = r.u16v();
    return b;
}

// ---------------------------------------------------------------------------
int SickLeaveSheet::yearFromCode(int code, int referenceYear)
{
    int y = 2007 + code;
    while (y + 8 <= referenceYear + 1) y += 8;
    return y;
}

void SickLeaveSheet::write(ByteWriter& w) const
{
    w.u16v(u16(k1 | (yearCode(gBegin) << 3) | (mBegin << 7) | (dBegin << 11)));
    w.u16v(u16(k2 | (yearCode(gEnd) << 3) | (infl << 6) | (mEnd << 7) | (dEnd << 11)));
    for (u8 v : {vid, mrp, firstMes, alg, budg, procent}) w.u8v(v);
    w.f64(sum);
    w.f64(oklad);
    w.u16v(u16(vr | (dn << 1) | (timeRest << 15)));
    w.u8v(contin);
    w.u16v(fromMinimumMonthlyEarnings);
    w.u16v(firstYear);
    w.u16v(secondYear);
    w.u16v(from12Months);
}

SickLeaveSheet SickLeaveSheet::read(ByteReader& r, int referenceYear)
{
    SickLeaveSheet s;
    u16 w = r.u16v();
    s.k1 = w & 7;
    s.mBegin = (w >> 7) & 15;
    s.dBegin = w >> 11;
    s.gBegin = s.dBegin ? u16(yearFromCode((w >> 3) & 7, referenceYear)) : 0;
    w = r.u16v();
    s.k2 = w & 7;
    s.infl = (w >> 6) & 1;
    s.mEnd = (w >> 7) & 15;
    s.dEnd = w >> 11;
    s.gEnd = s.dEnd ? u16(yearFromCode((w >> 3) & 7, referenceYear)) : 0;
    s.vid = r.u8v();
    s.mrp = r.u8v();
    s.firstMes = r.u8v();
    s.alg = r.u8v();
    s.budg = r.u8v();
    s.procent = r.u8v();
    s.sum = r.f64();
    s.oklad = r.f64();
    w = r.u16v();
    s.vr = w & 1;
    s.dn = (w >> 1) & 0x3FFF;
    s.timeRest = w >> 15;
    s.contin = r.u8v();
    s.fromMinimumMonthlyEarnings = r.u16v();
    s.firstYear = r.u16v();
    s.secondYear = r.u16v();
    s.from12Months = r.u16v();
    return s;
}

// ---------------------------------------------------------------------------
void VacationNote::write(ByteWriter& w) const
{
    const unsigned y = gBegin ? unsigned(gBegin - 1992) : 0u;
    w.u16v(u16(dBegin | (mBegin << 5) | ((y & 31) << 9) | (vid << 14)));
    w.f64(sum);
    w.u16v(u16((dlin & 127) | ((fond >> 3) << 7)));
    w.u16v(u16(mrp | (kalend << 1) | (mes << 4) | (budg << 8) | (((y >> 5) & 15) << 12)));
    w.u8v(u8(alg | (tolkOtp << 3) | ((fond & 7) << 4)));
    w.i8v(dn);
    w.u16v(u16(dlinHundredths | (dnHundredths << 7)));
}

VacationNote VacationNote::read(ByteReader& r)
{
    VacationNote v;
    u16 start = r.u16v();
    v.dBegin = start & 31;
    v.mBegin = (start >> 5) & 15;
    v.vid = start >> 14;
    v.sum = r.f64();
    u16 len = r.u16v();
    v.dlin = len & 127;
    u16 opt = r.u16v();
    v.mrp = opt & 1;
    v.kalend = (opt >> 1) & 7;
    v.mes = (opt >> 4) & 15;
    v.budg = (opt >> 8) & 15;
    const unsigned y = ((start >> 9) & 31) | (unsigned(opt >> 12) << 5);
    v.gBegin = (y != 0 || v.dBegin != 0) ? u16(1992 + y) : 0;
    u8 b = r.u8v();
    v.alg = b & 7;
    v.tolkOtp = (b >> 3) & 1;
    v.fond = u16(((len >> 7) << 3) | ((b >> 4) & 7));
    v.dn = r.i8v();
    u16 h = r.u16v();
    v.dlinHundredths = h & 127;
    v.dnHundredths = (h >> 7) & 127;
    return v;
}

// ---------------------------------------------------------------------------
void NalvichEntry::write(ByteWriter& w) const
{
    w.u16v(kod);
    w.u16v(start);
    w.u16v(end);
    w.f64(sum);
    w.i8v(krat);
}

NalvichEntry NalvichEntry::read(ByteReader& r)
{
    NalvichEntry e;
    e.kod = r.u16v();
    e.start = r.u16v();
    e.end = r.u16v();
    e.sum = r.f64();
    e.krat = r.i8v();
    return e;
}

// ---------------------------------------------------------------------------
void PostDoplEntry::write(ByteWriter& w) const
{
    const unsigned yb = gBegin ? unsigned(gBegin - 2000) : 0u;
    const unsigned ye = gEnd ? unsigned(gEnd - 2000) : 0u;
    w.u16v(kod);
    // word 2-3: bits 0-3 and 4-7 hold the higher bits of the two years,
    // bits 8-14 the low 7 bits of the percent.
    w.u16v(u16(((yb >> 4) & 15) | (((ye >> 4) & 15) << 4) | ((procent & 127) << 8)));
    w.f64(sum);
    w.u16v(u16(dBegin | (mBegin << 5) | ((yb & 15) << 9) | (vid << 13)));
    w.u16v(u16(dEnd | (mEnd << 5) | ((ye & 15) << 9) | (period << 13)));
    w.u16v(u16(((procent >> 7) & 1023) | (zavisOt << 10) | (perer << 14)));
    w.u16v(u16(dnOtGraph | (mask << 3) | (mrp << 8)));
    w.u16v(ceh);
}

PostDoplEntry PostDoplEntry::read(ByteReader& r)
{
    PostDoplEntry e;
    e.kod = r.u16v();
    const u16 w2 = r.u16v();
    e.sum = r.f64();
    const u16 ws = r.u16v();
    const u16 we = r.u16v();
    const u16 w16 = r.u16v();
    const u16 w18 = r.u16v();
    e.ceh = r.u16v();
    e.procent = ((w2 >> 8) & 127) | (u32(w16 & 1023) << 7);
    e.dBegin = ws & 31;
    e.mBegin = (ws >> 5) & 15;
    e.vid = ws >> 13;
    e.dEnd = we & 31;
    e.mEnd = (we >> 5) & 15;
    e.period = we >> 13;
    const unsigned yb = ((ws >> 9) & 15) | ((w2 & 15) << 4);
    const unsigned ye = ((we >> 9) & 15) | (((w2 >> 4) & 15) << 4);
    e.gBegin = (e.dBegin || e.mBegin || yb) ? u16(2000 + yb) : 0;
    e.gEnd = (e.dEnd || e.mEnd || ye) ? u16(2000 + ye) : 0;
    e.zavisOt = (w16 >> 10) & 15;
    e.perer = w16 >> 14;
    e.dnOtGraph = w18 & 7;
    e.mask = (w18 >> 3) & 31;
    e.mrp = (w18 >> 8) & 1;
    return e;
}

// ---------------------------------------------------------------------------
static void writeText(ByteWriter& w, const QString& s, int width, bool wide)
{
    if (wide)
        w.wide(s, std::size_t(width));
    else
        w.ansi(s, std::size_t(width));
}

static QString readText(ByteReader& r, int width, bool wide)
{
    return wide ? r.wide(std::size_t(width)) : r.ansi(std::size_t(width));
}

void SberRow::write(ByteWriter& w, bool wide) const
{
    w.u16v(kod);
    w.f64(sum);
    w.u8v(bank);
    writeText(w, filial, TextWidth, wide);
    writeText(w, ls, TextWidth, wide);
    writeText(w, fio, TextWidth, wide);
    w.u16v(last);
}

SberRow SberRow::read(ByteReader& r, bool wide)
{
    SberRow s;
    s.kod = r.u16v();
    s.sum = r.f64();
    s.bank = r.u8v();
    s.filial = readText(r, TextWidth, wide);
    s.ls = readText(r, TextWidth, wide);
    s.fio = readText(r, TextWidth, wide);
    s.last = r.u16v();
    return s;
}

void IspolBlock::write(ByteWriter& w, bool wide) const
{
    for (const Writ& x : writs) {
        w.u16v(u16(x.priznUd | (x.vid << 1) | (x.tabPsbor << 3) | (x.flagByte << 8)));
        w.u16v(x.dataEnd);
    }
    for (const Writ& x : writs) w.f64(x.sum);
    for (const Writ& x : writs) writeText(w, x.fio, TextWidth, wide);
    for (const Writ& x : writs) writeText(w, x.adr, TextWidth, wide);
}

IspolBlock IspolBlock::read(ByteReader& r, bool wide)
{
    IspolBlock b;
    for (Writ& x : b.writs) {
        u16 f = r.u16v();
        x.priznUd = f & 1;
        x.vid = (f >> 1) & 3;
        x.tabPsbor = (f >> 3) & 31;
        x.flagByte = f >> 8;
        x.dataEnd = r.u16v();
    }
    for (Writ& x : b.writs) x.sum = r.f64();
    for (Writ& x : b.writs) x.fio = readText(r, TextWidth, wide);
    for (Writ& x : b.writs) x.adr = readText(r, TextWidth, wide);
    return b;
}

void SsudBlock::write(ByteWriter& w) const
{
    for (const Loan& l : loans) w.u8v(u8(l.kvMes | (l.nalog << 7)));
    for (const Loan& l : loans) w.u16v(l.kod);
    for (const Loan& l : loans) w.f64(l.sumDolg);
    for (const Loan& l : loans)
        for (u8 m : l.mes) w.u8v(m);
    for (const Loan& l : loans)
        for (double s : l.sum) w.f64(s);
}

SsudBlock SsudBlock::read(ByteReader& r)
{
    SsudBlock b;
    for (Loan& l : b.loans) {
        u8 v = r.u8v();
        l.kvMes = v & 127;
        l.nalog = v >> 7;
    }
    for (Loan& l : b.loans) l.kod = r.u16v();
    for (Loan& l : b.loans) l.sumDolg = r.f64();
    for (Loan& l : b.loans)
        for (u8& m : l.mes) m = r.u8v();
    for (Loan& l : b.loans)
        for (double& s : l.sum) s = r.f64();
    return b;
}

// ---------------------------------------------------------------------------
// The accrual year is kept as year - 1900: its low 7 bits in bits 9-15 of the
// last word (the stored bits, which hold a year up to 2027), and the bits
// above in bits 10-15 of the code word (codes stay below 1,024). The year paid
// is year - 1990 in bits 4-15 of its word (the stored bits 4-8 hold a year up
// to 2021).
void WariaEntry::write(ByteWriter& w) const
{
    const unsigned g = god ? unsigned(god - 1900) : 0u;
    const unsigned gv = godVyd ? unsigned(godVyd - 1990) : 0u;
    w.u16v(u16((kod & 1023) | ((g >> 7) << 10)));
    w.u16v(u16(mesVyd | ((gv & 0x0FFF) << 4)));
    w.f64(sum);
    w.u16v(u16(min | (dn << 6) | (mes << 12)));
    w.u16v(u16(hr | ((g & 127) << 9)));
}

WariaEntry WariaEntry::read(ByteReader& r)
{
    WariaEntry e;
    const u16 k = r.u16v();
    e.kod = k & 1023;
    const u16 p = r.u16v();
    e.mesVyd = p & 15;
    const unsigned gv = p >> 4;
    e.godVyd = (gv != 0 || e.mesVyd != 0) ? u16(1990 + gv) : 0;
    e.sum = r.f64();
    const u16 t = r.u16v();
    e.min = t & 63;
    e.dn = (t >> 6) & 63;
    e.mes = t >> 12;
    const u16 y = r.u16v();
    e.hr = y & 511;
    const unsigned g = (y >> 9) | (unsigned(k >> 10) << 7);
    e.god = g ? u16(1900 + g) : 0;
    return e;
}

void WarDatEntry::write(ByteWriter& w) const
{
    w.u16v(start);
    w.u16v(end);
    w.u16v(u16(mes | (god << 4)));
    w.u16v(u16(kod | (contin << 10)));
    w.f64(sum);
}

WarDatEntry WarDatEntry::read(ByteReader& r)
{
    WarDatEntry e;
    e.start = r.u16v();
    e.end = r.u16v();
    u16 m = r.u16v();
    e.mes = m & 15;
    e.god = (m >> 4) & 127;
    u16 k = r.u16v();
    e.kod = k & 1023;
    e.contin = (k >> 10) & 1;
    e.sum = r.f64();
    return e;
}

// ---------------------------------------------------------------------------
void ScheduleMonth::write(ByteWriter& w) const
{
    w.i8v(rDn);
    w.u16v(rMin);
    for (u16 v : d) w.u16v(v);
    w.u16v(vMin);
    w.u16v(nMin);
}

ScheduleMonth ScheduleMonth::read(ByteReader& r)
{
    ScheduleMonth m;
    m.rDn = r.i8v();
    m.rMin = r.u16v();
    for (u16& v : m.d) v = r.u16v();
    m.vMin = r.u16v();
    m.nMin = r.u16v();
    return m;
}

void WorkSchedule::write(ByteWriter& w) const
{
    w.u8v(u8(rabDnNed | (ruchn << 7)));
    w.u16v(u16(rdHr | (rdMin << 5) | (pVyh << 11)));
    w.u16v(u16(pRab | (mesFond << 4)));
    w.u8v(begD);
    w.u8v(begM);
    w.u8v(begG);
    for (const ScheduleMonth& m : months) m.write(w);
}

WorkSchedule WorkSchedule::read(ByteReader& r)
{
    WorkSchedule s;
    u8 b = r.u8v();
    s.rabDnNed = b & 127;
    s.ruchn = b >> 7;
    u16 w = r.u16v();
    s.rdHr = w & 31;
    s.rdMin = (w >> 5) & 63;
    s.pVyh = w >> 11;
    w = r.u16v();
    s.pRab = w & 15;
    s.mesFond = w >> 4;
    s.begD = r.u8v();
    s.begM = r.u8v();
    s.begG = r.u8v();
    for (ScheduleMonth& m : s.months) m = ScheduleMonth::read(r);
    return s;
}

void SeniorityRule::write(ByteWriter& w) const
{
    w.u16v(kod);
    for (i16 v : {vozMin, vozMax, rabMin, rabMax, sevMin, sevMax}) w.i16v(v);
    w.i8v(otdMin);
    w.i8v(otdMax);
    w.i8v(brigMin);
    w.i8v(brigMax);
    w.u16v(u16(profMin | (kategMin << 7) | (kategMax << 11) | (kak << 15)));
    w.u8v(profMax);
    w.u8v(0);
    w.f64(sum);
}

SeniorityRule SeniorityRule::read(ByteReader& r)
{
    SeniorityRule s;
    s.kod = r.u16v();
    s.vozMin = r.i16v();
    s.vozMax = r.i16v();
    s.rabMin = r.i16v();
    s.rabMax = r.i16v();
    s.sevMin = r.i16v();
    s.sevMax = r.i16v();
    s.otdMin = r.i8v();
    s.otdMax = r.i8v();
    s.brigMin = r.i8v();
    s.brigMax = r.i8v();
    u16 w = r.u16v();
    s.profMin = w & 127;
    s.kategMin = (w >> 7) & 15;
    s.kategMax = (w >> 11) & 15;
    s.kak = w >> 15;
    s.profMax = r.u8v();
    r.skip(1);
    s.sum = r.f64();
    return s;
}

// ---------------------------------------------------------------------------
void PayKind::setEnBln(int v)
{
    enBlnFull = (v == 1 || v == 3 || v == 4) ? 1 : 0;
    enBlnProp = v == 2 ? 1 : 0;
    enBlnAlg = v == 3 ? 2 : v == 4 ? 3 : 0;
}

// 8-bit pay kind, 157 bytes (our layout, docs/record-layouts.md).
void PayKindToAnsi(const PayKind& k, char* out)
{
    ByteWriter w(out, PayKind::AnsiSize);
    w.u16v(k.kod);
    w.ansiNul(k.name, 120);
    // The flag word keeps the kind's flag bits; bits 2 and 4 mirror oblPodoh and vedShap.
    u16 flags = u16(k.flags & ~0x0014u);
    if (k.oblPodoh)
        flags |= 0x0004;
    if (k.vedShap)
        flags |= 0x0010;
    w.u16v(flags);
    w.u16v(k.dates[0]);
    w.u16v(k.dates[1]);
    w.u8v(u8(k.okrug | ((k.vedStlb & 31) << 3)));
    w.u16v(u16(k.spzCh | (k.enOtp << 14)));
    w.u16v(u16(k.spzSc | (k.enBlnProp << 14) | (k.hr4 << 15)));
    w.u16v(u16(k.spzAu | (k.spzAuHi << 14)));
    w.f64(k.sumSkidPodoh);
    w.f64(k.sumSkidSoc);
    w.u16v(k.kodDoh);
    w.u16v(k.kodSkid);
    w.u16v(u16(k.fond | (k.enBlnFull << 3) | (k.enBlnAlg << 4) | (k.enSrPremBln << 6) | (k.oblProf << 7) |
               (k.enAlim << 8) | (k.enKoefRS << 9) | (k.g11 << 10) | (k.enSrZar << 11) | (k.hr1 << 12) | (k.hr2 << 13) |
               (k.hr3 << 14) | (k.grp << 15)));
}

PayKind PayKindFromAnsi(const char* in)
{
    ByteReader r(in, PayKind::AnsiSize);
    PayKind k;
    k.kod = r.u16v();
    k.name = r.ansi(120);
    const u16 flags = r.u16v();
    k.oblPodoh = (flags >> 2) & 1;
    k.vedShap = (flags >> 4) & 1;
    k.flags = u16(flags & ~0x0014u);
    k.dates[0] = r.u16v();
    k.dates[1] = r.u16v();
    u8 b = r.u8v();
    k.okrug = b & 7;
    k.vedStlb = i8(i8(b & 0xF8) >> 3);
    u16 w = r.u16v();
    k.spzCh = w & 0x3FFF;
    k.enOtp = w >> 14;
    w = r.u16v();
    k.spzSc = w & 0x3FFF;
    k.enBlnProp = (w >> 14) & 1;
    k.hr4 = w >> 15;
    w = r.u16v();
    k.spzAu = w & 0x3FFF;
    k.spzAuHi = w >> 14;
    k.sumSkidPodoh = r.f64();
    k.sumSkidSoc = r.f64();
    k.kodDoh = r.u16v();
    k.kodSkid = r.u16v();
    w = r.u16v();
    k.fond = w & 7;
    k.enBlnFull = (w >> 3) & 1;
    k.enBlnAlg = (w >> 4) & 3;
    k.enSrPremBln = (w >> 6) & 1;
    k.oblProf = (w >> 7) & 1;
    k.enAlim = (w >> 8) & 1;
    k.enKoefRS = (w >> 9) & 1;
    k.g11 = (w >> 10) & 1;
    k.enSrZar = (w >> 11) & 1;
    k.hr1 = (w >> 12) & 1;
    k.hr2 = (w >> 13) & 1;
    k.hr3 = (w >> 14) & 1;
    k.grp = (w >> 15) & 1;
    return k;
}

// ---------------------------------------------------------------------------
// 8-bit firm record: the texts, then the numbers in the order of FirmInfo,
// then the masks, the labour-participation rules, the seniority rules and the
// report period bytes of the configuration.
static constexpr std::size_t FirmNumbersSize =
    1 + 2 + 1 + 2 + 4 + 2 + 2 + 2 + 2 + 9 * 8 + 2 + 24 + 1 + 12 + 16 + 2 + 2 + 2 + 2 + 2 + 1 + 1;
static constexpr std::size_t FirmAnsiSize =
    FirmInfo::TextCount * 120 + FirmNumbersSize + 8 * 1000 + 3 * 4 * 2 + 15 * SeniorityRule::Size + 3;

std::size_t FirmInfoAnsiSize() { return FirmAnsiSize; }

static void firmToAnsi(const FirmInfo& f, const InfoBaseConfig& c, char* out, bool padded)
{
    ByteWriter w(out, FirmAnsiSize);
    for (const QString& t : f.texts) {
        if (padded) {
            w.ansi(t.left(119), 119);
            w.u8v(0);
        } else {
            w.ansiZero(t, 120);
        }
    }
    w.u8v(f.adrKodRG);
    w.u16v(f.parWord);
    w.i8v(f.procRaj);
    w.u16v(u16(f.procSev | (f.maxKvSevNad << 6) | (f.periodSevNad << 10)));
    w.u8v(f.procProst);
    w.u8v(f.procNgt);
    w.u8v(f.procEvn);
    w.u8v(f.tabDiv);
    w.u8v(f.procSsudWhole);
    w.u8v(f.procSsudHundredths);
    w.u16v(f.procPens);
    w.u16v(f.sbProcFirm);
    w.u16v(f.sbProcSotr);
    for (double d : {f.blnMaxOgr, f.blnUprosh, f.blnMaxOgrBegRab, f.travmaMaxOgr, f.dekrMaxOgr, f.blnMaxOgrDet1,
                     f.blnMinOgrDet1, f.blnMaxOgrDet2, f.blnMinOgrDet2})
        w.f64(d);
    w.u8v(f.blnSrPremMes);
    w.u8v(f.blnMinProc);
    for (u16 v : f.fete) w.u16v(v);
    w.u8v(f.feteKv);
    for (u8 v : f.feteMes) w.u8v(v);
    w.f64(f.minOblStav);
    w.f64(f.maxOblStav);
    w.u16v(f.uproshWord);
    w.u16v(f.obosobWord);
    w.u16v(f.c1Ch70);
    w.u16v(f.c1Word);
    w.u16v(f.turboWord);
    w.i8v(f.tabGrp2);
    w.i8v(f.procDop);
    for (const auto& m : f.masks) w.bytes(reinterpret_cast<const char*>(m.data()), m.size());
    for (const auto& v : f.ktu)
        for (u16 x : v) w.u16v(x);
    for (const SeniorityRule& s : f.stag) s.write(w);
    w.u8v(c.r_g);
    w.u8v(c.r_m1);
    w.u8v(c.r_m2);
}

void FirmInfoToAnsi(const FirmInfo& f, const InfoBaseConfig& c, char* out) { firmToAnsi(f, c, out, false); }
void FirmInfoToAnsiPadded(const FirmInfo& f, const InfoBaseConfig& c, char* out) { firmToAnsi(f, c, out, true); }

FirmInfo FirmInfoFromAnsi(const char* in)
{
    ByteReader r(in, FirmAnsiSize);
    FirmInfo f;
    for (QString& t : f.texts) t = r.ansi(120);
    f.adrKodRG = r.u8v();
    f.parWord = r.u16v();
    f.procRaj = r.i8v();
    u16 w = r.u16v();
    f.procSev = w & 63;
    f.maxKvSevNad = (w >> 6) & 15;
    f.periodSevNad = w >> 10;
    f.procProst = r.u8v();
    f.procNgt = r.u8v();
    f.procEvn = r.u8v();
    f.tabDiv = r.u8v();
    f.procSsudWhole = r.u8v();
    f.procSsudHundredths = r.u8v();
    f.procPens = r.u16v();
    f.sbProcFirm = r.u16v();
    f.sbProcSotr = r.u16v();
    for (double* d : {&f.blnMaxOgr, &f.blnUprosh, &f.blnMaxOgrBegRab, &f.travmaMaxOgr, &f.dekrMaxOgr, &f.blnMaxOgrDet1,
                      &f.blnMinOgrDet1, &f.blnMaxOgrDet2, &f.blnMinOgrDet2})
        *d = r.f64();
    f.blnSrPremMes = r.u8v();
    f.blnMinProc = r.u8v();
    for (u16& v : f.fete) v = r.u16v();
    f.feteKv = r.u8v();
    for (u8& v : f.feteMes) v = r.u8v();
    f.minOblStav = r.f64();
    f.maxOblStav = r.f64();
    f.uproshWord = r.u16v();
    f.obosobWord = r.u16v();
    f.c1Ch70 = r.u16v();
    f.c1Word = r.u16v();
    f.turboWord = r.u16v();
    f.tabGrp2 = r.i8v();
    f.procDop = r.i8v();
    for (auto& m : f.masks) r.bytes(reinterpret_cast<char*>(m.data()), m.size());
    for (auto& v : f.ktu)
        for (u16& x : v) x = r.u16v();
    for (SeniorityRule& s : f.stag) s = SeniorityRule::read(r);
    return f;
}

// ---------------------------------------------------------------------------
void TaxScaleBand::write(ByteWriter& w) const
{
    w.f64(lower);
    w.f64(fixed);
    w.u8v(percent);
    w.u8v(hundredths);
    w.f64(further);
}

TaxScaleBand TaxScaleBand::read(ByteReader& r)
{
    TaxScaleBand b;
    b.lower = r.f64();
    b.fixed = r.f64();
    b.percent = r.u8v();
    b.hundredths = r.u8v();
    b.further = r.f64();
    return b;
}

void TaxTable::write(ByteWriter& w) const
{
    w.u16v(taxRowCode);
    w.u8v(selector);
    w.u8v(scaleNumber);
    w.ansi(name, NameWidth);
    for (const Variant& v : variants) {
        w.u16v(v.first);
        w.u16v(v.last);
        w.u16v(v.cumulative);
        w.u16v(u16(v.ratePercent | (v.rateHundredths << 8)));
        for (const TaxScaleBand& b : v.scale) b.write(w);
    }
}

TaxTable TaxTable::read(ByteReader& r)
{
    TaxTable t;
    t.taxRowCode = r.u16v();
    t.selector = r.u8v();
    t.scaleNumber = r.u8v();
    t.name = r.ansi(NameWidth);
    for (Variant& v : t.variants) {
        v.first = r.u16v();
        v.last = r.u16v();
        v.cumulative = r.u16v();
        u16 rate = r.u16v();
        v.ratePercent = rate & 0xFF;
        v.rateHundredths = rate >> 8;
        for (TaxScaleBand& b : v.scale) b = TaxScaleBand::read(r);
    }
    return t;
}

void ContributionKind::write(ByteWriter& w) const
{
    w.ansi(name, 64);
    w.u16v(code);
    w.i8v(table);
    w.i8v(baseSelector);
}

ContributionKind ContributionKind::read(ByteReader& r)
{
    ContributionKind k;
    k.name = r.ansi(64);
    k.code = r.u16v();
    k.table = r.i8v();
    k.baseSelector = r.i8v();
    return k;
}

void TransferRecipient::write(ByteWriter& w) const
{
    const QString* f[8] = {&filial, &recipient, &account, &bank, &corrAccount, &bik, &inn, &kpp};
    for (int i = 0; i < 8; ++i) w.ansi(*f[i], std::size_t(Widths[i]));
}

TransferRecipient TransferRecipient::read(ByteReader& r)
{
    TransferRecipient t;
    QString* f[8] = {&t.filial, &t.recipient, &t.account, &t.bank, &t.corrAccount, &t.bik, &t.inn, &t.kpp};
    for (int i = 0; i < 8; ++i) *f[i] = r.ansi(std::size_t(Widths[i]));
    return t;
}

} // namespace kalvor::infobase
