// Whether an overlay lets a folder move: without redirect_dir, a folder from a lower layer
// cannot be renamed (the kernel answers EXDEV).

#include "rename/overlay_layers.h"

#include <sys/stat.h>

#include <QFile>
#include <cerrno>
#include <cstdlib>

#include "folders/folder_entries.h"
#include "folders/path_separator.h"
#include "shell/texts.h"

namespace trellisane {

namespace {

/// `text` split at each `separator` not escaped by a backslash; the escapes are undone when
/// `unescape` is set, else kept for a later split.
QStringList SplitEscaped(const QString& text, QChar separator, bool unescape) {
    QStringList parts(QString{});
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size()) {
            if (!unescape) parts.last() += text[i];
            parts.last() += text[++i];
        } else if (text[i] == separator) {
            parts << QString();
        } else {
            parts.last() += text[i];
        }
    }
    return parts;
}

}  // namespace

OverlayLayers ParseOverlayLayers(const QString& superOptions) {
    OverlayLayers layers;
    for (const QString& option : SplitEscaped(superOptions, u',', false)) {
        const qsizetype equals = option.indexOf(u'=');
        const QString key = option.left(equals);
        const QString value = equals < 0 ? QString() : option.mid(equals + 1);
        if (key == u"lowerdir") {
            layers.lower = SplitEscaped(value, u':', true);
        } else if (key == u"lowerdir+" || key == u"datadir+") {
            layers.lower << SplitEscaped(value, u',', true).join(u',');
        } else if (key == u"upperdir") {
            layers.upper = SplitEscaped(value, u',', true).join(u',');
        } else if (key == u"redirect_dir") {
            layers.redirectDir = value;
        }
    }
    return layers;
}

OverlayVerdict JudgeOverlayRename(const OverlayLayers& layers, const QString& moduleDefault,
                                  const QString& relative,
                                  const std::function<int(const QString& path)>& lowerHolds) {
    const QString redirect = layers.redirectDir.value_or(moduleDefault.trimmed());
    if (redirect == u"on" || redirect == u"Y" || redirect == u"y" || redirect == u"1") return {};
    // A folder made in the upper layer moves; one that any lower layer holds does not.
    bool unknown = false;
    for (const QString& lower : layers.lower) {
        // A layer that is not there as named (a relative path, another mount namespace's
        // path) tells nothing about what it holds.
        const bool seen = lower.startsWith(u'/') && lowerHolds(lower) == 1;
        const int holds = seen ? lowerHolds(lower + u'/' + relative) : -1;
        if (holds == 1) {
            return {OverlayVerdict::Kind::Fails,
                    Trellisane::tr("The folder comes from a lower layer of an overlay mounted "
                                   "without redirect_dir, which cannot rename it.")};
        }
        if (holds < 0) unknown = true;
    }
    if (!unknown) return {};
    return {OverlayVerdict::Kind::MayFail,
            Trellisane::tr("The renaming may fail: the folder is on an overlay mounted without "
                           "redirect_dir, whose lower layers cannot be seen from here, and a "
                           "folder from a lower layer cannot be renamed there.")};
}

OverlayVerdict OverlayRenameVerdict(const QString& folder) {
    const std::optional<MountFacts> mount = MountOf(folder);
    if (!mount || mount->type != u"overlay") return {};
    // The folder's place below the overlay's root: its parent's real path, then its name.
    const PathSplit split = SplitPath(folder);
    const QString parent = RealPathOf(split.parent);
    const QString point = mount->mountPoint;
    QString relative;
    if (parent == point) {
        relative = split.name.toString();
    } else if (parent.startsWith(point + u'/') || point == u"/") {
        relative = parent.mid(point == u"/" ? 1 : point.size() + 1) + u'/' + split.name.toString();
    } else {
        return {};
    }
    if (mount->root != u"/") relative = mount->root.mid(1) + u'/' + relative;

    QFile parameter(QStringLiteral("/sys/module/overlay/parameters/redirect_dir"));
    const QString moduleDefault =
        parameter.open(QIODevice::ReadOnly) ? QString::fromUtf8(parameter.readAll()) : QString();
    return JudgeOverlayRename(ParseOverlayLayers(mount->superOptions), moduleDefault, relative,
                              [](const QString& path) {
                                  struct stat status {};
                                  if (::lstat(QFile::encodeName(path).constData(), &status) == 0) {
                                      return S_ISDIR(status.st_mode) ? 1 : 0;
                                  }
                                  return errno == ENOENT || errno == ENOTDIR ? 0 : -1;
                              });
}

}  // namespace trellisane
