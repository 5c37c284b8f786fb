#include "kv_safe_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string reason(const char* what, const std::string& path)
{
    return std::string(what) + " " + path + ": " + strerror(errno);
}

// A hard link keeps the old contents without copying them; a file system
// without links gets a synced copy.
bool keep_old_file(const std::string& path, const std::string& keep, std::string& error)
{
    const std::string temp = keep + ".tmp";
    unlink(temp.c_str());
    if (link(path.c_str(), temp.c_str()) != 0) {
        const int in = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (in < 0) {
            error = reason("cannot read", path);
            return false;
        }
        std::string bytes;
        char buffer[65536];
        ssize_t n;
        while ((n = read(in, buffer, sizeof buffer)) > 0)
            bytes.append(buffer, static_cast<size_t>(n));
        close(in);
        if (n < 0 || !kv_write_synced(temp, bytes.data(), bytes.size(), error))
            return false;
    }
    if (rename(temp.c_str(), keep.c_str()) != 0) {
        error = reason("cannot rename", temp);
        unlink(temp.c_str());
        return false;
    }
    return true;
}
} // namespace

bool kv_write_synced(const std::string& path, const void* data, size_t size, std::string& error)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = reason("cannot create", path);
        return false;
    }
    const auto* bytes = static_cast<const char*>(data);
    size_t done = 0;
    bool ok = true;
    while (done < size) {
        const ssize_t n = write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            error = reason("cannot write", path);
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (ok && fsync(fd) != 0) {
        error = reason("cannot sync", path);
        ok = false;
    }
    if (close(fd) != 0 && ok) {
        error = reason("cannot close", path);
        ok = false;
    }
    if (!ok)
        unlink(path.c_str());
    return ok;
}

bool kv_replace_file(const std::string& from, const std::string& to, const std::string& keep, std::string& error)
{
    struct stat info {};
    if (!keep.empty() && stat(to.c_str(), &info) == 0 && !keep_old_file(to, keep, error))
        return false;
    if (rename(from.c_str(), to.c_str()) != 0) {
        error = reason("cannot rename", from);
        return false;
    }
    kv_sync_folder_of(to);
    return true;
}

void kv_sync_folder_of(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}
