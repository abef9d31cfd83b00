// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/file_system.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <functional>

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
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
    QStringList Entries(const QString& sub = QString()) const {
        return QDir(Path(sub)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
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
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.prn"));
    EXPECT_EQ(KindOf([&] { disk.replace(Path("folder.prn"), "x"); }), FileErrorKind::AccessDenied);
    EXPECT_EQ(KindOf([&] { disk.read(Path("folder.prn"), 10); }), FileErrorKind::AccessDenied);
    EXPECT_EQ(Entries(), QStringList{"folder.prn"});
}

TEST_F(Disk, ANamedPipeThatNobodyWritesToReadsAsEmptyInsteadOfWaitingForAWriter) {
    ASSERT_EQ(mkfifo(QFile::encodeName(Path("pipe.prn")).constData(), 0600), 0);
    const int status = InChild([&] {
        alarm(10); // a read that waits for a writer ends here, with SIGALRM
        return disk.read(Path("pipe.prn"), 100).isEmpty() ? 0 : 1;
    });
    EXPECT_EQ(status, 0) << (status == 128 + SIGALRM ? "the read waited for a writer" : "");
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

TEST_F(Disk, AWriteThatStopsHalfWayLeavesTheOldFileAndNoTemporaryFile) {
    const QByteArray old(300, 'o');
    Put("a.prn", old);
    const int status = InChild([&] {
        // The file size limit stands in for a disk that fills up during the write.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 100;
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            disk.replace(Path("a.prn"), QByteArray(1000, 'n'));
            std::fprintf(stderr, "the write did not fail\n");
        } catch (const FileError& e) {
            if (e.kind() == FileErrorKind::Other && e.platformError() == EFBIG &&
                QString::fromUtf8(e.what()) == QStringLiteral("I/O error %1").arg(EFBIG))
                return 0;
            std::fprintf(stderr, "unexpected error: %s\n", e.what());
        }
        return 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Get("a.prn"), old);
    EXPECT_EQ(Entries(), QStringList{"a.prn"});
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
