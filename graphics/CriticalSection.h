#pragma once
// A platform critical section, held for a scope by the guard Locked gives.
#include <windows.h>

#include "base/ScopeGuard.h"

class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&section_); }
    ~CriticalSection() { DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void Enter() { EnterCriticalSection(&section_); }
    void Leave() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

[[nodiscard]] inline auto Locked(CriticalSection& section) {
    return BeginEnd(section, &CriticalSection::Enter, &CriticalSection::Leave);
}
