// Report files as they lie on disk: a builder of their text as the program writes it, and the
// small report of the documentation.
#pragma once

#include "settings/core/AppInfo.h"

#include <string>
#include <utility>
#include <vector>

// The text of a report file in the form the program writes: every element on a line of its own
// after CR LF, one tab deeper per level, an element's text right after its start tag and its
// end tag on a line of its own. Texts and values go in as they stand (nothing is encoded).
//
//   ReportText()                           "\r\n<QRL VERSION=\"" + AppInfo::Version + "\"/>"
//   ReportText().Title("Other").Records()  ... RTITLE="Other">\r\n\t<URLS/>\r\n</QRL>
//   ReportText().Record("http://a.example/", "A", "first").Checked().Record(...)
class ReportText {
public:
    ReportText& Version(std::string version) { return set(version_, std::move(version)); }
    ReportText& Title(std::string title) { return set(title_, std::move(title)); }
    ReportText& Date(std::string date) { return set(date_, std::move(date)); }
    ReportText& Description(std::string text) { return set(description_, std::move(text)); }
    // The record list, empty until records are added (a report without it has never been saved).
    ReportText& Records() {
        urls_ = true;
        return *this;
    }
    // A record as a search adds it, its redirect the address itself; an empty title or
    // description leaves that element out.
    ReportText& Record(const std::string& url, std::string title, std::string description = {}) {
        records_.push_back({url, std::move(title), std::move(description), url, false, {}});
        return Records();
    }
    // The redirect of the record added last; an empty one leaves the element out.
    ReportText& Redirect(std::string redirect) {
        return set(records_.back().redirect, std::move(redirect));
    }
    // The record added last is ticked.
    ReportText& Checked() {
        records_.back().checked = true;
        return *this;
    }
    // More attributes of the record added last, as they stand: `LINK="404" LINKFAILS="2"`.
    ReportText& Attributes(std::string attributes) {
        return set(records_.back().attributes, " " + std::move(attributes));
    }

    // The start of the file up to the end of the description.
    std::string Opening() const {
        std::string out = "\r\n<QRL VERSION=\"" + version_ + "\"";
        if (!title_.empty())
            out += " RTITLE=\"" + title_ + "\"";
        if (!date_.empty())
            out += " RDATE=\"" + date_ + "\"";
        return out + ">" + description_;
    }

    std::string Text() const {
        std::string out = Opening();
        if (!urls_ && description_.empty())
            return out.insert(out.size() - 1, "/");
        if (urls_)
            out += records_.empty() ? "\r\n\t<URLS/>" : "\r\n\t<URLS>";
        for (const RecordText& r : records_) {
            out += "\r\n\t\t<LISTING URL=\"" + r.url + "\"" + (r.checked ? " CHK=\"Y\"" : "") +
                   r.attributes;
            const bool empty = r.title.empty() && r.description.empty() && r.redirect.empty();
            out += empty ? "/>" : ">";
            field(out, "TITLE", r.title);
            field(out, "DESCRIPTION", r.description);
            field(out, "REDIRECT", r.redirect);
            if (!empty)
                out += "\r\n\t\t</LISTING>";
        }
        if (!records_.empty())
            out += "\r\n\t</URLS>";
        return out + "\r\n</QRL>";
    }
    operator std::string() const { return Text(); }

private:
    struct RecordText {
        std::string url, title, description, redirect;
        bool checked;
        std::string attributes;
    };
    ReportText& set(std::string& member, std::string value) {
        member = std::move(value);
        return *this;
    }
    static void field(std::string& out, const char* name, const std::string& text) {
        if (!text.empty())
            out += "\r\n\t\t\t<" + std::string(name) + ">" + text + "\r\n\t\t\t</" + name + ">";
    }

    std::string version_ = AppInfo::Version;
    std::string title_, date_, description_;
    bool urls_ = false;
    std::vector<RecordText> records_;
};

// The small report of the documentation, with the date written in whatever short date form a
// test needs.
inline std::string SmallReportText(const std::string& date = "06.12.2026") {
    return ReportText()
        .Title("Garden tools")
        .Date(date)
        .Description("Suppliers of garden tools\r\nfound in December.")
        .Record("u1", "Spades", "Spades and forks")
        .Checked();
}
