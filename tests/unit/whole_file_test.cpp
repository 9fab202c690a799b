#include "image/whole_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

TEST(WholeFile, ReadsContentFollowedByZeroSlack) {
    std::string path = (std::filesystem::temp_directory_path() / "tamble_whole_file.bin").string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite("abc\0def", 1, 7, f);
    std::fclose(f);
    size_t size = 0;
    MemBlock block = read_entire_file(path.c_str(), &size);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(size, 7u);
    EXPECT_GE(mem_size(block), 7u + kWholeFileSlack);
    {
        MemLock<const char> p(block);
        EXPECT_EQ(std::string(p.get(), 7), std::string("abc\0def", 7));
        for (size_t i = 7; i < 7 + kWholeFileSlack; ++i) ASSERT_EQ(p.get()[i], 0);
    }
    mem_free(block);
    std::remove(path.c_str());
    EXPECT_EQ(read_entire_file(path.c_str(), &size), nullptr);
}

}  // namespace
