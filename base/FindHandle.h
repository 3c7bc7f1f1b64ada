#pragma once
// The owner of a directory search, closed however the listing ends.
#include <windows.h>

#include "base/UniqueHandle.h"

using FindHandle = UniqueHandle<HANDLE, FindClose>;

// Takes over what FindFirstFile gave: its failure value, which is not null,
// becomes an empty owner, so that only real searches are closed.
inline FindHandle AdoptFindHandle(HANDLE search) {
    return FindHandle(search == INVALID_HANDLE_VALUE ? nullptr : search);
}
