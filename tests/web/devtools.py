"""Headless Chromium driven over its DevTools protocol, with the standard library only.

A browser is started with a fresh profile and a debugging port of its own choosing; the client
speaks just enough of the WebSocket protocol (RFC 6455: handshake, masked text frames out,
text, ping and close frames in) to call the protocol's methods on one page.
"""
import base64
import hashlib
import json
import os
import shutil
import socket
import struct
import subprocess
import tempfile
import time
import urllib.request

_GUID = b"258EAFA5-E914-47DA-95CA-C5AB0DC85B11"

# Without these, Chromium keeps trying to reach services on a network it does not have.
CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--disable-default-apps", "--disable-extensions", "--mute-audio",
    "--disable-features=Translate,MediaRouter,OptimizationHints",
]


class DevToolsError(RuntimeError):
    pass


class WebSocket:
    """One client connection; text messages only."""

    def __init__(self, url, timeout):
        if not url.startswith("ws://"):
            raise DevToolsError(f"not a ws:// address: {url}")
        rest = url[len("ws://"):]
        hostport, _, path = rest.partition("/")
        host, _, port = hostport.partition(":")
        self.sock = socket.create_connection((host, int(port or 80)), timeout=timeout)
        key = base64.b64encode(os.urandom(16))
        request = (f"GET /{path} HTTP/1.1\r\nHost: {hostport}\r\nUpgrade: websocket\r\n"
                   f"Connection: Upgrade\r\nSec-WebSocket-Key: {key.decode()}\r\n"
                   "Sec-WebSocket-Version: 13\r\n\r\n")
        self.sock.sendall(request.encode())
        head = b""
        while b"\r\n\r\n" not in head:
            chunk = self.sock.recv(4096)
            if not chunk:
                raise DevToolsError("the browser closed the connection during the handshake")
            head += chunk
        head, _, self.buffer = head.partition(b"\r\n\r\n")
        lines = head.decode("latin-1").split("\r\n")
        if " 101 " not in lines[0] + " ":
            raise DevToolsError(f"handshake refused: {lines[0]}")
        expected = base64.b64encode(hashlib.sha1(key + _GUID).digest()).decode()
        headers = {k.strip().lower(): v.strip()
                   for k, _, v in (line.partition(":") for line in lines[1:])}
        if headers.get("sec-websocket-accept") != expected:
            raise DevToolsError("handshake answered with the wrong Sec-WebSocket-Accept")

    def _read(self, n):
        while len(self.buffer) < n:
            chunk = self.sock.recv(65536)
            if not chunk:
                raise DevToolsError("the browser closed the connection")
            self.buffer += chunk
        out, self.buffer = self.buffer[:n], self.buffer[n:]
        return out

    def _send_frame(self, opcode, payload):
        header = bytes([0x80 | opcode])
        n = len(payload)
        if n < 126:
            header += bytes([0x80 | n])
        elif n < 65536:
            header += bytes([0x80 | 126]) + struct.pack("!H", n)
        else:
            header += bytes([0x80 | 127]) + struct.pack("!Q", n)
        mask = os.urandom(4)
        masked = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
        self.sock.sendall(header + mask + masked)

    def send(self, text):
        self._send_frame(0x1, text.encode())

    def receive(self):
        """The next whole text message."""
        message = b""
        while True:
            first, second = self._read(2)
            opcode, final = first & 0x0F, first & 0x80
            n = second & 0x7F
            if n == 126:
                n = struct.unpack("!H", self._read(2))[0]
            elif n == 127:
                n = struct.unpack("!Q", self._read(8))[0]
            mask = self._read(4) if second & 0x80 else None
            payload = self._read(n)
            if mask:
                payload = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
            if opcode == 0x8:
                raise DevToolsError("the browser closed the connection")
            if opcode == 0x9:
                self._send_frame(0xA, payload)
                continue
            if opcode in (0x0, 0x1, 0x2):
                message += payload
                if final:
                    return message.decode()

    def close(self):
        try:
            self._send_frame(0x8, b"")
        except OSError:
            pass
        self.sock.close()


class Page:
    """The protocol's methods on one page target."""

    def __init__(self, ws_url, timeout=30):
        self.ws = WebSocket(ws_url, timeout)
        self.next_id = 0
        self.events = []

    def call(self, method, **params):
        self.next_id += 1
        mine = self.next_id
        self.ws.send(json.dumps({"id": mine, "method": method, "params": params}))
        while True:
            message = json.loads(self.ws.receive())
            if message.get("id") == mine:
                if "error" in message:
                    raise DevToolsError(f"{method}: {message['error']}")
                return message.get("result", {})
            if "method" in message:
                self.events.append(message)

    def evaluate(self, expression):
        """The value of a JavaScript expression in the page (promises awaited)."""
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        if "exceptionDetails" in result:
            details = result["exceptionDetails"]
            text = details.get("exception", {}).get("description") or details.get("text")
            raise DevToolsError(f"{expression[:60]}...: {text}")
        return result["result"].get("value")

    def wait_for(self, expression, timeout, what):
        """Polls until the expression is truthy; returns its value."""
        deadline = time.monotonic() + timeout
        while True:
            value = self.evaluate(expression)
            if value:
                return value
            if time.monotonic() > deadline:
                raise DevToolsError(f"timed out after {timeout} s waiting for {what}")
            time.sleep(0.05)

    def close(self):
        self.ws.close()


class Chromium:
    """A headless browser with a fresh profile, stopped by close()."""

    def __init__(self, width, height, timeout=60):
        binary = shutil.which("chromium")
        if not binary:
            raise DevToolsError("chromium is missing (scripts/setup web installs it)")
        self.profile = tempfile.mkdtemp(prefix="spirals-chromium-")
        self.log = open(os.path.join(self.profile, "stderr.log"), "w+b")
        self.process = subprocess.Popen(
            [binary, *CHROMIUM_FLAGS, f"--user-data-dir={self.profile}",
             "--remote-debugging-address=127.0.0.1", "--remote-debugging-port=0",
             f"--window-size={width},{height}", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log)
        self.port = self._wait_for_port(timeout)

    def _wait_for_port(self, timeout):
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise DevToolsError(f"chromium exited with {self.process.returncode}: "
                                    f"{self.stderr_tail()}")
            try:
                with open(port_file) as f:
                    first = f.readline().strip()
                if first:
                    return int(first)
            except (OSError, ValueError):
                pass
            time.sleep(0.1)
        raise DevToolsError(f"chromium opened no debugging port in {timeout} s: "
                            f"{self.stderr_tail()}")

    def stderr_tail(self):
        self.log.flush()
        self.log.seek(0)
        return self.log.read().decode(errors="replace")[-2000:]

    def page(self):
        """The browser's first page."""
        with urllib.request.urlopen(f"http://127.0.0.1:{self.port}/json/list", timeout=10) as r:
            targets = json.load(r)
        for target in targets:
            if target.get("type") == "page":
                return Page(target["webSocketDebuggerUrl"])
        raise DevToolsError("chromium shows no page")

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)
