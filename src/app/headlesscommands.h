#pragma once

// The work the program does from the command line without a window (making
// a database file …): for scripts and set-up steps on machines without a screen.
namespace HeadlessCommands {

// True when the arguments ask for such work rather than the cashier screen.
bool wanted(int argc, char **argv);

// Does it and returns the process's exit code; messages go to the standard
// streams. Makes its own application object.
int run(int argc, char **argv);

} // namespace HeadlessCommands
