#include "tree/LocalText.h"
#include "tree/KeepAside.h"
#include "tree/LineBreaks.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(LineBreaks, EveryKindOfBreakBecomesOneBreak) {
    EXPECT_EQ(WithCrLfBreaks("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(WithCrLfBreaks("\r\r\n\n"), "\r\n\r\n\r\n");
    EXPECT_EQ(WithCrLfBreaks("no break"), "no break");
    EXPECT_EQ(WithCrLfBreaks(""), "");
    EXPECT_EQ(WithLfBreaks("a\r\nb\rc\nd\r"), "a\nb\nc\nd\n");
    EXPECT_EQ(WithLfBreaks("\n\r\n"), "\n\n");
}

TEST(LocalText, TextsAndFileNamesKeepTheirBytesBothWays) {
    const std::string name = "/tmp/Gr\xC3\xBC\xC3\x9F"
                             "e.qrl";
    EXPECT_EQ(ToQPath(name), QString::fromUtf8("/tmp/Grüße.qrl"));
    EXPECT_EQ(FromQPath(ToQPath(name)), name);
    EXPECT_EQ(FromQ(ToQ("Gr\xC3\xBC\xC3\x9F"
                        "e")),
              "Gr\xC3\xBC\xC3\x9F"
              "e");
    EXPECT_EQ(ToQ(std::string_view("a\0b", 3)).size(), 3);
}

TEST(KeepAside, NeverOverwritesAnEarlierCopy) {
    TempDir dir;
    dir.write("r.qrl", "first");
    EXPECT_EQ(KeepAside(dir.path("r.qrl"), ".unreadable"), dir.path("r.qrl.unreadable"));
    EXPECT_FALSE(dir.exists("r.qrl"));
    dir.write("r.qrl", "second");
    EXPECT_EQ(KeepAside(dir.path("r.qrl"), ".unreadable"), dir.path("r.qrl.unreadable.2"));
    EXPECT_EQ(dir.read("r.qrl.unreadable"), "first");
    EXPECT_EQ(dir.read("r.qrl.unreadable.2"), "second");
    EXPECT_EQ(KeepAside(dir.path("missing"), ".broken"), "");
}
