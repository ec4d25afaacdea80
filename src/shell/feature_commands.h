#pragma once

class CommandContext;

// Creates the commands of every feature on the main window (see
// command_context.h for how a feature adds its own).
void installFeatureCommands(CommandContext &context);
