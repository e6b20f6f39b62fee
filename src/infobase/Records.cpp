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

// ---------------------------------------------------------------------------
void PayKind::setEnBln(int v)
{
    enBlnFull = (v == 1 || v == 3 || v == 4) ? 1 : 0;
    enBlnProp = v == 2 ? 1 : 0;
    enBlnAlg = v == 3 ? 2 : v == 4 ? 3 : 0;
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
