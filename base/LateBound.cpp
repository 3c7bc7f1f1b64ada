#include "base/LateBound.h"

#include <map>
#include <string>

#include "base/UniqueHandle.h"

HMODULE LateLibrary(const char* library) {
    using Module = UniqueHandle<HMODULE, FreeLibrary>;
    static std::map<std::string, Module> loaded;
    Module& module = loaded[library];
    if (!module) module.Reset(LoadLibraryA(library));
    if (!module) RaiseLastPlatformError();
    return module.Get();
}
