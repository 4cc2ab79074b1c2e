#include "common/MachineRegistry.h"
#include <string.h>
#include <sstream>

namespace machine {

const char ProductPath[] = "Software\\Orvel\\Glimora";
const char SelectionPath[] = "Software\\Orvel\\Glimora\\Refresh\\Selection";
const char TablePath[] = "Software\\Orvel\\Glimora\\Refresh\\Refresh_Table";
const char LanguagePath[] = "Software\\Orvel\\Glimora\\Language";
const char DisplayPath[] = "Config\\0001\\Display\\Settings";
const char MonitorEnumPath[] = "Enum\\Monitor\\Default_Monitor\\0001";
const char MonitorClassPath[] = "System\\CurrentControlSet\\Services\\Class\\Monitor";

bool GetText(HKEY root, const std::string& path, const std::string& name, std::string* text, DWORD* size, DWORD* type)
{
    text->clear();
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char buffer[1024] = {};
    DWORD length = sizeof buffer - 1;
    DWORD valueType = 0;
    LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &valueType, (BYTE*)buffer, &length);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return false;
    if (size)
        *size = length;
    if (type)
        *type = valueType;
    *text = std::string(buffer, strnlen(buffer, length));
    return true;
}

std::string Text(HKEY root, const std::string& path, const std::string& name, DWORD* size)
{
    std::string text;
    GetText(root, path, name, &text, size);
    return text;
}

bool WriteText(HKEY root, const std::string& path, const std::string& name, const std::string& text)
{
    HKEY key;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExA(key, name.c_str(), 0, REG_SZ, (const BYTE*)text.c_str(), (DWORD)text.size() + 1);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

std::vector<int> Rates(const std::string& table)
{
    std::vector<int> rates;
    std::istringstream in(table);
    int rate;
    while (in >> rate)
        rates.push_back(rate);
    return rates;
}

} // namespace machine
