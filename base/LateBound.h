#pragma once
// A function of a platform library that only some commands need (the file
// dialogs, the folder picker, drops, the icons the platform finds itself,
// the names of network drives). Its library is loaded at the first call
// instead of before the program starts, so a start-up loads no more than a
// bare window does. A library or function that cannot be found is the
// platform's error, raised at that call.
#include <windows.h>

#include <utility>

#include "base/PlatformError.h"

// Loads `library` once; it stays until the program ends.
HMODULE LateLibrary(const char* library);

template <typename Function>
class TLateBound {
public:
    constexpr TLateBound(const char* library, const char* name) : library_(library), name_(name) {}

    Function* Get() const {
        if (!function_) {
            FARPROC found = GetProcAddress(LateLibrary(library_), name_);
            if (!found) RaiseLastPlatformError();
            function_ = reinterpret_cast<Function*>(reinterpret_cast<void*>(found));
        }
        return function_;
    }
    template <typename... Args>
    auto operator()(Args&&... args) const {
        return Get()(std::forward<Args>(args)...);
    }

private:
    const char* library_;
    const char* name_;
    mutable Function* function_ = nullptr;
};
