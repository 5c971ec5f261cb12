// A small saved page as the browser writes it (MIME HTML: multipart/related with one text/html
// part), for tests that open or list captures.
#pragma once

#include <string>

inline std::string CaptureMhtml(const std::string& address, const std::string& title,
                                const std::string& bodyHtml) {
    const std::string boundary = "----MultipartBoundary--quarrylogTest----";
    std::string t;
    const auto add = [&t](const std::string& line) { t += line + "\r\n"; };
    add("From: <Saved by Blink>");
    add("Snapshot-Content-Location: " + address);
    add("Subject: " + title);
    add("Date: Wed, 9 Dec 2026 10:15:30 -0000");
    add("MIME-Version: 1.0");
    add("Content-Type: multipart/related;");
    add("\ttype=\"text/html\";");
    add("\tboundary=\"" + boundary + "\"");
    add("");
    add("");
    add("--" + boundary);
    add("Content-Type: text/html");
    add("Content-ID: <frame-1@mhtml.blink>");
    add("Content-Transfer-Encoding: 8bit");
    add("Content-Location: " + address);
    add("");
    add("<!DOCTYPE html><html><head><title>" + title + "</title></head><body>" + bodyHtml +
        "</body></html>");
    add("");
    add("--" + boundary + "--");
    return t;
}
