// Fuzz target for the writer: the first byte picks the kind, the rest is
// decoded into records (see RecordDecoder.h and writerKeepsItsPromises).
#include "FuzzSupport.h"
#include "RoundTripCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    norvik_fuzz::abortOnContractViolation();
    if (size < 1)
        return 0;
    const int kind = 1 + data[0] % 5;
    std::string detail;
    if (!norvik_check::writerKeepsItsPromises(kind, data + 1, size - 1, norvik_fuzz::workBase(), detail)) {
        std::fprintf(stderr, "BL%d: %s\n", kind, detail.c_str());
        std::abort();
    }
    return 0;
}
