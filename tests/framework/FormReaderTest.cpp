#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "framework/FormReader.h"
#include "framework/Panel.h"
#include "framework/StatusBar.h"
#include "tests/support/GuiTest.h"

namespace {
// A component whose only property links to another component.
class TLinker : public TComponent {
public:
    explicit TLinker(TComponent* owner) : TComponent(owner) {}
    TComponent* Target = nullptr;
    std::string Data;
    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override {
        if (name == "Target") reader.ResolveReference(value, [this](TComponent* c) { Target = c; });
        else if (name == "Data") Data = value.AsBinary();
        else return TComponent::SetProperty(name, value, reader);
        return true;
    }
};

void ReadInto(TTestForm& form, const std::string& text) {
    TFormReader reader;
    reader.ReadRoot(&form, ParseFormText(text));
}

std::string ErrorOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const EReadError& e) {
        return e.Message;
    }
    return "(no error)";
}

struct RegisterLinker {
    RegisterLinker() {
        RegisterComponentClass("TLinker", [](TComponent* owner) -> TComponent* { return new TLinker(owner); });
    }
} registerLinker;
}  // namespace

TEST(FormText, ReadsNestedComponentsWithEveryKindOfValue) {
    TFormNode root = ParseFormText(
        "# a comment\n"
        "Form1 : TForm1 {\n"
        "  Left = -12\n"
        "  Caption = \"a \\\"quoted\\\" \" \"text\"\n"
        "  Icons = [biSystemMenu, biMinimize]\n"
        "  Empty = []\n"
        "  Data = {0A54 4A\n 50}\n"
        "  Flag = true\n"
        "  Panel1 : TPanel { Align = alTop }\n"
        "}\n");
    EXPECT_EQ(root.name, "Form1");
    EXPECT_EQ(root.className, "TForm1");
    ASSERT_EQ(root.properties.size(), 6u);
    EXPECT_EQ(root.properties[0].second.AsInteger(), -12);
    EXPECT_EQ(root.properties[1].second.AsString(), "a \"quoted\" text");
    EXPECT_EQ(root.properties[2].second.AsSet(), (std::vector<std::string>{"biSystemMenu", "biMinimize"}));
    EXPECT_TRUE(root.properties[3].second.AsSet().empty());
    EXPECT_EQ(root.properties[4].second.AsBinary(), std::string("\x0A\x54\x4A\x50", 4));
    EXPECT_TRUE(root.properties[5].second.AsBoolean());
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_EQ(root.children[0].properties[0].second.AsIdentifier(), "alTop");
}

TEST(FormText, ASecondByteThatLooksLikeAQuoteOrBackslashStaysInItsCharacter) {
    // Every byte from 0x81 to 0xFE starts a two-byte character, whatever follows;
    // 0x80 and 0xFF stand alone. Written as escapes so the bytes are exactly these.
    const std::string characters[] = {"\x81\x5C", "\x81\x22", "\x90\x5C", "\x9F\x22", "\xA0\x5C", "\xA0\x22",
                                      "\xB1\x5C", "\xFE\x5C", "\xFE\x22", "\x80",     "\xFF"};
    for (const std::string& c : characters) {
        SCOPED_TRACE(testing::PrintToString(c));
        // Once before an ordinary letter, once just before the closing quote.
        const std::string text = "F : T { Caption = \"a" + c + "b\\\\\" \"" + c + "\"  Tag = 1 }";
        TFormNode root;
        EXPECT_NO_THROW(root = ParseFormText(text));
        EXPECT_EQ(root.properties.size(), 2u);
        if (root.properties.size() != 2u) continue;
        EXPECT_EQ(root.properties[0].second.AsString(), "a" + c + "b\\" + c);
        EXPECT_EQ(root.properties[1].first, "Tag");
    }
}

TEST(FormText, MalformedTextNamesTheLine) {
    EXPECT_EQ(ErrorOf([] { ParseFormText("F : T {\n  A = \n}"); }), "窗体描述第 3 行语法错误");
    EXPECT_EQ(ErrorOf([] { ParseFormText("F : T {\n\n  A = \"open\n}"); }), "窗体描述第 3 行语法错误");
    EXPECT_EQ(ErrorOf([] { ParseFormText("F : T {\n  D = {ABC}\n}"); }), "窗体描述第 2 行语法错误");
    EXPECT_EQ(ErrorOf([] { ParseFormText("F : T {\n  A = 1\n"); }), "窗体描述第 3 行语法错误");
    EXPECT_EQ(ErrorOf([] { ParseFormText("F : T { }\nG : T { }"); }), "窗体描述第 2 行语法错误");
}

TEST(FormReading, CreatesRegisteredClassesParentsThemAndSetsPropertiesByName) {
    TTestForm form;
    ReadInto(form,
             "Form : TTestForm {\n"
             "  Caption = \"读入\"\n"
             "  Panel1 : TPanel {\n"
             "    Align = alTop\n"
             "    Height = 30\n"
             "    Caption = \"面板\"\n"
             "    BevelOuter = bvLowered\n"
             "    Font.Name = \"宋体\"\n"
             "    Font.Height = -12\n"
             "    Font.Charset = GB2312_CHARSET\n"
             "    Bar : TStatusBar { Panels.0.Width = 70  Panels.1.Text = \"右\" }\n"
             "  }\n"
             "}\n");
    auto* panel = dynamic_cast<TPanel*>(form.FindComponent("Panel1"));
    auto* bar = dynamic_cast<TStatusBar*>(form.FindComponent("Bar"));
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(form.Caption(), "读入");
    EXPECT_EQ(panel->Parent(), &form);
    EXPECT_EQ(bar->Parent(), panel);
    EXPECT_EQ(bar->Owner(), &form);
    EXPECT_EQ(panel->Caption(), "面板");
    EXPECT_EQ(panel->BevelOuter(), TBevelCut::bvLowered);
    EXPECT_EQ(panel->Font.Name(), "宋体");
    EXPECT_EQ(panel->Font.Charset(), GB2312_CHARSET);
    EXPECT_FALSE(panel->ParentFont());
    // The bar inherits the panel's font; docking ran once everything was read.
    EXPECT_EQ(bar->Font.Name(), "宋体");
    EXPECT_EQ(panel->Width(), 400);
    EXPECT_EQ(bar->PanelWidth(0), 70);
    EXPECT_EQ(bar->PanelText(1), "右");
    EXPECT_FALSE(panel->Loading());
}

TEST(FormReading, ReferencesResolveAfterEveryComponentExists) {
    TTestForm form;
    ReadInto(form,
             "Form : TTestForm {\n"
             "  Early : TLinker { Target = Late }\n"
             "  Self : TLinker { Target = Form }\n"
             "  None : TLinker { Target = nil  Data = {FF00} }\n"
             "  Late : TLinker { }\n"
             "}\n");
    auto* early = dynamic_cast<TLinker*>(form.FindComponent("Early"));
    ASSERT_NE(early, nullptr);
    EXPECT_EQ(early->Target, form.FindComponent("Late"));
    EXPECT_EQ(dynamic_cast<TLinker*>(form.FindComponent("Self"))->Target, &form);
    auto* none = dynamic_cast<TLinker*>(form.FindComponent("None"));
    EXPECT_EQ(none->Target, nullptr);
    EXPECT_EQ(none->Data, std::string("\xFF\x00", 2));
}

TEST(FormReading, HandlersAreFoundByNameAndType) {
    TTestForm form;
    int clicks = 0;
    form.AddHandler<TNotifyEvent>("PanelClick", [&](TObject*) { ++clicks; });
    form.AddHandler<TCloseQueryEvent>("AskClose", [](TObject*, bool& can) { can = false; });
    ReadInto(form, "Form : TTestForm { OnCloseQuery = AskClose  P : TPanel { OnClick = PanelClick } }");
    auto* panel = dynamic_cast<TPanel*>(form.FindComponent("P"));
    ASSERT_TRUE(panel->OnClick);
    panel->OnClick(panel);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(form.CloseQuery());
    // A handler of another event type is not taken.
    TTestForm other;
    other.AddHandler<TNotifyEvent>("PanelClick", [](TObject*) {});
    EXPECT_EQ(ErrorOf([&] { ReadInto(other, "Form : TTestForm { OnCloseQuery = PanelClick }"); }),
              "找不到事件处理程序 PanelClick");
}

TEST(FormReading, UnknownNamesAreReportedWithWhatWasNotFound) {
    TTestForm a, b, c, d;
    EXPECT_EQ(ErrorOf([&] { ReadInto(a, "F : TTestForm { X : TNoSuchClass { } }"); }), "类 TNoSuchClass 未找到");
    EXPECT_EQ(ErrorOf([&] { ReadInto(b, "F : TTestForm { P : TPanel { Colour = 3 } }"); }),
              "读取 P 出错: 属性 Colour 不存在");
    EXPECT_EQ(ErrorOf([&] { ReadInto(c, "F : TTestForm { L : TLinker { Target = Nobody } }"); }),
              "找不到组件 Nobody");
    EXPECT_EQ(ErrorOf([&] { ReadInto(d, "F : TTestForm { P : TPanel { OnClick = Missing } }"); }),
              "找不到事件处理程序 Missing");
}

TEST(FormReading, AValueOfTheWrongKindIsRejected) {
    TTestForm a, b;
    EXPECT_NE(ErrorOf([&] { ReadInto(a, "F : TTestForm { P : TPanel { Height = \"tall\" } }"); }), "(no error)");
    EXPECT_NE(ErrorOf([&] { ReadInto(b, "F : TTestForm { P : TPanel { Align = alSideways } }"); }), "(no error)");
}

TEST(FormReading, SetsOfFlagsAreReadByNameAndAnUnknownNameIsRefusedWithItsLine) {
    struct Row {
        std::string properties;  // of the form, from its second line
        std::string error;
        unsigned icons;
        uint8_t style;  // of the panel
    } rows[] = {
        {"BorderIcons = [biHelp, biSystemMenu]\n", "(no error)", biHelp | biSystemMenu, 0},
        {"BorderIcons = []\n", "(no error)", 0, 0},
        {"BorderIcons = [biSystemMenu, biClose]\n", "无效的属性值 (2)", 0, 0},
        {"P : TPanel { Font.Style = [fsUnderline, fsBold] }\n", "(no error)", biSystemMenu | biMinimize | biMaximize,
         fsUnderline | fsBold},
        {"\n\nP : TPanel {\n Font.Style = [fsBold, fsHeavy] }\n", "无效的属性值 (5)", 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.properties);
        TTestForm form;
        EXPECT_EQ(ErrorOf([&] { ReadInto(form, "F : TTestForm {\n" + row.properties + "}"); }), row.error);
        if (row.error != "(no error)") continue;
        EXPECT_EQ(form.BorderIcons(), row.icons);
        if (auto* panel = dynamic_cast<TPanel*>(form.FindComponent("P"))) {
            EXPECT_EQ(panel->Font.Style(), row.style);
        }
    }
}
