#include "search/FeedReply.h"

#include "report/ReportLayout.h"
#include "search/SearchMessages.h"

#include <exception>

namespace {

constexpr std::string_view TermsTag = "<terms>";
constexpr std::string_view TermsMarker = "<<TERMS>>";

std::string ChildText(const TQelPigger* listing, const char* name) {
    const TQelPigger* child = listing->FindChild(name);
    return child ? child->Text.str() : std::string();
}

} // namespace

bool HasFeedMark(std::string_view text) {
    return text.find("DSXOUT") != std::string_view::npos ||
           text.find("dsxout") != std::string_view::npos;
}

std::string FindTerms(std::string_view text) {
    const size_t tag = text.find(TermsTag);
    if (tag == std::string_view::npos)
        return {};
    const size_t start = tag + TermsTag.size();
    const size_t end = text.find('<', start);
    return std::string(text.substr(start, end == std::string_view::npos ? end : end - start));
}

void ReplaceTermsMarkers(std::string& text, std::string_view terms) {
    // Terms never holds "<", so every replacement removes two of them and the passes end.
    for (;;) {
        size_t at = text.find(TermsMarker);
        if (at == std::string::npos)
            return;
        std::string next;
        next.reserve(text.size());
        size_t from = 0;
        while (at != std::string::npos) {
            next.append(text, from, at - from);
            next.append(terms);
            from = at + TermsMarker.size();
            at = text.find(TermsMarker, from);
        }
        next.append(text, from, std::string::npos);
        text.swap(next);
    }
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
        if (ReplyText.find(TermsMarker) == std::string::npos) {
            ReplyTree.SetAsText(ReplyText);
        } else {
            // ReplyText stays the reply as it came.
            std::string text = ReplyText;
            ReplaceTermsMarkers(text, Terms);
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
