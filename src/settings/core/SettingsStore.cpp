#include "settings/core/SettingsStore.h"

#include "settings/core/AppInfo.h"
#include "settings/core/PasswordScramble.h"
#include "tree/KeepAside.h"
#include "tree/LocalText.h"
#include "tree/TreeFile.h"

#include <QFileInfo>

#include <charconv>

namespace {

std::optional<int> toInt(const std::string& s) {
    int value = 0;
    const char* first = s.data();
    const char* last = s.data() + s.size();
    if (first != last && *first == '+')
        ++first;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (first == last || ec != std::errc() || ptr != last)
        return std::nullopt;
    return value;
}

} // namespace

SettingsStore::SettingsStore(std::string fileName) : fileName_(std::move(fileName)) {
    tree_.SetName(SettingsKeys::Root);
}

void SettingsStore::ResetSettings() {
    tree_.Clear();
    tree_.SetName(SettingsKeys::Root);
}

SettingsStore::LoadOutcome SettingsStore::LoadSettings() {
    LoadOutcome outcome = LoadOutcome::Loaded;
    const bool exists = QFileInfo::exists(ToQPath(fileName_));
    try {
        LoadTreeFile(tree_, fileName_);
        if (tree_.Name().empty()) {
            // An empty file holds nothing to keep: start afresh.
            ResetSettings();
            SaveNow();
            outcome = LoadOutcome::Created;
        }
    } catch (const std::exception&) {
        if (exists) {
            keepBrokenFile();
            outcome = LoadOutcome::ReplacedBroken;
        } else {
            outcome = LoadOutcome::Created;
        }
        ResetSettings();
        SaveNow();
    }
    const std::string pass = tree_.GetAttr(SettingsKeys::ProxyPass);
    if (!pass.empty())
        tree_.SetAttr(SettingsKeys::ProxyPass, UnscramblePassword(HexDecode(pass)));
    return outcome;
}

void SettingsStore::keepBrokenFile() {
    brokenCopy_ = KeepAside(fileName_, ".broken");
}

bool SettingsStore::SaveSettings(const std::string& fileName) {
    // The file gets a copy with the password scrambled; the tree keeps it plain.
    TQelPigger scrambled;
    scrambled.Assign(tree_);
    const std::string plain = tree_.GetAttr(SettingsKeys::ProxyPass);
    if (!plain.empty())
        scrambled.SetAttr(SettingsKeys::ProxyPass, HexEncode(ScramblePassword(plain)));
    // Owner-only, also when the file was readable by others before.
    return WriteFileAtomically(
        fileName, [&scrambled](const FileSink& sink) { return scrambled.SaveToSink(sink); },
        FilePermissions::OwnerOnly, nullptr);
}

TQelPigger* SettingsStore::GetSection(TQelPigger* parent, std::string_view name) {
    return parent ? parent->FindOrAddChild(name) : nullptr;
}

void SettingsStore::SetDataFileName(const std::string& fileName) {
    Set(SettingsKeys::DataFileName, ChangeFileExt(fileName, ".qrl"));
    SaveNow();
}

SettingsStore::Geometry SettingsStore::ReadGeometry() const {
    return {toInt(Get(SettingsKeys::Top)), toInt(Get(SettingsKeys::Left)),
            toInt(Get(SettingsKeys::Height)), toInt(Get(SettingsKeys::Width))};
}

SettingsStore::ListColumns SettingsStore::ReadListColumns() const {
    return {ReadPositive(SettingsKeys::ListTitleWidth), ReadPositive(SettingsKeys::ListUrlWidth),
            ReadPositive(SettingsKeys::ListDescriptionWidth)};
}

std::optional<int> SettingsStore::ReadPositive(std::string_view key) const {
    const std::optional<int> value = toInt(Get(key));
    return value && *value > 0 ? value : std::nullopt;
}

void SettingsStore::WriteListColumns(int title, int url, int description) {
    Set(SettingsKeys::ListTitleWidth, std::to_string(title));
    Set(SettingsKeys::ListUrlWidth, std::to_string(url));
    Set(SettingsKeys::ListDescriptionWidth, std::to_string(description));
}

void SettingsStore::WriteGeometry(int width, int height, int left, int top) {
    Set(SettingsKeys::Width, std::to_string(width));
    Set(SettingsKeys::Height, std::to_string(height));
    Set(SettingsKeys::Left, std::to_string(left));
    Set(SettingsKeys::Top, std::to_string(top));
}
