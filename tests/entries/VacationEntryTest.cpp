// Vacation notes as the entry screen reads and shows them, one employee's
// notes spliced into the vacation array (first, middle and last slot,
// growing, shrinking, a full array, notes beyond the five), the group append
// and the texts of the result grids from a detail worked by hand.
#include "entries/VacationEntry.h"

#include <gtest/gtest.h>

namespace en = kalvor::entries;
namespace ib = kalvor::infobase;

namespace {

ib::VacationNote Note(int day, int length)
{
    ib::VacationNote note;
    note.dBegin = ib::u16(day);
    note.mBegin = 4;
    note.gBegin = 2011;
    note.dlin = ib::u16(length);
    note.kalend = 1;
    return note;
}

// Lines of the array by their start day (0 for a free row).
std::vector<int> Days(const ib::LineArray<ib::VacationNote>& array)
{
    std::vector<int> days;
    for (const ib::VacationNote& note : array.lines) days.push_back(note.dBegin);
    return days;
}

// Four slots over eight rows: 1 has notes of the 1st and 2nd, 2 one of the
// 3rd, 3 none, 4 two of the 4th and 5th.
void FourEmployees(ib::CInfoBase& base)
{
    base.AllocateTables(4);
    base.otp.allocate(4, 8);
    base.otp.replaceRun(1, en::VacationNotes{Note(1, 5), Note(2, 5)});
    base.otp.replaceRun(2, en::VacationNotes{Note(3, 5)});
    base.otp.replaceRun(4, en::VacationNotes{Note(4, 5), Note(5, 5)});
    for (int i = 0; i < 4; ++i) {
        ib::EmployeeListEntry entry;
        entry.setTabN(ib::u16(101 + i));
        entry.slot = ib::u16(i + 1);
        base.list.push_back(entry);
        base.shortNameOf(entry.slot) = QStringLiteral("Сотрудник %1").arg(i + 1);
    }
}

} // namespace

TEST(VacationNoteFields, TypedTextsFollowTheFieldsRules)
{
    ib::VacationNote note;
    en::VacationNoteForm form = en::ShowVacationNote(note);
    EXPECT_EQ(form.dlin, QString());
    EXPECT_EQ(form.kalend, QString());
    EXPECT_EQ(form.alg, QStringLiteral("0"));
    EXPECT_FALSE(form.start.isValid());
    EXPECT_FALSE(en::ReadVacationNote(form, note)) << "the form as shown changes nothing";

    // The digits after the comma (or a point) are a decimal fraction.
    auto length = [&](const QString& text) {
        ib::VacationNote typed = Note(11, 14);
        form = en::ShowVacationNote(typed);
        form.dlin = text;
        en::ReadVacationNote(form, typed);
        return std::pair{int(typed.dlin), int(typed.dlinHundredths)};
    };
    EXPECT_EQ(length(QStringLiteral("10,5")), (std::pair{10, 50}));
    EXPECT_EQ(length(QStringLiteral("10,05")), (std::pair{10, 5}));
    EXPECT_EQ(length(QStringLiteral("10.50")), (std::pair{10, 50}));
    EXPECT_EQ(length(QStringLiteral("10,5 дн")), (std::pair{14, 0})) << "trailing text is refused";
    EXPECT_EQ(length(QStringLiteral("10,505")), (std::pair{14, 0})) << "a third digit is refused";
    EXPECT_EQ(length(QString()), (std::pair{0, 0}));

    note = Note(11, 14);
    note.dlinHundredths = 5;
    note.fond = 2525;
    note.dn = 120;
    note.dnHundredths = 50;
    form = en::ShowVacationNote(note);
    EXPECT_EQ(form.dlin, QStringLiteral("14,05"));
    EXPECT_EQ(form.fond, QStringLiteral("25.25"));
    EXPECT_EQ(form.dn, QStringLiteral("120,50"));
    EXPECT_EQ(form.start, QDate(2011, 4, 11));

    // Codes out of their range keep the stored codes, never 0; "Бюджет"
    // takes 0-2 only.
    form.vid = QStringLiteral("4");
    form.budg = QStringLiteral("5");
    form.mes = QStringLiteral("12");
    form.alg = QStringLiteral("2");
    form.kalend = QStringLiteral("3");
    // A fund of 31 days or more leaves the fund; period days need the comma.
    form.fond = QStringLiteral("31");
    form.dn = QStringLiteral("120");
    ib::VacationNote typed = note;
    typed.vid = 2;
    typed.budg = 1;
    EXPECT_TRUE(en::ReadVacationNote(form, typed));
    EXPECT_EQ(typed.vid, 2);
    EXPECT_EQ(typed.budg, 1);
    EXPECT_EQ(typed.mes, 12);
    EXPECT_EQ(typed.alg, 2);
    EXPECT_EQ(typed.kalend, 3);
    EXPECT_EQ(typed.fond, 2525);
    EXPECT_EQ(typed.dn, 120);
    EXPECT_EQ(typed.dnHundredths, 50);
    form.fond = QStringLiteral("29.6");
    form.dn = QStringLiteral("300,5");
    EXPECT_TRUE(en::ReadVacationNote(form, typed));
    EXPECT_EQ(typed.fond, 2960);
    EXPECT_EQ(typed.dn, 120) << "days beyond their field are refused, as the input refuses them";
    EXPECT_EQ(typed.dnHundredths, 50);
    form.dn = QStringLiteral("127,25");
    EXPECT_TRUE(en::ReadVacationNote(form, typed));
    EXPECT_EQ(typed.dn, 127);
    EXPECT_EQ(typed.dnHundredths, 25);
    form.fond = QStringLiteral("22,5"); // a decimal comma
    EXPECT_TRUE(en::ReadVacationNote(form, typed));
    EXPECT_EQ(typed.fond, 2250);
    form.fond = QStringLiteral("22,5 дн");
    EXPECT_FALSE(en::ReadVacationNote(form, typed)) << "a fund that does not read keeps its value";
    EXPECT_EQ(typed.fond, 2250);

    // The start keeps its full year; a cleared picker clears day, month and year.
    form.start = QDate(2026, 12, 28);
    en::ReadVacationNote(form, typed);
    EXPECT_EQ(typed.gBegin, 2026);
    EXPECT_EQ(typed.mBegin, 12);
    EXPECT_EQ(typed.dBegin, 28);
    form.start = QDate();
    en::ReadVacationNote(form, typed);
    EXPECT_EQ(typed.dBegin, 0);
    EXPECT_EQ(typed.mBegin, 0);
    EXPECT_EQ(typed.gBegin, 0);

    // The display shows "Исчисляется" and "Алгоритм" as at least 1.
    ib::VacationNote blank;
    en::ApplyVacationDisplayDefaults(blank);
    EXPECT_EQ(blank.kalend, 1);
    EXPECT_EQ(blank.alg, 1);
    EXPECT_TRUE(en::IsEmptyVacationNote(blank)) << "the display's defaults do not make a note";
}

TEST(VacationNoteSplice, FirstMiddleAndLastSlotGrowAndShrink)
{
    ib::CInfoBase base;
    FourEmployees(base);
    EXPECT_EQ(Days(base.otp), (std::vector<int>{1, 2, 3, 4, 5, 0, 0, 0}));

    // First slot: an emptied note in the middle goes, the one after moves up.
    ib::VacationNote emptied;
    emptied.kalend = 1; // what the display left in it
    ASSERT_TRUE(en::StoreVacationNotes(base, 1, {Note(1, 5), emptied, Note(6, 5), {}, {}}, {}));
    EXPECT_EQ(Days(base.otp), (std::vector<int>{1, 6, 3, 4, 5, 0, 0, 0}));
    EXPECT_EQ(base.otp.count(1), 2);

    // A middle slot grows by two: the later employee's notes move down.
    ASSERT_TRUE(en::StoreVacationNotes(base, 2, {Note(3, 5), Note(7, 2), Note(8, 1)}, {}));
    EXPECT_EQ(Days(base.otp), (std::vector<int>{1, 6, 3, 7, 8, 4, 5, 0}));
    EXPECT_EQ(base.otp.first(4), 5);

    // A slot without notes gets one after the nearest earlier run.
    ASSERT_TRUE(en::StoreVacationNotes(base, 3, {Note(9, 5)}, {}));
    EXPECT_EQ(Days(base.otp), (std::vector<int>{1, 6, 3, 7, 8, 9, 4, 5}));
    EXPECT_EQ(base.otp.first(3), 5);
    EXPECT_EQ(base.otp.first(4), 6);

    // The array is full: one more note is refused and nothing moves.
    const ib::LineArray<ib::VacationNote> full = base.otp;
    EXPECT_FALSE(en::StoreVacationNotes(base, 1, {Note(1, 5), Note(6, 5), Note(10, 5)}, {}));
    EXPECT_EQ(Days(base.otp), Days(full));
    EXPECT_EQ(base.otp.index, full.index);

    // The last slot shrinks: its count follows and the freed row is zeroed.
    ASSERT_TRUE(en::StoreVacationNotes(base, 4, {{}, Note(5, 5)}, {}));
    EXPECT_EQ(Days(base.otp), (std::vector<int>{1, 6, 3, 7, 8, 9, 5, 0}));
    EXPECT_EQ(base.otp.count(4), 1);
    EXPECT_EQ(base.otp.lines[7], ib::VacationNote{});

    // Saving two notes where there were three moves every later start down.
    ASSERT_TRUE(en::StoreVacationNotes(base, 2, {Note(3, 5), {}, Note(8, 1)}, {}));
    EXPECT_EQ(Days(base.otp), (std::vector<int>{1, 6, 3, 8, 9, 5, 0, 0}));
    EXPECT_EQ(base.otp.first(3), 4);
    EXPECT_EQ(base.otp.first(4), 5);
}

TEST(VacationNoteSplice, NotesBeyondTheFiveAreKept)
{
    ib::CInfoBase base;
    base.AllocateTables(2);
    base.otp.allocate(2, 10);
    en::VacationNotes seven;
    for (int day = 1; day <= 7; ++day) seven.push_back(Note(day, 1));
    base.otp.replaceRun(1, seven);

    en::EmployeeLines<ib::VacationNote> notes = en::TakeVacationNotes(base, 1);
    ASSERT_EQ(notes.shown.size(), 5u);
    ASSERT_EQ(notes.beyond.size(), 2u);
    notes.shown[2] = ib::VacationNote{};
    ASSERT_TRUE(en::StoreVacationNotes(base, 1, notes.shown, notes.beyond));
    EXPECT_EQ(Days(base.otp), (std::vector<int>{1, 2, 4, 5, 6, 7, 0, 0, 0, 0}));
}

TEST(VacationNoteSplice, ViewingAnEmployeeWithoutNotesChangesNothing)
{
    ib::CInfoBase base;
    FourEmployees(base);
    const ib::LineArray<ib::VacationNote> before = base.otp;
    en::EmployeeLines<ib::VacationNote> notes = en::TakeVacationNotes(base, 3);
    ASSERT_TRUE(notes.shown.empty());
    // The dialog shows one empty note with its display defaults.
    ib::VacationNote shown;
    en::ApplyVacationDisplayDefaults(shown);
    ib::VacationNote read = shown;
    EXPECT_FALSE(en::ReadVacationNote(en::ShowVacationNote(shown), read));
    ASSERT_TRUE(en::StoreVacationNotes(base, 3, {read}, notes.beyond));
    EXPECT_EQ(Days(base.otp), Days(before));
    EXPECT_EQ(base.otp.index, before.index);
}

TEST(VacationNoteGroup, FilledFieldsGoIntoEveryMembersFirstNote)
{
    ib::CInfoBase base;
    FourEmployees(base);
    base.list[0].setFlag(0, true);
    base.list[2].setFlag(1, true); // any of the three selection flags counts
    base.list[3].setFlag(2, true);

    en::VacationNoteForm form;
    form.start = QDate(2011, 4, 18);
    form.dlin = QStringLiteral("7");
    form.budg = QStringLiteral("2");
    form.mrp = true;
    const en::VacationGroupOutcome outcome = en::AppendVacationFieldsToGroup(base, form);
    EXPECT_EQ(outcome.changed, 3);
    EXPECT_TRUE(outcome.refused.isEmpty());

    // The first notes take the filled fields; "Исчисляется" and the others stay.
    for (int slot : {1, 3, 4}) {
        const ib::VacationNote first = base.otp.run(slot).front();
        EXPECT_EQ(first.dBegin, 18) << slot;
        EXPECT_EQ(first.dlin, 7) << slot;
        EXPECT_EQ(first.budg, 2) << slot;
        EXPECT_EQ(first.mrp, 1) << slot;
        EXPECT_EQ(first.kalend, slot == 3 ? 0 : 1) << slot;
    }
    EXPECT_EQ(base.otp.count(1), 2);
    EXPECT_EQ(base.otp.count(2), 1);
    EXPECT_EQ(base.otp.run(2).front().dBegin, 3) << "the unmarked employee keeps his note";
    EXPECT_EQ(base.otp.count(3), 1) << "a member without notes gets one";
    EXPECT_EQ(base.otp.count(4), 2);
    EXPECT_EQ(base.otp.run(4)[1].dBegin, 5);

    // The array is full now (8 of 8): a member without notes is refused.
    for (auto& entry : base.list) entry.key = ib::u16(entry.key & ~7u);
    base.otp.removeRun(3);
    base.otp.replaceRun(2, en::VacationNotes{Note(3, 5), Note(4, 5), Note(5, 5), Note(6, 5)});
    ASSERT_EQ(base.otp.usedLines(), 8);
    base.list[2].setFlag(0, true);
    const en::VacationGroupOutcome refused = en::AppendVacationFieldsToGroup(base, form);
    EXPECT_EQ(refused.changed, 0);
    EXPECT_EQ(refused.refused, QStringList{QStringLiteral("Сотрудник 3")});
    EXPECT_EQ(base.otp.count(3), 0);
}

TEST(VacationGrids, TextsOfADetailWorkedByHand)
{
    kalvor::PayrollDoc doc;
    for (auto [code, name] : {std::pair{4, u"Оклад"}, std::pair{85, u"Отпускные"}, std::pair{902, u"НДФЛ"}}) {
        ib::PayKind kind;
        kind.kod = ib::u16(code);
        kind.name = QString::fromUtf16(name);
        doc.infoBase.addPayKind(kind);
    }
    // Two months of the period: March 2011 at 21,000 and February raised by 10 %.
    kalvor::CalcWorkBuffer detail;
    detail.months[0] = {0, 2'100'000, 100, 311, 352.8};
    detail.months[1] = {0, 1'900'000, 110, 211, 71'428};
    detail.months[2] = {0, 0, 100, 111, 0}; // a month without earnings
    detail.months[4].total = 25'200'000;
    ib::AccrualRow rows[3];
    rows[0].kod = 902;
    rows[0].sum = 130'000;
    rows[0].mes = 4;
    rows[1].kod = 85;
    rows[1].sum = 999'992;
    rows[1].mes = 4;
    rows[1].dn = 14;
    rows[2].kod = 4;
    rows[2].sum = 1'000'000;
    rows[2].mes = 4;
    rows[2].dn = 10;
    ib::VacationNote note = Note(11, 14);
    note.alg = 1;
    note.sum = 1'115'334;

    const en::VacationGrids grids = en::VacationGridTexts(doc, 3, note, detail, rows);
    EXPECT_EQ(grids.period[0], (std::array<QString, 3>{"03.11", "21000.00", ""}));
    EXPECT_EQ(grids.period[1], (std::array<QString, 3>{"02.11", "19000.00", "1.10"}));
    EXPECT_EQ(grids.period[2], (std::array<QString, 3>{"01.11", "", ""}));
    EXPECT_EQ(grids.period[3], (std::array<QString, 3>{}));
    EXPECT_EQ(grids.monthsWithEarnings, 2);
    EXPECT_EQ(grids.averageHeadings, (std::array<QString, 4>{"Суммарный", "Дней в р/пер", "", "Дневной"}));
    EXPECT_EQ(grids.averages, (std::array<QString, 4>{"252000.00", "352.80", "", "714.28"}));
    ASSERT_EQ(grids.accruals.size(), 3u);
    EXPECT_EQ(grids.accruals[0].name, QStringLiteral("Оклад"));
    EXPECT_EQ(grids.accruals[1].name, QStringLiteral("Отпускные"));
    EXPECT_EQ(grids.accruals[1].days, QStringLiteral("14"));
    EXPECT_EQ(grids.accruals[1].amount, QStringLiteral("9999.92"));
    EXPECT_EQ(grids.accruals[2].name, QStringLiteral("НДФЛ"));
    EXPECT_EQ(grids.accruals[2].days, QString());
    EXPECT_TRUE(grids.accruals[2].deduction);
    EXPECT_FALSE(grids.accruals[1].deduction);
    EXPECT_EQ(grids.amount, QStringLiteral("11153.34"));

    // The hourly rule: weeks of the period, the hourly average and a week's cost.
    note.alg = 2;
    detail.months[0].total = 2;
    detail.months[1].total = 12'500;
    detail.months[2].total = 500'000;
    const en::VacationGrids hourly = en::VacationGridTexts(doc, 3, note, detail, rows);
    EXPECT_EQ(hourly.averageHeadings, (std::array<QString, 4>{"Суммарный", "Нед.в р/пер", "Часовой", "Стоим. недели"}));
    EXPECT_EQ(hourly.averages, (std::array<QString, 4>{"252000.00", "2.00", "125.00", "5000.00"}));

    // A failed computation leaves every value cell empty.
    const en::VacationGrids failed = en::VacationGridTexts(doc, -2, note, detail, rows);
    EXPECT_EQ(failed.averages, (std::array<QString, 4>{}));
    EXPECT_TRUE(failed.accruals.empty());
    EXPECT_EQ(failed.amount, QString());
    EXPECT_EQ(failed.period[0][0], QString());
}
