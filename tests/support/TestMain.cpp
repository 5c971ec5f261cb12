// gtest main of every test program, with fixed, reproducible regional settings (the C locale,
// whatever the environment says). Built twice: with QRL_TEST_WIDGETS the tests run inside a
// QApplication (offscreen unless a platform is chosen); without it inside a QCoreApplication,
// so that the display-free tests never need a GUI platform.
#include <gtest/gtest.h>

#ifdef QRL_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    // Read by Qt when the application is made (QLocale::system(), the 8-bit codec).
    qputenv("LANG", "C");
    qputenv("LC_ALL", "C");
#ifdef QRL_TEST_WIDGETS
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
    TestApplication app(argc, argv);
    TestApplication::setApplicationName("quarrylog-tests");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
