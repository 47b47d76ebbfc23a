// Error-free double arithmetic for the real text conversion (internal).
//
// twoSum and twoProd split a sum or a product of two doubles into the rounded
// result and its exact error. An Expansion holds a real number exactly as a
// sum of doubles: nonoverlapping components in increasing magnitude, zeros
// removed, so its sign is the sign of its largest component. Adding a double,
// adding an expansion and multiplying by a double are exact; nothing is
// allocated (the components live in a fixed array).
//
// The algorithms are the classic ones for round-to-nearest binary arithmetic
// (grow, scale and compress an expansion). They stay exact as long as nothing
// overflows and every product is a multiple of the smallest subnormal (true
// when one factor is an integer or both are far from the bottom of the range);
// the callers keep to that.
#pragma once

#include "runtime/failure.h"

#include <array>
#include <cmath>
#include <cstddef>

namespace realtext::exact {

struct Pair {
    double hi;
    double lo;
};

// a + b == hi + lo exactly, hi the rounded sum.
inline Pair twoSum(double a, double b) {
    double s = a + b;
    double bv = s - a;
    double av = s - bv;
    return {s, (a - av) + (b - bv)};
}

// a + b == hi + lo exactly when |a| >= |b| (or a is 0).
inline Pair fastTwoSum(double a, double b) {
    double s = a + b;
    return {s, b - (s - a)};
}

// a * b == hi + lo exactly, hi the rounded product.
inline Pair twoProd(double a, double b) {
    double p = a * b;
    return {p, std::fma(a, b, -p)};
}

class Expansion {
  public:
    // Room for the widest value the conversions build: the exact value of a
    // subnormal times powers of ten spans some 1130 bits, which compressed
    // takes 25 to 35 components. Running out is a failure, never a wrong digit.
    static constexpr std::size_t kMaxTerms = 64;

    Expansion() = default;
    explicit Expansion(double x) { add(x); }
    // Copies carry only the components in use.
    Expansion(const Expansion& e) : n(e.n) { copyFrom(e); }
    Expansion& operator=(const Expansion& e) {
        n = e.n;
        copyFrom(e);
        return *this;
    }
    ~Expansion() = default;

    // this += b, exactly.
    void add(double b) {
        if (n == kMaxTerms) compress();
        if (n == kMaxTerms) overflow();
        double q = b;
        std::size_t out = 0;
        for (std::size_t i = 0; i < n; ++i) {
            Pair s = twoSum(q, c[i]);
            q = s.hi;
            if (s.lo != 0.0) c[out++] = s.lo;
        }
        if (q != 0.0) c[out++] = q;
        n = out;
    }

    void add(const Expansion& e) {
        for (std::size_t i = 0; i < e.n; ++i) add(e.c[i]);
    }
    void sub(const Expansion& e) {
        for (std::size_t i = 0; i < e.n; ++i) add(-e.c[i]);
    }

    // this *= b, exactly.
    void scale(double b) {
        if (n == 0) return;
        std::array<double, 2 * kMaxTerms> h; // only the first hn are ever read
        std::size_t hn = 0;
        Pair p = twoProd(c[0], b);
        double q = p.hi;
        if (p.lo != 0.0) h[hn++] = p.lo;
        for (std::size_t i = 1; i < n; ++i) {
            Pair t = twoProd(c[i], b);
            Pair s = twoSum(q, t.lo);
            if (s.lo != 0.0) h[hn++] = s.lo;
            Pair f = fastTwoSum(t.hi, s.hi);
            if (f.lo != 0.0) h[hn++] = f.lo;
            q = f.hi;
        }
        if (q != 0.0) h[hn++] = q;
        hn = compress(h, hn);
        if (hn > kMaxTerms) overflow();
        for (std::size_t i = 0; i < hn; ++i) c[i] = h[i];
        n = hn;
    }

    // -1, 0 or +1 as the exact value is negative, zero or positive.
    int sign() const {
        if (n == 0) return 0;
        return c[n - 1] > 0.0 ? 1 : -1;
    }

    // The value rounded (to within a few units in the last place).
    double approx() const {
        double s = 0.0;
        for (std::size_t i = 0; i < n; ++i) s += c[i];
        return s;
    }

  private:
    // Renormalizes e[0..m) in place so that fewer, larger components carry
    // the same value; returns the new count.
    template <std::size_t N> static std::size_t compress(std::array<double, N>& e, std::size_t m) {
        if (m == 0) return 0;
        std::size_t bottom = m - 1;
        double q = e[bottom];
        for (std::size_t i = m - 1; i-- > 0;) {
            Pair s = fastTwoSum(q, e[i]);
            if (s.lo != 0.0) {
                e[bottom--] = s.hi;
                q = s.lo;
            } else {
                q = s.hi;
            }
        }
        std::size_t top = 0;
        for (std::size_t i = bottom + 1; i < m; ++i) {
            Pair s = fastTwoSum(e[i], q);
            if (s.lo != 0.0) e[top++] = s.lo;
            q = s.hi;
        }
        e[top++] = q;
        return top;
    }
    void compress() { n = compress(c, n); }
    void copyFrom(const Expansion& e) {
        for (std::size_t i = 0; i < n; ++i) c[i] = e.c[i];
    }

    [[noreturn]] static void overflow() {
        constexpr char text[] = "Expansion capacity exceeded in real text conversion";
        runtime::RAISEFAIL(text);
    }

    std::array<double, kMaxTerms> c; // only the first n are ever read
    std::size_t n = 0;
};

} // namespace realtext::exact
