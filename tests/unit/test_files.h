// Scratch files for tests, in the system's temporary folder (a Windows path
// under Wine).
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

inline std::string test_temp_path(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("tamble_test_" + name)).string();
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
