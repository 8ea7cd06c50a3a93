// Accounts, logins and registration against the real server process.
#include "serverharness.h"

#include <QtTest>

using harness::Client;

namespace {
const QString kOk = QStringLiteral("Авторизация прошла успешно");

QVariantMap application(const QString &fio, const QString &mail, bool snp, bool putg, bool putgm)
{
    return {{QStringLiteral("Predpr"), QStringLiteral("ООО Ромашка")},
            {QStringLiteral("FIO"), fio},
            {QStringLiteral("Mail"), mail},
            {QStringLiteral("City"), QStringLiteral("Тверь")},
            {QStringLiteral("Dol"), QStringLiteral("инженер")},
            {QStringLiteral("Tel"), QString()},
            {QStringLiteral("SNP"), snp},
            {QStringLiteral("PUTG"), putg},
            {QStringLiteral("PUTGm"), putgm},
            {QStringLiteral("Flan"), false},
            {QStringLiteral("Zat"), false},
            {QStringLiteral("Opros"), true}};
}
} // namespace

class TestServerLogin : public QObject
{
    Q_OBJECT
    harness::Server m_server;

private slots:
    void initTestCase()
    {
        QVERIFY(QFile::exists(harness::serverBinary()));
        QCOMPARE(m_server.command({QStringLiteral("--add-user"), QStringLiteral("snponly"), QStringLiteral("pw1"),
                                   QStringLiteral("--access"), QStringLiteral("snp")}),
                 0);
        QCOMPARE(m_server.command({QStringLiteral("--add-user"), QStringLiteral("twin"), QStringLiteral("pw1")}), 0);
        QCOMPARE(m_server.command({QStringLiteral("--add-user"), QStringLiteral("slow"), QStringLiteral("right1")}), 0);
        QCOMPARE(m_server.command({QStringLiteral("--add-user"), QStringLiteral("off"), QStringLiteral("pw2")}), 0);
        QVERIFY(m_server.start());
    }

    void demoAccountOnlyOnEmptyStore()
    {
        // Accounts existed before the first start, so no demo was made.
        QVERIFY(!m_server.output().contains(QStringLiteral("demo")));
        harness::Server fresh;
        QVERIFY(fresh.start());
        QVERIFY(fresh.output().contains(QStringLiteral("user demo password demo123")));
        Client c;
        QVERIFY(c.connectTo(fresh.port()));
        QVariantMap map;
        QVERIFY(c.login(QStringLiteral("demo"), QStringLiteral("demo123"), &map));
        QCOMPARE(map.value(QStringLiteral("SNP")).userType(), int(QMetaType::Bool));
        QVERIFY(map.value(QStringLiteral("SNP")).toBool() && map.value(QStringLiteral("PUTG")).toBool()
                && map.value(QStringLiteral("PUTGm")).toBool());
        fresh.stop();
        QVERIFY(fresh.start());
        QVERIFY(!fresh.output().contains(QStringLiteral("demo123")));
    }

    void login_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("snp");
        QTest::addColumn<bool>("putg");
        QTest::newRow("right password") << "USER:snponly PASS:pw1" << true << true << false;
        QTest::newRow("all families") << "USER:twin PASS:pw1" << true << true << true;
        QTest::newRow("wrong password") << "USER:snponly PASS:pw2" << false << false << false;
        QTest::newRow("empty password") << "USER:twin PASS:" << false << false << false;
        QTest::newRow("unknown name") << "USER:nobody PASS:pw1" << false << false << false;
        QTest::newRow("name case differs") << "USER:SNPONLY PASS:pw1" << false << false << false;
        QTest::newRow("password prefix") << "USER:twin PASS:pw" << false << false << false;
        QTest::newRow("no PASS part") << "USER:twin pw1" << false << false << false;
        QTest::newRow("not a login") << "hello" << false << false << false;
    }

    void login()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        c.send(wire::requestFrame(wire::Login, text));
        QString reply;
        QVariantMap map;
        QVERIFY(c.loginReply(&reply, &map));
        if (accepted) {
            QFETCH(bool, snp);
            QFETCH(bool, putg);
            QCOMPARE(reply, kOk);
            QCOMPARE(map.value(QStringLiteral("SNP")).toBool(), snp);
            QCOMPARE(map.value(QStringLiteral("PUTG")).toBool(), putg);
            QCOMPARE(map.value(QStringLiteral("PUTGm")).toBool(), putg);
        } else {
            // The same words whether or not the name exists.
            QCOMPARE(reply, QStringLiteral("Неверное имя пользователя или пароль."));
            QVERIFY(map.isEmpty());
            // The connection stays usable for a corrected login.
            QVERIFY(c.login(QStringLiteral("twin"), QStringLiteral("pw1")));
        }
    }

    void failedReloginLogsOut()
    {
        const QStringList row{QStringLiteral("a"), QStringLiteral("1"), QStringLiteral("2"), QString(), QStringLiteral("b")};
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        QVERIFY(c.login(QStringLiteral("snponly"), QStringLiteral("pw1")));
        QVERIFY(!c.login(QStringLiteral("snponly"), QStringLiteral("nope")));
        quint8 code = 0;
        QByteArray arg;
        c.send(wire::requestFrame(wire::OrderInvoice, row));
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::OrderFailed));
        QVERIFY(c.login(QStringLiteral("snponly"), QStringLiteral("pw1")));
        c.send(wire::requestFrame(wire::OrderInvoice, row));
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::OrderAccepted));
    }

    void storedPasswordIsNotClearText()
    {
        Store store;
        QVERIFY(m_server.openStore(&store));
        Account twin, snp;
        QVERIFY(store.findAccount(QStringLiteral("twin"), &twin));
        QVERIFY(store.findAccount(QStringLiteral("snponly"), &snp));
        QVERIFY(twin.digest.kind == password::Kind::Argon2id);
        QVERIFY(!password::outdated(twin.digest));
        QCOMPARE(twin.digest.hash.size(), 32);
        QVERIFY(twin.digest.salt.size() >= 16);
        // Same password, different salt, different digest.
        QVERIFY(twin.digest.salt != snp.digest.salt);
        QVERIFY(twin.digest.hash != snp.digest.hash);
        if (!harness::usingPostgres()) {
            for (const QString &f : QDir(m_server.dataDir()).entryList({QStringLiteral("vintaro.sqlite*")}, QDir::Files)) {
                QFile file(QDir(m_server.dataDir()).filePath(f));
                QVERIFY(file.open(QIODevice::ReadOnly));
                const QByteArray all = file.readAll();
                QVERIFY2(!all.contains("right1") && !all.contains("demo123"), qPrintable(f));
            }
        }
    }

    void olderDigestIsUpgradedOnLogin()
    {
        // An account as earlier versions stored it: PBKDF2-SHA256, 100,000 rounds.
        QCOMPARE(m_server.command({QStringLiteral("--add-user"), QStringLiteral("legacy"), QStringLiteral("old1")}), 0);
        password::Digest legacy;
        legacy.kind = password::Kind::Pbkdf2Sha256;
        legacy.salt = QByteArray(16, 's');
        legacy.cost = password::Cost{0, 100000, 0};
        legacy.hash = password::pbkdf2(QStringLiteral("old1"), legacy.salt, 100000);
        Account a;
        {
            Store store;
            QVERIFY(m_server.openStore(&store));
            QVERIFY(store.findAccount(QStringLiteral("legacy"), &a));
            QVERIFY(store.upgradeDigest(a.id, a.digest, legacy));
        }
        const auto stored = [&] {
            Store store;
            Account now;
            if (!m_server.openStore(&store) || !store.findAccount(QStringLiteral("legacy"), &now))
                return password::Digest();
            return now.digest;
        };
        QVERIFY(stored().kind == password::Kind::Pbkdf2Sha256);
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        QVERIFY(!c.login(QStringLiteral("legacy"), QStringLiteral("old2")));
        QVERIFY(stored().kind == password::Kind::Pbkdf2Sha256);
        QVERIFY(c.login(QStringLiteral("legacy"), QStringLiteral("old1")));
        const password::Digest fresh = stored();
        QVERIFY(fresh.kind == password::Kind::Argon2id && !password::outdated(fresh));
        QVERIFY(password::matches(QStringLiteral("old1"), fresh));
        QVERIFY(c.login(QStringLiteral("legacy"), QStringLiteral("old1")));
    }

    void disabledAccountIsRefused()
    {
        QCOMPARE(m_server.command({QStringLiteral("--disable-user"), QStringLiteral("off")}), 0);
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        QVERIFY(!c.login(QStringLiteral("off"), QStringLiteral("pw2")));
        QCOMPARE(m_server.command({QStringLiteral("--enable-user"), QStringLiteral("off")}), 0);
        QVERIFY(c.login(QStringLiteral("off"), QStringLiteral("pw2")));
        QVERIFY(m_server.command({QStringLiteral("--disable-user"), QStringLiteral("ghost")}) != 0);
    }

    void wrongPasswordsAreSlowedDown()
    {
        Client attacker, other;
        QVERIFY(attacker.connectTo(m_server.port()));
        QVERIFY(other.connectTo(m_server.port()));
        QList<qint64> took;
        for (int i = 0; i < 4; ++i) {
            QElapsedTimer t;
            t.start();
            QVERIFY(!attacker.login(QStringLiteral("slow"), QStringLiteral("guess%1").arg(i)));
            took << t.elapsed();
        }
        // Delays of 0.5, 1 and 2 s before the second, third and fourth tries.
        QVERIFY2(took[3] >= 1500 && took[3] > took[1], qPrintable(QString::number(took[3])));
        // A parallel try waits its turn too, while another client is served
        // at once: the delay does not hold up the server.
        attacker.send(wire::requestFrame(wire::Login, wire::loginText(QStringLiteral("slow"), QStringLiteral("x"))));
        QTest::qWait(50);
        other.send(wire::requestFrame(wire::Login, wire::loginText(QStringLiteral("twin"), QStringLiteral("pw1"))));
        QString text;
        QVERIFY(other.loginReply(&text, nullptr, 3000));
        QCOMPARE(text, kOk);
        QVERIFY(attacker.socket().bytesAvailable() == 0);
        QVERIFY(attacker.loginReply(&text));
        QVERIFY(text != kOk);
        // Even the right password has to wait for its turn, then succeeds.
        QElapsedTimer t;
        t.start();
        QVERIFY(attacker.login(QStringLiteral("slow"), QStringLiteral("right1")));
        QVERIFY(t.elapsed() >= 1000);
    }

    void registrationAndApproval()
    {
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        const QString mail = QStringLiteral("ivanov@romashka.ru");
        c.send(wire::requestFrame(wire::Registration,
                                  application(QStringLiteral("Иванов И. И."), mail, true, false, true)));
        QString text;
        QVERIFY(c.loginReply(&text));
        QVERIFY2(text.startsWith(QStringLiteral("Заявка на регистрацию принята")), qPrintable(text));

        // Repeats, by address (any case) and by the same person of the company.
        c.send(wire::requestFrame(wire::Registration,
                                  application(QStringLiteral("Петров"), QStringLiteral("IVANOV@romashka.ru"), true, true, true)));
        QVERIFY(c.loginReply(&text));
        QVERIFY2(text.contains(QStringLiteral("адресом электронной почты")), qPrintable(text));
        c.send(wire::requestFrame(wire::Registration,
                                  application(QStringLiteral("иванов  и. и."), QStringLiteral("other@x.ru"), true, true, true)));
        QVERIFY(c.loginReply(&text));
        QVERIFY2(text.contains(QStringLiteral("сотрудника")), qPrintable(text));
        QVariantMap incomplete = application(QStringLiteral("Сидоров"), QStringLiteral("s@x.ru"), true, true, true);
        incomplete.remove(QStringLiteral("City"));
        c.send(wire::requestFrame(wire::Registration, incomplete));
        QVERIFY(c.loginReply(&text));
        QVERIFY2(text.startsWith(QStringLiteral("Заявка не принята")), qPrintable(text));

        QString listing;
        QCOMPARE(m_server.command({QStringLiteral("--list-applications")}, &listing), 0);
        QVERIFY(listing.contains(mail));
        QVERIFY(!listing.contains(QStringLiteral("s@x.ru")));

        // Nothing can log in before approval.
        QVERIFY(!c.login(mail, QStringLiteral("abc123")));
        QString approved;
        QCOMPARE(m_server.command({QStringLiteral("--approve"), mail, QStringLiteral("--password"), QStringLiteral("abc123")},
                                  &approved),
                 0);
        QVERIFY2(approved.contains(QStringLiteral("user ") + mail), qPrintable(approved));
        QVERIFY(m_server.command({QStringLiteral("--approve"), mail}) != 0);
        QVariantMap map;
        // The earlier wrong try costs a short wait here.
        QVERIFY(c.login(mail, QStringLiteral("abc123"), &map));
        QCOMPARE(map.value(QStringLiteral("SNP")).toBool(), true);
        QCOMPARE(map.value(QStringLiteral("PUTG")).toBool(), false);
        QCOMPARE(map.value(QStringLiteral("PUTGm")).toBool(), true);

        // The new account's address cannot be registered again.
        c.send(wire::requestFrame(wire::Registration,
                                  application(QStringLiteral("Другой"), mail, true, true, true)));
        QVERIFY(c.loginReply(&text));
        QVERIFY(text.startsWith(QStringLiteral("Заявка не принята")));
    }

    void listingsShowCustomerTextInert()
    {
        // Customer text reaches the operator's terminal: it must neither pose
        // as another listed item nor carry terminal commands.
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        c.send(wire::requestFrame(wire::Registration,
                                  application(QStringLiteral("Козлов\napplication 77 [approved as boss] 2026-01-01"),
                                              QStringLiteral("kozlov@x.ru"), true, true, true)));
        QString text;
        QVERIFY(c.loginReply(&text));
        QVERIFY2(text.startsWith(QStringLiteral("Заявка на регистрацию принята")), qPrintable(text));
        QVERIFY(c.login(QStringLiteral("twin"), QStringLiteral("pw1")));
        c.send(wire::requestFrame(wire::OrderInvoice,
                                  QStringList{QStringLiteral("\x1b[2J\x1b[31mRED"), QStringLiteral("1"), QString(),
                                              QStringLiteral("fdp\u202e.exe"), QStringLiteral("d")}));
        quint8 code = 0;
        QByteArray arg;
        QVERIFY(c.item(&code, &arg));
        QCOMPARE(code, quint8(wire::OrderAccepted));

        QString listing;
        QCOMPARE(m_server.command({QStringLiteral("--list-applications")}, &listing), 0);
        QVERIFY2(listing.contains(QStringLiteral("Козлов\n    application 77")), qPrintable(listing));
        QVERIFY(!listing.contains(QStringLiteral("\napplication 77")));
        QCOMPARE(m_server.command({QStringLiteral("--list-orders")}, &listing), 0);
        QVERIFY(!listing.contains(QChar(0x1b)) && !listing.contains(QChar(0x202e)));
        QVERIFY2(listing.contains(QStringLiteral("\\x1b[2J\\x1b[31mRED")), qPrintable(listing));
        QVERIFY(listing.contains(QStringLiteral("fdp\\u202e.exe")));
    }

    void approveTakesTheNumberAsId()
    {
        // An address field holding a bare number must not stand in for the
        // application with that id.
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        QString text;
        qint64 lastId = 0;
        const auto submit = [&](const QString &fio, const QString &mail, bool putg) {
            c.send(wire::requestFrame(wire::Registration, application(fio, mail, true, putg, false)));
            return c.loginReply(&text) && text.startsWith(QStringLiteral("Заявка на регистрацию принята"));
        };
        QVERIFY(submit(QStringLiteral("Первый"), QStringLiteral("placeholder@x.ru"), true));
        Store store;
        QVERIFY(m_server.openStore(&store));
        for (const Application &a : store.applications(false))
            lastId = qMax(lastId, a.id);
        const QString nextId = QString::number(lastId + 2);
        QVERIFY(submit(QStringLiteral("Второй"), nextId, true));
        QVERIFY(submit(QStringLiteral("Третий"), QStringLiteral("third@x.ru"), false));
        Application third;
        QVERIFY(store.findApplication(QStringLiteral("third@x.ru"), &third));
        QCOMPARE(QString::number(third.id), nextId);
        QString out;
        QCOMPARE(m_server.command({QStringLiteral("--approve"), nextId, QStringLiteral("--password"), QStringLiteral("pw9")},
                                  &out),
                 0);
        QVERIFY2(out.contains(QStringLiteral("user third@x.ru")), qPrintable(out));
        bool secondPending = false;
        for (const Application &a : store.applications(false))
            if (a.fields.value(QStringLiteral("FIO")).toString() == QStringLiteral("Второй"))
                secondPending = a.status == QLatin1String("pending");
        QVERIFY(secondPending);

        // A refused password is not blamed on the login.
        QVERIFY(m_server.command({QStringLiteral("--approve"), QStringLiteral("placeholder@x.ru"), QStringLiteral("--password"),
                                  QStringLiteral("a b")},
                                 &out)
                != 0);
        QVERIFY2(!out.contains(QStringLiteral("--user")), qPrintable(out));
    }

    void accountsMustBeTypeable_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("ok");
        QTest::newRow("plain") << QStringList{"--add-user", "ok.name@x", "abc1"} << true;
        QTest::newRow("cyrillic") << QStringList{"--add-user", "Петров", "пароль1"} << true;
        QTest::newRow("hyphen in name") << QStringList{"--add-user", "a-b", "abc1"} << false;
        QTest::newRow("space in password") << QStringList{"--add-user", "ab", "a b"} << false;
        QTest::newRow("at in password") << QStringList{"--add-user", "ab", "a@b"} << false;
        QTest::newRow("empty password") << QStringList{"--add-user", "ab", ""} << false;
    }

    void accountsMustBeTypeable()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, ok);
        QCOMPARE(m_server.command(args) == 0, ok);
        if (ok) {
            Client c;
            QVERIFY(c.connectTo(m_server.port()));
            QVERIFY(c.login(args[1], args[2]));
        }
    }

    void commandsNeedAnExistingStore()
    {
        if (!m_server.dbUrl().isEmpty())
            QSKIP("the store is a database server here");
        QTemporaryDir empty;
        const QString typo = empty.path() + QStringLiteral("/typo");
        QString out;
        QVERIFY(m_server.command({QStringLiteral("--data-dir"), typo, QStringLiteral("--list-orders")}, &out) != 0);
        QVERIFY2(out.contains(QStringLiteral("no store")), qPrintable(out));
        QVERIFY(m_server.command({QStringLiteral("--data-dir"), typo, QStringLiteral("--disable-user"), QStringLiteral("demo")}) != 0);
        QVERIFY(!QFileInfo::exists(typo));
        // Adding an account may make the store: that is how one is prepared by hand.
        QCOMPARE(m_server.command({QStringLiteral("--data-dir"), typo, QStringLiteral("--add-user"), QStringLiteral("first"),
                                   QStringLiteral("pw1")}),
                 0);
        QCOMPARE(m_server.command({QStringLiteral("--data-dir"), typo, QStringLiteral("--list-accounts")}, &out), 0);
        QVERIFY2(out.contains(QStringLiteral("first")), qPrintable(out));
    }

    void approvalNeedsTypeableLogin()
    {
        Client c;
        QVERIFY(c.connectTo(m_server.port()));
        c.send(wire::requestFrame(wire::Registration,
                                  application(QStringLiteral("Смирнов"), QStringLiteral("a-b@x.ru"), false, true, false)));
        QString text;
        QVERIFY(c.loginReply(&text));
        QVERIFY(text.startsWith(QStringLiteral("Заявка на регистрацию принята")));
        QString out;
        QVERIFY(m_server.command({QStringLiteral("--approve"), QStringLiteral("a-b@x.ru")}, &out) != 0);
        QVERIFY2(out.contains(QStringLiteral("--user")), qPrintable(out));
        // The address written another way is the same application, checked the same.
        QVERIFY(m_server.command({QStringLiteral("--approve"), QStringLiteral(" A-B@X.RU ")}, &out) != 0);
        QVERIFY2(out.contains(QStringLiteral("--user")), qPrintable(out));
        QCOMPARE(m_server.command({QStringLiteral("--approve"), QStringLiteral("A-B@x.ru"), QStringLiteral("--user"),
                                   QStringLiteral("smirnov")},
                                  &out),
                 0);
        // The generated password is printed and works.
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("password ([A-Za-z0-9]+)")).match(out);
        QVERIFY2(m.hasMatch(), qPrintable(out));
        QVariantMap map;
        QVERIFY(c.login(QStringLiteral("smirnov"), m.captured(1), &map));
        QVERIFY(!map.value(QStringLiteral("SNP")).toBool() && map.value(QStringLiteral("PUTG")).toBool());
    }

    void cleanupTestCase()
    {
        QVERIFY(m_server.running());
        m_server.stop();
    }
};

QTEST_GUILESS_MAIN(TestServerLogin)
#include "tst_server_login.moc"
