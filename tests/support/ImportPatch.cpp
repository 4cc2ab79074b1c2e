#include "tests/support/ImportPatch.h"

void StoreImport(void** slot, void* value)
{
    DWORD protection;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

void ForEachImport(HMODULE module, const std::function<void(const char*, const char*, void**)>& visit)
{
    BYTE* base = (BYTE*)module;
    auto dos = (IMAGE_DOS_HEADER*)base;
    auto nt = (IMAGE_NT_HEADERS*)(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return;
    for (auto entry = (IMAGE_IMPORT_DESCRIPTOR*)(base + imports.VirtualAddress); entry->Name != 0; ++entry) {
        auto names = (IMAGE_THUNK_DATA*)(base + (entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk));
        auto addresses = (IMAGE_THUNK_DATA*)(base + entry->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto byName = (IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData);
            visit((const char*)(base + entry->Name), (const char*)byName->Name, (void**)&addresses->u1.Function);
        }
    }
}

ImportPatch::ImportPatch(const char* dll, const char* function, void* replacement, HMODULE module)
{
    ForEachImport(module ? module : GetModuleHandleA(nullptr), [&](const char* from, const char* name, void** slot) {
        if (!slot_ && lstrcmpiA(from, dll) == 0 && lstrcmpA(name, function) == 0)
            slot_ = slot;
    });
    if (slot_) {
        original_ = *slot_;
        StoreImport(slot_, replacement);
    }
}

ImportPatch::~ImportPatch()
{
    if (slot_)
        StoreImport(slot_, original_);
}
