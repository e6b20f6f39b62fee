#pragma once
// A small document for the tax, contribution and base tests: a reporting
// month, a handful of pay kinds, tax tables and an employee record that each
// test fills in.
#include "payroll/PayrollDocument.h"
#include "values/Values.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace payrolltest {

using kalvor::PayrollDoc;
using namespace kalvor::infobase;

inline PayKind kind(int code, std::initializer_list<const char*> flags = {}, int fond = 0, int kodDoh = 0)
{
    PayKind k;
    k.kod = std::uint16_t(code);
    k.fond = std::uint8_t(fond);
    k.kodDoh = std::uint16_t(kodDoh);
    for (const char* f : flags) {
        const std::string s = f;
        if (s == "oblPodoh")
            k.oblPodoh = 1;
        else if (s == "oblProf")
            k.oblProf = 1;
        else if (s == "hr1")
            k.hr1 = 1;
        else if (s == "hr2")
            k.hr2 = 1;
        else if (s == "hr3")
            k.hr3 = 1;
        else if (s == "enKoefRS")
            k.enKoefRS = 1;
        else if (s == "vedShap")
            k.vedShap = 1;
        else if (s == "grp")
            k.grp = 1;
    }
    return k;
}

// Sorts and installs the kinds.
inline void setKinds(PayrollDoc& doc, std::vector<PayKind> kinds)
{
    std::sort(kinds.begin(), kinds.end(), [](const PayKind& a, const PayKind& b) { return a.kod < b.kod; });
    doc.infoBase.setPayKinds(std::move(kinds));
}

inline AccrualRow row(int code, double sum, int month, int days = 0, int hours = 0, int minutes = 0)
{
    AccrualRow r;
    r.kod = std::uint16_t(code);
    r.sum = sum;
    r.mes = std::uint16_t(month);
    r.dn = std::uint16_t(days);
    r.hr = std::uint16_t(hours);
    r.min = std::uint16_t(minutes);
    return r;
}

inline WariaEntry archive(int code, double sum, int year, int month, int days = 0, int hours = 0)
{
    WariaEntry e;
    e.kod = std::uint16_t(code);
    e.sum = sum;
    e.god = std::uint16_t(year);
    e.mes = std::uint16_t(month);
    e.dn = std::uint16_t(days);
    e.hr = std::uint16_t(hours);
    return e;
}

inline void addArchive(PayrollDoc& doc, const WariaEntry& e)
{
    auto& rec = doc.infoBase.current;
    rec.waria[rec.warKv++] = e;
}

inline void setReportingMonth(PayrollDoc& doc, int year, int month)
{
    doc.infoBase.config.tekMes = std::uint16_t(kalvor::MonthKey(year, month).value());
}

// A one-band scale variant valid through the given year.
inline void flatTable(PayrollDoc& doc, int tableIndex, int year, int percent, int hundredths, bool cumulative)
{
    TaxTable& t = doc.refFiles.nalog[std::size_t(tableIndex)];
    t.variants[0].first = std::uint16_t(kalvor::MonthIndex(year, 1));
    t.variants[0].last = std::uint16_t(kalvor::MonthIndex(year, 12));
    t.variants[0].cumulative = cumulative ? 1 : 0;
    t.variants[0].scale[0] = TaxScaleBand{0, 0, std::uint8_t(percent), std::uint8_t(hundredths), 0};
}

inline std::uint16_t date(int d, int m, int year) { return kalvor::PackedDate::make(d, m, year).value; }

// A sick-leave sheet from d1.m1.y1 to d2.m2.y2.
inline SickLeaveSheet sickSheetOver(int d1, int m1, int y1, int d2, int m2, int y2)
{
    SickLeaveSheet s;
    s.dBegin = std::uint8_t(d1);
    s.mBegin = std::uint8_t(m1);
    s.gBegin = std::uint16_t(y1);
    s.dEnd = std::uint8_t(d2);
    s.mEnd = std::uint8_t(m2);
    s.gEnd = std::uint16_t(y2);
    return s;
}
// A sick-leave sheet from d1.m1 to d2.m2 of one year.
inline SickLeaveSheet sickSheet(int d1, int m1, int d2, int m2, int year = 2026)
{
    return sickSheetOver(d1, m1, year, d2, m2, year);
}

} // namespace payrolltest
