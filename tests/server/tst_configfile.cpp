// The server's configuration file, its --version and the switch to the data
// directory's owner.
#include "config.h"
#include "serverharness.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        return QString();
    return path;
}

// Runs a program to completion; returns its exit code and merged output.
int run(const QString &program, const QStringList &args, QString *output, const QProcessEnvironment &env)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return -1;
    *output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class TestConfigFile : public QObject
{
    Q_OBJECT
    QTemporaryDir m_tmp;

    // The real server reads `conf` and gets as far as refusing two operator
    // commands at once, so every line was a known option with a fitting value.
    void expectAllAccepted(const QByteArray &conf)
    {
        const QString path = writeFile(m_tmp, QStringLiteral("all.conf"), conf);
        QString out;
        QCOMPARE(run(harness::serverBinary(), {QStringLiteral("--config"), path}, &out,
                     QProcessEnvironment::systemEnvironment()),
                 1);
        QVERIFY2(out.contains(QStringLiteral("one operator command at a time")), qPrintable(out + conf));
    }

private slots:
    void settingsBecomeArguments_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected"); // arguments joined by blanks, or the error

        QTest::newRow("values and flags") << QByteArray("# comment\n\n  port = 63001  \nquiet = true\nlisten=::1\n")
                                          << "--port=63001 --quiet --listen=::1";
        QTest::newRow("false flag, empty value, '=' and '#' in a value")
            << QByteArray("quiet = no\ndb =\nlisten = a=b#c\n") << "--listen=a=b#c";
        QTest::newRow("no '='") << QByteArray("port = 1\n\nport 63000\n") << "c.conf:3: expected \"option = value\"";
        QTest::newRow("no key") << QByteArray("= 5\n") << "c.conf:1: expected \"option = value\"";
        QTest::newRow("unknown key") << QByteArray("port = 1\nprot = 2\n") << "c.conf:2: unknown option \"prot\"";
        QTest::newRow("dashes") << QByteArray("--port = 2\n") << "c.conf:1: unknown option \"--port\"";
        QTest::newRow("flag with a value") << QByteArray("quiet = please\n") << "c.conf:1: \"quiet\" takes true or false";
        QTest::newRow("not a setting") << QByteArray("version = true\n") << "c.conf:1: unknown option \"version\"";
    }

    void settingsBecomeArguments()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        const QString path = writeFile(m_tmp, QStringLiteral("c.conf"), content);
        QCommandLineParser parser;
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOptions({{QStringLiteral("port"), QString(), QStringLiteral("p")},
                           {QStringLiteral("listen"), QString(), QStringLiteral("a")},
                           {QStringLiteral("db"), QString(), QStringLiteral("u")},
                           {QStringLiteral("quiet"), QString()}});
        QList<serverconfig::Setting> settings;
        QStringList args;
        QString error;
        const bool ok = serverconfig::readFile(path, &settings, &error)
                        && serverconfig::toArguments(parser, path, settings, &args, &error);
        QCOMPARE(ok ? args.join(QLatin1Char(' ')) : error.mid(error.indexOf(QStringLiteral("c.conf"))), expected);
    }

    // The real server: the file is read, the command line wins over it.
    void serverReadsFile()
    {
        harness::Server server;
        const QString conf = writeFile(m_tmp, QStringLiteral("server.conf"),
                                       "port = 1\nno-demo-account = true\n");
        QVERIFY(server.start({QStringLiteral("--config"), conf}));
        QVERIFY(server.port() != 1); // the harness's --port 0
        QVERIFY2(server.output().contains(QStringLiteral("no accounts yet")), qPrintable(server.output()));
        harness::Client c;
        QVERIFY(c.connectTo(server.port()));
        QVERIFY(!c.login(QStringLiteral("demo"), QStringLiteral("demo123")));
        server.stop();

        const QString bad = writeFile(m_tmp, QStringLiteral("bad.conf"), "port = 1\nsmpt = x\n");
        QString out;
        QCOMPARE(server.command({QStringLiteral("--config"), bad, QStringLiteral("--list-accounts")}, &out), 1);
        QVERIFY2(out.contains(bad + QStringLiteral(":2: unknown option \"smpt\"")), qPrintable(out));
        QCOMPARE(server.command({QStringLiteral("--config"), m_tmp.filePath(QStringLiteral("missing.conf")),
                                 QStringLiteral("--list-accounts")},
                                &out),
                 1);
    }

    // Every option the server's --help lists can be set in the file: a file
    // with all of them passes the reader and the server's own parser (a flag
    // passed with a value, or a value option taken for a flag, would stop it
    // there), and reaches the check that only one operator command is given.
    void everyHelpOptionInFile()
    {
        QString help;
        QCOMPARE(run(harness::serverBinary(), {QStringLiteral("--help")}, &help, QProcessEnvironment::systemEnvironment()),
                 0);
        static const QRegularExpression optionRe(QStringLiteral("^\\s+(?:-\\S, )*--([a-z0-9-]+)( <)?"),
                                                 QRegularExpression::MultilineOption);
        QByteArray conf;
        QStringList names;
        for (auto it = optionRe.globalMatch(help); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const QString name = m.captured(1);
            if (name == QLatin1String("help") || name == QLatin1String("help-all") || name == QLatin1String("version")
                || name == QLatin1String("config"))
                continue;
            names << name;
            conf += name.toUtf8() + (m.capturedLength(2) ? " = 1\n" : " = true\n");
        }
        QVERIFY2(names.size() >= 35 && names.contains(QStringLiteral("proxy-protocol"))
                     && names.contains(QStringLiteral("tls-handshake-timeout")),
                 qPrintable(help));
        expectAllAccepted(conf);
    }

    // So do the packaged file's settings, those left commented out included.
    void packagedFileOptionsAreReal()
    {
        QFile f(qEnvironmentVariable("VINTARO_SOURCE_DIR") + QStringLiteral("/packaging/server.conf"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        static const QRegularExpression settingRe(QStringLiteral("^#?([a-z][a-z0-9-]* = .*)$"));
        QByteArray conf;
        int settings = 0;
        for (const QByteArray &line : f.readAll().split('\n')) {
            const QRegularExpressionMatch m = settingRe.match(QString::fromUtf8(line));
            if (m.hasMatch()) {
                conf += m.captured(1).toUtf8() + '\n';
                ++settings;
            }
        }
        QVERIFY(settings >= 20);
        expectAllAccepted(conf + "list-accounts = true\nlist-orders = true\n");
    }

    void versions_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("server") << "vintaro-server";
        QTest::newRow("client") << "vintaro";
        QTest::newRow("designator") << "vintaro-designate";
    }

    void versions()
    {
        QFETCH(QString, program);
        // No display of any kind: the version must not need one.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        QString out;
        QCOMPARE(run(QDir(qEnvironmentVariable("VINTARO_BIN_DIR")).filePath(program), {QStringLiteral("--version")},
                     &out, env),
                 0);
        QCOMPARE(out, program + QStringLiteral(" " VINTARO_VERSION "\n"));
    }

    // Root running an operator command on the service's data must leave
    // nothing behind that the service (the directory's owner) cannot open.
    void rootWorksAsDataOwner()
    {
        if (::geteuid() != 0)
            QSKIP("needs root");
        QTemporaryDir tmp;
        const QString data = tmp.filePath(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(data));
        const uid_t nobody = 65534;
        QCOMPARE(::chmod(QFile::encodeName(tmp.path()).constData(), 0755), 0);
        QCOMPARE(::chown(QFile::encodeName(data).constData(), nobody, nobody), 0);
        QString out;
        QCOMPARE(run(harness::serverBinary(),
                     {QStringLiteral("--data-dir"), data, QStringLiteral("--add-user"), QStringLiteral("first"),
                      QStringLiteral("pw1")},
                     &out, QProcessEnvironment::systemEnvironment()),
                 0);
        const QStringList files = QDir(data).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        QVERIFY(files.contains(QStringLiteral("vintaro.sqlite")));
        for (const QString &f : files) {
            struct stat st = {};
            QCOMPARE(::stat(QFile::encodeName(QDir(data).filePath(f)).constData(), &st), 0);
            QVERIFY2(st.st_uid == nobody, qPrintable(f));
        }
    }
};

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
