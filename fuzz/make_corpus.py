#!/usr/bin/env python3
"""Writes the seed corpora: real frames of each kind, in the wire format."""
import os, struct, sys

def s(text):
    b = text.encode('utf-16-be')
    return struct.pack('>I', len(b)) + b

def sl(items):
    return struct.pack('>I', len(items)) + b''.join(s(x) for x in items)

def var(v):
    if isinstance(v, bool):
        return struct.pack('>IB', 1, 0) + struct.pack('>B', 1 if v else 0)
    if isinstance(v, int):
        return struct.pack('>IB', 2, 0) + struct.pack('>i', v)
    if isinstance(v, str):
        return struct.pack('>IB', 10, 0) + s(v)
    if isinstance(v, list):
        return struct.pack('>IB', 11, 0) + sl(v)
    if isinstance(v, float):  # a float travels as a double in this stream version
        return struct.pack('>IB', 38, 0) + struct.pack('>d', v)
    if isinstance(v, tuple) and v[0] == 'date':  # Julian day
        return struct.pack('>IB', 14, 0) + struct.pack('>q', v[1])
    if isinstance(v, tuple) and v[0] == 'datetime':  # Julian day, ms since midnight, UTC
        return struct.pack('>IB', 16, 0) + struct.pack('>qIb', v[1], v[2], 1)
    raise TypeError(v)

def vmap(d):
    out = struct.pack('>I', len(d))
    for k in sorted(d, reverse=True):
        out += s(k) + var(d[k])
    return out

def frame(body):
    return struct.pack('>H', len(body)) + body

root = os.path.dirname(os.path.abspath(__file__))
def write(kind, name, data, step=7):
    d = os.path.join(root, 'corpus', kind)
    os.makedirs(d, exist_ok=True)
    # The first byte of every input chooses how the stream is cut.
    with open(os.path.join(d, name), 'wb') as f:
        f.write(bytes([step]) + data)

tables = {
    'ost128_size': ['10', '15', '20', '25'],
    'ost128_press': ['0,6 (6,0)', '1,6 (16,0)', '2,5 (25,0)'],
    'asme165_size': ['1/2"', '3/4"', '1"'],
    'asme165_press': ['150', '300', '600'],
    'putg_gost128_size': ['10', '15'],
    'putg_gost128_press': ['1,0 (10,0)', '1,6 (16,0)'],
    'putgm_gost128_size': ['10', '15'],
    'putgm_gost128_press': ['1,6 (16,0)'],
    'EOST128_d2': ['28', '35'],
}
write('client_replies', 'tables', frame(b'\x05' + vmap(tables)))
write('client_replies', 'snp', frame(b'\x08' + sl(['69,8', '52,4', '39', '22'])))
write('client_replies', 'snp_gost', frame(b'\x08' + sl(['69,8', '52,4', '39', '22', '3,5'])))
write('client_replies', 'snp_d2', frame(b'\x14' + sl(['15', '69,8', '52,4', '35', '22'])))
write('client_replies', 'putg', frame(b'\x10' + sl(['0', '39', '18', '0'])))
write('client_replies', 'putgm', frame(b'\x12' + sl(['80', '60', '40', '30', 't6'])))
write('client_replies', 'no_arg', frame(b'\x0a\x0a\x19'))
write('client_replies', 'empty', frame(b'\x08' + sl([])))
write('client_replies', 'tables_dated', frame(b'\x05' + vmap(dict(tables, issued=('datetime', 2461000, 3600000)))))
write('client_replies', 'order_ok_two', frame(b'\x0d') + frame(b'\x0e'), step=1)

write('login_reply', 'refused', frame(s('Неверное имя пользователя или пароль')))
write('login_reply', 'ok', frame(s('Авторизация прошла успешно') + vmap({'SNP': True, 'PUTG': False, 'PUTGm': True})))
write('login_reply', 'ok_more', frame(s('Авторизация прошла успешно') + vmap(
    {'SNP': True, 'PUTG': True, 'PUTGm': False, 'expires': ('date', 2462503), 'ratio': 1.5,
     'since': ('datetime', 2460437, 25689010)})))
write('login_reply', 'two', frame(s('Заявка принята')) + frame(s('x')), step=1)

def req(code, arg):
    return frame(bytes([code]) + arg)
write('server_requests', 'login', req(1, s('USER:demo PASS:demo123')))
write('server_requests', 'tables', req(1, s('USER:demo PASS:demo123')) + req(6, s('')))
write('server_requests', 'snp_lookup', req(7, vmap({'standart': 'OST128', 'tf': 'E', 'size': '15', 'press': '1,6 (16,0)'})))
write('server_requests', 'order', req(1, s('USER:demo PASS:demo123')) + req(12, sl(['СНП-Д-3-15-1,6', '2', '52,4*39', 'plan.pdf', 'описание'])))
q = {k: '' for k in ('org', 'fio', 'mail', 'file_name')}
q.update({'isStandart': '0', 'rad': '1', 'osob_sr1': False})
write('server_requests', 'questionnaire', req(1, s('USER:demo PASS:demo123')) + req(9, vmap(q)))
write('server_requests', 'questionnaire_dated', req(1, s('USER:demo PASS:demo123')) + req(9, vmap(dict(q, srok=('date', 2461000)))))
write('server_requests', 'upload', req(1, s('USER:demo PASS:demo123')) + req(4, s('plan.pdf') + struct.pack('>q', 10)) + b'0123456789' + req(6, s('')))
write('server_requests', 'huge_list', req(12, struct.pack('>I', 0x80000000) + b'\0' * 16))
write('server_requests', 'registration', req(255, vmap({'Predpr': 'Завод', 'FIO': 'Иванов', 'Mail': 'a@b.c', 'SNP': True})))

# The decoder-only targets start from the same streams as the whole-program ones.
import shutil
for whole, alone in (('client_replies', 'reply_items'), ('server_requests', 'request_decoder')):
    src, dst = os.path.join(root, 'corpus', whole), os.path.join(root, 'corpus', alone)
    os.makedirs(dst, exist_ok=True)
    for name in os.listdir(src):
        shutil.copyfile(os.path.join(src, name), os.path.join(dst, name))
write('upload_headers', 'single', req(4, s('plan.pdf') + struct.pack('>q', 10)) + b'0123456789' + req(6, s('')))
write('upload_headers', 'row', req(3, s('C:\\чертежи\\фланец.dwg') + struct.pack('>q', 4) + s('2')) + b'abcd')
write('upload_headers', 'two', req(3, s('a.pdf') + struct.pack('>q', 3) + s('0')) + b'xyz'
      + req(3, s('b\u202e.pdf') + struct.pack('>q', 0) + s('1')), step=3)
write('upload_headers', 'negative', req(4, s('../x') + struct.pack('>q', -1)))

v2sig = b'\r\n\r\n\x00\r\nQUIT\n'
write('proxy_header', 'v2_tcp4', v2sig + b'\x21\x11\x00\x0c' + bytes([192, 0, 2, 1, 10, 0, 0, 1]) + struct.pack('>HH', 54321, 7006) + frame(b'\x01'))
write('proxy_header', 'v2_local', v2sig + b'\x20\x00\x00\x00', step=2)
write('proxy_header', 'v1_tcp6', b'PROXY TCP6 2001:db8::1 ::1 80 7006\r\n', step=5)
