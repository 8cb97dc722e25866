// What an exception nobody catches does in setup.exe: end the process as std::terminate's
// default does, without the library's verbose handler. That handler writes the exception's
// demangled type to stderr, which a GUI program does not have, and its demangler alone
// is about a tenth of the launcher. Linking this file keeps the library's handler out.
#include <cstdlib>
#include <exception>

void __gnu_cxx::__verbose_terminate_handler() { std::abort(); }
