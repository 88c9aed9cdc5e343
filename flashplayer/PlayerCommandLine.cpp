#include "flashplayer/PlayerCommandLine.h"

#include "flashplayer/PlayerNames.h"

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>

#include <climits>
#include <cwctype>
#include <vector>

namespace flashplayer {

std::wstring TrimCommandLine(const std::wstring& tail) {
    const auto isSpace = [](wchar_t c) { return std::iswspace(static_cast<wint_t>(c)) != 0; };
    std::size_t begin = 0;
    std::size_t end = tail.size();
    while (begin < end && isSpace(tail[begin]))
        ++begin;
    while (end > begin && isSpace(tail[end - 1]))
        --end;
    return tail.substr(begin, end - begin);
}

int ParseNumberField(const std::wstring& field) {
    std::size_t at = 0;
    while (at < field.size() && std::iswspace(static_cast<wint_t>(field[at])))
        ++at;
    bool negative = false;
    if (at < field.size() && (field[at] == L'+' || field[at] == L'-')) {
        negative = field[at] == L'-';
        ++at;
    }
    // Accumulated as a magnitude in a wider type, so a long run of digits saturates instead of
    // overflowing.
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; at < field.size() && field[at] >= L'0' && field[at] <= L'9'; ++at) {
        magnitude = magnitude * 10 + (field[at] - L'0');
        if (magnitude > limit)
            magnitude = limit;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

PlayerCommandLine ParseCommandLine(const std::wstring& trimmed) {
    std::vector<std::wstring> fields;
    boost::algorithm::split(fields, trimmed, boost::algorithm::is_any_of(kFieldSeparator));

    PlayerCommandLine commandLine;
    if (fields.size() >= kCommandLineFields) {
        commandLine.movie = fields[0];
        commandLine.timeLimitOn = ParseNumberField(fields[1]);
        commandLine.ownerWindow = ParseNumberField(fields[2]);
        commandLine.closeSoundOn = ParseNumberField(fields[3]);
        commandLine.timeLimitSeconds = ParseNumberField(fields[4]);
        commandLine.width = ParseNumberField(fields[5]);
        commandLine.height = ParseNumberField(fields[6]);
    }
    if (commandLine.width <= 0)
        commandLine.width = kDefaultWindowSize;
    if (commandLine.height <= 0)
        commandLine.height = kDefaultWindowSize;
    return commandLine;
}

bool HasUsableMovieName(const PlayerCommandLine& commandLine) {
    return commandLine.movie.size() >= kMinimumMovieNameLength;
}

int EffectiveTimeLimitSeconds(const PlayerCommandLine& commandLine) {
    return commandLine.timeLimitSeconds > 0 ? commandLine.timeLimitSeconds
                                            : kDefaultTimeLimitSeconds;
}

} // namespace flashplayer
