#include "KivAssert.h"

#include <atomic>
#include <cstdio>

namespace {

void printToStandardError(const wchar_t* condition, const wchar_t* file, unsigned int line)
{
    std::fprintf(stderr, "Assertion failed: %ls (%ls:%u)\n", condition != nullptr ? condition : L"",
                 file != nullptr ? file : L"", line);
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
    return currentHandler.exchange(handler != nullptr ? handler : &printToStandardError);
}
