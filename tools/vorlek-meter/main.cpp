// vorlek-meter: plays the satellite finder meter on a serial device or on a
// pseudo-terminal of its own, so that an upload can be tried without one.
#include "Meter.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <string_view>
#include <termios.h>
#include <unistd.h>

using namespace vorlek::meter;
using Clock = std::chrono::steady_clock;

namespace {

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) {
    g_stop = 1;
}

// 10 bits a byte at 9600 bit/s.
constexpr auto kByteTime = std::chrono::microseconds(10'000'000 / 9600);
constexpr auto kPeerRetry = std::chrono::milliseconds(50);
constexpr auto kLinger = std::chrono::milliseconds(300);

struct Options {
    std::string device; // empty: a pseudo-terminal of our own
    bool lineTiming = false;
    int answerDelayMs = 0;
    Faults faults;
    int records = 0;
    std::string dump;
    bool exitOnClose = false;
};

[[noreturn]] void Usage(const char* problem) {
    if (problem)
        std::fprintf(stderr, "vorlek-meter: %s\n", problem);
    std::fprintf(
        stderr,
        "usage: vorlek-meter [--pty | --device PATH] [--line-timing] [--answer-delay MS]\n"
        "         [--drop-every N] [--drop-once K] [--repeat-every N] [--noise-every N] [--split] "
        "[--cmd11]\n"
        "         [--records N] [--dump FILE] [--exit-on-close]\n");
    std::exit(2);
}

int Number(int argc, char** argv, int& i, int max) {
    if (i + 1 >= argc)
        Usage("a number is missing");
    const char* text = argv[++i];
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < 0 || v > max)
        Usage("a number is out of range");
    return static_cast<int>(v);
}

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--pty")
            o.device.clear();
        else if (a == "--device") {
            if (i + 1 >= argc)
                Usage("--device needs a path");
            o.device = argv[++i];
        } else if (a == "--line-timing")
            o.lineTiming = true;
        else if (a == "--answer-delay")
            o.answerDelayMs = Number(argc, argv, i, 60'000);
        else if (a == "--drop-every")
            o.faults.dropEvery = Number(argc, argv, i, 1'000'000);
        else if (a == "--drop-once")
            o.faults.dropOnce = Number(argc, argv, i, 1'000'000);
        else if (a == "--repeat-every")
            o.faults.repeatEvery = Number(argc, argv, i, 1'000'000);
        else if (a == "--noise-every")
            o.faults.noiseEvery = Number(argc, argv, i, 1'000'000);
        else if (a == "--split")
            o.faults.split = true;
        else if (a == "--cmd11")
            o.faults.command = kAckCommandOld;
        else if (a == "--records")
            o.records = Number(argc, argv, i, static_cast<int>(kSlotCount));
        else if (a == "--dump") {
            if (i + 1 >= argc)
                Usage("--dump needs a file");
            o.dump = argv[++i];
        } else if (a == "--exit-on-close")
            o.exitOnClose = true;
        else if (a == "--help" || a == "-h")
            Usage(nullptr);
        else
            Usage("unknown option");
    }
    return o;
}

void MakeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return; // not a terminal: a plain byte stream
    cfmakeraw(&t);
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &t);
}

int OpenLine(const Options& o, std::string& path) {
    if (!o.device.empty()) {
        path = o.device;
        return open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    }
    const int fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    const char* slave = nullptr;
    if (grantpt(fd) != 0 || unlockpt(fd) != 0 || (slave = ptsname(fd)) == nullptr) {
        close(fd);
        return -1;
    }
    path = slave;
    return fd;
}

struct Pending {
    Clock::time_point due;
    std::vector<std::uint8_t> bytes;
};

class Line {
public:
    Line(int fd, const Options& o) : fd_(fd), o_(o), planner_(o.faults) {}

    int Run();

private:
    void Take(const std::uint8_t* data, std::size_t count, Clock::time_point now);
    void Feed(const std::uint8_t* data, std::size_t count, Clock::time_point now);
    void Flush(Clock::time_point now);
    int Finish();

    int fd_;
    const Options& o_;
    Meter meter_;
    AckPlanner planner_;
    std::deque<Pending> output_;
    std::deque<std::pair<Clock::time_point, std::uint8_t>> wire_; // line timing only
    Clock::time_point lastArrival_{};
    Clock::time_point lastOut_{};
    bool done_ = false;
    Clock::time_point lingerUntil_ = Clock::time_point::max();
};

void Line::Take(const std::uint8_t* data, std::size_t count, Clock::time_point now) {
    if (!o_.lineTiming) {
        Feed(data, count, now);
        return;
    }
    // A byte counts as received only once its wire time has passed.
    for (std::size_t i = 0; i < count; ++i) {
        lastArrival_ = std::max(lastArrival_, now) + kByteTime;
        wire_.emplace_back(lastArrival_, data[i]);
    }
}

void Line::Feed(const std::uint8_t* data, std::size_t count, Clock::time_point now) {
    for (const std::uint16_t address : meter_.Receive(data, count)) {
        auto at = std::max(now + std::chrono::milliseconds(o_.answerDelayMs), lastOut_);
        for (auto& w : planner_.Plan(address)) {
            at += std::chrono::milliseconds(w.pauseMs);
            if (!o_.lineTiming) {
                output_.push_back({at, std::move(w.bytes)});
                continue;
            }
            for (const std::uint8_t b : w.bytes) {
                output_.push_back({at, {b}});
                at += kByteTime;
            }
        }
        lastOut_ = at;
    }
    if (o_.records > 0 && meter_.SlotsHeld() >= o_.records &&
        lingerUntil_ == Clock::time_point::max())
        lingerUntil_ = now + kLinger; // let the last acknowledgements reach the program
}

void Line::Flush(Clock::time_point now) {
    while (!output_.empty() && output_.front().due <= now) {
        auto& p = output_.front();
        const ssize_t n = write(fd_, p.bytes.data(), p.bytes.size());
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        if (n < 0) { // nobody on the other end: the answer is lost
            output_.pop_front();
            continue;
        }
        p.bytes.erase(p.bytes.begin(), p.bytes.begin() + n);
        if (!p.bytes.empty())
            return;
        output_.pop_front();
    }
}

int Line::Run() {
    std::uint8_t buf[4096];
    bool peerAbsent = false;
    while (!g_stop && !done_) {
        auto now = Clock::now();
        if (now >= lingerUntil_ && output_.empty())
            break;
        Clock::time_point next = lingerUntil_;
        if (!output_.empty())
            next = std::min(next, output_.front().due);
        if (!wire_.empty())
            next = std::min(next, wire_.front().first);
        if (peerAbsent)
            next = std::min(next, now + kPeerRetry);
        int timeout = -1;
        if (next != Clock::time_point::max())
            timeout = static_cast<int>(std::max<long long>(
                0, std::chrono::ceil<std::chrono::milliseconds>(next - now).count()));

        pollfd p{fd_,
                 static_cast<short>(POLLIN |
                                    (!output_.empty() && output_.front().due <= now ? POLLOUT : 0)),
                 0};
        int r = 0;
        if (peerAbsent) {
            // A pseudo-terminal without its other end reports a hang-up at
            // once; look again a little later instead of spinning.
            poll(nullptr, 0, timeout);
            peerAbsent = false;
            r = poll(&p, 1, 0);
        } else
            r = poll(&p, 1, timeout);
        if (r < 0 && errno != EINTR) {
            std::perror("vorlek-meter: poll");
            break;
        }
        now = Clock::now();
        if (r > 0 && (p.revents & POLLIN)) {
            const ssize_t n = read(fd_, buf, sizeof buf);
            if (n > 0) {
                Take(buf, static_cast<std::size_t>(n), now);
            } else if (n == 0) {
                break; // end of input
            } else if (errno == EIO && o_.device.empty()) {
                peerAbsent = true;
            } else if (errno != EAGAIN && errno != EINTR) {
                break;
            }
        } else if (r > 0 && (p.revents & (POLLHUP | POLLERR))) {
            if (!o_.device.empty())
                break;
            peerAbsent = true;
        }
        if (peerAbsent) {
            output_.clear();
            // A fresh pseudo-terminal shows no hang-up until its other end has
            // been opened, so this is the program closing the port.
            if (o_.exitOnClose)
                break;
        }
        while (!wire_.empty() && wire_.front().first <= now) {
            const std::uint8_t b = wire_.front().second;
            wire_.pop_front();
            Feed(&b, 1, now);
        }
        Flush(now);
    }
    return Finish();
}

int Line::Finish() {
    for (const auto& line : Listing(meter_))
        std::printf("%s\n", line.c_str());
    std::printf("vorlek-meter: records stored %d (slots held %d), bad frames %d, "
                "acknowledgements sent %d, dropped %d\n",
                meter_.RecordsStored(), meter_.SlotsHeld(), meter_.BadFrames(), planner_.Sent(),
                planner_.Dropped());
    std::fflush(stdout);
    if (o_.dump.empty())
        return 0;
    FILE* f = std::fopen(o_.dump.c_str(), "wb");
    const auto& mem = meter_.Memory();
    const bool ok = f && std::fwrite(mem.data(), 1, mem.size(), f) == mem.size();
    if ((f && std::fclose(f) != 0) || !ok) {
        std::fprintf(stderr, "vorlek-meter: cannot write %s: %s\n", o_.dump.c_str(),
                     std::strerror(errno));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = Parse(argc, argv);
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::string path;
    const int fd = OpenLine(options, path);
    if (fd < 0) {
        std::fprintf(stderr, "vorlek-meter: cannot open %s: %s\n",
                     options.device.empty() ? "a pseudo-terminal" : options.device.c_str(),
                     std::strerror(errno));
        return 1;
    }
    // On a pseudo-terminal this sets the far side: no echo of our own answers.
    MakeRaw(fd);
    std::printf("vorlek-meter: listening on %s\n", path.c_str());
    std::fflush(stdout);
    Line line(fd, options);
    const int rc = line.Run();
    close(fd);
    return rc;
}
