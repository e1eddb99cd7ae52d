// The administrator's options and the run's log: what deployment tools pass and what they
// read afterwards.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/run_log.h"
#include "support/scratch.h"

namespace {

TEST(CommandLine, FolderTakesTheRestOfTheLineAndOtherOptionsAnyCase) {
    const app::CommandLine line = app::ParseCommandLine(
        "/s /noIcons /LOG=\"C:\\logs\\my run.log\" /D=C:\\Program Files\\Zelvik 2 ");
    EXPECT_TRUE(line.quiet);
    EXPECT_TRUE(line.no_icons);
    EXPECT_EQ(line.log_file, "C:\\logs\\my run.log");
    EXPECT_EQ(line.folder, "C:\\Program Files\\Zelvik 2");
    EXPECT_EQ(line.error, "");
    // What follows /D= is part of the folder, even what looks like an option.
    EXPECT_EQ(app::ParseCommandLine("/D=C:\\a /S").folder, "C:\\a /S");
    EXPECT_FALSE(app::ParseCommandLine("/D=C:\\a /S").quiet);
}

TEST(CommandLine, WhatSetupCannotFollowIsNamed) {
    for (const auto& [text, error] : {std::pair{"/S /X", "/X"},
                                      {"Zelvik", "Zelvik"},
                                      {"/S /D=", "/D="},
                                      {"/LOG=", "/LOG="},
                                      {"/SS", "/SS"},
                                      {"/S -S", "-S"}})
        EXPECT_EQ(app::ParseCommandLine(text).error, error) << text;
    EXPECT_TRUE(app::ParseCommandLine("/?").help);
    EXPECT_EQ(app::ParseCommandLine("").error, "");
}

// The lines of a run before its log is chosen are not lost, and a log left by an earlier run
// on the same day (perhaps one that was killed) is never written over.
TEST(RunLog, HeldLinesReachTheFileAndEarlierLogsStay) {
    scratch::Folder folder;
    const std::string date = app::TodayAsDigits();
    scratch::WriteFile(folder.Path("Zelvik-" + date + "-1.log"), "an earlier run\r\n");
    app::RunLog log;
    log.Line("before\r\nthe file");
    ASSERT_TRUE(log.OpenNew(folder.Path(), "Zelvik"));
    log.Line("after");
    EXPECT_EQ(log.Path(), folder.Path("Zelvik-" + date + "-2.log"));
    EXPECT_EQ(scratch::ReadFile(folder.Path("Zelvik-" + date + "-1.log")), "an earlier run\r\n");
    const std::string text = scratch::ReadFile(log.Path());
    EXPECT_NE(text.find(" before  the file\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" after\r\n"), std::string::npos) << text;
    EXPECT_LT(text.find("before"), text.find("after"));
}

} // namespace
