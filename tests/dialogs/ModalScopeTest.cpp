#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "dialogs/CommonDialog.h"
#include "framework/Application.h"
#include "tests/support/GuiTest.h"

// Remembering a disabled window can fail only by running out of memory, so
// this program's allocation can be told to fail once.
namespace {
bool failNextAllocation = false;
}  // namespace

void* operator new(std::size_t size) {
    if (failNextAllocation) {
        failNextAllocation = false;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

TEST(ModalScope, AFailureWhileDisablingTheWindowsReachesTheApplicationAndLeavesThemEnabled) {
    TTestForm form;
    form.Show();
    ASSERT_TRUE(IsWindowEnabled(form.Handle()));
    std::string shown;
    Application.SetExceptionSink([&](const std::string& text) { shown += text; });
    bool escaped = false;
    try {
        failNextAllocation = true;
        TModalScope scope;  // the walk over the windows fails at the form
        EXPECT_FALSE(failNextAllocation) << "no window was remembered, so nothing failed";
    } catch (...) {
        escaped = true;
    }
    failNextAllocation = false;
    Application.SetExceptionSink(nullptr);
    EXPECT_FALSE(escaped);
    EXPECT_NE(shown.find("bad_alloc"), std::string::npos) << shown;
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));
}
