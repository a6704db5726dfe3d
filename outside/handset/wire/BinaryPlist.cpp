// The binary property list reader ("bplist00"), bounded against hostile input.
#include <cstring>

#include "outside/handset/wire/Plist.h"

namespace handset::wire {

namespace {

class BinaryReader {
public:
    BinaryReader(const unsigned char* data, size_t size) : data_(data), size_(size) {}

    bool Read(Plist* out) {
        if (size_ < 8 + 32 || std::memcmp(data_, "bplist00", 8) != 0) return false;
        const unsigned char* trailer = data_ + size_ - 32;
        offsetSize_ = trailer[6];
        refSize_ = trailer[7];
        const std::uint64_t count = BigEndian(trailer + 8, 8);
        const std::uint64_t top = BigEndian(trailer + 16, 8);
        const std::uint64_t table = BigEndian(trailer + 24, 8);
        if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8) return false;
        objectsEnd_ = size_ - 32;
        if (count == 0 || top >= count || table < 8 || table > objectsEnd_) return false;
        if (count > (objectsEnd_ - table) / offsetSize_) return false;
        table_ = table;
        count_ = count;
        // Shared objects may be referenced many times; the work budget keeps a
        // small answer from expanding into a huge tree.
        budget_ = size_ * 8 + 4096;
        return Object(top, 0, out);
    }

private:
    static std::uint64_t BigEndian(const unsigned char* p, size_t n) {
        std::uint64_t v = 0;
        for (size_t i = 0; i < n; ++i) v = (v << 8) | p[i];
        return v;
    }
    bool Spend(std::uint64_t units) {
        if (units > budget_) return false;
        budget_ -= units;
        return true;
    }
    bool Offset(std::uint64_t index, std::uint64_t* offset) const {
        if (index >= count_) return false;
        *offset = BigEndian(data_ + table_ + index * offsetSize_, offsetSize_);
        return *offset >= 8 && *offset < table_;
    }
    // The length in a marker's low nibble, or in the integer that follows it.
    bool Length(std::uint64_t* pos, unsigned char marker, std::uint64_t* length) const {
        const unsigned low = marker & 0x0F;
        if (low != 0x0F) {
            *length = low;
            return true;
        }
        if (*pos >= table_) return false;
        const unsigned char intMarker = data_[(*pos)++];
        if ((intMarker & 0xF0) != 0x10 || (intMarker & 0x0F) > 3) return false;
        const size_t n = size_t(1) << (intMarker & 0x0F);
        if (table_ - *pos < n) return false;
        *length = BigEndian(data_ + *pos, n);
        *pos += n;
        return true;
    }
    bool Object(std::uint64_t index, int depth, Plist* out) {
        if (depth > kMaxPlistDepth || !Spend(1)) return false;
        std::uint64_t pos = 0;
        if (!Offset(index, &pos)) return false;
        const unsigned char marker = data_[pos++];
        const unsigned high = marker >> 4;
        *out = Plist();
        switch (high) {
            case 0x0:
                if (marker == 0x08 || marker == 0x09) {
                    out->type = Plist::Type::Bool;
                    out->boolean = marker == 0x09;
                    return true;
                }
                return marker == 0x00;
            case 0x1: {
                const size_t n = size_t(1) << (marker & 0x0F);
                if (n > 16 || table_ - pos < n) return false;
                // 16-byte integers carry an unsigned 64-bit value in their low half.
                const std::uint64_t v = BigEndian(data_ + pos + (n == 16 ? 8 : 0), n == 16 ? 8 : n);
                if (n == 16 && v > static_cast<std::uint64_t>(INT64_MAX)) return false;
                out->type = Plist::Type::Integer;
                out->integer = static_cast<std::int64_t>(v);
                return true;
            }
            case 0x2:
            case 0x3: {
                const size_t n = high == 0x3 ? 8 : size_t(1) << (marker & 0x0F);
                if ((n != 4 && n != 8) || table_ - pos < n) return false;
                const std::uint64_t bits = BigEndian(data_ + pos, n);
                if (n == 4) {
                    float f;
                    const std::uint32_t b32 = static_cast<std::uint32_t>(bits);
                    std::memcpy(&f, &b32, 4);
                    out->real = f;
                } else {
                    std::memcpy(&out->real, &bits, 8);
                }
                out->type = high == 0x3 ? Plist::Type::Date : Plist::Type::Real;
                return true;
            }
            case 0x4:
            case 0x5:
            case 0x6: {
                std::uint64_t length = 0;
                if (!Length(&pos, marker, &length)) return false;
                const std::uint64_t unit = high == 0x6 ? 2 : 1;
                if (length > (table_ - pos) / unit || !Spend(length * unit)) return false;
                const char* bytes = reinterpret_cast<const char*>(data_ + pos);
                if (high != 0x6) {
                    out->text.assign(bytes, static_cast<size_t>(length));
                    out->type = high == 0x4 ? Plist::Type::Data : Plist::Type::String;
                    return true;
                }
                out->type = Plist::Type::String;
                return Utf16ToUtf8(data_ + pos, static_cast<size_t>(length), &out->text);
            }
            case 0x8: {  // a UID, as keyed archives use; read as its integer
                const size_t n = (marker & 0x0F) + 1;
                if (n > 8 || table_ - pos < n) return false;
                out->type = Plist::Type::Integer;
                out->integer = static_cast<std::int64_t>(BigEndian(data_ + pos, n));
                return true;
            }
            case 0xA:
            case 0xD: {
                std::uint64_t length = 0;
                if (!Length(&pos, marker, &length)) return false;
                const bool dict = high == 0xD;
                const std::uint64_t refs = dict ? 2 : 1;
                if (length > count_ || length * refs > (table_ - pos) / refSize_) return false;
                if (!Spend(length * refs)) return false;
                out->type = dict ? Plist::Type::Dict : Plist::Type::Array;
                out->items.resize(static_cast<size_t>(length));
                if (dict) out->keys.resize(static_cast<size_t>(length));
                for (std::uint64_t i = 0; i < length; ++i) {
                    const std::uint64_t valueRef =
                        BigEndian(data_ + pos + (dict ? length + i : i) * refSize_, refSize_);
                    if (dict) {
                        Plist key;
                        const std::uint64_t keyRef = BigEndian(data_ + pos + i * refSize_, refSize_);
                        if (!Object(keyRef, depth + 1, &key) || key.type != Plist::Type::String) return false;
                        out->keys[i] = std::move(key.text);
                    }
                    if (!Object(valueRef, depth + 1, &out->items[i])) return false;
                }
                return true;
            }
            default:
                return false;
        }
    }
    static bool Utf16ToUtf8(const unsigned char* p, size_t units, std::string* out) {
        out->clear();
        for (size_t i = 0; i < units; ++i) {
            unsigned long cp = (p[2 * i] << 8) | p[2 * i + 1];
            if (cp >= 0xD800 && cp < 0xDC00) {
                if (i + 1 >= units) return false;
                const unsigned long low = (p[2 * i + 2] << 8) | p[2 * i + 3];
                if (low < 0xDC00 || low >= 0xE000) return false;
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            } else if (cp >= 0xDC00 && cp < 0xE000) {
                return false;
            }
            AppendUtf8(out, cp);
        }
        return true;
    }

    const unsigned char* data_;
    size_t size_;
    size_t offsetSize_ = 0;
    size_t refSize_ = 0;
    std::uint64_t objectsEnd_ = 0;
    std::uint64_t table_ = 0;
    std::uint64_t count_ = 0;
    std::uint64_t budget_ = 0;
};

}  // namespace

bool ParseBinaryPlist(const char* data, size_t size, Plist* out) {
    *out = Plist();
    if (!data) return false;
    Plist value;
    BinaryReader reader(reinterpret_cast<const unsigned char*>(data), size);
    if (!reader.Read(&value)) return false;
    *out = std::move(value);
    return true;
}

}  // namespace handset::wire
