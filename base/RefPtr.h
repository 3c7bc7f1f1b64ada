#pragma once
// Records shared by a use count. A record counts its holders and the last one
// to let go deletes it; only RefPtr takes and drops uses, so no count is ever
// taken by hand.
#include <atomic>
#include <utility>

template <typename T>
class RefPtr;

class TRefCounted {
public:
    TRefCounted(const TRefCounted&) = delete;
    TRefCounted& operator=(const TRefCounted&) = delete;
    long UseCount() const { return uses_.load(); }

protected:
    TRefCounted() = default;
    virtual ~TRefCounted() = default;

private:
    template <typename>
    friend class RefPtr;
    void AddRef() { uses_.fetch_add(1); }
    void Release() {
        if (uses_.fetch_sub(1) == 1) delete this;
    }

    std::atomic<long> uses_{0};
};

// One use of a counted record; each copy is one more.
template <typename T>
class RefPtr {
public:
    RefPtr() = default;
    // Takes a use of `record`, new or already held elsewhere; none for null.
    explicit RefPtr(T* record) : record_(record) {
        if (record_) record_->AddRef();
    }
    RefPtr(const RefPtr& other) : RefPtr(other.record_) {}
    RefPtr(RefPtr&& other) noexcept : record_(std::exchange(other.record_, nullptr)) {}
    ~RefPtr() {
        if (record_) record_->Release();
    }
    // The old use is dropped only after the new one is taken: assigning a
    // record to itself keeps it.
    RefPtr& operator=(RefPtr other) noexcept {
        std::swap(record_, other.record_);
        return *this;
    }

    T* Get() const { return record_; }
    T* operator->() const { return record_; }
    T& operator*() const { return *record_; }
    explicit operator bool() const { return record_ != nullptr; }
    friend bool operator==(const RefPtr& a, const RefPtr& b) { return a.record_ == b.record_; }
    friend bool operator!=(const RefPtr& a, const RefPtr& b) { return a.record_ != b.record_; }

private:
    T* record_ = nullptr;
};

template <typename T, typename... Args>
RefPtr<T> MakeRef(Args&&... args) {
    return RefPtr<T>(new T(std::forward<Args>(args)...));
}
