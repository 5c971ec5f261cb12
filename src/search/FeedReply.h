// Reading a reply of the search feed: the acceptance check, the terms markers, the tagged tree
// and the listings it holds.
#pragma once

#include "tree/TQelPigger.h"

#include <functional>
#include <string>
#include <string_view>

using SearchLog = std::function<void(const std::string& line)>;
// Adds or refreshes one record (title, description, url, redirect); true when it is new.
using ListingSink = std::function<bool(const std::string& title, const std::string& description,
                                       const std::string& url, const std::string& redirect)>;

// The reply as a feed reply is recognised: the word "DSXOUT" entirely in upper or entirely in
// lower case.
bool HasFeedMark(std::string_view text);
// The text after the first "<terms>" up to the next "<" (or the end); empty without "<terms>".
std::string FindTerms(std::string_view text);
// Replaces every "<<TERMS>>" by terms, pass after pass, until a pass changes nothing.
void ReplaceTermsMarkers(std::string& text, std::string_view terms);

// The state kept between the keywords of a run and between runs: the last reply's text, its
// terms and its tree.
class FeedReply {
public:
    // The reply body split into lines at CR, LF or CR LF and joined again with every line
    // followed by CR LF; a NUL byte ends the text.
    void Load(std::string_view body);

    // Checks the reply and reads it into ReplyTree, writing the log lines. False when the reply
    // was rejected. A reading error is logged and leaves in ReplyTree what was read before it;
    // the result is then true, so that those listings are harvested.
    bool ParseReply(const SearchLog& log);

    // Passes every LISTING of the root's RESULTS child to add, in order; the number of new
    // records.
    int HarvestListings(const ListingSink& add) const;

    std::string ReplyText;
    std::string Terms;
    TQelPigger ReplyTree;
};
