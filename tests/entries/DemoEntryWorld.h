// The demo-base screen fixture under the name the entry screens' tests use.
#pragma once

#include "masterdata/DemoScreenWorld.h"

#ifdef KALVOR_DATA_DIR

namespace entrytest {

using namespace employeetest;
using DemoEntryWorld = employeetest::DemoScreenWorld;

} // namespace entrytest

#endif
