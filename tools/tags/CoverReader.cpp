#include "tools/tags/CoverReader.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint64_t kFrontCover = 3;  // the picture type in ID3v2 and FLAC alike

constexpr size_t kId3HeaderSize = 10;  // the footer of v2.4 has the same size
constexpr uint8_t kTagUnsynchronised = 0x80;
constexpr uint8_t kTagExtendedHeader = 0x40;
constexpr uint8_t kTagCompressedV22 = 0x40;
constexpr uint8_t kTagFooterV24 = 0x10;
// The second flag byte of a frame header.
constexpr uint64_t kFrameCompressedV23 = 0x80, kFrameEncryptedV23 = 0x40, kFrameGroupedV23 = 0x20;
constexpr uint64_t kFrameGroupedV24 = 0x40, kFrameCompressedV24 = 0x08, kFrameEncryptedV24 = 0x04;
constexpr uint64_t kFrameUnsynchronisedV24 = 0x02, kFrameDataLengthV24 = 0x01;

constexpr uint64_t kFlacLastBlock = 0x80, kFlacBlockType = 0x7F, kFlacPictureBlock = 6;

// A cursor that never leaves its bytes: a read that does not fit fails and moves nothing.
class Reader {
public:
    Reader() = default;
    Reader(const uint8_t* data, size_t size) : p_(data), left_(size) {}

    const uint8_t* Here() const { return p_; }
    size_t Left() const { return left_; }
    bool Skip(uint64_t n) {
        if (n > left_) return false;
        p_ += n;
        left_ -= static_cast<size_t>(n);
        return true;
    }
    bool Take(uint64_t n, const uint8_t** at) {
        *at = p_;
        return Skip(n);
    }
    bool Be(size_t bytes, uint64_t* value) {
        if (bytes > left_) return false;
        uint64_t v = 0;
        for (size_t i = 0; i < bytes; ++i) v = v << 8 | p_[i];
        *value = v;
        return Skip(bytes);
    }
    // Moves past the first NUL of `unit` bytes that starts on a multiple of `unit`.
    bool SkipString(size_t unit) {
        for (size_t i = 0; left_ - i >= unit; i += unit)
            if (p_[i] == 0 && (unit == 1 || p_[i + 1] == 0)) return Skip(i + unit);
        return false;
    }

private:
    const uint8_t* p_ = nullptr;
    size_t left_ = 0;
};

// The front cover, else the first picture offered.
class PictureChoice {
public:
    void Offer(uint64_t type, const uint8_t* data, size_t size) {
        if (size == 0 || front_) return;
        if (type == kFrontCover || picture_.empty()) picture_.assign(data, data + size);
        front_ = type == kFrontCover;
    }
    bool HasFront() const { return front_; }
    std::vector<uint8_t> Take() { return std::move(picture_); }

private:
    std::vector<uint8_t> picture_;
    bool front_ = false;
};

// ID3v2 sizes keep bit 7 of each byte clear, so that no false MPEG sync appears in them.
bool Syncsafe(const uint8_t* p, uint64_t* value) {
    uint64_t v = 0;
    for (int i = 0; i < 4; ++i) {
        if (p[i] & 0x80) return false;
        v = v << 7 | p[i];
    }
    *value = v;
    return true;
}

// Undoes unsynchronisation: the writer put a 0x00 after each 0xFF that could read as a sync.
std::vector<uint8_t> Resync(const uint8_t* p, size_t n) {
    std::vector<uint8_t> out;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        out.push_back(p[i]);
        if (p[i] == 0xFF && i + 1 < n && p[i + 1] == 0) ++i;
    }
    return out;
}

struct Id3Header {
    uint8_t version = 0;
    uint8_t flags = 0;
    uint64_t bodySize = 0;  // after the header, before any footer
};

bool ReadId3Header(const uint8_t* data, size_t size, Id3Header* header) {
    if (!data || size < kId3HeaderSize || memcmp(data, "ID3", 3) != 0) return false;
    header->version = data[3];
    header->flags = data[5];
    return header->version >= 2 && header->version <= 4 && data[4] != 0xFF && Syncsafe(data + 6, &header->bodySize);
}

bool IsFrameId(const uint8_t* id, size_t size) {
    return std::all_of(id, id + size, [](uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

// APIC: encoding, MIME type ending with a NUL, picture type, description ending with a NUL of its
// encoding (two bytes in UTF-16), the picture. PIC of v2.2 names the format in three letters.
void OfferId3Picture(Reader frame, bool v22, PictureChoice& choice) {
    uint64_t encoding = 0, type = 0;
    if (!frame.Be(1, &encoding) || encoding > 3 || !(v22 ? frame.Skip(3) : frame.SkipString(1)) ||
        !frame.Be(1, &type) || !frame.SkipString(encoding == 1 || encoding == 2 ? 2 : 1))
        return;
    choice.Offer(type, frame.Here(), frame.Left());
}

void OfferId3Frame(const Id3Header& tag, uint64_t format, Reader frame, PictureChoice& choice) {
    std::vector<uint8_t> resynced;
    if (tag.version == 3) {
        if (format & (kFrameCompressedV23 | kFrameEncryptedV23)) return;
        if ((format & kFrameGroupedV23) && !frame.Skip(1)) return;
    } else if (tag.version == 4) {
        if (format & (kFrameCompressedV24 | kFrameEncryptedV24)) return;
        // The group byte and the data length belong to the header: never unsynchronised.
        if (!frame.Skip((format & kFrameGroupedV24 ? 1 : 0) + (format & kFrameDataLengthV24 ? 4 : 0))) return;
        if ((format & kFrameUnsynchronisedV24) || (tag.flags & kTagUnsynchronised)) {
            resynced = Resync(frame.Here(), frame.Left());
            frame = Reader(resynced.data(), resynced.size());
        }
    }
    OfferId3Picture(frame, tag.version == 2, choice);
}

// The body of the first child atom of `type`; false when there is none before a size that does not fit.
bool FindAtom(Reader parent, const char* type, Reader* body) {
    while (parent.Left() >= 8) {
        const uint8_t* atom = parent.Here();
        const size_t room = parent.Left();
        uint64_t length = 0, header = 8;
        parent.Be(4, &length);
        parent.Skip(4);
        if (length == 1) {  // a 64-bit size follows the type
            if (!parent.Be(8, &length)) return false;
            header = 16;
        } else if (length == 0) {  // to the end of the parent
            length = room;
        }
        if (length < header || length > room) return false;
        if (memcmp(atom + 4, type, 4) == 0) {
            *body = Reader(atom + header, static_cast<size_t>(length - header));
            return true;
        }
        parent.Skip(length - header);
    }
    return false;
}

}  // namespace

size_t Id3TagLength(const uint8_t* data, size_t size) {
    Id3Header tag;
    if (!ReadId3Header(data, size, &tag)) return 0;
    bool footer = tag.version == 4 && (tag.flags & kTagFooterV24);
    return static_cast<size_t>(kId3HeaderSize + tag.bodySize + (footer ? kId3HeaderSize : 0));
}

std::vector<uint8_t> FindId3Picture(const uint8_t* data, size_t size) {
    Id3Header tag;
    if (!ReadId3Header(data, size, &tag) || (tag.version == 2 && (tag.flags & kTagCompressedV22))) return {};
    // A tag cut short still gives the frames that are whole.
    Reader body(data + kId3HeaderSize, static_cast<size_t>(std::min<uint64_t>(tag.bodySize, size - kId3HeaderSize)));
    // Before v2.4 unsynchronisation covers all that follows the header, extended header included.
    std::vector<uint8_t> resynced;
    if ((tag.flags & kTagUnsynchronised) && tag.version < 4) {
        resynced = Resync(body.Here(), body.Left());
        body = Reader(resynced.data(), resynced.size());
    }
    if (tag.version > 2 && (tag.flags & kTagExtendedHeader)) {
        // v2.3 counts the bytes after the size field, v2.4 the whole extended header.
        uint64_t extended = 0;
        bool known = tag.version == 3 ? body.Be(4, &extended) : body.Left() >= 4 && Syncsafe(body.Here(), &extended);
        if (!known || !body.Skip(extended)) return {};
    }

    const bool v22 = tag.version == 2;
    const size_t idSize = v22 ? 3 : 4;
    PictureChoice choice;
    // Padding (zero bytes) or anything else that is no frame id ends the frames.
    while (!choice.HasFront() && body.Left() >= (v22 ? 6 : 10) && IsFrameId(body.Here(), idSize)) {
        const uint8_t* id = body.Here();
        uint64_t length = 0, format = 0;
        body.Skip(idSize);
        // v2.4 sizes are syncsafe; a set top bit shows a writer that put a plain one.
        if (tag.version == 4 && Syncsafe(body.Here(), &length)) body.Skip(4);
        else body.Be(v22 ? 3 : 4, &length);
        if (!v22) {
            body.Skip(1);  // status flags
            body.Be(1, &format);
        }
        const uint8_t* frame = nullptr;
        if (!body.Take(length, &frame)) break;
        if (memcmp(id, v22 ? "PIC" : "APIC", idSize) == 0)
            OfferId3Frame(tag, format, Reader(frame, static_cast<size_t>(length)), choice);
    }
    return choice.Take();
}

std::vector<uint8_t> FindFlacPicture(const uint8_t* data, size_t size) {
    if (!data || size < 4 || memcmp(data, "fLaC", 4) != 0) return {};
    Reader stream(data + 4, size - 4);
    PictureChoice choice;
    // Each metadata block: last-block bit and type in one byte, a 24-bit length, the body.
    for (bool last = false; !last && !choice.HasFront();) {
        uint64_t header = 0, length = 0, type = 0;
        const uint8_t* block = nullptr;
        if (!stream.Be(1, &header) || !stream.Be(3, &length) || !stream.Take(length, &block)) break;
        last = header & kFlacLastBlock;
        if ((header & kFlacBlockType) != kFlacPictureBlock) continue;
        // Picture type, MIME type and description each after a 32-bit length, width, height, depth
        // and colour count, then the picture after its length.
        Reader picture(block, static_cast<size_t>(length));
        const uint8_t* bytes = nullptr;
        if (picture.Be(4, &type) && picture.Be(4, &length) && picture.Skip(length) && picture.Be(4, &length) &&
            picture.Skip(length) && picture.Skip(16) && picture.Be(4, &length) && picture.Take(length, &bytes))
            choice.Offer(type, bytes, static_cast<size_t>(length));
    }
    return choice.Take();
}

std::vector<uint8_t> FindMp4Picture(const uint8_t* data, size_t size) {
    Reader moov, udta, meta, ilst, covr, item;
    if (!FindAtom(Reader(data, size), "moov", &moov) || !FindAtom(moov, "udta", &udta) ||
        !FindAtom(udta, "meta", &meta))
        return {};
    // meta is a full box, version and flags before its children, though some writers leave them out.
    Reader children = meta;
    uint64_t versionAndFlags = 0;
    if (children.Be(4, &versionAndFlags) && versionAndFlags == 0) meta = children;
    // The data atom: 4 bytes of type, 4 of locale, the picture.
    if (!FindAtom(meta, "ilst", &ilst) || !FindAtom(ilst, "covr", &covr) || !FindAtom(covr, "data", &item) ||
        !item.Skip(8))
        return {};
    return std::vector<uint8_t>(item.Here(), item.Here() + item.Left());
}

std::vector<uint8_t> FindCoverPicture(const uint8_t* data, size_t size) {
    if (!data) return {};
    size_t tag = Id3TagLength(data, size);
    if (tag == 0) {
        if (size >= 8 && memcmp(data + 4, "ftyp", 4) == 0) return FindMp4Picture(data, size);
        return FindFlacPicture(data, size);
    }
    // A FLAC stream may carry an ID3v2 tag in front: its own PICTURE blocks come first.
    if (tag < size) {
        std::vector<uint8_t> picture = FindFlacPicture(data + tag, size - tag);
        if (!picture.empty()) return picture;
    }
    return FindId3Picture(data, size);
}

namespace {

constexpr size_t kAtomHeader = 8, kLargeAtomHeader = 16, kFlacBlockHeader = 4;

// The moov atom of an MP4 file, found by reading the header of each atom at the top level.
std::vector<uint8_t> ReadMp4Cover(const ReadAt& read, uint64_t fileSize) {
    for (uint64_t at = 0; fileSize - at >= kAtomHeader;) {
        uint8_t header[kLargeAtomHeader];
        if (!read(at, header, kAtomHeader)) return {};
        Reader fields(header, 4);
        uint64_t length = 0, headerSize = kAtomHeader;
        fields.Be(4, &length);
        if (length == 1) {  // a 64-bit size follows the type
            if (fileSize - at < kLargeAtomHeader || !read(at + kAtomHeader, header + kAtomHeader, 8)) return {};
            Reader(header + kAtomHeader, 8).Be(8, &length);
            headerSize = kLargeAtomHeader;
        } else if (length == 0) {  // to the end of the file
            length = fileSize - at;
        }
        if (length < headerSize || length > fileSize - at) return {};
        if (memcmp(header + 4, "moov", 4) == 0) {
            if (length > kMaxTagRegion) return {};
            std::vector<uint8_t> moov(static_cast<size_t>(length));
            if (!read(at, moov.data(), moov.size())) return {};
            return FindMp4Picture(moov.data(), moov.size());
        }
        at += length;
    }
    return {};
}

}  // namespace

std::vector<uint8_t> ReadCoverPicture(const ReadAt& read, uint64_t fileSize) {
    uint8_t head[kId3HeaderSize];
    size_t got = static_cast<size_t>(std::min<uint64_t>(fileSize, sizeof(head)));
    if (got == 0 || !read(0, head, got)) return {};
    uint64_t end = Id3TagLength(head, got);
    if (end == 0 && got >= 8 && memcmp(head + 4, "ftyp", 4) == 0) return ReadMp4Cover(read, fileSize);
    // After any ID3v2 tag, a FLAC stream's metadata blocks, up to the last one.
    uint8_t block[kFlacBlockHeader];
    if (fileSize > end && fileSize - end >= 4 && read(end, block, 4) && memcmp(block, "fLaC", 4) == 0) {
        end += 4;
        for (bool last = false; !last && end <= kMaxTagRegion && end < fileSize && fileSize - end >= kFlacBlockHeader;) {
            if (!read(end, block, kFlacBlockHeader)) return {};
            last = block[0] & kFlacLastBlock;
            end += kFlacBlockHeader + (uint64_t{block[1]} << 16 | uint64_t{block[2]} << 8 | block[3]);
        }
    }
    end = std::min(end, fileSize);
    if (end == 0 || end > kMaxTagRegion) return {};
    std::vector<uint8_t> region(static_cast<size_t>(end));
    if (!read(0, region.data(), region.size())) return {};
    return FindCoverPicture(region.data(), region.size());
}
