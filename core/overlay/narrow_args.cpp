// UTF-8 arguments to the wide parser, and the arguments joined back into one command line.
#include "narrow_args.h"

#include "settings.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

static const wchar_t REPLACEMENT = 0xFFFD;

// Length of the UTF-8 sequence that starts with lead, or 0 when lead cannot start one.
static int sequence_length(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// Appends code point cp as wchar_t: one unit, or a surrogate pair where wchar_t has 16 bits.
static void append_code_point(std::wstring* out, uint32_t cp)
{
    if (sizeof(wchar_t) == 2 && cp > 0xFFFF) {
        cp -= 0x10000;
        out->push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
        out->push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
        return;
    }
    out->push_back(static_cast<wchar_t>(cp));
}

// Overlong forms, surrogates and values beyond U+10FFFF are refused like any other bad byte.
static std::wstring decode_utf8(const char* text)
{
    std::wstring out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0) {
        const int n = sequence_length(*p);
        uint32_t cp = n == 1 ? *p : n == 2 ? (*p & 0x1Fu) : n == 3 ? (*p & 0x0Fu) : (*p & 0x07u);
        int i = 1;
        for (; n > 1 && i < n && (p[i] & 0xC0) == 0x80; ++i)
            cp = (cp << 6) | (p[i] & 0x3Fu);
        const bool complete = n > 0 && i == n;
        const bool shortest = n < 3 || (n == 3 && cp >= 0x800) || (n == 4 && cp >= 0x10000);
        const bool scalar = cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
        if (complete && shortest && scalar) {
            append_code_point(&out, cp);
            p += n;
        } else {
            out.push_back(REPLACEMENT);
            p += i > 1 ? i : 1; // skip the bad lead and the continuation bytes it took
        }
    }
    return out;
}

void parse_narrow_command_line(int argc, const char* const* argv)
{
    std::vector<std::wstring> wide;
    for (int i = 0; i < argc; ++i)
        wide.push_back(decode_utf8(argv[i] != nullptr ? argv[i] : ""));
    std::vector<const wchar_t*> pointers;
    for (const std::wstring& w : wide)
        pointers.push_back(w.c_str());
    parse_command_line(argc, pointers.data());
}

// Characters a shell would split or interpret; an argument with any of them is quoted.
static bool needs_quotes(const char* arg)
{
    if (*arg == '\0')
        return true;
    return std::strpbrk(arg, " \t\n'\"\\$`*?[]{}()<>|&;#~!") != nullptr;
}

size_t join_command_line(int argc, const char* const* argv, char* buf, size_t capacity)
{
    size_t length = 0;
    auto put = [&](char c) {
        if (length + 1 < capacity)
            buf[length++] = c;
    };
    for (int i = 0; i < argc; ++i) {
        const char* arg = argv[i] != nullptr ? argv[i] : "";
        if (i > 0)
            put(' ');
        const bool quoted = needs_quotes(arg);
        if (quoted)
            put('\'');
        for (const char* p = arg; *p != '\0'; ++p) {
            if (*p == '\'') { // close, escaped quote, reopen: 'it'\''s'
                put('\'');
                put('\\');
                put('\'');
            }
            put(*p);
        }
        if (quoted)
            put('\'');
    }
    buf[length] = '\0';
    return length;
}
