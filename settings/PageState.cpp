#include "settings/PageState.h"

// The page state. Plain zero-initialised storage: the library runs no static
// constructors, and every process that loads it starts from empty texts.
char CurrentBitsPerPixel[TextCapacity];
char CurrentResolution[TextCapacity];
char MonitorKey[TextCapacity];
char MonitorMaxResolution[TextCapacity];
char MonitorDescription[DescriptionCapacity];
char PolicyName[TextCapacity];
int FirstRunFlag;
char StoredMonitor[DescriptionCapacity];
char StoredResolution[TextCapacity];
char SavedRefreshText[TextCapacity];
char AppliedRefreshText[TextCapacity];
char PendingRefreshText[TextCapacity];
int RefreshList[RefreshListCapacity];
int RefreshCount;
int MonitorMaxRefresh;
int MonitorModeKind;
char MessageText[MessageCapacity];

const char PolicyDefault[] = "Default";
const char PolicyOptimize[] = "Optimize";
const char PolicyAdvance[] = "Advance";
const char PolicySixteenColour[] = " Default";
