#include "tree/FileBoundary.h"

#include "support/FileErrors.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>

#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Hands out the pieces, then gives ok.
FileProducer pieces(std::vector<std::string> texts, bool ok = true) {
    return [texts = std::move(texts), ok](const FileSink& sink) {
        for (const std::string& t : texts)
            if (!sink(t))
                return false;
        return ok;
    };
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

QStringList entries(const TempDir& tmp) {
    return QDir(tmp.qpath(""))
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
}

} // namespace

TEST(FileBoundary, WritesTheWholeTextInOneStepWithTheChosenPermissions) {
    const mode_t oldMask = ::umask(022);
    struct Case {
        const char* what;
        std::optional<mode_t> before; // the file there before, with its mode
        FilePermissions permissions;
        mode_t after;
    };
    const Case cases[] = {
        {"new file, usual", std::nullopt, FilePermissions::Usual, 0644},
        {"keeps the mode of the file replaced", 0640, FilePermissions::Usual, 0640},
        {"new file, owner only", std::nullopt, FilePermissions::OwnerOnly, 0600},
        {"owner only whatever the file had", 0664, FilePermissions::OwnerOnly, 0600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir tmp;
        const std::string file = tmp.path("f.txt");
        if (c.before) {
            tmp.write("f.txt", "old text");
            ASSERT_EQ(::chmod(file.c_str(), *c.before), 0);
        }
        std::string reason = "untouched";
        ASSERT_TRUE(
            WriteFileAtomically(file, pieces({"one ", "two ", "three"}), c.permissions, &reason));
        EXPECT_EQ(reason, "untouched");
        EXPECT_EQ(tmp.read("f.txt"), "one two three");
        EXPECT_EQ(modeOf(file), c.after);
        // No temporary file stays behind.
        EXPECT_EQ(entries(tmp), QStringList{"f.txt"});
    }
    ::umask(oldMask);

    // A symbolic link is written where it leads and stays a link.
    TempDir tmp;
    tmp.write("target.txt", "old");
    ASSERT_EQ(::symlink("target.txt", tmp.path("link.txt").c_str()), 0);
    ASSERT_TRUE(WriteFileAtomically(tmp.path("link.txt"), pieces({"new"}), FilePermissions::Usual,
                                    nullptr));
    EXPECT_EQ(tmp.read("target.txt"), "new");
    struct stat st {};
    ASSERT_EQ(::lstat(tmp.path("link.txt").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(FileBoundary, AFailedWriteLeavesTheFileAsItWasAndSaysWhy) {
    TempDir tmp;
    tmp.write("kept.txt", "old text");
    tmp.write("locked.txt", "old text");
    ASSERT_EQ(::chmod(tmp.path("locked.txt").c_str(), 0444), 0);
    ASSERT_TRUE(QDir().mkpath(tmp.qpath("folder")));
    struct Case {
        std::string name;
        FileProducer produce;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"kept.txt", pieces({"half "}, false), "Cannot write file \"%\": Input/output error"},
        {"folder", pieces({"x"}), "Cannot create file \"%\": it is a folder"},
        {"gone/f.txt", pieces({"x"}), "Cannot create file \"%\": No such file or directory"},
        // A file this user may not write is not replaced behind its back (root may).
        {"locked.txt", pieces({"x"}),
         ::geteuid() == 0 ? "" : "Cannot create file \"%\": Permission denied"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = tmp.path(c.name);
        std::string expected = c.reason;
        if (const size_t at = expected.find('%'); at != std::string::npos)
            expected.replace(at, 1, file);
        std::string reason;
        EXPECT_EQ(WriteFileAtomically(file, c.produce, FilePermissions::Usual, &reason),
                  expected.empty());
        EXPECT_EQ(reason, expected);
    }
    EXPECT_EQ(tmp.read("kept.txt"), "old text");
    EXPECT_EQ(entries(tmp), (QStringList{"folder", "kept.txt", "locked.txt"}));
}

TEST(FileBoundary, WriteErrorsGiveTheSystemsReasonAndReplaceNoPipe) {
    TempDir tmp;
    // Others may look into the test's folder, but not write into "ro".
    ASSERT_EQ(::chmod(tmp.root().c_str(), 0755), 0);
    ASSERT_TRUE(QDir().mkpath(tmp.qpath("ro")));
    tmp.write("ro/kept.txt", "old text");
    ASSERT_EQ(::chmod(tmp.path("ro").c_str(), 0555), 0);
    tmp.write("big.txt", "old text");
    ASSERT_EQ(::mkfifo(tmp.path("pipe").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("pipe", tmp.path("to-pipe").c_str()), 0);
    const auto write = [&](const std::string& name) {
        std::string reason;
        WriteFileAtomically(tmp.path(name), pieces({std::string(4096, 'x')}),
                            FilePermissions::Usual, &reason);
        return reason;
    };
    struct Case {
        std::string name;
        bool unprivileged;
        std::string reason;
    };
    const Case cases[] = {
        {"ro/new.txt", true, "Cannot create file \"%\": Permission denied"},
        {"ro/kept.txt", true, "Cannot create file \"%\": Permission denied"},
        {"pipe", false, "Cannot create file \"%\": it is not a regular file"},
        {"to-pipe", false, "Cannot create file \"%\": it is not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string expected = c.reason;
        expected.replace(expected.find('%'), 1, tmp.path(c.name));
        EXPECT_EQ(c.unprivileged ? AsUnprivileged([&] { return write(c.name); }) : write(c.name),
                  expected);
    }
    {
        // As on a full disk: the bytes do not fit.
        const FileSizeLimit limit(100);
        EXPECT_EQ(write("big.txt"),
                  "Cannot write file \"" + tmp.path("big.txt") + "\": File too large");
    }
    EXPECT_EQ(tmp.read("ro/kept.txt"), "old text");
    EXPECT_EQ(tmp.read("big.txt"), "old text");
    struct stat pipe {};
    ASSERT_EQ(::lstat(tmp.path("pipe").c_str(), &pipe), 0);
    EXPECT_TRUE(S_ISFIFO(pipe.st_mode));
    EXPECT_EQ(entries(tmp), (QStringList{"big.txt", "pipe", "ro", "to-pipe"}));
    EXPECT_EQ(QDir(tmp.qpath("ro")).entryList(QDir::Files), QStringList{"kept.txt"});
    ASSERT_EQ(::chmod(tmp.path("ro").c_str(), 0755), 0);
}

TEST(FileBoundary, ReadingGivesFalseAndTheReasonWithNothingRead) {
    TempDir tmp;
    tmp.write("f.txt", "text");
    ASSERT_EQ(::mkfifo(tmp.path("pipe").c_str(), 0600), 0);
    WholeFile file;
    std::string reason;
    ASSERT_TRUE(file.Read(tmp.path("f.txt"), &reason));
    EXPECT_EQ(file.view(), "text");
    const std::pair<std::string, std::string> refused[] = {
        {tmp.path("none"), "No such file or directory"},
        {tmp.root(), "it is a folder"},
        {tmp.path("pipe"), "it is not a regular file"},
        {"", "no file name given"},
    };
    for (const auto& [name, why] : refused) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(file.Read(name, &reason));
        EXPECT_EQ(reason, "Cannot open file \"" + name + "\": " + why);
        EXPECT_EQ(file.size(), 0u);
    }
}
