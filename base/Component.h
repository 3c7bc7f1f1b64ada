#pragma once
// Components: named objects owned by a component tree, with links that are
// cut when the linked component goes away.
#include <functional>
#include <string>
#include <vector>

class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

class TPersistent : public TObject {};

enum class TOperation { opInsert, opRemove };

class TPropertyReader;
struct TPropertyValue;
class TComponentLinkBase;

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    TComponent* Owner() const { return owner_; }
    const std::vector<TComponent*>& Components() const { return components_; }
    TComponent* FindComponent(const std::string& name) const;

    bool Loading() const { return loading_; }
    // Called by the form reader around reading the component's properties.
    void BeginLoading() { loading_ = true; }
    virtual void Loaded() { loading_ = false; }

    // Sets one stored property by name; returns false when the class has none of
    // that name. Derived classes handle theirs and hand the rest to the base.
    virtual bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader);

    const char* ClassName() const { return className_; }

protected:
    virtual void Notification(TComponent* component, TOperation operation);
    void SetClassName(const char* name) { className_ = name; }
    bool Destroying() const { return destroying_; }
    // Frees owned components now; derived destructors call it while their own
    // members are still alive.
    void DestroyComponents();

private:
    friend class TComponentLinkBase;
    void InsertComponent(TComponent* child);
    void RemoveComponent(TComponent* child);

    std::string name_;
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponentLinkBase*> links_;  // links that point here
    bool loading_ = false;
    bool destroying_ = false;
    const char* className_ = "TComponent";
};
