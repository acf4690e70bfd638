#pragma once

#include <QString>
#include <map>
#include <utility>
#include <vector>

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

/// Paths ending with the separator, each standing for one or more ids, kept sorted so that
/// every path equal to or below a folder lies in one contiguous range starting at the folder's
/// own path. Since the paths end with the separator, a prefix is a whole-component prefix:
/// '/a/bc/' does not start with '/a/b/'.
class PathIndex {
  public:
    /// Files `id` under `path` (which ends with the separator). O(log n).
    void Add(const QString& path, qsizetype id) { m_ids[path].push_back(id); }

    /// The ids filed under exactly `path`, or nullptr. O(log n).
    const std::vector<qsizetype>* At(const QString& path) const {
        const auto it = m_ids.find(path);
        return it == m_ids.end() ? nullptr : &it->second;
    }

    /// Rebases every path equal to or below `from` onto `to` (both ending with the separator)
    /// and calls `visit(id, rebasedPath)` for each id filed there. O((k + log n) log n) for k
    /// paths moved; ids meeting at one path are merged smaller into larger.
    template <typename Visit>
    void Move(const QString& from, const QString& to, Visit&& visit) {
        std::vector<Map::node_type> moved;
        for (auto it = m_ids.lower_bound(from); it != m_ids.end() && it->first.startsWith(from);) {
            moved.push_back(m_ids.extract(it++));
        }
        for (Map::node_type& node : moved) {
            node.key() = to + node.key().mid(from.size());
            for (qsizetype id : node.mapped()) visit(id, node.key());
            auto inserted = m_ids.insert(std::move(node));
            if (!inserted.inserted) {
                std::vector<qsizetype>& kept = inserted.position->second;
                std::vector<qsizetype>& extra = inserted.node.mapped();
                if (kept.size() < extra.size()) kept.swap(extra);
                kept.insert(kept.end(), extra.begin(), extra.end());
            }
        }
    }

  private:
    using Map = std::map<QString, std::vector<qsizetype>>;
    Map m_ids;
};

}  // namespace trellisane
