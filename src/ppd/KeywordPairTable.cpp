#include "ppd/KeywordPairTable.h"

namespace velmora {

KeywordPairTable::KeywordPairTable(std::vector<Row> rows, std::string combinedFallback,
                                   std::pair<std::string, std::string> separatedFallback)
    : _rows(std::move(rows)), _combinedFallback(std::move(combinedFallback)),
      _separatedFallback(std::move(separatedFallback)) {}

std::string KeywordPairTable::combine(const std::string& first, const std::string& second) const {
    for (const auto& row : _rows)
        if (row.first == first && row.second == second)
            return row.combined;
    return _combinedFallback;
}

std::pair<std::string, std::string> KeywordPairTable::separate(const std::string& combined) const {
    for (const auto& row : _rows)
        if (row.combined == combined)
            return {row.first, row.second};
    return _separatedFallback;
}

const KeywordPairTable& KeywordPairTable::punch() {
    static const KeywordPairTable table = [] {
        std::vector<Row> rows;
        for (const char* position : {"Left", "Right", "Top", "Bottom"})
            for (const char* holes : {"Holes2", "Holes3", "Holes4", "HolesMulti"})
                rows.push_back({position, holes, std::string(position) + holes});
        for (const char* holes : {"Holes2", "Holes3", "Holes4"})
            rows.push_back({"MixSize", holes, std::string("MixSize") + holes});
        return KeywordPairTable(std::move(rows), "None", {"None", "None"});
    }();
    return table;
}

const KeywordPairTable& KeywordPairTable::staple() {
    static const KeywordPairTable table = [] {
        std::vector<Row> rows{{"None", "UseStaple", "None"}};
        for (const char* mode :
             {"TopLeftCorner", "TopRightCorner", "BottomLeftCorner", "BottomRightCorner",
              "MixSizeCorner", "TopEdge", "BottomEdge", "LeftEdge", "RightEdge", "MixSizeEdge"}) {
            rows.push_back({mode, "UseStaple", std::string(mode) + "UseStaple"});
            rows.push_back({mode, "Stapleless", std::string(mode) + "Stapleless"});
        }
        for (const char* mode :
             {"SaddleInside", "SaddleOutside", "Saddle", "TopCenter", "BottomCenter", "LeftCenter",
              "RightCenter", "TopEdge4", "BottomEdge4", "LeftEdge4", "RightEdge4"})
            rows.push_back({mode, "UseStaple", mode}); // staples only: the mode alone
        return KeywordPairTable(std::move(rows), "None", {"None", "None"});
    }();
    return table;
}

const KeywordPairTable& KeywordPairTable::outputOrder() {
    static const KeywordPairTable table({{"Normal", "FaceUp", "FaceUp"},
                                         {"Normal", "FaceDown", "FaceDown"},
                                         {"Reverse", "FaceUp", "FaceUpReverse"},
                                         {"Reverse", "FaceDown", "FaceDownReverse"}},
                                        "FaceDown", {"Normal", "FaceUp"});
    return table;
}

} // namespace velmora
