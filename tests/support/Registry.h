// Registry fixture: the Windows 95 machine profile of the example PC and the
// package keys, written for a test and removed after it.
#pragma once
#include <windows.h>
#include <string>
#include <gtest/gtest.h>

namespace machine {

// Creates the key (and its parents) and sets a REG_SZ value with its NUL.
void SetText(HKEY root, const std::string& path, const std::string& name, const std::string& text);
// Sets raw bytes exactly as given (no NUL added), as REG_SZ unless told.
void SetBytes(HKEY root, const std::string& path, const std::string& name, const void* data, DWORD size,
              DWORD type = REG_SZ);
void CreateKey(HKEY root, const std::string& path);
// Removes the key with its sub-keys; a missing key is fine.
void DeleteTree(HKEY root, const std::string& path);
void DeleteValue(HKEY root, const std::string& path, const std::string& name);
bool KeyExists(HKEY root, const std::string& path);
// The value's text ("" and false when missing); *size receives the stored length.
bool GetText(HKEY root, const std::string& path, const std::string& name, std::string* text,
             DWORD* size = nullptr, DWORD* type = nullptr);
std::string Text(HKEY root, const std::string& path, const std::string& name);

// Config\0001\Display\Settings.
void WriteDisplaySettings(const std::string& resolution, const std::string& bitsPerPixel);

// Enum\Monitor\Default_Monitor\0001 "Driver" and the monitor's class key
// Services\Class\Monitor\<key>; modeLine null means no MODES key.
void WriteMonitor(const std::string& driver, const std::string& key, const std::string& description,
                  const std::string& maxResolution, const char* modeLine);

// Software\Orvel\Glimora with "State", the refresh table, the Selection keys
// of every depth and resolution (empty) and the messages Msg0..Msg7.
void WritePackage(const std::string& state);

// The example PC: 800,600 at 16 bits per pixel, a multi-frequency monitor
// (MaxResolution 1024,768, Mode1 30.0-64.0,50.0-100.0,+,+) and the package.
void WriteExampleMachine(const std::string& state = "First");

// Removes every key the fixture writes.
void RemoveAll();

// Package paths.
extern const char ProductPath[];
extern const char SelectionPath[];   // ...\Refresh\Selection
extern const char TablePath[];
extern const char LanguagePath[];
extern const char DisplayPath[];
extern const char MonitorClassPath[];   // ...\Services\Class\Monitor

} // namespace machine

// Owns the machine keys: a clean registry before and after each test.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { machine::RemoveAll(); }
    void TearDown() override { machine::RemoveAll(); }
};
