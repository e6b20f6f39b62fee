#pragma once
// The column question of the 0504401 settlement statement as the user sees
// it: a Да/Нет message box with the exclamation icon, shown on the
// user-interface thread through GuiBridge::runBlocking while the print
// worker waits. A worker that is told to stop while it waits gets Cancel,
// which declines the statement.
namespace kalvor::print {

// Installs the message box as the settlement statement's question hook.
void InstallSettlementQuestion();

} // namespace kalvor::print
