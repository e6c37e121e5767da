#!/usr/bin/env python3
"""Stand-in for the production artifact repository, for tests and for trying
the upload by hand.

An HTTPS server on loopback that takes raw component uploads the way the
real repository does:

  POST /service/rest/v1/components?repository=<name>
  multipart/form-data with raw.directory, raw.asset1 (with a filename) and
  raw.asset1.filename

and stores each asset under <storage>/<repository>/<directory>/<filename>.
It prints "listening on <port>" once it accepts connections, then one line per
connection and per request on standard output.

--fail makes it misbehave on every request: "500" answers 500, "close" closes
the connection without an answer, "silent" never answers.

Only the Python 3 standard library is used.
"""

import argparse
import base64
import binascii
import http.server
import json
import os
import re
import select
import socket
import ssl
import sys
import threading
import urllib.parse

COMPONENTS_PATH = "/service/rest/v1/components"
REALM = "Artifact Repository"
CSRF_NAME = "X-Anti-CSRF-Token"


def say(text):
    print(text, flush=True)


def parse_header_parameters(value):
    """Splits 'type; a=1; b="x y"' into ('type', {'a': '1', 'b': 'x y'})."""
    head, _, rest = value.partition(";")
    parameters = {}
    for match in re.finditer(r';?\s*([^=;\s]+)\s*=\s*("(?:[^"\\]|\\.)*"|[^;]*)', rest):
        name, raw = match.group(1).lower(), match.group(2).strip()
        if len(raw) >= 2 and raw[0] == raw[-1] == '"':
            raw = re.sub(r"\\(.)", r"\1", raw[1:-1])
        parameters[name] = raw
    return head.strip().lower(), parameters


def parse_multipart(body, boundary):
    """Returns [(headers, content)] or raises ValueError. The delimiter is
    CRLF "--" boundary; the body's first delimiter may lack the CRLF."""
    delimiter = b"\r\n--" + boundary
    segments = (b"\r\n" + body).split(delimiter)
    if len(segments) < 2:
        raise ValueError("no multipart boundary found")
    parts = []
    for segment in segments[1:]:
        if segment.startswith(b"--"):
            return parts
        line_end = segment.find(b"\r\n")
        if line_end < 0 or segment[:line_end].strip(b" \t"):
            raise ValueError("malformed boundary line")
        rest = segment[line_end + 2:]
        if rest.startswith(b"\r\n"):
            head, content = b"", rest[2:]  # a part without headers
        else:
            head, separator, content = rest.partition(b"\r\n\r\n")
            if not separator:
                raise ValueError("malformed part headers")
        headers = {}
        for line in head.decode("latin-1").split("\r\n"):
            if not line:
                continue
            name, colon, value = line.partition(":")
            if not colon:
                raise ValueError("malformed part header")
            headers[name.strip().lower()] = value.strip()
        parts.append((headers, content))
    raise ValueError("multipart body not terminated")


class Repositories:
    """What the server was told to hold, and the uploads it has stored."""

    def __init__(self, options):
        self.storage = os.path.abspath(options.storage)
        self.names = set(options.repository or ["kw_production_artifacts"])
        self.writers = dict(self._account(text) for text in options.user or [])
        self.readers = dict(self._account(text) for text in options.read_only_user or [])
        self.allow_redeploy = options.allow_redeploy
        self.fail = options.fail
        self.lock = threading.Lock()

    @staticmethod
    def _account(text):
        user, colon, password = text.partition(":")
        if not colon or not user:
            raise SystemExit("accounts are given as USER:PASSWORD, not %r" % text)
        return user, password

    def authenticate(self, header):
        """Returns (user, may_write) or None."""
        scheme, _, token = (header or "").partition(" ")
        if scheme.lower() != "basic":
            return None
        try:
            user, _, password = base64.b64decode(token.strip(), validate=True).decode("utf-8").partition(":")
        except (binascii.Error, UnicodeDecodeError):
            return None
        if self.writers.get(user) == password:
            return user, True
        if self.readers.get(user) == password:
            return user, False
        return None


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "ArtifactRepositoryStandIn/1.0"

    def log_message(self, format, *args):  # noqa: A002 - base class signature
        pass

    # Answers -----------------------------------------------------------

    def answer(self, status, body=b"", content_type="text/plain", headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        if status != 204:
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if body and status != 204:
            self.wfile.write(body)
        self.report(status)

    def answer_errors(self, status, *messages):
        errors = [{"id": "*", "message": message} for message in messages]
        self.answer(status, json.dumps(errors).encode(), "application/json")

    def report(self, status):
        say("request %s %s -> %s agent=%s" % (self.command, self.path, status,
                                               self.headers.get("User-Agent", "")))

    # Requests ----------------------------------------------------------

    def do_GET(self):
        self.dispatch()

    def do_PUT(self):
        self.dispatch()

    def do_DELETE(self):
        self.dispatch()

    def do_POST(self):
        self.dispatch()

    def dispatch(self):
        repositories = self.server.repositories
        body = self.read_body()
        if body is None:
            return
        if repositories.fail == "500":
            self.answer(500, b"Internal Server Error")
            return
        if repositories.fail == "close":
            self.report("closed")
            self.close_connection = True
            return
        if repositories.fail == "silent":
            self.report("never answered")
            self.wait_for_client_to_leave()
            return

        url = urllib.parse.urlsplit(self.path)
        if url.path.rstrip("/") != COMPONENTS_PATH:
            self.answer(404, b"Not Found")
            return
        if self.command != "POST":
            self.answer(405, b"Method Not Allowed")
            return
        account = repositories.authenticate(self.headers.get("Authorization"))
        if account is None:
            self.answer(401, b"", headers=[("WWW-Authenticate", 'BASIC realm="%s"' % REALM)])
            return
        content_type, parameters = parse_header_parameters(self.headers.get("Content-Type", ""))
        if content_type.startswith("multipart/") and self.refused_by_csrf_check():
            self.answer(403, b"CSRF token mismatch")
            return
        query = urllib.parse.parse_qs(url.query)
        repository = (query.get("repository") or [""])[0]
        if not repository:
            self.answer_errors(422, "Parameter 'repository' is required")
            return
        if repository not in repositories.names:
            self.answer(404, b"Repository not found")
            return
        user, may_write = account
        if not may_write:
            self.answer(403, b"Forbidden")
            return
        if content_type != "multipart/form-data" or "boundary" not in parameters:
            self.answer_errors(400, "Upload must be a multipart/form-data request")
            return
        try:
            fields = self.form_fields(parse_multipart(body, parameters["boundary"].encode("latin-1")))
        except ValueError as error:
            self.answer_errors(400, "Malformed multipart body: %s" % error)
            return
        self.store(repository, fields)

    def refused_by_csrf_check(self):
        """Browser agents must prove the request came from the repository's
        own pages: header token equal to the cookie of the same name."""
        if not self.headers.get("User-Agent", "").startswith("Mozilla/"):
            return False
        token = self.headers.get(CSRF_NAME)
        cookies = {}
        for cookie in self.headers.get_all("Cookie", []):
            for pair in cookie.split(";"):
                name, _, value = pair.strip().partition("=")
                cookies[name] = value
        return not token or cookies.get(CSRF_NAME) != token

    @staticmethod
    def form_fields(parts):
        fields = {}
        for headers, content in parts:
            disposition, parameters = parse_header_parameters(headers.get("content-disposition", ""))
            if disposition != "form-data" or "name" not in parameters:
                raise ValueError("part without a form-data name")
            fields[parameters["name"]] = (parameters.get("filename"), content)
        return fields

    def store(self, repository, fields):
        repositories = self.server.repositories
        errors = []
        if "raw.asset1" not in fields:
            errors.append("At least one asset is required")
        if "raw.directory" not in fields or not fields["raw.directory"][1].strip():
            errors.append("Missing required component field 'Directory'")
        if "raw.asset1.filename" not in fields or not fields["raw.asset1.filename"][1].strip():
            errors.append("Missing required asset field 'Filename' on '1'")
        if errors:
            self.answer_errors(400, *errors)
            return
        try:
            directory = fields["raw.directory"][1].decode("utf-8")
            filename = fields["raw.asset1.filename"][1].decode("utf-8")
        except UnicodeDecodeError:
            self.answer_errors(400, "Directory and file name must be UTF-8")
            return
        path = re.sub(r"/+", "/", "/%s/%s" % (directory, filename)).strip("/")
        if any(piece in ("", ".", "..") for piece in path.split("/")):
            self.answer_errors(400, "Invalid path '%s'" % path)
            return
        target = os.path.join(repositories.storage, repository, *path.split("/"))
        with repositories.lock:
            if os.path.exists(target) and not repositories.allow_redeploy:
                self.answer_errors(400, "Repository does not allow updating assets: %s" % repository)
                return
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "wb") as stored:
                stored.write(fields["raw.asset1"][1])
        say("stored %s/%s parts=%s asset-filename=%s"
            % (repository, path, ",".join(fields), fields["raw.asset1"][0]))
        self.answer(204)

    # Transport ---------------------------------------------------------

    def read_body(self):
        if "chunked" in self.headers.get("Transfer-Encoding", "").lower():
            self.close_connection = True
            self.answer(411, b"Length Required")
            return None
        try:
            length = int(self.headers.get("Content-Length", "0"))
        except ValueError:
            length = -1
        if length < 0:
            self.close_connection = True
            self.answer(400, b"Bad Content-Length")
            return None
        if self.headers.get("Expect", "").lower() == "100-continue":
            self.send_response_only(100)
            self.end_headers()
        body = self.rfile.read(length)
        if len(body) != length:
            self.close_connection = True
            return None
        return body

    def wait_for_client_to_leave(self):
        self.close_connection = True
        connection = self.connection
        connection.settimeout(1.0)
        while not self.server.stopping.is_set():
            readable, _, _ = select.select([connection], [], [], 1.0)
            if readable:
                try:
                    if not connection.recv(4096):
                        return
                except socket.timeout:
                    continue
                except (ssl.SSLError, OSError):
                    return


class StandInServer(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, address, tls, repositories):
        super().__init__(address, Handler)
        self.tls = tls
        self.repositories = repositories
        self.stopping = threading.Event()

    def finish_request(self, request, client_address):
        # The TLS handshake happens here, in the connection's own thread, so
        # a slow or failing client cannot hold up the others.
        say("connection from %s:%d" % client_address[:2])
        request.settimeout(30)
        try:
            connection = self.tls.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError) as error:
            say("handshake failed: %s" % error)
            return
        try:
            self.RequestHandlerClass(connection, client_address, self)
        except (ssl.SSLError, OSError):
            pass
        finally:
            try:
                connection.close()
            except OSError:
                pass

    def handle_error(self, request, client_address):
        say("error while serving %s:%d: %s" % (client_address[0], client_address[1], sys.exc_info()[1]))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--port", type=int, default=0, help="TCP port (0: a free one, printed)")
    parser.add_argument("--bind", default="127.0.0.1", help="address to listen on (default 127.0.0.1)")
    parser.add_argument("--storage", required=True, help="directory the uploads are stored in")
    parser.add_argument("--cert", required=True, help="server certificate chain (PEM)")
    parser.add_argument("--key", required=True, help="server private key (PEM)")
    parser.add_argument("--user", action="append", metavar="USER:PASSWORD",
                        help="account with write permission (repeatable)")
    parser.add_argument("--read-only-user", action="append", metavar="USER:PASSWORD",
                        help="account that may log in but not upload (repeatable)")
    parser.add_argument("--repository", action="append", metavar="NAME",
                        help="raw repository to hold (repeatable; default kw_production_artifacts)")
    parser.add_argument("--allow-redeploy", action="store_true",
                        help="let a second upload replace a stored asset")
    parser.add_argument("--fail", choices=["none", "500", "close", "silent"], default="none",
                        help="answer every request with 500, close it unanswered, or never answer")
    options = parser.parse_args()

    repositories = Repositories(options)
    os.makedirs(repositories.storage, exist_ok=True)
    tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    tls.load_cert_chain(options.cert, options.key)

    server = StandInServer((options.bind, options.port), tls, repositories)
    say("listening on %d" % server.server_address[1])
    try:
        server.serve_forever(poll_interval=0.5)
    except KeyboardInterrupt:
        pass
    finally:
        server.stopping.set()
        server.server_close()


if __name__ == "__main__":
    main()
