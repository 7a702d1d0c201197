#include "commandline.h"

#include "halvexversion.h"

#include <cstring>

namespace hvx {

namespace {

const char helpText[] = "Usage: halvex [--] [SETUP-FILE | PLANT-TABLE]\n"
                        "  or:  halvex --help | --version\n"
                        "Work out the DIP switch settings of the Halvex signal converter.\n"
                        "\n"
                        "Opens the main window. A setup file (.hvx) named on the command line is\n"
                        "opened at once; all arguments are joined by single blanks into its name,\n"
                        "so a path with blanks may be given unquoted. A plant table (CSV whose\n"
                        "first line names the columns \"file\" and \"input type\") named there opens\n"
                        "in the plant window instead, beside the main window: what opens where is\n"
                        "told by the file's content, not by its name.\n"
                        "\n"
                        "      --help     display this help and exit\n"
                        "      --version  output version information and exit\n"
                        "      --         end of options: what follows names the file even when it\n"
                        "                 starts with \"--\"\n"
                        "\n"
                        "Only the first argument is taken as an option.\n"
                        "Exit status is 0, 1 when the program could not start, and 2 for an\n"
                        "unknown option.\n"
                        "See also halvex-eval(1), which evaluates setup files and works a plant's\n"
                        "table without a window.\n";

} // namespace

std::optional<int> answerCommandLine(int &argc, char **argv, std::FILE *out, std::FILE *err)
{
    if (argc < 2 || std::strncmp(argv[1], "--", 2) != 0)
        return std::nullopt; // no arguments, or the setup file's name
    const char *arg = argv[1];
    if (std::strcmp(arg, "--") == 0) {
        // Drop the separator; the argument vector's end marker moves along.
        for (int j = 1; j < argc; ++j)
            argv[j] = argv[j + 1];
        --argc;
        return std::nullopt;
    }
    if (std::strcmp(arg, "--help") == 0) {
        std::fputs(helpText, out);
    } else if (std::strcmp(arg, "--version") == 0) {
        std::fputs("halvex " HALVEX_VERSION "\n", out);
    } else {
        std::fprintf(err, "halvex: unrecognized option '%s'\nTry 'halvex --help' for more information.\n", arg);
        return 2;
    }
    return std::fflush(out) == 0 ? 0 : 1;
}

} // namespace hvx
