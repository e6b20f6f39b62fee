#pragma once
// The electronic pension-fund contributions report (RSV-1) in the fund's
// exchange format, version "07.00": one XML file in windows-1251 with CR LF
// line ends and one TAB of indentation per level below the root, made from
// the report values of tag 15, the list of disabled employees ("inval") and
// the firm record.
#include "payroll/PayrollDocument.h"
#include "reports/social/InvalRecord.h"
#include "reports/social/PensionContributions.h"
#include "reports/social/PensionFundFiles.h"
#include "reports/social/ReportRun.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <vector>

namespace kalvor::reports {

// A place's name and its abbreviation ("МОСКОВСКАЯ" and "ОБЛ").
struct NamedPlace {
    QByteArray name;
    QByteArray abbreviation;
};

// The level of an address that a place field holds.
enum class PlaceLevel { Region, District, Settlement, Street };

// Splits an upper-case place text (windows-1251) into its name and the
// official abbreviation found at its start ("УЛ. ПРОМЫШЛЕННАЯ", "Г.ВОЛОГДА")
// or at its end ("ПРОМЫШЛЕННАЯ УЛ.", "МОСКОВСКАЯ ОБЛ"), the dots dropped; a
// text with none is the name whole. An abbreviation followed by a hyphen is
// part of the name ("С.-ПЕТЕРБУРГ"). Where both ends hold one, the start
// wins unless only the end's stands as a word of its own, set off by a blank,
// and names a place of the field's level: "П.ЛУМУМБЫ УЛ" and "КРАЙ ЗЕМЛИ УЛ"
// as a street split at the end. Both of the pension fund's files split their
// places so.
NamedPlace SplitPlace(const QByteArray& text, PlaceLevel level);

// The file's name (PensionFundFileName) for the period's year and the
// selection's pack and subdivision numbers.
QString OVPFXmlFileName(const ReportSelection& selection, const PayrollDoc& doc);
// What marks the file of this report: its element and its reporting period's
// code.
ReportMarkers OVPFMarkers(const PayrollDoc& doc);

// The file's bytes for the values, the records of "inval" and the date of
// filling in.
QByteArray OVPFXmlBytes(const ReportSelection& selection, const PayrollDoc& doc, const std::vector<InvalRecord>& inval,
                        const QDate& today);

// Writes the file into the folder (the working folder when it is empty),
// reading "inval" from the working folder (a missing file means no disabled
// employees) and dating it by the program's clock, under the selection's
// pack number, or with none given the first whose file holds no other report
// (ChoosePackNumber); a typed pack number whose file holds another report
// throws TextError saying so, and nothing is written. Returns 0, or the
// FileErrorKind of the failure ("Ошибка при открытии файла", "Ошибка записи
// в файл"); nothing is left under the name then. writtenPath receives the
// file's path.
// The reporting period's code of the forms: "03", "06", "09" or "12" by the
// period's last month.
QByteArray ReportingPeriodCode(int lastMonth);

// Pages of the paper form: 3, or 5 with the reduced tariff (V[132] not 0),
// and one more for every 32 disabled employees after the first 32.
int OVPFPageCount(const GenrValueArray& v, std::size_t invalCount);

int WriteOVPFXml(const ReportSelection& selection, const QString& folder, const PayrollDoc& doc,
                 QString* writtenPath = nullptr);

} // namespace kalvor::reports
