#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "buttons/SpeedButton.h"
#include "filectrl/DirectoryListBox.h"
#include "filectrl/DriveComboBox.h"
#include "filectrl/FileListBox.h"
#include "filectrl/FilterComboBox.h"
#include "framework/Panel.h"
#include "framework/Splitter.h"
#include "framework/StatusBar.h"
#include "graphics/Bitmap.h"
#include "framework/Image.h"
#include "dialogs/SavePictureDialog.h"
#include "lists/ImageList.h"
#include "lists/ListView.h"
#include "tests/support/GuiTest.h"

namespace {
// The window as the program builds it, read from the description compiled into this test.
struct MainFormFixture : ::testing::Test {
    static std::unique_ptr<TForm1> form;
    static void SetUpTestSuite() {
        form = std::make_unique<TForm1>(nullptr);
        form->CreateFromResource("TFORM1");
        form->Show();
    }
    static void TearDownTestSuite() { form.reset(); }

    static RECT Bounds(const char* name) {
        auto* c = dynamic_cast<TControl*>(form->FindComponent(name));
        return c ? c->BoundsRect() : RECT{-1, -1, -1, -1};
    }
    static std::string ParentOf(const char* name) {
        auto* c = dynamic_cast<TControl*>(form->FindComponent(name));
        return c && c->Parent() ? c->Parent()->Name() : "";
    }
};
std::unique_ptr<TForm1> MainFormFixture::form;

struct Placement {
    const char* name;
    const char* parent;
    RECT bounds;  // left, top, right, bottom in the parent's client area
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Show(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right - r.left) +
           "x" + std::to_string(r.bottom - r.top) + ")";
}

bool IsSongFont(const TFont& f) {
    return f.Name() == "宋体" && f.Height() == -12 && f.Charset() == GB2312_CHARSET;
}
}  // namespace

TEST_F(MainFormFixture, EveryComponentSitsInItsParentAtItsPlace) {
    const Placement table[] = {
        {"Panel1", "Form1", {0, 0, 522, 69}},
        {"Image1", "Panel1", {26, 3, 494, 63}},
        {"Panel2", "Form1", {0, 69, 522, 223}},
        {"Panel3", "Panel2", {1, 1, 147, 153}},
        {"Panel6", "Panel3", {0, 0, 146, 25}},
        {"Panel9", "Panel3", {0, 25, 146, 127}},
        {"Image2", "Panel9", {41, 19, 105, 83}},  // the start-up scan sized it for 2:1
        {"Panel7", "Panel3", {0, 127, 146, 152}},
        {"SpeedButton1", "Panel7", {16, 2, 38, 24}},
        {"SpeedButton2", "Panel7", {42, 2, 64, 24}},
        {"SpeedButton3", "Panel7", {80, 2, 102, 24}},
        {"SpeedButton4", "Panel7", {108, 2, 130, 24}},
        {"Panel4", "Panel2", {147, 1, 334, 153}},
        {"DriveComboBox1", "Panel4", {4, 4, 183, 22}},
        {"DirectoryListBox1", "Panel4", {4, 26, 183, 147}},
        {"Panel5", "Panel2", {334, 1, 521, 153}},
        {"FileListBox1", "Panel5", {6, 4, 185, 123}},
        {"FilterComboBox1", "Panel5", {4, 126, 183, 147}},
        {"Panel8", "Form1", {0, 223, 522, 350}},
        {"Panel10", "Panel8", {1, 1, 521, 23}},
        {"Panel11", "Panel10", {1, 1, 147, 21}},
        {"Splitter1", "Panel10", {147, 1, 149, 21}},
        {"Panel12", "Panel10", {149, 1, 519, 21}},
        {"ListView1", "Panel8", {2, 24, 520, 107}},
        {"StatusBar1", "Panel8", {1, 107, 521, 126}},
    };
    for (const Placement& p : table) {
        SCOPED_TRACE(p.name);
        EXPECT_EQ(ParentOf(p.name), p.parent);
        EXPECT_TRUE(SameRect(Bounds(p.name), p.bounds)) << Show(Bounds(p.name)) << " instead of " << Show(p.bounds);
    }
    EXPECT_NE(dynamic_cast<TImageList*>(form->FindComponent("ImageList1")), nullptr);
    EXPECT_NE(dynamic_cast<TSavePictureDialog*>(form->FindComponent("SavePictureDialog1")), nullptr);
}

TEST_F(MainFormFixture, WindowedControlsArePlacedOnScreenWhereTheObjectsSay) {
    for (const char* name : {"Panel2", "Panel5", "FileListBox1", "Panel12", "StatusBar1", "ListView1"}) {
        SCOPED_TRACE(name);
        auto* c = dynamic_cast<TWinControl*>(form->FindComponent(name));
        ASSERT_NE(c, nullptr);
        RECT r;
        GetWindowRect(c->WindowHandle(), &r);
        MapWindowPoints(nullptr, c->Parent()->WindowHandle(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_TRUE(SameRect(r, c->BoundsRect())) << Show(r);
    }
}

TEST_F(MainFormFixture, TheWindowHasItsCaptionSizeAndFixedBorder) {
    HWND wnd = form->WindowHandle();
    EXPECT_EQ(WindowText(wnd), "Tulvar      ( 程序制作:  Morven )");
    RECT client;
    GetClientRect(wnd, &client);
    EXPECT_EQ(client.right, 522);
    EXPECT_EQ(client.bottom, 350);
    LONG style = GetWindowLongA(wnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    RECT window;
    GetWindowRect(wnd, &window);
    EXPECT_EQ(window.left, 232);
    EXPECT_EQ(window.top, 149);
    EXPECT_NE(SendMessageA(wnd, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_EQ(form->Color(), clBtnFace);
    EXPECT_EQ(form->Font.Name(), "MS Sans Serif");
    EXPECT_EQ(form->Font.Height(), -11);
}

TEST_F(MainFormFixture, ChineseTextsUseTheSongFontAndTheRestInheritTheWindowFont) {
    for (const char* name : {"Panel6", "DriveComboBox1", "DirectoryListBox1", "FileListBox1", "Panel11", "Panel12"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(IsSongFont(dynamic_cast<TControl*>(form->FindComponent(name))->Font));
    }
    EXPECT_EQ(form->FilterComboBox1->Font.Name(), "MS Sans Serif");
    EXPECT_EQ(form->Panel7->Font.Name(), "MS Sans Serif");
}

TEST_F(MainFormFixture, BevelsAndCaptionAlignmentAreAsDesigned) {
    EXPECT_EQ(form->Panel1->BevelOuter(), TBevelCut::bvNone);
    EXPECT_EQ(form->Panel2->BevelOuter(), TBevelCut::bvLowered);
    EXPECT_EQ(form->Panel4->BevelOuter(), TBevelCut::bvRaised);
    EXPECT_EQ(form->Panel8->BevelInner(), TBevelCut::bvLowered);
    EXPECT_EQ(form->Panel8->BevelOuter(), TBevelCut::bvNone);
    EXPECT_EQ(form->Panel11->BevelInner(), TBevelCut::bvRaised);
    EXPECT_EQ(form->Panel12->Alignment(), TAlignment::taLeftJustify);
    EXPECT_TRUE(form->Splitter1->Beveled());
    EXPECT_EQ(form->Splitter1->ResizedControl(), form->Panel11);
    EXPECT_EQ(form->Splitter1->Cursor(), crHSplit);
}

TEST_F(MainFormFixture, HintsShowOnTheBannerAndButtonsButNotThePanels) {
    EXPECT_EQ(form->Image1->Hint(), " 与我联系  欢迎光临 -->『Corrowel』");
    EXPECT_TRUE(form->Image1->ShowHint());
    EXPECT_FALSE(form->Panel1->ShowHint());
    const char* hints[] = {"放大", "缩小", "复制到剪切板", "保存图标到文件"};
    TSpeedButton* buttons[] = {form->SpeedButton1, form->SpeedButton2, form->SpeedButton3, form->SpeedButton4};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(buttons[i]->Hint(), hints[i]);
        EXPECT_TRUE(buttons[i]->ShowHint());
        EXPECT_TRUE(buttons[i]->Flat());
        EXPECT_EQ(buttons[i]->Glyph().Width(), 16);
        EXPECT_EQ(buttons[i]->NumGlyphs(), 1);
    }
    EXPECT_FALSE(form->Panel7->ShowHint());
}

namespace {
// A property of a component as the description compiled into the program holds it.
std::string StoredProperty(const TFormNode& node, const std::string& component, const std::string& property) {
    if (node.name == component)
        for (const auto& [name, value] : node.properties)
            if (name == property) return value.text;
    for (const TFormNode& child : node.children) {
        std::string found = StoredProperty(child, component, property);
        if (!found.empty()) return found;
    }
    return {};
}

std::string FormResourceText() {
    HRSRC info = FindResourceA(nullptr, "TFORM1", reinterpret_cast<LPCSTR>(RT_RCDATA));
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, info)));
    return std::string(bytes, SizeofResource(nullptr, info));
}
}  // namespace

TEST_F(MainFormFixture, TheBannerCarriesA468By60JpegPicture) {
    std::string data = StoredProperty(ParseFormText(FormResourceText()), "Image1", "Picture.Data");
    ASSERT_GT(data.size(), 15u);
    EXPECT_EQ(data.substr(0, 11), "\x0ATJPEGImage");
    int32_t length = 0;
    memcpy(&length, data.data() + 11, 4);
    EXPECT_EQ(static_cast<size_t>(length), data.size() - 15);
    // The frame header tells the size: find the baseline start-of-frame marker.
    size_t sof = data.find("\xFF\xC0", 15);
    ASSERT_NE(sof, std::string::npos);
    auto byte = [&](size_t i) { return static_cast<unsigned char>(data[i]); };
    EXPECT_EQ(byte(15), 0xFF);
    EXPECT_EQ(byte(16), 0xD8);
    EXPECT_EQ(byte(sof + 5) * 256 + byte(sof + 6), 60);
    EXPECT_EQ(byte(sof + 7) * 256 + byte(sof + 8), 468);
    EXPECT_TRUE(form->Image1->AutoSize());
    EXPECT_EQ(form->Image1->Cursor(), crHandPoint);
    EXPECT_TRUE(form->Image2->Center());
    EXPECT_TRUE(form->Image2->Stretch());
    EXPECT_TRUE(form->Image2->Transparent());
}

TEST_F(MainFormFixture, BrowsingControlsAndListsAreLinkedAsDesigned) {
    EXPECT_EQ(form->FileListBox1->Mask(), "*.exe;*.ico;*.bmp;*.dll;*.icl");
    EXPECT_EQ(form->FileListBox1->ItemHeight(), 12);
    EXPECT_EQ(form->DirectoryListBox1->ItemHeight(), 16);
    // The window's handlers move the browsing controls: none is linked to another.
    EXPECT_EQ(form->FilterComboBox1->FileList(), nullptr);
    EXPECT_EQ(form->DirectoryListBox1->FileList(), nullptr);
    EXPECT_EQ(form->DriveComboBox1->DirList(), nullptr);
    EXPECT_EQ(form->FilterComboBox1->Filter(),
              "所有图标文件 (*.exe;*.ico;*.bmp;*.dll;*.icl)|*.exe;*.ico;*.bmp;*.dll;*.icl|EXE文件(*.exe)|*.exe|"
              "ICO文件(*.ico)|*.ico|BMP文件(*.bmp)|*.bmp|DLL文件(*.dll)|*.dll|ICL文件(*.icl)|*.icl|"
              "All files (*.*)|*.*");
    EXPECT_EQ(form->SavePictureDialog1->Filter(),
              "Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|JPG(*.jpg)|*.jpg|"
              "ICO 图标文件 (全部尺寸)|*.ico|PNG 图像 (透明)|*.png");
    EXPECT_EQ(form->ListView1->LargeImages(), form->ImageList1);
    EXPECT_EQ(form->ListView1->SmallImages(), form->ImageList1);
    EXPECT_EQ(form->ListView1->StateImages(), form->ImageList1);
    EXPECT_EQ(form->ListView1->ViewStyle(), TViewStyle::vsIcon);
    EXPECT_EQ(form->ListView1->SortType(), TSortType::stBoth);
    EXPECT_TRUE(form->ListView1->IconOptions().AutoArrange());
    EXPECT_EQ(form->ImageList1->Width(), 16);
    EXPECT_EQ(form->DriveComboBox1->TabOrder(), 0);
    EXPECT_EQ(form->DirectoryListBox1->TabOrder(), 1);
    EXPECT_EQ(form->FileListBox1->TabOrder(), 0);
    EXPECT_EQ(form->FilterComboBox1->TabOrder(), 1);
    EXPECT_EQ(form->ListView1->TabOrder(), 2);
    EXPECT_TRUE(form->FileListBox1->OnChange);
    EXPECT_TRUE(form->FileListBox1->OnClick);
    EXPECT_TRUE(form->ListView1->OnClick);
}

TEST_F(MainFormFixture, EachSaveKindStandsAtItsOwnPlaceInTheSaveDialogsFilter) {
    // The dialog names the chosen file type by its position only.
    std::vector<std::string> parts(1);
    for (char c : form->SavePictureDialog1->Filter()) {
        if (c == '|') parts.emplace_back();
        else parts.back() += c;
    }
    ASSERT_EQ(parts.size(), 2u * kSaveKindCount);
    for (int type = 1; type <= kSaveKindCount; ++type)
        EXPECT_EQ(parts[2 * type - 1], std::string("*") + SaveKindExtension(static_cast<TSaveKind>(type)))
            << "file type " << type;
}

TEST_F(MainFormFixture, FormCreateLeavesTheInitialState) {
    EXPECT_EQ(form->ZoomLevel, 3);
    EXPECT_EQ(form->IconCount, 0);
    EXPECT_EQ(form->FilePath, "");
    EXPECT_EQ(form->StatusBar1->PanelWidth(0), 130);
    EXPECT_EQ(form->StatusBar1->PanelCount(), 2);
    EXPECT_EQ(form->StatusBar1->PanelText(0), "");
    EXPECT_FALSE(form->StatusBar1->SimplePanel());
    for (TSpeedButton* b : {form->SpeedButton1, form->SpeedButton2, form->SpeedButton3, form->SpeedButton4})
        EXPECT_FALSE(b->Enabled());
    EXPECT_EQ(form->Panel6->Caption(), "图标显示比例 2:1");  // the start-up scan ran
    EXPECT_EQ(form->Panel11->Caption(), "");
    EXPECT_EQ(form->Panel12->Caption(), "");
    EXPECT_TRUE(form->CloseQuery());
    EXPECT_EQ(form->WebAddress().compare(0, 7, "http://"), 0);
}

TEST_F(MainFormFixture, DraggingTheSplitterChangesOnlyTheSelectedIconLabelsWidth) {
    HWND bar = form->Panel10->WindowHandle();
    SendMouse(bar, WM_MOUSEMOVE, 148, 10);
    SendMouse(bar, WM_LBUTTONDOWN, 148, 10, MK_LBUTTON);
    SendMouse(bar, WM_MOUSEMOVE, 188, 10, MK_LBUTTON);
    SendMouse(bar, WM_LBUTTONUP, 188, 10);
    EXPECT_EQ(form->Panel11->Width(), 186);
    EXPECT_EQ(form->Splitter1->Left(), 187);
    EXPECT_EQ(form->Panel12->Left(), 189);
    EXPECT_EQ(form->Panel12->Width(), 330);
    EXPECT_EQ(form->Panel10->Width(), 520);
}

TEST_F(MainFormFixture, TheStartUpScanLeavesAnInvisibleBlankPreview) {
    TBitmap* shown = form->Image2->Picture().Bitmap();
    EXPECT_TRUE(shown->Transparent());
    EXPECT_EQ(shown->Width(), 32);
    EXPECT_EQ(form->Image2->Width(), 64);
    HWND area = form->Panel9->WindowHandle();
    InvalidateRect(area, nullptr, TRUE);
    EXPECT_EQ(WindowPixel(area, 73, 51), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(WindowPixel(area, 42, 20), GetSysColor(COLOR_BTNFACE));
}
