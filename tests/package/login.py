#!/usr/bin/python3
"""Logs in to an order server as the client does; exit 0 when the server
answers with the success text, 1 when it answers anything else.
    login.py PORT USER PASSWORD"""
import socket
import struct
import sys

OK = "Авторизация прошла успешно"


def frame(code, text):
    # A QDataStream QString: byte length, then UTF-16 big-endian.
    data = text.encode("utf-16-be")
    body = bytes([code]) + struct.pack(">I", len(data)) + data
    return struct.pack(">H", len(body)) + body


def read_exact(sock, n):
    buf = b""
    while len(buf) < n:
        chunk = sock.recv(n - len(buf))
        if not chunk:
            raise SystemExit("login.py: connection closed")
        buf += chunk
    return buf


def main():
    port, user, password = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    with socket.create_connection(("127.0.0.1", port), timeout=30) as s:
        s.sendall(frame(1, "USER:%s PASS:%s" % (user, password)))
        (size,) = struct.unpack(">H", read_exact(s, 2))
        body = read_exact(s, size)
    (length,) = struct.unpack(">I", body[:4])
    text = "" if length == 0xFFFFFFFF else body[4:4 + length].decode("utf-16-be")
    print("login.py: %s: %s" % (user, text))
    return 0 if text == OK else 1


if __name__ == "__main__":
    sys.exit(main())
