#include "settings/TD_settings_user.h"

#include "settings/AppInfo.h"

TD_settings_user* D_settings_user = nullptr;

TD_settings_user::TD_settings_user(const QString& settingsFile, QWidget* parent)
    : TD_settings(settingsFile.isEmpty() ? DefaultSettingsFilePath() : settingsFile, parent) {
    setObjectName("D_settings_user");
    D_settings_user = this;
    FormCreate();
}

TD_settings_user::~TD_settings_user() {
    if (D_settings_user == this)
        D_settings_user = nullptr;
}

std::string TD_settings_user::GetVersion() const {
    return AppInfo::Version;
}

std::string TD_settings_user::GetDataFolder() const {
    return AppInfo::DataFolder;
}
