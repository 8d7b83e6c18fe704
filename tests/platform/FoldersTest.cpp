#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdlib>

#include "platform/Folders.h"
#include "support/TestHome.h"

using namespace VEK;
using testing_support::TestHome;

TEST(Folders, DocumentsFolderFollowsXdgRules) {
    std::string home = TestHome();
    unsetenv("XDG_DOCUMENTS_DIR");
    std::remove((home + "/.config/user-dirs.dirs").c_str());
    EXPECT_EQ(DocumentsFolder(), home + "/Documents");
    testing_support::WriteFile(
        home + "/.config/user-dirs.dirs",
        "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EXPECT_EQ(DocumentsFolder(), home + "/Dokumente");
    EXPECT_EQ(AppRootFolder(), home + "/Dokumente/Quillmark/Brisquent");
    setenv("XDG_DOCUMENTS_DIR", "/srv/docs/", 1);
    EXPECT_EQ(DocumentsFolder(), "/srv/docs");
    unsetenv("XDG_DOCUMENTS_DIR");
    std::remove((home + "/.config/user-dirs.dirs").c_str());
}

TEST(Folders, CreatesParentsAndReportsFailure) {
    std::string base = TestHome() + "/mk";
    EXPECT_TRUE(CreateFolderWithParents(base + "/a/b/c"));
    EXPECT_TRUE(CreateFolderWithParents(base + "/a/b/c"));  // exists already
    testing_support::WriteFile(base + "/file", "x");
    EXPECT_FALSE(CreateFolderWithParents(base + "/file/sub"));
    EXPECT_EQ(FolderOf("/x/y/z.csv"), "/x/y");
    EXPECT_EQ(FolderOf("z.csv"), "");
}

TEST(Folders, AtomicWriteKeepsOldFileWhenTheWriteFails) {
    std::string path = TestHome() + "/atomic.txt";
    ASSERT_TRUE(WriteFileAtomically(path, "old contents"));
    chmod(path.c_str(), 0640);
    // A file size limit makes the write fail part way (SIGXFSZ ignored so write returns EFBIG).
    signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small{4096, old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    bool ok = WriteFileAtomically(path, std::string(100000, 'x'));
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(ok);
    EXPECT_EQ(testing_support::ReadFile(path), "old contents");
    ASSERT_TRUE(WriteFileAtomically(path, "new"));
    EXPECT_EQ(testing_support::ReadFile(path), "new");
    struct stat st {};
    stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// New files take their mode from the umask, replaced files keep theirs; every replace syncs the
// folder so that the rename survives a power cut.
TEST(Folders, AtomicWriteModesAndFolderSync) {
    const std::string folder = TestHome() + "/modes";
    ASSERT_TRUE(CreateFolderWithParents(folder));
    const struct {
        const char* name;
        mode_t umask;
        int existingMode;  // -1: a new file
        mode_t mode;
    } cases[] = {
        {"new, umask 077", 077, -1, 0600},
        {"new, umask 022", 022, -1, 0644},
        {"new, umask 002", 002, -1, 0664},
        {"existing 0640, umask 077", 077, 0640, 0640},
        {"existing 0604, umask 022", 022, 0604, 0604},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder + "/f.ini";
        std::remove(path.c_str());
        if (c.existingMode >= 0) {
            testing_support::WriteFile(path, "old");
            chmod(path.c_str(), static_cast<mode_t>(c.existingMode));
        }
        const uint64_t syncs = FolderSyncCount();
        const mode_t previous = umask(c.umask);
        const bool written = WriteFileAtomically(path, "new");
        umask(previous);
        ASSERT_TRUE(written);
        struct stat st {};
        ASSERT_EQ(stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.mode);
        EXPECT_EQ(FolderSyncCount(), syncs + 1);
        EXPECT_EQ(testing_support::ReadFile(path), "new");
    }
}

// Only the user's own home is a base for the application's folders: no shared fallback.
TEST(Folders, HomeFolderIsHomeOrThePasswdEntry) {
    const std::string home = TestHome();
    EXPECT_EQ(HomeFolder(), home);
    EXPECT_EQ(HomeFolderProblem(), "");
    const passwd* pw = getpwuid(getuid());
    for (const char* value : {"", "relative/home"}) {
        SCOPED_TRACE(value);
        setenv("HOME", value, 1);
        EXPECT_EQ(HomeFolder(), pw != nullptr ? std::string(pw->pw_dir) : std::string());
        EXPECT_NE(DocumentsFolder().rfind("/tmp", 0), 0u) << DocumentsFolder();
    }
    setenv("HOME", home.c_str(), 1);
}
