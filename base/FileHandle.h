#pragma once
// The owner of an open file: CreateFile's failure value is not null, so it
// is never closed.
#include <windows.h>

#include "base/UniqueHandle.h"

inline void CloseFileHandle(HANDLE file) {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}
using FileHandle = UniqueHandle<HANDLE, CloseFileHandle>;
