#include "rowkeys.h"

#include <QKeyEvent>
#include <QString>

namespace merilon {

namespace {

// The letters on the keys of A to J in the Russian layout (ЙЦУКЕН).
const char16_t kRussianLetters[] = u"фисвуапршо";

} // namespace

int rowOfKey(const QKeyEvent &event)
{
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return 0;
    if (event.key() >= Qt::Key_A && event.key() <= Qt::Key_J)
        return event.key() - Qt::Key_A + 1;
    const QString text = event.text().toLower();
    if (text.size() == 1) {
        for (int k = 0; k < 10; ++k)
            if (text.front() == QChar(kRussianLetters[k]))
                return k + 1;
    }
    // Another layout: the key's place on the keyboard.
    return rowOfScanCode(event.nativeScanCode());
}

} // namespace merilon
