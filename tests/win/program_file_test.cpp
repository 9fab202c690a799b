// What Windows reads from tamble.exe before it runs any of it, read back
// from the built file as the system reads it: the manifest (DPI awareness,
// common controls 6, no elevation, the known systems) and the version
// record that Explorer shows in the file's properties.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "sys/paths.h"

namespace {

// build\win64\tamble.exe, beside the folder of this test program.
std::string program_file() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    path_replace_file_name(path, sizeof path, "..\\tamble.exe");
    return path;
}

// A setting of the manifest's windowsSettings (2005: dpiAware, 2016:
// dpiAwareness) as the system read it.
std::wstring act_ctx_setting(HANDLE context, const wchar_t* year, const wchar_t* name) {
    const std::wstring space = std::wstring(L"http://schemas.microsoft.com/SMI/") + year +
                               L"/WindowsSettings";
    wchar_t value[64] = {};
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, context, space.c_str(), name, value, 64, &written)) return L"";
    return value;
}

TEST(ProgramFile, ManifestAsksForDpiAwarenessStylesAndNoElevation) {
    const std::string path = program_file();
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module) << path;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_TRUE(found);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                               SizeofResource(module, found));
    FreeLibrary(module);
    for (const char* want : {
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
             "<requestedExecutionLevel level=\"asInvoker\"",
             "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
         })
        EXPECT_NE(manifest.find(want), std::string::npos) << want;
    // The files and texts are Shift_JIS: the system's ANSI code page stays.
    EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos);

    // The system takes the manifest: its settings and the controls it names.
    ACTCTXA request = {};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path.c_str();
    request.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE context = CreateActCtxA(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << GetLastError();
    EXPECT_EQ(act_ctx_setting(context, L"2016", L"dpiAwareness"), L"PerMonitorV2, PerMonitor");
    EXPECT_EQ(act_ctx_setting(context, L"2005", L"dpiAware"), L"true/pm");
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context, &cookie));
    ACTCTX_SECTION_KEYED_DATA data = {};
    data.cbSize = sizeof data;
    EXPECT_TRUE(FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                         "comctl32.dll", &data));
    DeactivateActCtx(0, cookie);
    ReleaseActCtx(context);
}

TEST(ProgramFile, VersionRecordInJapanese) {
    const std::string path = program_file();
    DWORD ignored = 0;
    std::string info(GetFileVersionInfoSizeA(path.c_str(), &ignored), '\0');
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, DWORD(info.size()), info.data()));
    auto query = [&](const char* block, UINT* size) -> const void* {
        void* value = nullptr;
        *size = 0;
        return VerQueryValueA(info.data(), block, &value, size) ? value : nullptr;
    };
    UINT size = 0;
    auto fixed = static_cast<const VS_FIXEDFILEINFO*>(query("\\", &size));
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(13, 4));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(13, 4));
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));
    auto translation = static_cast<const WORD*>(query("\\VarFileInfo\\Translation", &size));
    ASSERT_TRUE(translation && size >= 4);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 932);
    const struct {
        const char* name;
        const char* value;
    } kStrings[] = {
        {"ProductName", "Tamble"},          {"ProductVersion", "4.13"},
        {"FileVersion", "4.13"},            {"OriginalFilename", "tamble.exe"},
        {"FileDescription", "Tamble 画像キャプチャー"},
    };
    for (const auto& s : kStrings) {
        const std::string block = std::string("\\StringFileInfo\\041103A4\\") + s.name;
        auto text = static_cast<const char*>(query(block.c_str(), &size));
        EXPECT_STREQ(text ? text : "", s.value) << s.name;
    }
}

}  // namespace
