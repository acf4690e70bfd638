#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/operations.h"
#include "rename/rename_run.h"

namespace trellisane::testing {

/// Checks, for one selector text, one set of answers and one path, what must hold whatever the
/// texts are (lone surrogates and NULs included): MatchOperation names an operation whose
/// keyword the lowered text contains, or none; for every operation, TransformName's no-change
/// rules, removals that only remove, additions that only add, case changes that keep the length
/// in UTF-16 units, and a second pass that changes nothing for the case changes, "Remove all
/// spaces" and the four character-class removals; BuildNewPath gives the parent part unchanged,
/// the new name and one separator. Returns "" or a description of the first broken invariant.
/// Runs every operation on the inputs: O(16 * len * len).
std::string CheckEngineInvariants(const QString& selectorText, const PromptAnswers& answers,
                                  const QString& path);

/// One row of a run on the modelled disk: its current path and its new path, both ending with
/// '/' ("" for a row never previewed).
struct ModelRow {
    QString current;
    QString newPath;
};

/// Runs ApplyRenames over `rows` on an in-memory disk holding `folders` (each ending with '/',
/// parents included by the caller or added here) and checks it against a plain quadratic model:
/// each row's current path afterwards is its starting path carried through every move in turn,
/// a row whose folder existed names where that folder now is, a renamed folder ends with its
/// row's new name, no folder is lost or made, and no new path is left behind. Also checks
/// CarryThroughMoves against the same model, for the rows' paths with and without their
/// trailing separator. Returns "" or a description of the first broken invariant. O(rows^2).
std::string CheckRunInvariants(const std::vector<QString>& folders,
                               const std::vector<ModelRow>& rows);

/// CarryThroughMoves against the plain model for arbitrary paths and moves: each path, with
/// or without its trailing separator, is rebased by every move whose `from` is not empty and
/// equal to or above it by whole components, in order, and keeps its form. "" or a description.
std::string CheckCarryInvariants(const QStringList& paths, const std::vector<PathMove>& moves);

/// The inputs of CheckEngineInvariants, read from arbitrary bytes.
struct EngineInput {
    QString selectorText;
    PromptAnswers answers;
    QString path;
};

/// Reads an EngineInput from any bytes: most bytes pick one of a few dozen characters that the
/// operations treat specially (ASCII letters and digits, blanks, CR, LF, TAB, separators, case
/// oddities, lone and paired surrogates, NUL), byte 0xFF ends a field, and bytes from 0xC0 take
/// the next two as one raw UTF-16 unit. Total: every input gives an EngineInput.
EngineInput EngineInputFromBytes(const std::uint8_t* data, std::size_t size);

/// The inputs of CheckRunInvariants and CheckCarryInvariants, read from arbitrary bytes: a few
/// folders and rows over short names below "/r/", new paths that keep, rename, empty or move
/// their folder, and a few arbitrary moves.
struct RunInput {
    std::vector<QString> folders;
    std::vector<ModelRow> rows;
    QStringList carryPaths;
    std::vector<PathMove> carryMoves;
};

/// Total, like EngineInputFromBytes.
RunInput RunInputFromBytes(const std::uint8_t* data, std::size_t size);

}  // namespace trellisane::testing
