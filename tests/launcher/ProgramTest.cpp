#include <gtest/gtest.h>

#include "TestSupport.h"

TEST(KivProgram, Builds) { EXPECT_TRUE(kivtest::Exists(kivtest::BuiltProgram("Kiv.exe"))); }
