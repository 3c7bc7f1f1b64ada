#include <gtest/gtest.h>

#include "app/Registration.h"
#include "framework/Application.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Application.Initialize();
    RegisterFormClasses();
    return RUN_ALL_TESTS();
}
