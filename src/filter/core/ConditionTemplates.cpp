#include "filter/core/ConditionTemplates.h"

#include "tree/TextCase.h"

bool KeywordCanBeAdded(std::string_view keyword) {
    return keyword.find_first_not_of(' ') != std::string_view::npos;
}

std::string ContextConditionBody(std::string_view keyword) {
    return "EXISTS('" + LocaleUpper(keyword) + "')";
}

std::string ContextConditionLabel(std::string_view keyword) {
    return "Context:\"" + std::string(keyword) + "\"";
}

std::string RecordStateName(std::string_view item) {
    return item == CheckedStateItem ? std::string(CheckedStateName) : std::string(item);
}

std::string StateConditionBody(std::string_view item) {
    return "RECORD_STATE('" + RecordStateName(item) + "')";
}

std::string StateConditionLabel(std::string_view item) {
    return "Record state:" + std::string(item);
}

const std::vector<std::string>& LinkStateItems() {
    static const std::vector<std::string> items{"dead", "moved", "alive", "failed", "unchecked"};
    return items;
}

std::string LinkStateName(std::string_view item) {
    std::string name = "IS_";
    for (const char c : item)
        name += c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    return name;
}

std::string LinkConditionBody(std::string_view item) {
    return "RECORD_STATE('" + LinkStateName(item) + "')";
}

std::string LinkConditionLabel(std::string_view item) {
    return "Link state:" + std::string(item);
}
