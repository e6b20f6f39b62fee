#pragma once
// Fixed-layout records of the information base, declared once for every
// subsystem. In memory each record is an ordinary struct that keeps the
// field names; narrow fields are bit-fields, so a stored value is cut to the
// field's width exactly as the packed record cuts it. Records that go to files
// have write()/read() over ByteWriter/ByteReader and a Size checked at compile
// time against the sum of their field widths.
//
// Years: where a packed field cannot hold a date of today, the struct keeps
// the full year (see docs/record-layouts.md, "Years"); write()/read() pack
// it into the field's stored bits plus spare bits of the same record.
#include "infobase/Bytes.h"
#include "infobase/PayKindCodes.h"
#include "values/Values.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

namespace kalvor::infobase {

// ---------------------------------------------------------------------------
// Small packed values.

// 24-bit fixed amount (tariffs): 14 bits of whole roubles, 10 bits of
// thousandths, stored as a byte b and a word w.
struct Tariff3 {
    u16 rub : 14 = 0;
    u16 thou : 10 = 0;

    static constexpr std::size_t Size = 3;
    u8 byte() const { return u8((rub >> 9) & 31) | u8(((thou >> 7) & 7) << 5); }
    u16 word() const { return u16((rub & 511) | ((thou & 127) << 9)); }
    static Tariff3 fromParts(u8 b, u16 w)
    {
        Tariff3 t;
        t.rub = u16((b & 31) * 512 + (w & 511));
        t.thou = u16((b >> 5) * 128 + (w >> 9));
        return t;
    }
    double kopecks() const { return rub * 100.0 + thou / 10.0; }
    bool isZero() const { return rub == 0 && thou == 0; }
    void write(ByteWriter& w) const
    {
        w.u8v(byte());
        w.u16v(word());
    }
    static Tariff3 read(ByteReader& r)
    {
        u8 b = r.u8v();
        u16 w = r.u16v();
        return fromParts(b, w);
    }
    friend bool operator==(const Tariff3& a, const Tariff3& b) { return a.rub == b.rub && a.thou == b.thou; }
};

// One word per record slot of a line array: first line in bits 0-11, count in 12-15.
struct LineIndexEntry {
    static constexpr int MaxFirst = 4095;
    static constexpr int MaxCount = 15;
    static u16 make(int first, int count) { return u16((first & 0x0FFF) | ((count & 15) << 12)); }
    static int first(u16 w) { return w & 0x0FFF; }
    static int count(u16 w) { return w >> 12; }
};

// ---------------------------------------------------------------------------
// Employee lists.

struct EmployeeListEntry {
    u16 key = 0; // personnel number << 3 | selection flags (bit 0 group / help mark)
    u16 slot = 0; // record slot, 1..capacity

    static constexpr std::size_t Size = 4;
    static constexpr int MaxPersonnelNumber = 8191;
    u16 tabN() const { return u16(key >> 3); }
    u8 flags() const { return u8(key & 7); }
    bool marked() const { return (key & 7) != 0; }
    void setTabN(u16 n) { key = u16((n << 3) | (key & 7)); }
    void setFlag(int bit, bool on) { key = on ? u16(key | (1u << bit)) : u16(key & ~(1u << bit)); }
    void write(ByteWriter& w) const
    {
        w.u16v(key);
        w.u16v(slot);
    }
    static EmployeeListEntry read(ByteReader& r)
    {
        EmployeeListEntry e;
        e.key = r.u16v();
        e.slot = r.u16v();
        return e;
    }
    friend bool operator==(const EmployeeListEntry&, const EmployeeListEntry&) = default;
};

// The 10-byte attribute record of a slot (dbo.comp).
struct EmployeeAttributes {
    // word 0
    u16 word0Rest : 4 = 0; // bits 0-3, unnamed
    u16 razr : 5 = 0;
    u16 prof : 7 = 0;
    // bytes 2, 3
    i8 brig = 0;
    u8 sistOpl : 3 = 0;
    u8 graph : 5 = 0;
    // word 2, the status word
    u16 kateg : 4 = 0;
    u16 err : 6 = 0;
    u16 kvSdel : 6 = 0;
    // word 3
    u16 tabProf : 5 = 0;
    u16 priznUv : 3 = 0;
    u16 kvProizv : 5 = 0;
    u16 word3Rest : 3 = 0; // bits 13-15, unnamed
    // word 4
    u16 priznAlim : 2 = 0;
    u16 priznIspl : 2 = 0;
    u16 priznBank : 5 = 0;
    u16 priznSsud : 3 = 0;
    u16 kvDBF : 4 = 0; // bits 12-15: length of the entry block of the dBASE exchange

    static constexpr std::size_t Size = 10;
    static_assert(2 + 1 + 1 + 2 + 2 + 2 == Size);
    void write(ByteWriter& w) const;
    static EmployeeAttributes read(ByteReader& r);
    friend bool operator==(const EmployeeAttributes&, const EmployeeAttributes&) = default;
};

// ---------------------------------------------------------------------------
// The month's rows and line arrays.

// 21-byte accrual or deduction row (also the proizv/zarp row).
struct AccrualRow {
    u16 kod = 0;
    double sum = 0; // kopecks
    u16 min : 6 = 0; // minutes 0-59
    u16 dn : 6 = 0; // days
    u16 mes : 4 = 0; // month 1-12
    u16 hr : 9 = 0; // whole hours
    u16 hrRest : 7 = 0;
    u8 otd = 0;
    u16 spzCh : 14 = 0;
    u16 spzChHi : 2 = 0;
    u16 spzSc : 14 = 0;
    u16 spzScHi : 2 = 0;
    u16 spzAu : 14 = 0;
    u16 spzAuHi : 2 = 0;

    static constexpr std::size_t Size = 21;
    static_assert(2 + 8 + 2 + 2 + 1 + 2 + 2 + 2 == Size);
    bool isEmpty() const;
    void write(ByteWriter& w) const;
    static AccrualRow read(ByteReader& r);
    friend bool operator==(const AccrualRow&, const AccrualRow&) = default;
};
using ProizvRow = AccrualRow;

// 43-byte time-sheet totals of one slot (dbo.tabel).
struct TabelRecord {
    u8 rabDn = 0;
    u16 rabHr = 0, vHr = 0, nHr = 0, sverhHr = 0, uchHr = 0; // minutes
    u16 drRabDn : 5 = 0;
    u16 kvalDn : 5 = 0;
    u16 komDn : 5 = 0;
    u16 dbf : 1 = 0;
    u16 prostDn : 5 = 0;
    u16 vyhPosobDn : 5 = 0;
    u16 koeffDigit : 6 = 0; // hundredths digit of koeff
    u16 koeff = 0; // tenths
    u8 prDn : 4 = 0;
    u8 prPlanDn : 4 = 0;
    u8 vyhDn : 4 = 0;
    u8 uchDn : 4 = 0;
    u16 sverhDvaHr = 0, prHr = 0, prPlanHr = 0, vyhHr = 0, prostHr = 0, kvalHr = 0;
    u16 tabel12 = 0, tabel22 = 0;
    u16 bezsodDn = 0, bezsodHr = 0, bezsodDnVyh = 0, bezsodHrVyh = 0;

    static constexpr std::size_t Size = 43;
    static_assert(1 + 5 * 2 + 2 + 2 + 2 + 1 + 1 + 6 * 2 + 2 * 2 + 4 * 2 == Size);
    // The coefficient in hundredths (125 = 1.25), as the base column keeps it.
    int koeffHundredths() const { return koeff * 10 + koeffDigit; }
    void setKoeffHundredths(int h)
    {
        koeff = u16(h / 10);
        koeffDigit = u16(h % 10);
    }
    void write(ByteWriter& w) const;
    static TabelRecord read(ByteReader& r);
    friend bool operator==(const TabelRecord&, const TabelRecord&) = default;
};

// 25-byte alternative time-sheet line (dbo.altTabel).
struct AltTabelEntry {
    u16 kod = 0;
    u16 dn : 6 = 0; // 32 = take the main sheet's working days
    u16 min : 6 = 0;
    u16 mes : 4 = 0;
    u8 hr = 0;
    double sumOklad = 0; // kopecks
    Tariff3 tarif; // columns sumTarifRub / sumTarifKop
    u8 procOpl = 0;
    u8 otd = 0;
    u8 storno = 0;
    u16 spzCh = 0, spzSc = 0, spzAu = 0;

    static constexpr std::size_t Size = 25;
    static_assert(2 + 2 + 1 + 8 + 3 + 1 + 1 + 1 + 3 * 2 == Size);
    void write(ByteWriter& w) const;
    static AltTabelEntry read(ByteReader& r);
    friend bool operator==(const AltTabelEntry&, const AltTabelEntry&) = default;
};

// 18-byte bonus line (dbo.prem).
struct BonusLine {
    double sum = 0; // kopecks, or hundredths of a percent
    u16 mrp : 2 = 0;
    u16 nalog : 1 = 0;
    u16 procent : 3 = 0; // kind 0-5
    u16 ceh : 7 = 0;
    u16 mask : 3 = 0;
    u16 kod = 0;
    u16 spzCh : 14 = 0;
    u16 mes : 2 = 0; // month basis
    u16 spzSc = 0, spzAu = 0;

    static constexpr std::size_t Size = 18;
    static_assert(8 + 2 + 2 + 2 + 2 + 2 == Size);
    void write(ByteWriter& w) const;
    static BonusLine read(ByteReader& r);
    friend bool operator==(const BonusLine&, const BonusLine&) = default;
};

// 37-byte sick-leave sheet (dbo.bln). The packed form keeps a 3-bit year
// code, (year - 2007) mod 8; in memory the full years are kept (0 = none).
struct SickLeaveSheet {
    u8 k1 : 3 = 0;
    u8 dBegin : 5 = 0;
    u8 mBegin : 4 = 0;
    u16 gBegin = 0; // full year, 0 = no date
    u8 k2 : 3 = 0;
    u8 infl : 1 = 0;
    u8 dEnd : 5 = 0;
    u8 mEnd : 4 = 0;
    u16 gEnd = 0; // full year
    u8 vid = 0, mrp = 0, firstMes = 0, alg = 0, budg = 0, procent = 0;
    double sum = 0, oklad = 0; // kopecks
    u16 vr : 1 = 0;
    u16 dn : 14 = 0; // minutes
    u16 timeRest : 1 = 0;
    u8 contin = 0;
    u16 fromMinimumMonthlyEarnings = 0; // flag word, bit 0
    u16 firstYear = 0, secondYear = 0;
    u16 from12Months = 0; // flag word, bit 0

    static constexpr std::size_t Size = 37;
    static_assert(2 + 2 + 6 + 8 + 8 + 2 + 1 + 2 + 2 + 2 + 2 == Size);
    static int yearCode(int year) { return year == 0 ? 0 : ((year - 2007) % 8 + 8) % 8; }
    // The latest year not after referenceYear + 1 whose code is `code`.
    static int yearFromCode(int code, int referenceYear);
    void write(ByteWriter& w) const;
    // referenceYear widens the 3-bit year codes of the packed form.
    static SickLeaveSheet read(ByteReader& r, int referenceYear);
    friend bool operator==(const SickLeaveSheet&, const SickLeaveSheet&) = default;
};

// 18-byte vacation note (dbo.otp). gBegin is the full year in memory; the
// packed form keeps year - 1992 in bits 9-13 of the start word and its higher
// bits in the spare bits 12-15 of the option word.
struct VacationNote {
    u16 dBegin : 5 = 0;
    u16 mBegin : 4 = 0;
    u16 vid : 2 = 0;
    u16 gBegin = 0; // full year, 0 = no date
    double sum = 0; // kopecks
    u16 dlin = 0; // whole days (7 bits kept)
    u16 fond : 12 = 0; // hundredths of a day
    u16 mrp : 1 = 0;
    u16 kalend : 3 = 0;
    u16 mes : 4 = 0;
    u16 budg : 4 = 0;
    u8 alg : 3 = 0;
    u8 tolkOtp : 1 = 0;
    i8 dn = 0; // whole days of the period
    u8 dlinHundredths : 7 = 0;
    u8 dnHundredths : 7 = 0;

    static constexpr std::size_t Size = 18;
    static_assert(2 + 8 + 2 + 2 + 1 + 1 + 2 == Size);
    void write(ByteWriter& w) const;
    static VacationNote read(ByteReader& r);
    friend bool operator==(const VacationNote&, const VacationNote&) = default;
};

// ---------------------------------------------------------------------------
// Blocks of the employee record.

// 15-byte tax deduction slot.
struct NalvichEntry {
    u16 kod = 0;
    u16 start = 0; // PackedMonthYear (year * 16 + month), full year
    u16 end = 0;
    double sum = 0;
    i8 krat = 0; // multiplicity 0..15

    static constexpr std::size_t Size = 15;
    static_assert(2 + 2 + 2 + 8 + 1 == Size);
    bool isEmpty() const { return kod == 0 && start == 0 && end == 0 && sum == 0 && krat == 0; }
    void write(ByteWriter& w) const;
    static NalvichEntry read(ByteReader& r);
    friend bool operator==(const NalvichEntry&, const NalvichEntry&) = default;
};

// 22-byte permanent payment slot. The dates keep full years in memory
// (gBegin/gEnd, 0 = none); the packed form keeps year - 2000 in four bits of
// each date word and the higher bits in the spare byte of word 2-3.
struct PostDoplEntry {
    u16 kod = 0;
    u32 procent : 17 = 0; // tenths of a percent
    double sum = 0;
    u8 dBegin : 5 = 0;
    u8 mBegin : 4 = 0;
    u16 gBegin = 0;
    u8 vid : 3 = 0;
    u8 dEnd : 5 = 0;
    u8 mEnd : 4 = 0;
    u16 gEnd = 0;
    u8 period : 3 = 0;
    u8 zavisOt : 4 = 0;
    u8 perer : 2 = 0;
    u8 dnOtGraph : 3 = 0;
    u8 mask : 5 = 0;
    u8 mrp : 1 = 0;
    u16 ceh = 0;

    static constexpr std::size_t Size = 22;
    static_assert(2 + 2 + 8 + 2 + 2 + 2 + 2 + 2 == Size);
    bool isEmpty() const { return kod == 0 && procent == 0 && sum == 0 && dBegin == 0 && dEnd == 0 && ceh == 0; }
    void write(ByteWriter& w) const;
    static PostDoplEntry read(ByteReader& r);
    friend bool operator==(const PostDoplEntry&, const PostDoplEntry&) = default;
};

// One bank-transfer row. Texts are 120 wide characters in the slot and 120
// bytes of windows-1251 in the 8-bit record.
struct SberRow {
    u16 kod = 0;
    double sum = 0; // 0 = the rest
    u8 bank = 0;
    QString filial, ls, fio;
    u16 last = 0;

    static constexpr int TextWidth = 120;
    static constexpr std::size_t WideSize = 2 + 8 + 1 + 3 * 240 + 2;
    static constexpr std::size_t AnsiSize = 2 + 8 + 1 + 3 * 120 + 2;
    bool isEmpty() const
    {
        return kod == 0 && sum == 0 && bank == 0 && filial.isEmpty() && ls.isEmpty() && fio.isEmpty() && last == 0;
    }
    void write(ByteWriter& w, bool wide) const;
    static SberRow read(ByteReader& r, bool wide);
    friend bool operator==(const SberRow&, const SberRow&) = default;
};

struct IspolBlock {
    struct Writ {
        u16 priznUd : 1 = 0;
        u16 vid : 2 = 0;
        u16 tabPsbor : 5 = 0;
        u16 flagByte : 8 = 0;
        u16 dataEnd = 0; // PackedDate
        double sum = 0; // kopecks or hundredths of a percent
        QString fio, adr;
        friend bool operator==(const Writ&, const Writ&) = default;
    };
    std::array<Writ, 3> writs;

    static constexpr int TextWidth = 120;
    static constexpr std::size_t WideSize = 3 * 4 + 3 * 8 + 6 * 240;
    static constexpr std::size_t AnsiSize = 3 * 4 + 3 * 8 + 6 * 120;
    void write(ByteWriter& w, bool wide) const;
    static IspolBlock read(ByteReader& r, bool wide);
    friend bool operator==(const IspolBlock&, const IspolBlock&) = default;
};

struct SsudBlock {
    struct Loan {
        u8 kvMes : 7 = 0;
        u8 nalog : 1 = 0;
        u16 kod = 0;
        double sumDolg = 0;
        std::array<u8, 3> mes{};
        std::array<double, 3> sum{};
        friend bool operator==(const Loan&, const Loan&) = default;
    };
    std::array<Loan, 4> loans;

    static constexpr std::size_t Size = 4 + 4 * 2 + 4 * 8 + 4 * 3 + 4 * 3 * 8;
    static_assert(Size == 152);
    void write(ByteWriter& w) const;
    static SsudBlock read(ByteReader& r);
    friend bool operator==(const SsudBlock&, const SsudBlock&) = default;
};

// 16-byte monthly archive entry. godVyd and god are full years in memory
// (0 = none / entry unused); see docs/record-layouts.md for the packing.
struct WariaEntry {
    u16 kod = 0;
    u8 mesVyd : 4 = 0;
    u16 godVyd = 0; // full year paid, 0 = not paid separately
    double sum = 0;
    u16 min : 6 = 0;
    u16 dn : 6 = 0;
    u16 mes : 4 = 0;
    u16 hr : 9 = 0;
    u16 god = 0; // full accrual year, 0 = entry unused

    static constexpr std::size_t Size = 16;
    static_assert(2 + 2 + 8 + 2 + 2 == Size);
    bool inUse() const { return god != 0; }
    void write(ByteWriter& w) const;
    static WariaEntry read(ByteReader& r);
    friend bool operator==(const WariaEntry&, const WariaEntry&) = default;
};

// A dated archive entry.
struct WarDatEntry {
    u16 start = 0; // PackedDate
    u16 end = 0; // PackedDate
    u16 mes : 4 = 0;
    u16 god : 7 = 0; // two-digit year
    u16 kod : 10 = 0;
    u16 contin : 1 = 0;
    double sum = 0;

    friend bool operator==(const WarDatEntry&, const WarDatEntry&) = default;
};

// ---------------------------------------------------------------------------
// Firm, schedules, shops, pay kinds.

struct ScheduleMonth {
    i8 rDn = 0;
    u16 rMin = 0;
    std::array<u16, 31> d{};
    u16 vMin = 0, nMin = 0;

    friend bool operator==(const ScheduleMonth&, const ScheduleMonth&) = default;
};

struct WorkSchedule {
    u8 rabDnNed : 7 = 0; // Monday..Sunday
    u8 ruchn : 1 = 0; // manual totals
    u16 rdHr : 5 = 0;
    u16 rdMin : 6 = 0;
    u16 pVyh : 5 = 0;
    u16 pRab : 4 = 0;
    u16 mesFond : 12 = 0; // tenths of an hour
    u8 begD = 0, begM = 0, begG = 0;
    std::array<ScheduleMonth, 22> months{};

    static constexpr int ReportingMonth = 15;
    friend bool operator==(const WorkSchedule&, const WorkSchedule&) = default;
};

struct SeniorityRule {
    u16 kod = 0;
    i16 vozMin = 0, vozMax = 0, rabMin = 0, rabMax = 0, sevMin = 0, sevMax = 0;
    i8 otdMin = 0, otdMax = 0, brigMin = 0, brigMax = 0;
    u16 profMin : 7 = 0;
    u16 kategMin : 4 = 0;
    u16 kategMax : 4 = 0;
    u16 kak : 1 = 0;
    u8 profMax = 0;
    double sum = 0;

    friend bool operator==(const SeniorityRule&, const SeniorityRule&) = default;
};

struct ShopRecord {
    u8 number = 0;
    QString name; // 120 wide
    friend bool operator==(const ShopRecord&, const ShopRecord&) = default;
};

// A pay or deduction kind (dbo.entree).
struct PayKind {
    u16 kod = 0;
    QString name; // 120
    u16 flags = 0; // the two flag bytes: bits 0-1 and 14 kind group, bit 8 export to accounting,
        // bits 9 and 13 base selectors (0x2000 also: goes to the output file), bit 15
        // mark; bits 2 and 4 are oblPodoh and vedShap, kept in their own fields
    std::array<u16, 2> dates{}; // packed dates of the kind
    u8 fond : 3 = 0;
    u8 enOtp : 2 = 0;
    u16 budgOtp = 0, koefOtp = 0, budgBln = 0;
    u8 enBlnFull : 1 = 0;
    u8 enBlnProp : 1 = 0;
    u8 enBlnAlg : 2 = 0;
    u8 enSrPremBln : 1 = 0, oblProf : 1 = 0, enAlim : 1 = 0, enKoefRS : 1 = 0;
    u8 g11 : 1 = 0, enSrZar : 1 = 0, hr1 : 1 = 0, hr2 : 1 = 0, hr3 : 1 = 0, hr4 : 1 = 0;
    u8 oblPodoh : 1 = 0, vedShap : 1 = 0, grp : 1 = 0;
    u8 okrug : 3 = 0;
    i8 vedStlb = 0; // 5 bits signed
    u16 kodDoh = 0, kodSkid = 0;
    double sumSkidPodoh = 0, sumSkidSoc = 0;
    u16 spzCh : 14 = 0;
    u16 spzSc : 14 = 0;
    u16 spzAu : 14 = 0;
    u16 spzAuHi : 2 = 0;

    int enBln() const { return enBlnFull + 2 * enBlnProp + enBlnAlg; }
    void setEnBln(int v);
    bool mark() const { return (flags & 0x8000) != 0; }

    friend bool operator==(const PayKind&, const PayKind&) = default;
};

// The firm record: dbo.infFirm texts, dbo.infPar numbers, masks, labour
// participation rules and seniority rules.
struct FirmInfo {
    // Texts in column order of dbo.infFirm, 120 wide characters each.
    enum Text {
        firmName,
        firmBank,
        firmRS,
        firmKS,
        firmBIK,
        firmOKATO,
        adrInd,
        adrObl,
        adrRaion,
        adrGorod,
        adrUlica,
        adrDom,
        adrKorp,
        adrKv,
        adrPhone,
        sbNomDog,
        fioShef,
        statusShef,
        innShef,
        fioBuh,
        innBuh,
        buhFio,
        kassirDolg,
        kassirFio,
        fioPredst,
        innPredst,
        firmPens,
        firmOMS,
        firmFSS,
        firmPodchFSS,
        firmKodObosob,
        KodOtdFSS,
        territOrganFSS,
        firmINN,
        firmKPP,
        firmOGRN,
        firmOKVED,
        firmOKPO,
        firmOKOPF,
        firmOKFS,
        firmGNI,
        firmNalogovaya,
        file1C,
        TextCount
    };
    std::array<QString, TextCount> texts;
    static constexpr int TextWidth = 120;

    u8 adrKodRG = 0;
    // The parameter word: bit 0 by accrual month, bit 3 nalog, bit 4 prof,
    // bit 5 list order (set = name order), bits 6-9 dnHr, bits 10-15 dnMin.
    u16 parWord = 0;
    i8 procRaj = 0;
    u16 procSev : 6 = 0;
    u16 maxKvSevNad : 4 = 0;
    u16 periodSevNad : 6 = 0;
    u8 procProst = 0, procNgt = 0, procEvn = 0, tabDiv = 0;
    u8 procSsudWhole : 7 = 0;
    u8 procSsudHundredths = 0;
    u16 procPens = 0; // hundredths of a percent
    u16 sbProcFirm = 0, sbProcSotr = 0;
    double blnMaxOgr = 0, blnUprosh = 0, blnMaxOgrBegRab = 0, travmaMaxOgr = 0, dekrMaxOgr = 0, blnMaxOgrDet1 = 0,
           blnMinOgrDet1 = 0, blnMaxOgrDet2 = 0, blnMinOgrDet2 = 0;
    u8 blnSrPremMes = 0, blnMinProc = 0;
    std::array<u16, 12> fete{}; // day * 256 + month
    u8 feteKv = 0;
    std::array<u8, 12> feteMes{};
    double minOblStav = 0, maxOblStav = 0;
    u16 uproshWord = 0; // bit 12 firmUprosh
    u16 obosobWord = 0; // bit 0 separate division
    u16 c1Ch70 = 0;
    u16 c1Word = 0; // bit 7 c1TypProv, bits 8-11 c1Sub70
    u16 turboWord = 0; // bit 15 versTurboBuh
    i8 tabGrp2 = 0; // tax table of the second income group
    i8 procDop = 0; // extra whole percent of the contributions
    std::array<std::array<u8, kPayKindCodeCount>, 8> masks{};
    std::array<std::array<u16, 4>, 3> ktu{};
    std::array<SeniorityRule, 15> stag{};

    bool nameOrder() const { return (parWord & 0x20) != 0; }
    int dnHr() const { return (parWord >> 6) & 15; }
    int dnMin() const { return parWord >> 10; }
    bool firmUprosh() const { return (uproshWord & 0x1000) != 0; }
    int c1Sub70() const { return (c1Word >> 8) & 15; }
    bool c1TypProv() const { return (c1Word & 0x80) != 0; }
    bool versTurboBuh() const { return (turboWord & 0x8000) != 0; }
    friend bool operator==(const FirmInfo&, const FirmInfo&) = default;
};

// The base configuration (dbo.config).
struct InfoBaseConfig {
    u16 kolMax = 0; // employee capacity
    i16 kolRab = 0; // employee count
    QString parol; // password, 7 characters at most
    u16 tekMes = 0; // reporting month, year * 16 + month
    u16 nEnt = 0; // pay kind count
    u16 okrugWord = 0; // bits 0-2 okrugRas, bit 3 sort, bits 4-15 korr1..korr12
    u16 okrugVypWord = 0; // bits 0-2 okrugVyp, bit 15 split sick-leave benefit
    std::array<double, 12> mrot{}, mrotPrev{}; // minimum wage, roubles
    QString dosStr; // print command, 120
    u8 r_g = 0; // report year - 1900 (1994-2155), 0 = unset
    u8 r_m1 = 0, r_m2 = 0;

    int okrugRas() const { return okrugWord & 7; }
    bool sort() const { return (okrugWord & 8) != 0; }
    void setSort(bool on) { okrugWord = on ? u16(okrugWord | 8) : u16(okrugWord & ~8u); }
    bool korr(int month) const { return (okrugWord >> (3 + month)) & 1; }
    int okrugVyp() const { return okrugVypWord & 7; }
    MonthKey reportingKey() const { return MonthKey::of(tekMes); }
    int reportingYear() const { return reportingKey().year(); }
    int reportingMonth() const { return reportingKey().month(); }
    friend bool operator==(const InfoBaseConfig&, const InfoBaseConfig&) = default;
};

// ---------------------------------------------------------------------------
// Records of other subsystems that the document holds.

// Selection keys of the employee filter (828 bytes).
struct SelectionKeys {
    std::array<QString, 3> name; // equal, greater, less; 120 wide each
    std::array<std::array<i16, 3>, 18> crit;
    SelectionKeys() { clear(); }
    void clear()
    {
        for (auto& n : name) n.clear();
        for (auto& c : crit) c = {-1, -1, -1};
    }
    static constexpr std::size_t Size = 3 * 240 + 18 * 3 * 2;
    static_assert(Size == 828);
    friend bool operator==(const SelectionKeys&, const SelectionKeys&) = default;
};

// 26-byte band of a tax scale; lower bound and fixed part in roubles.
struct TaxScaleBand {
    double lower = 0, fixed = 0;
    u8 percent = 0, hundredths = 0;
    double further = 0;

    static constexpr std::size_t Size = 26;
    static_assert(8 + 8 + 1 + 1 + 8 == Size);
    bool isEmpty() const { return lower == 0 && fixed == 0 && percent == 0 && hundredths == 0 && further == 0; }
    void write(ByteWriter& w) const;
    static TaxScaleBand read(ByteReader& r);
    friend bool operator==(const TaxScaleBand&, const TaxScaleBand&) = default;
};

// One tax table of the "nalog" file.
struct TaxTable {
    struct Variant {
        u16 first = 0, last = 0; // month numbers, 0 = open
        u16 cumulative = 0;
        u8 ratePercent = 0, rateHundredths = 0;
        std::array<TaxScaleBand, 10> scale{};
        bool defined() const { return first != 0 || last != 0; }
        friend bool operator==(const Variant&, const Variant&) = default;
    };
    u16 taxRowCode = 0; // code of the month row that holds the tax withheld
    u8 selector = 0; // pay kinds of the base; 9 and above index a mask
    u8 scaleNumber = 0;
    QString name; // 80 bytes
    std::array<Variant, 2> variants{};

    static constexpr int NameWidth = 80;
    static constexpr std::size_t Size = 2 + 1 + 1 + NameWidth + 2 * (2 + 2 + 2 + 2 + 10 * TaxScaleBand::Size);
    static_assert(Size == 620);
    void write(ByteWriter& w) const;
    static TaxTable read(ByteReader& r);
    friend bool operator==(const TaxTable&, const TaxTable&) = default;
};

// One month row of IncomeByMonths (488 bytes, in memory only).
struct IncomeMonthRow {
    double taxable = 0, lessAllowances = 0, base = 0, secondGroup = 0, thirdGroup = 0;
    std::array<double, 10> deductions{};
    std::array<u32, 15> incomeCodes{};
    std::array<double, 15> incomeByCode{};
    std::array<u32, 15> deductionCodes{};
    std::array<double, 15> allowances{};
    double taxWithheld = 0;
    static constexpr std::size_t Size = 5 * 8 + 80 + 60 + 120 + 60 + 120 + 8;
    static_assert(Size == 488);
};

// One contribution kind of the "sbor" file (68 bytes).
struct ContributionKind {
    QString name; // 64 bytes
    u16 code = 0;
    i8 table = 0;
    i8 baseSelector = 0;

    static constexpr std::size_t Size = 68;
    static_assert(64 + 2 + 1 + 1 == Size);
    void write(ByteWriter& w) const;
    static ContributionKind read(ByteReader& r);
    friend bool operator==(const ContributionKind&, const ContributionKind&) = default;
};

// One row of ContributionsByMonths (17 doubles, in memory only).
struct ContributionRow {
    double base = 0, baseLessAllowance = 0, chargeable = 0, allowance = 0, disabilityIncome = 0,
           disabilityWithinCap = 0;
    std::array<u32, 4> codes{};
    std::array<double, 4> codeIncome{};
    std::array<double, 4> codeAllowance{};
    double last = 0;
    static constexpr std::size_t Size = 17 * 8;
    static_assert(6 * 8 + 16 + 32 + 32 + 8 == Size);
};

// One recipient of the "bank" file: 188 bytes of blank-padded windows-1251 text.
struct TransferRecipient {
    QString filial, recipient, account, bank, corrAccount, bik, inn, kpp;
    static constexpr std::size_t Size = 188;
    static constexpr int Widths[8] = {20, 45, 20, 52, 20, 12, 10, 9};
    void write(ByteWriter& w) const;
    static TransferRecipient read(ByteReader& r);
    friend bool operator==(const TransferRecipient&, const TransferRecipient&) = default;
};

} // namespace kalvor::infobase
