#pragma once
// The pack driver of the insured persons export and its worker: the record
// writer of each format, the run and what it wrote, and the worker that runs
// the export from the screen.
#include "exchange/ExchangeWorker.h"
#include "exchange/PfrExport.h"
#include "payroll/PayrollDocument.h"

#include <QString>
#include <QStringList>

#include <stop_token>

namespace kalvor::exchange {

// The record writer of kinds 1-8 in a format: the СЗВ-6 record for formats
// 0-3, the ИН42/ИНДС record for 4-6 and the ИНДС record for 7; an empty
// function for a format without one (the view then offers questionnaires only).
PfrRecordWriter PfrRecordWriterFor(int format);

// Where and with what the driver writes.
struct PfrExportRun {
    QString workFile; // the text pack (the base's ".typ" file)
    QString outputFolder; // "no_pensN.txt", the XML file
    int format = 0;
    PfrExportOptions options;
    int selectedCount = 0; // employees marked in the list, 0 when not a marked run
    PfrRecordWriter writer; // kinds 1-8; empty: PfrRecordWriterFor(format)
};

// What a finished run wrote.
struct PfrExportResult {
    int code = 0; // 0 done, 1 stopped, negative an ExchangeErrorTexts code
    int recordCount = 0; // records of the counting pass
    QString xmlFile; // the XML file written, if any
    // A line for each employee written with a wrong check number of his
    // insurance number ("Таб.N 101 Воронцов А. В. - предупреждение: ...").
    QStringList said;
};

// Writes one pack. Opening and reading failures throw TextError.
PfrExportResult ExportPensionFund(std::stop_token stop, const PfrExportRun& run, PayrollDoc& doc);

// ------------------------------------------------------------- the worker

// The worker's parameter block.
struct ZastrahLicSvedParams : platform::TaskThreadParams {
    int kind = 0;
    int packNumber = 0;
    int format = 0;
};

// Runs the export and, after a text run that wrote records, copies the pack
// under its final name; failures are shown through the messenger.
platform::TaskOutcome ZastrahLicSvedThreadProc(platform::TaskContext& context, const ZastrahLicSvedParams& params,
                                               PayrollDoc& doc, const ExchangeMessenger& messenger);

} // namespace kalvor::exchange
