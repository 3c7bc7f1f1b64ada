#include "base/LateBound.h"

#include <map>
#include <string>

HMODULE LateLibrary(const char* library) {
    using Module = UniqueHandle<HMODULE, FreeLibrary>;
    static std::map<std::string, Module> loaded;
    Module& module = loaded[library];
    if (!module) module.Reset(LoadLibraryA(library));
    if (!module) RaiseLastPlatformError();
    return module.Get();
}
