#include "DemoFirm.h"

namespace kalvor::tools {

using namespace infobase;

void BuildDemoFirm(CInfoBase& base, std::vector<EmployeeRecord>& records, std::vector<WarDatBlock>& warDat) {}

bool MakeDemoBase(const QString& folder) { return false; }

} // namespace kalvor::tools
