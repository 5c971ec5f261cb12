#!/usr/bin/env python3
"""Xapian Omega (Debian packages xapian-omega, xapian-tools) on 127.0.0.1 over a folder of pages.

Indexes the pages with omindex into a database "default" in a temporary folder, then serves:
    /cgi-bin/omega?...   the omega CGI program (/usr/lib/cgi-bin/omega/omega) with an
                         omega.conf of its own (Omega's own templates, among them "opensearch")
    /pages/PATH          the indexed pages themselves
Result addresses are --url + the page's path inside --pages (default --url:
http://127.0.0.1:PORT/pages/, so they can be opened). Pages are indexed one by one in the order of
their paths, so pages of equal relevance come in that order (a single omindex run would take
them in the directory's reading order, which changes from one file system to another).

    python3 tools/omega_server/omega_server.py --port 8080 --pages DIR
    python3 tools/omega_server/omega_server.py --port 0 --port-file /tmp/port --pages DIR

OpenSearch (RSS 2.0) results, HITSPERPAGE per page, TOPDOC the 0-based first result, snapped
to a multiple of HITSPERPAGE ("[" = 1-based page number works too):
    http://127.0.0.1:PORT/cgi-bin/omega?P={searchTerms}&FMT=opensearch&HITSPERPAGE={count?}&TOPDOC={startIndex?}
The port is written to --port-file only once the server answers.
"""

import argparse
import http.server
import os
import shutil
import signal
import socketserver
import subprocess
import sys
import tempfile
import threading
import urllib.parse
import urllib.request

OMEGA = "/usr/lib/cgi-bin/omega/omega"
TEMPLATES = "/usr/share/xapian-omega/templates"
CONFIG = None
PAGES = None


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "QuarrylogOmega/1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        address = urllib.parse.urlsplit(self.path)
        if address.path == "/cgi-bin/omega":
            return self.run_omega(address.query)
        if address.path.startswith("/pages/"):
            parts = [p for p in urllib.parse.unquote(address.path[7:]).split("/") if p]
            if parts and not any(p in (".", "..") for p in parts):
                path = os.path.join(PAGES, *parts)
                if os.path.isfile(path):
                    with open(path, "rb") as f:
                        return self.reply(200, [("Content-Type", "text/html")], f.read())
        self.reply(404, [("Content-Type", "text/plain")], b"not found\n")

    def run_omega(self, query):
        host, port = self.server.server_address[:2]
        env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "OMEGA_CONFIG_FILE": CONFIG,
            "GATEWAY_INTERFACE": "CGI/1.1",
            "SERVER_PROTOCOL": "HTTP/1.1",
            "SERVER_SOFTWARE": self.server_version,
            "SERVER_NAME": host,
            "SERVER_PORT": str(port),
            "REQUEST_METHOD": "GET",
            "SCRIPT_NAME": "/cgi-bin/omega",
            "PATH_INFO": "",
            "QUERY_STRING": query,
            "REMOTE_ADDR": self.client_address[0],
        }
        for name, value in self.headers.items():
            key = "HTTP_" + name.upper().replace("-", "_")
            if key not in ("HTTP_PROXY", "HTTP_CONTENT_TYPE", "HTTP_CONTENT_LENGTH"):
                env[key] = value
        done = subprocess.run([OMEGA], env=env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=60)
        head, body = split_cgi_output(done.stdout)
        if done.returncode != 0 or head is None:
            message = b"omega failed: " + done.stderr
            return self.reply(500, [("Content-Type", "text/plain")], message)
        status = 200
        headers = []
        for line in head:
            name, _, value = line.partition(":")
            if name.strip().lower() == "status":
                status = int(value.split()[0])
            elif name.strip():
                headers.append((name.strip(), value.strip()))
        self.reply(status, headers, body)

    def reply(self, status, headers, body):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


def split_cgi_output(output):
    """(header lines, body) of a CGI program's output; (None, None) without an empty line."""
    head = []
    rest = output
    while rest:
        line, sep, after = rest.partition(b"\n")
        if not sep:
            break
        line = line.rstrip(b"\r")
        if not line:
            return head, after
        head.append(line.decode("latin-1"))
        rest = after
    return None, None


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def index(pages, database, url, folder):
    """omindex every file of pages, one run per file in path order (see above)."""
    files = sorted(os.path.relpath(os.path.join(d, f), pages)
                   for d, _, names in os.walk(pages) for f in names)
    stage = os.path.join(folder, "stage")
    for relative in files:
        shutil.rmtree(stage, ignore_errors=True)
        target = os.path.join(stage, relative)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copy2(os.path.join(pages, relative), target)
        done = subprocess.run(["omindex", "--no-delete", "--db", database, "--url", url, stage],
                              stdin=subprocess.DEVNULL, capture_output=True, text=True)
        if done.returncode != 0:
            sys.exit("omindex failed on %s:\n%s%s" % (relative, done.stdout, done.stderr))
    if not files:
        # An empty but existing database, so that omega answers "no results".
        os.makedirs(stage, exist_ok=True)
        subprocess.run(["omindex", "--db", database, "--url", url, stage], check=True,
                       stdin=subprocess.DEVNULL, capture_output=True)


def main():
    global CONFIG, PAGES
    p = argparse.ArgumentParser(description="Xapian Omega on loopback over a folder of pages.")
    p.add_argument("--port", type=int, default=8080, help="port on 127.0.0.1 (0: a free one)")
    p.add_argument("--port-file", help="write the port here once the server answers")
    p.add_argument("--pages", required=True, help="folder of HTML pages to index")
    p.add_argument("--url", help="address the folder stands for (default: served here)")
    args = p.parse_args()
    PAGES = os.path.abspath(args.pages)

    folder = tempfile.mkdtemp(prefix="omega-")
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    try:
        for name in ("data", "log", "cdb"):
            os.makedirs(os.path.join(folder, name))
        CONFIG = os.path.join(folder, "omega.conf")
        with open(CONFIG, "w") as f:
            f.write("database_dir %s\ntemplate_dir %s\nlog_dir %s\ncdb_dir %s\n" % (
                os.path.join(folder, "data"), TEMPLATES, os.path.join(folder, "log"),
                os.path.join(folder, "cdb")))
        server = Server(("127.0.0.1", args.port), Handler)
        port = server.server_address[1]
        url = args.url or "http://127.0.0.1:%d/pages/" % port
        index(PAGES, os.path.join(folder, "data", "default"), url, folder)
        thread = threading.Thread(target=server.serve_forever, daemon=True)
        thread.start()
        probe = "http://127.0.0.1:%d/cgi-bin/omega?P=probe&FMT=opensearch" % port
        with urllib.request.urlopen(probe, timeout=30) as reply:
            reply.read()
        if args.port_file:
            with open(args.port_file + ".tmp", "w") as f:
                f.write("%d\n" % port)
            os.replace(args.port_file + ".tmp", args.port_file)
        print("Omega on http://127.0.0.1:%d/cgi-bin/omega" % port, flush=True)
        while thread.is_alive():
            thread.join(1.0)
    except KeyboardInterrupt:
        pass
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
