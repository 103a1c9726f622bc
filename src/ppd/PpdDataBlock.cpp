#include "ppd/PpdDataBlock.h"

#include "platform/foundation/Base64.h"
#include "platform/foundation/PropertyList.h"

// libcups marks its PPD API deprecated, but a queue's PPD can only be read through it.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>
#include <zlib.h>

#include <cstdio>

namespace velmora {
namespace {

constexpr unsigned kMaxParts = 0x10000;
constexpr std::size_t kInitialSize = 256;

// Inflates the parts of one block into a growing buffer. The buffer doubles as it fills, so
// large lists cost linear copying; it never grows past the ceiling.
class BlockInflater {
public:
    BlockInflater() {
        _stream.zalloc = Z_NULL;
        _stream.zfree = Z_NULL;
        _stream.opaque = Z_NULL;
        _ok = inflateInit(&_stream) == Z_OK;
        _out.resize(kInitialSize);
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

    void feed(const std::vector<std::uint8_t>& bytes) {
        _stream.next_in = const_cast<Bytef*>(bytes.data());
        _stream.avail_in = static_cast<uInt>(bytes.size());
        while (_stream.avail_in > 0) {
            if (_used == _out.size() && !grow())
                return; // at the ceiling: the rest of this part is not inflated
            _stream.next_out = reinterpret_cast<Bytef*>(_out.data() + _used);
            _stream.avail_out = static_cast<uInt>(_out.size() - _used);
            int status = inflate(&_stream, Z_NO_FLUSH);
            _used = _out.size() - _stream.avail_out;
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

    std::string take() {
        _out.resize(_used);
        return std::move(_out);
    }

private:
    z_stream _stream{};
    bool _ok = false;
    bool _ended = false;
    bool _failed = false;
    std::string _out;
    std::size_t _used = 0;

    bool grow() {
        if (_out.size() >= PpdDataBlock::kCeiling)
            return false;
        _out.resize(std::min(_out.size() * 2, PpdDataBlock::kCeiling));
        return true;
    }
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
    for (unsigned part = 0; part < kMaxParts; ++part) {
        ppd_attr_t* attr = ppdFindAttr(ppd, attributeName(name, part).c_str(), nullptr);
        if (!attr || !attr->value)
            break;
        auto bytes = Base64::decode(attr->value);
        if (!bytes || bytes->empty())
            break;
        inflater.feed(*bytes);
    }
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
