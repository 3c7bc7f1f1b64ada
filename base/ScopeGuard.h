#pragma once
// Runs a callable when the scope ends, however it ends, unless dismissed: the
// second half of every Begin/End, Lock/Unlock pair, so that a throw between
// the two halves still undoes the first.
#include <utility>

template <typename Exit>
class [[nodiscard]] ScopeGuard {
public:
    explicit ScopeGuard(Exit exit) : exit_(std::move(exit)) {}
    ~ScopeGuard() {
        if (armed_) exit_();
    }
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

    // The end no longer runs: the scope went as planned and something else ends it.
    void Dismiss() { armed_ = false; }

private:
    Exit exit_;
    bool armed_ = true;
};

// Runs `begin` now and `end` when the returned guard goes; nothing to end
// when `begin` throws.
template <typename Begin, typename End>
[[nodiscard]] ScopeGuard<End> BeginEnd(Begin&& begin, End end) {
    std::forward<Begin>(begin)();
    return ScopeGuard<End>(std::move(end));
}

// The same for a pair of member functions of one object:
// `auto update = BeginEnd(list, &TList::BeginUpdate, &TList::EndUpdate);`
template <typename Object, typename Begin, typename End>
[[nodiscard]] auto BeginEnd(Object& object, Begin begin, End end) {
    return BeginEnd([&object, begin] { (object.*begin)(); }, [&object, end] { (object.*end)(); });
}
