#include "tests/dib/ImportPatch.h"

namespace {

void Store(void** slot, void* value)
{
    DWORD protection;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

// The import address table entry of dll!function in this program, or null.
void** FindSlot(const char* dll, const char* function)
{
    BYTE* base = (BYTE*)GetModuleHandleA(nullptr);
    auto dos = (IMAGE_DOS_HEADER*)base;
    auto nt = (IMAGE_NT_HEADERS*)(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return nullptr;
    for (auto entry = (IMAGE_IMPORT_DESCRIPTOR*)(base + imports.VirtualAddress); entry->Name != 0; ++entry) {
        if (lstrcmpiA((const char*)(base + entry->Name), dll) != 0)
            continue;
        auto names = (IMAGE_THUNK_DATA*)(base + (entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk));
        auto addresses = (IMAGE_THUNK_DATA*)(base + entry->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto byName = (IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData);
            if (lstrcmpA((const char*)byName->Name, function) == 0)
                return (void**)&addresses->u1.Function;
        }
    }
    return nullptr;
}

} // namespace

ImportPatch::ImportPatch(const char* dll, const char* function, void* replacement)
{
    slot_ = FindSlot(dll, function);
    if (slot_) {
        original_ = *slot_;
        Store(slot_, replacement);
    }
}

ImportPatch::~ImportPatch()
{
    if (slot_)
        Store(slot_, original_);
}
