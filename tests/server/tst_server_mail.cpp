// Every request kind ends in the right mailbox of a real SMTP server (STARTTLS
// and AUTH), with documents real readers can open; the outbox survives a
// mail server that is down, a refusal and a killed order server.
#include "mail/message.h"
#include "mailharness.h"
#include "serverharness.h"

#include <QtTest>

using harness::Client;
using mailharness::SmtpServer;

namespace {

const QString kPassword = QStringLiteral("pw123");

QStringList cells(const QStringList &designations, const QString &drawing = QString())
{
    QStringList out;
    for (int i = 0; i < designations.size(); ++i)
        out << designations[i] << QString::number(i + 1) << QStringLiteral("Ø%1").arg(100 + i)
            << (i == 1 ? drawing : QString()) << QStringLiteral("Описание %1").arg(designations[i]);
    return out;
}

quint8 order(Client &c, quint8 code, const QStringList &list)
{
    c.send(wire::requestFrame(code, list));
    quint8 reply = 0;
    QByteArray arg;
    return c.item(&reply, &arg) ? reply : 0;
}

// A running order server with one account, pointed at the given SMTP server.
bool startWithAccount(harness::Server &server, const SmtpServer &smtp, const QString &email,
                      const QStringList &extra = {}, Client *client = nullptr,
                      const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QStringList add{QStringLiteral("--add-user"), QStringLiteral("anna"), kPassword};
    if (!email.isEmpty())
        add << QStringLiteral("--email") << email;
    if (server.command(add) != 0 || !server.start(smtp.serverArgs() + extra, env))
        return false;
    return !client || (client->connectTo(server.port()) && client->login(QStringLiteral("anna"), kPassword));
}

QString listMail(harness::Server &server)
{
    QString out;
    server.command({QStringLiteral("--list-mail"), QStringLiteral("--all")}, &out);
    return out;
}

QJsonObject attachment(const QJsonObject &message, int i)
{
    return message.value(QStringLiteral("attachments")).toArray().at(i).toObject();
}

} // namespace

class TestServerMail : public QObject
{
    Q_OBJECT

private slots:
    void everyRequestKindReachesItsMailbox()
    {
        SmtpServer smtp;
        QVERIFY(smtp.start());
        harness::Server server;
        Client c;
        QVERIFY(startWithAccount(server, smtp, QStringLiteral("anna@example.com"), {QStringLiteral("--file-wait"), QStringLiteral("20")}, &c));
        const QStringList doc = cells({QStringLiteral("СНП-Д-1-100-40"), QStringLiteral("=2+2"), QStringLiteral("ПУТГ-А-50")});
        for (quint8 code : {wire::OrderPdf, wire::OrderXls, wire::OrderOds})
            QCOMPARE(order(c, code, doc), quint8(wire::DocumentMailed));
        QCOMPARE(order(c, wire::OrderInvoice, cells({QStringLiteral("СНП-1"), QStringLiteral("СНП-2")}, QStringLiteral("чертёж.pdf"))),
                 quint8(wire::OrderAccepted));
        const QByteArray drawing(5000, 'd');
        // The bare name survives, with its quotes; the folders do not.
        c.upload(QStringLiteral("../секрет/чертёж \"1\".pdf"), drawing, QStringLiteral("1"));
        QCOMPARE(order(c, wire::OrderOffer, cells({QStringLiteral("СНП-3")})), quint8(wire::OrderAccepted));
        QVariantMap q{{QStringLiteral("name_predpe"), QStringLiteral("ООО Ромашка")},
                      {QStringLiteral("fio"), QStringLiteral("Петров")},
                      {QStringLiteral("e-mail"), QStringLiteral("petrov@example.com")},
                      {QStringLiteral("file_name"), QStringLiteral("схема.pdf")}};
        c.send(wire::requestFrame(wire::QuestionnaireRequest, q));
        quint8 reply = 0;
        QByteArray arg;
        QVERIFY(c.item(&reply, &arg));
        QCOMPARE(reply, quint8(wire::QuestionnaireStored));
        c.upload(QStringLiteral("схема.pdf"), QByteArray(700, 's'));
        Client guest;
        QVERIFY(guest.connectTo(server.port()));
        const QVariantMap application{{QStringLiteral("Predpr"), QStringLiteral("ООО \"Рога\"\r\nBcc: evil@example.com")},
                                      {QStringLiteral("FIO"), QStringLiteral("Иванов И. И.")},
                                      {QStringLiteral("Mail"), QStringLiteral("ivanov@example.com")},
                                      {QStringLiteral("City"), QStringLiteral("Пермь")},
                                      {QStringLiteral("Dol"), QStringLiteral("инженер")},
                                      {QStringLiteral("SNP"), true}};
        guest.send(wire::requestFrame(wire::Registration, application));
        QString text;
        QVERIFY(guest.loginReply(&text));
        // A questionnaire from the login window, without a file.
        guest.send(wire::requestFrame(wire::QuestionnaireBeforeLogin,
                                      QVariantMap{{QStringLiteral("name_predpe"), QStringLiteral("АО Гость")},
                                                  {QStringLiteral("e-mail"), QStringLiteral("guest@example.com")}}));
        QVERIFY(guest.loginReply(&text));

        const QStringList received = smtp.waitFor(10);
        QCOMPARE(received.size(), 10);
        QMap<QString, QJsonObject> bySubject;
        for (const QString &path : received) {
            const QJsonObject m = mailharness::summary(path);
            const QJsonObject env = SmtpServer::envelope(path);
            QVERIFY(env.value(QStringLiteral("tls")).toBool());
            QVERIFY(env.value(QStringLiteral("auth")).toBool());
            QCOMPARE(env.value(QStringLiteral("to")).toArray().size(), 1);
            QCOMPARE(m.value(QStringLiteral("to")).toString(), env.value(QStringLiteral("to")).toArray().at(0).toString());
            QVERIFY(m.value(QStringLiteral("from")).toString().contains(QStringLiteral("<orders@maker.example>")));
            QVERIFY(m.value(QStringLiteral("message_id")).toString().endsWith(QStringLiteral("@maker.example>")));
            // Customer text never adds a header of its own.
            QVERIFY(!m.value(QStringLiteral("headers")).toArray().contains(QStringLiteral("Bcc")));
            QVERIFY(!m.value(QStringLiteral("subject")).toString().contains(QLatin1Char('\n')));
            bySubject.insert(m.value(QStringLiteral("subject")).toString(), m);
        }
        const QStringList subjects = bySubject.keys();
        const auto find = [&](const QString &start, const QString &to, const QString &end = QString()) {
            QJsonObject found;
            for (const QString &s : subjects)
                if (s.startsWith(start) && s.endsWith(end) && bySubject[s].value(QStringLiteral("to")).toString() == to)
                    found = bySubject[s];
            return found;
        };

        // The three documents, to the customer, read back by real readers.
        int documents = 0;
        for (const QJsonObject &m : qAsConst(bySubject)) {
            const QJsonObject a = attachment(m, 0);
            const QString name = a.value(QStringLiteral("name")).toString();
            if (m.value(QStringLiteral("to")).toString() != QLatin1String("anna@example.com") || name.isEmpty())
                continue;
            ++documents;
            QVERIFY(m.value(QStringLiteral("subject")).toString().startsWith(QStringLiteral("Заявка № ")));
            QVERIFY(name.startsWith(QStringLiteral("Заявка №")));
            const QString path = a.value(QStringLiteral("path")).toString();
            if (name.endsWith(QStringLiteral(".pdf"))) {
                QCOMPARE(a.value(QStringLiteral("type")).toString(), QStringLiteral("application/pdf"));
                const QString t = mailharness::pdfText(path);
                for (int i = 0; i < doc.size(); i += 5)
                    QVERIFY2(t.contains(doc[i]), qPrintable(t));
            } else if (name.endsWith(QStringLiteral(".xlsx"))) {
                const QString all = QString::fromUtf8(QJsonDocument(mailharness::xlsxRows(path)).toJson());
                QVERIFY(all.contains(QStringLiteral("\"v\": \"=2+2\"")) || all.contains(QStringLiteral("\"v\":\"=2+2\"")));
                QVERIFY(all.contains(QStringLiteral("Описание ПУТГ-А-50")));
            } else {
                QVERIFY(name.endsWith(QStringLiteral(".ods")));
                const QString all = QString::fromUtf8(QJsonDocument(mailharness::odsContent(path)).toJson());
                QVERIFY(all.contains(QStringLiteral("СНП-Д-1-100-40")));
            }
        }
        QCOMPARE(documents, 3);

        const QJsonObject invoice = find(QStringLiteral("Счёт — заявка №"), QStringLiteral("desk@maker.example"));
        QCOMPARE(attachment(invoice, 0).value(QStringLiteral("name")).toString().right(5), QStringLiteral(".xlsx"));
        QCOMPARE(attachment(invoice, 1).value(QStringLiteral("name")).toString(), QStringLiteral("чертёж \"1\".pdf"));
        QCOMPARE(attachment(invoice, 1).value(QStringLiteral("size")).toInt(), drawing.size());
        QCOMPARE(invoice.value(QStringLiteral("reply_to")).toString(), QStringLiteral("anna@example.com"));
        const QJsonObject offer = find(QStringLiteral("Коммерческое предложение — заявка №"), QStringLiteral("desk@maker.example"));
        QCOMPARE(offer.value(QStringLiteral("attachments")).toArray().size(), 1);
        int confirmations = 0;
        for (const QString &s : subjects)
            confirmations += s.endsWith(QStringLiteral(" принята")) ? 1 : 0;
        QCOMPARE(confirmations, 2);
        const QJsonObject questionnaire = find(QStringLiteral("Опросный лист №"), QStringLiteral("desk@maker.example"), QStringLiteral(", ООО Ромашка"));
        QCOMPARE(attachment(questionnaire, 0).value(QStringLiteral("name")).toString(), QStringLiteral("схема.pdf"));
        QVERIFY(questionnaire.value(QStringLiteral("body")).toString().contains(QStringLiteral("Предприятие: ООО Ромашка")));
        const QJsonObject before = find(QStringLiteral("Опросный лист №"), QStringLiteral("desk@maker.example"), QStringLiteral(", АО Гость"));
        QCOMPARE(before.value(QStringLiteral("reply_to")).toString(), QStringLiteral("guest@example.com"));
        QCOMPARE(before.value(QStringLiteral("attachments")).toArray().size(), 0);
        const QJsonObject app = find(QStringLiteral("Заявка на регистрацию №"), QStringLiteral("desk@maker.example"));
        QVERIFY(app.value(QStringLiteral("subject")).toString().contains(QStringLiteral("ООО \"Рога\" Bcc: evil@example.com")));
        QCOMPARE(app.value(QStringLiteral("reply_to")).toString(), QStringLiteral("ivanov@example.com"));

        // The approved account takes the application's address.
        QCOMPARE(server.command({QStringLiteral("--approve"), QStringLiteral("ivanov@example.com"), QStringLiteral("--password"), kPassword}), 0);
        QString accounts;
        QCOMPARE(server.command({QStringLiteral("--list-accounts")}, &accounts), 0);
        QVERIFY2(accounts.contains(QStringLiteral("ivanov@example.com\tSNP\tivanov@example.com")), qPrintable(accounts));
        // Its documents name the company and the person of the application.
        Client ivanov;
        QVERIFY(ivanov.connectTo(server.port()) && ivanov.login(QStringLiteral("ivanov@example.com"), kPassword));
        QCOMPARE(order(ivanov, wire::OrderPdf, cells({QStringLiteral("СНП-4")})), quint8(wire::DocumentMailed));
        QCOMPARE(smtp.waitFor(11).size(), 11);
        const QJsonObject pdf = attachment(mailharness::summary(smtp.messages().last()), 0);
        QVERIFY(mailharness::pdfText(pdf.value(QStringLiteral("path")).toString())
                    .contains(QStringLiteral("Заказчик: ООО \"Рога\"\nBcc: evil@example.com, Иванов И. И.")));
        QCOMPARE(listMail(server).count(QStringLiteral("[sent]")), 11);
        QString waiting;
        QCOMPARE(server.command({QStringLiteral("--list-mail")}, &waiting), 0);
        QCOMPARE(waiting, QString());
    }

    void tlsFromTheStart()
    {
        SmtpServer smtp(true);
        QVERIFY(smtp.start());
        harness::Server server;
        Client c;
        QVERIFY(startWithAccount(server, smtp, QStringLiteral("anna@example.com"), {}, &c));
        QCOMPARE(order(c, wire::OrderOds, cells({QStringLiteral("СНП-1")})), quint8(wire::DocumentMailed));
        const QStringList got = smtp.waitFor(1);
        QCOMPARE(got.size(), 1);
        const QJsonObject env = SmtpServer::envelope(got.first());
        QVERIFY(env.value(QStringLiteral("tls")).toBool());
        QVERIFY(env.value(QStringLiteral("auth")).toBool());
        QCOMPARE(attachment(mailharness::summary(got.first()), 0).value(QStringLiteral("type")).toString(),
                 QStringLiteral("application/vnd.oasis.opendocument.spreadsheet"));
    }

    void documentNeedsAnAddress()
    {
        SmtpServer smtp;
        harness::Server server;
        Client c;
        QVERIFY(startWithAccount(server, smtp, QString(), {}, &c));
        QCOMPARE(order(c, wire::OrderPdf, cells({QStringLiteral("СНП-1")})), quint8(wire::OrderFailed));
        QTRY_VERIFY(server.process().peek(1 << 20).contains("no e-mail address"));
        // Requests that need no address of the customer's still go through.
        QCOMPARE(order(c, wire::OrderInvoice, cells({QStringLiteral("СНП-1")})), quint8(wire::OrderAccepted));
    }

    void drawingThatNeverComes()
    {
        SmtpServer smtp;
        QVERIFY(smtp.start());
        harness::Server server;
        Client c;
        QVERIFY(startWithAccount(server, smtp, QString(), {QStringLiteral("--file-wait"), QStringLiteral("2")}, &c));
        QCOMPARE(order(c, wire::OrderOffer, cells({QStringLiteral("СНП-1"), QStringLiteral("СНП-2")}, QStringLiteral("план.dwg"))),
                 quint8(wire::OrderAccepted));
        const QStringList got = smtp.waitFor(1);
        QCOMPARE(got.size(), 1);
        const QJsonObject m = mailharness::summary(got.first());
        QCOMPARE(m.value(QStringLiteral("to")).toString(), QStringLiteral("desk@maker.example"));
        QCOMPARE(m.value(QStringLiteral("attachments")).toArray().size(), 1);
        QVERIFY(m.value(QStringLiteral("body")).toString().contains(QStringLiteral("Не получены чертежи:\n  строка 2: план.dwg")));
    }

    void smtpDownThenUp()
    {
        SmtpServer smtp; // not started yet
        harness::Server server;
        Client c;
        QVERIFY(startWithAccount(server, smtp, QStringLiteral("anna@example.com"), {QStringLiteral("--mail-retry"), QStringLiteral("1")}, &c));
        QCOMPARE(order(c, wire::OrderPdf, cells({QStringLiteral("СНП-1")})), quint8(wire::DocumentMailed));
        QTRY_VERIFY_WITH_TIMEOUT(listMail(server).contains(QStringLiteral("last error")), 20000);
        QVERIFY(listMail(server).contains(QStringLiteral("[queued]")));
        QVERIFY(smtp.start());
        QCOMPARE(smtp.waitFor(1).size(), 1);
        QTest::qWait(3000);
        QCOMPARE(smtp.messages().size(), 1);
        QVERIFY(listMail(server).contains(QStringLiteral("[sent]")));
    }

    void permanentRefusal()
    {
        SmtpServer smtp;
        QVERIFY(smtp.start());
        harness::Server server;
        Client c;
        QVERIFY(startWithAccount(server, smtp, QStringLiteral("refuse@example.com"), {}, &c));
        QCOMPARE(order(c, wire::OrderXls, cells({QStringLiteral("СНП-1")})), quint8(wire::DocumentMailed));
        QTRY_VERIFY_WITH_TIMEOUT(listMail(server).contains(QStringLiteral("[failed]")), 30000);
        QVERIFY(listMail(server).contains(QStringLiteral("550")));
        QCOMPARE(smtp.messages().size(), 0);
        QString orders;
        QCOMPARE(server.command({QStringLiteral("--list-orders")}, &orders), 0);
        QVERIFY(orders.contains(QStringLiteral("СНП-1")));
    }

    void givenUpThenRetriedByTheOperator()
    {
        SmtpServer smtp;
        harness::Server server;
        Client c;
        QVERIFY(startWithAccount(server, smtp, QStringLiteral("anna@example.com"),
                                 {QStringLiteral("--mail-retry"), QStringLiteral("1"), QStringLiteral("--mail-expire"),
                                  QStringLiteral("0.0005")},
                                 &c));
        QCOMPARE(order(c, wire::OrderOds, cells({QStringLiteral("СНП-1")})), quint8(wire::DocumentMailed));
        QTRY_VERIFY_WITH_TIMEOUT(listMail(server).contains(QStringLiteral("[failed]")), 30000);
        QVERIFY(smtp.start());
        QCOMPARE(server.command({QStringLiteral("--retry-mail"), QStringLiteral("1")}), 0);
        QCOMPARE(smtp.waitFor(1).size(), 1);
    }

    void killedBetweenCommitAndDelivery_data()
    {
        QTest::addColumn<QString>("point");
        QTest::newRow("before the reply") << "order-committed";
        QTest::newRow("message taken for sending") << "mail-taken";
    }

    void killedBetweenCommitAndDelivery()
    {
        QFETCH(QString, point);
        SmtpServer smtp;
        QVERIFY(smtp.start());
        harness::Server server;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VINTARO_CRASH_POINT"), point);
        Client c;
        QVERIFY(startWithAccount(server, smtp, QStringLiteral("anna@example.com"), {}, &c, env));
        c.send(wire::requestFrame(wire::OrderPdf, cells({QStringLiteral("СНП-1")})));
        QVERIFY(harness::waitFor([&] { return !server.running(); }));
        QString messageId;
        {
            Store store;
            QVERIFY(server.openStore(&store));
            const QList<MailItem> queued = store.mail(true);
            QCOMPARE(queued.size(), 1);
            messageId = queued.first().messageId;
        }
        QVERIFY(server.start(smtp.serverArgs()));
        const QStringList got = smtp.waitFor(1);
        QVERIFY2(got.size() == 1, qPrintable(listMail(server) + server.output()));
        QCOMPARE(mailharness::summary(got.first()).value(QStringLiteral("message_id")).toString(),
                 QLatin1Char('<') + messageId + QLatin1Char('>'));
    }

    // The demo's way: no SMTP server, files in the data folder, and the
    // largest order one frame carries, full of hostile text, still goes out.
    void withoutSmtpMessagesBecomeFiles()
    {
        harness::Server server;
        QVERIFY(server.start());
        Client c;
        QVERIFY(c.connectTo(server.port()));
        QVERIFY(c.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        QStringList list{QStringLiteral("СНП\r\nBcc: x@example.com\u202E-1\x01"), QStringLiteral("1"), QString(),
                         QStringLiteral("../../etc/passwd \"x\".pdf"), QString(12000, QChar(0x416))};
        const int rows = 600;
        for (int i = 1; i < rows; ++i)
            list << QStringLiteral("СНП-Д-%1").arg(i + 1) << QStringLiteral("1") << QString() << QString()
                 << QStringLiteral("Описание");
        QVERIFY(wire::fitsOnWire(wire::requestFrame(wire::OrderPdf, list)));
        QCOMPARE(order(c, wire::OrderPdf, list), quint8(wire::DocumentMailed));
        const QDir box(QDir(server.dataDir()).filePath(QStringLiteral("mail")));
        QTRY_VERIFY((server.output() + server.process().peek(1 << 20)).contains("no --smtp: mail is written to " + box.path()));
        QTRY_VERIFY_WITH_TIMEOUT(!box.entryList({QStringLiteral("*.eml")}).isEmpty(), 30000);
        const QJsonObject m = mailharness::summary(box.filePath(box.entryList({QStringLiteral("*.eml")}).first()));
        QCOMPARE(m.value(QStringLiteral("to")).toString(), QStringLiteral("demo@localhost"));
        QVERIFY(attachment(m, 0).value(QStringLiteral("name")).toString().endsWith(QStringLiteral(".pdf")));
        const QString text = mailharness::pdfText(attachment(m, 0).value(QStringLiteral("path")).toString());
        QVERIFY(text.contains(QStringLiteral("СНП\nBcc: x@example.com-1")));
        QVERIFY(text.contains(QStringLiteral("СНП-Д-%1").arg(rows)));
        QVERIFY(text.contains(QStringLiteral("Всего позиций: %1").arg(rows)));
        QVERIFY(server.running());
    }

    // Whatever a customer typed, every header stays one ASCII line of its own:
    // no header of the customer's, nothing unencoded, nothing cut in two.
    void hostileTextNeverReachesAHeader_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("replyTo");
        QTest::newRow("line breaks") << QStringLiteral("Заявка\r\nBcc: evil@example.com\nX-Evil: 1")
                                     << QStringLiteral("a@example.com\r\nBcc: evil@example.com");
        QTest::newRow("controls and bidi") << QStringLiteral("ООО\x01\x1b[2J \u202Eтаз\u2066\u200F") << QStringLiteral("a@b@example.com");
        QTest::newRow("60,000 characters") << QString(60000, QChar(0x416)) << QStringLiteral("a@example.com\nb@example.com");
        QTest::newRow("path and quotes") << QStringLiteral("../../etc/passwd \"x\"; name=evil.exe") << QStringLiteral("\"a\"@example.com");
    }

    void hostileTextNeverReachesAHeader()
    {
        QFETCH(QString, text);
        QFETCH(QString, replyTo);
        mail::Message m;
        m.from = QStringLiteral("orders@maker.example");
        m.fromName = text;
        m.to = QStringLiteral("anna@example.com");
        m.replyTo = replyTo;
        m.subject = text;
        m.body = text;
        m.messageId = mail::newMessageId(m.from);
        m.attachments << mail::Attachment{text + QStringLiteral(".pdf"), QStringLiteral("application/pdf"), QByteArray("%PDF-1.4")};
        const QByteArray bytes = mail::compose(m);
        for (const QByteArray &line : bytes.split('\n')) {
            QVERIFY(line.size() <= 998);
            for (const char ch : line)
                QVERIFY2(uchar(ch) < 0x80, line.left(200).constData());
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("m.eml"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        f.close();
        const QJsonObject read = mailharness::summary(path);
        QStringList headers;
        for (const QJsonValue &h : read.value(QStringLiteral("headers")).toArray())
            headers << h.toString().toLower();
        headers.sort();
        QCOMPARE(headers, (QStringList{"content-type", "date", "from", "message-id", "mime-version", "subject", "to"}));
        QCOMPARE(read.value(QStringLiteral("subject")).toString(), mail::headerText(text, 200));
        QCOMPARE(attachment(read, 0).value(QStringLiteral("name")).toString(), mail::headerText(text + QStringLiteral(".pdf"), 200));
        QCOMPARE(read.value(QStringLiteral("defects")).toArray().size(), 0);
        QVERIFY(read.value(QStringLiteral("body")).toString().contains(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).left(100)));
    }

    // A mail server that stays down: each new try waits longer than the last.
    void retriesWaitLonger()
    {
        SmtpServer smtp; // never started
        harness::Server server;
        Client c;
        QVERIFY(startWithAccount(server, smtp, QStringLiteral("anna@example.com"), {QStringLiteral("--mail-retry"), QStringLiteral("1")}, &c));
        QCOMPARE(order(c, wire::OrderXls, cells({QStringLiteral("СНП-1")})), quint8(wire::DocumentMailed));
        Store store;
        QVERIFY(server.openStore(&store));
        QList<double> waits; // seconds from a failed try to the next, as it was planned
        int attempts = 0;
        QElapsedTimer t;
        t.start();
        while (waits.size() < 3 && t.elapsed() < 60000) {
            const QList<MailItem> items = store.mail(true);
            QCOMPARE(items.size(), 1);
            if (items.first().attempts > attempts) {
                attempts = items.first().attempts;
                const QDateTime next = QDateTime::fromString(items.first().nextAttempt, Qt::ISODateWithMs);
                waits << QDateTime::currentDateTimeUtc().msecsTo(next) / 1000.0;
            }
            QTest::qWait(50);
        }
        QCOMPARE(waits.size(), 3);
        QVERIFY2(waits[1] > waits[0] + 0.5 && waits[2] > waits[1] + 1.5,
                 qPrintable(QStringLiteral("%1 %2 %3").arg(waits[0]).arg(waits[1]).arg(waits[2])));
        QCOMPARE(store.mail(true).first().status, QStringLiteral("queued"));
    }

    void operatorAddresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("plain") << "anna.k+orders@example.com" << true;
        QTest::newRow("local machine") << "anna@localhost" << true;
        QTest::newRow("several @") << "a@b@example.com" << false;
        QTest::newRow("CR/LF and a header") << "a@example.com\r\nBcc: x@example.com" << false;
        QTest::newRow("blank inside") << "a b@example.com" << false;
        QTest::newRow("display form") << "Anna <a@example.com>" << false;
        QTest::newRow("no domain") << "anna@" << false;
    }

    void operatorAddresses()
    {
        QFETCH(QString, address);
        QFETCH(bool, accepted);
        harness::Server server;
        QCOMPARE(server.command({QStringLiteral("--add-user"), QStringLiteral("anna"), kPassword}), 0);
        QCOMPARE(server.command({QStringLiteral("--set-email"), QStringLiteral("anna"), address}) == 0, accepted);
        QCOMPARE(server.command({QStringLiteral("--add-user"), QStringLiteral("bob"), kPassword, QStringLiteral("--email"), address}) == 0,
                 accepted);
        QString list;
        QCOMPARE(server.command({QStringLiteral("--list-accounts")}, &list), 0);
        QCOMPARE(list.count(QStringLiteral("\t") + address), accepted ? 2 : 0);
    }
};

QTEST_GUILESS_MAIN(TestServerMail)
#include "tst_server_mail.moc"
