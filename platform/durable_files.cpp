#include "platform/durable_files.h"

#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace fs = std::filesystem;

namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    // Closes now, reporting whether the close succeeded.
    bool Close() {
        int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

  private:
    int fd_;
};

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool SyncPath(const fs::path& path) {
    Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return file.Get() >= 0 && fsync(file.Get()) == 0;
}

bool ReplaceFileDurably(const fs::path& path, const std::string& text) {
    fs::path temporary = path;
    temporary += ".new";
    {
        Descriptor out(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (out.Get() < 0 || !WriteAll(out.Get(), text) || fsync(out.Get()) != 0 || !out.Close()) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return SyncPath(path.parent_path().empty() ? fs::path(".") : path.parent_path());
}

}  // namespace platform
