#pragma once
// The current employee's record (one slot of the swap work file) and its
// 8-bit form. Layouts: docs/record-layouts.md.
#include "infobase/Records.h"

#include <QString>

#include <array>
#include <utility>
#include <vector>

namespace kalvor::infobase {

// Master row and passport (dbo.konst, dbo.pasport).
struct EmployeeHead {
    QString fio;
    double oklad = 0, nadbav = 0, avans = 0; // kopecks
    double stavka = 0; // percent of a full position
    Tariff3 tarifSdel, tarifVrem;
    u16 datR = 0, datPr1 = 0, datUv1 = 0, datPr2 = 0, datUv2 = 0, datSevStag = 0, officerDatStag = 0, inostrDatPr = 0,
        inostrDatOt = 0, inostrDatVidGit = 0, imvichDat = 0; // PackedDate
    u16 invDat1Begin = 0, invDat1End = 0, invDat2Begin = 0, invDat2End = 0; // year * 16 + month
    i8 tabPodoh = 0;
    QString pol; // sex letter
    u8 procVech = 0, procNoch = 0; // evening and night surcharge percents, 0 = default
    u16 dolgKod = 0, profKod = 0;
    u8 profNadb = 0;
    // flags word: 0 officer, 1 srZarabDnChas, 2 inostrNrez, 3 status, 4-5 dogVid,
    // 6-7 invGr, 8 altTab, 9 inostr, 10 inostrVidGit, 11 obosob, 12 inostrSV
    u32 flags = 0;
    u16 inostrDnPrRF = 0;
    QString officerTitle;
    u16 vmenWord = 0; // bit 0 vmen, bits 1-12 vmenMes1..12
    u8 vmenMarker = 0; // 123 = valid
    u8 vmenAsk0 = 0;
    u32 imvichBeg = 0, imvichNY = 0, imvichOst = 0, imvichAmt2 = 0; // 29-bit kopecks, top bits kept
    u32 dedMonths = 0; // 29-bit deduction-month word
    QString imvichSprNom, imvichSprKodNO, imvichSprDat;
    // Passport and addresses.
    QString strahPolis, INN, gitPhone, dolgName, dolgDat, pspKod, pspStr, pspSer, pspNom, pspDat, pspKem, bdStr, bdReg,
        bdRaj, bdGorod, propKodStr, propKodReg, propReg, propRaj, propGorod, propPunkt, propUl, propDom, propKorp,
        propKv, propInd, GNI, gitKodStr, gitInd, gitAdr, kuplAdr, dogNom, invSprSer, invSprNom, invSprDat;
    u8 married = 0;
    u16 children = 0;
    std::array<std::array<u16, 3>, 6> spz{}; // cost codes 0..5: ch, sc, au

    bool flag(int bit) const { return (flags >> bit) & 1; }
    friend bool operator==(const EmployeeHead&, const EmployeeHead&) = default;
};

// One entry of the twelve monthly rates: the rate (kopecks) and a second value.
struct RateHistoryEntry {
    double rate = 0;
    double second = 0;
    friend bool operator==(const RateHistoryEntry&, const RateHistoryEntry&) = default;
};

struct EmployeeRecord {
    static constexpr std::size_t SlotSize = 48'623;
    static constexpr std::size_t RowsOffset = 47'237;
    static constexpr int RowCount = 66;
    // Rows 0-59 are the month's (its entered rows, then those the run
    // computed); 60-65 wait for later months and are none of this month's money.
    static constexpr int MonthRowCount = 60;
    static constexpr int ArchiveCapacity = 1200;

    EmployeeHead head;
    std::array<NalvichEntry, 10> nalvich{};
    std::array<PostDoplEntry, 21> postDopl{};
    std::array<SberRow, 20> sber{};
    IspolBlock ispol;
    SsudBlock ssud;
    u16 warKv = 0;
    std::vector<WariaEntry> waria = std::vector<WariaEntry>(ArchiveCapacity);
    std::array<RateHistoryEntry, 12> rates{};
    std::array<AccrualRow, RowCount> rows{};

    void clear() { *this = EmployeeRecord{}; }
    friend bool operator==(const EmployeeRecord&, const EmployeeRecord&) = default;
};
static_assert(EmployeeRecord::RowsOffset + EmployeeRecord::RowCount * AccrualRow::Size == EmployeeRecord::SlotSize);

// Month rows, each with its place in the record (its number in dbo.proizv or
// dbo.zarp), in rising numbers.
using NumberedRows = std::vector<std::pair<int, AccrualRow>>;

// The dated archive, kept beside the current record (it does not fit in the slot).
struct WarDatBlock {
    static constexpr int Capacity = 1200;
    u16 warDatKv = 0;
    std::vector<WarDatEntry> entries = std::vector<WarDatEntry>(Capacity);
    void clear() { *this = WarDatBlock{}; }
    friend bool operator==(const WarDatBlock&, const WarDatBlock&) = default;
};

// The 8-bit form of the record.
struct PackedEmployeeRecord {
    static constexpr std::size_t Size = 35'151;
    static constexpr std::size_t RowsOffset = 33'765;
    static constexpr std::size_t OkladOffset = 128;
    static constexpr std::size_t TarifSdelOffset = 144;
    static constexpr std::size_t TarifVremOffset = 147;
    static constexpr std::size_t FlagsOffset = 166;
    static constexpr std::size_t TabPodohOffset = 232;
    std::array<char, Size> bytes{};
};
static_assert(PackedEmployeeRecord::RowsOffset + EmployeeRecord::RowCount * AccrualRow::Size ==
              PackedEmployeeRecord::Size);

// The archive entries up to the last one that is not blank (a blank entry is
// the default one with a sum of +0, which packs to zero bytes): those that a
// slot holds; the blank ones after them are what reading a slot gives.
int ArchiveEntriesInUse(const std::vector<WariaEntry>& waria);

// Writes the record into a 48,623-byte slot (wide texts) and reads it back.
void EmployeeRecordToSlot(const EmployeeRecord& rec, char* slot);
void EmployeeRecordFromSlot(const char* slot, EmployeeRecord& rec);
// The row block alone (66 rows, 1,386 bytes), as it lies at RowsOffset.
void RowsFromBytes(const char* bytes, int count, AccrualRow* rows);

// 8-bit conversions.
void EmployeeRecordToAnsi(const EmployeeRecord& rec, PackedEmployeeRecord& out);
void EmployeeRecordFromAnsi(const PackedEmployeeRecord& in, EmployeeRecord& rec);

} // namespace kalvor::infobase
