// The pack driver of the insured persons export and its worker: the choice
// of the employees, the counting and the writing pass, the pack heads and
// the final name of a text pack.
#include "exchange/PfrExportDriver.h"

#include "exchange/PfAnketa.h"
#include "exchange/PfSzv6Xml.h"
#include "exchange/PfTextRecords.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/RunOutcome.h"
#include "platform/WorkingFolder.h"
#include "reports/social/EmployeeContributions.h"
#include "values/Clock.h"
#include "values/InsuranceNumber.h"
#include "values/Messages.h"

#include <QDate>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <memory>
#include <vector>

namespace kalvor::exchange {

using infobase::CInfoBase;
using infobase::EmployeeListEntry;

namespace {

// The fifth contribution kind of the "sbor" list is the pension insurance.
constexpr int kPensionKind = 4;

// Closes the swap work file however the run ends.
struct SwapFileCloser {
    CInfoBase& base;
    ~SwapFileCloser() { base.CloseSwapFile(); }
};

// One run's state between the steps of the driver.
struct PfrPackRun {
    PfrPackRun(const PfrExportRun& run, PayrollDoc& doc, std::stop_token stop) : run(run), doc(doc), stop(stop) {}

    const PfrExportRun& run;
    PayrollDoc& doc;
    std::stop_token stop;
    int year = 0;
    int packNumber = 0;
    PfrKindMonths months;
    PfrRecordWriter writer;
    PfrPackTotals totals;
    QDate today;
    std::unique_ptr<PfrPackWriter> pack; // the text pack (the work file)
    std::unique_ptr<PfrPackWriter> noPension; // "no_pensN.txt"
    std::unique_ptr<PfrPackWriter> xml; // the XML file, made at its first record
    int countedRecords = 0;
    int chosenCount = 0;
    bool headWritten = false;
    RunOutcome said; // what the run says about its employees

    bool xmlFormat() const { return IsPfrXmlFormat(run.format); }
    int kind() const { return run.options.kind; }
};

// The step-5 test of the selection: marked employees, or the personnel
// number, and the shop, brigade and profession where given.
bool Chosen(const CInfoBase& base, const EmployeeListEntry& entry, const PfrExportRun& run)
{
    const PfrExportOptions& o = run.options;
    if (run.selectedCount != 0) {
        if (!entry.marked())
            return false;
    } else if (o.personnelNumber != 0 && entry.tabN() != o.personnelNumber) {
        return false;
    }
    return base.EmployeeInGroup(entry.slot, o.shop, o.brigade, o.profession);
}

// Writes the chosen employees with their archive from January to the end of
// the report period into the swap work file and opens it.
void SelectEmployeesToSwap(PfrPackRun& r)
{
    const infobase::InfoBaseConfig& config = r.doc.infoBase.config;
    const int lastMonth = config.r_m2 >= 1 && config.r_m2 <= 12 ? config.r_m2 : 12;
    infobase::Selection selection;
    selection.shop = r.run.options.shop;
    selection.brigade = r.run.options.brigade;
    selection.profession = r.run.options.profession;
    selection.tabN = r.run.selectedCount != 0 ? 0 : r.run.options.personnelNumber;
    selection.flag = r.run.selectedCount != 0 ? 1 : 0;
    infobase::SelectPeriodToSwap(r.doc.infoBase, MonthIndex(r.year, 1), MonthIndex(r.year, lastMonth), selection, r.stop);
    r.doc.infoBase.OpenSwapFile();
}

// Step 5 of the period tests: a pension contribution base in the months the
// employee worked, or contributions paid in the firm's report period.
int HasPensionContributions(PfrPackRun& r, int slot, const PfrEmployment& employment, bool& found)
{
    found = false;
    const infobase::InfoBaseConfig& config = r.doc.infoBase.config;
    const int firstRow = r.doc.infoBase.attributesOf(slot).kvProizv;
    reports::EmployeeContributions worked;
    int result = reports::ContributionsOfMonths(r.doc, MonthKey(r.year, employment.firstMonth).value(),
                                                MonthKey(r.year, employment.lastMonth).value(), firstRow,
                                                reports::kAllContributionKinds, worked);
    if (result < 0 || worked.kindCount <= kPensionKind)
        return std::min(result, 0);
    found = worked.prior(kPensionKind).baseLessAllowance + worked.own(kPensionKind).baseLessAllowance > 0;
    if (found || config.r_m1 < 1 || config.r_m2 < config.r_m1 || config.r_m2 > 12)
        return 0;
    reports::EmployeeContributions reported;
    result = reports::ContributionsOfMonths(r.doc, MonthKey(r.year, config.r_m1).value(), MonthKey(r.year, config.r_m2).value(),
                                            firstRow, reports::kAllContributionKinds, reported);
    if (result < 0)
        return result;
    found = reported.prior(kPensionKind).last + reported.own(kPensionKind).last != 0;
    return 0;
}

// The period tests of the employee just read: 1 takes it, 0 skips it, a
// negative code ends the export.
int PassesPeriodTests(PfrPackRun& r, int slot)
{
    const PfrEmployment employment =
        PfrEmploymentInPeriod(PfrPeriodFactsOf(r.doc.infoBase.current.head), r.year, r.months);
    bool contributions = false;
    if (!employment.employed && !employment.second) {
        if (const int result = HasPensionContributions(r, slot, employment, contributions); result < 0)
            return result;
    }
    bool datedArchive = false;
    if (r.xmlFormat())
        datedArchive = infobase::LoadWarDat(r.doc.infoBase, slot, r.months.first, r.months.last, r.year) != 0;
    return PfrTakesEmployee(employment, contributions, datedArchive, r.run.format) ? 1 : 0;
}

void WritePackHead(PfrPackRun& r)
{
    const infobase::FirmInfo& firm = r.doc.infoBase.firm;
    if (!r.xmlFormat()) {
        const int count = r.kind() == PfrQuestionnaires ? r.chosenCount : r.countedRecords;
        r.pack->write(PfrTextHead(r.run.format, r.packNumber, r.year, r.totals, PfrRecordType(r.kind(), r.run.format),
                                  count, firm, r.today));
        return;
    }
    r.xml = std::make_unique<PfrPackWriter>(r.run.outputFolder + PfrXmlFileName(firm, r.year, r.packNumber));
    r.xml->write(PfrXmlHead(r.kind(), r.run.format, r.packNumber, r.year, r.countedRecords, r.totals, firm, r.today));
}

// Whether the records of the run write the insurance number: all but the
// questionnaires of the formats other than "Оазис 4".
bool WritesInsuranceNumber(const PfrPackRun& r)
{
    return r.kind() != PfrQuestionnaires || r.run.format == PfrOazis4;
}

// A record that writes the card's insurance number with a wrong check
// number says so, naming the employee: the file holds what the card holds.
void SayWrongCheckNumber(PfrPackRun& r, const EmployeeListEntry& entry)
{
    const QString& number = r.doc.infoBase.current.head.strahPolis;
    const InsuranceNumberCheck check = CheckInsuranceNumber(number);
    if (!check.wrong() || !WritesInsuranceNumber(r))
        return;
    r.said.note(RunNote::Warned, r.doc.infoBase, entry.slot,
                QStringLiteral("неверное контрольное число страхового номера %1 (по цифрам номера - %2): в файл "
                               "записан номер из карточки, исправьте его")
                    .arg(number.trimmed(), check.computedText()));
}

// The record writer of one employee in one pass.
int WriteRecord(PfrPackRun& r, int pass, int recordNumber, const EmployeeListEntry& entry)
{
    if (pass == 1)
        SayWrongCheckNumber(r, entry);
    if (r.kind() == PfrQuestionnaires && pass == 1)
        return WritePfAnketa(recordNumber, entry.tabN(), *r.pack, *r.noPension, r.run.format, r.doc, r.today);
    if (!r.writer)
        return 0;
    PfrRecordCall call;
    call.pass = pass;
    call.recordNumber = recordNumber;
    call.slot = entry.slot;
    call.personnelNumber = entry.tabN();
    call.format = r.run.format;
    call.months = r.months;
    call.indentation = QByteArray(2, '\t');
    call.options = &r.run.options;
    call.totals = &r.totals;
    call.pack = r.xml ? r.xml.get() : r.pack.get();
    call.noPension = r.noPension.get();
    call.doc = &r.doc;
    return r.writer(call);
}

// One pass over the chosen employees; returns 0, 1 when stopped, or a
// negative code. Leaves the pass's record count in `records`.
int RunPass(PfrPackRun& r, const std::vector<EmployeeListEntry>& chosen, int pass, int& records)
{
    records = 0;
    for (const EmployeeListEntry& entry : chosen) {
        if (r.stop.stop_requested())
            return 1;
        CInfoBase& base = r.doc.infoBase;
        if (!base.swap.readSlot(entry.slot, base.current))
            throw TextError(kMsgReadFailed);
        if (r.kind() != PfrQuestionnaires) {
            const int verdict = PassesPeriodTests(r, entry.slot);
            if (verdict < 0)
                return verdict;
            if (verdict == 0)
                continue;
        }
        ++records;
        if (pass == 1 && !r.headWritten) {
            WritePackHead(r);
            r.headWritten = true;
        }
        const int result = WriteRecord(r, pass, records, entry);
        if (result < 0)
            return result;
        if (result > 0)
            --records;
    }
    return 0;
}

std::vector<EmployeeListEntry> ChosenEntries(const PfrPackRun& r, bool& stopped)
{
    std::vector<EmployeeListEntry> chosen;
    stopped = false;
    for (const EmployeeListEntry& entry : r.doc.infoBase.list) {
        if (r.stop.stop_requested()) {
            stopped = true;
            break;
        }
        if (Chosen(r.doc.infoBase, entry, r.run))
            chosen.push_back(entry);
    }
    return chosen;
}

// Gives every file written its real name.
void CommitFiles(PfrPackRun& r, int writtenRecords)
{
    if (r.xml && writtenRecords > 0)
        r.xml->write(PfrXmlTail());
    r.pack->commit();
    r.noPension->commit();
    if (r.xml)
        r.xml->commit();
}

PfrExportResult Ended(int code)
{
    PfrExportResult result;
    result.code = code;
    return result;
}

} // namespace

PfrRecordWriter PfrRecordWriterFor(int format)
{
    if (IsPfrXmlFormat(format))
        return WritePfSzv6Xml;
    if (format == PfrSzv42 || format == PfrSzv41 || format == PfrOazis4)
        return WritePfIn4Record;
    if (format == PfrOazis3)
        return WritePfIndsRecord;
    return {};
}

PfrExportResult ExportPensionFund(std::stop_token stop, const PfrExportRun& run, PayrollDoc& doc)
{
    if (run.options.kind == PfrQuestionnaires && IsPfrXmlFormat(run.format))
        return Ended(-34);
    PfrPackRun r(run, doc, stop);
    r.year = PfrReportYear(doc.infoBase.config);
    r.packNumber = PfrDefaultPackNumber(run.options.packNumber, run.format);
    if (r.xmlFormat()) {
        // The pack goes under a number of its own: a file of another report
        // at its name stays.
        const reports::PackNumberChoice pack = reports::ChoosePackNumber(
            run.options.packNumber, r.packNumber,
            [&](int number) { return run.outputFolder + PfrXmlFileName(doc.infoBase.firm, r.year, number); },
            PfSzv6PackMarkers(run.options.kind, run.format, doc.infoBase.firm));
        if (!pack.refusal.isEmpty())
            throw TextError(pack.refusal);
        r.packNumber = pack.number;
    }
    r.months = PfrMonthsOfKind(run.options.kind);
    r.writer = run.writer ? run.writer : PfrRecordWriterFor(run.format);
    r.today = Clock::today();
    if (run.options.kind != PfrQuestionnaires)
        infobase::LoadGraph(doc.infoBase);

    SelectEmployeesToSwap(r);
    SwapFileCloser closer{doc.infoBase};
    r.pack = std::make_unique<PfrPackWriter>(run.workFile);
    r.noPension = std::make_unique<PfrPackWriter>(run.outputFolder + QStringLiteral("no_pensN.txt"));

    bool stopped = false;
    const std::vector<EmployeeListEntry> chosen = ChosenEntries(r, stopped);
    if (stopped)
        return Ended(1);
    if (chosen.empty())
        return Ended(-1);
    r.chosenCount = int(chosen.size());
    int written = 0;
    if (const int result = RunPass(r, chosen, 0, r.countedRecords); result != 0)
        return Ended(result);
    if (const int result = RunPass(r, chosen, 1, written); result != 0)
        return Ended(result);
    CommitFiles(r, written);
    PfrExportResult done;
    done.recordCount = written;
    done.xmlFile = r.xml ? r.xml->path() : QString();
    done.said = r.said.lines();
    return done;
}

// ------------------------------------------------------------- the worker

namespace {

PfrExportRun RunOfParams(const ZastrahLicSvedParams& params, PayrollDoc& doc)
{
    PfrExportRun run;
    run.workFile = doc.TypWorkFile();
    run.outputFolder = platform::WithSeparator(doc.infoBase.workFolder.isEmpty() ? platform::WorkingFolder()
                                                                                 : doc.infoBase.workFolder);
    run.format = params.format;
    run.options.kind = std::uint8_t(params.kind);
    run.options.shop = std::uint8_t(params.shop);
    run.options.brigade = std::uint8_t(params.brigade);
    run.options.profession = std::uint16_t(params.profession);
    run.options.personnelNumber = std::uint16_t(params.personnelNumber);
    run.options.packNumber = std::int16_t(params.packNumber); // 0: left empty, the driver chooses
    run.selectedCount = CountMarkedEmployees(doc.infoBase, params);
    return run;
}

} // namespace

platform::TaskOutcome ZastrahLicSvedThreadProc(platform::TaskContext& context, const ZastrahLicSvedParams& params,
                                               PayrollDoc& doc, const ExchangeMessenger& messenger)
{
    return RunExchangeWorker(context, messenger, ExchangeCodeFamily::WholeTable, [&](platform::TaskContext& c) {
        const PfrExportRun run = RunOfParams(params, doc);
        const PfrExportResult result = ExportPensionFund(c.stopToken(), run, doc);
        if (result.code == -34 && run.options.kind == PfrQuestionnaires && IsPfrXmlFormat(run.format))
            throw TextError("Экспорт анкет в формате XML будет доступен позднее");
        if (result.code < 0)
            return platform::TaskOutcome(result.code);
        if (result.code > 0)
            return platform::TaskOutcome(platform::TASK_DONE);
        // A pack without records replaces no earlier pack.
        if (result.recordCount == 0)
            return platform::TaskOutcome(-1);
        QString pack = result.xmlFile;
        if (!IsPfrXmlFormat(run.format))
            pack = CopyQuestionnaireFile(run.options, run.workFile, run.outputFolder, doc);
        QStringList said = result.said;
        said << platform::WrittenFileLine(pack);
        const QString noPension = run.outputFolder + QStringLiteral("no_pensN.txt");
        if (QFileInfo(noPension).size() > 0)
            said << platform::WrittenFileLine(noPension, QStringLiteral("работники без страхового номера"));
        return platform::TaskOutcome(platform::TASK_DONE, 0, said.join(QLatin1Char('\n')));
    });
}

} // namespace kalvor::exchange
