// The settings file and the tree that holds it in memory.
#pragma once

#include "tree/TQelPigger.h"

#include <optional>
#include <string>
#include <string_view>

namespace SettingsKeys {
inline constexpr const char* Root = "SETTINGS";
inline constexpr const char* UseProxy = "USEPROXY";
inline constexpr const char* SaveProxyLogin = "SAVEPROXYLOGIN";
inline constexpr const char* ProxyIP = "PROXYIP";
inline constexpr const char* ProxyPort = "PROXYPORT";
inline constexpr const char* ProxyUser = "PROXYUSER";
inline constexpr const char* ProxyPass = "PROXYPASS";
inline constexpr const char* DataFileName = "DATA_FILE_NAME";
inline constexpr const char* Top = "TOP";
inline constexpr const char* Left = "LEFT";
inline constexpr const char* Height = "HEIGHT";
inline constexpr const char* Width = "WIDTH";
inline constexpr const char* ListTitleWidth = "LISTTITLEW";
inline constexpr const char* ListUrlWidth = "LISTURLW";
inline constexpr const char* ListDescriptionWidth = "LISTDESCW";
inline constexpr const char* ShowIntro = "SI";
inline constexpr const char* Keywords = "KEYWORDS";
inline constexpr const char* Keyword = "KW";
inline constexpr const char* KeywordValue = "VAL";
// Milliseconds between recovery copies of a modified report (two minutes when absent).
inline constexpr const char* RecoveryIntervalMs = "RECOVERY_INTERVAL_MS";
// The size the user last gave the Open and Save as dialogs.
inline constexpr const char* FileDialogWidth = "FILE_DIALOG_WIDTH";
inline constexpr const char* FileDialogHeight = "FILE_DIALOG_HEIGHT";
} // namespace SettingsKeys

class SettingsStore {
public:
    enum class LoadOutcome { Loaded, Created, ReplacedBroken };

    explicit SettingsStore(std::string fileName);

    const std::string& SettingsFileName() const { return fileName_; }
    TQelPigger& Tree() { return tree_; }
    const TQelPigger& Tree() const { return tree_; }

    // Reads the file. A missing file is created at once; a file that cannot be read or parsed
    // is kept aside (see BrokenCopy) and replaced by an empty one. The tree then holds the
    // plain proxy password.
    LoadOutcome LoadSettings();
    // Writes the tree with the proxy password scrambled, readable by the owner only.
    // Returns false (and keeps everything in memory) when the file cannot be written.
    bool SaveSettings(const std::string& fileName);
    bool SaveNow() { return SaveSettings(fileName_); }
    void ResetSettings();

    // The first child of parent named name, created when there is none; none without parent.
    static TQelPigger* GetSection(TQelPigger* parent, std::string_view name);

    std::string Get(std::string_view key) const { return tree_.GetAttr(key); }
    void Set(std::string_view key, std::string_view value) { tree_.SetAttr(key, value); }

    std::string GetDataFileName() const { return Get(SettingsKeys::DataFileName); }
    // Stores the name with the extension ".qrl" and writes the file at once.
    void SetDataFileName(const std::string& fileName);

    struct Geometry {
        std::optional<int> top, left, height, width;
    };
    // Stored window coordinates; a value that is no integer counts as absent.
    Geometry ReadGeometry() const;
    void WriteGeometry(int width, int height, int left, int top);

    // Column widths of the found URL list; a value that is no positive integer counts as absent.
    struct ListColumns {
        std::optional<int> title, url, description;
    };
    ListColumns ReadListColumns() const;
    // The value of key when it is a positive integer, else none.
    std::optional<int> ReadPositive(std::string_view key) const;
    void WriteListColumns(int title, int url, int description);

    // Where the last unreadable settings file was kept, or empty.
    const std::string& BrokenCopy() const { return brokenCopy_; }

private:
    void keepBrokenFile();

    std::string fileName_;
    TQelPigger tree_;
    std::string brokenCopy_;
};
