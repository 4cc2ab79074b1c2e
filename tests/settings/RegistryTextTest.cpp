// The registry helpers every reader and writer of the page goes through.
#include "tests/settings/SettingsTest.h"

namespace {

const char Path[] = "Software\\Orvel\\Glimora";

class RegistryTextTest : public SettingsTest {};

std::string Read(const char* name, int capacity, const char* before = "before")
{
    char buffer[600];
    memset(buffer, 'x', sizeof buffer);
    strcpy(buffer, before);
    ReadRegistryValue(Path, name, buffer, capacity);
    if (memchr(buffer, '\0', capacity) == nullptr)
        return "<unterminated>";
    return buffer;
}

TEST_F(RegistryTextTest, TextWithoutNulIsTerminatedInsideTheBuffer)
{
    std::string forty(40, 'M');
    SetUnterminated(Path, "Forty", forty);
    ASSERT_EQ(forty, RawValue(Path, "Forty"));
    // Into a larger buffer it comes whole; into one of exactly its size it
    // loses its last byte to the NUL.
    EXPECT_EQ(forty, Read("Forty", 100));
    EXPECT_EQ(forty.substr(0, 39), Read("Forty", 40));

    std::string thirtyNine(39, 'R');
    machine::SetText(HKEY_LOCAL_MACHINE, Path, "Fits", thirtyNine);
    EXPECT_EQ(thirtyNine, Read("Fits", 40));
    // The system ends only text types: two bytes of REG_BINARY come bare,
    // read right after the longer text above, whose bytes may still lie
    // where the read puts them.
    machine::SetBytes(HKEY_LOCAL_MACHINE, Path, "Binary", "75", 2, REG_BINARY);
    EXPECT_EQ("75", Read("Binary", 40));
}

TEST_F(RegistryTextTest, TextEndsAtItsFirstNul)
{
    const char bytes[12] = {'7', '5', '\0', 'j', 'u', 'n', 'k', 'j', 'u', 'n', 'k', '!'};
    machine::SetBytes(HKEY_LOCAL_MACHINE, Path, "Padded", bytes, sizeof bytes);
    EXPECT_EQ("75", Read("Padded", 40));
}

TEST_F(RegistryTextTest, TooLargeOrMissingValueLeavesTheBufferAsItWas)
{
    machine::SetText(HKEY_LOCAL_MACHINE, Path, "Long", std::string(40, 'L'));   // 41 bytes with its NUL
    EXPECT_EQ("before", Read("Long", 40));
    EXPECT_EQ("before", Read("Missing", 40));
    char buffer[40] = "before";
    EXPECT_FALSE(ReadRegistryValue("Software\\Orvel\\Nothing", "State", buffer, sizeof buffer));
    EXPECT_STREQ("before", buffer);
    EXPECT_FALSE(machine::KeyExists(HKEY_LOCAL_MACHINE, "Software\\Orvel\\Nothing"));
}

TEST_F(RegistryTextTest, EveryWrittenValueIsFortyBytesOfRegSz)
{
    machine::CreateKey(HKEY_LOCAL_MACHINE, Path);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, Path, 0, KEY_READ | KEY_WRITE, &key));
    WriteRegistryText(key, "Short", "Advance");
    WriteRegistryText(key, "Empty", "");
    WriteRegistryText(key, "ThirtyNine", std::string(39, 'a').c_str());
    WriteRegistryText(key, "FortyFive", std::string(45, 'b').c_str());
    RegCloseKey(key);

    const std::pair<const char*, std::string> expected[] = {
        {"Short", Stored("Advance")},
        {"Empty", Stored("")},
        {"ThirtyNine", Stored(std::string(39, 'a'))},
        {"FortyFive", std::string(39, 'b') + '\0'},   // cut to end with a NUL in its 40 bytes
    };
    for (const auto& value : expected) {
        DWORD type = 0;
        std::string raw = RawValue(Path, value.first, &type);
        EXPECT_EQ(DWORD(REG_SZ), type) << value.first;
        EXPECT_EQ(value.second, raw) << value.first << " holds " << raw.size() << " bytes";
    }
}

} // namespace
