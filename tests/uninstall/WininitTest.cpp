// Deletions left to WININIT on the 9x family: lines added to the [rename]
// section as text, everything else in the file kept as it was.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "tests/support/ImportPatch.h"
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

    // The header within a line is no header: the section goes at the end.
    const std::string inLine = "[Other]\r\nNUL=C:\\OLD\\[rename].TXT\r\n";
    Write(ini, inLine);
    EXPECT_TRUE(AddWininitDeletion(ini.c_str(), target.c_str()));
    EXPECT_EQ(inLine + "\r\n[rename]\r\n" + Line(target), Read());
}

// The disk full at the n-th write, after half its bytes.
int FailingWrite, WritesSeen;
void* RealWriteFile;

BOOL WINAPI WriteUntilFull(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped)
{
    typedef BOOL(WINAPI * WriteFunction)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
    if (++WritesSeen != FailingWrite)
        return ((WriteFunction)RealWriteFile)(file, data, size, written, overlapped);
    ((WriteFunction)RealWriteFile)(file, data, size / 2, written, overlapped);
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

// The disk fills at the file's new end (the first write) or while the text
// from the section on is written again (the second): either way nothing is
// reported as scheduled and the file is put back as it was.
TEST_F(Wininit, AFailedWriteIsReportedAndPutBack)
{
    const std::string held = "[Other]\r\nA=1\r\n[rename]\r\nNUL=C:\\OLD.TXT\r\n[Later]\r\nB=2\r\n";
    for (int failing : {1, 2}) {
        Write(ini, held);
        FailingWrite = failing;
        WritesSeen = 0;
        bool scheduled;
        {
            ImportPatch full("kernel32.dll", "WriteFile", (void*)WriteUntilFull);
            ASSERT_TRUE(full.Applied());
            RealWriteFile = full.Original();
            scheduled = AddWininitDeletion(ini.c_str(), target.c_str());
        }
        EXPECT_FALSE(scheduled) << "write " << failing << " failed";
        EXPECT_EQ(held, Read()) << "write " << failing << " failed";
    }
}

TEST_F(Wininit, LeavesAFileTooBigOrUnopenableAlone)
{
    const std::string big = "[Other]\r\n" + std::string(20000, ';');
    Write(ini, big);
    EXPECT_FALSE(AddWininitDeletion(ini.c_str(), target.c_str()));
    EXPECT_EQ(big, Read());
    // A folder of that name can't be opened as a file.
    DeleteFileA(ini.c_str());
    ASSERT_TRUE(CreateDirectoryA(ini.c_str(), nullptr));
    EXPECT_FALSE(AddWininitDeletion(ini.c_str(), target.c_str()));
    EXPECT_TRUE(RemoveDirectoryA(ini.c_str())) << "the folder is no longer empty";
    // And a file that isn't there has no short name to delete by.
    DeleteFileA(target.c_str());
    DeleteFileA(ini.c_str());
    EXPECT_FALSE(AddWininitDeletion(ini.c_str(), target.c_str()));
    EXPECT_EQ("", Read());
}

} // namespace
