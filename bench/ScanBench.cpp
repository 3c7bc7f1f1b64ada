// Times the scan of a file three ways in one run: a click on it in the real
// window with the message loop filling the icon list, the same platform work
// as a minimal program would do it, and the fill's work part by part on the
// window's own controls.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "app/MainForm.h"
#include "app/Registration.h"
#include "base/UniqueHandle.h"
#include "filectrl/FileListBox.h"
#include "filectrl/FilterComboBox.h"
#include "framework/Application.h"
#include "framework/WinControl.h"
#include "graphics/BitmapCanvas.h"
#include "graphics/Icon.h"
#include "graphics/IconSource.h"
#include "lists/ImageList.h"
#include "lists/ListView.h"

namespace {
const int kAllFiles = 6;  // the filter entry "All files (*.*)"

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Adds the time `step` takes to `sum` and passes its result on.
template <typename Step>
auto Timed(double& sum, Step step) {
    double start = Now();
    if constexpr (std::is_void_v<decltype(step())>) {
        step();
        sum += Now() - start;
    } else {
        auto result = step();
        sum += Now() - start;
        return result;
    }
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Named times of one measurement, in milliseconds.
using Parts = std::map<std::string, double>;

HICON IconOf(const std::string& path, int index) {
    return ExtractIconA(GetModuleHandleA(nullptr), path.c_str(), static_cast<UINT>(index));
}

int CountOf(const std::string& path) { return static_cast<int>(reinterpret_cast<UINT_PTR>(IconOf(path, -1))); }

// Paints and whatever else the last step queued happen outside the timed parts.
void Settle() { Application.ProcessMessages(); }

struct File {
    std::string dir, name;
    std::string Path() const { return dir + "\\" + name; }
};

// The program's own window, read from its description, driven like a user.
class RealWindow {
public:
    RealWindow() : form_(std::make_unique<TForm1>(nullptr)) {
        form_->CreateFromResource("TFORM1");
        form_->Show();
        Settle();
    }

    // Lists the folder afresh, so the next click on any file scans it.
    void List(const std::string& dir) {
        form_->FilterComboBox1->Items().SetItemIndex(kAllFiles);
        form_->FileListBox1->SetDirPath(dir);
        form_->FileListBox1->SetMask("*.*");
        form_->FileListBox1->RescanFiles();
        Settle();
    }

    struct Fill {
        double texts;    // from the press on the file until the handler returned: texts and preview set
        double longest;  // the longest a message could wait: one step of the fill, or one message
        double whole;    // from the press until the icon list is full
    };
    // A click on the file's item, then the message loop as the program runs
    // it until the icon list is full.
    Fill Click(const File& file) {
        List(file.dir);
        HWND list = form_->FileListBox1->WindowHandle();
        int index = form_->FileListBox1->Items().FindExact(file.name);
        if (index < 0) {
            std::fprintf(stderr, "%s is not listed\n", file.name.c_str());
            return {};
        }
        SendMessageA(list, LB_SETTOPINDEX, index, 0);
        RECT r{};
        SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        Fill fill{};
        double start = Now();
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
        fill.texts = Now() - start;
        fill.longest = fill.texts;
        MSG msg;
        while (Application.IdleWorkPending()) {
            double begin = Now();
            if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            } else {
                Application.DoIdleWork();
            }
            fill.longest = std::max(fill.longest, Now() - begin);
        }
        fill.whole = Now() - start;
        if (form_->FilePath != file.Path() || form_->ListView1->ItemCount() != form_->IconCount ||
            form_->ImageList1->ImageCount() != form_->IconCount)
            std::fprintf(stderr, "the click on %s did not fill the list\n", file.name.c_str());
        Settle();
        return fill;
    }
    // The fill's work in one go, part by part, on the window's controls and
    // with the window's own icon source.
    Parts Steps(const File& file) {
        List(file.dir);
        Parts t;
        const std::string path = file.Path();
        TIconSource& source = form_->IconSource;
        int count = Timed(t["count"], [&] { return source.Count(path); });
        TCustomImageList* images = form_->ImageList1;
        TCustomListView* view = form_->ListView1;
        Timed(t["empty"], [&] {
            images->EmptyImages();
            view->RemoveAllItems();
        });
        Timed(t["append"], [&] {
            for (int i = 0; i < count; ++i) view->AppendItem(i);
        });
        std::vector<GdiIcon> made(static_cast<size_t>(count));
        std::vector<TIconToAppend> icons(static_cast<size_t>(count));
        Timed(t["extract"], [&] {
            for (int i = 0; i < count; ++i) {
                const auto at = static_cast<size_t>(i);
                if (const TIconImageRef* image = source.PlainImage(i)) icons[at] = {nullptr, image->bytes, image->size};
                else icons[at].icon = (made[at] = source.Icon(i)).Get();
            }
        });
        Timed(t["insert"], [&] { images->AppendIcons(icons); });
        Settle();
        return t;
    }

private:
    std::unique_ptr<TForm1> form_;
};

LRESULT CALLBACK PlainProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

using WindowOwner = UniqueHandle<HWND, DestroyWindow>;
using ImageListOwner = UniqueHandle<HIMAGELIST, ImageList_Destroy>;

// What a minimal program needs: a shown window with a plain icon list view.
class BareList {
public:
    BareList() {
        WNDCLASSA cls{};
        cls.lpfnWndProc = PlainProc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
        cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        cls.lpszClassName = "BenchBareFrame";
        RegisterClassA(&cls);
        RECT r{0, 0, 522, 87};
        AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
        frame_.Reset(CreateWindowA("BenchBareFrame", "bare", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60,
                                   r.right - r.left, r.bottom - r.top, nullptr, nullptr, cls.hInstance, nullptr));
        view_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | LVS_ICON | LVS_AUTOARRANGE | LVS_SINGLESEL |
                                    LVS_SHAREIMAGELISTS,
                                2, 2, 518, 83, frame_.Get(), nullptr, cls.hInstance, nullptr);
        images_.Reset(ImageList_Create(16, 16, ILC_COLORDDB | ILC_MASK, 0, 4));
        SendMessageA(view_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images_.Get()));
        Settle();
    }
    // Quiet: the view does not redraw while it is filled, as a faster scan could do it.
    Parts Scan(const File& file, bool quiet = false) {
        Parts t;
        if (quiet) SendMessageA(view_, WM_SETREDRAW, FALSE, 0);
        const std::string path = file.Path();
        Timed(t["clear"], [&] {
            SendMessageA(view_, LVM_DELETEALLITEMS, 0, 0);
            ImageList_Remove(images_.Get(), -1);
        });
        int count = Timed(t["count"], [&] { return CountOf(path); });
        for (int i = 0; i < count; ++i) {
            HICON icon = Timed(t["extract"], [&] { return IconOf(path, i); });
            Timed(t["add"], [&] { ImageList_AddIcon(images_.Get(), icon); });
            Timed(t["destroy"], [&] { DestroyIcon(icon); });
        }
        for (int i = 0; i < count; ++i) {
            LVITEMA item{};
            item.mask = LVIF_IMAGE;
            item.iItem = i;
            item.iImage = i;
            Timed(t["insert"], [&] { SendMessageA(view_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)); });
        }
        if (quiet) Timed(t["redraw"], [&] { SendMessageA(view_, WM_SETREDRAW, TRUE, 0); });
        Settle();
        return t;
    }

private:
    ImageListOwner images_;  // declared first, so it outlives the view that shares it
    WindowOwner frame_;
    HWND view_ = nullptr;
};

double Total(const Parts& parts) {
    double sum = 0;
    for (const auto& p : parts) sum += p.second;
    return sum;
}

// The median of every named part over the repetitions.
Parts Medians(const std::vector<Parts>& runs) {
    Parts result;
    for (const auto& named : runs.front()) {
        std::vector<double> values;
        for (const Parts& run : runs) values.push_back(run.at(named.first));
        result[named.first] = Median(values);
    }
    return result;
}

std::string Row(const Parts& parts, const std::vector<const char*>& names) {
    std::string line;
    char cell[32];
    for (const char* name : names) {
        std::snprintf(cell, sizeof cell, " %s %.1f", name, parts.count(name) ? parts.at(name) : 0.0);
        line += cell;
    }
    return line;
}
}  // namespace

// An optional argument skips files with more icons than it names.
int main(int argc, char** argv) {
    const int most = argc > 1 ? std::atoi(argv[1]) : 1 << 30;
    Application.Initialize();
    SetAfterMessageHook(ReleaseMemoryContexts);
    RegisterFormClasses();
    Application.SetExceptionSink([](const std::string& text) { std::fprintf(stderr, "box: %s\n", text.c_str()); });
    InitCommonControls();

    char module[MAX_PATH] = {}, system[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string here(module);
    here.erase(here.find_last_of('\\'));
    GetSystemDirectoryA(system, MAX_PATH);
    std::vector<File> files = {{system, "shell32.dll"},     {here, "icons10.dll"},  {here, "icons100.dll"},
                               {here, "icons1000.dll"}, {here, "icons3000.dll"}};

    struct Result {
        std::string name;
        int icons;
        double texts, longest, whole, bare;  // medians; bare is the quiet bare scan
        Parts plain, quiet, steps;
    };
    std::vector<Result> results;
    {
        RealWindow real;
        BareList list;
        std::printf("%-14s %6s %9s %11s %8s %14s %10s\n", "file", "icons", "texts ms", "longest ms", "fill ms",
                    "bare quiet ms", "fill/bare");
        for (const File& file : files) {
            int icons = CountOf(file.Path());
            if (icons > most) continue;
            int repeats = icons >= 1000 ? 3 : 5;
            real.Click(file);  // warm-up: the file is in the cache for all of them
            list.Scan(file);
            std::vector<double> texts, longest, whole, bare;
            std::vector<Parts> plain, quiet, steps;
            for (int i = 0; i < repeats; ++i) {
                const RealWindow::Fill fill = real.Click(file);
                texts.push_back(fill.texts);
                longest.push_back(fill.longest);
                whole.push_back(fill.whole);
                plain.push_back(list.Scan(file));
                quiet.push_back(list.Scan(file, true));
                bare.push_back(Total(quiet.back()));
                steps.push_back(real.Steps(file));
            }
            Result r{file.name,      icons,          Median(texts),    Median(longest), Median(whole),
                     Median(bare),   Medians(plain), Medians(quiet),   Medians(steps)};
            std::printf("%-14s %6d %9.1f %11.1f %8.1f %14.1f %10.2f\n", r.name.c_str(), icons, r.texts, r.longest,
                        r.whole, r.bare, r.whole / r.bare);
            std::fflush(stdout);
            results.push_back(r);
        }
    }
    // Where the time goes: the median of each part alone, in ms.
    std::printf("\nthe fill's work in one go, part by part on the window's controls\n");
    for (const Result& r : results)
        std::printf("%-14s%s | total %.1f\n", r.name.c_str(),
                    Row(r.steps, {"count", "empty", "append", "extract", "insert"}).c_str(),
                    Total(r.steps));
    std::printf("\nthe bare program's parts\n");
    for (const Result& r : results)
        std::printf("%-14s%s\n", r.name.c_str(),
                    Row(r.plain, {"clear", "count", "extract", "add", "destroy", "insert"}).c_str());
    std::printf("\nthe same with the view's redrawing off while it is filled\n");
    for (const Result& r : results)
        std::printf("%-14s%s | total %.1f\n", r.name.c_str(),
                    Row(r.quiet, {"clear", "count", "extract", "add", "destroy", "insert", "redraw"}).c_str(),
                    Total(r.quiet));
    return 0;
}
