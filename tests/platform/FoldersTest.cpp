#include <gtest/gtest.h>
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
