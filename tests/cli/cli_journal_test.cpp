#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>  // TempTree holds one by unique_ptr
#include <algorithm>
#include <csignal>
#include <map>

#include "folders/folder_list.h"
#include "folders/path_separator.h"
#include "rename/journal.h"
#include "rename/rename_run.h"
#include "tests/cli/cli_fixture.h"

namespace trellisane {
namespace {

using namespace Qt::StringLiterals;
using testing::Cli;
using testing::Result;
using testing::RunBinary;

class CliJournal : public Cli {
  protected:
    /// Makes each folder (relative, made in order) with a marker naming it.
    void MakeTree(const QByteArrayList& folders) const {
        for (const QByteArray& folder : folders) {
            MakeRaw(folder);
            MakeFile(QFile::decodeName(folder) + u"/marker"_s, folder);
        }
    }
    /// Every marker file's content by the folder it lies in.
    std::map<QString, QByteArray> Markers() const {
        std::map<QString, QByteArray> markers;
        for (const QString& file : AllFiles()) {
            QFile marker(PathOf(file));
            if (!file.endsWith(u"/marker"_s) || !marker.open(QIODevice::ReadOnly)) continue;
            markers[file.chopped(7)] = marker.readAll();
        }
        return markers;
    }
};

TEST_F(CliJournal, RoundTripWithLineFeedsAndTabsPutsEveryFolderBack) {
    MakeTree({"P1", "P1/c\td2", "e\nf3"});
    const auto before = Markers();
    const QByteArray r = Root8();
    // The parent first: its rename carries the row inside it along.
    Result run = RunBinary(
        {"--operation", "remove numeric", "--apply", "--journal", "j", "P1", "P1/c\td2", "e\nf3"},
        r);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(Exists("P/c\td"));
    EXPECT_TRUE(Exists("e\nf"));

    const Result shown = RunBinary({"--undo", "j", "--print0"}, r);
    EXPECT_EQ(shown.status, 0) << shown.err.toStdString();
    const QByteArray z(1, '\0');
    EXPECT_EQ(shown.out, r + "/e\nf/" + z + r + "/e\nf3/" + z + r + "/P/c\td/" + z + r +
                             "/P/c\td2/" + z + r + "/P/" + z + r + "/P1/" + z);
    EXPECT_TRUE(Exists("P/c\td"));  // only shown

    const Result undone = RunBinary({"--undo", "j", "--apply", "--print0"}, r);
    EXPECT_EQ(undone.status, 0) << undone.err.toStdString();
    EXPECT_EQ(undone.out, r + "/e\nf3/" + z + r + "/P1/c\td2/" + z + r + "/P1/" + z);
    EXPECT_EQ(Markers(), before);

    // Twice in a row: nothing left to do.
    const Result again = RunBinary({"--undo", "j", "--apply"}, r);
    EXPECT_EQ(again.status, 0) << again.err.toStdString();
    EXPECT_EQ(Markers(), before);
    EXPECT_TRUE(again.out.isEmpty()) << "no path is printed as if it were put back";
    EXPECT_TRUE(again.err.contains("has nothing to put back")) << again.err.toStdString();
}

TEST_F(CliJournal, NamesEachFolderThatCannotBePutBackAndPutsBackTheRest) {
    MakeTree({"a1", "b1", "c1"});
    const QByteArray r = Root8();
    ASSERT_EQ(
        RunBinary({"--operation", "remove numeric", "--apply", "--journal", "j", "a1", "b1", "c1"},
                  r)
            .status,
        0);
    ASSERT_EQ(::rename((r + "/b").constData(), (r + "/moved").constData()), 0);
    MakeRaw("c1");  // the old name taken meanwhile

    const Result undone = RunBinary({"--undo", "j", "--apply"}, r);
    EXPECT_EQ(undone.status, 1);
    EXPECT_EQ(undone.err.count('\n'), 2) << undone.err.toStdString();
    EXPECT_TRUE(undone.err.contains("'" + r + "/b/' to '" + r + "/b1/'"));
    EXPECT_TRUE(undone.err.contains("'" + r + "/c/' to '" + r + "/c1/': the old name is taken"));
    EXPECT_TRUE(Exists("a1/marker"));
    EXPECT_TRUE(Exists("moved/marker"));
    EXPECT_TRUE(Exists("c/marker"));
}

struct Refusal {
    const char* name;
    QByteArrayList args;
    QByteArray journal;  ///< written to "j" first, unless empty
    const char* inErr;
};

class CliJournalRefuses : public CliJournal, public ::testing::WithParamInterface<Refusal> {};

TEST_P(CliJournalRefuses, WithExitTwoAndChangesNothing) {
    MakeTree({"a1"});
    QByteArray journal = GetParam().journal;
    if (!journal.isEmpty()) {
        QFile file(PathOf(u"j"_s));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(journal);
    }
    const Result result = RunBinary(GetParam().args, Root8());
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.err.contains(GetParam().inErr)) << result.err.toStdString();
    EXPECT_TRUE(result.out.isEmpty());
    EXPECT_EQ(AllFolders(), QStringList{u"a1"_s});
    QFile file(PathOf(u"j"_s));
    EXPECT_EQ(file.exists(), !journal.isEmpty());
    if (file.open(QIODevice::ReadOnly)) {
        EXPECT_EQ(file.readAll(), journal);
    }
}

QByteArray Moved(quint64 sequence) {
    return AboutToRecord(sequence, FolderId{0, 0}, "a", "a1") + DoneRecord(sequence, true);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliJournalRefuses,
    ::testing::Values(
        Refusal{"ExistingJournal",
                {"--operation", "remove numeric", "--apply", "--journal", "j", "a1"},
                "not a journal either",
                "already exists"},
        Refusal{"JournalWithoutApply",
                {"--operation", "remove numeric", "--journal", "j", "a1"},
                {},
                "--journal needs --apply"},
        Refusal{"UndoWithAnOperation", {"--undo", "j", "--operation", "upper case"}, {}, "--undo"},
        Refusal{"UndoOfNoFile", {"--undo", "j", "--apply"}, {}, "cannot read the journal"},
        Refusal{"UndoOfAnotherFile", {"--undo", "j", "--apply"}, "hello\n", "not a rename journal"},
        Refusal{"UndoOfAnotherVersion",
                {"--undo", "j", "--apply"},
                "trellisane rename journal\nversion 7\n",
                "version 7"},
        Refusal{"UndoOfAPathThatIsNotUtf8",
                {"--undo", "j", "--apply"},
                JournalHeader() + AboutToRecord(0, FolderId{0, 0}, "a", "a\xff"),
                "not valid UTF-8"},
        Refusal{"UndoWithADamagedRecord",
                {"--undo", "j", "--apply"},
                JournalHeader() + Moved(0).replace("a1", "b1") + Moved(1),
                "damaged record"}),
    [](const auto& test) { return std::string(test.param.name); });

/// A run killed with SIGKILL before its rename number `killAt`, then undone from its journal.
struct KillCase {
    bool parentsFirst;
    int killAt;
};

class CliJournalKilled : public CliJournal, public ::testing::WithParamInterface<KillCase> {};

TEST_P(CliJournalKilled, ThenUndoneEveryFolderAndMarkerIsBackWhereItStarted) {
    const QByteArrayList tree{"t1", "t1/a1", "t1/a1/b1", "t1/a1/c1", "t1/d1", "t1/d1/e1"};
    MakeTree(tree);
    const auto before = Markers();
    const QStringList folders = AllFolders();

    FolderList list;
    QStringList batch;
    for (const QByteArray& folder : tree) batch << PathOf(QString::fromUtf8(folder)) + u'/';
    QStringList rows = SortBatch(batch, kPathSeparator);
    if (GetParam().parentsFirst) std::reverse(rows.begin(), rows.end());
    list.AppendInOrder(rows);
    for (qsizetype position = 1; position <= list.Count(); ++position) {
        QString path = list.Row(position).current;
        list.SetNewPath(position, path.chopped(2) + u'/');  // each name loses its digit
    }

    const QByteArray journal = Root8() + "/j";
    const pid_t child = ::fork();
    if (child == 0) {
        int error = 0;
        auto writer = JournalWriter::Create(journal, error, 2);
        if (!writer) ::_exit(3);
        int renames = 0;
        RenamePlatform disk = DefaultRenamePlatform();
        disk.renameNoReplace = [&](const QString& from, const QString& to) {
            if (renames++ == GetParam().killAt) ::raise(SIGKILL);
            return RenameNoReplace(from, to);
        };
        ApplyRenames(list, {}, writer->Attach(disk));
        ::_exit(writer->Finish() == 0 ? 0 : 4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (GetParam().killAt < tree.size()) {
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    } else {
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }

    const Result undone = RunBinary({"--undo", journal, "--apply"}, Root8());
    EXPECT_EQ(undone.status, 0) << undone.err.toStdString();
    EXPECT_EQ(AllFolders(), folders);
    EXPECT_EQ(Markers(), before);
}

std::vector<KillCase> KillCases() {
    std::vector<KillCase> cases;
    for (bool parentsFirst : {false, true}) {
        for (int killAt = 0; killAt <= 6; ++killAt) cases.push_back({parentsFirst, killAt});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Cli, CliJournalKilled, ::testing::ValuesIn(KillCases()),
                         [](const auto& test) {
                             return std::string(test.param.parentsFirst ? "ParentsFirst"
                                                                        : "DeepestFirst") +
                                    "KilledBeforeRename" + std::to_string(test.param.killAt);
                         });

}  // namespace
}  // namespace trellisane
