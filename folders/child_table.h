#pragma once

#include <QHashFunctions>
#include <QStringView>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace trellisane {

/// The children of a tree's nodes, found by (parent, name) without a string of their own:
/// open addressing with linear probing, each slot holding the child's hash beside its id, so a
/// probe that meets another hash reads nothing else. The caller keeps the names and says,
/// through `matches(child)`, whether a child with the same hash is the one asked for.
/// Ids are non-negative and below 2^32 - 2.
class ChildTable {
  public:
    ChildTable() : m_slots(64, kFree) {}

    /// The hash of a name, as Find and Insert take it. O(length).
    static std::uint32_t NameHash(QStringView name) {
        const std::size_t h = qHash(name, 0);
        return static_cast<std::uint32_t>(h ^ (h >> 32));
    }

    /// The child of `parent` with a name of `nameHash` for which `matches(child)` holds, or -1.
    /// O(1) expected.
    template <typename Matches>
    int Find(int parent, std::uint32_t nameHash, Matches&& matches) const {
        const std::uint32_t hash = Mixed(parent, nameHash);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t slot = hash & mask; m_slots[slot] != kFree; slot = (slot + 1) & mask) {
            const std::uint64_t entry = m_slots[slot];
            if (entry != kGone && HashIn(entry) == hash && matches(IdIn(entry))) {
                return IdIn(entry);
            }
        }
        return -1;
    }

    /// Files `child` under `parent` with a name of `nameHash`. O(1) amortised.
    void Insert(int parent, std::uint32_t nameHash, int child) {
        if ((m_used + 1) * 2 > m_slots.size())
            Rebuild(m_slots.size() * (m_live * 4 > m_slots.size() ? 2 : 1));
        const std::uint32_t hash = Mixed(parent, nameHash);
        const std::size_t mask = m_slots.size() - 1;
        std::size_t slot = hash & mask;
        while (m_slots[slot] != kFree) slot = (slot + 1) & mask;
        m_slots[slot] = (std::uint64_t{hash} << 32) | static_cast<std::uint32_t>(child);
        ++m_used;
        ++m_live;
    }

    /// Takes `child`, filed under `parent` with a name of `nameHash`, out. O(1) expected.
    void Erase(int parent, std::uint32_t nameHash, int child) {
        const std::uint32_t hash = Mixed(parent, nameHash);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t slot = hash & mask; m_slots[slot] != kFree; slot = (slot + 1) & mask) {
            if (m_slots[slot] != kGone && IdIn(m_slots[slot]) == child) {
                m_slots[slot] = kGone;  // left for probes to pass; Rebuild drops it
                --m_live;
                return;
            }
        }
    }

    /// Makes room for `more` entries beyond the live ones, so that filing them rebuilds
    /// nothing. O(slots) when it grows the table, else O(1).
    void Reserve(std::size_t more) {
        std::size_t size = m_slots.size();
        while ((m_used + more + 1) * 2 > size) size *= 2;
        if (size != m_slots.size()) Rebuild(size);
    }

    /// The bytes the slots take. O(1).
    std::size_t MemoryUse() const { return m_slots.capacity() * sizeof(std::uint64_t); }

  private:
    static constexpr std::uint64_t kFree = ~std::uint64_t{0};
    static constexpr std::uint64_t kGone = ~std::uint64_t{0} - 1;

    static std::uint32_t Mixed(int parent, std::uint32_t nameHash) {
        const std::uint64_t h =
            (std::uint64_t{static_cast<std::uint32_t>(parent)} * 0x9e3779b97f4a7c15ULL) ^ nameHash;
        return static_cast<std::uint32_t>(h ^ (h >> 29));
    }
    static std::uint32_t HashIn(std::uint64_t entry) {
        return static_cast<std::uint32_t>(entry >> 32);
    }
    static int IdIn(std::uint64_t entry) {
        return static_cast<int>(static_cast<std::uint32_t>(entry));
    }

    /// Files every live entry again in a table of `size` slots, dropping the gone ones.
    void Rebuild(std::size_t size) {
        std::vector<std::uint64_t> slots(size, kFree);
        const std::size_t mask = size - 1;
        for (const std::uint64_t entry : m_slots) {
            if (entry == kFree || entry == kGone) continue;
            std::size_t slot = HashIn(entry) & mask;
            while (slots[slot] != kFree) slot = (slot + 1) & mask;
            slots[slot] = entry;
        }
        m_slots.swap(slots);
        m_used = m_live;
    }

    std::vector<std::uint64_t> m_slots;
    std::size_t m_used = 0;  ///< slots not free: live entries and gone ones
    std::size_t m_live = 0;
};

}  // namespace trellisane
