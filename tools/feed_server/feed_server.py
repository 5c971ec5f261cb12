#!/usr/bin/env python3
"""A search feed for trying Quarrylog and for its tests.

Listens on 127.0.0.1 only and answers every request in the feed's reply format: the reply
body comes from a file of a folder named after the keyword, or is a generated set of listings
for the keyword. Per keyword (or for all) it can answer slowly, never answer, close the
connection without a reply, or send a reply without end. It can record the raw bytes of every
request it received.

    python3 tools/feed_server/feed_server.py --port 8765
    python3 tools/feed_server/feed_server.py --port 0 --port-file /tmp/port \\
        --replies DIR --record DIR --behave slowword=slow --behave '*=reply'

Modes for --behave KEYWORD=MODE (KEYWORD "*" stands for every keyword not named):
    reply        the reply at once (default)
    slow         the reply in pieces of 16 bytes, --delay-ms apart
    hang         read the request and never answer (the connection stays open)
    close        read the request and close the connection without a reply
    endless      a reply whose body never ends
    status:NNN   the reply with the HTTP status NNN
"""

import argparse
import os
import socket
import socketserver
import sys
import threading
import time
import urllib.parse

ARGS = None
COUNTER_LOCK = threading.Lock()
COUNTER = [0]


def keyword_of(target):
    """The Terms value of a request target, as sent (percent escapes decoded)."""
    q = target.find(b"Terms=")
    if q < 0:
        return b""
    rest = target[q + len(b"Terms="):]
    end = rest.rfind(b"&affiliate=velmora&IP=USER_IP")
    if end < 0:
        end = rest.find(b"&")
    if end >= 0:
        rest = rest[:end]
    return urllib.parse.unquote_to_bytes(rest)


def file_name_of(keyword):
    return "".join(c if c.isalnum() or c in "-_." else "_"
                   for c in keyword.decode("utf-8", "replace")) or "_"


def generated_reply(keyword, count):
    word = file_name_of(keyword).lower()
    parts = ["<dsxout>\r\n<terms>%s</terms>\r\n<results>\r\n" % word]
    for i in range(1, count + 1):
        parts.append(
            "<listing><title>%s result %d for <<TERMS>></title>"
            "<description>Page %d found for %s</description>"
            "<url>http://www.%s-%d.example/</url>"
            "<redirect>http://click.feed.example/?to=www.%s-%d.example</redirect></listing>\r\n"
            % (word, i, i, word, word, i, word, i))
    parts.append("</results>\r\n</dsxout>\r\n")
    return "".join(parts).encode()


def reply_body(keyword):
    if ARGS.replies:
        path = os.path.join(ARGS.replies, file_name_of(keyword))
        if os.path.isfile(path):
            with open(path, "rb") as f:
                return f.read()
    return generated_reply(keyword, ARGS.listings)


def mode_of(keyword):
    name = keyword.decode("utf-8", "replace")
    return ARGS.modes.get(name, ARGS.modes.get("*", "reply"))


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        conn = self.request
        conn.settimeout(600)
        data = b""
        try:
            while b"\r\n\r\n" not in data and len(data) < 1 << 20:
                chunk = conn.recv(65536)
                if not chunk:
                    break
                data += chunk
        except OSError:
            return
        if ARGS.record:
            with COUNTER_LOCK:
                COUNTER[0] += 1
                number = COUNTER[0]
            path = os.path.join(ARGS.record, "request-%04d.bin" % number)
            with open(path + ".tmp", "wb") as f:
                f.write(data)
            os.replace(path + ".tmp", path)
        line = data.split(b"\r\n", 1)[0].split(b" ")
        target = line[1] if len(line) > 1 else b""
        keyword = keyword_of(target)
        mode = mode_of(keyword)
        try:
            self.answer(conn, keyword, mode)
        except OSError:
            pass

    def answer(self, conn, keyword, mode):
        if mode == "close":
            return
        if mode == "hang":
            try:
                while conn.recv(65536):
                    pass
            except OSError:
                pass
            return
        status = 200
        if mode.startswith("status:"):
            status = int(mode.split(":", 1)[1])
        head = b"HTTP/1.0 %d Feed\r\nContent-Type: text/xml\r\nConnection: close\r\n\r\n" % status
        if mode == "endless":
            conn.sendall(head + b"<dsxout><results>")
            piece = b"<listing><url>http://endless.example/</url></listing>\r\n" * 1000
            while True:
                conn.sendall(piece)
        body = reply_body(keyword)
        if mode == "slow":
            conn.sendall(head)
            for i in range(0, len(body), 16):
                time.sleep(ARGS.delay_ms / 1000.0)
                conn.sendall(body[i:i + 16])
            return
        conn.sendall(head + body)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    global ARGS
    p = argparse.ArgumentParser(description="Loopback search feed for Quarrylog.")
    p.add_argument("--port", type=int, default=8765, help="port on 127.0.0.1 (0: a free one)")
    p.add_argument("--port-file", help="write the port here once listening")
    p.add_argument("--replies", help="folder of reply bodies, one file per keyword")
    p.add_argument("--listings", type=int, default=5, help="generated listings per keyword")
    p.add_argument("--record", help="folder that receives request-NNNN.bin per request")
    p.add_argument("--behave", action="append", default=[], metavar="KEYWORD=MODE")
    p.add_argument("--delay-ms", type=int, default=200, help="pause between pieces (slow)")
    ARGS = p.parse_args()
    ARGS.modes = {}
    for b in ARGS.behave:
        k, _, m = b.rpartition("=")
        ARGS.modes[k] = m
    server = Server(("127.0.0.1", ARGS.port), Handler)
    port = server.server_address[1]
    if ARGS.port_file:
        with open(ARGS.port_file + ".tmp", "w") as f:
            f.write("%d\n" % port)
        os.replace(ARGS.port_file + ".tmp", ARGS.port_file)
    print("Feed server on 127.0.0.1:%d" % port, flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
