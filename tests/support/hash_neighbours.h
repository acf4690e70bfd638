#pragma once

// Two node numbers whose children of one name share the child table's 32-bit hash: what a
// large tree meets among its many parents, found for a test that must not mistake one such
// child for the other.

#include <QStringView>
#include <optional>
#include <utility>

#include "folders/child_table.h"

namespace trellisane::testing {

/// The first two node numbers from 3 up (below 2^21) under which a child named `name` files
/// at the same hash, smaller first; nothing when no such pair is found. About a second at most.
inline std::optional<std::pair<int, int>> ParentsSharingAHash(QStringView name) {
    const std::uint32_t nameHash = ChildTable::NameHash(name);
    ChildTable table;
    for (int node = 3; node < (1 << 21); ++node) {
        int earlier = -1;
        table.Find(node, nameHash, [&](int other) {
            if (earlier < 0) earlier = other;
            return false;
        });
        if (earlier >= 0) return std::make_pair(earlier, node);
        table.Insert(node, nameHash, node);
    }
    return std::nullopt;
}

}  // namespace trellisane::testing
