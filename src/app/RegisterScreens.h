// Every screen of the program, registered with the frame's command registry.
#pragma once

class CommandRegistry;

// Adds the working panels and the commands of the built screens. Subsystems
// add their screens here as they land; the shell's own commands are already
// in the registry.
void RegisterScreens(CommandRegistry& registry);
