// A whole order against the real vintaro-server: log in, put three items in
// the list with a drawing on one of them, send an invoice request, and find
// the drawing byte for byte in the server's data directory; once over plain
// TCP and once over TLS.
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QtTest>

#include "login/startwindow.h"
#include "login_helpers.h"
#include "order_helpers.h"
#include "testcerts.h"
#include "wire.h"

using namespace orderfx;

namespace {
class ServerProcess
{
public:
    ~ServerProcess()
    {
        if (m_proc.state() != QProcess::NotRunning) {
            m_proc.terminate();
            if (!m_proc.waitForFinished(10000))
                m_proc.kill();
        }
    }
    QString dataDir() const { return m_tmp.path() + "/data"; }
    quint16 port() const { return m_port; }

    bool start(const QStringList &extra = {})
    {
        const QString bin = QDir(qEnvironmentVariable("VINTARO_BIN_DIR")).filePath("vintaro-server");
        m_proc.setProcessChannelMode(QProcess::MergedChannels);
        m_proc.start(bin, QStringList{"--data-dir", dataDir(), "--port", "0"} + extra);
        if (!m_proc.waitForStarted(10000))
            return false;
        static const QRegularExpression re("listening on [0-9.]+:([0-9]+)");
        QString out;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 30000 && m_proc.state() == QProcess::Running) {
            m_proc.waitForReadyRead(200);
            out += QString::fromUtf8(m_proc.readAll());
            const auto m = re.match(out);
            if (m.hasMatch()) {
                m_port = quint16(m.captured(1).toUInt());
                return true;
            }
        }
        qWarning().noquote() << "server did not start:" << out;
        return false;
    }

private:
    QTemporaryDir m_tmp;
    QProcess m_proc;
    quint16 m_port = 0;
};

QStringList storedUploads(const QString &dataDir)
{
    QStringList l;
    QDirIterator it(dataDir + "/uploads", QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        if (!f.contains("/incoming/"))
            l << f;
    }
    return l;
}
} // namespace

class TstOrderRoad : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { vintaroInitResources(); }
    void cleanup() { Answers::uninstall(); }
    void invoiceWithOneDrawing_data();
    void invoiceWithOneDrawing();
    void eightyRowsGoInPartsWithTheirDrawings();
};

void TstOrderRoad::invoiceWithOneDrawing_data()
{
    QTest::addColumn<bool>("tls");
    QTest::newRow("plain") << false;
    QTest::newRow("TLS") << true;
}

void TstOrderRoad::invoiceWithOneDrawing()
{
    if (!QFile::exists(QDir(qEnvironmentVariable("VINTARO_BIN_DIR")).filePath("vintaro-server")))
        QSKIP("vintaro-server is not built");
    QFETCH(bool, tls);
    TestCerts certs;
    QStringList args;
    ClientTls clientTls;
    if (tls) {
        TestCerts::Pair pair;
        const QString why = certs.makeServer({"IP:127.0.0.1"}, &pair);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        args << "--tls-cert" << pair.cert << "--tls-key" << pair.key;
        clientTls.enabled = true;
        clientTls.useCaFile(certs.ca());
    }
    ServerProcess server;
    QVERIFY(server.start(args));
    QTemporaryDir dir;
    Answers answers;
    answers.install();

    StartWindow login("127.0.0.1", server.port());
    login.setTls(clientTls);
    login.show();
    QVERIFY(loginThrough(login));
    auto *ssl = qobject_cast<QSslSocket *>(login.loginSocket());
    QCOMPARE(ssl && ssl->isEncrypted(), tls);
    // The upload's pacing must hold over TLS too: a chunk waiting for the
    // network and the next one encrypted at most, never the file.
    qint64 mostQueued = 0;
    if (ssl)
        connect(ssl, &QSslSocket::bytesWritten, this, [&mostQueued, ssl] {
            mostQueued = qMax(mostQueued, ssl->bytesToWrite() + ssl->encryptedBytesToWrite());
        });

    MainWindow w(login.loginSocket(), login.loginUser(), login.loginPassword(),
                 login.loginStatusDialog(), login.loginData(), nullptr);
    w.show();
    QTRY_VERIFY_WITH_TIMEOUT(!w.tables().isEmpty(), 20000);

    // Random bytes, so that any reordering or loss would show; more than the
    // server reads ahead, so it has to hold the sender back.
    QByteArray bytes(600000, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(QRandomGenerator::global()->bounded(256));
    const QString drawing = dir.path() + "/чертёж 1.dwg";
    {
        QFile f(drawing);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    answers.files << drawing;

    // Each tab as the user meets it: shown, its data fetched from the server,
    // its designation built, then added. PUTGm is the page the window opens on.
    auto *tabs = w.findChild<QTabWidget *>("tabWidget");
    auto show = [&](const char *page) {
        tabs->setCurrentIndex(tabs->indexOf(w.findChild<QWidget *>(page)));
    };
    auto definition = [&](const char *name) { return w.findChild<QLineEdit *>(name)->text(); };
    auto click = [&](const char *name) { w.findChild<QAbstractButton *>(name)->click(); };

    QTRY_VERIFY_WITH_TIMEOUT(!w.putgmTab()->PUTGmD2.isEmpty(), 20000);
    QTRY_VERIFY(!definition("PUTGm_Definition").isEmpty());
    const QString putgm = definition("PUTGm_Definition");
    click("PUTGm_Add_To_Basket");

    show("PUTG");
    QTRY_VERIFY_WITH_TIMEOUT(!w.putgTab()->PUTGD2.isEmpty(), 20000);
    QTRY_VERIFY(!definition("PUTG_Definition").isEmpty());
    const QString putg = definition("PUTG_Definition");
    click("PUTG_AddChert");
    QCOMPARE(w.PUTGChertPath, drawing);
    click("PUTG_Add_To_Basket");

    show("SNP");
    QTRY_VERIFY_WITH_TIMEOUT(!w.snpTab()->SNPD2.isEmpty(), 20000);
    QTRY_VERIFY(!definition("SNP_Definition").isEmpty());
    const QString snp = definition("SNP_Definition");
    click("SNP_Add_To_Basket");

    auto *basket = w.findChild<QTableWidget *>("Basket");
    QCOMPARE(basket->rowCount(), 3);
    QCOMPARE(basket->item(0, 0)->text(), putgm);
    QCOMPARE(basket->item(1, 0)->text(), putg);
    QCOMPARE(basket->item(1, 3)->text(), QString("чертёж 1.dwg"));
    QCOMPARE(basket->item(2, 0)->text(), snp);
    QCOMPARE(w.ChertList, QStringList({"", drawing, ""}));

    w.findChild<QPushButton *>("To_Basket")->click();
    answers.boxes << QMessageBox::Yes;
    w.findChild<QPushButton *>("Send_List")->click();

    QTRY_COMPARE_WITH_TIMEOUT(basket->rowCount(), 0, 20000);
    QVERIFY(w.ChertList.isEmpty());
    bool done = false;
    for (Message *m : w.findChildren<Message *>())
        done = done || m->messageText() == "Все данные отправлены на сервер.";
    QVERIFY(done);

    QTRY_COMPARE_WITH_TIMEOUT(storedUploads(server.dataDir()).size(), 1, 20000);
    const QString stored = storedUploads(server.dataDir()).first();
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(stored).size(), qint64(bytes.size()), 10000);
    QCOMPARE(contents(stored), bytes);
    QVERIFY2(mostQueued <= 2 * (6144 + 256), qPrintable(QString::number(mostQueued)));
}

// More rows than one frame holds: the list goes in parts, each part's drawing
// with it, on one confirmation.
void TstOrderRoad::eightyRowsGoInPartsWithTheirDrawings()
{
    if (!QFile::exists(QDir(qEnvironmentVariable("VINTARO_BIN_DIR")).filePath("vintaro-server")))
        QSKIP("vintaro-server is not built");
    ServerProcess server;
    QVERIFY(server.start());
    QTemporaryDir dir;
    Answers answers;
    answers.install();

    StartWindow login("127.0.0.1", server.port());
    QVERIFY(loginThrough(login));
    MainWindow w(login.loginSocket(), login.loginUser(), login.loginPassword(),
                 login.loginStatusDialog(), login.loginData(), nullptr);
    w.show();
    QTRY_VERIFY_WITH_TIMEOUT(!w.tables().isEmpty(), 20000);
    auto *tabs = w.findChild<QTabWidget *>("tabWidget");
    tabs->setCurrentIndex(tabs->indexOf(w.findChild<QWidget *>("SNP")));
    QTRY_VERIFY_WITH_TIMEOUT(!w.findChild<QLineEdit *>("SNP_Definition")->text().isEmpty(), 20000);

    QList<QByteArray> bytes;
    for (int i = 0; i < 2; ++i) {
        bytes << QByteArray(5000 + i, char('a' + i));
        const QString path = dir.path() + QString("/part%1.dwg").arg(i);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes.last());
        answers.files << path;
    }
    const int rows = 80;
    for (int i = 0; i < rows; ++i) {
        if (i == 0 || i == rows - 1)
            w.findChild<QAbstractButton *>("SNP_Add_Chert")->click();
        w.findChild<QAbstractButton *>("SNP_Add_To_Basket")->click();
    }
    auto *basket = w.findChild<QTableWidget *>("Basket");
    QCOMPARE(basket->rowCount(), rows);
    QStringList cells;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 5; ++c)
            cells << basket->item(r, c)->text();
    QVERIFY(!wire::fitsOnWire(wire::requestFrame(wire::OrderInvoice, cells)));

    w.findChild<QPushButton *>("To_Basket")->click();
    answers.boxes << QMessageBox::Yes;
    w.findChild<QPushButton *>("Send_List")->click();
    QTRY_COMPARE_WITH_TIMEOUT(basket->rowCount(), 0, 30000);
    QCOMPARE(answers.asked.size(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(storedUploads(server.dataDir()).size(), 2, 20000);
    QList<QByteArray> stored;
    for (const QString &f : storedUploads(server.dataDir()))
        stored << contents(f);
    std::sort(stored.begin(), stored.end());
    QCOMPARE(stored, bytes);
    int results = 0;
    for (Message *m : w.findChildren<Message *>())
        results += m->isVisible() && m->messageText() == "Все данные отправлены на сервер." ? 1 : 0;
    QCOMPARE(results, 1);
}

QTEST_MAIN(TstOrderRoad)
#include "tst_order_road.moc"
