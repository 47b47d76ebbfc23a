// FIXDIGITS and FLTDIGITS the general way, for every value.
//
// The digit generators follow the fixed steps (add the rounding term R[k],
// count or scale away the integer digits, truncate digit after digit), but
// each step is carried out on the exact value: plain double arithmetic shows
// whole numbers as ...99999 and puts some of them in the wrong number of
// digits. The values are held as exact sums of doubles (realtext/expansion.h)
// and their digits read off in chunks that are guessed in double arithmetic
// and confirmed by exact comparison (realtext/decdigits.h), so no rounding
// error ever reaches the text.
#include "realtext/realdigits.h"
#include "realtext/realtables.h"

#include <cmath>
#include <string_view>

namespace realtext::digits {

using exact::compare;
using exact::DigitSource;
using exact::Expansion;
using exact::intDigits;

void fixDigitsGeneral(double v, std::int32_t places, Area& out) {
    if (v == 0.0) {
        out.emit('0');
        if (places > 0) out.emit('.');
        for (std::int32_t i = 0; i < places && !out.full(); ++i) out.emit('0');
        return;
    }
    if (!std::isfinite(v)) {
        infinite(out);
        return;
    }
    if (v < 0) {
        out.emit('-');
        v = -v;
    }
    // x = v + R[places], exactly; for places above 16 nothing is added.
    const double unit = unitFor(v);
    Expansion x(v * unit);
    if (places <= 16) x.add(R[static_cast<std::size_t>(places < 0 ? 0 : places)] * unit);

    // Dividing x by 10 until it is below 10 leaves x / 10^(ndig-1); the digit
    // steps then read off its decimal digits, the first few of them computed.
    Expansion low;
    const std::int32_t ndig = intDigits(x, unit, low);
    const std::int64_t shown = std::int64_t{ndig} + (places > 0 ? places : 0);
    std::int64_t computed = shown < kFixAllComputed ? shown : kFixAllComputed;
    if (ndig > kFixIntComputed) computed = kFixIntComputed;
    DigitSource digits(x, low, static_cast<std::uint64_t>(computed));

    for (std::int32_t i = 1; i <= ndig && !out.full(); ++i) out.emit(digits.next());
    if (places >= 0) {
        out.emit('.');
        for (std::int32_t i = 0; i < places && !out.full(); ++i) out.emit(digits.next());
    }
}

void fltDigitsGeneral(double v, std::uint32_t n, Area& out) {
    if (v == 0.0) {
        out.emit('0');
        out.emit('.');
        for (std::uint32_t i = 1; i < n && !out.full(); ++i) out.emit('0');
        for (char c : std::string_view("E+000")) out.emit(c);
        return;
    }
    if (!std::isfinite(v)) {
        infinite(out);
        return;
    }
    if (n == 0) n = 15;
    if (v < 0) {
        out.emit('-');
        v = -v;
    }

    // The value being scaled is a / b, held exactly. Every comparison of the
    // scaling steps is made on it, not on a rounded quotient or product.
    Expansion a(v);
    Expansion b(1.0);
    std::int32_t e = 0;
    if (v >= 10) {
        // Both scaled by 2^-exponent(v), so that P[k] * b never overflows.
        const int ev = std::ilogb(v);
        a = Expansion(std::ldexp(v, -ev));
        b = Expansion(std::ldexp(1.0, -ev));
        for (int k = 8; k >= 0; --k) {
            const double pk = P[static_cast<std::size_t>(k)];
            Expansion pb = b;
            pb.scale(pk);
            if (compare(pb, a) < 0) { // P[k] < a / b: divide by P[k]
                b = pb;
                e += 1 << k;
            }
        }
    } else if (v < 1) {
        const Expansion one(1.0);
        for (int k = 8; k >= 0; --k) {
            const double pk = P[static_cast<std::size_t>(k)];
            Expansion pa = a;
            pa.scale(pk);
            if (compare(pa, one) <= 0) { // 1 / P[k] is not less than a: multiply by P[k]
                a = pa;
                e -= 1 << k;
            }
        }
        if (compare(a, one) < 0) {
            a.scale(10.0);
            e -= 1;
        }
    }
    if (n <= 17) { // a / b + R[n-1] = (a + R[n-1] * b) / b
        Expansion rb = b;
        rb.scale(R[n - 1]);
        a.add(rb);
    }
    Expansion tenB = b;
    tenB.scale(10.0);
    if (compare(a, tenB) >= 0) {
        b = tenB;
        e += 1;
    }

    DigitSource digits(a, b, n);
    out.emit(digits.next());
    if (n > 1) {
        out.emit('.');
        for (std::uint32_t i = 1; i < n && !out.full(); ++i) out.emit(digits.next());
    }
    emitExponent(out, e);
}

} // namespace realtext::digits
