// The resources built into buzzel_gui.exe, read back through the platform's resource and
// version functions: icon group, header image, version block and manifest.
#include "../test_support.h"
#include "../version_block.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

class LauncherResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        module_ = LoadLibraryExW(wine_path(BUZZEL_GUI_EXE).c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override
    {
        if (module_)
            FreeLibrary(module_);
    }
    HMODULE module_ = nullptr;
};

TEST(LauncherImage, IsAWindowsGuiProgram)
{
    const std::string image = file_bytes(BUZZEL_GUI_EXE);
    ASSERT_GT(image.size(), sizeof(IMAGE_DOS_HEADER));
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    ASSERT_LT(static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS64), image.size());
    const IMAGE_NT_HEADERS64* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(image.data() + dos->e_lfanew);
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

TEST_F(LauncherResources, HeaderImageIsTheFlyPngByteForByte)
{
    const std::string png = file_bytes(FLY_PNG);
    ASSERT_FALSE(png.empty()) << FLY_PNG;
    EXPECT_EQ(resource_bytes(module_, MAKEINTRESOURCEW(10), 102), png);
}

#pragma pack(push, 2)
// One entry of an icon group resource.
struct GroupIconEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

TEST_F(LauncherResources, IconGroupHoldsSixSizesOf32BitImages)
{
    const std::string group = resource_bytes(module_, MAKEINTRESOURCEW(14), 101);
    ASSERT_GE(group.size(), 6u);
    const WORD count = *reinterpret_cast<const WORD*>(group.data() + 4);
    ASSERT_EQ(count, 6);
    ASSERT_EQ(group.size(), 6 + count * sizeof(GroupIconEntry));
    std::vector<int> sides;
    for (int i = 0; i < count; ++i) {
        const GroupIconEntry* entry = reinterpret_cast<const GroupIconEntry*>(group.data() + 6) + i;
        sides.push_back(entry->width == 0 ? 256 : entry->width);
        EXPECT_EQ(entry->bitCount, 32);
        EXPECT_FALSE(resource_bytes(module_, MAKEINTRESOURCEW(3), entry->id).empty());
    }
    EXPECT_EQ(sides, (std::vector<int>{16, 32, 48, 64, 128, 256}));
}

TEST_F(LauncherResources, ManifestAsksForCommonControls6AndAsInvoker)
{
    const std::string manifest = resource_bytes(module_, MAKEINTRESOURCEW(24), 1);
    const char* parts[] = {"name=\"BuzzelGui\"", "version=\"1.0.0.0\"", "<description>Buzzel GUI</description>",
                           "name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
                           "publicKeyToken=\"6595b64144ccf1df\"", "level=\"asInvoker\"",
                           "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                           "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"};
    for (const char* part : parts)
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

TEST(LauncherVersion, VersionBlockNamesTheProgram)
{
    expect_version_block(BUZZEL_GUI_EXE, {{L"FileDescription", L"Buzzel GUI"},
                                          {L"InternalName", L"buzzel_gui"},
                                          {L"OriginalFilename", L"buzzel_gui.exe"},
                                          {L"LegalCopyright", L"Copyright (C) 2026 Buzzel Project"}});
}
