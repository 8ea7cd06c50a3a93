#pragma once
// Real certificates for TLS tests, made with the openssl tool in a temporary
// folder: one authority, and server certificates signed by it.
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

class TestCerts
{
public:
    struct Pair
    {
        QString cert;
        QString key;
    };

    // Empty on success, otherwise what went wrong.
    QString makeAuthority()
    {
        if (!m_dir.isValid())
            return QStringLiteral("no temporary directory");
        if (QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty())
            return QStringLiteral("openssl is not installed (scripts/deps.d/tls.txt)");
        return run({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", path("ca.key"), "-out", ca(),
                    "-days", "3", "-subj", "/CN=Vintaro test CA"});
    }
    QString ca() const { return path("ca.pem"); }

    // A server certificate for the given names ("DNS:localhost", "IP:127.0.0.1"),
    // valid for `days` from now; a negative count gives one that has expired.
    QString issue(const QString &name, const QStringList &altNames, int days, Pair *out)
    {
        const QString base = path(name);
        QFile ext(base + ".ext");
        if (!ext.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot write ") + ext.fileName();
        ext.write("subjectAltName=" + altNames.join(',').toUtf8() + "\nextendedKeyUsage=serverAuth\n");
        ext.close();
        QString why = run({"req", "-newkey", "rsa:2048", "-nodes", "-keyout", base + ".key", "-out", base + ".csr",
                           "-subj", "/CN=" + name});
        if (why.isEmpty())
            why = run({"x509", "-req", "-in", base + ".csr", "-CA", ca(), "-CAkey", path("ca.key"),
                       "-CAcreateserial", "-days", QString::number(days), "-extfile", ext.fileName(),
                       "-out", base + ".pem"});
        *out = {base + ".pem", base + ".key"};
        return why;
    }

    // The authority and one server certificate for `altNames`, valid for two days.
    QString makeServer(const QStringList &altNames, Pair *out)
    {
        const QString why = makeAuthority();
        return why.isEmpty() ? issue(QStringLiteral("server"), altNames, 2, out) : why;
    }

    QString path(const QString &file) const { return m_dir.filePath(file); }

private:
    QString run(const QStringList &args)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral("openssl"), args);
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return QStringLiteral("openssl %1 failed: %2").arg(args.join(' '), QString::fromLocal8Bit(p.readAll()));
        return QString();
    }

    QTemporaryDir m_dir;
};
