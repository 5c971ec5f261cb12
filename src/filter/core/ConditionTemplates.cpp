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
