#pragma once
// The program itself, started as its own process with a command line, and
// what its windows show from outside.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "base/UniqueHandle.h"
#include "tests/support/GuiTest.h"

// The program under test, given by ctest as a Unix path.
inline std::string ProgramPath() {
    const char* unixPath = std::getenv("TULVAR_EXE");
    if (!unixPath || !*unixPath) return {};
    std::string path = unixPath;
    if (path[0] == '/') {
        for (char& c : path)
            if (c == '/') c = '\\';
        path = "Z:" + path;
    }
    return path;
}

// A started program; it is ended when the test did not see it end.
class TRunningProgram {
public:
    // `arguments` follow the program's quoted path on its command line, as a shell writes them.
    explicit TRunningProgram(const std::string& arguments) {
        const std::string program = ProgramPath();
        if (program.empty()) {
            ADD_FAILURE() << "TULVAR_EXE is not set";
            return;
        }
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::string command = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
        if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            ADD_FAILURE() << "cannot start " << command;
            return;
        }
        process_.Reset(pi.hProcess);
        thread_.Reset(pi.hThread);
        id_ = pi.dwProcessId;
    }
    ~TRunningProgram() {
        if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) TerminateProcess(process_.Get(), 99);
    }
    TRunningProgram(const TRunningProgram&) = delete;
    TRunningProgram& operator=(const TRunningProgram&) = delete;

    bool Started() const { return static_cast<bool>(process_); }
    // A visible top-level window of the program with that class, waited for up to 30 s.
    HWND WaitForWindow(const char* className) const {
        HWND wnd = nullptr;
        for (int i = 0; i < 600 && !wnd && Started(); ++i) {
            Sleep(50);
            wnd = FindProcessWindow(id_, className);
        }
        return wnd;
    }
    // The exit code, once the program ended by itself within 30 s; -1 when it did not.
    long ExitCode() const {
        if (!Started() || WaitForSingleObject(process_.Get(), 30000) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_.Get(), &code);
        return static_cast<long>(code);
    }
    // The same, for a program that must show nothing: -2 once it showed a
    // window or a box while it ran.
    long ExitCodeShowingNothing() const {
        for (int waited = 0; Started() && waited < 30000; waited += 5) {
            if (AnyWindowShown()) return -2;
            if (WaitForSingleObject(process_.Get(), 5) == WAIT_OBJECT_0) break;
        }
        return ExitCode();
    }

    // The lower-case names of the libraries the program has loaded now.
    std::vector<std::string> Modules() const {
        std::vector<std::string> names;
        UniqueHandle<HANDLE, CloseHandle> snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, id_));
        MODULEENTRY32 entry{};
        entry.dwSize = sizeof entry;
        if (snapshot.Get() == INVALID_HANDLE_VALUE) {
            snapshot.Release();
            return names;
        }
        for (BOOL more = Module32First(snapshot.Get(), &entry); more; more = Module32Next(snapshot.Get(), &entry)) {
            std::string name = entry.szModule;
            std::transform(name.begin(), name.end(), name.begin(), [](char c) { return static_cast<char>(tolower(c)); });
            names.push_back(name);
        }
        return names;
    }

private:
    static BOOL CALLBACK MatchShown(HWND wnd, LPARAM param) {
        auto* search = reinterpret_cast<std::pair<DWORD, bool>*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(wnd, &owner);
        if (owner != search->first || !IsWindowVisible(wnd)) return TRUE;
        search->second = true;
        return FALSE;
    }
    bool AnyWindowShown() const {
        std::pair<DWORD, bool> search{id_, false};
        EnumWindows(MatchShown, reinterpret_cast<LPARAM>(&search));
        return search.second;
    }

    UniqueHandle<HANDLE, CloseHandle> process_, thread_;
    DWORD id_ = 0;
};

namespace program_run {
struct TextSearch {
    const std::string& start;
    std::string found;
};
inline BOOL CALLBACK MatchText(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<TextSearch*>(param);
    char text[1024] = {};
    GetWindowTextA(child, text, sizeof text);
    if (std::string(text).rfind(search->start, 0) != 0) return TRUE;
    search->found = text;
    return FALSE;
}
}  // namespace program_run

// The text of the first child window of `form` whose text begins with `start`, or empty.
inline std::string ChildTextStartingWith(HWND form, const std::string& start) {
    program_run::TextSearch search{start, {}};
    EnumChildWindows(form, program_run::MatchText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
