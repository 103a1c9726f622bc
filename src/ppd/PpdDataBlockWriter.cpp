#include "ppd/PpdDataBlockWriter.h"

#include "platform/foundation/Base64.h"
#include "platform/foundation/FileUtil.h"
#include "platform/foundation/PropertyList.h"

#include <zlib.h>

#include <cctype>
#include <cstdio>

namespace velmora {
namespace {

constexpr std::size_t kMaxNameLength = 36;
constexpr std::size_t kMaxPpdBytes = 256u << 20;
constexpr std::string_view kPpdHeader = "*PPD-Adobe:";

bool fail(std::string* error, std::string reason) {
    if (error)
        *error = std::move(reason);
    return false;
}

std::string compress(std::string_view bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uLong>(bytes.size()),
              Z_BEST_COMPRESSION);
    out.resize(size);
    return out;
}

// Whether a PPD line is an attribute of the block: "*" NAME, four upper-case hexadecimal
// digits, then ":" or white space.
bool isBlockLine(std::string_view line, const std::string& name) {
    if (line.size() < name.size() + 6 || line[0] != '*' || line.substr(1, name.size()) != name)
        return false;
    std::string_view rest = line.substr(1 + name.size());
    for (std::size_t i = 0; i < 4; ++i) {
        char c = rest[i];
        if (!std::isdigit(static_cast<unsigned char>(c)) && !(c >= 'A' && c <= 'F'))
            return false;
    }
    char after = rest[4];
    return after == ':' || after == ' ' || after == '\t';
}

} // namespace

bool PpdDataBlockWriter::isUsableName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameLength)
        return false;
    for (char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.')
            return false;
    }
    return true;
}

std::string PpdDataBlockWriter::blockLines(const std::string& name, std::string_view bytes) {
    std::string compressed = compress(bytes);
    std::string lines;
    unsigned index = 0;
    for (std::size_t at = 0; at < compressed.size(); at += kBytesPerAttribute, ++index) {
        std::string_view part = std::string_view(compressed).substr(at, kBytesPerAttribute);
        char suffix[8];
        std::snprintf(suffix, sizeof suffix, "%04X", index);
        lines += "*" + name + suffix + ": \"" +
                 Base64::encode(std::vector<std::uint8_t>(part.begin(), part.end())) + "\"\n";
    }
    return lines;
}

std::string PpdDataBlockWriter::replaceBlock(std::string_view ppd, const std::string& name,
                                             const std::optional<std::string_view>& bytes) {
    std::string block = bytes ? blockLines(name, *bytes) : std::string();
    std::string out;
    out.reserve(ppd.size() + block.size());
    bool placed = false;
    std::size_t at = 0;
    while (at < ppd.size()) {
        std::size_t end = ppd.find('\n', at);
        std::size_t next = end == std::string_view::npos ? ppd.size() : end + 1;
        std::string_view line = ppd.substr(at, next - at);
        if (isBlockLine(line, name)) {
            if (!placed)
                out += block;
            placed = true;
        } else {
            out += line;
        }
        at = next;
    }
    if (!placed && !block.empty()) {
        if (!out.empty() && out.back() != '\n')
            out += '\n';
        out += block;
    }
    return out;
}

bool PpdDataBlockWriter::writeFile(const std::string& ppdPath, const std::string& name,
                                   const std::optional<std::string>& listFile,
                                   std::string* error) {
    if (!isUsableName(name))
        return fail(error, "\"" + name + "\" is no list name (1 to 36 letters, digits, - _ .)");
    std::string reason;
    auto ppd = FileUtil::readFile(ppdPath, kMaxPpdBytes, &reason);
    if (!ppd)
        return fail(error, ppdPath + ": " + reason);
    if (!std::string_view(*ppd).starts_with(kPpdHeader))
        return fail(error, ppdPath + ": not a PPD file");
    std::optional<std::string> list;
    if (listFile) {
        list = FileUtil::readFile(*listFile, kMaxListBytes, &reason);
        if (!list)
            return fail(error, *listFile + ": " + reason);
        if (!PropertyList::parse(*list, &reason))
            return fail(error, *listFile + ": " + reason);
    }
    std::string updated = replaceBlock(
        *ppd, name, list ? std::optional<std::string_view>(*list) : std::nullopt);
    if (!FileUtil::writeFileAtomically(ppdPath, updated, &reason))
        return fail(error, ppdPath + ": " + reason);
    return true;
}

} // namespace velmora
