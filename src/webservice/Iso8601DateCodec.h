#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The date codec of the web service's date-time values: ISO 8601 text in the calendar
// ("2026-12-06"), ordinal ("2026-340") or week ("2026-W49-7") form, optionally followed by a
// time ("T08:30:00", fractions allowed) and a zone ("Z", "+09:00"; none means UTC).
class Iso8601DateCodec {
public:
    enum class Form { Calendar, Ordinal, Week };

    struct Options {
        Form form = Form::Calendar; // the form written; every form is read
        bool includeTime = true;    // written: date and time, or the date alone
        char timeSeparator = ':';
        int zoneMinutes = 0; // offset from UTC of the written time
        // Lenient reading also takes the basic forms without "-", a space or "t" before the
        // time, hours without minutes or seconds, a lower-case "z" and white space around.
        bool lenient = false;
    };

    static constexpr const char* kNulSeparatorMessage = "Time separator must not be NUL.";

    // Seconds since 1970 (UTC); null with the reason in error when the text is no such date.
    static std::optional<double> parse(std::string_view text, const Options& options,
                                       std::string* error = nullptr);
    // The text of the time in the chosen form; null (with the reason) for a NUL separator or a
    // time that is not a finite number.
    static std::optional<std::string> format(double secondsSince1970, const Options& options,
                                             std::string* error = nullptr);
};

} // namespace velmora
