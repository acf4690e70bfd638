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
            if (n.hash == nameHash && n.open == open && QStringView(n.name) == name) return child;
        }
        return kNone;
    }
    return m_table.Find(parent, nameHash, [&](NodeId child) {
        const Node& n = m_nodes[Index(child)];
        return n.open == open && QStringView(n.name) == name;
    });
}

FolderTree::NodeId FolderTree::ChildOrNew(NodeId parent, QStringView name, bool open) {
    const std::uint32_t nameHash = HashOf(name, open);
    const NodeId found = Child(parent, name, open, nameHash);
    if (found != kNone) return found;
    const auto made = static_cast<NodeId>(m_nodes.size());
    Node node;
    node.name = name.toString();
    node.parent = parent;
    node.next = m_nodes[Index(parent)].firstChild;
    node.depth = m_nodes[Index(parent)].depth + (open ? 0 : 1);
    node.open = open;
    node.hash = nameHash;
    m_nodes.push_back(std::move(node));
    Node& p = m_nodes[Index(parent)];
    p.firstChild = made;
    // A parent with many children has them filed in the table from then on.
    if (++p.children == kListedChildren) {
        for (NodeId child = p.firstChild; child != kNone; child = m_nodes[Index(child)].next) {
            File(child);
        }
    } else if (p.children > kListedChildren) {
        File(made);
    }
    return made;
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

QString FolderTree::PathOf(NodeId node) const {
    qsizetype size = 0;
    for (NodeId at = node; at != kTop; at = Parent(at)) {
        size += Name(at).size() + (IsOpen(at) ? 0 : 1);
    }
    QString path(size, Qt::Uninitialized);
    QChar* out = path.data() + size;
    for (NodeId at = node; at != kTop; at = Parent(at)) {
        if (!IsOpen(at)) *--out = m_separator;
        const QString& name = Name(at);
        out -= name.size();
        std::copy(name.cbegin(), name.cend(), out);
    }
    return path;
}

bool FolderTree::SiblingLess(NodeId a, NodeId b) const {
    const Node& x = m_nodes[Index(a)];
    const Node& y = m_nodes[Index(b)];
    const qsizetype common = CommonPrefix(x.name, y.name);
    const QChar* const i = x.name.cbegin() + common;
    const QChar* const j = y.name.cbegin() + common;
    // Past its name a closed node's text goes on with the separator; an open one's ends.
    const bool xEnds = i == x.name.cend();
    const bool yEnds = j == y.name.cend();
    if (!xEnds && !yEnds) return i->unicode() < j->unicode();
    if (xEnds && x.open) return !(yEnds && y.open);  // x's text is a prefix of y's
    if (yEnds && y.open) return false;
    const char16_t xNext = xEnds ? m_separator.unicode() : i->unicode();
    const char16_t yNext = yEnds ? m_separator.unicode() : j->unicode();
    return xNext < yNext;
}

std::vector<FolderTree::NodeId> FolderTree::InPathOrder() const {
    std::vector<NodeId> order;
    order.reserve(m_nodes.size());
    std::vector<NodeId> stack{kTop};
    std::vector<NodeId> children;
    const auto greater = [this](NodeId a, NodeId b) { return SiblingLess(b, a); };
    while (!stack.empty()) {
        const NodeId node = stack.back();
        stack.pop_back();
        order.push_back(node);
        children.clear();
        for (NodeId child = m_nodes[Index(node)].firstChild; child != kNone;
             child = m_nodes[Index(child)].next) {
            children.push_back(child);
        }
        // Last first onto the stack, so the first comes off first.
        std::sort(children.begin(), children.end(), greater);
        stack.insert(stack.end(), children.begin(), children.end());
    }
    return order;
}

}  // namespace trellisane
