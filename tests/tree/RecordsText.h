// Reports of many records as text, for the tree's tests.
#pragma once

#include <string>

// A report of count records on one line, each with attributes (one escaped) and three children.
inline std::string RecordsText(int count) {
    std::string text = "<QRL><URLS>";
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        text += "<LISTING URL=\"http://site" + n + ".example/%22q%22\" CHK=\"Y\"><TITLE>Title " +
                n + "</TITLE><DESCRIPTION>Description of record " + n +
                "</DESCRIPTION><REDIRECT>http://r" + n + ".example/</REDIRECT></LISTING>";
    }
    return text + "</URLS></QRL>";
}
