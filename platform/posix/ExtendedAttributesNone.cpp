#include "ExtendedAttributes.h"

// A system without extended attributes (the WebAssembly build's) has none to
// keep.
bool KeepExtendedAttributes(int, const char*) {
    return true;
}
