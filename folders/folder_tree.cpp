#include "folder_tree.h"

#include <QHashFunctions>
#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <utility>

namespace trellisane {

FolderTree::FolderTree(QChar separator) : m_separator(separator) {
    Push(kNone, 0, 0, 0, 0);  // the top node
}

void FolderTree::Push(NodeId parent, std::int32_t depth, std::uint32_t hash, std::uint32_t nameAt,
                      std::uint32_t sizeAndOpen) {
    m_parent.push_back(parent);
    m_firstChild.push_back(kNone);
    m_next.push_back(kNone);
    m_depth.push_back(depth);
    m_children.push_back(0);
    m_hash.push_back(hash);
    m_nameAt.push_back(nameAt);
    m_sizeAndOpen.push_back(sizeAndOpen);
}

std::uint32_t FolderTree::HashOf(QStringView name, bool open) {
    return ChildTable::NameHash(name) ^ (open ? 0x5bd1e995U : 0U);
}

namespace {

/// The number of leading code units `a` and `b` share, compared four at a time.
qsizetype CommonPrefix(QStringView a, QStringView b) {
    const qsizetype size = std::min(a.size(), b.size());
    const char16_t* const x = a.utf16();
    const char16_t* const y = b.utf16();
    qsizetype i = 0;
    for (; i + 4 <= size; i += 4) {
        std::uint64_t u = 0;
        std::uint64_t v = 0;
        std::memcpy(&u, x + i, sizeof u);
        std::memcpy(&v, y + i, sizeof v);
        if (u != v) {
            // The first code unit in memory is the lowest on a little-endian machine.
            if constexpr (std::endian::native == std::endian::little) {
                return i + std::countr_zero(u ^ v) / 16;
            } else {
                return i + std::countl_zero(u ^ v) / 16;
            }
        }
    }
    while (i < size && x[i] == y[i]) ++i;
    return i;
}

}  // namespace

void FolderTree::File(NodeId node) {
    m_table.Insert(m_parent[Index(node)], m_hash[Index(node)], node);
}

FolderTree::NodeId FolderTree::Child(NodeId parent, QStringView name, bool open) const {
    return Child(parent, name, open, HashOf(name, open));
}

FolderTree::NodeId FolderTree::Child(NodeId parent, QStringView name, bool open,
                                     std::uint32_t nameHash) const {
    if (m_children[Index(parent)] < kListedChildren) {
        // A few children: their list, made one after another, is quicker than the table.
        for (NodeId child = m_firstChild[Index(parent)]; child != kNone;
             child = m_next[Index(child)]) {
            if (m_hash[Index(child)] == nameHash && NameIs(child, name, open)) return child;
        }
        return kNone;
    }
    // The table mixes parent and name into 32 bits, which two parents may share for one name.
    return m_table.Find(parent, nameHash, [&](NodeId child) {
        return m_parent[Index(child)] == parent && NameIs(child, name, open);
    });
}

FolderTree::NodeId FolderTree::ChildOrNew(NodeId parent, QStringView name, bool open) {
    const std::uint32_t nameHash = HashOf(name, open);
    const NodeId found = Child(parent, name, open, nameHash);
    if (found != kNone) return found;
    return Make(parent, name, open, nameHash);
}

FolderTree::NodeId FolderTree::Make(NodeId parent, QStringView name, bool open,
                                    std::uint32_t nameHash) {
    const auto made = static_cast<NodeId>(m_parent.size());
    const auto nameAt = static_cast<std::uint32_t>(m_names.size());
    // The name may be a view into m_names itself, which growing would move: it is copied from
    // its offset once the room is there.
    const char16_t* const names = m_names.data();
    const char16_t* const from = name.utf16();
    if (!m_names.empty() && std::less_equal<>()(names, from) &&
        std::less<>()(from, names + m_names.size())) {
        const auto offset = static_cast<std::size_t>(from - names);
        m_names.resize(m_names.size() + static_cast<std::size_t>(name.size()));
        std::copy_n(m_names.data() + offset, name.size(), m_names.data() + nameAt);
    } else {
        m_names.insert(m_names.end(), from, from + name.size());
    }
    Push(parent, m_depth[Index(parent)] + (open ? 0 : 1), nameHash, nameAt,
         static_cast<std::uint32_t>(name.size()) | (open ? kOpen : 0U));
    Link(made);
    return made;
}

void FolderTree::Link(NodeId child) {
    const auto parent = Index(m_parent[Index(child)]);
    m_next[Index(child)] = m_firstChild[parent];
    m_firstChild[parent] = child;
    // A parent with many children has them filed in the table from then on.
    if (++m_children[parent] == kListedChildren) {
        for (NodeId at = m_firstChild[parent]; at != kNone; at = m_next[Index(at)]) File(at);
    } else if (m_children[parent] > kListedChildren) {
        File(child);
    }
}

FolderTree::NodeId FolderTree::AddFolder(NodeId folder, QStringView name) {
    NodeId node = folder;
    qsizetype start = 0;
    for (;;) {
        const qsizetype at = name.indexOf(m_separator, start);
        if (at < 0) return ChildOrNew(node, name.mid(start));
        node = ChildOrNew(node, name.mid(start, at - start));
        start = at + 1;
    }
}

FolderTree::NodeId FolderTree::Add(QStringView path) {
    NodeId node = kTop;
    qsizetype start = 0;
    while (start < path.size()) {
        const QChar* const at = std::find(path.begin() + start, path.end(), m_separator);
        if (at == path.end()) return ChildOrNew(node, path.mid(start), true);
        const qsizetype end = at - path.begin();
        node = ChildOrNew(node, path.mid(start, end - start));
        start = end + 1;
    }
    return node;
}

FolderTree::NodeId FolderTree::AddNext(QStringView path) {
    const NodeId node = AddAfterPrevious(path);
    m_previous = path.toString();
    return node;
}

FolderTree::NodeId FolderTree::AddNext(const QString& path) {
    const NodeId node = AddAfterPrevious(path);
    m_previous = path;  // shared, not copied
    return node;
}

FolderTree::NodeId FolderTree::AddAfterPrevious(QStringView path) {
    // The closed components both paths share, up to the first code unit where they differ.
    const qsizetype common = CommonPrefix(path, m_previous);
    while (!m_previousChain.empty() && m_previousChain.back().first >= common) {
        m_previousChain.pop_back();
    }
    NodeId node = m_previousChain.empty() ? kTop : m_previousChain.back().second;
    qsizetype start = m_previousChain.empty() ? 0 : m_previousChain.back().first + 1;
    while (start < path.size()) {
        const QChar* const at = std::find(path.begin() + start, path.end(), m_separator);
        if (at == path.end()) {
            node = ChildOrNew(node, path.mid(start), true);
            break;
        }
        const qsizetype end = at - path.begin();
        node = ChildOrNew(node, path.mid(start, end - start));
        m_previousChain.emplace_back(end, node);
        start = end + 1;
    }
    return node;
}

FolderTree::NodeId FolderTree::Find(QStringView path) const {
    NodeId node = kTop;
    qsizetype start = 0;
    while (start < path.size() && node != kNone) {
        const QChar* const at = std::find(path.begin() + start, path.end(), m_separator);
        if (at == path.end()) return Child(node, path.mid(start), true);
        const qsizetype end = at - path.begin();
        node = Child(node, path.mid(start, end - start));
        start = end + 1;
    }
    return node;
}

qsizetype FolderTree::PathSize(NodeId node) const {
    qsizetype size = 0;
    for (NodeId at = node; at != kTop; at = Parent(at)) {
        const std::uint32_t sizeAndOpen = m_sizeAndOpen[Index(at)];
        size += static_cast<qsizetype>(sizeAndOpen & kSize) + ((sizeAndOpen & kOpen) ? 0 : 1);
    }
    return size;
}

void FolderTree::WritePath(NodeId node, QChar* out) const {
    out += PathSize(node);
    for (NodeId at = node; at != kTop; at = Parent(at)) {
        if (!IsOpen(at)) *--out = m_separator;
        const QStringView name = Name(at);
        out -= name.size();
        std::copy(name.begin(), name.end(), out);
    }
}

QString FolderTree::PathOf(NodeId node) const {
    QString path(PathSize(node), Qt::Uninitialized);
    WritePath(node, path.data());
    return path;
}

bool FolderTree::SiblingLess(NodeId a, NodeId b) const {
    const QStringView x = Name(a);
    const QStringView y = Name(b);
    const bool xOpen = IsOpen(a);
    const bool yOpen = IsOpen(b);
    const qsizetype common = CommonPrefix(x, y);
    // Past its name a closed node's text goes on with the separator; an open one's ends.
    const bool xEnds = common == x.size();
    const bool yEnds = common == y.size();
    if (!xEnds && !yEnds) return x[common].unicode() < y[common].unicode();
    if (xEnds && xOpen) return !(yEnds && yOpen);  // x's text is a prefix of y's
    if (yEnds && yOpen) return false;
    const char16_t xNext = xEnds ? m_separator.unicode() : x[common].unicode();
    const char16_t yNext = yEnds ? m_separator.unicode() : y[common].unicode();
    return xNext < yNext;
}

std::size_t FolderTree::MemoryUse() const {
    return (m_parent.capacity() + m_firstChild.capacity() + m_next.capacity()) * sizeof(NodeId) +
           (m_depth.capacity() + m_children.capacity()) * sizeof(std::int32_t) +
           (m_hash.capacity() + m_nameAt.capacity() + m_sizeAndOpen.capacity()) *
               sizeof(std::uint32_t) +
           m_names.capacity() * sizeof(char16_t) + m_table.MemoryUse();
}

std::vector<FolderTree::NodeId> FolderTree::Compact(std::vector<bool> used) {
    const std::size_t count = m_parent.size();
    used.resize(count, false);
    used[Index(kTop)] = true;
    // A parent is always made before its children, so one pass from the last node marks every
    // node above a used one, and one pass from the first gives each kept node its new id after
    // its parent's.
    for (std::size_t node = count; node-- > 1;) {
        if (used[node]) used[Index(m_parent[node])] = true;
    }
    std::vector<NodeId> newId(count, kNone);
    FolderTree kept(m_separator);
    std::size_t keptCount = 0;
    std::size_t nameSize = 0;
    for (std::size_t node = 0; node < count; ++node) {
        if (!used[node]) continue;
        ++keptCount;
        nameSize += m_sizeAndOpen[node] & kSize;
    }
    kept.Reserve(keptCount, nameSize);
    newId[Index(kTop)] = kTop;
    for (std::size_t node = 1; node < count; ++node) {
        if (!used[node]) continue;
        const QStringView name = Name(static_cast<NodeId>(node));
        const auto nameAt = static_cast<std::uint32_t>(kept.m_names.size());
        kept.m_names.insert(kept.m_names.end(), name.utf16(), name.utf16() + name.size());
        newId[node] = static_cast<NodeId>(kept.m_parent.size());
        kept.Push(newId[Index(m_parent[node])], m_depth[node], m_hash[node], nameAt,
                  m_sizeAndOpen[node]);
        kept.Link(newId[node]);
    }
    *this = std::move(kept);
    return newId;
}

void FolderTree::Reserve(std::size_t nodes, std::size_t nameSize) {
    m_parent.reserve(nodes);
    m_firstChild.reserve(nodes);
    m_next.reserve(nodes);
    m_depth.reserve(nodes);
    m_children.reserve(nodes);
    m_hash.reserve(nodes);
    m_nameAt.reserve(nodes);
    m_sizeAndOpen.reserve(nodes);
    m_names.reserve(nameSize);
}

void FolderTree::ReserveMore(std::size_t nodes, std::size_t nameSize) {
    Reserve(m_parent.size() + nodes, m_names.size() + nameSize);
    m_table.Reserve(nodes);
}

std::vector<FolderTree::NodeId> FolderTree::InPathOrder() const {
    const std::vector<std::int32_t> ranks = PathRanks();
    std::vector<NodeId> order(ranks.size());
    for (std::size_t node = 0; node < ranks.size(); ++node) {
        order[static_cast<std::size_t>(ranks[node])] = static_cast<NodeId>(node);
    }
    return order;
}

std::vector<std::int32_t> FolderTree::PathRanks() const {
    // A node's place is its parent's, plus one, plus the sizes of the subtrees of the siblings
    // that sort before it. A parent is always made before its children, so sizes add up from
    // the last node and places are handed out from the first.
    const std::size_t count = m_parent.size();
    std::vector<std::int32_t> sizes(count, 1);
    for (std::size_t node = count; node-- > 1;) sizes[Index(m_parent[node])] += sizes[node];
    std::vector<std::int32_t> ranks(count, 0);
    std::vector<NodeId> children;
    for (std::size_t parent = 0; parent < count; ++parent) {
        NodeId child = m_firstChild[parent];
        if (child == kNone) continue;
        std::int32_t next = ranks[parent] + 1;
        if (m_next[Index(child)] == kNone) {  // an only child: nothing to sort
            ranks[Index(child)] = next;
            continue;
        }
        children.clear();
        for (; child != kNone; child = m_next[Index(child)]) children.push_back(child);
        std::sort(children.begin(), children.end(),
                  [this](NodeId a, NodeId b) { return SiblingLess(a, b); });
        for (const NodeId sibling : children) {
            ranks[Index(sibling)] = next;
            next += sizes[Index(sibling)];
        }
    }
    return ranks;
}

}  // namespace trellisane
