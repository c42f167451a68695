// The launcher's own-path lookup: a buffer too small at first grows until the whole path fits.
#include "module_path.h"

#include <gtest/gtest.h>

TEST(ModulePath, GrowsUntilTheWholePathFits)
{
    const std::wstring path = module_path();
    ASSERT_GT(path.size(), 30u);
    const std::wstring name = L"\\launcher_shell_tests_win.exe";
    EXPECT_EQ(path.substr(path.size() - name.size()), name);
    // Starting from buffers far shorter than the path gives the same, uncut path.
    EXPECT_EQ(module_path(1), path);
    EXPECT_EQ(module_path(7), path);
    EXPECT_EQ(module_path(static_cast<DWORD>(path.size())), path);
}
