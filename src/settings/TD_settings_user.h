// The settings object of the program and its visible settings window.
#pragma once

#include "settings/TD_settings.h"

class TD_settings_user : public TD_settings {
    Q_OBJECT
public:
    // settingsFile empty: the default place (beside the executable, or the per-user fallback).
    explicit TD_settings_user(const QString& settingsFile = QString(), QWidget* parent = nullptr);
    ~TD_settings_user() override;

    std::string GetVersion() const;
    std::string GetDataFolder() const;
};

// The one settings object of the process, or none before it was created.
extern TD_settings_user* D_settings_user;
