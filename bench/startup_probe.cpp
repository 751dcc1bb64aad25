// Starts a program under the current X display and prints, on one line, the milliseconds until
// its first top-level window was mapped and the proportional set size (PSS, KB) of its whole
// process tree some seconds later, once the tree has gone quiet; then ends the tree. The same probe serves every program
// compared, so that both are timed the same way:
//
//   zemlo_startup_probe [--settle SECONDS] [--idle] -- PROGRAM [ARGUMENTS...]
//
// With --idle it waits for quiet without settling first and adds a third figure: the
// milliseconds from the start until the whole tree went quiet (every process and thread of it,
// a browser engine's included), which is when a page given on the command line is read,
// coloured and laid out.
//
// The window is recognised by the process id the toolkit stores on it (_NET_WM_PID), so the
// display should have no window manager reparenting windows.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <map>
#include <poll.h>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

long windowPid(Display *display, Window window)
{
    static const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char *data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &items, &after, &data) == Success &&
        data && format == 32 && items == 1)
        pid = long(*reinterpret_cast<unsigned long *>(data));
    if (data)
        XFree(data);
    return pid;
}

// Parent of every process now running.
std::map<pid_t, pid_t> parents()
{
    std::map<pid_t, pid_t> result;
    DIR *proc = opendir("/proc");
    if (!proc)
        return result;
    while (dirent *entry = readdir(proc)) {
        const pid_t pid = pid_t(std::atol(entry->d_name));
        if (pid <= 0)
            continue;
        std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        // The name in brackets may hold spaces; the parent is the second field after it.
        const auto close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream rest(line.substr(close + 1));
        std::string state;
        pid_t parent = 0;
        rest >> state >> parent;
        result[pid] = parent;
    }
    closedir(proc);
    return result;
}

std::set<pid_t> tree(pid_t root)
{
    const std::map<pid_t, pid_t> parent = parents();
    std::set<pid_t> members{root};
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto &[pid, ppid] : parent)
            if (members.count(ppid) && members.insert(pid).second)
                grew = true;
    }
    return members;
}

long pssKb(pid_t pid)
{
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string key;
    long value = 0;
    while (rollup >> key) {
        if (key == "Pss:") {
            rollup >> value;
            return value;
        }
        rollup.ignore(1 << 20, '\n');
    }
    return 0;
}

// CPU time (clock ticks) used so far by the processes of a tree.
long cpuTicks(const std::set<pid_t> &members)
{
    long ticks = 0;
    for (pid_t pid : members) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        if (!std::getline(stat, line) || line.rfind(')') == std::string::npos)
            continue;
        // After the name: state is field 3; user and system time are fields 14 and 15.
        std::istringstream rest(line.substr(line.rfind(')') + 2));
        std::string field;
        long utime = 0, stime = 0;
        for (int i = 3; i <= 13 && rest >> field; ++i) {
        }
        rest >> utime >> stime;
        ticks += utime + stime;
    }
    return ticks;
}

// Waits until the tree has (nearly) stopped using the processor: a page given on the command
// line is still being read, coloured and previewed some time after the window appears. Returns
// when the quiet began: the end of the last busy interval.
Clock::time_point waitQuiet(pid_t root, Clock::time_point deadline,
                            std::chrono::milliseconds interval = std::chrono::milliseconds(500))
{
    const long perSecond = sysconf(_SC_CLK_TCK);
    long before = cpuTicks(tree(root));
    Clock::time_point busyUntil = Clock::now();
    while (Clock::now() < deadline) {
        std::this_thread::sleep_for(interval);
        const long now = cpuTicks(tree(root));
        // Under a tenth of one processor over the interval.
        if ((now - before) * 10 * 1000 < perSecond * interval.count())
            return busyUntil;
        before = now;
        busyUntil = Clock::now();
    }
    return busyUntil;
}

bool mappedWithin(Display *display, pid_t child, Clock::time_point deadline)
{
    const int fd = ConnectionNumber(display);
    while (Clock::now() < deadline) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect &&
                windowPid(display, event.xmap.window) == child)
                return true;
        }
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 20);
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
            return false;
    }
    return false;
}
} // namespace

int main(int argc, char *argv[])
{
    double settle = 3.0;
    bool idle = false;
    int first = 1;
    for (; first < argc; ++first) {
        if (std::strcmp(argv[first], "--settle") == 0 && first + 1 < argc)
            settle = std::atof(argv[++first]);
        else if (std::strcmp(argv[first], "--idle") == 0)
            idle = true;
        else if (std::strcmp(argv[first], "--") == 0) {
            ++first;
            break;
        }
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: %s [--settle SECONDS] [--idle] -- PROGRAM [ARGUMENTS...]\n",
                     argv[0]);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        execvp(argv[first], argv + first);
        std::perror(argv[first]);
        _exit(127);
    }
    const bool mapped = mappedWithin(display, child, start + std::chrono::seconds(60));
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    long pss = -1;
    double idleMs = -1;
    if (mapped && idle) {
        // Short intervals: the figure is only as fine as they are.
        const Clock::time_point quiet =
            waitQuiet(child, Clock::now() + std::chrono::seconds(180), std::chrono::milliseconds(250));
        idleMs = std::chrono::duration<double, std::milli>(quiet - start).count();
    } else if (mapped) {
        std::this_thread::sleep_for(std::chrono::duration<double>(settle));
        waitQuiet(child, Clock::now() + std::chrono::seconds(60));
    }
    if (mapped) {
        pss = 0;
        for (pid_t pid : tree(child))
            pss += pssKb(pid);
    }
    // Children of the program may have left its process group; end every one of the tree.
    const std::set<pid_t> members = tree(child);
    for (pid_t pid : members)
        kill(pid, SIGKILL);
    kill(-child, SIGKILL);
    waitpid(child, nullptr, 0);
    // The next run may only start once nothing of this one is left.
    const Clock::time_point gone = Clock::now() + std::chrono::seconds(10);
    for (bool any = true; any && Clock::now() < gone;) {
        any = false;
        for (pid_t pid : members)
            if (kill(pid, 0) == 0 || errno != ESRCH)
                any = true;
        if (any)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    XCloseDisplay(display);
    if (!mapped) {
        std::fprintf(stderr, "%s: no window was mapped\n", argv[first]);
        return 1;
    }
    if (idle)
        std::printf("%.1f %ld %.1f\n", ms, pss, idleMs);
    else
        std::printf("%.1f %ld\n", ms, pss);
    return 0;
}
