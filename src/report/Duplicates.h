// Records of a report that name the same page (see AddressKey), and keeping one of each group.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class TQelPigger;

struct DuplicateGroup {
    // The address key the records share.
    std::string key;
    // Two or more records of the URLS container, in the order of the report.
    std::vector<TQelPigger*> records;
};

// Groups of two or more records with the same address key, in the order of each group's first
// record in the report.
std::vector<DuplicateGroup> FindDuplicates(TQelPigger* urls);

// Keeps group.records[keep] and deletes the other records of the group from urls. The kept
// record takes what the others have more of: it is ticked when any of them is, and its title and
// description become the longest of the group's (in characters, the first of equal length
// winning); its address, redirect and other attributes stay. Returns how many were deleted.
int KeepOne(TQelPigger* urls, const DuplicateGroup& group, std::size_t keep);

// KeepOne for every group at once, keeping groups[g].records[keep[g]] (a group without a choice
// in keep is left as it is): the same outcome, in time that grows with the records of urls, not
// with them times the records deleted. Returns how many were deleted.
int KeepChosen(TQelPigger* urls, const std::vector<DuplicateGroup>& groups,
               const std::vector<std::size_t>& keep);

// The record of a group that the user most likely wants to keep: a ticked one before an unticked
// one, then the one with the longest title and description together, then the first.
std::size_t SuggestedKeep(const DuplicateGroup& group);
