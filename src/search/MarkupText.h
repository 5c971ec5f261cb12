// Text out of the bits of HTML that search engines put into titles and descriptions: tags and
// comments removed, character and entity references decoded, white space tidied, UTF-8 checked.
#pragma once

#include <string>
#include <string_view>

// Text without markup: tags and comments removed (a <br> or a block end becomes a blank),
// character and entity references decoded (the HTML ones as well as the XML ones), runs of white
// space made one blank, trimmed. Invalid UTF-8 is replaced by U+FFFD.
std::string PlainText(std::string_view markup);

// The title or description of a search result as text: PlainText, and once more when that still
// holds tags such as <b> or <strong> (markup escaped twice, as Xapian Omega's snippets are).
std::string ResultText(std::string_view markup);

// Only the character and entity references decoded (as in an attribute value); everything else
// is kept, except that invalid UTF-8 is replaced by U+FFFD.
std::string DecodeReferences(std::string_view text);

// The character of an HTML named entity (case matters: "eacute", "Eacute"), 0 when unknown.
// Knows the XML ones, the Latin-1 set and the usual typographic ones.
char32_t NamedEntity(std::string_view name);

// The UTF-8 bytes of a character.
void AppendUtf8(std::string& out, char32_t c);
