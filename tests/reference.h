// An independent model of what the program writes, for checking it: the
// reading of a word list, a whole-pattern wildcard matcher, the listing
// around it, and the whole dialogue on a given input.
#pragma once

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/transcript.h"

namespace reference {

inline bool isWhite(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline bool isPunct(char c) {
    unsigned char b = static_cast<unsigned char>(c);
    return b > ' ' && b < 0x7F && !(b >= '0' && b <= '9') &&
           !((b | 0x20) >= 'a' && (b | 0x20) <= 'z');
}

// A-Z folded to a-z; every other byte as it is.
inline std::string lowercased(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return text;
}

// Each CR LF as LF.
inline std::string withLineFeeds(const std::string& bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) text += bytes[i];
    return text;
}

struct Loaded {
    std::vector<std::string> entries;
    std::string display;  // the running count with its warnings
};

// Reads a word list line by line, the plain way: the whole file at once,
// text mode first, then each line on its own.
inline Loaded load(std::string bytes, bool keepPunctuation) {
    std::size_t stop = bytes.find('\x1A');
    if (stop != std::string::npos) bytes.resize(stop);
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);  // the byte-order mark
    std::string text = withLineFeeds(bytes);

    Loaded out;
    out.display = transcript::countHeading;
    int sinceRefresh = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t lineFeed = text.find('\n', start);
        bool ended = lineFeed != std::string::npos;
        std::string line = text.substr(start, ended ? lineFeed - start : std::string::npos);
        start = ended ? lineFeed + 1 : text.size();

        auto dropped = [&](char c) { return !keepPunctuation && isPunct(c); };
        std::size_t i = 0;
        while (i < line.size() && (isWhite(line[i]) || dropped(line[i]))) ++i;
        if (i == line.size()) continue;
        std::string held;
        bool rejected = false;
        for (; i < line.size() && !rejected; ++i) {
            if (held.size() == 99)
                rejected = true;
            else if (!dropped(line[i]))
                held += line[i];
        }
        if (rejected) {
            out.display += "WARNING: A word of size 99 has been rejected.\n";
            continue;
        }
        std::string entry(held.c_str());
        while (!entry.empty() && isWhite(entry.back())) entry.pop_back();
        out.entries.push_back(lowercased(entry));
        if (ended && ++sinceRefresh == 100) {
            sinceRefresh = 0;
            out.display += transcript::countRefresh(unsigned(out.entries.size()));
        }
    }
    out.display += transcript::countRefresh(unsigned(out.entries.size()));
    return out;
}

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

struct Session {
    std::string output;
    int status;
};

// The whole dialogue on `input`, until the input ends; `listNamed` gives the
// bytes of the list that a name opens, or nothing. A typed name, an answer
// and a pattern end at their first NUL byte, as C strings do.
inline Session session(
    const std::string& input, bool textMode,
    const std::function<std::optional<std::string>(const std::string&)>& listNamed) {
    using namespace transcript;
    // The console's input: in text mode (Windows' C runtime) up to the first
    // 0x1A; CR LF reads as LF either way.
    const std::string text = withLineFeeds(textMode ? input.substr(0, input.find('\x1A')) : input);
    std::size_t at = 0;
    bool ended = false;
    // One line: at most size - 1 bytes, the rest, its LF included, left for
    // the next read. A shorter line reads on: its LF, or the end.
    auto read = [&](std::size_t size) {
        std::string line = text.substr(at, std::min(text.find('\n', at), text.size()) - at);
        line.resize(std::min(line.size(), size - 1));
        at += line.size();
        if (line.size() < size - 1) {
            if (at == text.size())
                ended = true;
            else
                ++at;
        }
        return line;
    };
    std::string output, name;
    std::optional<std::string> list;
    for (;;) {
        output += filePrompt;
        std::string line = read(100);
        name = line.empty() ? "engldict.txt" : line.c_str();
        if ((list = listNamed(name))) break;
        output += cantAccess(name);
        if (ended) return {output, 1};
    }
    std::string answer = read(100);
    bool strip = std::string(answer.c_str()).find_first_of("yY") != std::string::npos;
    Loaded loaded = load(*list, !strip);
    output += punctuationQuestion + loading(name, strip) + loaded.display +
              greeting(unsigned(loaded.entries.size())) + searchPrompt;
    for (;;) {
        std::string pattern;
        while ((pattern = read(100)).empty())
            if (ended) return {output + end, 0};
        pattern = lowercased(pattern.c_str());
        int pauses = 0;
        output += search(listing(loaded.entries, pattern, &pauses));
        for (int i = 0; i < pauses; ++i) read(50);
    }
}

}  // namespace reference
