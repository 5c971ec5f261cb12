// Reading a reply of the search feed: the acceptance check, the terms markers, the tagged tree
// and the listings it holds.
#pragma once

#include "tree/TQelPigger.h"

#include <cstddef>
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
// out (another string than text and terms) := text with every "<<TERMS>>" replaced by terms,
// pass after pass, until a pass changes nothing (terms holds no "<"), in one scan. False when
// the result would be longer than maxBytes and than text: the scan stops as soon as that is
// certain, and out then holds a part of it.
bool ReplaceTermsMarkers(std::string_view text, std::string_view terms, std::string& out,
                         std::size_t maxBytes = std::size_t(-1));

// The state kept between the keywords of a run and between runs: the last reply's text, its
// terms and its tree.
class FeedReply {
public:
    // The reply body split into lines at CR, LF or CR LF and joined again with every line
    // followed by CR LF; a NUL byte ends the text.
    void Load(std::string_view body);

    // Checks the reply and reads it into ReplyTree, writing the log lines. False when the reply
    // was rejected, or refused because its markers would make it larger than MaxTextBytes. A
    // reading error is logged and leaves in ReplyTree what was read before it; the result is then
    // true, so that those listings are harvested.
    bool ParseReply(const SearchLog& log);

    // Passes every LISTING of the root's RESULTS child to add, in order; the number of new
    // records.
    int HarvestListings(const ListingSink& add) const;

    // The longest text the markers may make of a reply (the transfer's limit on the body).
    std::size_t MaxTextBytes = std::size_t(64) * 1024 * 1024;

    std::string ReplyText;
    std::string Terms;
    TQelPigger ReplyTree;
};
