// The three order documents, built from hostile customer text and read back by
// real readers: pdftotext, openpyxl and odfpy.
#include "documents/orderdocument.h"
#include "mailharness.h"
#include "store.h"

#include <QtTest>

namespace {

struct Built
{
    QTemporaryDir dir;
    QString pdf, xlsx, ods;
};

bool build(const OrderDocument &doc, Built *out)
{
    const QString formats[] = {QStringLiteral("pdf"), QStringLiteral("xlsx"), QStringLiteral("ods")};
    QString *paths[] = {&out->pdf, &out->xlsx, &out->ods};
    for (int i = 0; i < 3; ++i) {
        QString error;
        const QByteArray bytes = documents::build(formats[i], doc, &error);
        if (bytes.isEmpty()) {
            qWarning().noquote() << formats[i] << error;
            return false;
        }
        *paths[i] = out->dir.filePath(QStringLiteral("order.") + formats[i]);
        QFile f(*paths[i]);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return false;
    }
    return true;
}

// The table rows of a sheet: everything after the header row.
QList<QStringList> tableRows(const QJsonArray &rows, QStringList *types = nullptr)
{
    QList<QStringList> out;
    bool inTable = false;
    for (const QJsonValue &row : rows) {
        const QJsonArray cells = row.toArray();
        if (cells.isEmpty())
            continue;
        const QString first = cells.at(0).toObject().value(QStringLiteral("v")).toString();
        if (!inTable) {
            inTable = first == QStringLiteral("№");
            continue;
        }
        if (cells.size() < 6 || first.isEmpty() || first.startsWith(QStringLiteral("Всего")))
            break;
        QStringList texts;
        for (int c = 0; c < 6; ++c) {
            texts << cells.at(c).toObject().value(QStringLiteral("v")).toString();
            if (types && c > 0)
                *types << cells.at(c).toObject().value(QStringLiteral("t")).toString();
        }
        out << texts;
    }
    return out;
}

Order order(int rows, const QStringList &cells)
{
    Order o;
    o.id = 7;
    o.account = QStringLiteral("anna");
    o.created = QStringLiteral("2026-03-05T10:00:00.000Z");
    for (int i = 0; i < rows; ++i) {
        OrderRow r;
        r.index = i;
        r.designation = cells.value(0).isEmpty() ? QStringLiteral("СНП-%1").arg(i + 1) : cells.value(0);
        r.quantity = cells.value(1);
        r.size = cells.value(2);
        r.drawing = cells.value(3);
        r.description = cells.value(4);
        o.rows << r;
    }
    return o;
}

} // namespace

class TestDocuments : public QObject
{
    Q_OBJECT

private slots:
    void hostileText_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("sent");     // designation, quantity, size, drawing, description
        QTest::addColumn<QStringList>("expected"); // as every reader must give them back
        const QString huge(60000, QChar(0x416));
        QTest::newRow("plain Russian") << 2
            << QStringList{"СНП-Д-1-100-40", "2", "Ø100", "чертёж 1.pdf", "Прокладка спирально-навитая"}
            << QStringList{"СНП-Д-1-100-40", "2", "Ø100", "чертёж 1.pdf", "Прокладка спирально-навитая"};
        QTest::newRow("control characters") << 1
            << QStringList{QStringLiteral("СНП\x01\x07-А\x1b[2J"), "1\x7f", "", "", "a\tb"}
            << QStringList{"СНП-А[2J", "1", "", "", "a b"};
        QTest::newRow("line breaks") << 1
            << QStringList{"ПУТГ-1", "3", "", "", "первая\r\nвторая\rтретья\u2028четвёртая"}
            << QStringList{"ПУТГ-1", "3", "", "", "первая\nвторая\nтретья\nчетвёртая"};
        QTest::newRow("bidi overrides") << 1
            << QStringList{QStringLiteral("СНП\u202E-Б\u2066"), "1", "", QStringLiteral("fdp\u202E.exe"), ""}
            << QStringList{"СНП-Б", "1", "", "fdp.exe", ""};
        QTest::newRow("cells that look like formulas") << 1
            << QStringList{"=1+1", "+7", "-5", "@SUM(A1)", "=HYPERLINK(\"http://x\")"}
            << QStringList{"=1+1", "+7", "-5", "@SUM(A1)", "=HYPERLINK(\"http://x\")"};
        QTest::newRow("60,000-character cell") << 1
            << QStringList{"СНП-1", "1", "", "", huge}
            << QStringList{"СНП-1", "1", "", "", huge.left(documents::kMaxCell) + QChar(0x2026)};
        QTest::newRow("5,000 rows") << 5000 << QStringList{"", "1", "", "", "Описание"}
                                    << QStringList{"", "1", "", "", "Описание"};
    }

    void hostileText()
    {
        QFETCH(int, rows);
        QFETCH(QStringList, sent);
        QFETCH(QStringList, expected);
        MakerInfo maker = MakerInfo::defaults();
        maker.name = QStringLiteral("ООО «Прокладки»");
        maker.phone = QStringLiteral("+7 000 000-00-00");
        const OrderDocument doc = OrderDocument::fromOrder(order(rows, sent), maker, QStringLiteral("ООО Ромашка, Иванов"));
        Built b;
        QVERIFY(build(doc, &b));
        const auto designation = [&](int i) {
            return expected[0].isEmpty() ? QStringLiteral("СНП-%1").arg(i + 1) : expected[0];
        };

        QStringList types;
        const QList<QStringList> x = tableRows(mailharness::xlsxRows(b.xlsx), &types);
        const QJsonObject o = mailharness::odsContent(b.ods);
        QStringList odsTypes;
        const QList<QStringList> s = tableRows(o.value(QStringLiteral("rows")).toArray(), &odsTypes);
        QCOMPARE(x.size(), rows);
        QCOMPARE(s.size(), rows);
        for (int i : {0, rows - 1}) {
            // openpyxl gives numbers as text here, odfpy the shown text.
            const QStringList want{QString::number(i + 1), designation(i), expected[1], expected[2], expected[3], expected[4]};
            for (int c = 0; c < 6; ++c) {
                QCOMPARE(x[i][c], want[c]);
                QCOMPARE(s[i][c], want[c]);
            }
        }
        // Customer text never becomes a formula or a number it did not say.
        for (int c = 0; c < 5; ++c) {
            if (c != 1 && !expected[c].isEmpty()) {
                QCOMPARE(types.value(c), QStringLiteral("s"));
                QCOMPARE(odsTypes.value(c), QStringLiteral("string"));
            }
        }
        QCOMPARE(o.value(QStringLiteral("first_entry")).toString(), QStringLiteral("mimetype"));
        QVERIFY(o.value(QStringLiteral("stored")).toBool());

        const QString text = mailharness::pdfText(b.pdf);
        QVERIFY(text.contains(QStringLiteral("Заявка № 7 от 05.03.2026")));
        QVERIFY(text.contains(QStringLiteral("ООО «Прокладки»")));
        QVERIFY(text.contains(designation(0)));
        QVERIFY(text.contains(designation(rows - 1)));
        QVERIFY(text.contains(QStringLiteral("Всего позиций: %1").arg(rows)));
        if (rows == 5000 || expected[4].size() > 10000) {
            QVERIFY(text.contains(QStringLiteral("Страница 2 из")));
            // Every page repeats the table header.
            QCOMPARE(text.count(QStringLiteral("Обозначение")), text.count(QStringLiteral("Страница ")));
        }
    }

    // A designation no line can hold and a company name as long: each is cut
    // at the cell limit, and the PDF sets all of it over as many pages as it takes.
    void hugeDesignationAndCompany()
    {
        const QString designation(60000, QChar(0x416)), company(60000, QChar(0x429));
        const OrderDocument doc = OrderDocument::fromOrder(order(2, {designation, "1", "", "", ""}), MakerInfo::defaults(), company);
        Built b;
        QVERIFY(build(doc, &b));
        const QString cut = designation.left(documents::kMaxCell) + QChar(0x2026);
        const QList<QStringList> x = tableRows(mailharness::xlsxRows(b.xlsx));
        const QList<QStringList> s = tableRows(mailharness::odsContent(b.ods).value(QStringLiteral("rows")).toArray());
        QCOMPARE(x.size(), 2);
        QCOMPARE(s.size(), 2);
        QCOMPARE(x[1][1], cut);
        QCOMPARE(s[1][1], cut);
        const QString text = mailharness::pdfText(b.pdf);
        QCOMPARE(text.count(QChar(0x416)), 2 * documents::kMaxCell);
        QCOMPARE(text.count(QChar(0x429)), documents::kMaxCell);
        QVERIFY(text.contains(QStringLiteral("Всего позиций: 2")));
    }

    void pdfEmbedsItsFonts()
    {
        const OrderDocument doc = OrderDocument::fromOrder(order(3, {"СНП-1", "1", "", "", "Ж"}), MakerInfo::defaults(),
                                                           QStringLiteral("anna"));
        Built b;
        QVERIFY(build(doc, &b));
        const QStringList lines = QString::fromUtf8(mailharness::run(QStringLiteral("pdffonts"), {b.pdf}))
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                      .mid(2);
        QVERIFY(!lines.isEmpty());
        for (const QString &line : lines) // name type encoding emb sub uni object ID
            QVERIFY2(line.split(QLatin1Char(' '), Qt::SkipEmptyParts).value(line.split(QLatin1Char(' '), Qt::SkipEmptyParts).size() - 5)
                         == QLatin1String("yes"),
                     qPrintable(line));
    }

    void makerHeadingFromTheDataFolder()
    {
        QTemporaryDir dir;
        // A missing file is written with the defaults, for the maker to edit.
        QCOMPARE(MakerInfo::load(dir.path()).name, MakerInfo::defaults().name);
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("maker.txt"))));
        QFile f(dir.filePath(QStringLiteral("maker.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("# ours\nname: ООО «Фланец»\naddress: г. Пермь\nemail: sales@flanec.example\n");
        f.close();
        const MakerInfo m = MakerInfo::load(dir.path());
        QCOMPARE(m.name, QStringLiteral("ООО «Фланец»"));
        QCOMPARE(m.address, QStringLiteral("г. Пермь"));
        QCOMPARE(m.phone, QString());
        QCOMPARE(m.email, QStringLiteral("sales@flanec.example"));
    }
};

QTEST_GUILESS_MAIN(TestDocuments)
#include "tst_documents.moc"
