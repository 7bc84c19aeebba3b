#include "app/readable_font.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QStringList>

namespace kanat {
namespace {

// QLineEdit centres its text in the line box of the font's bounding rectangle. Under Wine
// without its own fonts the system font (Tahoma) is missing and GDI hands out the first font it
// finds instead, which may be a math font: its Windows line box is four times its size, and the
// text is drawn above the field, where it is clipped away.
bool fitsItsLine(const QFont& font) {
    const QFontMetrics metrics(font);
    return metrics.boundingRect(QStringLiteral("0123456789")).height() <= 2 * metrics.height();
}

} // namespace

void keepTextFieldsReadable() {
    const QFont system = QApplication::font();
    if (fitsItsLine(system)) return;
    for (const char* family : {"Segoe UI", "Tahoma", "Arial", "DejaVu Sans", "Liberation Sans", "Noto Sans"}) {
        QFont font = system;
        font.setFamilies({QString::fromLatin1(family)});
        if (!fitsItsLine(font)) continue;
        QApplication::setFont(font);
        return;
    }
}

} // namespace kanat
