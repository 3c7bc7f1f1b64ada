#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/FormReader.h"
#include "framework/WinControl.h"
#include "graphics/BitmapCanvas.h"

// Windowed tests run as the program does: the application object set up, and
// bitmaps handed back their memory contexts after every message.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Application.Initialize();
    SetAfterMessageHook(ReleaseMemoryContexts);
    RegisterFrameworkClasses();
    return RUN_ALL_TESTS();
}
