#!/usr/bin/env python3
"""A scripted HTTP/1.1 server on 127.0.0.1 for what real search engines do not do on demand.

    python3 tools/web_server/web_server.py --port 0 --port-file F --root DIR [--record DIR]
        [--tls CERT KEY] [--hosts N]

--tls CERT KEY: serve https with that certificate and key (PEM files) instead of http.
--hosts N: listen on 127.0.0.1 .. 127.0.0.N, all on the same port (the port of 127.0.0.1, found
first when --port is 0). Requests are served each on a thread of its own, many at once.

Each request (GET, HEAD or POST) is first recorded, then answered from files under --root, read
at each request (so a test can change them while the server runs).

Record: --record DIR/request-NNNN.txt (NNNN from 0001 in arrival order), whose first line is
"Arrival-Ms: T" (T: CLOCK_MONOTONIC in milliseconds, the clock of QElapsedTimer), followed by
the request line and the header lines as received, each ended by CRLF.

Which file answers:
- ROOT/replies/PATH (PATH from the address without its query, "index.html" for a path ending in
  "/"), when it exists, for any request: a reply file as below (its X-Once follow-up is
  ROOT/replies/PATH.again).
- When the query has a search parameter (the first of q, searchTerms, P present), the KEY is its
  value; when it also has a page parameter with a value (the first of pageno, p, page, startPage,
  startIndex, start), the file ROOT/KEY.PAGE answers if it exists, else ROOT/KEY. KEY and PAGE are
  written into file names percent-encoded as UTF-8, every byte except A-Z a-z 0-9 - . _ ~ (as
  Qt's QByteArray::toPercentEncoding and Python's urllib.parse.quote(s, safe="") do).
  Such a reply file holds header lines ("Status: 429", "Retry-After: 2", "Content-Type: ...",
  any header), an empty line, then the body bytes. Directives among the header lines (not sent):
    X-Once: 1      this reply answers only the first request that chose the file; later ones
                   are answered by the file NAME.again (e.g. a 429 first, then a 200)
    X-Hang: 1      read the request and never answer; the connection stays open until the
                   client closes it
    X-Close: 1     close the connection without any reply
    X-Delay-Ms: N  wait N milliseconds before answering (replies that overtake each other)
    X-Huge-MiB: N  after the file's body, stream filler until the body is N MiB, without
                   Content-Length, then close (a reply too large to keep); the filler is HTML
                   text when the reply's Content-Type is text/html, else XML (RSS items)
    X-Head-Status: N  a HEAD request gets this status instead, without a body (a server that
                   refuses HEAD with 405 while GET works)
    X-Head-Close: 1  a HEAD request gets the connection closed without any reply
  The reply has a Content-Length (unless X-Huge-MiB) and no Content-Type unless the file names one.
- Any other request: the file ROOT/files/PATH (PATH from the address, "index.html" for a path
  ending in "/"), sent as it is, with a content type by its name: *.osd.xml
  application/opensearchdescription+xml, *.xml application/xml, *.html text/html, *.rss
  application/rss+xml, *.atom application/atom+xml, *.json application/json.
- A file that does not exist: 404.
The port is written to --port-file once the server listens.
"""

import argparse
import http.server
import os
import socketserver
import ssl
import sys
import threading
import time
import urllib.parse

ARGS = None
LOCK = threading.Lock()
COUNTER = [0]
SERVED = set()  # reply files marked X-Once that already answered

SEARCH_PARAMETERS = ("q", "searchTerms", "P")
PAGE_PARAMETERS = ("pageno", "p", "page", "startPage", "startIndex", "start")
STATIC_TYPES = ((".osd.xml", "application/opensearchdescription+xml"),
                (".xml", "application/xml"), (".html", "text/html"), (".htm", "text/html"),
                (".rss", "application/rss+xml"), (".atom", "application/atom+xml"),
                (".json", "application/json"))
HTML_FILLER = (b"<p>Filler text of a very long page, only bytes to fill a reply and nothing "
               b"else to read here.</p>\n")
FILLER = (b"<item><title>Filler</title><link>http://filler.example/</link>"
          b"<description>Nothing to see here, only bytes to fill a reply.</description></item>\n")


def file_part(text):
    return urllib.parse.quote(text, safe="")


def parse_reply(data):
    """(headers as a list of (name, value), body) of a reply file."""
    headers = []
    rest = data
    while True:
        line, sep, after = rest.partition(b"\n")
        if not sep and not line:
            return headers, b""
        if line.rstrip(b"\r") == b"":
            return headers, after
        name, _, value = line.rstrip(b"\r").decode("utf-8").partition(":")
        headers.append((name.strip(), value.strip()))
        if not sep:
            return headers, b""
        rest = after


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "QuarrylogTestServer/1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        self.record()
        try:
            self.answer()
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True

    def do_HEAD(self):
        self.do_GET()

    def do_POST(self):
        length = int(self.headers.get("Content-Length") or 0)
        if length:
            self.rfile.read(length)
        self.do_GET()

    def record(self):
        arrival = time.monotonic_ns() // 1000000
        if not ARGS.record:
            return
        with LOCK:
            COUNTER[0] += 1
            number = COUNTER[0]
        lines = ["Arrival-Ms: %d" % arrival, self.requestline]
        lines += ["%s: %s" % (k, v) for k, v in self.headers.items()]
        path = os.path.join(ARGS.record, "request-%04d.txt" % number)
        with open(path + ".tmp", "wb") as f:
            f.write(("\r\n".join(lines) + "\r\n").encode("utf-8", "surrogateescape"))
        os.replace(path + ".tmp", path)

    def answer(self):
        address = urllib.parse.urlsplit(self.path)
        path = urllib.parse.unquote(address.path)
        if path.endswith("/"):
            path += "index.html"
        parts = [p for p in path.split("/") if p]
        if parts and not any(p in (".", "..") for p in parts):
            name = os.path.join("replies", *parts)
            if os.path.isfile(os.path.join(ARGS.root, name)):
                return self.answer_file(name)
        query = urllib.parse.parse_qs(address.query, keep_blank_values=True)
        key = next((query[n][0] for n in SEARCH_PARAMETERS if n in query), None)
        if key is None:
            return self.answer_static(urllib.parse.unquote(address.path))
        page = next((query[n][0] for n in PAGE_PARAMETERS if query.get(n, [""])[0]), None)
        names = [file_part(key) + "." + file_part(page)] if page is not None else []
        names.append(file_part(key))
        for name in names:
            if name not in (".", "..") and os.path.isfile(os.path.join(ARGS.root, name)):
                return self.answer_file(name)
        self.send_plain(404, b"no reply file for this request\n")

    def answer_file(self, name):
        data = read(os.path.join(ARGS.root, name))
        if data is None:
            return self.send_plain(404, b"no reply file for this request\n")
        headers, body = parse_reply(data)
        directives = {k.lower(): v for k, v in headers if k.lower().startswith("x-")}
        if directives.get("x-once") == "1":
            with LOCK:
                again = name in SERVED
                SERVED.add(name)
            if again:
                data = read(os.path.join(ARGS.root, name + ".again"))
                if data is None:
                    return self.send_plain(404, b"no .again reply file\n")
                headers, body = parse_reply(data)
                directives = {k.lower(): v for k, v in headers if k.lower().startswith("x-")}
        time.sleep(int(directives.get("x-delay-ms", "0") or 0) / 1000.0)
        if directives.get("x-hang") == "1":
            self.close_connection = True
            try:
                while self.connection.recv(65536):
                    pass
            except OSError:
                pass
            return
        if directives.get("x-close") == "1":
            self.close_connection = True
            return
        if self.command == "HEAD" and directives.get("x-head-close") == "1":
            self.close_connection = True
            return
        if self.command == "HEAD" and directives.get("x-head-status"):
            self.send_response(int(directives["x-head-status"].split()[0]))
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        status = 200
        sent = []
        for k, v in headers:
            if k.lower() == "status":
                status = int(v.split()[0])
            elif not k.lower().startswith("x-"):
                sent.append((k, v))
        huge = int(directives.get("x-huge-mib", "0") or 0) * 1024 * 1024
        self.send_response(status)
        for k, v in sent:
            self.send_header(k, v)
        if huge:
            self.send_header("Connection", "close")
            self.end_headers()
            html = any(k.lower() == "content-type" and v.lower().startswith("text/html")
                       for k, v in sent)
            return self.stream_huge(body, huge, HTML_FILLER if html else FILLER)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def stream_huge(self, start, size, filler):
        self.close_connection = True
        if self.command == "HEAD":
            return
        self.wfile.write(start)
        sent = len(start)
        piece = filler * 512
        while sent < size:
            chunk = piece[:size - sent]
            self.wfile.write(chunk)
            sent += len(chunk)

    def answer_static(self, path):
        if path.endswith("/"):
            path += "index.html"
        parts = [p for p in path.split("/") if p]
        if not parts or any(p in (".", "..") for p in parts):
            return self.send_plain(404, b"not found\n")
        body = read(os.path.join(ARGS.root, "files", *parts))
        if body is None:
            return self.send_plain(404, b"not found\n")
        kind = next((t for end, t in STATIC_TYPES if parts[-1].endswith(end)),
                    "application/octet-stream")
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def send_plain(self, status, body):
        self.send_response(status)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 128

    def __init__(self, address, handler, context=None):
        self.context = context
        super().__init__(address, handler)

    def get_request(self):
        connection, client = super().get_request()
        if self.context is None:
            return connection, client
        # The handshake runs on the request's own thread (a client that never finishes it
        # holds up no one else).
        return self.context.wrap_socket(connection, server_side=True,
                                        do_handshake_on_connect=False), client

    def finish_request(self, request, client_address):
        if self.context is not None:
            try:
                request.settimeout(30)
                request.do_handshake()
                request.settimeout(None)
            except (OSError, ssl.SSLError):
                return
        super().finish_request(request, client_address)


def main():
    global ARGS
    p = argparse.ArgumentParser(description="Scripted loopback HTTP server for Quarrylog's tests.")
    p.add_argument("--port", type=int, default=8080, help="port on 127.0.0.1 (0: a free one)")
    p.add_argument("--port-file", help="write the port here once listening")
    p.add_argument("--root", required=True, help="folder of reply files (see above)")
    p.add_argument("--record", help="folder that receives request-NNNN.txt per request")
    p.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"), help="serve https")
    p.add_argument("--hosts", type=int, default=1, help="listen on 127.0.0.1 .. 127.0.0.N")
    ARGS = p.parse_args()
    context = None
    if ARGS.tls:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(ARGS.tls[0], ARGS.tls[1])
    server = Server(("127.0.0.1", ARGS.port), Handler, context)
    port = server.server_address[1]
    servers = [server]
    for n in range(2, max(1, ARGS.hosts) + 1):
        servers.append(Server(("127.0.0.%d" % n, port), Handler, context))
    for extra in servers[1:]:
        threading.Thread(target=extra.serve_forever, daemon=True).start()
    if ARGS.port_file:
        with open(ARGS.port_file + ".tmp", "w") as f:
            f.write("%d\n" % port)
        os.replace(ARGS.port_file + ".tmp", ARGS.port_file)
    print("Web server on %s://127.0.0.1:%d/" % ("https" if context else "http", port), flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
