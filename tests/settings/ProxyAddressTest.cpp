#include "settings/core/ProxyAddress.h"

#include <gtest/gtest.h>

TEST(ProxyAddress, MaskTextBecomesAPlainAddress) {
    EXPECT_EQ(CleanProxyAddress("192.168.1  .1  "), "192.168.1.1");
    EXPECT_EQ(CleanProxyAddress("  1.  2. 3 .4  "), "1.2.3.4");
    EXPECT_EQ(CleanProxyAddress("255.255.255.255"), "255.255.255.255");
    // Blanks inside a group go as well: the digits close up.
    EXPECT_EQ(CleanProxyAddress("1 0.0  .0  .1  "), "10.0.0.1");
}

TEST(ProxyAddress, LeadingZerosAreDroppedSoNoGroupReadsAsOctal) {
    EXPECT_EQ(CleanProxyAddress("010.000.000.001"), "10.0.0.1");
    EXPECT_EQ(CleanProxyAddress("192.168.010.009"), "192.168.10.9");
    EXPECT_EQ(CleanProxyAddress("00 .0  .0  .0  "), "0.0.0.0");
}

TEST(ProxyAddress, WhatIsNoAddressIsGivenAsTypedTrimmed) {
    EXPECT_EQ(CleanProxyAddress("256.1  .1  .1  "), "256.1  .1  .1");
    EXPECT_EQ(CleanProxyAddress("192.168.1  .   "), "192.168.1  .");
    EXPECT_EQ(CleanProxyAddress(" 10.1.1"), "10.1.1");
    EXPECT_EQ(CleanProxyAddress("1.2.3.4.5"), "1.2.3.4.5");
    EXPECT_EQ(CleanProxyAddress("proxy.example"), "proxy.example");
    EXPECT_EQ(CleanProxyAddress("999999999999.1.1.1"), "999999999999.1.1.1");
}

TEST(ProxyAddress, AnUnfilledFieldGivesNoAddress) {
    EXPECT_EQ(CleanProxyAddress("   .   .   .   "), "");
    EXPECT_EQ(CleanProxyAddress(""), "");
}

TEST(ProxyAddress, PortKeepsItsDigitsOnly) {
    EXPECT_EQ(CleanProxyPort("8080"), "8080");
    EXPECT_EQ(CleanProxyPort("80  "), "80");
    EXPECT_EQ(CleanProxyPort(" 3 1"), "31");
    EXPECT_EQ(CleanProxyPort("    "), "");
}

TEST(ProxyAddress, PortNumberFromOneTo65535) {
    const struct {
        const char* field;
        int port;
    } cases[] = {
        {"8080", 8080},  {"80  ", 80},      {"80   ", 80}, {"65535", 65535}, {"1    ", 1},
        {"08080", 8080}, {" 3 1", 31},      {"65536", 0},  {"99999", 0},     {"0    ", 0},
        {"00000", 0},    {"     ", 0},      {"", 0},       {"x1", 0},        {"123456", 0},
        {"-1", 0},       {"4294967297", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProxyPortNumber(c.field), c.port) << '"' << c.field << '"';
}
