// A report file in a temporary folder with its captures folder, pages "saved" into it as the
// browser would save them, and the real sha256sum to check a SHA256SUMS with.
#pragma once

#include "capture/CaptureStore.h"
#include "report/ReportLayout.h"
#include "report/ReportRecords.h"
#include "settings/core/AppInfo.h"
#include "tree/TQelPigger.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <string>

class CaptureFixture : public ::testing::Test {
protected:
    CaptureFixture() {
        doc.SetName(ReportKeys::Root);
        doc.SetAttr(ReportKeys::Version, AppInfo::Version);
        urls = doc.AddChild(ReportKeys::Urls);
    }

    std::string report() const { return dir.path("r.qrl"); }
    std::string folder() const { return CapturesFolderOf(report()); }
    std::string inFolder(const std::string& name) const { return folder() + "/" + name; }

    TQelPigger* record(const std::string& url) {
        records.AddListing(urls, "Title of " + url, "", url, url);
        return records.FindListing(urls, url);
    }

    // Takes a number, writes the page (and a PDF when pdf is given) and records the capture.
    std::string capture(TQelPigger* rec, const std::string& page, const std::string& pdf = {},
                        const std::string& title = "A page") {
        std::string error;
        const std::optional<long long> number = TakeCaptureNumber(folder(), &error);
        EXPECT_TRUE(number) << error;
        CaptureAttempt a;
        a.number = number.value_or(0);
        a.saved = true;
        a.pageFile = CaptureFileName(a.number, "mhtml");
        dir.write("r.qrl.captures/" + a.pageFile, page);
        if (!pdf.empty()) {
            a.pdfFile = CaptureFileName(a.number, "pdf");
            dir.write("r.qrl.captures/" + a.pdfFile, pdf);
        }
        a.askedUrl = rec->GetAttr("URL");
        a.finalUrl = a.askedUrl + "final";
        a.title = title;
        EXPECT_TRUE(RecordCapture(folder(), rec, a, when, &error)) << error;
        return a.pageFile;
    }

    // The exit status of `sha256sum -c --strict SHA256SUMS` run in the folder.
    static int Sha256sumCheck(const std::string& inFolder) {
        QProcess p;
        p.setWorkingDirectory(QString::fromStdString(inFolder));
        p.start("sha256sum", {"-c", "--strict", "--quiet", "SHA256SUMS"});
        if (!p.waitForFinished(30000))
            return -1;
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    TempDir dir;
    TQelPigger doc;
    TQelPigger* urls;
    ReportRecords records;
    const QDateTime when = QDateTime::fromString("2026-12-09T10:15:30Z", Qt::ISODate);
};
