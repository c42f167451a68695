// The four run settings and the command-line parser that sets them. The number readers follow
// the C runtime's _wtoi/_wtof grammar but are our own, so both build trees read every argument
// alike whatever the width of wchar_t and whatever the locale.
#include "settings.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cwchar>
#include <system_error>

int g_flyCount = 1;              // number of flies; parse_command_line writes it
double g_timeoutSeconds = 15.0;  // run-time limit in seconds, 0 = none; parse_command_line writes it
int g_flyRenderSize = 36;        // base fly size in pixels; parse_command_line writes it
int g_sizeVariationPercent = 0;  // per-fly size variation 0..100; parse_command_line writes it

void reset_settings()
{
    g_flyCount = 1;
    g_timeoutSeconds = 15.0;
    g_flyRenderSize = 36;
    g_sizeVariationPercent = 0;
}

// The blanks _wtoi and _wtof skip in the C locale.
static bool is_blank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

static bool is_digit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Skips leading blanks and an optional sign; sets negative for '-'.
static const wchar_t* skip_blanks_and_sign(const wchar_t* p, bool* negative)
{
    while (is_blank(*p))
        ++p;
    *negative = *p == L'-';
    if (*p == L'+' || *p == L'-')
        ++p;
    return p;
}

// Digits beyond the 32-bit range saturate at INT_MAX or INT_MIN instead of wrapping.
int read_int(const wchar_t* text)
{
    const long long limit = 2147483648LL; // magnitude of INT_MIN; growth stops here
    bool negative = false;
    const wchar_t* p = skip_blanks_and_sign(text, &negative);
    long long magnitude = 0;
    for (; is_digit(*p); ++p) {
        magnitude = magnitude * 10 + (*p - L'0');
        if (magnitude > limit)
            magnitude = limit;
    }
    if (negative)
        return magnitude >= limit ? INT_MIN : -static_cast<int>(magnitude);
    return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

// Significant digits kept for the conversion. Any digits after these only decide rounding, so
// they are folded into one sticky digit; 800 is above the 767 digits a double's halfway case needs.
constexpr int REAL_KEPT_DIGITS = 800;

// Reads [blanks][sign]digits[.digits][(e|E)[sign]digits] with at least one mantissa digit.
// The number is rewritten as "d.ddd...e<exp>" and converted correctly rounded by from_chars,
// which never looks at the locale. Out of range gives +-inf or 0 as strtod does; the grammar
// has no "inf" or "nan", so the result is never NaN.
double read_real(const wchar_t* text)
{
    bool negative = false;
    const wchar_t* p = skip_blanks_and_sign(text, &negative);

    char number[REAL_KEPT_DIGITS + 32]; // "d.ddd" (+ sticky digit) "e-nnnnnn"
    int kept = 0;                       // significant digits in number, the point not counted
    bool droppedNonZero = false;        // a non-zero digit beyond the kept ones
    bool anyDigit = false;              // the mantissa had a digit at all
    long long intDigits = 0;            // significant digits before the point
    long long fracZeros = 0;            // zeros after the point before the first significant digit

    // Mantissa: leading zeros are skipped; the rest goes into number.
    bool inFraction = false;
    for (;; ++p) {
        if (*p == L'.' && !inFraction) {
            inFraction = true;
            continue;
        }
        if (!is_digit(*p))
            break;
        anyDigit = true;
        const char digit = static_cast<char>('0' + (*p - L'0'));
        if (kept == 0 && digit == '0') {
            if (inFraction)
                ++fracZeros;
            continue;
        }
        if (!inFraction)
            ++intDigits;
        if (kept < REAL_KEPT_DIGITS) {
            number[kept == 0 ? 0 : kept + 1] = digit;
            if (kept == 0)
                number[1] = '.';
            ++kept;
        } else if (digit != '0') {
            droppedNonZero = true;
        }
    }
    if (!anyDigit)
        return 0.0;
    if (kept == 0)
        return negative ? -0.0 : 0.0;
    // Decimal exponent of the first significant digit.
    long long leadExponent = intDigits > 0 ? intDigits - 1 : -(fracZeros + 1);

    // Exponent, taken only when a digit follows the letter (and its sign); it saturates far
    // beyond any double, so overlong exponents stay defined.
    if (*p == L'e' || *p == L'E') {
        const wchar_t* q = p + 1;
        const bool expNegative = *q == L'-';
        if (*q == L'+' || *q == L'-')
            ++q;
        long long exponent = 0;
        for (; is_digit(*q); ++q) {
            exponent = exponent * 10 + (*q - L'0');
            if (exponent > 1000000000LL)
                exponent = 1000000000LL;
        }
        leadExponent += expNegative ? -exponent : exponent;
    }
    if (leadExponent > 100000)
        leadExponent = 100000;
    if (leadExponent < -100000)
        leadExponent = -100000;

    int length = kept == 1 ? 1 : kept + 1;
    if (droppedNonZero)
        number[length++] = '1';
    number[length++] = 'e';
    const auto written = std::to_chars(number + length, number + sizeof number, leadExponent);
    double value = 0.0;
    const auto read = std::from_chars(number, written.ptr, value, std::chars_format::general);
    if (read.ec == std::errc::result_out_of_range)
        value = leadExponent >= 0 ? HUGE_VAL : 0.0;
    else if (read.ec != std::errc())
        value = 0.0;
    return negative ? -value : value;
}

static bool is_option(const wchar_t* arg, const wchar_t* shortForm, const wchar_t* longForm)
{
    return std::wcscmp(arg, shortForm) == 0 || std::wcscmp(arg, longForm) == 0;
}

// 1..5 multiplies the standing size, above 5 is pixels. Both are held at MAX_FLY_RENDER_SIZE:
// a run of multipliers would otherwise overflow the int (5^12 * 36 already does).
static void apply_size(int value)
{
    if (value >= 1 && value <= 5) {
        const long long product = static_cast<long long>(g_flyRenderSize) * value;
        g_flyRenderSize = product < MAX_FLY_RENDER_SIZE ? static_cast<int>(product) : MAX_FLY_RENDER_SIZE;
    } else if (value > 5) {
        g_flyRenderSize = value < MAX_FLY_RENDER_SIZE ? value : MAX_FLY_RENDER_SIZE;
    }
}

void parse_command_line(int argc, const wchar_t* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const wchar_t* arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (is_option(arg, L"-n", L"--count")) {
            if (!hasValue)
                continue;
            const int count = read_int(argv[++i]);
            if (count > 0)
                g_flyCount = count;
        } else if (is_option(arg, L"-t", L"--timeout")) {
            if (!hasValue)
                continue;
            // read_real never gives NaN; -0 is stored as 0 so the limit is never negative.
            const double seconds = read_real(argv[++i]);
            if (seconds >= 0.0)
                g_timeoutSeconds = seconds > 0.0 ? seconds : 0.0;
        } else if (is_option(arg, L"-s", L"--size")) {
            if (!hasValue)
                continue;
            apply_size(read_int(argv[++i]));
        } else if (is_option(arg, L"-v", L"--variation")) {
            if (!hasValue)
                continue;
            const int percent = read_int(argv[++i]);
            g_sizeVariationPercent = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
        } else {
            const int count = read_int(arg);
            if (count > 0)
                g_flyCount = count;
        }
    }
}
