// What Explorer's Properties show of the built pairex.exe, read through the system's
// version calls; the current common controls, the execution level and the supported
// Windows that its manifest asks for.
#include <gtest/gtest.h>

#include "ui/win32/windows_api.h"

#include <commctrl.h>
#include <cwctype>
#include <string>
#include <vector>

namespace {

// The built program, named by its Unix path, as wine sees it.
std::wstring program_path() {
    std::wstring path = L"Z:";
    for (const char* c = PAIREX_EXE; *c != '\0'; ++c) {
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    }
    return path;
}

class VersionResource : public ::testing::Test {
protected:
    void SetUp() override {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(program_path().c_str(), &ignored);
        ASSERT_GT(size, 0u) << "no version resource";
        data.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(program_path().c_str(), 0, size, data.data()));
    }

    std::wstring text(const wchar_t* name) {
        const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(data.data(), key.c_str(), &value, &length) || value == nullptr) {
            return L"<missing>";
        }
        return static_cast<const wchar_t*>(value);
    }

    std::vector<unsigned char> data;
};

TEST_F(VersionResource, NamesTheProductAndItsVersion) {
    EXPECT_EQ(text(L"ProductName"), L"Pairex");
    EXPECT_EQ(text(L"FileDescription"), L"Pairex visual file merger");
    EXPECT_EQ(text(L"FileVersion"), L"1.2732");
    EXPECT_EQ(text(L"ProductVersion"), L"1.2732");
    EXPECT_EQ(text(L"OriginalFilename"), L"pairex.exe");
    EXPECT_EQ(text(L"LegalCopyright"), L"Copyright (C) 2026 the Pairex developers");

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(2732, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(2732, 1));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(VersionResource, LanguageIsUsEnglishInUnicode) {
    struct Translation {
        WORD language;
        WORD code_page;
    }* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, sizeof(Translation));
    EXPECT_EQ(translation->language, 0x409);
    EXPECT_EQ(translation->code_page, 1200);
}

// This test program carries the same manifest as pairex.exe. The system then loads the
// library from the version 6 assembly in its side-by-side store (wine's library says
// 5.81 in DllGetVersion whichever it is, so the path tells).
TEST(CommonControls, TheManifestBringsVersionSix) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    EXPECT_TRUE(InitCommonControlsEx(&controls));
    HMODULE library = GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(library, nullptr);
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(library, path, MAX_PATH), 0u);
    std::wstring lower(path);
    for (wchar_t& c : lower) {
        c = static_cast<wchar_t>(towlower(c));
    }
    EXPECT_NE(lower.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6."),
              std::wstring::npos)
        << "loaded from " << std::string(lower.begin(), lower.end());
}

// The manifest runs the program with the user's own rights, which turns off the
// redirection of its writes into the Windows folder, and names Vista to 10 and 11.
TEST(Manifest, AsksForTheInvokersRightsAndNamesTheSupportedWindows) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    const std::string manifest(bytes, SizeofResource(nullptr, found));
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
    for (const char* id :
         {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
          "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
          "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}) {
        EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"{") + id + "}\"/>"),
                  std::string::npos)
            << id;
    }
}

}  // namespace
