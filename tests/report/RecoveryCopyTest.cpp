#include "report/RecoveryCopy.h"
#include "report/RecoveryWriter.h"
#include "report/ReportFile.h"
#include "tree/TQelPigger.h"

#include "support/FileErrors.h"
#include "support/SampleReports.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>
#include <optional>

#include <sys/stat.h>

namespace {

std::unique_ptr<TQelPigger> sampleReport() {
    auto doc = std::make_unique<TQelPigger>();
    doc->SetAsText(SmallReportText());
    return doc;
}

// Sets the modification time of a file.
void touch(const QString& path, const QDateTime& when) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

QStringList filesIn(const TempDir& tmp) {
    return QDir(tmp.qpath(""))
        .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

// A writer of copies with the outcome it reports.
struct Writer {
    std::optional<std::pair<bool, std::string>> outcome;
    RecoveryWriter writer{
        [this](bool written, const std::string& error) { outcome.emplace(written, error); }};
    // Hands text over in pieces of pieceBytes, then its end.
    void write(const std::string& report, const std::string& text, std::size_t pieceBytes) {
        writer.Begin(report);
        for (std::size_t at = 0; at < text.size(); at += pieceBytes)
            writer.Add(text.substr(at, pieceBytes));
        writer.Finish();
    }
    bool ended() {
        return WaitUntil([&] { return outcome && writer.Idle() && !writer.InFlight(); });
    }
};

} // namespace

TEST(RecoveryCopy, AWriterOnItsOwnThreadWritesItWholeOrNotAtAll) {
    TempDir tmp;
    const std::string report = tmp.path("r.qrl");
    const std::string text = sampleReport()->GetAsText();
    Writer w;
    const mode_t oldMask = ::umask(0);
    w.write(report, text, 7);
    ::umask(oldMask);
    ASSERT_TRUE(w.ended());
    EXPECT_TRUE(w.outcome->first) << w.outcome->second;
    EXPECT_EQ(tmp.read("r.qrl.recover"), text);
    struct stat st {};
    ASSERT_EQ(::stat(RecoveryFileName(report).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(filesIn(tmp), QStringList{"r.qrl.recover"});

    // Cancelled before its end, a later copy is never put in place and leaves no file of its
    // own; nothing is reported for it.
    Writer cancelled;
    cancelled.writer.Begin(report);
    cancelled.writer.Add(std::string(1 << 20, 'x'));
    EXPECT_TRUE(cancelled.writer.InFlight());
    cancelled.writer.Cancel();
    EXPECT_FALSE(cancelled.writer.InFlight());
    cancelled.writer.Finish();
    ASSERT_TRUE(WaitUntil([&] { return cancelled.writer.Idle(); }));
    QTest::qWait(50);
    EXPECT_FALSE(cancelled.outcome);
    EXPECT_EQ(tmp.read("r.qrl.recover"), text);
    EXPECT_EQ(filesIn(tmp), QStringList{"r.qrl.recover"});

    // Begun anew, the copy in flight is given up for the new one.
    w.outcome.reset();
    w.writer.Begin(report);
    w.writer.Add("never written");
    w.write(report, "the later copy", 4);
    ASSERT_TRUE(w.ended());
    EXPECT_TRUE(w.outcome->first);
    EXPECT_EQ(tmp.read("r.qrl.recover"), "the later copy");
    EXPECT_EQ(filesIn(tmp), QStringList{"r.qrl.recover"});
}

TEST(RecoveryCopy, AWriterReportsWhyItsCopyWasNotWritten) {
    const struct {
        const char* why;
        bool fullDisk;
        const char* expected;
        QStringList left;
    } cases[] = {
        {"a folder in its place", false, "Cannot create file", {"r.qrl.recover"}},
        {"a full disk", true, "Cannot write file", {}},
    };
    for (const auto& c : cases) {
        TempDir tmp;
        const std::string report = tmp.path("r.qrl");
        std::optional<FileSizeLimit> limit;
        if (c.fullDisk)
            limit.emplace(1000);
        else
            ASSERT_TRUE(QDir().mkpath(tmp.qpath("r.qrl.recover")));
        Writer w;
        w.write(report, std::string(5000, 'x'), 1000);
        ASSERT_TRUE(w.ended()) << c.why;
        limit.reset();
        EXPECT_FALSE(w.outcome->first) << c.why;
        EXPECT_NE(w.outcome->second.find(std::string(c.expected) + " \"" + report + ".recover\""),
                  std::string::npos)
            << w.outcome->second;
        EXPECT_EQ(filesIn(tmp), c.left) << c.why;
    }
}

TEST(RecoveryCopy, IsWrittenBesideTheReportForTheOwnerOnlyAndReadsBackAsTheReport) {
    TempDir tmp;
    const std::string report = tmp.path("garden.qrl");
    EXPECT_EQ(RecoveryFileName(report), report + ".recover");
    // Whatever the creation mask allows, the copy is the owner's alone.
    const mode_t oldMask = ::umask(0);
    std::string error;
    const bool written = WriteRecoveryCopy(*sampleReport(), report, &error);
    ::umask(oldMask);
    ASSERT_TRUE(written) << error;
    struct stat st {};
    ASSERT_EQ(::stat(RecoveryFileName(report).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    TQelPigger back;
    ASSERT_EQ(ReadReportFile(back, RecoveryFileName(report)).outcome, ReportLoadResult::Loaded);
    EXPECT_EQ(back.GetAsText(), sampleReport()->GetAsText());
    EXPECT_EQ(back.GetAttr("RTITLE"), "Garden tools");

    // A later copy replaces the earlier one, and no temporary file stays behind.
    const auto changed = sampleReport();
    changed->SetAttr("RTITLE", "Garden tools, changed");
    ASSERT_TRUE(WriteRecoveryCopy(*changed, report, &error)) << error;
    EXPECT_NE(tmp.read("garden.qrl.recover").find("RTITLE=\"Garden tools, changed\""),
              std::string::npos);
    EXPECT_EQ(filesIn(tmp), QStringList{"garden.qrl.recover"});
    // The report file itself was never written.
    EXPECT_FALSE(tmp.exists("garden.qrl"));

    EXPECT_TRUE(RemoveRecoveryCopy(report));
    EXPECT_TRUE(filesIn(tmp).isEmpty());
    EXPECT_TRUE(RemoveRecoveryCopy(report)); // nothing left to remove is no failure
}

TEST(RecoveryCopy, AFailedWriteLeavesNothingHalfAndSaysWhy) {
    TempDir tmp;
    const std::string report = tmp.path("r.qrl");
    // A folder in the copy's place cannot be replaced by a file.
    ASSERT_TRUE(QDir().mkpath(tmp.qpath("r.qrl.recover")));
    tmp.write("r.qrl.recover/inside", "kept");
    std::string error;
    EXPECT_FALSE(WriteRecoveryCopy(*sampleReport(), report, &error));
    EXPECT_NE(error.find(report + ".recover"), std::string::npos) << error;
    EXPECT_EQ(tmp.read("r.qrl.recover/inside"), "kept");
    EXPECT_EQ(filesIn(tmp), QStringList{"r.qrl.recover"});

    // A folder that does not exist.
    error.clear();
    EXPECT_FALSE(WriteRecoveryCopy(*sampleReport(), tmp.path("gone/r.qrl"), &error));
    EXPECT_NE(error.find("Cannot create file"), std::string::npos) << error;
}

TEST(RecoveryCopy, IsOfferedOnlyWhenNewerThanTheReport) {
    TempDir tmp;
    const std::string report = tmp.path("r.qrl");
    EXPECT_EQ(FindRecoveryCopy(report).kind, RecoveryState::None);

    // A copy with no report at all (the report was never saved, or kept aside) is offered.
    std::string error;
    ASSERT_TRUE(WriteRecoveryCopy(*sampleReport(), report, &error)) << error;
    const QDateTime now = QDateTime::currentDateTime();
    touch(tmp.qpath("r.qrl.recover"), now.addSecs(-60));
    RecoveryState state = FindRecoveryCopy(report);
    EXPECT_EQ(state.kind, RecoveryState::Newer);
    EXPECT_EQ(state.written.toSecsSinceEpoch(), now.addSecs(-60).toSecsSinceEpoch());

    tmp.write("r.qrl", SmallReportText());
    touch(tmp.qpath("r.qrl"), now.addSecs(-120));
    EXPECT_EQ(FindRecoveryCopy(report).kind, RecoveryState::Newer);
    // The report was saved after the copy was written (by another program, say).
    touch(tmp.qpath("r.qrl"), now);
    EXPECT_EQ(FindRecoveryCopy(report).kind, RecoveryState::Stale);
    touch(tmp.qpath("r.qrl"), now.addSecs(-60));
    EXPECT_EQ(FindRecoveryCopy(report).kind, RecoveryState::Stale);

    // A folder of that name is no copy.
    ASSERT_TRUE(RemoveRecoveryCopy(report));
    ASSERT_TRUE(QDir().mkpath(tmp.qpath("r.qrl.recover")));
    EXPECT_EQ(FindRecoveryCopy(report).kind, RecoveryState::None);
}

TEST(RecoveryCopy, KeptAsideCopiesAreNeverReplaced) {
    TempDir tmp;
    const std::string report = tmp.path("r.qrl");
    EXPECT_EQ(KeepRecoveryCopyAside(report), "");

    const auto first = sampleReport();
    first->SetAttr("RTITLE", "first");
    std::string error;
    ASSERT_TRUE(WriteRecoveryCopy(*first, report, &error)) << error;
    EXPECT_EQ(KeepRecoveryCopyAside(report), report + ".recover.kept");
    EXPECT_FALSE(tmp.exists("r.qrl.recover"));
    EXPECT_EQ(FindRecoveryCopy(report).kind, RecoveryState::None);

    const auto second = sampleReport();
    second->SetAttr("RTITLE", "second");
    ASSERT_TRUE(WriteRecoveryCopy(*second, report, &error)) << error;
    EXPECT_EQ(KeepRecoveryCopyAside(report), report + ".recover.kept.2");
    EXPECT_NE(tmp.read("r.qrl.recover.kept").find("RTITLE=\"first\""), std::string::npos);
    EXPECT_NE(tmp.read("r.qrl.recover.kept.2").find("RTITLE=\"second\""), std::string::npos);
    EXPECT_EQ(filesIn(tmp), (QStringList{"r.qrl.recover.kept", "r.qrl.recover.kept.2"}));
}

TEST(RecoveryCopy, QuestionShowsTheDateInTheUsersShortForm) {
    const QDateTime when(QDate(2026, 12, 8), QTime(15, 4, 30));
    EXPECT_EQ(RecoveryQuestion(when, QLocale(QLocale::German, QLocale::Germany)),
              "A recovery copy of this report from 08.12.26 15:04 was found. Restore it?");
    const QString american =
        RecoveryQuestion(when, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(american.startsWith("A recovery copy of this report from 12/8/26"))
        << american.toStdString();
    EXPECT_TRUE(american.endsWith("PM was found. Restore it?")) << american.toStdString();
}
