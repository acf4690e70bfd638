#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "rename/rename_platform.h"
#include "rename/undo.h"

namespace trellisane {

/// The journal of a run, on disk: the header "trellisane rename journal\n" and "version 3\n",
/// then records. A record is a type byte, a 32-bit payload length and a CRC-32 of those two,
/// the payload, and a CRC-32 of everything before it; integers are little-endian. Paths are
/// length-prefixed bytes, carried byte for byte whatever they hold.
///   'A' (about to rename): sequence number, whether the id is known, device, inode, the file
///       system's identity (FileSystemIdentity::key, length-prefixed), whether it keeps inode
///       numbers across mounts (a byte), the mount's unique id, the path renamed from and the
///       path renamed to. Sequence numbers run 0, 1, 2, ... in the file. Version 1 (still read)
///       had neither the identity, the byte nor the mount id.
///   'D' (done): the sequence number of an 'A' record and what became of it: not moved, moved
///       to its path, or moved to another path (a case-only change left at a temporary name),
///       which follows.
///   'T' (temporary, version 2): the sequence number of an 'A' record whose rename is a
///       case-only change, and the temporary path its folder is about to be moved to first;
///       written and synced before that step. The last one of an entry counts.
///   'I' (about the run, version 3): when it began (milliseconds since 1970, UTC), where it was
///       made (a short word: "window", "companion"), the operation's text and the count of
///       answers, then each answer's field name and text; all texts length-prefixed UTF-8. At
///       most one, before the first 'A'.
///   'E' (end, version 3): when the run ended and whether it was stopped before its last row
///       (a byte). Written after the last "done" record; a journal without one was cut short
///       or is still being written.
///   'U' (undone, version 3): an undo of the run: when it ended, how many folders it put back,
///       how many it could not, and whether it went to its end (a byte; 0: cancelled). Appended
///       by each undo after the run has ended (or was cut short).
///   'O' (offered, version 3): when the person was told that the run was cut short and offered
///       its undo, so that this is said once. Appended like 'U'.
/// Versions 1 and 2 are still read: they have no 'I', 'E', 'U' or 'O'.
inline constexpr int kJournalVersion = 3;

/// How many "about to" records are made durable with one sync.
inline constexpr qsizetype kJournalBatch = 1000;

/// One rename as the journal tells it.
struct JournalEntry {
    enum class Done { Unknown, NotMoved, Moved };
    std::optional<FolderId> id;
    QByteArray from;
    QByteArray to;
    Done done = Done::Unknown;  ///< Unknown: no "done" record (the run was cut short)
    QByteArray at;              ///< where a Moved folder went (usually `to`)
    QByteArray temporary;       ///< the temporary path of a case-only change; "" none
    friend bool operator==(const JournalEntry&, const JournalEntry&) = default;
};

/// What a journal says about its run as a whole ('I').
struct JournalAbout {
    qint64 startedMs = 0;  ///< milliseconds since 1970-01-01 UTC
    QString origin;        ///< "window" or "companion"
    QString operation;     ///< the operation's text, as the selector shows it in English
    std::vector<std::pair<QString, QString>> answers;  ///< field name and text, in order asked
    friend bool operator==(const JournalAbout&, const JournalAbout&) = default;
};

/// One undo of the run ('U').
struct JournalUndo {
    qint64 endedMs = 0;
    quint64 putBack = 0;
    quint64 notPutBack = 0;
    bool complete = true;  ///< went to its end; false: cancelled part-way
    friend bool operator==(const JournalUndo&, const JournalUndo&) = default;
};

/// The header that opens every journal.
QByteArray JournalHeader();
/// The "about to" record of entry `sequence`.
QByteArray AboutToRecord(quint64 sequence, const std::optional<FolderId>& id,
                         const QByteArray& from, const QByteArray& to);
/// The "done" record of entry `sequence`: `moved` false, or true with where the folder went
/// (`at` empty: to the entry's own `to`).
QByteArray DoneRecord(quint64 sequence, bool moved, const QByteArray& at = {});

/// The "temporary" record of entry `sequence`.
QByteArray TemporaryRecord(quint64 sequence, const QByteArray& temporary);

/// The record about the run as a whole.
QByteArray AboutRecord(const JournalAbout& about);
/// The end record: the run ended at `endedMs`, `stopped` before its last row or not.
QByteArray EndRecord(qint64 endedMs, bool stopped);
/// The record of one undo of the run.
QByteArray UndoneRecord(const JournalUndo& undo);
/// The record saying that the undo of a run cut short was offered at `offeredMs`.
QByteArray OfferedRecord(qint64 offeredMs);

/// A whole journal read back.
struct JournalContents {
    std::vector<JournalEntry> entries;  ///< in sequence order, "done" records folded in
    bool cutShort = false;              ///< the last record was incomplete or torn, and ignored
    std::optional<JournalAbout> about;  ///< nothing: a journal of version 1 or 2
    std::optional<qint64> endedMs;      ///< the end record's time; nothing: none (yet)
    bool stopped = false;               ///< the end record says the run was stopped
    std::vector<JournalUndo> undos;     ///< oldest first
    bool offered = false;               ///< an 'O' record: its undo was offered once
    qsizetype soundSize = 0;            ///< bytes up to the end of the last sound record
};

/// Reads `bytes` as a journal of version 3, 2 or 1. A last record that is incomplete, torn (its
/// checksum fails and nothing follows) or only zero bytes (what a power cut can leave) is ignored.
/// Returns nothing, with `error` saying why, for anything else that is not a sound journal of this
/// version: another file, another version, a damaged record before the last one, a "done" for an
/// unknown or already finished entry. O(size).
std::optional<JournalContents> ParseJournal(const QByteArray& bytes, QString& error);

/// The recorded moves of `contents` for UndoMoves: every entry but those known not to have
/// moved; an entry cut short after a temporary name was recorded gives two moves, to the
/// temporary name and from it, so that the disk tells how far it got. Paths must be valid UTF-8
/// (the only kind a run writes); otherwise nothing is returned and `error` names the path.
std::optional<std::vector<RecordedMove>> MovesOfJournal(const JournalContents& contents,
                                                        QString& error);

/// Writes the journal of one run of ApplyRenames, as the run goes: before any
/// folder is renamed its "about to" record is on disk and synced. To sync once per batch
/// rather than once per rename, the "about to" records of the next `batchSize` rows are
/// written ahead from the list as it stands and synced together; a rename that turns out
/// different (an earlier rename moved the row, or failed) starts a new batch at once, and the
/// next batches write ahead fewer rows until they are used up again. The "done" records of a
/// batch go out with the next batch or at Finish.
class JournalWriter : public RunObserver {
  public:
    /// Creates the journal at `path` (never replacing an existing file) with mode `mode` (less
    /// the umask), holds an exclusive flock on it until Finish (so that a reader can tell a
    /// run still going from one cut short), writes the header and, when given, the record
    /// `about`, and syncs the file and its folder. Returns nothing with the errno value in
    /// `error` (EEXIST: the file exists).
    static std::unique_ptr<JournalWriter> Create(const QByteArray& path, int& error,
                                                 qsizetype batchSize = kJournalBatch,
                                                 const std::optional<JournalAbout>& about = {},
                                                 int mode = 0666);
    ~JournalWriter() override;
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    /// `base` observed by this journal (Observed), after the observers `base` already has;
    /// once a write or sync fails, every later rename is refused with that errno. The writer
    /// must outlive the platform's use.
    RenamePlatform Attach(RenamePlatform base);

    int AboutToRename(const std::vector<FolderRow>& rows, const QString& from,
                      const QString& to) override;
    int AboutToUseTemporary(const QString& from, const QString& temporary) override;
    void Renamed(const QString& from, const QString& to, const FolderRenameResult& result) override;
    /// Writes what is left and the end record (`stopped`: the run was stopped before its last
    /// row), syncs, releases the lock and closes. Returns 0 or the first errno of any write; after
    /// a failed write no end record is written, so the journal reads as cut short.
    int Finish(bool stopped = false);

  private:
    struct Pending {
        size_t row;  ///< index into the run's rows
        quint64 sequence;
        QString from;
        QString to;
        std::optional<FolderId> id;
        bool resolved = false;
    };

    JournalWriter(int fd, qsizetype batchSize);
    /// The "done" records of the batch, "not moved" for every record it did not use.
    QByteArray CloseBatch();
    int Write(const QByteArray& bytes, bool sync);

    int m_fd;
    size_t m_row = 0;  ///< where the search for the row at its turn starts
    qsizetype m_batchSize;
    qsizetype m_ahead;  ///< how many records the next batch writes ahead, at most m_batchSize
    std::vector<Pending> m_batch;
    size_t m_cursor = 0;
    std::optional<size_t> m_current;  ///< the batch entry of the rename under way
    quint64 m_nextSequence = 0;
    QByteArray m_done;
    int m_error = 0;
};

}  // namespace trellisane
