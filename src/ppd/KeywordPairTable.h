#pragma once

#include <string>
#include <utility>
#include <vector>

namespace velmora {

// A mapping between two PPD options and the panel's one combined option, held as one table that
// both directions read, so that a round trip cannot drift. A pair that no row combines gives the
// combined fallback; a combined value that no row holds gives the separated fallback; when rows
// share a combined value, the first one separates it.
class KeywordPairTable {
public:
    struct Row {
        std::string first, second, combined;
    };

    KeywordPairTable(std::vector<Row> rows, std::string combinedFallback,
                     std::pair<std::string, std::string> separatedFallback);

    std::string combine(const std::string& first, const std::string& second) const;
    std::pair<std::string, std::string> separate(const std::string& combined) const;
    const std::vector<Row>& rows() const { return _rows; }

    // The punch position and hole count, staple mode and mechanism, and page order and output
    // face of the press.
    static const KeywordPairTable& punch();
    static const KeywordPairTable& staple();
    static const KeywordPairTable& outputOrder();

private:
    std::vector<Row> _rows;
    std::string _combinedFallback;
    std::pair<std::string, std::string> _separatedFallback;
};

} // namespace velmora
