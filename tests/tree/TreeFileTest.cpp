#include "tree/TreeFile.h"
#include "tree/TQelPigger.h"

#include "RecordsText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The message of the EQelFileError that loading fileName into tree raises, or "" when none.
std::string refusal(TQelPigger& tree, const std::string& fileName) {
    try {
        LoadTreeFile(tree, fileName);
    } catch (const EQelFileError& e) {
        return e.what();
    }
    return {};
}

// Whether this process has the file open.
bool openHere(const std::string& path) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error))
        if (std::filesystem::read_symlink(entry.path(), error) == path)
            return true;
    return false;
}

} // namespace

TEST(TreeFile, ReadsRegularFilesOnly) {
    TempDir tmp;
    tmp.write("t.qrl", "<A X=\"1\"><B/></A>");
    TQelPigger tree;
    EXPECT_EQ(refusal(tree, tmp.path("t.qrl")), "");
    EXPECT_EQ(tree.Name(), "A");

    // Refused at once, before anything is read, and the tree keeps what it held: a device that
    // never ends, a named pipe that nobody writes, a folder.
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(refusal(tree, "/dev/zero"),
              "Cannot open file \"/dev/zero\": it is not a regular file");
    ASSERT_EQ(::mkfifo(tmp.path("pipe.qrl").c_str(), 0600), 0);
    EXPECT_EQ(refusal(tree, tmp.path("pipe.qrl")),
              "Cannot open file \"" + tmp.path("pipe.qrl") + "\": it is not a regular file");
    ASSERT_TRUE(QDir().mkpath(tmp.qpath("folder.qrl")));
    EXPECT_EQ(refusal(tree, tmp.path("folder.qrl")),
              "Cannot open file \"" + tmp.path("folder.qrl") + "\": it is a folder");
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(tree.Name(), "A");
    EXPECT_EQ(tree.ChildCount(), 1);

    // A missing file is the reader's own error.
    const std::string missing = refusal(tree, tmp.path("none.qrl"));
    EXPECT_EQ(missing.rfind("Cannot open file \"" + tmp.path("none.qrl") + "\"", 0), 0u) << missing;
}

TEST(TreeFile, RefusesFilesLargerThanTheReaderCanCount) {
    TempDir tmp;
    // Sparse: no room on the disk is taken.
    QFile big(tmp.qpath("big.qrl"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(MaxTreeFileBytes + 1));
    big.close();
    TQelPigger tree;
    tree.SetName("KEPT");
    EXPECT_EQ(refusal(tree, tmp.path("big.qrl")), "Cannot read file \"" + tmp.path("big.qrl") +
                                                      "\": it is too large (1073741824 " +
                                                      "bytes; at most 1073741823 can be read)");
    EXPECT_EQ(tree.Name(), "KEPT");
    // Positions are 32-bit and a text may double in length while it is read.
    static_assert(2 * MaxTreeFileBytes < (std::int64_t(1) << 31));
}

TEST(TreeFile, AFileCutShortWhileItIsReadGivesAnErrorOrTheWholeTree) {
    // A file longer than its size said when it was opened (as the system's own files are) has
    // changed while it was read.
    TQelPigger tree;
    EXPECT_EQ(refusal(tree, "/proc/self/status"),
              "Cannot read file \"/proc/self/status\": it changed while it was read");

    // Another program cuts the file short at moments from its opening to well into the reading.
    TempDir tmp;
    const std::string text = RecordsText(60000);
    TQelPigger whole;
    whole.SetAsText(text);
    const std::string path = std::filesystem::canonical(tmp.root()).string() + "/r.qrl";
    for (const int delay : {0, 1, 2, 4, 8, 16}) {
        SCOPED_TRACE(delay);
        tmp.write("r.qrl", text);
        std::atomic<bool> done = false;
        std::thread cutter([&] {
            while (!openHere(path))
                if (done)
                    return;
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            EXPECT_EQ(::truncate(path.c_str(), 100), 0);
        });
        TQelPigger t;
        std::string error;
        try {
            t.LoadFromFile(path);
        } catch (const EQelFileError& e) {
            error = e.what();
            EXPECT_EQ(error, "Cannot read file \"" + path + "\": it changed while it was read");
        } catch (const EQelPiggerError& e) {
            // Cut before its size was taken: the text of the first hundred bytes.
            error = e.what();
        }
        done = true;
        cutter.join();
        if (error.empty()) {
            EXPECT_TRUE(t.GetAsText() == whole.GetAsText());
        }
    }
}

// A large file is read in place from the system's file cache: cut short or written under the
// reader, its pages that are gone read as zeros (the program goes on) and the reading is
// refused at its end; untouched, it is as read. A small file is a copy, which nothing changes.
TEST(TreeFile, AFileReadInPlaceTellsWhetherItIsStillAsRead) {
    TempDir tmp;
    const std::string path = std::filesystem::canonical(tmp.root()).string() + "/big.qrl";
    const std::string changed = "Cannot read file \"" + path + "\": it changed while it was read";
    const std::string text(3 << 20, 'x');
    for (const char* change : {"none", "cut", "written"}) {
        SCOPED_TRACE(change);
        tmp.write("big.qrl", text);
        WholeFile file;
        std::string reason;
        ASSERT_TRUE(file.ReadInPlace(path, &reason)) << reason;
        if (std::string_view(change) == "cut") {
            ASSERT_EQ(::truncate(path.c_str(), 4096), 0);
        }
        if (std::string_view(change) == "written") {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            tmp.write("big.qrl", std::string(text.size(), 'y'));
        }
        // Every byte read, also those cut off.
        std::size_t xs = 0;
        for (const char c : file.view())
            xs += c == 'x' ? 1 : 0;
        if (std::string_view(change) == "none") {
            EXPECT_EQ(xs, text.size());
            EXPECT_TRUE(file.StillAsRead(&reason));
        } else {
            EXPECT_LT(xs, text.size());
            EXPECT_FALSE(file.StillAsRead(&reason));
            EXPECT_EQ(reason, changed);
        }
    }
    tmp.write("small.qrl", "<A/>");
    WholeFile small;
    std::string reason;
    ASSERT_TRUE(small.ReadInPlace(tmp.root() + "/small.qrl", &reason));
    tmp.write("small.qrl", "<B/>");
    EXPECT_EQ(small.view(), "<A/>");
    EXPECT_TRUE(small.StillAsRead(&reason));
}

TEST(TreeFile, ANameSwappedForAPipeIsRefusedWithoutWaiting) {
    // Another program keeps swapping the file's name with that of a named pipe: every reading
    // gives the file's tree or the refusal, whichever the name stood for when it was opened.
    TempDir tmp;
    tmp.write("r.qrl", "<A/>");
    const std::string file = tmp.path("r.qrl"), pipe = tmp.path("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::atomic<bool> done = false;
    std::atomic<int> swaps = 0;
    std::thread swapper([&] {
        while (!done) {
            ::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, pipe.c_str(), RENAME_EXCHANGE);
            ++swaps;
        }
    });
    // A reader that waits on the pipe for a writer gets one that writes nothing.
    std::thread writer([&] {
        while (!done)
            for (const std::string& name : {file, pipe})
                if (const int fd = ::open(name.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0)
                    ::close(fd);
    });
    int read = 0, refused = 0, other = 0;
    QElapsedTimer clock;
    clock.start();
    while ((read + refused < 3000 || swaps < 200000) && clock.elapsed() < 20000) {
        TQelPigger t;
        const std::string why = refusal(t, file);
        if (why == "Cannot open file \"" + file + "\": it is not a regular file")
            ++refused;
        else if (why.empty() && t.Name() == "A")
            ++read;
        else
            ++other;
    }
    done = true;
    swapper.join();
    writer.join();
    EXPECT_EQ(other, 0);
    EXPECT_GT(read, 0);
    EXPECT_GT(refused, 0);
}
