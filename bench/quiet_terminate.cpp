// The runtime's default terminate handler demangles the type name of the exception for
// its message, and so links the whole demangler. A GUI program has no console for that
// message; replacing the handler keeps the demangler out.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    std::abort();
}

}  // namespace __gnu_cxx
