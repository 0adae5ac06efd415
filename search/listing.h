// How both searches report: one line per matching entry, a pause after every
// 23rd match, and a heartbeat (a blank and a backspace) for every 5,000
// entries examined, so that a long search shows it is alive.
//
// Owns nothing beyond one MatchListing per search, which the search makes
// with both counts 0 and drops when it returns.
// Caller guarantees: noteWordExamined() once for every entry, before the
// entry is looked at; listMatch() once for every match, with the entry as
// stored, before the next entry is examined.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dialogue/console.h"

struct MatchListing {
    std::int32_t wordsSinceHeartbeat = 0;
    std::int32_t matchesOnPage = 0;
};

constexpr std::int32_t heartbeatInterval = 5000;
constexpr std::int32_t pageLength = 23;

// Writes the pause prompt and waits for a line; what is typed is ignored.
void pauseListing();

inline void noteWordExamined(MatchListing& listing) {
    if (++listing.wordsSinceHeartbeat == heartbeatInterval) {
        listing.wordsSinceHeartbeat = 0;
        say(" \b");
    }
}

inline void countMatchOnPage(MatchListing& listing) {
    if (++listing.matchesOnPage == pageLength) {
        listing.matchesOnPage = 0;
        pauseListing();
    }
}

inline void listMatch(MatchListing& listing, const char* entry) {
    sayLine(entry);
    countMatchOnPage(listing);
}

// The same for an entry whose `length` the search knows.
inline void listMatch(MatchListing& listing, const char* entry, std::size_t length) {
    sayLine(entry, length);
    countMatchOnPage(listing);
}
