// What std::terminate does in the program: libstdc++'s default handler, minus
// the demangler. Theirs prints the uncaught exception's type in readable form
// through the C++ name demangler, which with the printf it needs is about a
// seventh of the program. Defining the handler here keeps the library's copy,
// and with it the demangler, out of the link; the type is printed as the
// compiler names it ("St9bad_alloc" for std::bad_alloc).
// Like WinMain.cpp, an object of the executable itself: only then is it linked
// before the library's copy is looked for.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <typeinfo>

#include <cxxabi.h>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    // A second call means printing failed by throwing; give up at once.
    static bool terminating = false;
    if (terminating) {
        std::fputs("terminate called recursively\n", stderr);
        std::abort();
    }
    terminating = true;
    if (const std::type_info* type = abi::__cxa_current_exception_type()) {
        std::fputs("terminate called after throwing an instance of '", stderr);
        std::fputs(type->name(), stderr);
        std::fputs("'\n", stderr);
        try {
            throw;
        } catch (const std::exception& e) {
            std::fputs("  what():  ", stderr);
            std::fputs(e.what(), stderr);
            std::fputs("\n", stderr);
        } catch (...) {
        }
    } else {
        std::fputs("terminate called without an active exception\n", stderr);
    }
    std::abort();
}

}  // namespace __gnu_cxx
