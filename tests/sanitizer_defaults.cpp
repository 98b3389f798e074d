// Sanitizer defaults of the test programs in the sanitizer build (options
// given in the environment still win).
//
// clang 14's leak checker tracks the thread-local blocks that glibc gives
// dlopen'd libraries (Mesa's GL driver, its LLVM) by intercepting
// __tls_get_addr, and sizes each block from a header layout older glibc
// versions had. With glibc 2.36 a block that happens to start 16 bytes into
// a page is then read as starting near address 0, and the checker's tracer
// crashes scanning it at exit ("Tracer caught signal 11"), whichever test
// drew with GL. Untracked, the blocks are plain heap blocks reachable from
// glibc's own thread-local table, and the scan stays sound.
extern "C" __attribute__((visibility("default"), used)) const char* __asan_default_options() {
    return "intercept_tls_get_addr=0";
}
