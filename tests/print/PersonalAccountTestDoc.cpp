#include "PersonalAccountTestDoc.h"

#include "StatementTestDoc.h"

#include <cmath>

namespace kalvor::printtest {

using namespace kalvor::infobase;

namespace {

PayKind Kind(int code, const char* name, bool taxable = false)
{
    PayKind kind;
    kind.kod = u16(code);
    kind.name = QString::fromUtf8(name);
    kind.oblPodoh = taxable ? 1 : 0;
    kind.kodDoh = taxable ? 2000 : 0;
    return kind;
}

std::vector<PayKind> PayKinds()
{
    return {Kind(1, "Оклад по дням", true),
            Kind(2, "Повременная оплата", true),
            Kind(5, "Сдельная оплата", true),
            Kind(20, "Премия ежемесячная", true),
            Kind(45, "Доплата за работу в ночное время", true),
            Kind(150, "Долг за работником"),
            Kind(151, "Долг за предприятием"),
            Kind(600, "Отпуск без сохранения"),
            Kind(810, "Профсоюзные взносы"),
            Kind(870, "Перечислено в банк"),
            Kind(901, "Аванс"),
            Kind(902, "Налог на доходы"),
            Kind(921, "Удержано в прошлом м-це"),
            Kind(950, "Затраты по шифру"),
            Kind(970, "Справочно: отпускные")};
}

Tariff3 Rate(int roubles, int thousandths)
{
    Tariff3 rate;
    rate.rub = u16(roubles);
    rate.thou = u16(thousandths);
    return rate;
}

AccountEmployee Employee(int number, const char* name, const char* position, std::vector<AccrualRow> rows)
{
    AccountEmployee employee;
    employee.personnelNumber = number;
    employee.record.head.fio = QString::fromUtf8(name);
    employee.record.head.dolgName = QString::fromUtf8(position);
    employee.record.head.tabPodoh = 1;
    for (std::size_t i = 0; i < rows.size(); ++i) employee.record.rows[i] = rows[i];
    return employee;
}

// Salaried, with three months of the year in the archive and a standard
// deduction (no fixed amount: a benefit) beside a property deduction.
AccountEmployee Salaried()
{
    AccountEmployee e =
        Employee(101, "Соколов Андрей Петрович", "Инженер-технолог 1 категории",
                 {MonthRow(1, 32'500, 20, 160), MonthRow(20, 8'125), MonthRow(901, 13'000), MonthRow(902, 5'226)});
    e.record.head.oklad = 3'250'000;
    e.record.nalvich[0] = {103, 0, 0, 0, 0};
    e.record.nalvich[1] = {311, 0, 0, 5'000'000, 0};
    for (int month = 1; month <= 3; ++month) {
        WariaEntry entry;
        entry.kod = 1;
        entry.sum = 3'250'000;
        entry.mes = u16(month);
        entry.god = 2011;
        e.record.waria[std::size_t(month - 1)] = entry;
    }
    e.record.warKv = 3;
    return e;
}

// Hourly, with a carried-over sum (a month line) and hours with minutes.
AccountEmployee Hourly()
{
    AccountEmployee e = Employee(102, "Белова Мария Ивановна", "Оператор",
                                 {MonthRow(151, 1'234.56, 0, 0, 0, 3), MonthRow(2, 13'038.75, 19, 152, 30),
                                  MonthRow(45, 1'710, 0, 40, 5), MonthRow(810, 147.49), MonthRow(902, 1'917)});
    e.shop = 2;
    e.paymentSystem = 2;
    e.record.head.tarifVrem = Rate(85, 500);
    return e;
}

// Piece-rate, after two piece-work rows: unpaid days, a row hidden, a row
// that lengthens the walk and a reference row after it.
AccountEmployee PieceRate()
{
    AccountEmployee e =
        Employee(103, "Константинопольский Эммануил Вячеславович", "Токарь",
                 {MonthRow(5, 9'000, 9), MonthRow(5, 9'000, 9), MonthRow(5, 18'000, 18, 144), MonthRow(600, 0, 3),
                  MonthRow(870, 100), MonthRow(902, 2'340), MonthRow(950, 50), MonthRow(970, 777)});
    e.paymentSystem = 1;
    e.pieceWorkRows = 2;
    e.record.head.tarifSdel = Rate(123, 456);
    return e;
}

AccountEmployee Filler(int index)
{
    static const int codes[] = {1, 20, 45, 810, 870, 902};
    std::vector<AccrualRow> rows;
    const int count = 2 + index % 8;
    for (int i = 0; i < count; ++i) {
        const int code = i + 1 == count ? 902 : codes[std::size_t(i % 4)];
        rows.push_back(MonthRow(code, 1'000 + 37.5 * index + 11 * i, i == 0 ? 21 : 0, i == 0 ? 168 : 0));
    }
    std::sort(rows.begin(), rows.end(), [](const AccrualRow& a, const AccrualRow& b) { return a.kod < b.kod; });
    AccountEmployee e = Employee(200 + index, "Григорьев Павел Семенович", "Слесарь-ремонтник", rows);
    e.record.head.oklad = 2'000'000 + 10'000 * index;
    return e;
}

} // namespace

AccrualRow MonthRow(int code, double roubles, int days, int hours, int minutes, int month)
{
    AccrualRow row;
    row.kod = u16(code);
    row.sum = std::round(roubles * 100);
    row.dn = u16(days);
    row.hr = u16(hours);
    row.min = u16(minutes);
    row.mes = u16(month);
    return row;
}

std::vector<AccountEmployee> AccountEmployees(int fillers)
{
    std::vector<AccountEmployee> employees{Salaried(), Hourly(), PieceRate()};
    AccountEmployee debt = Employee(104, "Данилов Олег Юрьевич", "Водитель",
                                    {MonthRow(1, 4'761.90, 10, 80), MonthRow(901, 5'000), MonthRow(902, 619)});
    debt.record.head.oklad = 1'000'000;
    employees.push_back(debt);
    AccountEmployee dismissed = Employee(105, "Егорова Нина Львовна", "Кладовщик",
                                         {MonthRow(150, 1'000), MonthRow(600, 0, 5), MonthRow(921, 500)});
    dismissed.dismissalSign = 4;
    employees.push_back(dismissed);
    employees.push_back(
        Employee(106, "Жуков Виктор Андреевич", "Генеральный директор", {MonthRow(1, 1'234'567.89, 21, 168)}));
    employees.push_back(
        Employee(107, "Зайцева Ольга Борисовна", "Бухгалтер", {MonthRow(1, 20'000, 21, 168), MonthRow(902, 2'223)}));
    employees.push_back(Employee(108, "Ильин Сергей Олегович", "Ученик", {}));
    AccountEmployee uncoded = Employee(109, "Козлова Анна Дмитриевна", "Уборщица", {});
    uncoded.record.rows[0].sum = 500;
    employees.push_back(uncoded);
    for (int i = 0; i < fillers; ++i) employees.push_back(Filler(i));
    return employees;
}

void BuildAccountDoc(PayrollDoc& doc, const std::vector<AccountEmployee>& employees, const QString& swapPath)
{
    std::vector<StatementEmployee> list;
    for (const AccountEmployee& e : employees) list.push_back({e.personnelNumber, e.shop, 0, 0});
    BuildStatementDoc(doc, list);
    CInfoBase& base = doc.infoBase;
    base.setPayKinds(PayKinds());
    doc.refFiles.vichet.count = 2;
    doc.refFiles.vichet.records[0] = {103, QStringLiteral("На работника"), 40'000, 4'000'000};
    doc.refFiles.vichet.records[1] = {311, QStringLiteral("Имущественный"), 0, 0};

    base.swap.setPath(swapPath);
    base.swap.create();
    for (std::size_t i = 0; i < employees.size(); ++i) {
        const AccountEmployee& e = employees[i];
        const int slot = int(i) + 1;
        EmployeeAttributes& attributes = base.attributesOf(slot);
        attributes.sistOpl = u8(e.paymentSystem);
        attributes.priznUv = u16(e.dismissalSign);
        attributes.kvProizv = u16(e.pieceWorkRows);
        base.swap.writeSlot(slot, e.record);
    }
}

} // namespace kalvor::printtest
