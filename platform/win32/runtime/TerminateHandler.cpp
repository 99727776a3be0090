// The handler std::terminate calls: the runtime's own one names the exception on stderr, which
// a GUI program does not have, and brings in the C++ demangler and a printf with it (about a
// quarter of the program). Linked into the program itself, so that the runtime's stays out.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
  std::abort();
}

}  // namespace __gnu_cxx
