// Property list values, the XML reader and writer, and Base64.
#include "outside/handset/wire/Plist.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace handset::wire {

namespace {

const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A small recursive-descent reader over the element subset property lists use.
class XmlReader {
public:
    XmlReader(const char* data, size_t size) : p_(data), end_(data + size) {}

    bool Document(Plist* out) {
        SkipMisc();
        std::string name;
        bool empty = false;
        if (!OpenTag(&name, &empty)) return false;
        if (name == "plist") {
            if (empty) return false;
            SkipMisc();
            if (!Value(out, 0)) return false;
            SkipMisc();
            if (!CloseTag("plist")) return false;
        } else {
            // Some services answer with a bare value.
            if (!ValueOf(name, empty, out, 0)) return false;
        }
        SkipMisc();
        return p_ == end_;
    }

private:
    bool StartsWith(const char* s) const {
        size_t n = std::strlen(s);
        return static_cast<size_t>(end_ - p_) >= n && std::memcmp(p_, s, n) == 0;
    }
    bool SkipPast(const char* s) {
        size_t n = std::strlen(s);
        while (static_cast<size_t>(end_ - p_) >= n) {
            if (std::memcmp(p_, s, n) == 0) {
                p_ += n;
                return true;
            }
            ++p_;
        }
        p_ = end_;
        return false;
    }
    void SkipSpace() {
        while (p_ < end_ && IsSpace(*p_)) ++p_;
    }
    // Whitespace, the XML declaration, DOCTYPE and comments.
    void SkipMisc() {
        for (;;) {
            SkipSpace();
            if (StartsWith("<?")) {
                if (!SkipPast("?>")) return;
            } else if (StartsWith("<!--")) {
                if (!SkipPast("-->")) return;
            } else if (StartsWith("<!")) {
                if (!SkipPast(">")) return;
            } else {
                return;
            }
        }
    }
    // "<name attr...>" or "<name/>"; attributes are skipped.
    bool OpenTag(std::string* name, bool* empty) {
        if (p_ >= end_ || *p_ != '<') return false;
        ++p_;
        const char* start = p_;
        while (p_ < end_ && !IsSpace(*p_) && *p_ != '>' && *p_ != '/') ++p_;
        if (p_ == start || p_ >= end_) return false;
        name->assign(start, p_);
        while (p_ < end_ && *p_ != '>') {
            if (*p_ == '"' || *p_ == '\'') {
                const char quote = *p_++;
                while (p_ < end_ && *p_ != quote) ++p_;
                if (p_ >= end_) return false;
            }
            ++p_;
        }
        if (p_ >= end_) return false;
        *empty = p_[-1] == '/';
        ++p_;
        return true;
    }
    bool CloseTag(const char* name) {
        SkipSpace();
        if (!StartsWith("</")) return false;
        p_ += 2;
        size_t n = std::strlen(name);
        if (static_cast<size_t>(end_ - p_) < n || std::memcmp(p_, name, n) != 0) return false;
        p_ += n;
        SkipSpace();
        if (p_ >= end_ || *p_ != '>') return false;
        ++p_;
        return true;
    }
    // Character data up to the next "<", with entities resolved.
    bool Text(std::string* out) {
        out->clear();
        while (p_ < end_ && *p_ != '<') {
            if (*p_ != '&') {
                out->push_back(*p_++);
                continue;
            }
            const char* semi = static_cast<const char*>(std::memchr(p_, ';', std::min<size_t>(end_ - p_, 12)));
            if (!semi) return false;
            std::string entity(p_ + 1, semi);
            p_ = semi + 1;
            if (entity == "amp")
                out->push_back('&');
            else if (entity == "lt")
                out->push_back('<');
            else if (entity == "gt")
                out->push_back('>');
            else if (entity == "quot")
                out->push_back('"');
            else if (entity == "apos")
                out->push_back('\'');
            else if (entity.size() > 1 && entity[0] == '#') {
                const bool hex = entity[1] == 'x' || entity[1] == 'X';
                const std::string digits = entity.substr(hex ? 2 : 1);
                if (digits.empty() || digits.size() > 8) return false;
                char* stop = nullptr;
                unsigned long cp = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
                if (*stop || cp == 0 || cp > 0x10FFFF) return false;
                AppendUtf8(out, cp);
            } else {
                return false;
            }
        }
        return p_ < end_;
    }
    bool Value(Plist* out, int depth) {
        std::string name;
        bool empty = false;
        if (!OpenTag(&name, &empty)) return false;
        return ValueOf(name, empty, out, depth);
    }
    bool ValueOf(const std::string& name, bool empty, Plist* out, int depth) {
        if (depth > kMaxPlistDepth) return false;
        *out = Plist();
        if (name == "true" || name == "false") {
            out->type = Plist::Type::Bool;
            out->boolean = name == "true";
            return empty || CloseTag(name.c_str());
        }
        if (name == "dict" || name == "array") {
            const bool dict = name == "dict";
            out->type = dict ? Plist::Type::Dict : Plist::Type::Array;
            if (empty) return true;
            for (;;) {
                SkipMisc();
                if (StartsWith("</")) return CloseTag(name.c_str());
                if (dict) {
                    std::string keyTag, key;
                    bool keyEmpty = false;
                    if (!OpenTag(&keyTag, &keyEmpty) || keyTag != "key") return false;
                    if (!keyEmpty && (!Text(&key) || !CloseTag("key"))) return false;
                    SkipMisc();
                    out->keys.push_back(std::move(key));
                }
                out->items.emplace_back();
                if (!Value(&out->items.back(), depth + 1)) return false;
            }
        }
        std::string text;
        if (!empty && (!Text(&text) || !CloseTag(name.c_str()))) return false;
        if (name == "string") {
            out->type = Plist::Type::String;
            out->text = std::move(text);
            return true;
        }
        if (name == "data") {
            out->type = Plist::Type::Data;
            return Base64Decode(text.data(), text.size(), &out->text);
        }
        size_t start = 0;
        while (start < text.size() && IsSpace(text[start])) ++start;
        while (!text.empty() && IsSpace(text.back())) text.pop_back();
        text = text.substr(std::min(start, text.size()));
        if (name == "integer") {
            if (text.empty() || text.size() > 24) return false;
            errno = 0;
            char* stop = nullptr;
            long long v = std::strtoll(text.c_str(), &stop, 10);
            if (*stop || errno == ERANGE) return false;
            out->type = Plist::Type::Integer;
            out->integer = v;
            return true;
        }
        if (name == "real") {
            if (text.empty() || text.size() > 64) return false;
            char* stop = nullptr;
            out->real = std::strtod(text.c_str(), &stop);
            if (*stop) return false;
            out->type = Plist::Type::Real;
            return true;
        }
        if (name == "date") {
            out->type = Plist::Type::Date;  // kept as text is not needed by any caller
            return true;
        }
        return false;
    }

    const char* p_;
    const char* end_;
};

void Escape(const std::string& text, std::string* out) {
    for (char c : text) {
        switch (c) {
            case '&':
                *out += "&amp;";
                break;
            case '<':
                *out += "&lt;";
                break;
            case '>':
                *out += "&gt;";
                break;
            default:
                out->push_back(c);
        }
    }
}

void Write(const Plist& v, int indent, std::string* out) {
    const std::string pad(indent, '\t');
    *out += pad;
    switch (v.type) {
        case Plist::Type::Bool:
            *out += v.boolean ? "<true/>\n" : "<false/>\n";
            return;
        case Plist::Type::Integer:
            *out += "<integer>" + std::to_string(v.integer) + "</integer>\n";
            return;
        case Plist::Type::Real:
            *out += "<real>" + std::to_string(v.real) + "</real>\n";
            return;
        case Plist::Type::String:
            *out += "<string>";
            Escape(v.text, out);
            *out += "</string>\n";
            return;
        case Plist::Type::Data:
            *out += "<data>" + Base64Encode(v.text) + "</data>\n";
            return;
        case Plist::Type::Array:
        case Plist::Type::Dict: {
            const bool dict = v.type == Plist::Type::Dict;
            if (v.items.empty()) {
                *out += dict ? "<dict/>\n" : "<array/>\n";
                return;
            }
            *out += dict ? "<dict>\n" : "<array>\n";
            for (size_t i = 0; i < v.items.size(); ++i) {
                if (dict) {
                    *out += pad + "\t<key>";
                    Escape(v.keys[i], out);
                    *out += "</key>\n";
                }
                Write(v.items[i], indent + 1, out);
            }
            *out += pad + (dict ? "</dict>\n" : "</array>\n");
            return;
        }
        default:
            *out += "<string></string>\n";
    }
}

}  // namespace

void AppendUtf8(std::string* out, unsigned long cp) {
    if (cp < 0x80) {
        out->push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

Plist Plist::String(std::string s) {
    Plist v;
    v.type = Type::String;
    v.text = std::move(s);
    return v;
}
Plist Plist::Integer(std::int64_t i) {
    Plist v;
    v.type = Type::Integer;
    v.integer = i;
    return v;
}
Plist Plist::Bool(bool b) {
    Plist v;
    v.type = Type::Bool;
    v.boolean = b;
    return v;
}
Plist Plist::Data(std::string bytes) {
    Plist v;
    v.type = Type::Data;
    v.text = std::move(bytes);
    return v;
}
Plist Plist::Dict() {
    Plist v;
    v.type = Type::Dict;
    return v;
}
Plist Plist::Array() {
    Plist v;
    v.type = Type::Array;
    return v;
}

Plist& Plist::Set(const std::string& key, Plist value) {
    for (size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] == key) {
            items[i] = std::move(value);
            return *this;
        }
    }
    keys.push_back(key);
    items.push_back(std::move(value));
    return *this;
}

const Plist* Plist::Find(const std::string& key) const {
    if (type != Type::Dict) return nullptr;
    for (size_t i = 0; i < keys.size() && i < items.size(); ++i)
        if (keys[i] == key) return &items[i];
    return nullptr;
}

bool Plist::GetString(const std::string& key, std::string* out) const {
    const Plist* v = Find(key);
    if (!v || v->type != Type::String) return false;
    *out = v->text;
    return true;
}

bool Plist::GetInteger(const std::string& key, std::int64_t* out) const {
    const Plist* v = Find(key);
    if (!v || v->type != Type::Integer) return false;
    *out = v->integer;
    return true;
}

bool Plist::GetBool(const std::string& key, bool* out) const {
    const Plist* v = Find(key);
    if (!v || v->type != Type::Bool) return false;
    *out = v->boolean;
    return true;
}

bool ParsePlist(const char* data, size_t size, Plist* out) {
    if (size >= 8 && std::memcmp(data, "bplist00", 8) == 0) return ParseBinaryPlist(data, size, out);
    return ParseXmlPlist(data, size, out);
}

bool ParseXmlPlist(const char* data, size_t size, Plist* out) {
    *out = Plist();
    if (!data) return false;
    XmlReader reader(data, size);
    Plist value;
    if (!reader.Document(&value)) return false;
    *out = std::move(value);
    return true;
}

std::string WriteXmlPlist(const Plist& value) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n";
    Write(value, 0, &out);
    out += "</plist>\n";
    return out;
}

std::string Base64Encode(const std::string& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                     static_cast<unsigned char>(bytes[i + 2]);
        out += kBase64[v >> 18];
        out += kBase64[(v >> 12) & 63];
        out += kBase64[(v >> 6) & 63];
        out += kBase64[v & 63];
    }
    if (i < bytes.size()) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kBase64[v >> 18];
        out += kBase64[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? kBase64[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

bool Base64Decode(const char* text, size_t size, std::string* bytes) {
    bytes->clear();
    unsigned acc = 0;
    int bits = 0;
    bool padding = false;
    for (size_t i = 0; i < size; ++i) {
        const char c = text[i];
        if (IsSpace(c)) continue;
        if (c == '=') {
            padding = true;
            continue;
        }
        const int v = Base64Value(c);
        if (v < 0 || padding) return false;
        acc = (acc << 6) | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes->push_back(static_cast<char>((acc >> bits) & 0xFF));
        }
    }
    return true;
}

}  // namespace handset::wire
