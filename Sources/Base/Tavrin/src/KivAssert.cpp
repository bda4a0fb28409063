#include "KivAssert.h"

#include <atomic>
#include <cstdio>

namespace {

void printToStandardError(const wchar_t* condition, const wchar_t* file, unsigned int line)
{
    std::fprintf(stderr, "Assertion failed: %ls (%ls:%u)\n", condition ? condition : L"",
                 file ? file : L"", line);
}

std::atomic<KivAssert::Handler> currentHandler{&printToStandardError};

} // namespace

void KivAssert::kivAssert(const wchar_t* condition, const wchar_t* file, unsigned int line)
{
    const Handler handler = currentHandler.load();
    handler(condition, file, line);
}

KivAssert::Handler KivAssert::setHandler(Handler handler)
{
    return currentHandler.exchange(handler ? handler : &printToStandardError);
}
