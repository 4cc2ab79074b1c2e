// Trying a new rate: Test with its question and the 15-second confirmation,
// the Optimize search, and the Default policy.
#include <gtest/gtest.h>
#include <windows.h>
#include <prsht.h>
#include <string>
#include "page/Page.h"
#include "resources/resource.h"
#include "server/Module.h"
#include "settings/PageState.h"
#include "tests/page/PageHarness.h"
#include "tests/support/Robot.h"

using namespace page_test;

namespace {

std::string Lines(const std::vector<robot::SeenBox>& boxes)
{
    std::string all;
    for (const auto& box : boxes)
        all += "[" + box.caption + "|" + box.icon + "] " + box.text + "\n";
    return all;
}

std::string RefreshLine(HWND page)
{
    auto lines = TreeLines(GetDlgItem(page, IDC_STATUS_TREE));
    return lines.size() == 4 ? lines[3].text : "(" + std::to_string(lines.size()) + " lines)";
}

const char ConfirmCaption[] = "Monitor Settings";

// Two timers of this thread bracket the confirmation's time-out: one due
// 14.5 s after Test is pressed, one due 15.5 s after the confirmation shows.
// A thread's timers come in the order they fall due, however busy the
// machine, so where the confirmation's end falls among them tells its
// time-out from an answer without reading a clock.
std::string EndAmongTimers;
UINT_PTR EarlyTimer, LateTimer;
HWND Confirmation;
HHOOK ConfirmationWatch;

void CALLBACK NoteTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    EndAmongTimers += id == EarlyTimer ? "14.5 s, " : "15.5 s, ";
}

LRESULT CALLBACK WatchConfirmation(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = (HWND)wParam;
    if (code == HCBT_ACTIVATE && !Confirmation && WindowText(window) == ConfirmCaption) {
        Confirmation = window;
        LateTimer = SetTimer(nullptr, 0, 15500, NoteTimer);
    } else if (code == HCBT_DESTROYWND && window == Confirmation) {
        EndAmongTimers += "ended";
        KillTimer(nullptr, EarlyTimer);
        KillTimer(nullptr, LateTimer);
    }
    return CallNextHookEx(ConfirmationWatch, code, wParam, lParam);
}

// Advance at 800,600 with 60 Hz in force and 75 chosen on the track bar.
class TestButton : public PageTest {
protected:
    void OpenWithSeventyFiveChosen()
    {
        machine::WriteExampleMachine("Advance");
        StoreRate("Advance", "60");
        OpenSheet();
        SendDlgItemMessageA(page, IDC_RATE_TRACKBAR, TBM_SETPOS, TRUE, 3);
        SendMessageA(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 3),
                     (LPARAM)GetDlgItem(page, IDC_RATE_TRACKBAR));
        ASSERT_EQ("75", std::string(PendingRefreshText));
    }
    int TrackbarPosition() { return (int)SendDlgItemMessageA(page, IDC_RATE_TRACKBAR, TBM_GETPOS, 0, 0); }
    // Presses Test with the two timers running: "ended" alone when an answer
    // ended the confirmation, "14.5 s, ended" when its time-out did.
    std::string ClickTestAmongTimers()
    {
        EndAmongTimers.clear();
        Confirmation = nullptr;
        ConfirmationWatch = SetWindowsHookExA(WH_CBT, WatchConfirmation, nullptr, GetCurrentThreadId());
        EarlyTimer = SetTimer(nullptr, 0, 14500, NoteTimer);
        Click(IDC_TEST);
        UnhookWindowsHookEx(ConfirmationWatch);
        KillTimer(nullptr, EarlyTimer);
        KillTimer(nullptr, LateTimer);
        return EndAmongTimers;
    }
};

TEST_F(TestButton, WithoutANewRateOnlySaysSo)
{
    machine::WriteExampleMachine("Advance");
    StoreRate("Advance", "60");
    OpenSheet();
    robot::Answer(IDOK);
    Click(IDC_TEST);
    auto seen = robot::Seen();
    ASSERT_EQ(1u, seen.size()) << Lines(seen);
    EXPECT_EQ("Glimora", seen[0].caption);
    EXPECT_EQ("There's no changes about your new settings", seen[0].text);
    EXPECT_EQ("information", seen[0].icon);
    EXPECT_EQ(0, Board().modeRequests);
}

TEST_F(TestButton, DeclinedQuestionWarnsAndLeavesTheDisplay)
{
    OpenWithSeventyFiveChosen();
    robot::Answer(IDCANCEL);
    robot::Answer(IDOK);
    Click(IDC_TEST);
    auto seen = robot::Seen();
    ASSERT_EQ(2u, seen.size()) << Lines(seen);
    EXPECT_EQ("warning", seen[0].icon);
    EXPECT_EQ(0u, seen[0].text.find(Msg(3) + "60")) << seen[0].text;
    EXPECT_NE(std::string::npos, seen[0].text.find("75")) << seen[0].text;
    EXPECT_EQ(Msg(7), seen[1].text);
    EXPECT_EQ("warning", seen[1].icon);
    EXPECT_EQ(1, TrackbarPosition());
    EXPECT_EQ("60", ControlText(page, IDC_RATE_LABEL));
    EXPECT_EQ(0, Board().modeRequests) << "the display was never switched";
}

TEST_F(TestButton, YesKeepsTheRateWithoutStoringIt)
{
    OpenWithSeventyFiveChosen();
    robot::Answer(IDOK);
    robot::Answer(IDC_KEEP);
    robot::Answer(IDOK);
    Click(IDC_TEST);
    auto seen = robot::Seen();
    ASSERT_EQ(3u, seen.size()) << Lines(seen);
    EXPECT_EQ(ConfirmCaption, seen[1].caption);
    EXPECT_EQ(Msg(2), seen[2].text);
    EXPECT_EQ("information", seen[2].icon);
    EXPECT_EQ(75, Board().refresh);
    EXPECT_EQ("Refresh = 75 Hz", RefreshLine(page));
    EXPECT_EQ("60", machine::Text(HKEY_LOCAL_MACHINE, SelectionKey("16", "800,600"), "Advance"));
    EXPECT_EQ("Advance", machine::Text(HKEY_LOCAL_MACHINE, machine::ProductPath, "State"));
}

TEST_F(TestButton, EnterInTheConfirmationAnswersNo)
{
    OpenWithSeventyFiveChosen();
    robot::Answer(IDOK);
    robot::Press(VK_RETURN);
    robot::Answer(IDOK);
    EXPECT_EQ("ended", ClickTestAmongTimers()) << "Enter, not the time-out, ended it";
    auto seen = robot::Seen();
    ASSERT_EQ(3u, seen.size()) << Lines(seen);
    EXPECT_EQ(Msg(6), seen[2].text);
    EXPECT_EQ("information", seen[2].icon);
    EXPECT_EQ(2, Board().modeRequests);
    EXPECT_EQ(60, Board().lastRefresh) << "the old rate is back";
    EXPECT_EQ("Refresh = 60 Hz", RefreshLine(page));
    EXPECT_EQ(1, TrackbarPosition());
}

TEST_F(TestButton, UnansweredConfirmationEndsAfterFifteenSecondsEscapeNotCounting)
{
    OpenWithSeventyFiveChosen();
    robot::Answer(IDOK);
    robot::Press(VK_ESCAPE);
    robot::Answer(IDOK);
    EXPECT_EQ("14.5 s, ended", ClickTestAmongTimers());
    auto seen = robot::Seen();
    ASSERT_EQ(3u, seen.size()) << Lines(seen);
    EXPECT_EQ(ConfirmCaption, seen[1].caption);
    EXPECT_EQ(Msg(6), seen[2].text);
    EXPECT_EQ(60, Board().refresh);
    EXPECT_EQ("60", ControlText(page, IDC_RATE_LABEL));
}

TEST_F(TestButton, ConfirmationThatCannotBeShownCountsAsNo)
{
    OpenWithSeventyFiveChosen();
    robot::Answer(IDOK);
    robot::Answer(IDOK);
    HINSTANCE own = ModuleInstance;
    ModuleInstance = GetModuleHandleA("kernel32.dll");   // holds no template 144
    Click(IDC_TEST);
    ModuleInstance = own;
    auto seen = robot::Seen();
    ASSERT_EQ(2u, seen.size()) << Lines(seen);
    EXPECT_EQ(Msg(6), seen[1].text);
    EXPECT_EQ(60, Board().refresh) << "an unconfirmed rate must not stay";
    EXPECT_EQ("Refresh = 60 Hz", RefreshLine(page));
}

TEST_F(TestButton, LongMessagesAreCutToTheirRoom)
{
    machine::WriteExampleMachine("Advance");
    machine::SetText(HKEY_LOCAL_MACHINE, machine::LanguagePath, "Msg3", std::string(300, '3'));
    machine::SetText(HKEY_LOCAL_MACHINE, machine::LanguagePath, "Msg4", std::string(300, '4'));
    machine::SetText(HKEY_LOCAL_MACHINE, machine::LanguagePath, "Msg5", std::string(400, '5'));
    machine::SetText(HKEY_LOCAL_MACHINE, machine::LanguagePath, "Msg7", std::string(600, '7'));
    StoreRate("Advance", "60");
    OpenSheet();
    SendMessageA(page, WM_HSCROLL, MAKEWPARAM(TB_PAGEDOWN, 0), 0);   // thumb still at 60
    ASSERT_EQ("60", std::string(PendingRefreshText));
    DragThumbToEnd();
    robot::Answer(IDCANCEL);
    robot::Answer(IDOK);
    Click(IDC_TEST);
    auto seen = robot::Seen();
    ASSERT_EQ(2u, seen.size()) << Lines(seen);
    std::string expected = std::string(51, '3') + "60" + std::string(11, '4') + "85";
    expected += std::string(103 - expected.size(), '5');
    EXPECT_EQ(expected, seen[0].text);
    EXPECT_EQ(std::string(511, '7'), seen[1].text) << "the warning, cut to the 511 characters of its room";
}

class OptimizeButton : public PageTest {
protected:
    // Table 60 70 72 75 85 at 800,600 and a monitor limit of 75 Hz.
    void OpenWithLimitSeventyFive(const char* modeLine = "30.0-64.0,50.0-75.0,+,+")
    {
        machine::WriteExampleMachine("Advance");
        machine::SetText(HKEY_LOCAL_MACHINE, machine::TablePath, "800,600V", "60 70 72 75 85");
        machine::WriteMonitor("Monitor\\0000", "0000", "Limited Monitor", "1024,768", modeLine);
        StoreRate("Advance", "85");
        OpenSheet();
    }
    std::string Offer(const char* rate) { return Msg(0) + rate + Msg(1); }
};

TEST_F(OptimizeButton, OffersTheAllowedRatesFromTheTopAndSwitchesNothingWhenAllCancelled)
{
    OpenWithLimitSeventyFive();
    for (int i = 0; i < 4; ++i)
        robot::Answer(IDCANCEL);
    Click(IDC_OPTIMIZE);
    auto seen = robot::Seen();
    ASSERT_EQ(4u, seen.size()) << Lines(seen);
    const char* rates[] = { "75", "72", "70", "60" };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Offer(rates[i]), seen[i].text);
        EXPECT_EQ("warning", seen[i].icon);
        EXPECT_EQ("Glimora", seen[i].caption);
    }
    EXPECT_EQ(0, Board().modeRequests);
    EXPECT_EQ("85", std::string(AppliedRefreshText));
    EXPECT_EQ("Refresh = 85 Hz", RefreshLine(page));
}

TEST_F(OptimizeButton, NoOnACandidateFallsBackToSixtyAndOffersTheNextLower)
{
    OpenWithLimitSeventyFive();
    robot::Answer(IDCANCEL);     // 75
    robot::Answer(IDOK);         // 72
    robot::Answer(IDC_REVERT);   // confirmation
    robot::Answer(IDCANCEL);     // 70
    robot::Answer(IDOK);         // 60
    robot::Answer(IDC_REVERT);   // confirmation: No on 60 ends the search
    Click(IDC_OPTIMIZE);
    auto seen = robot::Seen();
    ASSERT_EQ(6u, seen.size()) << Lines(seen);
    EXPECT_EQ(Offer("72"), seen[1].text);
    EXPECT_EQ(ConfirmCaption, seen[2].caption);
    EXPECT_EQ(Offer("70"), seen[3].text);
    EXPECT_EQ(Offer("60"), seen[4].text);
    EXPECT_EQ(0u, robot::Pending());
    EXPECT_EQ(5, Board().modeRequests) << "72, back to 60, 60, back to 60, back to 85";
    // Nothing kept: the board runs the rate the status tree shows, also after Cancel.
    EXPECT_EQ(85, Board().refresh);
    EXPECT_EQ("Refresh = 85 Hz", RefreshLine(page));
    CloseSheet(PSBTN_CANCEL);
    EXPECT_EQ(85, Board().refresh);
}

TEST_F(OptimizeButton, YesKeepsTheCandidate)
{
    OpenWithLimitSeventyFive();
    robot::Answer(IDOK);
    robot::Answer(IDC_KEEP);
    robot::Answer(IDOK);
    Click(IDC_OPTIMIZE);
    auto seen = robot::Seen();
    ASSERT_EQ(3u, seen.size()) << Lines(seen);
    EXPECT_EQ(Msg(2), seen[2].text);
    EXPECT_EQ("information", seen[2].icon);
    EXPECT_EQ(75, Board().refresh);
    EXPECT_EQ("Refresh = 75 Hz", RefreshLine(page));
    EXPECT_EQ(3, (int)SendDlgItemMessageA(page, IDC_RATE_TRACKBAR, TBM_GETPOS, 0, 0));
    EXPECT_FALSE(Enabled(page, IDC_RATE_TRACKBAR));
}

TEST_F(OptimizeButton, FirstRateAboveTheLimitDoesNothing)
{
    OpenWithLimitSeventyFive("31.5,56.0,+,+");
    Click(IDC_OPTIMIZE);
    EXPECT_EQ(0u, robot::Seen().size()) << Lines(robot::Seen());
    EXPECT_EQ(0, Board().modeRequests);
}

TEST_F(OptimizeButton, LongOfferIsCutToItsRoom)
{
    machine::WriteExampleMachine("Advance");
    machine::SetText(HKEY_LOCAL_MACHINE, machine::LanguagePath, "Msg0", std::string(100, '0'));
    machine::SetText(HKEY_LOCAL_MACHINE, machine::LanguagePath, "Msg1", std::string(400, '1'));
    machine::SetText(HKEY_LOCAL_MACHINE, machine::TablePath, "800,600V", "60");
    StoreRate("Advance", "60");
    OpenSheet();
    robot::Answer(IDCANCEL);
    Click(IDC_OPTIMIZE);
    auto seen = robot::Seen();
    ASSERT_EQ(1u, seen.size());
    std::string expected = std::string(51, '0') + "60";
    expected += std::string(255 - expected.size(), '1');
    EXPECT_EQ(expected, seen[0].text);
}

class DefaultButton : public PageTest {};

TEST_F(DefaultButton, SwitchesToTheFirstTableRateAtOnce)
{
    machine::WriteExampleMachine("Advance");
    StoreRate("Advance", "75");
    OpenSheet();
    Click(IDC_DEFAULT);
    EXPECT_EQ(0u, robot::Seen().size()) << "no question, no confirmation";
    EXPECT_EQ(1, Board().modeRequests);
    EXPECT_EQ(56, Board().refresh);
    EXPECT_EQ("Refresh = 56 Hz", RefreshLine(page));
    EXPECT_EQ("56", ControlText(page, IDC_RATE_LABEL));
    EXPECT_FALSE(Enabled(page, IDC_RATE_TRACKBAR));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheet, SheetApplyButton)));
}

} // namespace
