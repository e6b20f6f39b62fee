#pragma once
// What every builder of the report generator starts from and how it ends:
// the selection that its task view hands over, the reporting period of the
// base's configuration with the defaults settled in one place, and the
// results of a run.
#include "infobase/InfoBase.h"
#include "infobase/InfoBaseDb.h"
#include "infobase/KalvorDocData.h"

#include <QString>

#include <cstdint>

namespace kalvor::reports {

// Results of a builder. Negative results are codes of ReportErrorTexts.
enum GenrRunResult : int {
    GenrDone = 0,
    GenrStopped = 1, // stopped through the stop event: nothing written or printed
    GenrFileFailed = 2, // the report data file could not be written (GenrRunDetail::fileError)
    GenrPrintFailed = 3, // the print form could not be made (GenrRunDetail::text)
    GenrRefused = 4, // the period cannot be reported: nothing printed (GenrRunDetail::text says why)
};

// What a run tells its task thread besides the result: the FileErrorKind of
// a failed data file, and the text of a print-form failure, or of a viewer
// that could not be started after the form was written.
struct GenrRunDetail {
    int fileError = 0;
    QString text;
};

// The selection block of a report run. A field of 0 means no restriction.
// The pack and department numbers of the pension-fund run are kept in 32 bits
// (the parameters screen accepts department codes up to 999999); they travel
// in the report values as doubles, so no file layout changes with them.
struct ReportSelection {
    std::uint8_t shop = 0;
    std::uint8_t brigade = 0;
    std::uint16_t profession = 0;
    std::int32_t orgPackNumber = 0;
    std::int32_t deptPackNumber = 0;
    std::uint16_t tabN = 0;
    std::int32_t deptCode = 0;

    // The same restriction in the form the loaders and swap runs take.
    infobase::Selection toInfoBaseSelection(int markedCount) const;
};

// The selection test of the builders, for one entry of the current employee
// list: with markedCount 0 the entry must carry the selection's personnel
// number when one is set, otherwise it must have one of its three selection
// bits set; then shop, brigade and profession must match where set.
bool SelectsReportEmployee(const infobase::CInfoBase& base, const infobase::EmployeeListEntry& entry,
                           const ReportSelection& selection, int markedCount);

// The reporting period of a run: full year, first and last month 1-12.
struct ReportPeriod {
    int year = 0;
    int firstMonth = 1;
    int lastMonth = 12;

    // year - 1900, the period byte of data files and of the parameters.
    int yearByte() const { return year - 1900; }
    // Period bounds as year * 16 + month.
    int begin() const { return MonthKey(year, firstMonth).value(); }
    int end() const { return MonthKey(year, lastMonth).value(); }
    // Months as (year - 1900) * 12 + month, the form of the swap selection
    // and of the tax tables.
    int firstMonthIndex() const { return MonthIndex(year, firstMonth); }
    int lastMonthIndex() const { return MonthIndex(year, lastMonth); }
};

// The rules in which the reports differ. The pension-fund report and the
// 4-FSS always start in January; they cover at least the first quarter and
// end with a quarter, their reporting periods. The pension report asks no
// first month and takes January whatever the parameters hold; the 4-FSS
// shows the first month, and its screen and its builders refuse any but
// January, so that no run of it computes or names another period.
struct ReportPeriodRules {
    bool fromJanuary = false; // from January, no first month asked
    int minimumLastMonth = 1;
    bool endsWithQuarter = false;
    bool januaryTyped = false; // from January, the first month asked and refused when another

    bool startsInJanuary() const { return fromJanuary || januaryTyped; }
};

// A report's form: the name its files carry ("<base>-RSV1-2011-09.rtf") and
// the rules of its period, declared once for every place that makes, merges
// or names the report.
struct ReportForm {
    const char* name;
    ReportPeriodRules period;
    // A form of one employee each (cards, certificates, T-54): a run for one
    // employee names its file after the employee's personnel number.
    bool ofEmployee = false;
};
inline constexpr ReportForm kPensionReport{"RSV1", {true, 3, true}};
inline constexpr ReportForm kFss4Report{"4FSS", {false, 3, true, true}};
inline constexpr ReportForm kHeadcountReport{"SSCh", {}};
inline constexpr ReportForm kInjuryReport{"ProfTravm", {}};
inline constexpr ReportForm kSocialTaxCards{"KartESN", {}, true};
inline constexpr ReportForm kTwoYearCertificate{"Spravka2", {}, true};
inline constexpr ReportForm kTaxRegisterReport{"NalReg", {}};
inline constexpr ReportForm kIncomeRegisterReport{"ReestrNDFL", {}};
inline constexpr ReportForm kMonthlyCertificate{"SpravkaMes", {}, true};
inline constexpr ReportForm kT54Form{"T54", {}, true};

// The period of the generator's parameters (r_g, r_m1, r_m2 of the base's
// configuration): a year of 0 is the year of the base's reporting month, a
// first month of 0 is January, a last month of 0 is December; then the
// report's own rules. Every builder takes its period from here.
ReportPeriod ResolveReportPeriod(const infobase::InfoBaseConfig& config, const ReportPeriodRules& rules = {});

// The period that a report screen offers when it opens: from January (or the
// parameters' first month when the report may start later) to the base's
// reporting month, in the reporting month's year; for a report that ends
// with a quarter, the last of its periods that ends at or before the base's
// reporting month (April 2011: January - March 2011; January 2012: the year
// 2011).
ReportPeriod OfferedReportPeriod(const infobase::InfoBaseConfig& config, const ReportPeriodRules& rules = {});
// Why the period typed on a report screen cannot be reported, empty when it
// can: a first month other than January where the report starts in January
// (named), months that run backwards or end before the report's least period, a
// last month that ends no quarter where the report asks for one, a last
// month after the base's reporting month (which has not happened).
QString ReportPeriodRefusal(const ReportPeriod& period, const infobase::InfoBaseConfig& config,
                            const ReportPeriodRules& rules);
// Makes the period the generator's parameters (r_g, r_m1, r_m2), so that the
// builders, the forms and the files all take it. A year not set stays not set
// while it is the base's reporting year (the reports follow the base into the
// next year), and the first month of a report that always starts in January
// stays as the other reports have it.
void SetReportPeriod(infobase::InfoBaseConfig& config, const ReportPeriod& period, const ReportPeriodRules& rules = {});
// The work-file path of a report's print form, named after the form, the
// period's last month and, for a form of one employee each run for one
// employee (tabN not 0), the employee's personnel number ("<base>-RSV1-2011-09.typ", whose form is the same path
// ending in .rtf), so that no report's print overwrites another's.
QString ReportFormPath(const infobase::KalvorDocData& doc, const ReportForm& form, int tabN = 0);
// "Отчетный период: январь - сентябрь 2011 г." (one month: "сентябрь 2011 г.").
QString ReportPeriodLine(const ReportPeriod& period);
// The line of the period the report computes from the parameters as they
// stand, for the screens that show it.
QString ReportPeriodLine(const infobase::InfoBaseConfig& config, const ReportForm& form);

// Whether a builder refuses the period (code -2, "ошибка в датах отчетного
// периода"): months that run backwards, or a first month other than January
// for a report that starts in January.
bool ReportPeriodRefusedByBuilder(const ReportPeriod& period, const ReportPeriodRules& rules);

// True when the period's year lies after the year of the base's reporting
// month (the builders that check it refuse with code -2, "ошибка в датах
// отчетного периода").
bool ReportYearAfterBase(const ReportPeriod& period, const infobase::InfoBaseConfig& config);

// A firm text as the 8-bit firm record holds it: windows-1251, blank-padded
// to 119 characters.
QByteArray PaddedFirmText(const infobase::FirmInfo& firm, infobase::FirmInfo::Text which);

} // namespace kalvor::reports
