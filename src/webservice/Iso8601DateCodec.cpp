#include "webservice/Iso8601DateCodec.h"

#include "platform/foundation/DateFormat.h"
#include "platform/foundation/TextTrim.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace velmora {
namespace {

using namespace std::chrono;

// Reads the text from left to right; every read either takes what it asks for or nothing.
class Cursor {
public:
    explicit Cursor(std::string_view text) : _text(text) {}

    bool atEnd() const { return _at == _text.size(); }
    char peek() const { return atEnd() ? '\0' : _text[_at]; }
    bool take(char c) {
        if (peek() != c || atEnd())
            return false;
        ++_at;
        return true;
    }
    // Exactly count digits.
    std::optional<int> digits(std::size_t count) {
        if (_text.size() - _at < count)
            return std::nullopt;
        int value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            char c = _text[_at + i];
            if (c < '0' || c > '9')
                return std::nullopt;
            value = value * 10 + (c - '0');
        }
        _at += count;
        return value;
    }
    std::size_t digitRun() const {
        std::size_t n = 0;
        while (_at + n < _text.size() && _text[_at + n] >= '0' && _text[_at + n] <= '9')
            ++n;
        return n;
    }
    double fraction() {
        double value = 0, scale = 0.1;
        while (!atEnd() && peek() >= '0' && peek() <= '9') {
            value += (_text[_at++] - '0') * scale;
            scale /= 10;
        }
        return value;
    }

private:
    std::string_view _text;
    std::size_t _at = 0;
};

unsigned isoWeekday(sys_days day) {
    return weekday(day).iso_encoding(); // Monday 1 … Sunday 7
}

// Monday of week 1: the week that holds 4 January.
sys_days firstIsoMonday(int isoYear) {
    sys_days january4 = year{isoYear} / January / 4;
    return january4 - days{isoWeekday(january4) - 1};
}

unsigned weeksInIsoYear(int isoYear) {
    return static_cast<unsigned>((firstIsoMonday(isoYear + 1) - firstIsoMonday(isoYear)).count() /
                                 7);
}

std::optional<sys_days> calendarDate(Cursor& in, int y, bool dash) {
    auto m = in.digits(2);
    if (!m || (dash && !in.take('-')))
        return std::nullopt;
    auto d = in.digits(2);
    year_month_day date{year{y}, month{static_cast<unsigned>(*m)},
                        day{static_cast<unsigned>(d.value_or(0))}};
    if (!d || !date.ok())
        return std::nullopt;
    return sys_days(date);
}

std::optional<sys_days> ordinalDate(Cursor& in, int y) {
    auto n = in.digits(3);
    sys_days first = year{y} / January / 1;
    int length = year{y}.is_leap() ? 366 : 365;
    if (!n || *n < 1 || *n > length)
        return std::nullopt;
    return first + days{*n - 1};
}

std::optional<sys_days> weekDate(Cursor& in, int y, bool dash) {
    auto w = in.digits(2);
    if (!w || *w < 1 || static_cast<unsigned>(*w) > weeksInIsoYear(y))
        return std::nullopt;
    int d = 1;
    if (in.take('-') || (!dash && in.digitRun() > 0)) {
        std::size_t run = in.digitRun();
        auto read = in.digits(run == 2 ? 2 : 1); // written with two digits, often read with one
        if (!read || *read < 1 || *read > 7)
            return std::nullopt;
        d = *read;
    }
    return firstIsoMonday(y) + days{(*w - 1) * 7 + d - 1};
}

std::optional<sys_days> datePart(Cursor& in, bool lenient) {
    auto y = in.digits(4);
    if (!y)
        return std::nullopt;
    bool dash = in.take('-');
    if (!dash && !lenient)
        return std::nullopt;
    if (in.take('W'))
        return weekDate(in, *y, dash);
    return in.digitRun() == 3 ? ordinalDate(in, *y) : calendarDate(in, *y, dash);
}

// Seconds into the day, or null.
std::optional<double> timePart(Cursor& in, char separator, bool lenient) {
    auto h = in.digits(2);
    if (!h || *h > 23)
        return std::nullopt;
    double seconds = *h * 3600.0;
    for (double unit : {60.0, 1.0}) { // minutes, then seconds
        bool present = in.take(separator) || (lenient && in.digitRun() >= 2);
        if (!present)
            return lenient ? std::optional<double>(seconds) : std::nullopt;
        auto value = in.digits(2);
        if (!value || *value > 59)
            return std::nullopt;
        seconds += *value * unit;
    }
    if (in.take('.') || in.take(','))
        seconds += in.fraction();
    return seconds;
}

// The zone's offset from UTC in seconds; no zone is UTC.
std::optional<int> zonePart(Cursor& in, bool lenient) {
    if (in.atEnd() || in.take('Z') || (lenient && in.take('z')))
        return 0;
    int sign = in.take('+') ? 1 : in.take('-') ? -1 : 0;
    if (sign == 0)
        return std::nullopt;
    auto h = in.digits(2);
    if (!h || *h > 23)
        return std::nullopt;
    in.take(':');
    auto m = in.digitRun() >= 2 ? in.digits(2) : (lenient ? std::optional<int>(0) : std::nullopt);
    if (!m || *m > 59)
        return std::nullopt;
    return sign * (*h * 3600 + *m * 60);
}

std::string twoDigits(long long n) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%02lld", n);
    return buf;
}

std::string zoneText(int minutes) {
    if (minutes == 0)
        return "Z";
    int magnitude = std::abs(minutes);
    return std::string(minutes < 0 ? "-" : "+") + twoDigits(magnitude / 60) + ":" +
           twoDigits(magnitude % 60);
}

} // namespace

std::optional<double> Iso8601DateCodec::parse(std::string_view text, const Options& options,
                                              std::string* error) {
    auto refuse = [&](std::string reason) -> std::optional<double> {
        if (error)
            *error = std::move(reason);
        return std::nullopt;
    };
    if (options.timeSeparator == '\0')
        return refuse(kNulSeparatorMessage);
    Cursor in(options.lenient ? trimWhiteSpace(text) : text);
    auto date = datePart(in, options.lenient);
    if (!date)
        return refuse("not an ISO 8601 date: " + std::string(text));
    double seconds = 0;
    if (in.take('T') || (options.lenient && (in.take(' ') || in.take('t')))) {
        auto time = timePart(in, options.timeSeparator, options.lenient);
        if (!time)
            return refuse("not an ISO 8601 time: " + std::string(text));
        seconds = *time;
    }
    auto zone = zonePart(in, options.lenient);
    if (!zone || !in.atEnd())
        return refuse("not an ISO 8601 date: " + std::string(text));
    return static_cast<double>(date->time_since_epoch().count()) * 86400.0 + seconds - *zone;
}

std::optional<std::string> Iso8601DateCodec::format(double secondsSince1970, const Options& options,
                                                    std::string* error) {
    auto refuse = [&](std::string reason) -> std::optional<std::string> {
        if (error)
            *error = std::move(reason);
        return std::nullopt;
    };
    if (options.timeSeparator == '\0')
        return refuse(kNulSeparatorMessage);
    if (!std::isfinite(secondsSince1970) ||
        std::fabs(secondsSince1970) > DateFormat::kMaxSecondsFrom1970)
        return refuse("no date can be written for that time");
    bool week = options.form == Form::Week;
    // Week dates are written in UTC; a zone is at most a day away from it.
    int zone = week ? 0 : std::clamp(options.zoneMinutes, -1440, 1440);
    auto local = static_cast<long long>(std::floor(secondsSince1970)) + zone * 60LL;
    sys_days day{days{local >= 0 ? local / 86400 : -((-local + 86399) / 86400)}};
    long long rest = local - day.time_since_epoch().count() * 86400LL;
    char timeText[32];
    std::snprintf(timeText, sizeof timeText, "T%02lld%c%02lld%c%02lld", rest / 3600,
                  options.timeSeparator, rest / 60 % 60, options.timeSeparator, rest % 60);
    std::string time = timeText;
    char buf[64];
    year_month_day ymd{day};
    // Four-digit years are what every reader of these texts takes.
    if (ymd.year() < year{1} || ymd.year() > year{9999})
        return refuse("the year lies outside 0001-9999");
    if (week) {
        sys_days thursday = day + days{4 - static_cast<int>(isoWeekday(day))};
        int isoYear = static_cast<int>(year_month_day{thursday}.year());
        if (isoYear < 1 || isoYear > 9999)
            return refuse("the year lies outside 0001-9999");
        auto weekNumber =
            static_cast<unsigned>((thursday - firstIsoMonday(isoYear)).count() / 7 + 1);
        std::snprintf(buf, sizeof buf, "%04u-W%02u-%02u", static_cast<unsigned>(isoYear),
                      weekNumber, isoWeekday(day));
        return std::string(buf) + (options.includeTime ? time + "Z" : "");
    }
    if (options.form == Form::Ordinal) {
        auto ordinal = (day - sys_days{ymd.year() / January / 1}).count() + 1;
        std::snprintf(buf, sizeof buf, "%04d-%03d", static_cast<int>(ymd.year()),
                      static_cast<int>(ordinal));
    } else {
        std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                      static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
    }
    return std::string(buf) + (options.includeTime ? time + zoneText(zone) : "");
}

} // namespace velmora
