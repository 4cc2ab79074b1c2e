// Other programs of the build, run as Windows runs them.
#pragma once
#include <windows.h>
#include <string>

// The folder of the running program, where the build puts every program.
std::string ProgramFolder();

// Runs a command line and returns its exit code (-1 when it did not start or
// end in time); output, when given, receives what it printed. The time
// allowed only stops a program that hangs: a busy machine stays far below it.
int RunProgram(const std::string& commandLine, std::string* output = nullptr, DWORD timeout = 300000);
