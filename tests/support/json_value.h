// A small JSON reader for what the test peers and helper scripts write: objects, arrays,
// strings (\u escapes and surrogate pairs become UTF-8), numbers, true, false, null.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

class JsonValue {
public:
    enum class Type { Null, Bool, Number, String, Array, Object };

    // Throws std::runtime_error on malformed text or trailing garbage.
    static JsonValue Parse(const std::string& text);

    Type type() const { return type_; }
    bool isNull() const { return type_ == Type::Null; }
    bool boolean() const { return type_ == Type::Bool && bool_; }
    double number() const { return type_ == Type::Number ? number_ : 0; }
    // The string's UTF-8 text; empty for anything that is not a string (null included).
    const std::string& str() const { return string_; }

    // Elements of an array, or values of an object in their order.
    const std::vector<JsonValue>& items() const { return items_; }
    size_t size() const { return items_.size(); }
    const JsonValue& operator[](size_t index) const;
    // Keys of an object, parallel to items().
    const std::vector<std::string>& keys() const { return keys_; }
    bool has(const std::string& key) const;
    // The member's value; a null value when absent or when this is not an object.
    const JsonValue& operator[](const std::string& key) const;

private:
    friend class JsonParser;
    Type type_ = Type::Null;
    bool bool_ = false;
    double number_ = 0;
    std::string string_;
    std::vector<std::string> keys_;
    std::vector<JsonValue> items_;
};

} // namespace testsupport
