// Line editing when the build has no libedit: never on. The console then
// reads plain lines on a terminal too, as it does from a pipe.
#include "runtime/lineedit.h"

namespace runtime {

bool editStart() { return false; }

bool editReady() { return false; }

bool editRead(std::span<const char>, std::span<const char>& text) {
    text = {};
    return false;
}

} // namespace runtime
