// A scratch data folder with its own settings file, for tests of code that
// reads g_app.data_folder and the settings.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "state/app_state.h"
#include "tests/unit/test_files.h"

class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = test_temp_path("data") + "/";
        std::filesystem::create_directories(folder_);
        std::snprintf(g_app.data_folder, sizeof g_app.data_folder, "%s", folder_.c_str());
        std::snprintf(g_app.ini_path, sizeof g_app.ini_path, "%stamble.ini", folder_.c_str());
        g_app.flags = kDefaultFlags;
    }
    void TearDown() override {
        std::filesystem::remove_all(folder_);
        g_app = AppState();
    }
    std::string folder_;
};
