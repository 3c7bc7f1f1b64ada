#pragma once
// The one way from a Windows frame into our code. Window procedures, hooks and
// callbacks run their step through CallbackBarrier, so no exception unwinds
// through the platform's frames: the application object shows it instead and
// the callback answers `onFailure`.
#include <exception>
#include <utility>

// Shows the exception as the application object does; never throws.
void HandleEscapedException(std::exception_ptr error) noexcept;

template <typename Result, typename Step>
Result CallbackBarrier(Result onFailure, Step&& step) noexcept {
    try {
        return std::forward<Step>(step)();
    } catch (...) {
        HandleEscapedException(std::current_exception());
        return onFailure;
    }
}

template <typename Step>
void CallbackBarrier(Step&& step) noexcept {
    try {
        std::forward<Step>(step)();
    } catch (...) {
        HandleEscapedException(std::current_exception());
    }
}
