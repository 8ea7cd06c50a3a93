// The order as an Excel workbook. Every cell the customer typed is written as
// a string, so "=1+1" or "@SUM(...)" stays the text it was and never runs.
#include <xlsxwriter.h>

#include "orderdocument.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

bool isCount(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    return digits.match(text).hasMatch();
}

} // namespace

namespace documents {

QByteArray xlsx(const OrderDocument &doc, QString *error)
{
    // The library writes only to a named file.
    QTemporaryDir dir;
    if (!dir.isValid()) {
        *error = QStringLiteral("no temporary folder for the workbook");
        return QByteArray();
    }
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("order.xlsx")));
    lxw_workbook *wb = workbook_new(path.constData());
    if (!wb) {
        *error = QStringLiteral("cannot create the workbook");
        return QByteArray();
    }
    lxw_worksheet *ws = workbook_add_worksheet(wb, "Заявка");
    lxw_format *bold = workbook_add_format(wb);
    format_set_bold(bold);
    lxw_format *title = workbook_add_format(wb);
    format_set_bold(title);
    format_set_font_size(title, 14);
    lxw_format *head = workbook_add_format(wb);
    format_set_bold(head);
    format_set_border(head, LXW_BORDER_THIN);
    format_set_bg_color(head, 0xD9D9D9);
    format_set_text_wrap(head);
    lxw_format *cell = workbook_add_format(wb);
    format_set_border(cell, LXW_BORDER_THIN);
    format_set_text_wrap(cell);
    format_set_align(cell, LXW_ALIGN_VERTICAL_TOP);

    const double widths[] = {5, 32, 12, 16, 20, 70};
    for (int c = 0; c < 6; ++c)
        worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), widths[c], nullptr);

    lxw_error status = LXW_NO_ERROR;
    auto text = [&](lxw_row_t r, int c, const QString &value, lxw_format *f) {
        const QByteArray utf8 = value.toUtf8();
        const lxw_error e = worksheet_write_string(ws, r, lxw_col_t(c), utf8.constData(), f);
        if (e != LXW_NO_ERROR && status == LXW_NO_ERROR)
            status = e;
    };

    lxw_row_t r = 0;
    text(r++, 0, doc.maker.name, bold);
    for (const QString &line : {doc.maker.address, doc.maker.phone, doc.maker.email})
        if (!line.isEmpty())
            text(r++, 0, line, nullptr);
    ++r;
    text(r++, 0, doc.title(), title);
    text(r++, 0, doc.customerLine(), nullptr);
    ++r;
    const lxw_row_t header = r;
    const QStringList &titles = columnTitles();
    for (int c = 0; c < titles.size(); ++c)
        text(r, c, titles.at(c), head);
    ++r;
    worksheet_repeat_rows(ws, header, header);
    worksheet_freeze_panes(ws, header + 1, 0);
    for (int i = 0; i < doc.rows.size(); ++i, ++r) {
        const DocumentRow &row = doc.rows.at(i);
        worksheet_write_number(ws, r, 0, i + 1, cell);
        text(r, 1, row.designation, cell);
        if (isCount(row.quantity))
            worksheet_write_number(ws, r, 2, row.quantity.toDouble(), cell);
        else
            text(r, 2, row.quantity, cell);
        text(r, 3, row.size, cell);
        text(r, 4, row.drawing, cell);
        text(r, 5, row.description, cell);
    }
    ++r;
    text(r, 0, doc.countLine(), bold);

    const lxw_error closed = workbook_close(wb);
    if (status == LXW_NO_ERROR)
        status = closed;
    if (status != LXW_NO_ERROR) {
        *error = QString::fromUtf8(lxw_strerror(status));
        return QByteArray();
    }
    QFile f(QFile::decodeName(path));
    if (!f.open(QIODevice::ReadOnly)) {
        *error = f.errorString();
        return QByteArray();
    }
    return f.readAll();
}

} // namespace documents
