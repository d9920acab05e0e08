#pragma once

class QTranslator;

namespace merilon {

// What the application object gets before any window: its name (and no display name, so that
// the system adds nothing to the windows' captions), the icon, the window font and Qt's
// Russian texts, loaded into `russian`.
void setUpApplication(QTranslator &russian);

// Runs the program: creates its windows, wires their parts together and
// runs the event loop until the main window closes.
int runProgram(int argc, char *argv[]);

} // namespace merilon
