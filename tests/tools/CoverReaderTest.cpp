// Cover pictures from ID3v2 tags, FLAC metadata blocks and MP4 atoms written here byte by byte.
#include "tools/tags/CoverReader.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
using namespace std::string_literals;
using Bytes = std::string;

Bytes Be(uint64_t v, int n) { return n ? Be(v >> 8, n - 1) + char(v) : ""; }
Bytes Syncsafe(size_t v) { return {char(v >> 21 & 0x7F), char(v >> 14 & 0x7F), char(v >> 7 & 0x7F), char(v & 0x7F)}; }
// A 0x00 after every 0xFF.
Bytes Unsync(const Bytes& s) { return s.empty() ? s : s[0] + Bytes(s[0] == '\xFF', '\0') + Unsync(s.substr(1)); }
Bytes Tag(char v, char flags, const Bytes& body) { return "ID3"s + v + '\0' + flags + Syncsafe(body.size()) + body; }
Bytes Frame(char v, const Bytes& body, const Bytes& flags = "\0\0"s) {
    return "APIC" + (v == 4 ? Syncsafe(body.size()) : Be(body.size(), 4)) + flags + body;
}
Bytes Apic(char e, const Bytes& about, char type, const Bytes& pic) { return e + "image/jpeg\0"s + type + about + pic; }
Bytes FlacBlock(char header, const Bytes& body) { return header + Be(body.size(), 3) + body; }
Bytes FlacPicture(int type, const Bytes& picture) {  // MIME type, description, 16 bytes of sizes, picture
    return Be(type, 4) + Be(9, 4) + "image/png" + Be(4, 4) + "Desc" + Bytes(16, '\0') + Be(picture.size(), 4) + picture;
}
Bytes Atom(const char* type, const Bytes& body) { return Be(body.size() + 8, 4) + type + body; }

// Sizes above 127, and 0xFF bytes that unsynchronisation changes.
const Bytes kFront = "\xFF\xD8\xFF\xE0"s + Bytes(150, 'F') + "\xFF", kBack = "\x89PNG\r\n\x1A\n"s + Bytes(140, 'B');
const Bytes kFrontApic = Apic(0, "Cover\0"s, 3, kFront), kBackApic = Apic(0, "\0"s, 4, kBack);
// Read as an APIC, a compressed or encrypted body starting 00 00 03 00 would pass for a front cover.
const Bytes kHidden = Be(0x300, 4) + kBackApic, kSkipped = Frame(3, kHidden, "\0\x80"s) + Frame(3, kHidden, "\0\x40"s);
const Bytes kText = "TIT2"s + Be(5, 4) + "\0\0\0Song"s, kFtyp = Atom("ftyp", "M4A \0\0\0\0"s);
const Bytes kBackBlock = FlacBlock(6, FlacPicture(4, kBack)), kFrontBlock = FlacBlock(6, FlacPicture(3, kFront));
const Bytes kFlac = "fLaC" + FlacBlock(0, Bytes(34, '\0')) + kBackBlock + '\x86' + kFrontBlock.substr(1);
const Bytes kCovr = Atom("covr", Atom("data", Be(13, 4) + Be(0, 4) + kFront));  // type JPEG, locale 0
const Bytes kIlst = Atom("hdlr", Bytes(25, '\0')) + Atom("ilst", kCovr), kUdta = Atom("udta", Atom("meta", kIlst));
Bytes Find(const Bytes& file) {
    std::vector<uint8_t> picture = FindCoverPicture(reinterpret_cast<const uint8_t*>(file.data()), file.size());
    return Bytes(picture.begin(), picture.end());
}
// The picture of a file of `size` bytes read region by region: `head` at its start, `tail` at its
// end, zeros between, never held whole; `largest` gets the largest read.
Bytes Read(const Bytes& head, uint64_t size, const Bytes& tail, size_t* largest) {
    *largest = 0;
    std::vector<uint8_t> picture = ReadCoverPicture([&](uint64_t at, uint8_t* out, size_t n) {
        *largest = std::max(*largest, n);
        for (uint64_t i = at; i < at + n; ++i)
            *out++ = i < head.size() ? head[i] : i >= size - tail.size() ? tail[i - (size - tail.size())] : 0;
        return at + n <= size;
    }, size);
    return Bytes(picture.begin(), picture.end());
}
}  // namespace

// The intended picture or none, in memory and read from a file; cut anywhere, a file gives a whole
// picture it holds, or none. The tag fuzzer checks its inputs the same two ways.
TEST(CoverReader, FindsTheIntendedPictureAndNeverMoreThanTheFileHolds) {
    auto whole = [](const Bytes& picture) { return picture.empty() || picture == kFront || picture == kBack; };
    const struct { const char* name; Bytes file, picture; } cases[] = {
        {"v2.3 APIC after a text frame", Tag(3, 0, kText + Frame(3, kFrontApic)) + "\xFF\xFB", kFront},
        {"v2.4 unsynchronised tag, padding", Tag(4, '\x80', Frame(4, Unsync(kFrontApic)) + Bytes(40, '\0')), kFront},
        {"front wins; hidden frames skipped", Tag(3, 0, Frame(3, kBackApic) + kSkipped + Frame(3, kFrontApic)), kFront},
        {"first picture without a front; an empty one is none",
         Tag(4, 0, Frame(4, Apic(0, "\0"s, 3, "")) + Frame(4, kBackApic) + Frame(4, Apic(0, "\0"s, 5, kFront))), kBack},
        {"UTF-16 description with 00 00", Tag(3, 0, Frame(3, Apic(1, "\xFF\xFE" "C\0\0\x01\0\0"s, 3, kFront))), kFront},
        {"v2.3 unsynchronised tag, extended header, group",
         Tag(3, '\xC0', Unsync(Be(6, 4) + Bytes(6, '\0') + Frame(3, "\x01" + kFrontApic, "\0\x20"s))), kFront},
        {"v2.4 extended header; unsynchronised frame, group, length", Tag(4, 0x40, Syncsafe(6) + "\x01\0"s +
             Frame(4, "\x07"s + Syncsafe(kFrontApic.size()) + Unsync(kFrontApic), "\0\x43"s)), kFront},
        {"v2.2 PIC", Tag(2, 0, "PIC" + Be(kFront.size() + 6, 3) + "\0JPG\x03\0"s + kFront), kFront},
        {"FLAC PICTURE blocks", kFlac, kFront},
        {"FLAC blocks end at the last one", "fLaC"s + '\x86' + kBackBlock.substr(1) + kFrontBlock, kBack},
        {"FLAC after v2.4 with footer", Tag(4, 0x10, "") + "3DI\x04\0\x10\0\0\0\0"s + kFlac, kFront},
        {"M4A covr",
         kFtyp + Atom("moov", Atom("mvhd", Bytes(100, '\0')) + Atom("udta", Atom("meta", Be(0, 4) + kIlst))), kFront},
        {"M4A 64-bit size, size 0, meta without version",
         kFtyp + Be(1, 4) + "mdat" + Be(20, 8) + "abcd" + Be(0, 4) + "moov" + kUdta, kFront},
        {"MP4 child larger than parent", kFtyp + Atom("moov", Be(5000, 4) + kUdta.substr(4)), ""},
        {"huge size", kFtyp + Be(1, 4) + "moov" + Be(~0ull, 8) + kUdta, ""},
    };
    size_t largest = 0;
    for (const auto& c : cases) {
        EXPECT_EQ(c.picture, Find(c.file)) << c.name;
        EXPECT_EQ(c.picture, Read(c.file, c.file.size(), "", &largest)) << c.name << ", read as a file";
        for (size_t cut = 0; cut < c.file.size(); ++cut)
            EXPECT_TRUE(whole(Find(c.file.substr(0, cut)))) << c.name << " cut at " << cut;
    }
    // From a file, only the tag region is read: a moov atom after 3 GB of media, and no region over 32 MB.
    const Bytes moov = Atom("moov", kUdta), mdat = Be(1, 4) + "mdat" + Be(3ull << 30, 8);
    EXPECT_EQ(kFront, Read(kFtyp + mdat, kFtyp.size() + (3ull << 30) + moov.size(), moov, &largest));
    EXPECT_EQ(moov.size(), largest);
    const struct { const char* name; Bytes head; } large[] = {
        {"moov of 40 MB", kFtyp + Be(40 << 20, 4) + "moov"},
        {"ID3v2 tag of 200 MB", Tag(3, 0, "").substr(0, 6) + Syncsafe(200 << 20)},
    };
    for (const auto& c : large) {
        EXPECT_EQ("", Read(c.head, 1ull << 30, "", &largest)) << c.name;
        EXPECT_LE(largest, 16u) << c.name;
    }
}
