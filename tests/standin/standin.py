#!/usr/bin/env python3
"""A stand-in handset for the tests: a usbmux service (plist protocol) on a local TCP port, a lockdown
service with TLS and a generated pairing record, and AFC services backed by PC folders. The handset is
plugged in while STATE/plugged exists; STATE/attached exists while the stand-in has seen it plugged in, so that
a test can wait until a change has been seen.

    standin.py --state DIR --media FOLDER [--root FOLDER] [--plugged] [--udid UDID] [--keys FILE]
               [--no-pair-record] [--refuse-session[=ERROR]] [--no-afc2]
"""
import argparse
import datetime
import errno
import os
import plistlib
import shutil
import signal
import socket
import ssl
import stat
import struct
import sys
import threading
import time
import uuid

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import rsa
from cryptography.x509.oid import NameOID

LOCKDOWN_PORT = 62078
MUX_HEADER = struct.Struct('<IIII')  # length, version, message, tag
MUX_PLIST, MUX_RESULT = 8, 1
RESULT_OK, RESULT_BADCOMMAND, RESULT_BADDEV, RESULT_CONNREFUSED, RESULT_BADVERSION = 0, 1, 2, 3, 6
MAX_MUX_MESSAGE = 1 << 20
MAX_LOCKDOWN_MESSAGE = 1 << 20
MAX_AFC_PACKET = 64 << 20
MAX_AFC_READ = 16 << 20

AFC_MAGIC = b'CFA6LPAA'
AFC_HEADER = struct.Struct('<8sQQQQ')  # magic, entire length, this length, packet number, operation
(OP_STATUS, OP_DATA, OP_READ_DIR, OP_TRUNCATE, OP_REMOVE_PATH, OP_MAKE_DIR, OP_GET_FILE_INFO, OP_GET_DEVINFO,
 OP_FILE_OPEN, OP_FILE_OPEN_RES, OP_FILE_READ, OP_FILE_WRITE, OP_FILE_SEEK, OP_FILE_TELL, OP_FILE_TELL_RES,
 OP_FILE_CLOSE, OP_FILE_SET_SIZE, OP_RENAME_PATH, OP_FILE_LOCK, OP_MAKE_LINK, OP_SET_FILE_MOD_TIME,
 OP_REMOVE_PATH_AND_CONTENTS) = (1, 2, 3, 7, 8, 9, 10, 11, 13, 14, 15, 16, 17, 18, 19, 20, 21, 24, 27, 28, 30, 34)
(E_SUCCESS, E_UNKNOWN, E_UNKNOWN_PACKET_TYPE, E_INVALID_ARG, E_NOT_FOUND, E_IS_DIR, E_PERM_DENIED,
 E_EXISTS, E_NO_SPACE, E_IO) = (0, 1, 6, 7, 8, 9, 10, 16, 18, 20)
# A non-empty folder gives the unknown error, as the handset's own service does.
ERRNO_STATUS = {errno.ENOENT: E_NOT_FOUND, errno.ENOTDIR: E_NOT_FOUND, errno.EEXIST: E_EXISTS,
                errno.EISDIR: E_IS_DIR, errno.EACCES: E_PERM_DENIED, errno.EPERM: E_PERM_DENIED,
                errno.ENOTEMPTY: E_UNKNOWN, errno.ENOSPC: E_NO_SPACE, errno.EINVAL: E_INVALID_ARG,
                errno.ENAMETOOLONG: E_INVALID_ARG, errno.EIO: E_IO}
OPEN_FLAGS = {1: os.O_RDONLY, 2: os.O_RDWR | os.O_CREAT, 3: os.O_WRONLY | os.O_CREAT | os.O_TRUNC,
              4: os.O_RDWR | os.O_CREAT | os.O_TRUNC, 5: os.O_WRONLY | os.O_APPEND | os.O_CREAT,
              6: os.O_RDWR | os.O_APPEND | os.O_CREAT}

# What GetValue answers; the keys marked public are answered before a session, as a handset does.
PUBLIC_KEYS = ('DeviceClass', 'ProductType', 'ProductVersion', 'BuildVersion', 'UniqueDeviceID',
               'DeviceName', 'ProtocolVersion', 'DevicePublicKey')


def log(*args):
    print('standin:', *args, file=sys.stderr, flush=True)


def recv_exact(sock, n):
    buf = bytearray(n)
    view, got = memoryview(buf), 0
    while got < n:
        k = sock.recv_into(view[got:], n - got)
        if not k:
            raise EOFError
        got += k
    return buf


# ---------------------------------------------------------------- pairing record
def load_or_make_keys(path):
    """Three RSA keys (root, host, device). Key generation dominates start-up, so a cache file may hold them."""
    try:
        with open(path, 'rb') as f:
            keys = [serialization.load_pem_private_key(b, None) for b in f.read().split(b'\n\n') if b.strip()]
        if len(keys) == 3:
            return keys
    except (OSError, TypeError, ValueError):
        pass  # no cache yet, or a spoilt one: made afresh
    keys = [rsa.generate_private_key(public_exponent=65537, key_size=2048) for _ in range(3)]
    if path:
        tmp = '%s.%d' % (path, os.getpid())
        fd = os.open(tmp, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600)
        with os.fdopen(fd, 'wb') as f:
            f.write(b'\n'.join(pem_key(k) for k in keys))
        os.replace(tmp, path)
    return keys


def pem_key(key):
    return key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.TraditionalOpenSSL,
                             serialization.NoEncryption())


def pem_cert(cert):
    return cert.public_bytes(serialization.Encoding.PEM)


def make_cert(name, key, issuer_name, issuer_key, ca):
    now = datetime.datetime.now(datetime.timezone.utc)
    b = (x509.CertificateBuilder()
         .subject_name(x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, name)]))
         .issuer_name(x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, issuer_name)]))
         .public_key(key.public_key()).serial_number(x509.random_serial_number())
         .not_valid_before(now - datetime.timedelta(days=1)).not_valid_after(now + datetime.timedelta(days=3650))
         .add_extension(x509.BasicConstraints(ca=ca, path_length=None), critical=True)
         .add_extension(x509.SubjectKeyIdentifier.from_public_key(key.public_key()), critical=False))
    if not ca:
        b = b.add_extension(x509.KeyUsage(True, False, True, False, False, False, False, False, False), critical=True)
    return b.sign(issuer_key, hashes.SHA256())


def make_record(keys_path):
    root_key, host_key, device_key = load_or_make_keys(keys_path)
    root = make_cert('Pelican Stand-in Root', root_key, 'Pelican Stand-in Root', root_key, True)
    return {
        'DeviceCertificate': pem_cert(make_cert('Device', device_key, 'Pelican Stand-in Root', root_key, False)),
        'HostCertificate': pem_cert(make_cert('Host', host_key, 'Pelican Stand-in Root', root_key, False)),
        'HostPrivateKey': pem_key(host_key),
        'RootCertificate': pem_cert(root),
        'RootPrivateKey': pem_key(root_key),
        'HostID': str(uuid.uuid4()).upper(),
        'SystemBUID': str(uuid.uuid4()).upper(),
        'WiFiMACAddress': '3c:22:fb:00:12:34',
        'EscrowBag': os.urandom(32),
    }, pem_key(device_key)


def write_atomic(path, data):
    tmp = path + '.tmp'
    with open(tmp, 'wb') as f:
        f.write(data)
    os.replace(tmp, path)


# ---------------------------------------------------------------- the handset
class Handset:
    def __init__(self, args):
        self.args = args
        self.udid = args.udid
        self.record, device_key = make_record(args.keys)
        self.values = {
            'DeviceClass': 'iPhone', 'DeviceName': 'Stand-in Handset', 'ProductType': 'iPhone10,3',
            'ProductVersion': '15.8', 'BuildVersion': '19H370', 'UniqueDeviceID': self.udid, 'ProtocolVersion': '2',
            'SerialNumber': 'F2LZ0000STND', 'HardwareModel': 'D22AP', 'CPUArchitecture': 'arm64',
            'ActivationState': 'Activated', 'PasswordProtected': False, 'WiFiAddress': '3c:22:fb:00:12:35',
            'TimeZone': 'Europe/London', 'ModelNumber': 'MQA52',
            'DevicePublicKey': serialization.load_pem_private_key(device_key, None).public_key().public_bytes(
                serialization.Encoding.PEM, serialization.PublicFormat.PKCS1),
        }
        # The TLS server side wants its identity in files.
        self.cert_file = os.path.join(args.state, 'device-cert.pem')
        self.key_file = os.path.join(args.state, 'device-key.pem')
        write_atomic(self.cert_file, self.record['DeviceCertificate'])
        fd = os.open(self.key_file, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600)
        with os.fdopen(fd, 'wb') as f:
            f.write(device_key)
        self.lock = threading.Lock()
        self.device_id = 0          # 0 while unplugged; a new number at every plug-in, as the mux gives
        self.last_id = 0
        self.sockets = set()        # every connection tunnelled to the handset, closed at unplug
        self.listeners = set()
        self.services = {}          # port -> (service name, folder), each good for one connection
        self.next_port = 49152

    # plug state -------------------------------------------------------
    def watch_plug(self):
        flag = os.path.join(self.args.state, 'plugged')
        parent = os.getppid()
        while True:
            if os.getppid() != parent:
                os._exit(0)  # whoever started the stand-in is gone (a test killed at its time-out)
            plugged = os.path.exists(flag)
            if plugged and not self.device_id:
                self.attach()
            elif not plugged and self.device_id:
                self.detach()
            time.sleep(0.025)

    def attach(self):
        with self.lock:
            self.last_id += 1
            self.device_id = self.last_id
            for sock in self.listeners:
                push(sock, self.attached_message())
            write_atomic(os.path.join(self.args.state, 'attached'), str(self.device_id).encode())
        log('plugged in, device', self.device_id)

    def detach(self):
        with self.lock:
            old, self.device_id = self.device_id, 0
            doomed, self.sockets = self.sockets, set()
            self.services.clear()
            for sock in self.listeners:
                push(sock, {'MessageType': 'Detached', 'DeviceID': old})
            try:
                os.remove(os.path.join(self.args.state, 'attached'))
            except FileNotFoundError:
                pass
        log('unplugged, device', old)
        for s in doomed:
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

    def device_properties(self):
        return {'ConnectionSpeed': 480000000, 'ConnectionType': 'USB', 'DeviceID': self.device_id,
                'LocationID': 0x14100000, 'ProductID': 0x12A8, 'SerialNumber': self.udid,
                'USBSerialNumber': self.udid.replace('-', '')}

    def attached_message(self):
        return {'MessageType': 'Attached', 'DeviceID': self.device_id, 'Properties': self.device_properties()}

    # usbmux -------------------------------------------------------------
    def serve_mux(self, sock):
        try:
            while True:
                length, version, message, tag = MUX_HEADER.unpack(recv_exact(sock, MUX_HEADER.size))
                if length < MUX_HEADER.size or length > MAX_MUX_MESSAGE:
                    log('mux: bad length', length)
                    return
                body = recv_exact(sock, length - MUX_HEADER.size)
                if version != 1 or message != MUX_PLIST:
                    sock.sendall(MUX_HEADER.pack(20, 0, MUX_RESULT, tag) + struct.pack('<I', RESULT_BADVERSION))
                    continue
                try:
                    request = plistlib.loads(bytes(body))
                except Exception:
                    send_mux(sock, tag, result(RESULT_BADCOMMAND))
                    continue
                if self.mux_request(sock, tag, request):
                    return  # the socket now belongs to a handset service
        except (EOFError, OSError):
            pass
        finally:
            with self.lock:
                self.listeners.discard(sock)
            sock.close()

    def mux_request(self, sock, tag, request):
        kind = request.get('MessageType') if isinstance(request, dict) else None
        if kind == 'ListDevices':
            devices = [self.attached_message()] if self.device_id else []
            send_mux(sock, tag, {'DeviceList': devices})
        elif kind == 'Listen':
            # Under the lock, so that no plug change slips between the answer and the first report.
            with self.lock:
                send_mux(sock, tag, result(RESULT_OK))
                self.listeners.add(sock)
                if self.device_id:
                    send_mux(sock, 0, self.attached_message())
        elif kind == 'ReadBUID':
            send_mux(sock, tag, {'BUID': self.record['SystemBUID']})
        elif kind == 'ReadPairRecord':
            if self.args.no_pair_record or request.get('PairRecordID') != self.udid:
                send_mux(sock, tag, result(errno.ENOENT))
            else:
                data = plistlib.dumps(self.record, fmt=plistlib.FMT_BINARY)
                send_mux(sock, tag, {'PairRecordData': data})
        elif kind == 'Connect':
            return self.connect(sock, tag, request)
        else:
            send_mux(sock, tag, result(RESULT_BADCOMMAND))
        return False

    def connect(self, sock, tag, request):
        port = request.get('PortNumber')
        if not isinstance(port, int) or not 0 <= port <= 0xFFFF:
            send_mux(sock, tag, result(RESULT_BADCOMMAND))
            return False
        port = ((port & 0xFF) << 8) | (port >> 8)  # sent in network byte order
        with self.lock:
            if not self.device_id or request.get('DeviceID') != self.device_id:
                code, service = RESULT_BADDEV, None
            elif port == LOCKDOWN_PORT:
                code, service = RESULT_OK, ('lockdown', None)
            elif port in self.services:
                code, service = RESULT_OK, self.services.pop(port)
            else:
                code, service = RESULT_CONNREFUSED, None
            if service:
                self.sockets.add(sock)
        send_mux(sock, tag, result(code))
        if not service:
            return False
        try:
            if service[0] == 'lockdown':
                Lockdown(self, sock).serve()
            else:
                Afc(service[1], sock).serve()
        except (EOFError, ConnectionResetError):
            pass
        except (OSError, ssl.SSLError) as e:
            log(service[0], 'connection ended:', type(e).__name__, e)
        finally:
            with self.lock:
                self.sockets.discard(sock)
            sock.close()
        return True

    def start_service(self, name):
        folders = {'com.apple.afc': self.args.media}
        if self.args.root and not self.args.no_afc2:
            folders['com.apple.afc2'] = self.args.root
        if name not in folders:
            return None
        with self.lock:
            port, self.next_port = self.next_port, self.next_port + 1 if self.next_port < 65000 else 49152
            self.services[port] = (name, folders[name])
        return port


def result(code):
    return {'MessageType': 'Result', 'Number': code}


def push(sock, message):
    try:
        send_mux(sock, 0, message)
    except OSError:
        pass


def send_mux(sock, tag, message):
    body = plistlib.dumps(message)
    sock.sendall(MUX_HEADER.pack(MUX_HEADER.size + len(body), 1, MUX_PLIST, tag) + body)


# ---------------------------------------------------------------- lockdown
class Lockdown:
    def __init__(self, handset, sock):
        self.handset, self.raw, self.sock, self.session = handset, sock, sock, None

    def send(self, message):
        body = plistlib.dumps(message)
        self.sock.sendall(struct.pack('>I', len(body)) + body)

    def serve(self):
        while True:
            length, = struct.unpack('>I', recv_exact(self.sock, 4))
            if length > MAX_LOCKDOWN_MESSAGE:
                log('lockdown: message too long', length)
                return
            try:
                request = plistlib.loads(bytes(recv_exact(self.sock, length)))
                name = request['Request']
            except (EOFError, OSError):
                raise
            except Exception:
                self.send({'Error': 'InvalidMessage'})
                continue
            if not self.answer(name, request):
                return

    def answer(self, name, request):
        h = self.handset
        if name == 'QueryType':
            self.send({'Request': name, 'Type': 'com.apple.mobile.lockdown'})
        elif name == 'GetValue':
            self.get_value(request)
        elif name == 'StartSession':
            refusal = h.args.refuse_session
            if not refusal and request.get('HostID') != h.record['HostID']:
                refusal = 'InvalidHostID'
            if refusal:
                self.send({'Request': name, 'Error': refusal})
                return True
            self.session = str(uuid.uuid4()).upper()
            self.send({'Request': name, 'SessionID': self.session, 'EnableSessionSSL': True})
            self.sock = self.tls_context().wrap_socket(self.raw, server_side=True)
        elif name == 'StopSession':
            if not self.session:
                self.send({'Request': name, 'Error': 'NoRunningSession'})
                return True
            self.send({'Request': name})
            self.session = None
            self.sock = self.sock.unwrap()
        elif name == 'StartService':
            if not self.session:
                self.send({'Request': name, 'Service': request.get('Service'), 'Error': 'SessionInactive'})
                return True
            port = h.start_service(request.get('Service'))
            if port is None:
                self.send({'Request': name, 'Service': request.get('Service'), 'Error': 'InvalidService'})
            else:
                self.send({'Request': name, 'Service': request['Service'], 'Port': port, 'EnableServiceSSL': False})
        elif name == 'Pair':
            # Trusting a new computer takes the user's tap on the handset; the stand-in never gets one.
            self.send({'Request': name, 'Error': 'PairingDialogResponsePending'})
        elif name == 'Goodbye':
            self.send({'Request': name, 'Result': 'Success'})
            return False
        else:
            self.send({'Request': name, 'Error': 'UnsupportedRequest'})
        return True

    def get_value(self, request):
        values = self.handset.values
        if not self.session:
            values = {k: v for k, v in values.items() if k in PUBLIC_KEYS}
        domain, key = request.get('Domain'), request.get('Key')
        if domain == 'com.apple.disk_usage':
            st = os.statvfs(self.handset.args.media)
            values = {'TotalDiskCapacity': st.f_blocks * st.f_frsize, 'AmountDataAvailable': st.f_bavail * st.f_frsize}
        elif domain:
            values = {}
        answer = {'Request': 'GetValue'}
        if domain:
            answer['Domain'] = domain
        if key is None:
            answer['Value'] = values
        elif key in values:
            answer.update(Key=key, Value=values[key])
        else:
            answer.update(Key=key, Error='MissingValue')
        self.send(answer)

    def tls_context(self):
        # A client must present a certificate issued by the record's root (or the root itself).
        ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        ctx.minimum_version = ssl.TLSVersion.TLSv1_2
        ctx.maximum_version = ssl.TLSVersion.TLSv1_2
        ctx.load_cert_chain(self.handset.cert_file, self.handset.key_file)
        ctx.verify_mode = ssl.CERT_REQUIRED
        ctx.load_verify_locations(cadata=self.handset.record['RootCertificate'].decode())
        return ctx


# ---------------------------------------------------------------- AFC
class AfcError(Exception):
    def __init__(self, status):
        super().__init__(status)
        self.status = status


class Afc:
    def __init__(self, folder, sock):
        self.root = os.path.realpath(folder)
        self.sock = sock
        self.files = {}
        self.next_handle = 1

    def serve(self):
        try:
            while True:
                magic, entire, this, number, op = AFC_HEADER.unpack(recv_exact(self.sock, AFC_HEADER.size))
                if magic != AFC_MAGIC or this < AFC_HEADER.size or entire < this or entire > MAX_AFC_PACKET:
                    log('afc: bad header', magic, entire, this)
                    return
                params = recv_exact(self.sock, this - AFC_HEADER.size)
                payload = recv_exact(self.sock, entire - this)
                try:
                    reply_op, head, data = self.handle(op, params, payload)
                except AfcError as e:
                    reply_op, head, data = OP_STATUS, struct.pack('<Q', e.status), b''
                except OSError as e:
                    reply_op, head, data = OP_STATUS, struct.pack('<Q', ERRNO_STATUS.get(e.errno, E_UNKNOWN)), b''
                except (struct.error, ValueError, IndexError):
                    reply_op, head, data = OP_STATUS, struct.pack('<Q', E_INVALID_ARG), b''
                this_len = AFC_HEADER.size + len(head)
                header = AFC_HEADER.pack(AFC_MAGIC, this_len + len(data), this_len, number, reply_op) + head
                self.send(header, data)
        finally:
            for fd in self.files.values():
                os.close(fd)

    def send(self, header, data):
        # One gathered send: no copy of a large read, and no second segment waiting for an ACK.
        parts = [memoryview(header), memoryview(data)]
        while parts:
            sent = self.sock.sendmsg(parts)
            while parts and sent >= len(parts[0]):
                sent -= len(parts[0])
                parts.pop(0)
            if parts:
                parts[0] = parts[0][sent:]

    def path(self, raw):
        """The PC path of a device path; nothing outside the served folder is reachable."""
        text = os.fsdecode(bytes(raw).split(b'\0', 1)[0])
        parts = []
        for part in text.split('/'):
            if part in ('', '.'):
                continue
            if part == '..':
                if not parts:
                    raise AfcError(E_PERM_DENIED)
                parts.pop()
            else:
                parts.append(part)
        full = os.path.join(self.root, *parts)
        parent = os.path.realpath(os.path.dirname(full)) if parts else self.root
        if parent != self.root and not parent.startswith(self.root + os.sep):
            raise AfcError(E_PERM_DENIED)
        return full

    def two_paths(self, raw):
        first, rest = bytes(raw).split(b'\0', 1)
        return self.path(first), self.path(rest)

    def fd(self, params):
        handle, = struct.unpack_from('<Q', params)
        if handle not in self.files:
            raise AfcError(E_INVALID_ARG)
        return self.files[handle]

    @staticmethod
    def status(code=E_SUCCESS):
        return OP_STATUS, struct.pack('<Q', code), b''

    @staticmethod
    def pairs(d):
        return OP_DATA, b'', b''.join(b'%s\0%s\0' % (k.encode(), str(v).encode()) for k, v in d.items())

    def handle(self, op, params, payload):
        if op == OP_FILE_READ:
            fd = self.fd(params)
            size, = struct.unpack_from('<Q', params, 8)
            return OP_DATA, b'', os.read(fd, min(size, MAX_AFC_READ))
        if op == OP_FILE_WRITE:
            fd = self.fd(params)
            view = memoryview(payload)
            while view:
                view = view[os.write(fd, view):]
            return self.status()
        if op == OP_FILE_OPEN:
            mode, = struct.unpack_from('<Q', params)
            if mode not in OPEN_FLAGS:
                raise AfcError(E_INVALID_ARG)
            fd = os.open(self.path(params[8:]), OPEN_FLAGS[mode], 0o644)
            if stat.S_ISDIR(os.fstat(fd).st_mode):
                os.close(fd)
                raise AfcError(E_IS_DIR)
            handle, self.next_handle = self.next_handle, self.next_handle + 1
            self.files[handle] = fd
            return OP_FILE_OPEN_RES, struct.pack('<Q', handle), b''
        if op == OP_FILE_CLOSE:
            self.fd(params)
            os.close(self.files.pop(struct.unpack_from('<Q', params)[0]))
            return self.status()
        if op == OP_FILE_SEEK:
            fd = self.fd(params)
            whence, offset = struct.unpack_from('<Qq', params, 8)
            if whence not in (0, 1, 2):
                raise AfcError(E_INVALID_ARG)
            os.lseek(fd, offset, whence)
            return self.status()
        if op == OP_FILE_TELL:
            return OP_FILE_TELL_RES, struct.pack('<Q', os.lseek(self.fd(params), 0, os.SEEK_CUR)), b''
        if op == OP_FILE_SET_SIZE:
            os.ftruncate(self.fd(params), struct.unpack_from('<Q', params, 8)[0])
            return self.status()
        if op == OP_FILE_LOCK:
            self.fd(params)
            return self.status()
        if op == OP_READ_DIR:
            names = ['.', '..'] + os.listdir(self.path(params))
            return OP_DATA, b'', b''.join(os.fsencode(n) + b'\0' for n in names)
        if op == OP_GET_FILE_INFO:
            full = self.path(params)
            st = os.lstat(full)
            kind = 'S_IFDIR' if stat.S_ISDIR(st.st_mode) else 'S_IFLNK' if stat.S_ISLNK(st.st_mode) else 'S_IFREG'
            info = {'st_size': st.st_size, 'st_blocks': st.st_blocks, 'st_nlink': st.st_nlink, 'st_ifmt': kind,
                    'st_mtime': st.st_mtime_ns, 'st_birthtime': min(st.st_mtime_ns, st.st_ctime_ns)}
            if kind == 'S_IFLNK':
                info['LinkTarget'] = os.readlink(full)
            return self.pairs(info)
        if op == OP_GET_DEVINFO:
            st = os.statvfs(self.root)
            return self.pairs({'Model': 'iPhone10,3', 'FSTotalBytes': st.f_blocks * st.f_frsize,
                               'FSFreeBytes': st.f_bavail * st.f_frsize, 'FSBlockSize': st.f_bsize})
        if op == OP_MAKE_DIR:
            os.makedirs(self.path(params), exist_ok=True)
            return self.status()
        if op == OP_REMOVE_PATH:
            full = self.path(params)
            os.rmdir(full) if stat.S_ISDIR(os.lstat(full).st_mode) else os.unlink(full)
            return self.status()
        if op == OP_REMOVE_PATH_AND_CONTENTS:
            full = self.path(params)
            shutil.rmtree(full) if stat.S_ISDIR(os.lstat(full).st_mode) else os.unlink(full)
            return self.status()
        if op == OP_RENAME_PATH:
            os.rename(*self.two_paths(params))
            return self.status()
        if op == OP_SET_FILE_MOD_TIME:
            mtime, = struct.unpack_from('<Q', params)
            full = self.path(params[8:])
            os.utime(full, ns=(os.stat(full).st_atime_ns, mtime))
            return self.status()
        if op == OP_TRUNCATE:
            size, = struct.unpack_from('<Q', params)
            os.truncate(self.path(params[8:]), size)
            return self.status()
        if op == OP_MAKE_LINK:
            kind, = struct.unpack_from('<Q', params)
            target, name = bytes(params[8:]).split(b'\0')[:2]
            if kind == 2:
                os.symlink(os.fsdecode(target), self.path(name))
            else:
                os.link(self.path(target), self.path(name))
            return self.status()
        raise AfcError(E_UNKNOWN_PACKET_TYPE)


# ---------------------------------------------------------------- start-up
def main():
    p = argparse.ArgumentParser(description='A stand-in handset on a local usbmux port.')
    p.add_argument('--state', required=True, help='folder for port, plugged, Lockdown/<UDID>.plist')
    p.add_argument('--media', required=True, help='folder that com.apple.afc serves')
    p.add_argument('--root', help='folder that com.apple.afc2 serves (the whole device)')
    p.add_argument('--plugged', action='store_true', help='start plugged in')
    p.add_argument('--udid', default='00008030-001C25D40C38802E')
    p.add_argument('--keys', help='cache file for the generated RSA keys')
    p.add_argument('--no-pair-record', action='store_true')
    p.add_argument('--refuse-session', nargs='?', const='InvalidHostID', default=None)
    p.add_argument('--no-afc2', action='store_true')
    args = p.parse_args()
    for folder in filter(None, (args.media, args.root)):
        if not os.path.isdir(folder):
            p.error('not a folder: ' + folder)
    os.makedirs(args.state, exist_ok=True)

    handset = Handset(args)
    if not args.no_pair_record:
        lockdown = os.path.join(args.state, 'Lockdown')
        os.makedirs(lockdown, exist_ok=True)
        write_atomic(os.path.join(lockdown, args.udid + '.plist'), plistlib.dumps(handset.record))
        write_atomic(os.path.join(lockdown, 'SystemConfiguration.plist'),
                     plistlib.dumps({'SystemBUID': handset.record['SystemBUID']}))
    if args.plugged:
        open(os.path.join(args.state, 'plugged'), 'a').close()

    server = socket.socket()
    server.bind(('127.0.0.1', 0))
    server.listen(64)
    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
    threading.Thread(target=handset.watch_plug, daemon=True).start()
    write_atomic(os.path.join(args.state, 'port'), b'%d\n' % server.getsockname()[1])
    while True:
        sock, _ = server.accept()
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        threading.Thread(target=handset.serve_mux, args=(sock,), daemon=True).start()


if __name__ == '__main__':
    main()
