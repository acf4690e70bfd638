#include "rename/undo.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here
#include <cerrno>
#include <functional>
#include <map>
#include <vector>

#include "folders/folder_list.h"
#include "rename/journal.h"
#include "rename/rename_run.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using testing::TempTree;

/// A run on real folders, what someone else does afterwards, and how the undo must leave the
/// disk. Paths are relative to the temporary root, without separators at either end.
struct UndoCase {
    const char* name;
    std::vector<const char*> folders;  ///< made in this order, each with a marker file
    std::vector<std::pair<const char*, const char*>> rows;  ///< current and new path
    /// Renames (from, to) made after the run by someone else; to == nullptr: a new folder at
    /// `from`.
    std::vector<std::pair<const char*, const char*>> meddling;
    const char* refuseBack;  ///< the old path whose rename back the disk refuses, or nullptr
    std::vector<const char*> afterUndo;  ///< every folder after the undo, sorted
    int notPutBack;                      ///< moves neither put back nor already back
};

void PrintTo(const UndoCase& c, std::ostream* out) { *out << c.name; }

class UndoOnDisk : public TempTree, public ::testing::WithParamInterface<UndoCase> {
  protected:
    QString Path(const char* relative) const { return PathOf(QString::fromUtf8(relative)); }

    /// Marker file contents by the folder they lie in.
    std::map<QString, QString> Markers() const {
        std::map<QString, QString> markers;
        for (const QString& file : AllFiles()) {
            QFile marker(PathOf(file));
            EXPECT_TRUE(marker.open(QIODevice::ReadOnly));
            markers[file.chopped(QStringLiteral("/marker").size())] =
                QString::fromUtf8(marker.readAll());
        }
        return markers;
    }

    static int NotPutBack(const UndoResult& result) {
        int count = 0;
        for (const UndoOutcome& outcome : result.outcomes) {
            if (outcome.status != UndoStatus::PutBack && outcome.status != UndoStatus::AlreadyBack)
                ++count;
        }
        return count;
    }
};

TEST_P(UndoOnDisk, PutsBackWhatItMayAndNeverTouchesAnotherFolder) {
    const UndoCase& c = GetParam();
    for (const char* folder : c.folders) {
        MakeFolder(QString::fromUtf8(folder));
        MakeFile(QString::fromUtf8(folder) + QStringLiteral("/marker"), folder);
    }
    const std::map<QString, QString> markersBefore = Markers();

    FolderList list;
    QStringList before;
    for (const auto& [current, newPath] : c.rows) before << Path(current) + u'/';
    list.AppendInOrder(before);
    std::vector<bool> existedBefore;
    for (const QString& path : before) existedBefore.push_back(QDir(path).exists());
    for (qsizetype position = 1; position <= list.Count(); ++position) {
        list.SetNewPath(position, Path(c.rows[static_cast<size_t>(position - 1)].second) + u'/');
    }
    MoveRecorder recorder;
    ApplyRenames(list, {}, recorder.Attach(DefaultRenamePlatform()));
    QStringList rows;
    for (const FolderRow& row : list.Rows()) rows << row.current;

    for (const auto& [from, to] : c.meddling) {
        if (to == nullptr) {
            MakeFolder(QString::fromUtf8(from));
            MakeFile(QString::fromUtf8(from) + QStringLiteral("/marker"), "someone else's");
        } else {
            ASSERT_TRUE(QDir().rename(Path(from), Path(to))) << from;
        }
    }
    const QStringList beforeUndo = AllFolders();
    const qsizetype filesBeforeUndo = AllFiles().size();

    RenamePlatform platform = DefaultRenamePlatform();
    if (c.refuseBack != nullptr) {
        const QString refused = Path(c.refuseBack);
        platform.renameNoReplace = [refused](const QString& from, const QString& to) {
            return to == refused ? EACCES : RenameNoReplace(from, to);
        };
    }

    // The dry run changes nothing and foresees what the undo does (a refusal it cannot see).
    const UndoResult dryRun = UndoMoves(recorder.Moves(), false, platform);
    EXPECT_EQ(AllFolders(), beforeUndo);
    EXPECT_TRUE(dryRun.moves.empty());

    const UndoResult undo = UndoMoves(recorder.Moves(), true, platform);
    QStringList expected;
    for (const char* folder : c.afterUndo) expected << QString::fromUtf8(folder);
    EXPECT_EQ(AllFolders(), expected);
    EXPECT_EQ(NotPutBack(undo), c.notPutBack);
    EXPECT_EQ(AllFiles().size(), filesBeforeUndo);  // nothing lost, nothing replaced
    ASSERT_EQ(undo.outcomes.size(), recorder.Moves().size());
    for (size_t j = 0; j < undo.outcomes.size(); ++j) {
        if (c.refuseBack == nullptr) {
            EXPECT_EQ(dryRun.outcomes[j].status, undo.outcomes[j].status) << "move " << j;
        }
        // Where the undo says a folder is, it is.
        if (!undo.outcomes[j].at.isEmpty()) {
            EXPECT_TRUE(QDir(undo.outcomes[j].at).exists());
        }
    }

    // The rows carried through the renames back show where every folder is: with nobody
    // else at work, exactly where they were before the run.
    CarryThroughMoves(rows, undo.moves);
    // else at least where the folder is.
    if (c.meddling.empty() && c.refuseBack == nullptr) {
        EXPECT_EQ(Markers(), markersBefore);  // every folder's own marker, back in it
    }
    for (qsizetype i = 0; c.meddling.empty() && i < rows.size(); ++i) {
        if (c.refuseBack == nullptr && existedBefore[i]) {
            EXPECT_EQ(rows[i], before[i]);
        }
        EXPECT_TRUE(QDir(rows[i]).exists() || !existedBefore[i]) << rows[i].toStdString();
    }

    // A second undo finds nothing to do, and every folder put back already back.
    const UndoResult again = UndoMoves(recorder.Moves(), true, platform);
    EXPECT_TRUE(again.moves.empty());
    for (size_t j = 0; j < undo.outcomes.size(); ++j) {
        if (undo.outcomes[j].status == UndoStatus::PutBack) {
            EXPECT_EQ(again.outcomes[j].status, UndoStatus::AlreadyBack) << "move " << j;
        }
    }
    EXPECT_EQ(AllFolders(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UndoOnDisk,
    ::testing::Values(UndoCase{"DeepestFirst",
                               {"D1", "D1/S1", "D1/S1/T1"},
                               {{"D1/S1/T1", "D1/S1/T"}, {"D1/S1", "D1/S"}, {"D1", "D"}},
                               {},
                               nullptr,
                               {"D1", "D1/S1", "D1/S1/T1"},
                               0},
                      UndoCase{"ParentsFirstRowsCarriedAlong",
                               {"P1", "P1/C1", "P1/C1/G1"},
                               {{"P1", "P"}, {"P1/C1", "P1/C"}, {"P1/C1/G1", "P1/C1/G"}},
                               {},
                               nullptr,
                               {"P1", "P1/C1", "P1/C1/G1"},
                               0},
                      UndoCase{"FailuresInTheMiddle",
                               {"a1", "a", "b2", "c3"},
                               {{"a1", "a"}, {"b2", "b"}, {"gone", "gone2"}, {"c3", "c"}},
                               {},
                               nullptr,
                               {"a", "a1", "b2", "c3"},
                               0},
                      UndoCase{"TheSameFolderMovedTwiceAndANameFreedThenTaken",
                               {"x1", "y"},
                               {{"x1", "x2"}, {"x2", "x3"}, {"y", "x1"}},
                               {},
                               nullptr,
                               {"x1", "y"},
                               0},
                      UndoCase{"SomeoneElseMovedOneFolder",
                               {"D1", "D1/S1", "D1/S1/T1"},
                               {{"D1/S1/T1", "D1/S1/T"}, {"D1/S1", "D1/S"}, {"D1", "D"}},
                               {{"D/S/T", "elsewhere"}},
                               nullptr,
                               {"D1", "D1/S1", "elsewhere"},
                               1},
                      UndoCase{"SomeoneElsesFolderAtTheNewPathIsNeverMoved",
                               {"D1", "D1/S1"},
                               {{"D1/S1", "D1/S"}, {"D1", "D"}},
                               {{"D", "moved"}, {"D", nullptr}},
                               nullptr,
                               {"D", "moved", "moved/S"},
                               2},
                      UndoCase{"OldNameTakenLeavesTheParentButPutsBackInsideIt",
                               {"D1", "D1/S1", "D1/S1/T1"},
                               {{"D1/S1/T1", "D1/S1/T"}, {"D1/S1", "D1/S"}, {"D1", "D"}},
                               {{"D1", nullptr}},
                               nullptr,
                               {"D", "D/S1", "D/S1/T1", "D1"},
                               1},
                      UndoCase{"ARefusedRenameBackLeavesThatFolderOnly",
                               {"D1", "D1/S1", "D1/S1/T1"},
                               {{"D1/S1/T1", "D1/S1/T"}, {"D1/S1", "D1/S"}, {"D1", "D"}},
                               {},
                               "D1/S1",
                               {"D1", "D1/S", "D1/S/T1"},
                               1}));

TEST(UndoMovesTest, AMoveOfUnknownIdentityIsNeverActedOn) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("b")));
    const std::vector<RecordedMove> moves{RecordedMove{
        dir.filePath(QStringLiteral("a")), dir.filePath(QStringLiteral("b")), std::nullopt, true}};
    const UndoResult result = UndoMoves(moves, true);
    EXPECT_EQ(result.outcomes[0].status, UndoStatus::ChangedSinceRun);
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("b"))).exists());
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("a"))).exists());
}

// --- Recognising a folder after its disk was mounted again -----------------------------------

struct VouchRow {
    const char* label;
    FolderId recorded;
    std::optional<FolderId> now;
    Vouch vouch;
};

void PrintTo(const VouchRow& row, std::ostream* out) { *out << row.label; }

class VouchTable : public ::testing::TestWithParam<VouchRow> {};

TEST_P(VouchTable, AnswersHowSureTheUndoIs) {
    EXPECT_EQ(VouchFor(GetParam().recorded, GetParam().now), GetParam().vouch);
}

const QByteArray kStick = "uuid:FBF9-F575";
const QByteArray kOther = "uuid:1234-ABCD";

INSTANTIATE_TEST_SUITE_P(
    Rows, VouchTable,
    ::testing::Values(
        VouchRow{"Missing", {1, 2, kStick, true, 7}, std::nullopt, Vouch::No},
        VouchRow{"SameMount",
                 {1, 2, kStick, true, 7},
                 FolderId{1, 2, kStick, true, 7},
                 Vouch::SameEntry},
        // Another port gives another device number; the UUID and inode still tell.
        VouchRow{"AnotherPort",
                 {1, 2, kStick, true, 7},
                 FolderId{9, 2, kStick, true, 8},
                 Vouch::SameFileSystem},
        VouchRow{"AnotherPortAnotherFolder",
                 {1, 2, kStick, true, 7},
                 FolderId{9, 3, kStick, true, 8},
                 Vouch::No},
        VouchRow{
            "AnotherDisk", {1, 2, kStick, true, 7}, FolderId{1, 2, kOther, true, 8}, Vouch::No},
        // exFAT, FAT, sshfs: inode numbers mean nothing across mounts, even equal ones.
        VouchRow{"RenumberedMountedAgain",
                 {1, 2, kStick, false, 7},
                 FolderId{1, 2, kStick, false, 8},
                 Vouch::PathOnly},
        VouchRow{"RenumberedSameMount",
                 {1, 2, kStick, false, 7},
                 FolderId{1, 2, kStick, false, 7},
                 Vouch::SameEntry},
        VouchRow{"RenumberedAnotherDisk",
                 {1, 2, kStick, false, 7},
                 FolderId{1, 2, kOther, false, 8},
                 Vouch::No},
        // A journal of version 1 knows device and inode only.
        VouchRow{"VersionOne", {1, 2}, FolderId{1, 2, kStick, true, 7}, Vouch::SameEntry},
        VouchRow{"VersionOneAnotherPort", {1, 2}, FolderId{9, 2, kStick, true, 8}, Vouch::No}),
    [](const ::testing::TestParamInfo<VouchRow>& test) { return std::string(test.param.label); });

TEST_F(TempTree, AFolderKnownOnlyByItsPathWaitsForThePersonsSay) {
    MakeFolder("b");
    std::optional<FolderId> id = IdAt(PathOf("b"));
    ASSERT_TRUE(id);
    if (id->fileSystem.isEmpty()) GTEST_SKIP() << "this file system cannot be identified here";
    // As on a stick that renumbered its folders when it was mounted again.
    id->stableInodes = false;
    id->inode += 1000003;
    const std::vector<RecordedMove> moves{{PathOf("a"), PathOf("b"), id, true}};

    const UndoResult dry = UndoMoves(moves, false);
    EXPECT_EQ(dry.outcomes[0].status, UndoStatus::NotVouched);
    const UndoResult refused = UndoMoves(moves, true);
    EXPECT_EQ(refused.outcomes[0].status, UndoStatus::NotVouched);
    EXPECT_EQ(AllFolders(), QStringList{"b"});

    const UndoResult trusted = UndoMoves(moves, true, DefaultRenamePlatform(), true);
    EXPECT_EQ(trusted.outcomes[0].status, UndoStatus::PutBack);
    EXPECT_EQ(trusted.outcomes[0].vouch, Vouch::PathOnly);
    EXPECT_EQ(AllFolders(), QStringList{"a"});
}

/// CRC-32 as the journal uses it (zlib's), for writing a record of an older version by hand.
quint32 Crc(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return crc ^ 0xFFFFFFFFu;
}

template <typename T>
void PutLittle(QByteArray& out, T value) {
    for (size_t i = 0; i < sizeof value; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

TEST_F(TempTree, AJournalOfVersionOneStillUndoes) {
    MakeFolder("b");
    const std::optional<FolderId> id = IdAt(PathOf("b"));
    ASSERT_TRUE(id);
    QByteArray payload;
    PutLittle<quint64>(payload, 0);
    PutLittle<quint8>(payload, 1);
    PutLittle<quint64>(payload, id->device);
    PutLittle<quint64>(payload, id->inode);
    for (const QString& path : {PathOf("a"), PathOf("b")}) {
        PutLittle<quint32>(payload, static_cast<quint32>(path.toUtf8().size()));
        payload += path.toUtf8();
    }
    QByteArray record(1, 'A');
    PutLittle<quint32>(record, static_cast<quint32>(payload.size()));
    PutLittle<quint32>(record, Crc(record));
    record += payload;
    PutLittle<quint32>(record, Crc(record));
    const QByteArray journal =
        "trellisane rename journal\nversion 1\n" + record + DoneRecord(0, true);

    QString error;
    const std::optional<JournalContents> contents = ParseJournal(journal, error);
    ASSERT_TRUE(contents) << error.toStdString();
    const std::optional<std::vector<RecordedMove>> moves = MovesOfJournal(*contents, error);
    ASSERT_TRUE(moves);
    EXPECT_EQ(UndoMoves(*moves, true).outcomes[0].status, UndoStatus::PutBack);
    EXPECT_EQ(AllFolders(), QStringList{"a"});
}

}  // namespace
}  // namespace trellisane
