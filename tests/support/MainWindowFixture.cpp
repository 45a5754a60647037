#include "support/MainWindowFixture.h"

#include <QTextBlock>
#include <QTextEdit>

namespace kv::test {

QStringList TMainWindowFixture::LogLines() const {
    QStringList lines;
    for (QTextBlock b = Win->ReLog->document()->begin(); b.isValid(); b = b.next()) {
        if (b.text().isEmpty()) continue;
        lines << b.text().mid(8); // "[hh:mm] "
    }
    return lines;
}

} // namespace kv::test
