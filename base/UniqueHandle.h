#pragma once
// A move-only owner of one platform handle, deleted by `Delete` when the owner
// goes; a function that only uses a handle takes the raw value instead.
#include <utility>

template <typename Handle, auto Delete>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : h_(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, Handle{})) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.h_, Handle{}));
        return *this;
    }

    Handle Get() const { return h_; }
    explicit operator bool() const { return h_ != Handle{}; }
    Handle Release() { return std::exchange(h_, Handle{}); }
    void Reset(Handle h = Handle{}) {
        Handle old = std::exchange(h_, h);
        if (old != Handle{} && old != h) Delete(old);
    }

private:
    Handle h_{};
};
