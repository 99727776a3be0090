// The errors the C++ runtime raises for a misused container (a string grown past its maximum
// size, a position past its end), thrown as an exception that carries the runtime's own text.
// The runtime's versions throw std::length_error and its siblings, whose classes keep their
// text in the old reference-counted string and bring all of it into the program (about 30 KB of
// a program kept under 256 KiB). Linked into the program only, as TerminateHandler.cpp is; the
// error box shows the same text either way. std::bad_alloc and the other exceptions without a
// text are thrown as they are.
#include <exception>
#include <new>
#include <typeinfo>

namespace {

class RuntimeError : public std::exception {
 public:
  explicit RuntimeError(const char* what) : what_(what) {}
  const char* what() const noexcept override { return what_; }

 private:
  const char* what_;  // the runtime passes literals
};

}  // namespace

namespace std {

void __throw_bad_exception() {
  throw bad_exception();
}
void __throw_bad_alloc() {
  throw bad_alloc();
}
void __throw_bad_array_new_length() {
  throw bad_array_new_length();
}
void __throw_bad_cast() {
  throw bad_cast();
}
void __throw_bad_typeid() {
  throw bad_typeid();
}
void __throw_logic_error(const char* what) {
  throw RuntimeError(what);
}
void __throw_domain_error(const char* what) {
  throw RuntimeError(what);
}
void __throw_invalid_argument(const char* what) {
  throw RuntimeError(what);
}
void __throw_length_error(const char* what) {
  throw RuntimeError(what);
}
void __throw_out_of_range(const char* what) {
  throw RuntimeError(what);
}
// The text is the format itself: its numbers are of use to a debugger only.
void __throw_out_of_range_fmt(const char* format, ...) {
  throw RuntimeError(format);
}
void __throw_runtime_error(const char* what) {
  throw RuntimeError(what);
}
void __throw_range_error(const char* what) {
  throw RuntimeError(what);
}
void __throw_overflow_error(const char* what) {
  throw RuntimeError(what);
}
void __throw_underflow_error(const char* what) {
  throw RuntimeError(what);
}

}  // namespace std
