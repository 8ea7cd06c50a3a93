// The order as an A4 PDF, laid out with Pango and written by cairo: fonts are
// embedded as subsets with their text mapping, so the text can be copied and
// searched. Long cells wrap; a row taller than what is left of a page goes on
// over the next pages line by line, and every page repeats the table header.
// glib's headers come before Qt's: Qt's keyword macros would break them.
#include <cairo-pdf.h>
#include <pango/pangocairo.h>

#include "orderdocument.h"

#include <QVector>

#include <array>

namespace {

constexpr double kPageW = 841.89; // A4 landscape in points: long designations keep to one line
constexpr double kPageH = 595.28;
constexpr double kMargin = 36;
constexpr double kFooter = 20;
constexpr double kPad = 3;
constexpr std::array<double, 6> kColumns{22, 280, 74, 80, 90, 223.89}; // sums to the text width
// A designation (or a column title) is set smaller rather than broken, down to this size.
constexpr double kSmallestPt = 4.5;
// Longer texts cannot fit one line at that size; each try would only lay
// them out again, which for a cell of tens of thousands of characters takes
// seconds.
constexpr int kShrinkChars = 200;

// Pango breaks a word longer than its line by laying out ever shorter parts
// of what is left, which grows with the square of the word's length: one cell
// of 30,000 letters without a blank took seconds. A break chance (U+200B,
// neither drawn nor copied with the text) after every so many letters of a
// long word keeps it in proportion.
QString breakable(const QString &text)
{
    constexpr int kRun = 64;
    if (text.size() <= kRun)
        return text;
    QString out;
    out.reserve(text.size() + text.size() / kRun);
    int run = 0;
    for (const QChar c : text) {
        out += c;
        if (c.isSpace())
            run = 0;
        else if (++run >= kRun && !c.isHighSurrogate()) {
            out += QChar(0x200B);
            run = 0;
        }
    }
    return out;
}

cairo_status_t appendTo(void *closure, const unsigned char *data, unsigned int length)
{
    static_cast<QByteArray *>(closure)->append(reinterpret_cast<const char *>(data), int(length));
    return CAIRO_STATUS_SUCCESS;
}

struct LineInfo
{
    PangoLayoutLine *line;
    int height;   // Pango units
    int baseline; // from the line's top
};

struct Cell
{
    PangoLayout *layout = nullptr;
    QVector<LineInfo> lines;
};

class Painter
{
public:
    Painter(cairo_t *cr, const OrderDocument &doc) : m_cr(cr), m_doc(doc)
    {
        m_font = pango_font_description_from_string("DejaVu Sans 8");
        m_bold = pango_font_description_from_string("DejaVu Sans Bold 8");
        m_heading = pango_font_description_from_string("DejaVu Sans Bold 12");
        m_small = pango_font_description_from_string("DejaVu Sans 9");
        m_title = pango_font_description_from_string("DejaVu Sans Bold 14");
    }
    ~Painter()
    {
        for (PangoFontDescription *f : {m_font, m_bold, m_heading, m_small, m_title})
            pango_font_description_free(f);
    }

    // One pass over the whole document; pages are only counted when not drawing.
    int run(bool draw, int totalPages)
    {
        m_draw = draw;
        m_total = totalPages;
        m_page = 0;
        startPage();
        for (int i = 0; i < m_doc.rows.size(); ++i) {
            const DocumentRow &r = m_doc.rows.at(i);
            row({QString::number(i + 1), r.designation, r.quantity, r.size, r.drawing, r.description}, false);
        }
        y += 8;
        if (y + 14 > bottom())
            startPage(false);
        paragraph(m_doc.countLine(), m_bold, 0);
        finishPage();
        return m_page;
    }

private:
    double bottom() const { return kPageH - kMargin - kFooter; }

    Cell makeCell(const QString &text, PangoFontDescription *font, double width, bool oneLine = false)
    {
        Cell c;
        c.layout = pango_cairo_create_layout(m_cr);
        pango_layout_set_font_description(c.layout, font);
        const QByteArray utf8 = breakable(text).toUtf8();
        pango_layout_set_text(c.layout, utf8.constData(), utf8.size());
        pango_layout_set_width(c.layout, int(width * PANGO_SCALE));
        pango_layout_set_wrap(c.layout, PANGO_WRAP_WORD_CHAR);
        if (oneLine && text.size() <= kShrinkChars && !text.contains(QLatin1Char('\n'))
            && pango_layout_get_line_count(c.layout) > 1) {
            PangoFontDescription *smaller = pango_font_description_copy(font);
            double size = pango_font_description_get_size(font);
            while (pango_layout_get_line_count(c.layout) > 1 && size > kSmallestPt * PANGO_SCALE) {
                size = qMax(size * 0.92, kSmallestPt * PANGO_SCALE);
                pango_font_description_set_size(smaller, int(size));
                pango_layout_set_font_description(c.layout, smaller);
            }
            pango_font_description_free(smaller);
        }
        PangoLayoutIter *it = pango_layout_get_iter(c.layout);
        do {
            int top = 0, end = 0;
            pango_layout_iter_get_line_yrange(it, &top, &end);
            c.lines.append({pango_layout_iter_get_line_readonly(it), end - top,
                            pango_layout_iter_get_baseline(it) - top});
        } while (pango_layout_iter_next_line(it));
        pango_layout_iter_free(it);
        return c;
    }

    // A block of text across the text width, starting at y.
    void paragraph(const QString &text, PangoFontDescription *font, double after)
    {
        if (text.isEmpty())
            return;
        Cell c = makeCell(text, font, kPageW - 2 * kMargin);
        for (const LineInfo &l : qAsConst(c.lines)) {
            if (y + l.height / double(PANGO_SCALE) > bottom())
                startPage(false);
            if (m_draw) {
                cairo_move_to(m_cr, kMargin, y + l.baseline / double(PANGO_SCALE));
                pango_cairo_show_layout_line(m_cr, l.line);
            }
            y += l.height / double(PANGO_SCALE);
        }
        y += after;
        g_object_unref(c.layout);
    }

    void row(const std::array<QString, 6> &texts, bool header)
    {
        std::array<Cell, 6> cells;
        int tallest = 0;
        for (int c = 0; c < 6; ++c) {
            cells[c] = makeCell(texts[c], header ? m_bold : m_font, kColumns[c] - 2 * kPad, c == 1 || header);
            int h = 0;
            for (const LineInfo &l : qAsConst(cells[c].lines))
                h += l.height;
            tallest = qMax(tallest, h);
        }
        // A row that fits on a page is never split; a longer one starts at
        // once and goes on over the next pages.
        const double need = tallest / double(PANGO_SCALE) + 2 * kPad;
        if (!header && y + need > bottom() && !m_atTableTop)
            startPage();
        if (header && m_draw) {
            cairo_save(m_cr);
            cairo_set_source_rgb(m_cr, 0.85, 0.85, 0.85);
            cairo_rectangle(m_cr, kMargin, y, kPageW - 2 * kMargin, need);
            cairo_fill(m_cr);
            cairo_restore(m_cr);
        }
        std::array<int, 6> next{};
        for (;;) {
            const double avail = bottom() - y - 2 * kPad;
            int segment = 0;
            bool more = false;
            for (int c = 0; c < 6; ++c) {
                int h = 0;
                const QVector<LineInfo> &lines = cells[c].lines;
                while (next[c] < lines.size()) {
                    const LineInfo &l = lines.at(next[c]);
                    // A line always goes on a fresh page, however tall.
                    if ((h + l.height) / double(PANGO_SCALE) > avail && !(h == 0 && m_atTableTop))
                        break;
                    if (m_draw) {
                        cairo_move_to(m_cr, columnX(c) + kPad, y + kPad + (h + l.baseline) / double(PANGO_SCALE));
                        pango_cairo_show_layout_line(m_cr, l.line);
                    }
                    h += l.height;
                    ++next[c];
                }
                segment = qMax(segment, h);
                more = more || next[c] < lines.size();
            }
            const double height = segment / double(PANGO_SCALE) + 2 * kPad;
            if (m_draw) {
                for (int c = 0; c < 6; ++c) {
                    cairo_rectangle(m_cr, columnX(c), y, kColumns[c], height);
                    cairo_stroke(m_cr);
                }
            }
            y += height;
            m_atTableTop = false;
            if (!more)
                break;
            startPage();
        }
        for (Cell &c : cells)
            g_object_unref(c.layout);
    }

    static double columnX(int column)
    {
        double x = kMargin;
        for (int i = 0; i < column; ++i)
            x += kColumns[i];
        return x;
    }

    void finishPage()
    {
        if (!m_draw || m_page == 0)
            return;
        Cell c = makeCell(QStringLiteral("Страница %1 из %2").arg(m_page).arg(m_total), m_font, 200);
        cairo_move_to(m_cr, kPageW - kMargin - 80, kPageH - kMargin - kFooter / 2 + c.lines.at(0).baseline / double(PANGO_SCALE));
        pango_cairo_show_layout_line(m_cr, c.lines.at(0).line);
        g_object_unref(c.layout);
        cairo_show_page(m_cr);
    }

    void startPage(bool tableHeader = true)
    {
        finishPage();
        ++m_page;
        y = kMargin;
        if (m_page == 1) {
            paragraph(m_doc.maker.name, m_heading, 2);
            for (const QString &line : {m_doc.maker.address, m_doc.maker.phone, m_doc.maker.email})
                paragraph(line, m_small, 0);
            y += 12;
            paragraph(m_doc.title(), m_title, 6);
            paragraph(m_doc.customerLine(), m_small, 10);
        }
        if (tableHeader) {
            const QStringList &t = documents::columnTitles();
            row({t[0], t[1], t[2], t[3], t[4], t[5]}, true);
            m_atTableTop = true;
        }
    }

    cairo_t *m_cr;
    const OrderDocument &m_doc;
    PangoFontDescription *m_font, *m_bold, *m_heading, *m_small, *m_title;
    bool m_draw = false;
    bool m_atTableTop = false;
    int m_page = 0;
    int m_total = 0;
    double y = 0;
};

} // namespace

namespace documents {

QByteArray pdf(const OrderDocument &doc, QString *error)
{
    QByteArray out;
    cairo_surface_t *surface = cairo_pdf_surface_create_for_stream(appendTo, &out, kPageW, kPageH);
    const QByteArray title = doc.title().toUtf8();
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, title.constData());
    const QByteArray author = doc.maker.name.toUtf8();
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_AUTHOR, author.constData());
    cairo_t *cr = cairo_create(surface);
    cairo_set_line_width(cr, 0.5);
    {
        Painter painter(cr, doc);
        const int pages = painter.run(false, 0);
        painter.run(true, pages);
    }
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        *error = QString::fromUtf8(cairo_status_to_string(status));
        return QByteArray();
    }
    return out;
}

} // namespace documents
