#pragma once

// The work the program does from the command line without a window (making
// a database file …): for scripts and set-up steps on machines without a screen.
namespace HeadlessCommands {

// Does the work the arguments ask for (CommandLine::asksForCommand) and
// returns the process's exit code; messages go to the standard streams.
// Makes its own application object.
int run(int argc, char **argv);

} // namespace HeadlessCommands
