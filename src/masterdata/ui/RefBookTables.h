#pragma once
// The commands of the reference books kept as tables on working panel 0
// "Справочники": length of service, masks, tax scales, shops, positions,
// professions, ranks, tax deductions, contributions and legal entities.
class CommandRegistry;

void RegisterReferenceBookTables(CommandRegistry& registry);
