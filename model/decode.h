#pragma once
// Reading a unit's switches back: which setup gives a switch map, and how a
// map read off a unit differs from another.
//
// The input side of the evaluation writes only S1 and S2, the output side only
// S3 and S4, so a map splits into an input half and an output half that are
// decoded apart. The decoder evaluates every canonical input variant and every
// canonical output variant once with Evaluate and tables them by their half
// pattern, so decoding always agrees with evaluating.
//
// A canonical setup holds listed ranges only (a custom range gives exactly the
// switches of the listed range it is fitted to), and every field that takes no
// part in its evaluation holds what New leaves in it: lists -1, choices 0,
// texts empty, the conversion speed choice hidden.

#include "setup.h"
#include "switchmap.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace hvx {

// Half of a map as 24 bits: position p of the first bank at bit p-1, position
// p of the second bank at bit 11+p.
using HalfPattern = std::uint32_t;
// S1 and S2.
HalfPattern inputHalf(const SwitchMap &map);
// S3 and S4.
HalfPattern outputHalf(const SwitchMap &map);
// The map with the given halves.
SwitchMap switchMapFromHalves(HalfPattern input, HalfPattern output);

// One switch position, named "S<bank>.<position>".
struct SwitchPosition {
    int bank = 1;     // 1 to 4
    int position = 1; // 1 to 12
    QString name() const;
    bool operator==(const SwitchPosition &o) const { return bank == o.bank && position == o.position; }
};

// Positions where the two maps differ, bank by bank, position by position.
std::vector<SwitchPosition> compareSwitchMaps(const SwitchMap &a, const SwitchMap &b);
// The positions' names joined by ", " ("S1.3, S2.5").
QString positionNames(const std::vector<SwitchPosition> &positions);

// Reads "S1=BITS,S2=BITS,S3=BITS,S4=BITS": each bank exactly once, in any
// order; BITS is twelve '0'/'1' characters, character k-1 for position k.
// On a fault gives nothing and, when error is given, a sentence naming it.
std::optional<SwitchMap> parseSwitchMap(const QString &text, QString *error = nullptr);
// The same form, banks in order.
QString switchMapText(const SwitchMap &map);

// The setups nearest to a map: every nearest input variant crossed with every
// nearest output variant. Variants are indices into the decoder's tables,
// listed in table order.
struct DecodeResult {
    // Differing positions of each nearest setup; 0 when a setup gives the map.
    // The sum of the smallest distances of the two halves.
    int distance = 0;
    int inputDistance = 0;  // over S1 and S2
    int outputDistance = 0; // over S3 and S4
    std::vector<int> inputs;
    std::vector<int> outputs;

    bool exact() const { return distance == 0; }
    // Number of nearest setups (inputs x outputs).
    std::int64_t total() const { return std::int64_t(inputs.size()) * std::int64_t(outputs.size()); }
};

// One nearest setup with its own switches and where they differ from the map
// that was decoded.
struct DecodedSetup {
    Setup setup;
    SwitchMap switches;
    std::vector<SwitchPosition> differs;
};

class SwitchDecoder {
public:
    // The one decoder; its tables are built on first use (thread-safe).
    static const SwitchDecoder &instance();

    int inputVariantCount() const { return int(m_inputKeys.size()); }
    int outputVariantCount() const { return int(m_outputKeys.size()); }
    HalfPattern inputPattern(int input) const { return m_inputKeys.at(size_t(input)); }
    HalfPattern outputPattern(int output) const { return m_outputKeys.at(size_t(output)); }

    // The canonical setup made of an input and an output variant.
    Setup setup(int input, int output) const;
    // Its switches, as Evaluate gives them.
    SwitchMap switches(int input, int output) const;

    DecodeResult decode(const SwitchMap &map) const;

    // The first `limit` setups of a result, input-major (for each nearest
    // input every nearest output), each compared with the decoded map.
    std::vector<DecodedSetup> list(const DecodeResult &result, const SwitchMap &map, int limit = 20) const;

    // Packed participating fields of one variant (see decode.cpp).
    struct InputVariant;
    struct OutputVariant;

private:
    SwitchDecoder();
    ~SwitchDecoder();
    SwitchDecoder(const SwitchDecoder &) = delete;
    SwitchDecoder &operator=(const SwitchDecoder &) = delete;

    std::vector<InputVariant> m_inputs;
    std::vector<OutputVariant> m_outputs;
    std::vector<HalfPattern> m_inputKeys;
    std::vector<HalfPattern> m_outputKeys;
    // (pattern, variant) sorted by pattern, for exact look-up.
    std::vector<std::pair<HalfPattern, int>> m_inputIndex;
    std::vector<std::pair<HalfPattern, int>> m_outputIndex;
};

// The lines the results window shows for a decoded setup: the two input
// lines, output 1 and, in dual output, output 2. A decoded setup holds a
// listed range, so its range selection is the evaluation's RangeIndex.
QStringList decodedSummary(const Setup &setup);
// The same lines run together on one line, for a list of setups.
QString decodedSummaryLine(const Setup &setup);

// What a decode result says about a unit, in one sentence: the setup that
// gives its switches, or that none does and how near the nearest come.
// listed: how many of the nearest setups are shown.
QString decodeHeadline(const DecodeResult &result, int listed);

// Decodes with the shared decoder.
inline DecodeResult decodeSwitchMap(const SwitchMap &map) { return SwitchDecoder::instance().decode(map); }

} // namespace hvx
