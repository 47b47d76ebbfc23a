// The rounding terms of the digit generators, shared by the general way
// (realtext.cpp) and the rendering lane (fastreal.cpp), so that both add the
// very same doubles.
#pragma once

#include <array>

namespace runtime {

// Rounding terms: R[0] = 0.5, R[k] = 0.5e-k + 1e-16 for k = 1 to 14, then
// 5e-16 and 5e-17. Added to a non-negative value before truncation, R[k]
// rounds it to k places; each entry is the double nearest the value written.
inline constexpr std::array<double, 17> R = {0.5,
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
                                             5e-17};

} // namespace runtime
