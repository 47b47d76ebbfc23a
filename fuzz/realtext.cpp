// Fuzz target: the real text conversions on arbitrary input. The properties
// are those of realtext_checks.h, which the unit tests run as well.
#include "realread_checks.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzcheck::freshStart();
    fuzzcheck::catchFailureReports();
    runtime::conUseMemory({});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    realtextcheck::checkInput(data, size);
    return 0;
}
