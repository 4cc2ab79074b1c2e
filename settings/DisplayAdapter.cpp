// The display adapter Windows has found present, from its registry of
// devices. HKLM\Enum keeps the key of every device ever installed, a board
// long taken out among them; the devices present now each have a node under
// HKEY_DYN_DATA\Config Manager\Enum that names its HKLM\Enum key.
#include "settings/Settings.h"
#include <regstr.h>
#include "runtime/Text.h"

namespace {

enum {
    S3Vendor = 0x5333,
    MostNodes = 4096,               // a machine has a few dozen; a bound for a registry that misbehaves
    NodeNameCapacity = 64,          // node names are eight hexadecimal digits
    HardwareKeyCapacity = 200,      // "PCI\VEN_5333&DEV_8811&SUBSYS_...\BUS_00&DEV_0D&FUNC_00"
    EnumPathCapacity = HardwareKeyCapacity + 8
};

const char EnumKey[] = "Enum\\";
const char DisplayClass[] = "Display";
const char PciVendorField[] = "PCI\\VEN_";   // PCI\VEN_vvvv&DEV_dddd...
const char PciDeviceField[] = "&DEV_";

char UpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c;
}

// The registry compares its key names without regard to case.
bool StartsWithNoCase(const char* text, const char* prefix)
{
    for (; *prefix != '\0'; ++text, ++prefix)
        if (UpperAscii(*text) != UpperAscii(*prefix))
            return false;
    return true;
}

// Four hexadecimal digits; false when one is missing.
bool ReadHexWord(const char* text, WORD* value)
{
    WORD result = 0;
    for (int i = 0; i < 4; ++i) {
        char c = UpperAscii(text[i]);
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0)
            return false;
        result = (WORD)(result << 4 | digit);
    }
    *value = result;
    return true;
}

// The vendor and device of a PCI hardware key; false for the other buses.
bool ParsePciKey(const char* key, WORD* vendor, WORD* device)
{
    const int vendorAt = sizeof PciVendorField - 1;
    const int deviceAt = vendorAt + 4 + sizeof PciDeviceField - 1;
    return StartsWithNoCase(key, PciVendorField) && ReadHexWord(key + vendorAt, vendor) &&
           StartsWithNoCase(key + vendorAt + 4, PciDeviceField) && ReadHexWord(key + deviceAt, device);
}

bool IsDisplayAdapter(const char* hardwareKey)
{
    char path[EnumPathCapacity];
    TextCopy(path, sizeof path, EnumKey);
    TextAppend(path, sizeof path, hardwareKey);
    char deviceClass[TextCapacity] = "";
    return ReadRegistryValue(path, REGSTR_VAL_CLASS, deviceClass, sizeof deviceClass) &&
           lstrcmpiA(deviceClass, DisplayClass) == 0;
}

// A node of the present devices that is a PCI display adapter, with its
// vendor and device.
bool ReadPciDisplayNode(HKEY nodes, const char* name, WORD* vendor, WORD* device)
{
    HKEY node;
    if (RegOpenKeyExA(nodes, name, 0, KEY_READ, &node) != ERROR_SUCCESS)
        return false;
    char hardwareKey[HardwareKeyCapacity] = "";
    bool read = ReadRegistryText(node, REGSTR_VAL_HARDWARE_KEY, hardwareKey, sizeof hardwareKey);
    RegCloseKey(node);
    return read && ParsePciKey(hardwareKey, vendor, device) && IsDisplayAdapter(hardwareKey);
}

} // namespace

int FindPresentDisplayAdapter(WORD* s3Device)
{
    HKEY nodes;
    if (RegOpenKeyExA(HKEY_DYN_DATA, REGSTR_PATH_DYNA_ENUM, 0, KEY_READ, &nodes) != ERROR_SUCCESS)
        return NoAdapterNamed;
    int found = NoAdapterNamed;
    char name[NodeNameCapacity];
    LONG status;
    for (DWORD i = 0; i < MostNodes && found != OtherAdapterNamed &&
                      (status = RegEnumKeyA(nodes, i, name, sizeof name)) != ERROR_NO_MORE_ITEMS; ++i) {
        WORD vendor = 0, device = 0;
        if (status != ERROR_SUCCESS || !ReadPciDisplayNode(nodes, name, &vendor, &device))
            continue;
        if (vendor != S3Vendor) {
            found = OtherAdapterNamed;
        } else if (found == NoAdapterNamed) {
            found = S3AdapterNamed;
            *s3Device = device;
        }
    }
    RegCloseKey(nodes);
    return found;
}
