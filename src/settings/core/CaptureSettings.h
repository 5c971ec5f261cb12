// The settings of page captures: the time-stamping authority (RFC 3161) that stamps each
// manifest, the CA certificates its stamps are checked with, and what the browser saves.
// Attributes of the settings root that are absent (and stay absent) until the user sets them.
#pragma once

#include <string>

class TQelPigger;

namespace SettingsKeys {
// The authority's address ("http://tsa.example/tsr"); no stamps without it.
inline constexpr const char* TsaUrl = "TSA_URL";
// A PEM file of the CA certificate(s) that a stamp's signer must chain to.
inline constexpr const char* TsaCaFile = "TSA_CA_FILE";
// "Y": every "Add to list" of the browser also captures the page.
inline constexpr const char* CaptureOnAdd = "CAPTURE_ON_ADD";
// "Y": a capture also saves the page as PDF.
inline constexpr const char* CapturePdf = "CAPTURE_PDF";
} // namespace SettingsKeys

struct CaptureSettings {
    std::string tsaUrl;
    std::string tsaCaFile;
    bool captureOnAdd = false;
    bool savePdf = false;
};

CaptureSettings ReadCaptureSettings(const TQelPigger& settingsRoot);
// Stores the values; an empty value (or a switch that is off) removes its attribute, so that
// settings that never had one are written as before.
void WriteCaptureSettings(TQelPigger& settingsRoot, const CaptureSettings& settings);
