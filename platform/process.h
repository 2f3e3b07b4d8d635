#pragma once
// Starting and watching child processes, and the few process-wide services a lobby needs: a stop
// request from Ctrl-C or SIGTERM, and reading standard input without blocking.

#include <string>
#include <vector>

namespace platform {

struct SpawnRequest {
    std::string program;                      // path of the executable
    std::vector<std::string> arguments;       // after the program name
    std::string directory;                    // working directory of the child; empty: ours
    std::vector<std::string> setEnvironment;  // "NAME=value" entries added to (or replacing) ours
    bool ownProcessGroup = false;             // Ctrl-C in our terminal does not reach the child
};

// Starts a child process; returns its process id, or -1 (with error filled) when it cannot start.
int SpawnProcess(const SpawnRequest& request, std::string* error = nullptr);

struct ExitedChild {
    int pid = -1;      // -1: no child has ended
    int exitCode = 0;  // the exit status, or 128 + the signal that ended it
};
// Collects one child that has ended, without waiting.
ExitedChild TakeExitedChild();
// Asks a child to end (SIGTERM), or forces it (SIGKILL).
void StopProcess(int pid, bool force);

// The id of this process.
int ProcessId();

// After this, SIGINT and SIGTERM no longer end the process; they are counted instead.
void CatchStopSignals();
int StopSignalCount();

// Reads what standard input holds now into text, without blocking. False once it has ended.
bool ReadStandardInput(std::string& text);
int StandardInputFd();

}  // namespace platform
