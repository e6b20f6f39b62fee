#pragma once
// The merge of report data files written by the report runs of several
// bases: the files of one report and period are added up into the
// document's report values (the headcount into one sum), "inval" is rebuilt
// from the records that follow the values of pension-fund and 4-FSS files,
// and the merged report is then made with the files' period.
#include "payroll/PayrollDocument.h"
#include "reports/social/GenrDataFile.h"
#include "reports/social/ReportRun.h"

#include <QString>

#include <vector>

namespace kalvor::reports {

struct GenrMerged {
    GenrDataHeader header; // the first file's; tag 0 when the list was empty
    double headcount = 0; // tag 14: the sum of the files' values
    ReportSelection selection; // tag 15: the first file's pack and department numbers
    QString failedFile; // the file a failure was found in
    QString refusal; // BadValue: the message naming the file, the record and the value
};

// Merges the files of the tag in list order. The report values are cleared
// first (tags 10, 15, 17) and "inval" emptied (tags 15, 17), so that an
// empty list gives a report of zeros without the disabled employees of an
// earlier run. Value 170 of a 4-FSS file (the accidents rate) is the first
// file's. A part record after the values is dropped. On a failure the files
// read so far stay added.
GenrReadStatus MergeGenrDataFiles(const std::vector<QString>& files, int tag, PayrollDoc& doc, GenrMerged& merged);

// While it lives, the document's reporting period is the merged files' (so
// that the writers label the report with it and the 4-FSS writers of the
// period's form are chosen); the period of the base's configuration comes
// back when it goes. Nothing for an empty merge.
class MergedReportPeriod {
public:
    MergedReportPeriod(PayrollDoc& doc, const GenrMerged& merged);
    ~MergedReportPeriod();
    MergedReportPeriod(const MergedReportPeriod&) = delete;
    MergedReportPeriod& operator=(const MergedReportPeriod&) = delete;

private:
    infobase::InfoBaseConfig& config_;
    decltype(infobase::InfoBaseConfig::r_g) year_;
    decltype(infobase::InfoBaseConfig::r_m1) firstMonth_;
    decltype(infobase::InfoBaseConfig::r_m2) lastMonth_;
};

} // namespace kalvor::reports
