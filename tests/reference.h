// An independent model of what a search lists, for checking the program's
// searches: a whole-pattern wildcard matcher and the listing around it.
#pragma once

#include <string>
#include <vector>

namespace reference {

// '?' matches exactly one byte, '*' any run of bytes; by dynamic programming
// over (pattern prefix, text prefix).
inline bool matches(const std::string& pattern, const std::string& text) {
    std::vector<char> row(text.size() + 1, 0), next(text.size() + 1);
    row[0] = 1;
    for (char p : pattern) {
        next.assign(text.size() + 1, 0);
        if (p == '*') next[0] = row[0];
        for (std::size_t j = 1; j <= text.size(); ++j) {
            if (p == '*')
                next[j] = row[j] || next[j - 1];
            else
                next[j] = row[j - 1] && (p == '?' || p == text[j - 1]);
        }
        row.swap(next);
    }
    return row[text.size()];
}

// The exact output of one search over `entries`: heartbeats, match lines and
// pauses; `pauses` gets the number of pauses.
inline std::string listing(const std::vector<std::string>& entries, const std::string& pattern,
                           int* pauses = nullptr) {
    std::string out;
    int matched = 0, paused = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if ((i + 1) % 5000 == 0) out += " \b";
        if (!matches(pattern, entries[i])) continue;
        out += entries[i] + "\n";
        if (++matched % 23 == 0) {
            out += "\nHit return to continue search ";
            ++paused;
        }
    }
    if (pauses) *pauses = paused;
    return out;
}

}  // namespace reference
