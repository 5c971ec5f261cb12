// Trusted time (RFC 3161) for the manifest of a captures folder: a time-stamping authority signs
// the manifest's SHA-256 with its time, so that anybody can later show the manifest (and so
// every hash in it) existed then. The request is kept as MANIFEST.tsv.tsq and the authority's
// reply as MANIFEST.tsv.tsr beside the manifest; `openssl ts -verify` reads both.
#pragma once

#include <QDateTime>

#include <atomic>
#include <string>
#include <string_view>

struct CaptureSettings;

inline constexpr const char* StampRequestSuffix = ".tsq";
inline constexpr const char* StampReplySuffix = ".tsr";

// A DER TimeStampReq for a SHA-256 digest (32 bytes): version 1, the message imprint, the nonce
// (big-endian bytes, any length up to 20), certReq true.
std::string MakeTimeStampRequest(std::string_view sha256Digest, std::string_view nonce);

// POSTs the request to the authority (Content-Type: application/timestamp-query) and gives the
// reply's body in reply. Each network wait may last timeoutMs; abort (when given) set from
// another thread ends it. False with the reason.
bool SendTimeStampRequest(const std::string& url, const std::string& request, std::string* reply,
                          std::string* error, int timeoutMs = 30000,
                          const std::atomic<bool>* abort = nullptr);

enum class StampState {
    None,      // no stamp beside the manifest
    Valid,     // signed by a certificate of the CA file, over the manifest as it is now
    Unchecked, // over the manifest as it is now; no CA file to check the signature with
    Mismatch,  // a stamp of another manifest: the manifest changed after it was stamped
    Invalid,   // not readable, or its signature, nonce or certificate do not hold
};

// "none", "valid", "unchecked", "mismatch", "invalid".
std::string_view StampStateName(StampState state);

struct StampCheck {
    StampState state = StampState::None;
    QDateTime time;     // the authority's time, when the stamp could be read
    std::string detail; // why Invalid, or what Valid was signed by
};

// Checks the reply against the request, the data it stamps and, with a CA file, the signature.
StampCheck CheckTimeStamp(std::string_view reply, std::string_view request,
                          std::string_view stampedData, const std::string& caFile);

// Stamps the manifest of folder with the authority of the settings (does nothing, true, when no
// authority is set or there is no manifest): sends the request, checks the reply and keeps both
// beside the manifest. Call it at the end of each capture batch and after a removal. False with
// the reason (the earlier stamp then stays, and no longer matches).
bool StampManifest(const std::string& folder, const CaptureSettings& settings, std::string* error,
                   int timeoutMs = 30000);

// The state of the stamp beside the manifest of folder, checked with the CA file (none: the
// signature is not checked).
StampCheck CheckManifestStamp(const std::string& folder, const std::string& caFile);
