// The row cursors of the print writers over the employee list, the
// sick-leave sheets and the vacation notes.
#include "print/PrintSelection.h"
#include "StatementTestDoc.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::print;
using namespace kalvor::printtest;

namespace {

// Every cursor of a walk from -1 to the end.
std::vector<int> Walk(int (*next)(int, const PayrollDoc&, int, int, int), const PayrollDoc& doc, int shop = 0,
                      int brigade = 0, int profession = 0)
{
    std::vector<int> cursors;
    for (int c = next(-1, doc, shop, brigade, profession); c >= 0; c = next(c, doc, shop, brigade, profession))
        cursors.push_back(c);
    return cursors;
}

class PrintSelection : public ::testing::Test {
protected:
    void SetUp() override
    {
        BuildStatementDoc(doc, {{101, 1, 11, 100}, {102, 2, 21, 100}, {103, 2, 22, 100}, {104, 2, 21, 100}});
        CInfoBase& base = doc.infoBase;
        base.attributesOf(2).prof = 17;
        base.attributesOf(4).prof = 17;
        base.attributesOf(3).prof = 5;
    }
    PayrollDoc doc;
};

} // namespace

TEST_F(PrintSelection, EmployeesByShopBrigadeAndProfession)
{
    EXPECT_EQ(Walk(NextEmployeeInSelection, doc), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(Walk(NextEmployeeInSelection, doc, 2), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Walk(NextEmployeeInSelection, doc, 2, 21), (std::vector<int>{1, 3}));
    EXPECT_EQ(Walk(NextEmployeeInSelection, doc, 0, 0, 5), (std::vector<int>{2}));
    EXPECT_EQ(Walk(NextEmployeeInSelection, doc, 2, 21, 5), (std::vector<int>{}));
    EXPECT_EQ(NextEmployeeInSelection(3, doc, 0, 0, 0), -1);
}

TEST_F(PrintSelection, SheetsAndNotesAreCountedFromOneAndUnusedEntriesSkipped)
{
    CInfoBase& base = doc.infoBase;
    SickLeaveSheet used;
    used.dBegin = 1;
    used.mBegin = 4;
    used.gBegin = 2011;
    // Employee 0: an empty sheet between two used ones; employee 2: one sheet.
    ASSERT_TRUE(base.bln.replaceRun(1, std::vector{used, SickLeaveSheet{}, used}));
    ASSERT_TRUE(base.bln.replaceRun(3, std::vector{used}));
    EXPECT_EQ(Walk(NextSickSheetInSelection, doc), (std::vector<int>{1, 3, 2 * 16 + 1}));
    EXPECT_EQ(Walk(NextSickSheetInSelection, doc, 2), (std::vector<int>{2 * 16 + 1}));
    EXPECT_EQ(CursorEmployee(2 * 16 + 1), 2);
    EXPECT_EQ(CursorEntry(2 * 16 + 1), 1);

    VacationNote note;
    note.dlin = 14;
    ASSERT_TRUE(base.otp.replaceRun(2, std::vector{note}));
    ASSERT_TRUE(base.otp.replaceRun(4, std::vector{VacationNote{}, note}));
    EXPECT_EQ(Walk(NextVacationEntryInSelection, doc), (std::vector<int>{1 * 16 + 1, 3 * 16 + 2}));
    EXPECT_EQ(Walk(NextVacationEntryInSelection, doc, 2, 21, 17), (std::vector<int>{1 * 16 + 1, 3 * 16 + 2}));
    EXPECT_EQ(Walk(NextVacationEntryInSelection, doc, 1), (std::vector<int>{}));
}

TEST_F(PrintSelection, BonusLinesAreEightToAnEmployee)
{
    CInfoBase& base = doc.infoBase;
    BonusLine line;
    line.kod = 8;
    // Employee 0 has two lines, employee 1 none, employee 2 one, employee 3 three.
    ASSERT_TRUE(base.prem.replaceRun(1, std::vector{line, line}));
    ASSERT_TRUE(base.prem.replaceRun(3, std::vector{line}));
    ASSERT_TRUE(base.prem.replaceRun(4, std::vector{line, line, line}));
    EXPECT_EQ(Walk(NextBonusLineInSelection, doc), (std::vector<int>{0, 1, 16, 24, 25, 26}));
    EXPECT_EQ(Walk(NextBonusLineInSelection, doc, 2, 21), (std::vector<int>{24, 25, 26}));
    EXPECT_EQ(NextBonusLineInSelection(26, doc, 0, 0, 0), -1);
}
