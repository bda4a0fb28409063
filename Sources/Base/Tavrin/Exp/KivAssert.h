#pragma once

#include "TavrinApi.h"

// Reports violated contracts. The caller goes on after the report.
class TAVRIN_API KivAssert
{
public:
    using Handler = void (*)(const wchar_t* condition, const wchar_t* file, unsigned int line);

    static void kivAssert(const wchar_t* condition, const wchar_t* file, unsigned int line);

    // Installs the report function and returns the previous one; null restores
    // the default, which prints one line to standard error. Thread-safe.
    static Handler setHandler(Handler handler);
};

#define KIV_WIDEN2(x) L##x
#define KIV_WIDEN(x) KIV_WIDEN2(x)
#define KIV_ASSERT(cond)                                                                                     \
  ((cond) ? (void)0 : KivAssert::kivAssert(KIV_WIDEN(#cond), KIV_WIDEN(__FILE__), __LINE__))
#define KIV_REPORT(text) KivAssert::kivAssert(L##text, KIV_WIDEN(__FILE__), __LINE__)
