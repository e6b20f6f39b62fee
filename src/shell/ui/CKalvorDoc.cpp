#include "shell/ui/CKalvorDoc.h"

#include "infobase/EmployeeSelection.h"
#include "shell/ui/BaseService.h"
#include "values/Values.h"

namespace {
CKalvorDoc* g_document = nullptr;
} // namespace

CKalvorDoc::CKalvorDoc() { g_document = this; }

CKalvorDoc::~CKalvorDoc()
{
    if (g_document == this)
        g_document = nullptr;
}

bool CKalvorDoc::BaseOpen() const { return m_base && m_base->IsOpen(); }

CKalvorDoc* GetCurrentDocument() { return g_document; }

QString FirmNameOf(const CKalvorDoc& doc)
{
    if (!doc.BaseOpen())
        return {};
    return doc.infoBase.firm.texts[kalvor::infobase::FirmInfo::firmName].simplified();
}

QString ReportingMonthOf(const CKalvorDoc& doc)
{
    const kalvor::MonthKey key = doc.infoBase.config.reportingKey();
    if (!doc.BaseOpen() || key.month() < 1 || key.month() > 12)
        return {};
    return QStringLiteral("%1 %2").arg(kalvor::MonthName(key.month())).arg(key.year());
}

int EmployeeMatchesFilter(int listIndex, int shop, int brigade, int profession)
{
    const CKalvorDoc* doc = GetCurrentDocument();
    if (!doc)
        return 0;
    const auto& base = doc->infoBase;
    if (listIndex < 0 || listIndex >= base.employeeCount())
        return 0;
    const int slot = base.list[size_t(listIndex)].slot;
    if (!base.EmployeeInGroup(slot, shop, brigade, profession))
        return 0;
    return kalvor::infobase::MatchEmployeeCriteria(slot, *doc) ? 1 : 0;
}
