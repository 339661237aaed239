// Starts a program with one argument and lets it run on its own: no shell
// reads the argument, the program inherits no descriptor but the standard
// three, and no zombie is left behind (the program is adopted by init).
// True when the program was started; false when it could not be (not found,
// not executable, no process to spare). [any thread]
#pragma once

bool LaunchDetached(const char* program, const char* argument);
