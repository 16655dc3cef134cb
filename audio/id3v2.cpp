// SPDX-License-Identifier: MIT
#include "audio/id3v2.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "audio/text_decode.h"

namespace doze::audio {

namespace {

constexpr std::size_t kHeaderSize = 10;
constexpr std::size_t kWindow = 2048;       // read at least this much at a time
constexpr std::size_t kLongestText = 2048;  // of a text frame, the bytes read

std::uint32_t Syncsafe(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0] & 0x7F) << 21 |
           static_cast<std::uint32_t>(p[1] & 0x7F) << 14 |
           static_cast<std::uint32_t>(p[2] & 0x7F) << 7 | (p[3] & 0x7Fu);
}

bool IsSyncsafe(const std::uint8_t* p) {
    return ((p[0] | p[1] | p[2] | p[3]) & 0x80) == 0;
}

std::uint32_t BigEndian(const std::uint8_t* p, std::size_t bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i) value = value << 8 | p[i];
    return value;
}

// The bytes with unsynchronisation undone: each 0xFF 0x00 becomes 0xFF.
std::vector<std::uint8_t> Resynchronised(Bytes bytes) {
    std::vector<std::uint8_t> out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out.push_back(bytes[i]);
        if (bytes[i] == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0) ++i;
    }
    return out;
}

// The bytes of a tag after its header: read from the file as needed, or, for a tag
// unsynchronised as a whole, resynchronised in memory as far as the budget allows.
class TagBody {
  public:
    TagBody(FileReader& file, std::int64_t start, std::int64_t size)
        : file_(file), start_(start), size_(size) {}

    void Resynchronise() {
        const std::int64_t available = std::min({size_, file_.Size() - start_, file_.Spendable()});
        memory_ = Resynchronised(file_.Get(start_, static_cast<std::size_t>(available)));
        inMemory_ = true;
        partial_ = available < size_;
        size_ = static_cast<std::int64_t>(memory_.size());
    }

    std::int64_t Size() const { return size_; }
    bool Partial() const { return partial_; }

    // The `length` bytes at `offset` of the body; empty where they cannot be had.
    Bytes Get(std::int64_t offset, std::size_t length) {
        if (offset < 0 || offset > size_ || static_cast<std::int64_t>(length) > size_ - offset) {
            return {};
        }
        if (inMemory_) return Bytes(memory_).subspan(static_cast<std::size_t>(offset), length);
        return file_.Get(start_ + offset, length, kWindow);
    }

  private:
    FileReader& file_;
    std::int64_t start_;
    std::int64_t size_;
    std::vector<std::uint8_t> memory_;
    bool inMemory_ = false;
    bool partial_ = false;
};

// How the frames of one tag version are laid out.
struct FrameLayout {
    int version;  // 2, 3 or 4
    std::size_t idSize, headerSize;
};

bool IsFrameId(Bytes id) {
    return std::all_of(id.begin(), id.end(), [](std::uint8_t c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

// The field of ours that the frame `id` holds, if any.
std::optional<std::string>* FieldFor(TagText& text, const FrameLayout& layout, Bytes id) {
    static constexpr const char* kIds[][2] = {{"TP1", "TPE1"}, {"TAL", "TALB"}, {"TT2", "TIT2"},
                                              {"TCO", "TCON"}, {"TRK", "TRCK"}, {"TYE", "TYER"},
                                              {"TYE", "TDRC"}};
    std::optional<std::string>* fields[] = {&text.artist, &text.album, &text.title, &text.genre,
                                            &text.track,  &text.year,  &text.year};
    const int column = layout.version == 2 ? 0 : 1;
    for (std::size_t i = 0; i < std::size(kIds); ++i) {
        if (std::memcmp(id.data(), kIds[i][column], layout.idSize) == 0) return fields[i];
    }
    return nullptr;
}

class FrameReader {
  public:
    FrameReader(TagBody& body, FrameLayout layout, bool unsynchronised, Id3v2Tag& tag)
        : body_(body), layout_(layout), unsynchronised_(unsynchronised), tag_(tag) {}

    // Reads the frames from `offset` of the body up to the padding or the body's end.
    void ReadFrames(std::int64_t offset) {
        const auto headerSize = static_cast<std::int64_t>(layout_.headerSize);
        while (offset + headerSize <= body_.Size()) {
            const Bytes header = body_.Get(offset, layout_.headerSize);
            if (header.empty()) return Fail("its ID3v2 tag is too large to read whole");
            if (header[0] == 0) return;  // padding
            if (!IsFrameId(header.first(layout_.idSize))) {
                return Fail("its ID3v2 tag holds a frame that is not valid");
            }
            std::uint8_t copy[kHeaderSize] = {};
            std::memcpy(copy, header.data(), header.size());
            const std::int64_t size = FrameSize(copy, offset);
            if (size > body_.Size() - offset - headerSize) {
                if (body_.Partial()) return Fail("its ID3v2 tag is too large to read whole");
                return Fail("its ID3v2 tag holds a frame that runs past the tag's end");
            }
            ReadFrame(copy, offset + headerSize, size);
            offset += headerSize + size;
        }
    }

  private:
    void Fail(const char* problem) {
        if (tag_.problem.empty()) tag_.problem = problem;
    }

    // Whether a frame, the padding or the tag's end comes at `offset`.
    bool FrameFollows(std::int64_t offset) {
        if (offset == body_.Size()) return true;
        const Bytes header = body_.Get(offset, layout_.headerSize);
        return !header.empty() && (header[0] == 0 || IsFrameId(header.first(layout_.idSize)));
    }

    // The size of the frame whose header `header` is at `offset`. A 2.4 size that is not
    // syncsafe, or that leads nowhere while read as a plain number leads to a frame, means a
    // writer that got 2.4 wrong; its sizes are plain numbers from there on.
    std::int64_t FrameSize(const std::uint8_t* header, std::int64_t offset) {
        const std::uint8_t* size = header + layout_.idSize;
        const std::size_t sizeBytes = layout_.version == 2 ? 3 : 4;
        if (layout_.version != 4 || !syncsafeSizes_) return BigEndian(size, sizeBytes);
        const std::int64_t plain = BigEndian(size, 4), syncsafe = Syncsafe(size);
        const auto next = offset + static_cast<std::int64_t>(layout_.headerSize);
        if (!IsSyncsafe(size) ||
            (plain != syncsafe && !FrameFollows(next + syncsafe) && FrameFollows(next + plain))) {
            syncsafeSizes_ = false;
            return plain;
        }
        return syncsafe;
    }

    void ReadFrame(const std::uint8_t* header, std::int64_t offset, std::int64_t size) {
        auto* field = FieldFor(tag_.text, layout_, Bytes(header, layout_.idSize));
        if (field == nullptr || field->has_value()) return;
        std::size_t skip = 0;  // bytes before the text
        bool unsynchronised = unsynchronised_ && layout_.version == 4;
        if (layout_.version >= 3) {
            const std::uint8_t flags = header[9];
            const bool v3 = layout_.version == 3;
            if (v3 ? (flags & 0xC0) != 0 : (flags & 0x0C) != 0) return;  // compressed, encrypted
            if (flags & (v3 ? 0x20 : 0x40)) skip += 1;                   // group
            if (!v3 && (flags & 0x01)) skip += 4;                        // data length
            if (!v3 && (flags & 0x02)) unsynchronised = true;
        }
        const auto length = static_cast<std::size_t>(std::min<std::int64_t>(size, kLongestText));
        Bytes data = body_.Get(offset, length);
        if (data.size() <= skip) return;
        std::vector<std::uint8_t> resynchronised;
        data = data.subspan(skip);
        if (unsynchronised) {
            resynchronised = Resynchronised(data);
            data = resynchronised;
        }
        const auto text = DecodeId3Text(data[0], data.subspan(1));
        if (!text) return Fail("its ID3v2 tag holds text in an unknown encoding");
        if (text->repaired) Fail("its ID3v2 tag holds text that is not valid");
        *field = text->utf8;
    }

    TagBody& body_;
    FrameLayout layout_;
    bool unsynchronised_;
    Id3v2Tag& tag_;
    bool syncsafeSizes_ = true;
};

}  // namespace

Id3v2Tag ReadId3v2(FileReader& file) {
    Id3v2Tag tag;
    const Bytes header = file.Get(0, kHeaderSize, 2 * kWindow);  // most often the whole tag
    if (header.empty() || std::memcmp(header.data(), "ID3", 3) != 0) return tag;
    const int version = header[3];
    const std::uint8_t flags = header[5];
    if (!IsSyncsafe(header.data() + 6)) {
        tag.problem = "its ID3v2 tag is not valid";
        return tag;
    }
    const std::int64_t size = Syncsafe(header.data() + 6);
    tag.end =
        static_cast<std::int64_t>(kHeaderSize) + size + ((version == 4 && (flags & 0x10)) ? 10 : 0);
    if (tag.end > file.Size()) tag.problem = "its ID3v2 tag is cut short";
    if (version < 2 || version > 4) {
        if (tag.problem.empty()) tag.problem = "its ID3v2 tag is of an unknown version";
        return tag;
    }
    if (version == 2 && (flags & 0x40)) {
        if (tag.problem.empty()) tag.problem = "its ID3v2.2 tag is compressed";
        return tag;
    }
    TagBody body(file, kHeaderSize, size);
    const bool unsynchronised = (flags & 0x80) != 0;
    if (unsynchronised && version < 4) body.Resynchronise();
    std::int64_t first = 0;  // the first frame, after an extended header
    if (version >= 3 && (flags & 0x40)) {
        const Bytes extended = body.Get(0, 4);
        if (extended.empty()) return tag;
        first = version == 3 ? 4 + static_cast<std::int64_t>(BigEndian(extended.data(), 4))
                             : Syncsafe(extended.data());
    }
    const FrameLayout layout{version, version == 2 ? 3u : 4u, version == 2 ? 6u : 10u};
    FrameReader(body, layout, unsynchronised, tag).ReadFrames(first);
    return tag;
}

}  // namespace doze::audio
