#include "settings/core/SettingsStore.h"
#include "settings/core/AppInfo.h"
#include "tree/LocalText.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include <QFileInfo>

using Outcome = SettingsStore::LoadOutcome;

TEST(SettingsStore, FirstStartCreatesAnEmptyFileOwnerOnly) {
    TempDir dir;
    SettingsStore s(dir.path("quarrylog.set"));
    EXPECT_EQ(s.LoadSettings(), Outcome::Created);
    EXPECT_EQ(dir.read("quarrylog.set"), "\r\n<SETTINGS/>");
    EXPECT_EQ(QFileInfo(dir.qpath("quarrylog.set")).permissions(),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                  QFileDevice::WriteUser);
}

TEST(SettingsStore, BrokenFileIsKeptAsideAndReplaced) {
    TempDir dir;
    const std::string broken = "<SETTINGS USEPROXY=\"Y\"><KEYWORDS><KW VAL=\"hotel\"/></SETTINGS>";
    dir.write("q.set", broken);
    dir.write("q.set.broken", "older");
    SettingsStore s(dir.path("q.set"));
    EXPECT_EQ(s.LoadSettings(), Outcome::ReplacedBroken);
    EXPECT_EQ(dir.read("q.set"), "\r\n<SETTINGS/>");
    EXPECT_EQ(dir.read("q.set.broken"), "older");
    EXPECT_EQ(s.BrokenCopy(), dir.path("q.set.broken.2"));
    EXPECT_EQ(dir.read("q.set.broken.2"), broken);
    EXPECT_EQ(s.Get("USEPROXY"), "");
}

TEST(SettingsStore, EmptyFileStartsAfresh) {
    TempDir dir;
    dir.write("q.set", "");
    SettingsStore s(dir.path("q.set"));
    EXPECT_EQ(s.LoadSettings(), Outcome::Created);
    EXPECT_EQ(s.Tree().Name(), "SETTINGS");
    EXPECT_EQ(dir.read("q.set"), "\r\n<SETTINGS/>");
}

TEST(SettingsStore, PasswordScrambledInFilePlainInMemory) {
    TempDir dir;
    {
        SettingsStore s(dir.path("q.set"));
        s.LoadSettings();
        s.Set("PROXYPASS", "secret");
        s.Set("PROXYUSER", "bob");
        // Saving writes a scrambled copy; the tree in memory is not touched at all.
        const std::uint64_t stamp = s.Tree().ChangeStamp();
        EXPECT_TRUE(s.SaveNow());
        EXPECT_EQ(s.Get("PROXYPASS"), "secret");
        EXPECT_EQ(s.Tree().ChangeStamp(), stamp);
    }
    EXPECT_EQ(dir.read("q.set"), "\r\n<SETTINGS PROXYPASS=\"71F22A10D59A\" PROXYUSER=\"bob\"/>");
    SettingsStore again(dir.path("q.set"));
    EXPECT_EQ(again.LoadSettings(), Outcome::Loaded);
    EXPECT_EQ(again.Get("PROXYPASS"), "secret");
    again.Set("PROXYPASS", "");
    again.SaveNow();
    EXPECT_EQ(dir.read("q.set"), "\r\n<SETTINGS PROXYUSER=\"bob\"/>");
}

TEST(SettingsStore, DataFileNameGeometryAndSections) {
    TempDir dir;
    SettingsStore s(dir.path("q.set"));
    s.LoadSettings();
    s.SetDataFileName("/home/u/data/report.txt");
    EXPECT_EQ(s.GetDataFileName(), "/home/u/data/report.qrl");
    // Written at once.
    EXPECT_NE(dir.read("q.set").find("DATA_FILE_NAME=\"/home/u/data/report.qrl\""),
              std::string::npos);
    s.SetDataFileName("/home/u.dir/noext");
    EXPECT_EQ(s.GetDataFileName(), "/home/u.dir/noext.qrl");

    s.WriteGeometry(800, 600, 10, 20);
    EXPECT_EQ(s.Get("WIDTH"), "800");
    s.Set("LEFT", "ten");
    const auto g = s.ReadGeometry();
    EXPECT_EQ(g.width, 800);
    EXPECT_EQ(g.height, 600);
    EXPECT_EQ(g.top, 20);
    EXPECT_FALSE(g.left.has_value());

    // List column widths: what is no positive integer counts as absent.
    EXPECT_FALSE(s.ReadListColumns().title.has_value());
    s.WriteListColumns(300, 0, 120);
    EXPECT_EQ(s.Get("LISTTITLEW"), "300");
    s.Set("LISTDESCW", "-5");
    const auto columns = s.ReadListColumns();
    EXPECT_EQ(columns.title, 300);
    EXPECT_FALSE(columns.url.has_value());
    EXPECT_FALSE(columns.description.has_value());
    // Other positive numbers (the recovery interval, the file dialogs' size) likewise.
    for (const auto& [text, value] :
         std::vector<std::pair<std::string, std::optional<int>>>{{"120000", 120000},
                                                                 {"+5", 5},
                                                                 {"0", {}},
                                                                 {"-1", {}},
                                                                 {"1e3", {}},
                                                                 {"", {}},
                                                                 {"99999999999", {}},
                                                                 {" 5", {}}}) {
        s.Set("RECOVERY_INTERVAL_MS", text);
        EXPECT_EQ(s.ReadPositive("RECOVERY_INTERVAL_MS"), value) << text;
    }

    TQelPigger* kw = SettingsStore::GetSection(&s.Tree(), "KEYWORDS");
    ASSERT_NE(kw, nullptr);
    EXPECT_EQ(SettingsStore::GetSection(&s.Tree(), "keywords"), kw);
    EXPECT_EQ(SettingsStore::GetSection(nullptr, "KEYWORDS"), nullptr);
}

TEST(SettingsStore, WriteFailureIsReportedAndKeepsMemory) {
    TempDir dir;
    SettingsStore s(dir.path("missing-folder/q.set"));
    s.LoadSettings();
    s.Set("PROXYPASS", "pw");
    EXPECT_FALSE(s.SaveNow());
    EXPECT_EQ(s.Get("PROXYPASS"), "pw");
}

TEST(AppInfo, ChangeFileExtension) {
    EXPECT_EQ(ChangeFileExt("/a/report.qrl", ".BAK"), "/a/report.BAK");
    EXPECT_EQ(ChangeFileExt("/a.b/report", ".qrl"), "/a.b/report.qrl");
    EXPECT_EQ(ChangeFileExt("r.tar.gz", ".qrl"), "r.tar.qrl");
    EXPECT_EQ(std::string(AppInfo::Version), "1.0.1 beta");
}
