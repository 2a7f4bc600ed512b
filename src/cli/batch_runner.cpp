#include "cli/batch_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace vantrel::cli {

namespace {

using Clock = std::chrono::steady_clock;

// A child at work and the read ends of its two pipes (-1 once it has closed its end).
struct Running {
    size_t index = 0;
    pid_t pid = -1;
    int fds[2] = {-1, -1};  // standard output, standard error
    Clock::time_point started;
};

// The interrupts go to a descriptor that the loop polls beside the pipes, not to a handler.
class InterruptDescriptor {
  public:
    InterruptDescriptor() {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGINT);
        sigaddset(&set, SIGTERM);
        ::sigprocmask(SIG_BLOCK, &set, &previous_);
        fd_ = ::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    }
    ~InterruptDescriptor() {
        if (fd_ >= 0) ::close(fd_);
        ::sigprocmask(SIG_SETMASK, &previous_, nullptr);
    }
    InterruptDescriptor(const InterruptDescriptor&) = delete;
    InterruptDescriptor& operator=(const InterruptDescriptor&) = delete;
    int Fd() const { return fd_; }
    // True when an interrupt arrived since the last call.
    bool Take() {
        signalfd_siginfo info;
        bool any = false;
        while (fd_ >= 0 && ::read(fd_, &info, sizeof info) == sizeof info) any = true;
        return any;
    }

  private:
    sigset_t previous_;
    int fd_ = -1;
};

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// In the child: standard output and error into the pipes, nothing read from standard input,
// none of the other children's pipes held open (their ends would never see the end of file).
[[noreturn]] void RunChild(size_t index, const int out[2], const int err[2],
                           std::vector<Running>& running, InterruptDescriptor& interrupts,
                           const std::function<int(size_t)>& work) {
    for (Running& r : running) {
        CloseFd(r.fds[0]);
        CloseFd(r.fds[1]);
    }
    ::close(interrupts.Fd());
    const int null = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (null >= 0) ::dup2(null, STDIN_FILENO);
    ::dup2(out[1], STDOUT_FILENO);
    ::dup2(err[1], STDERR_FILENO);
    // SIGINT and SIGTERM stay blocked: the command's own guard takes them as a cancel request.
    const int status = work(index);
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(status);
}

// Starts the child for file `index`; false (and said) when the system refused.
bool Start(size_t index, std::vector<Running>& running, InterruptDescriptor& interrupts,
           const std::function<int(size_t)>& work) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return false;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return false;
    }
    // Whatever this process has buffered would otherwise be written by the child too.
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = ::fork();
    if (pid == 0) RunChild(index, out, err, running, interrupts, work);
    ::close(out[1]);
    ::close(err[1]);
    if (pid < 0) {
        ::close(out[0]);
        ::close(err[0]);
        return false;
    }
    running.push_back({index, pid, {out[0], err[0]}, Clock::now()});
    return true;
}

// Reads what is there of one pipe; closes it at its end.
void Drain(int& fd, std::string& into) {
    char chunk[65536];
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n > 0) {
        into.append(chunk, static_cast<size_t>(n));
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
        CloseFd(fd);
    }
}

// Reaps a child whose pipes have both ended.
void Reap(const Running& r, FileRun& run) {
    int raw = 0;
    while (::waitpid(r.pid, &raw, 0) < 0 && errno == EINTR) {
    }
    run.run = true;
    run.seconds = std::chrono::duration<double>(Clock::now() - r.started).count();
    if (WIFEXITED(raw)) {
        run.status = WEXITSTATUS(raw);
    } else {
        run.signal = WIFSIGNALED(raw) ? WTERMSIG(raw) : SIGKILL;
        run.status = 1;
    }
}

}  // namespace

int AvailableProcessors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) {
        return CPU_COUNT(&set);
    }
    const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? static_cast<int>(online) : 1;
}

std::vector<FileRun> RunEachInChild(size_t count, int jobs, const std::function<int(size_t)>& work,
                                    const std::function<void(size_t, const FileRun&)>& ended) {
    std::vector<FileRun> runs(count);
    for (FileRun& run : runs) run.status = 1;
    InterruptDescriptor interrupts;
    std::vector<Running> running;
    size_t next = 0;
    bool stopping = false;
    while (true) {
        while (!stopping && next < count && running.size() < static_cast<size_t>(jobs)) {
            if (!Start(next, running, interrupts, work)) {
                runs[next].run = true;
                runs[next].err =
                    "vantrel-cc: cannot start a process: " + std::string(std::strerror(errno)) +
                    "\n";
                ended(next, runs[next]);
            }
            ++next;
        }
        if (running.empty()) break;
        std::vector<pollfd> polled{{interrupts.Fd(), POLLIN, 0}};
        for (const Running& r : running) {
            for (const int fd : r.fds) polled.push_back({fd, POLLIN, 0});
        }
        if (::poll(polled.data(), polled.size(), -1) < 0 && errno != EINTR) break;
        if (interrupts.Take() && !stopping) {
            stopping = true;
            for (const Running& r : running) ::kill(r.pid, SIGTERM);
        }
        size_t p = 1;
        for (Running& r : running) {
            for (int s = 0; s < 2; ++s, ++p) {
                if (polled[p].revents != 0 && r.fds[s] >= 0) {
                    Drain(r.fds[s], s == 0 ? runs[r.index].out : runs[r.index].err);
                }
            }
        }
        std::erase_if(running, [&](const Running& r) {
            if (r.fds[0] >= 0 || r.fds[1] >= 0) return false;
            Reap(r, runs[r.index]);
            ended(r.index, runs[r.index]);
            return true;
        });
    }
    return runs;
}

}  // namespace vantrel::cli
