#pragma once

// The platform headers the desktop program uses, in the order they need: the others use types
// that only <windows.h> declares.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
// clang-format on
