#pragma once
// Plain rules of the order list: what goes into its cells, which request a
// type index stands for, the drawing size limit. Kept free of widgets so the
// window code stays a thin layer over them.
#include <QString>
#include <QStringList>

#include "putgdesignation.h"
#include "putgmdesignation.h"

namespace order {

// Drawings above this size are refused when attached (2 MiB inclusive).
constexpr qint64 kMaxDrawingBytes = 2 * 1024 * 1024;

// Attach button texts: the text is the attachment state.
QString attachText();
QString detachText();

// The size cell of a spiral-wound gasket row; depends on the type letter.
QString snpSizeText(const QString &type, const QString &d1, const QString &d2,
                    const QString &d3, const QString &d4);

// The size cells of graphite gasket rows: the typed sizes of an oval or
// rectangular gasket, the diameters of the round one's construction.
QString putgSizeText(const putg::PutgChoices &c);
QString putgmSizeText(const putgm::PutgmChoices &c);

// Request kinds in the order of the type combo box.
struct RequestKind
{
    quint8 code = 0;
    QString entry;       // combo box entry
    QString questionEnd; // end of the confirmation question
};
// False for an index outside the five kinds.
bool requestKind(int index, RequestKind *kind);
QStringList requestEntries();
QString confirmationQuestion(const RequestKind &kind);

// The part of a path after its last "/" (the whole path without one).
QString fileNamePart(const QString &path);

// Its first letter is the Latin C (U+0043), not the Cyrillic look-alike;
// keep it that way.
QString emptyListText();

// Told when row `row` (from 0) has a quantity that is not a positive whole number.
QString badQuantityText(int row);
// Told when an order got no answer in time.
QString noAnswerText();

} // namespace order
