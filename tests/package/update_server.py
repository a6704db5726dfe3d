#!/usr/bin/env python3
"""A small update server for the updater's tests: serves a folder on 127.0.0.1
at a free port (written to --port-file once listening). Any path below
/stall/ is accepted and never answered, as a server that hangs."""
import argparse
import functools
import http.server
import os
import threading


class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        if self.path.startswith('/stall/'):
            self.server.stalled.wait(120)
            return
        super().do_GET()

    def log_message(self, *args):
        pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--root', required=True)
    parser.add_argument('--port-file', required=True)
    args = parser.parse_args()
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0),
                                             functools.partial(Handler, directory=args.root))
    server.daemon_threads = True
    server.stalled = threading.Event()
    temp = args.port_file + '.tmp'
    with open(temp, 'w') as f:
        f.write(str(server.server_address[1]))
    os.replace(temp, args.port_file)
    try:
        server.serve_forever()
    finally:
        server.stalled.set()


if __name__ == '__main__':
    main()
