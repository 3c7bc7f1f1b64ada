// Times process start to "main window visible and idle" for Tulvar.exe and for
// a bare window program, taking turns, started in the same folder of files.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {
double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND wnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    if (owner != search->pid || !IsWindowVisible(wnd)) return TRUE;
    search->found = wnd;
    return FALSE;
}

// Both handles of a started process, closed when it goes.
struct Process {
    PROCESS_INFORMATION info{};
    ~Process() {
        if (info.hThread) CloseHandle(info.hThread);
        if (info.hProcess) CloseHandle(info.hProcess);
    }
};

// Milliseconds from CreateProcess to a visible, idle top-level window; -1 when none came.
double TimeStart(const std::string& exe, const std::string& dir) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + exe + "\"";
    Process process;
    double start = Now();
    if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &startup,
                        &process.info))
        return -1;
    HANDLE handle = process.info.hProcess;
    WaitForInputIdle(handle, 20000);
    Search search{process.info.dwProcessId, nullptr};
    for (;;) {
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found || WaitForSingleObject(handle, 1) == WAIT_OBJECT_0 || Now() - start > 20000) break;
    }
    double took = search.found ? Now() - start : -1;
    if (search.found) PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(handle, 5000) != WAIT_OBJECT_0) {
        TerminateProcess(handle, 1);
        WaitForSingleObject(handle, 5000);
    }
    return took;
}
}  // namespace

int main() {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string here(module);
    here.erase(here.find_last_of('\\'));
    const std::string tulvar = FullPath(here + "\\..\\Tulvar.exe");
    const std::string bare = here + "\\BareWindow.exe";
    const std::string dir = FullPath(here + "\\..\\tests\\fixtures");
    const int repeats = 9;

    TimeStart(tulvar, dir);  // warm-up: files in the cache, the Wine server running
    TimeStart(bare, dir);
    std::vector<double> ours, theirs;
    for (int i = 0; i < repeats; ++i) {
        ours.push_back(TimeStart(tulvar, dir));
        theirs.push_back(TimeStart(bare, dir));
    }
    if (std::count(ours.begin(), ours.end(), -1.0) || std::count(theirs.begin(), theirs.end(), -1.0)) {
        std::fprintf(stderr, "a program showed no window\n");
        return 1;
    }
    double t = Median(ours), b = Median(theirs);
    std::printf("start-up to visible and idle, median of %d: Tulvar.exe %.1f ms, bare window %.1f ms, ratio %.2f\n",
                repeats, t, b, t / b);
    std::printf("  Tulvar.exe min %.1f max %.1f; bare min %.1f max %.1f\n", *std::min_element(ours.begin(), ours.end()),
                *std::max_element(ours.begin(), ours.end()), *std::min_element(theirs.begin(), theirs.end()),
                *std::max_element(theirs.begin(), theirs.end()));
    return 0;
}
