// Purvix.exe: removes the S3 display driver and the page of Ratelle, then
// shows one check box per removal step under a timed progress bar.
#pragma once
#include <windows.h>

// Exit codes of the program.
enum { ExitRemoved = 0, ExitCancelled = 1, ExitIncomplete = 2 };

// The removal, in three passes: the registration (keys and the start-up
// value), then the files, once an open Display properties sheet has been
// asked to close; the program's own files last. A file that can't be
// deleted now is deleted at the next start of Windows; what can be neither
// counts as a failure.
enum RemovalPass { RegistrationPass, FilePass, ProgramFilePass };
// releaseWait (file pass): milliseconds a closing sheet gets to let go of the
// library.
void RemoveInstallation(RemovalPass pass, DWORD releaseWait = 0);
// Whether some file waits for the next start of Windows.
bool RestartNeeded();
// ExitRemoved, or ExitIncomplete when something could be neither removed
// nor scheduled.
int RemovalExitCode();

// The root key itself, opened with all access; 0 when it can't be opened.
HKEY OpenRootKey(HKEY root);

// Deletes subKey of key with everything below it, deepest keys first, so
// that the whole tree goes on every platform (RegDeleteKeyA takes sub-keys
// along on Windows 95 only). Returns the status of the last deletion.
LONG DeleteRegistryKey(HKEY key, const char* subKey);

enum FileFate { FileGone, FileScheduled, FileKept };
// Deletes the file (read-only or not), trying again for patience
// milliseconds while it is held; then schedules its deletion for the next
// start of Windows. A missing file is gone.
FileFate DeleteInstalledFile(const char* path, DWORD patience);
// The 9x family deletes through WININIT.INI, the NT family through
// MoveFileEx; false when the deletion could not be scheduled.
bool ScheduleDeletion(const char* path);
// Adds "NUL=<short path>" to the [rename] section of iniPath, making file
// and section as needed; false, with the file as it was, when that failed (a
// full disk, a write error). Written as text: the section holds one NUL key
// per file, which the profile functions would fold into one.
bool AddWininitDeletion(const char* iniPath, const char* path);
// Waits for milliseconds without taking anything off the queue, but answers
// messages that other programs send meanwhile (a broadcast, a display change
// after a sheet's OK), so that they don't hang on this program.
void PauseAnsweringSentMessages(DWORD milliseconds);

// Walks Oem0.inf, Oem1.inf, ... in windowsDirectory\Inf and removes those
// of this package's display driver; stops at the first file that is missing,
// or that is the package's and can be neither deleted nor scheduled.
void DeleteOemInfFiles(const char* windowsDirectory);

// Whether the INF file names the package's display chip (PCI\VEN_5333, in
// any case).
bool IsPackageInf(const char* path);

// The window.
LRESULT CALLBACK UninstallWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void CreateStepBoxes(HWND window);
// Asks every open sheet that holds the Glimora page to press OK, without
// waiting on it; returns how many were asked.
int PressDialogOk();
void RunProgress(HWND window);
