// halvex-print-submit: sends one finished document file to a printer of the
// print system through its client library, and nothing else.
//
//   halvex-print-submit [-i INSTANCE] [-t SECONDS] PRINTER FILE TITLE [NAME=VALUE]...
//
// Each job option is split at its first '='. The options the user keeps for
// the printer (for INSTANCE of it with -i) go with the job too, under the
// ones given here. -t: the print server is given up on when it says nothing
// for SECONDS (default 60). The window program runs this when it prints, so
// that the client library and the many libraries it brings along are loaded
// only for a print job, never at the program's start. Exit status: 0 when
// the print server accepted the job; 1 when it did not, with the reason on
// standard error; 64 for wrong usage.

#include <cups/cups.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int ExitRefused = 1;
constexpr int ExitUsage = 64;

int usage()
{
    std::fputs("usage: halvex-print-submit [-i INSTANCE] [-t SECONDS] PRINTER FILE TITLE [NAME=VALUE]...\n", stderr);
    return ExitUsage;
}

struct Arguments {
    const char *instance = nullptr;
    int timeout = 60;
    int first = 1; // PRINTER
};

bool parseSwitches(int argc, char **argv, Arguments *a)
{
    while (a->first + 1 < argc && argv[a->first][0] == '-' && std::strlen(argv[a->first]) == 2) {
        const char *value = argv[a->first + 1];
        switch (argv[a->first][1]) {
        case 'i':
            if (!*value)
                return false;
            a->instance = value;
            break;
        case 't': {
            char *end = nullptr;
            const long seconds = std::strtol(value, &end, 10);
            if (!*value || *end || seconds < 1 || seconds > 86400)
                return false;
            a->timeout = static_cast<int>(seconds);
            break;
        }
        default:
            return false;
        }
        a->first += 2;
    }
    return true;
}

struct Silence {
    bool ended = false;
};

// Called when the server has said nothing for the whole timeout: give up.
int giveUp(http_t *, void *data)
{
    static_cast<Silence *>(data)->ended = true;
    return 0;
}

// The job on printer, with the options the user keeps for it (or for its
// instance) under those given; its number, or 0 with the reason in why.
int sendJob(http_t *http, const Silence &silence, const char *printer, const char *instance, char **fileAndTitle,
            int *count, cups_option_t **options, std::string *why)
{
    // One question first, on this connection alone: when the server does not
    // answer it, the lookup below would ask again on connections of the
    // library's own, each with the library's long timeout.
    ippDelete(cupsDoRequest(http, ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/"));
    if (silence.ended)
        return 0;

    cups_dest_t *dest = cupsGetNamedDest(http, printer, instance);
    if (!dest) {
        if (!silence.ended)
            *why = std::string("The print server knows no printer ") + printer + '.';
        return 0;
    }
    for (int i = 0; i < dest->num_options; ++i)
        if (!cupsGetOption(dest->options[i].name, *count, *options))
            *count = cupsAddOption(dest->options[i].name, dest->options[i].value, *count, options);
    cupsFreeDests(1, dest);
    const int job = cupsPrintFile2(http, printer, fileAndTitle[0], fileAndTitle[1], *count, *options);
    if (job <= 0)
        *why = cupsLastErrorString() ? cupsLastErrorString() : "";
    return job;
}

int refuse(const char *reason)
{
    std::fprintf(stderr, "%s\n", reason ? reason : "");
    return ExitRefused;
}

} // namespace

int main(int argc, char **argv)
{
    Arguments a;
    if (!parseSwitches(argc, argv, &a) || argc - a.first < 3 || !*argv[a.first] || !*argv[a.first + 1])
        return usage();
    const char *printer = argv[a.first];

    int count = 0;
    cups_option_t *options = nullptr;
    for (int i = a.first + 3; i < argc; ++i) {
        const char *equals = std::strchr(argv[i], '=');
        if (!equals || equals == argv[i]) {
            cupsFreeOptions(count, options);
            return usage();
        }
        const std::string name(argv[i], static_cast<size_t>(equals - argv[i]));
        count = cupsAddOption(name.c_str(), equals + 1, count, &options);
    }

    http_t *http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, a.timeout * 1000,
                                nullptr);
    if (!http) {
        cupsFreeOptions(count, options);
        return refuse("The print server could not be reached.");
    }
    Silence silence;
    httpSetTimeout(http, a.timeout, giveUp, &silence);
    std::string why;
    const int job = sendJob(http, silence, printer, a.instance, argv + a.first + 1, &count, &options, &why);
    cupsFreeOptions(count, options);
    httpClose(http);
    if (job > 0)
        return 0;
    if (silence.ended)
        why = "The print server gave no answer for " + std::to_string(a.timeout) + " seconds.";
    return refuse(why.c_str());
}
