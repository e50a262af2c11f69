#include "controls/icon_store.h"

#include <limits>

#include "base/error.h"
#include "base/little_endian.h"
#include "base/text.h"

namespace tarvik {

namespace {

class StoreReader {
public:
    StoreReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t Remaining() const { return size_ - position_; }

    std::int32_t ReadInt32(const char* what) {
        if (Remaining() < 4) {
            throw Error(FormatPattern("Stored icon list is truncated: %s is missing", what));
        }
        const std::uint8_t* p = data_ + position_;
        position_ += 4;
        return static_cast<std::int32_t>(ReadLE32(p));
    }

    Bytes ReadBytes(std::size_t count) {
        Bytes bytes(data_ + position_, data_ + position_ + count);
        position_ += count;
        return bytes;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

void WriteInt32(Bytes& out, std::int32_t value) { AppendLE32(out, static_cast<std::uint32_t>(value)); }

}  // namespace

std::vector<StoredIcon> DecodeIconStore(const std::uint8_t* data, std::size_t size) {
    StoreReader reader(data, size);
    const std::int32_t count = reader.ReadInt32("the entry count");
    if (count < 0) {
        throw Error(FormatPattern("Stored icon list has a negative entry count (%s)", IntToText(count)));
    }
    // Every entry takes at least its 4-byte size, so a count the remaining
    // bytes cannot hold is refused before anything is reserved for it.
    if (static_cast<std::size_t>(count) > reader.Remaining() / 4) {
        throw Error(FormatPattern("Stored icon list is truncated: %s entries do not fit", IntToText(count)));
    }
    std::vector<StoredIcon> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t entrySize = reader.ReadInt32("an entry size");
        if (entrySize <= 0) {
            entries.emplace_back(std::nullopt);
            continue;
        }
        if (static_cast<std::size_t>(entrySize) > reader.Remaining()) {
            throw Error(FormatPattern("Stored icon list is truncated: entry %s ends past the data",
                                      IntToText(i + 1)));
        }
        entries.emplace_back(reader.ReadBytes(static_cast<std::size_t>(entrySize)));
    }
    if (reader.Remaining() != 0) {
        throw Error("Stored icon list has bytes after its last entry");
    }
    return entries;
}

std::vector<StoredIcon> DecodeIconStore(const Bytes& data) {
    return DecodeIconStore(data.data(), data.size());
}

Bytes EncodeIconStore(const std::vector<StoredIcon>& entries) {
    if (entries.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw Error("Icon list is too long to store");
    }
    Bytes out;
    WriteInt32(out, static_cast<std::int32_t>(entries.size()));
    for (const StoredIcon& entry : entries) {
        if (!entry || entry->empty()) {
            WriteInt32(out, 0);
            continue;
        }
        if (entry->size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
            throw Error("Icon image is too large to store");
        }
        WriteInt32(out, static_cast<std::int32_t>(entry->size()));
        out.insert(out.end(), entry->begin(), entry->end());
    }
    return out;
}

}  // namespace tarvik
