#pragma once
// A real SMTP server (Debian's aiosmtpd, STARTTLS and AUTH required) on a
// free loopback port, and the readers that take the messages and documents
// apart: Python's e-mail parser, openpyxl, odfpy and pdftotext.
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

namespace mailharness {

inline QString tool()
{
    return QDir(qEnvironmentVariable("VINTARO_SOURCE_DIR")).filePath(QStringLiteral("tests/server/mailtool.py"));
}

// Runs a helper to completion; its standard output, or a null array on failure.
inline QByteArray run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning().noquote() << program << args.join(QLatin1Char(' ')) << "failed:" << p.readAllStandardError();
        return QByteArray();
    }
    return p.readAllStandardOutput();
}

inline QJsonDocument python(const QStringList &args)
{
    return QJsonDocument::fromJson(run(QStringLiteral("/usr/bin/python3"), QStringList{tool()} + args));
}

inline QJsonObject summary(const QString &eml)
{
    return python({QStringLiteral("summary"), eml}).object();
}

// Rows of cells {"v": text or null, "t": type} of a spreadsheet's first sheet.
inline QJsonArray xlsxRows(const QString &path)
{
    return python({QStringLiteral("xlsx"), path}).array();
}

inline QJsonObject odsContent(const QString &path)
{
    return python({QStringLiteral("ods"), path}).object();
}

inline QString pdfText(const QString &path)
{
    return QString::fromUtf8(run(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path,
                                                               QStringLiteral("-")}));
}

inline quint16 freePort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

class SmtpServer
{
public:
    // implicitTls: TLS from the first byte (smtps://) instead of STARTTLS.
    explicit SmtpServer(bool implicitTls = false) : m_implicit(implicitTls)
    {
        m_port = freePort();
        run(QStringLiteral("/usr/bin/python3"), {tool(), QStringLiteral("cert"), m_dir.path()});
    }
    ~SmtpServer() { stop(); }

    quint16 port() const { return m_port; }
    QString caFile() const { return m_dir.filePath(QStringLiteral("cert.pem")); }
    QString mailbox() const { return m_dir.filePath(QStringLiteral("received")); }
    QString url() const
    {
        return QStringLiteral("%1://tester:secret@127.0.0.1:%2").arg(m_implicit ? "smtps" : "smtp").arg(m_port);
    }
    // Options that point the order server at this mail server.
    QStringList serverArgs() const
    {
        return {QStringLiteral("--smtp"), url(), QStringLiteral("--smtp-ca"), caFile(), QStringLiteral("--mail-from"),
                QStringLiteral("orders@maker.example"), QStringLiteral("--sales-mail"), QStringLiteral("desk@maker.example")};
    }

    bool start()
    {
        m_proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_proc.start(QStringLiteral("/usr/bin/python3"),
                     {tool(), QStringLiteral("serve"), QString::number(m_port), mailbox(), m_dir.filePath(QStringLiteral("cert.pem")),
                      m_dir.filePath(QStringLiteral("key.pem")), QStringLiteral("tester"), QStringLiteral("secret"),
                      m_implicit ? QStringLiteral("implicit") : QStringLiteral("starttls")});
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 30000 && m_proc.state() != QProcess::NotRunning) {
            if (m_proc.waitForReadyRead(200) && m_proc.readAll().contains("ready"))
                return true;
        }
        return false;
    }

    void stop()
    {
        if (m_proc.state() != QProcess::NotRunning) {
            m_proc.kill();
            m_proc.waitForFinished(10000);
        }
    }

    // Paths of the messages received so far, oldest first.
    QStringList messages() const
    {
        QStringList out;
        const QDir d(mailbox());
        for (const QString &n : d.entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Time | QDir::Reversed))
            out << d.filePath(n);
        return out;
    }

    // Waits until at least n messages are in; the messages then.
    QStringList waitFor(int n, int timeoutMs = 60000) const
    {
        QElapsedTimer t;
        t.start();
        while (messages().size() < n && t.elapsed() < timeoutMs)
            QTest::qWait(100);
        return messages();
    }

    // The envelope of a received message: from, to, tls, auth.
    static QJsonObject envelope(const QString &eml)
    {
        QFile f(QString(eml).replace(QLatin1String(".eml"), QLatin1String(".json")));
        f.open(QIODevice::ReadOnly);
        return QJsonDocument::fromJson(f.readAll()).object();
    }

private:
    QTemporaryDir m_dir;
    QProcess m_proc;
    quint16 m_port = 0;
    bool m_implicit = false;
};

} // namespace mailharness
