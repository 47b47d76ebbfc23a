// TEXTTOREAL over characters handed in one at a time, for a number text that
// does not fit its buffer: the tokenizer keeps 255 characters of a number
// behind its "0", yet every digit, the fraction's and the exponent's
// included, must count. Each step rounds to double exactly as TEXTTOREAL's
// does (the same digit steps and the same scaling), so on a text that fits
// the two give the same value; tests compare them.
#pragma once

#include "realtext/realtext.h"

#include <cstdint>

namespace realtext {

// The reading starts at the number's first digit: blanks and a sign in
// front of it are the caller's. Characters after the end of the number
// (what TEXTTOREAL would leave unread) are ignored.
class RealStream {
  public:
    void put(char c) {
        const bool digit = c >= '0' && c <= '9';
        const double d = static_cast<double>(c - '0');
        switch (phase) {
        case Phase::whole:
            if (digit) {
                digits.beforePoint(d);
                return;
            }
            if (c == '.') {
                phase = Phase::fraction;
                return;
            }
            break;
        case Phase::fraction:
            if (digit) {
                digits.afterPoint(d);
                return;
            }
            break;
        case Phase::exponentSign:
            if (c == '-' || c == '+') {
                down = c == '-';
                phase = Phase::exponent;
                return;
            }
            phase = Phase::exponent;
            [[fallthrough]];
        case Phase::exponent:
            if (digit) {
                // From 511 up the scaling is 10^511 in all, as TEXTTOREAL's.
                if (exponent < kTenExpCap)
                    exponent = exponent * 10u + static_cast<std::uint32_t>(d);
                return;
            }
            phase = Phase::done;
            return;
        case Phase::done:
            return;
        }
        // The whole or fraction digits have ended.
        phase = (c == 'E' || c == 'e') ? Phase::exponentSign : Phase::done;
    }

    // The value read; ok is false when it is an infinity. A text with no
    // digit reads as 0 here: the caller hands in at least one.
    void result(double& value, bool& ok) const {
        value = scaleByTen(digits.r, exponent, down);
        ok = std::isfinite(value);
    }

  private:
    enum class Phase : std::uint8_t { whole, fraction, exponentSign, exponent, done };
    RealFromDigits digits;
    Phase phase = Phase::whole;
    std::uint32_t exponent = 0;
    bool down = false; // a "-" after the "E"
};

} // namespace realtext
