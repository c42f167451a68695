// The version block both programs carry, read back through the platform's version functions:
// the fixed part, the translation and the product's strings are the same for both; the strings
// that name the program are each its own.
#pragma once
#include "buzzel_version.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

// One entry of the block's string table; a null value only asks that the key be there.
struct VersionString {
    const wchar_t* key;
    const wchar_t* value;
};

// Strings every Buzzel program carries alike.
static const VersionString PRODUCT_STRINGS[] = {
    {L"FileVersion", L"" BUZZEL_FILE_VERSION_TEXT},
    {L"ProductName", L"Buzzel"},
    {L"ProductVersion", L"" BUZZEL_FILE_VERSION_TEXT},
    {L"CompanyName", L"Buzzel Project"},
};

// Checks the version block of the exe at a Unix path: the project's version (major.minor.patch.0),
// an application for Windows NT, US English in Unicode, the product's strings and the program's own.
inline void expect_version_block(const char* unixPath, std::initializer_list<VersionString> ownStrings)
{
    const std::wstring path = wine_path(unixPath);
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const DWORD versionMS = BUZZEL_VERSION_MAJOR << 16 | BUZZEL_VERSION_MINOR;
    const DWORD versionLS = BUZZEL_VERSION_PATCH << 16;
    EXPECT_EQ(fixed->dwFileVersionMS, versionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, versionLS);
    EXPECT_EQ(fixed->dwProductVersionMS, versionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, versionLS);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, 0x40004u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileSubtype, 0u);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);

    std::vector<VersionString> strings(std::begin(PRODUCT_STRINGS), std::end(PRODUCT_STRINGS));
    strings.insert(strings.end(), ownStrings);
    for (const VersionString& entry : strings) {
        wchar_t* value = nullptr;
        const std::wstring key = std::wstring(L"\\StringFileInfo\\040904b0\\") + entry.key;
        ASSERT_TRUE(VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
            << entry.key;
        if (entry.value != nullptr) {
            EXPECT_STREQ(value, entry.value) << entry.key;
        }
    }
}
