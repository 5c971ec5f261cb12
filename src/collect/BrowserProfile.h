// The web browser profile of the program: cookies, site data and the cache of the embedded
// browser, kept under the user's XDG data and cache folders; downloads are offered through a
// file dialog, never written without asking. The dialog starts in the folder the last download
// went to, else in the user's download folder.
#pragma once

#include <QString>

class QWebEngineProfile;

// The one profile of the process, created on first use.
QWebEngineProfile* BrowserProfile();

// Where the profile keeps its data (cookies, local storage) and its cache:
// "QtWebEngine/browser" in the application's folders under $XDG_DATA_HOME and $XDG_CACHE_HOME
// (for the program "~/.local/share/Quarrylog/QtWebEngine/browser" and
// "~/.cache/Quarrylog/QtWebEngine/browser" by default).
QString BrowserDataFolder();
QString BrowserCacheFolder();
