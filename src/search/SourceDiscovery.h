// Making a search source from what a user has at hand: an OpenSearch URL template, the address
// or file of an OpenSearch description document, or the address of a web page that names its
// description with <link rel="search" type="application/opensearchdescription+xml">. Blocking:
// for a settings window's button or the command line, each fetch bounded by timeoutMs.
#pragma once

#include "settings/core/ProxySettings.h"
#include "settings/core/SearchSources.h"

#include <string>
#include <vector>

struct DiscoveredSources {
    // One OpenSearch source per offered RSS or Atom Url element (the RSS ones first), named
    // after the description's ShortName (with the format added when there are several), pages
    // 1, parallel 1, the default interval.
    std::vector<SearchSource> sources;
    // Where the description was found (the address or file read last).
    std::string from;
};

// False, with the reason worded for the user in error, when nothing usable was found.
bool DiscoverOpenSearch(const std::string& given, const ProxyValues& proxy, int timeoutMs,
                        DiscoveredSources& found, std::string& error);
