#pragma once
// The insured persons export for the pension fund: the choices of the export
// (kind and format), the options and totals that its record writers share,
// the region names of the text records, the period tests that choose the
// employees of a pack, what the driver hands to a record writer, and the pack
// heads. The driver and its worker are in PfrExportDriver.h.
//
// A pack is a text pack (windows-1251 lines of quoted fields, CR LF) written
// into the base's ".typ" work file and then copied under its final name, or an
// XML file in the working folder. Every file goes out under a temporary name
// and takes its real name only when the run is complete, so a stopped or
// failed run leaves the files of the previous run as they were.
#include "exchange/PfrPackFiles.h"
#include "payroll/PayrollDocument.h"
#include "values/Values.h"

#include <QByteArray>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>

namespace kalvor::exchange {

// What is exported: questionnaires (0) or a part of the report year's data.
enum PfrExportKind : int {
    PfrQuestionnaires = 0,
    PfrYear = 1,
    PfrFirstHalf = 2,
    PfrSecondHalf = 3,
    PfrNineMonths = 4,
    PfrQuarter1 = 5,
    PfrQuarter2 = 6,
    PfrQuarter3 = 7,
    PfrQuarter4 = 8,
    PfrLastKind = 8,
};

// The layout of the pack: XML (0-3) or text (4-7).
enum PfrFormat : int {
    PfrSzv62 = 0, // СЗВ-6-2, one period of service
    PfrSzv61 = 1, // СЗВ-6-1, several periods
    PfrOoi1 = 2, // ООИ, one period
    PfrOoiN = 3, // ООИ, several periods
    PfrSzv42 = 4, // СЗВ-4-2, text
    PfrSzv41 = 5, // СЗВ-4-1, text
    PfrOazis4 = 6, // ОАЗИС 4.0, text
    PfrOazis3 = 7, // ОАЗИС 3.0, text
    PfrLastFormat = 7,
};

inline bool IsPfrXmlFormat(int format) { return format >= PfrSzv62 && format <= PfrOoiN; }

// The months of the report year that a kind covers (0 and 0 for questionnaires).
struct PfrKindMonths {
    int first = 0;
    int last = 0;
};
PfrKindMonths PfrMonthsOfKind(int kind);

// The help lists of the kind and format fields: "code|name" lines.
QStringList PfrExportKindHelpLines();
QStringList PfrFormatHelpLines();

// The options that the worker hands to the driver and the driver to the
// record writers, which only read them.
struct PfrExportOptions {
    std::uint8_t kind = 0;
    std::uint8_t shop = 0;
    std::uint8_t brigade = 0;
    std::uint16_t profession = 0;
    std::int16_t packNumber = 0; // as typed; 0: left empty
    std::uint16_t personnelNumber = 0;
};

// The pack number of a run: the form's number, or for 0 pack 2 in format 1
// and pack 1 in every other format.
int PfrDefaultPackNumber(int packNumber, int format);

// The amounts (kopecks) that the record writers add up in the counting pass
// and the pack head prints.
struct PfrPackTotals {
    std::array<double, 3> earnings{};
    double earningsExtra = 0;
    double insuranceAccrued = 0;
    double fundedAccrued = 0;
    double insurancePaid = 0;
    double fundedPaid = 0;
};

// The region name of a two-digit region code; empty for a code outside the
// table (the writer then takes the address's own region text).
QString PfrRegionName(int code);

// The report year: the firm parameters' year (stored as year - 1900), or the
// year of the current month when it is not set.
int PfrReportYear(const infobase::InfoBaseConfig& config);

// ------------------------------------------------------------- period tests

// What the period tests read of one employee.
struct PfrPeriodFacts {
    PackedDate hired, dismissed; // first employment (datPr1, datUv1)
    PackedDate hired2, dismissed2; // second employment (datPr2, datUv2)
    std::array<int, 2> disabilityBegin{}; // year * 16 + month
    std::array<int, 2> disabilityEnd{}; // 0 = open
};
PfrPeriodFacts PfrPeriodFactsOf(const infobase::EmployeeHead& head);

// The verdict of the tests before the contribution check (steps 1-4).
struct PfrEmployment {
    bool employed = false; // step 1 (or 2 standing in for it)
    bool second = false; // step 2, as step 4 leaves it
    bool disabled = false; // step 3
    int firstMonth = 0; // the months of the period the employee worked, for step 5
    int lastMonth = 0;
};
PfrEmployment PfrEmploymentInPeriod(const PfrPeriodFacts& facts, int year, PfrKindMonths period);

// Steps 6-8 once the contribution check and the dated archive are known:
// true when the employee goes into a pack of this format.
bool PfrTakesEmployee(const PfrEmployment& employment, bool contributions, bool datedArchive, int format);

// --------------------------------------------------------------- the record writers

// What the driver hands to the record writer of one employee.
struct PfrRecordCall {
    int pass = 0; // 0 counts, 1 writes
    int recordNumber = 0; // 1-based within the pass
    int slot = 0; // record slot
    int personnelNumber = 0;
    int format = 0;
    PfrKindMonths months; // the kind's months of the report year
    QByteArray indentation; // the XML indentation (two TABs at every record)
    const PfrExportOptions* options = nullptr;
    PfrPackTotals* totals = nullptr;
    PfrPackWriter* pack = nullptr;
    PfrPackWriter* noPension = nullptr;
    PayrollDoc* doc = nullptr;
};

// A record writer: 0 the record is counted or written, a positive value
// leaves the employee out, a negative code ends the export with it.
using PfrRecordWriter = std::function<int(PfrRecordCall&)>;

// The text head of a pack (ЗГЛВ, РБТД, ПАЧК, ТИПД) as windows-1251 bytes;
// the record type and count of the ТИПД line are given.
QByteArray PfrTextHead(int format, int packNumber, int reportYear, const PfrPackTotals& totals,
                       const QByteArray& recordType, int recordCount, const infobase::FirmInfo& firm,
                       const QDate& today);
// The record type that the ТИПД line declares for a kind and format.
QByteArray PfrRecordType(int kind, int format);

// The quarter that a pack's inventory states: 4 for the year, 1 for any other kind.
int PfrInventoryQuarter(int kind);
// The XML file name "PFR-700-Y-...XML" for the year and pack
// (reports::PensionFundFileName).
QString PfrXmlFileName(const infobase::FirmInfo& firm, int reportYear, int packNumber);
// The XML envelope before the records and after them.
QByteArray PfrXmlHead(int kind, int format, int packNumber, int reportYear, int recordCount,
                      const PfrPackTotals& totals, const infobase::FirmInfo& firm, const QDate& today);
QByteArray PfrXmlTail();

} // namespace kalvor::exchange
