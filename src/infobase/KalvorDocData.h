#pragma once
// The data part of the single document CKalvorDoc, free of widgets: the
// information base, the reference files and the fields that the views and
// worker threads share through the document. The shell's CKalvorDoc holds
// (or derives from) one of these.
#include "infobase/InfoBase.h"
#include "infobase/RefFiles.h"

#include <QString>

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
    static constexpr int ResultRowCount = 66;
    static constexpr int IncomeRowCount = 13;

    KalvorDocData();

    CInfoBase infoBase;
    CRefFiles refFiles;

    // Shortcut and navigation fields.
    u32 LastPersonnelNumber = 0;
    u8 OpenWithLastEmployee = 0; // 0 none, 1 open with the last employee, 2 open and recompute
    u32 LastEntryScreen = 0;     // 1 employees ... 8 calculation screens
    u32 PrintPersonnelKey = 0;   // personnel-number key of the print views

    SelectionKeys selectionKeys;
    std::array<QString, FormTextCount> formBlock; // five texts of 120 characters (1,200 bytes)
    std::array<double, GenrValueCount> GenrValues{};

    // Calculation fields.
    std::array<AccrualRow, ResultRowCount> resultBuffer{};
    u8 VacationCalcKind = 0;
    u8 VacationNoteOnly = 0;
    u8 thirdFlag = 0;
    u8 spareByte = 0;
    std::array<VacationNote, 5> vacationNoteCopy{};
    int currentNote = -1;          // index into vacationNoteCopy, -1 = none
    i16 fundFilter = 0;
    EmployeeRecord recordSaveArea; // the engine saves the current record here
    std::array<std::array<u8, 1000>, 8> maskSaveArea{};
    bool noSave = false;
    u8 proizvZarpSelector = 0;     // 0 dbo.proizv, otherwise dbo.zarp
    char monthChangeMode = 0;      // 'c' during the month change
    EmployeeAttributes attributeBuffer; // the 10-byte work buffer

    std::vector<IncomeMonthRow> incomeRows = std::vector<IncomeMonthRow>(IncomeRowCount);
    std::vector<SelectedEmployee> selectedEmployees;

    // Working folder + base name, and the work files named after it.
    QString basePath() const { return infoBase.workFolder + infoBase.baseName; }
    QString TypWorkFile() const { return basePath() + QStringLiteral(".typ"); }
    QString FormatBaseFileName() const { return basePath() + QStringLiteral(".33"); }
    QString SummaryFile() const { return basePath() + QStringLiteral(".fin"); }

    // Points the base's swap file and the reference files at the working folder.
    void setWorkFolder(const QString& folder);
};

} // namespace kalvor::infobase
