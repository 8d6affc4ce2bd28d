#pragma once
// Just enough JSON writing for the commands' machine-readable output: values
// are rendered to text as they are built.
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

namespace animora::cli {

// Text as a JSON string body: quotes, backslashes and control characters
// escaped; bytes above 0x7F are taken as Latin-1 and written as \u00XX, so
// that any bytes of a file give valid JSON.
std::string JsonEscapeText(const std::string& text);

class JsonValue {
public:
    static JsonValue Null() { return JsonValue(Raw{"null"}); }
    JsonValue(bool value) : text_(value ? "true" : "false") {}
    template <typename T, typename = std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>>>
    JsonValue(T value) : text_(std::to_string(static_cast<int64_t>(value)))
    {
    }
    JsonValue(const std::string& value) : text_(std::string(1, '"').append(JsonEscapeText(value)).append(1, '"')) {}
    JsonValue(const char* value) : JsonValue(std::string(value)) {}

    const std::string& Text() const { return text_; }

protected:
    struct Raw {
        std::string text;
    };
    explicit JsonValue(Raw raw) : text_(std::move(raw.text)) {}

private:
    std::string text_;
};

class JsonArray {
public:
    void Add(const JsonValue& value) { items_.push_back(value.Text()); }
    static JsonArray Of(const std::vector<std::string>& texts);
    operator JsonValue() const;

private:
    std::vector<std::string> items_;
};

class JsonObject {
public:
    void Add(const std::string& key, const JsonValue& value);
    void Add(const std::string& key, const JsonArray& value) { Add(key, JsonValue(value)); }
    operator JsonValue() const;

private:
    std::vector<std::string> members_;
};

} // namespace animora::cli
