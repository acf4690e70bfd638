#pragma once

#include <QString>
#include <QStringView>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "folders/child_table.h"
#include "folders/path_separator.h"

namespace trellisane {

/// `path` ending with the separator ("" stays "").
inline QString WithSeparator(const QString& path) {
    return path.isEmpty() || path.endsWith(kPathSeparator) ? path : path + kPathSeparator;
}

/// `path` without one trailing separator: what the platform is handed, so that a symbolic
/// link to a folder is renamed as the link ("/" becomes "").
inline QString WithoutSeparator(const QString& path) {
    return path.endsWith(kPathSeparator) ? path.chopped(1) : path;
}

/// Where `c` first stands in `text` from `from` on, or -1. A plain scan: a view's indexOf of a
/// character goes through the general substring search, many times slower on short names.
inline qsizetype IndexOfChar(QStringView text, QChar c, qsizetype from = 0) {
    const QChar* const end = text.end();
    const QChar* const at = std::find(text.begin() + from, end, c);
    return at == end ? -1 : at - text.begin();
}

/// Paths ending with the separator, each standing for one or more ids, kept as a tree of their
/// components, so that moving a folder moves one node: every path equal to or below it (by
/// whole components: '/a/bc/' is not below '/a/b/') goes along without being compared or
/// re-sorted. The empty path is kept apart and never moves.
class PathIndex {
  public:
    PathIndex() { m_nodes.emplace_back(); }  // the node above the first component

    /// Files `id` under `path` (which ends with the separator, or is ""). O(components); a
    /// path in the same parent as the one filed before it is found from that parent, in O(1)
    /// look-ups.
    void Add(const QString& path, qsizetype id) {
        if (path.isEmpty()) {
            m_empty.push_back(id);
            return;
        }
        int node = -1;
        const qsizetype parentSize = ParentSize(path);
        if (InLastParent(path, parentSize)) {
            node = ChildOrNew(m_lastParent, LastName(path, parentSize));
        } else {
            node = 0;
            int parent = -1;
            ForEachComponent(path, [&](QStringView name) {
                parent = node;
                node = ChildOrNew(node, name);
            });
            m_lastParent = parentSize > 0 ? parent : -1;
            if (m_lastParent >= 0) m_lastParentPath = path.left(parentSize);
        }
        AddId(node, id);
        if (id > m_nodes[node].maxId) m_nodes[node].maxId = id;
        Raise(node);
    }

    /// The ids filed under exactly `path` (none: empty). O(components + ids).
    std::vector<qsizetype> At(const QString& path) const {
        if (path.isEmpty()) return m_empty;
        std::vector<qsizetype> ids;
        const int node = Find(path);
        if (node >= 0) ForEachId(node, [&](qsizetype id) { ids.push_back(id); });
        return ids;
    }

    /// Makes room for `nodes` nodes, so that filing that many grows nothing. O(nodes).
    void Reserve(std::size_t nodes) { m_nodes.reserve(nodes); }

    /// Rebases every path equal to or below `from` onto `to` (both ending with the separator,
    /// neither empty) and calls `visit(id, rebasedPath)` for each id filed there; ids that
    /// already stood at a rebased path are not visited, and both then stand there together.
    /// O(components of both + k) for k paths moved, each rebuilt once.
    template <typename Visit>
    void Move(const QString& from, const QString& to, Visit&& visit) {
        int parent = -1;
        const int node = Take(from, to, parent);
        if (node < 0) return;
        VisitTree(node, to, visit);
        Put(node, to, parent);
    }

    /// Move for a caller that needs the rebased paths of the ids above `after` only: only those
    /// are visited, their paths built. The others are carried all the same; ForEachMoved gives
    /// them their paths later. O(components of both + the nodes that hold or lead to an id
    /// above `after`), plus the length of the paths built: a folder whose ids are all at or
    /// below `after` is passed over whole.
    template <typename Visit>
    void MoveVisitingAbove(const QString& from, const QString& to, qsizetype after, Visit&& visit) {
        int parent = -1;
        const int node = Take(from, to, parent);
        if (node < 0) return;
        std::vector<int> trail;
        VisitAbove(node, to, trail, after, visit);
        Put(node, to, parent);
    }

    /// Calls `visit(id, path)` for every id filed at or below a path that a move has rebased
    /// (ids that stood at a rebased path before it included), with the path it stands at now.
    /// A path given as a move's `to` is handed on as that very string. O(every filed path's
    /// components + the length of the paths built).
    template <typename Visit>
    void ForEachMoved(Visit&& visit) const {
        std::vector<int> trail;
        VisitMoved(0, trail, visit);
    }

  private:
    /// Where a node's name is kept: m_names[chunk], from `offset`, `size` characters.
    struct NameRef {
        std::uint32_t chunk = 0;
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
    };

    struct Node {
        NameRef name;
        int parent = -1;
        int firstChild = -1;
        int next = -1;  // siblings, a doubly linked list
        int previous = -1;
        std::uint32_t hash = 0;  // ChildTable::NameHash(name)
        int more = -1;           // the ids filed here after the first: m_more[more]; -1: none
        bool moved = false;      // a move's `to` named this node, or one merged into it
        qsizetype id = -1;       // the first id filed here; -1: none
        qsizetype maxId = -1;    // at least the largest id filed here or below; -1: none
        QString at;              // the `to` that moved it, kept so that its text is shared
    };

    /// The child of `parent` named `name`, or -1.
    int ChildOf(int parent, QStringView name) const {
        return m_children.Find(parent, ChildTable::NameHash(name), [&](int child) {
            return m_nodes[child].parent == parent && NameOf(child) == name;
        });
    }

    /// The name of `node`, a view into the names' storage.
    QStringView NameOf(int node) const {
        const NameRef& name = m_nodes[node].name;
        if (name.size == 0) return {};
        return QStringView(m_names[name.chunk].get() + name.offset, name.size);
    }

    /// Gives `node` the name `name`, kept in the names' storage: chunks that are filled and
    /// never moved, so a name costs its characters and no allocation of its own.
    void SetName(int node, QStringView name) {
        NameRef ref;
        ref.size = static_cast<std::uint32_t>(name.size());
        if (ref.size != 0) {
            const std::size_t size = name.size();
            if (m_names.empty() || m_namesUsed + size > m_namesChunk) {
                m_namesChunk = std::max<std::size_t>(kNamesChunk, size);
                m_names.push_back(std::make_unique<char16_t[]>(m_namesChunk));
                m_namesUsed = 0;
            }
            ref.chunk = static_cast<std::uint32_t>(m_names.size() - 1);
            ref.offset = static_cast<std::uint32_t>(m_namesUsed);
            std::copy(name.utf16(), name.utf16() + size, m_names.back().get() + m_namesUsed);
            m_namesUsed += size;
        }
        m_nodes[node].name = ref;
    }

    /// Files `id` at `node` as well.
    void AddId(int node, qsizetype id) {
        Node& n = m_nodes[node];
        if (n.id < 0) {
            n.id = id;
            return;
        }
        if (n.more < 0) {
            n.more = static_cast<int>(m_more.size());
            m_more.emplace_back();
        }
        m_more[static_cast<std::size_t>(n.more)].push_back(id);
    }

    /// Calls `visit(id)` for every id filed at `node`, in the order filed.
    template <typename Visit>
    void ForEachId(int node, Visit&& visit) const {
        const Node& n = m_nodes[node];
        if (n.id < 0) return;
        visit(n.id);
        if (n.more >= 0) {
            for (qsizetype id : m_more[static_cast<std::size_t>(n.more)]) visit(id);
        }
    }

    /// Calls `visit(name)` for every component of `path` but the empty one after its final
    /// separator: "/a/" gives "" and "a".
    template <typename Visit>
    static void ForEachComponent(const QString& path, Visit&& visit) {
        const QStringView view = QStringView(path).chopped(path.endsWith(kPathSeparator) ? 1 : 0);
        qsizetype start = 0;
        for (;;) {
            const qsizetype end = IndexOfChar(view, kPathSeparator, start);
            if (end < 0) {
                visit(view.mid(start));
                return;
            }
            visit(view.mid(start, end - start));
            start = end + 1;
        }
    }

    int Find(const QString& path) const {
        int node = 0;
        ForEachComponent(path, [&](QStringView name) {
            if (node < 0) return;
            node = ChildOf(node, name);
        });
        return node;
    }

    int ChildOrNew(int parent, QStringView name) {
        const std::uint32_t hash = ChildTable::NameHash(name);
        // The table's hash mixes parent and name in 32 bits: two folders of one name in
        // different parents may share it, so the parent is compared as well.
        const int found = m_children.Find(parent, hash, [&](int child) {
            return m_nodes[child].parent == parent && NameOf(child) == name;
        });
        if (found >= 0) return found;
        const int node = static_cast<int>(m_nodes.size());
        m_nodes.emplace_back();
        SetName(node, name);
        m_nodes[node].hash = hash;
        Attach(node, parent);
        return node;
    }

    void Attach(int node, int parent) {
        Node& n = m_nodes[node];
        n.parent = parent;
        n.previous = -1;
        n.next = m_nodes[parent].firstChild;
        if (n.next >= 0) m_nodes[n.next].previous = node;
        m_nodes[parent].firstChild = node;
        m_children.Insert(parent, n.hash, node);
    }

    void Detach(int node) {
        Node& n = m_nodes[node];
        m_children.Erase(n.parent, n.hash, node);
        if (n.previous >= 0) {
            m_nodes[n.previous].next = n.next;
        } else {
            m_nodes[n.parent].firstChild = n.next;
        }
        if (n.next >= 0) m_nodes[n.next].previous = n.previous;
        n.parent = n.next = n.previous = -1;
    }

    /// Moves everything of the detached `from` into `into`, which stands at the same path.
    void Merge(int from, int into) {
        m_nodes[into].maxId = std::max(m_nodes[into].maxId, m_nodes[from].maxId);
        ForEachId(from, [&](qsizetype id) { AddId(into, id); });
        if (m_nodes[from].more >= 0) m_more[static_cast<std::size_t>(m_nodes[from].more)] = {};
        m_nodes[from].id = -1;
        m_nodes[from].more = -1;
        for (int child = m_nodes[from].firstChild; child >= 0;) {
            const int next = m_nodes[child].next;
            m_children.Erase(from, m_nodes[child].hash, child);
            const int there = ChildOf(into, NameOf(child));
            if (there < 0) {
                Attach(child, into);
            } else {
                Merge(child, there);
            }
            child = next;
        }
        m_nodes[from].firstChild = -1;
    }

    /// Makes every node above `node` count its largest id.
    void Raise(int node) {
        const qsizetype id = m_nodes[node].maxId;
        for (int above = m_nodes[node].parent; above >= 0 && m_nodes[above].maxId < id;
             above = m_nodes[above].parent) {
            m_nodes[above].maxId = id;
        }
    }

    /// The length of the part of `path` before its last component, its separator included;
    /// 0 when there is none.
    static qsizetype ParentSize(const QString& path) {
        return path.lastIndexOf(kPathSeparator, -2) + 1;
    }

    /// The last component of `path`, after its first `parentSize` characters.
    static QStringView LastName(const QString& path, qsizetype parentSize) {
        return QStringView(path).mid(parentSize).chopped(path.endsWith(kPathSeparator) ? 1 : 0);
    }

    /// Whether the first `parentSize` characters of `path` are the parent remembered last.
    bool InLastParent(const QString& path, qsizetype parentSize) const {
        return m_lastParent >= 0 && parentSize > 0 && parentSize == m_lastParentPath.size() &&
               QStringView(path).left(parentSize) == QStringView(m_lastParentPath);
    }

    /// Detaches the node of `from` for a move to `to`, or gives -1 when there is none or
    /// either path is empty (no move). `parent` receives the node it hung from when `to` is
    /// in the same parent as `from`, else -1.
    int Take(const QString& from, const QString& to, int& parent) {
        parent = -1;
        if (from.isEmpty() || to.isEmpty()) return -1;
        const qsizetype parentSize = ParentSize(from);
        const int node = InLastParent(from, parentSize)
                             ? ChildOf(m_lastParent, LastName(from, parentSize))
                             : Find(from);
        if (node >= 0 && parentSize > 0) {
            m_lastParent = m_nodes[node].parent;
            m_lastParentPath = from.left(parentSize);
        }
        // The parent remembered stands elsewhere once a folder at or above it moves.
        if (m_lastParent >= 0 &&
            (m_lastParentPath.startsWith(from) || m_lastParentPath.startsWith(to))) {
            m_lastParent = -1;
        }
        if (node < 0) return node;
        if (parentSize > 0 && ParentSize(to) == parentSize &&
            QStringView(to).left(parentSize) == QStringView(from).left(parentSize)) {
            parent = m_nodes[node].parent;
        }
        Detach(node);
        return node;
    }

    /// Files the detached `node` at `to` (not empty), merging it with a node already there;
    /// `toParent` is the node of `to`'s parent, or -1 to look it up.
    void Put(int node, const QString& to, int toParent) {
        // `to`'s parent is looked up (made where missing) only now that the moved tree is out
        // of the way, so a `to` inside `from` lands where it says.
        int parent = 0;
        QStringView last;
        if (toParent >= 0) {
            parent = toParent;
            last = LastName(to, ParentSize(to));
        } else {
            bool first = true;
            ForEachComponent(to, [&](QStringView name) {
                if (!first) parent = ChildOrNew(parent, last);
                first = false;
                last = name;
            });
        }
        const int there = ChildOf(parent, last);
        int into = node;
        if (there < 0) {
            SetName(node, last);
            m_nodes[node].hash = ChildTable::NameHash(last);
            Attach(node, parent);
        } else {
            into = there;
            Merge(node, into);
        }
        m_nodes[into].moved = true;
        m_nodes[into].at = to;
        Raise(into);
    }

    template <typename Visit>
    void VisitAbove(int node, const QString& to, std::vector<int>& trail, qsizetype after,
                    Visit& visit) {
        if (m_nodes[node].maxId <= after) return;
        QString path;
        ForEachId(node, [&](qsizetype id) {
            if (id <= after) return;
            if (path.isEmpty()) {
                path = to;
                for (int step : trail) path.append(NameOf(step)).append(kPathSeparator);
            }
            visit(id, path);
        });
        for (int child = m_nodes[node].firstChild; child >= 0; child = m_nodes[child].next) {
            trail.push_back(child);
            VisitAbove(child, to, trail, after, visit);
            trail.pop_back();
        }
    }

    /// Looks for moved nodes below `node`, which is not below one; `trail` holds the nodes
    /// from the top down to `node`, whose path is built only when a moved node is found.
    template <typename Visit>
    void VisitMoved(int node, std::vector<int>& trail, Visit& visit) const {
        for (int child = m_nodes[node].firstChild; child >= 0; child = m_nodes[child].next) {
            if (m_nodes[child].moved) {
                QString parentPath;
                for (int step : trail) parentPath.append(NameOf(step)).append(kPathSeparator);
                VisitBelowMoved(child, parentPath, visit);
            } else {
                trail.push_back(child);
                VisitMoved(child, trail, visit);
                trail.pop_back();
            }
        }
    }

    /// Visits every id at or below `node`, which is moved or below a moved node.
    template <typename Visit>
    void VisitBelowMoved(int node, const QString& parentPath, Visit& visit) const {
        const Node& n = m_nodes[node];
        // The path a move named, when the node still stands there: shared, not rebuilt.
        const QStringView name = NameOf(node);
        const qsizetype size = parentPath.size() + name.size() + 1;
        const bool same = n.at.size() == size && n.at.startsWith(parentPath) &&
                          QStringView(n.at).mid(parentPath.size(), name.size()) == name;
        QString path = n.at;
        if (!same) {
            path = QString();  // one allocation of the exact size
            path.reserve(size);
            path.append(parentPath).append(name).append(kPathSeparator);
        }
        ForEachId(node, [&](qsizetype id) { visit(id, path); });
        for (int child = n.firstChild; child >= 0; child = m_nodes[child].next) {
            VisitBelowMoved(child, path, visit);
        }
    }

    template <typename Visit>
    void VisitTree(int node, const QString& path, Visit& visit) {
        ForEachId(node, [&](qsizetype id) { visit(id, path); });
        for (int child = m_nodes[node].firstChild; child >= 0; child = m_nodes[child].next) {
            QString below = path;
            below.append(NameOf(child)).append(kPathSeparator);
            VisitTree(child, below, visit);
        }
    }

    static constexpr std::size_t kNamesChunk = std::size_t{1} << 16;

    std::vector<Node> m_nodes;
    std::vector<std::unique_ptr<char16_t[]>> m_names;
    std::size_t m_namesChunk = 0;  // the size of the last chunk
    std::size_t m_namesUsed = 0;   // characters used in it
    std::vector<std::vector<qsizetype>> m_more;
    ChildTable m_children;
    std::vector<qsizetype> m_empty;
    // The parent of the path Add filed last (ending with the separator) and its node; -1: none.
    int m_lastParent = -1;
    QString m_lastParentPath;
};

}  // namespace trellisane
