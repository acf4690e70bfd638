// The invariants the fuzz targets check, over generated inputs and over the fuzz corpus kept in
// the repository, so that the normal suite keeps them and replays every input a fuzzer found.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <random>
#include <vector>

#include "tests/properties/invariants.h"

namespace trellisane::testing {
namespace {

/// `count` byte strings of up to `longest` bytes, the same on every run.
std::vector<std::vector<std::uint8_t>> Generated(unsigned seed, int count, int longest) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> length(0, longest);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::vector<std::uint8_t>> inputs(static_cast<std::size_t>(count));
    for (auto& input : inputs) {
        input.resize(static_cast<std::size_t>(length(random)));
        for (auto& b : input) b = static_cast<std::uint8_t>(byte(random));
    }
    return inputs;
}

/// The corpus of one fuzz target, as kept in the repository.
std::vector<std::vector<std::uint8_t>> Corpus(const char* target) {
    std::vector<std::vector<std::uint8_t>> inputs;
    const QDir folder(QStringLiteral(TRELLISANE_SOURCE_DIR "/fuzz/corpus/") +
                      QString::fromLatin1(target));
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QByteArray bytes = file.readAll();
        inputs.emplace_back(bytes.begin(), bytes.end());
    }
    return inputs;
}

std::string CheckEngine(const std::vector<std::uint8_t>& bytes) {
    const EngineInput input = EngineInputFromBytes(bytes.data(), bytes.size());
    return CheckEngineInvariants(input.selectorText, input.answers, input.path);
}

std::string CheckRun(const std::vector<std::uint8_t>& bytes) {
    const RunInput input = RunInputFromBytes(bytes.data(), bytes.size());
    std::string broken = CheckRunInvariants(input.folders, input.rows);
    if (broken.empty()) broken = CheckCarryInvariants(input.carryPaths, input.carryMoves);
    return broken;
}

struct Source {
    const char* name;
    std::string (*check)(const std::vector<std::uint8_t>&);
    std::vector<std::vector<std::uint8_t>> inputs;
};

void PrintTo(const Source& source, std::ostream* out) { *out << source.name; }

class Invariants : public ::testing::TestWithParam<Source> {};

TEST_P(Invariants, HoldForEveryInput) {
    int broken = 0;
    for (const auto& input : GetParam().inputs) {
        const std::string failure = GetParam().check(input);
        if (failure.empty()) continue;
        ADD_FAILURE() << failure;
        if (++broken == 5) break;  // a few are enough to see the fault
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, Invariants,
    ::testing::Values(Source{"GeneratedEngine", &CheckEngine, Generated(1, 4000, 48)},
                      Source{"CorpusEngine", &CheckEngine, Corpus("engine")},
                      Source{"GeneratedRun", &CheckRun, Generated(2, 4000, 40)},
                      Source{"CorpusRun", &CheckRun, Corpus("run")}),
    [](const ::testing::TestParamInfo<Source>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace trellisane::testing
