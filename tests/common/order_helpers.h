#pragma once
// Helpers for driving the main window's order list from tests: the real
// window against a TestPeer, with the configurator fields filled in by name
// whatever widget kind the tab's form uses for them.
#include <QAbstractButton>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/mainwindow.h"
#include "app/message.h"
#include "putg/putgtab.h"
#include "putgm/putgmtab.h"
#include "snp/snptab.h"
#include "testpeer.h"

void vintaroInitResources();

namespace orderfx {

inline QVariantMap allTabs()
{
    return {{"SNP", true}, {"PUTG", true}, {"PUTGm", true}};
}

// Sets the text of a configurator field; creates a line edit in the tab when
// the tab's form does not have that field (yet).
inline void setField(MainWindow *w, QWidget *tab, const char *name, const QString &text)
{
    QWidget *f = w->findChild<QWidget *>(QLatin1String(name));
    if (!f) {
        auto *edit = new QLineEdit(tab);
        edit->setObjectName(QLatin1String(name));
        f = edit;
    }
    if (auto *e = qobject_cast<QLineEdit *>(f))
        e->setText(text);
    else if (auto *s = qobject_cast<QSpinBox *>(f))
        s->setValue(text.toInt());
    else if (auto *t = qobject_cast<QTextEdit *>(f))
        t->setPlainText(text);
    else if (auto *p = qobject_cast<QPlainTextEdit *>(f))
        p->setPlainText(text);
    else
        f->setProperty("text", text);
}

// The button the tab's form provides, or a stand-in created for the test.
// Stand-ins are not wired to the window; press() calls the slot for them.
inline QAbstractButton *button(MainWindow *w, QWidget *tab, const char *name, const QString &text = QString())
{
    auto *b = w->findChild<QAbstractButton *>(QLatin1String(name));
    if (!b) {
        // A stand-in attach button starts as the window would have set it.
        const bool attach = QByteArray(name).contains("Chert");
        b = new QPushButton(text.isEmpty() && attach ? QStringLiteral("Прикрепить чертеж") : text, tab);
        b->setObjectName(QLatin1String(name));
        b->setProperty("standIn", true);
    }
    return b;
}

inline void press(MainWindow *w, QWidget *tab, const char *name, void (MainWindow::*slot)())
{
    QAbstractButton *b = button(w, tab, name);
    if (b->property("standIn").toBool())
        (w->*slot)();
    else
        b->click();
}

inline void addSnp(MainWindow *w, const QString &definition, const QString &count,
                   const QString &type, const QStringList &d, const QString &description)
{
    SnpTab *t = w->snpTab();
    setField(w, t, "SNP_Definition", definition);
    setField(w, t, "SNP_Count", count);
    t->SNPType = type;
    t->SNPD1 = d.value(0);
    t->SNPD2 = d.value(1);
    t->SNPD3 = d.value(2);
    t->SNPD4 = d.value(3);
    t->SNPDescriptionText = description;
    press(w, t, "SNP_Add_To_Basket", &MainWindow::on_SNP_Add_To_Basket_clicked);
}

// A round item of the tab's construction: outside diameter and bore.
inline void addPutg(MainWindow *w, const QString &definition, const QString &count,
                    const QString &outside, const QString &bore, const QString &description)
{
    PutgTab *t = w->putgTab();
    setField(w, t, "PUTG_Definition", definition);
    setField(w, t, "PUTG_Count", count);
    t->PUTGD3 = outside;
    t->PUTGD2 = bore;
    t->PUTGDescriptionText = description;
    press(w, t, "PUTG_Add_To_Basket", &MainWindow::on_PUTG_Add_To_Basket_clicked);
}

inline void addPutgm(MainWindow *w, const QString &definition, const QString &count,
                     const QString &outside, const QString &bore, const QString &description)
{
    PutgmTab *t = w->putgmTab();
    setField(w, t, "PUTGm_Definition", definition);
    setField(w, t, "PUTGm_Count", count);
    t->PUTGmD3 = outside;
    t->PUTGmD2 = bore;
    t->PUTGmDescriptionText = description;
    press(w, t, "PUTGm_Add_To_Basket", &MainWindow::on_PUTGm_Add_To_Basket_clicked);
}

inline QString cell(QTableWidget *t, int r, int c)
{
    const QTableWidgetItem *i = t->item(r, c);
    return i ? i->text() : QStringLiteral("<no item>");
}

inline QStringList row(QTableWidget *t, int r)
{
    QStringList l;
    for (int c = 0; c < t->columnCount(); ++c)
        l << cell(t, r, c);
    return l;
}

inline QString writeFile(const QString &dir, const QString &name, qint64 size, char seed = 'a')
{
    const QString path = dir + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    QByteArray block(4096, '\0');
    qint64 written = 0;
    while (written < size) {
        for (int i = 0; i < block.size(); ++i)
            block[i] = char(seed + (written + i) % 23);
        const qint64 n = qMin<qint64>(block.size(), size - written);
        f.write(block.constData(), n);
        written += n;
    }
    return path;
}

inline QByteArray contents(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// Hides every status dialog of the window so that mouse input reaches it.
inline void hideStatusDialogs(MainWindow *w)
{
    for (Message *m : w->findChildren<Message *>())
        m->hide();
}

// The answers the tests give instead of the user, and what was asked.
struct Answers
{
    QStringList files;                 // returned by the file dialog, in turn
    QList<int> boxes;                  // returned by message boxes, in turn
    int dialogCalls = 0;
    QStringList dialogArgs;            // caption | dir | filter of the last call
    QList<QMap<QString, QVariant>> asked; // title, text, icon size, buttons of each box

    void install()
    {
        MainWindow::openFileDialog = [this](QWidget *, const QString &caption, const QString &dir,
                                            const QString &filter) {
            ++dialogCalls;
            dialogArgs = QStringList{caption, dir, filter};
            return files.isEmpty() ? QString() : files.takeFirst();
        };
        MainWindow::runMessageBox = [this](QMessageBox *box) {
            QMap<QString, QVariant> a;
            a.insert("title", box->windowTitle());
            a.insert("text", box->text());
            a.insert("icon", int(box->icon()));
            a.insert("pixmap", box->iconPixmap().size());
            a.insert("buttons", int(box->standardButtons()));
            a.insert("default", box->defaultButton() ? int(box->standardButton(box->defaultButton())) : 0);
            a.insert("parent", QVariant::fromValue<QObject *>(box->parent()));
            asked << a;
            return boxes.isEmpty() ? int(QMessageBox::No) : boxes.takeFirst();
        };
    }
    static void uninstall()
    {
        MainWindow::openFileDialog = [](QWidget *, const QString &, const QString &, const QString &) {
            return QString();
        };
        MainWindow::runMessageBox = [](QMessageBox *) { return int(QMessageBox::No); };
    }
};

// One window connected to one in-test server.
struct Rig
{
    std::unique_ptr<TestPeer> peer;
    std::unique_ptr<QTcpSocket> socket;
    std::unique_ptr<MainWindow> window;

    bool open(const QVariantMap &access = allTabs())
    {
        peer = std::make_unique<TestPeer>();
        socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, peer->port());
        if (!socket->waitForConnected(5000) || !peer->waitForConnection())
            return false;
        window = std::make_unique<MainWindow>(socket.get(), "user", "pw", nullptr, access, nullptr);
        window->show();
        // The table request is the first frame.
        return peer->waitForFrames(1);
    }
    void close()
    {
        window.reset();
        socket.reset();
        peer.reset();
    }
    QTableWidget *basket() const { return window->findChild<QTableWidget *>("Basket"); }
    // Frames with the given code received so far.
    QList<QByteArray> framesWith(quint8 code) const
    {
        QList<QByteArray> l;
        for (const QByteArray &f : peer->frames)
            if (TestPeer::code(f) == code)
                l << f;
        return l;
    }
};

} // namespace orderfx
