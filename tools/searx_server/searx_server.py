#!/usr/bin/python3
"""A real searx (Debian package searx 1.1) on 127.0.0.1 over pages of our own, offline.

Writes the pages into a sqlite database and a complete searx settings file into a temporary
folder, then runs searx's web app in this process with werkzeug. The only engine is searx's
own `sqlite` engine over that database ("pages", shortcut "pg"): a keyword finds the pages
whose title or content contains it (LIKE, so ASCII case does not matter), in the order given,
--per-page of them per page (searx's pageno). Every other engine is absent, so nothing leaves
the machine. searx 1.1 answers /search?q=..&format=json|rss|csv|html and /opensearch.xml
(its description offers the HTML results with GET).

    python3 tools/searx_server/searx_server.py --port 8888 --pages-file pages.json
    python3 tools/searx_server/searx_server.py --port 0 --port-file /tmp/port \\
        --pages-file pages.json --per-page 2 --broken-engine

--pages-file is a JSON list of {"url", "title", "content"}, or a folder whose *.json files
(in name order) each hold such a list or a single such object.
--broken-engine adds a second engine ("broken", shortcut "br") that asks a closed port of
127.0.0.1: searx then reports it in unresponsive_engines of every answer.
The port is written to --port-file only once the server answers.
"""

import argparse
import importlib.util
import json
import logging
import os
import shutil
import signal
import sqlite3
import sys
import tempfile
import threading
import urllib.request

QUERY = ("SELECT url, title, content FROM pages"
         " WHERE title LIKE '%' || :query || '%' OR content LIKE '%' || :query || '%'"
         " ORDER BY position")


def read_pages(source):
    if os.path.isdir(source):
        pages = []
        for name in sorted(os.listdir(source)):
            if name.endswith(".json"):
                with open(os.path.join(source, name), encoding="utf-8") as f:
                    data = json.load(f)
                pages.extend(data if isinstance(data, list) else [data])
        return pages
    with open(source, encoding="utf-8") as f:
        return json.load(f)


def write_database(path, pages):
    db = sqlite3.connect(path)
    db.execute("CREATE TABLE pages (position INTEGER PRIMARY KEY, url TEXT, title TEXT,"
               " content TEXT)")
    db.executemany("INSERT INTO pages (url, title, content) VALUES (?, ?, ?)",
                   [(p["url"], p.get("title", ""), p.get("content", "")) for p in pages])
    db.commit()
    db.close()


def settings_text(database, per_page, broken):
    # JSON is YAML: the whole settings, nothing merged from searx's defaults (Debian ships none).
    engines = [{"name": "pages", "engine": "sqlite", "shortcut": "pg", "categories": "general",
                "database": database, "query_str": QUERY, "limit": per_page, "timeout": 5.0}]
    if broken:
        engines.append({"name": "broken", "engine": "json_engine", "shortcut": "br",
                        "categories": "general", "paging": True, "enable_http": True,
                        "search_url": "http://127.0.0.1:1/search?q={query}&page={pageno}",
                        "results_query": "results", "url_query": "url",
                        "title_query": "title", "content_query": "content", "timeout": 2.0})
    settings = {
        "general": {"debug": False, "instance_name": "searx", "contact_url": False,
                    "enable_stats": False},
        "brand": {},
        "search": {"safe_search": 0, "autocomplete": "", "default_lang": "",
                   "ban_time_on_fail": 0, "max_ban_time_on_fail": 0,
                   "prefer_configured_language": False},
        "server": {"port": 0, "bind_address": "127.0.0.1", "secret_key": os.urandom(16).hex(),
                   "base_url": False, "image_proxy": False, "http_protocol_version": "1.1",
                   "method": "GET", "default_http_headers": {}},
        "ui": {"autofocus": False, "archive_today": False,
               "static_path": "/usr/share/python3-searx/static",
               "templates_path": "/usr/share/python3-searx/templates",
               "default_theme": "oscar", "default_locale": "",
               "theme_args": {"oscar_style": "logicodev"}},
        "outgoing": {"request_timeout": 2.0, "useragent_suffix": "", "pool_connections": 10,
                     "pool_maxsize": 10},
        "checker": {"off_when_debug": True},
        "result_proxy": {},
        "preferences": {"lock": []},
        "locales": {"en": "English"},
        "doi_resolvers": {"doi.org": "https://doi.org/"},
        "default_doi_resolver": "doi.org",
        "engines": engines,
    }
    return json.dumps(settings, indent=1)


def debian_python():
    """searx is a package of Debian's python3; another python3 first on PATH (pyenv, a venv)
    does not see it, so the script starts itself again with Debian's."""
    if importlib.util.find_spec("searx") is None:
        if os.path.realpath(sys.executable) != os.path.realpath("/usr/bin/python3") and \
                os.path.exists("/usr/bin/python3"):
            os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
        sys.exit("searx is not installed (Debian package searx)")


def main():
    debian_python()
    p = argparse.ArgumentParser(description="searx on loopback over pages of our own.")
    p.add_argument("--port", type=int, default=8888, help="port on 127.0.0.1 (0: a free one)")
    p.add_argument("--port-file", help="write the port here once the server answers")
    p.add_argument("--pages-file", required=True, help="JSON list of pages, or a folder")
    p.add_argument("--per-page", type=int, default=10, help="results per page")
    p.add_argument("--broken-engine", action="store_true",
                   help="add an engine that always fails (unresponsive_engines)")
    args = p.parse_args()

    # SIGTERM ends the process through the finally below, which removes the folder.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    folder = tempfile.mkdtemp(prefix="searx-")
    try:
        database = os.path.join(folder, "pages.db")
        write_database(database, read_pages(args.pages_file))
        settings = os.path.join(folder, "settings.yml")
        with open(settings, "w", encoding="utf-8") as f:
            f.write(settings_text(database, args.per_page, args.broken_engine))
        os.environ["SEARX_SETTINGS_PATH"] = settings
        os.environ.pop("SEARX_DEBUG", None)
        serve(args)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def serve(args):
    from werkzeug.serving import make_server
    from searx.webapp import app

    logging.getLogger("werkzeug").setLevel(logging.WARNING)
    server = make_server("127.0.0.1", args.port, app, threaded=True)
    port = server.server_port
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    with urllib.request.urlopen("http://127.0.0.1:%d/healthz" % port, timeout=30) as reply:
        reply.read()
    if args.port_file:
        with open(args.port_file + ".tmp", "w") as f:
            f.write("%d\n" % port)
        os.replace(args.port_file + ".tmp", args.port_file)
    print("searx on http://127.0.0.1:%d/" % port, flush=True)
    try:
        while thread.is_alive():
            thread.join(1.0)
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
