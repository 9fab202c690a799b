// What Windows reads from the built tamble.exe before it runs any of it: the
// manifest, as the system takes it, and the version record Explorer shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "sys/paths.h"

namespace {

// A windowsSettings value (2005: dpiAware, 2016: dpiAwareness) as the system read it.
std::wstring setting(HANDLE context, const wchar_t* year, const wchar_t* name) {
    const std::wstring space =
        std::wstring(L"http://schemas.microsoft.com/SMI/") + year + L"/WindowsSettings";
    wchar_t value[64] = {};
    SIZE_T size = 0;
    return QueryActCtxSettingsW(0, context, space.c_str(), name, value, 64, &size) ? value : L"";
}

TEST(ProgramFile, ManifestAndVersionRecord) {
    char path[MAX_PATH] = {};  // build\win64\tamble.exe, beside this program's folder
    GetModuleFileNameA(nullptr, path, sizeof path);
    path_replace_file_name(path, sizeof path, "..\\tamble.exe");
    HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found =  // RT_MANIFEST
        module ? FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)) : nullptr;
    ASSERT_TRUE(found) << path;
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                               SizeofResource(module, found));
    FreeLibrary(module);
    for (const char* want :  // the controls, no elevation, Vista to 10/11
         {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "level=\"asInvoker\"",
          "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
          "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
          "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(manifest.find(want), std::string::npos) << want;
    EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos);  // Shift_JIS stays

    ACTCTXA request = {sizeof request, ACTCTX_FLAG_RESOURCE_NAME_VALID, path};
    request.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE context = CreateActCtxA(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << GetLastError();
    EXPECT_EQ(setting(context, L"2016", L"dpiAwareness"), L"PerMonitorV2, PerMonitor");
    EXPECT_EQ(setting(context, L"2005", L"dpiAware"), L"true/pm");
    ULONG_PTR cookie = 0;
    ACTCTX_SECTION_KEYED_DATA controls = {sizeof controls};
    ASSERT_TRUE(ActivateActCtx(context, &cookie));
    EXPECT_TRUE(FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                         "comctl32.dll", &controls));
    DeactivateActCtx(0, cookie);
    ReleaseActCtx(context);

    DWORD ignored = 0;
    std::string info(GetFileVersionInfoSizeA(path, &ignored), '\0');
    ASSERT_TRUE(!info.empty() && GetFileVersionInfoA(path, 0, DWORD(info.size()), info.data()));
    auto query = [&](const std::string& block) -> const void* {
        void* value = nullptr;
        UINT size = 0;
        return VerQueryValueA(info.data(), block.c_str(), &value, &size) && size ? value : nullptr;
    };
    auto fixed = static_cast<const VS_FIXEDFILEINFO*>(query("\\"));
    auto translation = static_cast<const WORD*>(query("\\VarFileInfo\\Translation"));
    ASSERT_TRUE(fixed && translation);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(13, 4));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(13, 4));
    EXPECT_TRUE(translation[0] == 0x0411 && translation[1] == 932);
    for (auto [name, value] : {std::pair{"ProductName", "Tamble"}, {"ProductVersion", "4.13"},
                               {"FileVersion", "4.13"}, {"OriginalFilename", "tamble.exe"},
                               {"FileDescription", "Tamble 画像キャプチャー"}}) {
        auto text =
            static_cast<const char*>(query(std::string("\\StringFileInfo\\041103A4\\") + name));
        EXPECT_STREQ(text ? text : "", value) << name;
    }
}

}  // namespace
