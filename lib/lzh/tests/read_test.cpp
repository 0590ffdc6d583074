#include "lzh/archive.h"
#include "lzh/crc16.h"
#include <gtest/gtest.h>
#include <string>

TEST(Crc16, CheckValue) {
    const char* text = "123456789";
    EXPECT_EQ(lzh::Crc16(reinterpret_cast<const uint8_t*>(text), 9), 0xBB3D);
}
