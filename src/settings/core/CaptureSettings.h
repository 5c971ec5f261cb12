// The settings of page captures: the time-stamping authority (RFC 3161) that stamps each
// manifest, and the CA certificates its stamps are checked with. Attributes of the settings
// root that are absent (and stay absent) until the user sets them.
#pragma once

#include <string>

class TQelPigger;

namespace SettingsKeys {
// The authority's address ("http://tsa.example/tsr"); no stamps without it.
inline constexpr const char* TsaUrl = "TSA_URL";
// A PEM file of the CA certificate(s) that a stamp's signer must chain to.
inline constexpr const char* TsaCaFile = "TSA_CA_FILE";
} // namespace SettingsKeys

struct CaptureSettings {
    std::string tsaUrl;
    std::string tsaCaFile;
};

CaptureSettings ReadCaptureSettings(const TQelPigger& settingsRoot);
// Stores the values; an empty value removes its attribute, so that settings that never had one
// are written as before.
void WriteCaptureSettings(TQelPigger& settingsRoot, const CaptureSettings& settings);
