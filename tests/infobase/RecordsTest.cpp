// Byte layouts of the records and the round trips between the in-memory
// record, the swap slot and the 8-bit record.
#include "infobase/EmployeeRecord.h"
#include "infobase/InfoBase.h"
#include "support/TestFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace kalvor::infobase;

namespace {

template <class T>
std::vector<unsigned char> bytesOf(const T& rec)
{
    std::vector<char> buf(T::Size);
    ByteWriter w(buf.data(), buf.size());
    rec.write(w);
    EXPECT_EQ(w.pos(), T::Size);
    return std::vector<unsigned char>(buf.begin(), buf.end());
}

template <class T>
T roundTrip(const T& rec)
{
    std::vector<char> buf(T::Size);
    ByteWriter w(buf.data(), buf.size());
    rec.write(w);
    ByteReader r(buf.data(), buf.size());
    T back = T::read(r);
    EXPECT_EQ(r.pos(), T::Size);
    return back;
}

u16 runtimeValue(int v) { return u16(v); }

u16 le16(const char* p) { return u16(u8(p[0]) | (u8(p[1]) << 8)); }

} // namespace

TEST(Records, AccrualRowBytes)
{
    AccrualRow a;
    a.kod = 902;
    a.sum = 1234.0;
    a.min = 30;
    a.dn = 21;
    a.mes = 3;
    a.hr = 168;
    a.otd = 7;
    a.spzCh = 20;
    a.spzSc = 1;
    a.spzAu = 0x3FFF;
    const auto b = bytesOf(a);
    ASSERT_EQ(b.size(), 21u);
    EXPECT_EQ(b[0], 0x86); // 902 = 0x0386
    EXPECT_EQ(b[1], 0x03);
    double sum;
    std::memcpy(&sum, b.data() + 2, 8);
    EXPECT_EQ(sum, 1234.0);
    // time word: 30 | 21 << 6 | 3 << 12 = 0x357E
    EXPECT_EQ(b[10], 0x5E);
    EXPECT_EQ(b[11], 0x35);
    EXPECT_EQ(b[12], 168);
    EXPECT_EQ(b[13], 0);
    EXPECT_EQ(b[14], 7);
    EXPECT_EQ(b[15], 20);
    EXPECT_EQ(b[17], 1);
    EXPECT_EQ(b[19], 0xFF);
    EXPECT_EQ(b[20], 0x3F);
    EXPECT_EQ(roundTrip(a), a);

    // A value stored into a narrow field is cut to its width.
    AccrualRow c;
    c.min = runtimeValue(70);
    EXPECT_EQ(c.min, 6);
}

TEST(Records, TariffTimeSheetAndAttributes)
{
    // 12345.678 roubles: roubles 12345 = 24 × 512 + 57, thousandths 678 = 5 × 128 + 38.
    Tariff3 t;
    t.rub = 12345;
    t.thou = 678;
    EXPECT_EQ(t.byte(), u8(24 | (5 << 5)));
    EXPECT_EQ(t.word(), u16(57 | (38 << 9)));
    EXPECT_EQ(Tariff3::fromParts(t.byte(), t.word()), t);
    EXPECT_DOUBLE_EQ(t.kopecks(), 1234567.8);

    TabelRecord tr;
    tr.rabDn = 21;
    tr.rabHr = 168 * 60;
    tr.komDn = 3;
    tr.dbf = 1;
    tr.setKoeffHundredths(125);
    tr.prDn = 1;
    tr.uchDn = 2;
    tr.bezsodHrVyh = 480;
    const auto b = bytesOf(tr);
    EXPECT_EQ(b.size(), 43u);
    EXPECT_EQ(b[0], 21);
    EXPECT_EQ(b[11] | (b[12] << 8), (3 << 10) | 0x8000); // word A: komDn, dbf
    EXPECT_EQ(b[13] | (b[14] << 8), 5 << 10); // word B: hundredths digit 5
    EXPECT_EQ(b[15] | (b[16] << 8), 12); // tenths
    EXPECT_EQ(b[17], 1);
    EXPECT_EQ(b[18], 2 << 4);
    EXPECT_EQ(b[41] | (b[42] << 8), 480);
    EXPECT_EQ(roundTrip(tr), tr);
    EXPECT_EQ(roundTrip(tr).koeffHundredths(), 125);

    EmployeeAttributes a;
    a.prof = 100;
    a.razr = 6;
    a.brig = -3;
    a.sistOpl = 2;
    a.graph = 17;
    a.kateg = 4;
    a.err = 22;
    a.kvSdel = 5;
    a.priznUv = 3;
    a.kvProizv = 12;
    a.priznBank = 20;
    a.priznSsud = 4;
    a.kvDBF = 9;
    const auto ab = bytesOf(a);
    EXPECT_EQ(ab[0] | (ab[1] << 8), (6 << 4) | (100 << 9));
    EXPECT_EQ(ab[2], 0xFD);
    EXPECT_EQ(ab[3], 2 | (17 << 3));
    EXPECT_EQ(ab[4] | (ab[5] << 8), 4 | (22 << 4) | (5 << 10));
    EXPECT_EQ(ab[6] | (ab[7] << 8), (3 << 5) | (12 << 8));
    EXPECT_EQ(ab[8] | (ab[9] << 8), (20 << 4) | (4 << 9) | (9 << 12));
    EXPECT_EQ(roundTrip(a), a);
}

TEST(Records, LineRecordsKeepTheirLayouts)
{
    AltTabelEntry e;
    e.kod = 3;
    e.dn = 32;
    e.min = 15;
    e.mes = 3;
    e.hr = 40;
    e.sumOklad = 500000;
    e.tarif.rub = 250;
    e.tarif.thou = 500;
    e.procOpl = 150;
    e.otd = 4;
    e.storno = 1;
    e.spzAu = 77;
    const auto ab = bytesOf(e);
    EXPECT_EQ(ab.size(), 25u);
    EXPECT_EQ(ab[2] | (ab[3] << 8), 32 | (15 << 6) | (3 << 12));
    EXPECT_EQ(ab[4], 40);
    EXPECT_EQ(ab[13], e.tarif.byte());
    EXPECT_EQ(ab[16], 150);
    EXPECT_EQ(ab[23], 77);
    EXPECT_EQ(roundTrip(e), e);

    BonusLine bl;
    bl.sum = 1500;
    bl.mrp = 2;
    bl.nalog = 1;
    bl.procent = 5;
    bl.ceh = 100;
    bl.mask = 7;
    bl.kod = 35;
    bl.spzCh = 1234;
    bl.mes = 1;
    const auto bb = bytesOf(bl);
    EXPECT_EQ(bb.size(), 18u);
    EXPECT_EQ(bb[8] | (bb[9] << 8), 2 | 4 | (5 << 3) | (100 << 6) | (7 << 13));
    EXPECT_EQ(bb[12] | (bb[13] << 8), 1234 | (1 << 14));
    EXPECT_EQ(roundTrip(bl), bl);
}

TEST(Records, YearsBeyondTheStoredBitsSurvive)
{
    // Vacation of 10 March 2026: year - 1992 = 34 needs a sixth bit.
    VacationNote v;
    v.dBegin = 10;
    v.mBegin = 3;
    v.gBegin = 2026;
    v.vid = 2;
    v.dlin = 28;
    v.dlinHundredths = 50;
    v.fond = 2960;
    v.kalend = 1;
    v.mes = 3;
    v.alg = 1;
    v.dn = 29;
    v.dnHundredths = 60;
    EXPECT_EQ(VacationNote::Size, 18u);
    std::vector<char> buf(VacationNote::Size);
    ByteWriter w(buf.data(), buf.size());
    v.write(w);
    EXPECT_EQ(le16(buf.data()) & 0x3FFF, 10 | (3 << 5) | ((34 & 31) << 9));
    EXPECT_EQ(le16(buf.data() + 12) >> 12, 34 >> 5);
    EXPECT_EQ(roundTrip(v), v);
    VacationNote old; // a note of 2020 needs no spare bits
    old.dBegin = 1;
    old.mBegin = 7;
    old.gBegin = 2020;
    ByteWriter w2(buf.data(), buf.size());
    old.write(w2);
    EXPECT_EQ(le16(buf.data() + 12) >> 12, 0);
    EXPECT_EQ(roundTrip(old), old);

    // Archive entry of December 2030 paid in January 2031.
    WariaEntry a;
    a.kod = 995;
    a.sum = -1234.5;
    a.mes = 12;
    a.god = 2030;
    a.mesVyd = 1;
    a.godVyd = 2031;
    a.hr = 300;
    a.dn = 31;
    a.min = 59;
    EXPECT_EQ(roundTrip(a), a);
    std::vector<char> wb(WariaEntry::Size);
    ByteWriter ww(wb.data(), wb.size());
    WariaEntry b = a;
    b.god = 2019; // year - 1900 = 119 fits seven bits: the code word stays the plain code
    b.godVyd = 2019;
    b.write(ww);
    EXPECT_EQ(le16(wb.data()), 995);
    EXPECT_EQ(le16(wb.data() + 2), 1 | (29 << 4));
    EXPECT_EQ(le16(wb.data() + 14), 300 | (119 << 9));
    EXPECT_EQ(roundTrip(WariaEntry{}), WariaEntry{});

    // Permanent payment from 1.1.2026 to 31.12.2035 (year - 2000 needs five bits).
    PostDoplEntry p;
    p.kod = 16;
    p.procent = 100000; // 17 bits
    p.sum = 250000;
    p.dBegin = 1;
    p.mBegin = 1;
    p.gBegin = 2026;
    p.dEnd = 31;
    p.mEnd = 12;
    p.gEnd = 2035;
    p.vid = 5;
    p.period = 4;
    p.zavisOt = 9;
    p.perer = 3;
    p.dnOtGraph = 6;
    p.mask = 21;
    p.mrp = 1;
    p.ceh = 250;
    EXPECT_EQ(roundTrip(p), p);
    EXPECT_EQ(roundTrip(PostDoplEntry{}), PostDoplEntry{});

    // Sick leave keeps the 3-bit code in the record and widens it by the reference year.
    SickLeaveSheet sl;
    sl.dBegin = 5;
    sl.mBegin = 3;
    sl.gBegin = 2026;
    sl.dEnd = 12;
    sl.mEnd = 3;
    sl.gEnd = 2026;
    sl.vid = 10;
    sl.procent = 80;
    sl.sum = 123456;
    sl.dn = 480;
    sl.contin = 255;
    sl.firstYear = 2024;
    std::vector<char> sb(SickLeaveSheet::Size);
    ByteWriter sw(sb.data(), sb.size());
    sl.write(sw);
    EXPECT_EQ(sw.pos(), 37u);
    EXPECT_EQ((le16(sb.data()) >> 3) & 7, (2026 - 2007) % 8);
    ByteReader sr(sb.data(), sb.size());
    EXPECT_EQ(SickLeaveSheet::read(sr, 2026), sl);
    EXPECT_EQ(SickLeaveSheet::yearFromCode(0, 2026), 2023);
    EXPECT_EQ(SickLeaveSheet::yearFromCode(4, 2026), 2027);
}

TEST(Records, PackedEmployeeRecordOffsets)
{
    EmployeeRecord rec;
    rec.head.fio = QStringLiteral("Иванов Иван Иванович");
    rec.head.oklad = 4500000;
    rec.head.tarifSdel.rub = 300;
    rec.head.tarifSdel.thou = 250;
    rec.head.tarifVrem.rub = 16383;
    rec.head.tarifVrem.thou = 999;
    rec.head.flags = 0x08 | 0x200;
    rec.head.tabPodoh = 3;
    rec.rows[0].kod = 1;
    rec.rows[0].sum = 4500000;
    rec.rows[65].kod = 920;

    PackedEmployeeRecord p;
    EmployeeRecordToAnsi(rec, p);
    const char* b = p.bytes.data();
    // fio in windows-1251, blank padded to 120.
    EXPECT_EQ(u8(b[0]), 0xC8); // 'И'
    EXPECT_EQ(b[20], ' ');
    EXPECT_EQ(b[119], ' ');
    double oklad;
    std::memcpy(&oklad, b + 128, 8);
    EXPECT_EQ(oklad, 4500000);
    EXPECT_EQ(Tariff3::fromParts(u8(b[144]), le16(b + 145)), rec.head.tarifSdel);
    EXPECT_EQ(Tariff3::fromParts(u8(b[147]), le16(b + 148)), rec.head.tarifVrem);
    EXPECT_EQ(le16(b + 166) & 8, 8);
    EXPECT_EQ(b[232], 3);
    EXPECT_EQ(le16(b + 33765), 1);
    EXPECT_EQ(le16(b + 33765 + 65 * 21), 920);

    EmployeeRecord back;
    EmployeeRecordFromAnsi(p, back);
    EXPECT_EQ(back, rec);

    // The documented block offsets of the 8-bit record.
    rec.nalvich[0].kod = 126;
    rec.warKv = 1;
    rec.waria[0].kod = 1;
    rec.sber[0].kod = 750;
    rec.ispol.writs[0].vid = 1;
    EmployeeRecordToAnsi(rec, p);
    EXPECT_EQ(le16(b + 4746), 126);
    EXPECT_EQ(le16(b + 5510), 1);
    EXPECT_EQ(le16(b + 5512), 1);
    EXPECT_EQ(le16(b + 24712), 750);
    EXPECT_EQ(le16(b + 32172), 2);
}

TEST(Records, FixtureRecordsRoundTripThroughSlotAndAnsi)
{
    CInfoBase base;
    FixtureBase fx = BuildFixtureBase(base, 40, 7);
    std::vector<char> slot(EmployeeRecord::SlotSize);
    int withBank = 0, withDeduction = 0;
    for (int i = 0; i < 40; ++i) {
        const EmployeeRecord& rec = fx.records[std::size_t(i)];
        withBank += rec.sber[0].kod != 0;
        withDeduction += rec.nalvich[0].kod != 0;
        EmployeeRecordToSlot(rec, slot.data());
        EmployeeRecord fromSlot;
        EmployeeRecordFromSlot(slot.data(), fromSlot);
        EXPECT_EQ(fromSlot, rec) << "slot " << i + 1;

        PackedEmployeeRecord p;
        EmployeeRecordToAnsi(rec, p);
        EmployeeRecord fromAnsi;
        EmployeeRecordFromAnsi(p, fromAnsi);
        EXPECT_EQ(fromAnsi, rec) << "slot " << i + 1;
        PackedEmployeeRecord again;
        EmployeeRecordToAnsi(fromAnsi, again);
        EXPECT_EQ(again.bytes, p.bytes);
    }
    EXPECT_GT(withBank, 0);
    EXPECT_GT(withDeduction, 0);

    // Texts of the slot are wide: a name with letters outside windows-1251 survives there.
    EmployeeRecord odd = fx.records[0];
    odd.head.fio = QStringLiteral("Ğülşen Ölmez");
    odd.head.pspNom = QStringLiteral("1234567890");
    odd.head.gitAdr = QString(143, QChar(u'ж'));
    EmployeeRecordToSlot(odd, slot.data());
    EmployeeRecord back;
    EmployeeRecordFromSlot(slot.data(), back);
    EXPECT_EQ(back.head.fio, odd.head.fio);
    EXPECT_EQ(back.head.pspNom, odd.head.pspNom);
    EXPECT_EQ(back.head.gitAdr, odd.head.gitAdr);
    PackedEmployeeRecord p;
    EmployeeRecordToAnsi(odd, p);
    EmployeeRecordFromAnsi(p, back);
    EXPECT_EQ(back.head.gitAdr, odd.head.gitAdr); // 143 characters in the 8-bit record
    EXPECT_EQ(back.head.pspNom, odd.head.pspNom); // six characters and the four of the continuation

    // Taking an 8-bit record as the current one drops the dated archive of the
    // employee loaded before.
    base.warDat.warDatKv = 1;
    base.warDat.entries[0].kod = 101;
    EmployeeRecordFromAnsi(p, base);
    EXPECT_EQ(base.current, back);
    EXPECT_EQ(base.warDat, WarDatBlock{});
}
