#pragma once

// Symbol visibility of the base library: everything is hidden unless marked.
#if defined(_WIN32)
#  if defined(TAVRIN_BUILDING)
#    define TAVRIN_API __declspec(dllexport)
#  else
#    define TAVRIN_API __declspec(dllimport)
#  endif
#elif defined(__GNUC__)
#  define TAVRIN_API __attribute__((visibility("default")))
#else
#  define TAVRIN_API
#endif
