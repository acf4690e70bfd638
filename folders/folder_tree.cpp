#include "folder_tree.h"

#include <QHashFunctions>
#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

namespace trellisane {

FolderTree::FolderTree(QChar separator) : m_separator(separator) {
    m_nodes.emplace_back();  // the top node
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
    const Node& n = m_nodes[Index(node)];
    m_table.Insert(n.parent, n.hash, node);
}

FolderTree::NodeId FolderTree::Child(NodeId parent, QStringView name, bool open) const {
    return Child(parent, name, open, HashOf(name, open));
}

FolderTree::NodeId FolderTree::Child(NodeId parent, QStringView name, bool open,
                                     std::uint32_t nameHash) const {
    const Node& p = m_nodes[Index(parent)];
    if (p.children < kListedChildren) {
        // A few children: their list, made one after another, is quicker than the table.
        for (NodeId child = p.firstChild; child != kNone; child = m_nodes[Index(child)].next) {
            const Node& n = m_nodes[Index(child)];
            if (n.hash == nameHash && NameIs(n, name, open)) return child;
        }
        return kNone;
    }
    return m_table.Find(parent, nameHash,
                        [&](NodeId child) { return NameIs(m_nodes[Index(child)], name, open); });
}

FolderTree::NodeId FolderTree::ChildOrNew(NodeId parent, QStringView name, bool open) {
    const std::uint32_t nameHash = HashOf(name, open);
    const NodeId found = Child(parent, name, open, nameHash);
    if (found != kNone) return found;
    return Make(parent, name, open, nameHash);
}

FolderTree::NodeId FolderTree::Make(NodeId parent, QStringView name, bool open,
                                    std::uint32_t nameHash) {
    const auto made = static_cast<NodeId>(m_nodes.size());
    Node node;
    node.parent = parent;
    node.depth = m_nodes[Index(parent)].depth + (open ? 0 : 1);
    node.hash = nameHash;
    node.nameAt = static_cast<std::uint32_t>(m_names.size());
    node.sizeAndOpen = static_cast<std::uint32_t>(name.size()) | (open ? kOpen : 0U);
    // The name may be a view into m_names itself, which growing would move: it is copied from
    // its offset once the room is there.
    const char16_t* const names = m_names.data();
    const char16_t* const from = name.utf16();
    if (!m_names.empty() && from >= names && from < names + m_names.size()) {
        const auto offset = static_cast<std::size_t>(from - names);
        m_names.reserve(m_names.size() + static_cast<std::size_t>(name.size()));
        m_names.insert(m_names.end(), name.size(), u'\0');
        std::copy_n(m_names.data() + offset, name.size(), m_names.data() + node.nameAt);
    } else {
        m_names.insert(m_names.end(), from, from + name.size());
    }
    m_nodes.push_back(node);
    Link(made);
    return made;
}

void FolderTree::Link(NodeId child) {
    Node& p = m_nodes[Index(m_nodes[Index(child)].parent)];
    m_nodes[Index(child)].next = p.firstChild;
    p.firstChild = child;
    // A parent with many children has them filed in the table from then on.
    if (++p.children == kListedChildren) {
        for (NodeId at = p.firstChild; at != kNone; at = m_nodes[Index(at)].next) File(at);
    } else if (p.children > kListedChildren) {
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
        const std::uint32_t sizeAndOpen = m_nodes[Index(at)].sizeAndOpen;
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
    return m_nodes.capacity() * sizeof(Node) + m_names.capacity() * sizeof(char16_t) +
           m_table.MemoryUse();
}

std::vector<FolderTree::NodeId> FolderTree::Compact(std::vector<bool> used) {
    used.resize(m_nodes.size(), false);
    used[Index(kTop)] = true;
    // A parent is always made before its children, so one pass from the last node marks every
    // node above a used one, and one pass from the first gives each kept node its new id after
    // its parent's.
    for (std::size_t node = m_nodes.size(); node-- > 1;) {
        if (used[node]) used[Index(m_nodes[node].parent)] = true;
    }
    std::vector<NodeId> newId(m_nodes.size(), kNone);
    std::vector<Node> nodes;
    std::vector<char16_t> names;
    std::size_t kept = 0;
    std::size_t nameSize = 0;
    for (std::size_t node = 0; node < m_nodes.size(); ++node) {
        if (!used[node]) continue;
        ++kept;
        nameSize += m_nodes[node].sizeAndOpen & kSize;
    }
    nodes.reserve(kept);
    names.reserve(nameSize);
    for (std::size_t node = 0; node < m_nodes.size(); ++node) {
        if (!used[node]) continue;
        Node copy = m_nodes[node];
        newId[node] = static_cast<NodeId>(nodes.size());
        if (node != Index(kTop)) copy.parent = newId[Index(copy.parent)];
        copy.firstChild = kNone;
        copy.next = kNone;
        copy.children = 0;
        const char16_t* const name = m_names.data() + copy.nameAt;
        copy.nameAt = static_cast<std::uint32_t>(names.size());
        names.insert(names.end(), name, name + (copy.sizeAndOpen & kSize));
        nodes.push_back(copy);
    }
    m_nodes = std::move(nodes);
    m_names = std::move(names);
    m_table = ChildTable();
    for (std::size_t node = 1; node < m_nodes.size(); ++node) Link(static_cast<NodeId>(node));
    m_previous.clear();
    m_previousChain.clear();
    return newId;
}

std::vector<FolderTree::NodeId> FolderTree::InPathOrder() const {
    const std::vector<std::int32_t> ranks = PathRanks();
    std::vector<NodeId> order(m_nodes.size());
    for (std::size_t node = 0; node < m_nodes.size(); ++node) {
        order[static_cast<std::size_t>(ranks[node])] = static_cast<NodeId>(node);
    }
    return order;
}

std::vector<std::int32_t> FolderTree::PathRanks() const {
    // A node's place is its parent's, plus one, plus the sizes of the subtrees of the siblings
    // that sort before it. A parent is always made before its children, so sizes add up from
    // the last node and places are handed out from the first.
    const std::size_t count = m_nodes.size();
    std::vector<std::int32_t> ranks(count, 1);  // first the subtree sizes
    for (std::size_t node = count; node-- > 1;) {
        ranks[Index(m_nodes[node].parent)] += ranks[node];
    }
    std::vector<std::int32_t> sizes;
    sizes.swap(ranks);
    ranks.assign(count, 0);
    std::vector<NodeId> children;
    for (std::size_t parent = 0; parent < count; ++parent) {
        const Node& p = m_nodes[parent];
        if (p.firstChild == kNone) continue;
        children.clear();
        for (NodeId child = p.firstChild; child != kNone; child = m_nodes[Index(child)].next) {
            children.push_back(child);
        }
        std::sort(children.begin(), children.end(),
                  [this](NodeId a, NodeId b) { return SiblingLess(a, b); });
        std::int32_t next = ranks[parent] + 1;
        for (const NodeId child : children) {
            ranks[Index(child)] = next;
            next += sizes[Index(child)];
        }
    }
    return ranks;
}

}  // namespace trellisane
