// Ends the process. In sanitizer builds the leak check runs first, while the GL
// driver's libraries are still loaded: the window system unloads them at exit, and
// leaks inside unloaded code can neither be attributed nor suppressed.
#pragma once

[[noreturn]] void exitProcess(int status);
// The same check for a process that returns from main.
void checkLeaksNow();
