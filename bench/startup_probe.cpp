// Starts programs again and again, in turn, and measures from the moment before each start
// when its first top-level window is mapped on the X display, and its peak resident memory.
//   startup_probe RUNS FOLDER PROGRAM...
// Prints a line per program: its name, median, min and max milliseconds, then median, min and
// max MiB. Taking the programs in turn gives each the same share of a busy machine.
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    double ms = 0;
    double mib = 0;
};

// Waits for a MapNotify of a window that is not an override-redirect one (menus, tooltips).
bool waitForMap(xcb_connection_t* x, Clock::time_point deadline) {
    const int fd = xcb_get_file_descriptor(x);
    while (Clock::now() < deadline) {
        while (xcb_generic_event_t* raw = xcb_poll_for_event(x)) {
            const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(raw, &std::free);
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(raw);
                if (map->override_redirect == 0) {
                    return true;
                }
            }
        }
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 5);
    }
    return false;
}

Run once(xcb_connection_t* x, const char* folder, const char* program) {
    Run run;
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder) != 0) {
            _exit(126);
        }
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    if (waitForMap(x, start + std::chrono::seconds(20))) {
        run.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    } else {
        std::fprintf(stderr, "startup_probe: %s mapped no window\n", program);
        run.ms = -1;
    }
    // Let it paint and settle before reading its peak.
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    kill(child, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.mib = double(usage.ru_maxrss) / 1024.0;
    return run;
}

void summary(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    std::printf(" %.1f %.1f %.1f", median, values.front(), values.back());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: startup_probe RUNS FOLDER PROGRAM...\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x) != 0) {
        std::fprintf(stderr, "startup_probe: no X display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    const int programs = argc - 3;
    std::vector<std::vector<double>> ms(static_cast<size_t>(programs));
    std::vector<std::vector<double>> mib(static_cast<size_t>(programs));
    for (int i = 0; i < runs; ++i) {
        for (int p = 0; p < programs; ++p) {
            const Run run = once(x, argv[2], argv[3 + p]);
            if (run.ms < 0) {
                return 1;
            }
            ms[size_t(p)].push_back(run.ms);
            mib[size_t(p)].push_back(run.mib);
            // Drop what the ended program's windows still sent.
            while (xcb_generic_event_t* e = xcb_poll_for_event(x)) {
                std::free(e);
            }
        }
    }
    for (int p = 0; p < programs; ++p) {
        const std::string path = argv[3 + p];
        std::printf("%s", path.substr(path.find_last_of('/') + 1).c_str());
        summary(ms[size_t(p)]);
        summary(mib[size_t(p)]);
        std::printf("\n");
    }
    xcb_disconnect(x);
    return 0;
}
