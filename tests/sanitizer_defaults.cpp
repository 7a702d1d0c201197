// Linked into every program of a sanitizer build: leak checking is on, with
// full stacks so that the suppressions for system libraries match reliably.
// Options given in the environment still override these.

extern "C" const char *__asan_default_options()
{
    return "detect_leaks=1:fast_unwind_on_malloc=0";
}

extern "C" const char *__lsan_default_options()
{
    return "suppressions=" HALVEX_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

extern "C" const char *__ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}
