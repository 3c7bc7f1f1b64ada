#pragma once
#include <functional>
#include <string>

// The message of the E that `work` raises, or "(no error)".
template <typename E>
std::string ErrorText(const std::function<void()>& work) {
    try {
        work();
    } catch (const E& e) {
        return e.Message;
    }
    return "(no error)";
}
