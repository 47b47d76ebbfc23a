// Fuzz target: both tokenizers on an arbitrary line driven by a script of
// every operation they offer; the property is tokenizer_property.h's.
#include "tokenizer_property.h"

#include "runtime/console.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzcheck::catchFailureReports();
    runtime::conUseMemory({});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzprop::tokenizer::check(data, size);
    return 0;
}
