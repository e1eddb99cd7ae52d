// The run's journal on real files: what a failure takes back, what a completed run keeps, and
// the manifest the uninstall reads.
#include <gtest/gtest.h>

#include "app/journal.h"
#include "app/pending_run.h"
#include "support/scratch.h"

namespace {

using scratch::Exists;
using scratch::ReadFile;
using scratch::WriteFile;

TEST(Journal, RollbackRestoresReplacedFilesAndRemovesOnlyWhatTheRunMade) {
    scratch::Folder dir;
    WriteFile(dir.Path("old.txt"), "the user's");
    app::Journal journal;
    ASSERT_TRUE(platform::MakeFolder(dir.Path("new")));
    journal.NoteFolder(dir.Path("new"));
    WriteFile(dir.Path("new", "a.bin"), "ours");
    journal.NoteFile(dir.Path("new", "a.bin"));
    ASSERT_TRUE(journal.SetAside(dir.Path("old.txt"), app::Journal::Kind::File,
                                 dir.Path("old.txt.orvo-backup")));
    EXPECT_FALSE(Exists(dir.Path("old.txt")));
    WriteFile(dir.Path("old.txt"), "ours over it");
    ASSERT_TRUE(platform::MakeFolder(dir.Path("kept")));
    journal.NoteFolder(dir.Path("kept"));
    WriteFile(dir.Path("kept", "later.txt"), "put there by someone else meanwhile");
    // A file noted but never written (the step failed first) is no failure to take back.
    journal.NoteFile(dir.Path("never.txt"));

    EXPECT_TRUE(journal.Rollback().empty());
    EXPECT_EQ(ReadFile(dir.Path("old.txt")), "the user's");
    EXPECT_FALSE(Exists(dir.Path("new")));
    EXPECT_TRUE(Exists(dir.Path("kept", "later.txt")));
    EXPECT_TRUE(journal.Empty());
    EXPECT_FALSE(Exists(dir.Path("old.txt.orvo-backup")));
}

TEST(Journal, CommitDropsBackupsAndTheManifestReadsBack) {
    scratch::Folder dir;
    WriteFile(dir.Path("a.txt"), "old");
    WriteFile(dir.Path("a.txt.orvo-backup"), "a file that merely has the backup's name");
    app::Journal journal;
    journal.NoteFolder(dir.Path());
    ASSERT_FALSE(journal.SetAside(dir.Path("a.txt"), app::Journal::Kind::File,
                                  dir.Path("a.txt.orvo-backup"))); // taken: nothing moves
    ASSERT_TRUE(journal.SetAside(dir.Path("a.txt"), app::Journal::Kind::File,
                                 dir.Path("a.txt.orvo-backup2")));
    WriteFile(dir.Path("a.txt"), "new");
    journal.NoteShortcut(dir.Path("Zelvik.lnk"));
    journal.Commit();
    EXPECT_EQ(ReadFile(dir.Path("a.txt.orvo-backup")), "a file that merely has the backup's name");
    EXPECT_FALSE(Exists(dir.Path("a.txt.orvo-backup2")));

    std::vector<app::Journal::Entry> read;
    ASSERT_TRUE(app::Journal::ParseManifest(journal.ManifestText(), read));
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[1].kind, app::Journal::Kind::File);
    EXPECT_EQ(read[1].path, dir.Path("a.txt"));
    EXPECT_EQ(read[2].kind, app::Journal::Kind::Shortcut);
    for (const std::string text : {"", "F C:\\x\r\n", "orvo-setup manifest 1\r\nX C:\\x\r\n",
                                   "orvo-setup manifest 1\r\nF\r\n"}) {
        EXPECT_FALSE(app::Journal::ParseManifest(text, read)) << text;
        EXPECT_TRUE(read.empty());
    }
}

} // namespace

namespace {

// The pending run on disk: what a cut-off run's next start reads back is what was written,
// and a file that is not whole is told apart from none.
TEST(PendingRun, ReadsBackWhatWasWrittenAndRefusesWhatIsNotWhole) {
    scratch::Folder dir;
    app::PendingRun run;
    run.folder = dir.Path("Zelvik");
    app::InstallRecord before;
    before.folder = run.folder;
    before.version = "2";
    before.release = "10";
    run.record_before = before;
    run.listed_before = true;
    using What = app::PendingRun::Change::What;
    run.changes = {{What::kFolder, app::Journal::Kind::Folder, run.folder, {}},
                   {What::kReplace, app::Journal::Kind::File, dir.Path("Zelvik", "a.txt"),
                    dir.Path("Zelvik", "a.txt.orvo-backup")},
                   {What::kNew, app::Journal::Kind::Shortcut, dir.Path("Zelvik.lnk"), {}}};
    const std::string path = dir.Path("AppData", "Orvo", "Zelvik", "pending-run");
    app::PendingRun read;
    EXPECT_EQ(app::ReadPendingRun(path, read), app::PendingRead::kNone);
    ASSERT_TRUE(app::WritePendingRun(path, run));
    ASSERT_EQ(app::ReadPendingRun(path, read), app::PendingRead::kRead);
    EXPECT_EQ(read.folder, run.folder);
    ASSERT_TRUE(read.record_before);
    EXPECT_EQ(read.record_before->release, "10");
    EXPECT_TRUE(read.listed_before);
    ASSERT_EQ(read.changes.size(), 3u);
    EXPECT_EQ(read.changes[1].backup, dir.Path("Zelvik", "a.txt.orvo-backup"));
    EXPECT_EQ(read.changes[2].kind, app::Journal::Kind::Shortcut);

    std::string text = ReadFile(path);
    text[text.find("a.txt")] = 'b'; // a change the seal does not cover
    WriteFile(path, text);
    EXPECT_EQ(app::ReadPendingRun(path, read), app::PendingRead::kBroken);
    WriteFile(path, ReadFile(path).substr(0, 40)); // cut short
    EXPECT_EQ(app::ReadPendingRun(path, read), app::PendingRead::kBroken);
}

} // namespace
