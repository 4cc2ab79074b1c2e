// Unix programs run from a Wine program: Wine starts one as it starts a
// Windows program, from a command line naming its Unix path.
#pragma once
#include <windows.h>
#include <string>

// A Unix command that writes directory/name (a Unix folder); waits for the
// file and returns its size, 0 when it did not come.
DWORD RunUnixCommandFor(const char* command, const char* directory, const char* name);

// The Unix file as Wine's Z: drive shows it.
std::string UnixFileAsWindowsSees(const char* directory, const char* name);
