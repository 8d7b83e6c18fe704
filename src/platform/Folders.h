#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace VEK {

// The user's home folder: $HOME when it is an absolute path, else the passwd entry's; empty when
// neither is known. Never a shared folder such as /tmp, which another user could have prepared.
std::string HomeFolder();
// Why the programs cannot start without a home folder; empty when one is known.
std::string HomeFolderProblem();
// The user's documents folder: $XDG_DOCUMENTS_DIR, else the XDG user-dirs file, else
// home/Documents; empty without a home folder (the programs refuse to start then).
std::string DocumentsFolder();
// The application's root folder below the documents folder; empty when that is.
std::string AppRootFolder();
// Creates a folder and its missing parents. True when the folder exists afterwards. mode applies
// to the folder itself when it is made here (less the umask); parents get 0777 less the umask.
bool CreateFolderWithParents(const std::string& path, unsigned mode = 0777);
// Why files of this user must not be kept in folder: it is not a folder, it belongs to another
// user, or others may write it (and so replace any file in it); empty when it is fine.
std::string PrivateFolderProblem(const std::string& folder);
// The folder part of a path (before the last '/'); empty when there is none.
std::string FolderOf(const std::string& path);
// Writes all bytes at the offset, going on after short writes and interruptions.
bool WriteAllAt(int fd, uint64_t offset, std::string_view bytes);
// Writes a file through a temporary file beside it, fsync, rename and fsync of the folder, so that
// a failure at any point leaves the previous file as it was. A replaced file keeps its mode; a new
// one gets 0666 less the umask. A file the user may not write (write-protected) is never replaced.
// False on any failure.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);
// The two halves of WriteFileAtomically for a file written piece by piece: a new temporary file
// beside path (its descriptor, -1 on failure and when path is write-protected, and its name in
// temp), and the commit that closes it and, when everything was written, replaces path with it;
// otherwise the temporary file is removed.
int CreateTempBeside(const std::string& path, std::string& temp, unsigned mode = 0666);
bool CommitTempFile(int fd, const std::string& temp, const std::string& path, bool written);
// A file that appears under path only with its whole contents and only when no file (nor link) is
// there: written to a new file beside it, locked (flock, exclusive) and linked to path, never
// following or replacing anything. Returns its read-write descriptor, which holds the lock, or -1
// with errno set (EEXIST when path exists).
int CreateNewFile(const std::string& path, std::string_view contents, unsigned mode);
// The folder syncs that made renames durable so far in this process.
uint64_t FolderSyncCount();

}  // namespace VEK
