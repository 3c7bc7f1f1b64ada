#pragma once
// Builds a component tree from a form description: a text of nested component
// blocks with "Property = value" lines. Classes are created by registered name,
// properties are set by name, and references between components are resolved
// after every component exists.
#include <any>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"

struct TPropertyValue {
    enum class Kind { Integer, String, Identifier, Set, Binary };
    Kind kind = Kind::Integer;
    long long number = 0;
    std::string text;                  // String, Identifier, Binary bytes
    std::vector<std::string> members;  // Set
    int line = 0;

    long long AsInteger() const;
    int AsInt() const { return static_cast<int>(AsInteger()); }
    bool AsBoolean() const;
    const std::string& AsString() const;
    const std::string& AsIdentifier() const;
    const std::vector<std::string>& AsSet() const;
    const std::string& AsBinary() const;
};

// The enumeration value a property names, from a table of (name, value);
// an unknown name is an invalid property value.
[[noreturn]] void InvalidPropertyValue(const TPropertyValue& value);
template <typename E>
E IdentToEnum(const TPropertyValue& value, std::initializer_list<std::pair<const char*, E>> names) {
    const std::string& ident = value.AsIdentifier();
    for (const auto& [name, e] : names)
        if (ident == name) return e;
    InvalidPropertyValue(value);
}

// The parsed shape of one component block.
struct TFormNode {
    std::string name;
    std::string className;
    std::vector<std::pair<std::string, TPropertyValue>> properties;
    std::vector<TFormNode> children;
    int line = 0;
};

// Parses the text; raises EReadError with the line on malformed input.
TFormNode ParseFormText(const std::string& text);

using TComponentFactory = std::function<TComponent*(TComponent* owner)>;

// Process-wide registry of the classes a form description may name.
void RegisterComponentClass(const std::string& className, TComponentFactory factory);
TComponentFactory FindComponentClass(const std::string& className);

// A form that wants its handlers named in the description implements this.
class IEventSource {
public:
    virtual ~IEventSource() = default;
    // The handler of that name (a std::function of the event's type), or an empty any.
    virtual std::any FindHandler(const std::string& name) = 0;
};

class TFormReader {
public:
    // Reads `root`'s own properties from the top block and creates the children,
    // owned by `root`; then resolves references and calls Loaded on every component.
    void ReadRoot(TComponent* root, const TFormNode& node);

    // For SetProperty: a handler of the root, or an EReadError when there is
    // none of that name and type.
    TNotifyEvent Handler(const TPropertyValue& value) { return HandlerOf<TNotifyEvent>(value); }
    template <typename Event>
    Event HandlerOf(const TPropertyValue& value) {
        std::any found = FindHandler(value);
        if (auto* event = std::any_cast<Event>(&found)) return *event;
        UnknownHandler(value);
    }
    // For SetProperty: `assign` runs once every component exists, with the
    // component named by the value (or nullptr for the value "nil").
    void ResolveReference(const TPropertyValue& value, std::function<void(TComponent*)> assign);

private:
    std::any FindHandler(const TPropertyValue& value);
    [[noreturn]] void UnknownHandler(const TPropertyValue& value);
    void ReadComponent(TComponent* component, const TFormNode& node);
    void ReadChildren(TComponent* parent, const TFormNode& node);

    TComponent* root_ = nullptr;
    std::vector<TComponent*> loaded_;
    std::vector<std::pair<TPropertyValue, std::function<void(TComponent*)>>> fixups_;
};

// Reads the RCDATA resource `resourceName` of the running module and builds `root` from it.
void ReadFormResource(TComponent* root, const char* resourceName);
