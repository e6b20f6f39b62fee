#pragma once
// A one-employee base for the rate, average, sick-leave and supplement tests:
// capacity 4, the employee in slot 1 as the current record, a five-day
// 8-hour schedule, reporting month March 2026 unless a test says otherwise.
#include "PayrollWorld.h"

#include "payroll/PayrollDocument.h"
#include "payroll/Rounding.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <QDate>

namespace averagestest {

using kalvor::PayrollDoc;
using namespace kalvor::infobase;
using payrolltest::archive;
using payrolltest::date;
using payrolltest::row;

struct World {
    kalvor::ScopedToday today{QDate(2026, 12, 1)};
    PayrollDoc doc;

    World(int year = 2026, int month = 3)
    {
        doc.infoBase.AllocateTables(4);
        payrolltest::setReportingMonth(doc, year, month);
        doc.infoBase.scheduleAt(1).rdHr = 8;
        doc.infoBase.currentSlot = 1;
        attr().graph = 1;
    }
    EmployeeAttributes& attr() { return doc.infoBase.attributesOf(1); }
    EmployeeHead& head() { return doc.infoBase.current.head; }
    TabelRecord& tabel() { return doc.infoBase.tabelOf(1); }
    FirmInfo& firm() { return doc.infoBase.firm; }
    void addArchive(const WariaEntry& e) { payrolltest::addArchive(doc, e); }
    void kinds(std::vector<PayKind> k) { payrolltest::setKinds(doc, std::move(k)); }
};

// A pay kind with the fields of the averages.
inline PayKind avgKind(int code, int enOtp = 0, int koefOtp = 0, int enBln = 0)
{
    PayKind k;
    k.kod = std::uint16_t(code);
    k.enOtp = std::uint8_t(enOtp);
    k.koefOtp = std::uint16_t(koefOtp);
    k.setEnBln(enBln);
    return k;
}

} // namespace averagestest
