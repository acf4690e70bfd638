#include "folder_tree.h"

#include <QHashFunctions>
#include <algorithm>
#include <utility>

namespace trellisane {

FolderTree::FolderTree(QChar separator) : m_separator(separator) {
    m_nodes.emplace_back();  // the top node
    m_table.assign(64, kNone);
}

std::uint32_t FolderTree::HashOf(NodeId parent, QStringView name, bool open) {
    const std::size_t seed =
        static_cast<std::size_t>(static_cast<std::uint32_t>(parent)) * 0x9e3779b97f4a7c15ULL +
        (open ? 0x5bd1e995U : 0U);
    const std::size_t h = qHash(name, seed);
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

void FolderTree::Grow() {
    std::vector<NodeId> table(m_table.size() * 2, kNone);
    const std::size_t mask = table.size() - 1;
    for (std::size_t node = 1; node < m_nodes.size(); ++node) {
        std::size_t slot = m_nodes[node].hash & mask;
        while (table[slot] != kNone) slot = (slot + 1) & mask;
        table[slot] = static_cast<NodeId>(node);
    }
    m_table.swap(table);
}

FolderTree::NodeId FolderTree::Child(NodeId parent, QStringView name, bool open) const {
    const std::uint32_t hash = HashOf(parent, name, open);
    const std::size_t mask = m_table.size() - 1;
    for (std::size_t slot = hash & mask; m_table[slot] != kNone; slot = (slot + 1) & mask) {
        const Node& n = m_nodes[Index(m_table[slot])];
        if (n.hash == hash && n.parent == parent && n.open == open && QStringView(n.name) == name) {
            return m_table[slot];
        }
    }
    return kNone;
}

FolderTree::NodeId FolderTree::ChildOrNew(NodeId parent, QStringView name, bool open) {
    const std::uint32_t hash = HashOf(parent, name, open);
    const std::size_t mask = m_table.size() - 1;
    std::size_t slot = hash & mask;
    for (; m_table[slot] != kNone; slot = (slot + 1) & mask) {
        const Node& n = m_nodes[Index(m_table[slot])];
        if (n.hash == hash && n.parent == parent && n.open == open && QStringView(n.name) == name) {
            return m_table[slot];
        }
    }
    const auto made = static_cast<NodeId>(m_nodes.size());
    Node node;
    node.name = name.toString();
    node.parent = parent;
    node.next = m_nodes[Index(parent)].firstChild;
    node.depth = m_nodes[Index(parent)].depth + (open ? 0 : 1);
    node.hash = hash;
    node.open = open;
    m_nodes.push_back(std::move(node));
    m_nodes[Index(parent)].firstChild = made;
    // Kept at most half full, so probes stay short.
    if (m_nodes.size() * 2 > m_table.size()) {
        Grow();
    } else {
        m_table[slot] = made;
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
    // The closed components both paths share, up to the first code unit where they differ.
    const qsizetype common =
        std::mismatch(path.begin(), path.end(), m_previous.cbegin(), m_previous.cend()).first -
        path.begin();
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
    m_previous = path.toString();
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
    const auto [i, j] =
        std::mismatch(x.name.cbegin(), x.name.cend(), y.name.cbegin(), y.name.cend());
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
