#pragma once

// Symbol visibility of the library: everything is hidden unless marked.
#if defined(_WIN32)
#  if defined(NORVIKEXPORT_BUILDING)
#    define NORVIK_API __declspec(dllexport)
#  else
#    define NORVIK_API __declspec(dllimport)
#  endif
#elif defined(__GNUC__)
#  define NORVIK_API __attribute__((visibility("default")))
#else
#  define NORVIK_API
#endif
