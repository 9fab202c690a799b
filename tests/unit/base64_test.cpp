#include "image/base64.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string encode(const std::string& bytes) {
    char* text = base64_encode(bytes.data(), int32_t(bytes.size()));
    EXPECT_TRUE(text);
    std::string out = text ? text : "";
    std::free(text);
    return out;
}

// The decoded bytes; also checks the NUL after them.
std::string decode(const std::string& text) {
    int32_t count = -1;
    uint8_t* bytes = base64_decode(text.data(), int32_t(text.size()), &count);
    EXPECT_TRUE(bytes);
    if (!bytes) return "<null>";
    EXPECT_GE(count, 0);
    EXPECT_LE(size_t(count), text.size());
    EXPECT_EQ(bytes[count], 0) << "terminator";
    std::string out(reinterpret_cast<char*>(bytes), size_t(count));
    std::free(bytes);
    return out;
}

TEST(Base64Encode, KnownTexts) {
    const char* cases[][2] = {{"", ""},         {"a", "YQ=="},         {"ab", "YWI="},
                              {"abc", "YWJj"},  {"abcd", "YWJjZA=="},   {"fooba", "Zm9vYmE="},
                              {"foobar", "Zm9vYmFy"}, {"\xff\xfe\xfd", "//79"},
                              {"Many hands make light work.", "TWFueSBoYW5kcyBtYWtlIGxpZ2h0IHdvcmsu"}};
    for (const auto& c : cases) EXPECT_EQ(encode(c[0]), c[1]) << c[0];
    EXPECT_EQ(encode(std::string("\0\0\0\0", 4)), "AAAAAA==");
    EXPECT_EQ(base64_encode("abc", -1), nullptr);
}

TEST(Base64Decode, LenientRules) {
    const std::string cases[][2] = {
        {"YWJj", "abc"},
        {"YWI=", "ab"},
        {"YQ==", "a"},
        {"YW\r\nJj", "abc"},
        {" Y W J j ", "abc"},
        {"\"YWJj\"", "abc"},
        {"YWJjZA", "abc"},               // incomplete final group dropped
        {"YWJjZA==", "abcd"},
        {"YQ==\r\n", "a"},               // pads before a line end still count
        {"YQ=\r\n=", "a"},
        {"YQ==\xe3\x81\x82", "a"},        // so do bytes from 0x80 up
        {"YQ=", ""},                     // pads of an incomplete group are not counted
        {"Y=Jj", std::string("`\x02\x63", 3)},  // '=' inside is six zero bits
        {"A=AA", std::string(3, '\0')},
        {std::string("YW\0Jj", 5), "abc"},  // a NUL byte is skipped too
        {"YWJj====", "ab"},              // every trailing pad counts, even a whole group
        {"========", ""},                // more pads than bytes: nothing, not a negative count
        {"=", ""},
        {"TWFueSBoYW5kcyBtYWtlIGxpZ2h0IHdvcmsu", "Many hands make light work."},
    };
    for (const auto& c : cases) EXPECT_EQ(decode(c[0]), c[1]) << "input \"" << c[0] << '"';
}

TEST(Base64Decode, EmptyOrNegativeLength) {
    for (int32_t length : {0, -1}) {
        int32_t count = 7;
        EXPECT_EQ(base64_decode("YWJj", length, &count), nullptr);
        EXPECT_EQ(count, 0);
    }
}

TEST(Base64Decode, ReadsOnlyTheSlice) {
    const char text[] = "YWJjZGVm";
    int32_t count = 0;
    uint8_t* bytes = base64_decode(text, 4, &count);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes)), "abc");
    std::free(bytes);
}

TEST(Base64, RoundTripEveryLengthAndByte) {
    std::string data;
    uint32_t seed = 1;
    EXPECT_EQ(encode(data), "");
    for (int n = 0; n < 300; ++n) {
        seed = seed * 1664525u + 1013904223u;
        data.push_back(char(n < 256 ? n : int(seed >> 24)));
        ASSERT_EQ(encode(data).size(), size_t(4 * ((n + 3) / 3)));
        ASSERT_EQ(decode(encode(data)), data) << n;
    }
}

TEST(Base64, MegabytesStayOnOneLine) {
    std::string data(3 * 1024 * 1024 + 1, '\0');
    uint32_t seed = 99;
    for (char& c : data) {
        seed = seed * 1664525u + 1013904223u;
        c = char(seed >> 24);
    }
    std::string text = encode(data);
    EXPECT_EQ(text.size(), 4 * ((data.size() + 2) / 3));
    EXPECT_EQ(text.find_first_not_of(std::string(kBase64Alphabet, 65)), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 2), "==");
    EXPECT_TRUE(decode(text) == data);
    // The same text broken into lines, as an editor might leave it.
    std::string wrapped;
    for (size_t i = 0; i < text.size(); i += 76) wrapped += text.substr(i, 76) + "\r\n";
    EXPECT_TRUE(decode(wrapped) == data);
}

#ifndef _WIN32
// Against the system's own base64 tool.
TEST(Base64, AgreesWithCoreutils) {
    std::string data;
    for (int i = 0; i < 1000; ++i) data.push_back(char((i * 37) ^ (i >> 3)));
    for (size_t n : {size_t(998), size_t(999), size_t(1000)}) {
        std::string in = (std::filesystem::temp_directory_path() / "tamble_b64_in").string();
        std::string out = (std::filesystem::temp_directory_path() / "tamble_b64_out").string();
        std::FILE* f = std::fopen(in.c_str(), "wb");
        ASSERT_TRUE(f);
        std::fwrite(data.data(), 1, n, f);
        std::fclose(f);
        ASSERT_EQ(std::system(("base64 -w0 '" + in + "' > '" + out + "'").c_str()), 0);
        f = std::fopen(out.c_str(), "rb");
        ASSERT_TRUE(f);
        char buf[2000];
        size_t got = std::fread(buf, 1, sizeof buf, f);
        std::fclose(f);
        EXPECT_EQ(encode(data.substr(0, n)), std::string(buf, got)) << n;
    }
}
#endif

}  // namespace
