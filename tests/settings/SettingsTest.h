// Shared set-up of the settings tests: a clean registry, an empty page state
// and a fresh virtual board at the example machine's mode.
#pragma once
#include <string>
#include <gtest/gtest.h>
#include "board/VirtualBoard.h"
#include "settings/Settings.h"
#include "tests/support/Registry.h"

inline void ClearPageState()
{
    CurrentBitsPerPixel[0] = CurrentResolution[0] = MonitorKey[0] = MonitorMaxResolution[0] = '\0';
    MonitorDescription[0] = PolicyName[0] = StoredMonitor[0] = StoredResolution[0] = '\0';
    SavedRefreshText[0] = AppliedRefreshText[0] = PendingRefreshText[0] = MessageText[0] = '\0';
    FirstRunFlag = RefreshCount = MonitorMaxRefresh = MonitorModeKind = 0;
    for (int& rate : RefreshList)
        rate = 0;
}

// The stored bytes of a value, as many as the registry holds.
inline std::string RawValue(const std::string& path, const std::string& name, DWORD* type = nullptr)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    char buffer[1024];
    DWORD size = sizeof buffer;
    DWORD valueType = 0;
    LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &valueType, (BYTE*)buffer, &size);
    RegCloseKey(key);
    if (type)
        *type = valueType;
    return status == ERROR_SUCCESS ? std::string(buffer, size) : "<no value>";
}

// Stores text as REG_SZ of exactly its length, without a NUL. The system adds
// a NUL to such a value when the byte after the data is one, so the data
// passed is followed by another character.
inline void SetUnterminated(const std::string& path, const std::string& name, const std::string& text)
{
    std::string data = text + "#";
    machine::SetBytes(HKEY_LOCAL_MACHINE, path, name, data.data(), (DWORD)text.size());
}

// A value as the page writes it: the text (at most 39 characters), then
// zeros up to 40 bytes.
inline std::string Stored(const std::string& text)
{
    std::string value = text.substr(0, 39);
    value.resize(40, '\0');
    return value;
}

class SettingsTest : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        ClearPageState();
        VirtualBoardReset(800, 600, 16);
        VirtualBoardRead(&boardBefore);
    }
    void TearDown() override
    {
        ClearPageState();
        RegistryTest::TearDown();
    }
    // Mode requests made since SetUp (or the last call).
    LONG ModeRequests()
    {
        VirtualBoardState now;
        VirtualBoardRead(&now);
        return now.modeRequests - boardBefore.modeRequests;
    }
    VirtualBoardState Board()
    {
        VirtualBoardState now;
        VirtualBoardRead(&now);
        return now;
    }
    std::string SelectionPath(const std::string& depth, const std::string& resolution)
    {
        return std::string(machine::SelectionPath) + "\\" + depth + "\\" + resolution;
    }
    VirtualBoardState boardBefore;
};
