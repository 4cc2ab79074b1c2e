#include "server/Module.h"

HINSTANCE ModuleInstance;
LONG ServerRefCount;
