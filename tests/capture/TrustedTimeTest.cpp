#include "CaptureFixture.h"

#include "capture/TrustedTime.h"
#include "settings/core/CaptureSettings.h"

#include "support/TsaServer.h"

#include <QFile>

namespace {

// `openssl ts -verify` of the kept request and reply against the CA: a check by other code.
int OpensslVerify(const std::string& manifest, const std::string& caFile) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start("openssl",
            {"ts", "-verify", "-queryfile", QString::fromStdString(manifest + ".tsq"), "-in",
             QString::fromStdString(manifest + ".tsr"), "-CAfile", QString::fromStdString(caFile)});
    p.waitForFinished(30000);
    return p.exitCode();
}

} // namespace

class TrustedTime : public CaptureFixture {
protected:
    TsaServer tsa;
};

TEST_F(TrustedTime, TheManifestIsStampedAndAChangeAfterwardsShows) {
    capture(record("http://a.example/"), "page");
    const std::string manifest = inFolder(ManifestFileName);
    std::string error;
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-5);
    ASSERT_TRUE(StampManifest(folder(), {tsa.url(), tsa.caFile()}, &error)) << error;
    EXPECT_EQ(OpensslVerify(manifest, tsa.caFile()), 0);

    StampCheck check = CheckManifestStamp(folder(), tsa.caFile());
    EXPECT_EQ(check.state, StampState::Valid) << check.detail;
    EXPECT_GE(check.time, before);
    EXPECT_LE(check.time, QDateTime::currentDateTimeUtc().addSecs(5));
    EXPECT_EQ(CheckManifestStamp(folder(), "").state, StampState::Unchecked);
    check = CheckManifestStamp(folder(), tsa.otherCaFile());
    EXPECT_EQ(check.state, StampState::Invalid);
    EXPECT_NE(check.detail.find("signature"), std::string::npos) << check.detail;

    // A capture added after the stamp: the stamp is of another manifest.
    capture(record("http://b.example/"), "page b");
    EXPECT_EQ(CheckManifestStamp(folder(), tsa.caFile()).state, StampState::Mismatch);
    ASSERT_TRUE(StampManifest(folder(), {tsa.url(), tsa.caFile()}, &error)) << error;
    EXPECT_EQ(CheckManifestStamp(folder(), tsa.caFile()).state, StampState::Valid);

    // A reply kept with another request's nonce does not hold.
    const std::string request = dir.read("r.qrl.captures/MANIFEST.tsv.tsq");
    ASSERT_TRUE(StampManifest(folder(), {tsa.url(), tsa.caFile()}, &error)) << error;
    dir.write("r.qrl.captures/MANIFEST.tsv.tsq", request);
    EXPECT_EQ(CheckManifestStamp(folder(), tsa.caFile()).state, StampState::Invalid);
}

TEST_F(TrustedTime, NothingToStampOrNoAuthorityIsNoError) {
    std::string error;
    EXPECT_TRUE(StampManifest(folder(), {tsa.url(), tsa.caFile()}, &error)) << error;
    capture(record("http://a.example/"), "page");
    EXPECT_TRUE(StampManifest(folder(), {"", ""}, &error)) << error;
    EXPECT_FALSE(dir.exists("r.qrl.captures/MANIFEST.tsv.tsr"));
    EXPECT_EQ(CheckManifestStamp(folder(), tsa.caFile()).state, StampState::None);

    // An authority that is not there, or a reply that is no stamp: the stamp is not kept.
    EXPECT_FALSE(StampManifest(folder(), {"http://127.0.0.1:1/tsr", ""}, &error, 3000));
    EXPECT_FALSE(dir.exists("r.qrl.captures/MANIFEST.tsv.tsr"));
    const StampCheck garbage = CheckTimeStamp("not DER", "", "data", tsa.caFile());
    EXPECT_EQ(garbage.state, StampState::Invalid);
}
