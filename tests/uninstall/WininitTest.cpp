// Deletions left to WININIT on the 9x family: lines added to the [rename]
// section as text, everything else in the file kept as it was.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "uninstall/Uninstall.h"

namespace {

class Wininit : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        ini = std::string(temp) + "purvix-wininit.ini";
        // Long names, so that the short ones differ.
        target = std::string(temp) + "Glimora held library.dll";
        other = std::string(temp) + "Glimora other file.exe";
        for (const std::string& path : {target, other})
            Write(path, "MZ");
        DeleteFileA(ini.c_str());
    }
    void TearDown() override
    {
        for (const std::string& path : {ini, target, other})
            DeleteFileA(path.c_str());
    }
    static void Write(const std::string& path, const std::string& text)
    {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written;
        WriteFile(file, text.data(), (DWORD)text.size(), &written, nullptr);
        CloseHandle(file);
    }
    std::string Read()
    {
        std::string text;
        HANDLE file = CreateFileA(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        char buffer[4096];
        DWORD got;
        while (file != INVALID_HANDLE_VALUE && ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
            text.append(buffer, got);
        CloseHandle(file);
        return text;
    }
    // "NUL=<the platform's short name>\r\n"
    static std::string Line(const std::string& path)
    {
        char shortPath[MAX_PATH] = {};
        GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
        return "NUL=" + std::string(shortPath) + "\r\n";
    }
    std::string ini, target, other;
};

TEST_F(Wininit, MakesTheFileAndTheSection)
{
    ASSERT_NE(Line(target), "NUL=" + target + "\r\n") << "no short name to tell apart";
    EXPECT_TRUE(AddWininitDeletion(ini.c_str(), target.c_str()));
    EXPECT_TRUE(AddWininitDeletion(ini.c_str(), other.c_str()));
    // Each deletion a NUL key of its own: the newest first, none folded.
    EXPECT_EQ("\r\n[rename]\r\n" + Line(other) + Line(target), Read());
}

TEST_F(Wininit, AddsToTheSectionThatIsThereAndKeepsTheRest)
{
    const std::string before = "[Other]\r\nA=1\r\n";
    const std::string after = "NUL=C:\\OLD.TXT\r\n[Later]\r\nB=2";
    Write(ini, before + "[RENAME]\r\n" + after);
    EXPECT_TRUE(AddWininitDeletion(ini.c_str(), target.c_str()));
    EXPECT_EQ(before + "[RENAME]\r\n" + Line(target) + after, Read());

    // A last line without its line end gets one.
    Write(ini, "[Other]\r\nA=1");
    EXPECT_TRUE(AddWininitDeletion(ini.c_str(), target.c_str()));
    EXPECT_EQ("[Other]\r\nA=1\r\n[rename]\r\n" + Line(target), Read());
    Write(ini, "[rename]");
    EXPECT_TRUE(AddWininitDeletion(ini.c_str(), target.c_str()));
    EXPECT_EQ("[rename]\r\n" + Line(target), Read());
}

TEST_F(Wininit, LeavesAFileTooBigToReadWholeAlone)
{
    const std::string big = "[Other]\r\n" + std::string(20000, ';');
    Write(ini, big);
    EXPECT_FALSE(AddWininitDeletion(ini.c_str(), target.c_str()));
    EXPECT_EQ(big, Read());
    // And a file that isn't there has no short name to delete by.
    DeleteFileA(target.c_str());
    DeleteFileA(ini.c_str());
    EXPECT_FALSE(AddWininitDeletion(ini.c_str(), target.c_str()));
    EXPECT_EQ("", Read());
}

} // namespace
