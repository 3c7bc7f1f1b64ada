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

#include "base/Component.h"
#include "base/PropertyValue.h"

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
template <typename T>
void RegisterComponentClass(const std::string& className) {
    RegisterComponentClass(className, [](TComponent* owner) -> TComponent* { return new T(owner); });
}
// The framework's own controls that descriptions may name.
void RegisterFrameworkClasses();

// A form that wants its handlers named in the description implements this.
class IEventSource {
public:
    virtual ~IEventSource() = default;
    // The handler of that name (a std::function of the event's type), or an empty any.
    virtual std::any FindHandler(const std::string& name) = 0;
};

class TFormReader : public TPropertyReader {
public:
    // Reads `root`'s own properties from the top block and creates the children,
    // owned by `root`; then resolves references and calls Loaded on every component.
    void ReadRoot(TComponent* root, const TFormNode& node);

    void ResolveReference(const TPropertyValue& value, std::function<void(TComponent*)> assign) override;

protected:
    std::any FindHandler(const TPropertyValue& value) override;

private:
    void ReadComponent(TComponent* component, const TFormNode& node);
    void ReadChildren(TComponent* parent, const TFormNode& node);

    TComponent* root_ = nullptr;
    std::vector<TComponent*> loaded_;
    std::vector<std::pair<TPropertyValue, std::function<void(TComponent*)>>> fixups_;
};

// Reads the RCDATA resource `resourceName` of the running module and builds `root` from it.
void ReadFormResource(TComponent* root, const char* resourceName);
