#include "report/OpenAddress.h"

#include "tree/LocalText.h"
#include "tree/TQelPigger.h"

QUrl BrowserUrlFor(const std::string& redirect) {
    const QString text = ToQ(std::string(TrimBlanks(redirect)));
    if (text.isEmpty())
        return {};
    QUrl url(text, QUrl::TolerantMode);
    if (url.scheme().isEmpty() || (url.host().isEmpty() && !text.contains("://")))
        url = QUrl("http://" + text, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != "http" && scheme != "https" && scheme != "ftp"))
        return {};
    return url;
}

std::string ProbePageHtml(std::string_view siteHost) {
    const std::string site(siteHost);
    return "<HTML><HEAD><TITLE>Quarrylog</TITLE></HEAD><BODY><P ALIGN=CENTER>Find new verisons "
           "here<A HREF=\"http://" +
           site + "/\">" + site + "</A></P></BODY></HTML>";
}
