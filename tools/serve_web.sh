#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Drenchwick developers
# SPDX-License-Identifier: MIT
# Serves the browser version on this machine only, and says where to open it:
#   tools/serve_web.sh [--port N] [--log] [FOLDER]
# FOLDER is build-web/site/ unless given; port 8080 unless given (0: any free one). --log prints
# each request it answers (the browser bench counts them). Any static file server does
# as well; this one is Python's, which ships with emscripten's Debian package. Like most servers
# it sends text and the program gzipped to a browser that takes it.
set -euo pipefail
cd "$(dirname "$0")/.."

port=8080
folder=build-web/site
log=0
while (($#)); do
    case "$1" in
        --port) port=${2:?--port needs a number}; shift 2 ;;
        --log) log=1; shift ;;
        -h | --help) sed -n '4,8p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) folder=$1; shift ;;
    esac
done
[ -f "$folder/index.html" ] || {
    echo "no site in $folder: build it with ./tools/setup.sh --web" >&2
    exit 1
}

exec python3 - "$folder" "$port" "$log" <<'PYTHON'
import email.utils, functools, gzip, http.server, io, os, re, sys, threading

folder, port, log = sys.argv[1], int(sys.argv[2]), sys.argv[3] == "1"

# The page's own policy, as a header too: the same as its <meta>, and what only a header can
# say, that no other site may frame the game.
with open(f"{folder}/index.html", encoding="utf-8") as page:
    found = re.search(r'http-equiv="Content-Security-Policy" content="([^"]*)"', page.read())
POLICY = (found.group(1) + "; " if found else "") + "frame-ancestors 'none'"
LOG_LOCK = threading.Lock()
# What is worth compressing; the icons and the font are compressed already.
COMPRESSED = (".html", ".js", ".css", ".wasm", ".webmanifest", ".txt")
ZIPPED = {}  # path -> (mtime, bytes): each file is compressed once

class Handler(http.server.SimpleHTTPRequestHandler):
    # A browser compiles a WebAssembly module while it downloads only when it comes as this.
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript",
                      ".webmanifest": "application/manifest+json", ".woff2": "font/woff2"}

    def end_headers(self):
        self.send_header("Content-Security-Policy", POLICY)
        super().end_headers()

    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            if not self.path.split("?")[0].endswith("/"):
                return super().send_head()  # redirected to the folder's own address
            path = os.path.join(path, "index.html")
        if (not path.endswith(COMPRESSED) or not os.path.isfile(path)
                or "gzip" not in self.headers.get("Accept-Encoding", "")):
            return super().send_head()
        mtime = int(os.path.getmtime(path))
        since = self.headers.get("If-Modified-Since")
        try:
            if since and mtime <= email.utils.parsedate_to_datetime(since).timestamp():
                self.send_response(304)
                self.end_headers()
                return None
        except (TypeError, ValueError, IndexError, OverflowError):
            pass
        with LOG_LOCK:
            cached = ZIPPED.get(path)
        if cached is None or cached[0] != mtime:
            with open(path, "rb") as f:
                cached = (mtime, gzip.compress(f.read(), 9, mtime=0))
            with LOG_LOCK:
                ZIPPED[path] = cached
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Content-Encoding", "gzip")
        self.send_header("Vary", "Accept-Encoding")
        self.send_header("Content-Length", str(len(cached[1])))
        self.send_header("Last-Modified", self.date_time_string(mtime))
        self.end_headers()
        return io.BytesIO(cached[1])

    def log_request(self, code="-", size="-"):
        if log:
            with LOG_LOCK:  # one whole line at a time, whichever thread answers
                sys.stdout.write(f"{self.command} {self.path} {code}\n")
                sys.stdout.flush()

    def log_message(self, *args):
        pass

server = http.server.ThreadingHTTPServer(("127.0.0.1", port),
                                         functools.partial(Handler, directory=folder))
print(f"Drenchwick is served at http://127.0.0.1:{server.server_address[1]}/ "
      "(Ctrl+C stops it)", flush=True)
try:
    server.serve_forever()
except KeyboardInterrupt:
    pass
PYTHON
