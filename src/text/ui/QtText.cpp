#include "text/ui/QtText.h"

#include "text/Win1252.h"

namespace kv {

QString ToQt(std::string_view win1252) { return QString::fromStdString(Win1252ToUtf8(win1252)); }

std::string FromQt(const QString& s) { return Utf8ToWin1252(s.toStdString()); }

std::filesystem::path PathFromQt(const QString& s) {
#ifdef _WIN32
    return std::filesystem::path(s.toStdWString());
#else
    return std::filesystem::path(s.toStdString());
#endif
}

QString PathToQt(const std::filesystem::path& p) {
#ifdef _WIN32
    return QString::fromStdWString(p.wstring());
#else
    return QString::fromStdString(p.string());
#endif
}

} // namespace kv
