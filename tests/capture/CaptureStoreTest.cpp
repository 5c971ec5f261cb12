#include "CaptureFixture.h"

#include "capture/CaptureManifest.h"
#include "capture/CaptureStore.h"
#include "settings/core/CaptureSettings.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace {

int Mode(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

std::vector<CaptureEntry> Manifest(const std::string& folder) {
    std::vector<CaptureEntry> entries;
    std::string error;
    EXPECT_TRUE(ReadManifest(folder, &entries, &error)) << error;
    return entries;
}

} // namespace

using Captures = CaptureFixture;

TEST(CaptureManifest, HostileTextsStayInTheirFieldAndComeBackExactly) {
    const std::string texts[] = {
        "plain",
        "tab\there",
        "line\nbreak",
        "cr\rlf\r\n",
        "back\\slash",
        "\\t is no tab",
        "../../etc/passwd",
        "trailing\\",
        "\t\n\\\r",
        "",
        "\xc3\xa9t\xc3\xa9 \xff bytes",
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        CaptureEntry e;
        e.number = 12;
        e.time = QDateTime::fromString("2026-01-02T03:04:05Z", Qt::ISODate);
        e.file = "000012.mhtml";
        e.size = 5;
        e.sha256 = std::string(64, 'a');
        e.recordUrl = "http://r.example/" + text;
        e.askedUrl = text;
        e.finalUrl = text + "x";
        e.title = text;
        e.reason = text;
        const std::string line = ManifestLine(e);
        EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
        EXPECT_EQ(line.back(), '\n');
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 10);
        EXPECT_EQ(line.find('\r'), std::string::npos);
        const std::optional<CaptureEntry> back =
            ParseManifestLine(std::string_view(line).substr(0, line.size() - 1));
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, e);
    }
}

TEST(CaptureManifest, ReadsOnlyWholeLinesAndRepairsACutOneBeforeAppending) {
    TempDir dir;
    CaptureEntry e;
    e.number = 1;
    e.time = QDateTime::fromString("2026-01-02T03:04:05Z", Qt::ISODate);
    e.file = "000001.mhtml";
    e.sha256 = std::string(64, 'b');
    std::string error;
    ASSERT_TRUE(AppendManifest(dir.root(), {e}, &error)) << error;
    const std::string whole = dir.read(ManifestFileName);
    EXPECT_EQ(whole.substr(0, whole.find('\n')), ManifestFirstLine);

    // A crash cut the next line short: it is no entry, however much of it was written.
    CaptureEntry next = e;
    next.number = 2;
    next.file = "000002.mhtml";
    const std::string line = ManifestLine(next);
    for (size_t cut : {size_t(1), line.size() / 2, line.size() - 1}) {
        SCOPED_TRACE(cut);
        dir.write(ManifestFileName, whole + line.substr(0, cut));
        EXPECT_EQ(Manifest(dir.root()), std::vector<CaptureEntry>{e});
    }
    next.number = 3;
    next.file = "000003.mhtml";
    ASSERT_TRUE(AppendManifest(dir.root(), {next}, &error)) << error;
    EXPECT_EQ(dir.read(ManifestFileName), whole + ManifestLine(next));

    // Lines that are no entries are passed by.
    for (const std::string& bad : std::vector<std::string>{
             "x\t2026-01-02T03:04:05Z\tsaved\t000004.mhtml\t1\t" + std::string(64, 'c') +
                 "\t\t\t\t\t",
             "4\tnot a time\tfailed\t\t\t\t\t\t\t\t",
             "4\t2026-01-02T03:04:05Z\tgone\t\t\t\t\t\t\t\t",
             "4\t2026-01-02T03:04:05Z\tsaved\t../x.mhtml\t1\t" + std::string(64, 'c') +
                 "\t\t\t\t\t",
             "4\t2026-01-02T03:04:05Z\tsaved\t000004.mhtml\t1\tnohash\t\t\t\t\t"})
        EXPECT_FALSE(ParseManifestLine(bad)) << bad;
}

TEST_F(Captures, RecordingACaptureHashesListsAndMarksTheRecord) {
    TQelPigger* rec = record("http://a.example/");
    const std::string page = "MIME-Version: 1.0\r\n\r\npage bytes";
    const std::string file = capture(rec, page, "%PDF-1.4 pdf bytes", "Cats\tand\ndogs");

    EXPECT_EQ(Mode(folder()), 0700);
    EXPECT_EQ(file, "000001.mhtml");
    EXPECT_EQ(rec->GetAttr(CaptureFields::File), "000001.mhtml");
    EXPECT_EQ(rec->GetAttr(CaptureFields::Pdf), "000001.pdf");
    EXPECT_EQ(rec->GetAttr(CaptureFields::Time), "2026-12-09T10:15:30Z");
    EXPECT_EQ(rec->GetAttr(CaptureFields::Sha256), BytesSha256(page));

    const std::vector<CaptureEntry> entries = Manifest(folder());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].file, "000001.mhtml");
    EXPECT_EQ(entries[0].size, static_cast<long long>(page.size()));
    EXPECT_EQ(entries[0].sha256, BytesSha256(page));
    EXPECT_EQ(entries[0].title, "Cats\tand\ndogs");
    EXPECT_EQ(entries[0].recordUrl, "http://a.example/");
    EXPECT_EQ(entries[0].finalUrl, "http://a.example/final");
    EXPECT_EQ(entries[1].file, "000001.pdf");
    EXPECT_EQ(entries[1].number, 1);
    EXPECT_EQ(Sha256sumCheck(folder()), 0) << dir.read("r.qrl.captures/SHA256SUMS");
    EXPECT_EQ(dir.read("r.qrl.captures/SHA256SUMS"), BytesSha256(page) + "  000001.mhtml\n" +
                                                         BytesSha256("%PDF-1.4 pdf bytes") +
                                                         "  000001.pdf\n");

    // A failed capture is written down with its reason and leaves the record as it was.
    std::string error;
    CaptureAttempt failed;
    failed.number = *TakeCaptureNumber(folder(), &error);
    failed.failure = "The page did not load: timeout";
    failed.askedUrl = "http://a.example/";
    ASSERT_TRUE(RecordCapture(folder(), rec, failed, when, &error)) << error;
    EXPECT_EQ(rec->GetAttr(CaptureFields::File), "000001.mhtml");
    const std::vector<CaptureEntry> after = Manifest(folder());
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[2].outcome, CaptureOutcome::Failed);
    EXPECT_EQ(after[2].number, 2);
    EXPECT_EQ(after[2].reason, "The page did not load: timeout");

    // Only the counter names a file: not a page's name, nor a path out of the folder.
    CaptureAttempt hostile;
    hostile.number = 3;
    hostile.saved = true;
    for (const char* name : {"../r.qrl", "evil.mhtml", "000003.mhtml/../../r.qrl", ""}) {
        hostile.pageFile = name;
        EXPECT_FALSE(RecordCapture(folder(), rec, hostile, when, &error)) << name;
    }
    EXPECT_EQ(Manifest(folder()).size(), 3u);
}

TEST_F(Captures, NumbersAreNeverGivenTwiceWhateverWasLost) {
    TQelPigger* rec = record("http://a.example/");
    capture(rec, "one");
    capture(rec, "two");
    std::string error;
    // Removed files, a lost counter, even a lost manifest: the next number is still new.
    ASSERT_TRUE(RemoveCaptures(folder(), UnusedCaptures(folder(), doc), when, &error)) << error;
    EXPECT_FALSE(dir.exists("r.qrl.captures/000001.mhtml"));
    QFile::remove(QString::fromStdString(inFolder(CaptureCounterFileName)));
    EXPECT_EQ(TakeCaptureNumber(folder(), &error), 3);
    QFile::remove(QString::fromStdString(inFolder(ManifestFileName)));
    QFile::remove(QString::fromStdString(inFolder(CaptureCounterFileName)));
    dir.write("r.qrl.captures/000007.pdf", "left over");
    EXPECT_EQ(TakeCaptureNumber(folder(), &error), 8);
    EXPECT_EQ(TakeCaptureNumber(folder(), &error), 9);
    EXPECT_EQ(CaptureFileName(9, "mhtml"), "000009.mhtml");
    EXPECT_EQ(CaptureFileName(1234567, "pdf"), "1234567.pdf");

    // A folder that was opened to others is closed again.
    ::chmod(folder().c_str(), 0755);
    EXPECT_TRUE(MakeCapturesFolder(folder(), &error));
    EXPECT_EQ(Mode(folder()), 0700);
}

TEST_F(Captures, ARefreshedRecordKeepsItsCapture) {
    TQelPigger* rec = record("http://a.example/");
    capture(rec, "page");
    const int attributes = rec->AttrCount();
    records.AddListing(urls, "New title", "New description", "http://a.example/",
                       "http://a.example/moved");
    ASSERT_EQ(records.FindListing(urls, "http://a.example/"), rec);
    EXPECT_EQ(rec->AttrCount(), attributes);
    EXPECT_EQ(rec->GetAttr(CaptureFields::File), "000001.mhtml");
    EXPECT_EQ(rec->GetAttr(CaptureFields::Sha256), BytesSha256("page"));
    EXPECT_EQ(rec->FindChild("TITLE")->Text, "New title");
}

TEST_F(Captures, VerifyTellsIntactChangedAndMissingFiles) {
    TQelPigger* a = record("http://a.example/");
    TQelPigger* b = record("http://b.example/");
    capture(a, "a page", "a pdf");
    capture(b, "b page");
    capture(b, "b again");
    dir.write("r.qrl.captures/000001.pdf", "a pdf, edited");
    dir.write("r.qrl.captures/000002.mhtml", "b paGe"); // same size, other bytes
    QFile::remove(QString::fromStdString(inFolder("000003.mhtml")));

    std::vector<CaptureCheck> checks;
    std::string error;
    ASSERT_TRUE(VerifyCaptures(folder(), &checks, &error)) << error;
    std::vector<std::pair<std::string, std::string_view>> seen;
    for (const CaptureCheck& c : checks)
        seen.emplace_back(c.entry.file, CaptureStateName(c.state));
    const std::vector<std::pair<std::string, std::string_view>> expected = {
        {"000001.mhtml", "intact"},
        {"000001.pdf", "changed"},
        {"000002.mhtml", "changed"},
        {"000003.mhtml", "missing"}};
    EXPECT_EQ(seen, expected);
    EXPECT_NE(Sha256sumCheck(folder()), 0);

    // No captures folder: nothing to check, and that is no error.
    EXPECT_TRUE(VerifyCaptures(dir.path("none.qrl.captures"), &checks, &error));
    EXPECT_TRUE(checks.empty());
}

TEST_F(Captures, UnusedCapturesAreRemovedAndStayInTheHistory) {
    TQelPigger* a = record("http://a.example/");
    TQelPigger* b = record("http://b.example/");
    capture(a, "a old", "a old pdf");
    capture(a, "a new");
    capture(b, "b");
    dir.write("r.qrl.captures/notes.txt", "the user's own file");
    urls->DeleteChildNode(b); // deleting a record removes nothing

    EXPECT_TRUE(dir.exists("r.qrl.captures/000003.mhtml"));
    const std::vector<std::string> unused = UnusedCaptures(folder(), doc);
    EXPECT_EQ(unused, (std::vector<std::string>{"000001.mhtml", "000001.pdf", "000003.mhtml"}));
    std::string error;
    ASSERT_TRUE(RemoveCaptures(
        folder(), {"000001.mhtml", "000001.pdf", "000003.mhtml", "notes.txt", "../r.qrl"},
        when.addSecs(60), &error))
        << error;
    EXPECT_FALSE(dir.exists("r.qrl.captures/000001.mhtml"));
    EXPECT_TRUE(dir.exists("r.qrl.captures/notes.txt"));
    EXPECT_TRUE(dir.exists("r.qrl.captures/000002.mhtml"));

    const std::vector<CaptureEntry> entries = Manifest(folder());
    ASSERT_EQ(entries.size(), 7u);
    EXPECT_EQ(entries[4].outcome, CaptureOutcome::Removed);
    EXPECT_EQ(entries[4].file, "000001.mhtml");
    EXPECT_EQ(entries[4].sha256, BytesSha256("a old"));
    EXPECT_EQ(entries[4].time, when.addSecs(60));
    EXPECT_EQ(dir.read("r.qrl.captures/SHA256SUMS"), BytesSha256("a new") + "  000002.mhtml\n");
    EXPECT_EQ(Sha256sumCheck(folder()), 0);
    std::vector<CaptureCheck> checks;
    ASSERT_TRUE(VerifyCaptures(folder(), &checks, &error));
    ASSERT_EQ(checks.size(), 1u);
    EXPECT_EQ(checks[0].state, CaptureState::Intact);
}

TEST_F(Captures, SaveAsTakesTheCapturesAlong) {
    TQelPigger* a = record("http://a.example/");
    capture(a, "a", "a pdf");
    std::string error;
    const std::string copy = dir.path("copy.qrl"), moved = dir.path("moved.qrl");
    ASSERT_TRUE(CopyCapturesFolder(report(), copy, false, &error)) << error;
    EXPECT_EQ(Mode(CapturesFolderOf(copy)), 0700);
    for (const char* name : {"000001.mhtml", "000001.pdf", "MANIFEST.tsv", "SHA256SUMS"})
        EXPECT_EQ(dir.read(std::string("copy.qrl.captures/") + name),
                  dir.read(std::string("r.qrl.captures/") + name))
            << name;
    EXPECT_EQ(Sha256sumCheck(CapturesFolderOf(copy)), 0);

    // Never into another report's captures; a report without captures has nothing to take.
    EXPECT_FALSE(CopyCapturesFolder(copy, report(), false, &error));
    EXPECT_NE(error.find("not empty"), std::string::npos) << error;
    EXPECT_TRUE(CopyCapturesFolder(dir.path("none.qrl"), dir.path("other.qrl"), false, &error));
    EXPECT_FALSE(dir.exists("other.qrl.captures"));

    ASSERT_TRUE(CopyCapturesFolder(copy, moved, true, &error)) << error;
    EXPECT_FALSE(dir.exists("copy.qrl.captures"));
    EXPECT_EQ(dir.read("moved.qrl.captures/000001.mhtml"), "a");
}

TEST(CaptureSettings, AbsentUntilSetAndGoneAgainWhenCleared) {
    const std::string text = "\r\n<SETTINGS USEPROXY=\"N\" PROXYPORT=\"8080\">\r\n\t<KEYWORDS/>\r\n"
                             "</SETTINGS>";
    TQelPigger root;
    root.SetAsText(text);
    const std::string before = root.GetAsText();
    EXPECT_TRUE(ReadCaptureSettings(root).tsaUrl.empty());
    WriteCaptureSettings(root, ReadCaptureSettings(root));
    EXPECT_EQ(root.GetAsText(), before);

    WriteCaptureSettings(root, {"http://tsa.example/tsr", "/etc/tsa/ca.pem"});
    TQelPigger again;
    again.SetAsText(root.GetAsText());
    EXPECT_EQ(ReadCaptureSettings(again).tsaUrl, "http://tsa.example/tsr");
    EXPECT_EQ(ReadCaptureSettings(again).tsaCaFile, "/etc/tsa/ca.pem");
    WriteCaptureSettings(again, {});
    EXPECT_EQ(again.GetAsText(), before);
}
