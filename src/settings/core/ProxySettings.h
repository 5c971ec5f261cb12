// The proxy that a request of the automatic search goes through, as the settings hold it.
#pragma once

#include <string>

class TQelPigger;

struct ProxyValues {
    bool use = false;
    // The address ready for the HTTP client ("192.168.1.1"); empty without proxy.
    std::string host;
    // 0 without proxy or without a port.
    int port = 0;
    std::string user, password;
};

// The port a proxy gets until one is stored.
inline constexpr int DefaultProxyPort = 8080;

// Whether the user chose to be asked for the login with the proxy login dialog at each run.
bool UsesProxyLoginDialog(const TQelPigger& settingsRoot);

// The values from the settings root. The login comes from the settings when the user chose to
// keep it there, else from the run's own login (sessionUser, sessionPassword: what the proxy
// login dialog took). Without USEPROXY="Y" every value is empty.
ProxyValues ProxyValuesFrom(const TQelPigger& settingsRoot, const std::string& sessionUser,
                            const std::string& sessionPassword);
