#include "shell/ui/CKalvorDoc.h"

#include "shell/ui/BaseService.h"

namespace {
CKalvorDoc* g_document = nullptr;
EmployeeCriteriaTest& criteriaTest()
{
    static EmployeeCriteriaTest test;
    return test;
}
} // namespace

CKalvorDoc::CKalvorDoc()
{
    g_document = this;
}

CKalvorDoc::~CKalvorDoc()
{
    if (g_document == this)
        g_document = nullptr;
}

bool CKalvorDoc::BaseOpen() const
{
    return m_base && m_base->IsOpen();
}

CKalvorDoc* GetCurrentDocument()
{
    return g_document;
}

void SetEmployeeCriteriaTest(EmployeeCriteriaTest test)
{
    criteriaTest() = std::move(test);
}

int EmployeeMatchesFilter(int listIndex, int shop, int brigade, int profession)
{
    const CKalvorDoc* doc = GetCurrentDocument();
    if (!doc)
        return 0;
    const auto& base = doc->infoBase;
    if (listIndex < 0 || listIndex >= base.employeeCount())
        return 0;
    if (criteriaTest() && !criteriaTest()(*doc, listIndex))
        return 0;
    const int slot = base.list[size_t(listIndex)].slot;
    if (slot < 1 || size_t(slot) > base.attributes.size())
        return 0;
    const auto& a = base.attributes[size_t(slot - 1)];
    const int shopByte = size_t(slot) < base.shopBytes.size() ? base.shopBytes[size_t(slot)] : 0;
    if (shop != 0 && shopByte != shop)
        return 0;
    if (brigade != 0 && a.brig != brigade)
        return 0;
    if (profession != 0 && int(a.prof) != profession)
        return 0;
    return 1;
}
