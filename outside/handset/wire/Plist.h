// Property lists as the handset's services speak them: XML read and write, binary read.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace handset::wire {

// One value of a property list. Text is UTF-8, as on the wire.
struct Plist {
    enum class Type { None, Bool, Integer, Real, String, Data, Date, Array, Dict };

    Type type = Type::None;
    bool boolean = false;
    std::int64_t integer = 0;       // unsigned values above INT64_MAX are refused by the readers
    double real = 0;                // also a date: seconds since 2001-01-01
    std::string text;               // a string, or the bytes of data
    std::vector<Plist> items;       // an array's values, a dict's values
    std::vector<std::string> keys;  // a dict's keys, parallel to `items`

    static Plist String(std::string s);
    static Plist Integer(std::int64_t v);
    static Plist Bool(bool v);
    static Plist Data(std::string bytes);
    static Plist Dict();
    static Plist Array();

    // For dicts: adds or replaces a key; returns *this for chaining.
    Plist& Set(const std::string& key, Plist value);
    // For dicts: the value of a key, or null.
    const Plist* Find(const std::string& key) const;
    // Convenience look-ups that check the type; false when missing or of another type.
    bool GetString(const std::string& key, std::string* out) const;
    bool GetInteger(const std::string& key, std::int64_t* out) const;
    bool GetBool(const std::string& key, bool* out) const;
};

// Upper bounds for anything read from the wire.
constexpr int kMaxPlistDepth = 32;

// Reads an XML or binary property list (by its first bytes). False, with `out`
// left empty, for anything malformed, truncated or too deep. Nothing larger
// than a small multiple of `size` is ever allocated.
bool ParsePlist(const char* data, size_t size, Plist* out);
bool ParseXmlPlist(const char* data, size_t size, Plist* out);
bool ParseBinaryPlist(const char* data, size_t size, Plist* out);

// Writes a complete XML document (with the usual header and DOCTYPE).
std::string WriteXmlPlist(const Plist& value);

// Appends a code point in UTF-8.
void AppendUtf8(std::string* out, unsigned long codePoint);

// Base64 without line breaks; decoding skips whitespace and fails on anything else.
std::string Base64Encode(const std::string& bytes);
bool Base64Decode(const char* text, size_t size, std::string* bytes);

}  // namespace handset::wire
