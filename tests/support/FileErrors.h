// Making the system refuse a file operation as it refuses users: a folder that may not be
// written (whatever rights the test runs with) and a disk that takes no more bytes.
#pragma once

#include <functional>
#include <string>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// What fn gives when a user without root's rights runs it: fn itself when the test has no such
// rights, else fn in a child process that gives them up first (as the user "nobody").
inline std::string AsUnprivileged(const std::function<std::string()>& fn) {
    if (::geteuid() != 0)
        return fn();
    int pipe[2];
    if (::pipe(pipe) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        const std::string out =
            ::setgid(65534) == 0 && ::setuid(65534) == 0 ? fn() : "cannot give up root's rights";
        const ssize_t written = ::write(pipe[1], out.data(), out.size());
        ::_exit(written == static_cast<ssize_t>(out.size()) ? 0 : 1);
    }
    ::close(pipe[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<size_t>(got));
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return out;
}

// While it lives, no file of this process grows beyond bytes: a write past that fails with
// "File too large", as one fails on a full disk (also for root).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &before_);
        oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = before_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &before_);
        std::signal(SIGXFSZ, oldSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit before_{};
    void (*oldSignal_)(int) = nullptr;
};
