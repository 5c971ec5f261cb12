#!/usr/bin/env python3
"""A time-stamping authority (RFC 3161) over HTTP on 127.0.0.1, for the capture tests.

    python3 tools/tsa_server/tsa_server.py --port 0 --port-file F --cert TSA.pem --key TSA.key
                                           [--chain CA.pem] [--record DIR]

It makes no key and no certificate itself: the caller gives the authority's certificate (with
extendedKeyUsage critical timeStamping) and key, and the CA certificate to send along. Each POST
body is taken as a DER TimeStampReq and answered with what `openssl ts -reply` makes of it
(Content-Type: application/timestamp-reply); a request openssl cannot answer gets 400 with
openssl's message. GET answers 405.

Record: --record DIR/request-NNNN.txt (NNNN from 0001 in arrival order) holds the request line
and the header lines as received, ended by CRLF, followed by an empty line; DIR/request-NNNN.tsq
holds the body.

The port is written to --port-file once the server listens. The configuration and serial-number
file openssl needs live in a temporary folder of the server's own, removed when it ends
(SIGTERM included).
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

ARGS = None
WORK = None
LOCK = threading.Lock()
COUNTER = [0]

CONFIG = """\
[ tsa ]
default_tsa = tsa_config

[ tsa_config ]
serial = {serial}
crypto_device = builtin
signer_digest = sha256
default_policy = 1.2.3.4.1
other_policies = 1.2.3.4.5.6
digests = sha256, sha384, sha512
accuracy = secs:1
ordering = yes
tsa_name = yes
ess_cert_id_chain = no
ess_cert_id_alg = sha256
"""


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "QuarrylogTestTsa/1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        self.send_body(405, "text/plain", b"POST a time-stamp request\n")

    def do_POST(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length else b""
        with LOCK:
            COUNTER[0] += 1
            number = COUNTER[0]
        if ARGS.record:
            self.record(number, body)
        query = os.path.join(WORK, "query-%d.tsq" % number)
        reply = os.path.join(WORK, "reply-%d.tsr" % number)
        with open(query, "wb") as f:
            f.write(body)
        command = ["openssl", "ts", "-reply", "-config", os.path.join(WORK, "tsa.cnf"),
                   "-queryfile", query, "-signer", ARGS.cert, "-inkey", ARGS.key, "-out", reply]
        if ARGS.chain:
            command += ["-chain", ARGS.chain]
        with LOCK:  # one at a time: openssl counts the serial number in a file
            run = subprocess.run(command, capture_output=True)
        data = b""
        if run.returncode == 0 and os.path.exists(reply):
            with open(reply, "rb") as f:
                data = f.read()
        for name in (query, reply):
            if os.path.exists(name):
                os.remove(name)
        if not data:
            return self.send_body(400, "text/plain", run.stderr or b"no reply\n")
        self.send_body(200, "application/timestamp-reply", data)

    def record(self, number, body):
        base = os.path.join(ARGS.record, "request-%04d" % number)
        with open(base + ".tsq", "wb") as f:
            f.write(body)
        lines = [self.requestline] + ["%s: %s" % (k, v) for k, v in self.headers.items()]
        with open(base + ".txt.tmp", "wb") as f:
            f.write(("\r\n".join(lines) + "\r\n\r\n").encode("utf-8", "surrogateescape"))
        os.replace(base + ".txt.tmp", base + ".txt")

    def send_body(self, status, kind, body):
        self.send_response(status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    global ARGS, WORK
    p = argparse.ArgumentParser(description="Loopback RFC 3161 time-stamping authority.")
    p.add_argument("--port", type=int, default=8318, help="port on 127.0.0.1 (0: a free one)")
    p.add_argument("--port-file", help="write the port here once listening")
    p.add_argument("--cert", required=True, help="the authority's certificate (PEM)")
    p.add_argument("--key", required=True, help="the authority's private key (PEM)")
    p.add_argument("--chain", help="CA certificate(s) to include in replies (PEM)")
    p.add_argument("--record", help="folder that receives request-NNNN.txt and .tsq per request")
    ARGS = p.parse_args()
    WORK = tempfile.mkdtemp(prefix="tsa_server-")
    serial = os.path.join(WORK, "tsaserial")
    with open(serial, "w") as f:
        f.write("01\n")
    with open(os.path.join(WORK, "tsa.cnf"), "w") as f:
        f.write(CONFIG.format(serial=serial))
    signal.signal(signal.SIGTERM, lambda *a: sys.exit(0))
    server = Server(("127.0.0.1", ARGS.port), Handler)
    port = server.server_address[1]
    try:
        if ARGS.port_file:
            with open(ARGS.port_file + ".tmp", "w") as f:
                f.write("%d\n" % port)
            os.replace(ARGS.port_file + ".tmp", ARGS.port_file)
        print("Time-stamping authority on http://127.0.0.1:%d/" % port, flush=True)
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        shutil.rmtree(WORK, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
