#pragma once
// The choice loop of the reports that have two editors: the choice dialog
// "Обработка отчета" (500 the first editor, 501 make the report, 502 the
// second editor, cancel) until the report is made or the user cancels.
#include "platform/TaskThread.h"

#include <QString>

#include <functional>

namespace kalvor::reports {

// What the loop does on each choice, given the print path the choice dialog
// holds. The editors are shown modally on the user-interface thread; make
// runs on the calling thread and says what it wrote. The captions of the
// editors' buttons name the parts of the report's form that each editor holds.
struct ReportChoices {
    std::function<void(const QString& printPath)> firstEditor;
    std::function<void(const QString& printPath)> secondEditor;
    std::function<platform::TaskOutcome(const QString& printPath)> make;
    QString firstEditorCaption;
    QString secondEditorCaption;
};

// Runs on a report's worker thread (or on the user-interface thread): the
// choice dialog shows the print path's document name, which the user may
// change (the name typed is used from then on, CRepEdit1Dlg::PrintFilePath);
// 500 and 502 show their editor and come back to the choice, 501 makes the
// report and ends, cancel ends without making anything. Returns what make
// returned (a plain done after a cancel).
platform::TaskOutcome RunReportChoiceLoop(const QString& printPath, const ReportChoices& choices);

// Writes a report's XML file and then its print form (the RTF document of
// the print path), each reporting its failure in a message box: writeXml
// returns 0 or a FileErrorKind and leaves the path it wrote; print returns a
// negative result when the form could not be made (and leaves why the viewer
// did not show a form it made), and may throw TextError for a template that
// cannot be read. A failed XML file does not keep the print form from being
// made. Returns the run's outcome: done, with a line for each file written
// (WrittenFileLine): the XML file, and the form with whether its viewer
// started (its failure as kDocumentNotShown).
platform::TaskOutcome WriteXmlAndForm(const QString& printPath,
                                      const std::function<int(QString* writtenPath)>& writeXml,
                                      const std::function<int(QString* viewerText)>& print);

} // namespace kalvor::reports
