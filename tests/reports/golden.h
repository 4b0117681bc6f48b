#pragma once
// Checked-in expected texts under tests/data/reports/. With
// OSTREVAN_UPDATE_GOLDEN=1 the tests rewrite them instead of comparing (read
// every change before committing it). The including test target defines
// OSTREVAN_TEST_DATA.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

inline void ExpectGolden(const std::string& name, const std::string& text) {
    const std::string path = std::string(OSTREVAN_TEST_DATA) + "/reports/" + name;
    if (std::getenv("OSTREVAN_UPDATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << text;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "missing golden file " << path;
    std::stringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(text, expected.str()) << "differs from " << path;
}
