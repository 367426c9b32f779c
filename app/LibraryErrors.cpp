// How the C++ library's string and allocator code raises its errors, for this program.
//
// libstdc++ keeps all of its __throw_* helpers in one object, which links in its exception
// classes and with them a second, copy-on-write string implementation: some 70 KB of a
// program whose whole code is smaller. The menu meets only these four; defined here, the
// linker takes them instead of the library's (GCC with libstdc++ linked statically).
#include <exception>
#include <new>

namespace std {

// A failed allocation, a new[] of impossible size, or a string longer than can be allocated:
// all are out of memory to the menu, which shows its "not enough memory" warning for them.
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_length_error(const char*) { throw bad_alloc(); }

// A string made from a null pointer: a programming error, never a user's. Raised all the same,
// so that the launcher reports an unexpected error rather than the program vanishing.
void __throw_logic_error(const char*) { throw exception(); }

}  // namespace std
