// Points a module's import of a system function at a stand-in for the
// lifetime of the object, so that a test can count or fail the calls that
// deliverable code makes: code linked into the test program (the default
// module), or a library the test loaded.
#pragma once
#include <windows.h>
#include <functional>

class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement, HMODULE module = nullptr);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Applied() const { return slot_ != nullptr; }
    // The real function.
    void* Original() const { return original_; }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

// Calls visit with every function the module imports by name: the DLL's name,
// the function's name and its import address table entry.
void ForEachImport(HMODULE module, const std::function<void(const char*, const char*, void**)>& visit);

// Writes an import address table entry.
void StoreImport(void** slot, void* value);
