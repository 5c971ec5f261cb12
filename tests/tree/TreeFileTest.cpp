#include "tree/TreeFile.h"
#include "tree/TQelPigger.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <sys/stat.h>

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
