#include "CaptureFixture.h"

#include "capture/TrustedTime.h"
#include "settings/core/CaptureSettings.h"

#include "cli/QrlRun.h"
#include "support/TsaServer.h"

#include <QDir>
#include <QFile>

class CaptureCommand : public CaptureFixture {
protected:
    // Two records with captures; the report is saved.
    void twoCaptured() {
        capture(record("http://a.example/"), "page a", "pdf a");
        capture(record("http://b.example/"), "page b");
        record("http://c.example/"); // never captured
        doc.SaveToFile(report());
    }
    CliRun verify(QStringList more = {}) {
        return RunQrl(QStringList{"verify", QString::fromStdString(report())} + more);
    }
};

TEST_F(CaptureCommand, VerifySaysWhatBecameOfEachCapture) {
    twoCaptured();
    CliRun r = verify();
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "intact\t000001.mhtml\thttp://a.example/\n"
                     "intact\t000001.pdf\thttp://a.example/\n"
                     "intact\t000002.mhtml\thttp://b.example/\n"
                     "3 captures: 3 intact, 0 changed, 0 missing\n");
    dir.write("r.qrl.captures/000001.pdf", "pdf A");
    QFile::remove(QString::fromStdString(inFolder("000002.mhtml")));
    r = verify();
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "intact\t000001.mhtml\thttp://a.example/\n"
                     "changed\t000001.pdf\thttp://a.example/\n"
                     "missing\t000002.mhtml\thttp://b.example/\n"
                     "3 captures: 1 intact, 1 changed, 1 missing\n");

    const QString rep = QString::fromStdString(report());
    ExpectFailures(
        {{{"verify"}, 2, "qrl verify: no report given\n"},
         {{"verify", rep, "--bogus"}, 2, "qrl verify: unknown option or missing value: --bogus\n"},
         {{"verify", rep, rep}, 2, {}},
         {{"verify", QString::fromStdString(dir.path("none.qrl"))}, 2, {}}});
}

TEST_F(CaptureCommand, VerifyChecksTheStampWithTheSettingsCa) {
    TsaServer tsa;
    twoCaptured();
    std::string error;
    ASSERT_TRUE(StampManifest(folder(), {tsa.url(), tsa.caFile()}, &error)) << error;
    TQelPigger settings;
    settings.SetName("SETTINGS");
    WriteCaptureSettings(settings, {tsa.url(), tsa.caFile()});
    settings.SaveToFile(dir.path("q.set"));
    const QStringList withSettings = {"--settings", dir.qpath("q.set")};

    CliRun r = verify(withSettings);
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("\nstamp\tvalid\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("; the manifest's time stamp is valid\n"), std::string::npos) << r.out;
    r = verify({"--ca", QString::fromStdString(tsa.otherCaFile())});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("\nstamp\tinvalid\t"), std::string::npos) << r.out;

    // The manifest edited after its stamp.
    dir.write("r.qrl.captures/MANIFEST.tsv", dir.read("r.qrl.captures/MANIFEST.tsv") + "\n");
    r = verify(withSettings);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("stamp\tmismatch\t"), std::string::npos) << r.out;
}

TEST_F(CaptureCommand, ThePackageChecksOutWithSha256sum) {
    twoCaptured();
    const QString out = dir.qpath("package");
    const CliRun r =
        RunQrl({"export", QString::fromStdString(report()), "--format", "package", "-o", out});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const std::string package = dir.path("package");
    EXPECT_EQ(Sha256sumCheck(package), 0);
    const std::string sums = dir.read("package/SHA256SUMS");
    for (const char* name :
         {"  report.html\n", "  captures/000001.mhtml\n", "  captures/000001.pdf\n",
          "  captures/000002.mhtml\n", "  captures/MANIFEST.tsv\n"})
        EXPECT_NE(sums.find(name), std::string::npos) << name << sums;
    EXPECT_EQ(dir.read("package/captures/MANIFEST.tsv"), dir.read("r.qrl.captures/MANIFEST.tsv"));
    const std::string html = dir.read("package/report.html");
    EXPECT_NE(html.find("<a href=\"captures/000001.mhtml\">000001.mhtml</a><br><span "
                        "class=\"sha256\">SHA-256 " +
                        BytesSha256("page a") + "</span>"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find("<th>Capture</th>"), std::string::npos);

    // A capture changed since it was saved fails the check in the package too.
    dir.write("r.qrl.captures/000002.mhtml", "page B");
    ASSERT_EQ(RunQrl({"export", QString::fromStdString(report()), "--format", "package", "-o",
                      dir.qpath("package2")})
                  .code,
              0);
    EXPECT_NE(Sha256sumCheck(dir.path("package2")), 0);

    ExpectFailures(
        {{{"export", QString::fromStdString(report()), "--format", "package"},
          2,
          "qrl export: --format package needs -o FOLDER\n"},
         {{"export", QString::fromStdString(report()), "--format", "package", "-o", out},
          1,
          "Cannot write the package into \"" + package + "\": the folder is not empty\n"}});
}

TEST_F(CaptureCommand, WithoutCapturesThePackagePageIsThePlainExport) {
    record("http://a.example/");
    record("http://b.example/")->SetAttr("CHK", "Y");
    doc.SaveToFile(report());
    const QString rep = QString::fromStdString(report());
    for (const bool checked : {false, true}) {
        SCOPED_TRACE(checked);
        const QString out = dir.qpath(checked ? "p-checked" : "p-all");
        QStringList args = {"export", rep, "--format", "package", "-o", out};
        QStringList plain = {"export", rep, "--format", "html"};
        if (checked) {
            args << "--checked";
            plain << "--checked";
        }
        ASSERT_EQ(RunQrl(args).code, 0);
        const CliRun html = RunQrl(plain);
        EXPECT_EQ(dir.read((checked ? "p-checked" : "p-all") + std::string("/report.html")),
                  html.out);
        EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
                  (QStringList{"report.html", "SHA256SUMS"}));
        EXPECT_EQ(Sha256sumCheck(out.toStdString()), 0);
    }
}
