// The texts of the conditions that the filter dialog composes: bodies (expression texts) and
// labels of context and record-state circles.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The one record state offered in the filter dialog, and its state name in expressions.
inline constexpr const char* CheckedStateItem = "checked";
inline constexpr const char* CheckedStateName = "IS_CHECKED";

// A keyword can be added when it holds more than blanks.
bool KeywordCanBeAdded(std::string_view keyword);

// "EXISTS('KEYWORD')": the keyword as typed, upper-cased by the user's regional settings,
// neither trimmed nor escaped.
std::string ContextConditionBody(std::string_view keyword);
// "Context:" and the keyword as typed between double quotes.
std::string ContextConditionLabel(std::string_view keyword);

// "IS_CHECKED" for the item "checked" (exactly), else the item itself.
std::string RecordStateName(std::string_view item);
// "RECORD_STATE('NAME')" with the state name of the item.
std::string StateConditionBody(std::string_view item);
// "Record state:" and the item, without a space.
std::string StateConditionLabel(std::string_view item);

// The link states offered as "Link state" conditions, in the order offered ("dead", "moved",
// "alive", "failed", "unchecked"), and their state names in expressions ("IS_DEAD", ...).
const std::vector<std::string>& LinkStateItems();
// "IS_" and the item upper-cased: the state name RECORD_STATE answers for a link verdict.
std::string LinkStateName(std::string_view item);
// "RECORD_STATE('IS_DEAD')" for the item "dead".
std::string LinkConditionBody(std::string_view item);
// "Link state:" and the item, without a space.
std::string LinkConditionLabel(std::string_view item);
