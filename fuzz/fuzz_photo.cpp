// libFuzzer entry point: see fuzz_inputs.h for what one input does.
#include <cstdlib>

#include "fuzz/fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!fuzz_inputs::runPhotoInput(data, size)) std::abort();
    return 0;
}
