#include "platform/Folders.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace VEK {
namespace {

std::string StripTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// XDG_DOCUMENTS_DIR="$HOME/Documents" in user-dirs.dirs.
std::string DocumentsFromUserDirs(const std::string& home) {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    std::string file = (configHome != nullptr && *configHome != '\0') ? configHome : home + "/.config";
    std::ifstream in(file + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (value.compare(0, 5, "$HOME") == 0)
            value = home + value.substr(5);
        if (!value.empty() && value[0] == '/' && StripTrailingSlashes(value) != StripTrailingSlashes(home)) {
            return StripTrailingSlashes(value);
        }
    }
    return {};
}

std::atomic<uint64_t> g_folderSyncs{0};

// Created with mode 0666, so the umask decides as for any new file; O_EXCL never reuses a name.
// A rename is on the disk only once its folder is: without this a power cut can undo a save.
bool SyncFolder(const std::string& folder) {
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // EINVAL: a file system that cannot sync a folder; nothing more can be done there.
    const bool ok = fsync(fd) == 0 || errno == EINVAL;
    close(fd);
    if (ok)
        ++g_folderSyncs;
    return ok;
}

// The user may not write the file (its mode says so): a save must not replace it behind that.
bool IsWriteProtected(const std::string& path) {
    return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && (errno == EACCES || errno == EROFS);
}

}  // namespace

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/')
        return StripTrailingSlashes(home);
    if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr && pw->pw_dir[0] == '/')
        return StripTrailingSlashes(pw->pw_dir);
    return {};
}

std::string HomeFolderProblem() {
    if (!HomeFolder().empty())
        return {};
    return "no home folder is known (HOME is not set to a folder and user id " + std::to_string(getuid()) +
           " has no passwd entry); set HOME to a folder of your own";
}

std::string DocumentsFolder() {
    if (const char* dir = std::getenv("XDG_DOCUMENTS_DIR"); dir != nullptr && dir[0] == '/') {
        return StripTrailingSlashes(dir);
    }
    const std::string home = HomeFolder();
    if (home.empty())
        return {};
    std::string fromFile = DocumentsFromUserDirs(home);
    return fromFile.empty() ? home + "/Documents" : fromFile;
}

std::string AppRootFolder() {
    const std::string documents = DocumentsFolder();
    return documents.empty() ? std::string() : documents + "/Quillmark/Brisquent";
}

bool CreateFolderWithParents(const std::string& path, unsigned mode) {
    if (path.empty())
        return false;
    if (mkdir(path.c_str(), mode) == 0)
        return true;
    if (errno == EEXIST) {
        struct stat st {};
        return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    if (errno != ENOENT)
        return false;
    std::string parent = FolderOf(StripTrailingSlashes(path));
    if (parent.empty() || parent == path)
        return false;
    if (!CreateFolderWithParents(parent))
        return false;
    return mkdir(path.c_str(), mode) == 0 || errno == EEXIST;
}

std::string PrivateFolderProblem(const std::string& folder) {
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0)
        return "cannot be reached: " + std::string(std::strerror(errno));
    if (!S_ISDIR(st.st_mode))
        return "is not a folder";
    if (st.st_uid != geteuid())
        return "belongs to another user (uid " + std::to_string(st.st_uid) + ")";
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
        return std::string("can be written by other users (mode ") + mode +
               "); allow only its owner to write it (chmod go-w)";
    }
    return {};
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAllAt(int fd, uint64_t offset, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = ENOSPC;  // a write that takes nothing: the device is full
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

uint64_t FolderSyncCount() {
    return g_folderSyncs;
}

int CreateTempBeside(const std::string& path, std::string& temp, unsigned mode) {
    static std::atomic<uint32_t> counter{0};
    if (IsWriteProtected(path))
        return -1;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = path + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        const int fd = open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool CommitTempFile(int fd, const std::string& temp, const std::string& path, bool written) {
    // Made write-protected while it was written.
    bool ok = written && !IsWriteProtected(path);
    // Keep the permissions of the file being replaced; a new file has them from the umask.
    struct stat st {};
    if (ok && stat(path.c_str(), &st) == 0)
        ok = fchmod(fd, st.st_mode & 07777) == 0;
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        // The caller reports why the file was not written, not how the clean-up went.
        const int error = errno;
        unlink(temp.c_str());
        errno = error;
        return false;
    }
    return SyncFolder(FolderOf(path));
}

int CreateNewFile(const std::string& path, std::string_view contents, unsigned mode) {
    std::string temp;
    const int fd = CreateTempBeside(path, temp, mode);
    if (fd < 0)
        return -1;
    // Locked before it has its name, so that nobody takes it for a file left behind.
    const bool ok = WriteAllAt(fd, 0, contents) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                    link(temp.c_str(), path.c_str()) == 0;
    const int error = errno;
    unlink(temp.c_str());
    if (!ok) {
        close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
    std::string temp;
    const int fd = CreateTempBeside(path, temp);
    if (fd < 0)
        return false;
    return CommitTempFile(fd, temp, path, WriteAllAt(fd, 0, bytes));
}

}  // namespace VEK
