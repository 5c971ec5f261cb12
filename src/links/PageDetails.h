// The title and description a web page gives of itself, read with libxml2's HTML parser.
#pragma once

#include <string>
#include <string_view>

struct PageDetails {
    // og:title, else <title>; whitespace runs collapsed to one blank, trimmed, in UTF-8.
    std::string title;
    // og:description, else <meta name="description">; the same.
    std::string description;
    // The character set the page was read in ("ISO-8859-1", "UTF-8", ...).
    std::string charset;
};

// Reads a page's bytes (possibly cut short at a size limit) in the character set named by the
// reply's Content-Type (its charset parameter), else by the page's <meta charset> or
// <meta http-equiv="Content-Type">, else UTF-8 when the bytes are valid UTF-8 and Windows-1252
// when not. Never loads anything from the network or the disk.
PageDetails ReadPageDetails(std::string_view body, std::string_view contentType);
