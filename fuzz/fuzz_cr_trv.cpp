// Feeds arbitrary bytes to the cross-section listing reader as the point-code form (".trv").
// A failure is fine; a crash, a hang, a leak or undefined behaviour is not.
#include "fuzz_cr_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    return vialto::fuzz::ReadAndRule(data, size, "TRV", false);
}
