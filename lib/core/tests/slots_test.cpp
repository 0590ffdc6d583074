#include "core/slots.h"
#include <gtest/gtest.h>
TEST(Slots, Index) { EXPECT_EQ(tovn::Index(2, 1, 9), 9); }
