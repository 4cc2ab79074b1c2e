// The status tree (monitor, resolution, colour depth, rate in force) and the
// rate track bar whose positions index the refresh table.
#include "page/Page.h"
#include "resources/resource.h"
#include "runtime/Text.h"
#include "server/Module.h"
#include "settings/PageState.h"

HWND StatusTree;
HWND RateTrackbar;
HWND RateLabel;
HIMAGELIST StatusImages;

namespace {

enum { StatusLineCapacity = 40 };   // 39 characters of a status line

const int StatusIcons[] = { IDI_MONITOR_WHITE, IDI_MONITOR_RED, IDI_MONITOR_BLUE, IDI_MONITOR_GREEN };

void InsertStatusLine(HWND tree, int n, const char* text)
{
    char line[StatusLineCapacity];
    TextCopy(line, sizeof line, text);
    TVINSERTSTRUCTA insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = n == 0 ? TVI_FIRST : TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = line;
    insert.item.iImage = n;
    insert.item.iSelectedImage = n;
    insert.item.lParam = n;
    SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&insert);
}

// The track bar spans the table; an empty table still gives a valid range.
int LastTablePosition()
{
    int count = RefreshCount;
    if (count > RefreshListCapacity)
        count = RefreshListCapacity;
    return count > 1 ? count - 1 : 0;
}

} // namespace

void InitStatusControls(HWND page)
{
    RateTrackbar = 0;
    StatusTree = 0;
    StatusImages = ImageList_Create(16, 16, ILC_COLOR4 | ILC_MASK, 4, 1);
    StatusTree = GetDlgItem(page, IDC_STATUS_TREE);
    if (StatusTree) {
        SendMessageA(StatusTree, TVM_SETIMAGELIST, TVSIL_NORMAL, (LPARAM)StatusImages);
        for (int icon : StatusIcons)
            ImageList_ReplaceIcon(StatusImages, -1, LoadIconA(ModuleInstance, MAKEINTRESOURCEA(icon)));
        FillStatusTree(StatusTree);
    }
    RateTrackbar = GetDlgItem(page, IDC_RATE_TRACKBAR);
    if (RateTrackbar)
        SendMessageA(RateTrackbar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 1));
    RateLabel = GetDlgItem(page, IDC_RATE_LABEL);
}

// The tree does not own its image list: each page made one of its own.
void ReleaseStatusControls()
{
    SendMessageA(StatusTree, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    ImageList_Destroy(StatusImages);
    StatusImages = 0;
}

void FillStatusTree(HWND tree)
{
    char line[StatusLineCapacity];
    InsertStatusLine(tree, 0, MonitorDescription);

    TextCopy(line, sizeof line, "Resolution = ");
    TextAppend(line, sizeof line, CurrentResolution);
    InsertStatusLine(tree, 1, line);

    TextCopy(line, sizeof line, "Color = ");
    TextAppend(line, sizeof line, CurrentBitsPerPixel);
    TextAppend(line, sizeof line, " BitsPerPixel");
    InsertStatusLine(tree, 2, line);

    TextCopy(line, sizeof line, "Refresh = ");
    TextAppend(line, sizeof line, AppliedRefreshText);
    TextAppend(line, sizeof line, " Hz");
    InsertStatusLine(tree, 3, line);
}

void RebuildStatusTree()
{
    // Invalidating no window would mean every window of the desktop.
    if (!StatusTree)
        return;
    SendMessageA(StatusTree, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
    InvalidateRect(StatusTree, 0, TRUE);
    FillStatusTree(StatusTree);
}

void SyncRateTrackbar()
{
    int rate = TextToInt(PendingRefreshText);
    int last = LastTablePosition();
    SendMessageA(RateTrackbar, TBM_SETRANGE, TRUE, MAKELPARAM(0, last));
    // A rate missing from the table leaves the thumb at the first position.
    int position = 0;
    for (int i = 0; i <= last; ++i) {
        if (RefreshList[i] == rate) {
            position = i;
            break;
        }
    }
    SendMessageA(RateTrackbar, TBM_SETPOS, TRUE, position);
    SetWindowTextA(RateLabel, PendingRefreshText);
}
