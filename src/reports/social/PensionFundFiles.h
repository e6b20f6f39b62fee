#pragma once
// The files of the pension fund's exchange: their name as the fund reads it,
// and the rule by which a pack is written under a number of its own.
//
// The fund names a pack file after the year, the firm's registration number
// and the pack's numbers ("PFR-700-Y-2011-ORG-087-105-012345-DCK-00001-DPT-
// 000000-DCK-00000.XML"), and tells the packs of a year apart by their
// numbers alone: the contributions report and each pack of insured persons'
// data go under numbers of their own. A file of another report at a pack's
// name is never replaced: a run whose number was left empty takes the next
// number whose name is free (or holds the same report, which it makes again),
// and a typed number whose file holds another report is refused.
#include "infobase/InfoBase.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace kalvor::reports {

// The firm's registration number with the fund, "087-105-012345"; one not in
// the form "xxx-xxx-xxxxxx" is "000-000-000000".
QByteArray PensionRegistrationNumber(const infobase::FirmInfo& firm);

// "PFR-700-Y-<year>-ORG-<registration number>-DCK-<pack>-DPT-<subdivision>-
// DCK-<subdivision's pack>.XML"; an organisation pack number of 0 is written
// 00001.
QString PensionFundFileName(const infobase::FirmInfo& firm, int year, int orgPack, int deptCode = 0,
                            int deptPack = 0);

// What marks a report's file: byte strings (windows-1251) that the file of
// this report holds, all of them, and the file of any other report lacks.
using ReportMarkers = QList<QByteArray>;

// Whether a file stands at the path that is not this report's (one of the
// markers missing, or a file that cannot be read).
bool HoldsAnotherReport(const QString& path, const ReportMarkers& markers);

// The pack number of a run, or why it cannot be written.
struct PackNumberChoice {
    int number = 0;
    QString refusal; // empty when the pack is written under `number`
};

// A typed number (not 0) is taken unless its file holds another report
// (refused, naming the file); a number left empty (0) is the first from
// `first` on whose file holds no other report.
PackNumberChoice ChoosePackNumber(int typed, int first, const std::function<QString(int number)>& pathOf,
                                  const ReportMarkers& markers);

} // namespace kalvor::reports
