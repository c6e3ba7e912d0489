#include "cos/object_names.h"

namespace host {

std::optional<std::string> nameText(QPDFObjectHandle object) {
    if (!object.isName()) return std::nullopt;
    return object.getName().substr(1);
}

std::string objectReference(QPDFObjectHandle object) {
    return std::to_string(object.getObjectID()) + " " + std::to_string(object.getGeneration()) + " R";
}

std::optional<std::string> fontSubtype(QPDFObjectHandle font) { return nameText(font.getKey("/Subtype")); }

std::string fontName(QPDFObjectHandle font) {
    if (auto baseFont = nameText(font.getKey("/BaseFont"))) return *baseFont;
    const std::string type = fontSubtype(font).value_or("Untyped");
    return type + " font " + (font.isIndirect() ? objectReference(font) : "(direct)");
}

std::string fontNameAndObject(QPDFObjectHandle font) {
    if (!font.isIndirect() || !nameText(font.getKey("/BaseFont"))) return fontName(font);
    return fontName(font) + " (" + objectReference(font) + ")";
}

}  // namespace host
