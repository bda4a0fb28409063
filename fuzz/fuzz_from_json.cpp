// Fuzz target for the JSON that `norvik from-json` takes. Any input must be
// either refused with a reason or give a record whose JSON comes back unchanged
// and that the record check goes through. The same bytes go through the
// tool's kind detection, which reads files of unknown kind.
#include "JsonRecord.h"
#include "Library.h"

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    (void)norvik::detectKind(bytes);
    std::string error;
    const auto record = norvik::fromJsonText(bytes, error);
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
    for (const norvik::CheckItem& item : norvik::recordCheck(*record)) {
        if (item.path.empty() || item.code.empty()) {
            std::fprintf(stderr, "a record check item without a field or code\n");
            std::abort();
        }
    }
    return 0;
}
