#include "platform/foundation/DateFormat.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace velmora::DateFormat {

std::string iso8601(double secondsSince1970) {
    using namespace std::chrono;
    if (!std::isfinite(secondsSince1970))
        secondsSince1970 = 0;
    // Dates beyond the calendar's reach are held at its limits.
    secondsSince1970 = std::clamp(secondsSince1970, -kMaxSecondsFrom1970, kMaxSecondsFrom1970);
    auto whole = static_cast<long long>(std::floor(secondsSince1970));
    sys_days day{days{whole >= 0 ? whole / 86400 : -((-whole + 86399) / 86400)}};
    long long rest = whole - static_cast<long long>(day.time_since_epoch().count()) * 86400;
    year_month_day ymd{day};
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02uT%02lld:%02lld:%02lldZ", int(ymd.year()),
                  unsigned(ymd.month()), unsigned(ymd.day()), rest / 3600, rest / 60 % 60,
                  rest % 60);
    return buf;
}

namespace {

class Reader {
public:
    explicit Reader(std::string_view text) : _text(text) {}
    bool number(int digits, int& out) {
        if (_pos + static_cast<std::size_t>(digits) > _text.size())
            return false;
        const char* begin = _text.data() + _pos;
        auto [ptr, ec] = std::from_chars(begin, begin + digits, out);
        if (ec != std::errc() || ptr != begin + digits)
            return false;
        _pos += static_cast<std::size_t>(digits);
        return true;
    }
    bool literal(char c) {
        if (_pos < _text.size() && _text[_pos] == c) {
            ++_pos;
            return true;
        }
        return false;
    }
    char peek() const { return _pos < _text.size() ? _text[_pos] : '\0'; }
    bool atEnd() const { return _pos == _text.size(); }
    void skipDigits() {
        while (peek() >= '0' && peek() <= '9')
            ++_pos;
    }
    std::size_t position() const { return _pos; }
    std::string_view text() const { return _text; }

private:
    std::string_view _text;
    std::size_t _pos = 0;
};

std::optional<int> readZoneOffsetSeconds(Reader& r) {
    if (r.atEnd() || r.literal('Z'))
        return 0;
    int sign = r.literal('+') ? 1 : (r.literal('-') ? -1 : 0);
    int hours = 0, minutes = 0;
    if (sign == 0 || !r.number(2, hours))
        return std::nullopt;
    r.literal(':');
    if (!r.number(2, minutes))
        return std::nullopt;
    return sign * (hours * 3600 + minutes * 60);
}

} // namespace

std::optional<double> parseIso8601(std::string_view text) {
    using namespace std::chrono;
    Reader r(text);
    int y, mo, d, h, mi, s;
    if (!(r.number(4, y) && r.literal('-') && r.number(2, mo) && r.literal('-') && r.number(2, d) &&
          r.literal('T') && r.number(2, h) && r.literal(':') && r.number(2, mi) && r.literal(':') &&
          r.number(2, s)))
        return std::nullopt;
    double fraction = 0;
    if (r.literal('.')) {
        std::size_t start = r.position();
        r.skipDigits();
        std::string digits = "0." + std::string(r.text().substr(start, r.position() - start));
        std::from_chars(digits.data(), digits.data() + digits.size(), fraction);
    }
    auto zone = readZoneOffsetSeconds(r);
    if (!zone || !r.atEnd())
        return std::nullopt;
    year_month_day ymd{year{y}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
    if (!ymd.ok() || h > 23 || mi > 59 || s > 60)
        return std::nullopt;
    double days = static_cast<double>(sys_days{ymd}.time_since_epoch().count());
    return days * 86400 + h * 3600 + mi * 60 + s + fraction - *zone;
}

} // namespace velmora::DateFormat
