#include "settings/core/ProxySettings.h"

#include "settings/core/ProxyAddress.h"
#include "settings/core/SettingsStore.h"
#include "tree/TQelPigger.h"

namespace {

int portNumber(const std::string& stored) {
    return stored.empty() ? DefaultProxyPort : ProxyPortNumber(stored);
}

} // namespace

bool UsesProxyLoginDialog(const TQelPigger& settingsRoot) {
    return settingsRoot.GetAttr(SettingsKeys::SaveProxyLogin) != "Y";
}

ProxyValues ProxyValuesFrom(const TQelPigger& settingsRoot, const std::string& sessionUser,
                            const std::string& sessionPassword) {
    ProxyValues values;
    values.use = settingsRoot.GetAttr(SettingsKeys::UseProxy) == "Y";
    if (!values.use)
        return values;
    values.host = CleanProxyAddress(settingsRoot.GetAttr(SettingsKeys::ProxyIP));
    values.port = portNumber(settingsRoot.GetAttr(SettingsKeys::ProxyPort));
    if (UsesProxyLoginDialog(settingsRoot)) {
        values.user = sessionUser;
        values.password = sessionPassword;
    } else {
        values.user = settingsRoot.GetAttr(SettingsKeys::ProxyUser);
        values.password = settingsRoot.GetAttr(SettingsKeys::ProxyPass);
    }
    return values;
}
