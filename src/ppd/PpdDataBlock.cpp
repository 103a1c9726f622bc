#include "ppd/PpdDataBlock.h"

#include "platform/foundation/Base64.h"
#include "platform/foundation/PropertyList.h"

// libcups marks its PPD API deprecated, but a queue's PPD can only be read through it.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>
#include <zlib.h>

#include <cstdio>
#include <cups/array.h>
#include <memory>
#include <strings.h>

namespace velmora {
namespace {

constexpr unsigned kMaxParts = 0x10000;
constexpr std::size_t kStep = 256u << 10;

// Inflates the parts of one block into one string, sized once for what the block may inflate
// to: zlib writes into a window that stays in the cache and is appended at once, so the output
// is never zero-filled; it never grows past the ceiling.
class BlockInflater {
public:
    BlockInflater() : _window(new unsigned char[kStep]) {
        _stream.zalloc = Z_NULL;
        _stream.zfree = Z_NULL;
        _stream.opaque = Z_NULL;
        _ok = inflateInit(&_stream) == Z_OK;
    }
    ~BlockInflater() {
        if (_ok)
            inflateEnd(&_stream);
    }
    BlockInflater(const BlockInflater&) = delete;
    BlockInflater& operator=(const BlockInflater&) = delete;

    bool ok() const { return _ok; }
    // True once the stream ended with its checksum verified and nothing went wrong on the way.
    bool complete() const { return _ended && !_failed; }

    void feed(std::string_view bytes) {
        _stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        _stream.avail_in = static_cast<uInt>(bytes.size());
        while (_stream.avail_in > 0 && !_ended) {
            std::size_t room = std::min(kStep, PpdDataBlock::kCeiling - _out.size());
            if (room == 0)
                return; // at the ceiling: the rest of this part is not inflated
            _stream.next_out = _window.get();
            _stream.avail_out = static_cast<uInt>(room);
            int status = inflate(&_stream, Z_NO_FLUSH);
            _out.append(reinterpret_cast<const char*>(_window.get()), room - _stream.avail_out);
            if (status == Z_STREAM_END) {
                _ended = true;
                return;
            }
            if (status != Z_OK && status != Z_BUF_ERROR) {
                std::fprintf(stderr, "ERROR: inflate returned %d (%s)\n", status,
                             _stream.msg ? _stream.msg : "");
                _failed = true;
                return;
            }
            if (status == Z_BUF_ERROR && _stream.avail_out > 0)
                return; // no progress possible with this input
        }
    }

    // Room for what the compressed bytes may inflate to; pages that stay unused are never
    // touched, so a generous guess costs nothing, while a short one copies the whole output
    // once more (a server's XML list shrinks to a sixteenth and less).
    void expect(std::size_t compressedBytes) {
        _out.reserve(std::min(PpdDataBlock::kCeiling, compressedBytes * 64 + 4096));
    }

    std::string take() { return std::move(_out); }

private:
    z_stream _stream{};
    bool _ok = false;
    bool _ended = false;
    bool _failed = false;
    std::unique_ptr<unsigned char[]> _window;
    std::string _out;
};

// The attributes of a block in order. Parts follow each other in the PPD's sorted attributes,
// so the next part is looked for right after the last one before searching for it.
class BlockParts {
public:
    BlockParts(ppd_file_s* ppd, const std::string& name) : _ppd(ppd), _name(name) {}

    ppd_attr_t* next() {
        if (_index >= kMaxParts)
            return nullptr;
        std::string wanted = PpdDataBlock::attributeName(_name, _index++);
        if (_index > 1) {
            auto* following = static_cast<ppd_attr_t*>(cupsArrayNext(_ppd->sorted_attrs));
            if (following && !strcasecmp(following->name, wanted.c_str()))
                return following;
        }
        return ppdFindAttr(_ppd, wanted.c_str(), nullptr);
    }

private:
    ppd_file_s* _ppd;
    const std::string& _name;
    unsigned _index = 0;
};

} // namespace

std::string PpdDataBlock::attributeName(const std::string& name, unsigned index) {
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, "%04X", index & 0xFFFFu);
    return name + suffix;
}

std::optional<std::string> PpdDataBlock::read(ppd_file_s* ppd, const std::string& name,
                                              bool* complete) {
    if (complete)
        *complete = false;
    if (!ppd || name.empty() || name.size() + 4 > PPD_MAX_NAME - 1)
        return std::nullopt;
    if (!ppdFindAttr(ppd, attributeName(name, 0).c_str(), nullptr))
        return std::nullopt;
    BlockInflater inflater;
    if (!inflater.ok())
        return std::nullopt;
    // All parts are decoded first, so that the output can be sized once and the stream inflated
    // in one pass: inflating each part of a few hundred bytes on its own would have zlib copy
    // every byte it writes into its history window once more.
    BlockParts parts(ppd, name);
    std::string compressed;
    for (unsigned part = 0; part < kMaxParts; ++part) {
        ppd_attr_t* attr = parts.next();
        std::size_t before = compressed.size();
        if (!attr || !attr->value || !Base64::decodeAppend(attr->value, compressed) ||
            compressed.size() == before)
            break;
    }
    inflater.expect(compressed.size());
    inflater.feed(compressed);
    if (complete)
        *complete = inflater.complete();
    return inflater.take();
}

std::optional<Value> PpdDataBlock::readList(ppd_file_s* ppd, const std::string& name) {
    bool complete = false;
    auto bytes = read(ppd, name, &complete);
    if (!bytes || bytes->empty() || !complete)
        return std::nullopt;
    return PropertyList::parse(*bytes);
}

} // namespace velmora
