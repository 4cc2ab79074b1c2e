// Resource and control identifiers of Ratelle.dll and Purvix.exe.
#pragma once

// Dialog templates
#define IDD_REFRESH_PAGE        132     // the page "Glimora"
#define IDD_CONFIRM_RATE        144     // "Monitor Settings" keep-or-revert confirmation

// Icons
#define IDI_UNINSTALL           102     // Purvix.exe
#define IDI_PAGE_TAB            139     // the page's tab
#define IDI_MONITOR_WHITE       140     // status tree: monitor
#define IDI_MONITOR_RED         141     // status tree: resolution
#define IDI_MONITOR_BLUE        142     // status tree: colour depth
#define IDI_MONITOR_GREEN       143     // status tree: refresh rate

// Bitmaps
#define IDB_MAKER_LOGO          159
#define IDB_ARROW_UP            160
#define IDB_ARROW_DOWN          161
#define IDB_ARROW_RIGHT         162
#define IDB_ARROW_LEFT          163
#define IDB_BANNER              164
#define IDB_HAND                169

// Page controls (template 132)
#define IDC_ADVANCE             1034
#define IDC_SETTINGS_FRAME      1035
#define IDC_DEFAULT             1036
#define IDC_OPTIMIZE            1037
#define IDC_TEST                1041
#define IDC_MONITOR_FRAME       1042
#define IDC_MAX_RESOLUTION_TEXT 1043
#define IDC_MAX_REFRESH_TEXT    1044
#define IDC_MAX_RESOLUTION      1045
#define IDC_MAX_REFRESH         1046
#define IDC_ADVANCE_FRAME       1047
#define IDC_RATE_LABEL          1048
#define IDC_STATUS_TREE         1056
#define IDC_RATE_TRACKBAR       1057
#define IDC_LEFT                1062
#define IDC_RIGHT               1063
#define IDC_UP                  1064
#define IDC_DOWN                1065
#define IDC_BANNER              1067
#define IDC_POSITION_PAD        1073
#define IDC_LOGO                1075
#define IDC_MOVES_NOTE          1076    // why the moves are off, shown only on a board that takes none

// Confirmation controls (template 144)
#define IDC_CONFIRM_TEXT        144
#define IDC_KEEP                1054    // "Yes"
#define IDC_REVERT              1055    // "No", also the time-out's answer

// Hot key of the restore (Alt+Home); the moves use the arrow buttons' identifiers.
#define HOTKEY_RESTORE          888
