#include "platform/process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>

extern char** environ;

namespace platform {

namespace {

std::atomic<int> stopSignals{0};

void CountStopSignal(int) {
    stopSignals.fetch_add(1);
}

// Our environment with the requested entries added or replaced.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& changes) {
    std::map<std::string, std::string> byName;
    std::vector<std::string> order;
    auto put = [&](const std::string& entry) {
        const std::string name = entry.substr(0, entry.find('='));
        if (byName.find(name) == byName.end()) {
            order.push_back(name);
        }
        byName[name] = entry;
    };
    for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
        put(*e);
    }
    for (const std::string& entry : changes) {
        put(entry);
    }
    std::vector<std::string> result;
    for (const std::string& name : order) {
        result.push_back(byName[name]);
    }
    return result;
}

}  // namespace

int SpawnProcess(const SpawnRequest& request, std::string* error) {
    std::vector<std::string> args;
    args.push_back(request.program);
    args.insert(args.end(), request.arguments.begin(), request.arguments.end());
    const std::vector<std::string> env = ChildEnvironment(request.setEnvironment);
    std::vector<char*> argv;
    std::vector<char*> envp;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    for (const std::string& e : env) {
        envp.push_back(const_cast<char*>(e.c_str()));
    }
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The child gets standard input, output and error only: a descriptor another thread has just
    // opened without close-on-exec (a connection, a listener) must not live on in it.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (!request.directory.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, request.directory.c_str());
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (request.ownProcessGroup) {
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
    }
    pid_t pid = -1;
    const int rc =
        posix_spawn(&pid, request.program.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        if (error != nullptr) {
            *error = "cannot start " + request.program + ": " + std::strerror(rc);
        }
        return -1;
    }
    return pid;
}

ExitedChild TakeExitedChild() {
    ExitedChild child;
    int status = 0;
    const pid_t pid = ::waitpid(-1, &status, WNOHANG);
    if (pid > 0) {
        child.pid = pid;
        child.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return child;
}

void StopProcess(int pid, bool force) {
    if (pid > 0) {
        ::kill(pid, force ? SIGKILL : SIGTERM);
    }
}

int ProcessId() {
    return static_cast<int>(::getpid());
}

void CatchStopSignals() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = CountStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

int StopSignalCount() {
    return stopSignals.load();
}

bool ReadStandardInput(std::string& text) {
    for (;;) {
        pollfd p{STDIN_FILENO, POLLIN, 0};
        if (::poll(&p, 1, 0) <= 0 || (p.revents & (POLLIN | POLLHUP)) == 0) {
            return (p.revents & (POLLERR | POLLNVAL)) == 0;
        }
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            return got < 0 && errno == EINTR;
        }
        text.append(buffer, static_cast<size_t>(got));
    }
}

int StandardInputFd() {
    return STDIN_FILENO;
}

}  // namespace platform
