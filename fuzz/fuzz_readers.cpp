// Fuzz target for the five readers. The first byte picks the kind; the rest
// is the file. A file must never crash a reader nor trip a contract check;
// read from a buffer and from a file it gives the same record and findings,
// in line order within the file's lines; read and written once, it must
// write back to the same bytes.
#include "RoundTripCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

void abortOnReport(const wchar_t* condition, const wchar_t* file, unsigned int line)
{
    std::fprintf(stderr, "contract violation: %ls (%ls:%u)\n", condition, file, line);
    std::abort();
}

std::string workBase()
{
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir ? dir : "/tmp") + "/norvik_fuzz_" + std::to_string(getpid());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool installed = (KivAssert::setHandler(&abortOnReport), true);
    (void)installed;
    if (size < 1)
        return 0;
    const int kind = 1 + data[0] % 5;
    const std::string base = workBase();
    const std::string input = base + ".in";
    FILE* file = std::fopen(input.c_str(), "wb");
    if (file == nullptr)
        return 0;
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);
    std::string detail;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (!norvik_check::bufferAndFileAgree(kind, bytes, input, base + "_agree", detail) ||
        !norvik_check::writeAfterReadIsStable(kind, input, base, detail)) {
        std::fprintf(stderr, "BL%d: %s\n", kind, detail.c_str());
        std::abort();
    }
    return 0;
}
