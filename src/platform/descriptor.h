#pragma once
/// A file descriptor of this process, closed when its owner goes.

#include <cerrno>

#include <unistd.h>

namespace tarvel {

/// Owns one open descriptor (or none: -1). Not copyable; one thread at a time. Closing
/// reports what close() said, since a network share may tell a failed write only then.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }

    int get() const { return fd_; }

    /// Closes now, returning 0 or the errno close() reported (EINTR counts as closed).
    int close()
    {
        if (fd_ < 0)
            return 0;
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 || errno == EINTR ? 0 : errno;
    }

private:
    int fd_;
};

} // namespace tarvel
