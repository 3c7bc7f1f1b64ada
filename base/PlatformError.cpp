#include "base/PlatformError.h"

#include <windows.h>

#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "resources/StringIds.h"

void RaiseLastPlatformError() {
    DWORD code = GetLastError();
    if (code != 0) {
        char* text = nullptr;
        DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                          FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
        std::string message(text ? text : "", length);
        if (text) LocalFree(text);
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
            message.pop_back();
        if (!message.empty()) throw EOutOfResources(message);
    }
    throw EOutOfResources(LoadStr(SOutOfResources));
}
