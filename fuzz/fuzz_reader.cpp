// Fuzz target for the reader of one kind (NORVIK_FUZZ_KIND, 1 to 5): the
// input is the file. No input may crash the reader or trip a contract check;
// read from a buffer and from a file it gives the same result, record and
// findings, the findings in line order within the file's lines; and what is
// read writes back to the same bytes once normalised by a write.
#include "FuzzSupport.h"
#include "RoundTripCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    norvik_fuzz::abortOnContractViolation();
    std::string detail;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (!norvik_check::readerKeepsItsPromises(NORVIK_FUZZ_KIND, bytes, norvik_fuzz::workBase(), detail)) {
        std::fprintf(stderr, "BL%d: %s\n", NORVIK_FUZZ_KIND, detail.c_str());
        std::abort();
    }
    return 0;
}
