// Checked writes through a hidden file beside the final one, with POSIX calls so that each
// failure keeps its errno.
#include "base/file_writes.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

std::string partialFileName(const std::string& file, long processId) {
    const std::filesystem::path path(file);
    const std::string name = "." + path.filename().string() + ".partial-" + std::to_string(processId);
    return (path.parent_path() / name).string();
}

bool writeFileWhole(const std::string& file, const std::string& partial, std::string_view bytes,
                    std::string* reason) {
    const auto fail = [&](int error) {
        if (reason != nullptr) *reason = std::strerror(error);
        ::unlink(partial.c_str());
        return false;
    };
    const int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (reason != nullptr) *reason = std::strerror(errno);
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            // A write of nothing with no error still means the disk took no more.
            const int error = wrote < 0 ? errno : ENOSPC;
            ::close(fd);
            return fail(error);
        }
        done += static_cast<std::size_t>(wrote);
    }
    // Some file systems report a full disk only when the file is closed.
    if (::close(fd) != 0) return fail(errno);
    if (::rename(partial.c_str(), file.c_str()) != 0) return fail(errno);
    return true;
}
