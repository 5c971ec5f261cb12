#include "settings/core/ProxySettings.h"
#include "tree/TQelPigger.h"

#include <gtest/gtest.h>

namespace {

struct SettingsRoot : TQelPigger {
    explicit SettingsRoot(std::initializer_list<std::pair<const char*, const char*>> attrs) {
        SetName("SETTINGS");
        for (const auto& [name, value] : attrs)
            SetAttr(name, value);
    }
};

} // namespace

TEST(ProxyValues, NothingIsHandedOutWithoutUseProxy) {
    const SettingsRoot root({{"PROXYIP", "10 .1  .2  .3  "},
                             {"PROXYPORT", "3128"},
                             {"SAVEPROXYLOGIN", "Y"},
                             {"PROXYUSER", "ann"},
                             {"PROXYPASS", "secret"}});
    const ProxyValues v = ProxyValuesFrom(root, "bob", "pw");
    EXPECT_FALSE(v.use);
    EXPECT_EQ(v.host, "");
    EXPECT_EQ(v.port, 0);
    EXPECT_EQ(v.user, "");
    EXPECT_EQ(v.password, "");
}

TEST(ProxyValues, AddressAndPortComeCleanFromTheMaskedTexts) {
    SettingsRoot root({{"USEPROXY", "Y"}, {"PROXYIP", "010.0  .0  .1  "}});
    ProxyValues v = ProxyValuesFrom(root, "", "");
    EXPECT_TRUE(v.use);
    EXPECT_EQ(v.host, "10.0.0.1");
    EXPECT_EQ(v.port, DefaultProxyPort); // nothing stored yet
    root.SetAttr("PROXYPORT", "80  ");
    EXPECT_EQ(ProxyValuesFrom(root, "", "").port, 80);
    root.SetAttr("PROXYPORT", "    ");
    EXPECT_EQ(ProxyValuesFrom(root, "", "").port, 0);
    root.SetAttr("PROXYPORT", "x1");
    EXPECT_EQ(ProxyValuesFrom(root, "", "").port, 0);
    root.SetAttr("PROXYPORT", "65535");
    EXPECT_EQ(ProxyValuesFrom(root, "", "").port, 65535);
    root.SetAttr("PROXYPORT", "70000"); // no port, as the field refuses it
    EXPECT_EQ(ProxyValuesFrom(root, "", "").port, 0);
    root.SetAttr("PROXYIP", "   .   .   .   ");
    EXPECT_EQ(ProxyValuesFrom(root, "", "").host, "");
}

TEST(ProxyValues, LoginFromTheSettingsOrFromTheRun) {
    SettingsRoot root({{"USEPROXY", "Y"}, {"PROXYUSER", "J\xE9r\xF4me"}, {"PROXYPASS", " pw 1 "}});
    // Without SAVEPROXYLOGIN the login dialog's values of this run count.
    EXPECT_TRUE(UsesProxyLoginDialog(root));
    ProxyValues v = ProxyValuesFrom(root, "bob", "typed");
    EXPECT_EQ(v.user, "bob");
    EXPECT_EQ(v.password, "typed");

    root.SetAttr("SAVEPROXYLOGIN", "Y");
    EXPECT_FALSE(UsesProxyLoginDialog(root));
    v = ProxyValuesFrom(root, "bob", "typed");
    EXPECT_EQ(v.user, "J\xE9r\xF4me"); // the stored bytes as they are
    EXPECT_EQ(v.password, " pw 1 ");
}
