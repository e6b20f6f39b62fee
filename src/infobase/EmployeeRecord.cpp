#include "infobase/EmployeeRecord.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace kalvor::infobase {

namespace {

// Text widths of the head; every other text of the head is 120 characters.
constexpr int W = 120;
constexpr int PspStrWidth = 3;
constexpr int PspNomWidth = 6; // first part of the passport number
constexpr int PspNomRestWidth = 4; // its continuation
constexpr int GitAdrWidth = 143;

// The texts of the head after the numbers, in their order in the record.
// pspNom is handled apart (two fields).
struct HeadText {
    QString EmployeeHead::*field;
    int width;
};
const HeadText headTexts[] = {
    {&EmployeeHead::officerTitle, W},
    {&EmployeeHead::imvichSprNom, W},
    {&EmployeeHead::imvichSprKodNO, W},
    {&EmployeeHead::imvichSprDat, W},
    {&EmployeeHead::strahPolis, W},
    {&EmployeeHead::INN, W},
    {&EmployeeHead::gitPhone, W},
    {&EmployeeHead::dolgName, W},
    {&EmployeeHead::dolgDat, W},
    {&EmployeeHead::pspKod, W},
    {&EmployeeHead::pspStr, PspStrWidth},
    {&EmployeeHead::pspSer, W},
    {&EmployeeHead::pspDat, W},
    {&EmployeeHead::pspKem, W},
    {&EmployeeHead::bdStr, W},
    {&EmployeeHead::bdReg, W},
    {&EmployeeHead::bdRaj, W},
    {&EmployeeHead::bdGorod, W},
    {&EmployeeHead::propKodStr, W},
    {&EmployeeHead::propKodReg, W},
    {&EmployeeHead::propReg, W},
    {&EmployeeHead::propRaj, W},
    {&EmployeeHead::propGorod, W},
    {&EmployeeHead::propPunkt, W},
    {&EmployeeHead::propUl, W},
    {&EmployeeHead::propDom, W},
    {&EmployeeHead::propKorp, W},
    {&EmployeeHead::propKv, W},
    {&EmployeeHead::propInd, W},
    {&EmployeeHead::GNI, W},
    {&EmployeeHead::gitKodStr, W},
    {&EmployeeHead::gitInd, W},
    {&EmployeeHead::gitAdr, GitAdrWidth},
    {&EmployeeHead::kuplAdr, W},
    {&EmployeeHead::dogNom, W},
    {&EmployeeHead::invSprSer, W},
    {&EmployeeHead::invSprNom, W},
    {&EmployeeHead::invSprDat, W},
};

void text(ByteWriter& w, const QString& s, int width, bool wide)
{
    if (wide)
        w.wide(s, std::size_t(width));
    else
        w.ansi(s, std::size_t(width));
}

QString text(ByteReader& r, int width, bool wide)
{
    return wide ? r.wide(std::size_t(width)) : r.ansi(std::size_t(width));
}

// The head. In the 8-bit form fio takes 120 bytes, so oklad lands at 128, the
// tariffs at 144 and 147, the flags at 166 and tabPodoh at 232.
void writeHead(ByteWriter& w, const EmployeeHead& h, bool wide)
{
    text(w, h.fio, W, wide);
    for (u16 d : {h.datR, h.datPr1, h.datUv1, h.datPr2}) w.u16v(d);
    w.f64(h.oklad);
    w.f64(h.nadbav);
    h.tarifSdel.write(w);
    h.tarifVrem.write(w);
    w.u16v(h.datUv2);
    w.f64(h.stavka);
    for (u16 d : {h.datSevStag, h.officerDatStag, h.inostrDnPrRF}) w.u16v(d);
    w.u32v(h.flags);
    w.f64(h.avans);
    for (u16 d : {h.inostrDatPr, h.inostrDatOt, h.inostrDatVidGit, h.imvichDat, h.invDat1Begin, h.invDat1End,
                  h.invDat2Begin, h.invDat2End})
        w.u16v(d);
    for (u32 v : {h.imvichBeg, h.imvichNY, h.imvichOst, h.imvichAmt2, h.dedMonths}) w.u32v(v);
    w.u16v(h.vmenWord);
    w.u8v(h.vmenMarker);
    w.u8v(h.vmenAsk0);
    w.u8v(h.procVech);
    w.u8v(h.procNoch);
    w.u16v(h.dolgKod);
    w.u16v(h.profKod);
    w.u8v(h.profNadb);
    if (wide)
        w.u16v(h.pol.isEmpty() ? 0 : h.pol.at(0).unicode());
    else
        w.ansiNul(h.pol.left(1), 2);
    w.u8v(h.married);
    w.u16v(h.children);
    w.u16v(0);
    w.i8v(h.tabPodoh);
    w.u8v(0);
    for (const auto& c : h.spz)
        for (u16 v : c) w.u16v(v);
    for (const HeadText& t : headTexts) text(w, h.*t.field, t.width, wide);
    text(w, h.pspNom.left(PspNomWidth), PspNomWidth, wide);
    text(w, h.pspNom.mid(PspNomWidth), PspNomRestWidth, wide);
}

void readHead(ByteReader& r, EmployeeHead& h, bool wide)
{
    h.fio = text(r, W, wide);
    for (u16* d : {&h.datR, &h.datPr1, &h.datUv1, &h.datPr2}) *d = r.u16v();
    h.oklad = r.f64();
    h.nadbav = r.f64();
    h.tarifSdel = Tariff3::read(r);
    h.tarifVrem = Tariff3::read(r);
    h.datUv2 = r.u16v();
    h.stavka = r.f64();
    for (u16* d : {&h.datSevStag, &h.officerDatStag, &h.inostrDnPrRF}) *d = r.u16v();
    h.flags = r.u32v();
    h.avans = r.f64();
    for (u16* d : {&h.inostrDatPr, &h.inostrDatOt, &h.inostrDatVidGit, &h.imvichDat, &h.invDat1Begin, &h.invDat1End,
                   &h.invDat2Begin, &h.invDat2End})
        *d = r.u16v();
    for (u32* v : {&h.imvichBeg, &h.imvichNY, &h.imvichOst, &h.imvichAmt2, &h.dedMonths}) *v = r.u32v();
    h.vmenWord = r.u16v();
    h.vmenMarker = r.u8v();
    h.vmenAsk0 = r.u8v();
    h.procVech = r.u8v();
    h.procNoch = r.u8v();
    h.dolgKod = r.u16v();
    h.profKod = r.u16v();
    h.profNadb = r.u8v();
    if (wide) {
        const u16 c = r.u16v();
        h.pol = c ? QString(QChar(c)) : QString();
    } else {
        h.pol = r.ansi(2).left(1);
    }
    h.married = r.u8v();
    h.children = r.u16v();
    r.skip(2);
    h.tabPodoh = r.i8v();
    r.skip(1);
    for (auto& c : h.spz)
        for (u16& v : c) v = r.u16v();
    for (const HeadText& t : headTexts) h.*t.field = text(r, t.width, wide);
    const QString first = text(r, PspNomWidth, wide);
    h.pspNom = first + text(r, PspNomRestWidth, wide);
}

// Everything after the head up to the rows, in the same order in both forms.
void writeBody(ByteWriter& w, const EmployeeRecord& rec, bool wide)
{
    for (const NalvichEntry& e : rec.nalvich) e.write(w);
    for (const PostDoplEntry& e : rec.postDopl) e.write(w);
    rec.ssud.write(w);
    w.u16v(rec.warKv);
    // Only the entries up to the last one that is not blank are packed; the
    // blank ones after it pack to zero bytes, written as such.
    const int packed = ArchiveEntriesInUse(rec.waria);
    for (int i = 0; i < packed; ++i) rec.waria[std::size_t(i)].write(w);
    w.zeros(std::size_t(EmployeeRecord::ArchiveCapacity - packed) * WariaEntry::Size);
    for (const SberRow& s : rec.sber) s.write(w, wide);
    rec.ispol.write(w, wide);
    for (const RateHistoryEntry& e : rec.rates) {
        w.f64(e.rate);
        w.f64(e.second);
    }
}

// Whether the n bytes from `from` are all zero.
bool ZeroBytes(const char* from, std::size_t n)
{
    return std::all_of(from, from + n, [](char c) { return c == 0; });
}

// How many of the n bytes from `from` come before the trailing zero bytes
// (read a word at a time: the archive is mostly blank at its end).
std::size_t BytesBeforeTrailingZeros(const char* from, std::size_t n)
{
    std::size_t end = n;
    for (std::uint64_t word = 0; end >= sizeof word; end -= sizeof word) {
        std::memcpy(&word, from + end - sizeof word, sizeof word);
        if (word != 0)
            break;
    }
    while (end > 0 && from[end - 1] == 0) --end;
    return end;
}

// The record's bytes are `data`; zero bytes of an archive entry are a blank
// entry, which is what unpacking them gives.
void readBody(ByteReader& r, const char* data, EmployeeRecord& rec, bool wide)
{
    for (NalvichEntry& e : rec.nalvich) e = NalvichEntry::read(r);
    for (PostDoplEntry& e : rec.postDopl) e = PostDoplEntry::read(r);
    rec.ssud = SsudBlock::read(r);
    rec.warKv = r.u16v();
    rec.waria.assign(EmployeeRecord::ArchiveCapacity, WariaEntry{});
    const std::size_t inUse =
        BytesBeforeTrailingZeros(data + r.pos(), std::size_t(EmployeeRecord::ArchiveCapacity) * WariaEntry::Size);
    for (std::size_t at = 0; at < rec.waria.size(); ++at) {
        if (at * WariaEntry::Size >= inUse || ZeroBytes(data + r.pos(), WariaEntry::Size))
            r.skip(WariaEntry::Size);
        else
            rec.waria[at] = WariaEntry::read(r);
    }
    for (SberRow& s : rec.sber) s = SberRow::read(r, wide);
    rec.ispol = IspolBlock::read(r, wide);
    for (RateHistoryEntry& e : rec.rates) {
        e.rate = r.f64();
        e.second = r.f64();
    }
}

void write(const EmployeeRecord& rec, char* out, std::size_t size, std::size_t rowsOffset, bool wide)
{
    ByteWriter w(out, size);
    writeHead(w, rec.head, wide);
    writeBody(w, rec, wide);
    w.zeros(rowsOffset - w.pos());
    for (const AccrualRow& row : rec.rows) row.write(w);
}

void read(const char* in, std::size_t size, std::size_t rowsOffset, EmployeeRecord& rec, bool wide)
{
    ByteReader r(in, size);
    readHead(r, rec.head, wide);
    readBody(r, in, rec, wide);
    r.seek(rowsOffset);
    for (AccrualRow& row : rec.rows) row = AccrualRow::read(r);
}

} // namespace

int ArchiveEntriesInUse(const std::vector<WariaEntry>& waria)
{
    // Blank: every field zero and the sum +0 (a -0 is kept); the fields are
    // or-ed together into one test per entry.
    auto blank = [](const WariaEntry& e) {
        return (e.kod | e.mesVyd | e.godVyd | e.min | e.dn | e.mes | e.hr | e.god |
                std::bit_cast<std::uint64_t>(e.sum)) == 0;
    };
    int count = std::min(int(waria.size()), EmployeeRecord::ArchiveCapacity);
    while (count > 0 && blank(waria[std::size_t(count - 1)])) --count;
    return count;
}

void EmployeeRecordToSlot(const EmployeeRecord& rec, char* slot)
{
    write(rec, slot, EmployeeRecord::SlotSize, EmployeeRecord::RowsOffset, true);
}

void EmployeeRecordFromSlot(const char* slot, EmployeeRecord& rec)
{
    read(slot, EmployeeRecord::SlotSize, EmployeeRecord::RowsOffset, rec, true);
}

void RowsFromBytes(const char* bytes, int count, AccrualRow* rows)
{
    ByteReader r(bytes, std::size_t(count) * AccrualRow::Size);
    for (int i = 0; i < count; ++i) rows[i] = AccrualRow::read(r);
}

void EmployeeRecordToAnsi(const EmployeeRecord& rec, PackedEmployeeRecord& out)
{
    write(rec, out.bytes.data(), PackedEmployeeRecord::Size, PackedEmployeeRecord::RowsOffset, false);
}

void EmployeeRecordFromAnsi(const PackedEmployeeRecord& in, EmployeeRecord& rec)
{
    rec.clear();
    read(in.bytes.data(), PackedEmployeeRecord::Size, PackedEmployeeRecord::RowsOffset, rec, false);
}

} // namespace kalvor::infobase
