// The three ways a new refresh rate reaches the screen: the Default policy
// (first table rate at once), the Optimize search (downward from the
// monitor's limit, each try confirmed) and Test (the track bar's rate,
// confirmed). A tried rate stays only on Yes in the confirmation dialog.
#include "page/Page.h"
#include "resources/resource.h"
#include "runtime/Text.h"
#include "server/Module.h"
#include "settings/Settings.h"

UINT_PTR ConfirmTimerId;

const char MessageCaption[] = "Glimora";
const char NoChangeText[] = "There's no changes about your new settings";

namespace {

enum {
    ConfirmTimeout = 15000,     // ms until an unanswered confirmation means No
    ConfirmTimer = 1,
    // Room of the composed texts and their pieces, NUL included.
    OfferCapacity = 256,        // Msg0 rate Msg1
    OfferLeadCapacity = 52,     // Msg0
    OfferTailCapacity = 256,    // Msg1
    QuestionCapacity = 104,     // Msg3 applied Msg4 pending Msg5
    QuestionLeadCapacity = 52,  // Msg3
    QuestionMiddleCapacity = 12,// Msg4
    QuestionTailCapacity = 256  // Msg5
};

// The message last loaded, kept aside before the next one is loaded.
void KeepMessage(int n, char* text, int capacity)
{
    LoadMessageText(n);
    TextCopy(text, capacity, MessageText);
}

void ShowMessage(HWND owner, int n, UINT type)
{
    LoadMessageText(n);
    MessageBoxA(owner, MessageText, MessageCaption, type);
}

// The confirmation dialog: true only for Yes. A dialog that cannot be shown
// counts as No, so an unconfirmed rate never stays on the screen.
bool ConfirmNewRate(HWND owner)
{
    INT_PTR answer = DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_CONFIRM_RATE), owner,
                                     ConfirmRateProc, 0);
    return answer == IDC_KEEP;
}

// The track bar shows the pending rate but stays unusable.
void ShowRateOnDisabledTrackbar()
{
    EnableWindow(RateTrackbar, TRUE);
    SyncRateTrackbar();
    EnableWindow(RateTrackbar, FALSE);
}

bool OfferCandidate(HWND owner)
{
    char lead[OfferLeadCapacity];
    char tail[OfferTailCapacity];
    KeepMessage(0, lead, sizeof lead);
    KeepMessage(1, tail, sizeof tail);
    char offer[OfferCapacity];
    TextCopy(offer, sizeof offer, lead);
    TextAppend(offer, sizeof offer, PendingRefreshText);
    TextAppend(offer, sizeof offer, tail);
    return MessageBoxA(owner, offer, MessageCaption, MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}

bool AskToTest(HWND page)
{
    char lead[QuestionLeadCapacity];
    char middle[QuestionMiddleCapacity];
    char tail[QuestionTailCapacity];
    KeepMessage(3, lead, sizeof lead);
    KeepMessage(4, middle, sizeof middle);
    KeepMessage(5, tail, sizeof tail);
    char question[QuestionCapacity];
    TextCopy(question, sizeof question, lead);
    TextAppend(question, sizeof question, AppliedRefreshText);
    TextAppend(question, sizeof question, middle);
    TextAppend(question, sizeof question, PendingRefreshText);
    TextAppend(question, sizeof question, tail);
    return MessageBoxA(page, question, MessageCaption, MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}

// Highest table position whose rate the monitor allows, or -1. The table is
// ascending: the scan stops at the first rate above the limit.
int HighestAllowedPosition()
{
    int count = RefreshCount;
    if (count > RefreshListCapacity)
        count = RefreshListCapacity;
    int highest = count - 1;
    for (int i = 0; i < count; ++i) {
        if (RefreshList[i] > MonitorMaxRefresh) {
            highest = i - 1;
            break;
        }
    }
    return highest;
}

} // namespace

void ApplyDefaultPolicy()
{
    IntToText(PendingRefreshText, TextCapacity, RefreshList[0]);
    ShowRateOnDisabledTrackbar();
    if (TextEqual(PendingRefreshText, AppliedRefreshText))
        return;
    TextCopy(AppliedRefreshText, TextCapacity, PendingRefreshText);
    ApplyRefreshRate();
    SendMessageA(StatusTree, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
    FillStatusTree(StatusTree);
}

void RunOptimizeSearch()
{
    HWND owner = GetActiveWindow();
    bool switched = false;
    for (int b = HighestAllowedPosition(); b >= 0; --b) {
        IntToText(PendingRefreshText, TextCapacity, RefreshList[b]);
        if (!OfferCandidate(owner))
            continue;
        ApplyRefreshRate();
        switched = true;
        if (ConfirmNewRate(owner)) {
            TextCopy(AppliedRefreshText, TextCapacity, PendingRefreshText);
            ShowRateOnDisabledTrackbar();
            ShowMessage(owner, 2, MB_OK | MB_ICONINFORMATION);
            return;
        }
        // Declined: 60 Hz, the rate every monitor shows, until the next try.
        bool declinedSixty = RefreshList[b] == 60;
        TextCopy(PendingRefreshText, TextCapacity, "60");
        ApplyRefreshRate();
        if (declinedSixty)
            break;
    }
    // Nothing kept: the rate in force before the search, which the status
    // tree shows and Cancel takes as applied, comes back, as after Test's No.
    TextCopy(PendingRefreshText, TextCapacity, AppliedRefreshText);
    if (switched)
        ApplyRefreshRate();
}

void TestPendingRate(HWND page)
{
    if (TextEqual(PendingRefreshText, AppliedRefreshText)) {
        MessageBoxA(page, NoChangeText, MessageCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!AskToTest(page)) {
        ShowMessage(page, 7, MB_OK | MB_ICONWARNING);
        TextCopy(PendingRefreshText, TextCapacity, AppliedRefreshText);
        SyncRateTrackbar();
        return;
    }
    ApplyRefreshRate();
    if (ConfirmNewRate(page)) {
        TextCopy(AppliedRefreshText, TextCapacity, PendingRefreshText);
        ShowMessage(page, 2, MB_OK | MB_ICONINFORMATION);
    } else {
        TextCopy(PendingRefreshText, TextCapacity, AppliedRefreshText);
        ApplyRefreshRate();
        SyncRateTrackbar();
        ShowMessage(page, 6, MB_OK | MB_ICONINFORMATION);
    }
}

INT_PTR CALLBACK ConfirmRateProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ConfirmTimerId = SetTimer(dialog, ConfirmTimer, ConfirmTimeout, 0);
        return TRUE;
    case WM_TIMER:
        KillTimer(dialog, ConfirmTimerId);
        EndDialog(dialog, IDC_REVERT);
        return FALSE;
    case WM_COMMAND:
        // Escape (IDCANCEL) answers nothing: only the two buttons end the dialog.
        if (LOWORD(wParam) == IDC_KEEP || LOWORD(wParam) == IDC_REVERT)
            EndDialog(dialog, LOWORD(wParam));
        return FALSE;
    }
    return FALSE;
}

void LoadMessageText(int n)
{
    char name[TextCapacity];
    TextCopy(name, sizeof name, "Msg");
    TextAppendInt(name, sizeof name, n);
    // A text longer than the room is shown cut, never left as the last one.
    ReadRegistryTextCut(LanguageKey, name, MessageText, MessageCapacity);
}
