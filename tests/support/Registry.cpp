#include "tests/support/Registry.h"
#include "tests/support/Boards.h"

namespace machine {

void CreateKey(HKEY root, const std::string& path)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        << path;
    RegCloseKey(key);
}

void CreateKeyChain(HKEY root, const std::string& path, int levels)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        << path;
    for (int level = 1; level <= levels; ++level) {
        HKEY child;
        LONG status = RegCreateKeyExA(key, std::to_string(level).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                      &child, nullptr);
        RegCloseKey(key);
        ASSERT_EQ(ERROR_SUCCESS, status) << path << " at level " << level;
        key = child;
    }
    RegCloseKey(key);
}

void SetBytes(HKEY root, const std::string& path, const std::string& name, const void* data, DWORD size, DWORD type)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        << path;
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name.c_str(), 0, type, (const BYTE*)data, size)) << name;
    RegCloseKey(key);
}

void SetText(HKEY root, const std::string& path, const std::string& name, const std::string& text)
{
    SetBytes(root, path, name, text.c_str(), (DWORD)text.size() + 1);
}

static void DeleteSubTree(HKEY parent, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    char child[256];
    while (RegEnumKeyA(key, 0, child, sizeof child) == ERROR_SUCCESS) {
        DeleteSubTree(key, child);
        if (RegDeleteKeyA(key, child) != ERROR_SUCCESS)
            break;
    }
    RegCloseKey(key);
}

void DeleteTree(HKEY root, const std::string& path)
{
    DeleteSubTree(root, path.c_str());
    RegDeleteKeyA(root, path.c_str());
}

void DeleteValue(HKEY root, const std::string& path, const std::string& name)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
}

bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void WriteDisplaySettings(const std::string& resolution, const std::string& bitsPerPixel)
{
    SetText(HKEY_LOCAL_MACHINE, DisplayPath, "Resolution", resolution);
    SetText(HKEY_LOCAL_MACHINE, DisplayPath, "BitsPerPixel", bitsPerPixel);
}

void WriteMonitor(const std::string& driver, const std::string& key, const std::string& description,
                  const std::string& maxResolution, const char* modeLine)
{
    SetText(HKEY_LOCAL_MACHINE, MonitorEnumPath, "Driver", driver);
    std::string monitor = std::string(MonitorClassPath) + "\\" + key;
    SetText(HKEY_LOCAL_MACHINE, monitor, "DriverDesc", description);
    SetText(HKEY_LOCAL_MACHINE, monitor, "MaxResolution", maxResolution);
    if (modeLine)
        SetText(HKEY_LOCAL_MACHINE, monitor + "\\MODES\\" + maxResolution, "Mode1", modeLine);
}

static const char* const Resolutions[] = { "640,480", "800,600", "1024,768", "1280,1024" };
static const char* const Tables[] = { "60 72 75 85", "56 60 72 75 85", "60 70 75 85", "60 75" };
static const char* const Depths[] = { "4", "8", "16", "32" };
static const char* const Messages[] = {
    "Try the refresh rate of ",
    " Hz? The display switches to it for a trial.",
    "The new refresh rate is kept.",
    "Change the refresh rate from ",
    " Hz to ",
    " Hz? The display switches to it for a trial.",
    "The previous refresh rate is back.",
    "The refresh rate was not changed.",
};

void WritePackage(const std::string& state)
{
    SetText(HKEY_LOCAL_MACHINE, ProductPath, "State", state);
    for (int i = 0; i < 4; ++i)
        SetText(HKEY_LOCAL_MACHINE, TablePath, std::string(Resolutions[i]) + "V", Tables[i]);
    for (const char* depth : Depths)
        for (const char* resolution : Resolutions)
            CreateKey(HKEY_LOCAL_MACHINE, std::string(SelectionPath) + "\\" + depth + "\\" + resolution);
    for (int n = 0; n < 8; ++n)
        SetText(HKEY_LOCAL_MACHINE, LanguagePath, "Msg" + std::to_string(n), Messages[n]);
}

void WriteExampleMachine(const std::string& state)
{
    WriteDisplaySettings("800,600", "16");
    WriteMonitor("Monitor\\0000", "0000", "Multi-Frequency Monitor 17\"", "1024,768", "30.0-64.0,50.0-100.0,+,+");
    WritePackage(state);
}

void RemoveAll()
{
    DeleteTree(HKEY_LOCAL_MACHINE, "Config\\0001\\Display\\Settings");
    DeleteTree(HKEY_LOCAL_MACHINE, "Enum\\Monitor\\Default_Monitor");
    DeleteTree(HKEY_LOCAL_MACHINE, MonitorClassPath);
    DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Orvel");
    boards::RemoveDevices();
}

} // namespace machine
