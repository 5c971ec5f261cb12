#include "filter/expr/ParsFunc.h"

#include "filter/expr/DateTimeFormat.h"
#include "filter/expr/FloatFormat.h"

#include <QDateTime>

#include <algorithm>
#include <atomic>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

// ---------------------------------------------------------------- registry

namespace {

struct Entry {
    std::string Name; // upper case
    TExprFunction Handler;
    TFunctionCalls Calls;
};

// Constant-initialised, so it exists before any code of the program runs.
constinit std::vector<Entry> entries;
// For every first byte, where its names begin in the sorted list (an entry for 256 marks the
// end): the binary search then runs over the names with the same first letter only.
constinit std::uint16_t firstByteStart[257] = {};

void indexFirstBytes() {
    std::size_t k = 0;
    for (int b = 0; b < 256; ++b) {
        firstByteStart[b] = static_cast<std::uint16_t>(k);
        while (k < entries.size() && static_cast<unsigned char>(entries[k].Name[0]) == b)
            ++k;
    }
    firstByteStart[256] = static_cast<std::uint16_t>(entries.size());
}

char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// Compares two upper-case names byte by byte: negative, 0 or positive.
int compareUpper(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    if (n > 0) {
        if (const int c = std::memcmp(a.data(), b.data(), n))
            return c;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The entry of an upper-case name in the sorted registry (binary search), or nullptr.
const Entry* findEntry(std::string_view upperName) {
    std::size_t lo = 0, hi = entries.size();
    if (!upperName.empty()) {
        const auto b = static_cast<unsigned char>(upperName[0]);
        lo = firstByteStart[b];
        hi = firstByteStart[b + 1];
    }
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        const int c = compareUpper(entries[mid].Name, upperName);
        if (c == 0)
            return &entries[mid];
        if (c < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return nullptr;
}

} // namespace

void RegisterFunction(std::string_view name, TExprFunction handler, TFunctionCalls calls) {
    std::string upper(name);
    for (char& c : upper)
        c = upperAscii(c);
    if (upper.empty() || entries.size() >= 0xFFFF)
        return; // no call can name it, or no room left in the index
    auto it = std::lower_bound(entries.begin(), entries.end(), upper,
                               [](const Entry& e, const std::string& n) { return e.Name < n; });
    if (it != entries.end() && it->Name == upper)
        return; // the first registration stays
    entries.insert(it, Entry{std::move(upper), handler, calls});
    indexFirstBytes();
}

TExprFunction FindFunction(std::string_view name) {
    TFunctionCalls calls = TFunctionCalls::EachTime;
    return FindFunction(name, calls);
}

TExprFunction FindFunction(std::string_view name, TFunctionCalls& calls) {
    // Names are short: upper-case them on the stack.
    char buf[64];
    std::string longName;
    std::string_view upper;
    if (name.size() <= sizeof buf) {
        for (std::size_t i = 0; i < name.size(); ++i)
            buf[i] = upperAscii(name[i]);
        upper = std::string_view(buf, name.size());
    } else {
        longName.assign(name);
        for (char& c : longName)
            c = upperAscii(c);
        upper = longName;
    }
    const Entry* e = findEntry(upper);
    if (!e)
        return nullptr;
    calls = e->Calls;
    return e->Handler;
}

int RegisteredFunctionCount() {
    return static_cast<int>(entries.size());
}

// ---------------------------------------------------------------- built-in functions

namespace {

// Paddings of HEX and BIN beyond this are refused rather than filling memory.
constexpr std::int32_t MaxPadding = 65536;

bool fnFormatDateTime(void*, TExpr& result, std::int32_t argc, TExpr* args) {
    if (argc != 2)
        return false;
    ConvertExpr(args[0], etString);
    ConvertExpr(args[1], etFloat);
    TDateTimeParts parts;
    if (!DecodeExprDateTime(args[1].AsFloat, parts))
        return false;
    result.SetString(FormatExprDateTime(args[0].AsString, parts, TFormatSettings::System()));
    return true;
}

bool fnFormatFloat(void*, TExpr& result, std::int32_t argc, TExpr* args) {
    if (argc != 2)
        return false;
    ConvertExpr(args[0], etString);
    ConvertExpr(args[1], etFloat);
    result.SetString(FormatExprFloat(args[0].AsString, args[1].AsFloat, TFormatSettings::System()));
    return true;
}

template <TExprType Type> bool fnConvert(void*, TExpr& result, std::int32_t argc, TExpr* args) {
    if (argc != 1)
        return false;
    ConvertExpr(args[0], Type);
    result = std::move(args[0]);
    return true;
}

bool fnCase(void*, TExpr& result, std::int32_t argc, TExpr* args) {
    if (argc < 2)
        return false;
    ConvertExpr(args[0], etInteger);
    const std::int32_t index = args[0].AsInteger;
    if (index < 0 || index > argc - 2)
        return false;
    result = std::move(args[index + 1]);
    return true;
}

bool fnIsNull(void*, TExpr& result, std::int32_t argc, TExpr* args) {
    if (argc == 1)
        result.SetBoolean(args[0].IsNull());
    else if (argc == 2)
        result = std::move(args[0].IsNull() ? args[1] : args[0]);
    else
        return false;
    return true;
}

bool fnIif(void*, TExpr& result, std::int32_t argc, TExpr* args) {
    if (argc != 3)
        return false;
    ConvertExpr(args[0], etBoolean);
    result = std::move(args[0].AsBoolean ? args[1] : args[2]);
    return true;
}

bool fnNull(void*, TExpr&, std::int32_t argc, TExpr*) {
    return argc == 0;
}

bool fnTrue(void*, TExpr& result, std::int32_t argc, TExpr*) {
    if (argc != 0)
        return false;
    result.SetBoolean(true);
    return true;
}

bool fnFalse(void*, TExpr& result, std::int32_t argc, TExpr*) {
    if (argc != 0)
        return false;
    result.SetBoolean(false);
    return true;
}

// Digits of value in the given base (2 or 16), without leading zeros, padded with 0 on the
// left to at least width.
std::string digitsOf(std::uint32_t value, unsigned shift, std::int32_t width) {
    static const char digits[] = "0123456789ABCDEF";
    char buf[32];
    int n = 0;
    const std::uint32_t mask = (1u << shift) - 1;
    for (; value != 0; value >>= shift)
        buf[n++] = digits[value & mask];
    std::string out;
    if (width > n)
        out.append(static_cast<size_t>(width - n), '0');
    while (n > 0)
        out += buf[--n];
    return out;
}

template <unsigned Shift> bool fnRadix(void*, TExpr& result, std::int32_t argc, TExpr* args) {
    if (argc != 2)
        return false;
    ConvertExpr(args[0], etInteger);
    ConvertExpr(args[1], etInteger);
    if (args[1].AsInteger > MaxPadding)
        return false;
    std::string s =
        digitsOf(static_cast<std::uint32_t>(args[0].AsInteger), Shift, args[1].AsInteger);
    if (Shift == 4 && s.empty())
        s.push_back('0'); // HEX writes the value 0 as a digit
    result.SetString(std::move(s));
    return true;
}

bool fnSubstr(void*, TExpr& result, std::int32_t argc, TExpr* args) {
    if (argc != 3)
        return false;
    ConvertExpr(args[0], etString);
    ConvertExpr(args[1], etInteger);
    ConvertExpr(args[2], etInteger);
    const std::string& s = args[0].AsString;
    const std::int64_t start = std::max<std::int64_t>(1, args[1].AsInteger);
    const std::int64_t count = args[2].AsInteger;
    if (start > static_cast<std::int64_t>(s.size()) || count < 0) {
        result.SetString(std::string_view());
        return true;
    }
    result.SetString(
        std::string_view(s).substr(static_cast<size_t>(start - 1), static_cast<size_t>(count)));
    return true;
}

bool fnFrac(void*, TExpr& result, std::int32_t argc, TExpr* args) {
    if (argc != 1)
        return false;
    ConvertExpr(args[0], etFloat);
    result.SetFloat(args[0].AsFloat - std::trunc(args[0].AsFloat));
    return true;
}

bool fnTrunc(void*, TExpr& result, std::int32_t argc, TExpr* args) {
    if (argc != 1)
        return false;
    ConvertExpr(args[0], etFloat);
    result.SetInteger(TruncToInt32(args[0].AsFloat));
    return true;
}

bool fnRound(void*, TExpr& result, std::int32_t argc, TExpr* args) {
    if (argc != 1)
        return false;
    ConvertExpr(args[0], etFloat);
    result.SetInteger(RoundToInt32(args[0].AsFloat));
    return true;
}

std::atomic<TExprClock> exprClock{nullptr};

bool fnDate(void*, TExpr& result, std::int32_t argc, TExpr*) {
    if (argc != 0)
        return false;
    const TExprClock clock = exprClock.load(std::memory_order_relaxed);
    const QDateTime now = clock ? clock() : QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    result.SetFloat(EncodeExprDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(),
                                       t.second(), t.msec()));
    return true;
}

bool fnAbs(void*, TExpr& result, std::int32_t argc, TExpr* args) {
    if (argc != 1)
        return false;
    ConvertExpr(args[0], etFloat);
    result.SetFloat(std::fabs(args[0].AsFloat));
    return true;
}

} // namespace

void SetExprClock(TExprClock clock) {
    exprClock.store(clock, std::memory_order_relaxed);
}

void RegisterBuiltinFunctions() {
    RegisterFunction("FORMATDATETIME", fnFormatDateTime);
    RegisterFunction("FORMATFLOAT", fnFormatFloat);
    RegisterFunction("INT", fnConvert<etInteger>);
    RegisterFunction("BOOL", fnConvert<etBoolean>);
    RegisterFunction("STRING", fnConvert<etString>);
    RegisterFunction("FLOAT", fnConvert<etFloat>);
    RegisterFunction("CASE", fnCase);
    RegisterFunction("ISNULL", fnIsNull);
    RegisterFunction("IIF", fnIif);
    RegisterFunction("NULL", fnNull);
    RegisterFunction("TRUE", fnTrue);
    RegisterFunction("FALSE", fnFalse);
    RegisterFunction("HEX", fnRadix<4>);
    RegisterFunction("BIN", fnRadix<1>);
    RegisterFunction("SUBSTR", fnSubstr);
    RegisterFunction("FRAC", fnFrac);
    RegisterFunction("TRUNC", fnTrunc);
    RegisterFunction("ROUND", fnRound);
    RegisterFunction("DATE", fnDate);
    RegisterFunction("ABS", fnAbs);
}
