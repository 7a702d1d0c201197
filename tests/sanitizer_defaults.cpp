// Linked into every program of a sanitizer build: leak checking is on.
// Allocation stacks are taken the fast way (frame pointers); the leak
// suppressions for system libraries match on the frames nearest to the
// allocation, which that way of unwinding finds as well. A test whose
// suppressions need the whole stack sets fast_unwind_on_malloc=0 in its own
// environment (halvex_add_test ... ENVIRONMENT). Options given in the
// environment override these.

extern "C" const char *__asan_default_options() { return "detect_leaks=1"; }

extern "C" const char *__lsan_default_options()
{
    return "suppressions=" HALVEX_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

extern "C" const char *__ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
