#include "exchange/ExportPackage.h"

#include "capture/CaptureManifest.h"
#include "capture/CaptureStore.h"
#include "capture/TrustedTime.h"
#include "exchange/Export.h"
#include "exchange/TreeText.h"
#include "report/ReportLayout.h"
#include "tree/FileBoundary.h"
#include "tree/TQelPigger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <map>
#include <utility>
#include <vector>

namespace {

QString Q(const std::string& name) {
    return QFile::decodeName(name.c_str());
}

std::string E(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

// The latest capture of each record that ReadExchangeReport takes, in the same order.
void LinkCaptures(const TQelPigger& doc, bool checkedOnly,
                  const std::map<std::string, std::string>& presentHashes, ExchangeReport& report) {
    const TQelPigger* urls = doc.FindChild(ReportKeys::Urls);
    if (!urls)
        return;
    size_t at = 0;
    for (const TQelPigger* node : urls->Children()) {
        if (node->Name() != RecordFields::Listing)
            continue;
        if (checkedOnly && node->AttrRef(RecordFields::Check) != RecordFields::Checked)
            continue;
        if (at >= report.records.size())
            return;
        ExchangeRecord& record = report.records[at++];
        const std::string file = LatestCapture(node);
        const auto present = presentHashes.find(file);
        if (file.empty() || present == presentHashes.end())
            continue;
        record.captureLink = QString::fromLatin1(PackageCapturesFolder) + "/" + Q(file);
        record.captureSha256 = QString::fromStdString(present->second);
    }
}

bool WriteBytes(const std::string& name, const QByteArray& bytes, std::string* error) {
    return WriteFileAtomically(
        name,
        [&bytes](const FileSink& sink) {
            return sink(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        },
        FilePermissions::Usual, error);
}

} // namespace

bool ExportPackage(const TQelPigger& doc, const std::string& reportFile, const std::string& folder,
                   bool checkedOnly, std::string* error) {
    const QDir target(Q(folder));
    const QFileInfo info(Q(folder));
    if (info.exists() && (!info.isDir() || !target.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                           QDir::Hidden | QDir::System))) {
        *error = "Cannot write the package into \"" + folder +
                 "\": " + (info.isDir() ? "the folder is not empty" : "it is not a folder");
        return false;
    }
    if (!QDir().mkpath(Q(folder))) {
        *error = "Cannot create folder \"" + folder + "\"";
        return false;
    }
    const std::string captures = CapturesFolderOf(reportFile);
    std::vector<CaptureEntry> entries;
    if (!ReadManifest(captures, &entries, error))
        return false;
    const std::vector<CaptureEntry> present = PresentCaptures(entries);

    // The page, the captures, the manifest with its stamp; then the sums over all of them.
    std::vector<std::pair<std::string, std::string>> sums;
    std::map<std::string, std::string> presentHashes;
    const QString packageCaptures = target.filePath(QString::fromLatin1(PackageCapturesFolder));
    // A capture's line carries the hash its manifest wrote down, so that a capture changed
    // since it was saved fails the check in the package as it does in the captures folder.
    const auto copy = [&](const std::string& name, const std::string& recorded) {
        const QString from = QDir(Q(captures)).filePath(Q(name));
        const QString to = QDir(packageCaptures).filePath(Q(name));
        if (!QFile::copy(from, to)) {
            *error = "Cannot copy file \"" + E(from) + "\" into the package";
            return false;
        }
        const std::optional<std::string> hash =
            recorded.empty() ? FileSha256(E(to)) : std::optional<std::string>(recorded);
        if (!hash) {
            *error = "Cannot read file \"" + E(to) + "\"";
            return false;
        }
        sums.emplace_back(*hash, std::string(PackageCapturesFolder) + "/" + name);
        return true;
    };
    const bool haveManifest = QFileInfo::exists(QDir(Q(captures)).filePath(ManifestFileName));
    if (haveManifest && !QDir().mkpath(packageCaptures)) {
        *error = "Cannot create folder \"" + E(packageCaptures) + "\"";
        return false;
    }
    for (const CaptureEntry& e : present) {
        // A file missing from the folder is not in the package; the manifest copied with it
        // still lists it, so that the gap shows.
        if (!QFileInfo::exists(QDir(Q(captures)).filePath(Q(e.file))))
            continue;
        if (!copy(e.file, e.sha256))
            return false;
        presentHashes[e.file] = sums.back().first;
    }
    if (haveManifest) {
        const std::string manifest = ManifestFileName;
        for (const std::string& name :
             {manifest, manifest + StampRequestSuffix, manifest + StampReplySuffix})
            if (QFileInfo::exists(QDir(Q(captures)).filePath(Q(name))) && !copy(name, {}))
                return false;
    }

    ExchangeReport report = ReadExchangeReport(doc, checkedOnly);
    LinkCaptures(doc, checkedOnly, presentHashes, report);
    const QByteArray page = ExportHtml(report);
    if (!WriteBytes(E(target.filePath(PackagePageName)), page, error))
        return false;
    sums.insert(sums.begin(),
                {BytesSha256(std::string_view(page.constData(), static_cast<size_t>(page.size()))),
                 PackagePageName});
    return WriteBytes(E(target.filePath(ChecksumsFileName)),
                      QByteArray::fromStdString(ChecksumsText(sums)), error);
}
