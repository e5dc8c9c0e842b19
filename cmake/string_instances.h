// Included ahead of every source of the Windows builds. The C++ library
// declares its std::string and std::wstring instantiations extern, so a
// static program links every member of both (some 70 KB) for the few it
// uses; with the declarations off, each program instantiates only what it
// calls.
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
