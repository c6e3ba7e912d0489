// How messages name PDF objects: by their reference, and a font by its
// /BaseFont. The Cos layer names the font whose ToUnicode map it hands out;
// the model names fonts in its warnings and facts.
#pragma once

#include <optional>
#include <string>

#include <qpdf/QPDFObjectHandle.hh>

namespace host {

// A name object's text without the slash; none for anything else.
std::optional<std::string> nameText(QPDFObjectHandle object);

// "12 0 R".
std::string objectReference(QPDFObjectHandle object);

// /Subtype without its slash, or none when it is missing or not a name.
std::optional<std::string> fontSubtype(QPDFObjectHandle font);

// The font's name: /BaseFont as written, #xx escapes decoded. A font
// without one gets a name made from its type and object number, such as
// "Type3 font 12 0 R", or "Type3 font (direct)" for a dictionary written
// inline, which has no number; a font without a type says "Untyped font".
std::string fontName(QPDFObjectHandle font);
// The font's name with its object, for messages: "CMEX10 (12 0 R)". A name
// made from the object already holds it and comes alone.
std::string fontNameAndObject(QPDFObjectHandle font);

}  // namespace host
