#include "capture/TrustedTime.h"

#include "capture/CaptureManifest.h"
#include "settings/core/CaptureSettings.h"
#include "tree/FileBoundary.h"

#include <QCryptographicHash>
#include <QTimeZone>

#include <curl/curl.h>
#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/rand.h>
#include <openssl/ts.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <memory>
#include <mutex>
#include <sys/stat.h>

namespace {

// The largest reply taken from an authority; a real one is a few kilobytes.
constexpr size_t MaxReplyBytes = 1024 * 1024;

template <typename T, void (*Free)(T*)> struct Freer {
    void operator()(T* p) const { Free(p); }
};
template <typename T, void (*Free)(T*)> using Owned = std::unique_ptr<T, Freer<T, Free>>;

using Req = Owned<TS_REQ, TS_REQ_free>;
using Resp = Owned<TS_RESP, TS_RESP_free>;
using Imprint = Owned<TS_MSG_IMPRINT, TS_MSG_IMPRINT_free>;
using Algor = Owned<X509_ALGOR, X509_ALGOR_free>;
using Integer = Owned<ASN1_INTEGER, ASN1_INTEGER_free>;
using Bignum = Owned<BIGNUM, BN_free>;
using VerifyCtx = Owned<TS_VERIFY_CTX, TS_VERIFY_CTX_free>;
using Store = Owned<X509_STORE, X509_STORE_free>;

std::string Join(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The errors OpenSSL queued, as one text; the queue is emptied.
std::string OpenSslErrors() {
    std::string text;
    while (const unsigned long code = ERR_get_error()) {
        char buffer[256];
        ERR_error_string_n(code, buffer, sizeof buffer);
        text += (text.empty() ? "" : "; ") + std::string(buffer);
    }
    return text.empty() ? std::string("unknown error") : text;
}

std::string Sha256Raw(std::string_view data) {
    const QByteArray d =
        QCryptographicHash::hash(QByteArrayView(data.data(), static_cast<qsizetype>(data.size())),
                                 QCryptographicHash::Sha256);
    return d.toStdString();
}

QDateTime TimeOf(const ASN1_GENERALIZEDTIME* t) {
    struct tm tm {};
    if (!t || ASN1_TIME_to_tm(t, &tm) != 1)
        return {};
    return QDateTime(QDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday),
                     QTime(tm.tm_hour, tm.tm_min, tm.tm_sec), QTimeZone::utc());
}

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer {
    std::string body;
    bool tooLarge = false;
    const std::atomic<bool>* abort = nullptr;
};

size_t OnBody(char* data, size_t size, size_t count, void* self) {
    auto* t = static_cast<Transfer*>(self);
    if (t->body.size() + size * count > MaxReplyBytes) {
        t->tooLarge = true;
        return 0;
    }
    t->body.append(data, size * count);
    return size * count;
}

int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* t = static_cast<const Transfer*>(self);
    return t->abort && t->abort->load() ? 1 : 0;
}

bool ReadIfThere(const std::string& name, std::string* bytes, std::string* error) {
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) {
        bytes->clear();
        return true;
    }
    WholeFile file;
    if (!file.Read(name, error))
        return false;
    *bytes = std::string(file.view());
    return true;
}

} // namespace

std::string MakeTimeStampRequest(std::string_view sha256Digest, std::string_view nonce) {
    Req req(TS_REQ_new());
    Imprint imprint(TS_MSG_IMPRINT_new());
    Algor algorithm(X509_ALGOR_new());
    Bignum number(BN_bin2bn(reinterpret_cast<const unsigned char*>(nonce.data()),
                            static_cast<int>(nonce.size()), nullptr));
    if (!req || !imprint || !algorithm || !number)
        return {};
    Integer nonceValue(BN_to_ASN1_INTEGER(number.get(), nullptr));
    X509_ALGOR_set0(algorithm.get(), OBJ_nid2obj(NID_sha256), V_ASN1_NULL, nullptr);
    std::string der;
    if (nonceValue && TS_REQ_set_version(req.get(), 1) &&
        TS_MSG_IMPRINT_set_algo(imprint.get(), algorithm.get()) &&
        TS_MSG_IMPRINT_set_msg(
            imprint.get(), reinterpret_cast<unsigned char*>(const_cast<char*>(sha256Digest.data())),
            static_cast<int>(sha256Digest.size())) &&
        TS_REQ_set_msg_imprint(req.get(), imprint.get()) &&
        TS_REQ_set_nonce(req.get(), nonceValue.get()) && TS_REQ_set_cert_req(req.get(), 1)) {
        unsigned char* out = nullptr;
        const int length = i2d_TS_REQ(req.get(), &out);
        if (length > 0)
            der.assign(reinterpret_cast<const char*>(out), static_cast<size_t>(length));
        OPENSSL_free(out);
    }
    ERR_clear_error();
    return der;
}

bool SendTimeStampRequest(const std::string& url, const std::string& request, std::string* reply,
                          std::string* error, int timeoutMs, const std::atomic<bool>* abort) {
    InitCurlOnce();
    CURL* h = curl_easy_init();
    if (!h) {
        *error = "The HTTP client could not be created.";
        return false;
    }
    Transfer transfer;
    transfer.abort = abort;
    curl_slist* headers = curl_slist_append(nullptr, "Content-Type: application/timestamp-query");
    headers = curl_slist_append(headers, "Accept: application/timestamp-reply");
    char errorText[CURL_ERROR_SIZE] = {};
    const long waitSeconds = std::max(1L, static_cast<long>((timeoutMs + 999) / 1000));
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_PROXY, ""); // never a proxy from the environment
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, request.data());
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE, static_cast<long>(request.size()));
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeoutMs));
    // A reply that brings no byte for the whole wait is given up.
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, waitSeconds);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer);
    const CURLcode code = curl_easy_perform(h);
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(h);
    curl_slist_free_all(headers);
    if (code != CURLE_OK) {
        *error = transfer.tooLarge ? "The time-stamping authority's reply is too large."
                 : code == CURLE_ABORTED_BY_CALLBACK
                     ? "The time stamp was cancelled."
                     : "The time-stamping authority could not be reached: " +
                           std::string(errorText[0] ? errorText : curl_easy_strerror(code));
        return false;
    }
    if (status != 200) {
        *error = "The time-stamping authority answered with HTTP status " + std::to_string(status);
        return false;
    }
    *reply = std::move(transfer.body);
    return true;
}

std::string_view StampStateName(StampState state) {
    switch (state) {
    case StampState::None:
        return "none";
    case StampState::Valid:
        return "valid";
    case StampState::Unchecked:
        return "unchecked";
    case StampState::Mismatch:
        return "mismatch";
    case StampState::Invalid:
        return "invalid";
    }
    return {};
}

StampCheck CheckTimeStamp(std::string_view reply, std::string_view request,
                          std::string_view stampedData, const std::string& caFile) {
    StampCheck check;
    check.state = StampState::Invalid;
    const auto* in = reinterpret_cast<const unsigned char*>(reply.data());
    Resp resp(d2i_TS_RESP(nullptr, &in, static_cast<long>(reply.size())));
    if (!resp) {
        ERR_clear_error();
        check.detail = "not a time-stamp reply";
        return check;
    }
    const long status =
        ASN1_INTEGER_get(TS_STATUS_INFO_get0_status(TS_RESP_get_status_info(resp.get())));
    TS_TST_INFO* info = TS_RESP_get_tst_info(resp.get());
    if ((status != 0 && status != 1) || !info) {
        check.detail = "the authority refused the request (status " + std::to_string(status) + ")";
        return check;
    }
    check.time = TimeOf(TS_TST_INFO_get_time(info));

    // Whether the stamp is one of this data at all comes first: a manifest that grew after its
    // stamp is the usual case, and says so.
    TS_MSG_IMPRINT* imprint = TS_TST_INFO_get_msg_imprint(info);
    const X509_ALGOR* algorithm = TS_MSG_IMPRINT_get_algo(imprint);
    const ASN1_OCTET_STRING* digest = TS_MSG_IMPRINT_get_msg(imprint);
    const std::string expected = Sha256Raw(stampedData);
    if (OBJ_obj2nid(algorithm->algorithm) != NID_sha256 ||
        std::string_view(reinterpret_cast<const char*>(ASN1_STRING_get0_data(digest)),
                         static_cast<size_t>(ASN1_STRING_length(digest))) != expected) {
        check.state = StampState::Mismatch;
        check.detail = "the stamp is of other data than the manifest as it is now";
        return check;
    }

    Req req;
    if (!request.empty()) {
        const auto* r = reinterpret_cast<const unsigned char*>(request.data());
        req.reset(d2i_TS_REQ(nullptr, &r, static_cast<long>(request.size())));
        if (!req) {
            ERR_clear_error();
            check.detail = "the kept request cannot be read";
            return check;
        }
        const ASN1_INTEGER* asked = TS_REQ_get_nonce(req.get());
        const ASN1_INTEGER* got = TS_TST_INFO_get_nonce(info);
        if (asked && (!got || ASN1_INTEGER_cmp(asked, got) != 0)) {
            check.detail = "the stamp does not answer the kept request (nonce)";
            return check;
        }
    }
    if (caFile.empty()) {
        check.state = StampState::Unchecked;
        check.detail = "no CA file to check the signature with";
        return check;
    }

    VerifyCtx ctx(TS_VERIFY_CTX_new());
    Store store(X509_STORE_new());
    if (!ctx || !store || X509_STORE_load_file(store.get(), caFile.c_str()) != 1) {
        check.detail = "the CA file \"" + caFile + "\" cannot be read: " + OpenSslErrors();
        return check;
    }
    TS_VERIFY_CTX_set_store(ctx.get(), store.release());
    auto* digestCopy = static_cast<unsigned char*>(OPENSSL_malloc(expected.size()));
    if (!digestCopy) {
        check.detail = "out of memory";
        return check;
    }
    std::copy(expected.begin(), expected.end(), digestCopy);
    TS_VERIFY_CTX_set_imprint(ctx.get(), digestCopy, static_cast<long>(expected.size()));
    TS_VERIFY_CTX_set_flags(ctx.get(), TS_VFY_VERSION | TS_VFY_SIGNATURE | TS_VFY_IMPRINT);
    if (TS_RESP_verify_response(ctx.get(), resp.get()) != 1) {
        check.detail = "the signature does not hold: " + OpenSslErrors();
        return check;
    }
    check.state = StampState::Valid;
    check.detail = "signed by a certificate of " + caFile;
    return check;
}

bool StampManifest(const std::string& folder, const CaptureSettings& settings, std::string* error,
                   int timeoutMs) {
    if (settings.tsaUrl.empty())
        return true;
    const std::string manifestName = Join(folder, ManifestFileName);
    std::string manifest;
    if (!ReadIfThere(manifestName, &manifest, error))
        return false;
    if (manifest.empty())
        return true;
    unsigned char nonce[8];
    if (RAND_bytes(nonce, sizeof nonce) != 1) {
        *error = "No random nonce for the time stamp: " + OpenSslErrors();
        return false;
    }
    const std::string request = MakeTimeStampRequest(
        Sha256Raw(manifest), std::string_view(reinterpret_cast<char*>(nonce), sizeof nonce));
    std::string reply;
    if (request.empty()) {
        *error = "The time-stamp request could not be made.";
        return false;
    }
    if (!SendTimeStampRequest(settings.tsaUrl, request, &reply, error, timeoutMs))
        return false;
    const StampCheck check = CheckTimeStamp(reply, request, manifest, settings.tsaCaFile);
    if (check.state != StampState::Valid && check.state != StampState::Unchecked) {
        *error = "The time-stamping authority's reply was not accepted: " + check.detail;
        return false;
    }
    const auto write = [error](const std::string& name, const std::string& bytes) {
        return WriteFileAtomically(
            name, [&bytes](const FileSink& sink) { return sink(bytes); },
            FilePermissions::OwnerOnly, error);
    };
    return write(manifestName + StampRequestSuffix, request) &&
           write(manifestName + StampReplySuffix, reply);
}

StampCheck CheckManifestStamp(const std::string& folder, const std::string& caFile) {
    const std::string manifestName = Join(folder, ManifestFileName);
    std::string reply, request, manifest, error;
    StampCheck check;
    if (!ReadIfThere(manifestName + StampReplySuffix, &reply, &error) ||
        !ReadIfThere(manifestName + StampRequestSuffix, &request, &error) ||
        !ReadIfThere(manifestName, &manifest, &error)) {
        check.state = StampState::Invalid;
        check.detail = error;
        return check;
    }
    if (reply.empty())
        return check;
    return CheckTimeStamp(reply, request, manifest, caFile);
}
