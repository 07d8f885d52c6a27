#include "json_value.h"

#include "host_text.h"

#include <cstdlib>
#include <stdexcept>

namespace testsupport {

class JsonParser {
public:
    explicit JsonParser(const std::string& text) : text_(text) {}

    JsonValue parseDocument() {
        JsonValue value = parseValue(0);
        skipSpace();
        if (pos_ != text_.size())
            fail("trailing characters");
        return value;
    }

private:
    static constexpr int kMaxDepth = 200;

    [[noreturn]] void fail(const char* what) const {
        throw std::runtime_error(std::string("JSON: ") + what + " at offset " +
                                 std::to_string(pos_));
    }

    void skipSpace() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                       text_[pos_] == '\n' || text_[pos_] == '\r'))
            ++pos_;
    }

    bool consume(const char* word) {
        const std::string w(word);
        if (text_.compare(pos_, w.size(), w) != 0)
            return false;
        pos_ += w.size();
        return true;
    }

    void expect(char c) {
        skipSpace();
        if (pos_ >= text_.size() || text_[pos_] != c)
            fail("unexpected character");
        ++pos_;
    }

    JsonValue parseValue(int depth) {
        if (depth > kMaxDepth)
            fail("nesting too deep");
        skipSpace();
        if (pos_ >= text_.size())
            fail("unexpected end");
        JsonValue value;
        const char c = text_[pos_];
        if (c == '{') {
            value.type_ = JsonValue::Type::Object;
            ++pos_;
            skipSpace();
            if (pos_ < text_.size() && text_[pos_] == '}') {
                ++pos_;
                return value;
            }
            for (;;) {
                skipSpace();
                value.keys_.push_back(parseString());
                expect(':');
                value.items_.push_back(parseValue(depth + 1));
                skipSpace();
                if (pos_ < text_.size() && text_[pos_] == ',') {
                    ++pos_;
                    continue;
                }
                expect('}');
                return value;
            }
        }
        if (c == '[') {
            value.type_ = JsonValue::Type::Array;
            ++pos_;
            skipSpace();
            if (pos_ < text_.size() && text_[pos_] == ']') {
                ++pos_;
                return value;
            }
            for (;;) {
                value.items_.push_back(parseValue(depth + 1));
                skipSpace();
                if (pos_ < text_.size() && text_[pos_] == ',') {
                    ++pos_;
                    continue;
                }
                expect(']');
                return value;
            }
        }
        if (c == '"') {
            value.type_ = JsonValue::Type::String;
            value.string_ = parseString();
            return value;
        }
        if (consume("true")) {
            value.type_ = JsonValue::Type::Bool;
            value.bool_ = true;
            return value;
        }
        if (consume("false")) {
            value.type_ = JsonValue::Type::Bool;
            return value;
        }
        if (consume("null"))
            return value;
        const char* start = text_.c_str() + pos_;
        char* end = nullptr;
        value.number_ = std::strtod(start, &end);
        if (end == start)
            fail("unexpected character");
        value.type_ = JsonValue::Type::Number;
        pos_ += size_t(end - start);
        return value;
    }

    unsigned parseHex4() {
        if (pos_ + 4 > text_.size())
            fail("short \\u escape");
        unsigned v = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = text_[pos_++];
            v <<= 4;
            if (h >= '0' && h <= '9')
                v |= unsigned(h - '0');
            else if (h >= 'a' && h <= 'f')
                v |= unsigned(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
                v |= unsigned(h - 'A' + 10);
            else
                fail("bad \\u escape");
        }
        return v;
    }

    std::string parseString() {
        if (pos_ >= text_.size() || text_[pos_] != '"')
            fail("string expected");
        ++pos_;
        std::string out;
        for (;;) {
            if (pos_ >= text_.size())
                fail("unterminated string");
            const char c = text_[pos_++];
            if (c == '"')
                return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size())
                fail("unterminated string");
            const char e = text_[pos_++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                std::u16string units(1, char16_t(parseHex4()));
                if (units[0] >= 0xD800 && units[0] < 0xDC00 && text_.compare(pos_, 2, "\\u") == 0) {
                    const size_t save = pos_;
                    pos_ += 2;
                    const unsigned low = parseHex4();
                    if (low >= 0xDC00 && low < 0xE000)
                        units += char16_t(low);
                    else
                        pos_ = save;
                }
                // A lone surrogate cannot be UTF-8; it becomes U+FFFD.
                if (units.size() == 1 && units[0] >= 0xD800 && units[0] < 0xE000)
                    units[0] = 0xFFFD;
                out += larkhost::Utf8(units);
                break;
            }
            default:
                fail("bad escape");
            }
        }
    }

    const std::string& text_;
    size_t pos_ = 0;
};

JsonValue JsonValue::Parse(const std::string& text) {
    return JsonParser(text).parseDocument();
}

const JsonValue& JsonValue::operator[](size_t index) const {
    static const JsonValue none;
    return index < items_.size() ? items_[index] : none;
}

bool JsonValue::has(const std::string& key) const {
    for (const std::string& k : keys_)
        if (k == key)
            return true;
    return false;
}

const JsonValue& JsonValue::operator[](const std::string& key) const {
    static const JsonValue none;
    for (size_t i = 0; i < keys_.size(); ++i)
        if (keys_[i] == key)
            return items_[i];
    return none;
}

} // namespace testsupport
