// Which addresses the found URL list hands to the default web browser.
#pragma once

#include <QUrl>

#include <string>
#include <string_view>

// The web address to open for a record's redirect text: trimmed; an address without scheme is
// taken as "http://"; only http, https and ftp addresses are given out (anything else, such as
// a local file or a script, would not be opened by a browser but run by the desktop). Returns
// an invalid QUrl when there is nothing safe to open.
QUrl BrowserUrlFor(const std::string& redirect);

// The one line of the probe page "a.html", pointing at the maker's site siteHost.
std::string ProbePageHtml(std::string_view siteHost);
