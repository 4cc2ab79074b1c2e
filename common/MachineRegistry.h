// The machine's registry as the stand-in, the demo and the tests read it:
// text values, and the keys of the Windows 95 machine and of the package.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace machine {

// The package's keys.
extern const char ProductPath[];
extern const char SelectionPath[];   // ...\Refresh\Selection
extern const char TablePath[];
extern const char LanguagePath[];
// The machine's display settings and monitor keys.
extern const char DisplayPath[];        // Config\0001\Display\Settings
extern const char MonitorEnumPath[];    // the monitor's enumerator key, its "Driver" naming the class key
extern const char MonitorClassPath[];   // ...\Services\Class\Monitor

// The value's text ("" and false when missing); *size receives the stored length.
bool GetText(HKEY root, const std::string& path, const std::string& name, std::string* text,
             DWORD* size = nullptr, DWORD* type = nullptr);
std::string Text(HKEY root, const std::string& path, const std::string& name, DWORD* size = nullptr);

// Creates the key (and its parents) and sets a REG_SZ value with its NUL;
// false when the key could not be made.
bool WriteText(HKEY root, const std::string& path, const std::string& name, const std::string& text);

// The rates of a refresh table's text ("56 60 72 75 85"), in its order.
std::vector<int> Rates(const std::string& table);

} // namespace machine
