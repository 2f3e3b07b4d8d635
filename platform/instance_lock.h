#pragma once
// One running game per user: an exclusive lock on a per-user lock file. The lock ends with the
// process, so a crashed game never blocks the next start.

#include <string>

namespace platform {

struct InstanceLock;

// The lock file for a name (letters, digits, '-', '_' and '.' are kept, anything else becomes
// '_'): in $XDG_RUNTIME_DIR when set, otherwise in the temporary folder with the user id in it.
std::string InstanceLockPath(const char* name);

// Takes the lock, or returns nullptr when another holder has it (or the file cannot be made).
InstanceLock* AcquireInstanceLock(const char* name);
void ReleaseInstanceLock(InstanceLock* lock);

}  // namespace platform
