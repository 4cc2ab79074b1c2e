// The page state: module-level variables of Ratelle, zero at load, one copy
// per process. Texts are NUL-terminated ANSI in fixed buffers whose size is
// also the capacity of every registry read into them.
#pragma once

enum {
    TextCapacity = 40,          // rate, resolution, depth, policy and key texts
    DescriptionCapacity = 100,  // monitor descriptions
    MessageCapacity = 512,      // language messages Msg0..Msg7
    RefreshListCapacity = 7,    // rates per resolution in the refresh table
    StoredValueSize = 40        // every REG_SZ the page writes is exactly this long
};

extern char CurrentBitsPerPixel[TextCapacity];        // "4", "8", "16", ...
extern char CurrentResolution[TextCapacity];          // "800,600"
extern char MonitorKey[TextCapacity];                 // "0000"
extern char MonitorMaxResolution[TextCapacity];       // "1024,768"
extern char MonitorDescription[DescriptionCapacity];  // "DriverDesc" of the monitor
extern char PolicyName[TextCapacity];                 // "Default", "Optimize", "Advance", " Default"
extern int FirstRunFlag;                              // 1 when "State" read "First"
extern char StoredMonitor[DescriptionCapacity];       // "OrgMonitor"
extern char StoredResolution[TextCapacity];           // "OrgResolution"
extern char SavedRefreshText[TextCapacity];           // rate stored for the policy and mode
extern char AppliedRefreshText[TextCapacity];         // rate in force and accepted
extern char PendingRefreshText[TextCapacity];         // rate selected or under test
extern int RefreshList[RefreshListCapacity];          // refresh table of the resolution
extern int RefreshCount;                              // entries of RefreshList in use
extern int MonitorMaxRefresh;                         // monitor's highest rate, 0 unknown
extern int MonitorModeKind;                           // 0..3, form of "Mode1"
extern char MessageText[MessageCapacity];             // language message last loaded

// Policy names as stored and compared.
extern const char PolicyDefault[];        // "Default"
extern const char PolicyOptimize[];       // "Optimize"
extern const char PolicyAdvance[];        // "Advance"
extern const char PolicySixteenColour[];  // " Default"
