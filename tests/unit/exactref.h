// Test-only exact reference for the digit generators: the fixed steps of
// FIXDIGITS and FLTDIGITS carried out literally on exact rationals (numerator
// and denominator as plain big integers), one division by 10 or by P[k] at a
// time, one truncated digit at a time. Slow and simple on purpose; it shares
// nothing with the production code but the step list.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace exactref {

// Unsigned big integer, little-endian 32-bit limbs, no leading zero limbs.
struct Nat {
    std::vector<std::uint32_t> w;

    Nat() = default;
    explicit Nat(std::uint64_t x) {
        while (x != 0) {
            w.push_back(static_cast<std::uint32_t>(x & 0xFFFFFFFFu));
            x >>= 32;
        }
    }
    void trim() {
        while (!w.empty() && w.back() == 0) w.pop_back();
    }
    bool zero() const { return w.empty(); }

    Nat& shl(unsigned bits) {
        if (zero()) return *this;
        unsigned limbs = bits / 32, rest = bits % 32;
        std::vector<std::uint32_t> r(limbs, 0);
        std::uint32_t carry = 0;
        for (std::uint32_t x : w) {
            r.push_back(rest == 0 ? x : (x << rest) | carry);
            carry = rest == 0 ? 0 : x >> (32 - rest);
        }
        if (carry != 0) r.push_back(carry);
        w = r;
        return *this;
    }
    Nat& mulSmall(std::uint32_t m) {
        std::uint64_t carry = 0;
        for (std::uint32_t& x : w) {
            std::uint64_t t = std::uint64_t{x} * m + carry;
            x = static_cast<std::uint32_t>(t & 0xFFFFFFFFu);
            carry = t >> 32;
        }
        if (carry != 0) w.push_back(static_cast<std::uint32_t>(carry));
        trim();
        return *this;
    }
    friend Nat operator*(const Nat& a, const Nat& b) {
        Nat r;
        if (a.zero() || b.zero()) return r;
        r.w.assign(a.w.size() + b.w.size(), 0);
        for (std::size_t i = 0; i < a.w.size(); ++i) {
            std::uint64_t carry = 0;
            for (std::size_t j = 0; j < b.w.size(); ++j) {
                std::uint64_t t = std::uint64_t{a.w[i]} * b.w[j] + r.w[i + j] + carry;
                r.w[i + j] = static_cast<std::uint32_t>(t & 0xFFFFFFFFu);
                carry = t >> 32;
            }
            r.w[i + b.w.size()] = static_cast<std::uint32_t>(carry);
        }
        r.trim();
        return r;
    }
    friend Nat operator+(const Nat& a, const Nat& b) {
        Nat r;
        std::size_t n = std::max(a.w.size(), b.w.size());
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < n; ++i) {
            std::uint64_t t = carry;
            if (i < a.w.size()) t += a.w[i];
            if (i < b.w.size()) t += b.w[i];
            r.w.push_back(static_cast<std::uint32_t>(t & 0xFFFFFFFFu));
            carry = t >> 32;
        }
        if (carry != 0) r.w.push_back(static_cast<std::uint32_t>(carry));
        return r;
    }
    // a - b for a >= b.
    friend Nat operator-(const Nat& a, const Nat& b) {
        Nat r = a;
        std::int64_t borrow = 0;
        for (std::size_t i = 0; i < r.w.size(); ++i) {
            std::int64_t t = std::int64_t{r.w[i]} - borrow - (i < b.w.size() ? b.w[i] : 0);
            borrow = t < 0 ? 1 : 0;
            r.w[i] = static_cast<std::uint32_t>(t + (borrow << 32));
        }
        r.trim();
        return r;
    }
    friend int cmp(const Nat& a, const Nat& b) {
        if (a.w.size() != b.w.size()) return a.w.size() < b.w.size() ? -1 : 1;
        for (std::size_t i = a.w.size(); i-- > 0;) {
            if (a.w[i] != b.w[i]) return a.w[i] < b.w[i] ? -1 : 1;
        }
        return 0;
    }
};

// A non-negative rational num / den.
struct Rat {
    Nat num{0};
    Nat den{1};
};

// The exact value of a finite non-negative double.
inline Rat ratOf(double v) {
    Rat r;
    if (v == 0.0) return r;
    int e = 0;
    double f = std::frexp(v, &e);                           // v = f * 2^e, f in [0.5, 1)
    auto m = static_cast<std::uint64_t>(std::ldexp(f, 53)); // exact: 53 bits
    e -= 53;
    r.num = Nat(m);
    if (e >= 0) {
        r.num.shl(static_cast<unsigned>(e));
    } else {
        r.den.shl(static_cast<unsigned>(-e));
    }
    return r;
}

inline Rat add(const Rat& a, const Rat& b) {
    return {a.num * b.den + b.num * a.den, a.den * b.den};
}
inline int cmp(const Rat& a, const Rat& b) { return cmp(a.num * b.den, b.num * a.den); }
inline Rat mul(const Rat& a, const Rat& b) { return {a.num * b.num, a.den * b.den}; }
inline Rat div(const Rat& a, const Rat& b) { return {a.num * b.den, a.den * b.num}; }
inline Rat small(std::uint32_t k) { return {Nat(k), Nat(1)}; }

// Takes off the truncated value (below 10 wherever the steps use it) and
// returns it.
inline unsigned takeTrunc(Rat& x) {
    unsigned d = 0;
    while (cmp(x.num, x.den) >= 0) {
        x.num = x.num - x.den;
        ++d;
    }
    return d;
}

// The tables, written here in scientific form: R[k] = 5e-(k+1) + 1e-16. That
// each entry is the double nearest its value is checked exactly in the tests.
inline const std::array<double, 17>& tableR() {
    static const std::array<double, 17> r = {5e-1,
                                             5.00000000000001e-2,
                                             5.0000000000001e-3,
                                             5.000000000001e-4,
                                             5.00000000001e-5,
                                             5.0000000001e-6,
                                             5.000000001e-7,
                                             5.00000001e-8,
                                             5.0000001e-9,
                                             5.000001e-10,
                                             5.00001e-11,
                                             5.0001e-12,
                                             5.001e-13,
                                             5.01e-14,
                                             5.1e-15,
                                             5e-16,
                                             5e-17};
    return r;
}
inline const std::array<double, 9>& tableP() {
    static const std::array<double, 9> p = {1e1, 1e2, 1e4, 1e8, 1e16, 1e32, 1e64, 1e128, 1e256};
    return p;
}

struct Out {
    std::string s;
    void emit(char c) {
        if (s.size() < 64) s.push_back(c);
    }
    bool full() const { return s.size() >= 64; }
};

inline char digitChar(unsigned d) { return static_cast<char>('0' + d); }

inline std::string fixdigits(double v, std::int32_t places) {
    Out out;
    if (v == 0.0) {
        out.emit('0');
        if (places > 0) out.emit('.');
        for (std::int32_t i = 0; i < places && !out.full(); ++i) out.emit('0');
        return out.s;
    }
    if (!std::isfinite(v)) return "Infinite";
    if (v < 0) {
        out.emit('-');
        v = -v;
    }
    Rat x = ratOf(v);
    if (places <= 16) x = add(x, ratOf(tableR()[static_cast<std::size_t>(std::max(places, 0))]));
    std::int64_t ndig = 1;
    while (cmp(x, small(10)) >= 0) {
        x.den.mulSmall(10);
        ++ndig;
    }
    // A digit shown as 0 is still taken off, but nothing after it is shown
    // from it, so the remaining steps are skipped.
    bool computing = true;
    auto step = [&](bool shown) {
        if (!computing || !shown) {
            computing = false;
            return '0';
        }
        unsigned d = takeTrunc(x);
        x.num.mulSmall(10);
        return digitChar(d);
    };
    for (std::int64_t i = 1; i <= ndig; ++i) out.emit(step(i < 15));
    if (places >= 0) {
        out.emit('.');
        for (std::int64_t c = ndig; c < ndig + places && !out.full(); ++c) out.emit(step(c < 15));
    }
    return out.s;
}

inline std::string fltdigits(double v, std::uint32_t n) {
    Out out;
    if (v == 0.0) {
        out.emit('0');
        out.emit('.');
        for (std::uint32_t i = 1; i < n && !out.full(); ++i) out.emit('0');
        for (char c : std::string("E+000")) out.emit(c);
        return out.s;
    }
    if (!std::isfinite(v)) return "Infinite";
    if (n == 0) n = 15;
    if (v < 0) {
        out.emit('-');
        v = -v;
    }
    Rat x = ratOf(v);
    std::int32_t e = 0;
    if (cmp(x, small(10)) >= 0) {
        for (int k = 8; k >= 0; --k) {
            Rat p = ratOf(tableP()[static_cast<std::size_t>(k)]);
            if (cmp(p, x) < 0) {
                x = div(x, p);
                e += 1 << k;
            }
        }
    } else if (cmp(x, small(1)) < 0) {
        for (int k = 8; k >= 0; --k) {
            Rat p = ratOf(tableP()[static_cast<std::size_t>(k)]);
            if (!(cmp(div(small(1), p), x) < 0)) {
                x = mul(x, p);
                e -= 1 << k;
            }
        }
        if (cmp(x, small(1)) < 0) {
            x.num.mulSmall(10);
            e -= 1;
        }
    }
    if (n >= 1 && n <= 17) x = add(x, ratOf(tableR()[n - 1]));
    if (cmp(x, small(10)) >= 0) {
        x.den.mulSmall(10);
        e += 1;
    }
    auto step = [&] {
        unsigned d = takeTrunc(x);
        x.num.mulSmall(10);
        return digitChar(d);
    };
    out.emit(step());
    if (n > 1) {
        out.emit('.');
        for (std::uint32_t i = 1; i < n && !out.full(); ++i) out.emit(step());
    }
    out.emit('E');
    out.emit(e < 0 ? '-' : '+');
    unsigned ae = static_cast<unsigned>(e < 0 ? -e : e);
    out.emit(digitChar(ae / 100 % 10));
    out.emit(digitChar(ae / 10 % 10));
    out.emit(digitChar(ae % 10));
    return out.s;
}

} // namespace exactref
