#include "framework/FormReader.h"

#include <windows.h>

#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "framework/WinControl.h"
#include "resources/StringIds.h"

namespace {

[[noreturn]] void SyntaxError(int line) {
    throw EReadError(Format(LoadStr(SFormSyntaxError), {IntToStr(line)}));
}

bool IsIdentStart(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(unsigned char c) { return IsIdentStart(c) || (c >= '0' && c <= '9') || c == '.'; }
bool IsGbkLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

int HexDigit(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A small recursive-descent reader over the description text. Strings are
// walked by GBK characters, so a trail byte is never taken for a quote or escape.
class Parser {
public:
    explicit Parser(const std::string& text) : s_(text) {}

    TFormNode ParseDocument() {
        SkipBlanks();
        TFormNode root = ParseComponent();
        SkipBlanks();
        if (pos_ != s_.size()) SyntaxError(line_);
        return root;
    }

private:
    void SkipBlanks() {
        while (pos_ < s_.size()) {
            char c = s_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++pos_;
            } else if (c == '#') {
                while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
            } else {
                break;
            }
        }
    }

    bool Peek(char c) {
        SkipBlanks();
        return pos_ < s_.size() && s_[pos_] == c;
    }

    void Expect(char c) {
        if (!Peek(c)) SyntaxError(line_);
        ++pos_;
    }

    std::string Identifier() {
        SkipBlanks();
        if (pos_ >= s_.size() || !IsIdentStart(s_[pos_])) SyntaxError(line_);
        size_t start = pos_;
        while (pos_ < s_.size() && IsIdentChar(s_[pos_])) ++pos_;
        return s_.substr(start, pos_ - start);
    }

    TFormNode ParseComponent() {
        TFormNode node;
        node.line = line_;
        node.name = Identifier();
        Expect(':');
        node.className = Identifier();
        Expect('{');
        while (!Peek('}')) {
            if (pos_ >= s_.size()) SyntaxError(line_);
            size_t mark = pos_;
            int markLine = line_;
            std::string name = Identifier();
            if (Peek(':')) {
                pos_ = mark;
                line_ = markLine;
                node.children.push_back(ParseComponent());
            } else {
                Expect('=');
                node.properties.emplace_back(name, ParseValue());
            }
        }
        Expect('}');
        return node;
    }

    TPropertyValue ParseValue() {
        SkipBlanks();
        TPropertyValue v;
        v.line = line_;
        if (pos_ >= s_.size()) SyntaxError(line_);
        unsigned char c = s_[pos_];
        if (c == '"') {
            v.kind = TPropertyValue::Kind::String;
            v.text = QuotedString();
            // Adjacent strings join, so long texts can span lines.
            while (Peek('"')) v.text += QuotedString();
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            v.kind = TPropertyValue::Kind::Integer;
            v.number = Number();
        } else if (c == '[') {
            v.kind = TPropertyValue::Kind::Set;
            ++pos_;
            while (!Peek(']')) {
                if (!v.members.empty()) Expect(',');
                v.members.push_back(Identifier());
            }
            ++pos_;
        } else if (c == '{') {
            v.kind = TPropertyValue::Kind::Binary;
            ++pos_;
            int high = -1;
            for (;;) {
                SkipBlanks();
                if (pos_ >= s_.size()) SyntaxError(line_);
                if (s_[pos_] == '}') break;
                int digit = HexDigit(s_[pos_]);
                if (digit < 0) SyntaxError(line_);
                ++pos_;
                if (high < 0) {
                    high = digit;
                } else {
                    v.text += static_cast<char>(high * 16 + digit);
                    high = -1;
                }
            }
            if (high >= 0) SyntaxError(line_);
            ++pos_;
        } else if (IsIdentStart(c)) {
            v.kind = TPropertyValue::Kind::Identifier;
            v.text = Identifier();
        } else {
            SyntaxError(line_);
        }
        return v;
    }

    long long Number() {
        bool negative = false;
        if (s_[pos_] == '-') {
            negative = true;
            ++pos_;
        }
        if (pos_ >= s_.size() || s_[pos_] < '0' || s_[pos_] > '9') SyntaxError(line_);
        long long n = 0;
        int base = 10;
        if (s_.compare(pos_, 2, "0x") == 0) {
            base = 16;
            pos_ += 2;
        }
        bool any = false;
        while (pos_ < s_.size()) {
            int d = HexDigit(s_[pos_]);
            if (d < 0 || d >= base) break;
            n = n * base + d;
            any = true;
            ++pos_;
        }
        if (!any) SyntaxError(line_);
        return negative ? -n : n;
    }

    std::string QuotedString() {
        ++pos_;  // opening quote
        std::string out;
        for (;;) {
            if (pos_ >= s_.size() || s_[pos_] == '\n') SyntaxError(line_);
            unsigned char c = s_[pos_];
            if (IsGbkLead(c) && pos_ + 1 < s_.size()) {
                out += s_.substr(pos_, 2);
                pos_ += 2;
            } else if (c == '"') {
                ++pos_;
                return out;
            } else if (c == '\\') {
                if (pos_ + 1 >= s_.size()) SyntaxError(line_);
                char e = s_[pos_ + 1];
                if (e == '"' || e == '\\') {
                    out += e;
                    pos_ += 2;
                } else if (e == 'x' && pos_ + 3 < s_.size() && HexDigit(s_[pos_ + 2]) >= 0 &&
                           HexDigit(s_[pos_ + 3]) >= 0) {
                    out += static_cast<char>(HexDigit(s_[pos_ + 2]) * 16 + HexDigit(s_[pos_ + 3]));
                    pos_ += 4;
                } else {
                    SyntaxError(line_);
                }
            } else {
                out += static_cast<char>(c);
                ++pos_;
            }
        }
    }

    const std::string& s_;
    size_t pos_ = 0;
    int line_ = 1;
};

std::map<std::string, TComponentFactory>& Registry() {
    static std::map<std::string, TComponentFactory> registry;
    return registry;
}

}  // namespace

TFormNode ParseFormText(const std::string& text) { return Parser(text).ParseDocument(); }

void RegisterComponentClass(const std::string& className, TComponentFactory factory) {
    Registry()[className] = std::move(factory);
}

TComponentFactory FindComponentClass(const std::string& className) {
    auto it = Registry().find(className);
    return it == Registry().end() ? TComponentFactory() : it->second;
}

std::any TFormReader::FindHandler(const TPropertyValue& value) {
    auto* source = dynamic_cast<IEventSource*>(root_);
    if (!source) return {};
    return source->FindHandler(value.AsIdentifier());
}

void TFormReader::ResolveReference(const TPropertyValue& value, std::function<void(TComponent*)> assign) {
    value.AsIdentifier();
    fixups_.emplace_back(value, std::move(assign));
}

void TFormReader::ReadComponent(TComponent* component, const TFormNode& node) {
    for (const auto& [name, value] : node.properties) {
        if (!component->SetProperty(name, value, *this))
            throw EReadError(Format(LoadStr(SPropertyNotFound), {node.name, name}));
    }
}

void TFormReader::ReadChildren(TComponent* parent, const TFormNode& node) {
    for (const TFormNode& childNode : node.children) {
        TComponentFactory factory = FindComponentClass(childNode.className);
        if (!factory) throw EReadError(Format(LoadStr(SClassNotFound), {childNode.className}));
        TComponent* child = factory(root_);
        child->SetName(childNode.name);
        child->BeginLoading();
        loaded_.push_back(child);
        auto* control = dynamic_cast<TControl*>(child);
        auto* parentWindow = dynamic_cast<TWinControl*>(parent);
        if (control && parentWindow) control->SetParent(parentWindow);
        ReadComponent(child, childNode);
        ReadChildren(child, childNode);
    }
}

void TFormReader::ReadRoot(TComponent* root, const TFormNode& node) {
    root_ = root;
    loaded_.clear();
    fixups_.clear();
    root->SetName(node.name);
    root->BeginLoading();
    loaded_.push_back(root);
    ReadComponent(root, node);
    ReadChildren(root, node);
    for (auto& [value, assign] : fixups_) {
        const std::string& target = value.text;
        if (target == "nil") {
            assign(nullptr);
            continue;
        }
        TComponent* found = target == root->Name() ? root : root->FindComponent(target);
        if (!found) throw EReadError(Format(LoadStr(SUnknownReference), {target}));
        assign(found);
    }
    fixups_.clear();
    for (TComponent* c : loaded_) c->Loaded();
    // Lay out only now that every size is known, parents before children.
    for (TComponent* c : loaded_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->AlignControls();
}

void ReadFormResource(TComponent* root, const char* resourceName) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, resourceName, reinterpret_cast<LPCSTR>(RT_RCDATA));
    HGLOBAL data = info ? LoadResource(module, info) : nullptr;
    const char* bytes = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    if (!bytes) throw EReadError(Format(LoadStr(SResourceNotFound), {resourceName}));
    std::string text(bytes, SizeofResource(module, info));
    TFormReader reader;
    reader.ReadRoot(root, ParseFormText(text));
}
