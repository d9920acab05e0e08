#pragma once

namespace merilon {

// Runs the program: creates its windows, wires their parts together and
// runs the event loop until the main window closes.
int runProgram(int argc, char *argv[]);

} // namespace merilon
