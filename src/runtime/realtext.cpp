// Real text conversion: digit generators, the real writers and the reader.
// (First cut: the digit steps in plain double; to be replaced by exact steps.)
#include "runtime/realtext.h"

#include "runtime/console.h"

#include <cmath>

namespace runtime {
namespace {

constexpr std::array<double, 17> R = {
    0.5,
    0.0500000000000001,
    0.0050000000000001,
    0.0005000000000001,
    0.0000500000000001,
    0.0000050000000001,
    0.0000005000000001,
    0.0000000500000001,
    0.0000000050000001,
    0.0000000005000001,
    0.0000000000500001,
    0.0000000000050001,
    0.0000000000005001,
    0.0000000000000501,
    0.0000000000000051,
    5e-16,
    5e-17,
};

constexpr std::array<double, 9> P = {1e1, 1e2, 1e4, 1e8, 1e16, 1e32, 1e64, 1e128, 1e256};

struct Area {
    WORKAREA a{};
    std::size_t len = 0;
    void emit(char c) {
        if (len < a.size()) a[len++] = c;
    }
    bool full() const { return len >= a.size(); }
    WORKAREA done() {
        if (len < a.size()) a[len] = '\0';
        return a;
    }
};

bool isZero(double v) { return v == 0.0; }
bool isNonFinite(double v) { return !std::isfinite(v); }

char digitOf(double& v) {
    double t = std::trunc(v);
    int d = static_cast<int>(t);
    if (d > 9) d = 9;
    v = (v - t) * 10.0;
    return static_cast<char>('0' + d);
}

WORKAREA infinite() {
    Area out;
    for (char c : std::string_view("Infinite")) out.emit(c);
    return out.done();
}

} // namespace

WORKAREA FIXDIGITS(double v, std::int32_t places) {
    Area out;
    if (isZero(v)) {
        out.emit('0');
        if (places > 0) out.emit('.');
        for (std::int32_t i = 0; i < places && !out.full(); ++i) out.emit('0');
        return out.done();
    }
    if (isNonFinite(v)) return infinite();
    if (v < 0) {
        out.emit('-');
        v = -v;
    }
    if (places <= 16) v += R[static_cast<std::size_t>(places < 0 ? 0 : places)];
    std::int32_t ndig = 1;
    while (v >= 10) {
        v /= 10;
        ++ndig;
    }
    for (std::int32_t i = 1; i <= ndig; ++i) {
        char d = digitOf(v);
        out.emit(i < 15 ? d : '0');
    }
    if (places >= 0) {
        out.emit('.');
        for (std::int64_t c = ndig; c < std::int64_t{ndig} + places && !out.full(); ++c) {
            char d = digitOf(v);
            out.emit(c < 15 ? d : '0');
        }
    }
    return out.done();
}

WORKAREA FLTDIGITS(double v, std::uint32_t n) {
    Area out;
    if (isZero(v)) {
        out.emit('0');
        out.emit('.');
        for (std::uint32_t i = 1; i < n && !out.full(); ++i) out.emit('0');
        for (char c : std::string_view("E+000")) out.emit(c);
        return out.done();
    }
    if (isNonFinite(v)) return infinite();
    if (n == 0) n = 15;
    if (v < 0) {
        out.emit('-');
        v = -v;
    }
    std::int32_t e = 0;
    if (v >= 10) {
        for (int k = 8; k >= 0; --k) {
            if (P[static_cast<std::size_t>(k)] < v) {
                v /= P[static_cast<std::size_t>(k)];
                e += 1 << k;
            }
        }
    } else if (v < 1) {
        for (int k = 8; k >= 0; --k) {
            if (!(1.0 / P[static_cast<std::size_t>(k)] < v)) {
                v *= P[static_cast<std::size_t>(k)];
                e -= 1 << k;
            }
        }
        if (v < 1) {
            v *= 10;
            e -= 1;
        }
    }
    if (n >= 1 && n <= 17) v += R[n - 1];
    if (v >= 10) {
        v /= 10;
        e += 1;
    }
    out.emit(digitOf(v));
    if (n > 1) {
        out.emit('.');
        for (std::uint32_t i = 1; i < n && !out.full(); ++i) out.emit(digitOf(v));
    }
    out.emit('E');
    out.emit(e < 0 ? '-' : '+');
    std::int32_t ae = e < 0 ? -e : e;
    out.emit(static_cast<char>('0' + ae / 100 % 10));
    out.emit(static_cast<char>('0' + ae / 10 % 10));
    out.emit(static_cast<char>('0' + ae % 10));
    return out.done();
}

void WRTREAL(double v, std::uint32_t width) {
    if (width == 0) {
        WRTCHR(' ');
        WRTSTR(FLTDIGITS(v, 0));
        return;
    }
    double a = std::fabs(v);
    std::int64_t E;
    if (a >= 1 || std::isnan(a)) {
        double l = std::log(a) / std::log(10.0);
        E = std::isfinite(l) ? static_cast<std::int64_t>(l) : 0;
    } else {
        E = width;
    }
    if (v < 0) E += 1;
    WORKAREA text;
    if (std::int64_t{width} >= E + 2) {
        text = FIXDIGITS(v, static_cast<std::int32_t>(std::int64_t{width} - 2 - E));
    } else {
        std::uint32_t n = width;
        if (!(v < 0) && width > 6) n = width - 6;
        else if (v < 0 && width > 7) n = width - 7;
        text = FLTDIGITS(v, n);
    }
    std::size_t len = 0;
    while (len < text.size() && text[len] != '\0') ++len;
    for (std::size_t i = len; i < width; ++i) WRTCHR(' ');
    WRTSTR(text);
}

void REALTOFIX(double v, std::uint32_t D, std::uint32_t I, std::span<char> text,
               std::uint32_t& pos, bool& ok) {
    ok = true;
    auto put = [&](char c) {
        if (pos < text.size()) {
            text[pos++] = c;
        } else if (c != '\0') {
            ok = false;
        }
    };
    if (v < 0) {
        put('-');
        v = -v;
    }
    if (!std::isfinite(v)) {
        for (char c : std::string_view("infinity")) put(c);
        put('\0');
        return;
    }
    if (D > 16) D = 16;
    if (I > D) I = D;
    WORKAREA w = FIXDIGITS(v, static_cast<std::int32_t>(D - I));
    for (char c : w) {
        if (c == '\0') break;
        put(c);
    }
    if (pos < text.size()) text[pos] = '\0';
}

void TEXTTOREAL(std::span<const char> text, std::uint32_t& pos, double& value, bool& ok) {
    char cur = '\0';
    bool atEnd = false;
    auto next = [&] {
        if (pos < text.size() && text[pos] != '\0') {
            cur = text[pos];
            ++pos;
        } else {
            atEnd = true;
            cur = '\0';
        }
    };
    auto digit = [&] { return !atEnd && cur >= '0' && cur <= '9'; };

    ok = true;
    double r = 0.0;
    double sign = 1.0;
    do next(); while (cur == ' ');
    if (cur == '-') {
        sign = -1.0;
        next();
    } else if (cur == '+') {
        next();
    }
    bool seen = false;
    while (cur == '0') {
        seen = true;
        next();
    }
    while (digit()) {
        seen = true;
        r = std::fma(r, 10.0, static_cast<double>(cur - '0')); // one rounding
        next();
    }
    if (!seen) {
        ok = false;
        return;
    }
    if (!atEnd && cur == '.') {
        next();
        double q = 10.0;
        while (digit()) {
            r = r + static_cast<double>(cur - '0') / q;
            q = q * 10.0;
            next();
        }
    }
    r = r * sign;
    if (!atEnd && (cur == 'E' || cur == 'e')) {
        next();
        std::uint32_t x = 0;
        bool negative = false;
        if (!atEnd && cur == '-') {
            negative = true;
            next();
        } else if (!atEnd && cur == '+') {
            next();
        }
        while (digit()) {
            x = x * 10u + static_cast<std::uint32_t>(cur - '0'); // wraps, as unsigned does
            next();
        }
        for (int k = 8; k >= 0; --k) {
            std::uint32_t b = 1u << k;
            if (x >= b) {
                r = negative ? r / P[static_cast<std::size_t>(k)] : r * P[static_cast<std::size_t>(k)];
                x -= b;
            }
        }
    }
    value = r;
    if (!std::isfinite(r)) ok = false;
    if (!atEnd) --pos;
}

} // namespace runtime
