#include "rename/journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDateTime>
#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cerrno>

#include "folders/folder_list.h"
#include "rename/path_index.h"

namespace trellisane {

namespace {

constexpr char kMagic[] = "trellisane rename journal\n";
constexpr char kVersionPrefix[] = "version ";
constexpr qsizetype kHeadSize = 1 + 4 + 4;  // type, payload length, CRC of both
constexpr qsizetype kTailSize = 4;          // CRC of the whole record
constexpr quint32 kMaxPayload = 1u << 24;   // far beyond two paths of PATH_MAX
constexpr char kAboutTo = 'A';
constexpr char kDone = 'D';
constexpr char kTemporary = 'T';
constexpr char kAbout = 'I';
constexpr char kEnd = 'E';
constexpr char kUndone = 'U';
constexpr char kOffered = 'O';
enum DoneKind : quint8 { kNotMoved = 0, kMovedToTo = 1, kMovedElsewhere = 2 };

/// CRC-32 (the polynomial of zlib and PNG) of `size` bytes at `data`.
quint32 Crc32(const char* data, qsizetype size) {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> entries{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[i] = c;
        }
        return entries;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (qsizetype i = 0; i < size; ++i) {
        crc = table[(crc ^ static_cast<quint8>(data[i])) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

template <typename T>
void Put(QByteArray& out, T value) {
    const T little = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&little), sizeof little);
}

void PutBytes(QByteArray& out, const QByteArray& bytes) {
    Put<quint32>(out, static_cast<quint32>(bytes.size()));
    out.append(bytes);
}

QByteArray Record(char type, const QByteArray& payload) {
    QByteArray record;
    record.reserve(kHeadSize + payload.size() + kTailSize);
    record.append(type);
    Put<quint32>(record, static_cast<quint32>(payload.size()));
    Put<quint32>(record, Crc32(record.constData(), record.size()));
    record.append(payload);
    Put<quint32>(record, Crc32(record.constData(), record.size()));
    return record;
}

void PutText(QByteArray& out, const QString& text) { PutBytes(out, text.toUtf8()); }

/// Reads a payload front to back; any read past its end leaves it failed.
class Reader {
  public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes) {}
    template <typename T>
    T Get() {
        if (m_failed || m_bytes.size() - m_at < static_cast<qsizetype>(sizeof(T))) {
            m_failed = true;
            return T{};
        }
        const T value = qFromLittleEndian<T>(m_bytes.data() + m_at);
        m_at += sizeof(T);
        return value;
    }
    QByteArray GetBytes() {
        const auto size = static_cast<qsizetype>(Get<quint32>());
        if (m_failed || m_bytes.size() - m_at < size) {
            m_failed = true;
            return {};
        }
        const QByteArray bytes = m_bytes.sliced(m_at, size).toByteArray();
        m_at += size;
        return bytes;
    }
    /// Whether everything was read, exactly.
    bool Whole() const { return !m_failed && m_at == m_bytes.size(); }
    /// Whether a read went past the end.
    bool Failed() const { return m_failed; }

  private:
    QByteArrayView m_bytes;
    qsizetype m_at = 0;
    bool m_failed = false;
};

bool AllZero(QByteArrayView bytes) {
    for (char byte : bytes) {
        if (byte != 0) return false;
    }
    return true;
}

/// Folds one record about the run as a whole into `contents`; false when it is not sound or
/// out of place (a second 'I', an 'I' after the first rename, a second 'E').
bool ReadRunRecord(char type, Reader& payload, JournalContents& contents) {
    const auto text = [&payload] { return QString::fromUtf8(payload.GetBytes()); };
    if (type == kAbout) {
        if (contents.about || !contents.entries.empty()) return false;
        JournalAbout about;
        about.startedMs = payload.Get<qint64>();
        about.origin = text();
        about.operation = text();
        const auto count = payload.Get<quint32>();
        for (quint32 i = 0; i < count && !payload.Failed(); ++i) {
            QString field = text();
            about.answers.emplace_back(std::move(field), text());
        }
        if (!payload.Whole()) return false;
        contents.about = std::move(about);
        return true;
    }
    if (type == kEnd) {
        if (contents.endedMs || !contents.undos.empty() || contents.offered) return false;
        const auto ended = payload.Get<qint64>();
        contents.stopped = payload.Get<quint8>() == 1;
        if (!payload.Whole()) return false;
        contents.endedMs = ended;
        return true;
    }
    if (type == kOffered) {
        payload.Get<qint64>();
        if (!payload.Whole()) return false;
        contents.offered = true;
        return true;
    }
    JournalUndo undo;
    undo.endedMs = payload.Get<qint64>();
    undo.putBack = payload.Get<quint64>();
    undo.notPutBack = payload.Get<quint64>();
    undo.complete = payload.Get<quint8>() == 1;
    if (!payload.Whole()) return false;
    contents.undos.push_back(undo);
    return true;
}

/// `bytes` as UTF-8, or nothing when they are not exactly that.
std::optional<QString> Utf8(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() != bytes) return std::nullopt;
    return text;
}

}  // namespace

QByteArray JournalHeader() {
    return QByteArray(kMagic) + kVersionPrefix + QByteArray::number(kJournalVersion) + '\n';
}

QByteArray AboutToRecord(quint64 sequence, const std::optional<FolderId>& id,
                         const QByteArray& from, const QByteArray& to) {
    QByteArray payload;
    Put<quint64>(payload, sequence);
    Put<quint8>(payload, id ? 1 : 0);
    Put<quint64>(payload, id ? id->device : 0);
    Put<quint64>(payload, id ? id->inode : 0);
    PutBytes(payload, id ? id->fileSystem : QByteArray());
    Put<quint8>(payload, id && id->stableInodes ? 1 : 0);
    Put<quint64>(payload, id ? id->mount : 0);
    PutBytes(payload, from);
    PutBytes(payload, to);
    return Record(kAboutTo, payload);
}

QByteArray DoneRecord(quint64 sequence, bool moved, const QByteArray& at) {
    QByteArray payload;
    Put<quint64>(payload, sequence);
    if (!moved) {
        Put<quint8>(payload, kNotMoved);
    } else if (at.isEmpty()) {
        Put<quint8>(payload, kMovedToTo);
    } else {
        Put<quint8>(payload, kMovedElsewhere);
        PutBytes(payload, at);
    }
    return Record(kDone, payload);
}

QByteArray TemporaryRecord(quint64 sequence, const QByteArray& temporary) {
    QByteArray payload;
    Put<quint64>(payload, sequence);
    PutBytes(payload, temporary);
    return Record(kTemporary, payload);
}

QByteArray AboutRecord(const JournalAbout& about) {
    QByteArray payload;
    Put<qint64>(payload, about.startedMs);
    PutText(payload, about.origin);
    PutText(payload, about.operation);
    Put<quint32>(payload, static_cast<quint32>(about.answers.size()));
    for (const auto& [field, text] : about.answers) {
        PutText(payload, field);
        PutText(payload, text);
    }
    return Record(kAbout, payload);
}

QByteArray EndRecord(qint64 endedMs, bool stopped) {
    QByteArray payload;
    Put<qint64>(payload, endedMs);
    Put<quint8>(payload, stopped ? 1 : 0);
    return Record(kEnd, payload);
}

QByteArray OfferedRecord(qint64 offeredMs) {
    QByteArray payload;
    Put<qint64>(payload, offeredMs);
    return Record(kOffered, payload);
}

QByteArray UndoneRecord(const JournalUndo& undo) {
    QByteArray payload;
    Put<qint64>(payload, undo.endedMs);
    Put<quint64>(payload, undo.putBack);
    Put<quint64>(payload, undo.notPutBack);
    Put<quint8>(payload, undo.complete ? 1 : 0);
    return Record(kUndone, payload);
}

std::optional<JournalContents> ParseJournal(const QByteArray& bytes, QString& error) {
    const QByteArray magic(kMagic);
    const qsizetype lineEnd = bytes.indexOf('\n', magic.size());
    if (!bytes.startsWith(magic) || lineEnd < 0 ||
        !bytes.sliced(magic.size()).startsWith(kVersionPrefix)) {
        error = QStringLiteral("is not a rename journal");
        return std::nullopt;
    }
    const qsizetype versionAt = magic.size() + qsizetype(sizeof kVersionPrefix) - 1;
    const QByteArray version = bytes.sliced(versionAt, lineEnd - versionAt);
    const bool first = version == "1";   // without the file system's identity
    const bool second = version == "2";  // without the records about the run as a whole
    if (!first && !second && version != QByteArray::number(kJournalVersion)) {
        error = QStringLiteral(
                    "is a rename journal of format version %1; this program reads "
                    "version %2")
                    .arg(QString::fromLatin1(version.left(20).toPercentEncoding()))
                    .arg(kJournalVersion);
        return std::nullopt;
    }

    JournalContents contents;
    const auto damaged = [&](qsizetype at) {
        error = QStringLiteral("has a damaged record at byte %1").arg(at);
        return std::nullopt;
    };
    qsizetype at = lineEnd + 1;
    contents.soundSize = at;
    while (at < bytes.size()) {
        const QByteArrayView rest = QByteArrayView(bytes).sliced(at);
        if (rest.size() < kHeadSize) {
            contents.cutShort = true;  // even the record's head was cut short
            break;
        }
        const char type = rest[0];
        const auto size = qFromLittleEndian<quint32>(rest.data() + 1);
        if (qFromLittleEndian<quint32>(rest.data() + 5) != Crc32(rest.data(), 5)) {
            if (!AllZero(rest)) return damaged(at);
            contents.cutShort = true;  // a zero-filled tail, as a power cut leaves
            break;
        }
        if (size > kMaxPayload) return damaged(at);
        const qsizetype length = kHeadSize + size + kTailSize;
        if (rest.size() < length) {
            contents.cutShort = true;
            break;
        }
        if (qFromLittleEndian<quint32>(rest.data() + length - kTailSize) !=
            Crc32(rest.data(), length - kTailSize)) {
            if (rest.size() > length) return damaged(at);
            contents.cutShort = true;  // the last record, torn
            break;
        }

        Reader payload(rest.sliced(kHeadSize, size));
        const bool whole = !first && !second;
        if (whole && (type == kAbout || type == kEnd || type == kUndone || type == kOffered)) {
            if (!ReadRunRecord(type, payload, contents)) return damaged(at);
            at += length;
            contents.soundSize = at;
            continue;
        }
        const auto sequence = payload.Get<quint64>();
        if (contents.endedMs || !contents.undos.empty() || contents.offered) {
            return damaged(at);  // a rename after the end
        }
        if (type == kAboutTo) {
            JournalEntry entry;
            const bool known = payload.Get<quint8>() == 1;
            FolderId id{payload.Get<quint64>(), payload.Get<quint64>()};
            if (!first) {
                id.fileSystem = payload.GetBytes();
                id.stableInodes = payload.Get<quint8>() == 1;
                id.mount = payload.Get<quint64>();
            }
            if (known) entry.id = id;
            entry.from = payload.GetBytes();
            entry.to = payload.GetBytes();
            if (!payload.Whole() || sequence != contents.entries.size()) return damaged(at);
            contents.entries.push_back(std::move(entry));
        } else if (type == kDone) {
            const auto kind = payload.Get<quint8>();
            QByteArray movedTo;
            if (kind == kMovedElsewhere) movedTo = payload.GetBytes();
            if (!payload.Whole() || kind > kMovedElsewhere || sequence >= contents.entries.size() ||
                contents.entries[sequence].done != JournalEntry::Done::Unknown) {
                return damaged(at);
            }
            JournalEntry& entry = contents.entries[sequence];
            entry.done =
                kind == kNotMoved ? JournalEntry::Done::NotMoved : JournalEntry::Done::Moved;
            if (kind == kMovedToTo) entry.at = entry.to;
            if (kind == kMovedElsewhere) entry.at = movedTo;
        } else if (type == kTemporary && !first) {
            QByteArray temporary = payload.GetBytes();
            if (!payload.Whole() || sequence >= contents.entries.size() ||
                contents.entries[sequence].done != JournalEntry::Done::Unknown) {
                return damaged(at);
            }
            contents.entries[sequence].temporary = std::move(temporary);
        } else {
            return damaged(at);
        }
        at += length;
        contents.soundSize = at;
    }
    return contents;
}

std::optional<std::vector<RecordedMove>> MovesOfJournal(const JournalContents& contents,
                                                        QString& error) {
    std::vector<RecordedMove> moves;
    moves.reserve(contents.entries.size());
    for (const JournalEntry& entry : contents.entries) {
        if (entry.done == JournalEntry::Done::NotMoved) continue;
        const bool confirmed = entry.done == JournalEntry::Done::Moved;
        for (const QByteArray* path :
             {&entry.from, confirmed ? &entry.at : &entry.to, &entry.temporary}) {
            if (!Utf8(*path)) {
                error = QStringLiteral("holds a path that is not valid UTF-8: %1")
                            .arg(QString::fromLatin1(path->toPercentEncoding("/")));
                return std::nullopt;
            }
        }
        if (!confirmed && !entry.temporary.isEmpty()) {
            // Cut short within a case-only change: at the old name, the temporary one or the
            // new one.
            moves.push_back(
                RecordedMove{*Utf8(entry.from), *Utf8(entry.temporary), entry.id, false});
            moves.push_back(RecordedMove{*Utf8(entry.temporary), *Utf8(entry.to), entry.id, false});
            continue;
        }
        moves.push_back(RecordedMove{*Utf8(entry.from), *Utf8(confirmed ? entry.at : entry.to),
                                     entry.id, confirmed});
    }
    return moves;
}

std::unique_ptr<JournalWriter> JournalWriter::Create(const QByteArray& path, int& error,
                                                     qsizetype batchSize,
                                                     const std::optional<JournalAbout>& about,
                                                     int mode) {
    error = 0;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          static_cast<mode_t>(mode));
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    std::unique_ptr<JournalWriter> writer(new JournalWriter(fd, batchSize));
    // Held until Finish, or until the process ends however it ends.
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        if (errno != ENOLCK && errno != EINVAL) error = errno;  // unlockable there: go on
        break;
    }
    if (error == 0) {
        error =
            writer->Write(about ? JournalHeader() + AboutRecord(*about) : JournalHeader(), true);
    }
    if (error == 0) {
        // The file's own entry in its folder must survive a power cut as well.
        const qsizetype slash = path.lastIndexOf('/');
        const QByteArray folder = slash < 0 ? QByteArray(".") : path.left(slash + 1);
        const int folderFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderFd < 0 || ::fsync(folderFd) != 0) {
            // Some file systems (FUSE ones among them) cannot sync a folder: nothing more to do.
            if (errno != EINVAL && errno != ENOTSUP) error = errno;
        }
        if (folderFd >= 0) ::close(folderFd);
    }
    if (error != 0) {
        writer.reset();
        ::unlink(path.constData());  // ours, and holding no record yet
        return nullptr;
    }
    return writer;
}

JournalWriter::JournalWriter(int fd, qsizetype batchSize)
    : m_fd(fd), m_batchSize(batchSize < 1 ? 1 : batchSize), m_ahead(m_batchSize) {}

JournalWriter::~JournalWriter() {
    if (m_fd >= 0) ::close(m_fd);
}

RenamePlatform JournalWriter::Attach(RenamePlatform base) {
    return Observed(std::move(base), *this);
}

int JournalWriter::AboutToRename(const std::vector<FolderRow>& rows, const QString& from,
                                 const QString& to) {
    m_current.reset();
    if (m_error != 0) return m_error;
    const std::optional<FolderId> id = IdAt(from);
    // The row at its turn: the first one asking for this rename that is not done yet (the
    // rows before it have their new paths cleared). Rows are taken in order, so the search
    // goes on from where the last one ended.
    const auto asks = [&](const FolderRow& row) {
        return WithoutSeparator(row.current) == from && WithoutSeparator(row.newPath) == to;
    };
    size_t position = m_row;
    while (position < rows.size() && !asks(rows[position])) ++position;
    if (position == rows.size()) position = m_row;  // not found: nothing to write ahead from
    m_row = position;

    while (m_cursor < m_batch.size() && m_batch[m_cursor].row < position) ++m_cursor;
    if (m_cursor < m_batch.size()) {
        const Pending& written = m_batch[m_cursor];
        if (written.row == position && written.from == from && written.to == to &&
            written.id == id) {
            m_current = m_cursor;
            return 0;  // already durable
        }
    }

    // A new batch: this rename, then the renames the rows after it ask for as they stand now.
    // Whatever is written ahead and then not done gets a "not moved" record later, so a run
    // whose renames keep turning out different (a parent listed before each of its folders,
    // say) writes ahead less and less: the journal stays within a few records per rename.
    const bool usedUp = m_cursor >= m_batch.size();
    m_ahead = usedUp ? std::min(m_ahead * 2, m_batchSize) : std::max<qsizetype>(1, m_ahead / 2);
    QByteArray bytes = CloseBatch();
    m_batch.clear();
    m_cursor = 0;
    m_batch.push_back(Pending{position, m_nextSequence++, from, to, id});
    for (size_t row = position + 1;
         row < rows.size() && static_cast<qsizetype>(m_batch.size()) < m_ahead; ++row) {
        const FolderRow& next = rows[row];
        if (next.newPath.isEmpty() || WithSeparator(next.newPath) == WithSeparator(next.current)) {
            continue;  // this row will not reach the disk
        }
        const QString nextFrom = WithoutSeparator(next.current);
        m_batch.push_back(Pending{row, m_nextSequence++, nextFrom, WithoutSeparator(next.newPath),
                                  IdAt(nextFrom)});
    }
    for (const Pending& pending : m_batch) {
        bytes += AboutToRecord(pending.sequence, pending.id, QFile::encodeName(pending.from),
                               QFile::encodeName(pending.to));
    }
    m_error = Write(bytes, true);
    if (m_error != 0) return m_error;
    m_current = 0;
    return 0;
}

int JournalWriter::AboutToUseTemporary(const QString& /*from*/, const QString& temporary) {
    if (m_error != 0) return m_error;
    if (!m_current) return 0;
    // The "done" records so far go out with it: one sync for both.
    QByteArray bytes = std::move(m_done);
    m_done.clear();
    bytes += TemporaryRecord(m_batch[*m_current].sequence, QFile::encodeName(temporary));
    m_error = Write(bytes, true);
    return m_error;
}

void JournalWriter::Renamed(const QString& /*from*/, const QString& /*to*/,
                            const FolderRenameResult& result) {
    if (!m_current) return;
    Pending& pending = m_batch[*m_current];
    m_current.reset();
    pending.resolved = true;
    if (result.error == 0) {
        m_done += DoneRecord(pending.sequence, true);
    } else if (!result.strandedAt.isEmpty()) {
        m_done += DoneRecord(pending.sequence, true, QFile::encodeName(result.strandedAt));
    } else {
        m_done += DoneRecord(pending.sequence, false);
    }
}

QByteArray JournalWriter::CloseBatch() {
    QByteArray bytes = std::move(m_done);
    m_done.clear();
    for (Pending& pending : m_batch) {
        if (!pending.resolved) bytes += DoneRecord(pending.sequence, false);
        pending.resolved = true;
    }
    return bytes;
}

int JournalWriter::Write(const QByteArray& bytes, bool sync) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t step =
            ::write(m_fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (step < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        written += step;
    }
    if (sync && ::fdatasync(m_fd) != 0) return errno;
    return 0;
}

int JournalWriter::Finish(bool stopped) {
    if (m_fd < 0) return m_error;
    if (m_error == 0) {
        m_error =
            Write(CloseBatch() + EndRecord(QDateTime::currentMSecsSinceEpoch(), stopped), true);
    }
    if (::close(m_fd) != 0 && m_error == 0) m_error = errno;
    m_fd = -1;
    return m_error;
}

}  // namespace trellisane
