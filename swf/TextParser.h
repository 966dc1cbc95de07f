// Reading fonts (DefineFont 1 to 3, DefineFontInfo), static texts and edit text fields.
#pragma once

#include "swf/Characters.h"
#include "swf/Reader.h"
#include "swf/ShapeParser.h"

namespace kestrix::swf {

bool ParseDefineFont(Reader& reader, FontCharacter& font, ParseBudget& budget);
// fontVersion 2 or 3; DefineFont3 glyphs are drawn at 20 times the resolution.
bool ParseDefineFont2(Reader& reader, int fontVersion, FontCharacter& font, ParseBudget& budget);
// Adds the character codes of DefineFontInfo (1 or 2) to a DefineFont font.
void ParseDefineFontInfo(Reader& reader, int infoVersion, FontCharacter& font);
bool ParseDefineText(Reader& reader, int textVersion, TextCharacter& text, ParseBudget& budget);
// The initial text is kept as character codes: UTF-8 from version 6 on, HTML markup removed.
bool ParseDefineEditText(Reader& reader, int movieVersion, EditTextCharacter& field);

}  // namespace kestrix::swf
