#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <functional>
#include <vector>

#include "base/Exceptions.h"
#include "base/WholeFile.h"
#include "buttons/SpeedButton.h"
#include "dialogs/SavePictureDialog.h"
#include "framework/Application.h"
#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/FormReader.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "graphics/Picture.h"
#include "jpeg/JPEGImage.h"
#include "tests/support/CmykJpeg.h"
#include "tests/support/GuiTest.h"
#include "tests/support/Pictures.h"
#include "tests/support/SaveDialogDriver.h"

namespace {
// A 468 x 60 JPEG of one colour, as the banner is, in the folder.
void WriteBanner(const std::string& path, COLORREF colour) {
    if (!TPicture::FindClass("TJPEGImage")) RegisterJPEGImage();
    TBitmap bitmap;
    FillBitmap(bitmap, 468, 60, colour);
    TJPEGImage jpeg;
    jpeg.CopyFromBitmap(bitmap);
    jpeg.WriteToFile(path);
}

// Executes the dialog while `steps` answer it; every step must have run, and
// nothing may have escaped to the application's error box. The dialog moves
// the current directory along as it browses; it is put back for the next test.
bool RunAnswered(TSavePictureDialog& dialog, std::vector<Step> steps) {
    const size_t count = steps.size();
    char directory[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, directory);
    std::string escaped;
    Application.SetExceptionSink([&](const std::string& text) { escaped += text; });
    bool result = false;
    const size_t done = RunDialogSteps([&] { result = dialog.Execute(); }, std::move(steps));
    Application.SetExceptionSink(nullptr);
    SetCurrentDirectoryA(directory);
    EXPECT_EQ(done, count) << "the dialog was left before every step ran";
    EXPECT_EQ(escaped, "");
    return result;
}

// Sets the item states of the file list's entry `name` (shown with or without its extension).
Step SetItemState(const std::string& name, UINT state, UINT mask) {
    return [=](HWND dialog) {
        HWND list = FindChildWindow(dialog, "SysListView32");
        int count = list ? static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
        for (int i = 0; i < count; ++i) {
            char text[MAX_PATH] = {};
            LVITEMA item{};
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
            if (name != text && name.substr(0, name.rfind('.')) != text) continue;
            item.stateMask = mask;
            item.state = state;
            SendMessageA(list, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&item));
            return true;
        }
        return false;  // the list is filled on messages of its own
    };
}

Step Select(const std::string& name) {
    return SetItemState(name, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}
Step Deselect(const std::string& name) { return SetItemState(name, 0, LVIS_SELECTED); }

// A folder of its own for one test, removed with the files made in it.
struct TempFolder {
    std::string path;
    std::vector<std::string> files;
    TempFolder() {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        path = std::string(base) + "tulvar-dialog-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(path.c_str(), nullptr);
    }
    ~TempFolder() {
        for (const std::string& file : files) DeleteFileA(file.c_str());
        RemoveDirectoryA(path.c_str());
    }
    std::string operator/(const std::string& name) {
        files.push_back(path + "\\" + name);
        return files.back();
    }
};

// A bitmap kind of its own that counts how often a file is read into it.
int countedLoads = 0;
class TCountedBitmap : public TBitmap {
public:
    const char* ClassName() const override { return "TCountedBitmap"; }
    TGraphic* NewOfSameClass() const override { return new TCountedBitmap; }
    void LoadFromStream(const std::string& bytes) override {
        ++countedLoads;
        TBitmap::LoadFromStream(bytes);
    }
};

const char kProgramFilter[] = "Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|JPG(*.jpg)|*.jpg";

// Waits, tick by tick, until `done` holds.
Step Until(std::function<bool()> done) {
    return [done](HWND) { return done(); };
}

BOOL CALLBACK MatchPreview(HWND wnd, LPARAM found) {
    auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(wnd));
    if (!form || !IsWindowVisible(wnd) || form->Name() != "PreviewForm") return TRUE;
    *reinterpret_cast<TForm**>(found) = form;
    return FALSE;
}

// The preview window while it is open, or null.
TForm* OpenPreview() {
    TForm* found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), MatchPreview, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Left-button messages at a client point, posted as the user's input would be:
// a click, or a double click.
void PostClicks(HWND wnd, int x, int y, bool twice) {
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(wnd, WM_LBUTTONUP, 0, at);
    if (!twice) return;
    PostMessageA(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(wnd, WM_LBUTTONUP, 0, at);
}
}  // namespace

TEST(SaveDialog, AnswersComeBackOnlyWhenConfirmed) {
    TSavePictureDialog dialog(nullptr);  // one for both runs, as the window keeps one
    dialog.SetFilter(kProgramFilter);
    dialog.SetFileName("earlier");
    struct Row {
        int type, button;
        bool result;
        int filterIndex;
    } rows[] = {
        {3, IDOK, true, 3},       // the name comes back as typed, with no extension added
        {1, IDCANCEL, false, 3},  // the earlier answers stay
    };
    for (const Row& row : rows) {
        const std::string before = dialog.FileName();
        int typeWhileOpen = 0;
        char folder[MAX_PATH] = {};
        bool result = RunAnswered(dialog, {PickType(row.type), Type("abc"), Check([&](HWND shown) {
                                               typeWhileOpen = dialog.FilterIndex();
                                               SendMessageA(shown, CDM_GETFOLDERPATH, MAX_PATH,
                                                            reinterpret_cast<LPARAM>(folder));
                                           }),
                                           Press(row.button)});
        EXPECT_EQ(typeWhileOpen, row.type);
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(dialog.FileName(), row.result ? std::string(folder) + "\\abc" : before);
        EXPECT_EQ(dialog.FilterIndex(), row.filterIndex);
    }
}

TEST(SaveDialog, RunsCentredWithEveryOtherWindowDisabledAndGivesTheFocusBack) {
    for (int button : {IDOK, IDCANCEL}) {
        TTestForm owner, other;
        auto* edit = new TEdit(&owner);
        edit->SetParent(&owner);
        other.Show();
        owner.Show();
        SetActiveWindow(owner.Handle());
        edit->SetFocus();
        TSavePictureDialog dialog(nullptr);
        dialog.SetFilter(kProgramFilter);
        RunAnswered(dialog, {Check([&](HWND shown) {
                                 EXPECT_FALSE(IsWindowEnabled(owner.Handle()));
                                 EXPECT_FALSE(IsWindowEnabled(other.Handle()));
                                 EXPECT_EQ(GetWindow(shown, GW_OWNER), owner.Handle());
                                 MONITORINFO info{};
                                 info.cbSize = sizeof info;
                                 GetMonitorInfoA(MonitorFromWindow(owner.Handle(), MONITOR_DEFAULTTOPRIMARY), &info);
                                 const RECT& m = info.rcMonitor;
                                 RECT r;
                                 GetWindowRect(shown, &r);
                                 EXPECT_EQ(r.left - m.left, (m.right - m.left - (r.right - r.left)) / 2);
                                 EXPECT_EQ(r.top - m.top, (m.bottom - m.top - (r.bottom - r.top)) / 3);
                             }),
                             Type("abc"), Press(button)});
        EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
        EXPECT_TRUE(IsWindowEnabled(other.Handle()));
        EXPECT_EQ(GetActiveWindow(), owner.Handle());
        EXPECT_EQ(GetFocus(), edit->Handle());
    }
}

TEST(SaveDialog, PaneShowsTheSelectedPictureWithItsSizeAndNothingForOtherFiles) {
    TempFolder folder;
    WriteBanner(folder / "banner.jpg", RGB(200, 30, 30));
    WriteWholeFile(folder / "tool.exe", "MZ");
    TSavePictureDialog dialog(nullptr);
    dialog.SetFilter("All (*.*)|*.*");
    dialog.SetInitialDir(folder.path + "\\");
    struct Row {
        const char* file;
        std::string label, paintCaption;
        bool button;
        int pictureWidth;
    } rows[] = {
        {"banner.jpg", " (468x60)", "", true, 468},
        {"tool.exe", "图象:", "(无)", false, 0},
    };
    std::vector<Step> steps;
    for (const Row& row : rows) {
        steps.push_back(Select(row.file));
        steps.push_back(Check([&dialog, &row](HWND) {
            SCOPED_TRACE(row.file);
            EXPECT_EQ(dialog.PictureLabel()->Caption(), row.label);
            EXPECT_EQ(dialog.PaintPanel()->Caption(), row.paintCaption);
            EXPECT_EQ(dialog.PreviewButton()->Enabled(), row.button);
            EXPECT_EQ(dialog.PaintBox()->Picture().Width(), row.pictureWidth);
        }));
    }
    steps.push_back(Press(IDCANCEL));
    RunAnswered(dialog, steps);
}

TEST(SaveDialog, SelectingTheSameFileAgainDoesNotLoadItAgain) {
    TPicture::RegisterFileFormat("counted", "Counted", 0, "TCountedBitmap", [] { return new TCountedBitmap; });
    TempFolder folder;
    RGBQUAD black{0, 0, 0, 0};
    WriteWholeFile(folder / "once.counted", BmpFile(1, 1, 8, {black}, std::string(4, '\0')));
    TSavePictureDialog dialog(nullptr);
    dialog.SetFilter("All (*.*)|*.*");
    dialog.SetInitialDir(folder.path);
    int notified = 0;
    dialog.OnSelectionChange = [&](TObject*) { ++notified; };
    int notifiedAtFirst = 0;
    countedLoads = 0;
    RunAnswered(dialog, {Select("once.counted"), Check([&](HWND) { notifiedAtFirst = notified; }),
                         Deselect("once.counted"), Select("once.counted"), Press(IDCANCEL)});
    EXPECT_EQ(dialog.PictureLabel()->Caption(), " (1x1)");
    EXPECT_GE(notified, notifiedAtFirst + 2);  // the platform did tell of both changes
    EXPECT_EQ(countedLoads, 1);
}

TEST(SaveDialog, FilterKeepsADoubleByteCharacterWhoseSecondByteIsABar) {
    TSavePictureDialog dialog(nullptr);
    dialog.SetFilter("東方 (*.x)|*.x|Other (*.y)|*.y");  // 東 is 96 7C
    std::vector<std::string> types;
    RunAnswered(dialog, {Check([&](HWND shown) {
                             HWND box = GetDlgItem(shown, kDialogTypeBox);
                             for (int i = 0; i < SendMessageA(box, CB_GETCOUNT, 0, 0); ++i) {
                                 char text[64] = {};
                                 SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                                 types.push_back(text);
                             }
                         }),
                         Press(IDCANCEL)});
    EXPECT_EQ(types, (std::vector<std::string>{"東方 (*.x)", "Other (*.y)"}));
}

TEST(SaveDialog, OptionsAreReadByNameAndAnUnknownNameIsRefusedWithItsLine) {
    const struct {
        const char* properties;
        const char* error;
        TOpenOptions options;
        TOpenOptionsEx optionsEx;
    } rows[] = {
        {"Options = [ofOverwritePrompt, ofForceShowHidden, ofOldStyleDialog]\n  OptionsEx = [ofExNoPlacesBar]",
         "(no error)", ofOverwritePrompt | ofForceShowHidden | ofOldStyleDialog, ofExNoPlacesBar},
        {"Options = []\n  OptionsEx = []", "(no error)", 0, 0},
        {"Options = [ofHideReadOnly, ofNoSuchOption]", "无效的属性值 (2)", ofHideReadOnly | ofEnableSizing, 0},
        {"Options = [ofReadOnly]\n  OptionsEx = [ofExNoPlacesBar, ofExPlaces]", "无效的属性值 (3)", ofReadOnly, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.properties);
        TSavePictureDialog dialog(nullptr);
        TFormReader reader;
        const std::string text = std::string("D : TSavePictureDialog {\n  ") + row.properties + "\n}";
        EXPECT_EQ(ErrorText<EReadError>([&] { reader.ReadRoot(&dialog, ParseFormText(text)); }), row.error);
        EXPECT_EQ(dialog.Options(), row.options);
        EXPECT_EQ(dialog.OptionsEx(), row.optionsEx);
    }
}

TEST(SaveDialog, ThePreviewButtonAndADoubleClickOnThePictureShowACopyInAPreviewWindowThatEscCloses) {
    TempFolder folder;
    WriteBanner(folder / "banner.jpg", RGB(30, 200, 30));
    TSavePictureDialog dialog(nullptr);
    dialog.SetFilter("All (*.*)|*.*");
    dialog.SetInitialDir(folder.path);
    struct Seen {
        std::string caption = "(not opened)", pictureClass;
        int width = 0, height = 0;
        bool copy = false, doubleBuffered = false, closedByEsc = false;
    };
    const struct {
        const char* how;
        bool twice;
    } ways[] = {{"preview button", false}, {"double click on the picture", true}};
    Seen seen[2];
    std::vector<Step> steps{Select("banner.jpg"), Until([&] { return dialog.PreviewButton()->Enabled(); })};
    for (int i = 0; i < 2; ++i) {
        steps.push_back(Check([&dialog, twice = ways[i].twice](HWND) {
            TControl* target = twice ? static_cast<TControl*>(dialog.PaintBox()) : dialog.PreviewButton();
            PostClicks(target->Parent()->WindowHandle(), target->Left() + target->Width() / 2,
                       target->Top() + target->Height() / 2, twice);
        }));
        steps.push_back([&dialog, &seen = seen[i]](HWND) {
            TForm* form = OpenPreview();
            if (!form) return false;  // the posted input is not handled yet
            seen.caption = WindowText(form->WindowHandle());
            auto* panel = dynamic_cast<TPanel*>(form->FindComponent("Panel"));
            auto* image = dynamic_cast<TImage*>(form->FindComponent("Image"));
            seen.doubleBuffered = panel && panel->DoubleBuffered();
            if (image && image->Picture().Content()) {
                seen.pictureClass = image->Picture().Content()->ClassName();
                seen.width = image->Picture().Width();
                seen.height = image->Picture().Height();
                seen.copy = image->Picture().Content() != dialog.PaintBox()->Picture().Content();
            }
            HWND focus = GetFocus(), wnd = form->WindowHandle();
            PostMessageA(focus == wnd || IsChild(wnd, focus) ? focus : wnd, WM_KEYDOWN, VK_ESCAPE, 1);
            return true;
        });
        steps.push_back([&seen = seen[i], ticks = 0](HWND) mutable {
            TForm* form = OpenPreview();
            seen.closedByEsc = !form;
            if (form && ++ticks > 25) form->Close();  // so that the dialog can still be left
            return !form || ticks > 25;
        });
    }
    steps.push_back(Press(IDCANCEL));
    RunAnswered(dialog, steps);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(ways[i].how);
        EXPECT_EQ(seen[i].caption, "预览");
        EXPECT_EQ(seen[i].pictureClass, "TJPEGImage");
        EXPECT_EQ(seen[i].width, 468);
        EXPECT_EQ(seen[i].height, 60);
        EXPECT_TRUE(seen[i].copy);
        EXPECT_TRUE(seen[i].doubleBuffered);
        EXPECT_TRUE(seen[i].closedByEsc);
    }
}

TEST(SaveDialog, APictureThePaneCannotPaintSaysSoInThePaneAndNowhereElse) {
    if (!TPicture::FindClass("TJPEGImage")) RegisterJPEGImage();
    TempFolder folder;
    WriteWholeFile(folder / "cmyk.jpg", CmykJpeg(33, 9));
    TSavePictureDialog dialog(nullptr);
    dialog.SetFilter("All (*.*)|*.*");
    dialog.SetInitialDir(folder.path);
    std::string label;
    RunAnswered(dialog, {Select("cmyk.jpg"),
                         Until([&] { return dialog.PaintPanel()->Caption() == "无效的流格式"; }),
                         Check([&](HWND) { label = dialog.PictureLabel()->Caption(); }), Press(IDCANCEL)});
    EXPECT_EQ(label, " (33x9)");  // the header was read; only the pixels cannot be
}
