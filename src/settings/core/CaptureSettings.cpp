#include "settings/core/CaptureSettings.h"

#include "tree/TQelPigger.h"

CaptureSettings ReadCaptureSettings(const TQelPigger& settingsRoot) {
    return {settingsRoot.GetAttr(SettingsKeys::TsaUrl),
            settingsRoot.GetAttr(SettingsKeys::TsaCaFile),
            settingsRoot.GetAttr(SettingsKeys::CaptureOnAdd) == "Y",
            settingsRoot.GetAttr(SettingsKeys::CapturePdf) == "Y"};
}

void WriteCaptureSettings(TQelPigger& settingsRoot, const CaptureSettings& settings) {
    const auto store = [&settingsRoot](const char* key, const std::string& value) {
        if (value.empty())
            settingsRoot.DeleteAttr(key);
        else
            settingsRoot.SetAttr(key, value);
    };
    store(SettingsKeys::TsaUrl, settings.tsaUrl);
    store(SettingsKeys::TsaCaFile, settings.tsaCaFile);
    store(SettingsKeys::CaptureOnAdd, settings.captureOnAdd ? "Y" : "");
    store(SettingsKeys::CapturePdf, settings.savePdf ? "Y" : "");
}
