#!/usr/bin/python3
"""Mail and document helpers for the server tests.

  serve PORT DIR CERT KEY USER PASSWORD [implicit]
                                          SMTP server (STARTTLS, or TLS from the start,
                                          and AUTH required); each message is saved as
                                          DIR/N.eml with its envelope in DIR/N.json
  cert DIR                                throwaway certificate for 127.0.0.1
  summary FILE                            a message as JSON (headers, body, attachments
                                          saved next to it)
  xlsx FILE / ods FILE                    the cells of the first sheet as JSON rows
"""
import json
import os
import ssl
import subprocess
import sys
import time


def serve(port, folder, cert, key, user, password, mode='starttls'):
    import logging
    logging.getLogger('mail.log').setLevel(logging.ERROR)  # the library's own deprecation notes
    from aiosmtpd.controller import Controller
    from aiosmtpd.smtp import AuthResult, LoginPassword

    os.makedirs(folder, exist_ok=True)

    class Handler:
        count = 0

        async def handle_RCPT(self, server, session, envelope, address, options):
            if address.startswith('refuse'):
                return '550 5.1.1 mailbox unavailable'
            envelope.rcpt_tos.append(address)
            return '250 OK'

        async def handle_DATA(self, server, session, envelope):
            Handler.count += 1
            base = os.path.join(folder, '%d-%d' % (os.getpid(), Handler.count))
            with open(base + '.eml.part', 'wb') as f:
                f.write(envelope.original_content)
            with open(base + '.json', 'w') as f:
                json.dump({'from': envelope.mail_from, 'to': envelope.rcpt_tos,
                           'tls': server.transport.get_extra_info('ssl_object') is not None,
                           'auth': bool(session.authenticated)}, f)
            os.rename(base + '.eml.part', base + '.eml')
            return '250 Message accepted'

    def authenticator(server, session, envelope, mechanism, data):
        ok = isinstance(data, LoginPassword) and data.login == user.encode() \
            and data.password == password.encode()
        return AuthResult(success=ok)

    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(cert, key)
    implicit = mode == 'implicit'
    tls = {'ssl_context': context, 'auth_require_tls': False} if implicit \
        else {'tls_context': context, 'require_starttls': True}
    controller = Controller(Handler(), hostname='127.0.0.1', port=int(port), authenticator=authenticator,
                            auth_required=True, decode_data=False, **tls)
    controller.start()
    print('ready', flush=True)
    try:
        while True:
            time.sleep(3600)
    finally:
        controller.stop()


def cert(folder):
    subprocess.run(['openssl', 'req', '-x509', '-newkey', 'rsa:2048', '-nodes', '-days', '2',
                    '-subj', '/CN=127.0.0.1', '-addext', 'subjectAltName=IP:127.0.0.1',
                    '-keyout', os.path.join(folder, 'key.pem'), '-out', os.path.join(folder, 'cert.pem')],
                   check=True, capture_output=True)


def summary(path):
    import email
    from email import policy
    with open(path, 'rb') as f:
        msg = email.message_from_binary_file(f, policy=policy.default)
    parts = []
    body = ''
    for i, part in enumerate(msg.walk()):
        if part.is_multipart():
            continue
        name = part.get_filename()
        if name is None and part.get_content_type() == 'text/plain':
            body += part.get_content()
            continue
        data = part.get_payload(decode=True)
        ext = os.path.splitext(name or '')[1]
        saved = '%s.part%d%s' % (path, i, ext if ext[1:].isalnum() else '')
        with open(saved, 'wb') as f:
            f.write(data)
        parts.append({'name': name, 'type': part.get_content_type(), 'size': len(data), 'path': saved})
    out = {'headers': [k for k in msg.keys()],
           'from': str(msg['From']), 'to': str(msg['To']), 'subject': str(msg['Subject']),
           'reply_to': str(msg['Reply-To'] or ''), 'message_id': str(msg['Message-ID']),
           'body': body, 'attachments': parts,
           'defects': [str(d) for p in msg.walk() for d in p.defects]}
    print(json.dumps(out, ensure_ascii=False))


def xlsx(path):
    import openpyxl
    sheet = openpyxl.load_workbook(path).worksheets[0]
    rows = []
    for row in sheet.iter_rows():
        rows.append([{'v': c.value if c.value is None or isinstance(c.value, str) else str(c.value),
                      't': c.data_type} for c in row])
    print(json.dumps(rows, ensure_ascii=False))


def ods(path):
    from odf.opendocument import load
    from odf.table import Table, TableRow, TableCell
    from odf import teletype
    from odf.namespaces import OFFICENS
    doc = load(path)
    table = doc.spreadsheet.getElementsByType(Table)[0]
    rows = []
    for row in table.getElementsByType(TableRow):
        cells = []
        for cell in row.getElementsByType(TableCell):
            paragraphs = [teletype.extractText(p) for p in cell.childNodes if p.qname[1] == 'p']
            cells.append({'v': '\n'.join(paragraphs) if paragraphs else None,
                          't': cell.attributes.get((OFFICENS, 'value-type'))})
        rows.append(cells)
    with open(path, 'rb') as f:
        head = f.read(80)
    print(json.dumps({'rows': rows, 'first_entry': head[30:38].decode('latin-1'),
                      'stored': head[8:10] == b'\x00\x00'}, ensure_ascii=False))


if __name__ == '__main__':
    command, args = sys.argv[1], sys.argv[2:]
    {'serve': serve, 'cert': cert, 'summary': summary, 'xlsx': xlsx, 'ods': ods}[command](*args)
