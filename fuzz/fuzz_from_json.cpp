// Fuzz target for the JSON that `norvik from-json` takes. Any input must be
// either refused with a reason or give a record whose JSON comes back unchanged.
#include "JsonRecord.h"

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string error;
    const auto record = norvik::fromJsonText(std::string(reinterpret_cast<const char*>(data), size), error);
    if (!record) {
        if (error.empty()) {
            std::fprintf(stderr, "refused without a reason\n");
            std::abort();
        }
        return 0;
    }
    const norvik::Json json = norvik::toJson(*record);
    const auto again = norvik::fromJson(json, error);
    if (!again || norvik::toJson(*again) != json) {
        std::fprintf(stderr, "JSON of a record did not come back: %s\n", error.c_str());
        std::abort();
    }
    return 0;
}
