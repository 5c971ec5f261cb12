#include "report/RecordRows.h"

#include "tree/TQelPigger.h"

std::string ChildText(const TQelPigger* record, std::string_view childName) {
    if (!record)
        return {};
    const TQelPigger* child = record->FindChild(childName);
    return child ? child->Text : std::string();
}

std::string OneLine(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
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
    return OneLine(out);
}

RecordRow MakeRow(TQelPigger* record) {
    RecordRow row;
    row.record = record;
    row.serial = record->Serial();
    row.title = OneLine(ChildText(record, RecordFields::Title));
    row.description = OneLine(ChildText(record, RecordFields::Description));
    row.address = ShownAddress(record->AttrRef(RecordFields::Url));
    row.checked = record->AttrRef(RecordFields::Check) == RecordFields::Checked;
    return row;
}
