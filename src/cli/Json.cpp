#include "cli/Json.h"

#include <cstdio>

namespace animora::cli {

namespace {

class JsonText : public JsonValue {
public:
    explicit JsonText(std::string text) : JsonValue(Raw{std::move(text)}) {}
};

std::string Join(const std::vector<std::string>& parts, char open, char close)
{
    std::string text(1, open);
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            text += ", ";
        text += parts[i];
    }
    text += close;
    return text;
}

} // namespace

std::string JsonEscapeText(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            escaped += '\\';
            escaped += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", byte);
            escaped += code;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

JsonArray JsonArray::Of(const std::vector<std::string>& texts)
{
    JsonArray array;
    for (const std::string& text : texts)
        array.Add(JsonValue(text));
    return array;
}

JsonArray::operator JsonValue() const
{
    return JsonText(Join(items_, '[', ']'));
}

void JsonObject::Add(const std::string& key, const JsonValue& value)
{
    members_.push_back(std::string(1, '"').append(JsonEscapeText(key)).append("\": ").append(value.Text()));
}

JsonObject::operator JsonValue() const
{
    return JsonText(Join(members_, '{', '}'));
}

} // namespace animora::cli
