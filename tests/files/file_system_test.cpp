// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/file_name.h"
#include "files/file_system.h"
#include "qstring_printer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace phbuffer::files;

namespace {

constexpr int kCouldNotDropPrivileges = 77;
constexpr int kFolderOutOfReach = 78;

/// Runs @p body in a child process, so that limits and identities it changes end with
/// it; returns the child's exit status.
int InChild(const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

/// In a child: 0 when @p operation fails with @p kind, 1 (and why, on stderr) otherwise.
int FailsWith(FileErrorKind kind, const char* what, const std::function<void()>& operation) {
    try {
        operation();
        std::fprintf(stderr, "%s: succeeded\n", what);
    } catch (const FileError& e) {
        if (e.kind() == kind)
            return 0;
        std::fprintf(stderr, "%s: %s\n", what, e.what());
    }
    return 1;
}

class Disk : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString Path(const QString& name) const { return dir.filePath(name); }
    void Put(const QString& name, const QByteArray& bytes) {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QByteArray Get(const QString& name) {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }
    mode_t TypeOf(const QString& name) const {
        struct stat info {};
        return lstat(QFile::encodeName(Path(name)).constData(), &info) == 0 ? info.st_mode & S_IFMT
                                                                            : 0;
    }
    mode_t ModeOf(const QString& name) const {
        struct stat info {};
        return stat(QFile::encodeName(Path(name)).constData(), &info) == 0 ? info.st_mode & 07777
                                                                           : 0;
    }
    QStringList Entries(const QString& sub = QString()) const {
        return QDir(Path(sub)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                         QDir::NoDotAndDotDot);
    }
    FileErrorKind KindOf(const std::function<void()>& operation) {
        try {
            operation();
        } catch (const FileError& e) {
            return e.kind();
        }
        ADD_FAILURE() << "no file error";
        return FileErrorKind::Other;
    }

    QTemporaryDir dir;
    FileSystem& disk = diskFileSystem();
};

TEST_F(Disk, ReplacesAFileWholeAndReadsItBack) {
    disk.replace(Path("a.prn"), QByteArray("a longer first version\r\n"));
    disk.replace(Path("a.prn"), QByteArray("new\r\n"));
    EXPECT_EQ(Get("a.prn"), QByteArray("new\r\n"));
    EXPECT_EQ(disk.read(Path("a.prn"), 100), QByteArray("new\r\n"));
    EXPECT_EQ(disk.read(Path("a.prn"), 3), QByteArray("new"));
    disk.replace(Path("empty.txt"), QByteArray());
    EXPECT_EQ(Get("empty.txt"), QByteArray());
    EXPECT_EQ(Entries(), (QStringList{"a.prn", "empty.txt"})) << "no temporary file is left";
}

TEST_F(Disk, NamesThatLeadNowhereAreInvalidOrNotFound) {
    EXPECT_EQ(KindOf([&] { disk.replace(Path("no/such/folder/a.prn"), "x"); }),
              FileErrorKind::InvalidFilename);
    EXPECT_EQ(KindOf([&] { disk.read(Path("no/such/folder/a.prn"), 10); }),
              FileErrorKind::InvalidFilename);
    EXPECT_EQ(KindOf([&] { disk.read(Path("missing.prn"), 10); }), FileErrorKind::FileNotFound);
    EXPECT_EQ(KindOf([&] { disk.replace(QString(), "x"); }), FileErrorKind::InvalidFilename);
    EXPECT_EQ(KindOf([&] { disk.replace(Path("a") + QChar(0) + "b", "x"); }),
              FileErrorKind::InvalidFilename);
    EXPECT_EQ(Entries(), QStringList());
}

TEST_F(Disk, OnlyRegularFilesAreReadOrReplacedAndNothingWaitsForAPipe) {
    // Everything that can have a file's name and isn't one; a device only where this
    // process may make one, and never the system's own.
    ASSERT_EQ(mkfifo(QFile::encodeName(Path("pipe.prn")).constData(), 0600), 0);
    ASSERT_EQ(mkfifo(QFile::encodeName(Path("written.prn")).constData(), 0600), 0);
    const int socketFd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketPath = QFile::encodeName(Path("socket.prn"));
    ASSERT_LT(socketPath.size(), qsizetype(sizeof address.sun_path));
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.prn"));
    ASSERT_TRUE(QFile::link("loop-b.prn", Path("loop-a.prn")));
    ASSERT_TRUE(QFile::link("loop-a.prn", Path("loop-b.prn")));
    QStringList refused = {"pipe.prn", "written.prn", "socket.prn", "folder.prn", "loop-a.prn"};
    if (mknod(QFile::encodeName(Path("null.txt")).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        refused.append("null.txt");
    std::map<QString, mode_t> types;
    for (const QString& name : refused)
        types[name] = TypeOf(name);

    const int status = InChild([&] {
        alarm(10); // an open or a read that waits for a writer ends here, with SIGALRM
        // A writer that has written, and then keeps the pipe open without ever closing it.
        const int writer = open(QFile::encodeName(Path("written.prn")).constData(), O_RDWR);
        if (writer < 0 || write(writer, "x\r\n", 3) != 3)
            return 2;
        int failures = 0;
        for (const QString& name : refused) {
            const QByteArray what = name.toUtf8();
            failures += FailsWith(FileErrorKind::AccessDenied, ("read " + what).constData(),
                                  [&] { disk.read(Path(name), 100); }) +
                        FailsWith(FileErrorKind::AccessDenied, ("replace " + what).constData(),
                                  [&] { disk.replace(Path(name), "new\r\n"); });
        }
        return failures;
    });
    close(socketFd);
    EXPECT_EQ(status, 0) << (status == 128 + SIGALRM ? "an operation waited for a pipe" : "");
    for (const QString& name : refused)
        EXPECT_EQ(TypeOf(name), types[name]) << name.toStdString() << " was replaced";
    refused.append("loop-b.prn");
    refused.sort();
    EXPECT_EQ(Entries(), refused) << "no temporary file is left";
}

TEST_F(Disk, SavingThroughALinkWritesTheFileItPointsToAndKeepsTheLink) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("data"));
    Put("data/water.prn", "old\r\n");
    ASSERT_TRUE(QFile::link("data/water.prn", Path("water.prn")));
    ASSERT_TRUE(QFile::link("missing.prn", Path("data/dangling.prn")));
    disk.replace(Path("water.prn"), "new\r\n");
    disk.replace(Path("data/dangling.prn"), "made\r\n");
    EXPECT_EQ(TypeOf("water.prn"), mode_t{S_IFLNK});
    EXPECT_EQ(Get("data/water.prn"), QByteArray("new\r\n"));
    EXPECT_EQ(disk.read(Path("water.prn"), 100), QByteArray("new\r\n"));
    EXPECT_EQ(TypeOf("data/dangling.prn"), mode_t{S_IFLNK});
    EXPECT_EQ(Get("data/missing.prn"), QByteArray("made\r\n"));
    EXPECT_EQ(Entries(), (QStringList{"data", "water.prn"}));
    EXPECT_EQ(Entries("data"), (QStringList{"dangling.prn", "missing.prn", "water.prn"}));
}

TEST_F(Disk, ANameOfUpTo259CharactersIsOpened) {
    const QString folder = Path(QString(120, 'd'));
    ASSERT_LT(folder.size(), 250) << "the temporary folder's path is too long for this test";
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString longest = folder + '/' + QString(258 - folder.size(), 'f');
    ASSERT_EQ(longest.size(), 259);
    disk.replace(longest, "x");
    EXPECT_EQ(disk.read(longest, 10), QByteArray("x"));
    EXPECT_EQ(KindOf([&] { disk.replace(longest + 'f', "y"); }), FileErrorKind::InvalidFilename);
    EXPECT_EQ(KindOf([&] { disk.read(longest + 'f', 10); }), FileErrorKind::InvalidFilename);
    EXPECT_EQ(QDir(folder).count(), 3u) << "., .. and the 259-character file";
}

TEST_F(Disk, AWriteBeyondTheFileSizeLimitFailsWithAMessageAndLeavesTheOldFile) {
    // The file size limit stands in for a disk that fills up during the write; over it, a
    // process that doesn't ignore SIGXFSZ dies without a word. Once with an unnamed new
    // file, once with a named one, as on a file system without unnamed files.
    const QByteArray old(300, 'o');
    Put("a.prn", old);
    for (const bool unnamed : {true, false}) {
        const int status = InChild([&] {
            std::signal(SIGXFSZ, SIG_DFL);
            const auto fault = [unnamed](DiskStep step) {
                return !unnamed && step == DiskStep::CreateUnnamed ? EOPNOTSUPP : 0;
            };
            const std::unique_ptr<FileSystem> limited = diskFileSystemWithFaults(fault);
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 100;
            setrlimit(RLIMIT_FSIZE, &limit);
            try {
                limited->replace(Path("a.prn"), QByteArray(1000, 'n'));
                std::fprintf(stderr, "the write did not fail\n");
            } catch (const FileError& e) {
                if (e.kind() == FileErrorKind::Other && e.platformError() == EFBIG &&
                    QString::fromUtf8(e.what()) == QStringLiteral("I/O error %1").arg(EFBIG))
                    return 0;
                std::fprintf(stderr, "unexpected error: %s\n", e.what());
            }
            return 1;
        });
        EXPECT_EQ(status, 0) << (status == 128 + SIGXFSZ ? "killed by SIGXFSZ" : "")
                             << (unnamed ? " unnamed" : " named");
        EXPECT_EQ(Get("a.prn"), old);
        EXPECT_EQ(Entries(), QStringList{"a.prn"});
    }
}

TEST_F(Disk, EveryFailingStepLeavesTheOldFileAndNothingElse) {
    const QByteArray old(300, 'o');
    Put("a.prn", old);
    // The steps each way takes, in order; the named way is the one of NFS, CIFS and FUSE.
    const std::vector<DiskStep> unnamedSteps = {DiskStep::CreateUnnamed, DiskStep::Write,
                                                DiskStep::Sync,          DiskStep::Link,
                                                DiskStep::Close,         DiskStep::Rename};
    const std::vector<DiskStep> namedSteps = {DiskStep::CreateUnnamed, DiskStep::CreateNamed,
                                              DiskStep::Write,         DiskStep::Sync,
                                              DiskStep::Close,         DiskStep::Rename};
    for (const int noUnnamedFiles : {0, EOPNOTSUPP, EISDIR, EINVAL}) {
        const std::vector<DiskStep>& steps = noUnnamedFiles ? namedSteps : unnamedSteps;
        for (std::size_t failing = noUnnamedFiles ? 1 : 0; failing <= steps.size(); ++failing) {
            SCOPED_TRACE(testing::Message() << "without unnamed files: " << noUnnamedFiles
                                            << ", failing step " << failing);
            std::vector<DiskStep> asked;
            const auto fs = diskFileSystemWithFaults([&](DiskStep step) {
                asked.push_back(step);
                if (step == DiskStep::CreateUnnamed && noUnnamedFiles)
                    return noUnnamedFiles;
                return asked.size() == failing + 1 ? EIO : 0;
            });
            const QByteArray bytes = "new " + QByteArray::number(failing) + "\r\n";
            if (failing == steps.size()) {
                fs->replace(Path("a.prn"), bytes);
                EXPECT_EQ(Get("a.prn"), bytes);
                Put("a.prn", old);
            } else {
                EXPECT_EQ(KindOf([&] { fs->replace(Path("a.prn"), bytes); }), FileErrorKind::Other);
                EXPECT_EQ(Get("a.prn"), old);
            }
            EXPECT_EQ(asked,
                      std::vector<DiskStep>(steps.begin(),
                                            steps.begin() + std::min(failing + 1, steps.size())));
            EXPECT_EQ(Entries(), QStringList{"a.prn"});
        }
    }
}

TEST_F(Disk, ASignalAtAnyStepOfASaveEndsTheProgramWithTheNewFileInPlaceAndNothingElse) {
    // A request to terminate that comes at any step is held back until the new file is in
    // place: the program still ends by it, and no temporary file stays behind.
    for (const int noUnnamedFiles : {0, EOPNOTSUPP}) {
        for (int at = 0; at < (noUnnamedFiles ? 5 : 6); ++at) {
            SCOPED_TRACE(testing::Message() << "without unnamed files: " << noUnnamedFiles
                                            << ", signal at step " << at);
            Put("a.prn", "old");
            const int status = InChild([&] {
                int step = 0;
                const auto fs = diskFileSystemWithFaults([&](DiskStep s) {
                    if (s == DiskStep::CreateUnnamed && noUnnamedFiles)
                        return noUnnamedFiles;
                    if (step++ == at)
                        std::raise(SIGTERM);
                    return 0;
                });
                fs->replace(Path("a.prn"), "new");
                return 0;
            });
            EXPECT_EQ(status, 128 + SIGTERM);
            EXPECT_EQ(Get("a.prn"), "new");
            EXPECT_EQ(Entries(), QStringList{"a.prn"});
        }
    }
}

TEST_F(Disk, ANameThatIsNotUtf8IsSavedAndReadUnderItsOwnBytes) {
    const QByteArray bytes = QFile::encodeName(dir.path()) + "/lat\xe9-\xff.prn";
    disk.replace(fileNameFromBytes(bytes), "water");
    struct stat info {};
    EXPECT_EQ(stat(bytes.constData(), &info), 0);
    EXPECT_EQ(disk.read(fileNameFromBytes(bytes), 100), "water");
    // The folder holds that one file, under those bytes.
    EXPECT_EQ(unlink(bytes.constData()), 0);
    EXPECT_EQ(Entries(), QStringList());
}

TEST_F(Disk, AFileNobodyMayWriteIsRefusedEvenToTheSuperuserAndKeepsItsMode) {
    Put("read-only.prn", "old\r\n");
    Put("private.prn", "old\r\n");
    ASSERT_EQ(chmod(QFile::encodeName(Path("read-only.prn")).constData(), 0444), 0);
    ASSERT_EQ(chmod(QFile::encodeName(Path("private.prn")).constData(), 0600), 0);
    EXPECT_EQ(KindOf([&] { disk.replace(Path("read-only.prn"), "new\r\n"); }),
              FileErrorKind::AccessDenied)
        << (geteuid() == 0 ? "as the superuser" : "as a user");
    disk.replace(Path("private.prn"), "new\r\n");
    EXPECT_EQ(Get("read-only.prn"), QByteArray("old\r\n"));
    EXPECT_EQ(Get("private.prn"), QByteArray("new\r\n"));
    EXPECT_EQ(ModeOf("read-only.prn"), mode_t{0444});
    EXPECT_EQ(ModeOf("private.prn"), mode_t{0600}) << "a replaced file keeps its permissions";
    EXPECT_EQ(Entries(), (QStringList{"private.prn", "read-only.prn"}));
}

TEST_F(Disk, WhatTheUserMayNotWriteOrReadIsAccessDeniedAndStaysAsItWas) {
    // As root, permissions stop nothing; the child process gives up root first. The
    // folder is open to all, so only the file's own protection can stop the save.
    Put("protected.prn", "old\r\n");
    Put("unreadable.prn", "secret\r\n");
    ASSERT_TRUE(QDir(dir.path()).mkdir("closed"));
    const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                     QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther |
                     QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), all));
    ASSERT_TRUE(QFile::setPermissions(Path("protected.prn"),
                                      QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    ASSERT_TRUE(QFile::setPermissions(Path("unreadable.prn"), QFileDevice::Permissions()));
    ASSERT_TRUE(QFile::setPermissions(Path("closed"), QFile::ReadOwner | QFile::ExeOwner |
                                                          QFile::ReadOther | QFile::ExeOther));

    const int status = InChild([&] {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 ||
                               setuid(65534) != 0 || geteuid() == 0))
            return kCouldNotDropPrivileges;
        // Else a folder the user can't even enter would fail every step for another reason.
        if (QFile readable(Path("protected.prn")); !readable.open(QIODevice::ReadOnly))
            return kFolderOutOfReach;
        return FailsWith(FileErrorKind::AccessDenied, "save over a write-protected file",
                         [&] { disk.replace(Path("protected.prn"), "new\r\n"); }) +
               FailsWith(FileErrorKind::AccessDenied, "read an unreadable file",
                         [&] { disk.read(Path("unreadable.prn"), 100); }) +
               FailsWith(FileErrorKind::AccessDenied, "save into a write-protected folder",
                         [&] { disk.replace(Path("closed/new.prn"), "new\r\n"); });
    });
    if (status == kCouldNotDropPrivileges)
        GTEST_SKIP() << "running as root, and the child process could not become user 65534";
    if (status == kFolderOutOfReach)
        GTEST_SKIP() << "user 65534 can't enter the temporary folder " << dir.path().toStdString();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Get("protected.prn"), QByteArray("old\r\n"));
    EXPECT_EQ(Entries(), (QStringList{"closed", "protected.prn", "unreadable.prn"}));
    EXPECT_EQ(Entries("closed"), QStringList());
}

TEST(FileErrors, PlatformErrorsGetTheMessagesUsersKnow) {
    QTemporaryDir dir;
    const std::tuple<int, QString, const char*> cases[] = {
        {ENOENT, dir.filePath("missing.prn"), "File not found"},
        {ENOENT, dir.filePath("missing/a.prn"), "Invalid filename"},
        {ENOTDIR, dir.filePath("a.prn"), "Invalid filename"},
        {ENAMETOOLONG, dir.filePath("a.prn"), "Invalid filename"},
        {EMFILE, dir.filePath("a.prn"), "Too many open files"},
        {EACCES, dir.filePath("a.prn"), "File access denied"},
        {EROFS, dir.filePath("a.prn"), "File access denied"},
        {ENOSPC, dir.filePath("a.prn"), "I/O error 28"},
        {EIO, dir.filePath("a.prn"), "I/O error 5"},
        {0, dir.filePath("a.prn"), "I/O error 5"},
    };
    for (const auto& [error, path, message] : cases)
        EXPECT_STREQ(platformFileError(error, path).what(), message) << "errno " << error;
}

} // namespace
