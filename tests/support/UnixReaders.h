#pragma once
// Independent readers of pictures: Debian's own programs (ImageMagick,
// icoutils), which Wine starts like any program when given their Unix path.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "base/UniqueHandle.h"
#include "tests/support/FileBytes.h"

// Where Wine keeps a file of ours on the Unix side.
inline std::string UnixPath(const std::string& path) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    static const auto toUnix =
        reinterpret_cast<ToUnix>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return {};
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char* unix = toUnix(wide);
    std::string result = unix ? unix : "";
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// What `command` (a /bin/sh command line, without double quotes) prints,
// standard error included, through `scratch`, a file of ours. The platform
// cannot wait for a Unix process, so the output is moved into place whole
// when the command ends, and waited for.
inline std::string RunUnix(const std::string& command, const std::string& scratch) {
    DeleteFileA(scratch.c_str());
    const std::string done = UnixPath(scratch);
    if (done.empty()) {
        ADD_FAILURE() << "no Unix path for " << scratch;
        return {};
    }
    // Unix paths are UTF-8, so the line is made wide from UTF-8, not from the ANSI page.
    const std::string line = "Z:\\bin\\sh -c \"" + command + " >'" + done + ".part' 2>&1; mv '" + done +
                             ".part' '" + done + "'\"";
    std::wstring wide(line.size() + 1, L'\0');
    const int made16 = MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    if (made16 <= 0) {
        ADD_FAILURE() << "not UTF-8: " << line;
        return {};
    }
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION made{};
    if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &made)) {
        ADD_FAILURE() << "cannot start " << line;
        return {};
    }
    UniqueHandle<HANDLE, CloseHandle> process(made.hProcess), thread(made.hThread);
    for (int waited = 0; GetFileAttributesA(scratch.c_str()) == INVALID_FILE_ATTRIBUTES; waited += 10) {
        if (waited > 60000) {
            ADD_FAILURE() << "no end of " << line;
            return {};
        }
        Sleep(10);
    }
    return FileBytes(scratch);
}

// The picture's pixels as ImageMagick decodes them: red, green, blue, alpha.
// `frame` picks an image of a file holding several ("[2]"); `scratch` names
// files of ours to pass the pixels through.
inline std::string DecodedByImageMagick(const std::string& file, const std::string& frame,
                                        const std::string& scratch) {
    const std::string raw = scratch + ".rgba";
    DeleteFileA(raw.c_str());
    RunUnix("convert '" + UnixPath(file) + frame + "' -depth 8 rgba:'" + UnixPath(raw) + "'", scratch + ".txt");
    return FileBytes(raw);
}

// Pixels that differ in alpha, or in colour where they show at all; -1 for
// pictures of different sizes or none.
inline int PixelMismatches(const std::string& a, const std::string& b) {
    if (a.size() != b.size() || a.empty()) return -1;
    int differ = 0;
    for (size_t i = 0; i + 3 < a.size(); i += 4)
        differ += a[i + 3] != b[i + 3] || (a[i + 3] != 0 && a.compare(i, 3, b, i, 3) != 0);
    return differ;
}
