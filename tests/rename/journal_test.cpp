#include "rename/journal.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here
#include <cerrno>
#include <vector>

#include "folders/folder_list.h"
#include "rename/rename_run.h"
#include "rename/undo.h"
#include "tests/rename/row_fates.h"
#include "tests/support/temp_tree.h"

namespace trellisane {

/// Failures show the entries.
void PrintTo(const JournalEntry& e, std::ostream* out) {
    *out << e.from.toPercentEncoding().constData() << " -> " << e.to.toPercentEncoding().constData()
         << " done " << static_cast<int>(e.done);
}

namespace {

using testing::TempTree;

/// A journal of random entries: paths of any bytes but NUL (invalid UTF-8 mostly), every kind
/// of "done", some missing. `boundaries` receives the offset where each record ends, and
/// `states` the entries as they stand after each record.
QByteArray RandomJournal(quint32 seed, std::vector<qsizetype>& boundaries,
                         std::vector<std::vector<JournalEntry>>& states) {
    QRandomGenerator random(seed);
    const auto path = [&] {
        QByteArray bytes;
        const int length = static_cast<int>(random.bounded(40));
        for (int i = 0; i < length; ++i) bytes.append(static_cast<char>(1 + random.bounded(255)));
        return bytes;
    };
    QByteArray journal = JournalHeader();
    std::vector<JournalEntry> entries;
    boundaries.assign(1, journal.size());
    states.assign(1, entries);
    const auto add = [&](const QByteArray& record) {
        journal += record;
        boundaries.push_back(journal.size());
        states.push_back(entries);
    };
    add(AboutRecord(JournalAbout{static_cast<qint64>(seed),
                                 QStringLiteral("window"),
                                 QString::fromUtf8(path()),
                                 {{QStringLiteral("x"), QStringLiteral(",\n")}}}));
    for (quint64 sequence = 0; sequence < 24; ++sequence) {
        JournalEntry entry;
        if (random.bounded(4) != 0) entry.id = FolderId{random.generate64(), random.generate64()};
        entry.from = path();
        entry.to = path();
        entries.push_back(entry);
        add(AboutToRecord(sequence, entry.id, entry.from, entry.to));
        JournalEntry& last = entries.back();
        switch (random.bounded(4)) {
            case 0:
                break;  // no "done"
            case 1:
                last.done = JournalEntry::Done::NotMoved;
                add(DoneRecord(sequence, false));
                break;
            case 2:
                last.done = JournalEntry::Done::Moved;
                last.at = last.to;
                add(DoneRecord(sequence, true));
                break;
            default:
                last.done = JournalEntry::Done::Moved;
                last.at = path() + "x";
                add(DoneRecord(sequence, true, last.at));
                break;
        }
    }
    add(EndRecord(7, seed % 2 == 0));
    add(OfferedRecord(10));
    add(UndoneRecord(JournalUndo{8, 3, 1, false}));
    add(UndoneRecord(JournalUndo{9, 1, 0, true}));
    return journal;
}

TEST(JournalFormat, EveryCutIsReadAsTheRecordsBeforeItAndEveryDamageBeforeTheLastIsRefused) {
    for (quint32 seed : {1u, 2u, 3u}) {
        std::vector<qsizetype> boundaries;
        std::vector<std::vector<JournalEntry>> states;
        const QByteArray journal = RandomJournal(seed, boundaries, states);
        QString error;

        // Cut anywhere after the header: the complete records, the rest ignored.
        size_t complete = 0;
        for (qsizetype length = boundaries.front(); length <= journal.size(); ++length) {
            while (complete + 1 < boundaries.size() && boundaries[complete + 1] <= length) {
                ++complete;
            }
            const auto contents = ParseJournal(journal.left(length), error);
            ASSERT_TRUE(contents) << "seed " << seed << " length " << length << ": "
                                  << error.toStdString();
            EXPECT_EQ(contents->entries, states[complete]) << "length " << length;
            EXPECT_EQ(contents->cutShort, length != boundaries[complete]) << "length " << length;
        }

        // One byte changed anywhere before the last record, or in its head (which tells how
        // long it is): refused. Further in the last record: ignored, as torn.
        const qsizetype lastStart = boundaries[boundaries.size() - 2];
        for (qsizetype at = 0; at < journal.size(); ++at) {
            QByteArray damaged = journal;
            damaged[at] = static_cast<char>(damaged[at] ^ 0x20);
            const auto contents = ParseJournal(damaged, error);
            if (at < lastStart + 9) {
                EXPECT_FALSE(contents) << "byte " << at;
            } else {
                ASSERT_TRUE(contents) << "byte " << at;
                EXPECT_EQ(contents->entries, states[states.size() - 2]);
            }
        }

        // A power cut may leave zeros after the last record written.
        const auto zeroTail = ParseJournal(journal + QByteArray(4096, '\0'), error);
        ASSERT_TRUE(zeroTail);
        EXPECT_EQ(zeroTail->entries, states.back());
        EXPECT_TRUE(zeroTail->cutShort);
    }
}

TEST(JournalFormat, AnotherVersionOrAnotherFileIsAClearError) {
    struct Case {
        QByteArray bytes;
        const char* says;
    };
    const QByteArray record = AboutToRecord(0, FolderId{1, 2}, "/a", "/b");
    const std::vector<Case> cases{
        {"", "is not a rename journal"},
        {"hello\n", "is not a rename journal"},
        {"trellisane rename journal\n", "is not a rename journal"},
        {"trellisane rename journal\nversion 4\n" + record, "format version 4;"},
        {JournalHeader() + AboutToRecord(1, std::nullopt, "/a", "/b") + record,
         "damaged record"},                                                  // out of sequence
        {JournalHeader() + DoneRecord(0, true) + record, "damaged record"},  // done before about
        {JournalHeader() + record + DoneRecord(0, true) + DoneRecord(0, false) + record,
         "damaged record"},  // done twice
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(ParseJournal(c.bytes, error)) << c.says;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.says))) << error.toStdString();
    }
}

/// A run on real folders with the journal written as it goes.
struct RunCase {
    const char* name;
    std::vector<const char*> folders;
    std::vector<std::pair<const char*, const char*>> rows;  ///< current and new path
    qsizetype batch;
};

void PrintTo(const RunCase& c, std::ostream* out) { *out << c.name << "_batch" << c.batch; }

class JournalOfARun : public TempTree, public ::testing::WithParamInterface<RunCase> {};

TEST_P(JournalOfARun, HoldsEveryRenameBeforeItHappensAndTellsExactlyWhatMoved) {
    const RunCase& c = GetParam();
    for (const char* folder : c.folders) MakeFolder(QString::fromUtf8(folder));
    FolderList list;
    QStringList currents;
    for (const auto& [current, newPath] : c.rows)
        currents << PathOf(QString::fromUtf8(current)) + u'/';
    list.AppendInOrder(currents);
    for (qsizetype position = 1; position <= list.Count(); ++position) {
        const char* newPath = c.rows[static_cast<size_t>(position - 1)].second;
        list.SetNewPath(position, PathOf(QString::fromUtf8(newPath)) + u'/');
    }
    const QString journalPath = PathOf(QStringLiteral("journal"));
    int error = 0;
    auto writer = JournalWriter::Create(QFile::encodeName(journalPath), error, c.batch);
    ASSERT_TRUE(writer) << error;
    EXPECT_FALSE(JournalWriter::Create(QFile::encodeName(journalPath), error));
    EXPECT_EQ(error, EEXIST);

    // At every rename, the journal on disk already announces it, with the folder's id.
    RenamePlatform disk = DefaultRenamePlatform();
    disk.renameNoReplace = [&](const QString& from, const QString& to) {
        QFile file(journalPath);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QString problem;
        const auto contents = ParseJournal(file.readAll(), problem);
        EXPECT_TRUE(contents) << problem.toStdString();
        bool announced = false;
        for (const JournalEntry& entry :
             contents ? contents->entries : std::vector<JournalEntry>{}) {
            announced |= entry.from == QFile::encodeName(from) &&
                         entry.to == QFile::encodeName(to) && entry.id == IdAt(from) &&
                         entry.done == JournalEntry::Done::Unknown;
        }
        EXPECT_TRUE(announced) << from.toStdString() << " -> " << to.toStdString();
        return RenameNoReplace(from, to);
    };
    MoveRecorder recorder;
    ApplyRenames(list, {}, recorder.Attach(writer->Attach(disk)));
    ASSERT_EQ(writer->Finish(), 0);

    QFile file(journalPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString problem;
    const auto contents = ParseJournal(file.readAll(), problem);
    ASSERT_TRUE(contents) << problem.toStdString();
    EXPECT_FALSE(contents->cutShort);
    // Written ahead or not, the journal stays within a few records per rename.
    EXPECT_LE(contents->entries.size(), 3 * c.rows.size() + 2 * static_cast<size_t>(c.batch));
    const auto moves = MovesOfJournal(*contents, problem);
    ASSERT_TRUE(moves);
    ASSERT_EQ(moves->size(), recorder.Moves().size());
    for (size_t j = 0; j < moves->size(); ++j) {
        const RecordedMove& told = (*moves)[j];
        const RecordedMove& made = recorder.Moves()[j];
        EXPECT_EQ(told.from, made.from);
        EXPECT_EQ(told.to, made.to);
        EXPECT_EQ(told.id, made.id);
        EXPECT_TRUE(told.confirmed);
    }
}

std::vector<RunCase> RunCases() {
    const std::vector<RunCase> shapes{
        {"DeepestFirst",
         {"D1/S1/T1", "D1/S2"},
         {{"D1/S1/T1", "D1/S1/T"}, {"D1/S1", "D1/S"}, {"D1/S2", "D1/S"}, {"D1", "D"}},
         0},
        {"ParentsFirst",
         {"P1/C1/G1", "P1/C2"},
         {{"P1", "P"}, {"P1/C1", "P1/C"}, {"P1/C1/G1", "P1/C1/G"}, {"P1/C2", "P1/C3"}},
         0},
        {"FailuresInTheMiddle",
         {"a1", "a", "b2", "c3"},
         {{"a1", "a"}, {"gone", "gone2"}, {"b2", "b"}, {"c3", "c3"}, {"c3", "c"}},
         0},
    };
    // Each parent before its folder: every rename but the first of a batch turns out
    // different from what was written ahead.
    RunCase alternating{"EachParentBeforeItsFolder", {}, {}, 0};
    static const std::vector<QByteArray> names = [] {
        std::vector<QByteArray> made;
        for (int i = 0; i < 30; ++i) {
            made.push_back("p" + QByteArray::number(i) + "x");
            made.push_back(made.back() + "/cx");
            made.push_back("p" + QByteArray::number(i));
            made.push_back(made.back() + "/c");
        }
        return made;
    }();
    for (size_t i = 0; i < names.size(); i += 4) {
        alternating.folders.push_back(names[i + 1].constData());
        alternating.rows.push_back({names[i].constData(), names[i + 2].constData()});
        alternating.rows.push_back({names[i + 1].constData(), names[i + 3].constData()});
    }
    std::vector<RunCase> cases;
    for (const RunCase& shape : {shapes[0], shapes[1], shapes[2], alternating}) {
        for (qsizetype batch : {1, 16, 1000}) {
            cases.push_back(shape);
            cases.back().batch = batch;
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, JournalOfARun, ::testing::ValuesIn(RunCases()));

TEST_F(TempTree, ACaseChangeKilledBetweenItsTwoStepsIsUndone) {
    MakeFolder("photos");
    MakeFile("photos/marker");
    const QByteArray journalPath = QFile::encodeName(PathOf("run.journal"));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int error = 0;
        const std::unique_ptr<JournalWriter> journal = JournalWriter::Create(journalPath, error);
        if (!journal) ::_exit(2);
        RenamePlatform platform = testing::CaseInsensitiveView();
        int calls = 0;
        platform.renameNoReplace = [&calls, inner = platform.renameNoReplace](const QString& from,
                                                                              const QString& to) {
            if (++calls == 3) ::_exit(0);  // killed after the move to the temporary name
            return inner(from, to);
        };
        FolderList list;
        list.AppendInOrder({PathOf("photos/")});
        list.SetNewPath(1, PathOf("PHOTOS/"));
        ApplyRenames(list, {}, journal->Attach(platform), {});
        ::_exit(3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    ASSERT_EQ(AllFolders().size(), 1);
    EXPECT_TRUE(AllFolders().first().startsWith(QStringLiteral(".trellisane-rename-")));

    QFile file(QString::fromUtf8(journalPath));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString error;
    const std::optional<JournalContents> contents = ParseJournal(file.readAll(), error);
    ASSERT_TRUE(contents) << error.toStdString();
    const std::optional<std::vector<RecordedMove>> moves = MovesOfJournal(*contents, error);
    ASSERT_TRUE(moves);
    UndoMoves(*moves, true, testing::CaseInsensitiveView());
    EXPECT_EQ(AllFolders(), QStringList{"photos"});
    EXPECT_EQ(AllFiles(), (QStringList{"photos/marker", "run.journal"}));
}

}  // namespace
}  // namespace trellisane
