// The byte helpers against plain loops, at every offset from 0 to 64 of a
// buffer that holds every byte value.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "store/bytes.h"

namespace {

// 64 + 16 offsets' worth of bytes: every value, NULs and capitals often.
std::string sample() {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i * 37 % 256);
    for (int i = 0; i < 256; i += 3) bytes[static_cast<std::size_t>(i)] = i % 2 ? '\0' : 'Q';
    return bytes;
}

std::uint64_t plainMask(const char* p, int size, char wanted) {
    std::uint64_t mask = 0;
    for (int i = 0; i < size; ++i)
        if (p[i] == wanted) mask |= std::uint64_t{1} << i;
    return mask;
}

std::string bytesOf(Bytes16 bytes) {
    char out[16];
    store16(out, bytes);
    return std::string(out, 16);
}

// Every x86 build, the 32-bit one included, is made for processors with SSE2.
TEST(Bytes, NativeWhereTheProcessorHasThem) {
#if !defined(PALLIMORVENQUIST_PORTABLE) && \
    (defined(__x86_64__) || defined(__i386__) || defined(__aarch64__))
    EXPECT_TRUE(nativeBytes) << "the portable bodies were compiled in";
#else
    EXPECT_FALSE(nativeBytes);
#endif
}

TEST(Bytes, AgreeWithPlainLoopsAtEveryOffset) {
    const std::string buffer = sample();
    for (int offset = 0; offset <= 64; ++offset) {
        SCOPED_TRACE(offset);
        const char* p = buffer.data() + offset;
        const Bytes16 unit = load16(p);
        EXPECT_EQ(bytesOf(unit), std::string(p, 16));
        for (char wanted : {'\0', '?', 'Q', '\xE9', '\xFF'})
            EXPECT_EQ(equalMask(unit, repeat16(wanted)), plainMask(p, 16, wanted)) << int(wanted);
        EXPECT_EQ(nulMask(unit), plainMask(p, 16, '\0'));
        EXPECT_EQ(nulMask64(p), plainMask(p, 64, '\0'));

        std::string folded(p, 16);
        for (char& c : folded)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        EXPECT_EQ(bytesOf(foldCapitals(unit)), folded);
        for (std::size_t n = 0; n <= 16; ++n)
            EXPECT_EQ(bytesOf(keepFirst(unit, n)), std::string(p, n) + std::string(16 - n, '\0'));
    }
    for (int bit = 0; bit < 64; ++bit) {
        EXPECT_EQ(lowestBit(std::uint64_t{1} << bit), bit);
        EXPECT_EQ(lowestBit(~std::uint64_t{0} << bit), bit);
    }
}

// The n bytes arrive, and nothing is written past the room given.
TEST(Bytes, CopyUnitsCopiesTheBytesAndStaysInItsRoom) {
    const std::string buffer = sample();
    for (std::size_t n = 0; n <= 64; ++n) {
        for (std::size_t room : {n, n + 7, (n + 15) / 16 * 16, std::size_t{32}, std::size_t{80}}) {
            if (room < n) continue;
            SCOPED_TRACE(std::to_string(n) + " bytes, room " + std::to_string(room));
            std::string to(96, '#');
            copyUnits(&to[0], buffer.data() + 3, n, room);
            EXPECT_EQ(to.substr(0, n), buffer.substr(3, n));
            EXPECT_EQ(to.substr(room), std::string(96 - room, '#'));
        }
    }
}

}  // namespace
