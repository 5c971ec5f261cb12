#include "search/FeedReply.h"

#include "report/ReportLayout.h"
#include "search/SearchMessages.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

namespace {

constexpr std::string_view TermsTag = "<terms>";
constexpr std::string_view TermsMarker = "<<TERMS>>";

// The first occurrence of word in text, or npos; glibc's memmem takes linear time whatever the
// text, where a search for the first character and a comparison at each can take far longer.
size_t Find(std::string_view text, std::string_view word) {
    const void* at = memmem(text.data(), text.size(), word.data(), word.size());
    return at ? static_cast<size_t>(static_cast<const char*>(at) - text.data())
              : std::string_view::npos;
}

std::string ChildText(const TQelPigger* listing, const char* name) {
    const TQelPigger* child = listing->FindChild(name);
    return child ? child->Text.str() : std::string();
}

} // namespace

bool HasFeedMark(std::string_view text) {
    return Find(text, "DSXOUT") != std::string_view::npos ||
           Find(text, "dsxout") != std::string_view::npos;
}

std::string FindTerms(std::string_view text) {
    const size_t tag = Find(text, TermsTag);
    if (tag == std::string_view::npos)
        return {};
    const size_t start = tag + TermsTag.size();
    const size_t end = text.find('<', start);
    return std::string(text.substr(start, end == std::string_view::npos ? end : end - start));
}

// Repeated passes end in the one text without a marker that any order of replacements reaches:
// the marker cannot overlap itself, so two markers never share a character and replacing one
// leaves the other in place, and every replacement removes two "<" (terms has none), so the
// replacements end. The scan below replaces each marker as soon as its last character is
// written, and reads the terms put in its place as input again, so that a marker they complete
// with what precedes them is found too. Each character of the text is written once, the terms
// as often as markers are replaced, which the limit bounds when they make the text grow.
bool ReplaceTermsMarkers(std::string_view text, std::string_view terms, std::string& out,
                         std::size_t maxBytes) {
    size_t pos = Find(text, TermsMarker);
    if (pos == std::string_view::npos) {
        out.assign(text);
        return true;
    }
    const size_t limit = std::max(maxBytes, text.size());
    // out[0, length) is the text so far, without a marker: one can only end at a '>' just
    // written. Terms shorter than the marker never make it longer than the text; longer ones
    // make every replacement lengthen it, so once it would pass the limit the result would.
    out.resize(std::min(limit, std::max(pos, size_t(4096))));
    std::memcpy(out.data(), text.data(), pos);
    size_t length = pos;
    // Copies of the terms cut short by a marker they completed: where each goes on (the one
    // begun last at the back), same places counted together.
    struct Resume {
        size_t offset;
        size_t count;
    };
    std::vector<Resume> resume;
    std::string_view source = text;
    bool inTerms = false;
    size_t textPos = 0;
    for (;;) {
        while (pos < source.size()) {
            if (length == out.size()) {
                if (length == limit)
                    return false; // more to write
                out.resize(std::min(limit, length * 2));
            }
            const char* from = source.data() + pos;
            const char* const end = from + std::min(source.size() - pos, out.size() - length);
            char* const base = out.data();
            char* to = base + length;
            bool marker = false;
            while (from != end) {
                const char c = *from++;
                *to++ = c;
                if (c == '>' && to - base >= 9 && to[-2] == '>' &&
                    std::memcmp(to - 9, TermsMarker.data(), 9) == 0) {
                    marker = true;
                    break;
                }
            }
            pos = static_cast<size_t>(from - source.data());
            length = static_cast<size_t>(to - base);
            if (!marker)
                continue;
            length -= TermsMarker.size();
            if (!inTerms) {
                textPos = pos;
            } else if (pos < source.size()) {
                if (!resume.empty() && resume.back().offset == pos)
                    ++resume.back().count;
                else
                    resume.push_back({pos, 1});
            }
            source = terms;
            pos = 0;
            inTerms = true;
        }
        if (!inTerms)
            break;
        if (!resume.empty()) {
            pos = resume.back().offset;
            if (--resume.back().count == 0)
                resume.pop_back();
        } else {
            source = text;
            pos = textPos;
            inTerms = false;
        }
    }
    out.resize(length);
    return true;
}

void FeedReply::Load(std::string_view body) {
    ReplyText = TQelPigger::NormalizeLineBreaks(body);
}

bool FeedReply::ParseReply(const SearchLog& log) {
    if (!HasFeedMark(ReplyText)) {
        log(SearchMessages::WrongResponce);
        return false;
    }
    log(SearchMessages::ResponceParsing);
    try {
        Terms = FindTerms(ReplyText);
        if (Find(ReplyText, TermsMarker) == std::string_view::npos) {
            ReplyTree.SetAsText(ReplyText);
        } else {
            // ReplyText stays the reply as it came.
            std::string text;
            if (!ReplaceTermsMarkers(ReplyText, Terms, text, MaxTextBytes)) {
                log(SearchMessages::ReplyTooLarge);
                return false;
            }
            ReplyTree.SetAsText(text);
        }
    } catch (const std::exception& e) {
        log(std::string(SearchMessages::FailedWithMessage) + "\"" + e.what() + "\"");
    }
    return true;
}

int FeedReply::HarvestListings(const ListingSink& add) const {
    const TQelPigger* results = ReplyTree.FindChild("RESULTS");
    if (!results)
        return 0;
    int added = 0;
    for (const TQelPigger* listing : results->Children()) {
        if (listing->Name() != RecordFields::Listing)
            continue;
        if (add(ChildText(listing, RecordFields::Title),
                ChildText(listing, RecordFields::Description),
                ChildText(listing, RecordFields::Url), ChildText(listing, RecordFields::Redirect)))
            ++added;
    }
    return added;
}
