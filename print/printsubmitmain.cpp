// halvex-print-submit: sends one finished document file to a printer of the
// print system through its client library, and nothing else.
//
//   halvex-print-submit PRINTER FILE TITLE [NAME=VALUE]...
//
// Each job option is split at its first '='. The window program runs this
// when it prints, so that the client library and the many libraries it
// brings along are loaded only for a print job, never at the program's
// start. Exit status: 0 when the print server accepted the job; 1 when it
// did not, with the print system's reason on standard error; 64 for wrong
// usage.

#include <cups/cups.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int ExitRefused = 1;
constexpr int ExitUsage = 64;

int usage()
{
    std::fputs("usage: halvex-print-submit PRINTER FILE TITLE [NAME=VALUE]...\n", stderr);
    return ExitUsage;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4 || !*argv[1] || !*argv[2])
        return usage();

    int count = 0;
    cups_option_t *options = nullptr;
    for (int i = 4; i < argc; ++i) {
        const char *equals = std::strchr(argv[i], '=');
        if (!equals || equals == argv[i]) {
            cupsFreeOptions(count, options);
            return usage();
        }
        const std::string name(argv[i], static_cast<size_t>(equals - argv[i]));
        count = cupsAddOption(name.c_str(), equals + 1, count, &options);
    }

    const int job = cupsPrintFile(argv[1], argv[2], argv[3], count, options);
    cupsFreeOptions(count, options);
    if (job <= 0) {
        const char *reason = cupsLastErrorString();
        std::fprintf(stderr, "%s\n", reason ? reason : "");
        return ExitRefused;
    }
    return 0;
}
