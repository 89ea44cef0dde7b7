// <windows.h> for files that also use the kit. Include it after the kit's
// headers: the kit names constants after the system's (WM_POWERBROADCAST,
// PBT_*), which <windows.h> defines as macros of the same values, and names
// operations after calls that <windows.h> maps to their A or W forms.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef CreateWindow
#undef GetVersionEx
#undef LookupPrivilegeValue
#undef OSVERSIONINFO
