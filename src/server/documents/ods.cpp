// The order as an OpenDocument spreadsheet: XML parts written with Qt's XML
// writer, packed by libzip with the "mimetype" entry first and stored, as
// readers expect. Customer text always goes into string cells.
#include <zip.h>

#include "orderdocument.h"

#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamWriter>

namespace {

const QString kOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kTable = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kStyle = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
const QString kFo = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0");
const QString kManifest = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:manifest:1.0");
const QString kMime = QStringLiteral("application/vnd.oasis.opendocument.spreadsheet");

// One paragraph; runs of blanks are spelled out, since XML readers fold them.
void paragraph(QXmlStreamWriter &w, const QString &line)
{
    w.writeStartElement(kText, QStringLiteral("p"));
    QString plain;
    for (int i = 0; i < line.size();) {
        if (line.at(i) != QLatin1Char(' ')) {
            plain += line.at(i++);
            continue;
        }
        int n = 0;
        while (i + n < line.size() && line.at(i + n) == QLatin1Char(' '))
            ++n;
        const bool leading = plain.isEmpty() && i == 0;
        int spelled = n;
        if (!leading) {
            plain += QLatin1Char(' ');
            --spelled;
        }
        if (spelled > 0) {
            w.writeCharacters(plain);
            plain.clear();
            w.writeEmptyElement(kText, QStringLiteral("s"));
            w.writeAttribute(kText, QStringLiteral("c"), QString::number(spelled));
        }
        i += n;
    }
    w.writeCharacters(plain);
    w.writeEndElement();
}

void textCell(QXmlStreamWriter &w, const QString &value, const QString &style = QString())
{
    w.writeStartElement(kTable, QStringLiteral("table-cell"));
    if (!style.isEmpty())
        w.writeAttribute(kTable, QStringLiteral("style-name"), style);
    if (!value.isEmpty()) {
        w.writeAttribute(kOffice, QStringLiteral("value-type"), QStringLiteral("string"));
        for (const QString &line : value.split(QLatin1Char('\n')))
            paragraph(w, line);
    }
    w.writeEndElement();
}

void numberCell(QXmlStreamWriter &w, int value, const QString &style)
{
    w.writeStartElement(kTable, QStringLiteral("table-cell"));
    w.writeAttribute(kTable, QStringLiteral("style-name"), style);
    w.writeAttribute(kOffice, QStringLiteral("value-type"), QStringLiteral("float"));
    w.writeAttribute(kOffice, QStringLiteral("value"), QString::number(value));
    paragraph(w, QString::number(value));
    w.writeEndElement();
}

void lineRow(QXmlStreamWriter &w, const QString &text, const QString &style = QString())
{
    w.writeStartElement(kTable, QStringLiteral("table-row"));
    textCell(w, text, style);
    w.writeEndElement();
}

void cellStyle(QXmlStreamWriter &w, const QString &name, bool bold, bool border)
{
    w.writeStartElement(kStyle, QStringLiteral("style"));
    w.writeAttribute(kStyle, QStringLiteral("name"), name);
    w.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("table-cell"));
    w.writeEmptyElement(kStyle, QStringLiteral("table-cell-properties"));
    w.writeAttribute(kFo, QStringLiteral("wrap-option"), QStringLiteral("wrap"));
    w.writeAttribute(kStyle, QStringLiteral("vertical-align"), QStringLiteral("top"));
    if (border)
        w.writeAttribute(kFo, QStringLiteral("border"), QStringLiteral("0.5pt solid #000000"));
    if (bold) {
        w.writeEmptyElement(kStyle, QStringLiteral("text-properties"));
        w.writeAttribute(kFo, QStringLiteral("font-weight"), QStringLiteral("bold"));
    }
    w.writeEndElement();
}

QByteArray content(const OrderDocument &doc)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    for (const auto &ns : {std::make_pair(kOffice, "office"), std::make_pair(kTable, "table"),
                           std::make_pair(kText, "text"), std::make_pair(kStyle, "style"),
                           std::make_pair(kFo, "fo")})
        w.writeNamespace(ns.first, QLatin1String(ns.second));
    w.writeStartElement(kOffice, QStringLiteral("document-content"));
    w.writeAttribute(kOffice, QStringLiteral("version"), QStringLiteral("1.2"));
    w.writeStartElement(kOffice, QStringLiteral("automatic-styles"));
    const char *widths[] = {"1cm", "5.5cm", "2.2cm", "3cm", "3.5cm", "12cm"};
    for (int c = 0; c < 6; ++c) {
        w.writeStartElement(kStyle, QStringLiteral("style"));
        w.writeAttribute(kStyle, QStringLiteral("name"), QStringLiteral("co%1").arg(c));
        w.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("table-column"));
        w.writeEmptyElement(kStyle, QStringLiteral("table-column-properties"));
        w.writeAttribute(kStyle, QStringLiteral("column-width"), QLatin1String(widths[c]));
        w.writeEndElement();
    }
    cellStyle(w, QStringLiteral("bold"), true, false);
    cellStyle(w, QStringLiteral("head"), true, true);
    cellStyle(w, QStringLiteral("cell"), false, true);
    w.writeEndElement(); // automatic-styles

    w.writeStartElement(kOffice, QStringLiteral("body"));
    w.writeStartElement(kOffice, QStringLiteral("spreadsheet"));
    w.writeStartElement(kTable, QStringLiteral("table"));
    w.writeAttribute(kTable, QStringLiteral("name"), QStringLiteral("Заявка"));
    for (int c = 0; c < 6; ++c) {
        w.writeEmptyElement(kTable, QStringLiteral("table-column"));
        w.writeAttribute(kTable, QStringLiteral("style-name"), QStringLiteral("co%1").arg(c));
    }
    lineRow(w, doc.maker.name, QStringLiteral("bold"));
    for (const QString &line : {doc.maker.address, doc.maker.phone, doc.maker.email})
        if (!line.isEmpty())
            lineRow(w, line);
    lineRow(w, QString());
    lineRow(w, doc.title(), QStringLiteral("bold"));
    lineRow(w, doc.customerLine());
    lineRow(w, QString());
    w.writeStartElement(kTable, QStringLiteral("table-header-rows"));
    w.writeStartElement(kTable, QStringLiteral("table-row"));
    for (const QString &t : documents::columnTitles())
        textCell(w, t, QStringLiteral("head"));
    w.writeEndElement();
    w.writeEndElement();
    const QString cell = QStringLiteral("cell");
    for (int i = 0; i < doc.rows.size(); ++i) {
        const DocumentRow &r = doc.rows.at(i);
        w.writeStartElement(kTable, QStringLiteral("table-row"));
        numberCell(w, i + 1, cell);
        for (const QString *v : {&r.designation, &r.quantity, &r.size, &r.drawing, &r.description})
            textCell(w, *v, cell);
        w.writeEndElement();
    }
    lineRow(w, QString());
    lineRow(w, doc.countLine(), QStringLiteral("bold"));
    w.writeEndElement(); // table
    w.writeEndElement(); // spreadsheet
    w.writeEndElement(); // body
    w.writeEndElement(); // document-content
    w.writeEndDocument();
    return out;
}

QByteArray styles()
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    w.writeNamespace(kOffice, QStringLiteral("office"));
    w.writeStartElement(kOffice, QStringLiteral("document-styles"));
    w.writeAttribute(kOffice, QStringLiteral("version"), QStringLiteral("1.2"));
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

QByteArray manifest()
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    w.writeNamespace(kManifest, QStringLiteral("manifest"));
    w.writeStartElement(kManifest, QStringLiteral("manifest"));
    w.writeAttribute(kManifest, QStringLiteral("version"), QStringLiteral("1.2"));
    auto entry = [&](const QString &path, const QString &type) {
        w.writeEmptyElement(kManifest, QStringLiteral("file-entry"));
        w.writeAttribute(kManifest, QStringLiteral("full-path"), path);
        if (path == QLatin1String("/"))
            w.writeAttribute(kManifest, QStringLiteral("version"), QStringLiteral("1.2"));
        w.writeAttribute(kManifest, QStringLiteral("media-type"), type);
    };
    entry(QStringLiteral("/"), kMime);
    entry(QStringLiteral("content.xml"), QStringLiteral("text/xml"));
    entry(QStringLiteral("styles.xml"), QStringLiteral("text/xml"));
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

} // namespace

namespace documents {

QByteArray ods(const OrderDocument &doc, QString *error)
{
    QTemporaryDir dir;
    if (!dir.isValid()) {
        *error = QStringLiteral("no temporary folder for the spreadsheet");
        return QByteArray();
    }
    const QString path = dir.filePath(QStringLiteral("order.ods"));
    int code = 0;
    zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!zip) {
        *error = QStringLiteral("cannot create the spreadsheet (libzip error %1)").arg(code);
        return QByteArray();
    }
    // The buffers must live until the archive is closed.
    const QByteArray parts[] = {kMime.toLatin1(), manifest(), styles(), content(doc)};
    const char *names[] = {"mimetype", "META-INF/manifest.xml", "styles.xml", "content.xml"};
    bool ok = true;
    for (int i = 0; i < 4 && ok; ++i) {
        zip_source_t *src = zip_source_buffer(zip, parts[i].constData(), zip_uint64_t(parts[i].size()), 0);
        const zip_int64_t index = src ? zip_file_add(zip, names[i], src, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (src)
                zip_source_free(src);
            ok = false;
        } else if (i == 0) {
            ok = zip_set_file_compression(zip, zip_uint64_t(index), ZIP_CM_STORE, 0) == 0;
        }
    }
    if (!ok) {
        *error = QString::fromUtf8(zip_strerror(zip));
        zip_discard(zip);
        return QByteArray();
    }
    if (zip_close(zip) != 0) {
        *error = QString::fromUtf8(zip_strerror(zip));
        zip_discard(zip);
        return QByteArray();
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = f.errorString();
        return QByteArray();
    }
    return f.readAll();
}

} // namespace documents
