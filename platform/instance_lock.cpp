#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

namespace platform {

struct InstanceLock {
    int fd = -1;
};

std::string InstanceLockPath(const char* name) {
    std::string clean;
    for (const char* p = (name != nullptr && *name != '\0') ? name : "Brightlea"; *p != '\0'; ++p) {
        const char c = *p;
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                          c == '-' || c == '_' || c == '.';
        clean += keep ? c : '_';
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0') {
        return std::string(runtime) + "/brightlea-" + clean + ".lock";
    }
    return "/tmp/brightlea-" + std::to_string(getuid()) + "-" + clean + ".lock";
}

InstanceLock* AcquireInstanceLock(const char* name) {
    const std::string path = InstanceLockPath(name);
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return nullptr;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return nullptr;
    }
    return new InstanceLock{fd};
}

void ReleaseInstanceLock(InstanceLock* lock) {
    if (lock == nullptr) {
        return;
    }
    flock(lock->fd, LOCK_UN);
    close(lock->fd);
    delete lock;
}

}  // namespace platform
