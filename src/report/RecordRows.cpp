#include "report/RecordRows.h"

#include "tree/TQelPigger.h"

#include <cstring>
#include <utility>

std::string ChildText(const TQelPigger* record, std::string_view childName) {
    if (!record)
        return {};
    const TQelPigger* child = record->FindChild(childName);
    return child ? child->Text.str() : std::string();
}

namespace {

void breaksToBlanks(std::string& text) {
    // Most texts are one line already: two fast searches tell.
    const void* cr = std::memchr(text.data(), '\r', text.size());
    const void* lf = std::memchr(text.data(), '\n', text.size());
    if (!cr && !lf)
        return;
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
}

// The texts of the record's first TITLE and first DESCRIPTION child, in one look at its
// children and without copying them.
struct RecordTexts {
    const NodeText* title = nullptr;
    const NodeText* description = nullptr;
};

RecordTexts recordTexts(const TQelPigger* record) {
    const std::string_view title = RecordFields::Title;
    const std::string_view description = RecordFields::Description;
    RecordTexts texts;
    for (const TQelPigger* child : std::as_const(*record).Children()) {
        if (!texts.title && child->Name() == title)
            texts.title = &child->Text;
        else if (!texts.description && child->Name() == description)
            texts.description = &child->Text;
        if (texts.title && texts.description)
            break;
    }
    return texts;
}

std::string oneLineOf(const NodeText* text) {
    return text ? OneLine(*text) : std::string();
}

} // namespace

std::string OneLine(std::string_view text) {
    std::string out(text);
    breaksToBlanks(out);
    return out;
}

std::string ShownAddress(std::string_view url) {
    static constexpr std::string_view scheme = "http://";
    std::string out;
    out.reserve(url.size());
    size_t i = 0;
    while (i < url.size()) {
        const size_t hit = url.find(scheme, i);
        if (hit == std::string_view::npos) {
            out.append(url.substr(i));
            break;
        }
        out.append(url.substr(i, hit - i));
        i = hit + scheme.size();
    }
    breaksToBlanks(out);
    return out;
}

const RowDetails& RecordRow::Details() const {
    static const RowDetails none;
    return details ? *details : none;
}

RowDetails& RecordRow::EditDetails() {
    auto own = details ? std::make_shared<RowDetails>(*details) : std::make_shared<RowDetails>();
    RowDetails& edited = *own;
    details = std::move(own);
    return edited;
}

RecordRow MakeRow(TQelPigger* record) {
    RecordRow row;
    row.record = record;
    row.serial = record->Serial();
    const std::string_view mark = record->AttrRef(RecordFields::Check);
    row.checked = mark == RecordFields::Checked;
    row.stored = row.checked;
    row.plainMark = row.checked || mark.empty();
    // Most records were never checked: one look at the attribute tells.
    if (!record->AttrRef(LinkFields::Status).empty()) {
        LinkState link = ReadLinkState(record);
        row.verdict = link.verdict;
        RowDetails& details = row.EditDetails();
        details.checkedAt = link.time;
        details.finalUrl = std::move(link.finalUrl);
        details.status = LinkStatusText(record);
    }
    return row;
}

RowTexts ReadRowTexts(const TQelPigger* record) {
    RowTexts texts;
    if (!record)
        return texts;
    const RecordTexts found = recordTexts(record);
    texts.title = oneLineOf(found.title);
    texts.description = oneLineOf(found.description);
    texts.address = ShownAddress(record->AttrRef(RecordFields::Url));
    return texts;
}

std::string ReadRowText(const TQelPigger* record, int column) {
    if (!record)
        return {};
    switch (column) {
    case 0:
        return oneLineOf(recordTexts(record).title);
    case 1:
        return ShownAddress(record->AttrRef(RecordFields::Url));
    case 2:
        return oneLineOf(recordTexts(record).description);
    default:
        return {};
    }
}
