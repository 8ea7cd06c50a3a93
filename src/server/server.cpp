#include "server.h"

#include "crashpoint.h"
#include "hashpool.h"
#include "mail/mailplan.h"
#include "orderrows.h"
#include "requests.h"
#include "productdata.h"
#include "proxygate.h"
#include "storewriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QLockFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUuid>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

const QString kLoginOk = QStringLiteral("Авторизация прошла успешно");
const QString kLoginWrong = QStringLiteral("Неверное имя пользователя или пароль.");
const QString kLoginDisabled = QStringLiteral("Учётная запись отключена. Обратитесь к производителю.");
const QString kRegStored = QStringLiteral("Заявка на регистрацию принята. После её рассмотрения Вам сообщат "
                                          "имя пользователя и пароль.");
const QString kRegDuplicateMail = QStringLiteral("Заявка не принята: заявка с этим адресом электронной почты "
                                                 "уже подана.");
const QString kRegDuplicateName = QStringLiteral("Заявка не принята: заявка от этого сотрудника предприятия "
                                                 "уже подана.");
const QString kRegInvalid = QStringLiteral("Заявка не принята: заполните все обязательные поля.");
const QString kQuestionnaireStored = QStringLiteral("Опросный лист отправлен.");
const QString kTryLater = QStringLiteral("Ошибка. Повторите отправку позднее.");
const QString kBadRequest = QStringLiteral("Неверный запрос.");

// Failure counts older than this are forgotten.
constexpr qint64 kThrottleMemoryMs = 15 * 60 * 1000;
// No account has a longer name, so the throttle need not remember longer ones
// (each would otherwise hold as many bytes as a peer cares to send).
constexpr int kMaxLoginName = 100;

} // namespace

// ---- LoginThrottle ----------------------------------------------------------

qint64 LoginThrottle::delayFor(int failures) const
{
    if (failures <= 0)
        return 0;
    qint64 d = m_baseMs;
    for (int i = 1; i < failures && d < m_maxMs; ++i)
        d *= 2;
    return qMin<qint64>(d, m_maxMs);
}

void LoginThrottle::prune(qint64 nowMs)
{
    if (m_entries.size() < 10000)
        return;
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (nowMs - it->lastFailure > kThrottleMemoryMs && it->notBefore <= nowMs)
            it = m_entries.erase(it);
        else
            ++it;
    }
}

qint64 LoginThrottle::reserve(const QString &name, qint64 nowMs)
{
    auto it = m_entries.find(name);
    if (it == m_entries.end())
        return 0;
    if (it->failures > 0 && nowMs - it->lastFailure > kThrottleMemoryMs && it->notBefore <= nowMs) {
        m_entries.erase(it);
        return 0;
    }
    // Attempts made in parallel queue up behind each other, but never longer
    // than the longest delay: else anybody could lock a customer's name for
    // as long as he keeps sending wrong passwords for it.
    const qint64 slot = qMin(qMax(nowMs, it->notBefore), nowMs + m_maxMs);
    it->notBefore = slot + delayFor(it->failures);
    return slot - nowMs;
}

void LoginThrottle::failed(const QString &name, qint64 nowMs)
{
    if (name.size() > kMaxLoginName)
        return;
    prune(nowMs);
    Entry &e = m_entries[name];
    e.failures = qMin(e.failures + 1, 64);
    e.lastFailure = nowMs;
    e.notBefore = qMax(e.notBefore, nowMs + delayFor(e.failures));
}

void LoginThrottle::succeeded(const QString &name)
{
    m_entries.remove(name);
}

// ---- names ----------------------------------------------------------------

QString safeUploadName(const QString &clientName)
{
    QString name = clientName;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.size() > 255)
        return QString();
    for (QChar &c : name) {
        const ushort u = c.unicode();
        // Controls, and the bidi embeddings, overrides and isolates that make
        // "fdp\u202E.exe" read as "exe.pdf", are blanked out of the recorded
        // name; the file itself is kept. Other format characters (a soft
        // hyphen, the joiner inside an emoji) are ordinary parts of names.
        const bool bidi = (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069);
        if (u < 0x20 || u == 0x7f || c.category() == QChar::Other_Control || bidi)
            c = QLatin1Char('_');
    }
    return name;
}

// ---- OrderServer ------------------------------------------------------------

OrderServer::OrderServer(Store *store, const ProductData *products, const ServerConfig &config, QObject *parent)
    : QObject(parent),
      m_store(store),
      m_products(products),
      m_config(config),
      m_tcp(config.tls.enabled() ? static_cast<QTcpServer *>(new TlsListener(config.tls, this))
                                 : new ProxiedListener(config.proxyProtocol, this)),
      m_throttle(config.loginDelayBaseMs, config.loginDelayMaxMs)
{
    m_clock.start();
    if (auto *tls = qobject_cast<TlsListener *>(m_tcp))
        tls->setProxyProtocol(config.proxyProtocol);
    // Unknown names are checked against this, so they cost as much as known ones.
    m_decoy = password::make(QUuid::createUuid().toString(), store->passwordCost());
    connect(m_tcp, &QTcpServer::newConnection, this, &OrderServer::onNewConnection);
}

OrderServer::~OrderServer()
{
    // Connections first: they drop their partial files and use our counters.
    qDeleteAll(findChildren<Connection *>(QString(), Qt::FindDirectChildrenOnly));
    // Files already whole are stored before their partial copies go.
    delete m_writer;
    if (!m_tempDir.isEmpty())
        QDir(m_tempDir).removeRecursively();
}

QString OrderServer::uploadsDir() const
{
    return QDir(m_config.dataDir).filePath(QStringLiteral("uploads"));
}

QString OrderServer::uploadsTempDir() const
{
    return m_tempDir;
}

bool OrderServer::listen(const QHostAddress &address, quint16 port, QString *error)
{
    // Each running server writes partial uploads into its own locked folder,
    // so servers sharing a data directory never remove each other's files.
    // A folder whose lock is stale was cut off by a crash: never acknowledged.
    const QDir incoming(QDir(uploadsDir()).filePath(QStringLiteral("incoming")));
    for (const QString &sub : incoming.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString path = incoming.filePath(sub);
        QLockFile stale(path + QStringLiteral(".lock"));
        if (stale.tryLock(0)) {
            QDir(path).removeRecursively();
            stale.unlock();
        }
    }
    m_tempDir = incoming.filePath(QUuid::createUuid().toString(QUuid::WithoutBraces));
    if (!QDir().mkpath(m_tempDir)) {
        *error = QStringLiteral("cannot create %1").arg(m_tempDir);
        return false;
    }
    m_tempLock.reset(new QLockFile(m_tempDir + QStringLiteral(".lock")));
    m_tempLock->setStaleLockTime(0);
    if (!m_tempLock->tryLock(0)) {
        *error = QStringLiteral("cannot lock %1").arg(m_tempDir);
        return false;
    }
    if (!m_writer) {
        m_writer = new StoreWriter(this);
        if (!m_writer->start(m_config.mail.dbUrl, m_config.dataDir, error))
            return false;
    }
    m_tcp->setMaxPendingConnections(1000);
    // QTcpServer listens with a backlog of 50; hundreds of customers
    // connecting at once would see their handshakes dropped and retried.
    const int fd = listeningSocket(address, port, error);
    if (fd < 0)
        return false;
    if (!m_tcp->setSocketDescriptor(fd)) {
        *error = m_tcp->errorString();
        ::close(fd);
        return false;
    }
    return true;
}

int OrderServer::listeningSocket(const QHostAddress &address, quint16 port, QString *error)
{
    sockaddr_storage addr{};
    socklen_t len = 0;
    int family = AF_INET;
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        family = AF_INET6;
        auto *a6 = reinterpret_cast<sockaddr_in6 *>(&addr);
        a6->sin6_family = AF_INET6;
        a6->sin6_port = htons(port);
        const Q_IPV6ADDR raw = address.toIPv6Address();
        std::memcpy(&a6->sin6_addr, &raw, sizeof raw);
        len = sizeof(sockaddr_in6);
    } else {
        auto *a4 = reinterpret_cast<sockaddr_in *>(&addr);
        a4->sin_family = AF_INET;
        a4->sin_port = htons(port);
        a4->sin_addr.s_addr = htonl(address.toIPv4Address());
        len = sizeof(sockaddr_in);
    }
    const int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return -1;
    }
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd, reinterpret_cast<sockaddr *>(&addr), len) != 0 || ::listen(fd, SOMAXCONN) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return -1;
    }
    return fd;
}

quint16 OrderServer::port() const
{
    return m_tcp->serverPort();
}

bool OrderServer::listenPlain(const QHostAddress &address, quint16 port, QString *error)
{
    const int fd = listeningSocket(address, port, error);
    if (fd < 0)
        return false;
    m_plain = new ProxiedListener(m_config.proxyProtocol, this);
    m_plain->setMaxPendingConnections(1000);
    connect(m_plain, &QTcpServer::newConnection, this, &OrderServer::onNewConnection);
    if (!m_plain->setSocketDescriptor(fd)) {
        *error = m_plain->errorString();
        ::close(fd);
        return false;
    }
    return true;
}

quint16 OrderServer::plainPort() const
{
    return m_plain ? m_plain->serverPort() : 0;
}

const QByteArray &OrderServer::tablesReply()
{
    if (m_tablesReply.isEmpty()) {
        m_tablesReply = QByteArray(1, char(wire::TablesReply)) + wire::encodeMap(m_products->tablesMap());
        if (m_tablesReply.size() > wire::kMaxBody) {
            qCritical() << "the tables are" << m_tablesReply.size()
                        << "bytes, more than one frame holds; answering an empty map";
            m_tablesReply = QByteArray(1, char(wire::TablesReply)) + wire::encodeMap(QVariantMap());
        }
    }
    return m_tablesReply;
}

void OrderServer::onNewConnection()
{
    auto *listener = qobject_cast<QTcpServer *>(sender());
    while (QTcpSocket *s = (listener ? listener : m_tcp)->nextPendingConnection())
        new Connection(s, this);
}

// ---- login ------------------------------------------------------------------

void Connection::handleLogin(const requests::Request &r)
{
    const QString &name = r.name;
    const QString &clear = r.clear;
    if (!r.ok) {
        qWarning() << "malformed login request";
        sendText(kLoginWrong);
        return;
    }
    heardFromClient();
    // Replies keep the order of requests: nothing else is read until this
    // login is answered.
    m_busy = true;
    const qint64 wait = m_server->throttle().reserve(name, m_server->nowMs());
    if (wait > 0) {
        qInfo().noquote() << "login for" << name << "delayed by" << wait << "ms";
        QTimer::singleShot(int(wait), this, [this, name, clear] { checkLogin(name, clear); });
    } else {
        checkLogin(name, clear);
    }
}

void Connection::checkLogin(const QString &name, const QString &clear)
{
    Account account;
    const bool exists = m_server->store()->findAccount(name, &account);
    const password::Digest digest = exists ? account.digest : m_server->decoyDigest();
    const password::Cost cost = m_server->store()->passwordCost();
    auto *watcher = new QFutureWatcher<hashpool::LoginCheck>(this);
    connect(watcher, &QFutureWatcher<hashpool::LoginCheck>::finished, this, [this, watcher, name, exists, account] {
        const hashpool::LoginCheck r = watcher->result();
        watcher->deleteLater();
        const bool matched = exists && r.matched;
        if (matched && !account.disabled && !r.upgraded.hash.isEmpty()
            && m_server->store()->upgradeDigest(account.id, account.digest, r.upgraded))
            qInfo().noquote() << "password digest of" << name << "upgraded";
        finishLogin(name, matched, account);
    });
    m_server->hashGate()->enqueue(proxygate::clientAddress(m_socket), this, [=] {
        const QFuture<hashpool::LoginCheck> f = hashpool::check(clear, digest, exists ? &cost : nullptr, m_abandoned);
        watcher->setFuture(f);
        return f;
    });
}

void Connection::finishLogin(const QString &name, bool matched, const Account &account)
{
    if (m_loggedIn && !(matched && !account.disabled && account.id == m_account.id)) {
        // Another account, or none, from here on: files that follow belong
        // to its own orders and questionnaires, never to the last account's.
        forgetLastOrder();
        m_lastQuestionnaireId = 0;
    }
    if (!matched || account.disabled) {
        // A failed new login ends any earlier one on this connection.
        m_loggedIn = false;
        m_account = Account();
    }
    if (!matched) {
        m_server->throttle().failed(name, m_server->nowMs());
        qInfo().noquote() << "login refused for" << name << "from" << proxygate::clientAddress(m_socket);
        sendText(kLoginWrong);
    } else if (account.disabled) {
        qInfo().noquote() << "login of disabled account" << name;
        sendText(kLoginDisabled);
    } else {
        m_server->throttle().succeeded(name);
        m_loggedIn = true;
        m_account = account;
        QVariantMap data;
        data.insert(QStringLiteral("SNP"), account.access.snp);
        data.insert(QStringLiteral("PUTG"), account.access.putg);
        data.insert(QStringLiteral("PUTGm"), account.access.putgm);
        qInfo().noquote() << "login of" << name << "from" << proxygate::clientAddress(m_socket);
        sendText(kLoginOk, &data);
    }
    resume();
}

// ---- registration and questionnaires -----------------------------------------

void Connection::handleRegistration(const requests::Request &r)
{
    const QVariantMap &map = r.map;
    if (!r.ok) {
        qWarning() << "malformed registration request";
        sendText(kBadRequest);
        return;
    }
    heardFromClient();
    struct Result
    {
        qint64 id = 0;
        Store::ApplicationResult outcome = Store::ApplicationResult::Failed;
    };
    const auto result = QSharedPointer<Result>::create();
    const QList<MailItem> mail = mailplan::forApplication(m_server->config().mail);
    writeToStore([map, mail, result](Store &store) { result->outcome = store.addApplication(map, &result->id, mail); },
                 [this, result] {
                     switch (result->outcome) {
                     case Store::ApplicationResult::Stored:
                         qInfo() << "registration application" << result->id << "stored";
                         emit m_server->mailQueued();
                         sendText(kRegStored);
                         break;
                     case Store::ApplicationResult::DuplicateMail:
                         sendText(kRegDuplicateMail);
                         break;
                     case Store::ApplicationResult::DuplicateName:
                         sendText(kRegDuplicateName);
                         break;
                     case Store::ApplicationResult::Invalid:
                         sendText(kRegInvalid);
                         break;
                     case Store::ApplicationResult::Failed:
                         sendText(kTryLater);
                         break;
                     }
                 });
}

void Connection::handleQuestionnaire(const requests::Request &r)
{
    const quint8 code = r.code;
    const QVariantMap &map = r.map;
    const bool loginWindow = code == wire::QuestionnaireBeforeLogin;
    const auto answer = [this, loginWindow, namesFile = !map.value(QStringLiteral("file_name")).toString().isEmpty()](qint64 id) {
        // A file that follows a questionnaire belongs to it: after one that was
        // not stored, or that named no file, it must not be filed with an earlier one.
        m_lastQuestionnaireId = id > 0 && namesFile ? id : -1;
        if (loginWindow)
            sendText(id > 0 ? kQuestionnaireStored : kTryLater);
        else
            sendItem(id > 0 ? wire::QuestionnaireStored : wire::QuestionnaireFailed);
    };
    if (!r.ok || map.isEmpty()) {
        qWarning() << "malformed questionnaire";
        answer(-1);
        return;
    }
    heardFromClient();
    if (!loginWindow && !stillLoggedIn()) {
        qWarning() << "questionnaire from the main window without a valid login";
        answer(-1);
        return;
    }
    const auto result = QSharedPointer<StoreWriter::Written>::create();
    const qint64 accountId = m_loggedIn ? m_account.id : 0;
    const QList<MailItem> mail = mailplan::forQuestionnaire(m_server->config().mail);
    writeToStore(
        [accountId, code, map, mail, result](Store &store) {
            result->id = store.storeQuestionnaire(accountId, code, map, &result->error, mail);
        },
        [this, result, answer] {
            if (result->id < 0)
                qCritical().noquote() << "questionnaire not stored:" << result->error;
            else
                emit m_server->mailQueued();
            answer(result->id);
        });
}

// ---- tables and lookups -----------------------------------------------------

void Connection::handleTables()
{
    if (!m_loggedIn) {
        qWarning() << "table request before a login";
        countBadRequest();
        return;
    }
    sendBody(m_server->tablesReply());
}

void Connection::handleLookup(const requests::Request &r)
{
    const quint8 code = r.code;
    const QVariantMap &request = r.map;
    const bool parsed = r.ok;
    if (!parsed)
        qWarning() << "malformed lookup request" << code;
    const ProductData *p = m_server->products();
    QStringList result;
    quint8 reply = 0;
    bool allowed = m_loggedIn;
    switch (code) {
    case wire::SnpRequest:
        reply = wire::SnpReply;
        allowed = allowed && m_account.access.snp;
        if (parsed && allowed)
            result = p->snpLookup(request);
        break;
    case wire::SnpD2Request:
        reply = wire::SnpD2Reply;
        allowed = allowed && m_account.access.snp;
        if (parsed && allowed)
            result = p->snpD2Lookup(request);
        break;
    case wire::PutgRequest:
        reply = wire::PutgReply;
        allowed = allowed && m_account.access.putg;
        if (parsed && allowed)
            result = p->putgLookup(request);
        break;
    default:
        reply = wire::PutgmReply;
        allowed = allowed && m_account.access.putgm;
        if (parsed && allowed)
            result = p->putgmLookup(request);
        break;
    }
    sendItem(reply, wire::encodeStringList(result));
    if (!allowed) {
        qWarning() << "lookup" << code << "without access";
        countBadRequest();
    }
}

// ---- orders -------------------------------------------------------------------

namespace {

// What the store writer made of one order; the connection acts on it.
struct OrderOutcome
{
    enum Kind { Malformed, NoLogin, BadQuantity, NoAddress, NotStored, Stored } kind = Malformed;
    bool stateRead = false; // then the session follows `state`
    Store::AccountState state = Store::AccountState::Unknown;
    Account fresh;
    int badRow = -1;
    QString error;
    qint64 id = -1;
    int rows = 0;
};

// Decodes, checks and stores an order. It runs on the store writer: a
// 500-row order costs about half a millisecond to decode and check, and on
// the serving thread every customer's lookup waited for it.
void takeOrder(Store &store, const QByteArray &body, bool loggedIn, const Account &account,
               const MailSettings &mailSettings, OrderOutcome *out)
{
    const requests::Request r = requests::decode(body);
    if (!r.ok)
        return;
    if (!loggedIn) {
        out->kind = OrderOutcome::NoLogin;
        return;
    }
    out->stateRead = true;
    out->state = store.accountState(account.name, account.id, &out->fresh);
    if (out->state == Store::AccountState::Gone) {
        out->kind = OrderOutcome::NoLogin;
        return;
    }
    // No stored order may carry a quantity the maker cannot count.
    out->badRow = orderrows::firstBadQuantityRow(r.list);
    if (out->badRow >= 0) {
        out->kind = OrderOutcome::BadQuantity;
        return;
    }
    QList<MailItem> mail;
    if (!mailplan::forOrder(r.code, store.accountEmail(account.id), mailSettings, &mail, &out->error)) {
        out->kind = OrderOutcome::NoAddress;
        return;
    }
    out->id = store.storeOrder(account.id, r.code, r.list, &out->error, mail);
    out->kind = out->id < 0 ? OrderOutcome::NotStored : OrderOutcome::Stored;
    out->rows = r.list.size() / 5;
}

} // namespace

void Connection::handleOrder(const QByteArray &body)
{
    const quint8 code = quint8(body.at(0));
    const auto outcome = QSharedPointer<OrderOutcome>::create();
    writeToStore(
        [body, loggedIn = m_loggedIn, account = m_account, mail = m_server->config().mail, outcome](Store &store) {
            takeOrder(store, body, loggedIn, account, mail, outcome.data());
        },
        [this, outcome, code] {
            const OrderOutcome &o = *outcome;
            if (o.stateRead)
                followAccountState(o.state, o.fresh);
            bool bad = false;
            switch (o.kind) {
            case OrderOutcome::Malformed:
                qWarning() << "malformed order" << code;
                break;
            case OrderOutcome::NoLogin:
                qWarning() << "order without a valid login";
                bad = true;
                break;
            case OrderOutcome::BadQuantity:
                qWarning() << "order refused: row" << o.badRow << "has no whole quantity";
                break;
            case OrderOutcome::NoAddress:
                qWarning().noquote() << "order" << code << "of" << m_account.name << "refused:" << o.error;
                break;
            case OrderOutcome::NotStored:
                qCritical().noquote() << "order not stored:" << o.error;
                break;
            case OrderOutcome::Stored: {
                crashPoint("order-committed");
                emit m_server->mailQueued();
                m_lastOrderId = o.id;
                m_lastOrderRows = o.rows;
                qInfo() << "order" << o.id << "of" << m_account.name << "stored with" << o.rows << "rows";
                const bool document = code == wire::OrderPdf || code == wire::OrderXls || code == wire::OrderOds;
                sendItem(document ? wire::DocumentMailed : wire::OrderAccepted);
                return;
            }
            }
            forgetLastOrder();
            sendItem(wire::OrderFailed);
            if (bad)
                countBadRequest(); // last: it may drop the connection
        });
}

// The commit waits for the disk (and on SQLite for other writers); it runs on
// the store writer's thread. This connection's next requests wait for it, so
// no later answer comes before this one.
void Connection::writeToStore(std::function<void(Store &)> work, std::function<void()> done)
{
    m_busy = true;
    m_server->storeWriter()->run(this, std::move(work), [this, done = std::move(done)] {
        done();
        resume();
    });
}

// An account the operator disabled (or removed) since its login may not
// place orders or send questionnaires on the session it still holds.
bool Connection::stillLoggedIn()
{
    if (!m_loggedIn)
        return false;
    Account fresh;
    return followAccountState(m_server->store()->accountState(m_account.name, m_account.id, &fresh), fresh);
}

// The session takes the account's access as the store last read it, and ends
// once the account is gone; false then.
bool Connection::followAccountState(Store::AccountState state, const Account &fresh)
{
    switch (state) {
    case Store::AccountState::Active:
        m_account.access = fresh.access;
        return true;
    case Store::AccountState::Unknown:
        return true; // a store that cannot be read refuses the request itself
    case Store::AccountState::Gone:
        break;
    }
    qInfo().noquote() << "account" << m_account.name << "is no longer active; its session ends";
    m_loggedIn = false;
    m_account = Account();
    return false;
}

// Drawings that follow a refused order must not land in the one before it.
void Connection::forgetLastOrder()
{
    m_lastOrderId = 0;
    m_lastOrderRows = 0;
}
