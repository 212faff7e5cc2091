// What Explorer's Properties show of the built pairex.exe, read through the system's
// version calls; and the current common controls that its manifest asks for.
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

}  // namespace
