#include <gtest/gtest.h>

#include "app/Registration.h"
#include "framework/Application.h"
#include "framework/WinControl.h"
#include "graphics/BitmapCanvas.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Application.Initialize();
    SetAfterMessageHook(ReleaseMemoryContexts);
    RegisterFormClasses();
    return RUN_ALL_TESTS();
}
