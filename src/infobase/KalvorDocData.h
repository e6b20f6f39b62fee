#pragma once
// The data part of the single document CKalvorDoc, free of widgets: the
// information base, the reference files and the fields that the views and
// worker threads share through the document. The shell's CKalvorDoc derives
// from it. A calculation's own state is not here: its caller passes
// CalcOptions and the engine keeps its scratch in its pass (payroll/CalcTypes.h).
#include "infobase/InfoBase.h"
#include "infobase/RefFiles.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

namespace kalvor::infobase {

// One employee picked by SelectKonstProizvToSwap.
struct SelectedEmployee {
    u16 slot = 0;
    u8 shop = 0;
    i8 brigade = 0;
    u8 profession = 0;
    u16 tabN = 0;
    int firstRow = 0; // index of its first month row
    friend bool operator==(const SelectedEmployee&, const SelectedEmployee&) = default;
};

struct KalvorDocData {
    static constexpr int GenrValueCount = 425;
    static constexpr int FormTextCount = 5;
    static constexpr int IncomeRowCount = 13;

    KalvorDocData();

    CInfoBase infoBase;
    CRefFiles refFiles;

    SelectionKeys selectionKeys;
    std::array<QString, FormTextCount> formBlock; // five texts of 120 characters (1,200 bytes)
    std::array<double, GenrValueCount> GenrValues{};

    std::vector<IncomeMonthRow> incomeRows = std::vector<IncomeMonthRow>(IncomeRowCount);
    std::vector<SelectedEmployee> selectedEmployees;
    // What the last change of the reporting month has to say beyond its
    // error situations (months made from a schedule's pattern, a year
    // without its own tax tables); set by the change, shown by its command.
    QStringList monthChangeNotes;

    // Working folder + base name, and the work files named after it.
    QString basePath() const { return infoBase.workFolder + infoBase.baseName; }
    QString TypWorkFile() const { return basePath() + QStringLiteral(".typ"); }
    // The work file of a printed form, named after the form, the month that
    // ends its period and, for the form of one employee, the employee's
    // personnel number ("<base>-T53-2011-09.typ", "<base>-T54-2011-09-101.typ"):
    // the form's document is the same path ending in .rtf, so that the prints
    // of different forms, months and employees never overwrite one another.
    // Every printed form and report file is named here.
    QString FormWorkFile(const QString& form, MonthKey month, int tabN = 0) const
    {
        const QString employee = tabN > 0 ? QStringLiteral("-%1").arg(tabN) : QString();
        return basePath() + QStringLiteral("-%1-%2-%3%4.typ")
                                .arg(form)
                                .arg(month.year(), 4, 10, QLatin1Char('0'))
                                .arg(month.month(), 2, 10, QLatin1Char('0'))
                                .arg(employee);
    }
    QString FormatBaseFileName() const { return basePath() + QStringLiteral(".33"); }
    QString SummaryFile() const { return basePath() + QStringLiteral(".fin"); }

    // Points the base's swap file and the reference files at the working folder.
    void setWorkFolder(const QString& folder);
};

} // namespace kalvor::infobase
