#include "app/core/CommandLine.h"
#include "settings/core/AppInfo.h"

#include <gtest/gtest.h>

namespace {

CommandLine parse(const QStringList& args) {
    return ParseCommandLine(QStringList{"quarrylog"} + args);
}

} // namespace

TEST(CommandLine, ReportNamesAndNothing) {
    EXPECT_EQ(parse({}).action, CommandLine::Run);
    EXPECT_TRUE(parse({}).report.isEmpty());

    const CommandLine one = parse({"../data/garden tools.qrl"});
    EXPECT_EQ(one.action, CommandLine::Run);
    EXPECT_EQ(one.report, "../data/garden tools.qrl");

    // After "--" a name may begin with "-", and options are names.
    EXPECT_EQ(parse({"--", "-odd.qrl"}).report, "-odd.qrl");
    EXPECT_EQ(parse({"--", "--version"}).action, CommandLine::Run);
    EXPECT_EQ(parse({"--", "--version"}).report, "--version");
    // A lone "-" is a name like any other.
    EXPECT_EQ(parse({"-"}).report, "-");
}

TEST(CommandLine, VersionAndHelpWinWhereverTheyStand) {
    EXPECT_EQ(parse({"--version"}).action, CommandLine::Version);
    EXPECT_EQ(parse({"-v"}).action, CommandLine::Version);
    EXPECT_EQ(parse({"r.qrl", "--version"}).action, CommandLine::Version);
    EXPECT_EQ(parse({"--help"}).action, CommandLine::Help);
    EXPECT_EQ(parse({"-h", "r.qrl"}).action, CommandLine::Help);
    EXPECT_EQ(VersionLine(), QString("quarrylog ") + AppInfo::Version);
    EXPECT_TRUE(HelpLine().startsWith("Usage: quarrylog [REPORT.qrl]"));
    EXPECT_FALSE(HelpLine().contains('\n'));
}

TEST(CommandLine, FaultsAreNamed) {
    const CommandLine unknown = parse({"--verbose"});
    EXPECT_EQ(unknown.action, CommandLine::Error);
    EXPECT_EQ(unknown.error, "unknown option \"--verbose\"");

    const CommandLine two = parse({"a.qrl", "b.qrl"});
    EXPECT_EQ(two.action, CommandLine::Error);
    EXPECT_EQ(two.error, "only one report can be opened");

    EXPECT_EQ(parse({""}).action, CommandLine::Error);
}

TEST(CommandLine, QtOptionsAreSetAsideBeforeTheDisplay) {
    const QStringList program{"quarrylog"};
    const struct {
        QStringList args;
        QStringList rest;
    } cases[] = {
        {{"-platform", "offscreen", "r.qrl"}, {"r.qrl"}},
        {{"--style=Fusion", "-reverse", "--help"}, {"--help"}},
        {{"-qwindowgeometry", "640x480", "--bogus"}, {"--bogus"}},
        {{"-stylesheet", "a.qss", "-widgetcount"}, {}},
        // A name is never taken for an option, nor an unknown option for Qt's.
        {{"--", "-platform", "x"}, {"--", "-platform", "x"}},
        {{"-platformx", "-"}, {"-platformx", "-"}},
        {{"-reverse=1"}, {"-reverse=1"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithoutQtOptions(program + c.args), program + c.rest)
            << c.args.join(' ').toStdString();
}
