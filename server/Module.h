// Module-wide state of Ratelle.dll shared by the server and the page.
#pragma once
#include <windows.h>

extern HINSTANCE ModuleInstance;   // the library's module handle, set at process attach
extern LONG ServerRefCount;        // live factories, objects and pages; 0 lets the host unload
