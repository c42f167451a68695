// Black-box tests of the real buzzel_gui.exe under Wine: its window and fourteen controls, the
// value labels and the header on screen, and what "Let's Fly", "Quit" and the close box start. Each
// test copies the launcher with a buzzel.exe beside it (a stand-in that records how it was
// started, the real overlay, or none) into a fresh folder, runs it there inside a job object
// (so nothing it starts outlives the test) and drives it by window messages. What only the
// process itself can read (the font its children were sent, its icons and class background)
// comes from a hook library, launcher_probe.dll, put on the launcher's thread.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "../test_support.h"
#include "gui_ids.h"
#include "header_layout.h"
#include "launcher_probe.h"

#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

// Bound for every wait on the launcher; reaching it fails the test, it is never a measurement.
static const DWORD WAIT_LIMIT_MS = 30000;

static std::wstring window_text(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

static std::wstring class_name(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

// What the launcher's children look like from outside, in creation (z) order.
struct ExpectedControl {
    const wchar_t* className;
    const wchar_t* text;
    LONG style;
    int x, y, width, height;
    int id;
};

static const ExpectedControl EXPECTED_CONTROLS[] = {
    {L"Static", L"Number of flies:", 0x50000002, 10, 90, 160, 20, 0},
    {L"Static", L"1", 0x50000000, 390, 108, 40, 20, 0},
    {L"msctls_trackbar32", L"", 0x54000021, 190, 90, 440, 24, IDC_COUNT},
    {L"Static", L"Timeout (seconds):", 0x50000002, 10, 142, 160, 20, 0},
    {L"Static", L"15", 0x50000000, 380, 160, 80, 20, 0},
    {L"msctls_trackbar32", L"", 0x54000021, 190, 142, 440, 24, IDC_TIMEOUT},
    {L"Static", L"Fly size:", 0x50000002, 10, 194, 160, 20, 0},
    {L"Static", L"2.0", 0x50000000, 400, 212, 40, 20, 0},
    {L"msctls_trackbar32", L"", 0x54000021, 190, 194, 440, 24, IDC_SIZE},
    {L"Static", L"Size variation (%):", 0x50000002, 10, 246, 160, 20, 0},
    {L"Static", L"0", 0x50000000, 390, 264, 40, 20, 0},
    {L"msctls_trackbar32", L"", 0x54000021, 190, 246, 440, 24, IDC_VARIATION},
    {L"Button", L"Let's Fly", 0x50000001, 190, 304, 140, 34, IDC_LAUNCH},
    {L"Button", L"Quit", 0x50000000, 350, 304, 120, 34, IDC_QUIT},
};

// Positions of the four sliders, in the order count, timeout, size, variation.
struct SliderPositions {
    int count, timeout, size, variation;
};

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.made);
        ASSERT_TRUE(CreateDirectoryW(work_.c_str(), nullptr));
    }

    void TearDown() override
    {
        if (probeHook_)
            UnhookWindowsHookEx(probeHook_);
        if (probeBlock_)
            CloseHandle(probeBlock_);
        if (job_) {
            for (DWORD id : our_processes()) {
                if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
                    TerminateProcess(process, 1);
                    WaitForSingleObject(process, WAIT_LIMIT_MS);
                    CloseHandle(process);
                }
            }
            CloseHandle(job_);
        }
        child_close(process_);
    }

    // Makes root\name (each backslash-separated part in turn) and puts the launcher there, with
    // overlay (by default the recording stand-in) copied beside it as buzzel.exe, or none.
    std::wstring install(const std::wstring& name, const char* overlay = LAUNCH_RECORDER_EXE)
    {
        std::wstring folder = root_;
        size_t start = 0;
        for (;;) {
            const size_t end = name.find(L'\\', start);
            folder += L"\\" + name.substr(start, end - start);
            CreateDirectoryW(folder.c_str(), nullptr);
            if (end == std::wstring::npos)
                break;
            start = end + 1;
        }
        EXPECT_TRUE(CopyFileW(wine_path(BUZZEL_GUI_EXE).c_str(), (folder + L"\\buzzel_gui.exe").c_str(), FALSE));
        if (overlay) {
            EXPECT_TRUE(CopyFileW(wine_path(overlay).c_str(), (folder + L"\\buzzel.exe").c_str(), FALSE));
        }
        return folder;
    }

    // Starts folder\buzzel_gui.exe with the work folder as its current directory and waits for
    // its window. With probe, the probe's hook is on the launcher's thread before it runs.
    void start(const std::wstring& folder, bool probe = false)
    {
        job_ = CreateJobObjectW(nullptr, nullptr);
        ASSERT_NE(job_, nullptr);
        process_ = child_start(folder + L"\\buzzel_gui.exe", L"", work_, job_, true);
        ASSERT_TRUE(process_.started) << "not started, or not in the job";
        if (probe)
            install_probe();
        ResumeThread(process_.info.hThread);
        window_ = wait_for_window(LAUNCHER_WINDOW_CLASS);
        ASSERT_NE(window_, nullptr) << "no launcher window";
        // The window exists from inside CreateWindowExA on; it is shown only once it is complete,
        // and a sent message is answered only from the message loop.
        ASSERT_TRUE(wait_until([this] { return IsWindowVisible(window_) != FALSE; }, WAIT_LIMIT_MS));
        ASSERT_NE(SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, WAIT_LIMIT_MS, nullptr), 0);
    }

    // Makes the shared block for the probe's report and hooks the probe onto the launcher's thread.
    void install_probe()
    {
        probeBlock_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LauncherProbeReport),
                                         launcher_probe_block(process_.info.dwProcessId).c_str());
        ASSERT_NE(probeBlock_, nullptr);
        HMODULE library = LoadLibraryW(wine_path(LAUNCHER_PROBE_DLL).c_str());
        ASSERT_NE(library, nullptr);
        const auto hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(library, "launcher_probe_hook")));
        ASSERT_NE(hook, nullptr);
        probeHook_ = SetWindowsHookExW(WH_CALLWNDPROC, hook, library, process_.info.dwThreadId);
        ASSERT_NE(probeHook_, nullptr);
    }

    // What the probe saw in the launcher's process, as it is now.
    LauncherProbeReport probe_report()
    {
        LauncherProbeReport report{};
        SendMessageW(window_, RegisterWindowMessageW(LAUNCHER_PROBE_MESSAGE), 0, 0);
        if (const void* view = MapViewOfFile(probeBlock_, FILE_MAP_READ, 0, 0, sizeof report)) {
            CopyMemory(&report, view, sizeof report);
            UnmapViewOfFile(view);
        }
        return report;
    }

    // The launcher's top-level window of that class, once it exists; null after WAIT_LIMIT_MS.
    HWND wait_for_window(const wchar_t* className)
    {
        return wait_for_process_window(process_.info.dwProcessId, className, WAIT_LIMIT_MS);
    }

    // The launcher's exit code once it has ended; STILL_ACTIVE if it does not end.
    DWORD wait_exit()
    {
        DWORD code = STILL_ACTIVE;
        return child_wait(process_, WAIT_LIMIT_MS, &code) ? code : STILL_ACTIVE;
    }

    // Processes of the job that run one of our programs. Wine may start helper processes of its
    // own inside the job (its desktop process, say): those are neither counted nor ended here.
    std::vector<DWORD> our_processes()
    {
        struct {
            JOBOBJECT_BASIC_PROCESS_ID_LIST list;
            ULONG_PTR more[63];
        } ids{};
        ids.list.NumberOfAssignedProcesses = 64;
        std::vector<DWORD> ours;
        if (!job_ || !QueryInformationJobObject(job_, JobObjectBasicProcessIdList, &ids, sizeof ids, nullptr))
            return ours;
        for (DWORD i = 0; i < ids.list.NumberOfProcessIdsInList; ++i) {
            const DWORD id = static_cast<DWORD>(ids.list.ProcessIdList[i]);
            HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
            if (!process)
                continue;
            wchar_t image[1024] = {};
            DWORD length = 1024;
            const bool named = QueryFullProcessImageNameW(process, 0, image, &length);
            CloseHandle(process);
            const wchar_t* slash = wcsrchr(image, L'\\');
            const wchar_t* name = slash ? slash + 1 : image;
            if (named && (lstrcmpiW(name, L"buzzel.exe") == 0 || lstrcmpiW(name, L"buzzel_gui.exe") == 0))
                ours.push_back(id);
        }
        return ours;
    }

    // True once the launcher and every overlay it started have ended.
    bool wait_all_ended()
    {
        return wait_until([this] { return our_processes().empty(); }, WAIT_LIMIT_MS);
    }

    // The overlay's start log in the work folder, once it holds a line that contains text.
    std::string wait_log_line(const char* text)
    {
        std::string log;
        const bool found = wait_until(
            [&] {
                log = read_file(work_ + L"\\buzzel_start.log");
                const size_t at = log.find(text);
                return at != std::string::npos && log.find("\r\n", at) != std::string::npos;
            },
            WAIT_LIMIT_MS);
        return found ? log : std::string();
    }

    // The stand-in's records: its own path and its command line for each start; empty if it never ran.
    std::vector<std::wstring> wait_record()
    {
        std::vector<std::wstring> lines;
        const bool found = wait_until(
            [&] {
                const std::string bytes = read_file(work_ + L"\\launched.txt");
                std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
                CopyMemory(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
                lines.clear();
                for (size_t start = 0, end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
                    lines.push_back(text.substr(start, end - start));
                return lines.size() >= 2;
            },
            WAIT_LIMIT_MS);
        return found ? lines : std::vector<std::wstring>();
    }

    HWND slider(int id) { return GetDlgItem(window_, id); }

    // Moves a slider the way the control reports a drag: new position, then WM_HSCROLL to the parent.
    void move_slider(int id, int position)
    {
        SendMessageW(slider(id), TBM_SETPOS, TRUE, position);
        SendMessageW(window_, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                     reinterpret_cast<LPARAM>(slider(id)));
    }

    void set_sliders(const SliderPositions& positions)
    {
        move_slider(IDC_COUNT, positions.count);
        move_slider(IDC_TIMEOUT, positions.timeout);
        move_slider(IDC_SIZE, positions.size);
        move_slider(IDC_VARIATION, positions.variation);
    }

    // The text of the value label at creation index 1, 4, 7 or 10.
    std::wstring label(int index) { return window_text(child_at(index)); }

    // The child at creation index 0 to 13.
    HWND child_at(int index)
    {
        HWND child = GetWindow(window_, GW_CHILD);
        for (int i = 0; i < index && child; ++i)
            child = GetWindow(child, GW_HWNDNEXT);
        return child;
    }

    // Clicks a button as the user would; posted, so a message box it opens does not block us.
    void click(int id) { PostMessageW(GetDlgItem(window_, id), BM_CLICK, 0, 0); }

    // Clicks "Let's Fly" and checks that the stand-in in folder was started with the arguments
    // and that the launcher then ended with 0.
    void expect_launch(const std::wstring& folder, const std::wstring& arguments)
    {
        click(IDC_LAUNCH);
        const std::vector<std::wstring> record = wait_record();
        ASSERT_EQ(record.size(), 2u) << "the stand-in did not run";
        const std::wstring overlay = folder + L"\\buzzel.exe";
        EXPECT_EQ(lstrcmpiW(record[0].c_str(), overlay.c_str()), 0) << "started from " << record[0];
        EXPECT_EQ(record[1], L"\"" + overlay + L"\"  " + arguments);

        // The overlay splits the line into its path and the option words.
        int argc = 0;
        LPWSTR* argv = CommandLineToArgvW(record[1].c_str(), &argc);
        ASSERT_NE(argv, nullptr);
        ASSERT_GE(argc, 1);
        EXPECT_EQ(argv[0], overlay);
        std::wstring rest;
        for (int i = 1; i < argc; ++i)
            rest += (i > 1 ? L" " : L"") + std::wstring(argv[i]);
        EXPECT_EQ(rest, arguments);
        LocalFree(argv);

        EXPECT_EQ(wait_exit(), 0u);
        // Exactly one start: the stand-in appends a record each time it runs.
        ASSERT_TRUE(wait_all_ended());
        EXPECT_EQ(wait_record().size(), 2u) << "the overlay was started more than once";
    }

    TempFolder folder_{"buzzel_launcher"};
    const std::wstring root_ = folder_.path.wstring();
    const std::wstring work_ = root_ + L"\\work";
    HANDLE probeBlock_ = nullptr;
    HHOOK probeHook_ = nullptr;
    HANDLE job_ = nullptr;
    Child process_;
    HWND window_ = nullptr;
};

TEST_F(LauncherTest, WindowHasAFixedFrameTheTitleAndItsSize)
{
    start(install(L"app"));
    EXPECT_EQ(window_text(window_), L"Buzzel Launcher");
    const LONG style = GetWindowLongW(window_, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(style & WS_SYSMENU, WS_SYSMENU);
    // No resizing border, no minimise or maximise box.
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD | WS_POPUP), 0);
    EXPECT_TRUE(IsWindowVisible(window_));
    RECT outer;
    GetWindowRect(window_, &outer);
    EXPECT_EQ(outer.right - outer.left, 680);
    EXPECT_EQ(outer.bottom - outer.top, 420);
}

TEST_F(LauncherTest, FourteenControlsInCreationOrder)
{
    start(install(L"app"));
    std::vector<HWND> children;
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    ASSERT_EQ(children.size(), 14u);
    for (size_t i = 0; i < children.size(); ++i) {
        const ExpectedControl& expected = EXPECTED_CONTROLS[i];
        HWND child = children[i];
        SCOPED_TRACE(testing::Message() << "control " << i + 1);
        EXPECT_EQ(lstrcmpiW(class_name(child).c_str(), expected.className), 0) << class_name(child);
        EXPECT_EQ(window_text(child), expected.text);
        EXPECT_EQ(GetWindowLongW(child, GWL_STYLE), expected.style);
        EXPECT_EQ(GetWindowLongW(child, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY, 0);
        EXPECT_EQ(GetDlgCtrlID(child), expected.id);
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, expected.x);
        EXPECT_EQ(rect.top, expected.y);
        EXPECT_EQ(rect.right - rect.left, expected.width);
        EXPECT_EQ(rect.bottom - rect.top, expected.height);
    }

    struct Range {
        int id, minimum, maximum, position;
    };
    const Range ranges[] = {{IDC_COUNT, 1, 50, 1}, {IDC_TIMEOUT, 0, 600, 15}, {IDC_SIZE, 5, 30, 20}, {IDC_VARIATION, 0, 100, 0}};
    for (const Range& range : ranges) {
        EXPECT_EQ(SendMessageW(slider(range.id), TBM_GETRANGEMIN, 0, 0), range.minimum) << range.id;
        EXPECT_EQ(SendMessageW(slider(range.id), TBM_GETRANGEMAX, 0, 0), range.maximum) << range.id;
        EXPECT_EQ(SendMessageW(slider(range.id), TBM_GETPOS, 0, 0), range.position) << range.id;
    }
}

TEST_F(LauncherTest, ValueLabelsFollowTheSliders)
{
    start(install(L"app"));
    // Keys move a slider by themselves: the label follows the slider's own notifications.
    SendMessageW(slider(IDC_TIMEOUT), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(SendMessageW(slider(IDC_TIMEOUT), TBM_GETPOS, 0, 0), 16);
    EXPECT_EQ(label(4), L"16");
    SendMessageW(slider(IDC_SIZE), WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(label(7), L"3.0");
    SendMessageW(slider(IDC_SIZE), WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(label(7), L"0.5");

    move_slider(IDC_TIMEOUT, 0);
    EXPECT_EQ(label(4), L"No timeout");
    move_slider(IDC_TIMEOUT, 1);
    EXPECT_EQ(label(4), L"1");
    move_slider(IDC_TIMEOUT, 600);
    EXPECT_EQ(label(4), L"600");

    const std::pair<int, const wchar_t*> sizes[] = {{5, L"0.5"}, {7, L"0.7"}, {30, L"3.0"}, {20, L"2.0"}};
    for (const auto& size : sizes) {
        move_slider(IDC_SIZE, size.first);
        EXPECT_EQ(label(7), size.second);
    }
    move_slider(IDC_COUNT, 50);
    EXPECT_EQ(label(1), L"50");
    move_slider(IDC_VARIATION, 100);
    EXPECT_EQ(label(10), L"100");

    // The sliders keep to their ranges: count never below 1, size never below 5.
    move_slider(IDC_COUNT, 0);
    EXPECT_EQ(SendMessageW(slider(IDC_COUNT), TBM_GETPOS, 0, 0), 1);
    EXPECT_EQ(label(1), L"1");
    move_slider(IDC_SIZE, 2);
    EXPECT_EQ(SendMessageW(slider(IDC_SIZE), TBM_GETPOS, 0, 0), 5);
    EXPECT_EQ(label(7), L"0.5");

    // A scroll message from anything but a slider changes no label.
    SendMessageW(window_, WM_HSCROLL, TB_THUMBPOSITION, reinterpret_cast<LPARAM>(GetDlgItem(window_, IDC_QUIT)));
    EXPECT_EQ(label(1), L"1");
    EXPECT_EQ(label(4), L"600");
    EXPECT_EQ(label(7), L"0.5");
    EXPECT_EQ(label(10), L"100");
}

TEST_F(LauncherTest, QuitEndsWithZeroAndStartsNothing)
{
    start(install(L"app"));
    click(IDC_QUIT);
    EXPECT_EQ(wait_exit(), 0u);
    EXPECT_EQ(GetFileAttributesW((work_ + L"\\launched.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LauncherTest, CloseBoxEndsWithZeroAndStartsNothing)
{
    start(install(L"app"));
    PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(wait_exit(), 0u);
    EXPECT_EQ(GetFileAttributesW((work_ + L"\\launched.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

static const wchar_t CYRILLIC_FOLDER[] = L"\u041f\u043e\u043b\u0451\u0442 \u043c\u0443\u0445";

// One click of "Let's Fly": the folder the launcher sits in, where the sliders stand, and the
// arguments the overlay beside it must get.
struct LaunchCase {
    const char* name;
    const wchar_t* folder;
    bool moved; // false: the sliders stay where the launcher put them
    SliderPositions positions;
    const wchar_t* arguments;
};

static const LaunchCase LAUNCH_CASES[] = {
    {"StartingSettings", L"app", false, {}, L"-n 1 -t 15 -s 36"},
    {"SliderPositions", L"app", true, {7, 0, 7, 25}, L"-n 7 -t 0 -s 12 -v 25"},
    {"HighestPositions", L"app", true, {50, 600, 30, 100}, L"-n 50 -t 600 -s 54 -v 100"},
    // Folder names the launcher must cope with: blanks, and letters the ANSI code page cannot spell.
    {"FolderWithBlanks", L"Program Files\\Buzzel", false, {}, L"-n 1 -t 15 -s 36"},
    {"CyrillicFolder", CYRILLIC_FOLDER, false, {}, L"-n 1 -t 15 -s 36"},
};

// A case shows by its name in test names and messages, not as the bytes of the record.
static void PrintTo(const LaunchCase& c, std::ostream* out)
{
    *out << c.name;
}

class LetsFlyTest : public LauncherTest, public ::testing::WithParamInterface<LaunchCase> {};

TEST_P(LetsFlyTest, StartsTheOverlayBesideTheLauncherWithTheSliders)
{
    const LaunchCase& c = GetParam();
    const std::wstring folder = install(c.folder);
    start(folder);
    if (c.moved)
        set_sliders(c.positions);
    expect_launch(folder, c.arguments);
}

INSTANTIATE_TEST_SUITE_P(Cases, LetsFlyTest, ::testing::ValuesIn(LAUNCH_CASES),
                         [](const ::testing::TestParamInfo<LaunchCase>& info) { return std::string(info.param.name); });

TEST_F(LauncherTest, MissingOverlayShowsTheErrorBoxWithTheRealPathThenEnds)
{
    const std::wstring folder = install(CYRILLIC_FOLDER, nullptr);
    start(folder);
    click(IDC_LAUNCH);
    HWND box = wait_for_window(L"#32770");
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(window_text(box), L"Error");
    EXPECT_EQ(window_text(GetDlgItem(box, 0xFFFF)), L"Failed to launch: " + folder + L"\\buzzel.exe");
    // The window goes only after the box is dismissed.
    EXPECT_TRUE(IsWindow(window_));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(wait_exit(), 0u);
}

// The pixels of a width x height 32-bit bitmap, rows top to bottom, after draw has drawn on it.
template <typename Draw>
static std::vector<DWORD> drawn_pixels(int width, int height, Draw draw)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    draw(memory);
    GdiFlush();
    const DWORD* first = static_cast<const DWORD*>(bits);
    std::vector<DWORD> pixels(first, first + static_cast<size_t>(width) * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

// What the screen shows in the rectangle at (x, y).
static std::vector<DWORD> screen_pixels(int x, int y, int width, int height)
{
    return drawn_pixels(width, height, [&](HDC memory) {
        HDC screen = GetDC(nullptr);
        BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY);
        ReleaseDC(nullptr, screen);
    });
}

// One pixel of the header band taken from the screen is dark where the fly or the text is drawn.
static bool dark(DWORD bgra)
{
    const int blue = bgra & 0xFF, green = (bgra >> 8) & 0xFF, red = (bgra >> 16) & 0xFF;
    return red + green + blue < 3 * 100;
}

// Width and height of "Fly" as GDI+ measures it in the launcher's header font, here in the same
// Wine prefix (0 x 0 when the font family is not installed).
static Gdiplus::RectF measure_header_text()
{
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::RectF bounds;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return bounds;
    {
        HDC screen = GetDC(nullptr);
        Gdiplus::Graphics graphics(screen);
        Gdiplus::FontFamily family(L"Segoe UI");
        Gdiplus::Font font(&family, 28.0f, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
        graphics.MeasureString(L"Fly", -1, &font, Gdiplus::RectF(0.0f, 0.0f, 1000.0f, 100.0f), &bounds);
        ReleaseDC(nullptr, screen);
    }
    Gdiplus::GdiplusShutdown(token);
    return bounds;
}

// Checks that the header shows the embedded fly drawn 48 x 48 at its place, with nothing between
// it and the text.
static void expect_embedded_fly_in_header(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const int width = client.right;

    // The window reaches the screen shortly after it is painted: wait for the first dark pixel.
    int top = -1, bottom = -1, leftmost = width, darkInGap = 0;
    const Gdiplus::RectF text = measure_header_text();
    const HeaderLayout layout = header_layout(true, 144, 144, width, text.Width, text.Height);
    wait_until(
        [&] {
            const std::vector<DWORD> pixels = screen_pixels(origin.x, origin.y, width, GUI_HEADER_HEIGHT);
            for (int y = 0; y < GUI_HEADER_HEIGHT; ++y) {
                for (int x = 0; x < width; ++x) {
                    if (!dark(pixels[y * width + x]))
                        continue;
                    if (top < 0)
                        top = y;
                    bottom = y;
                    leftmost = x < leftmost ? x : leftmost;
                    if (x >= layout.imageX + 47 && x < layout.textX)
                        ++darkInGap;
                }
            }
            return top >= 0;
        },
        WAIT_LIMIT_MS);

    // The fly's black pixels span rows 5 to 141 and columns from 8 of the 144 x 144 image:
    // drawn 48 x 48 at (imageX, 21) they start about 2 rows down and 2 to 3 columns in.
    ASSERT_GE(top, 0) << "nothing dark in the header";
    EXPECT_GE(top, 22);
    EXPECT_LE(top, 23);
    EXPECT_GE(bottom, 66);
    EXPECT_LE(bottom, 68);
    EXPECT_GE(leftmost, layout.imageX + 1);
    EXPECT_LE(leftmost, layout.imageX + 4);
    EXPECT_EQ(darkInGap, 0) << "something drawn between the image and the text";
}

TEST_F(LauncherTest, HeaderShowsTheEmbeddedFly48HighCentredWithTheText)
{
    start(install(L"app"));
    expect_embedded_fly_in_header(window_);
}

// Writes a solid black 144 x 144 PNG to path: drawn in the header, it would fill the whole square.
static void write_solid_png(const std::wstring& path)
{
    static const CLSID PNG_ENCODER = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    {
        Gdiplus::Bitmap solid(144, 144, PixelFormat32bppARGB);
        Gdiplus::Graphics(&solid).Clear(Gdiplus::Color(255, 0, 0, 0));
        EXPECT_EQ(solid.Save(path.c_str(), &PNG_ENCODER, nullptr), Gdiplus::Ok);
    }
    Gdiplus::GdiplusShutdown(token);
}

// The embedded image comes first: a fly\fly.png in the current directory is read only when that
// image cannot be had.
TEST_F(LauncherTest, HeaderTakesTheEmbeddedFlyBeforeAFileBesideIt)
{
    ASSERT_TRUE(CreateDirectoryW((work_ + L"\\fly").c_str(), nullptr));
    write_solid_png(work_ + L"\\fly\\fly.png");
    start(install(L"app"));
    expect_embedded_fly_in_header(window_);
}

// The ASCII path of a folder the tests made under the temporary folder.
static std::string narrow(const std::wstring& path)
{
    std::string text;
    for (wchar_t c : path)
        text += static_cast<char>(c);
    return text;
}

TEST_F(LauncherTest, RealOverlayReceivesTheStartingSettings)
{
    const std::wstring folder = install(L"Program Files\\Buzzel", BUZZEL_EXE);
    start(folder);
    click(IDC_LAUNCH);
    EXPECT_EQ(wait_exit(), 0u);
    const std::string log = wait_log_line("START cmd=");
    ASSERT_FALSE(log.empty()) << "the overlay wrote no start log in the launcher's current directory";
    const std::string commandLine = "\"" + narrow(folder) + "\\buzzel.exe\"  -n 1 -t 15 -s 36\r\n";
    EXPECT_NE(log.find(" - START (winapi) cmd=" + commandLine), std::string::npos) << log;
    EXPECT_NE(log.find(" - START cmd=" + commandLine), std::string::npos) << log;
}

TEST_F(LauncherTest, RealOverlayRunsForTheChosenTimeAndEnds)
{
    const std::wstring folder = install(L"app", BUZZEL_EXE);
    start(folder);
    set_sliders({3, 1, 10, 50});
    click(IDC_LAUNCH);
    EXPECT_EQ(wait_exit(), 0u);
    ASSERT_TRUE(wait_all_ended()) << "the overlay is still running";
    const std::string log = wait_log_line("SHUTDOWN");
    EXPECT_EQ(log.find(" - START cmd="), log.rfind(" - START cmd=")) << "the overlay was started more than once";
    EXPECT_NE(log.find("\\buzzel.exe\"  -n 3 -t 1 -s 18 -v 50\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.size() - log.rfind(" - SHUTDOWN\r\n"), 13u) << "SHUTDOWN is not the last line";
}

// The font every child is given: 16-pixel "Segoe UI", normal weight, proportional and sans-serif.
static LOGFONTA launcher_font()
{
    LOGFONTA font{};
    font.lfHeight = -16;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lstrcpyA(font.lfFaceName, "Segoe UI");
    return font;
}

// Every field of a LOGFONTA, in a form the test can compare and print.
static auto font_fields(const LOGFONTA& f)
{
    return std::make_tuple(f.lfHeight, f.lfWidth, f.lfEscapement, f.lfOrientation, f.lfWeight, int{f.lfItalic},
                           int{f.lfUnderline}, int{f.lfStrikeOut}, int{f.lfCharSet}, int{f.lfOutPrecision},
                           int{f.lfClipPrecision}, int{f.lfQuality}, int{f.lfPitchAndFamily},
                           std::string(f.lfFaceName));
}

TEST_F(LauncherTest, EveryChildHasTheOneFontAndTheWindowItsIconsAndBackground)
{
    start(install(L"app"), true);
    const LauncherProbeReport report = probe_report();
    ASSERT_EQ(report.ready, 1) << "the probe did not report";

    // Each of the fourteen children is sent the same font once, and redraws with it.
    uint64_t font = 0;
    for (int index = 0; index < 14; ++index) {
        SCOPED_TRACE(testing::Message() << "control " << index + 1);
        const uint64_t child = reinterpret_cast<uint64_t>(child_at(index));
        int given = 0;
        for (int i = 0; i < report.fontCount; ++i) {
            const ProbeFont& sent = report.fonts[i];
            if (sent.window != child)
                continue;
            ++given;
            font = font != 0 ? font : sent.font;
            EXPECT_EQ(sent.font, font);
            EXPECT_EQ(sent.redraw, TRUE);
            ASSERT_NE(sent.fieldsRead, 0);
            EXPECT_EQ(font_fields(sent.fields), font_fields(launcher_font()));
        }
        EXPECT_EQ(given, 1);
    }

    EXPECT_EQ(report.classBackground, static_cast<uint64_t>(COLOR_BTNFACE + 1));

    // The class holds the program's icon at 32 and 16 pixels, and the window shows the same two.
    HMODULE program = LoadLibraryExW(wine_path(BUZZEL_GUI_EXE).c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr);
    const struct {
        const char* name;
        const ProbeIcon& icon;
        int side;
    } icons[] = {{"class icon", report.classIcon, 32}, {"class small icon", report.classSmallIcon, 16},
                 {"window icon", report.windowIcon, 32}, {"window small icon", report.windowSmallIcon, 16}};
    for (const auto& icon : icons) {
        SCOPED_TRACE(icon.name);
        HICON expected =
            static_cast<HICON>(LoadImageW(program, MAKEINTRESOURCEW(101), IMAGE_ICON, icon.side, icon.side, 0));
        ASSERT_NE(expected, nullptr);
        int width = 0, height = 0;
        EXPECT_EQ(icon.icon.pixels, icon_pixel_hash(expected, &width, &height));
        EXPECT_EQ(icon.icon.width, icon.side);
        EXPECT_EQ(icon.icon.height, icon.side);
        DestroyIcon(expected);
    }
    EXPECT_EQ(report.windowIcon.handle, report.classIcon.handle);
    EXPECT_EQ(report.windowSmallIcon.handle, report.classSmallIcon.handle);
    FreeLibrary(program);
}

// A value label's text drawn whole, the way the label draws it: in the launcher's font, in the
// window-text colour on the button face, from the label's top-left corner.
static std::vector<DWORD> label_drawn_whole(const std::wstring& text, int width, int height)
{
    return drawn_pixels(width, height, [&](HDC memory) {
        RECT rect = {0, 0, width, height};
        FillRect(memory, &rect, GetSysColorBrush(COLOR_BTNFACE));
        const LOGFONTA fields = launcher_font();
        HFONT font = CreateFontIndirectA(&fields);
        HGDIOBJ old = SelectObject(memory, font);
        SetTextColor(memory, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(memory, GetSysColor(COLOR_BTNFACE));
        DrawTextW(memory, text.c_str(), -1, &rect, DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK);
        SelectObject(memory, old);
        DeleteObject(font);
    });
}

// Each value label overlaps the lowest 6 pixels of its slider, and the digits reach into them: on
// screen every label still shows its text whole, pixel for pixel.
TEST_F(LauncherTest, ValueLabelsShowTheirTextWhole)
{
    start(install(L"app"));
    const int labels[] = {1, 4, 7, 10};
    std::vector<std::vector<DWORD>> whole, shown(4);
    std::vector<RECT> rects;
    for (int index : labels) {
        RECT rect;
        GetWindowRect(child_at(index), &rect);
        rects.push_back(rect);
        whole.push_back(label_drawn_whole(label(index), rect.right - rect.left, rect.bottom - rect.top));
    }
    // The window reaches the screen shortly after it is painted: wait until all four show whole.
    wait_until(
        [&] {
            for (size_t i = 0; i < rects.size(); ++i)
                shown[i] = screen_pixels(rects[i].left, rects[i].top, rects[i].right - rects[i].left,
                                         rects[i].bottom - rects[i].top);
            return shown == whole;
        },
        WAIT_LIMIT_MS);
    for (size_t i = 0; i < rects.size(); ++i) {
        const int width = rects[i].right - rects[i].left;
        std::string rows;
        for (size_t y = 0; y < whole[i].size() / width; ++y)
            if (!std::equal(whole[i].begin() + y * width, whole[i].begin() + (y + 1) * width, shown[i].begin() + y * width))
                rows += " " + std::to_string(y);
        EXPECT_EQ(rows, "") << "rows of the label at index " << labels[i] << " that differ from its text drawn whole";
    }
}
