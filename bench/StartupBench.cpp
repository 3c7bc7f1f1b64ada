// Times process start to "main window visible and idle" for Tulvar.exe and for
// two bare programs (the same child windows made with the platform's calls, and
// the empty frame alone), taking turns, started in the same folder of files.
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
double TimeStart(const std::string& exe, const std::string& dir, const std::string& arguments = "") {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
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
    TimeStart(bare, dir, "/plain");
    std::vector<double> ours, same, plain;
    for (int i = 0; i < repeats; ++i) {
        ours.push_back(TimeStart(tulvar, dir));
        same.push_back(TimeStart(bare, dir));
        plain.push_back(TimeStart(bare, dir, "/plain"));
    }
    for (const auto* times : {&ours, &same, &plain})
        if (std::count(times->begin(), times->end(), -1.0)) {
            std::fprintf(stderr, "a program showed no window\n");
            return 1;
        }
    const double t = Median(ours), s = Median(same), p = Median(plain);
    std::printf("start-up to visible and idle, median of %d:\n", repeats);
    std::printf("  Tulvar.exe                          %6.1f ms (min %.1f, max %.1f)\n", t,
                *std::min_element(ours.begin(), ours.end()), *std::max_element(ours.begin(), ours.end()));
    std::printf("  bare program, the same 19 windows   %6.1f ms (min %.1f, max %.1f), Tulvar / it %.2f\n", s,
                *std::min_element(same.begin(), same.end()), *std::max_element(same.begin(), same.end()), t / s);
    std::printf("  bare window, its frame alone        %6.1f ms (min %.1f, max %.1f), Tulvar / it %.2f\n", p,
                *std::min_element(plain.begin(), plain.end()), *std::max_element(plain.begin(), plain.end()), t / p);
    return 0;
}
