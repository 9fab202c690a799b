// Scratch files for tests, in the system's temporary folder (a Windows path
// under Wine).
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// A scratch path unique to the running test, so that tests can run in
// parallel processes.
inline std::string test_temp_path(const std::string& name) {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string prefix = "tamble_";
    if (info) prefix += std::string(info->test_suite_name()) + "_" + info->name() + "_";
    return (std::filesystem::temp_directory_path() / (prefix + name)).string();
}

inline void test_write_file(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

inline std::string test_read_file(const std::string& path) {
    std::string out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    std::fclose(f);
    return out;
}

inline std::vector<uint8_t> test_read_bytes(const std::string& path) {
    std::string text = test_read_file(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

inline void test_write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    test_write_file(path, std::string(bytes.begin(), bytes.end()));
}
