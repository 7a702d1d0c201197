// Start-up time of the program against two yardsticks: the time from starting
// the process to the mapping of its first top-level window, on a virtual X
// server of its own. The yardsticks are a bare Qt main window, which loads no
// fonts and so lies below any real window, and the smallest main window that
// shows text (a menu, a label and an edit box), the floor the program is
// measured against.
//
//   halvex-bench-startup [--runs N] [BARE-PROGRAM TEXT-PROGRAM PROGRAM [ARGS...]]
//
// The three programs run in turns (so that other load on the machine affects
// all alike), each N times (default 21) after one warm-up run; the medians and
// the program's ratios to both yardsticks are printed, and beside them the
// processor time each process had used by then (all its threads), which other
// load on the machine disturbs far less than the elapsed time.

#include <xcb/xcb.h>

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void die(const std::string &message)
{
    std::fprintf(stderr, "halvex-bench-startup: %s\n", message.c_str());
    std::exit(1);
}

// Starts Xvfb on a display number it picks itself; returns the display name.
std::string startXvfb(pid_t &pid)
{
    int fds[2];
    if (pipe(fds) != 0)
        die("no pipe");
    pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
               static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty())
        die("Xvfb did not start (is it installed?)");
    return ":" + number;
}

pid_t launch(const std::vector<std::string> &command, const std::string &display)
{
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("DISPLAY", display.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        std::vector<char *> argv;
        for (const std::string &a : command)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

xcb_atom_t pidAtom(xcb_connection_t *c)
{
    static xcb_atom_t atom = XCB_NONE;
    if (atom == XCB_NONE) {
        const char name[] = "_NET_WM_PID";
        xcb_intern_atom_reply_t *r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
        if (!r)
            die("no _NET_WM_PID atom");
        atom = r->atom;
        std::free(r);
    }
    return atom;
}

// The process that owns a window, as the window tells (0 when it does not).
pid_t windowPid(xcb_connection_t *c, xcb_window_t window)
{
    xcb_get_property_reply_t *r = xcb_get_property_reply(c,
                                                         xcb_get_property(c, 0, window, pidAtom(c), XCB_ATOM_CARDINAL,
                                                                          0, 1),
                                                         nullptr);
    pid_t pid = 0;
    if (r && xcb_get_property_value_length(r) == 4)
        pid = static_cast<pid_t>(*static_cast<uint32_t *>(xcb_get_property_value(r)));
    std::free(r);
    return pid;
}

// Processor time the process has used so far, in milliseconds: the sum over
// its threads of the scheduler's own count.
double cpuMilliseconds(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double total = 0;
    DIR *dir = opendir(tasks.c_str());
    if (!dir)
        return 0;
    while (const dirent *task = readdir(dir)) {
        if (task->d_name[0] == '.')
            continue;
        FILE *f = std::fopen((tasks + "/" + task->d_name + "/schedstat").c_str(), "r");
        unsigned long long ns = 0;
        if (f && std::fscanf(f, "%llu", &ns) == 1)
            total += static_cast<double>(ns) / 1e6;
        if (f)
            std::fclose(f);
    }
    closedir(dir);
    return total;
}

struct Run {
    double elapsed; // ms from the fork to the mapping
    double cpu;     // ms of processor time used by then
};

void finish(pid_t pid)
{
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// One run: milliseconds from the fork to the first MapNotify of a top-level
// window that is not a pop-up.
Run measure(xcb_connection_t *c, const std::vector<std::string> &command, const std::string &display)
{
    // Events left from the previous run do not count.
    while (xcb_generic_event_t *e = xcb_poll_for_event(c))
        std::free(e);
    const Clock::time_point start = Clock::now();
    const pid_t pid = launch(command, display);
    const int fd = xcb_get_file_descriptor(c);
    for (;;) {
        xcb_generic_event_t *e = xcb_poll_for_event(c);
        if (!e) {
            if (xcb_connection_has_error(c))
                die("lost the X server");
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid)
                die("'" + command[0] + "' ended before it showed a window");
            if (std::chrono::duration<double>(Clock::now() - start).count() > 60) {
                finish(pid);
                die("'" + command[0] + "' showed no window within a minute");
            }
            pollfd p{ fd, POLLIN, 0 };
            poll(&p, 1, 100);
            continue;
        }
        xcb_window_t window = XCB_NONE;
        if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(e);
            if (!map->override_redirect)
                window = map->window;
        }
        std::free(e);
        // Only a window of the process just started counts, not one of a
        // process of an earlier run whose events arrive late.
        if (window != XCB_NONE && windowPid(c, window) == pid) {
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            const double cpu = cpuMilliseconds(pid);
            finish(pid);
            return { ms, cpu };
        }
    }
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    int runs = 21;
    int i = 1;
    if (i + 1 < argc && std::strcmp(argv[i], "--runs") == 0) {
        runs = std::max(1, std::atoi(argv[i + 1]));
        i += 2;
    }
    std::vector<std::string> bare{ HALVEX_BENCH_BARE };
    std::vector<std::string> text{ HALVEX_BENCH_TEXT };
    std::vector<std::string> program{ HALVEX_BENCH_PROGRAM };
    if (i < argc) {
        if (argc - i < 3)
            die("usage: halvex-bench-startup [--runs N] [BARE-PROGRAM TEXT-PROGRAM PROGRAM [ARGS...]]");
        bare = { argv[i] };
        text = { argv[i + 1] };
        program.assign(argv + i + 2, argv + argc);
    }

    pid_t xvfb = 0;
    const std::string display = startXvfb(xvfb);
    xcb_connection_t *c = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(c))
        die("cannot connect to " + display);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    // A warm-up run of each: caches filled before anything counts.
    const std::vector<std::string> *commands[] = { &bare, &text, &program };
    for (const std::vector<std::string> *command : commands)
        measure(c, *command, display);
    std::vector<double> elapsed[3], processor[3];
    for (int r = 0; r < runs; ++r) {
        for (int k = 0; k < 3; ++k) {
            const Run run = measure(c, *commands[k], display);
            elapsed[k].push_back(run.elapsed);
            processor[k].push_back(run.cpu);
        }
    }
    xcb_disconnect(c);
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);

    auto report = [](const char *name, const std::vector<double> &times, const std::vector<double> &cpu) {
        std::printf("%s: median %.1f ms (min %.1f, max %.1f), processor time %.1f ms\n", name, median(times),
                    *std::min_element(times.begin(), times.end()), *std::max_element(times.begin(), times.end()),
                    median(cpu));
    };
    std::printf("runs: %d of each, in turns, on Xvfb %s\n", runs, display.c_str());
    report("bare QMainWindow", elapsed[0], processor[0]);
    report("text QMainWindow", elapsed[1], processor[1]);
    report(program[0].c_str(), elapsed[2], processor[2]);
    auto ratio = [&](const char *name, int k) {
        std::printf("ratio to the %s window: %.2f (processor time: %.2f)\n", name,
                    median(elapsed[2]) / median(elapsed[k]), median(processor[2]) / median(processor[k]));
    };
    ratio("text", 1);
    ratio("bare", 0);
    return 0;
}
