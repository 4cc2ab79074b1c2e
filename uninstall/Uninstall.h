// Purvix.exe: removes the S3 display driver and the page of Ratelle, then
// shows one check box per removal step under a timed progress bar.
#pragma once
#include <windows.h>

// Removal pass: the installation's registry keys and files, every failure
// passed over.
void RemoveInstallation();

// The root key itself, opened with all access; 0 when it can't be opened.
HKEY OpenRootKey(HKEY root);

// Deletes subKey of key with everything below it, deepest keys first, so
// that the whole tree goes on every platform (RegDeleteKeyA takes sub-keys
// along on Windows 95 only). Returns the status of the last deletion.
LONG DeleteRegistryKey(HKEY key, const char* subKey);

// 0 when the file was deleted (or the failure carries no error code), else -1.
int DeleteInstalledFile(const char* path);

// Walks Oem0.inf, Oem1.inf, ... in windowsDirectory\Inf and deletes those
// of this package's display driver; stops at the first file that is missing,
// or that is the package's and can't be deleted.
void DeleteOemInfFiles(const char* windowsDirectory);

// Whether the INF file names the package's display chip (PCI\VEN_5333, in
// any case).
bool IsPackageInf(const char* path);

// The window.
LRESULT CALLBACK UninstallWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void CreateStepBoxes(HWND window);
void PressDialogOk();
void RunProgress(HWND window);
