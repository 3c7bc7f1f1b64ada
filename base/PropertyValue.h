#pragma once
// Stored property values and the reader that hands them to components: the
// one way a component learns its stored settings, whatever reads them.
#include <any>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "base/Component.h"

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

// The flags a set property names, joined from a table of (name, flag); an
// unknown name is an invalid property value.
template <typename F>
F SetToFlags(const TPropertyValue& value, std::initializer_list<std::pair<const char*, F>> names) {
    F flags{};
    for (const std::string& member : value.AsSet()) {
        const std::pair<const char*, F>* known = nullptr;
        for (const auto& name : names)
            if (member == name.first) known = &name;
        if (!known) InvalidPropertyValue(value);
        flags = static_cast<F>(flags | known->second);
    }
    return flags;
}

class TPropertyReader {
public:
    virtual ~TPropertyReader() = default;

    // A handler of the root, or an EReadError when there is none of that name and type.
    TNotifyEvent Handler(const TPropertyValue& value) { return HandlerOf<TNotifyEvent>(value); }
    template <typename Event>
    Event HandlerOf(const TPropertyValue& value) {
        std::any found = FindHandler(value);
        if (auto* event = std::any_cast<Event>(&found)) return *event;
        UnknownHandler(value);
    }
    // `assign` runs once every component exists, with the component named by
    // the value (or nullptr for the value "nil").
    virtual void ResolveReference(const TPropertyValue& value, std::function<void(TComponent*)> assign) = 0;

protected:
    // The handler of that name (a std::function of the event's type), or an empty any.
    virtual std::any FindHandler(const TPropertyValue& value) = 0;

private:
    [[noreturn]] void UnknownHandler(const TPropertyValue& value);
};
