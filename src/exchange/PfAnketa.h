#pragma once
// The questionnaire record of the pension-fund text pack (one АНКТ line per
// employee without an insurance number yet) and the final name of a text pack.
#include "exchange/PfrExport.h"
#include "exchange/PfrPackFiles.h"
#include "payroll/PayrollDocument.h"

#include <QByteArray>
#include <QDate>

namespace kalvor::exchange {

// The insurance number with its check number ("123-456-789 64"), windows-1251:
// the card's own check number where it holds one (a wrong one is said by the
// export, not mended), else the one computed; empty when the number is blank
// or all its digits and the check number are 0.
QByteArray PfrInsuranceNumberWithCheck(const QString& strahPolis);
// The check number of the number's first nine digits (InsuranceCheckNumber).
int PfrInsuranceCheckNumber(const QByteArray& number);

// The series of an identity document split at its first '-' or blank, after
// the blanks are dropped but one after a leading group of digits.
struct PfrDocumentSeries {
    QByteArray first;
    QByteArray second;
};
PfrDocumentSeries PfrSplitSeries(const QString& series);

// The questionnaire line of the current employee (the document's current
// record), windows-1251 with CR LF. Writes the employee's line into
// "no_pensN.txt" unless format 6 carries the insurance number.
QByteArray PfAnketaLine(int recordNumber, int personnelNumber, PfrPackWriter& noPension, int format,
                        const PayrollDoc& doc, const QDate& today);

// Writes the questionnaire line into the pack; always 0.
int WritePfAnketa(int recordNumber, int personnelNumber, PfrPackWriter& pack, PfrPackWriter& noPension, int format,
                  const PayrollDoc& doc, const QDate& today);

// The final name of a text pack: "ANKETA.TXT" for questionnaires,
// "Z<report year>_0.TXT" for the other kinds.
QString PfrQuestionnaireFileName(const PfrExportOptions& options, const PayrollDoc& doc);
// Copies the work file under that name into the folder; throws TextError
// "Попытка копирования файлов не удалась" when the copy fails (the earlier
// file of that name then stays as it was). Returns the copy's path.
QString CopyQuestionnaireFile(const PfrExportOptions& options, const QString& workFile, const QString& folder,
                              const PayrollDoc& doc);

} // namespace kalvor::exchange
