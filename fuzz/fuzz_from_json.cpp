// Fuzz target for the JSON that `norvik from-json` takes.
#include "FromJsonCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string detail;
    if (!norvik_check::fromJsonKeepsItsPromise(std::string(reinterpret_cast<const char*>(data), size),
                                               detail)) {
        std::fprintf(stderr, "%s\n", detail.c_str());
        std::abort();
    }
    return 0;
}
