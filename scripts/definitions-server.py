#!/usr/bin/env python3
"""A local definitions server: answers GET requests on 127.0.0.1 with a wire text.

    definitions-server.py --file build/host/data/definitions.txt [--port 8731]
                          [--path /zombie/definitions.txt] [--status 404]
                          [--signature FILE | --no-signature]

The file is served at --path and its signature at --path + ".sig": by default the file
beside it with ".sig" appended, with --signature the given file, with --no-signature none
(404). Any other path, and a signature file that does not exist, gets 404. With --status the server answers
every request with that status and a small HTML error page instead, as a broken web server
would. --port 0 picks a free port. The port in use is printed on stdout as one line
"port N" once the server listens. The file is read afresh for every request. The server
logs nothing per request and stops on SIGTERM or SIGINT.
"""

import argparse
import html
import http.server
import signal
import sys
import threading


def make_handler(args):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, fmt, *values):  # quiet: no line per request
            pass

        def send_body(self, status, body, content_type):
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Connection", "close")
            self.end_headers()
            if self.command != "HEAD":
                self.wfile.write(body)

        def error_page(self, status):
            reason = http.HTTPStatus(status).phrase if status in http.HTTPStatus._value2member_map_ else "Error"
            title = html.escape(f"{status} {reason}")
            body = (f"<!DOCTYPE html>\n<html><head><title>{title}</title></head>\n"
                    f"<body><h1>{title}</h1><p>The requested address is not available.</p></body></html>\n")
            self.send_body(status, body.encode("ascii"), "text/html; charset=us-ascii")

        def do_GET(self):
            if args.status is not None:
                self.error_page(args.status)
                return
            requested = self.path.split("?", 1)[0]
            if requested == args.path:
                served, missing = args.file, 500
            elif requested == args.path + ".sig" and not args.no_signature:
                served, missing = args.signature or args.file + ".sig", 404
            else:
                self.error_page(404)
                return
            try:
                with open(served, "rb") as wire:
                    body = wire.read()
            except OSError:
                self.error_page(missing)
                return
            self.send_body(200, body, "text/plain; charset=us-ascii")

        do_HEAD = do_GET

    return Handler


def main():
    parser = argparse.ArgumentParser(description="Serve a definitions wire text on 127.0.0.1.")
    parser.add_argument("--port", type=int, default=8731, help="port to listen on; 0 picks a free one")
    parser.add_argument("--file", help="the wire text to serve")
    parser.add_argument("--path", default="/zombie/definitions.txt", help="the address path it is served at")
    parser.add_argument("--status", type=int, help="answer every request with this status and an HTML page")
    signature = parser.add_mutually_exclusive_group()
    signature.add_argument("--signature", help="the signature file to serve (default: the file + .sig)")
    signature.add_argument("--no-signature", action="store_true", help="serve no signature (404)")
    args = parser.parse_args()
    if args.status is None and not args.file:
        parser.error("--file is needed unless --status is given")
    if args.status is not None and not 100 <= args.status <= 599:
        parser.error("--status must lie between 100 and 599")

    server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), make_handler(args))
    server.daemon_threads = True

    def stop(signum, frame):
        # shutdown() waits for serve_forever, so it runs on another thread.
        threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    print(f"port {server.server_address[1]}", flush=True)
    try:
        server.serve_forever(poll_interval=0.1)
    finally:
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
