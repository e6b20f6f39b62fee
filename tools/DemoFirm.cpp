#include "DemoFirm.h"

#include "DataSources.h"

#include "infobase/BaseBuilding.h"
#include "infobase/EmployeeSelection.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcErrors.h"
#include "payroll/CalcThread.h"
#include "payroll/CalendarMath.h"
#include "payroll/MonthChange.h"
#include "payroll/PayrollDocument.h"
#include "platform/BaseLock.h"
#include "platform/Db.h"
#include "platform/DbBases.h"
#include "platform/DbSchema.h"
#include "values/InsuranceNumber.h"
#include "values/Values.h"

#include <QDate>
#include <QFile>

#include <algorithm>
#include <cmath>

namespace kalvor::tools {

using namespace infobase;

namespace {

QString s(const char16_t* t) { return QString::fromUtf16(t); }

u16 packedDate(int day, int month, int year) { return PackedDate::make(day, month, year).value; }
u16 monthKey(int year, int month) { return u16(MonthKey(year, month).value()); }

// Whole kopecks of a rouble amount; roubles of a kopeck amount rounded to whole roubles.
double rub(double roubles) { return std::round(roubles * 100); }
double wholeRoubles(double kopecks) { return std::round(kopecks / 100) * 100; }

// ------------------------------------------------------------------ who works here

enum Pay { Salary, Hourly, Piece };

// Flags of the head's flag word.
constexpr u32 NonResident = 1u << 2, Foreigner = 1u << 9;
constexpr int DisabledGroupShift = 6;

struct Person {
    const char16_t* fio;
    char sex; // 'M' or 'F'
    int born[3]; // day, month, year
    int hired[3]; // day, month, year
    int shop;
    int position; // "post" code
    int profession; // "profi" code, 0 = none
    Pay pay;
    double rate; // salary (roubles a month) or tariff (roubles an hour)
    int stavka; // percent of a full position
    int schedule; // 1 five-day week, 2 shifts
    int children; // children under 18 (standard deductions)
};

// Four shops, fifty-two people. Names are made up.
const Person people[] = {
    // 1 Администрация
    {u"Воронцов Андрей Викторович", 'M', {14, 3, 1961}, {2, 2, 1998}, 1, 1, 0, Salary, 45000, 100, 1, 0},
    {u"Кудрявцева Ирина Николаевна", 'F', {2, 9, 1968}, {15, 5, 2003}, 1, 2, 0, Salary, 38000, 100, 1, 1},
    {u"Лаптева Светлана Игоревна", 'F', {21, 11, 1979}, {10, 1, 2007}, 1, 3, 0, Salary, 22000, 100, 1, 2},
    {u"Быстрова Ольга Петровна", 'F', {8, 6, 1957}, {1, 9, 2009}, 1, 3, 0, Salary, 9000, 50, 1, 0},
    {u"Широков Денис Олегович", 'M', {30, 1, 1984}, {17, 8, 2009}, 1, 4, 0, Salary, 24000, 100, 1, 1},
    {u"Мельникова Татьяна Юрьевна", 'F', {12, 4, 1972}, {3, 3, 2005}, 1, 9, 0, Salary, 20000, 100, 1, 3},
    {u"Гусева Анна Сергеевна", 'F', {25, 12, 1988}, {11, 4, 2011}, 1, 10, 0, Salary, 14000, 100, 1, 0},
    {u"Ракитин Сергей Павлович", 'M', {5, 7, 1966}, {20, 6, 2001}, 1, 8, 0, Salary, 26000, 100, 1, 2},
    {u"Зуева Людмила Ивановна", 'F', {19, 2, 1955}, {4, 10, 1999}, 1, 12, 0, Salary, 15000, 100, 1, 0},
    {u"Тихонов Валерий Аркадьевич", 'M', {9, 10, 1963}, {12, 1, 2004}, 1, 14, 0, Salary, 21000, 100, 1, 0},
    // 2 Механический цех
    {u"Прохоров Игорь Васильевич", 'M', {16, 5, 1965}, {1, 3, 2000}, 2, 6, 0, Salary, 32000, 100, 1, 1},
    {u"Сазонов Михаил Андреевич", 'M', {3, 8, 1975}, {14, 7, 2006}, 2, 7, 0, Salary, 25000, 100, 1, 2},
    {u"Голубев Николай Степанович", 'M', {27, 1, 1959}, {5, 4, 1996}, 2, 11, 1, Piece, 95.5, 100, 1, 0},
    {u"Дьяконов Павел Евгеньевич", 'M', {11, 11, 1981}, {22, 9, 2008}, 2, 11, 1, Piece, 92.3, 100, 1, 1},
    {u"Ермаков Виктор Ильич", 'M', {6, 3, 1970}, {13, 2, 2002}, 2, 11, 2, Piece, 98.0, 100, 1, 3},
    {u"Жуков Алексей Романович", 'M', {22, 6, 1986}, {8, 6, 2010}, 2, 11, 2, Piece, 88.4, 100, 1, 0},
    {u"Калинин Олег Дмитриевич", 'M', {15, 9, 1977}, {19, 3, 2004}, 2, 11, 13, Piece, 105.2, 100, 1, 2},
    {u"Лукин Роман Сергеевич", 'M', {1, 12, 1983}, {7, 11, 2007}, 2, 11, 13, Piece, 101.7, 100, 1, 1},
    {u"Муравьёв Евгений Петрович", 'M', {18, 4, 1962}, {10, 8, 1997}, 2, 11, 16, Hourly, 112.5, 100, 1, 0},
    {u"Носков Артём Игоревич", 'M', {29, 7, 1990}, {1, 10, 2010}, 2, 11, 1, Hourly, 78.0, 100, 1, 0},
    {u"Осипов Геннадий Борисович", 'M', {4, 2, 1958}, {16, 5, 1995}, 2, 11, 4, Hourly, 96.4, 100, 1, 0},
    {u"Пахомов Владислав Юрьевич", 'M', {13, 10, 1979}, {24, 1, 2006}, 2, 11, 5, Hourly, 99.9, 100, 1, 2},
    {u"Рябова Елена Владимировна", 'F', {20, 5, 1973}, {2, 12, 2003}, 2, 11, 7, Hourly, 84.6, 100, 1, 1},
    {u"Савельев Константин Львович", 'M', {7, 1, 1969}, {15, 4, 2005}, 2, 11, 6, Hourly, 108.3, 100, 1, 1},
    {u"Титов Илья Александрович", 'M', {26, 8, 1987}, {3, 3, 2009}, 2, 11, 14, Hourly, 82.0, 100, 1, 0},
    {u"Уваров Борис Николаевич", 'M', {10, 6, 1956}, {9, 9, 1992}, 2, 11, 4, Hourly, 94.1, 50, 1, 0},
    // 3 Сборочный цех
    {u"Фомин Вадим Геннадьевич", 'M', {23, 3, 1971}, {11, 5, 2001}, 3, 6, 0, Salary, 31000, 100, 1, 2},
    {u"Хохлова Марина Викторовна", 'F', {17, 9, 1976}, {6, 2, 2004}, 3, 7, 0, Salary, 24500, 100, 1, 1},
    {u"Цветков Анатолий Фёдорович", 'M', {28, 12, 1960}, {18, 6, 1999}, 3, 11, 3, Piece, 91.2, 100, 1, 0},
    {u"Чернов Максим Олегович", 'M', {2, 4, 1985}, {21, 2, 2008}, 3, 11, 3, Piece, 89.7, 100, 1, 1},
    {u"Шубин Кирилл Валентинович", 'M', {14, 8, 1982}, {27, 10, 2005}, 3, 11, 3, Piece, 93.6, 100, 1, 2},
    {u"Щербаков Станислав Ильич", 'M', {31, 5, 1968}, {12, 3, 2002}, 3, 11, 3, Piece, 96.8, 100, 1, 0},
    {u"Яшина Галина Анатольевна", 'F', {9, 7, 1964}, {1, 11, 2000}, 3, 11, 15, Piece, 76.5, 100, 1, 0},
    {u"Абрамов Руслан Маратович", 'M', {19, 1, 1991}, {15, 3, 2011}, 3, 11, 3, Piece, 84.0, 100, 1, 0},
    {u"Белоусов Григорий Семёнович", 'M', {5, 11, 1954}, {2, 7, 1994}, 3, 11, 6, Hourly, 104.4, 100, 1, 0},
    {u"Виноградова Ксения Андреевна", 'F', {24, 2, 1989}, {14, 9, 2009}, 3, 11, 15, Hourly, 72.0, 100, 1, 1},
    {u"Горбунов Эдуард Витальевич", 'M', {12, 12, 1974}, {8, 4, 2003}, 3, 11, 7, Hourly, 90.5, 100, 1, 2},
    {u"Дроздова Вера Михайловна", 'F', {3, 3, 1967}, {20, 1, 2001}, 3, 11, 14, Hourly, 80.2, 100, 1, 1},
    {u"Ефимов Тимур Рашидович", 'M', {16, 10, 1980}, {5, 5, 2007}, 3, 11, 16, Hourly, 110.0, 100, 1, 1},
    {u"Зимин Леонид Аркадьевич", 'M', {8, 8, 1963}, {17, 2, 1998}, 3, 11, 5, Hourly, 100.6, 100, 1, 0},
    // 4 Склад и транспорт
    {u"Игнатьев Фёдор Кузьмич", 'M', {21, 4, 1958}, {3, 6, 1997}, 4, 13, 0, Salary, 23000, 100, 1, 0},
    {u"Комаров Степан Витальевич", 'M', {11, 2, 1972}, {12, 12, 2002}, 4, 11, 9, Hourly, 97.0, 100, 1, 2},
    {u"Лосев Вячеслав Иванович", 'M', {27, 6, 1969}, {9, 3, 2006}, 4, 11, 9, Hourly, 97.0, 100, 1, 1},
    {u"Маслов Ярослав Олегович", 'M', {4, 9, 1984}, {22, 11, 2010}, 4, 11, 8, Salary, 16000, 100, 1, 0},
    {u"Назаров Шухрат Ильхомович", 'M', {13, 5, 1987}, {15, 12, 2010}, 4, 11, 10, Hourly, 70.0, 100, 1, 0},
    {u"Овчинников Глеб Сергеевич", 'M', {30, 10, 1962}, {1, 4, 2008}, 4, 11, 12, Hourly, 62.0, 100, 2, 0},
    {u"Панкратов Лев Борисович", 'M', {7, 12, 1953}, {14, 8, 2001}, 4, 11, 12, Hourly, 62.0, 100, 2, 0},
    {u"Родионова Нина Григорьевна", 'F', {15, 1, 1961}, {19, 4, 2004}, 4, 11, 11, Hourly, 58.0, 100, 1, 0},
    {u"Симонов Аркадий Павлович", 'M', {22, 3, 1978}, {28, 2, 2007}, 4, 11, 10, Hourly, 70.0, 100, 1, 2},
    {u"Тарасова Алла Викторовна", 'F', {10, 10, 1975}, {2, 9, 2008}, 4, 11, 15, Hourly, 66.0, 100, 1, 1},
    // Dismissed on 31 March 2011, still listed in April (state 4).
    {u"Кузнецов Пётр Алексеевич", 'M', {17, 6, 1976}, {5, 10, 2005}, 4, 11, 9, Hourly, 97.0, 100, 1, 1},
    {u"Федотова Марина Сергеевна", 'F', {3, 2, 1983}, {14, 1, 2008}, 4, 11, 15, Hourly, 66.0, 100, 1, 0},
};
constexpr int PersonCount = int(std::size(people));

// Names of the positions of the "post" reference file (data/src/post.txt), by code.
const char16_t* const positionNames[] = {u"Директор",
                                         u"Главный бухгалтер",
                                         u"Бухгалтер",
                                         u"Экономист",
                                         u"Инженер-технолог",
                                         u"Начальник цеха",
                                         u"Мастер участка",
                                         u"Менеджер по продажам",
                                         u"Специалист по кадрам",
                                         u"Секретарь",
                                         u"Рабочий",
                                         u"Кассир",
                                         u"Заведующий складом",
                                         u"Инженер по охране труда"};

// Employees with something particular in the reporting month, by index in people[].
constexpr int DismissedInMonth = 25; // Уваров: leaves 15 April, half-time rate
constexpr int NonResidentIndex = 44; // Назаров: citizen of Uzbekistan, non-resident
constexpr int DisabledIndex = 8; // Зуева: disability group 3
constexpr int DisabledChildIndex = 5; // Мельникова: her third child is disabled
constexpr int SickIndex = 21; // Пахомов: ill from 28 March to 8 April
constexpr int VacationIndex = 11; // Сазонов: 14 days of vacation from 11 April, 3 additional days from 25 April
constexpr int ChildCareIndex = 27; // Хохлова: leave to care for her first child from 18 April
constexpr int WritIndex = 41; // Комаров: alimony 25 %
constexpr int LoanIndex = 16; // Калинин: repays a loan of the firm
constexpr int BonusIndices[] = {11, 26, 27, 40};
constexpr int PercentBonusIndex = 26; // a second line: 10 % of the month's pay of mask 1
constexpr int BankIndices[] = {0, 1, 2, 4, 10, 11, 16, 26, 36};
constexpr int SecondWritIndex = 30; // a writ of a fixed amount in favour of a creditor
constexpr int SecondLoanIndex = 33; // a loan repaid in two stages
constexpr int FixedTransferIndex = 36; // a fixed amount to a second bank besides the rest
constexpr int SecondJobIndex = 12; // a second job paid by an hourly tariff
constexpr int HarmfulWorkIndex = 14; // an allowance for the main sheet's days
constexpr int EveningReversalIndex = 20; // evening hours paid twice in March, taken back
constexpr int ReversalIndex = 7; // Ракитин: January's overpaid salary reversed in February
// Dismissed on 31 March, so in state 4 in April: Кузнецов has no advance and
// the advance screen does not show him; Федотова was given an April advance
// after her dismissal, and it shows.
constexpr int DismissedBeforeMonthIndices[] = {50, 51};
constexpr int AdvanceAfterDismissalIndex = 51;

bool DismissedBeforeMonth(int i)
{
    return std::find(std::begin(DismissedBeforeMonthIndices), std::end(DismissedBeforeMonthIndices), i) !=
           std::end(DismissedBeforeMonthIndices);
}

// ------------------------------------------------------------------ calendar

// Working days of the five-day week in the months before the reporting month,
// as the production calendars of 2010 and 2011 give them.
int workingDays(int year, int month)
{
    static const int y2010[] = {15, 19, 22, 22, 19, 21, 22, 22, 22, 21, 21, 22};
    static const int y2011[] = {15, 19, 22, 21, 20, 21, 21, 23, 22, 21, 21, 22};
    return (year == 2010 ? y2010 : y2011)[month - 1];
}

// Days of a month that the schedule plans, as the calculation computes them:
// weekdays (schedule 1) or the 2-on-2-off cycle from 1 January 2010 (schedule 2),
// public holidays off.
std::vector<int> plannedDays(const CInfoBase& base, int schedule, int year, int month)
{
    const WorkSchedule& w = base.scheduleAt(schedule);
    const QDate first(year, month, 1);
    std::vector<int> days;
    const int L = w.pRab + w.pVyh;
    int p = 0;
    if (L > 0) {
        const QDate start(2000 + w.begG, w.begM, w.begD);
        const qint64 d = start.daysTo(first);
        p = int(((d % L) + L) % L) + 1;
    }
    for (int day = 1; day <= first.daysInMonth(); ++day) {
        bool work;
        if (L > 0) {
            if (p > L)
                p -= L;
            work = p <= w.pRab;
            ++p;
        } else {
            const int dow = QDate(year, month, day).dayOfWeek(); // 1 Monday
            work = (w.rabDnNed >> (dow - 1)) & 1;
        }
        for (int i = 0; i < base.firm.feteKv; ++i)
            if (base.firm.fete[std::size_t(i)] == u16(day * 256 + month))
                work = false;
        if (work)
            days.push_back(day);
    }
    return days;
}

// The production calendar of 2010 and 2011 (five-day week, 40 hours): the
// weekdays off (public holidays and the days off moved onto weekdays), the
// Saturdays worked instead, and the days shortened by an hour before a
// holiday (a Saturday worked in place of such a day is shortened too).
struct CalendarDay {
    int year, month, day;
};
constexpr CalendarDay WeekdaysOff[] = {
    {2010, 1, 1},  {2010, 1, 4}, {2010, 1, 5}, {2010, 1, 6},  {2010, 1, 7},  {2010, 1, 8},  {2010, 2, 22},
    {2010, 2, 23}, {2010, 3, 8}, {2010, 5, 3}, {2010, 5, 10}, {2010, 6, 14}, {2010, 11, 4}, {2011, 1, 3},
    {2011, 1, 4},  {2011, 1, 5}, {2011, 1, 6}, {2011, 1, 7},  {2011, 1, 10}, {2011, 2, 23}, {2011, 3, 7},
    {2011, 3, 8},  {2011, 5, 2}, {2011, 5, 9}, {2011, 6, 13}, {2011, 11, 4}};
constexpr CalendarDay SaturdaysWorked[] = {{2010, 2, 27}, {2011, 3, 5}};
constexpr CalendarDay ShortenedDays[] = {{2010, 2, 27},  {2010, 4, 30}, {2010, 6, 11}, {2010, 11, 3},
                                         {2010, 12, 31}, {2011, 2, 22}, {2011, 3, 5},  {2011, 11, 3}};

bool listed(const CalendarDay* first, const CalendarDay* last, const QDate& date)
{
    return std::any_of(first, last, [&](const CalendarDay& c) {
        return c.year == date.year() && c.month == date.month() && c.day == date.day();
    });
}

// Minutes of an eight-hour day of the production calendar.
int calendarMinutes(const QDate& date)
{
    const bool weekend = date.dayOfWeek() >= 6;
    if (listed(std::begin(WeekdaysOff), std::end(WeekdaysOff), date) ||
        (weekend && !listed(std::begin(SaturdaysWorked), std::end(SaturdaysWorked), date)))
        return 0;
    return listed(std::begin(ShortenedDays), std::end(ShortenedDays), date) ? 7 * 60 : 8 * 60;
}

// The firm's twelve public-holiday words hold the holidays of the law, the
// same every year; the days off moved by the year's decree and the shortened
// days are the year's own. So the calendar of the five-day week (schedule 1)
// is entered day by day for every month of 2010 and 2011 that the schedule
// holds (fifteen months before the current month to six after it), again in
// every month, as the month change leaves the newest row empty.
void AddDemoProductionCalendar(CInfoBase& base, int month)
{
    WorkSchedule& w = base.scheduleAt(1);
    for (int k = 0; k < int(w.months.size()); ++k) {
        const QDate first = QDate(DemoYear, month, 1).addMonths(k - WorkSchedule::ReportingMonth);
        if (first.year() < 2010 || first.year() > 2011)
            continue;
        ScheduleMonth& row = w.months[std::size_t(k)];
        row = ScheduleMonth{};
        for (int day = 1; day <= first.daysInMonth(); ++day) {
            const int minutes = calendarMinutes(QDate(first.year(), first.month(), day));
            row.d[std::size_t(day - 1)] = u16(minutes);
            row.rDn = i8(row.rDn + (minutes > 0 ? 1 : 0));
            row.rMin = u16(row.rMin + minutes);
        }
    }
}

// ------------------------------------------------------------------ the past year

// The year before the demo year is entered as data, as a firm that starts
// keeping its pay in this program brings the year before with it: January to
// December 2010, so that the reports of 2010 see a whole year and the
// average earnings of 2011's vacations and sick leave have their months. The
// months from January of the demo year on are the program's own: entered,
// computed and closed by the month change (RunDemoMonths). The months before
// the last twelve before the reporting month are paid without the
// month-to-month variation.
constexpr int ArchiveFirstYear = 2010;
constexpr int ArchiveMonths = (DemoYear - ArchiveFirstYear) * 12 + DemoMonth - 1;
// The first month that the program computed.
constexpr int FirstComputedMonth = 1;

struct YearTotals {
    double income = 0; // taxable income since January, kopecks
    double deductions = 0;
    double taxWithheld = 0;
    double contributionBase = 0;
    std::array<double, 5> charged{}; // 990, 992, 993, 994, 995 since January
};

struct Archive {
    EmployeeRecord& rec;
    int n = 0;
    void add(u16 kod, double sum, int year, int month, int days = 0, int hours = 0)
    {
        if (sum == 0 || n >= EmployeeRecord::ArchiveCapacity)
            return;
        WariaEntry& e = rec.waria[std::size_t(n++)];
        e.kod = kod;
        e.sum = sum;
        e.god = u16(year);
        e.mes = u16(month);
        e.dn = u16(days);
        e.hr = u16(hours);
        rec.warKv = u16(n);
    }
};

// Standard deductions of a month (kopecks) for the income since January.
double standardDeductions(const EmployeeRecord& rec, int year, int month, double income)
{
    double total = 0;
    const u16 key = monthKey(year, month);
    for (const NalvichEntry& e : rec.nalvich) {
        if (e.kod == 0 || (e.start && key < e.start) || (e.end && key > e.end))
            continue;
        const double limit = e.kod == 103 ? rub(40'000) : rub(280'000);
        if (income > limit)
            continue;
        const double monthly = e.kod == 103                     ? 400
                               : (e.kod == 116 || e.kod == 117) ? 3'000
                               : e.kod == 110                   ? 2'000
                                                                : 1'000;
        total += rub(monthly) * std::max<int>(1, e.krat);
    }
    return total;
}

// Income tax and contributions of one past month, as the calculation would have
// charged them, into the archive.
double taxAndContributions(Archive& a, bool nonResident, bool disabled, int year, int month, double gross,
                           YearTotals& t)
{
    t.income += gross;
    t.deductions += nonResident ? 0 : standardDeductions(a.rec, year, month, t.income);
    double tax;
    if (nonResident) {
        tax = wholeRoubles(gross * 0.30);
    } else {
        const double due = wholeRoubles(std::max(0.0, t.income - t.deductions) * 0.13);
        tax = std::max(0.0, due - t.taxWithheld);
    }
    t.taxWithheld += tax;
    a.add(902, tax, year, month);

    // Pension, social insurance, territorial and federal medical, accidents.
    const double cap = rub(year == 2010 ? 415'000 : 463'000);
    t.contributionBase += gross;
    const double capped = std::min(t.contributionBase, cap);
    std::array<double, 5> rates =
        year == 2010 ? std::array<double, 5>{20, 2.9, 2.0, 1.1, 0.2} : std::array<double, 5>{26, 2.9, 2.0, 3.1, 0.2};
    if (disabled) {
        // The rates of the law on the pay of a disabled employee: 2010 pension
        // 14 % and nothing to the other funds, 2011 pension 16 %, social
        // insurance 1.9 %, medical 1.2 % and 1.1 %; accidents 60 % of 0.2 %.
        rates =
            year == 2010 ? std::array<double, 5>{14, 0, 0, 0, 0.12} : std::array<double, 5>{16, 1.9, 1.2, 1.1, 0.12};
    }
    static const u16 codes[] = {990, 992, 993, 994, 995};
    for (std::size_t k = 0; k < 5; ++k) {
        if (nonResident && codes[k] != 995)
            continue; // a foreigner staying temporarily: accidents only
        const double base = codes[k] == 995 ? t.contributionBase : capped;
        const double due = std::round(base * rates[k] / 100);
        const double amount = due - t.charged[k];
        t.charged[k] = due;
        a.add(codes[k], amount, year, month);
    }
    return tax;
}

// The report generator's period and the firm's texts that only the
// statutory reports read: every report shows the first quarter of 2011.
void AddDemoReportSettings(CInfoBase& base)
{
    base.config.r_g = i8(2011 - 1900);
    base.config.r_m1 = 1;
    base.config.r_m2 = 3;
    FirmInfo& f = base.firm;
    f.texts[FirmInfo::firmPodchFSS] = QStringLiteral("35011");
    f.texts[FirmInfo::firmKodObosob] = QStringLiteral("0000");
    f.texts[FirmInfo::innShef] = QStringLiteral("352500412377");
    f.texts[FirmInfo::innBuh] = QStringLiteral("352511870243");
    f.texts[FirmInfo::fioPredst] = s(u"Кудрявцева Ирина Николаевна");
}

// The accounts that the postings for accounting carry (the chart of accounts
// "plan_1c.txt" names them): 68.1 for the income tax, 69.x for the
// contributions, which are posted too, the cash desk, the bank, 73 for the
// loan and damages and 76 for writs and union dues.
void AddDemoPostingAccounts(CInfoBase& base)
{
    struct Account {
        int code, account, subaccount, analytics;
    };
    static constexpr Account accounts[] = {
        {760, 73, 1, 0}, {901, 50, 1, 0}, {902, 68, 1, 0},  {903, 51, 0, 0},  {904, 50, 1, 0},  {905, 50, 1, 0},
        {906, 51, 0, 0}, {907, 73, 2, 0}, {911, 76, 41, 0}, {912, 76, 41, 0}, {913, 76, 41, 0}, {914, 76, 41, 0},
        {919, 76, 1, 0}, {990, 69, 2, 0}, {992, 69, 1, 0},  {993, 69, 3, 2},  {994, 69, 3, 1},  {995, 69, 11, 0}};
    for (const Account& a : accounts) {
        for (int number = 1; number <= int(base.payKinds().size()); ++number) {
            PayKind& kind = base.payKindAt(number);
            if (kind.kod != a.code)
                continue;
            kind.spzCh = u16(a.account);
            kind.spzSc = u16(a.subaccount);
            kind.spzAu = u16(a.analytics);
            if (a.code >= 990)
                kind.flags = u16(kind.flags | 0x100);
        }
    }
}

// Standing payments of a few employees: a monthly supplement to the salary, an
// hourly allowance for harmful work, a monthly bonus in percent of the last
// month's accruals, and a supplement paid by a separate statement.
void addPermanentPayments(int i, EmployeeRecord& rec)
{
    PostDoplEntry e;
    switch (i) {
    case 1: // Кудрявцева: 5,000 a month for the worked time
        e.kod = 53;
        e.vid = 0;
        e.sum = rub(5'000);
        e.zavisOt = 1;
        break;
    case 18: // Муравьёв: 12 roubles an hour for harmful conditions
        e.kod = 9;
        e.vid = 1;
        e.sum = rub(12);
        e.zavisOt = 1;
        break;
    case 10: // Прохоров: 20 % of all accruals of the last month
        e.kod = 8;
        e.vid = 5;
        e.mask = 8;
        e.procent = 200;
        e.period = 1;
        break;
    case 12: // Голубев: 1,500 since January 2011, paid by a separate statement
        e.kod = 6;
        e.vid = 0;
        e.sum = rub(1'500);
        e.mrp = 1;
        e.dBegin = 1;
        e.mBegin = 1;
        e.gBegin = 2011;
        break;
    default: return;
    }
    rec.postDopl[0] = e;
}

// People with something particular in the months before the reporting month.
constexpr int DatedSickLeaveIndex = 14; // Ермаков: ill 14 February to 4 March, two sheets
constexpr int UnpaidLeaveIndex = 19; // Носков: unpaid leave 14-18 March

// Rows of the months before the reporting month entered on the screen of
// current accruals and deductions: Ракитин's January salary paid twice by
// mistake (1,800.00 in January) and its reversal filed in February against
// January; Сазонов's voluntary insurance premium and trade-union fee.
template <typename AddRow>
void addPastMonthRows(int i, int month, AddRow&& row)
{
    if (i == ReversalIndex && month == 1)
        row(4, rub(1'800), 1);
    if (i == ReversalIndex && month == 2)
        row(4, -rub(1'800), 1);
    if (i == VacationIndex && month < DemoMonth) {
        row(905, rub(1'200), month);
        row(919, rub(350), month);
    }
}

// Bonuses that the bonus statement pays between settlements (period 2, "in
// the next month's inter-settlement period", which the month's calculation
// leaves alone): the assembly brigade of five shares a fund of 60,000 roubles
// by labour participation (variant 1 of the rules, each member's line with
// his participation coefficient in hundredths and his days in the brigade),
// Тихонов gets 25 % of last month's pay of mask 1 and Воронцов 10 % of his
// salary.
constexpr int BrigadeIndices[] = {28, 29, 30, 31, 32};

std::vector<BonusLine> statementBonuses(int i)
{
    BonusLine line;
    line.kod = 8;
    line.mrp = 2;
    const int coefficients[] = {100, 120, 90, 110, 80};
    const int days[] = {21, 21, 19, 21, 20};
    for (int member = 0; member < int(std::size(BrigadeIndices)); ++member)
        if (BrigadeIndices[member] == i) {
            line.procent = 3;
            line.sum = rub(60'000);
            line.spzAu = u16(coefficients[member]);
            line.ceh = u16(days[member]);
            return {line};
        }
    if (i == 9) {
        line.procent = 1;
        line.sum = 2'500; // hundredths of a percent
        line.mask = 1;
        line.mes = 1; // last month's data
        return {line};
    }
    if (i == 0) {
        line.procent = 2;
        line.sum = 1'000;
        return {line};
    }
    return {};
}

} // namespace

// ------------------------------------------------------------------ the firm

// What the record card shows beyond the pay data: a reserve officer with his
// rank and length of military service (not a serviceman now, so his pay
// bears contributions as before), a property deduction whose notice came for
// May (so the April tax is unchanged), the foreigner's phone and contract,
// the part-timer.
constexpr int ServicemanIndex = 30; // Шубин: прапорщик запаса
constexpr int PropertyDeductionIndex = 4; // Широков: bought a flat
void addRecordCardDetails(int i, EmployeeHead& h)
{
    constexpr u32 PartTimer = 1u << 3;
    if (i == ServicemanIndex) {
        h.officerDatStag = packedDate(1, 8, 1999);
        h.officerTitle = s(u"прапорщик запаса");
    }
    if (i == PropertyDeductionIndex) {
        constexpr u32 amount = 185'000'000; // 1,850,000 roubles
        h.imvichBeg = h.imvichNY = h.imvichOst = amount;
        h.imvichDat = packedDate(1, 5, 2011);
        h.imvichSprNom = QStringLiteral("1245");
        h.imvichSprKodNO = QStringLiteral("3525");
        h.imvichSprDat = QStringLiteral("25.4.11");
        h.kuplAdr = s(u"Вологодская обл., г. Вологда, ул. Северная, д. 36, кв. 12");
    }
    if (i == NonResidentIndex) {
        h.gitPhone = QStringLiteral("8-911-502-17-44");
        h.dogNom = QStringLiteral("17/10");
    }
    if (people[i].stavka < 100)
        h.flags |= PartTimer;
    const int* hired = people[i].hired;
    h.dolgDat = QStringLiteral("%1.%2.%3").arg(hired[0]).arg(hired[1]).arg(hired[2] % 100);
    h.GNI = QStringLiteral("3525");
    h.gitKodStr = QStringLiteral("643");
}

// The time sheets of April 2011 beyond the days and hours worked, so that every
// field of the time-sheet screen shows on some employee: evening and night
// hours, holiday and day-off work, overtime, a business trip, training, idle
// time, unpaid days and a raised rate coefficient.
static void AddDemoTimeSheetDetails(CInfoBase& base)
{
    // By index in people[] (slot = index + 1, personnel number = 101 + index).
    auto sheet = [&](int index) -> TabelRecord& { return base.tabelOf(NumberOfPlace(index)); };
    auto hours = [](int h, int m = 0) { return u16(h * 60 + m); };

    TabelRecord& belousov = sheet(34); // evening and night work on the assembly line
    belousov.vHr = hours(24);
    belousov.nHr = hours(16, 30);
    TabelRecord& ovchinnikov = sheet(45); // shifts: nights and a public holiday
    ovchinnikov.nHr = hours(44);
    ovchinnikov.prDn = 1;
    ovchinnikov.prHr = hours(11);
    ovchinnikov.prPlanDn = 1;
    ovchinnikov.prPlanHr = hours(11);
    TabelRecord& pankratov = sheet(46); // shifts on days off
    pankratov.vyhDn = 2;
    pankratov.vyhHr = hours(22);
    TabelRecord& losev = sheet(42); // overtime, two hours of it paid double
    losev.sverhHr = hours(6);
    losev.sverhDvaHr = hours(2);
    TabelRecord& efimov = sheet(38); // business trip of three days
    efimov.komDn = 3;
    TabelRecord& zimin = sheet(39); // training and other work
    zimin.kvalDn = 2;
    zimin.kvalHr = hours(16);
    zimin.drRabDn = 1;
    TabelRecord& gorbunov = sheet(36); // idle time
    gorbunov.prostDn = 1;
    gorbunov.prostHr = hours(8);
    // Two days at his own expense, one of them a day off; the sheet shows the
    // whole month, as the engine expects, and the engine takes the days out.
    TabelRecord& maslov = sheet(43);
    maslov.bezsodDn = 2;
    maslov.bezsodHr = hours(16);
    maslov.bezsodDnVyh = 1;
    maslov.bezsodHrVyh = hours(8);
    TabelRecord& vinogradova = sheet(35); // a student's reduced days
    vinogradova.uchDn = 2;
    vinogradova.uchHr = hours(4);
    TabelRecord& tsvetkov = sheet(28); // rate raised by 20 %, accruals to DBF net of tax
    tsvetkov.setKoeffHundredths(120);
    tsvetkov.dbf = 1;
}

// One-off accruals and deductions of April 2011 entered on the screen of
// current accruals and deductions: a bonus, a damage deduction, a reversal
// with a minus sign and a row of another shop with its production-cost code.
static void AddDemoOneOffRows(CInfoBase& base, std::vector<EmployeeRecord>& records)
{
    // By index in people[] (slot = index + 1, personnel number = 101 + index).
    auto add = [&](int index, u16 kod, double sum, u8 shop) -> AccrualRow& {
        EmployeeAttributes& at = base.attributesOf(NumberOfPlace(index));
        AccrualRow& r = records[std::size_t(index)].rows[at.kvProizv];
        at.kvProizv = u16(at.kvProizv + 1);
        r.kod = kod;
        r.sum = sum;
        r.mes = DemoMonth;
        r.otd = shop;
        return r;
    };
    add(13, 7, rub(4'000), 2); // Дьяконов: a one-off bonus for the urgent order
    add(29, 907, rub(1'250), 3); // Чернов: damage to a tool made good
    add(20, 21, -rub(420.50), 2); // Осипов: evening hours paid twice, reversed
    AccrualRow& other = add(24, 5, rub(1'500), 3); // Титов: two days in the assembly shop
    other.dn = 2;
    other.hr = 16;
    u16 ch = 0, sc = 0, au = 0;
    SetPacked12Digits(200100030015ULL, ch, sc, au); // 2001 0003 0015
    other.spzCh = ch & kDigitGroupMask;
    other.spzSc = sc & kDigitGroupMask;
    other.spzAu = au & kDigitGroupMask;
}

// The firm's own data: names, accounts, codes, address, signatures, mask 1
// and the labour-participation rules.
void FillDemoFirm(FirmInfo& f)
{
    f.texts[FirmInfo::firmName] = s(u"ООО «Северная механика»");
    f.texts[FirmInfo::firmBank] = s(u"Вологодское отделение № 8638 Сбербанка России");
    f.texts[FirmInfo::firmRS] = QStringLiteral("40702810812000004417");
    f.texts[FirmInfo::firmKS] = QStringLiteral("30101810900000000644");
    f.texts[FirmInfo::firmBIK] = QStringLiteral("041909644");
    f.texts[FirmInfo::firmOKATO] = QStringLiteral("19401000000");
    f.texts[FirmInfo::adrInd] = QStringLiteral("160009");
    f.texts[FirmInfo::adrObl] = s(u"Вологодская обл.");
    f.texts[FirmInfo::adrGorod] = s(u"Вологда");
    f.texts[FirmInfo::adrUlica] = s(u"ул. Промышленная");
    f.texts[FirmInfo::adrDom] = QStringLiteral("14");
    f.texts[FirmInfo::adrPhone] = QStringLiteral("(8172) 53-41-07");
    f.texts[FirmInfo::fioShef] = s(u"Воронцов Андрей Викторович");
    f.texts[FirmInfo::statusShef] = s(u"Директор");
    f.texts[FirmInfo::fioBuh] = s(u"Кудрявцева Ирина Николаевна");
    f.texts[FirmInfo::buhFio] = s(u"Кудрявцева И. Н.");
    f.texts[FirmInfo::kassirDolg] = s(u"Кассир");
    f.texts[FirmInfo::kassirFio] = s(u"Зуева Л. И.");
    // The 1C transfer file of the cash orders; the build makes it empty in the working folder.
    f.texts[FirmInfo::file1C] = QStringLiteral("kassa1c.txt");
    // Mask 1: the pay for time, salary and piece work (the bonuses in percent).
    for (int code : {1, 2, 3, 4, 5, 6, 9, 53}) f.masks[1][std::size_t(code)] = 1;
    // Labour-participation rules, variant 1: 70 % of a fund by each member's
    // rate and days in the brigade, 30 % by his participation coefficient.
    f.ktu[0] = {u16(70 | 0x80 | 0x100), u16(30 | (1 << 9)), 0, 0};
    f.texts[FirmInfo::firmPens] = QStringLiteral("059-001-017342");
    f.texts[FirmInfo::firmOMS] = QStringLiteral("3500000123");
    f.texts[FirmInfo::firmFSS] = QStringLiteral("3501002417");
    f.texts[FirmInfo::KodOtdFSS] = QStringLiteral("3501");
    f.texts[FirmInfo::territOrganFSS] = s(u"ГУ – Вологодское региональное отделение ФСС РФ");
    f.texts[FirmInfo::firmINN] = QStringLiteral("3525087412");
    f.texts[FirmInfo::firmKPP] = QStringLiteral("352501001");
    f.texts[FirmInfo::firmOGRN] = QStringLiteral("1023500887412");
    f.texts[FirmInfo::firmOKVED] = QStringLiteral("28.75");
    f.texts[FirmInfo::firmOKPO] = QStringLiteral("12783356");
    f.texts[FirmInfo::firmOKOPF] = QStringLiteral("65");
    f.texts[FirmInfo::firmOKFS] = QStringLiteral("16");
    f.texts[FirmInfo::firmGNI] = QStringLiteral("3525");
    f.texts[FirmInfo::firmNalogovaya] = s(u"ИФНС России по г. Вологде");
    f.adrKodRG = 35;
}

// Kinds of this firm besides the built-in ones.
void AddDemoPayKinds(CInfoBase& base)
{
    PayKind loan;
    loan.kod = 760;
    loan.name = s(u"Погашение займа, выданного работнику");
    loan.flags = 0x100;
    loan.vedStlb = 4; // with the bank transfers and other deductions
    base.addPayKind(loan);
}

// A person's card: name, dates, pay, documents, address, position and cost codes.
void FillDemoHead(CInfoBase& base, EmployeeHead& h, const Person& p, int i)
{
    const int slot = i + 1;
    h.fio = s(p.fio);
    const QStringList parts = h.fio.split(QLatin1Char(' '));
    base.shortNameOf(slot) =
        parts[0] + QLatin1Char(' ') + parts[1].left(1) + QStringLiteral(". ") + parts[2].left(1) + QLatin1Char('.');
    h.pol = p.sex == 'M' ? s(u"М") : s(u"Ж");
    h.datR = packedDate(p.born[0], p.born[1], p.born[2]);
    h.datPr1 = packedDate(p.hired[0], p.hired[1], p.hired[2]);
    h.tabPodoh = 1;
    h.stavka = p.stavka;
    h.dolgKod = u16(p.position);
    h.profKod = u16(p.profession);
    if (p.pay == Salary)
        h.oklad = rub(p.rate);
    else if (p.pay == Hourly)
        h.tarifVrem = Tariff3{u16(int(p.rate)), u16(std::lround((p.rate - int(p.rate)) * 1000))};
    else
        h.tarifSdel = Tariff3{u16(int(p.rate)), u16(std::lround((p.rate - int(p.rate)) * 1000))};
    h.married = p.children > 0 ? 1 : 0;
    h.children = u16(p.children);
    // The insurance number with its own check number.
    const QString insurance = QStringLiteral("%1-%2-%3")
                                  .arg(112 + i * 7, 3, 10, QLatin1Char('0'))
                                  .arg(305 + i * 11, 3, 10, QLatin1Char('0'))
                                  .arg(418 + i * 13 % 500, 3, 10, QLatin1Char('0'));
    h.strahPolis = QStringLiteral("%1 %2").arg(insurance).arg(InsuranceCheckNumber(insurance), 2, 10, QLatin1Char('0'));
    h.INN = QStringLiteral("3525%1").arg(40'117'300 + i * 1'379, 8, 10, QLatin1Char('0'));
    h.pspKod = QStringLiteral("21");
    h.pspStr = QStringLiteral("643");
    h.pspSer = QStringLiteral("19 %1").arg(3 + i % 7, 2, 10, QLatin1Char('0'));
    h.pspNom = QStringLiteral("%1").arg(512'340 + i * 1'217, 6, 10, QLatin1Char('0'));
    h.pspDat = QStringLiteral("%1.%2.%3")
                   .arg(1 + i % 27, 2, 10, QLatin1Char('0'))
                   .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                   .arg(2002 + i % 8);
    h.pspKem = s(u"Отделом УФМС России по Вологодской обл. в г. Вологде");
    h.bdGorod = s(u"Вологда");
    h.bdReg = s(u"Вологодская обл.");
    h.propKodStr = QStringLiteral("643");
    h.propKodReg = QStringLiteral("35");
    h.propReg = s(u"Вологодская обл.");
    h.propGorod = s(u"Вологда");
    static const char16_t* const streets[] = {u"ул. Ленина",      u"ул. Мира",     u"ул. Чернышевского", u"Окружное ш.",
                                              u"ул. Ловенецкого", u"ул. Горького", u"ул. Северная",      u"пр. Победы"};
    h.propUl = s(streets[i % 8]);
    h.propDom = QString::number(3 + i * 5 % 97);
    h.propKv = QString::number(1 + i * 17 % 140);
    h.propInd = QStringLiteral("1600%1").arg(10 + i % 40);
    h.gitInd = h.propInd;
    h.gitAdr = h.propReg + QStringLiteral(", г. ") + h.propGorod + QStringLiteral(", ") + h.propUl +
               QStringLiteral(", д. ") + h.propDom + QStringLiteral(", кв. ") + h.propKv;
    h.dolgName = s(positionNames[p.position - 1]);
    h.spz[0] = {u16(p.shop == 1 ? 26 : 20), 1, u16(p.shop)};
    // The staff category of the ИНФИН postings (own cost code 1): 2000 the
    // production staff, 2600 the management of shop 1.
    h.spz[1] = {u16(p.shop == 1 ? 2600 : 2000), 0, 0};
}

// Standard deductions: 400 roubles on oneself; children by the codes of each
// year; none for the non-resident. None before the hire month: a deduction
// starts with the employment, and one whose year ended before it is none.
void AddDemoDeductions(EmployeeRecord& rec, const Person& p, int i)
{
    int nd = 0;
    const u16 hired = monthKey(p.hired[2], p.hired[1]);
    auto deduction = [&](u16 kod, int y1, int m1, int y2, int m2, int krat) {
        const u16 start = std::max(monthKey(y1, m1), hired), end = monthKey(y2, m2);
        if (start > end)
            return;
        NalvichEntry& e = rec.nalvich[std::size_t(nd++)];
        e.kod = kod;
        e.start = start;
        e.end = end;
        e.krat = i8(krat);
    };
    const bool nonResident = i == NonResidentIndex;
    if (!nonResident) {
        deduction(103, 2010, 1, 2011, 12, 1);
        if (p.children > 0) {
            deduction(108, 2010, 1, 2010, 12, p.children);
            deduction(114, 2011, 1, 2011, 12, 1);
            if (p.children >= 2)
                deduction(115, 2011, 1, 2011, 12, 1);
            if (p.children >= 3)
                deduction(i == DisabledChildIndex ? 117 : 116, 2011, 1, 2011, 12, 1);
        }
    }
}

// The non-resident foreigner's documents and the disabled employee's certificate.
void MarkDemoStatus(EmployeeHead& h, int i)
{
    const bool nonResident = i == NonResidentIndex;
    if (nonResident) {
        h.flags |= Foreigner | NonResident;
        h.inostrDatPr = packedDate(10, 12, 2010);
        h.inostrDnPrRF = 112;
        h.pspKod = QStringLiteral("10");
        h.pspStr = QStringLiteral("860");
        h.pspSer = QStringLiteral("AA");
        h.pspKem = s(u"МВД Республики Узбекистан");
        h.bdGorod = s(u"Самарканд");
        h.bdReg.clear();
        h.propKodStr = QStringLiteral("860");
    }
    const bool disabled = i == DisabledIndex;
    if (disabled) {
        h.flags |= 3u << DisabledGroupShift;
        h.invDat1Begin = monthKey(2009, 2);
        h.invSprSer = QStringLiteral("МСЭ-2009");
        h.invSprNom = QStringLiteral("0412785");
        h.invSprDat = QStringLiteral("16.02.2009");
    }
}

// The archive of 2010: pay, advance, tax, contributions, transfers.
void AddDemoArchive(CInfoBase& base, EmployeeRecord& rec, const Person& p, int i, bool nonResident, bool disabled)
{
    const int year = DemoYear, month = DemoMonth;
    const QDate hire(p.hired[2], p.hired[1], p.hired[0]);
    // One month's pay into an archive; returns the gross amount.
    auto monthPay = [&](Archive& a, int y, int m, int variation) {
        int days = workingDays(y, m);
        if (p.schedule == 2)
            days = int(plannedDays(base, 2, y, m).size());
        const int dayHours = (p.schedule == 2 ? 11 : 8) * p.stavka / 100;
        int worked = days;
        if (hire.year() == y && hire.month() == m)
            worked = days * (QDate(y, m, 1).daysInMonth() - hire.day() + 1) / QDate(y, m, 1).daysInMonth();
        if (i == SickIndex && y == 2011 && m == 3)
            worked = days - 4; // ill 28-31 March
        if (i == VacationIndex && y == 2010 && m == 7)
            worked = days - 10; // on vacation
        double gross = 0;
        if (p.pay == Salary) {
            // The salary is that of a full position; a part-time rate earns its share.
            gross = std::round(rub(p.rate) * p.stavka / 100 * worked / days);
            a.add(4, gross, y, m, worked, worked * dayHours);
        } else if (p.pay == Hourly) {
            gross = std::round(rub(p.rate) * worked * dayHours);
            a.add(3, gross, y, m, worked, worked * dayHours);
        } else {
            gross = std::round(rub(p.rate) * worked * 8 * (1.15 + variation / 100.0));
            a.add(1, gross, y, m, worked, worked * 8);
        }
        // The quarterly bonus in the last month of each quarter.
        if (m % 3 == 0 && p.shop != 1) {
            const double bonus = wholeRoubles(gross * 0.15);
            a.add(7, bonus, y, m);
            gross += bonus;
        }
        // Last summer's vacation of the vacation taker, paid in July.
        if (i == VacationIndex && y == 2010 && m == 7) {
            const double pay = rub(14 * 850.50);
            a.add(89, pay, y, m, 14);
            gross += pay;
        }
        return gross;
    };
    Archive a{rec};
    YearTotals totals;
    int totalsYear = 0;
    for (int back = ArchiveMonths; back >= 1; --back) {
        int y = year, m = month - back;
        while (m <= 0) {
            m += 12;
            --y;
        }
        if (y >= DemoYear)
            break; // the program's own months
        if (y != totalsYear) {
            totals = YearTotals{};
            totalsYear = y;
            // The months of the year before the archive begins count for the
            // year's tax, deductions and contribution cap; they are not kept.
            EmployeeRecord scratchRecord = rec;
            Archive scratch{scratchRecord};
            for (int earlier = 1; earlier < m; ++earlier)
                if (QDate(y, earlier, 1).addMonths(1) > hire)
                    taxAndContributions(scratch, nonResident, disabled, y, earlier, monthPay(scratch, y, earlier, 0),
                                        totals);
        }
        if (QDate(y, m, 1).addMonths(1) <= hire)
            continue; // not yet hired
        const double gross = monthPay(a, y, m, back > 12 ? 0 : ((i * 7 + back * 3) % 9) - 4);
        const double tax = taxAndContributions(a, nonResident, disabled, y, m, gross, totals);
        a.add(901, wholeRoubles(gross * 0.4), y, m);
        if (i == WritIndex)
            a.add(911, std::round((gross - tax) * 0.25), y, m);
    }
}

// Bonuses of the month: fixed amounts, a percent, the statement's lines.
void AddDemoBonuses(CInfoBase& base, int slot, int i)
{
    // Bonuses, fixed amounts.
    for (int b : BonusIndices)
        if (b == i) {
            BonusLine line;
            line.kod = 8;
            line.procent = 0;
            line.sum = rub(b == VacationIndex ? 5'000 : 3'500);
            base.prem.replaceRun(slot, std::vector<BonusLine>{line});
        }
    if (i == PercentBonusIndex) {
        BonusLine percent;
        percent.kod = 8;
        percent.procent = 1;
        percent.sum = 1'000; // hundredths of a percent
        percent.mask = 1;
        base.prem.insertLine(slot, 1, percent);
    }
    if (const std::vector<BonusLine> lines = statementBonuses(i); !lines.empty())
        base.prem.replaceRun(slot, lines);
}

// Lines of the alternative time sheet.
void AddDemoAltTimeSheet(CInfoBase& base, int slot, int i, int month)
{
    // Lines of the alternative time sheet.
    if (i == SecondJobIndex) {
        AltTabelEntry line;
        line.kod = 3; // 40 hours at 120.500 an hour
        line.mes = u16(month);
        line.hr = 40;
        line.tarif.rub = 120;
        line.tarif.thou = 500;
        base.altTabel.replaceRun(slot, std::vector<AltTabelEntry>{line});
    }
    if (i == HarmfulWorkIndex) {
        AltTabelEntry line;
        line.kod = 9; // 4,000 a month for the days of the main time sheet
        line.mes = u16(month);
        line.dn = 32;
        line.sumOklad = rub(4'000);
        base.altTabel.replaceRun(slot, std::vector<AltTabelEntry>{line});
    }
    if (i == EveningReversalIndex) {
        AltTabelEntry line;
        line.kod = 21; // six evening hours at 50 an hour, taken back
        line.mes = u16(month);
        line.hr = 6;
        line.tarif.rub = 50;
        line.storno = 1;
        base.altTabel.replaceRun(slot, std::vector<AltTabelEntry>{line});
    }
}

// The employee's loan (pay kind 760): the debt, and how many months each
// repayment amount is deducted.
void SetDemoLoan(EmployeeRecord& rec, EmployeeAttributes& at, double debt, const decltype(SsudBlock::Loan::mes)& months,
                 const decltype(SsudBlock::Loan::sum)& amounts)
{
    SsudBlock::Loan& l = rec.ssud.loans[0];
    l.kod = 760;
    l.kvMes = 1;
    l.sumDolg = debt;
    l.mes = months;
    l.sum = amounts;
    at.priznSsud = 1;
}

// Deductions that came in the reporting month: a writ of a fixed amount, a
// fixed transfer to a second bank, a second loan.
void AddDemoNewDeductions(EmployeeRecord& rec, EmployeeAttributes& at, const QString& fio, int i)
{
    if (i == SecondWritIndex) {
        IspolBlock::Writ& w = rec.ispol.writs[0];
        w.vid = 3;
        w.sum = rub(2'000);
        w.fio = s(u"ООО «Вологдаэнергосбыт»");
        w.adr = s(u"160009, г. Вологда, ул. Мальцева, д. 52");
        at.priznIspl = 1;
    }
    if (i == FixedTransferIndex) {
        SberRow& row = rec.sber[1];
        row.kod = 903;
        row.sum = rub(5'000);
        row.bank = 2;
        row.ls = QStringLiteral("40817810400001234567");
        row.fio = fio;
        at.priznBank = 2;
    }
    if (i == SecondLoanIndex) // 10,000 roubles: two months at 2,000, then six at 1,000
        SetDemoLoan(rec, at, rub(10'000), {2, 6, 0}, {rub(2'000), rub(1'000), 0});
}

// Standing deductions since January: bank transfers, a writ and a loan.
void AddDemoStandingDeductions(EmployeeRecord& rec, EmployeeAttributes& at, const QString& fio, int i)
{
    // Transfers of the rest of the pay to a bank account.
    for (int b : BankIndices)
        if (b == i) {
            SberRow& row = rec.sber[0];
            row.kod = 903;
            row.sum = 0;
            row.bank = 1;
            row.filial = s(u"Доп. офис № 1806/015");
            row.ls =
                QStringLiteral("42307810%1").arg(12'000'000'000LL + 7'319'011LL * (i + 3), 12, 10, QLatin1Char('0'));
            row.fio = fio;
            at.priznBank = 1;
        }

    if (i == WritIndex) {
        IspolBlock::Writ& w = rec.ispol.writs[0];
        w.vid = 1;
        w.priznUd = 1; // a percent
        w.sum = 2'500; // 25 %, hundredths of a percent
        w.tabPsbor = 17; // the postal fee table
        w.fio = s(u"Комарова Наталья Сергеевна");
        w.adr = s(u"160012, г. Вологда, ул. Гагарина, д. 42, кв. 18");
        at.priznAlim = 1;
    }
    if (i == LoanIndex) // 36,000 roubles given in December 2010, 3,000 a month from January 2011
        SetDemoLoan(rec, at, rub(36'000), {12, 0, 0}, {rub(3'000), 0, 0});
}

// Sick-leave sheets and vacation notes of the months before the reporting
// month: Сазонов's additional vacation in January and a vacation of kind 2 in
// March, Ермаков's sheet of February and the sheet continuing it into March.
void AddDemoPastSheetsAndNotes(CInfoBase& base, int slot, int i, int month)
{
    auto sheet = [](int d1, int m1, int d2, int m2, bool continues) {
        SickLeaveSheet sl;
        sl.dBegin = u8(d1);
        sl.mBegin = u8(m1);
        sl.gBegin = DemoYear;
        sl.dEnd = u8(d2);
        sl.mEnd = u8(m2);
        sl.gEnd = DemoYear;
        sl.procent = 100; // more than eight years of insurance
        sl.contin = continues ? 1 : 0;
        return sl;
    };
    auto note = [](int day, int month, int days, int vid) {
        VacationNote v;
        v.dBegin = u16(day);
        v.mBegin = u16(month);
        v.gBegin = DemoYear;
        v.dlin = u16(days);
        v.vid = u16(vid);
        v.kalend = 1;
        v.alg = 1; // average per calendar day, 29.4 days a month
        return v;
    };
    if (i == DatedSickLeaveIndex && month == 2)
        base.bln.replaceRun(slot, std::vector<SickLeaveSheet>{sheet(14, 2, 25, 2, false)});
    if (i == DatedSickLeaveIndex && month == 3)
        base.bln.replaceRun(slot, std::vector<SickLeaveSheet>{sheet(26, 2, 4, 3, true)});
    if (i == VacationIndex && month == 1)
        base.otp.replaceRun(slot, std::vector<VacationNote>{note(10, 1, 7, 1)});
    if (i == VacationIndex && month == 3)
        base.otp.replaceRun(slot, std::vector<VacationNote>{note(21, 3, 5, 2)});
}

// The reporting month's sick-leave sheets and vacation notes.
void AddDemoSheetsAndNotes(CInfoBase& base, int slot, int i, int year, int month)
{
    if (i == SickIndex) {
        SickLeaveSheet sl;
        sl.dBegin = 28;
        sl.mBegin = 3;
        sl.gBegin = 2011;
        sl.dEnd = 8;
        sl.mEnd = 4;
        sl.gEnd = 2011;
        sl.procent = 100; // more than eight years of insurance
        sl.alg = 0; // average earnings by days
        sl.mrp = 1; // "Выплатить в м/р": paid before the month's pay
        sl.sum = DemoSickLeaveAmount;
        base.bln.replaceRun(slot, std::vector<SickLeaveSheet>{sl});
    }
    if (i == ChildCareIndex) {
        // The child-care allowance up to 1.5 years of the first child, from 18 April.
        SickLeaveSheet sl;
        sl.dBegin = 18;
        sl.mBegin = 4;
        sl.gBegin = 2011;
        sl.dEnd = 30;
        sl.mEnd = 4;
        sl.gEnd = 2011;
        sl.vid = 5;
        base.bln.replaceRun(slot, std::vector<SickLeaveSheet>{sl});
    }
    if (i == VacationIndex) {
        VacationNote v;
        v.dBegin = 11;
        v.mBegin = u16(month);
        v.gBegin = u16(year);
        v.dlin = 14;
        v.kalend = 1;
        v.alg = 1; // average per calendar day, 29.4 days a month
        v.mrp = 1; // "Выплатить в м/р": paid before the month's pay
        v.sum = DemoVacationAmount;
        // Three days of additional vacation right after it, paid with the month's pay.
        VacationNote additional;
        additional.dBegin = 25;
        additional.mBegin = u16(month);
        additional.gBegin = u16(year);
        additional.dlin = 3;
        additional.vid = 1;
        additional.kalend = 1;
        additional.alg = 1;
        base.otp.replaceRun(slot, std::vector<VacationNote>{v, additional});
    }
}

namespace {

QDate hireDate(int i)
{
    const int* hired = people[i].hired;
    return QDate(hired[2], hired[1], hired[0]);
}

// Whether the person works for the firm in a month of the demo year: hired
// on or before its last day.
bool listedIn(int i, int month) { return hireDate(i) < QDate(DemoYear, month, 1).addMonths(1); }

// Whether the person is away on a planned day of a month of the demo year:
// not yet hired, gone, ill or on vacation.
bool awayOn(int i, int month, int day)
{
    const QDate hired = hireDate(i);
    if (hired.year() == DemoYear && hired.month() == month && day < hired.day())
        return true;
    switch (month) {
    case 1: return i == VacationIndex && day >= 10 && day <= 16;
    case 2: return i == DatedSickLeaveIndex && day >= 14;
    case 3:
        return (i == DatedSickLeaveIndex && day <= 4) || (i == VacationIndex && day >= 21 && day <= 25) ||
               (i == UnpaidLeaveIndex && day >= 14 && day <= 18) ||
               (i == SickIndex && day >= 28); // the sheet comes in April
    case DemoMonth:
        return DismissedBeforeMonth(i) || (i == DismissedInMonth && day > 15) || (i == SickIndex && day <= 8) ||
               (i == VacationIndex && day >= 11 && day <= 27) || (i == ChildCareIndex && day >= 18);
    default: return false;
    }
}

// Minutes of a planned day of a month of the demo year: the production
// calendar's on the five-day week, eleven hours a shift; a part-time rate
// works its share.
int plannedMinutes(const Person& p, int month, int day)
{
    const int full = p.schedule == 2 ? 11 * 60 : calendarMinutes(QDate(DemoYear, month, day));
    return full * p.stavka / 100;
}

// Planned days of the five-day week in a month of the demo year, by the
// production calendar.
std::vector<int> calendarDays(int month)
{
    std::vector<int> days;
    for (int day = 1; day <= QDate(DemoYear, month, 1).daysInMonth(); ++day)
        if (calendarMinutes(QDate(DemoYear, month, day)) > 0)
            days.push_back(day);
    return days;
}

// A month's time sheet of a person: the planned days he works, marked, and
// their minutes; returns the days' count.
int FillDemoTimeSheet(TabelRecord& t, const std::vector<int>& norm, const Person& p, int i, int month)
{
    t.tabel12 = 0;
    t.tabel22 = 0;
    t.setKoeffHundredths(100);
    int worked = 0, minutes = 0;
    for (int d : norm) {
        if (awayOn(i, month, d))
            continue;
        SetDayMark(t, d, true);
        ++worked;
        minutes += plannedMinutes(p, month, d);
    }
    t.rabDn = u8(worked);
    t.rabHr = u16(minutes);
    return worked;
}

// Носков's unpaid leave of 14-18 March, the days left out of his time sheet,
// is entered as a standing entry with its dates, which the month change keeps
// in the archive with dates.
void addUnpaidLeave(EmployeeRecord& rec, int i, int month)
{
    if (i != UnpaidLeaveIndex || month != 3)
        return;
    PostDoplEntry& e = rec.postDopl[0];
    e = PostDoplEntry{};
    e.kod = 600;
    e.dBegin = 14;
    e.mBegin = 3;
    e.gBegin = DemoYear;
    e.dEnd = 18;
    e.mEnd = 3;
    e.gEnd = DemoYear;
}

// A person's card and standing data, entered in the first month he is listed
// in: his card, the archive of 2010, deductions, standing payments and the
// attributes of his pay.
void AddDemoPerson(CInfoBase& base, EmployeeRecord& rec, int i)
{
    const Person& p = people[i];
    const int slot = i + 1;
    rec = EmployeeRecord{};
    EmployeeHead& h = rec.head;
    FillDemoHead(base, h, p, i);
    AddDemoDeductions(rec, p, i);
    MarkDemoStatus(h, i);
    AddDemoArchive(base, rec, p, i, i == NonResidentIndex, i == DisabledIndex);
    addPermanentPayments(i, rec);
    addRecordCardDetails(i, h);

    // Rates of the last twelve months (the first is the current month).
    const double rateNow = p.pay == Salary ? h.oklad : rub(p.rate);
    for (RateHistoryEntry& r : rec.rates) r.rate = rateNow;

    EmployeeAttributes& at = base.attributesOf(slot);
    at = EmployeeAttributes{};
    at.prof = u16(p.profession);
    at.razr = u16(p.pay == Salary ? 0 : 3 + i % 3);
    at.brig = i8(p.shop == 1 ? 0 : p.shop * 10 + (i % 2));
    at.sistOpl = u8(p.pay == Piece ? 1 : p.pay == Hourly ? 2 : 3);
    at.graph = u8(p.schedule);
    at.kateg = u16(p.shop == 1 ? 3 : 1);
    at.tabProf = 0;
    base.shopOf(slot) = u8(p.shop);
    AddDemoStandingDeductions(rec, at, h.fio, i);
}

// The pay of the planned days worked, as the month's sheet will give it
// (kopecks): the quarterly bonus is a share of it.
double ExpectedBasicPay(const Person& p, const TabelRecord& t, int normMinutes)
{
    if (p.pay == Salary)
        return rub(p.rate) * p.stavka / 100 * t.rabHr / std::max(normMinutes, 1);
    return rub(p.rate) * t.rabHr / 60;
}

// What the accountant enters for a person in a month: the time sheet, work
// orders, one-off rows, the advance, bonuses, the alternative time sheet,
// sheets and notes, a dismissal.
void AddDemoMonthInputs(CInfoBase& base, EmployeeRecord& rec, int i, int month, const std::vector<int>& norm1,
                        const std::vector<int>& norm2)
{
    const int year = DemoYear;
    const Person& p = people[i];
    const int slot = i + 1;
    EmployeeHead& h = rec.head;
    EmployeeAttributes& at = base.attributesOf(slot);

    TabelRecord& t = base.tabelOf(slot);
    const std::vector<int>& norm = p.schedule == 2 ? norm2 : norm1;
    const int worked = FillDemoTimeSheet(t, norm, p, i, month);
    int normMinutes = 0;
    for (int d : norm) normMinutes += plannedMinutes(p, month, d);

    // The month's input rows after those the month change carried in.
    int rowCount = at.kvProizv;
    std::fill(rec.rows.begin() + rowCount, rec.rows.end(), AccrualRow{});
    auto inputRow = [&](int kod, double sum, int rowMonth, int days = 0, int minutes = 0) {
        AccrualRow& r = rec.rows[std::size_t(rowCount++)];
        r.kod = u16(kod);
        r.sum = sum;
        r.mes = u16(rowMonth);
        r.dn = u16(days);
        r.hr = u16(minutes / 60);
        r.min = u16(minutes % 60);
        r.otd = u8(p.shop);
    };
    double basic = ExpectedBasicPay(p, t, normMinutes);
    if (p.pay == Piece && worked > 0) {
        // Work orders closed this month; the months before April vary a little.
        const double share =
            month == DemoMonth ? 1.12 + (i % 5) / 100.0 : 1.15 + (((i * 7 + (DemoMonth - month) * 3) % 9) - 4) / 100.0;
        basic = std::round(rub(p.rate) * worked * 8 * share);
        inputRow(1, basic, month, worked, worked * 8 * 60);
    }
    // The quarterly bonus of the shops, 15 % of the month's pay, in March.
    if (month == 3 && p.shop != 1 && worked > 0)
        inputRow(7, wholeRoubles(basic * 0.15), month);
    addPastMonthRows(i, month, [&](int kod, double sum, int rowMonth) { inputRow(kod, sum, rowMonth); });
    addUnpaidLeave(rec, i, month);
    if (i == DismissedInMonth && month == DemoMonth) {
        h.datUv1 = packedDate(15, month, year);
        at.priznUv = 1; // dismissed in the reporting month (4 after the month change)
        // Compensation for nine days of unused vacation: a note without a start.
        VacationNote v;
        v.dlin = 9;
        v.kalend = 1;
        v.alg = 1;
        base.otp.replaceRun(slot, std::vector<VacationNote>{v});
    }
    if (DismissedBeforeMonth(i) && month == 3) {
        h.datUv1 = packedDate(31, 3, year);
        at.priznUv = 1; // 4 after the month change
    }
    at.kvProizv = u16(rowCount);

    // Advance of the month, 40 % of the pay (none for those who came or go this month).
    const bool comes = hireDate(i).year() == year && hireDate(i).month() == month;
    const bool goes = month == DemoMonth && (i == DismissedInMonth || DismissedBeforeMonth(i));
    base.avOf(slot) = 0;
    if (i == AdvanceAfterDismissalIndex && month == DemoMonth)
        base.avOf(slot) = rub(3'000);
    if (!comes && !goes) {
        const double monthly = p.pay == Salary ? h.oklad * p.stavka / 100 : rub(p.rate) * normMinutes / 60;
        base.avOf(slot) = wholeRoubles(monthly * 0.4 / 100) * 100;
        h.avans = base.avOf(slot);
    }

    AddDemoAltTimeSheet(base, slot, i, month);
    if (month == DemoMonth) {
        AddDemoBonuses(base, slot, i);
        AddDemoNewDeductions(rec, at, h.fio, i);
        AddDemoSheetsAndNotes(base, slot, i, year, month);
    } else {
        AddDemoPastSheetsAndNotes(base, slot, i, month);
    }
}

// The firm itself, entered once in the first computed month: its data and
// report settings, shops, pay kinds and accounts.
void AddDemoFirmData(CInfoBase& base)
{
    // The template's month lies in the same year, so its minimum wages of the
    // year and the year before stay as they are.
    base.config.tekMes = monthKey(DemoYear, FirstComputedMonth);
    FillDemoFirm(base.firm);
    AddDemoReportSettings(base);
    const char16_t* const shopNames[] = {u"Администрация", u"Механический цех", u"Сборочный цех", u"Склад и транспорт"};
    NameShops(base, shopNames);
    AddDemoPayKinds(base);
    AddDemoPostingAccounts(base);
}

// One month of the demo year entered: the people listed in it (slot = index
// + 1, personnel number = 101 + index), the new ones with their cards, the
// others as the month change left them, and everybody's inputs; saved.
void EnterDemoMonth(CInfoBase& base, std::vector<EmployeeRecord>& records, std::vector<WarDatBlock>& warDat, int month)
{
    AddDemoProductionCalendar(base, month);
    const std::vector<int> norm1 = calendarDays(month);
    const std::vector<int> norm2 = plannedDays(base, 2, DemoYear, month);
    base.list.clear();
    for (int i = 0; i < PersonCount; ++i) {
        if (!listedIn(i, month))
            continue;
        const int slot = i + 1;
        if (month == FirstComputedMonth || !listedIn(i, month - 1)) {
            AddDemoPerson(base, records[std::size_t(slot - 1)], i);
            warDat[std::size_t(slot - 1)] = WarDatBlock{};
        } else {
            LoadEmployee(base, slot);
            LoadWarDat(base, slot, 0, 0, 0);
            records[std::size_t(slot - 1)] = base.current;
            warDat[std::size_t(slot - 1)] = base.warDat;
        }
        AddToList(base, 101 + i, slot);
        AddDemoMonthInputs(base, records[std::size_t(slot - 1)], i, month, norm1, norm2);
    }
    base.config.kolRab = i16(base.list.size());
    if (month == DemoMonth) {
        AddDemoTimeSheetDetails(base);
        AddDemoOneOffRows(base, records);
    }
    SaveAll(base, records, &warDat);
}

// Computes and stores the month of every employee that the calculation
// selects, as the calculation screen does.
void ComputeDemoMonth(PayrollDoc& doc)
{
    const CalcInPlaceRun run = CalcWholeMonthInPlace(doc);
    const QString month = QString::number(doc.infoBase.config.reportingMonth());
    if (run.outcome.result != platform::TASK_DONE)
        throw SourceError(QStringLiteral("the demo's month %1: %2").arg(month, run.outcome.message).toStdString());
    if (run.outcome.detail != 0)
        throw SourceError(QStringLiteral("the demo's month %1, employee %2: %3")
                              .arg(month)
                              .arg(run.failedTabN)
                              .arg(CalcErrorText(run.failedCode))
                              .toStdString());
}

// The demo year from January to the reporting month: each month entered,
// computed (monthComputed called, when given) and closed by the month
// change; the reporting month entered only.
void RunDemoMonths(PayrollDoc& doc, const std::function<void(PayrollDoc&)>& monthComputed)
{
    CInfoBase& base = doc.infoBase;
    std::vector<EmployeeRecord> records(std::size_t(base.capacity()));
    std::vector<WarDatBlock> warDat(std::size_t(base.capacity()));
    AddDemoFirmData(base);
    for (int month = FirstComputedMonth;; ++month) {
        EnterDemoMonth(base, records, warDat, month);
        if (month == DemoMonth)
            break;
        ComputeDemoMonth(doc);
        if (monthComputed)
            monthComputed(doc);
        if (MoveEmployeesToNextMonth(monthKey(DemoYear, month + 1), {}, doc) != 1)
            throw SourceError(QStringLiteral("the demo's month change to %1.%2 found errors")
                                  .arg(month + 1)
                                  .arg(DemoYear)
                                  .toStdString());
        LoadAll(base);
    }
}

} // namespace

bool MakeDemoBase(const QString& folder, const QString& referenceFolder,
                  const std::function<void(PayrollDoc&)>& monthComputed)
{
    const QString name = DemoBaseName();
    if (BaseExists(folder, name))
        return false;
    if (!QFile::exists(folder + QStringLiteral("empty.bak")))
        throw SourceError(QStringLiteral("%1empty.bak is missing").arg(folder).toStdString());
    // Built under another name, renamed when complete.
    const QString work = QStringLiteral("demo-new");
    DeleteBase(folder, work);
    CreateBase(folder, work);
    {
        PayrollDoc doc;
        doc.setWorkFolder(folder);
        doc.refFiles.setFolder(referenceFolder.isEmpty() ? folder : referenceFolder);
        if (!doc.refFiles.OpenAll())
            throw SourceError(QStringLiteral("the reference files of %1 cannot be read")
                                  .arg(referenceFolder.isEmpty() ? folder : referenceFolder)
                                  .toStdString());
        CInfoBase& base = doc.infoBase;
        base.baseName = work;
        OpenBase(base);
        LoadAll(base);
        RunDemoMonths(doc, monthComputed);
        SaveConfigNEnt(base);
        SaveConfigCounters(base);
        db::Checkpoint(Db(base));
        CloseBase(base);
    }
    const QString from = BaseFilePath(folder, work), to = BaseFilePath(folder, name);
    if (db::IsServerLocator(from)) {
        db::RenameServerBase(work, name);
        return true;
    }
    QFile::remove(from + QStringLiteral("-wal"));
    QFile::remove(from + QStringLiteral("-shm"));
    // The work base's lock file goes with it: nothing else opens that base.
    QFile::remove(platform::BaseLock::lockFileOf(from));
    if (!QFile::rename(from, to))
        throw SourceError(QStringLiteral("cannot rename %1 to %2").arg(from, to).toStdString());
    return true;
}

} // namespace kalvor::tools
