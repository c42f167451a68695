// What a process holds, measured from inside it: GDI objects, USER objects, kernel handles and
// committed private memory. Wine 8 answers GetGuiResources, GetProcessHandleCount and
// PrivateUsage with nothing (0), so beside those figures each is also counted directly: the GDI
// handle table that the PEB points to, the process's windows, the system's handle list, and a
// walk of the address space.
#pragma once
#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <cstdint>
#include <vector>

struct ProcessResources {
    DWORD gdiReported;     // GetGuiResources(GR_GDIOBJECTS)
    DWORD userReported;    // GetGuiResources(GR_USEROBJECTS)
    DWORD handlesReported; // GetProcessHandleCount
    SIZE_T privateReported; // GetProcessMemoryInfo PrivateUsage
    long gdiCounted;       // live entries of this process in the GDI handle table
    long windowsCounted;   // top-level windows of this process
    long handlesCounted;   // this process's entries in the system handle list
    SIZE_T privateCounted; // committed private pages of the address space, in bytes
};

// One cell of the GDI handle table (the 64-bit layout Windows and Wine share).
struct GdiTableCell {
    uint64_t object;
    uint16_t processId;
    uint16_t count;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t user;
};
static_assert(sizeof(GdiTableCell) == 24, "GDI table cells are 24 bytes");

constexpr int GDI_TABLE_CELLS = 65536;
constexpr size_t PEB_GDI_TABLE_OFFSET = 0xF8; // PEB.GdiSharedHandleTable on x64

// The PEB's address, asked of ntdll rather than read through the TEB.
inline const char* process_environment_block()
{
    using QueryInformationProcess = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryInformationProcess>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info{};
    if (query(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, nullptr) != 0)
        return nullptr;
    return reinterpret_cast<const char*>(info.PebBaseAddress);
}

inline long count_gdi_objects()
{
    const char* peb = process_environment_block();
    if (peb == nullptr)
        return -1;
    const GdiTableCell* table = *reinterpret_cast<GdiTableCell* const*>(peb + PEB_GDI_TABLE_OFFSET);
    if (table == nullptr)
        return -1;
    const uint16_t self = static_cast<uint16_t>(GetCurrentProcessId());
    long live = 0;
    for (int i = 0; i < GDI_TABLE_CELLS; ++i)
        if (table[i].type != 0 && (table[i].processId == self || table[i].processId == 0))
            ++live;
    return live;
}

// SystemHandleInformation (16): a count, then one entry per open handle in the system.
struct SystemHandleEntry {
    USHORT processId;
    USHORT creatorBackTraceIndex;
    UCHAR objectType;
    UCHAR attributes;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};

inline long count_handles()
{
    using QuerySystemInformation = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    // Kept between calls, so the count does not see its own buffer come and go.
    static std::vector<char> buffer(1 << 20);
    ULONG needed = 0;
    NTSTATUS status;
    while ((status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
           static_cast<NTSTATUS>(0xC0000004L)) // STATUS_INFO_LENGTH_MISMATCH
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return -1;
    const ULONG entries = *reinterpret_cast<const ULONG*>(buffer.data());
    const SystemHandleEntry* entry =
        reinterpret_cast<const SystemHandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    const USHORT self = static_cast<USHORT>(GetCurrentProcessId());
    long own = 0;
    for (ULONG i = 0; i < entries; ++i)
        if (entry[i].processId == self)
            ++own;
    return own;
}

inline BOOL CALLBACK count_own_window(HWND window, LPARAM param)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == GetCurrentProcessId())
        ++*reinterpret_cast<long*>(param);
    return TRUE;
}

inline long count_windows()
{
    long windows = 0;
    EnumWindows(count_own_window, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

inline SIZE_T count_private_bytes()
{
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    const char* address = nullptr;
    while (VirtualQuery(address, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total;
}

inline ProcessResources measure_process_resources()
{
    const HANDLE self = GetCurrentProcess();
    ProcessResources r{};
    r.gdiReported = GetGuiResources(self, GR_GDIOBJECTS);
    r.userReported = GetGuiResources(self, GR_USEROBJECTS);
    GetProcessHandleCount(self, &r.handlesReported);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        r.privateReported = memory.PrivateUsage;
    r.gdiCounted = count_gdi_objects();
    r.windowsCounted = count_windows();
    r.handlesCounted = count_handles();
    r.privateCounted = count_private_bytes();
    return r;
}
