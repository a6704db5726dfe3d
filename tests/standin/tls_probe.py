#!/usr/bin/env python3
"""Checks that the stand-in's lockdown TLS step accepts the pairing record's host certificate and refuses a
client with no certificate or with one the record's root did not issue. Needs USBMUXD_SOCKET_ADDRESS."""
import datetime
import os
import plistlib
import socket
import ssl
import struct
import sys
import tempfile

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import rsa
from cryptography.x509.oid import NameOID


def mux(sock, message, tag):
    body = plistlib.dumps(message)
    sock.sendall(struct.pack('<IIII', 16 + len(body), 1, 8, tag) + body)
    length, _, _, got = struct.unpack('<IIII', recv(sock, 16))
    assert got == tag, 'tag %d for %d' % (got, tag)
    return plistlib.loads(recv(sock, length - 16))


def recv(sock, n):
    data = b''
    while len(data) < n:
        chunk = sock.recv(n - len(data))
        if not chunk:
            raise EOFError('connection closed')
        data += chunk
    return data


def lockdown(sock, request):
    body = plistlib.dumps(request)
    sock.sendall(struct.pack('>I', len(body)) + body)
    return plistlib.loads(recv(sock, struct.unpack('>I', recv(sock, 4))[0]))


def mux_socket():
    host, port = os.environ['USBMUXD_SOCKET_ADDRESS'].rsplit(':', 1)
    return socket.create_connection((host, int(port)))


def open_session(record, device_id):
    sock = mux_socket()
    answer = mux(sock, {'MessageType': 'Connect', 'DeviceID': device_id, 'PortNumber': socket.htons(62078)}, 3)
    assert answer.get('Number') == 0, answer
    answer = lockdown(sock, {'Request': 'StartSession', 'HostID': record['HostID'],
                             'SystemBUID': record['SystemBUID']})
    assert answer.get('EnableSessionSSL') is True, answer
    return sock


def try_tls(record, device_id, cert_pem, key_pem):
    """True when the handshake completes and a request gets its answer over TLS."""
    sock = open_session(record, device_id)
    ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_CLIENT)
    ctx.check_hostname, ctx.verify_mode = False, ssl.CERT_NONE
    if cert_pem:
        with tempfile.NamedTemporaryFile('wb', suffix='.pem') as f:
            f.write(cert_pem + key_pem)
            f.flush()
            ctx.load_cert_chain(f.name)
    try:
        tls = ctx.wrap_socket(sock)
        answer = lockdown(tls, {'Request': 'GetValue', 'Key': 'SerialNumber'})
        return 'Value' in answer
    except (ssl.SSLError, OSError, EOFError):
        return False
    finally:
        sock.close()


def foreign_identity():
    key = rsa.generate_private_key(public_exponent=65537, key_size=2048)
    name = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, 'Host')])
    now = datetime.datetime.now(datetime.timezone.utc)
    cert = (x509.CertificateBuilder().subject_name(name).issuer_name(name).public_key(key.public_key())
            .serial_number(1).not_valid_before(now - datetime.timedelta(days=1))
            .not_valid_after(now + datetime.timedelta(days=30)).sign(key, hashes.SHA256()))
    return (cert.public_bytes(serialization.Encoding.PEM),
            key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.TraditionalOpenSSL,
                              serialization.NoEncryption()))


def main():
    devices = mux(mux_socket(), {'MessageType': 'ListDevices'}, 1)['DeviceList']
    assert devices, 'no handset attached'
    props = devices[0]['Properties']
    answer = mux(mux_socket(), {'MessageType': 'ReadPairRecord', 'PairRecordID': props['SerialNumber']}, 2)
    record = plistlib.loads(answer['PairRecordData'])
    cases = [('the host certificate', record['HostCertificate'], record['HostPrivateKey'], True),
             ('no certificate', None, None, False),
             ('a certificate the root did not issue', *foreign_identity(), False)]
    failed = 0
    for name, cert, key, expected in cases:
        got = try_tls(record, props['DeviceID'], cert, key)
        print('%s: %s with %s' % ('ok' if got == expected else 'FAIL', 'accepted' if got else 'refused', name))
        failed += got != expected
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
