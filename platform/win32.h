// The one header through which the code reaches the Windows API. The Windows
// build gets the real <windows.h>; the native build gets our stand-ins with the
// same names, types and result conventions.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/base/native_types.h"
#include "platform/native/native_files.h"
#include "platform/native/native_gdi.h"
#include "platform/native/native_module.h"
#include "platform/native/native_system.h"
#endif
