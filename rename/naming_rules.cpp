// What each file-system driver does with names, and which driver a folder lies on.

#include "rename/naming_rules.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <chrono>
#include <utility>

#include "rename/overlay_layers.h"
#include "shell/texts.h"

namespace trellisane {

namespace {

constexpr char16_t kWindowsForbidden[] = u"\"*:<>?\\|";

NamingRules WindowsRules(const QString& driver) {
    NamingRules rules;
    rules.driver = driver;
    rules.forbidden = QString::fromUtf16(kWindowsForbidden);
    rules.controls = true;
    rules.trailingBlank = true;
    rules.trailingDot = true;
    rules.reservedDeviceNames = true;
    return rules;
}

NamingRules FatRules(const QString& driver, bool dropsTrailingDots) {
    NamingRules rules;
    rules.driver = driver;
    rules.forbidden = QString::fromUtf16(kWindowsForbidden);
    rules.controls = true;
    rules.dropsTrailingDots = dropsTrailingDots;
    return rules;
}

bool IsReservedDeviceName(QStringView name) {
    // The part before the first dot decides: "con.txt" is the device as much as "CON".
    const qsizetype dot = name.indexOf(u'.');
    const QString stem = name.left(dot < 0 ? name.size() : dot).toString().toUpper();
    if (stem == u"CON" || stem == u"PRN" || stem == u"AUX" || stem == u"NUL") return true;
    return stem.size() == 4 && (stem.startsWith(u"COM") || stem.startsWith(u"LPT")) &&
           stem[3] >= u'1' && stem[3] <= u'9';
}

/// `field` of mountinfo with its octal escapes (\040, \011, \012, \134) undone.
QString Unescaped(const QByteArray& field) {
    QByteArray text;
    text.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int value = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok && value < 256) {
                text += static_cast<char>(value);
                i += 3;
                continue;
            }
        }
        text += field[i];
    }
    return QFile::decodeName(text);
}

/// One mount as /proc/self/mountinfo lists it.
struct MountLine {
    quint64 id = 0;
    dev_t device = 0;
    MountFacts facts;
};

/// The mounts of this process: the one with `id` when `id` is not 0, else the last on `device`.
std::optional<MountLine> FindMount(quint64 id, dev_t device) {
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    std::optional<MountLine> found;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype dash = fields.indexOf("-");
        if (dash < 6 || dash + 2 >= fields.size()) continue;
        MountLine mount;
        mount.id = fields[0].toULongLong();
        const QList<QByteArray> numbers = fields[2].split(':');
        if (numbers.size() != 2) continue;
        mount.device = makedev(numbers[0].toUInt(), numbers[1].toUInt());
        if (id != 0 ? mount.id != id : mount.device != device) continue;
        mount.facts.root = Unescaped(fields[3]);
        mount.facts.mountPoint = Unescaped(fields[4]);
        mount.facts.type = QString::fromUtf8(fields[dash + 1]);
        mount.facts.source = Unescaped(fields[dash + 2]);
        mount.facts.superOptions = Unescaped(fields.value(dash + 3));
        found = std::move(mount);
        if (id != 0) break;
    }
    return found;
}

/// The mount id and device of the entry at `path`, or nothing.
std::optional<std::pair<quint64, dev_t>> MountKey(const QString& path) {
    struct statx status {};
    if (::statx(AT_FDCWD, QFile::encodeName(path).constData(), AT_SYMLINK_NOFOLLOW,
                STATX_TYPE | STATX_MNT_ID, &status) != 0) {
        return std::nullopt;
    }
    const quint64 id = (status.stx_mask & STATX_MNT_ID) != 0 ? status.stx_mnt_id : 0;
    return std::pair{id, makedev(status.stx_dev_major, status.stx_dev_minor)};
}

/// The file system on the block device `source`: udev's ID_FS_TYPE, else its first bytes.
QString DeviceType(const QString& source) {
    struct stat device {};
    if (!source.startsWith(u'/') || ::stat(QFile::encodeName(source).constData(), &device) != 0 ||
        !S_ISBLK(device.st_mode)) {
        return {};
    }
    QFile udev(QStringLiteral("/run/udev/data/b%1:%2")
                   .arg(major(device.st_rdev))
                   .arg(minor(device.st_rdev)));
    if (udev.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : udev.readAll().split('\n')) {
            if (line.startsWith("E:ID_FS_TYPE=")) return QString::fromUtf8(line.mid(13));
        }
    }
    // The boot sector names NTFS and exFAT at byte 3.
    QFile raw(source);
    if (!raw.open(QIODevice::ReadOnly)) return {};
    const QByteArray head = raw.read(11);
    if (head.mid(3) == "NTFS    ") return QStringLiteral("ntfs");
    if (head.mid(3) == "EXFAT   ") return QStringLiteral("exfat");
    return {};
}

/// What was found out about each recent mount, by mount id and device. An entry is trusted
/// for a second: a run asks once per mount and second, and a mount made again under the same
/// id and device is seen again soon after.
template <typename Value>
class RecentByMount {
  public:
    template <typename Make>
    Value Get(const QString& path, const Make& make) {
        const std::optional<std::pair<quint64, dev_t>> mountKey = MountKey(path);
        if (!mountKey) return Value{};
        const QPair<quint64, quint64> key{mountKey->first, static_cast<quint64>(mountKey->second)};
        const auto now = std::chrono::steady_clock::now();
        {
            QMutexLocker lock(&m_mutex);
            const auto it = m_entries.constFind(key);
            if (it != m_entries.cend() && now - it->made < std::chrono::seconds(1)) {
                return it->value;
            }
        }
        Value value = make(mountKey->first, mountKey->second);
        QMutexLocker lock(&m_mutex);
        if (m_entries.size() > 64) m_entries.clear();
        m_entries.insert(key, Entry{now, value});
        return value;
    }

  private:
    struct Entry {
        std::chrono::steady_clock::time_point made;
        Value value;
    };
    QMutex m_mutex;
    QHash<QPair<quint64, quint64>, Entry> m_entries;
};

}  // namespace

std::optional<NamingRules> NamingRulesOf(const QString& type, const QString& superOptions,
                                         const QString& deviceType) {
    const QStringList options = superOptions.split(u',');
    if (type == u"fuseblk" || type.startsWith(u"fuse.")) {
        const QString driver = type.startsWith(u"fuse.") ? type.mid(5) : QString();
        if (deviceType == u"ntfs" || driver == u"ntfs-3g" || driver == u"lowntfs-3g") {
            return WindowsRules(
                Trellisane::tr("NTFS (through ntfs-3g, held to Windows' naming rules)"));
        }
        if (deviceType == u"exfat" || driver == u"exfat") {
            return FatRules(Trellisane::tr("exFAT (through exfat-fuse)"), false);
        }
        return std::nullopt;
    }
    if (type == u"ntfs3" && options.contains(QStringLiteral("windows_names"))) {
        return WindowsRules(Trellisane::tr("NTFS (ntfs3 with Windows' naming rules)"));
    }
    if (type == u"vfat" || type == u"msdos") return FatRules(QStringLiteral("FAT (vfat)"), true);
    if (type == u"exfat") return FatRules(QStringLiteral("exFAT"), true);
    return std::nullopt;
}

std::optional<QString> NamingRuleRefusal(const NamingRules& rules, QStringView name) {
    for (const QChar c : name) {
        if (rules.forbidden.contains(c)) {
            return Trellisane::tr("The new name holds \"%1\", which %2 does not allow in names.")
                .arg(c, rules.driver);
        }
        if (rules.controls && c.unicode() >= 1 && c.unicode() < 0x20) {
            return Trellisane::tr(
                       "The new name holds a control character, which %1 does not "
                       "allow in names.")
                .arg(rules.driver);
        }
    }
    if (rules.trailingBlank && name.endsWith(u' ')) {
        return Trellisane::tr("The new name ends with a blank, which %1 does not allow.")
            .arg(rules.driver);
    }
    if (rules.trailingDot && name.endsWith(u'.')) {
        return Trellisane::tr("The new name ends with a dot, which %1 does not allow.")
            .arg(rules.driver);
    }
    if (rules.dropsTrailingDots && name.endsWith(u'.')) {
        return Trellisane::tr("The new name ends with a dot, which %1 would silently drop.")
            .arg(rules.driver);
    }
    if (rules.reservedDeviceNames && IsReservedDeviceName(name)) {
        return Trellisane::tr("The new name \"%1\" is a device name, which %2 does not allow.")
            .arg(name.toString(), rules.driver);
    }
    return std::nullopt;
}

std::optional<MountFacts> MountOf(const QString& path) {
    static RecentByMount<std::optional<MountFacts>> mounts;
    return mounts.Get(path, [](quint64 id, dev_t device) -> std::optional<MountFacts> {
        std::optional<MountLine> mount = FindMount(id, device);
        if (!mount) return std::nullopt;
        return std::move(mount->facts);
    });
}

#ifndef STATX_MNT_ID_UNIQUE
#define STATX_MNT_ID_UNIQUE 0x00004000U  // Linux 6.8; older kernels leave it out of stx_mask
#endif

namespace {

/// The UUID blkid reads on the block device `device`, or "". Read from the device itself
/// where it may be read (blkid's cache can still hold what a reused device node, a loop device
/// say, held before), else from the cache.
QByteArray BlockUuid(const QString& device) {
    const QString blkid = QStandardPaths::findExecutable(
        QStringLiteral("blkid"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"),
                                  QStringLiteral("/usr/bin"), QStringLiteral("/bin")});
    if (blkid.isEmpty()) return {};
    const bool readable = ::access(QFile::encodeName(device).constData(), R_OK) == 0;
    QStringList arguments{QStringLiteral("-o"), QStringLiteral("value"), QStringLiteral("-s"),
                          QStringLiteral("UUID"), device};
    if (readable) arguments.prepend(QStringLiteral("-p"));
    QProcess process;
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(blkid, arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    return process.readAllStandardOutput().trimmed();
}

/// The unique id of the mount the entry at `path` lies on, or 0.
quint64 UniqueMountId(const QString& path) {
    struct statx status {};
    if (::statx(AT_FDCWD, QFile::encodeName(path).constData(), AT_SYMLINK_NOFOLLOW,
                STATX_MNT_ID_UNIQUE, &status) == 0 &&
        (status.stx_mask & STATX_MNT_ID_UNIQUE) != 0) {
        return status.stx_mnt_id;
    }
    return 0;
}

}  // namespace

FileSystemIdentity IdentityOf(const QString& path) {
    static RecentByMount<FileSystemIdentity> identities;
    FileSystemIdentity identity =
        identities.Get(path, [&path](quint64, dev_t) -> FileSystemIdentity {
            const std::optional<MountFacts> facts = MountOf(path);
            if (!facts) return {};
            FileSystemIdentity found;
            static const QStringList stable = {
                QStringLiteral("ext2"),    QStringLiteral("ext3"),  QStringLiteral("ext4"),
                QStringLiteral("xfs"),     QStringLiteral("btrfs"), QStringLiteral("f2fs"),
                QStringLiteral("ntfs3"),   QStringLiteral("jfs"),   QStringLiteral("zfs"),
                QStringLiteral("nfs"),     QStringLiteral("nfs4"),  QStringLiteral("bcachefs"),
                QStringLiteral("reiserfs")};
            const QString deviceType =
                facts->type == u"fuseblk" ? DeviceType(facts->source) : QString();
            // ntfs-3g numbers a folder by its record in the master file table.
            found.stableInodes = stable.contains(facts->type) || deviceType == u"ntfs";
            struct stat device {};
            if (facts->source.startsWith(u'/') &&
                ::stat(QFile::encodeName(facts->source).constData(), &device) == 0 &&
                S_ISBLK(device.st_mode)) {
                const QByteArray uuid = BlockUuid(facts->source);
                if (!uuid.isEmpty()) found.key = "uuid:" + uuid;
                // btrfs numbers inodes per subvolume: the subvolume is part of the name.
                if (!uuid.isEmpty() && facts->type == u"btrfs")
                    found.key += ':' + facts->root.toUtf8();
            } else if (facts->type == u"overlay") {
                // By its layers: the options shown change from the first mount to the next.
                const OverlayLayers layers = ParseOverlayLayers(facts->superOptions);
                found.key =
                    "overlay:" + layers.lower.join(u':').toUtf8() + '|' + layers.upper.toUtf8();
            } else {
                found.key = facts->type.toUtf8() + ':' + facts->source.toUtf8() + ':' +
                            facts->root.toUtf8();
            }
            return found;
        });
    identity.mount = UniqueMountId(path);
    return identity;
}

std::optional<NamingRules> NamingRulesAt(const QString& folder) {
    static RecentByMount<std::optional<NamingRules>> rules;
    return rules.Get(folder, [&folder](quint64, dev_t) -> std::optional<NamingRules> {
        const std::optional<MountFacts> facts = MountOf(folder);
        if (!facts) return std::nullopt;
        const QString deviceType =
            facts->type == u"fuseblk" ? DeviceType(facts->source) : QString();
        return NamingRulesOf(facts->type, facts->superOptions, deviceType);
    });
}

std::optional<QString> NamingRuleRefusalAt(const QString& folder, const QString& name) {
    const std::optional<NamingRules> rules = NamingRulesAt(folder);
    if (!rules) return std::nullopt;
    return NamingRuleRefusal(*rules, name);
}

}  // namespace trellisane
