// Resource identifiers of the Display Properties stand-in.
#pragma once

#define IDD_BACKGROUND          101
#define IDD_SCREEN_SAVER        102
#define IDD_APPEARANCE          103
#define IDD_SETTINGS            104
#define IDD_MONITOR_TYPE        105

// Settings page
#define IDC_MONITOR_NAME        1101
#define IDC_MONITOR_LIMITS      1102
#define IDC_CHANGE_MONITOR      1103
#define IDC_COLOR_PALETTE       1104
#define IDC_DESKTOP_AREA        1105
#define IDC_BOARD_MODE          1106

// Monitor type dialog
#define IDC_MONITOR_LIST        1201
#define IDC_MONITOR_DETAILS     1202
